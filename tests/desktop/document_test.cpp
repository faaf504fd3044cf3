// The document's file commands: save and open round trip, the load outcomes of damaged files,
// the save prompt, saves that fail without harming the previous file, saves to pipes and
// device nodes, and file names that are not UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "desktop/quorvanel_doc.h"
#include "fileio/design_file.h"
#include "framework/file_name.h"
#include "tests/support/document_test_base.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_services.h"

using qv::CQuorvanelDoc;
using qv::FilterSpec;
using qv::MessageAnswer;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

FilterSpec ChebyshevBandPass() {
  FilterSpec spec;
  spec.model = qv::FilterModel::Chebyshev;
  spec.bandType = qv::BandType::BandPass;
  spec.order = 3;
  spec.fcut1 = 100;
  spec.fcut2 = 200;
  spec.fsample = 2000;
  spec.ripple = 0.5;
  spec.quantization = qv::Quantization::Signed16;
  return spec;
}

// A Chebyshev band pass checked against a scheme, in 16-bit sections with L2 scaling, as a
// calculation leaves it (so that saving it again changes nothing).
FilterSpec ChebyshevSections() {
  FilterSpec spec = ChebyshevBandPass();
  spec.structure = qv::IirStructure::Sections;
  spec.sectionScaling = qv::SectionScaling::L2;
  spec.scheme = {.active = true,
                 .pass1 = 100.0,
                 .pass2 = 200.0,
                 .stop1 = 60.0,
                 .stop2 = 260.0,
                 .attenuation = 40.0};
  return qv::Calculate(spec).spec;
}

// The design file of `spec` with a chunk of a later version after its own.
QByteArray FileWithLaterChunk(const FilterSpec& spec) {
  const std::string chunk = std::string("MASK\x03\0\0\0abc", 11);
  qv::KeptChunks kept;
  std::copy(chunk.begin(), chunk.end(), kept.bytes.begin());
  kept.size = chunk.size();
  std::ostringstream out(std::ios::binary);
  qv::StoreDesignFile(out, spec, kept);
  return QByteArray::fromStdString(out.str());
}

// Every name in `path`, hidden files, pipes and device nodes included.
QStringList EveryName(const QString& path) {
  return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                              QDir::NoDotAndDotDot);
}

// The device numbers of the memory devices behind /dev/null and /dev/full.
constexpr unsigned kMemoryDevices = 1;
constexpr unsigned kNullDevice = 3;
constexpr unsigned kFullDevice = 7;

}  // namespace

class DocumentTest : public qv::testing::DocumentTestBase {
  Q_OBJECT

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // Saves `spec` as a design file named `name` through Save As; returns its path.
  QString SaveDesign(const FilterSpec& spec, const QString& name) {
    doc_->EditSpec() = spec;
    dialogs_->answers.push_back(Path(name));
    doc_->OnFileSaveAs();
    return Path(name);
  }

 private slots:
  void init() { CreateDocument(); }

  void cleanup() { DestroyDocument(); }

  void saveAndOpenRoundTrip() {
    const QString path = SaveDesign(ChebyshevBandPass(), "band.qvd");
    const qv::FileDialogRequest& asked = dialogs_->asked.constFirst();
    QCOMPARE(asked.title, QString("Save As"));
    QCOMPARE(asked.initialName, QString("Untitled.qvd"));
    QCOMPARE(asked.filters, (QStringList{"Quorvanel Design (*.qvd)", "All Files (*.*)"}));
    const QByteArray bytes = ReadAll(path);
    QCOMPARE(bytes.size(), 68);
    QVERIFY(
        bytes.startsWith(QByteArray("\x03"
                                    "0.8")));
    QCOMPARE(doc_->GetTitle(), QString("band.qvd"));
    QVERIFY(!doc_->IsModified());

    doc_->OnFileNew();
    dialogs_->answers.push_back(path);
    QVERIFY(doc_->OnFileOpen());
    QCOMPARE(dialogs_->asked.last().title, QString("Open"));
    FilterSpec expected = ChebyshevBandPass();
    expected.effectiveOrder = doc_->GetSpec().effectiveOrder;
    expected.fcenter = doc_->GetSpec().fcenter;
    QCOMPARE(doc_->GetSpec(), expected);
    QVERIFY(doc_->IsCalculated());  // recalculated on opening...
    QVERIFY(!doc_->IsModified());   // ...without becoming modified
    QCOMPARE(doc_->GetTitle(), QString("band.qvd"));
    QVERIFY(messages_->shown.isEmpty());
  }

  // A file whose version string is not this version's: the open completes with the old
  // parameters, not modified, not calculated.
  void versionMismatch_data() {
    QTest::addColumn<QByteArray>("version");
    QTest::newRow("0.7") << QByteArray(
        "\x03"
        "0.7");
    QTest::newRow("0.80") << QByteArray(
        "\x04"
        "0.80");
  }

  void versionMismatch() {
    QFETCH(QByteArray, version);
    const QString good = SaveDesign(ChebyshevBandPass(), "good.qvd");
    QByteArray bytes = ReadAll(good);
    bytes.replace(0, 4, version);
    WriteAll(Path("old.qvd"), bytes);
    doc_->OnFileNew();
    doc_->OnCalculate();
    QVERIFY(doc_->OpenDocumentFile(Path("old.qvd")));
    QCOMPARE(messages_->Texts(), QStringList{"Saved File does not fit with this version"});
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Butterworth);
    QVERIFY(!doc_->IsCalculated());
    QVERIFY(!doc_->IsModified());
    QCOMPARE(doc_->GetTitle(), QString("Untitled"));
  }

  // A file that is not a design file of this version (a picture, an older design): after the
  // message the document keeps the title, path and modified flag it had, so Save writes the
  // design where it came from, or asks where, and the foreign file stays byte for byte.
  void foreignFileIsNeverSavedOver_data() {
    QTest::addColumn<QByteArray>("foreign");
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modified");
    // The first byte of a picture reads as a version string of 71 characters.
    const QByteArray gif = QByteArray("GIF89a\x10\x00\x10\x00\x80", 11) + QByteArray(200, '\x7f');
    const QByteArray older = QByteArray(
                                 "\x03"
                                 "0.7") +
                             QByteArray(64, '\x01');
    QTest::newRow("picture over a named design") << gif << true << false;
    QTest::newRow("picture over an untitled design") << gif << false << false;
    QTest::newRow("0.7 design over a modified design") << older << true << true;
  }

  void foreignFileIsNeverSavedOver() {
    QFETCH(QByteArray, foreign);
    QFETCH(bool, named);
    QFETCH(bool, modified);
    const QString mine = Path("mine.qvd");
    if (named) SaveDesign(ChebyshevBandPass(), "mine.qvd");
    doc_->SetModifiedFlag(modified);
    const QString title = doc_->GetTitle();
    const QString picture = Path("picture.gif");
    WriteAll(picture, foreign);
    messages_->answers.push_back(MessageAnswer::No);  // do not save the modified design first
    QVERIFY(doc_->OpenDocumentFile(picture));
    QCOMPARE(messages_->Texts().last(), QString("Saved File does not fit with this version"));
    QCOMPARE(doc_->GetTitle(), title);
    QCOMPARE(doc_->IsModified(), modified);
    const qsizetype dialogs = dialogs_->asked.size();
    dialogs_->answers.push_back(std::nullopt);  // cancel Save As when it is asked
    QCOMPARE(doc_->OnFileSave(), named);
    QCOMPARE(dialogs_->asked.size(), dialogs + (named ? 0 : 1));
    QCOMPARE(ReadAll(picture), foreign);
    if (named) QCOMPARE(ReadAll(mine).size(), 68);
  }

  // Every file dialog opens in the folder of the last file opened or saved, whichever way.
  void dialogsOpenInTheLastFilesFolder() {
    QDir(dir_->path()).mkdir("saved");
    QDir(dir_->path()).mkdir("opened");
    SaveDesign(FilterSpec(), "saved/typed.qvd");  // a full path typed into Save As
    dialogs_->answers.push_back(std::nullopt);
    doc_->OnFileOpen();
    QCOMPARE(dialogs_->asked.last().directory, Path("saved"));
    QVERIFY(QFile::copy(Path("saved/typed.qvd"), Path("opened/dropped.qvd")));
    QVERIFY(doc_->OpenDocumentFile(Path("opened/dropped.qvd")));  // the command line, a drop
    dialogs_->answers.push_back(std::nullopt);
    doc_->OnFileSaveAs();
    QCOMPARE(dialogs_->asked.last().directory, Path("opened"));
  }

  // The same design draws the same graphs whatever was calculated before it, as a new
  // document draws it.
  void curvesDoNotDependOnThePreviousDesign() {
    QVERIFY(doc_->OnCalculate());
    const qv::ResponseSet fresh = doc_->GetResponses();
    const qv::FilterDesign freshDesign = doc_->GetDesign();
    FilterSpec highPass;
    highPass.bandType = qv::BandType::HighPass;
    highPass.model = qv::FilterModel::Bessel;
    FilterSpec fir;
    fir.filterClass = qv::FilterClass::Fir;
    fir.model = qv::FilterModel::RaisedCosine;
    fir.taps = 31;
    for (const FilterSpec& other : {ChebyshevBandPass(), highPass, fir}) {
      doc_->EditSpec() = other;
      QVERIFY(doc_->OnCalculate());
      doc_->EditSpec() = FilterSpec();
      QVERIFY(doc_->OnCalculate());
      QCOMPARE(doc_->GetResponses().phase[0], fresh.phase[0]);
      QVERIFY(doc_->GetResponses() == fresh);
      QVERIFY(doc_->GetDesign() == freshDesign);
    }
  }

  void emptyFileKeepsEverything() {
    doc_->EditSpec().fsample = 4000;
    QVERIFY(doc_->OnCalculate());
    WriteAll(Path("empty.qvd"), QByteArray());
    QVERIFY(doc_->OpenDocumentFile(Path("empty.qvd")));
    QVERIFY(messages_->shown.isEmpty());
    QCOMPARE(doc_->GetSpec().fsample, 4000);
    QVERIFY(doc_->IsCalculated());
    QCOMPARE(doc_->GetTitle(), QString("empty.qvd"));
  }

  void truncatedFileStartsANewDesign() {
    const QByteArray bytes = ReadAll(SaveDesign(ChebyshevBandPass(), "whole.qvd"));
    WriteAll(Path("cut.qvd"), bytes.left(30));
    QVERIFY(!doc_->OpenDocumentFile(Path("cut.qvd")));
    QCOMPARE(messages_->Texts(), QStringList{"Unexpected file format."});
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Butterworth);
    QCOMPARE(doc_->GetSpec().fsample, 1000);
    QCOMPARE(doc_->GetTitle(), QString("Untitled"));
    QVERIFY(!doc_->IsModified());
    QVERIFY(!doc_->IsCalculated());
  }

  void invalidParametersOpenUncalculated() {
    FilterSpec spec;
    spec.fcut1 = 700;  // above half the sampling frequency
    SaveDesign(spec, "invalid.qvd");
    doc_->OnFileNew();
    QVERIFY(doc_->OpenDocumentFile(Path("invalid.qvd")));
    QCOMPARE(messages_->shown.size(), 1);
    QCOMPARE(doc_->GetSpec().fcut1, 700);
    QVERIFY(!doc_->IsCalculated());
    QVERIFY(!doc_->IsModified());
  }

  // The scheme, the structure and a chunk that only a later version knows come in with Open
  // and go out again with Save, byte for byte; New forgets them.
  void extensionsSurviveOpenAndSave() {
    const FilterSpec spec = ChebyshevSections();
    QVERIFY(qv::Calculate(spec).Succeeded());
    const QByteArray bytes = FileWithLaterChunk(spec);
    QVERIFY(bytes.size() > 68);
    WriteAll(Path("later.qvd"), bytes);
    QVERIFY(doc_->OpenDocumentFile(Path("later.qvd")));
    QVERIFY(messages_->shown.isEmpty());
    QVERIFY(doc_->IsCalculated());
    QCOMPARE(doc_->GetSpec(), spec);
    doc_->SetModifiedFlag();
    QVERIFY(doc_->OnFileSave());
    QCOMPARE(ReadAll(Path("later.qvd")), bytes);

    QVERIFY(doc_->OnFileNew());
    dialogs_->answers.push_back(Path("new.qvd"));
    QVERIFY(doc_->OnFileSaveAs());
    QCOMPARE(ReadAll(Path("new.qvd")).size(), 68);
  }

  // A damaged extension block: its message, and the design stays as it was, graphs, name and
  // all, so that Save writes it where it came from and never over the damaged file.
  void damagedExtensionLeavesTheDesign() {
    SaveDesign(ChebyshevBandPass(), "mine.qvd");
    QVERIFY(doc_->OnCalculate());
    const FilterSpec before = doc_->GetSpec();
    QByteArray damaged = FileWithLaterChunk(ChebyshevSections());
    damaged[damaged.size() - 6] = static_cast<char>(damaged[damaged.size() - 6] ^ 1);
    WriteAll(Path("damaged.qvd"), damaged);
    QVERIFY(doc_->OpenDocumentFile(Path("damaged.qvd")));
    QCOMPARE(messages_->Texts(),
             QStringList{"The design file's extension block is damaged; the file was not opened."});
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
    QCOMPARE(doc_->GetSpec(), before);
    QVERIFY(doc_->IsCalculated());
    QCOMPARE(doc_->GetTitle(), QString("mine.qvd"));
    doc_->SetModifiedFlag();
    QVERIFY(doc_->OnFileSave());
    QCOMPARE(ReadAll(Path("damaged.qvd")), damaged);
    QCOMPARE(ReadAll(Path("mine.qvd")).size(), 68);
  }

  void missingFileLeavesTheDocument() {
    doc_->EditSpec().fsample = 3000;
    doc_->SetModifiedFlag();
    messages_->answers.push_back(MessageAnswer::No);  // do not save the current design
    QVERIFY(!doc_->OpenDocumentFile(Path("absent.qvd")));
    QCOMPARE(messages_->shown.last().text, QString("%1 was not found.").arg(Path("absent.qvd")));
    QCOMPARE(doc_->GetSpec().fsample, 3000);
    QVERIFY(doc_->IsModified());
  }

  void newAfterCalculateAsksToSave_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("reset");
    QTest::newRow("No discards") << int(MessageAnswer::No) << true;
    QTest::newRow("Cancel keeps the design") << int(MessageAnswer::Cancel) << false;
  }

  void newAfterCalculateAsksToSave() {
    QFETCH(int, answer);
    QFETCH(bool, reset);
    doc_->EditSpec().fsample = 3000;
    doc_->SetModifiedFlag();  // as the Calculate button does
    QVERIFY(doc_->OnCalculate());
    messages_->answers.push_back(static_cast<MessageAnswer>(answer));
    QCOMPARE(doc_->OnFileNew(), reset);
    QCOMPARE(messages_->Texts(), QStringList{"Save changes to Untitled?"});
    QCOMPARE(messages_->shown.constFirst().buttons, qv::MessageButtons::YesNoCancel);
    QCOMPARE(doc_->GetSpec().fsample, reset ? 1000 : 3000);
    QCOMPARE(doc_->IsCalculated(), !reset);
  }

  void failedSaveKeepsTheOldFile() {
    const QString path = SaveDesign(FilterSpec(), "kept.qvd");
    const QByteArray before = ReadAll(path);
    doc_->EditSpec() = ChebyshevBandPass();
    doc_->SetModifiedFlag();
    {
      const qv::test::ScopedFileSizeLimit limit(10);
      QVERIFY(!doc_->OnFileSave());
    }
    QCOMPARE(ReadAll(path), before);
    QVERIFY(doc_->IsModified());
    QCOMPARE(messages_->Texts(), QStringList{QString("Disk full while accessing %1.").arg(path)});
    QCOMPARE(EveryName(dir_->path()), QStringList{"kept.qvd"});
  }

  void savingOntoADirectoryFails() {
    QDir(dir_->path()).mkdir("folder.qvd");
    doc_->SetModifiedFlag();
    dialogs_->answers.push_back(Path("folder.qvd"));
    QVERIFY(!doc_->OnFileSaveAs());
    QCOMPARE(messages_->Texts(), QStringList{"Failed to save document."});
    QVERIFY(doc_->IsModified());
    QCOMPARE(doc_->GetTitle(), QString("Untitled"));
  }

  // A pipe and a device node hold no file to replace: the design goes through them, their
  // failures are the save's, and they stay what they are.
  void savingOntoSpecialFilesWritesThrough_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");  // empty when the save succeeds
    QTest::newRow("pipe with a reader") << "pipe.qvd" << QString();
    QTest::newRow("null device") << "null.qvd" << QString();
    QTest::newRow("full device") << "full.qvd" << QString("Disk full while accessing %1.");
  }

  void savingOntoSpecialFilesWritesThrough() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QByteArray expected = ReadAll(SaveDesign(ChebyshevBandPass(), "regular.qvd"));
    const QString path = Path(kind);
    const std::string name = qv::FileNameBytes(path);
    int reader = -1;
    if (kind == "pipe.qvd") {
      QCOMPARE(::mkfifo(name.c_str(), 0600), 0);
      reader = ::open(name.c_str(), O_RDONLY | O_NONBLOCK);
      QVERIFY(reader >= 0);
    } else {
      const unsigned device = kind == "null.qvd" ? kNullDevice : kFullDevice;
      if (::mknod(name.c_str(), S_IFCHR | 0600, makedev(kMemoryDevices, device)) != 0) {
        QSKIP("only root with the right to make device nodes makes them");
      }
    }
    doc_->SetModifiedFlag();
    dialogs_->answers.push_back(path);
    QCOMPARE(doc_->OnFileSaveAs(), message.isEmpty());
    QCOMPARE(messages_->Texts(),
             message.isEmpty() ? QStringList() : QStringList{message.arg(path)});
    if (reader >= 0) {
      QByteArray received(expected.size() + 1, '\0');
      const ssize_t count = ::read(reader, received.data(), static_cast<size_t>(received.size()));
      ::close(reader);
      received.truncate(count < 0 ? 0 : static_cast<qsizetype>(count));
      QCOMPARE(received, expected);
    }
    struct stat status {};
    QCOMPARE(::stat(name.c_str(), &status), 0);
    QVERIFY(kind == "pipe.qvd" ? S_ISFIFO(status.st_mode) : S_ISCHR(status.st_mode));
    QCOMPARE(EveryName(dir_->path()), (QStringList{kind, "regular.qvd"}));
  }

  // Qt's own conversion would turn the stray byte into another name; Qt's directory listing
  // does not show the file at all, so the directory is read here by its bytes.
  void nameThatIsNotUtf8SavesAndOpens() {
    const std::string raw = "bad\xffname.qvd";
    const QString name = qv::FileNameFromBytes(raw);
    const QString path = SaveDesign(ChebyshevBandPass(), name);
    QVERIFY(messages_->shown.isEmpty());
    QCOMPARE(::access((qv::FileNameBytes(dir_->path()) + "/" + raw).c_str(), F_OK), 0);
    QVERIFY(doc_->OnFileNew());
    QVERIFY(doc_->OpenDocumentFile(path));
    QVERIFY(messages_->shown.isEmpty());
    QCOMPARE(doc_->GetSpec().fcut2, ChebyshevBandPass().fcut2);
    QCOMPARE(doc_->GetTitle(), name);
    doc_->SetModifiedFlag();
    QVERIFY(doc_->OnFileSave());
    const std::filesystem::directory_iterator names(qv::FileNameBytes(dir_->path()));
    QCOMPARE(std::distance(names, {}), 1);
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"

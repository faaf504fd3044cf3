// The document's file commands: save and open round trip, the load outcomes of damaged files,
// the save prompt, and saves that fail without harming the previous file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "desktop/quorvanel_doc.h"
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

// Holds the file-size limit of this process at `bytes` (writes beyond it fail with EFBIG
// rather than killing the process) until it goes out of scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private:
  qv::testing::ScriptedMessages* messages_ = nullptr;
  qv::testing::ScriptedFileDialogs* dialogs_ = nullptr;
  CQuorvanelDoc* doc_ = nullptr;
  QTemporaryDir* dir_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }

  // Saves `spec` as a design file named `name` through Save As; returns its path.
  QString SaveDesign(const FilterSpec& spec, const QString& name) {
    doc_->EditSpec() = spec;
    dialogs_->answers.push_back(Path(name));
    doc_->OnFileSaveAs();
    return Path(name);
  }

 private slots:
  void init() {
    messages_ = new qv::testing::ScriptedMessages;
    dialogs_ = new qv::testing::ScriptedFileDialogs;
    doc_ = new CQuorvanelDoc(nullptr);
    dir_ = new QTemporaryDir;
    doc_->OnFileNew();
  }

  void cleanup() {
    delete dir_;
    delete doc_;
    delete dialogs_;
    delete messages_;
  }

  void saveAndOpenRoundTrip() {
    const QString path = SaveDesign(ChebyshevBandPass(), "band.qvd");
    const qv::FileDialogRequest& asked = dialogs_->asked.constFirst();
    QCOMPARE(asked.title, QString("Save As"));
    QCOMPARE(asked.initialName, QString("Untitled.qvd"));
    QCOMPARE(asked.filters, (QStringList{"Quorvanel Design (*.qvd)", "All Files (*.*)"}));
    const QByteArray bytes = ReadAll(path);
    QCOMPARE(bytes.size(), 68);
    QVERIFY(bytes.startsWith(QByteArray("\x03" "0.8")));
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
    QTest::newRow("0.7") << QByteArray("\x03" "0.7");
    QTest::newRow("0.80") << QByteArray("\x04" "0.80");
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
    QCOMPARE(doc_->GetTitle(), QString("old.qvd"));
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

  void missingFileLeavesTheDocument() {
    doc_->EditSpec().fsample = 3000;
    doc_->SetModifiedFlag();
    messages_->answers.push_back(MessageAnswer::No);  // do not save the current design
    QVERIFY(!doc_->OpenDocumentFile(Path("absent.qvd")));
    QCOMPARE(messages_->shown.last().text,
             QString("%1 was not found.").arg(Path("absent.qvd")));
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
      const FileSizeLimit limit(10);
      QVERIFY(!doc_->OnFileSave());
    }
    QCOMPARE(ReadAll(path), before);
    QVERIFY(doc_->IsModified());
    QCOMPARE(messages_->shown.size(), 1);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"kept.qvd"});
  }

  void savingOntoADirectoryFails() {
    QDir(dir_->path()).mkdir("folder.qvd");
    doc_->SetModifiedFlag();
    dialogs_->answers.push_back(Path("folder.qvd"));
    QVERIFY(!doc_->OnFileSaveAs());
    QCOMPARE(messages_->shown.size(), 1);
    QVERIFY(doc_->IsModified());
    QCOMPARE(doc_->GetTitle(), QString("Untitled"));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"

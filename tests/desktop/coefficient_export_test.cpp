// The Output menu's "Export Coefficients..." command: its save dialog with the four file types,
// the type that decides the format and adds its extension (or the typed extension of another
// format that overrides it), and the same refusals and messages as the command line, in stop
// boxes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "codegen/output_codes.h"
#include "desktop/quorvanel_doc.h"
#include "output/output_service.h"
#include "tests/support/document_test_base.h"
#include "tests/support/scripted_services.h"

using qv::FilterSpec;

namespace {

FilterSpec Fir(qv::Quantization quantization) {
  FilterSpec spec;
  spec.filterClass = qv::FilterClass::Fir;
  spec.quantization = quantization;
  return spec;
}

FilterSpec Iir(qv::Quantization quantization) {
  FilterSpec spec;
  spec.quantization = quantization;
  return spec;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(FilterSpec)

class CoefficientExportTest : public qv::testing::DocumentTestBase {
  Q_OBJECT

 private slots:
  void init() { CreateDocument(); }

  void cleanup() { DestroyDocument(); }

  void newDesignIsRefusedBeforeTheDialog() {
    doc_->OnExportCoefficients();
    QCOMPARE(messages_->Texts(), QStringList{"No filter is alreday calculated\n"});
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
    QVERIFY(dialogs_->asked.isEmpty());
  }

  void dialog_data() {
    QTest::addColumn<FilterSpec>("spec");
    QTest::addColumn<int>("selected");
    QTest::newRow("quantised FIR: .coe") << Fir(qv::Quantization::Signed16) << 0;
    QTest::newRow("float IIR: .csv") << Iir(qv::Quantization::Float) << 2;
  }

  // Four types, no "All Files": the type is the format. The name has no extension yet, and
  // the first type the design can be written in is selected.
  void dialog() {
    QFETCH(FilterSpec, spec);
    QFETCH(int, selected);
    Calculated(spec);
    doc_->OnExportCoefficients();
    QCOMPARE(dialogs_->asked.size(), 1);
    const qv::FileDialogRequest& asked = dialogs_->asked.constFirst();
    QCOMPARE(asked.title, QString("Export Coefficients As"));
    QCOMPARE(asked.initialName, QString("Untitled"));
    QCOMPARE(asked.filters,
             (QStringList{"FIR compiler coefficients (*.coe)", "Memory initialisation (*.mif)",
                          "Comma-separated values (*.csv)", "Second-order sections in C (*.c)"}));
    QCOMPARE(asked.selectedFilter, selected);
    QVERIFY(!asked.open);
    QVERIFY(messages_->shown.isEmpty());
    QVERIFY(QDir(dir_->path()).isEmpty());
  }

  void typeDecidesTheFormat_data() {
    QTest::addColumn<FilterSpec>("spec");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("format");
    const FilterSpec fir8 = Fir(qv::Quantization::Signed8);
    const FilterSpec iir = Iir(qv::Quantization::Float);
    QTest::newRow(".coe added") << fir8 << 0 << "taps"
                                << "taps.coe" << 0;
    QTest::newRow(".mif added") << fir8 << 1 << "taps"
                                << "taps.mif" << 1;
    QTest::newRow(".csv added") << iir << 2 << "coefficients"
                                << "coefficients.csv" << 2;
    QTest::newRow("sections, .c added") << iir << 3 << "biquads"
                                        << "biquads.c" << 3;
    QTest::newRow("own extension kept") << fir8 << 2 << "taps.txt"
                                        << "taps.txt" << 2;
    // Another format's extension typed under a type: that format, never one under another's
    // extension.
    QTest::newRow(".mif typed under .coe") << fir8 << 0 << "x.mif"
                                           << "x.mif" << 1;
    QTest::newRow(".coe typed under .csv") << fir8 << 2 << "x.COE"
                                           << "x.COE" << 0;
    QTest::newRow(".csv typed under .mif") << fir8 << 1 << "x.csv"
                                           << "x.csv" << 2;
    QTest::newRow(".c typed under .csv") << iir << 2 << "x.c"
                                         << "x.c" << 3;
  }

  void typeDecidesTheFormat() {
    QFETCH(FilterSpec, spec);
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(int, format);
    Calculated(spec);
    dialogs_->answers.push_back(dir_->filePath(typed));
    dialogs_->types.push_back(type);
    doc_->OnExportCoefficients();
    QVERIFY(messages_->shown.isEmpty());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{written});
    const QString direct = dir_->filePath("direct");
    QCOMPARE(qv::Write(qv::kCoefficientOutputs[format], Document(), {}, direct.toStdString()),
             qv::OutputCode::Ok);
    QCOMPARE(ReadAll(dir_->filePath(written)), ReadAll(direct));
  }

  void refusals_data() {
    QTest::addColumn<FilterSpec>("spec");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString iirTaps =
        "FPGA coefficient files hold the taps of an FIR filter; an IIR design has none\n";
    QTest::newRow(".coe of an IIR design")
        << Iir(qv::Quantization::Signed16) << 0 << "out" << iirTaps;
    QTest::newRow(".mif of a float FIR design")
        << Fir(qv::Quantization::Float) << 1 << "out"
        << "FPGA coefficient files hold integer taps; quantize the design to 8 or 16 bits\n";
    QTest::newRow("sections of an FIR design")
        << Fir(qv::Quantization::Float) << 3 << "out"
        << "Second-order sections are made from the poles of an IIR filter; an FIR design has "
           "none\n";
    QTest::newRow("sections of a quantised IIR design")
        << Iir(qv::Quantization::Signed8) << 3 << "out"
        << "Second-order sections are written for float designs; the 8-bit and 16-bit "
           "coefficients belong to the direct form\n";
    QTest::newRow(".mif typed under .csv, IIR design")
        << Iir(qv::Quantization::Signed16) << 2 << "out.mif" << iirTaps;
  }

  // Refused once the format is known, before any file is touched.
  void refusals() {
    QFETCH(FilterSpec, spec);
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Calculated(spec);
    dialogs_->answers.push_back(dir_->filePath(typed));
    dialogs_->types.push_back(type);
    doc_->OnExportCoefficients();
    QCOMPARE(messages_->Texts(), QStringList{message});
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
    QVERIFY(QDir(dir_->path()).isEmpty());
  }

  void fileThatCannotBeCreated() {
    Calculated(Iir(qv::Quantization::Float));
    dialogs_->answers.push_back(dir_->filePath("missing/out.csv"));
    dialogs_->types.push_back(2);
    doc_->OnExportCoefficients();
    QCOMPARE(messages_->Texts(), QStringList{"The Output file cannot be created!\n"});
  }
};

QTEST_MAIN(CoefficientExportTest)
#include "coefficient_export_test.moc"

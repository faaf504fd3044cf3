// The Output menu's commands: refusals in their order, the proposed names and dialogs, cancel
// paths, files equal to what the writers produce (testbenches included), and the VHDL and
// Verilog options dialog: its estimate and its remembered testbench box.
#include <sstream>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include "codegen/c_code_generator.h"
#include "codegen/fixed_point_sections_code.h"
#include "codegen/testbench_generator.h"
#include "desktop/output_commands.h"
#include "desktop/quorvanel_doc.h"
#include "desktop/vhdl_parameter_dlg.h"
#include "output/output_service.h"
#include "picture/graph_export.h"
#include "tests/support/document_test_base.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_services.h"

using qv::CVhdlParameterDlg;
using qv::FilterSpec;

namespace {

enum class Command { C, Vhdl, Graph };

FilterSpec Fir(int taps, qv::Quantization quantization) {
  FilterSpec spec;
  spec.filterClass = qv::FilterClass::Fir;
  spec.taps = taps;
  spec.quantization = quantization;
  return spec;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Closes the next VHDL options dialog with OK after moving its slider to `position` and setting
// the testbench box to `testbench`; `caption` receives the dialog's title when given.
void AnswerVhdlOptions(int position, bool testbench = false, QString* caption = nullptr) {
  QTimer::singleShot(0, [position, testbench, caption] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<CVhdlParameterDlg*>(widget); dialog && dialog->isVisible()) {
        if (caption != nullptr) {
          *caption = dialog->windowTitle();
        }
        dialog->Slider()->setValue(position);
        dialog->TestbenchBox()->setChecked(testbench);
        dialog->accept();
      }
    }
  });
}

}  // namespace

Q_DECLARE_METATYPE(FilterSpec)

class OutputCommandsTest : public qv::testing::DocumentTestBase {
  Q_OBJECT

 private:
  void Run(Command command) {
    switch (command) {
      case Command::C:
        doc_->OnGenerateCCode();
        break;
      case Command::Vhdl:
        doc_->OnGenerateVhdlCode();
        break;
      case Command::Graph:
        doc_->OnExportGraph();
        break;
    }
  }

 private slots:
  void init() { CreateDocument(); }

  void cleanup() { DestroyDocument(); }

  // Refusals before any dialog: IIR before float before not calculated.
  void refusals_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<FilterSpec>("spec");
    QTest::addColumn<bool>("calculate");
    QTest::addColumn<QString>("message");
    const QString notCalculated = "No filter is alreday calculated\n";
    const FilterSpec fir16 = Fir(31, qv::Quantization::Signed16);
    QTest::newRow("C, new design") << int(Command::C) << FilterSpec() << false << notCalculated;
    QTest::newRow("graph, new design")
        << int(Command::Graph) << FilterSpec() << false << notCalculated;
    QTest::newRow("VHDL, uncalculated IIR") << int(Command::Vhdl) << FilterSpec() << false
                                            << "VHDL generation for IIR not yet implemented\n";
    QTest::newRow("VHDL, uncalculated float FIR")
        << int(Command::Vhdl) << Fir(31, qv::Quantization::Float) << false
        << "no VHDL generation for float quantization\n";
    QTest::newRow("VHDL, uncalculated 16-bit FIR")
        << int(Command::Vhdl) << fir16 << false << notCalculated;
    QTest::newRow("VHDL, calculated IIR") << int(Command::Vhdl) << FilterSpec() << true
                                          << "VHDL generation for IIR not yet implemented\n";
  }

  void refusals() {
    QFETCH(int, command);
    QFETCH(FilterSpec, spec);
    QFETCH(bool, calculate);
    QFETCH(QString, message);
    doc_->EditSpec() = spec;
    if (calculate) {
      QVERIFY(doc_->OnCalculate());
    }
    Run(static_cast<Command>(command));
    QCOMPARE(messages_->Texts(), QStringList{message});
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
    QVERIFY(dialogs_->asked.isEmpty());
  }

  void baseName_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("name");
    QTest::newRow("untitled") << "Untitled"
                              << ".c"
                              << "Untitled.c";
    QTest::newRow("design file") << "lowpass.qvd"
                                 << ".vhd"
                                 << "lowpass.vhd";
    QTest::newRow("several stops") << "a.b.qvd"
                                   << ".c"
                                   << "a.c";
  }

  void baseName() {
    QFETCH(QString, title);
    QFETCH(QString, extension);
    QFETCH(QString, name);
    QCOMPARE(qv::OutputBaseName(title, extension), name);
  }

  void saveDialogs_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("C") << int(Command::C) << "Save C code As"
                       << "Untitled.c" << QStringList{"C File (*.c)", "All Files (*.*)"};
    QTest::newRow("graph") << int(Command::Graph) << "Export Graphic As"
                           << "Untitled.gif" << QStringList{"Gif File (*.gif)", "All Files (*.*)"};
  }

  // The dialogs as proposed; cancelling writes nothing and says nothing.
  void saveDialogs() {
    QFETCH(int, command);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, filters);
    Calculated(FilterSpec());
    Run(static_cast<Command>(command));
    QCOMPARE(dialogs_->asked.size(), 1);
    const qv::FileDialogRequest& asked = dialogs_->asked.constFirst();
    QCOMPARE(asked.title, title);
    QCOMPARE(asked.initialName, name);
    QCOMPARE(asked.filters, filters);
    QVERIFY(!asked.open);
    QVERIFY(messages_->shown.isEmpty());
    QVERIFY(QDir(dir_->path()).isEmpty());
  }

  void cFileIsTheGeneratorsFile() {
    Calculated(Fir(31, qv::Quantization::Signed16));
    dialogs_->answers.push_back(dir_->filePath("filter.c"));
    doc_->OnGenerateCCode();
    QVERIFY(messages_->shown.isEmpty());
    std::ostringstream expected;
    QCOMPARE(qv::WriteCCode(expected, Document()), qv::OutputCode::Ok);
    QCOMPARE(ReadAll(dir_->filePath("filter.c")), QByteArray::fromStdString(expected.str()));
  }

  // A quantised IIR design of second-order sections gets the C of its fixed-point cascade.
  void cFileOfFixedPointSectionsIsTheirCascadeCode() {
    FilterSpec spec;
    spec.order = 4;
    spec.quantization = qv::Quantization::Signed8;
    spec.structure = qv::IirStructure::Sections;
    Calculated(spec);
    dialogs_->answers.push_back(dir_->filePath("sections.c"));
    doc_->OnGenerateCCode();
    QVERIFY(messages_->shown.isEmpty());
    std::ostringstream expected;
    QCOMPARE(qv::WriteFixedPointSectionsCode(expected, doc_->GetSpec(), doc_->GetScale(),
                                             doc_->GetDesign()),
             qv::OutputCode::Ok);
    QCOMPARE(ReadAll(dir_->filePath("sections.c")), QByteArray::fromStdString(expected.str()));
  }

  void graphIsTheExportedPicture() {
    Calculated(FilterSpec());
    dialogs_->answers.push_back(dir_->filePath("graphs"));  // the extension is added
    doc_->OnExportGraph();
    const QString direct = dir_->filePath("direct.gif");
    QCOMPARE(qv::ExportGraphs(doc_->GetSpec(), doc_->GetScale(), doc_->GetResponses(),
                              doc_->GetSchemeCheck(), direct.toStdString().c_str()),
             qv::OutputCode::Ok);
    QCOMPARE(ReadAll(dir_->filePath("graphs.gif")), ReadAll(direct));
  }

  void fileThatCannotBeCreated_data() {
    QTest::addColumn<int>("command");
    QTest::newRow("C") << int(Command::C);
    QTest::newRow("graph") << int(Command::Graph);
    QTest::newRow("VHDL") << int(Command::Vhdl);
  }

  void fileThatCannotBeCreated() {
    QFETCH(int, command);
    Calculated(Fir(31, qv::Quantization::Signed8));
    dialogs_->answers.push_back(dir_->filePath("missing/out.x"));
    if (static_cast<Command>(command) == Command::Vhdl) {
      AnswerVhdlOptions(1);
    }
    Run(static_cast<Command>(command));
    QCOMPARE(messages_->Texts(), QStringList{"The Output file cannot be created!\n"});
  }

  // A write beyond a file-size limit: the closing message, the previous file byte for byte and
  // no temporary file beside it.
  void fileBeyondTheSizeLimit_data() { fileThatCannotBeCreated_data(); }

  void fileBeyondTheSizeLimit() {
    QFETCH(int, command);
    Calculated(Fir(31, qv::Quantization::Signed8));
    const QString target = dir_->filePath("out.x");
    const QByteArray previous("previous contents");
    {
      QFile file(target);
      QVERIFY(file.open(QIODevice::WriteOnly));
      QCOMPARE(file.write(previous), previous.size());
    }
    dialogs_->answers.push_back(target);
    if (static_cast<Command>(command) == Command::Vhdl) {
      AnswerVhdlOptions(1);
    }
    {
      const qv::test::ScopedFileSizeLimit limit(previous.size());
      Run(static_cast<Command>(command));
    }
    QCOMPARE(messages_->Texts(), QStringList{"The Output file cannot be closed!\n"});
    QCOMPARE(ReadAll(target), previous);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.x"});
  }

  void vhdlArchitectures_data() {
    QTest::addColumn<int>("taps");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("message");  // empty: the file is written
    QTest::newRow("30 taps, size") << 30 << 1 << "";
    QTest::newRow("30 taps, speed") << 30 << 2 << "NTap must be odd for SPEED VHDL optimization\n";
    QTest::newRow("31 taps, speed") << 31 << 2 << "";
    QTest::newRow("1 tap, size") << 1 << 1
                                 << "NTap must be at least 2 for SIZE VHDL optimization\n";
  }

  // Architecture refusals come after the options dialog and before any save dialog.
  void vhdlArchitectures() {
    QFETCH(int, taps);
    QFETCH(int, position);
    QFETCH(QString, message);
    Calculated(Fir(taps, qv::Quantization::Signed16));
    dialogs_->answers.push_back(dir_->filePath("fir.vhd"));
    AnswerVhdlOptions(position);
    doc_->OnGenerateVhdlCode();
    if (message.isEmpty()) {
      QVERIFY(messages_->shown.isEmpty());
      QCOMPARE(dialogs_->asked.constFirst().title, QString("Save VHDL code As"));
      QCOMPARE(dialogs_->asked.constFirst().initialName, QString("Untitled.vhd"));
      QVERIFY(ReadAll(dir_->filePath("fir.vhd"))
                  .contains(position == 1 ? "-- 1 multiplier(s)" : "multiplier(s)"));
    } else {
      QCOMPARE(messages_->Texts(), QStringList{message});
      QVERIFY(dialogs_->asked.isEmpty());
    }
  }

  // Both HDL commands, with and without the testbench: the files are the generators' own.
  void hdlFilesAndTestbenches_data() {
    QTest::addColumn<bool>("verilog");
    QTest::addColumn<bool>("testbench");
    QTest::newRow("VHDL") << false << false;
    QTest::newRow("VHDL with testbench") << false << true;
    QTest::newRow("Verilog") << true << false;
    QTest::newRow("Verilog with testbench") << true << true;
  }

  void hdlFilesAndTestbenches() {
    QFETCH(bool, verilog);
    QFETCH(bool, testbench);
    Calculated(Fir(9, qv::Quantization::Signed8));
    const QString extension = verilog ? ".v" : ".vhd";
    dialogs_->answers.push_back(dir_->filePath("lp" + extension));
    QString caption;
    AnswerVhdlOptions(2, testbench, &caption);
    if (verilog) {
      doc_->OnGenerateVerilogCode();
    } else {
      doc_->OnGenerateVhdlCode();
    }
    QVERIFY(messages_->shown.isEmpty());
    QCOMPARE(caption, verilog ? QString("Verilog Parameter") : QString("VHDL Parameter"));
    QCOMPARE(dialogs_->asked.constFirst().title,
             verilog ? QString("Save Verilog code As") : QString("Save VHDL code As"));
    QCOMPARE(dialogs_->asked.constFirst().initialName, "Untitled" + extension);
    const QByteArray hardware = ReadAll(dir_->filePath("lp" + extension));
    QVERIFY(hardware.contains(verilog ? "// 5 multiplier(s)\n" : "-- 5 multiplier(s)\n"));
    const QString bench = dir_->filePath("lp_tb" + extension);
    QCOMPARE(QFile::exists(bench), testbench);
    if (testbench) {
      // The same names in another folder: the header names the files, not their folder.
      QVERIFY(QDir(dir_->path()).mkdir("direct"));
      const QString direct = dir_->filePath("direct/lp_tb" + extension);
      qv::OutputOptions options;
      options.architecture = qv::HdlArchitecture::Speed;
      options.language = verilog ? qv::HdlLanguage::Verilog : qv::HdlLanguage::Vhdl;
      options.hardwarePath = dir_->filePath("direct/lp" + extension).toStdString();
      QCOMPARE(qv::Write(qv::OutputFormat::Testbench, Document(), options, direct.toStdString()),
               qv::OutputCode::Ok);
      QCOMPARE(ReadAll(bench), ReadAll(direct));
    }
  }

  // The box opens as the last accepted dialog left it, in either language.
  void testbenchChoiceIsRemembered() {
    const FilterSpec spec = Fir(31, qv::Quantization::Signed16);
    for (const bool choice : {true, false}) {
      CVhdlParameterDlg first(spec, nullptr, qv::HdlLanguage::Verilog);
      first.TestbenchBox()->setChecked(choice);
      first.accept();
      QCOMPARE(first.WriteTestbench(), choice);
      CVhdlParameterDlg next(spec);
      QCOMPARE(next.TestbenchBox()->isChecked(), choice);
      CVhdlParameterDlg cancelled(spec);
      cancelled.TestbenchBox()->setChecked(!choice);
      cancelled.reject();
      QCOMPARE(CVhdlParameterDlg(spec).TestbenchBox()->isChecked(), choice);
    }
  }

  void testbenchPath() {
    QCOMPARE(qv::TestbenchPath("/d/fir.vhd", qv::HdlLanguage::Vhdl), QString("/d/fir_tb.vhd"));
    QCOMPARE(qv::TestbenchPath("/d/a.b.v", qv::HdlLanguage::Verilog), QString("/d/a.b_tb.v"));
    QCOMPARE(qv::TestbenchPath("/d/fir", qv::HdlLanguage::Verilog), QString("/d/fir_tb.v"));
  }

  void vhdlOptionsCancelled() {
    Calculated(Fir(31, qv::Quantization::Signed16));
    QTimer::singleShot(0, [] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CVhdlParameterDlg*>(widget);
            dialog && dialog->isVisible()) {
          dialog->reject();
        }
      }
    });
    doc_->OnGenerateVhdlCode();
    QVERIFY(dialogs_->asked.isEmpty());
    QVERIFY(messages_->shown.isEmpty());
  }

  void estimate_data() {
    QTest::addColumn<int>("taps");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("defaults, size") << 31 << 1
                                    << QStringList{"Signal Resolution: 16-bit",
                                                   "Coefficients Quantization: 16-bit",
                                                   "1 multiplier(s)",
                                                   "652 FFs for the filter*",
                                                   "512 FFs for the coefficients*",
                                                   "32 clks output latency",
                                                   "32000 Hz for Fclk",
                                                   "1000 Hz for Fsampling",
                                                   "* May change with synthezis optimization"};
    QTest::newRow("defaults, speed") << 31 << 2
                                     << QStringList{"Signal Resolution: 16-bit",
                                                    "Coefficients Quantization: 16-bit",
                                                    "16 multiplier(s)",
                                                    "1817 FFs for the filter*",
                                                    "256 FFs for the coefficients*",
                                                    "8 clks output latency",
                                                    "1000 Hz for Fclk",
                                                    "1000 Hz for Fsampling",
                                                    "* May change with synthezis optimization"};
  }

  void estimate() {
    QFETCH(int, taps);
    QFETCH(int, position);
    QFETCH(QStringList, lines);
    const FilterSpec spec = Fir(taps, qv::Quantization::Signed16);
    CVhdlParameterDlg dialog(spec);
    QCOMPARE(dialog.Position(), 1);  // opens at Size, estimated at once
    dialog.Slider()->setValue(position);
    QCOMPARE(dialog.Position(), position);
    QCOMPARE(QString::fromStdString(dialog.EstimateText()), lines.join("\r\n") + "\r\n");
    QString comment;
    for (const QString& line : lines) {
      comment += "-- " + line + "\n";
    }
    QCOMPARE(QString::fromStdString(dialog.HeaderComment()), comment);
    QCOMPARE(dialog.EstimateBox()->toPlainText(), lines.join("\n") + "\n");
  }

  // Every line the estimate gives shows whole on one line of the box: the refusals of too few
  // taps and the numbers of the largest designs and sampling frequencies.
  void estimateLinesShowWhole_data() {
    QTest::addColumn<int>("taps");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("fsample");
    QTest::addColumn<QString>("resolution");
    QTest::newRow("size, one tap") << 1 << 1 << 1000 << "16";
    QTest::newRow("speed, two taps") << 2 << 2 << 1000 << "16";
    QTest::newRow("size, 511 taps, 2 GHz, 64 bits") << 511 << 1 << 2000000000 << "64";
    QTest::newRow("speed, 511 taps, 2 GHz, 64 bits") << 511 << 2 << 2000000000 << "64";
  }

  void estimateLinesShowWhole() {
    QFETCH(int, taps);
    QFETCH(int, position);
    QFETCH(int, fsample);
    QFETCH(QString, resolution);
    FilterSpec spec = Fir(taps, qv::Quantization::Signed16);
    spec.fsample = fsample;
    spec.fcut1 = fsample / 10;
    CVhdlParameterDlg dialog(spec);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.ResolutionField()->setText(resolution);
    dialog.Slider()->setValue(position);
    dialog.EstimateResources();
    QCoreApplication::processEvents();
    const QTextDocument* text = dialog.EstimateBox()->document();
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
      QVERIFY2(block.layout()->lineCount() <= 1, qPrintable(block.text()));
    }
    QVERIFY(!dialog.EstimateBox()->horizontalScrollBar()->isVisible());
    QVERIFY(!dialog.EstimateBox()->verticalScrollBar()->isVisible());
  }

  void fiveTapsOnSpeed() {
    const FilterSpec spec = Fir(5, qv::Quantization::Signed8);
    CVhdlParameterDlg dialog(spec);
    dialog.Slider()->setValue(2);
    const QString text = QString::fromStdString(dialog.EstimateText());
    QVERIFY(text.contains("3 multiplier(s)\r\n"));
    QVERIFY(text.contains("6 clks output latency\r\n"));
    QVERIFY(text.contains("Coefficients Quantization: 8-bit\r\n"));
  }

  // The resolution in the field when OK is pressed is the one of every file, applied or not:
  // typed and confirmed with Enter, after another one was applied.
  void typedResolutionReachesEveryFile_data() {
    QTest::addColumn<bool>("verilog");
    QTest::newRow("VHDL") << false;
    QTest::newRow("Verilog") << true;
  }

  void typedResolutionReachesEveryFile() {
    QFETCH(bool, verilog);
    Calculated(Fir(9, qv::Quantization::Signed16));
    const QString extension = verilog ? ".v" : ".vhd";
    dialogs_->answers.push_back(dir_->filePath("lp" + extension));
    QTimer::singleShot(0, [] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CVhdlParameterDlg*>(widget);
            dialog && dialog->isVisible()) {
          dialog->TestbenchBox()->setChecked(true);
          dialog->ResolutionField()->setText("12");
          dialog->EstimateResources();  // Apply
          dialog->ResolutionField()->setText("10");
          QTest::keyClick(dialog->ResolutionField(), Qt::Key_Return);
        }
      }
    });
    if (verilog) {
      doc_->OnGenerateVerilogCode();
    } else {
      doc_->OnGenerateVhdlCode();
    }
    QVERIFY(messages_->shown.isEmpty());
    const QByteArray hardware = ReadAll(dir_->filePath("lp" + extension));
    const QByteArray bench = ReadAll(dir_->filePath("lp_tb" + extension));
    QVERIFY(hardware.contains(verilog ? "// Signal Resolution: 10-bit\n"
                                      : "-- Signal Resolution: 10-bit\n"));
    if (verilog) {
      QVERIFY(hardware.contains("module fir #(parameter W = 10) (\n"));
    }
    QVERIFY(
        bench.contains(verilog ? "localparam W = 10;\n" : "constant W       : integer := 10;\n"));
    QVERIFY(bench.contains(", 10-bit signal.\n"));
  }

  // A width the Verilog module or the testbench cannot take is refused by OK with the range,
  // and the dialog stays open; the VHDL file alone takes any width for its estimate.
  void resolutionRange_data() {
    QTest::addColumn<bool>("verilog");
    QTest::addColumn<bool>("testbench");
    QTest::addColumn<QString>("resolution");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Verilog, 40") << true << false << "40" << false;
    QTest::newRow("Verilog, 1") << true << false << "1" << false;
    QTest::newRow("Verilog, 32") << true << false << "32" << true;
    QTest::newRow("Verilog, 2") << true << false << "2" << true;
    QTest::newRow("VHDL with testbench, 40") << false << true << "40" << false;
    QTest::newRow("VHDL with testbench, 33") << false << true << "33" << false;
    QTest::newRow("VHDL alone, 40") << false << false << "40" << true;
  }

  void resolutionRange() {
    QFETCH(bool, verilog);
    QFETCH(bool, testbench);
    QFETCH(QString, resolution);
    QFETCH(bool, accepted);
    const FilterSpec spec = Fir(31, qv::Quantization::Signed16);
    CVhdlParameterDlg dialog(spec, nullptr,
                             verilog ? qv::HdlLanguage::Verilog : qv::HdlLanguage::Vhdl);
    dialog.TestbenchBox()->setChecked(testbench);
    dialog.ResolutionField()->setText(resolution);
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(messages_->Texts(), accepted
                                     ? QStringList()
                                     : QStringList{"The Signal Resolution must be 2 to 32 bits\n"});
    if (accepted) {
      QVERIFY(QString::fromStdString(dialog.HeaderComment())
                  .contains("Signal Resolution: " + resolution + "-bit\n"));
    }
  }

  // Refused in the dialog, before any save dialog: nothing is asked and nothing written.
  void resolutionRefusedBeforeTheFileDialog() {
    Calculated(Fir(9, qv::Quantization::Signed16));
    QTimer::singleShot(0, [] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CVhdlParameterDlg*>(widget);
            dialog && dialog->isVisible()) {
          dialog->ResolutionField()->setText("40");
          dialog->accept();
          QVERIFY(dialog->isVisible());
          dialog->reject();
        }
      }
    });
    doc_->OnGenerateVerilogCode();
    QCOMPARE(messages_->Texts(), QStringList{"The Signal Resolution must be 2 to 32 bits\n"});
    QVERIFY(dialogs_->asked.isEmpty());
    QVERIFY(QDir(dir_->path()).isEmpty());
  }

  void resolutionMustBeAnInteger() {
    qv::testing::ScriptedMessages local;
    const FilterSpec spec = Fir(31, qv::Quantization::Signed16);
    CVhdlParameterDlg dialog(spec);
    dialog.ResolutionField()->setText("1.5");
    dialog.EstimateResources();
    QCOMPARE(local.Texts(), QStringList{"Please enter an integer."});
    QCOMPARE(dialog.Resolution(), 16);
    QCOMPARE(dialog.ResolutionField()->text(), QString("16"));
  }
};

QTEST_MAIN(OutputCommandsTest)
#include "output_commands_test.moc"

#include "desktop/output_commands.h"

#include <QDir>
#include <QFileInfo>

#include "codegen/c_code_generator.h"
#include "codegen/coefficient_export.h"
#include "codegen/output_codes.h"
#include "codegen/testbench_generator.h"
#include "codegen/verilog_generator.h"
#include "codegen/vhdl_generator.h"
#include "desktop/vhdl_parameter_dlg.h"
#include "export/graph_export.h"
#include "framework/file_dialog.h"
#include "framework/file_name.h"
#include "framework/message_service.h"
#include "framework/utf8_text.h"

namespace qv {
namespace {

struct SaveDialogSetup {
  const char* extension;   // without its dot, as the dialog takes it
  const char* nameFilter;  // followed by kAllFilesFilter in the dialog
  const char* title;
};

constexpr SaveDialogSetup kCFile{"c", "C File (*.c)", "Save C code As"};
constexpr SaveDialogSetup kVhdlFile{"vhd", "VHDL File (*.vhd)", "Save VHDL code As"};
constexpr SaveDialogSetup kVerilogFile{"v", "Verilog Files (*.v)", "Save Verilog code As"};
constexpr SaveDialogSetup kGifFile{"gif", "Gif File (*.gif)", "Export Graphic As"};

// Shows the message of an output code in a stop box, in the words of `language` where it names
// one; false when there was none to show.
bool ReportOutputCode(OutputCode code, HdlLanguage language = HdlLanguage::Vhdl) {
  const std::string message = OutputMessage(code, language);
  if (message.empty()) {
    return false;
  }
  AfxMessageBox(FromUtf8View(message));
  return true;
}

// Asks for the output path; empty when the user cancelled.
QString AskOutputPath(const OutputSource& source, const SaveDialogSetup& setup, QWidget* parent) {
  const QString extension = QString::fromLatin1(setup.extension);
  CFileDialog dialog(false, extension, OutputBaseName(source.title, "." + extension),
                     {QString::fromLatin1(setup.nameFilter), kAllFilesFilter}, parent);
  dialog.SetTitle(QString::fromLatin1(setup.title));
  if (!dialog.DoModal()) {
    return {};
  }
  return dialog.GetPathName();
}

// The VHDL and the Verilog command: the same checks, options and save dialog, each with its
// language's messages and file type; then the testbench when it was asked for.
void GenerateHdlCode(const OutputSource& source, QWidget* parent, HdlLanguage language) {
  const bool verilog = language == HdlLanguage::Verilog;
  if (ReportOutputCode(CheckHdlDesign(source.spec, source.calculated), language)) {
    return;
  }
  CVhdlParameterDlg options(source.spec, parent, language);
  if (options.exec() != QDialog::Accepted) {
    return;
  }
  // Refused after the options, before any file is named: the even-tap check of Speed and the
  // fewest taps each architecture can express.
  const HdlArchitecture architecture = options.Architecture();
  if (ReportOutputCode(CheckHdlArchitecture(source.spec, architecture), language)) {
    return;
  }
  const QString path = AskOutputPath(source, verilog ? kVerilogFile : kVhdlFile, parent);
  if (path.isEmpty()) {
    return;
  }
  const FilterDesign& design = source.design;
  const OutputCode code =
      verilog ? GenerateVerilogCode(source.spec, source.scale, design.denominator, design.firTaps,
                                    design.shift, architecture, options.Resolution(),
                                    options.HeaderComment(), FileNameBytes(path))
              : GenerateVhdlCode(source.spec, source.scale, design.denominator, design.firTaps,
                                 design.shift, architecture, options.HeaderComment(),
                                 FileNameBytes(path));
  if (ReportOutputCode(code, language) || !options.WriteTestbench()) {
    return;
  }
  ReportOutputCode(
      GenerateTestbench(source.spec, design.firTaps, design.shift, architecture,
                        options.Resolution(), FileNameBytes(TestbenchPath(path, language))),
      language);
}

}  // namespace

QString OutputBaseName(const QString& title, const QString& extension) {
  const qsizetype stop = title.indexOf('.');
  return (stop < 0 ? title : title.left(stop)) + extension;
}

void GenerateCCodeCommand(const OutputSource& source, QWidget* parent) {
  if (!source.calculated) {
    ReportOutputCode(OutputCode::NotCalculated);
    return;
  }
  const QString path = AskOutputPath(source, kCFile, parent);
  if (path.isEmpty()) {
    return;
  }
  const FilterDesign& design = source.design;
  ReportOutputCode(GenerateCCode(source.spec, source.scale, design.numerator, design.denominator,
                                 design.firTaps, design.shift, FileNameBytes(path)));
}

QString TestbenchPath(const QString& hardwarePath, HdlLanguage language) {
  const QFileInfo chosen(hardwarePath);
  const QString name = chosen.fileName();
  const qsizetype dot = name.lastIndexOf('.');
  const QString base = dot > 0 ? name.left(dot) : name;
  const QString extension =
      language == HdlLanguage::Verilog ? QStringLiteral(".v") : QStringLiteral(".vhd");
  return chosen.dir().filePath(base + QStringLiteral("_tb") + extension);
}

void GenerateVhdlCodeCommand(const OutputSource& source, QWidget* parent) {
  GenerateHdlCode(source, parent, HdlLanguage::Vhdl);
}

void GenerateVerilogCodeCommand(const OutputSource& source, QWidget* parent) {
  GenerateHdlCode(source, parent, HdlLanguage::Verilog);
}

void ExportGraphCommand(const OutputSource& source, QWidget* parent) {
  if (!source.calculated) {
    ReportOutputCode(OutputCode::NotCalculated);
    return;
  }
  const QString path = AskOutputPath(source, kGifFile, parent);
  if (path.isEmpty()) {
    return;
  }
  ReportOutputCode(
      ExportGraphs(source.spec, source.scale, source.responses, FileNameBytes(path).c_str()));
}

void ExportCoefficientsCommand(const OutputSource& source, QWidget* parent) {
  if (!source.calculated) {
    ReportOutputCode(OutputCode::NotCalculated);
    return;
  }
  QStringList types;
  int proposed = -1;
  for (std::size_t i = 0; i < kCoefficientFormats.size(); ++i) {
    const CoefficientFormatName& name = kCoefficientFormats[i];
    types.append(QString::fromLatin1(name.description) + " (*" +
                 QString::fromLatin1(name.extension) + ")");
    // The first type this design can be written in is selected when the dialog opens.
    if (proposed < 0 && CheckCoefficientExport(name.format, source.spec, true) == OutputCode::Ok) {
      proposed = static_cast<int>(i);
    }
  }
  // No name extension is proposed: the type chosen last decides it.
  CFileDialog dialog(false, QString(), OutputBaseName(source.title, QString()), types, parent);
  dialog.SetTitle(QStringLiteral("Export Coefficients As"));
  dialog.SetFilterIndex(std::max(proposed, 0));
  if (!dialog.DoModal()) {
    return;
  }
  const int chosen = dialog.GetFilterIndex();
  if (chosen < 0 || chosen >= static_cast<int>(kCoefficientFormats.size())) {
    return;
  }
  const CoefficientFormatName& name = kCoefficientFormats[static_cast<std::size_t>(chosen)];
  if (ReportOutputCode(CheckCoefficientExport(name.format, source.spec, true))) {
    return;
  }
  QString path = dialog.GetPathName();
  if (QFileInfo(path).suffix().isEmpty()) {
    path += QString::fromLatin1(name.extension);
  }
  ReportOutputCode(ExportCoefficients(name.format, source.spec, source.scale, source.design,
                                      FileNameBytes(path)));
}

}  // namespace qv

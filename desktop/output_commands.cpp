#include "desktop/output_commands.h"

#include <QDir>
#include <QFileInfo>

#include "codegen/output_codes.h"
#include "desktop/vhdl_parameter_dlg.h"
#include "framework/file_dialog.h"
#include "framework/file_name.h"
#include "framework/message_service.h"
#include "framework/utf8_text.h"
#include "output/output_service.h"

namespace qv {
namespace {

struct SaveDialogSetup {
  OutputFormat format;     // gives the extension
  const char* nameFilter;  // followed by kAllFilesFilter in the dialog
  const char* title;
};

constexpr SaveDialogSetup kCFile{OutputFormat::C, "C File (*.c)", "Save C code As"};
constexpr SaveDialogSetup kVhdlFile{OutputFormat::Vhdl, "VHDL File (*.vhd)", "Save VHDL code As"};
constexpr SaveDialogSetup kVerilogFile{OutputFormat::Verilog, "Verilog Files (*.v)",
                                       "Save Verilog code As"};
constexpr SaveDialogSetup kGifFile{OutputFormat::Gif, "Gif File (*.gif)", "Export Graphic As"};

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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

OutputOptions Options(const OutputSource& source) {
  OutputOptions options;
  options.calculated = source.calculated;
  return options;
}

// Asks for the output path; empty when the user cancelled.
QString AskOutputPath(const OutputSource& source, const SaveDialogSetup& setup, QWidget* parent) {
  // The dialog takes the extension without its dot.
  const QString extension = Latin1(OutputExtension(setup.format)).mid(1);
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
  const OutputFormat format = verilog ? OutputFormat::Verilog : OutputFormat::Vhdl;
  OutputOptions options = Options(source);
  options.language = language;
  if (ReportOutputCode(CheckDesign(format, source.calculation, options), language)) {
    return;
  }
  CVhdlParameterDlg dialog(source.calculation.spec, parent, language);
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  // Refused after the options, before any file is named: the even-tap check of Speed and the
  // fewest taps each architecture can express.
  options.architecture = dialog.Architecture();
  options.resolution = dialog.Resolution();
  if (ReportOutputCode(Check(format, source.calculation, options), language)) {
    return;
  }
  const QString path = AskOutputPath(source, verilog ? kVerilogFile : kVhdlFile, parent);
  if (path.isEmpty()) {
    return;
  }
  if (ReportOutputCode(Write(format, source.calculation, options, FileNameBytes(path)), language) ||
      !dialog.WriteTestbench()) {
    return;
  }
  options.hardwarePath = FileNameBytes(path);
  ReportOutputCode(Write(OutputFormat::Testbench, source.calculation, options,
                         FileNameBytes(TestbenchPath(path, language))),
                   language);
}

// A command without options: checked, then the file asked for and written.
void WriteWithoutOptions(const OutputSource& source, const SaveDialogSetup& setup,
                         QWidget* parent) {
  const OutputOptions options = Options(source);
  if (ReportOutputCode(Check(setup.format, source.calculation, options))) {
    return;
  }
  const QString path = AskOutputPath(source, setup, parent);
  if (path.isEmpty()) {
    return;
  }
  ReportOutputCode(Write(setup.format, source.calculation, options, FileNameBytes(path)));
}

}  // namespace

QString OutputBaseName(const QString& title, const QString& extension) {
  const qsizetype stop = title.indexOf('.');
  return (stop < 0 ? title : title.left(stop)) + extension;
}

void GenerateCCodeCommand(const OutputSource& source, QWidget* parent) {
  WriteWithoutOptions(source, kCFile, parent);
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
  WriteWithoutOptions(source, kGifFile, parent);
}

void ExportCoefficientsCommand(const OutputSource& source, QWidget* parent) {
  const OutputOptions options = Options(source);
  if (!source.calculated) {
    ReportOutputCode(OutputCode::NotCalculated);
    return;
  }
  QStringList types;
  int proposed = -1;
  for (std::size_t i = 0; i < std::size(kCoefficientOutputs); ++i) {
    const OutputFormat format = kCoefficientOutputs[i];
    types.append(Latin1(OutputDescription(format)) + " (*" + Latin1(OutputExtension(format)) + ")");
    // The first type this design can be written in is selected when the dialog opens.
    if (proposed < 0 && Check(format, source.calculation, options) == OutputCode::Ok) {
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
  if (chosen < 0 || chosen >= static_cast<int>(std::size(kCoefficientOutputs))) {
    return;
  }
  // A name typed with one of the formats' own extensions is written in that format, whatever
  // type is selected, so no file carries one format under another's extension; a name without
  // an extension gets the selected type's, and any other extension is kept.
  QString path = dialog.GetPathName();
  const QString typed = QFileInfo(path).suffix();
  OutputFormat format = kCoefficientOutputs[chosen];
  for (const OutputFormat candidate : kCoefficientOutputs) {
    if (!typed.isEmpty() &&
        ("." + typed).compare(Latin1(OutputExtension(candidate)), Qt::CaseInsensitive) == 0) {
      format = candidate;
    }
  }
  if (ReportOutputCode(Check(format, source.calculation, options))) {
    return;
  }
  if (typed.isEmpty()) {
    path += Latin1(OutputExtension(format));
  }
  ReportOutputCode(Write(format, source.calculation, options, FileNameBytes(path)));
}

}  // namespace qv

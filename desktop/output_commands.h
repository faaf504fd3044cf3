// The commands of the Output menu: each asks the output service for its refusals, asks for a
// file name derived from the document's title and has the service write its format, reporting
// refusals and failures in stop boxes. They read the design and never change it.
#pragma once

#include <QString>

#include "codegen/hdl_language.h"
#include "engine/calculate.h"

class QWidget;

namespace qv {

// What the commands read of the document.
struct OutputSource {
  const Calculation& calculation;
  bool calculated;
  QString title;  // the document's title, such as "Untitled" or "lowpass.qvd"
};

// Takes a document title and an extension with its dot; returns the title up to its first full
// stop followed by the extension ("a.b.qvd" and ".c" give "a.c").
QString OutputBaseName(const QString& title, const QString& extension);

// The testbench beside a hardware file: "dir/fir.vhd" gives "dir/fir_tb.vhd" (VHDL) and
// "dir/fir.v" "dir/fir_tb.v" (Verilog); the chosen file's last extension is replaced.
QString TestbenchPath(const QString& hardwarePath, HdlLanguage language);

// Each command shows its dialogs and messages over `parent` (may be null).
void GenerateCCodeCommand(const OutputSource& source, QWidget* parent);
// The VHDL and Verilog commands also write NAME_tb.vhd or NAME_tb.v beside the chosen file
// when the options dialog's testbench box is ticked.
void GenerateVhdlCodeCommand(const OutputSource& source, QWidget* parent);
void GenerateVerilogCodeCommand(const OutputSource& source, QWidget* parent);
void ExportGraphCommand(const OutputSource& source, QWidget* parent);
// The file type chosen in the save dialog decides the format (.coe, .mif, .csv or sections in
// C), and its extension is added to a name typed without one; a name typed with one of these
// extensions is written in that extension's format.
void ExportCoefficientsCommand(const OutputSource& source, QWidget* parent);

}  // namespace qv

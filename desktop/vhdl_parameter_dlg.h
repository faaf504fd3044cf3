// "VHDL Parameter" (or "Verilog Parameter"): the architecture (Size or Speed on a two-position
// slider) and the signal width, with the resource estimate of the chosen architecture for the
// current design, and whether a self-checking testbench is written with the file.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

#include "codegen/testbench_generator.h"
#include "records/filter_spec.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSlider;

namespace qv {

class CVhdlParameterDlg : public QDialog {
  Q_OBJECT

 public:
  // Takes the document's specification (taps, sampling frequency, quantization), which must
  // outlive the dialog, and the language of the file, which names the dialog. Opens at Size
  // with a 16-bit signal and shows that estimate at once; the testbench box as last accepted.
  explicit CVhdlParameterDlg(const FilterSpec& spec, QWidget* parent = nullptr,
                             HdlLanguage language = HdlLanguage::Vhdl);

  // The architecture read by the last estimate: 1 = Size, 2 = Speed.
  [[nodiscard]] int Position() const { return position_; }
  [[nodiscard]] HdlArchitecture Architecture() const {
    return static_cast<HdlArchitecture>(position_);
  }
  // The last estimate as comment lines of the language ("-- " or "// " ... "\n"), for the
  // file's header.
  [[nodiscard]] const std::string& HeaderComment() const { return headerComment_; }
  [[nodiscard]] std::int32_t Resolution() const { return resolution_; }
  // The text of the estimate box, every line ending in "\r\n".
  [[nodiscard]] const std::string& EstimateText() const { return estimateText_; }

  QSlider* Slider() const { return slider_; }
  QLineEdit* ResolutionField() const { return resolutionField_; }
  QPlainTextEdit* EstimateBox() const { return estimateBox_; }
  QCheckBox* TestbenchBox() const { return testbenchBox_; }
  // Whether the testbench box was ticked when the dialog was accepted.
  [[nodiscard]] bool WriteTestbench() const { return writeTestbench_; }

  // Reads the controls, recomputes the estimate for the slider's architecture and shows it.
  void EstimateResources();

 public slots:
  void accept() override;

 private:
  void BuildControls();

  // The testbench choice of the last accepted dialog, for as long as the program runs.
  static bool lastWriteTestbench_;

  const FilterSpec& spec_;
  const char* commentPrefix_;
  bool writeTestbench_;
  std::int32_t resolution_;
  int position_ = 0;
  std::string headerComment_;
  std::string estimateText_;
  QSlider* slider_ = nullptr;
  QLineEdit* resolutionField_ = nullptr;
  QPlainTextEdit* estimateBox_ = nullptr;
  QCheckBox* testbenchBox_ = nullptr;
};

}  // namespace qv

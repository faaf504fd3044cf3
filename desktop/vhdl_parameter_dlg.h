// "VHDL Parameter": the architecture (Size or Speed on a two-position slider) and the signal
// width, with the resource estimate of the chosen architecture for the current design.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

#include "records/filter_spec.h"

class QLineEdit;
class QPlainTextEdit;
class QSlider;

namespace qv {

class CVhdlParameterDlg : public QDialog {
  Q_OBJECT

 public:
  // Takes the document's specification (taps, sampling frequency, quantization), which must
  // outlive the dialog. Opens at Size with a 16-bit signal and shows that estimate at once.
  explicit CVhdlParameterDlg(const FilterSpec& spec, QWidget* parent = nullptr);

  // The architecture read by the last estimate: 1 = Size, 2 = Speed.
  [[nodiscard]] int Position() const { return position_; }
  // The last estimate as VHDL comment lines ("-- " ... "\n"), for the file's header.
  [[nodiscard]] const std::string& HeaderComment() const { return headerComment_; }
  [[nodiscard]] std::int32_t Resolution() const { return resolution_; }
  // The text of the estimate box, every line ending in "\r\n".
  [[nodiscard]] const std::string& EstimateText() const { return estimateText_; }

  QSlider* Slider() const { return slider_; }
  QLineEdit* ResolutionField() const { return resolutionField_; }
  QPlainTextEdit* EstimateBox() const { return estimateBox_; }

  // Reads the controls, recomputes the estimate for the slider's architecture and shows it.
  void EstimateResources();

 public slots:
  void accept() override;

 private:
  void BuildControls();

  const FilterSpec& spec_;
  std::int32_t resolution_;
  int position_ = 0;
  std::string headerComment_;
  std::string estimateText_;
  QSlider* slider_ = nullptr;
  QLineEdit* resolutionField_ = nullptr;
  QPlainTextEdit* estimateBox_ = nullptr;
};

}  // namespace qv

#include "desktop/vhdl_parameter_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "codegen/output_codes.h"
#include "codegen/resource_estimate.h"
#include "codegen/verilog_generator.h"
#include "codegen/vhdl_generator.h"
#include "framework/data_exchange.h"
#include "framework/dialog_units.h"
#include "framework/message_service.h"
#include "framework/utf8_text.h"

namespace qv {
namespace {

constexpr std::int32_t kDefaultResolution = 16;  // bits of X_IN and Y_OUT at opening

// The template, in dialog units: x, y, width, height. Wide enough for the estimate's longest
// line ("Estimate not available: SPEED needs 3 to 511 taps") on one line of the box.
struct TemplateRect {
  int x, y, width, height;
};
constexpr int kTemplateWidth = 215;
constexpr int kTemplateHeight = 215;
constexpr TemplateRect kOptimizerGroup{4, 4, 207, 38};
constexpr TemplateRect kSizeLabel{11, 20, 22, 8};
constexpr TemplateRect kSlider{35, 16, 144, 16};
constexpr TemplateRect kSpeedLabel{183, 20, 24, 8};
constexpr TemplateRect kEstimateGroup{4, 46, 207, 130};
constexpr TemplateRect kResolutionField{10, 59, 32, 12};
constexpr TemplateRect kResolutionLabel{48, 61, 110, 8};
constexpr TemplateRect kEstimateBox{10, 76, 195, 95};
constexpr TemplateRect kTestbenchBox{6, 180, 205, 10};
constexpr TemplateRect kOkButton{4, 195, 50, 14};
constexpr TemplateRect kCancelButton{82, 195, 50, 14};
constexpr TemplateRect kApplyButton{161, 195, 50, 14};

QString ShownText(const std::string& estimate) {
  // The box keeps the estimate's own line ends; a plain-text box shows "\n" alone as a break.
  return FromUtf8View(estimate).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

bool CVhdlParameterDlg::lastWriteTestbench_ = false;

CVhdlParameterDlg::CVhdlParameterDlg(const FilterSpec& spec, QWidget* parent, HdlLanguage language)
    : QDialog(parent),
      spec_(spec),
      verilog_(language == HdlLanguage::Verilog),
      commentPrefix_(verilog_ ? "// " : "-- "),
      writeTestbench_(lastWriteTestbench_),
      resolution_(kDefaultResolution) {
  setWindowTitle(language == HdlLanguage::Verilog ? QStringLiteral("Verilog Parameter")
                                                  : QStringLiteral("VHDL Parameter"));
  BuildControls();
  EstimateResources();
}

void CVhdlParameterDlg::BuildControls() {
  setFont(TemplateFont());
  const DialogUnits units(font());
  auto place = [&units](QWidget* widget, TemplateRect rect) {
    widget->setGeometry(units.ToPixels(rect.x, rect.y, rect.width, rect.height));
  };
  setFixedSize(units.ToPixelsX(kTemplateWidth), units.ToPixelsY(kTemplateHeight));

  place(new QGroupBox(QStringLiteral("VHDL Optimizer"), this), kOptimizerGroup);
  place(new QLabel(QStringLiteral("Size"), this), kSizeLabel);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(static_cast<int>(HdlArchitecture::Size),
                    static_cast<int>(HdlArchitecture::Speed));
  slider_->setTickPosition(QSlider::NoTicks);
  slider_->setPageStep(1);
  place(slider_, kSlider);
  place(new QLabel(QStringLiteral("Speed"), this), kSpeedLabel);

  place(new QGroupBox(QStringLiteral("Resources Usage Estimation"), this), kEstimateGroup);
  resolutionField_ = new QLineEdit(this);
  resolutionField_->setAlignment(Qt::AlignRight);
  place(resolutionField_, kResolutionField);
  place(new QLabel(QStringLiteral("Signal Resolution (Bit)"), this), kResolutionLabel);
  estimateBox_ = new QPlainTextEdit(this);
  estimateBox_->setReadOnly(true);
  // A line longer than the box (numbers of a resolution typed far beyond any signal) wraps
  // rather than hiding behind a horizontal scroll bar.
  estimateBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  estimateBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  place(estimateBox_, kEstimateBox);
  ShowInteger(resolutionField_, resolution_);
  testbenchBox_ = new QCheckBox(QStringLiteral("Also write a self-checking testbench"), this);
  testbenchBox_->setChecked(writeTestbench_);
  place(testbenchBox_, kTestbenchBox);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  place(ok, kOkButton);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  place(cancel, kCancelButton);
  auto* apply = new QPushButton(QStringLiteral("Apply"), this);
  apply->setAutoDefault(false);
  place(apply, kApplyButton);

  connect(ok, &QPushButton::clicked, this, &CVhdlParameterDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CVhdlParameterDlg::reject);
  connect(apply, &QPushButton::clicked, this, &CVhdlParameterDlg::EstimateResources);
  connect(slider_, &QSlider::valueChanged, this, &CVhdlParameterDlg::EstimateResources);
}

void CVhdlParameterDlg::EstimateResources() {
  ExchangeInteger(resolutionField_, resolution_);
  position_ = slider_->value();
  const EstimateReport report = ReportEstimate(spec_, Architecture(), resolution_);
  estimateText_ = report.DisplayText();
  headerComment_ = report.CommentLines(commentPrefix_);
  estimateBox_->setPlainText(ShownText(estimateText_));
  ShowInteger(resolutionField_, resolution_);
}

void CVhdlParameterDlg::accept() {
  // OK estimates again, so that the resolution in the field is the one of the header, the
  // estimate, the Verilog module and the testbench alike. A text that is no integer, or a width
  // that the Verilog module or the testbench cannot take, keeps the dialog open; the VHDL file
  // alone takes any width, which only its estimate uses.
  if (!ExchangeInteger(resolutionField_, resolution_)) {
    return;
  }
  const bool bounded = verilog_ || testbenchBox_->isChecked();
  if (bounded && (resolution_ < kMinHdlWidth || resolution_ > kMaxHdlWidth)) {
    AfxMessageBox(FromUtf8View(OutputMessage(OutputCode::ResolutionRange,
                                             verilog_ ? HdlLanguage::Verilog : HdlLanguage::Vhdl)));
    resolutionField_->setFocus(Qt::OtherFocusReason);
    resolutionField_->selectAll();
    return;
  }
  EstimateResources();
  writeTestbench_ = testbenchBox_->isChecked();
  lastWriteTestbench_ = writeTestbench_;
  QDialog::accept();
}

}  // namespace qv

#include "desktop/parameter_dlg.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "desktop/quorvanel_doc.h"
#include "framework/data_exchange.h"
#include "framework/dialog_units.h"

namespace qv {
namespace {

// The form template, in dialog units.
constexpr int kTemplateWidth = 124;
constexpr int kTemplateHeight = 408;

enum class Kind { Radio, GroupBox, Label, Edit, Button };

struct TemplateControl {
  Kind kind;
  const char* text;
  int x, y, width, height;
  int group = -1;  // radio buttons: their group; edits: their field
  int index = 0;   // radio buttons: their index in the group
};

using G = CParameterDlg::Group;
using F = CParameterDlg::Field;

// In template order, which is also the tab order and numbers the radio buttons of a group.
constexpr TemplateControl kTemplate[] = {
    {Kind::Radio, "IIR", 12, 11, 25, 10, G::ClassGroup, 0},
    {Kind::Radio, "FIR", 71, 11, 27, 10, G::ClassGroup, 1},
    {Kind::GroupBox, "Filter", 4, 2, 116, 22},
    {Kind::Radio, "Low Pass", 12, 36, 47, 10, G::BandGroup, 0},
    {Kind::Radio, "High Pass", 12, 48, 48, 10, G::BandGroup, 1},
    {Kind::Radio, "Band Pass", 12, 60, 50, 10, G::BandGroup, 2},
    {Kind::Radio, "Band Stop", 12, 73, 49, 10, G::BandGroup, 3},
    {Kind::GroupBox, "Type", 4, 27, 116, 60},
    {Kind::Radio, "Butterworth", 12, 102, 52, 10, G::ModelGroup, 0},
    {Kind::Radio, "Chebychev", 12, 113, 52, 10, G::ModelGroup, 1},
    {Kind::Radio, "Bessel", 12, 126, 37, 10, G::ModelGroup, 2},
    {Kind::Radio, "Rectangle", 12, 138, 49, 10, G::ModelGroup, 3},
    {Kind::Radio, "Raised Cosine", 12, 150, 61, 10, G::ModelGroup, 4},
    {Kind::GroupBox, "Model", 4, 92, 116, 72},
    {Kind::Label, "Fsample (Hz)", 50, 175, 51, 9},
    {Kind::Edit, nullptr, 4, 173, 43, 12, F::Fsample},
    {Kind::Label, "Fcut1 (Hz)", 50, 194, 39, 9},
    {Kind::Edit, nullptr, 4, 192, 43, 12, F::Fcut1},
    {Kind::Label, "Fcut2 (Hz)", 50, 211, 51, 9},
    {Kind::Edit, nullptr, 4, 210, 43, 12, F::Fcut2},
    {Kind::Label, "Filter Order", 50, 230, 39, 9},
    {Kind::Edit, nullptr, 4, 229, 43, 12, F::FilterOrder},
    {Kind::Label, "Band Pass Ripple (dB)", 50, 250, 72, 9},
    {Kind::Edit, nullptr, 4, 249, 43, 12, F::Ripple},
    {Kind::Label, "Roll Off Factor", 50, 268, 51, 9},
    {Kind::Edit, nullptr, 4, 266, 43, 12, F::RollOff},
    {Kind::Label, "N Tap", 50, 287, 39, 9},
    {Kind::Edit, nullptr, 4, 286, 43, 12, F::Taps},
    {Kind::Button, "Calculate Filter", 34, 373, 59, 14},
    {Kind::GroupBox, "Coefficients Quantization", 4, 306, 116, 50},
    {Kind::Radio, "Float", 10, 317, 31, 10, G::QuantizationGroup, 0},
    {Kind::Radio, "8-bit signed", 10, 341, 52, 10, G::QuantizationGroup, 1},
    {Kind::Radio, "16-bit signed", 10, 329, 56, 10, G::QuantizationGroup, 2},
};

const QString kGroupBoxStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }");

constexpr int kRectangleIndex = static_cast<int>(FilterModel::Rectangle);
constexpr int kRaisedCosineIndex = static_cast<int>(FilterModel::RaisedCosine);

template <typename Enumeration>
void Check(QButtonGroup* group, Enumeration code) {
  if (QAbstractButton* button = group->button(static_cast<int>(code))) {
    button->setChecked(true);
  }
}

template <typename Enumeration>
Enumeration Checked(const QButtonGroup* group) {
  return static_cast<Enumeration>(group->checkedId());
}

// The fields the form edits; the derived effectiveOrder and fcenter are the calculation's.
void CopyFormFields(const FilterSpec& from, FilterSpec& to) {
  to.filterClass = from.filterClass;
  to.bandType = from.bandType;
  to.model = from.model;
  to.order = from.order;
  to.fcut1 = from.fcut1;
  to.fcut2 = from.fcut2;
  to.fsample = from.fsample;
  to.ripple = from.ripple;
  to.rollOff = from.rollOff;
  to.taps = from.taps;
  to.quantization = from.quantization;
}

}  // namespace

CParameterDlg::CParameterDlg(CQuorvanelDoc& document, QWidget* parent)
    : QScrollArea(parent), document_(document) {
  setFrameShape(QFrame::NoFrame);
  auto* page = new QWidget(this);
  page->setFont(TemplateFont());
  BuildControls(page);
  setWidget(page);
  document_.AddView(this);
}

CParameterDlg::~CParameterDlg() { document_.RemoveView(this); }

void CParameterDlg::BuildControls(QWidget* page) {
  const DialogUnits units(page->font());
  // The page takes at least the pane's first width, so that labels written in a wider face than
  // the template's reach to the pane's edge rather than being cut.
  const int pageWidth = std::max(units.ToPixelsX(kTemplateWidth), kPaneWidth);
  page->setFixedSize(pageWidth, units.ToPixelsY(kTemplateHeight));
  for (int g = 0; g < kGroupCount; ++g) {
    groups_[g] = new QButtonGroup(this);
  }
  for (const TemplateControl& control : kTemplate) {
    const QString text = QString::fromLatin1(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case Kind::Radio: {
        auto* radio = new QRadioButton(text, page);
        groups_[control.group]->addButton(radio, control.index);
        connect(radio, &QRadioButton::clicked, this, &CParameterDlg::ApplyForm);
        if (control.group == G::ModelGroup && control.index == kRectangleIndex) {
          rectangle_ = radio;
        } else if (control.group == G::ModelGroup && control.index == kRaisedCosineIndex) {
          raisedCosine_ = radio;
        }
        widget = radio;
        break;
      }
      case Kind::GroupBox:
        widget = new QGroupBox(text, page);
        break;
      case Kind::Label:
        widget = new QLabel(text, page);
        break;
      case Kind::Edit: {
        auto* edit = new QLineEdit(page);
        fields_[control.group] = edit;
        edit->installEventFilter(this);
        widget = edit;
        break;
      }
      case Kind::Button:
        calculate_ = new QPushButton(text, page);
        calculate_->setDefault(true);
        connect(calculate_, &QPushButton::clicked, this, &CParameterDlg::OnCalculate);
        widget = calculate_;
        break;
    }
    QRect rect = units.ToPixels(control.x, control.y, control.width, control.height);
    if (control.kind == Kind::Label) {
      rect.setRight(pageWidth - 1);
    }
    widget->setGeometry(rect);
    if (control.kind == Kind::GroupBox) {
      // A group box only frames the controls drawn over it, its title on its top line as the
      // template draws it.
      widget->setStyleSheet(kGroupBoxStyle);
      widget->lower();
      widget->setFocusPolicy(Qt::NoFocus);
    }
  }
}

bool CParameterDlg::eventFilter(QObject* watched, QEvent* event) {
  // Leaving a field marks the design modified only when its text was edited since the form
  // last showed it or the field was last left; merely passing through asks nothing on close.
  if (auto* edit = qobject_cast<QLineEdit*>(watched);
      edit != nullptr && event->type() == QEvent::FocusOut && edit->isModified()) {
    edit->setModified(false);
    document_.SetModifiedFlag();
  }
  // The window's keys come before the field's own: Ctrl+A is Save As, not select-all.
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_A)) {
    event->ignore();
    return true;
  }
  return QScrollArea::eventFilter(watched, event);
}

void CParameterDlg::keyPressEvent(QKeyEvent* event) {
  // Enter in any control of the form presses the default button, "Calculate Filter".
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    OnCalculate();
    return;
  }
  QScrollArea::keyPressEvent(event);
}

void CParameterDlg::OnUpdate() { LoadForm(); }

void CParameterDlg::ReadForm() {
  values_.filterClass = Checked<FilterClass>(groups_[ClassGroup]);
  values_.bandType = Checked<BandType>(groups_[BandGroup]);
  values_.model = Checked<FilterModel>(groups_[ModelGroup]);
  // Like the classic data exchange, the first field that holds no number stops the reading:
  // it and every later value keep what they held.
  const bool read = ExchangeInteger(fields_[Fsample], values_.fsample) &&
                    ExchangeInteger(fields_[Fcut1], values_.fcut1) &&
                    ExchangeInteger(fields_[Fcut2], values_.fcut2) &&
                    ExchangeInteger(fields_[FilterOrder], values_.order) &&
                    ExchangeNumber(fields_[Ripple], values_.ripple) &&
                    ExchangeNumber(fields_[RollOff], values_.rollOff) &&
                    ExchangeInteger(fields_[Taps], values_.taps);
  if (read) {
    values_.quantization = Checked<Quantization>(groups_[QuantizationGroup]);
  }
}

void CParameterDlg::WriteForm() {
  Check(groups_[ClassGroup], values_.filterClass);
  Check(groups_[BandGroup], values_.bandType);
  Check(groups_[ModelGroup], values_.model);
  Check(groups_[QuantizationGroup], values_.quantization);
  ShowInteger(fields_[Fsample], values_.fsample);
  ShowInteger(fields_[Fcut1], values_.fcut1);
  ShowInteger(fields_[Fcut2], values_.fcut2);
  ShowInteger(fields_[FilterOrder], values_.order);
  ShowNumber(fields_[Ripple], values_.ripple);
  ShowNumber(fields_[RollOff], values_.rollOff);
  ShowInteger(fields_[Taps], values_.taps);
}

void CParameterDlg::ApplyForm() {
  ReadForm();
  CopyFormFields(values_, document_.EditSpec());
  ApplyRules();
  WriteForm();
  document_.ClearCalculated();
  document_.SetModifiedFlag();
  // The graphs no longer belong to the specification.
  document_.UpdateAllViews(this);
}

void CParameterDlg::LoadForm() {
  CopyFormFields(document_.GetSpec(), values_);
  ApplyRules();
  WriteForm();
}

void CParameterDlg::ApplyRules() {
  FilterSpec& spec = document_.EditSpec();
  const bool fir = spec.filterClass == FilterClass::Fir;
  if (!fir && (spec.model == FilterModel::Rectangle || spec.model == FilterModel::RaisedCosine)) {
    spec.model = FilterModel::Butterworth;
    values_.model = FilterModel::Butterworth;
  }
  if (!IsBandType(spec.bandType)) {
    spec.fcut2 = spec.fcut1;
  }
  rectangle_->setEnabled(fir);
  raisedCosine_->setEnabled(fir);
  fields_[Taps]->setEnabled(fir);
  fields_[Ripple]->setEnabled(spec.model == FilterModel::Chebyshev);
  fields_[FilterOrder]->setEnabled(IsIirModel(spec.model));
  fields_[RollOff]->setEnabled(spec.model == FilterModel::RaisedCosine);
  fields_[Fcut2]->setEnabled(IsBandType(spec.bandType));
}

void CParameterDlg::OnCalculate() {
  ApplyForm();
  document_.OnCalculate();
}

}  // namespace qv

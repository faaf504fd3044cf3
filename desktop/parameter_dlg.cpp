#include "desktop/parameter_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
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

// The form template, in dialog units: the classic form, then the requirements below it.
constexpr int kTemplateWidth = 124;
constexpr int kTemplateHeight = 461;

enum class Kind { Radio, GroupBox, Label, Edit, Button, CheckBox };

struct TemplateControl {
  Kind kind;
  const char* text;
  int x, y, width, height;
  int group = -1;  // radio buttons: their group; edits: their field; check boxes: their option
  int index = 0;   // radio buttons: their index in the group
};

using G = CParameterDlg::Group;
using F = CParameterDlg::Field;
using O = CParameterDlg::Option;

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
    // The models designed from the requirements, beside the others: two IIR, two FIR.
    {Kind::Radio, "Chebyshev II", 64, 102, 56, 10, G::ModelGroup, 5},
    {Kind::Radio, "Elliptic", 64, 113, 56, 10, G::ModelGroup, 6},
    {Kind::Radio, "Kaiser", 64, 126, 56, 10, G::ModelGroup, 7},
    {Kind::Radio, "Equiripple", 64, 138, 56, 10, G::ModelGroup, 8},
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
    // The structure of a quantised IIR design, beside its quantisation.
    {Kind::Radio, "Direct form", 66, 317, 53, 10, G::StructureGroup, 0},
    {Kind::Radio, "Sections", 66, 329, 53, 10, G::StructureGroup, 1},
    {Kind::Radio, "L\u221e", 72, 341, 24, 10, G::ScalingGroup, 0},
    {Kind::Radio, "L2", 97, 341, 22, 10, G::ScalingGroup, 1},
    // The requirements: the check box stands on the group's top line, as its title.
    {Kind::GroupBox, "", 4, 392, 116, 66},
    {Kind::CheckBox, "Requirements", 8, 390, 58, 10, O::RequirementsOption},
    {Kind::Edit, nullptr, 10, 402, 32, 12, F::PassEdge1},
    {Kind::Edit, nullptr, 45, 402, 32, 12, F::PassEdge2},
    {Kind::Label, "Fpass (Hz)", 80, 404, 40, 9},
    {Kind::Edit, nullptr, 10, 416, 32, 12, F::StopEdge1},
    {Kind::Edit, nullptr, 45, 416, 32, 12, F::StopEdge2},
    {Kind::Label, "Fstop (Hz)", 80, 418, 40, 9},
    {Kind::Edit, nullptr, 10, 430, 32, 12, F::Attenuation},
    {Kind::Label, "As (dB)", 45, 432, 40, 9},
    {Kind::CheckBox, "Minimum order", 10, 444, 70, 10, O::MinimumOrderOption},
};

const QString kGroupBoxStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }");

// Radio buttons right of this dialog-unit column stand in a group's second column.
constexpr int kSecondColumn = 60;
const QString kSecondColumnStyle = QStringLiteral("QRadioButton { spacing: 2px; }");

// The models only an FIR design can have.
constexpr bool IsFirOnlyModel(FilterModel model) {
  return model == FilterModel::Rectangle || model == FilterModel::RaisedCosine ||
         model == FilterModel::Kaiser || model == FilterModel::Equiripple;
}

// Each stop-band edge of a fresh scheme lies a quarter of the way from its pass-band edge (a cut
// frequency) to the next limit beyond it: 0 Hz, half the sampling frequency, or for a band stop
// the other cut frequency.
constexpr double kSeedTransition = 0.25;

// A scheme none of whose edges was ever set (all 0) starts from the cut frequencies, so that
// the first calculation has a sound scheme to meet.
void SeedScheme(FilterSpec& spec) {
  ToleranceScheme& s = spec.scheme;
  if (s.pass1 != 0.0 || s.pass2 != 0.0 || s.stop1 != 0.0 || s.stop2 != 0.0) {
    return;
  }
  const double f1 = spec.fcut1;
  const double f2 = spec.fcut2;
  const double nyquist = spec.fsample / 2.0;
  s.pass1 = f1;
  switch (spec.bandType) {
    case BandType::LowPass:
      s.stop1 = f1 + (nyquist - f1) * kSeedTransition;
      break;
    case BandType::HighPass:
      s.stop1 = f1 - f1 * kSeedTransition;
      break;
    case BandType::BandPass:
      s.pass2 = f2;
      s.stop1 = f1 - f1 * kSeedTransition;
      s.stop2 = f2 + (nyquist - f2) * kSeedTransition;
      break;
    case BandType::BandStop:
      s.pass2 = f2;
      s.stop1 = f1 + (f2 - f1) * kSeedTransition;
      s.stop2 = f2 - (f2 - f1) * kSeedTransition;
      break;
  }
}

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
  to.structure = from.structure;
  to.sectionScaling = from.sectionScaling;
  to.scheme = from.scheme;
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
    const QString text = QString::fromUtf8(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case Kind::Radio: {
        auto* radio = new QRadioButton(text, page);
        groups_[control.group]->addButton(radio, control.index);
        connect(radio, &QRadioButton::clicked, this, &CParameterDlg::ApplyForm);
        if (control.x > kSecondColumn) {
          // A second column has less room: its texts sit closer to their buttons.
          radio->setStyleSheet(kSecondColumnStyle);
        }
        widget = radio;
        break;
      }
      case Kind::CheckBox: {
        auto* box = new QCheckBox(text, page);
        options_[control.group] = box;
        connect(box, &QCheckBox::clicked, this, &CParameterDlg::ApplyForm);
        // Standing on a group's top line, it hides the line behind its text.
        box->setAutoFillBackground(true);
        widget = box;
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
  if (!read) {
    return;
  }
  values_.quantization = Checked<Quantization>(groups_[QuantizationGroup]);
  values_.structure = Checked<IirStructure>(groups_[StructureGroup]);
  values_.sectionScaling = Checked<SectionScaling>(groups_[ScalingGroup]);
  ToleranceScheme& scheme = values_.scheme;
  scheme.active = options_[RequirementsOption]->isChecked();
  const bool readScheme = ExchangeNumber(fields_[PassEdge1], scheme.pass1) &&
                          ExchangeNumber(fields_[PassEdge2], scheme.pass2) &&
                          ExchangeNumber(fields_[StopEdge1], scheme.stop1) &&
                          ExchangeNumber(fields_[StopEdge2], scheme.stop2) &&
                          ExchangeNumber(fields_[Attenuation], scheme.attenuation);
  if (readScheme) {
    scheme.minimumOrder = options_[MinimumOrderOption]->isChecked();
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
  Check(groups_[StructureGroup], values_.structure);
  Check(groups_[ScalingGroup], values_.sectionScaling);
  options_[RequirementsOption]->setChecked(values_.scheme.active);
  ShowNumber(fields_[PassEdge1], values_.scheme.pass1);
  ShowNumber(fields_[PassEdge2], values_.scheme.pass2);
  ShowNumber(fields_[StopEdge1], values_.scheme.stop1);
  ShowNumber(fields_[StopEdge2], values_.scheme.stop2);
  ShowNumber(fields_[Attenuation], values_.scheme.attenuation);
  options_[MinimumOrderOption]->setChecked(values_.scheme.minimumOrder);
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
  if (!fir && IsFirOnlyModel(spec.model)) {
    spec.model = FilterModel::Butterworth;
    values_.model = FilterModel::Butterworth;
  }
  if (!IsBandType(spec.bandType)) {
    spec.fcut2 = spec.fcut1;
  }
  // The models designed from the requirements cannot do without them.
  if (NeedsScheme(spec.model) && !spec.scheme.active) {
    spec.scheme.active = true;
    values_.scheme.active = true;
  }
  if (spec.scheme.active) {
    SeedScheme(spec);
    values_.scheme = spec.scheme;
  }
  const ToleranceScheme& scheme = spec.scheme;
  const bool band = IsBandType(spec.bandType);
  // Quorvanel chooses the order (IIR) or the tap count (FIR), and with them the cut
  // frequencies, which the models designed from the scheme always take from its edges.
  const bool chosenCount = scheme.active && scheme.minimumOrder;
  const bool derivedCuts = scheme.active && (scheme.minimumOrder || NeedsScheme(spec.model));
  for (QAbstractButton* model : groups_[ModelGroup]->buttons()) {
    if (IsFirOnlyModel(static_cast<FilterModel>(groups_[ModelGroup]->id(model)))) {
      model->setEnabled(fir);
    }
  }
  fields_[Taps]->setEnabled(fir && !chosenCount);
  fields_[Ripple]->setEnabled(spec.model == FilterModel::Chebyshev || scheme.active);
  fields_[FilterOrder]->setEnabled(IsIirModel(spec.model) && !(chosenCount && !fir));
  fields_[RollOff]->setEnabled(spec.model == FilterModel::RaisedCosine);
  fields_[Fcut1]->setEnabled(!derivedCuts);
  fields_[Fcut2]->setEnabled(band && !derivedCuts);

  // The structure applies where the engine would build sections if asked to.
  const FilterSpec structured{.filterClass = spec.filterClass,
                              .model = spec.model,
                              .quantization = spec.quantization,
                              .structure = IirStructure::Sections};
  const bool structure = UsesFixedPointSections(structured);
  for (QAbstractButton* button : groups_[StructureGroup]->buttons()) {
    button->setEnabled(structure);
  }
  for (QAbstractButton* button : groups_[ScalingGroup]->buttons()) {
    button->setEnabled(structure && spec.structure == IirStructure::Sections);
  }

  fields_[PassEdge1]->setEnabled(scheme.active);
  fields_[PassEdge2]->setEnabled(scheme.active && band);
  fields_[StopEdge1]->setEnabled(scheme.active);
  fields_[StopEdge2]->setEnabled(scheme.active && band);
  fields_[Attenuation]->setEnabled(scheme.active);
  options_[MinimumOrderOption]->setEnabled(scheme.active);
}

void CParameterDlg::OnCalculate() {
  ApplyForm();
  document_.OnCalculate();
}

}  // namespace qv

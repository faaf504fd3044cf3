// The parameter form: the left pane, where the filter is specified and "Calculate Filter"
// pressed. It keeps its own copy of the values, which reaches the document only with a
// radio-button click or the Calculate button, and comes back whenever the document changes.
#pragma once

#include <QScrollArea>
#include <array>
#include <cstdint>

#include "framework/document.h"
#include "records/filter_spec.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qv {

class CQuorvanelDoc;

class CParameterDlg : public QScrollArea, public CView {
  Q_OBJECT

 public:
  // Pixels of the form's pane at start-up.
  static constexpr int kPaneWidth = 210;
  // The form's edit fields, by what they hold; the last five are the tolerance scheme's edges
  // (Hz) and As (dB).
  enum Field {
    Fsample,
    Fcut1,
    Fcut2,
    FilterOrder,
    Ripple,
    RollOff,
    Taps,
    PassEdge1,
    PassEdge2,
    StopEdge1,
    StopEdge2,
    Attenuation,
    kFieldCount
  };
  // The radio groups; the structure of a quantised IIR design and its sections' scaling last.
  enum Group {
    ClassGroup,
    BandGroup,
    ModelGroup,
    QuantizationGroup,
    StructureGroup,
    ScalingGroup,
    kGroupCount
  };
  // The check boxes: "Requirements" sets the tolerance scheme, "Minimum order" lets Quorvanel
  // choose the order or tap count.
  enum Option { RequirementsOption, MinimumOrderOption, kOptionCount };

  CParameterDlg(CQuorvanelDoc& document, QWidget* parent);
  ~CParameterDlg() override;

  // The document changed: load the form from its specification.
  void OnUpdate() override;

  [[nodiscard]] QLineEdit* FieldEdit(Field field) const { return fields_[field]; }
  [[nodiscard]] QButtonGroup* RadioGroup(Group group) const { return groups_[group]; }
  [[nodiscard]] QCheckBox* OptionBox(Option option) const { return options_[option]; }
  [[nodiscard]] QPushButton* CalculateButton() const { return calculate_; }

  // Copies the controls into the document, applies the rules and clears the calculated flag
  // (a radio-button click).
  void ApplyForm();
  // "Calculate Filter": applies the form, then calculates.
  void OnCalculate();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls(QWidget* page);
  // Reads the controls into the values; stops at the first field that holds no number.
  void ReadForm();
  void WriteForm();
  void LoadForm();
  void ApplyRules();

  CQuorvanelDoc& document_;
  // The form's own copy of the fields it edits (radio groups by template index, which is each
  // enumeration's code).
  FilterSpec values_;
  std::array<QLineEdit*, kFieldCount> fields_{};
  std::array<QButtonGroup*, kGroupCount> groups_{};
  std::array<QCheckBox*, kOptionCount> options_{};
  QPushButton* calculate_ = nullptr;
};

}  // namespace qv

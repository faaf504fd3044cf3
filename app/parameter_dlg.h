// The parameter form: the left pane, where the filter is specified and "Calculate Filter"
// pressed. It keeps its own copy of the values, which reaches the document only with a
// radio-button click or the Calculate button, and comes back whenever the document changes.
#pragma once

#include <QScrollArea>
#include <array>
#include <cstdint>

#include "framework/document.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qv {

class CQuorvanelDoc;

// The form's copy of the specification: radio groups as their indices in template order.
struct FormValues {
  int filterClass = 0;   // 0 IIR, 1 FIR
  int bandType = 0;      // low pass, high pass, band pass, band stop
  int model = 0;         // Butterworth, Chebychev, Bessel, Rectangle, Raised Cosine
  int quantization = 0;  // Float, 8-bit signed, 16-bit signed
  std::int32_t fsample = 0;
  std::int32_t fcut1 = 0;
  std::int32_t fcut2 = 0;
  std::int32_t order = 0;
  double ripple = 0.0;
  double rollOff = 0.0;
  std::int32_t taps = 0;
};

class CParameterDlg : public QScrollArea, public CView {
  Q_OBJECT

 public:
  // The form's edit fields, by what they hold.
  enum Field { Fsample, Fcut1, Fcut2, FilterOrder, Ripple, RollOff, Taps, kFieldCount };
  // The radio groups.
  enum Group { ClassGroup, BandGroup, ModelGroup, QuantizationGroup, kGroupCount };

  CParameterDlg(CQuorvanelDoc& document, QWidget* parent);
  ~CParameterDlg() override;

  // The document changed: load the form from its specification.
  void OnUpdate() override;

  [[nodiscard]] const FormValues& Values() const { return values_; }
  [[nodiscard]] QLineEdit* FieldEdit(Field field) const { return fields_[field]; }
  [[nodiscard]] QButtonGroup* RadioGroup(Group group) const { return groups_[group]; }
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
  FormValues values_;
  std::array<QLineEdit*, kFieldCount> fields_{};
  std::array<QButtonGroup*, kGroupCount> groups_{};
  QRadioButton* rectangle_ = nullptr;
  QRadioButton* raisedCosine_ = nullptr;
  QPushButton* calculate_ = nullptr;
};

}  // namespace qv

// The parameter form: start-up state, enabling rules, the form-to-document moments and the
// conversion rules of its fields.
#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/parameter_dlg.h"
#include "desktop/quorvanel_doc.h"
#include "tests/support/scripted_services.h"

using qv::CParameterDlg;
using qv::CQuorvanelDoc;

namespace {

using G = CParameterDlg::Group;
using F = CParameterDlg::Field;

// Radio buttons named by group and template index, for the data tables.
struct Radio {
  G group;
  int index;
};
constexpr Radio kFir{G::ClassGroup, 1};
constexpr Radio kIir{G::ClassGroup, 0};
constexpr Radio kLowPass{G::BandGroup, 0};
constexpr Radio kBandPass{G::BandGroup, 2};
constexpr Radio kRectangle{G::ModelGroup, 3};

}  // namespace

Q_DECLARE_METATYPE(QList<int>)

class ParameterFormTest : public QObject {
  Q_OBJECT

 private:
  qv::testing::ScriptedMessages* messages_ = nullptr;
  CQuorvanelDoc* doc_ = nullptr;
  CParameterDlg* form_ = nullptr;

  void Click(Radio radio) { form_->RadioGroup(radio.group)->button(radio.index)->click(); }
  QLineEdit* Edit(F field) { return form_->FieldEdit(field); }

 private slots:
  void init() {
    messages_ = new qv::testing::ScriptedMessages;
    doc_ = new CQuorvanelDoc(nullptr);
    form_ = new CParameterDlg(*doc_, nullptr);
    form_->show();
    doc_->OnFileNew();
  }

  void cleanup() {
    delete form_;
    delete doc_;
    delete messages_;
  }

  void startsWithTheDefaults() {
    QCOMPARE(form_->RadioGroup(G::ClassGroup)->checkedId(), 0);
    QCOMPARE(form_->RadioGroup(G::BandGroup)->checkedId(), 0);
    QCOMPARE(form_->RadioGroup(G::ModelGroup)->checkedId(), 0);
    QCOMPARE(form_->RadioGroup(G::QuantizationGroup)->checkedId(), 0);
    const QStringList texts{"1000", "100", "350", "2", "1", "0.5", "31"};
    for (int f = 0; f < F::kFieldCount; ++f) {
      QCOMPARE(Edit(static_cast<F>(f))->text(), texts[f]);
    }
    QVERIFY(!doc_->IsCalculated());
    QVERIFY(!doc_->IsModified());
  }

  // Which fields and model buttons are enabled after a sequence of radio clicks.
  void enablingRules_data() {
    QTest::addColumn<QList<int>>("clicks");  // pairs: group (class 0, band 1, model 2), index
    // Fsample, Fcut1, Fcut2, order, ripple, roll-off, taps, Rectangle, Raised Cosine: 1 enabled
    QTest::addColumn<QString>("enabled");
    QTest::newRow("start-up") << QList<int>{} << "110100000";
    QTest::newRow("chebychev enables ripple") << QList<int>{2, 1} << "110110000";
    QTest::newRow("band pass enables fcut2") << QList<int>{1, 2} << "111100000";
    QTest::newRow("FIR enables taps and window models") << QList<int>{0, 1} << "110100111";
    QTest::newRow("raised cosine: roll-off, no order") << QList<int>{0, 1, 2, 4} << "110001111";
    QTest::newRow("rectangle: neither order nor roll-off") << QList<int>{0, 1, 2, 3} << "110000111";
    QTest::newRow("back to low pass disables fcut2") << QList<int>{1, 3, 1, 0} << "110100000";
  }

  void enablingRules() {
    QFETCH(QList<int>, clicks);
    QFETCH(QString, enabled);
    for (qsizetype i = 0; i + 1 < clicks.size(); i += 2) {
      Click({static_cast<G>(clicks[i]), clicks[i + 1]});
    }
    QString actual;
    for (F field :
         {F::Fsample, F::Fcut1, F::Fcut2, F::FilterOrder, F::Ripple, F::RollOff, F::Taps}) {
      actual += Edit(field)->isEnabled() ? '1' : '0';
    }
    actual += form_->RadioGroup(G::ModelGroup)->button(3)->isEnabled() ? '1' : '0';
    actual += form_->RadioGroup(G::ModelGroup)->button(4)->isEnabled() ? '1' : '0';
    QCOMPARE(actual, enabled);
  }

  void switchingToIirResetsTheWindowModel() {
    Click(kFir);
    Click(kRectangle);
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Rectangle);
    Click(kIir);
    QCOMPARE(form_->RadioGroup(G::ModelGroup)->checkedId(), 0);
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Butterworth);
  }

  void lowPassTakesFcut2FromFcut1() {
    Click(kBandPass);
    Edit(F::Fcut1)->setText("200");
    Edit(F::Fcut2)->setText("400");
    Click(kLowPass);
    QCOMPARE(doc_->GetSpec().fcut2, 200);
    // The disabled field keeps what was typed until the form is loaded again.
    QCOMPARE(Edit(F::Fcut2)->text(), QString("400"));
    QVERIFY(!Edit(F::Fcut2)->isEnabled());
  }

  void fieldConversion_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty when accepted
    QTest::addColumn<QString>("shown");    // the field's text afterwards
    QTest::newRow("letters in Fsample") << int(F::Fsample) << "abc"
                                        << "Please enter an integer."
                                        << "1000";
    QTest::newRow("blanks around an order") << int(F::FilterOrder) << " 12 "
                                            << ""
                                            << "12";
    QTest::newRow("fraction as order") << int(F::FilterOrder) << "1.5"
                                       << "Please enter an integer."
                                       << "2";
    QTest::newRow("minus zero") << int(F::Fsample) << "-0"
                                << "Please enter an integer."
                                << "1000";
    QTest::newRow("plain zero") << int(F::Fsample) << "0"
                                << ""
                                << "0";
    QTest::newRow("beyond 32 bits") << int(F::Fsample) << "2147483648"
                                    << "Please enter an integer."
                                    << "1000";
    QTest::newRow("negative integer") << int(F::Fcut1) << "-5"
                                      << ""
                                      << "-5";
    QTest::newRow("ripple with exponent") << int(F::Ripple) << "5e-1"
                                          << ""
                                          << "0.5";
    QTest::newRow("letters in ripple") << int(F::Ripple) << "x1"
                                       << "Please enter a number."
                                       << "1";
    QTest::newRow("number with a tail") << int(F::Ripple) << "1.5dB"
                                        << "Please enter a number."
                                        << "1";
    QTest::newRow("minus zero roll-off") << int(F::RollOff) << "-0.0"
                                         << "Please enter a number."
                                         << "0.5";
    QTest::newRow("overflowing number") << int(F::Ripple) << "1e999"
                                        << "Please enter a number."
                                        << "1";
  }

  void fieldConversion() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QLineEdit* edit = Edit(static_cast<F>(field));
    edit->setText(text);
    Click(kLowPass);
    QCOMPARE(edit->text(), shown);
    if (message.isEmpty()) {
      QVERIFY(messages_->shown.isEmpty());
    } else {
      QCOMPARE(messages_->Texts(), QStringList{message});
      QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
      // A disabled field cannot take the focus; the enabled ones must.
      if (edit->isEnabled()) {
        QCOMPARE(form_->window()->focusWidget(), edit);
      }
    }
  }

  void refusalKeepsTheLaterFields() {
    Edit(F::Fsample)->setText("8000");
    Edit(F::Fcut1)->setText("abc");
    Edit(F::Taps)->setText("63");
    form_->RadioGroup(G::QuantizationGroup)->button(2)->setChecked(true);
    Click(kLowPass);
    QCOMPARE(doc_->GetSpec().fsample, 8000);  // read before the refusal
    QCOMPARE(doc_->GetSpec().fcut1, 100);
    QCOMPARE(doc_->GetSpec().taps, 31);  // after it: kept
    QCOMPARE(doc_->GetSpec().quantization, qv::Quantization::Float);
    QCOMPARE(Edit(F::Taps)->text(), QString("31"));
  }

  void quantizationIsNumberedInTemplateOrder() {
    form_->RadioGroup(G::QuantizationGroup)->button(2)->click();
    QCOMPARE(doc_->GetSpec().quantization, qv::Quantization::Signed16);
    form_->RadioGroup(G::QuantizationGroup)->button(1)->click();
    QCOMPARE(doc_->GetSpec().quantization, qv::Quantization::Signed8);
    // On screen 16-bit sits between Float and 8-bit.
    const auto y = [this](int index) {
      return form_->RadioGroup(G::QuantizationGroup)->button(index)->y();
    };
    QVERIFY(y(0) < y(2) && y(2) < y(1));
  }

  void aRadioClickClearsTheGraphsAndModifies() {
    form_->CalculateButton()->click();
    QVERIFY(doc_->IsCalculated());
    doc_->SetModifiedFlag(false);
    Click(kLowPass);  // the one already selected
    QVERIFY(!doc_->IsCalculated());
    QVERIFY(doc_->IsModified());
  }

  // Typing marks the design modified when the field is left, and nothing else; passing through
  // a field marks nothing, nor does leaving an edited field again once the design was saved.
  void leavingAFieldModifiesOnlyAfterAnEdit_data() {
    QTest::addColumn<QString>("typed");  // empty: the field is only passed through
    QTest::addColumn<bool>("modified");
    QTest::newRow("passed through") << QString() << false;
    QTest::newRow("new value") << QString("2000") << true;
    QTest::newRow("same value typed again") << QString("1000") << true;
  }

  void leavingAFieldModifiesOnlyAfterAnEdit() {
    QFETCH(QString, typed);
    QFETCH(bool, modified);
    QApplication::setActiveWindow(form_);
    Edit(F::Fsample)->setFocus();
    if (!typed.isEmpty()) {
      Edit(F::Fsample)->selectAll();
      QTest::keyClicks(Edit(F::Fsample), typed);
    }
    Edit(F::Fcut1)->setFocus();
    QCOMPARE(doc_->IsModified(), modified);
    QCOMPARE(doc_->GetSpec().fsample, 1000);
    doc_->SetModifiedFlag(false);  // as a Save leaves it
    Edit(F::Fsample)->setFocus();
    Edit(F::Fcut1)->setFocus();
    QVERIFY(!doc_->IsModified());
  }

  void saveStoresTheLastAppliedValue() {
    qv::testing::ScriptedFileDialogs dialogs;
    QTemporaryDir dir;
    Edit(F::Fsample)->setText("2000");
    dialogs.answers.push_back(dir.filePath("typed.qvd"));
    QVERIFY(doc_->OnFileSaveAs());
    CQuorvanelDoc reader(nullptr);
    QVERIFY(reader.OpenDocumentFile(dir.filePath("typed.qvd")));
    QCOMPARE(reader.GetSpec().fsample, 1000);
  }

  void enterInAnyControlCalculates() {
    Edit(F::Fcut1)->setText("150");
    QTest::keyClick(Edit(F::Fcut1), Qt::Key_Return);
    QVERIFY(doc_->IsCalculated());
    QCOMPARE(doc_->GetSpec().fcut1, 150);
    doc_->ClearCalculated();
    QTest::keyClick(form_->RadioGroup(G::BandGroup)->button(0), Qt::Key_Enter);
    QVERIFY(doc_->IsCalculated());
  }

  void aRefusedCalculationShowsItsMessage() {
    Edit(F::Fcut1)->setText("600");
    form_->CalculateButton()->click();
    QVERIFY(!doc_->IsCalculated());
    QCOMPARE(messages_->shown.size(), 1);
    QCOMPARE(messages_->shown.constFirst().icon, qv::MessageIcon::Stop);
  }

  void tabOrderFollowsTheTemplate() {
    QList<QWidget*> expected;
    for (F field :
         {F::Fsample, F::Fcut1, F::Fcut2, F::FilterOrder, F::Ripple, F::RollOff, F::Taps}) {
      expected.append(Edit(field));
    }
    expected.append(form_->CalculateButton());
    QList<QWidget*> chain;
    QWidget* widget = Edit(F::Fsample);
    while (chain.size() < expected.size() && widget != nullptr) {
      if (expected.contains(widget)) {
        chain.append(widget);
      }
      widget = widget->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
  }
};

QTEST_MAIN(ParameterFormTest)
#include "parameter_form_test.moc"

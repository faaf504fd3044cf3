// The parameter form: start-up state, enabling rules, the form-to-document moments and the
// conversion rules of its fields.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/parameter_dlg.h"
#include "desktop/quorvanel_doc.h"
#include "engine/calculate.h"
#include "tests/support/scripted_services.h"
#include "view/graph_page_layout.h"

using qv::CParameterDlg;
using qv::CQuorvanelDoc;

namespace {

using G = CParameterDlg::Group;
using F = CParameterDlg::Field;
using O = CParameterDlg::Option;

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
  static constexpr int kOptionClick = 9;
  // Clicks by group and index (radio groups 0..5), or on a check box (group 9, its option).
  void Act(const QList<int>& clicks) {
    for (qsizetype i = 0; i + 1 < clicks.size(); i += 2) {
      if (clicks[i] == kOptionClick) {
        form_->OptionBox(static_cast<O>(clicks[i + 1]))->click();
      } else {
        Click({static_cast<G>(clicks[i]), clicks[i + 1]});
      }
    }
  }

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
    QCOMPARE(form_->RadioGroup(G::StructureGroup)->checkedId(), 0);
    QCOMPARE(form_->RadioGroup(G::ScalingGroup)->checkedId(), 0);
    QVERIFY(!form_->OptionBox(O::RequirementsOption)->isChecked());
    QVERIFY(!form_->OptionBox(O::MinimumOrderOption)->isChecked());
    const QStringList texts{"1000", "100", "350", "2", "1", "0.5", "31", "0", "0", "0", "0", "40"};
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

  // The requirements, the structure and the new models: which controls a sequence of clicks
  // leaves enabled.
  void requirementsAndStructureEnabling_data() {
    QTest::addColumn<QList<int>>("clicks");
    // Fcut1, Fcut2, order, ripple, taps | pass edges 1 and 2, stop edges 1 and 2, As |
    // minimum order | direct form, sections, L-infinity, L2 | Kaiser, Equiripple
    QTest::addColumn<QString>("enabled");
    QTest::newRow("start-up") << QList<int>{} << "10100 00000 0 0000 00";
    QTest::newRow("requirements: edges, As, Rp") << QList<int>{9, 0} << "10110 10101 1 0000 00";
    QTest::newRow("band pass: second edges") << QList<int>{9, 0, 1, 2} << "11110 11111 1 0000 00";
    QTest::newRow("minimum IIR order: no order, no cuts")
        << QList<int>{9, 0, 9, 1} << "00010 10101 1 0000 00";
    QTest::newRow("minimum FIR taps: the order stays")
        << QList<int>{0, 1, 9, 0, 9, 1} << "00110 10101 1 0000 11";
    QTest::newRow("elliptic brings its requirements")
        << QList<int>{2, 6} << "00110 10101 1 0000 00";
    QTest::newRow("kaiser is FIR") << QList<int>{0, 1, 2, 7} << "00011 10101 1 0000 11";
    QTest::newRow("16-bit: the structure") << QList<int>{3, 2} << "10100 00000 0 1100 00";
    QTest::newRow("sections: their scaling") << QList<int>{3, 2, 4, 1} << "10100 00000 0 1111 00";
    QTest::newRow("8-bit bessel sections")
        << QList<int>{3, 1, 4, 1, 2, 2} << "10100 00000 0 1111 00";
    QTest::newRow("no sections for float")
        << QList<int>{3, 2, 4, 1, 3, 0} << "10100 00000 0 0000 00";
    QTest::newRow("no sections for FIR") << QList<int>{3, 2, 4, 1, 0, 1} << "10101 00000 0 0000 11";
  }

  void requirementsAndStructureEnabling() {
    QFETCH(QList<int>, clicks);
    QFETCH(QString, enabled);
    Act(clicks);
    const auto bit = [](const QWidget* widget) { return widget->isEnabled() ? '1' : '0'; };
    QString actual;
    for (F field : {F::Fcut1, F::Fcut2, F::FilterOrder, F::Ripple, F::Taps}) {
      actual += bit(Edit(field));
    }
    actual += ' ';
    for (F field : {F::PassEdge1, F::PassEdge2, F::StopEdge1, F::StopEdge2, F::Attenuation}) {
      actual += bit(Edit(field));
    }
    actual += ' ';
    actual += bit(form_->OptionBox(O::MinimumOrderOption));
    actual += ' ';
    for (G group : {G::StructureGroup, G::ScalingGroup}) {
      for (int index : {0, 1}) {
        actual += bit(form_->RadioGroup(group)->button(index));
      }
    }
    actual += ' ';
    for (int model : {7, 8}) {
      actual += bit(form_->RadioGroup(G::ModelGroup)->button(model));
    }
    QCOMPARE(actual, enabled);
  }

  // Each new control reaches its field of the specification with the next click, and comes
  // back from it when the document changes.
  void requirementsReachTheSpecification() {
    Click(kBandPass);
    form_->OptionBox(O::RequirementsOption)->click();
    Edit(F::PassEdge1)->setText("120.5");
    Edit(F::PassEdge2)->setText("300");
    Edit(F::StopEdge1)->setText("80");
    Edit(F::StopEdge2)->setText("380.25");
    Edit(F::Attenuation)->setText("55");
    form_->OptionBox(O::MinimumOrderOption)->click();
    form_->RadioGroup(G::QuantizationGroup)->button(2)->click();
    form_->RadioGroup(G::StructureGroup)->button(1)->click();
    form_->RadioGroup(G::ScalingGroup)->button(1)->click();
    const qv::FilterSpec& spec = doc_->GetSpec();
    QCOMPARE(spec.scheme, (qv::ToleranceScheme{.active = true,
                                               .minimumOrder = true,
                                               .pass1 = 120.5,
                                               .pass2 = 300,
                                               .stop1 = 80,
                                               .stop2 = 380.25,
                                               .attenuation = 55}));
    QCOMPARE(spec.structure, qv::IirStructure::Sections);
    QCOMPARE(spec.sectionScaling, qv::SectionScaling::L2);

    qv::FilterSpec loaded;
    loaded.scheme = {.active = true, .pass1 = 90, .stop1 = 140.5, .attenuation = 33};
    loaded.structure = qv::IirStructure::Sections;
    loaded.quantization = qv::Quantization::Signed8;
    doc_->EditSpec() = loaded;
    doc_->UpdateAllViews();
    QVERIFY(form_->OptionBox(O::RequirementsOption)->isChecked());
    QVERIFY(!form_->OptionBox(O::MinimumOrderOption)->isChecked());
    QCOMPARE(Edit(F::PassEdge1)->text(), QString("90"));
    QCOMPARE(Edit(F::StopEdge1)->text(), QString("140.5"));
    QCOMPARE(Edit(F::Attenuation)->text(), QString("33"));
    QCOMPARE(form_->RadioGroup(G::StructureGroup)->checkedId(), 1);
    QCOMPARE(form_->RadioGroup(G::ScalingGroup)->checkedId(), 0);
  }

  // A scheme whose edges were never set starts from the cut frequencies: each stop edge a
  // quarter of the way from its pass edge to 0 Hz, half the rate or the other cut frequency.
  void aFreshSchemeStartsFromTheCutFrequencies_data() {
    QTest::addColumn<int>("band");
    QTest::addColumn<QList<double>>("edges");  // pass1, pass2, stop1, stop2
    QTest::newRow("low pass") << 0 << QList<double>{100, 0, 200, 0};
    QTest::newRow("high pass") << 1 << QList<double>{100, 0, 75, 0};
    QTest::newRow("band pass") << 2 << QList<double>{100, 350, 75, 387.5};
    QTest::newRow("band stop") << 3 << QList<double>{100, 350, 162.5, 287.5};
  }

  void aFreshSchemeStartsFromTheCutFrequencies() {
    QFETCH(int, band);
    QFETCH(QList<double>, edges);
    Click({G::BandGroup, band});
    form_->OptionBox(O::RequirementsOption)->click();
    const qv::ToleranceScheme& s = doc_->GetSpec().scheme;
    QCOMPARE((QList<double>{s.pass1, s.pass2, s.stop1, s.stop2}), edges);
    QCOMPARE(Edit(F::StopEdge1)->text(), QString::number(edges[2]));
    // Edges once set stay: switching off and on again keeps them.
    Edit(F::StopEdge1)->setText("123");
    form_->OptionBox(O::RequirementsOption)->click();
    form_->OptionBox(O::RequirementsOption)->click();
    QCOMPARE(doc_->GetSpec().scheme.stop1, 123.0);
  }

  void switchingToIirResetsAnFirModel() {
    Click(kFir);
    Click({G::ModelGroup, 8});
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Equiripple);
    Click(kIir);
    QCOMPARE(doc_->GetSpec().model, qv::FilterModel::Butterworth);
    QCOMPARE(form_->RadioGroup(G::ModelGroup)->checkedId(), 0);
  }

  // After a minimum-order calculation the order (IIR) or tap count (FIR) box shows what
  // Quorvanel chose, the same as the engine chooses for that specification.
  void minimumOrderShowsTheChosenCount_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("stopEdge");
    QTest::newRow("elliptic order") << QList<int>{2, 6} << int(F::FilterOrder) << "130";
    QTest::newRow("butterworth order") << QList<int>{} << int(F::FilterOrder) << "250";
    QTest::newRow("equiripple taps") << QList<int>{0, 1, 2, 8} << int(F::Taps) << "130";
  }

  void minimumOrderShowsTheChosenCount() {
    QFETCH(QList<int>, clicks);
    QFETCH(int, field);
    QFETCH(QString, stopEdge);
    Act(clicks);
    if (!form_->OptionBox(O::RequirementsOption)->isChecked()) {
      form_->OptionBox(O::RequirementsOption)->click();
    }
    Edit(F::StopEdge1)->setText(stopEdge);
    Edit(F::Attenuation)->setText("50");
    form_->OptionBox(O::MinimumOrderOption)->click();
    const qv::Calculation expected = qv::Calculate(doc_->GetSpec());
    QVERIFY2(expected.Succeeded(), expected.outcome.message.c_str());
    form_->CalculateButton()->click();
    QVERIFY(doc_->IsCalculated());
    const int chosen = field == int(F::Taps) ? expected.spec.taps : expected.spec.order;
    QCOMPARE(Edit(static_cast<F>(field))->text(), QString::number(chosen));
    QVERIFY(Edit(static_cast<F>(field))->text() != (field == int(F::Taps) ? "31" : "2"));
    QVERIFY(!Edit(static_cast<F>(field))->isEnabled());
  }

  // The scheme's fields come after the classic ones: a refusal before them keeps them all, one
  // among them keeps the rest and the minimum-order box.
  void aRefusedEdgeKeepsTheLaterValues() {
    form_->OptionBox(O::RequirementsOption)->click();
    Edit(F::PassEdge1)->setText("90");
    Edit(F::StopEdge1)->setText("1 50");
    Edit(F::Attenuation)->setText("70");
    form_->OptionBox(O::MinimumOrderOption)->setChecked(true);
    Click(kLowPass);
    QCOMPARE(messages_->Texts(), QStringList{"Please enter a number."});
    const qv::ToleranceScheme& s = doc_->GetSpec().scheme;
    QCOMPARE(s.pass1, 90.0);
    QCOMPARE(s.stop1, 200.0);
    QCOMPARE(s.attenuation, 40.0);
    QVERIFY(!s.minimumOrder);
    QVERIFY(!form_->OptionBox(O::MinimumOrderOption)->isChecked());
  }

  // The first window is as high as the graph page; the form, requirements included, fits
  // beside it without scrolling, every control inside the form.
  void theWholeFormFitsBesideThePage() {
    QVERIFY(form_->widget()->height() <= qv::page::kPageHeight);
    for (const QWidget* child : form_->widget()->findChildren<QWidget*>()) {
      QVERIFY2(child->geometry().bottom() < form_->widget()->height(),
               qPrintable(child->objectName()));
    }
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
    doc_->ClearCalculated();
    QTest::keyClick(form_->OptionBox(O::RequirementsOption), Qt::Key_Return);
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

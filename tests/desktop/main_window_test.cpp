// The main window: caption, panes, status bar, menus with their keys and prompts, pane
// switching, dropped files, the About box and the command line.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fstream>

#include "app/display_probe.h"
#include "app/quorvanel_app.h"
#include "desktop/about_dlg.h"
#include "desktop/parameter_dlg.h"
#include "desktop/quorvanel_doc.h"
#include "desktop/splitter_frame.h"
#include "fileio/design_file.h"
#include "graph/verdict_text.h"
#include "tests/support/scripted_services.h"
#include "view/quorvanel_view.h"

using qv::CommandLine;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  qv::testing::ScriptedMessages* messages_ = nullptr;
  qv::CQuorvanelDoc* doc_ = nullptr;
  qv::CSplitterFrame* frame_ = nullptr;

 private slots:
  void init() {
    messages_ = new qv::testing::ScriptedMessages;
    doc_ = new qv::CQuorvanelDoc(nullptr);
    frame_ = new qv::CSplitterFrame(*doc_);
    frame_->resize(1300, 860);
    frame_->show();
    doc_->OnFileNew();
    QVERIFY(QTest::qWaitForWindowExposed(frame_));
  }

  void cleanup() {
    delete frame_;
    delete doc_;
    delete messages_;
  }

  void startsUntitledAndReady() {
    QCOMPARE(frame_->windowTitle(), QString("Untitled - Quorvanel"));
    QCOMPARE(frame_->MessagePane()->text(), QString("Ready"));
    QCOMPARE(frame_->Form()->width(), 210);
    const int paneText = frame_->ReadoutPane(1)->fontMetrics().horizontalAdvance("1234567890");
    QVERIFY(frame_->ReadoutPane(1)->width() >= paneText);
    QVERIFY(frame_->ReadoutPane(2)->width() >= paneText);
    QVERIFY(frame_->ReadoutPane(1)->text().isEmpty());
  }

  // After a calculation the status bar says whether the design meets its scheme, as the
  // summary does; any change of the design and a design without a scheme show "Ready".
  void statusBarSaysTheVerdict_data() {
    QTest::addColumn<double>("attenuation");  // 0: no scheme
    QTest::addColumn<QString>("verdict");
    QTest::newRow("no scheme") << 0.0 << "Ready";
    QTest::newRow("meets") << 10.0 << "Meets its tolerance scheme: ";
    QTest::newRow("misses") << 40.0 << "Does not meet its tolerance scheme: ";
  }

  void statusBarSaysTheVerdict() {
    QFETCH(double, attenuation);
    QFETCH(QString, verdict);
    if (attenuation > 0.0) {
      qv::FilterSpec& spec = doc_->EditSpec();
      spec.scheme = {.active = true, .pass1 = 50, .stop1 = 200, .attenuation = attenuation};
      doc_->UpdateAllViews();
    }
    frame_->Form()->OnCalculate();
    QVERIFY(doc_->IsCalculated());
    const QString text = frame_->MessagePane()->text();
    QVERIFY2(text.startsWith(verdict), qPrintable(text));
    const qv::GraphText line = qv::VerdictLine(doc_->GetSpec(), doc_->GetSchemeCheck());
    QCOMPARE(text, attenuation > 0.0 ? QString::fromUtf8(line.View()) : QString("Ready"));
    frame_->Form()->ApplyForm();  // a radio click
    QCOMPARE(frame_->MessagePane()->text(), QString("Ready"));
  }

  // A design file with a scheme opens with its requirements in the form, the order chosen
  // for them in its field and the verdict in the status bar.
  void anOpenedSchemeShowsEverywhere() {
    QTemporaryDir dir;
    const QString path = dir.filePath("elliptic.qvd");
    qv::FilterSpec spec;
    spec.model = qv::FilterModel::Elliptic;
    spec.scheme = {
        .active = true, .minimumOrder = true, .pass1 = 100, .stop1 = 130, .attenuation = 50};
    {
      std::ofstream out(path.toStdString(), std::ios::binary);
      QVERIFY(qv::StoreDesignFile(out, spec));
    }
    QVERIFY(doc_->OpenDocumentFile(path));
    QVERIFY(doc_->IsCalculated());
    qv::CParameterDlg* form = frame_->Form();
    QVERIFY(form->OptionBox(qv::CParameterDlg::RequirementsOption)->isChecked());
    QVERIFY(form->OptionBox(qv::CParameterDlg::MinimumOrderOption)->isChecked());
    QCOMPARE(form->FieldEdit(qv::CParameterDlg::FilterOrder)->text(),
             QString::number(doc_->GetSpec().order));
    QCOMPARE(form->FieldEdit(qv::CParameterDlg::StopEdge1)->text(), QString("130"));
    QVERIFY(doc_->GetSchemeCheck().checked);
    QCOMPARE(frame_->MessagePane()->text(),
             QString::fromUtf8(qv::VerdictLine(doc_->GetSpec(), doc_->GetSchemeCheck()).View()));
  }

  void readoutTakesBothTexts() {
    frame_->SetReadout("125.000 Hz", "-3.010 dB");
    QCOMPARE(frame_->ReadoutPane(1)->text(), QString("125.000 Hz"));
    QCOMPARE(frame_->ReadoutPane(2)->text(), QString("-3.010 dB"));
  }

  // Whenever the design stops being calculated, both readout panes empty and the cross goes.
  void readoutClearsWhenTheDesignStopsBeingCalculated_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("radio click") << "radio";
    QTest::newRow("new") << "new";
    QTest::newRow("failed calculate") << "refused";
  }

  void readoutClearsWhenTheDesignStopsBeingCalculated() {
    QFETCH(QString, how);
    QVERIFY(doc_->OnCalculate());
    frame_->GraphView()->OnMouseMove(42 + 64, 200);
    QVERIFY(frame_->GraphView()->HasCross());
    QVERIFY(!frame_->ReadoutPane(1)->text().isEmpty());
    if (how == "radio") {
      QRadioButton* highPass = nullptr;
      for (QRadioButton* radio : frame_->Form()->findChildren<QRadioButton*>()) {
        if (radio->text().remove('&') == "High Pass") highPass = radio;
      }
      QVERIFY(highPass != nullptr);
      QTest::mouseClick(highPass, Qt::LeftButton);
    } else if (how == "new") {
      doc_->OnFileNew();
    } else {
      QLineEdit* order = frame_->Form()->FieldEdit(qv::CParameterDlg::FilterOrder);
      order->setText("25");  // refused: the order must be smaller than 20
      QTest::keyClick(order, Qt::Key_Return);
      QCOMPARE(messages_->shown.size(), 1);
    }
    QVERIFY(!doc_->IsCalculated());
    QVERIFY(!frame_->GraphView()->HasCross());
    QVERIFY(frame_->ReadoutPane(1)->text().isEmpty());
    QVERIFY(frame_->ReadoutPane(2)->text().isEmpty());
  }

  void menuItems_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("new") << "&New Filter"
                         << "Ctrl+N"
                         << "Create a new digital filter";
    QTest::newRow("open") << "&Open Filter"
                          << "Ctrl+O"
                          << "Open an existing digital filter";
    QTest::newRow("save") << "&Save Filter"
                          << "Ctrl+S"
                          << "Save the digital filter";
    QTest::newRow("save as") << "Save Filter &As"
                             << "Ctrl+A"
                             << "Save the digital filter as";
    QTest::newRow("print") << "&Print..."
                           << "Ctrl+P"
                           << "Print the digital filter graphs";
    QTest::newRow("preview") << "Print Pre&view"
                             << ""
                             << "Display full pages";
    QTest::newRow("setup") << "P&rint Setup..."
                           << ""
                           << "Change the printer and printing options";
    QTest::newRow("exit") << "E&xit"
                          << ""
                          << "";
    QTest::newRow("C") << "&Generate C code"
                       << "Ctrl+G"
                       << "Generate C code";
    QTest::newRow("VHDL") << "Generate V&HDL code"
                          << "Ctrl+H"
                          << "Generate VHDL code";
    QTest::newRow("Verilog") << "Generate Veri&log code"
                             << "Ctrl+L"
                             << "Generate Verilog code";
    QTest::newRow("graph") << "&Export Graph"
                           << "Ctrl+E"
                           << "Export Graphics in GIF format";
    QTest::newRow("about") << "&About Quorvanel..."
                           << ""
                           << "";
  }

  void menuItems() {
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(QString, prompt);
    QAction* action = frame_->Command(text);
    QVERIFY(action != nullptr);
    QCOMPARE(action->shortcut().toString(), key);
    QCOMPARE(action->statusTip(), prompt);
  }

  void menuOrder() {
    QStringList menus;
    for (QAction* menu : frame_->menuBar()->actions()) {
      menus.append(menu->text());
    }
    QCOMPARE(menus, (QStringList{"&File", "&Output", "&Help"}));
  }

  void f6SwitchesPanes() {
    QApplication::setActiveWindow(frame_);
    frame_->GraphView()->setFocus();
    QTest::keyClick(frame_, Qt::Key_F6);
    QVERIFY(frame_->Form()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(frame_, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), frame_->GraphView());
  }

  // F6 back to the form returns to the control that had the focus there last.
  void f6ReturnsToTheLastFormControl() {
    QApplication::setActiveWindow(frame_);
    QLineEdit* fcut1 = frame_->Form()->FieldEdit(qv::CParameterDlg::Fcut1);
    fcut1->setFocus();
    QCOMPARE(QApplication::focusWidget(), fcut1);
    QTest::keyClick(frame_, Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), frame_->GraphView());
    QTest::keyClick(frame_, Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), fcut1);
    // A control that cannot take the focus any more: the form's first control takes it.
    QLineEdit* taps = frame_->Form()->FieldEdit(qv::CParameterDlg::Taps);
    taps->setEnabled(true);
    taps->setFocus();
    QTest::keyClick(frame_, Qt::Key_F6, Qt::ShiftModifier);
    taps->setEnabled(false);
    QTest::keyClick(frame_, Qt::Key_F6);
    QVERIFY(frame_->Form()->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(QApplication::focusWidget() != taps);
  }

  void ctrlAInAFieldIsSaveAs() {
    qv::testing::ScriptedFileDialogs dialogs;
    QApplication::setActiveWindow(frame_);
    QLineEdit* field = frame_->Form()->FieldEdit(qv::CParameterDlg::Fsample);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(dialogs.asked.size(), 1);
    QCOMPARE(dialogs.asked.constFirst().title, QString("Save As"));
  }

  void droppedFileOpens() {
    QTemporaryDir dir;
    qv::testing::ScriptedFileDialogs dialogs;
    doc_->EditSpec().fsample = 5000;
    dialogs.answers.push_back(dir.filePath("dropped.qvd"));
    QVERIFY(doc_->OnFileSaveAs());
    doc_->OnFileNew();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("dropped.qvd"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_, &drop);
    QCOMPARE(doc_->GetSpec().fsample, 5000);
    QVERIFY(doc_->IsCalculated());
    QCOMPARE(frame_->windowTitle(), QString("dropped.qvd - Quorvanel"));
  }

  void closingAModifiedDesignAsks() {
    doc_->SetModifiedFlag();
    messages_->answers.push_back(qv::MessageAnswer::Cancel);
    QVERIFY(!frame_->close());
    QCOMPARE(messages_->Texts(), QStringList{"Save changes to Untitled?"});
    messages_->answers.push_back(qv::MessageAnswer::No);
    QVERIFY(frame_->close());
  }

  void aboutBox() {
    qv::CAboutDlg about;
    QCOMPARE(about.windowTitle(), QString("About Quorvanel"));
    bool found = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
      found = found || label->text().startsWith("Quorvanel Ver 0.8");
    }
    QVERIFY(found);
  }

  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QString>("error");
    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << int(A::New) << ""
                             << ""
                             << "";
    QTest::newRow("a design") << QStringList{"a.qvd"} << int(A::Open) << "a.qvd"
                              << ""
                              << "";
    QTest::newRow("print") << QStringList{"--print", "a.qvd"} << int(A::Print) << "a.qvd"
                           << ""
                           << "";
    QTest::newRow("print without design") << QStringList{"--print"} << int(A::Invalid) << ""
                                          << ""
                                          << "quorvanel: --print needs the design file to print";
    QTest::newRow("pdf") << QStringList{"--print-to-pdf", "a.qvd", "o.pdf"} << int(A::PrintToPdf)
                         << "a.qvd"
                         << "o.pdf"
                         << "";
    QTest::newRow("pdf without output")
        << QStringList{"--print-to-pdf", "a.qvd"} << int(A::Invalid) << ""
        << ""
        << "quorvanel: the output PDF is missing after a.qvd";
    QTest::newRow("pdf without anything")
        << QStringList{"--print-to-pdf"} << int(A::Invalid) << ""
        << ""
        << "quorvanel: --print-to-pdf needs the design file and the output PDF";
    QTest::newRow("two designs") << QStringList{"a.qvd", "b.qvd"} << int(A::Invalid) << ""
                                 << ""
                                 << "quorvanel: unexpected arguments";
    QTest::newRow("unknown switch") << QStringList{"--fast"} << int(A::Invalid) << ""
                                    << ""
                                    << "quorvanel: Unknown option 'fast'.";
  }

  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, file);
    QFETCH(QString, pdf);
    QFETCH(QString, error);
    const CommandLine command = qv::ParseCommandLine(arguments);
    QCOMPARE(int(command.action), action);
    QCOMPARE(command.file, file);
    QCOMPARE(command.pdf, pdf);
    QCOMPARE(command.error, error);
  }

  void displayCheck() {
    QVERIFY(qv::MissingDisplayMessage(":0", "", "").isEmpty());
    QVERIFY(qv::MissingDisplayMessage("", "wayland-0", "").isEmpty());
    QVERIFY(qv::MissingDisplayMessage("", "", "offscreen").isEmpty());
    const QString message = qv::MissingDisplayMessage("", "", "");
    QVERIFY(message.contains("DISPLAY"));
    QVERIFY(message.contains("xvfb-run"));
    QVERIFY(message.contains("quorvanel-cli"));
  }

  // A display without a server: named in the message; other platforms are not asked.
  void unreachableDisplay() {
    int number = 4077;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) ++number;
    const QString display = QStringLiteral(":%1").arg(number);
    QVERIFY(!qv::XDisplayConnection(display).Answers());
    const QString message = qv::UnreachableDisplayMessage(display, false);
    QVERIFY(message.contains(QStringLiteral("\"%1\"").arg(display)));
    QVERIFY(message.contains("xvfb-run"));
    QVERIFY(!message.contains('\n'));
    QVERIFY(qv::UnreachableDisplayMessage("", false).contains("DISPLAY is not set"));
    QVERIFY(qv::UnreachableDisplayMessage(display, true).isEmpty());
    QVERIFY(qv::UsesXDisplay("", ""));
    QVERIFY(qv::UsesXDisplay("", "xcb"));
    QVERIFY(qv::UsesXDisplay("wayland-0", "xcb"));
    QVERIFY(!qv::UsesXDisplay("", "offscreen"));
    QVERIFY(!qv::UsesXDisplay("wayland-0", ""));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

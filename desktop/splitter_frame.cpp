#include "desktop/splitter_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

#include "desktop/about_dlg.h"
#include "desktop/parameter_dlg.h"
#include "desktop/quorvanel_doc.h"
#include "framework/utf8_text.h"
#include "graph/verdict_text.h"
#include "records/identification.h"
#include "view/quorvanel_view.h"

namespace qv {
namespace {

const QString kIdleText = QStringLiteral("Ready");
const QString kReadoutPaneText = QStringLiteral("1234567890");  // sizes each readout pane
constexpr int kPaneMargin = 8;  // pixels of a pane's frame and padding around its text

// One menu item: text with mnemonic, key, status-bar prompt.
struct MenuItem {
  const char* text;
  QKeySequence key;
  const char* prompt;
};

}  // namespace

CSplitterFrame::CSplitterFrame(CQuorvanelDoc& document, QWidget* parent)
    : QMainWindow(parent), document_(document) {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  form_ = new CParameterDlg(document_, splitter_);
  view_ = new CQuorvanelView(document_, document_, splitter_);
  splitter_->addWidget(form_);
  splitter_->addWidget(view_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setChildrenCollapsible(false);
  splitter_->setSizes({CParameterDlg::kPaneWidth, width() - CParameterDlg::kPaneWidth});
  setCentralWidget(splitter_);
  view_->SetReadoutSink([this](const QString& horizontal, const QString& vertical) {
    SetReadout(horizontal, vertical);
  });

  CreateMenus();
  CreateStatusBar();
  setAcceptDrops(true);
  document_.SetDialogParent(this);
  connect(&document_, &CDocument::TitleChanged, this, &CSplitterFrame::UpdateCaption);
  UpdateCaption(document_.GetTitle());
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && form_->isAncestorOf(now)) {
      lastFormControl_ = now;
    }
  });
  view_->setFocus(Qt::OtherFocusReason);
  document_.AddView(this);
}

CSplitterFrame::~CSplitterFrame() { document_.RemoveView(this); }

void CSplitterFrame::OnUpdate() {
  const GraphText verdict = document_.IsCalculated()
                                ? VerdictLine(document_.GetSpec(), document_.GetSchemeCheck())
                                : GraphText{};
  messagePane_->setText(verdict.length > 0 ? FromUtf8View(verdict.View()) : kIdleText);
}

void CSplitterFrame::CreateMenus() {
  auto add = [this](QMenu* menu, const MenuItem& item, auto handler) {
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    action->setShortcut(item.key);
    action->setStatusTip(QString::fromLatin1(item.prompt));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  add(file, {"&New Filter", QKeySequence(Qt::CTRL | Qt::Key_N), "Create a new digital filter"},
      [this] { document_.OnFileNew(); });
  add(file, {"&Open Filter", QKeySequence(Qt::CTRL | Qt::Key_O), "Open an existing digital filter"},
      [this] { document_.OnFileOpen(); });
  add(file, {"&Save Filter", QKeySequence(Qt::CTRL | Qt::Key_S), "Save the digital filter"},
      [this] { document_.OnFileSave(); });
  add(file, {"Save Filter &As", QKeySequence(Qt::CTRL | Qt::Key_A), "Save the digital filter as"},
      [this] { document_.OnFileSaveAs(); });
  file->addSeparator();
  add(file, {"&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), "Print the digital filter graphs"},
      [this] { view_->OnFilePrint(); });
  add(file, {"Print Pre&view", QKeySequence(), "Display full pages"},
      [this] { view_->OnFilePrintPreview(); });
  add(file, {"P&rint Setup...", QKeySequence(), "Change the printer and printing options"},
      [this] { view_->OnFilePrintSetup(); });
  file->addSeparator();
  add(file, {"E&xit", QKeySequence(), ""}, [this] { close(); });

  QMenu* output = menuBar()->addMenu(QStringLiteral("&Output"));
  add(output, {"&Generate C code", QKeySequence(Qt::CTRL | Qt::Key_G), "Generate C code"},
      [this] { document_.OnGenerateCCode(); });
  add(output, {"Generate V&HDL code", QKeySequence(Qt::CTRL | Qt::Key_H), "Generate VHDL code"},
      [this] { document_.OnGenerateVhdlCode(); });
  add(output,
      {"Generate Veri&log code", QKeySequence(Qt::CTRL | Qt::Key_L), "Generate Verilog code"},
      [this] { document_.OnGenerateVerilogCode(); });
  add(output,
      {"&Export Graph", QKeySequence(Qt::CTRL | Qt::Key_E), "Export Graphics in GIF format"},
      [this] { document_.OnExportGraph(); });
  add(output,
      {"Export &Coefficients...", QKeySequence(Qt::CTRL | Qt::Key_K),
       "Export the coefficients for FPGA cores, spreadsheets or microcontrollers"},
      [this] { document_.OnExportCoefficients(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  add(help, {"&About Quorvanel...", QKeySequence(), ""}, [this] { OnAbout(); });

  auto* nextPane = new QAction(this);
  nextPane->setShortcut(QKeySequence(Qt::Key_F6));
  connect(nextPane, &QAction::triggered, this, [this] { ActivateOtherPane(); });
  auto* previousPane = new QAction(this);
  previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
  connect(previousPane, &QAction::triggered, this, [this] { ActivateOtherPane(); });
  addActions({nextPane, previousPane});
}

void CSplitterFrame::CreateStatusBar() {
  // The message pane shows "Ready" whenever no menu prompt covers it.
  messagePane_ = new QLabel(kIdleText, this);
  statusBar()->addWidget(messagePane_, 1);
  for (QLabel*& pane : readoutPanes_) {
    pane = new QLabel(this);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(kReadoutPaneText) + kPaneMargin);
    statusBar()->addPermanentWidget(pane);
  }
}

int CSplitterFrame::FormPaneWidth() { return CParameterDlg::kPaneWidth; }

int CSplitterFrame::SplitterHandleWidth() const { return splitter_->handleWidth(); }

QLabel* CSplitterFrame::ReadoutPane(int pane) const {
  return pane == 1 ? readoutPanes_[0] : pane == 2 ? readoutPanes_[1] : nullptr;
}

QAction* CSplitterFrame::Command(const QString& text) const {
  for (QAction* menu : menuBar()->actions()) {
    for (QAction* action : menu->menu()->actions()) {
      if (action->text() == text) {
        return action;
      }
    }
  }
  return nullptr;
}

void CSplitterFrame::SetReadout(const QString& horizontal, const QString& vertical) {
  readoutPanes_[0]->setText(horizontal);
  readoutPanes_[1]->setText(vertical);
}

// Two panes: F6 and Shift+F6 both reach the other one.
void CSplitterFrame::ActivateOtherPane() {
  const bool inForm =
      form_->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == form_;
  if (inForm) {
    view_->setFocus(Qt::OtherFocusReason);
  } else if (lastFormControl_ != nullptr && lastFormControl_->isEnabled() &&
             lastFormControl_->isVisibleTo(form_)) {
    // Back to where the user left the form.
    lastFormControl_->setFocus(Qt::OtherFocusReason);
  } else {
    // The form's first control in the tab order takes the focus.
    if (QWidget* first = form_->widget()->nextInFocusChain(); first != nullptr) {
      first->setFocus(Qt::TabFocusReason);
    }
  }
}

void CSplitterFrame::UpdateCaption(const QString& title) {
  setWindowTitle(title + QStringLiteral(" - ") + FromUtf8View(kProductName));
}

void CSplitterFrame::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CSplitterFrame::closeEvent(QCloseEvent* event) {
  if (document_.SaveModified()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void CSplitterFrame::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.constFirst().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void CSplitterFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
    return;
  }
  event->acceptProposedAction();
  document_.OpenDocumentFile(urls.constFirst().toLocalFile());
}

}  // namespace qv

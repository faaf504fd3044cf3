// The main window: the parameter form and the graph view side by side in a splitter, the menus
// and keys, and the status bar with its message pane and the two readout panes.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "framework/document.h"

class QAction;
class QLabel;
class QSplitter;

namespace qv {

class CParameterDlg;
class CQuorvanelDoc;
class CQuorvanelView;

class CSplitterFrame : public QMainWindow, public CView {
  Q_OBJECT

 public:
  explicit CSplitterFrame(CQuorvanelDoc& document, QWidget* parent = nullptr);
  ~CSplitterFrame() override;

  // The document changed: after a calculation with a tolerance scheme the message pane says
  // whether the design meets it, with both margins; otherwise it shows "Ready".
  void OnUpdate() override;

  // The one operation that takes both readout texts: pane 1 and pane 2 of the status bar.
  void SetReadout(const QString& horizontal, const QString& vertical);

  [[nodiscard]] CParameterDlg* Form() const { return form_; }
  // Pixels of the form's pane at start-up and of the splitter's bar.
  [[nodiscard]] static int FormPaneWidth();
  [[nodiscard]] int SplitterHandleWidth() const;
  [[nodiscard]] CQuorvanelView* GraphView() const { return view_; }
  [[nodiscard]] QLabel* MessagePane() const { return messagePane_; }
  [[nodiscard]] QLabel* ReadoutPane(int pane) const;
  // The menu command with this item text (mnemonic included, key name excluded), or null.
  [[nodiscard]] QAction* Command(const QString& text) const;

  // Moves the keyboard focus to the other pane of the splitter: from the form to the graph
  // view, from the view back to the form's control that had the focus last (its first control
  // when that one cannot take it).
  void ActivateOtherPane();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenus();
  void CreateStatusBar();
  void UpdateCaption(const QString& title);
  void OnAbout();

  CQuorvanelDoc& document_;
  QSplitter* splitter_ = nullptr;
  CParameterDlg* form_ = nullptr;
  CQuorvanelView* view_ = nullptr;
  QLabel* messagePane_ = nullptr;
  QLabel* readoutPanes_[2] = {nullptr, nullptr};
  // The form's control that had the focus last; F6 returns there.
  QPointer<QWidget> lastFormControl_;
};

}  // namespace qv

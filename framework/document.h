// The document of a single-document application: its modified flag, path and title, the views
// that show it, and the New/Open/Save/Save As flows with their prompts, dialogs and standard
// file messages. The concrete document reads and writes itself through standard streams.
#pragma once

#include <QObject>
#include <QString>
#include <istream>
#include <optional>
#include <ostream>
#include <vector>

class QWidget;

namespace qv {

// A view of the document: told to refresh itself whenever the document changes as a whole.
class CView {
 public:
  virtual ~CView() = default;
  virtual void OnUpdate() = 0;
};

// What the file dialogs and the save prompt need to know of the document type.
struct DocumentType {
  QString filterName;  // for example "Quorvanel Design (*.qvd)"
  QString extension;   // with its dot, for example ".qvd"
};

class CDocument : public QObject {
  Q_OBJECT

 public:
  CDocument(DocumentType type, QObject* parent);

  [[nodiscard]] QString GetTitle() const { return title_; }
  void SetTitle(const QString& title);
  [[nodiscard]] QString GetPathName() const { return pathName_; }
  // Takes the path of the file the document now belongs to; the title becomes its file name.
  void SetPathName(const QString& path);
  [[nodiscard]] bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified = true);

  // Views are not owned; a view removes itself before it goes.
  void AddView(CView* view);
  void RemoveView(CView* view);
  // Refreshes every view but `sender` (the view that made the change, if any).
  void UpdateAllViews(CView* sender = nullptr);

  // The window that parents the document's dialogs and message boxes (may be null).
  void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }
  [[nodiscard]] QWidget* DialogParent() const { return dialogParent_; }

  // The File commands. Each returns true when it completed, false when the user cancelled it
  // or it failed (its message has then been shown).
  bool OnFileNew();
  bool OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();
  // Opens `path` after asking to save a modified document (Cancel abandons); for the command
  // line and files dropped on the window.
  bool OpenDocumentFile(const QString& path);
  // Asks "Save changes to %1?" when modified; true when the caller may go on (saved, or the
  // user said No), false for Cancel or a failed save.
  bool SaveModified();

 signals:
  void TitleChanged(const QString& title);

 protected:
  // Makes the document a new, unnamed one. The base clears the contents, the modified flag and
  // the path and sets the title "Untitled"; derived documents then set their defaults.
  virtual bool OnNewDocument();
  // Releases what the document holds before it is reused.
  virtual void DeleteContents() {}
  // Reads the document from `in` (binary). Returns nothing on success, or the message to show
  // when the contents cannot be read; the document is then reset to a new one if reading had
  // begun to change it.
  virtual std::optional<QString> ReadDocument(std::istream& in) = 0;
  // Writes the document to `out` (binary); false when the stream reports a failure.
  virtual bool WriteDocument(std::ostream& out) const = 0;
  // Called by ReadDocument, after telling the user, when the file is not a document of this
  // kind but the open completes with the contents as they were: the document then keeps its
  // previous title, path and modified flag.
  void RejectOpenedFile() { openedFileRejected_ = true; }

 private:
  // The open and save dialogs' file types: the document's own, then all files.
  [[nodiscard]] QStringList NameFilters() const;
  bool OnOpenDocument(const QString& path);
  bool OnSaveDocument(const QString& path);
  // Saves to `path`; an empty path asks for one first (Save As, or Save of an untitled
  // document). False on cancel or failure.
  bool DoSave(const QString& path);
  void ReportFileError(const QString& message);

  DocumentType type_;
  QString title_;
  QString pathName_;
  bool modified_ = false;
  bool openedFileRejected_ = false;
  std::vector<CView*> views_;
  QWidget* dialogParent_ = nullptr;
};

// The framework's standard texts.
inline const QString kUntitledTitle = QStringLiteral("Untitled");
inline const QString kSaveChangesPrompt = QStringLiteral("Save changes to %1?");
inline const QString kFailedToOpen = QStringLiteral("Failed to open document.");
inline const QString kFailedToSave = QStringLiteral("Failed to save document.");
inline const QString kFileNotFound = QStringLiteral("%1 was not found.");
inline const QString kAccessDenied = QStringLiteral("Access to %1 was denied.");
inline const QString kDiskFull = QStringLiteral("Disk full while accessing %1.");

}  // namespace qv

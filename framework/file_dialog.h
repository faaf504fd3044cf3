// The common open and save file dialogs, reached through a service that tests replace with a
// scripted fake.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace qv {

// What a file dialog is asked: its title, its mode, the file types as "Name (*.ext)" entries
// and the one selected first, the extension appended to a name typed without one (with its
// dot; when empty in save mode, the extension of the selected type), the file name it proposes
// and the folder it opens in.
struct FileDialogRequest {
  bool open = true;  // open mode; otherwise save mode, which asks before replacing a file
  QString title;
  QStringList filters;
  int selectedFilter = 0;  // position in `filters`
  QString defaultExtension;
  QString initialName;
  QString directory;  // empty: the dialog's own choice (the working directory at first)
};

// What the user chose: the path, and the position in the request's filters of the file type
// selected when it was chosen.
struct FileDialogChoice {
  QString path;
  int filter = 0;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Shows the dialog modally; returns the choice, or nothing when the user cancelled.
  virtual std::optional<FileDialogChoice> Ask(QWidget* parent,
                                              const FileDialogRequest& request) = 0;
};

// The real dialogs: QFileDialog (an existing file for open; for save the directory must exist
// and an existing file is replaced only after the user agrees).
class QtFileDialogService final : public FileDialogService {
 public:
  std::optional<FileDialogChoice> Ask(QWidget* parent, const FileDialogRequest& request) override;
};

// The file type that every dialog offers after its own.
inline const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");

FileDialogService& FileDialogs();
// Takes a service that outlives its use (null restores the real dialogs).
void InstallFileDialogService(FileDialogService* service);

// The folder of the last file opened or saved, through a dialog or otherwise (the command
// line, a drop); empty before the first. Every file dialog opens there.
QString LastFileFolder();
// Takes the path of a file just opened or saved (relative paths against the working directory).
void RememberFileFolder(const QString& path);

// A file dialog set up the classic way: mode, default extension without its dot, proposed name
// and the file types as name filters ("C File (*.c)", the first one selected).
class CFileDialog {
 public:
  CFileDialog(bool openFileDialog, const QString& defaultExtension, const QString& fileName,
              const QStringList& nameFilters, QWidget* parent = nullptr);

  void SetTitle(const QString& title) { request_.title = title; }
  // The file type selected when the dialog opens: a position among the filter's entries.
  void SetFilterIndex(int index) { request_.selectedFilter = index; }
  // Shows the dialog in the folder of the last file opened or saved; true when the user chose
  // a file, which GetPathName then returns, with the position of the file type selected with
  // it in GetFilterIndex. The next dialog opens in the chosen file's folder.
  bool DoModal();
  [[nodiscard]] QString GetPathName() const { return path_; }
  [[nodiscard]] int GetFilterIndex() const { return filterIndex_; }

 private:
  FileDialogRequest request_;
  QWidget* parent_;
  QString path_;
  int filterIndex_ = 0;
};

// The extension of a "Name (*.ext)" file type, with its dot; empty for a pattern such as "*.*".
QString FilterExtension(const QString& filter);

}  // namespace qv

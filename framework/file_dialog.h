// The common open and save file dialogs, reached through a service that tests replace with a
// scripted fake.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace qv {

// What a file dialog is asked: its title, its mode, the file types as "Name (*.ext)" entries
// (the first one selected), the extension appended to a name typed without one (with its dot),
// and the file name it proposes.
struct FileDialogRequest {
  bool open = true;  // open mode; otherwise save mode, which asks before replacing a file
  QString title;
  QStringList filters;
  QString defaultExtension;
  QString initialName;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Shows the dialog modally; returns the chosen path, or nothing when the user cancelled.
  virtual std::optional<QString> Ask(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The real dialogs: QFileDialog (an existing file for open; for save the directory must exist
// and an existing file is replaced only after the user agrees).
class QtFileDialogService final : public FileDialogService {
 public:
  std::optional<QString> Ask(QWidget* parent, const FileDialogRequest& request) override;
};

// The file type that every dialog offers after its own.
inline const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");

FileDialogService& FileDialogs();
// Takes a service that outlives its use (null restores the real dialogs).
void InstallFileDialogService(FileDialogService* service);

// A file dialog set up the classic way: mode, default extension without its dot, proposed name
// and the file types as name filters ("C File (*.c)", the first one selected).
class CFileDialog {
 public:
  CFileDialog(bool openFileDialog, const QString& defaultExtension, const QString& fileName,
              const QStringList& nameFilters, QWidget* parent = nullptr);

  void SetTitle(const QString& title) { request_.title = title; }
  // Shows the dialog; true when the user chose a file, which GetPathName then returns.
  bool DoModal();
  [[nodiscard]] QString GetPathName() const { return path_; }

 private:
  FileDialogRequest request_;
  QWidget* parent_;
  QString path_;
};

}  // namespace qv

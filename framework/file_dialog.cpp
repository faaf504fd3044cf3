#include "framework/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace qv {
namespace {

FileDialogService* installed = nullptr;

}  // namespace

std::optional<QString> QtFileDialogService::Ask(QWidget* parent,
                                                const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setNameFilters(request.filters);
  if (request.open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith('.')) {
      suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(request.initialName);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst();
}

FileDialogService& FileDialogs() {
  static QtFileDialogService real;
  return installed != nullptr ? *installed : real;
}

void InstallFileDialogService(FileDialogService* service) { installed = service; }

CFileDialog::CFileDialog(bool openFileDialog, const QString& defaultExtension,
                         const QString& fileName, const QStringList& nameFilters, QWidget* parent)
    : parent_(parent) {
  request_.open = openFileDialog;
  request_.defaultExtension = defaultExtension.isEmpty() ? QString() : "." + defaultExtension;
  request_.initialName = fileName;
  request_.filters = nameFilters;
  request_.title = openFileDialog ? QStringLiteral("Open") : QStringLiteral("Save As");
}

bool CFileDialog::DoModal() {
  std::optional<QString> chosen = FileDialogs().Ask(parent_, request_);
  if (!chosen) {
    return false;
  }
  path_ = *chosen;
  // A name typed without an extension gets the default one, as the classic dialog adds it.
  if (!request_.open && !request_.defaultExtension.isEmpty() &&
      QFileInfo(path_).suffix().isEmpty()) {
    path_ += request_.defaultExtension;
  }
  return true;
}

}  // namespace qv

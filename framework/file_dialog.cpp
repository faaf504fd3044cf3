#include "framework/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace qv {
namespace {

FileDialogService* installed = nullptr;
QString lastFileFolder;

}  // namespace

std::optional<FileDialogChoice> QtFileDialogService::Ask(QWidget* parent,
                                                         const FileDialogRequest& request) {
  QFileDialog dialog(parent, request.title);
  dialog.setNameFilters(request.filters);
  if (request.selectedFilter > 0 && request.selectedFilter < request.filters.size()) {
    dialog.selectNameFilter(request.filters[request.selectedFilter]);
  }
  if (!request.directory.isEmpty()) {
    dialog.setDirectory(request.directory);
  }
  if (request.open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const auto suffixOf = [](QString extension) { return extension.remove(0, 1); };
    if (!request.defaultExtension.isEmpty()) {
      dialog.setDefaultSuffix(suffixOf(request.defaultExtension));
    } else {
      // The type decides the extension, so that the question before replacing a file asks
      // about the name that is really written.
      dialog.setDefaultSuffix(suffixOf(FilterExtension(dialog.selectedNameFilter())));
      QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                       [&dialog, suffixOf](const QString& filter) {
                         dialog.setDefaultSuffix(suffixOf(FilterExtension(filter)));
                       });
    }
    dialog.selectFile(request.initialName);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  const auto filter = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()));
  return FileDialogChoice{dialog.selectedFiles().constFirst(), std::max(filter, 0)};
}

FileDialogService& FileDialogs() {
  static QtFileDialogService real;
  return installed != nullptr ? *installed : real;
}

void InstallFileDialogService(FileDialogService* service) { installed = service; }

QString FilterExtension(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral("\\(\\*(\\.[^.*()\\s;]+)\\)$"));
  const QRegularExpressionMatch match = pattern.match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

QString LastFileFolder() { return lastFileFolder; }

void RememberFileFolder(const QString& path) {
  if (!path.isEmpty()) {
    lastFileFolder = QFileInfo(path).absolutePath();
  }
}

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
  request_.directory = LastFileFolder();
  std::optional<FileDialogChoice> chosen = FileDialogs().Ask(parent_, request_);
  if (!chosen) {
    return false;
  }
  path_ = chosen->path;
  filterIndex_ = chosen->filter;
  RememberFileFolder(path_);
  // A name typed without an extension gets the default one, as the classic dialog adds it.
  if (!request_.open && !request_.defaultExtension.isEmpty() &&
      QFileInfo(path_).suffix().isEmpty()) {
    path_ += request_.defaultExtension;
  }
  return true;
}

}  // namespace qv

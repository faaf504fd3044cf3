#include "framework/document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <utility>

#include "framework/file_dialog.h"
#include "framework/message_service.h"

namespace qv {

CDocument::CDocument(DocumentType type, QObject* parent)
    : QObject(parent), type_(std::move(type)), title_(kUntitledTitle) {}

QStringList CDocument::NameFilters() const { return {type_.filterName, kAllFilesFilter}; }

void CDocument::SetTitle(const QString& title) {
  title_ = title;
  emit TitleChanged(title_);
}

void CDocument::SetPathName(const QString& path) {
  pathName_ = QFileInfo(path).absoluteFilePath();
  SetTitle(QFileInfo(path).fileName());
}

void CDocument::SetModifiedFlag(bool modified) { modified_ = modified; }

void CDocument::AddView(CView* view) { views_.push_back(view); }

void CDocument::RemoveView(CView* view) { std::erase(views_, view); }

void CDocument::UpdateAllViews(CView* sender) {
  for (CView* view : views_) {
    if (view != sender) {
      view->OnUpdate();
    }
  }
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  pathName_.clear();
  SetModifiedFlag(false);
  SetTitle(kUntitledTitle);
  return true;
}

bool CDocument::OnFileNew() {
  if (!SaveModified()) {
    return false;
  }
  const bool made = OnNewDocument();
  UpdateAllViews();
  return made;
}

bool CDocument::OnFileOpen() {
  CFileDialog dialog(true, QString(), QString(), NameFilters(), dialogParent_);
  if (!dialog.DoModal()) {
    return false;
  }
  return OpenDocumentFile(dialog.GetPathName());
}

bool CDocument::OpenDocumentFile(const QString& path) {
  if (!SaveModified()) {
    return false;
  }
  const bool wasModified = IsModified();
  SetModifiedFlag(false);
  if (OnOpenDocument(path)) {
    SetPathName(path);
    UpdateAllViews();
    return true;
  }
  if (!IsModified()) {
    // The file could not even be read: the document is as it was.
    SetModifiedFlag(wasModified);
  } else {
    // Reading had begun to replace the contents: start afresh rather than keep a mixture.
    OnNewDocument();
    UpdateAllViews();
  }
  return false;
}

bool CDocument::OnOpenDocument(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    ReportFileError(kFileNotFound.arg(QDir::toNativeSeparators(path)));
    return false;
  }
  std::ifstream in;
  if (info.isFile()) {
    in.open(info.absoluteFilePath().toStdString(), std::ios::binary);
  }
  if (!in.is_open()) {
    ReportFileError(info.isFile() && !info.isReadable()
                        ? kAccessDenied.arg(QDir::toNativeSeparators(path))
                        : kFailedToOpen);
    return false;
  }
  DeleteContents();
  SetModifiedFlag(true);  // the contents are changing; cleared once they are read whole
  if (std::optional<QString> failure = ReadDocument(in)) {
    ReportFileError(*failure);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnFileSave() { return DoSave(pathName_); }

bool CDocument::OnFileSaveAs() { return DoSave(QString()); }

bool CDocument::DoSave(const QString& path) {
  QString target = path;
  if (target.isEmpty()) {
    QString proposed = pathName_;
    if (proposed.isEmpty()) {
      proposed = title_;
      if (QFileInfo(proposed).suffix().isEmpty()) {
        proposed += type_.extension;
      }
    }
    CFileDialog dialog(false, type_.extension.mid(1), proposed, NameFilters(), dialogParent_);
    if (!dialog.DoModal()) {
      return false;
    }
    target = dialog.GetPathName();
  }
  if (!OnSaveDocument(target)) {
    return false;
  }
  SetPathName(target);
  return true;
}

bool CDocument::OnSaveDocument(const QString& path) {
  std::ostringstream bytes(std::ios::binary);
  if (!WriteDocument(bytes)) {
    ReportFileError(kFailedToSave);
    return false;
  }
  const std::string data = bytes.str();
  // QSaveFile writes beside the target and renames over it only once everything is written,
  // so a failed save leaves the previous file as it was. Unbuffered, so that a write that
  // fails is seen here: a failure while commit() flushes a buffer would still replace the file.
  QSaveFile file(path);
  errno = 0;
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                       file.write(data.data(), static_cast<qint64>(data.size())) ==
                           static_cast<qint64>(data.size()) &&
                       file.commit();
  if (!written) {
    const int cause = errno;
    const QString shown = QDir::toNativeSeparators(path);
    if (file.error() == QFileDevice::PermissionsError || cause == EACCES || cause == EPERM) {
      ReportFileError(kAccessDenied.arg(shown));
    } else if (cause == ENOSPC || cause == EFBIG || cause == EDQUOT) {
      ReportFileError(kDiskFull.arg(shown));
    } else {
      ReportFileError(kFailedToSave);
    }
    file.cancelWriting();
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::SaveModified() {
  if (!IsModified()) {
    return true;
  }
  switch (Messages().Show(dialogParent_, kSaveChangesPrompt.arg(title_),
                          MessageIcon::Exclamation, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
      return OnFileSave();
    case MessageAnswer::No:
      return true;
    default:
      return false;
  }
}

void CDocument::ReportFileError(const QString& message) {
  Messages().Show(dialogParent_, message, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace qv

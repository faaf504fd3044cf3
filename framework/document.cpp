#include "framework/document.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <utility>

#include "fileio/output_file.h"
#include "framework/file_dialog.h"
#include "framework/file_name.h"
#include "framework/message_service.h"

namespace qv {
namespace {

// The standard message of a save to `path` that failed with the system error `cause`.
QString SaveFailureMessage(int cause, const QString& path) {
  switch (cause) {
    case EACCES:
    case EPERM:
      return kAccessDenied.arg(QDir::toNativeSeparators(path));
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return kDiskFull.arg(QDir::toNativeSeparators(path));
    default:
      return kFailedToSave;
  }
}

}  // namespace

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
  openedFileRejected_ = false;
  if (OnOpenDocument(path)) {
    RememberFileFolder(path);
    if (openedFileRejected_) {
      // Not read as a document: the title and path stay those of the contents it still holds,
      // so that Save never writes over the foreign file.
      SetModifiedFlag(wasModified);
    } else {
      SetPathName(path);
    }
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
  // The name as the system has it: Qt's own file classes would lose bytes that are not UTF-8.
  const std::string name = FileNameBytes(path);
  struct stat status {};
  if (::stat(name.c_str(), &status) != 0) {
    ReportFileError(kFileNotFound.arg(QDir::toNativeSeparators(path)));
    return false;
  }
  const bool regular = S_ISREG(status.st_mode);
  std::ifstream in;
  if (regular) {
    in.open(name, std::ios::binary);
  }
  if (!in.is_open()) {
    ReportFileError(regular && ::access(name.c_str(), R_OK) != 0
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
  RememberFileFolder(target);
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
  // Replaced whole or not at all, like every file the program writes; a pipe or a device
  // node is written straight through and stays what it is.
  OutputFile file(FileNameBytes(path));
  file.Stream().write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!file.Commit()) {
    ReportFileError(SaveFailureMessage(file.Error(), path));
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::SaveModified() {
  if (!IsModified()) {
    return true;
  }
  switch (Messages().Show(dialogParent_, kSaveChangesPrompt.arg(title_), MessageIcon::Exclamation,
                          MessageButtons::YesNoCancel)) {
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

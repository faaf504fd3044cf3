// Message boxes and file dialogs answered by a script, so that no modal box blocks a test and
// every text shown can be checked.
#pragma once

#include <QList>
#include <QString>
#include <deque>
#include <optional>

#include "framework/file_dialog.h"
#include "framework/message_service.h"

namespace qv::testing {

struct ShownMessage {
  QString text;
  MessageIcon icon;
  MessageButtons buttons;
};

// Answers from the queue; Ok for a plain box and No for a question once it is empty.
class ScriptedMessages final : public MessageService {
 public:
  ScriptedMessages() { InstallMessageService(this); }
  ~ScriptedMessages() override { InstallMessageService(nullptr); }
  MessageAnswer Show(QWidget* parent, const QString& text, MessageIcon icon,
                     MessageButtons buttons) override;

  std::deque<MessageAnswer> answers;
  QList<ShownMessage> shown;
  [[nodiscard]] QStringList Texts() const;
};

// Answers from the queue (a path, or nothing for Cancel); Cancel once it is empty. The file
// type chosen with a path comes from `types` (the request's selected one once it is empty).
class ScriptedFileDialogs final : public FileDialogService {
 public:
  ScriptedFileDialogs() { InstallFileDialogService(this); }
  ~ScriptedFileDialogs() override { InstallFileDialogService(nullptr); }
  std::optional<FileDialogChoice> Ask(QWidget* parent, const FileDialogRequest& request) override;

  std::deque<std::optional<QString>> answers;
  std::deque<int> types;
  QList<FileDialogRequest> asked;
};

}  // namespace qv::testing

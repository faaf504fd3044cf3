#include "tests/support/scripted_services.h"

namespace qv::testing {

MessageAnswer ScriptedMessages::Show(QWidget*, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) {
  shown.append({text, icon, buttons});
  if (!answers.empty()) {
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

QStringList ScriptedMessages::Texts() const {
  QStringList texts;
  for (const ShownMessage& message : shown) {
    texts.append(message.text);
  }
  return texts;
}

std::optional<FileDialogChoice> ScriptedFileDialogs::Ask(QWidget*,
                                                         const FileDialogRequest& request) {
  asked.append(request);
  if (answers.empty()) {
    return std::nullopt;
  }
  const bool chosen = answers.front().has_value();
  const QString path = answers.front().value_or(QString());
  answers.pop_front();
  if (!chosen) {
    return std::nullopt;
  }
  int type = request.selectedFilter;
  if (!types.empty()) {
    type = types.front();
    types.pop_front();
  }
  return FileDialogChoice{path, type};
}

}  // namespace qv::testing

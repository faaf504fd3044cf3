// Modal message boxes behind a small interface, so that tests answer them with a script and no
// box ever blocks a test run.
#pragma once

#include <QString>

class QWidget;

namespace qv {

enum class MessageIcon { None, Stop, Question, Exclamation, Information };
enum class MessageButtons { Ok, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows `text` in a modal box titled with the application's name, over `parent` (may be
  // null); returns the button the user pressed (Cancel when the box was closed otherwise).
  virtual MessageAnswer Show(QWidget* parent, const QString& text, MessageIcon icon,
                             MessageButtons buttons) = 0;
};

// The real boxes: QMessageBox with the application title.
class QtMessageService final : public MessageService {
 public:
  MessageAnswer Show(QWidget* parent, const QString& text, MessageIcon icon,
                     MessageButtons buttons) override;
};

// The service in use; a QtMessageService until InstallMessageService replaces it.
MessageService& Messages();
// Takes a service that outlives its use (null restores the real boxes).
void InstallMessageService(MessageService* service);

// The common case: one message with the stop icon and an OK button.
void AfxMessageBox(const QString& text, MessageIcon icon = MessageIcon::Stop);

}  // namespace qv

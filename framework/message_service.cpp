#include "framework/message_service.h"

#include <QApplication>
#include <QMessageBox>

namespace qv {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Stop:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

MessageService* installed = nullptr;

}  // namespace

MessageAnswer QtMessageService::Show(QWidget* parent, const QString& text, MessageIcon icon,
                                     MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), QApplication::applicationDisplayName(), text,
                  QMessageBox::NoButton, parent);
  if (buttons == MessageButtons::YesNoCancel) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Cancel;
  }
}

MessageService& Messages() {
  static QtMessageService real;
  return installed != nullptr ? *installed : real;
}

void InstallMessageService(MessageService* service) { installed = service; }

void AfxMessageBox(const QString& text, MessageIcon icon) {
  Messages().Show(QApplication::activeWindow(), text, icon, MessageButtons::Ok);
}

}  // namespace qv

#include "gui/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "gui/fonts.h"

namespace morvik {
namespace {

QMessageBox::Icon IconOfCaption(const QString& caption) {
  if (caption == QStringLiteral(u"警告")) return QMessageBox::Warning;
  if (caption == QStringLiteral(u"確認")) return QMessageBox::Question;
  return QMessageBox::Information;
}

QMessageBox::ButtonRole RoleOf(MessageButton button) {
  switch (button) {
    case MessageButton::Yes:
      return QMessageBox::YesRole;
    case MessageButton::No:
      return QMessageBox::NoRole;
    case MessageButton::Cancel:
      return QMessageBox::RejectRole;
    case MessageButton::Ok:
    case MessageButton::None:
      break;
  }
  return QMessageBox::AcceptRole;
}

}  // namespace

QString MessageButtonText(MessageButton button) {
  switch (button) {
    case MessageButton::Yes:
      return QStringLiteral(u"はい(&Y)");
    case MessageButton::No:
      return QStringLiteral(u"いいえ(&N)");
    case MessageButton::Ok:
      return QStringLiteral("OK");
    case MessageButton::Cancel:
      return QStringLiteral(u"キャンセル");
    case MessageButton::None:
      break;
  }
  return {};
}

MessageButton ShowMessageBox(QWidget* parent, const QString& caption, const QString& text,
                             const std::vector<MessageButton>& buttons) {
  return ShowMessageBox(parent, caption, text, buttons, IconOfCaption(caption));
}

MessageButton ShowMessageBox(QWidget* parent, const QString& caption, const QString& text,
                             const std::vector<MessageButton>& buttons, QMessageBox::Icon icon) {
  QMessageBox box(icon, caption,
                  QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  QMessageBox::NoButton, parent);
  box.setFont(WindowFont());
  box.setTextFormat(Qt::PlainText);
  std::vector<std::pair<QAbstractButton*, MessageButton>> shown;
  QAbstractButton* escape = nullptr;
  for (MessageButton button : buttons) {
    QPushButton* push = box.addButton(MessageButtonText(button), RoleOf(button));
    shown.emplace_back(push, button);
    if (shown.size() == 1) box.setDefaultButton(push);
    if (button == MessageButton::Cancel) escape = push;
  }
  if (escape == nullptr) {
    for (const auto& [push, button] : shown) {
      if (button == MessageButton::No || (shown.size() == 1 && button == MessageButton::Ok)) {
        escape = push;
      }
    }
  }
  if (escape != nullptr) box.setEscapeButton(escape);
  box.exec();
  for (const auto& [push, button] : shown) {
    if (box.clickedButton() == push) return button;
  }
  return MessageButton::None;
}

void ShowErrorMessage(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, QStringLiteral(u"警告"), text, {MessageButton::Ok});
}

}  // namespace morvik

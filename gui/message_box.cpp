#include "gui/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "gui/fonts.h"

namespace morvik {
namespace {

QMessageBox::Icon QtIconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
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
      break;
  }
  return QMessageBox::AcceptRole;
}

}  // namespace

MessageButton ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text,
                             MessageButtons buttons) {
  const MessageKindSpec& spec = SpecOf(kind);
  QMessageBox box(QtIconOf(spec.Icon), QString::fromUtf8(spec.Caption),
                  QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  QMessageBox::NoButton, parent);
  box.setFont(WindowFont());
  box.setTextFormat(Qt::PlainText);
  const MessageButton escape_answer = EscapeAnswer(buttons);
  std::vector<std::pair<QAbstractButton*, MessageButton>> shown;
  for (MessageButton button : buttons) {
    QPushButton* push = box.addButton(QString::fromUtf8(CaptionOf(button)), RoleOf(button));
    shown.emplace_back(push, button);
    if (shown.size() == 1) box.setDefaultButton(push);
    if (button == escape_answer) box.setEscapeButton(push);
  }
  box.exec();
  for (const auto& [push, button] : shown) {
    if (box.clickedButton() == push) return button;
  }
  return escape_answer;
}

void ShowErrorMessage(QWidget* parent, const QString& text) {
  ShowMessageBox(parent, MessageKind::Warning, text, kOkButton);
}

}  // namespace morvik

// The standard message box with the program's captions and Japanese buttons.
//
// Captions are "警告", "情報", "確認" (or the application title for the About
// box); the icon follows the caption. Buttons read "はい(&Y)", "いいえ(&N)",
// "OK" and "キャンセル", whatever language Qt itself speaks.
#ifndef MORVIK_GUI_MESSAGE_BOX_H_
#define MORVIK_GUI_MESSAGE_BOX_H_

#include <QMessageBox>
#include <QString>
#include <vector>

class QWidget;

namespace morvik {

enum class MessageButton { None, Yes, No, Ok, Cancel };

QString MessageButtonText(MessageButton button);

// Shows a modal box and returns the button chosen; None when the box was
// closed without a choice and has no Cancel or No button to stand for that.
// Escape and the close box answer Cancel when there is one, else No, else
// the only OK. The first button is the default. CR LF in text breaks lines.
MessageButton ShowMessageBox(QWidget* parent, const QString& caption, const QString& text,
                             const std::vector<MessageButton>& buttons, QMessageBox::Icon icon);
// The same with the icon that belongs to the caption.
MessageButton ShowMessageBox(QWidget* parent, const QString& caption, const QString& text,
                             const std::vector<MessageButton>& buttons);

// The application's default error display: the message of an exception that
// escaped a command, in a "警告" box with one OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);

}  // namespace morvik

#endif  // MORVIK_GUI_MESSAGE_BOX_H_

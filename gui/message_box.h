// The standard message box, drawn from the logic's table of kinds and
// buttons (app/editor/message_boxes.h): the caption and icon of each kind,
// and the buttons "はい(&Y)", "いいえ(&N)", "OK" and "キャンセル", whatever
// language Qt itself speaks.
#ifndef MORVIK_GUI_MESSAGE_BOX_H_
#define MORVIK_GUI_MESSAGE_BOX_H_

#include <QString>

#include "app/editor/message_boxes.h"

class QWidget;

namespace morvik {

// Shows a modal box and returns the button chosen. Escape and the close box
// answer EscapeAnswer(buttons). The first button is the default. CR LF in
// text breaks lines.
MessageButton ShowMessageBox(QWidget* parent, MessageKind kind, const QString& text,
                             MessageButtons buttons);

// The application's default error display: the message of an exception that
// escaped a command, in a warning box with one OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);

}  // namespace morvik

#endif  // MORVIK_GUI_MESSAGE_BOX_H_

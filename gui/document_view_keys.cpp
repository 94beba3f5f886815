// DocumentView: the keyboard. The desktop's standard key bindings (arrows,
// Home, End, Page Up and Down, with Ctrl and Shift; the clipboard keys)
// move the caret and edit; Enter goes to the main window's logic first;
// Ctrl+Z and Ctrl+Y are the model's undo and redo.
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <optional>

#include "gui/document_view.h"

namespace morvik {
namespace {

// The modifiers of the key event being handled, while a view handles one.
std::optional<Qt::KeyboardModifiers> current_key_modifiers;

class CurrentKeyScope {
 public:
  explicit CurrentKeyScope(Qt::KeyboardModifiers modifiers) : previous_(current_key_modifiers) {
    current_key_modifiers = modifiers;
  }
  ~CurrentKeyScope() { current_key_modifiers = previous_; }
  CurrentKeyScope(const CurrentKeyScope&) = delete;
  CurrentKeyScope& operator=(const CurrentKeyScope&) = delete;

 private:
  std::optional<Qt::KeyboardModifiers> previous_;
};

bool IsUndoKey(const QKeyEvent* event) {
  return event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
}

bool IsRedoKey(const QKeyEvent* event) {
  return event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
         event->keyCombination() ==
             QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

bool IsEnterKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Text a key types: printable, with no modifier but Shift, the keypad or
// AltGr (Ctrl, Alt and Meta combinations are commands and menu keys).
bool TypesText(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.isEmpty()) return false;
  if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier)) {
    return false;
  }
  for (QChar c : text) {
    if (!c.isPrint() && c != u'\t') return false;
  }
  return text != QStringLiteral("\t");  // Tab moves the focus
}

}  // namespace

bool IsShiftHeldForCurrentKey() {
  const Qt::KeyboardModifiers modifiers =
      current_key_modifiers.value_or(QGuiApplication::keyboardModifiers());
  return modifiers.testFlag(Qt::ShiftModifier);
}

// What a key does in the view, without doing it yet; nothing when the view
// leaves the key to others (Tab, the main window's shortcuts).
std::function<void()> DocumentView::ActionForKey(const QKeyEvent* event) {
  if (IsUndoKey(event) || IsRedoKey(event)) {
    const bool undo = IsUndoKey(event);
    return [this, undo] { undo ? controller_.Undo() : controller_.Redo(); };
  }
  if (IsEnterKey(event)) {
    return [this] {
      if (!document_.ReadOnly() && events_.key_press && events_.key_press(document_, u'\r')) {
        return;
      }
      // Shift+Enter, or Enter the logic leaves alone: a line break.
      InsertUserText(QStringLiteral("\n"));
    };
  }
  struct MotionKey {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    Motion motion;
  };
  static constexpr MotionKey kMotionKeys[] = {
      {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Motion::kCharLeft},
      {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::kCharRight},
      {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::kLineUp},
      {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::kLineDown},
      {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::kLineStart},
      {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::kLineEnd},
      {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock, Motion::kLineStart},
      {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock, Motion::kLineEnd},
      {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument,
       Motion::kDocumentStart},
      {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::kDocumentEnd},
      {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::kPageUp},
      {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::kPageDown},
      {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::kWordLeft},
      {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::kWordRight},
  };
  for (const MotionKey& key : kMotionKeys) {
    if (event->matches(key.move)) {
      return [this, key] { controller_.ApplyMotion(key.motion, false); };
    }
    if (event->matches(key.select)) {
      return [this, key] { controller_.ApplyMotion(key.motion, true); };
    }
  }
  struct EditKey {
    QKeySequence::StandardKey key;
    void (ViewController::*action)();
  };
  static constexpr EditKey kEditKeys[] = {
      {QKeySequence::SelectAll, &ViewController::SelectAll},
      {QKeySequence::Delete, &ViewController::DeleteNextCharacter},
      {QKeySequence::Backspace, &ViewController::DeletePreviousCharacter},
      {QKeySequence::DeleteStartOfWord, &ViewController::DeletePreviousWord},
      {QKeySequence::DeleteEndOfWord, &ViewController::DeleteNextWord},
      {QKeySequence::DeleteEndOfLine, &ViewController::DeleteToLineEnd},
  };
  if (event->matches(QKeySequence::Copy)) return [this] { CopySelection(false); };
  if (event->matches(QKeySequence::Cut)) return [this] { CutSelection(); };
  if (event->matches(QKeySequence::Paste)) return [this] { PasteFrom(false); };
  for (const EditKey& key : kEditKeys) {
    if (event->matches(key.key)) return [this, key] { (controller_.*key.action)(); };
  }
  // Backspace with Shift still deletes, as in a line edit.
  if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
    return [this] { controller_.DeletePreviousCharacter(); };
  }
  if (event->keyCombination() == QKeyCombination(Qt::Key_Insert)) {
    return [this] { controller_.ToggleOverwrite(); };
  }
  // Ctrl+Up and Ctrl+Down scroll by a line and leave the caret.
  if (event->modifiers() == Qt::ControlModifier &&
      (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    const int step = event->key() == Qt::Key_Up ? -1 : 1;
    return [this, step] { verticalScrollBar()->setValue(verticalScrollBar()->value() + step); };
  }
  if (TypesText(event)) {
    const QString text = event->text();
    return [this, text] { TypeText(text); };
  }
  return {};
}

bool DocumentView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& shortcut : reserved_) {
      if (shortcut == pressed) {
        event->ignore();  // the main window's command
        return true;
      }
    }
    // Keys the view acts on are its own, not a shortcut's.
    if (ActionForKey(key)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  const CurrentKeyScope key_scope(event->modifiers());
  if (events_.key_down) events_.key_down(document_);
  const std::function<void()> action = ActionForKey(event);
  if (!action) {
    event->ignore();
    return;
  }
  action();
  event->accept();
}

void DocumentView::keyReleaseEvent(QKeyEvent* event) {
  const CurrentKeyScope key_scope(event->modifiers());
  QAbstractScrollArea::keyReleaseEvent(event);
  if (events_.key_up) events_.key_up(document_);
}

}  // namespace morvik

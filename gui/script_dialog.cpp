#include "gui/script_dialog.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

#include "app/dialogs/script_edit.h"
#include "gui/sjis_text.h"

namespace morvik {

ScriptMemo::ScriptMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("MemoScript"));
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ScriptMemo::SetReservedShortcuts(const QList<QKeySequence>& shortcuts) {
  reserved_ = shortcuts;
}

bool ScriptMemo::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Left unaccepted, the key goes to the window's shortcut instead of
    // the field's own binding.
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& shortcut : reserved_) {
      if (shortcut == pressed) {
        event->ignore();
        return true;
      }
    }
  }
  return QPlainTextEdit::event(event);
}

void ScriptMemo::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !(event->modifiers() & Qt::ShiftModifier)) {
    emit EnterPressed();
    return;
  }
  if (enter) {
    // A real line break, not the widget's soft line separator.
    textCursor().insertText(QStringLiteral("\n"));
    return;
  }
  if (!event->text().isEmpty() && !IsEncodable(event->text())) {
    int dropped = 0;
    KeepEncodable(event->text(), &dropped);
    emit InputRefused(UnencodableMessage(dropped));
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void ScriptMemo::inputMethodEvent(QInputMethodEvent* event) {
  int dropped = 0;
  const QString kept = KeepEncodable(event->commitString(), &dropped);
  if (dropped > 0) {
    emit InputRefused(UnencodableMessage(dropped));
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
    return;
  }
  QPlainTextEdit::inputMethodEvent(event);
}

void ScriptMemo::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  int dropped = 0;
  const QString kept = KeepEncodable(source->text(), &dropped);
  if (dropped > 0) emit InputRefused(UnencodableMessage(dropped));
  textCursor().insertText(kept);
}

ScriptDialog::ScriptDialog(QWidget* parent) : OutcomeDialog(parent) {
  setObjectName(QStringLiteral("FormScript"));
  setWindowTitle(QString::fromUtf8(TFormScript::kCaption));
  setSizeGripEnabled(true);

  auto* menu_bar = new QMenuBar(this);
  menu_bar->setObjectName(QStringLiteral("MainMenu"));
  using T = TFormScript;
  QMenu* edit = menu_bar->addMenu(QString::fromUtf8(T::kMenuEditCaption));
  edit->setObjectName(QStringLiteral("MenuEdit"));
  AddMenuItem(edit, QStringLiteral("MenuEditAnalyze"), T::kMenuEditAnalyzeCaption,
              T::kMenuEditAnalyzeShortCut, &ScriptDialog::AnalyzeClicked);
  AddMenuItem(edit, QStringLiteral("MenuEditLinize"), T::kMenuEditLinizeCaption,
              T::kMenuEditLinizeShortCut, &ScriptDialog::LinizeClicked);
  edit->addSeparator()->setObjectName(QStringLiteral("S1"));
  AddMenuItem(edit, QStringLiteral("MenuEditCopy"), T::kMenuEditCopyCaption,
              T::kMenuEditCopyShortCut, &ScriptDialog::CopyClicked);
  AddMenuItem(edit, QStringLiteral("MenuEditPaste"), T::kMenuEditPasteCaption,
              T::kMenuEditPasteShortCut, &ScriptDialog::PasteClicked);
  QMenu* quit = menu_bar->addMenu(QString::fromUtf8(T::kMenuQuitCaption));
  quit->setObjectName(QStringLiteral("MenuQuit"));
  AddMenuItem(quit, QStringLiteral("MenuQuitReflect"), T::kMenuQuitReflectCaption,
              T::kMenuQuitReflectShortCut, &ScriptDialog::ReflectClicked);
  // Its shortcut comes with the window's creation (SetIgnoreShortcut).
  AddMenuItem(quit, QStringLiteral("MenuQuitIgnore"), T::kMenuQuitIgnoreCaption, "",
              &ScriptDialog::IgnoreClicked);

  memo_script_ = new ScriptMemo(this);
  QList<QKeySequence> reserved;
  for (QAction* action : findChildren<QAction*>()) {
    if (!action->shortcut().isEmpty()) reserved.append(action->shortcut());
  }
  memo_script_->SetReservedShortcuts(reserved);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(menu_bar);
  layout->addWidget(memo_script_);
  resize(415, 264);
  memo_script_->setFocus();
}

QAction* ScriptDialog::AddMenuItem(QMenu* menu, const QString& name, const char* caption,
                                   const char* shortcut, void (ScriptDialog::*signal)()) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(name);
  action->setShortcut(QKeySequence(QString::fromLatin1(shortcut), QKeySequence::PortableText));
  // Also on the window itself, so the shortcut works while the field has
  // the focus and the menu is closed.
  addAction(action);
  connect(action, &QAction::triggered, this, signal);
  return action;
}

QAction* ScriptDialog::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

std::string ScriptDialog::TextBytes() const {
  return BytesOfWidgetText(memo_script_->toPlainText());
}

void ScriptDialog::SetTextBytes(const std::string& bytes) {
  memo_script_->setPlainText(WidgetTextOfBytes(bytes));
}

void ScriptDialog::SetMemoFont(const QFont& font) {
  memo_script_->setFont(font);
}

void ScriptDialog::SetIgnoreShortcut(const QString& shortcut) {
  Action(QStringLiteral("MenuQuitIgnore"))
      ->setShortcut(QKeySequence(shortcut, QKeySequence::PortableText));
  QList<QKeySequence> reserved;
  for (QAction* action : findChildren<QAction*>()) {
    if (!action->shortcut().isEmpty()) reserved.append(action->shortcut());
  }
  memo_script_->SetReservedShortcuts(reserved);
}

namespace {

// The displayed (wrapped) line that holds the cursor's selection start, and
// that start's character column within it.
QString DisplayedLineAt(const QPlainTextEdit* memo, int* column) {
  const int start = memo->textCursor().selectionStart();
  const QTextBlock block = memo->document()->findBlock(start);
  const int in_block = start - block.position();
  QString text = block.text();
  const QTextLayout* layout = block.layout();
  if (layout != nullptr && layout->lineCount() > 0) {
    const QTextLine line = layout->lineForTextPosition(in_block);
    if (line.isValid()) {
      *column = in_block - line.textStart();
      return text.mid(line.textStart(), line.textLength());
    }
  }
  *column = in_block;
  return text;
}

}  // namespace

std::string ScriptDialog::CaretLineBytes() const {
  int column = 0;
  return BytesOfWidgetText(DisplayedLineAt(memo_script_, &column));
}

std::size_t ScriptDialog::CaretColumnBytes() const {
  int column = 0;
  const QString line = DisplayedLineAt(memo_script_, &column);
  return BytesOfWidgetText(line.left(column)).size();
}

void ScriptDialog::ReplaceSelectionBytes(const std::string& bytes) {
  memo_script_->textCursor().insertText(WidgetTextOfBytes(bytes));
}

void ScriptDialog::CloseWindow() {
  EndWithOk();
}

}  // namespace morvik

// The view of the SavraScript editor: "SavraScript エディタ", a sizable window
// with its menu and one wrapping text field without scroll bars. The menu's
// shortcuts win over the field's own keys (Ctrl+A is "分解", not select-all;
// Ctrl+C copies the whole script). Enter goes to the logic's automatic
// indent; Shift+Enter breaks the line as usual.
#ifndef MORVIK_GUI_SCRIPT_DIALOG_H_
#define MORVIK_GUI_SCRIPT_DIALOG_H_

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>
#include <string>

#include "gui/dialog_common.h"

class QAction;

namespace morvik {

// The text field: a plain-text editor that leaves the window's shortcuts to
// the window and keeps out characters Shift_JIS cannot hold.
class ScriptMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ScriptMemo(QWidget* parent);
  void SetReservedShortcuts(const QList<QKeySequence>& shortcuts);

 signals:
  void EnterPressed();
  void InputRefused(const QString& message);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  QList<QKeySequence> reserved_;
};

class ScriptDialog : public OutcomeDialog {
  Q_OBJECT

 public:
  explicit ScriptDialog(QWidget* parent);

  ScriptMemo* MemoScript() const { return memo_script_; }
  QAction* Action(const QString& name) const;

  // The field's whole text as Shift_JIS, lines separated by CR LF, no break
  // added at the end.
  std::string TextBytes() const;
  // Replaces the whole text; a lone CR or LF becomes a line break.
  void SetTextBytes(const std::string& bytes);
  void SetMemoFont(const QFont& font);
  // The ignore command's shortcut, which the window assigns when it is
  // created; an empty text leaves the item without one.
  void SetIgnoreShortcut(const QString& shortcut);

  // The displayed line (a wrapped line counts as several) that holds the
  // selection start, as Shift_JIS, and the selection start's byte offset in it.
  std::string CaretLineBytes() const;
  std::size_t CaretColumnBytes() const;
  // Replaces the selection (or inserts at the caret) with bytes.
  void ReplaceSelectionBytes(const std::string& bytes);

  // Ends the window as the reflect and ignore commands do.
  void CloseWindow();

 signals:
  void AnalyzeClicked();
  void LinizeClicked();
  void CopyClicked();
  void PasteClicked();
  void ReflectClicked();
  void IgnoreClicked();

 private:
  QAction* AddMenuItem(QMenu* menu, const QString& name, const char* caption, const char* shortcut,
                       void (ScriptDialog::*signal)());

  ScriptMemo* memo_script_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_SCRIPT_DIALOG_H_

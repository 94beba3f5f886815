// DocumentView: the text control of one document, a QPlainTextEdit that
// shows the model's decoded text and never owns it.
//
// The model (TRichEditEx) holds the bytes. Every edit the user makes in the
// widget is reported to the model in characters (ApplyViewEdit), which
// re-encodes only what really changed; every change a command makes in the
// model reaches the widget through DocumentObserver. Two flags keep the two
// directions from echoing each other. A line break is one character on
// both sides (U+2029 in the widget), so character positions agree and the
// model maps them to byte offsets.
//
// The widget's own undo stack is off: Ctrl+Z and Ctrl+Y undo the model's
// edits, which never touch bytes the user did not change. Characters that
// Shift_JIS cannot hold are kept out of the text, and bytes that are no
// Shift_JIS character are drawn visibly marked.
#ifndef MORVIK_GUI_DOCUMENT_VIEW_H_
#define MORVIK_GUI_DOCUMENT_VIEW_H_

#include <QPlainTextEdit>
#include <functional>

#include "app/document/rich_edit_ex.h"

class QMenu;

namespace morvik {

// What a view reports to the main window's logic besides text changes.
struct DocumentViewEvents {
  std::function<void(TRichEditEx&)> key_down;
  // The Enter key (code 13) or another character key; true: it was handled
  // and must not reach the widget.
  std::function<bool(TRichEditEx&, char16_t)> key_press;
  std::function<void(TRichEditEx&)> key_up;
  std::function<void(TRichEditEx&)> mouse_down;
  // Typed or pasted characters were kept out; message says why.
  std::function<void(const QString&)> input_refused;
};

class DocumentView : public QPlainTextEdit, public DocumentObserver {
  Q_OBJECT

 public:
  DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
               QWidget* parent);
  ~DocumentView() override;

  TRichEditEx& Document() const { return document_; }
  // The main window's shortcuts: the widget leaves these keys to them even
  // where it has a binding of its own (Ctrl+E, end of line on X11).
  void SetReservedShortcuts(const QList<QKeySequence>& shortcuts) { reserved_ = shortcuts; }

  // DocumentObserver: a command changed the model; the widget follows.
  void TextReplaced(std::size_t offset, std::size_t removed_bytes, std::size_t inserted_bytes,
                    std::size_t char_position, std::size_t removed_chars,
                    std::size_t inserted_chars) override;
  void SelectionChanged() override;

  // Shows the model's whole text again (after a change the widget could not
  // follow piece by piece).
  void ReloadFromModel();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void WidgetContentsChanged(int position, int removed, int added);
  void WidgetCursorMoved();
  void ShowModelSelection();
  void RefuseInput(int dropped);

  TRichEditEx& document_;
  DocumentViewEvents events_;
  QMenu* popup_menu_;
  QList<QKeySequence> reserved_;
  // The widget is being changed to follow the model.
  bool following_model_ = false;
  // An edit of the widget is being reported to the model.
  bool reporting_edit_ = false;
};

// The Shift state of the key event a view is handling, for the logic's
// IsShiftDown; outside key handling, the keyboard's current state.
bool IsShiftHeldForCurrentKey();

}  // namespace morvik

#endif  // MORVIK_GUI_DOCUMENT_VIEW_H_

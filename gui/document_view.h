// DocumentView: the text control of one document. It draws the model's
// lines and turns keys, clicks and input-method text into edits of the
// model; it holds no copy of the text.
//
// The model (TRichEditEx) holds the bytes, the caret and the selection.
// The view reads only the lines it shows (LineLayouts), so opening or
// sorting a million-line file costs the view nothing in proportion to its
// size, and every edit it makes goes to the model as characters replaced
// (ApplyViewEdit), which re-encodes only what changed. Commands change the
// model; the view hears of it through DocumentObserver and draws again.
//
// Positions inside the view are lines and columns: a column is a character
// (a double-byte character, or a byte that is no Shift_JIS character, is
// one column), as DecodeSjis gives them. Undo and redo are the model's.
// Characters Shift_JIS cannot hold are kept out of the text, and bytes that
// are no Shift_JIS character are drawn visibly marked.
#ifndef MORVIK_GUI_DOCUMENT_VIEW_H_
#define MORVIK_GUI_DOCUMENT_VIEW_H_

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QList>
#include <compare>
#include <functional>
#include <optional>

#include "app/document/rich_edit_ex.h"
#include "gui/line_layouts.h"

class QMenu;
class QMimeData;
class QPainter;

namespace morvik {

// What a view reports to the main window's logic besides text changes.
struct DocumentViewEvents {
  std::function<void(TRichEditEx&)> key_down;
  // The Enter key (code 13); true: it was handled and must not reach the
  // widget.
  std::function<bool(TRichEditEx&, char16_t)> key_press;
  std::function<void(TRichEditEx&)> key_up;
  std::function<void(TRichEditEx&)> mouse_down;
  // Typed or pasted characters were kept out; message says why.
  std::function<void(const QString&)> input_refused;
};

// A place in the text: a raw line of the model and a character column.
struct TextPoint {
  std::size_t line = 0;
  std::size_t column = 0;
  friend auto operator<=>(const TextPoint&, const TextPoint&) = default;
};

class DocumentView : public QAbstractScrollArea, public DocumentObserver {
  Q_OBJECT

 public:
  DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
               QWidget* parent);
  ~DocumentView() override;

  TRichEditEx& Document() const { return document_; }
  // The main window's shortcuts: the view leaves these keys to them even
  // where it has a binding of its own (Ctrl+E, end of line on X11).
  void SetReservedShortcuts(const QList<QKeySequence>& shortcuts) { reserved_ = shortcuts; }

  // Scrolls so that the caret is in sight.
  void EnsureCaretVisible();

  // The caret, and the other end of the selection (the caret itself when
  // nothing is selected).
  TextPoint CaretPoint() const;
  TextPoint AnchorPoint() const;
  // The line shown at the top.
  std::size_t TopLine() const;
  // What the view draws for a line (see DisplayTextOfLine).
  QString DisplayedLine(std::size_t line) const;
  // The viewport point in the middle of the character at point, or just
  // after the line's end: where a click puts the caret at point.
  QPoint ViewportPointOf(TextPoint point) const;

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // Moves the selected text to point as one undo step (a drag within the
  // view); nothing when point lies inside the selection.
  void MoveSelectedTextTo(TextPoint point);

  // DocumentObserver.
  void TextReplaced(std::size_t offset, std::size_t removed_bytes, std::size_t inserted_bytes,
                    std::size_t char_position, std::size_t removed_chars,
                    std::size_t inserted_chars) override;
  void SelectionChanged() override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  enum class Motion {
    kCharLeft,
    kCharRight,
    kLineUp,
    kLineDown,
    kLineStart,
    kLineEnd,
    kDocumentStart,
    kDocumentEnd,
    kPageUp,
    kPageDown,
    kWordLeft,
    kWordRight,
  };
  // What a mouse drag extends the selection by.
  enum class DragUnit { kNone, kCharacter, kWord, kLine };

  // --- Positions (document_view.cpp)
  std::size_t LineCount() const;
  std::size_t LineLength(std::size_t line) const;
  std::size_t OffsetOf(TextPoint point) const;
  TextPoint PointOf(std::size_t offset) const;
  std::size_t CharPositionOf(TextPoint point) const;
  TextPoint ClampPoint(TextPoint point) const;
  // x of the caret before column, from the line's left edge.
  qreal XOfPoint(TextPoint point) const;
  std::size_t ColumnAtX(std::size_t line, qreal x) const;
  TextPoint PointAtViewport(QPoint position) const;
  qreal ContentLeft() const;  // viewport x of the lines' left edge
  QRect CaretRectInViewport() const;
  void DrawCaret(QPainter& painter, const DisplayLine& shown, QPointF origin,
                 std::size_t column) const;
  void DrawComposition(QPainter& painter, const DisplayLine& shown, QPointF origin,
                       std::size_t column, const QList<QTextLayout::FormatRange>& formats,
                       bool caret_visible) const;
  int VisibleLineCount() const;

  // --- Caret and selection (document_view.cpp)
  bool HasSelection() const;
  void SelectRange(TextPoint anchor, TextPoint caret);
  void MoveCaret(TextPoint caret, bool keep_anchor);
  TextPoint MotionTarget(Motion motion, TextPoint from);
  void ApplyMotion(Motion motion, bool keep_anchor);
  void CaretMoved();

  // --- Scrolling (document_view.cpp)
  void UpdateScrollBars();
  void UpdateScrollBarsLater();
  void ScrollToLine(std::size_t top);

  // --- Editing and the clipboard (document_view_edit.cpp)
  // Replaces the selection, or inserts at the caret, with text the user
  // typed or pasted; characters Shift_JIS cannot hold are kept out.
  void InsertUserText(const QString& text);
  // A typed character: in overwrite mode it takes the place of the
  // character after the caret (never of a line break).
  void TypeText(const QString& text);
  // Deletes the selection, or the characters between the caret and to.
  void DeleteTowards(TextPoint to);
  void ReplaceCharacters(std::size_t char_position, std::size_t removed_chars, const QString& text);
  void CopySelection(bool to_selection_clipboard = false) const;
  void CutSelection();
  void PasteFrom(bool from_selection_clipboard);
  bool RefuseWhileReadOnly();
  void RefuseInput(int dropped);
  void ReportRefusal(const QString& message);

  // --- Keys (document_view_keys.cpp)
  std::function<void()> ActionForKey(const QKeyEvent* event);
  void CopyToClipboard();
  void PasteFromClipboard();
  void SelectAll();
  void DeleteNextCharacter();
  void DeletePreviousCharacter();
  void DeleteNextWord();
  void DeletePreviousWord();
  void DeleteToLineEnd();

  // --- Mouse (document_view_mouse.cpp, document_view_drag.cpp)
  void ExtendDragTo(QPoint position);
  bool IsInsideSelection(TextPoint point) const;
  void StartTextDrag();
  bool CanTakeDrop(const QMimeData* dropped) const;
  // Replaces the selection with bytes copied or dragged from a Morvik view.
  void InsertDocumentBytes(const std::string& bytes);

  TRichEditEx& document_;
  DocumentViewEvents events_;
  QMenu* popup_menu_;
  QList<QKeySequence> reserved_;
  mutable LineLayouts lines_;

  // The caret is the selection's start (a selection made leftwards or
  // upwards); the model keeps only start and length.
  bool caret_at_start_ = false;
  // The x that Up and Down keep to across shorter lines.
  std::optional<qreal> preferred_x_;
  // The view itself is setting the model's selection or editing it.
  bool changing_model_ = false;
  // Insert toggles it: typed characters replace those after the caret.
  bool overwrite_ = false;

  bool caret_shown_ = true;
  QBasicTimer blink_timer_;

  DragUnit drag_unit_ = DragUnit::kNone;
  TextPoint drag_origin_first_;  // the word or line the drag started on
  TextPoint drag_origin_last_;
  QPoint last_drag_position_;
  QBasicTimer autoscroll_timer_;
  QElapsedTimer since_double_click_;
  QPoint double_click_position_;
  std::size_t offset_at_press_ = 0;
  // A press inside the selection: a drag of the text may follow.
  bool text_drag_pending_ = false;
  QPoint text_drag_press_position_;
  bool dragging_out_ = false;    // the view's text is being dragged
  bool dropped_inside_ = false;  // ... and was dropped into this view
  std::optional<TextPoint> drop_point_;

  // The input method's composition, drawn at the caret until committed.
  QString preedit_;
  int preedit_cursor_ = 0;

  bool scroll_bars_update_queued_ = false;
};

// The Shift state of the key event a view is handling, for the logic's
// IsShiftDown; outside key handling, the keyboard's current state.
bool IsShiftHeldForCurrentKey();

}  // namespace morvik

#endif  // MORVIK_GUI_DOCUMENT_VIEW_H_

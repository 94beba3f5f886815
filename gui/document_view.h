// DocumentView: the text control of one document, a thin widget over a
// ViewController. The controller decides what each key, click and input-
// method event does to the model (caret, selection, motion, words, edits);
// this widget paints, scrolls, turns Qt's events into the controller's
// calls and measures the text for it.
//
// The model (TRichEditEx) holds the bytes, the caret and the selection.
// The view reads only the lines it shows (LineLayouts), and of a very long
// line only the part on screen, so opening or sorting a million-line file,
// or typing into a line of 50 MB, costs the view nothing in proportion to
// its size. Commands change the model; the view hears of it through
// DocumentObserver and draws again.
//
// Characters Shift_JIS cannot hold are kept out of the text, and bytes
// that are no Shift_JIS character are drawn visibly marked.
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
#include "app/view/view_controller.h"
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

class DocumentView : public QAbstractScrollArea, public DocumentObserver, private ViewHost {
  Q_OBJECT

 public:
  DocumentView(TRichEditEx& document, DocumentViewEvents events, QMenu* popup_menu,
               QWidget* parent);
  ~DocumentView() override;

  TRichEditEx& Document() const { return document_; }
  ViewController& Controller() { return controller_; }
  const ViewController& Controller() const { return controller_; }
  // The main window's shortcuts: the view leaves these keys to them even
  // where it has a binding of its own (Ctrl+E, end of line on X11).
  void SetReservedShortcuts(const QList<QKeySequence>& shortcuts) { reserved_ = shortcuts; }

  // Scrolls so that the caret is in sight.
  void EnsureCaretVisible();

  // The caret, and the other end of the selection (the caret itself when
  // nothing is selected).
  TextPoint CaretPoint() const { return controller_.CaretPoint(); }
  TextPoint AnchorPoint() const { return controller_.AnchorPoint(); }
  // The line shown at the top.
  std::size_t TopLine() const;
  // All of what the view draws for a line (see DisplayTextOfLine); reads
  // the whole line, which the view itself never does for a long one.
  QString DisplayedLine(std::size_t line) const;
  // The viewport point in the middle of the character at point, or just
  // after the line's end: where a click puts the caret at point.
  QPoint ViewportPointOf(TextPoint point) const;

  // The place a click at a viewport position puts the caret.
  TextPoint PointAtViewport(QPoint position) const;
  int LineHeight() const { return lines_.LineHeight(); }
  // Scrolls so that point is in sight, leaving the caret where it is.
  void ScrollToPoint(TextPoint point);

  // The line-number gutter at the left, off at first; as wide as the line
  // count's digits.
  void SetLineNumbersVisible(bool visible);
  bool LineNumbersVisible() const { return gutter_ != nullptr; }

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // Moves the selected text to point as one undo step (a drag within the
  // view); nothing when point lies inside the selection.
  void MoveSelectedTextTo(TextPoint point) { controller_.MoveSelectedTextTo(point); }

  // DocumentObserver.
  void TextReplaced(std::size_t offset, std::size_t removed_bytes, std::size_t inserted_bytes,
                    std::size_t char_position, std::size_t removed_chars,
                    std::size_t inserted_chars) override;
  void SelectionChanged() override;

 signals:
  // Ctrl+wheel: the user asks for a larger (steps > 0) or smaller font.
  void ZoomRequested(int steps);

 protected:
  bool event(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
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
  using Motion = ViewController::Motion;

  // --- ViewHost (document_view.cpp)
  double XOfColumn(std::size_t line, std::size_t column) override;
  std::size_t ColumnAtX(std::size_t line, double x) override;
  std::size_t PageLines() override;
  std::size_t FirstVisibleLine() override { return TopLine(); }
  void ScrollToLine(std::size_t top) override;
  void CaretMoved() override;
  void ShowCaret() override { EnsureCaretVisible(); }
  void Redraw() override;
  void Refuse(const std::string& message) override;
  void AboutToReplace(std::size_t char_position, std::size_t removed) override;

  // --- Screen readers (document_view_accessible.cpp)
  void NotifyAccessibleChange(std::size_t char_position, std::size_t removed_chars,
                              std::size_t inserted_chars);
  void NotifyAccessibleCaret();

  // --- The gutter (document_view_gutter.cpp)
  void UpdateGutter();

  // --- Positions (document_view.cpp)
  std::size_t LineCount() const { return controller_.LineCount(); }
  std::size_t LineLength(std::size_t line) const { return controller_.LineLength(line); }
  qreal XOfPoint(TextPoint point) const;
  qreal ContentLeft() const;  // viewport x of the lines' left edge
  QRect CaretRectInViewport() const;
  void DrawCaret(QPainter& painter, const DisplayLine& shown, QPointF origin,
                 std::size_t column) const;
  void DrawComposition(QPainter& painter, const DisplayLine& shown, QPointF origin,
                       std::size_t column, const QList<QTextLayout::FormatRange>& formats,
                       bool caret_visible) const;
  int VisibleLineCount() const;

  // --- Scrolling (document_view.cpp)
  void UpdateScrollBars();
  void UpdateScrollBarsLater();

  // --- Editing and the clipboard (document_view_edit.cpp)
  // Replaces the selection, or inserts at the caret, with text the user
  // typed or pasted; characters Shift_JIS cannot hold are kept out.
  void InsertUserText(const QString& text);
  // A typed character (see ViewController::TypeText).
  void TypeText(const QString& text);
  void CopySelection(bool to_selection_clipboard = false) const;
  void CutSelection();
  void PasteFrom(bool from_selection_clipboard);
  void RefuseInput(int dropped);
  void ReportRefusal(const QString& message);

  // --- Keys (document_view_keys.cpp)
  std::function<void()> ActionForKey(const QKeyEvent* event);

  // --- Mouse (document_view_mouse.cpp, document_view_drag.cpp)
  void ExtendDragTo(QPoint position);
  void StartTextDrag();
  bool CanTakeDrop(const QMimeData* dropped) const;

  TRichEditEx& document_;
  DocumentViewEvents events_;
  QMenu* popup_menu_;
  QList<QKeySequence> reserved_;
  mutable LineLayouts lines_;
  ViewController controller_;

  bool caret_shown_ = true;
  QBasicTimer blink_timer_;

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

  bool scroll_bars_update_queued_ = false;

  // What the controller's next edit removes, for a screen reader.
  std::optional<std::pair<std::size_t, QString>> removed_text_;
  // A selection was last announced, so its end is announced too.
  bool selection_announced_ = false;
  QWidget* gutter_ = nullptr;
  // Ctrl+wheel: the part of a notch a fine-grained wheel has turned.
  int zoom_remainder_ = 0;
};

// The Shift state of the key event a view is handling, for the logic's
// IsShiftDown; outside key handling, the keyboard's current state.
bool IsShiftHeldForCurrentKey();

}  // namespace morvik

#endif  // MORVIK_GUI_DOCUMENT_VIEW_H_

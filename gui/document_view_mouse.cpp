// DocumentView: the mouse. A click places the caret (Shift+click extends
// the selection), a drag selects by characters, a double-click by words
// and a triple-click by lines; dragging past an edge scrolls. On X11 a
// selection is offered as the primary selection and the middle button
// pastes it.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "gui/document_view.h"
#include "gui/text_motion.h"

namespace morvik {
namespace {

// How often a drag past the viewport's edge scrolls on.
constexpr int kAutoScrollMs = 50;

}  // namespace

void DocumentView::mousePressEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  const TextPoint point = PointAtViewport(position);
  offset_at_press_ = document_.SelStart() + (caret_at_start_ ? 0 : document_.SelLength());
  if (event->button() == Qt::LeftButton) {
    const bool triple_click =
        since_double_click_.isValid() &&
        since_double_click_.elapsed() < QApplication::doubleClickInterval() &&
        (position - double_click_position_).manhattanLength() < QApplication::startDragDistance();
    since_double_click_.invalidate();
    preferred_x_.reset();
    text_drag_pending_ = false;
    if (triple_click) {
      drag_unit_ = DragUnit::kLine;
      drag_origin_first_ = {point.line, 0};
      drag_origin_last_ = {point.line, LineLength(point.line)};
      SelectRange(drag_origin_first_, drag_origin_last_);
    } else if (!event->modifiers().testFlag(Qt::ShiftModifier) && IsInsideSelection(point)) {
      // The selection may be dragged away; a plain click places the caret
      // on release.
      drag_unit_ = DragUnit::kNone;
      text_drag_pending_ = true;
      text_drag_press_position_ = position;
    } else {
      drag_unit_ = DragUnit::kCharacter;
      MoveCaret(point, event->modifiers().testFlag(Qt::ShiftModifier));
    }
    last_drag_position_ = position;
  } else if (event->button() == Qt::MiddleButton &&
             QGuiApplication::clipboard()->supportsSelection()) {
    MoveCaret(point, false);
    PasteFrom(true);
  }
  // The logic hears of the press once the caret is where it put it.
  if (events_.mouse_down) events_.mouse_down(document_);
}

void DocumentView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  const QPoint position = event->position().toPoint();
  const TextPoint point = PointAtViewport(position);
  const auto [first, last] =
      WordAround(DisplayedLine(point.line), static_cast<qsizetype>(point.column));
  drag_unit_ = DragUnit::kWord;
  drag_origin_first_ = {point.line, static_cast<std::size_t>(first)};
  drag_origin_last_ = {point.line, static_cast<std::size_t>(last)};
  SelectRange(drag_origin_first_, drag_origin_last_);
  since_double_click_.start();
  double_click_position_ = position;
  last_drag_position_ = position;
  if (events_.mouse_down) events_.mouse_down(document_);
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
  if (text_drag_pending_ && (event->buttons() & Qt::LeftButton)) {
    if ((event->position().toPoint() - text_drag_press_position_).manhattanLength() >=
        QApplication::startDragDistance()) {
      text_drag_pending_ = false;
      StartTextDrag();
    }
    return;
  }
  if (drag_unit_ == DragUnit::kNone || !(event->buttons() & Qt::LeftButton)) return;
  last_drag_position_ = event->position().toPoint();
  ExtendDragTo(last_drag_position_);
  if (viewport()->rect().contains(last_drag_position_)) {
    autoscroll_timer_.stop();
  } else if (!autoscroll_timer_.isActive()) {
    autoscroll_timer_.start(kAutoScrollMs, this);
  }
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  autoscroll_timer_.stop();
  if (text_drag_pending_) {
    // A click inside the selection, not a drag: the caret goes there.
    text_drag_pending_ = false;
    MoveCaret(PointAtViewport(event->position().toPoint()), false);
    if (events_.mouse_down) events_.mouse_down(document_);
    return;
  }
  const bool dragged = drag_unit_ != DragUnit::kNone;
  drag_unit_ = DragUnit::kNone;
  if (!dragged) return;
  CopySelection(true);
  const std::size_t caret = document_.SelStart() + (caret_at_start_ ? 0 : document_.SelLength());
  // A drag moved the caret after the press: the status follows it.
  if (caret != offset_at_press_ && events_.mouse_down) events_.mouse_down(document_);
}

void DocumentView::ExtendDragTo(QPoint position) {
  const TextPoint point = PointAtViewport(position);
  switch (drag_unit_) {
    case DragUnit::kNone:
      return;
    case DragUnit::kCharacter:
      MoveCaret(point, true);
      break;
    case DragUnit::kWord: {
      const auto [first, last] =
          WordAround(DisplayedLine(point.line), static_cast<qsizetype>(point.column));
      if (point < drag_origin_first_) {
        SelectRange(drag_origin_last_, {point.line, static_cast<std::size_t>(first)});
      } else {
        SelectRange(
            drag_origin_first_,
            std::max(drag_origin_last_, TextPoint{point.line, static_cast<std::size_t>(last)}));
      }
      break;
    }
    case DragUnit::kLine:
      if (point.line < drag_origin_first_.line) {
        SelectRange(drag_origin_last_, {point.line, 0});
      } else {
        SelectRange(drag_origin_first_, {point.line, LineLength(point.line)});
      }
      break;
  }
  // Past an edge, the caret's line comes into sight: the view scrolls.
  EnsureCaretVisible();
}

void DocumentView::contextMenuEvent(QContextMenuEvent* event) {
  if (popup_menu_ == nullptr) return;
  // From the keyboard (the Menu key, Shift+F10) the menu opens at the caret.
  const QPoint position = event->reason() == QContextMenuEvent::Keyboard
                              ? viewport()->mapToGlobal(CaretRectInViewport().bottomLeft())
                              : event->globalPos();
  popup_menu_->exec(position);
}

}  // namespace morvik

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

namespace morvik {
namespace {

// How often a drag past the viewport's edge scrolls on.
constexpr int kAutoScrollMs = 50;

}  // namespace

void DocumentView::mousePressEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  const TextPoint point = PointAtViewport(position);
  offset_at_press_ = controller_.CaretOffset();
  if (event->button() == Qt::LeftButton) {
    const bool triple_click =
        since_double_click_.isValid() &&
        since_double_click_.elapsed() < QApplication::doubleClickInterval() &&
        (position - double_click_position_).manhattanLength() < QApplication::startDragDistance();
    since_double_click_.invalidate();
    // Inside the selection, the text may be dragged away; a plain click
    // places the caret on release.
    text_drag_pending_ =
        controller_.Press(point, event->modifiers().testFlag(Qt::ShiftModifier), triple_click);
    if (text_drag_pending_) text_drag_press_position_ = position;
    last_drag_position_ = position;
  } else if (event->button() == Qt::MiddleButton &&
             QGuiApplication::clipboard()->supportsSelection()) {
    controller_.MoveCaret(point, false);
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
  controller_.DoubleClick(PointAtViewport(position));
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
  if (!controller_.Dragging() || !(event->buttons() & Qt::LeftButton)) return;
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
    controller_.MoveCaret(PointAtViewport(event->position().toPoint()), false);
    if (events_.mouse_down) events_.mouse_down(document_);
    return;
  }
  if (!controller_.EndDrag()) return;
  CopySelection(true);
  // A drag moved the caret after the press: the status follows it.
  if (controller_.CaretOffset() != offset_at_press_ && events_.mouse_down) {
    events_.mouse_down(document_);
  }
}

void DocumentView::ExtendDragTo(QPoint position) {
  controller_.DragTo(PointAtViewport(position));
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

// DocumentView: drag and drop. Selected text dragged out carries the
// document's bytes (as the clipboard does); dropped inside the same view
// it moves (or, with Ctrl, copies) as one undo step. Text or Morvik bytes
// dropped in from elsewhere go in at the drop point.
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

#include "gui/document_clipboard.h"
#include "gui/document_view.h"
#include "gui/view_scopes.h"

namespace morvik {

void DocumentView::StartTextDrag() {
  auto* drag = new QDrag(this);
  drag->setMimeData(MimeDataOfDocumentBytes(document_.SelectedText()));
  const Qt::DropActions allowed =
      document_.ReadOnly() ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction;
  dropped_inside_ = false;
  Qt::DropAction done = Qt::IgnoreAction;
  {
    const FlagScope dragging(dragging_out_);
    done = drag->exec(allowed, Qt::MoveAction);
  }
  // Moved into another window: the text leaves this one.
  if (done == Qt::MoveAction && !dropped_inside_ && !document_.ReadOnly()) {
    controller_.ReplaceSelection({});
  }
}

bool DocumentView::CanTakeDrop(const QMimeData* dropped) const {
  return dropped != nullptr && !document_.ReadOnly() &&
         (dropped->hasText() || dropped->hasFormat(DocumentBytesMimeType()));
}

void DocumentView::dragEnterEvent(QDragEnterEvent* event) {
  if (!CanTakeDrop(event->mimeData())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void DocumentView::dragMoveEvent(QDragMoveEvent* event) {
  if (!CanTakeDrop(event->mimeData())) {
    event->ignore();
    return;
  }
  drop_point_ = PointAtViewport(event->position().toPoint());
  viewport()->update();
  if (dragging_out_) {
    // Within the view the text moves; Ctrl copies it.
    event->setDropAction(event->modifiers().testFlag(Qt::ControlModifier) ? Qt::CopyAction
                                                                          : Qt::MoveAction);
    event->accept();
    return;
  }
  event->acceptProposedAction();
}

void DocumentView::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
  drop_point_.reset();
  viewport()->update();
}

void DocumentView::dropEvent(QDropEvent* event) {
  drop_point_.reset();
  viewport()->update();
  const QMimeData* dropped = event->mimeData();
  if (!CanTakeDrop(dropped)) {
    event->ignore();
    return;
  }
  const TextPoint point = PointAtViewport(event->position().toPoint());
  if (dragging_out_ && event->dropAction() == Qt::MoveAction) {
    dropped_inside_ = true;
    MoveSelectedTextTo(point);
    event->acceptProposedAction();
    return;
  }
  if (dragging_out_) dropped_inside_ = true;
  controller_.MoveCaret(point, false);
  if (const std::optional<std::string> bytes = DocumentBytesOf(dropped)) {
    controller_.InsertDocumentBytes(*bytes);
  } else {
    InsertUserText(dropped->text());
  }
  if (events_.mouse_down) events_.mouse_down(document_);
  event->acceptProposedAction();
}

}  // namespace morvik

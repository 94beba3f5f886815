// DocumentView: drag and drop. Selected text dragged out carries the
// document's bytes (as the clipboard does); dropped inside the same view
// it moves (or, with Ctrl, copies) as one undo step. Text or Morvik bytes
// dropped in from elsewhere go in at the drop point.
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <exception>

#include "gui/document_clipboard.h"
#include "gui/document_view.h"
#include "gui/view_scopes.h"

namespace morvik {

bool DocumentView::IsInsideSelection(TextPoint point) const {
  if (!HasSelection()) return false;
  const std::size_t offset = OffsetOf(point);
  return offset >= document_.SelStart() && offset < document_.SelStart() + document_.SelLength();
}

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
  if (done == Qt::MoveAction && !dropped_inside_ && !document_.ReadOnly()) InsertUserText({});
}

void DocumentView::MoveSelectedTextTo(TextPoint point) {
  if (!HasSelection() || RefuseWhileReadOnly()) return;
  const std::size_t start = document_.SelStart();
  const std::size_t length = document_.SelLength();
  const std::size_t target = OffsetOf(point);
  if (target >= start && target <= start + length) return;  // onto itself
  const std::string bytes = document_.SelectedText();
  {
    const FlagScope changing(changing_model_);
    const TRichEditEx::UndoGroup one_step(document_);
    // The later place first, so that the earlier offset stays valid.
    if (target > start) {
      document_.Replace(target, 0, bytes);
      document_.Replace(start, length, {});
      document_.SetSelection(target - length, length);
    } else {
      document_.Replace(start, length, {});
      document_.Replace(target, 0, bytes);
      document_.SetSelection(target, length);
    }
  }
  caret_at_start_ = false;
  preferred_x_.reset();
  EnsureCaretVisible();
  viewport()->update();
}

void DocumentView::InsertDocumentBytes(const std::string& bytes) {
  if (RefuseWhileReadOnly()) return;
  try {
    const FlagScope changing(changing_model_);
    document_.ReplaceSelection(bytes);
  } catch (const std::exception& error) {
    // The text would grow past the document's limit; it stays as it was.
    QApplication::beep();
    ReportRefusal(QString::fromUtf8(error.what()));
  }
  caret_at_start_ = false;
  preferred_x_.reset();
  EnsureCaretVisible();
  viewport()->update();
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
  MoveCaret(point, false);
  if (const std::optional<std::string> bytes = DocumentBytesOf(dropped)) {
    InsertDocumentBytes(*bytes);
  } else {
    InsertUserText(dropped->text());
  }
  if (events_.mouse_down) events_.mouse_down(document_);
  event->acceptProposedAction();
}

}  // namespace morvik

// DocumentView: edits the user makes (typing, deleting, the clipboard),
// each handed to the model as characters replaced.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>

#include "gui/document_clipboard.h"
#include "gui/document_view.h"
#include "gui/sjis_text.h"

namespace morvik {

void DocumentView::ReportRefusal(const QString& message) {
  if (events_.input_refused) events_.input_refused(message);
}

void DocumentView::RefuseInput(int dropped) {
  QApplication::beep();
  ReportRefusal(UnencodableMessage(dropped));
}

void DocumentView::InsertUserText(const QString& text) {
  if (controller_.RefuseWhileReadOnly()) return;
  int dropped = 0;
  const QString kept = KeepEncodable(text, &dropped);
  // Text that was all refused leaves a selection alone; empty text deletes
  // it.
  if (!kept.isEmpty() || text.isEmpty()) controller_.ReplaceSelection(ModelCharsOfWidgetText(kept));
  if (dropped > 0) RefuseInput(dropped);
}

void DocumentView::TypeText(const QString& text) {
  if (controller_.RefuseWhileReadOnly()) return;
  int dropped = 0;
  const QString kept = KeepEncodable(text, &dropped);
  controller_.TypeText(ModelCharsOfWidgetText(kept));
  if (dropped > 0) RefuseInput(dropped);
}

void DocumentView::CopySelection(bool to_selection_clipboard) const {
  if (!controller_.HasSelection()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QClipboard::Mode mode =
      to_selection_clipboard ? QClipboard::Selection : QClipboard::Clipboard;
  if (mode == QClipboard::Selection && !clipboard->supportsSelection()) return;
  clipboard->setMimeData(MimeDataOfDocumentBytes(document_.SelectedText()), mode);
}

void DocumentView::CutSelection() {
  if (!controller_.HasSelection() || controller_.RefuseWhileReadOnly()) return;
  CopySelection();
  InsertUserText({});
}

void DocumentView::PasteFrom(bool from_selection_clipboard) {
  if (controller_.RefuseWhileReadOnly()) return;
  const QMimeData* contents = QGuiApplication::clipboard()->mimeData(
      from_selection_clipboard ? QClipboard::Selection : QClipboard::Clipboard);
  if (contents == nullptr) return;
  if (const std::optional<std::string> bytes = DocumentBytesOf(contents)) {
    // Copied in Morvik: its very bytes go back in.
    controller_.InsertDocumentBytes(*bytes);
    return;
  }
  if (contents->hasText()) InsertUserText(contents->text());
}

}  // namespace morvik

namespace morvik {

// --- Input methods ---------------------------------------------------------------

void DocumentView::inputMethodEvent(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  if (!commit.isEmpty() || event->replacementLength() > 0) {
    if (event->replacementLength() > 0) {
      // The input method replaces characters around the caret (a
      // reconversion).
      controller_.SelectForReplacement(event->replacementStart(),
                                       static_cast<std::size_t>(event->replacementLength()));
    }
    InsertUserText(commit);
  }
  const QString preedit = event->preeditString();
  qsizetype cursor = preedit.size();
  for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
    if (attribute.type == QInputMethodEvent::Cursor) cursor = attribute.start;
  }
  controller_.SetPreedit(preedit.toStdU16String(),
                         static_cast<std::size_t>(std::max<qsizetype>(0, cursor)));
  event->accept();
}

QVariant DocumentView::inputMethodQuery(Qt::InputMethodQuery query) const {
  const TextPoint caret = CaretPoint();
  const TextPoint anchor = AnchorPoint();
  const bool same_line = anchor.line == caret.line;
  const std::size_t low = same_line ? std::min(anchor.column, caret.column) : caret.column;
  const std::size_t high = same_line ? std::max(anchor.column, caret.column) : caret.column;
  // The input method sees the text around the caret, not all of a line
  // that may be megabytes long.
  constexpr std::size_t kAround = 1024;
  const std::size_t first = low - std::min(low, kAround);
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
      return QRectF(CaretRectInViewport().translated(viewport()->pos()));
    case Qt::ImFont:
      return font();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorPosition:
      return static_cast<int>(caret.column - first);
    case Qt::ImSurroundingText:
      return DisplayTextOfChars(controller_.LineChars(caret.line, first, high - first + kAround),
                                nullptr);
    case Qt::ImAnchorPosition:
      return static_cast<int>((same_line ? anchor.column : caret.column) - first);
    case Qt::ImCurrentSelection:
      if (!same_line) return QString();
      return DisplayTextOfChars(controller_.LineChars(caret.line, low, high - low), nullptr);
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace morvik

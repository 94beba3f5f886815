// DocumentView: edits the user makes (typing, deleting, the clipboard),
// each handed to the model as characters replaced.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <exception>

#include "gui/document_clipboard.h"
#include "gui/document_view.h"
#include "gui/sjis_text.h"
#include "gui/view_scopes.h"

namespace morvik {

bool DocumentView::RefuseWhileReadOnly() {
  if (!document_.ReadOnly()) return false;
  // A long command works on this document; it takes no edits meanwhile.
  QApplication::beep();
  return true;
}

void DocumentView::ReportRefusal(const QString& message) {
  if (events_.input_refused) events_.input_refused(message);
}

void DocumentView::RefuseInput(int dropped) {
  QApplication::beep();
  ReportRefusal(UnencodableMessage(dropped));
}

void DocumentView::ReplaceCharacters(std::size_t char_position, std::size_t removed_chars,
                                     const QString& text) {
  try {
    const FlagScope changing(changing_model_);
    document_.ApplyViewEdit(char_position, removed_chars, ModelCharsOfWidgetText(text));
  } catch (const std::exception& error) {
    // The model refused the edit (the text would grow past its limit); it
    // keeps what it had.
    QApplication::beep();
    ReportRefusal(QString::fromUtf8(error.what()));
  }
  caret_at_start_ = false;
  preferred_x_.reset();
  CaretMoved();
  EnsureCaretVisible();
  viewport()->update();
}

void DocumentView::InsertUserText(const QString& text) {
  if (RefuseWhileReadOnly()) return;
  int dropped = 0;
  const QString kept = KeepEncodable(text, &dropped);
  // Text that was all refused leaves a selection alone; empty text deletes
  // it.
  if (!kept.isEmpty() || (text.isEmpty() && HasSelection())) {
    const std::size_t start = document_.CharPositionOfOffset(document_.SelStart());
    const std::size_t end =
        document_.CharPositionOfOffset(document_.SelStart() + document_.SelLength());
    ReplaceCharacters(start, end - start, kept);
  }
  if (dropped > 0) RefuseInput(dropped);
}

void DocumentView::TypeText(const QString& text) {
  const TextPoint caret = CaretPoint();
  if (!overwrite_ || HasSelection() || caret.column >= LineLength(caret.line)) {
    InsertUserText(text);
    return;
  }
  if (RefuseWhileReadOnly()) return;
  int dropped = 0;
  const QString kept = KeepEncodable(text, &dropped);
  if (!kept.isEmpty()) {
    const std::size_t overwritten = std::min<std::size_t>(static_cast<std::size_t>(kept.size()),
                                                          LineLength(caret.line) - caret.column);
    ReplaceCharacters(CharPositionOf(caret), overwritten, kept);
  }
  if (dropped > 0) RefuseInput(dropped);
}

void DocumentView::DeleteTowards(TextPoint to) {
  if (RefuseWhileReadOnly()) return;
  if (!HasSelection()) {
    const std::size_t caret = CharPositionOf(CaretPoint());
    const std::size_t other = CharPositionOf(to);
    if (caret == other) return;
    ReplaceCharacters(std::min(caret, other), caret > other ? caret - other : other - caret, {});
    return;
  }
  InsertUserText({});
}

void DocumentView::CopySelection(bool to_selection_clipboard) const {
  if (!HasSelection()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QClipboard::Mode mode =
      to_selection_clipboard ? QClipboard::Selection : QClipboard::Clipboard;
  if (mode == QClipboard::Selection && !clipboard->supportsSelection()) return;
  clipboard->setMimeData(MimeDataOfDocumentBytes(document_.SelectedText()), mode);
}

void DocumentView::CutSelection() {
  if (!HasSelection() || RefuseWhileReadOnly()) return;
  CopySelection();
  InsertUserText({});
}

void DocumentView::PasteFrom(bool from_selection_clipboard) {
  if (RefuseWhileReadOnly()) return;
  const QMimeData* contents = QGuiApplication::clipboard()->mimeData(
      from_selection_clipboard ? QClipboard::Selection : QClipboard::Clipboard);
  if (contents == nullptr) return;
  if (const std::optional<std::string> bytes = DocumentBytesOf(contents)) {
    // Copied in Morvik: its very bytes go back in.
    InsertDocumentBytes(*bytes);
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
      // reconversion); they lie on the caret's line.
      const TextPoint caret = CaretPoint();
      const long long first = static_cast<long long>(caret.column) + event->replacementStart();
      const auto start = static_cast<std::size_t>(std::max<long long>(0, first));
      SelectRange({caret.line, start},
                  {caret.line, start + static_cast<std::size_t>(event->replacementLength())});
    }
    InsertUserText(commit);
  }
  preedit_ = event->preeditString();
  preedit_cursor_ = static_cast<int>(preedit_.size());
  for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
    if (attribute.type == QInputMethodEvent::Cursor) preedit_cursor_ = attribute.start;
  }
  viewport()->update();
  event->accept();
}

QVariant DocumentView::inputMethodQuery(Qt::InputMethodQuery query) const {
  const TextPoint caret = CaretPoint();
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
      return static_cast<int>(caret.column);
    case Qt::ImSurroundingText:
      return DisplayedLine(caret.line);
    case Qt::ImAnchorPosition:
    case Qt::ImCurrentSelection: {
      const TextPoint anchor = AnchorPoint();
      const bool same_line = anchor.line == caret.line;
      if (query == Qt::ImAnchorPosition) {
        return static_cast<int>(same_line ? anchor.column : caret.column);
      }
      if (!same_line) return QString();
      const std::size_t first = std::min(anchor.column, caret.column);
      const std::size_t last = std::max(anchor.column, caret.column);
      return DisplayedLine(caret.line)
          .mid(static_cast<qsizetype>(first), static_cast<qsizetype>(last - first));
    }
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace morvik

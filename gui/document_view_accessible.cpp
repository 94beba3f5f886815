#include "gui/document_view_accessible.h"

#include <QAccessible>
#include <QFileInfo>
#include <algorithm>
#include <mutex>

#include "app/document/text_metrics.h"
#include "gui/document_view.h"
#include "gui/sjis_text.h"

namespace morvik {
namespace {

// Changes larger than this reach a screen reader as "the text changed",
// without the text itself.
constexpr std::size_t kMaxAnnouncedChars = 1 << 16;

// The accessible name's value: the whole text, for a document small enough
// that a tool asking for it does not stall the program.
constexpr std::size_t kMaxValueChars = 1 << 20;

std::function<void(QAccessibleEvent*)>& Listener() {
  static std::function<void(QAccessibleEvent*)> listener;
  return listener;
}

bool SomeoneListens() {
  return Listener() || QAccessible::isActive();
}

void Tell(QAccessibleEvent* event) {
  if (Listener()) {
    Listener()(event);
  } else {
    QAccessible::updateAccessibility(event);
  }
}

QAccessibleInterface* CreateForDocumentView(const QString& /*class_name*/, QObject* object) {
  if (auto* view = qobject_cast<DocumentView*>(object)) return new DocumentViewAccessible(view);
  return nullptr;
}

int ToInt(std::size_t value) {
  return static_cast<int>(std::min<std::size_t>(value, INT32_MAX));
}

std::size_t ToSize(int value) {
  return static_cast<std::size_t>(std::max(0, value));
}

}  // namespace

void SetAccessibleEventListener(std::function<void(QAccessibleEvent*)> listener) {
  Listener() = std::move(listener);
}

DocumentViewAccessible::DocumentViewAccessible(DocumentView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

void DocumentViewAccessible::InstallFactory() {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(CreateForDocumentView); });
}

DocumentView* DocumentViewAccessible::View() const {
  return static_cast<DocumentView*>(widget());
}

QAccessible::State DocumentViewAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.editable = true;
  state.multiLine = true;
  state.selectableText = true;
  state.readOnly = View()->Document().ReadOnly();
  return state;
}

QString DocumentViewAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) {
    const std::size_t count = View()->Document().CharCount();
    return count <= kMaxValueChars ? text(0, ToInt(count)) : QString();
  }
  if (t == QAccessible::Name) {
    // What the tab shows (the file's name, or UntitledN): the document's
    // own name is an internal one no listener should hear.
    return QFileInfo(QString::fromStdString(View()->Document().FileName)).fileName();
  }
  return QAccessibleWidget::text(t);
}

void* DocumentViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) {
    return static_cast<QAccessibleEditableTextInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(type);
}

TextPoint DocumentViewAccessible::PointOfChar(std::size_t char_position) const {
  const TRichEditEx& document = View()->Document();
  return View()->Controller().PointOf(document.OffsetOfCharPosition(char_position));
}

std::size_t DocumentViewAccessible::CharOf(const TextPoint& point) const {
  return View()->Controller().CharPositionOf(point);
}

// --- Selection and caret --------------------------------------------------------------

void DocumentViewAccessible::selection(int selection_index, int* start_offset,
                                       int* end_offset) const {
  *start_offset = 0;
  *end_offset = 0;
  const TRichEditEx& document = View()->Document();
  if (selection_index != 0 || document.SelLength() == 0) return;
  *start_offset = ToInt(document.CharPositionOfOffset(document.SelStart()));
  *end_offset = ToInt(document.CharPositionOfOffset(document.SelStart() + document.SelLength()));
}

int DocumentViewAccessible::selectionCount() const {
  return View()->Document().SelLength() > 0 ? 1 : 0;
}

void DocumentViewAccessible::addSelection(int start_offset, int end_offset) {
  // One selection only: a new one takes the place of the old.
  setSelection(0, start_offset, end_offset);
}

void DocumentViewAccessible::removeSelection(int selection_index) {
  if (selection_index != 0) return;
  ViewController& controller = View()->Controller();
  controller.MoveCaret(controller.CaretPoint(), false);
}

void DocumentViewAccessible::setSelection(int selection_index, int start_offset, int end_offset) {
  if (selection_index != 0) return;
  View()->Controller().SelectRange(PointOfChar(ToSize(start_offset)),
                                   PointOfChar(ToSize(end_offset)));
}

int DocumentViewAccessible::cursorPosition() const {
  const TRichEditEx& document = View()->Document();
  return ToInt(document.CharPositionOfOffset(View()->Controller().CaretOffset()));
}

void DocumentViewAccessible::setCursorPosition(int position) {
  View()->Controller().MoveCaret(PointOfChar(ToSize(position)), false);
  View()->EnsureCaretVisible();
}

// --- Text -----------------------------------------------------------------------------

QString AccessibleTextOf(const TRichEditEx& document, std::size_t first, std::size_t last) {
  const std::size_t count = document.CharCount();
  first = std::min(first, count);
  last = std::clamp(last, first, count);
  if (first == last) return {};
  const std::size_t start = document.OffsetOfCharPosition(first);
  const std::size_t end = document.OffsetOfCharPosition(last);
  std::u16string chars = DecodeForView(document.TextRange(start, end - start));
  // A byte that is no character reads as the replacement sign, one for one.
  for (char16_t& c : chars) {
    if (IsInvalidByteChar(c)) c = 0xFFFD;
  }
  return QString::fromStdU16String(chars);
}

QString DocumentViewAccessible::text(int start_offset, int end_offset) const {
  return AccessibleTextOf(View()->Document(), ToSize(start_offset), ToSize(end_offset));
}

int DocumentViewAccessible::characterCount() const {
  return ToInt(View()->Document().CharCount());
}

std::pair<std::size_t, std::size_t> DocumentViewAccessible::UnitAt(
    std::size_t offset, QAccessible::TextBoundaryType boundary_type) const {
  const TRichEditEx& document = View()->Document();
  const std::size_t count = document.CharCount();
  offset = std::min(offset, count);
  const TextPoint point = PointOfChar(offset);
  const std::size_t line_first = document.CharPositionOfLine(point.line);
  const std::size_t line_length = document.LineCharCount(point.line);
  switch (boundary_type) {
    case QAccessible::CharBoundary:
      return {offset, std::min(offset + 1, count)};
    case QAccessible::WordBoundary: {
      if (point.column >= line_length) return {offset, std::min(offset + 1, count)};  // a break
      const auto [first, last] = View()->Controller().WordAt(point);
      return {line_first + first, line_first + last};
    }
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary:
      // A line with its break, as Qt's text widgets give it.
      return {line_first, std::min(line_first + line_length + 1, count)};
    case QAccessible::NoBoundary:
      return {0, count};
  }
  return {offset, offset};
}

QString DocumentViewAccessible::textAtOffset(int offset,
                                             QAccessible::TextBoundaryType boundary_type,
                                             int* start_offset, int* end_offset) const {
  const auto [first, last] = UnitAt(ToSize(offset), boundary_type);
  *start_offset = ToInt(first);
  *end_offset = ToInt(last);
  return text(*start_offset, *end_offset);
}

QString DocumentViewAccessible::textBeforeOffset(int offset,
                                                 QAccessible::TextBoundaryType boundary_type,
                                                 int* start_offset, int* end_offset) const {
  const std::size_t first = UnitAt(ToSize(offset), boundary_type).first;
  if (first == 0) {
    *start_offset = *end_offset = 0;
    return {};
  }
  return textAtOffset(ToInt(first - 1), boundary_type, start_offset, end_offset);
}

QString DocumentViewAccessible::textAfterOffset(int offset,
                                                QAccessible::TextBoundaryType boundary_type,
                                                int* start_offset, int* end_offset) const {
  const std::size_t last = UnitAt(ToSize(offset), boundary_type).second;
  if (last >= View()->Document().CharCount()) {
    *start_offset = *end_offset = characterCount();
    return {};
  }
  return textAtOffset(ToInt(last), boundary_type, start_offset, end_offset);
}

QString DocumentViewAccessible::attributes(int offset, int* start_offset, int* end_offset) const {
  // No runs of their own: the whole text reads alike.
  *start_offset = 0;
  *end_offset = std::max(offset, characterCount());
  return {};
}

// --- Geometry -------------------------------------------------------------------------

QRect DocumentViewAccessible::characterRect(int offset) const {
  DocumentView* view = View();
  const TextPoint point = PointOfChar(ToSize(offset));
  const QPoint middle = view->ViewportPointOf(point);
  const QPoint right = view->ViewportPointOf({point.line, point.column + 1});
  const int height = view->LineHeight();
  const int width = std::max(1, 2 * (right.x() - middle.x()));
  const QRect local(middle.x() - width / 2, middle.y() - height / 2, width, height);
  return QRect(view->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int DocumentViewAccessible::offsetAtPoint(const QPoint& point) const {
  DocumentView* view = View();
  const QPoint local = view->viewport()->mapFromGlobal(point);
  if (!view->viewport()->rect().contains(local)) return -1;
  return ToInt(CharOf(view->PointAtViewport(local)));
}

void DocumentViewAccessible::scrollToSubstring(int start_index, int /*end_index*/) {
  View()->ScrollToPoint(PointOfChar(ToSize(start_index)));
}

// --- Editing --------------------------------------------------------------------------

void DocumentViewAccessible::deleteText(int start_offset, int end_offset) {
  replaceText(start_offset, end_offset, {});
}

void DocumentViewAccessible::insertText(int offset, const QString& text) {
  replaceText(offset, offset, text);
}

void DocumentViewAccessible::replaceText(int start_offset, int end_offset, const QString& text) {
  const std::size_t first = ToSize(start_offset);
  const std::size_t last = std::max(first, ToSize(end_offset));
  int dropped = 0;
  const QString kept = KeepEncodable(text, &dropped);
  View()->Controller().EditCharacters(first, last - first, ModelCharsOfWidgetText(kept));
}

// --- DocumentView: what it tells screen readers ------------------------------------

void DocumentView::AboutToReplace(std::size_t char_position, std::size_t removed) {
  removed_text_.reset();
  if (!SomeoneListens() || removed == 0 || removed > kMaxAnnouncedChars) return;
  removed_text_.emplace(char_position,
                        AccessibleTextOf(document_, char_position, char_position + removed));
}

void DocumentView::NotifyAccessibleChange(std::size_t char_position, std::size_t removed_chars,
                                          std::size_t inserted_chars) {
  const std::optional<std::pair<std::size_t, QString>> stashed = std::move(removed_text_);
  removed_text_.reset();
  if (!SomeoneListens()) return;
  if (removed_chars > kMaxAnnouncedChars || inserted_chars > kMaxAnnouncedChars) {
    QAccessibleEvent changed(this, QAccessible::TextUpdated);
    Tell(&changed);
    return;
  }
  const auto position = static_cast<int>(char_position);
  if (removed_chars > 0) {
    // The model reports the characters that really changed, which lie
    // within what the controller said it would replace.
    QString removed(static_cast<qsizetype>(removed_chars), QLatin1Char(' '));
    if (stashed && char_position >= stashed->first &&
        char_position + removed_chars <= stashed->first + stashed->second.size()) {
      removed = stashed->second.mid(static_cast<qsizetype>(char_position - stashed->first),
                                    static_cast<qsizetype>(removed_chars));
    }
    QAccessibleTextRemoveEvent event(this, position, removed);
    Tell(&event);
  }
  if (inserted_chars > 0) {
    QAccessibleTextInsertEvent event(
        this, position, AccessibleTextOf(document_, char_position, char_position + inserted_chars));
    Tell(&event);
  }
}

void DocumentView::NotifyAccessibleCaret() {
  if (!SomeoneListens()) return;
  const auto caret = static_cast<int>(document_.CharPositionOfOffset(controller_.CaretOffset()));
  QAccessibleTextCursorEvent moved(this, caret);
  Tell(&moved);
  // A selection that goes away is a change too: a screen reader says
  // "unselected" only when told.
  const bool has_selection = document_.SelLength() > 0;
  if (!has_selection && !selection_announced_) return;
  selection_announced_ = has_selection;
  const auto first = has_selection
                         ? static_cast<int>(document_.CharPositionOfOffset(document_.SelStart()))
                         : caret;
  const auto last = has_selection ? static_cast<int>(document_.CharPositionOfOffset(
                                        document_.SelStart() + document_.SelLength()))
                                  : caret;
  QAccessibleTextSelectionEvent selected(this, first, last);
  selected.setCursorPosition(caret);
  Tell(&selected);
}

}  // namespace morvik

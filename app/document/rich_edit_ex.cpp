// TRichEditEx: edits, the line view, the view's characters, selection,
// undo and the modified flag on top of TextStore.
#include "app/document/rich_edit_ex.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>

#include "app/document/text_store.h"
#include "app/document/undo_history.h"
#include "data/file_io.h"
#include "data/line_insertion.h"
#include "data/savra_error.h"
#include "data/sjis_codec.h"

namespace morvik {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Where a position ends up after [offset, offset + removed) became inserted
// bytes: before the edit it stays, after it it shifts, inside it it keeps its
// distance from the start as far as the new bytes reach.
std::size_t AdjustPosition(std::size_t position, std::size_t offset, std::size_t removed,
                           std::size_t inserted) {
  if (position <= offset) return position;
  if (position >= offset + removed) return position - removed + inserted;
  return offset + std::min(position - offset, inserted);
}

// The lines of text, split at CR LF, lone CR and lone LF, each followed by
// CR LF. Unlike SplitLines, a NUL byte is kept: the document holds it, and
// writing lines back must not cut the text there.
std::string TerminateLinesWithCrLf(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16 + 2);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      result.append(text.substr(pos));
      result.append(kCrLf);
      break;
    }
    result.append(text.substr(pos, end - pos));
    result.append(kCrLf);
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return result;
}

// True when text is what TerminateLinesWithCrLf would make of it: every
// break a CR LF, and one at the end (or no text).
bool EveryLineEndsWithCrLf(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() < 2 || text.substr(text.size() - 2) != kCrLf || text[0] == '\n') return false;
  // A CR exactly where an LF follows, and nowhere else: one branch-free
  // pass over adjacent bytes, which the compiler vectorises (a sorted text
  // of 50 MB is checked in a few milliseconds).
  std::size_t mismatches = 0;
  const char* data = text.data();
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    mismatches += static_cast<std::size_t>((data[i] == '\r') != (data[i + 1] == '\n'));
  }
  return mismatches == 0;
}

std::string LengthLimitMessage() {
  return "テキストが最大長（" + std::to_string(TRichEditEx::kMaxLength) +
         " バイト）を超えるため、変更できません";
}

}  // namespace

struct TRichEditEx::Impl {
  explicit Impl(std::string document_name) : name(std::move(document_name)) {}

  std::string name;
  TextStore store;
  SelectionRange selection;
  bool modified = false;
  // The history's state of the text last saved or loaded, or none when undo
  // and redo cannot bring that text back (a new document, cleared undo).
  std::optional<std::uint64_t> saved_state;
  bool read_only = false;
  UndoHistory history;
  std::vector<DocumentObserver*> observers;

  template <typename Call>
  void Notify(Call call) {
    // An observer may remove itself while being told.
    const std::vector<DocumentObserver*> snapshot = observers;
    for (DocumentObserver* observer : snapshot) {
      if (std::find(observers.begin(), observers.end(), observer) != observers.end()) {
        call(*observer);
      }
    }
  }

  void NotifyText(const TextChange& change) {
    Notify([&](DocumentObserver& o) {
      o.TextReplaced(change.offset, change.removed_bytes, change.inserted_bytes,
                     change.char_position, change.removed_chars, change.inserted_chars);
    });
  }

  void SetSelectionQuietly(SelectionRange range) {
    const std::size_t size = store.Size();
    range.start = std::min(range.start, size);
    range.length = std::min(range.length, size - range.start);
    if (range == selection) return;
    selection = range;
    Notify([](DocumentObserver& o) { o.SelectionChanged(); });
  }

  void SetModifiedFlag(bool value) {
    if (modified == value) return;
    modified = value;
    Notify([value](DocumentObserver& o) { o.ModifiedChanged(value); });
  }

  // The present text is what the file holds.
  void MarkSaved() {
    saved_state = history.State();
    // Typing on must not extend the step that names the saved text.
    history.BreakTyping();
    SetModifiedFlag(false);
  }

  // After undo or redo: modified unless back at the saved text.
  void FollowSavedState() { SetModifiedFlag(saved_state != history.State()); }

  void CheckLength(std::size_t removed, std::size_t inserted) const {
    if (inserted > removed && store.Size() - removed + inserted > kMaxLength) {
      throw ESavraError(LengthLimitMessage());
    }
  }

  // Applies one recorded edit; offset and length lie within the text.
  void Edit(std::size_t offset, std::size_t length, std::string_view bytes, EditKind kind) {
    CheckLength(length, bytes.size());
    if (length == 0 && bytes.empty()) return;
    const SelectionRange before = selection;
    std::string removed = store.Range(offset, length);
    bool word = false;
    if (kind == EditKind::kTypedCharacter) {
      const bool one_char =
          length == 0 && !bytes.empty() && NextCharBoundary(bytes, 0) == bytes.size();
      kind = one_char ? kind : EditKind::kCommand;
      word = one_char && IsWordCharacter(bytes);
      if (!one_char && bytes.empty() && !removed.empty() &&
          NextCharBoundary(removed, 0) == removed.size()) {
        kind = EditKind::kDeletedCharacter;
      }
    }
    const TextChange change = store.Replace(offset, length, bytes);
    history.Record(RecordedEdit{offset, std::move(removed), std::string(bytes)}, before, kind,
                   word);
    NotifyText(change);
    const std::size_t start = AdjustPosition(before.start, offset, length, bytes.size());
    const std::size_t end =
        AdjustPosition(before.start + before.length, offset, length, bytes.size());
    SetSelectionQuietly({start, end - start});
    SetModifiedFlag(true);
    history.SetSelectionAfter(selection);
  }

  // Replays the edits of a step forwards (redo) or backwards (undo).
  void Replay(UndoStep& step, bool forwards) {
    const auto apply = [&](RecordedEdit& edit, std::string& from, std::string& to) {
      if (!edit.whole_text) {
        NotifyText(store.Replace(edit.offset, from.size(), to));
        return;
      }
      // The document holds from; keep it and hand to over without a copy.
      from = store.Text();
      edit.in_document = to.size();
      NotifyText(store.ReplaceAll(std::move(to)));
      to.clear();
      to.shrink_to_fit();
    };
    if (forwards) {
      for (RecordedEdit& edit : step.edits) apply(edit, edit.removed, edit.inserted);
    } else {
      for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it) {
        apply(*it, it->inserted, it->removed);
      }
    }
    SetSelectionQuietly(forwards ? step.after : step.before);
  }

  bool EndsWithBreak() const {
    const std::size_t size = store.Size();
    if (size == 0) return false;
    const std::string last = store.Range(size - 1, 1);
    return last[0] == '\r' || last[0] == '\n';
  }
};

TRichEditEx::TRichEditEx(std::string name) : impl_(std::make_unique<Impl>(std::move(name))) {}
TRichEditEx::~TRichEditEx() = default;

const std::string& TRichEditEx::Name() const {
  return impl_->name;
}

// --- Text ---------------------------------------------------------------------

std::size_t TRichEditEx::Length() const {
  return impl_->store.Size();
}

std::string TRichEditEx::Text() const {
  return impl_->store.Text();
}

void TRichEditEx::VisitPieces(
    std::size_t from, std::size_t to, bool forward,
    const std::function<bool(std::size_t, std::string_view)>& visit) const {
  impl_->store.VisitPieces(from, to, forward, visit);
}

std::string TRichEditEx::TextRange(std::size_t offset, std::size_t length) const {
  return impl_->store.Range(offset, length);
}

void TRichEditEx::Replace(std::size_t offset, std::size_t length, std::string_view bytes) {
  const std::size_t size = Length();
  offset = std::min(offset, size);
  length = std::min(length, size - offset);
  impl_->history.BreakTyping();
  impl_->Edit(offset, length, bytes, EditKind::kCommand);
}

void TRichEditEx::ApplyViewEdit(std::size_t char_position, std::size_t removed_chars,
                                std::u16string_view inserted) {
  if (impl_->read_only) return;
  TextStore& store = impl_->store;
  const std::size_t char_count = CharCount();
  char_position = std::min(char_position, char_count);
  removed_chars = std::min(removed_chars, char_count - char_position);
  const std::size_t start = store.OffsetOfChar(char_position);
  const std::size_t end = store.OffsetOfChar(char_position + removed_chars);
  const std::string old_bytes = store.Range(start, end - start);
  const std::u16string old_text = DecodeForView(old_bytes);
  const std::u16string new_text = NormalizeViewBreaks(inserted);

  // Only the characters that differ are re-encoded: a view may report a
  // whole line for one typed character, and the rest must keep its bytes.
  std::size_t prefix = 0;
  const std::size_t shorter = std::min(old_text.size(), new_text.size());
  while (prefix < shorter && old_text[prefix] == new_text[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         old_text[old_text.size() - 1 - suffix] == new_text[new_text.size() - 1 - suffix]) {
    ++suffix;
  }
  if (prefix == old_text.size() && prefix == new_text.size()) return;
  const std::size_t edit_start = start + OffsetOfCharIndex(old_bytes, prefix);
  const std::size_t edit_end = start + OffsetOfCharIndex(old_bytes, old_text.size() - suffix);
  const std::string bytes = EncodeFromView(
      std::u16string_view(new_text).substr(prefix, new_text.size() - prefix - suffix));
  impl_->Edit(edit_start, edit_end - edit_start, bytes, EditKind::kTypedCharacter);
  // The view's caret stands after what it inserted.
  const std::size_t caret = edit_start + bytes.size() + (end - edit_end);
  impl_->SetSelectionQuietly({caret, 0});
  impl_->history.SetSelectionAfter(impl_->selection);
}

// --- Line view ------------------------------------------------------------------

std::size_t TRichEditEx::LineCount() const {
  if (Length() == 0) return 0;
  return RawLineCount() - (impl_->EndsWithBreak() ? 1 : 0);
}

std::size_t TRichEditEx::RawLineCount() const {
  return impl_->store.Totals().breaks + 1;
}

std::string TRichEditEx::Line(std::size_t index) const {
  const std::size_t raw_lines = RawLineCount();
  if (index >= raw_lines)
    throw std::out_of_range("TRichEditEx::Line: no line " + std::to_string(index));
  const TextStore& store = impl_->store;
  const std::size_t start = store.LineStart(index);
  if (index + 1 == raw_lines) return store.Range(start, store.Size() - start);
  const std::size_t next = store.LineStart(index + 1);
  // The break is CR LF, CR or LF; look at its last two bytes.
  const std::string tail =
      store.Range(next >= start + 2 ? next - 2 : start, next >= start + 2 ? 2 : next - start);
  const std::size_t break_length = (tail.size() == 2 && tail == kCrLf) ? 2 : 1;
  return store.Range(start, next - start - break_length);
}

std::size_t TRichEditEx::LineFromPosition(std::size_t offset) const {
  return impl_->store.LineOfOffset(std::min(offset, Length()));
}

std::size_t TRichEditEx::PositionOfLine(std::size_t index) const {
  if (index >= RawLineCount()) return Length();
  return impl_->store.LineStart(index);
}

void TRichEditEx::InsertLine(std::size_t index, std::string_view line) {
  const bool appending = index >= LineCount();
  const std::size_t offset = appending ? Length() : PositionOfLine(index);
  const bool after_unterminated_line = appending && Length() > 0 && !impl_->EndsWithBreak();
  const std::string_view lines[] = {line};
  impl_->history.BreakTyping();
  impl_->Edit(offset, 0, InsertedLinesBytes(lines, after_unterminated_line), EditKind::kCommand);
  impl_->history.BreakTyping();
}

void TRichEditEx::SetLinesText(std::string_view text) {
  // The lines only grow by their breaks: refuse early what cannot fit.
  if (text.size() > kMaxLength) throw ESavraError(LengthLimitMessage());
  const std::string bytes = TerminateLinesWithCrLf(text);
  const std::string old = Text();
  // Store only the part that differs, so that undo keeps a small record and
  // a view redraws only what changed.
  std::size_t prefix = 0;
  const std::size_t shorter = std::min(old.size(), bytes.size());
  while (prefix < shorter && old[prefix] == bytes[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         old[old.size() - 1 - suffix] == bytes[bytes.size() - 1 - suffix]) {
    ++suffix;
  }
  impl_->history.BreakTyping();
  impl_->Edit(prefix, old.size() - prefix - suffix,
              std::string_view(bytes).substr(prefix, bytes.size() - prefix - suffix),
              EditKind::kCommand);
  impl_->history.BreakTyping();
  // Writing the lines back counts as a change even when they were the same.
  impl_->SetModifiedFlag(true);
}

void TRichEditEx::TakeLinesText(std::string text) {
  if (!EveryLineEndsWithCrLf(text)) text = TerminateLinesWithCrLf(text);
  Impl& impl = *impl_;
  impl.CheckLength(Length(), text.size());
  impl.history.BreakTyping();
  const SelectionRange before = impl.selection;
  RecordedEdit edit{0, impl.store.Text(), {}};
  edit.whole_text = true;
  edit.in_document = text.size();
  const TextChange change = impl.store.ReplaceAll(std::move(text));
  impl.history.Record(std::move(edit), before, EditKind::kCommand, false);
  impl.NotifyText(change);
  const std::size_t start = std::min(before.start, change.inserted_bytes);
  const std::size_t end = std::min(before.start + before.length, change.inserted_bytes);
  impl.SetSelectionQuietly({start, end - start});
  impl.SetModifiedFlag(true);
  impl.history.SetSelectionAfter(impl.selection);
  impl.history.BreakTyping();
}

// --- Characters, for a view ----------------------------------------------------------

std::size_t TRichEditEx::CharCount() const {
  return impl_->store.Totals().chars;
}

std::size_t TRichEditEx::CharPositionOfOffset(std::size_t offset) const {
  return impl_->store.CharOfOffset(std::min(offset, Length()));
}

std::size_t TRichEditEx::OffsetOfCharPosition(std::size_t char_position) const {
  return impl_->store.OffsetOfChar(char_position);
}

std::u16string TRichEditEx::DecodedText() const {
  return impl_->store.DecodedText();
}

std::size_t TRichEditEx::CharPositionOfLine(std::size_t index) const {
  return CharPositionOfOffset(PositionOfLine(index));
}

std::size_t TRichEditEx::LineCharCount(std::size_t index) const {
  if (index >= RawLineCount()) return 0;
  const std::size_t first = CharPositionOfLine(index);
  // Every line but the last ends in a break, which is one character.
  if (index + 1 == RawLineCount()) return CharCount() - first;
  return CharPositionOfLine(index + 1) - first - 1;
}

std::u16string TRichEditEx::LineChars(std::size_t index, std::size_t first,
                                      std::size_t count) const {
  const std::size_t length = LineCharCount(index);
  first = std::min(first, length);
  count = std::min(count, length - first);
  if (count == 0) return {};
  const std::size_t start_char = CharPositionOfLine(index) + first;
  const std::size_t start = OffsetOfCharPosition(start_char);
  const std::size_t end = OffsetOfCharPosition(start_char + count);
  return DecodeSjis(TextRange(start, end - start));
}

// --- Caret and selection -------------------------------------------------------------

std::size_t TRichEditEx::SelStart() const {
  return impl_->selection.start;
}
std::size_t TRichEditEx::SelLength() const {
  return impl_->selection.length;
}

void TRichEditEx::SetSelection(std::size_t start, std::size_t length) {
  impl_->SetSelectionQuietly({start, length});
  // A caret moved away from where typing goes on ends the typed word.
  UndoHistory& history = impl_->history;
  if (history.TypingOpen() &&
      (impl_->selection.length != 0 || impl_->selection.start != history.TypingPosition())) {
    history.BreakTyping();
  }
}

std::string TRichEditEx::SelectedText() const {
  return impl_->store.Range(impl_->selection.start, impl_->selection.length);
}

void TRichEditEx::ReplaceSelection(std::string_view bytes) {
  const SelectionRange range = impl_->selection;
  impl_->Edit(range.start, range.length, bytes, EditKind::kTypedCharacter);
  impl_->SetSelectionQuietly({range.start + bytes.size(), 0});
  impl_->history.SetSelectionAfter(impl_->selection);
}

// --- Modified flag, read-only state ------------------------------------------------------

bool TRichEditEx::Modified() const {
  return impl_->modified;
}
void TRichEditEx::SetModified(bool modified) {
  if (modified) {
    impl_->SetModifiedFlag(true);
  } else {
    impl_->MarkSaved();
  }
}
bool TRichEditEx::ReadOnly() const {
  return impl_->read_only;
}

void TRichEditEx::SetReadOnly(bool read_only) {
  if (impl_->read_only == read_only) return;
  impl_->read_only = read_only;
  impl_->Notify([read_only](DocumentObserver& o) { o.ReadOnlyChanged(read_only); });
}

// --- Undo -------------------------------------------------------------------------------

bool TRichEditEx::CanUndo() const {
  return impl_->history.CanUndo();
}
bool TRichEditEx::CanRedo() const {
  return impl_->history.CanRedo();
}

void TRichEditEx::Undo() {
  UndoHistory& history = impl_->history;
  if (!history.CanUndo() || history.InGroup()) return;
  UndoStep step = history.PopUndo();
  impl_->Replay(step, false);
  history.PushRedo(std::move(step));
  impl_->FollowSavedState();
}

void TRichEditEx::Redo() {
  UndoHistory& history = impl_->history;
  if (!history.CanRedo() || history.InGroup()) return;
  UndoStep step = history.PopRedo();
  impl_->Replay(step, true);
  history.PushUndo(std::move(step));
  impl_->FollowSavedState();
}

void TRichEditEx::ClearUndo() {
  if (impl_->history.InGroup()) return;
  impl_->history.Clear();
  // An unmodified text stays the saved one; a modified one can no longer
  // go back to it.
  impl_->saved_state = impl_->modified ? std::nullopt : std::optional<std::uint64_t>(0);
}

void TRichEditEx::BreakUndoGroup() {
  impl_->history.BreakTyping();
}

TRichEditEx::UndoGroup::UndoGroup(TRichEditEx& document) : document_(document) {
  document_.impl_->history.BeginGroup(document_.impl_->selection);
}

TRichEditEx::UndoGroup::~UndoGroup() {
  UndoHistory& history = document_.impl_->history;
  history.EndGroup(document_.impl_->selection);
}

// --- Files --------------------------------------------------------------------------------

void TRichEditEx::LoadFromFile(const std::string& path) {
  std::string bytes = ReadFileBytes(path, kMaxLength);
  TextStore& store = impl_->store;
  const TextCounts old_counts = store.Totals();
  store.Assign(std::move(bytes));
  impl_->history.Clear();
  const TextCounts new_counts = store.Totals();
  impl_->NotifyText(
      TextChange{0, old_counts.bytes, new_counts.bytes, 0, old_counts.chars, new_counts.chars});
  impl_->SetSelectionQuietly({0, 0});
  // The document now is what the file holds.
  impl_->MarkSaved();
}

void TRichEditEx::SaveToFile(const std::string& path) const {
  WriteFileAtomically(path, [this](const std::function<void(std::string_view)>& sink) {
    impl_->store.ForEachPiece(sink);
  });
}

void TRichEditEx::AddObserver(DocumentObserver* observer) {
  if (std::find(impl_->observers.begin(), impl_->observers.end(), observer) ==
      impl_->observers.end()) {
    impl_->observers.push_back(observer);
  }
}

void TRichEditEx::RemoveObserver(DocumentObserver* observer) {
  auto& observers = impl_->observers;
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

}  // namespace morvik

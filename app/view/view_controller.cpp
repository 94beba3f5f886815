#include "app/view/view_controller.h"

#include <algorithm>
#include <exception>

#include "app/view/text_motion.h"

namespace morvik {
namespace {

// Word rules read a window of a line this wide first, and four times wider
// each time a run reaches the window's edge.
constexpr std::size_t kWordWindow = 256;

// Sets flag while it lives, and gives back its earlier value after.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

ViewController::ViewController(TRichEditEx& document, ViewHost& host)
    : document_(document), host_(host) {}

// --- Positions ------------------------------------------------------------------------

std::size_t ViewController::LineCount() const {
  return document_.RawLineCount();
}

std::size_t ViewController::LineLength(std::size_t line) const {
  return document_.LineCharCount(line);
}

std::size_t ViewController::OffsetOf(TextPoint point) const {
  point = ClampPoint(point);
  return document_.OffsetOfCharPosition(CharPositionOf(point));
}

TextPoint ViewController::PointOf(std::size_t offset) const {
  const std::size_t line = document_.LineFromPosition(offset);
  const std::size_t first = document_.CharPositionOfLine(line);
  const std::size_t at = document_.CharPositionOfOffset(offset);
  // An offset inside the line's break (between CR and LF) is its end.
  return {line, std::min(at - std::min(at, first), LineLength(line))};
}

std::size_t ViewController::CharPositionOf(TextPoint point) const {
  point = ClampPoint(point);
  return document_.CharPositionOfLine(point.line) + point.column;
}

TextPoint ViewController::ClampPoint(TextPoint point) const {
  point.line = std::min(point.line, LineCount() - 1);
  point.column = std::min(point.column, LineLength(point.line));
  return point;
}

std::u16string ViewController::LineChars(std::size_t line, std::size_t first,
                                         std::size_t count) const {
  return document_.LineChars(line, first, count);
}

// --- Caret and selection --------------------------------------------------------------

std::size_t ViewController::CaretOffset() const {
  return document_.SelStart() + (caret_at_start_ ? 0 : document_.SelLength());
}

TextPoint ViewController::CaretPoint() const {
  return PointOf(CaretOffset());
}

TextPoint ViewController::AnchorPoint() const {
  const std::size_t start = document_.SelStart();
  return PointOf(caret_at_start_ ? start + document_.SelLength() : start);
}

bool ViewController::HasSelection() const {
  return document_.SelLength() > 0;
}

bool ViewController::IsInsideSelection(TextPoint point) const {
  if (!HasSelection()) return false;
  const std::size_t offset = OffsetOf(point);
  return offset >= document_.SelStart() && offset < document_.SelStart() + document_.SelLength();
}

void ViewController::SelectRange(TextPoint anchor, TextPoint caret) {
  const std::size_t anchor_offset = OffsetOf(anchor);
  const std::size_t caret_offset = OffsetOf(caret);
  const std::size_t start = std::min(anchor_offset, caret_offset);
  caret_at_start_ = caret_offset < anchor_offset;
  {
    const FlagScope changing(changing_model_);
    document_.SetSelection(start, std::max(anchor_offset, caret_offset) - start);
  }
  host_.CaretMoved();
  host_.Redraw();
}

void ViewController::MoveCaret(TextPoint caret, bool keep_anchor) {
  SelectRange(keep_anchor ? AnchorPoint() : caret, caret);
}

TextPoint ViewController::MotionTarget(Motion motion, TextPoint from) {
  const std::size_t last_line = LineCount() - 1;
  const auto vertical = [&](long long lines) {
    const double x = preferred_x_.value_or(host_.XOfColumn(from.line, from.column));
    const auto line = static_cast<std::size_t>(std::clamp<long long>(
        static_cast<long long>(from.line) + lines, 0, static_cast<long long>(last_line)));
    preferred_x_ = x;
    return TextPoint{line, host_.ColumnAtX(line, x)};
  };
  const auto page = static_cast<long long>(std::max<std::size_t>(1, host_.PageLines()));
  switch (motion) {
    case Motion::kCharLeft:
      if (from.column > 0) return {from.line, from.column - 1};
      if (from.line > 0) return {from.line - 1, LineLength(from.line - 1)};
      return from;
    case Motion::kCharRight:
      if (from.column < LineLength(from.line)) return {from.line, from.column + 1};
      if (from.line < last_line) return {from.line + 1, 0};
      return from;
    case Motion::kLineUp:
      return vertical(-1);
    case Motion::kLineDown:
      return vertical(1);
    case Motion::kPageUp:
      return vertical(-page);
    case Motion::kPageDown:
      return vertical(page);
    case Motion::kLineStart:
      return {from.line, 0};
    case Motion::kLineEnd:
      return {from.line, LineLength(from.line)};
    case Motion::kDocumentStart:
      return {0, 0};
    case Motion::kDocumentEnd:
      return {last_line, LineLength(last_line)};
    case Motion::kWordLeft:
      if (from.column == 0) return MotionTarget(Motion::kCharLeft, from);
      return {from.line, PreviousWord(from)};
    case Motion::kWordRight:
      if (from.column >= LineLength(from.line)) return MotionTarget(Motion::kCharRight, from);
      return {from.line, NextWord(from)};
  }
  return from;
}

void ViewController::ApplyMotion(Motion motion, bool keep_anchor) {
  const bool paging = motion == Motion::kPageUp || motion == Motion::kPageDown;
  const bool vertical = paging || motion == Motion::kLineUp || motion == Motion::kLineDown;
  if (!vertical) preferred_x_.reset();
  TextPoint target;
  if (!keep_anchor && HasSelection() &&
      (motion == Motion::kCharLeft || motion == Motion::kCharRight)) {
    // An arrow key ends a selection at its own side, as desktop editors do.
    const TextPoint a = AnchorPoint();
    const TextPoint b = CaretPoint();
    target = motion == Motion::kCharLeft ? std::min(a, b) : std::max(a, b);
  } else {
    target = MotionTarget(motion, CaretPoint());
  }
  if (paging) {
    // The page turns with the caret, which keeps its place on the screen.
    const auto page = static_cast<long long>(std::max<std::size_t>(1, host_.PageLines()));
    const long long top = static_cast<long long>(host_.FirstVisibleLine()) +
                          (motion == Motion::kPageUp ? -page : page);
    host_.ScrollToLine(static_cast<std::size_t>(std::max<long long>(0, top)));
  }
  MoveCaret(target, keep_anchor);
  host_.ShowCaret();
}

void ViewController::SelectAll() {
  SelectRange({0, 0}, MotionTarget(Motion::kDocumentEnd, {}));
}

void ViewController::ModelSelectionChanged() {
  if (changing_model_) return;
  caret_at_start_ = false;
  preferred_x_.reset();
  host_.ShowCaret();
  host_.CaretMoved();
}

// --- Words ----------------------------------------------------------------------------

std::size_t ViewController::NextWord(TextPoint from) const {
  const std::size_t length = LineLength(from.line);
  for (std::size_t window = kWordWindow;; window *= 4) {
    const std::u16string chars = LineChars(from.line, from.column, window);
    const std::size_t next = NextWordColumn(chars, 0);
    if (next < chars.size() || from.column + chars.size() >= length) return from.column + next;
  }
}

std::size_t ViewController::PreviousWord(TextPoint from) const {
  for (std::size_t window = kWordWindow;; window *= 4) {
    const std::size_t first = from.column - std::min(window, from.column);
    const std::u16string chars = LineChars(from.line, first, from.column - first);
    const std::size_t previous = PreviousWordColumn(chars, chars.size());
    if (previous > 0 || first == 0) return first + previous;
  }
}

std::pair<std::size_t, std::size_t> ViewController::WordAt(TextPoint point) const {
  point = ClampPoint(point);
  const std::size_t length = LineLength(point.line);
  if (length == 0) return {0, 0};
  const std::size_t column = std::min(point.column, length - 1);
  for (std::size_t window = kWordWindow;; window *= 4) {
    const std::size_t first = column - std::min(window, column);
    const std::u16string chars = LineChars(point.line, first, column - first + window + 1);
    const auto [word_first, word_last] = WordAround(chars, column - first);
    const bool open_left = word_first == 0 && first > 0;
    const bool open_right = word_last == chars.size() && first + chars.size() < length;
    if (!open_left && !open_right) return {first + word_first, first + word_last};
  }
}

// --- Editing --------------------------------------------------------------------------

bool ViewController::RefuseWhileReadOnly() {
  if (!document_.ReadOnly()) return false;
  host_.Refuse({});
  return true;
}

void ViewController::AfterModelEdit() {
  caret_at_start_ = false;
  preferred_x_.reset();
  host_.CaretMoved();
  host_.ShowCaret();
  host_.Redraw();
}

void ViewController::ReplaceCharacters(std::size_t char_position, std::size_t removed_chars,
                                       std::u16string_view text) {
  host_.AboutToReplace(char_position, removed_chars);
  try {
    const FlagScope changing(changing_model_);
    document_.ApplyViewEdit(char_position, removed_chars, text);
  } catch (const std::exception& error) {
    // The model refused the edit (the text would grow past its limit); it
    // keeps what it had.
    host_.Refuse(error.what());
  }
  AfterModelEdit();
}

void ViewController::ReplaceSelection(std::u16string_view text) {
  if (RefuseWhileReadOnly()) return;
  if (text.empty() && !HasSelection()) return;
  const std::size_t start = document_.CharPositionOfOffset(document_.SelStart());
  const std::size_t end =
      document_.CharPositionOfOffset(document_.SelStart() + document_.SelLength());
  ReplaceCharacters(start, end - start, text);
}

void ViewController::EditCharacters(std::size_t char_position, std::size_t removed,
                                    std::u16string_view text) {
  if (RefuseWhileReadOnly()) return;
  const std::size_t count = document_.CharCount();
  char_position = std::min(char_position, count);
  ReplaceCharacters(char_position, std::min(removed, count - char_position), text);
}

void ViewController::TypeText(std::u16string_view text) {
  const TextPoint caret = CaretPoint();
  const std::size_t length = LineLength(caret.line);
  if (!overwrite_ || HasSelection() || caret.column >= length) {
    if (!text.empty()) ReplaceSelection(text);
    return;
  }
  if (RefuseWhileReadOnly() || text.empty()) return;
  ReplaceCharacters(CharPositionOf(caret), std::min(text.size(), length - caret.column), text);
}

void ViewController::DeleteTowards(TextPoint to) {
  if (RefuseWhileReadOnly()) return;
  if (HasSelection()) {
    ReplaceSelection({});
    return;
  }
  const std::size_t caret = CharPositionOf(CaretPoint());
  const std::size_t other = CharPositionOf(to);
  if (caret == other) return;
  ReplaceCharacters(std::min(caret, other), caret > other ? caret - other : other - caret, {});
}

void ViewController::DeleteNextCharacter() {
  DeleteTowards(MotionTarget(Motion::kCharRight, CaretPoint()));
}

void ViewController::DeletePreviousCharacter() {
  DeleteTowards(MotionTarget(Motion::kCharLeft, CaretPoint()));
}

void ViewController::DeleteNextWord() {
  DeleteTowards(MotionTarget(Motion::kWordRight, CaretPoint()));
}

void ViewController::DeletePreviousWord() {
  DeleteTowards(MotionTarget(Motion::kWordLeft, CaretPoint()));
}

void ViewController::DeleteToLineEnd() {
  const TextPoint caret = CaretPoint();
  DeleteTowards(caret.column < LineLength(caret.line) ? MotionTarget(Motion::kLineEnd, caret)
                                                      : MotionTarget(Motion::kCharRight, caret));
}

void ViewController::Undo() {
  if (!RefuseWhileReadOnly()) document_.Undo();
}

void ViewController::Redo() {
  if (!RefuseWhileReadOnly()) document_.Redo();
}

void ViewController::ToggleOverwrite() {
  overwrite_ = !overwrite_;
  host_.Redraw();
}

void ViewController::InsertDocumentBytes(std::string_view bytes) {
  if (RefuseWhileReadOnly()) return;
  const std::size_t start = document_.CharPositionOfOffset(document_.SelStart());
  host_.AboutToReplace(
      start, document_.CharPositionOfOffset(document_.SelStart() + document_.SelLength()) - start);
  try {
    const FlagScope changing(changing_model_);
    document_.ReplaceSelection(bytes);
  } catch (const std::exception& error) {
    // The text would grow past the document's limit; it stays as it was.
    host_.Refuse(error.what());
  }
  caret_at_start_ = false;
  preferred_x_.reset();
  host_.ShowCaret();
  host_.Redraw();
}

void ViewController::MoveSelectedTextTo(TextPoint point) {
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
  host_.ShowCaret();
  host_.Redraw();
}

// --- The mouse ------------------------------------------------------------------------

bool ViewController::Press(TextPoint point, bool shift, bool triple_click) {
  preferred_x_.reset();
  if (triple_click) {
    drag_unit_ = DragUnit::kLine;
    drag_origin_first_ = {point.line, 0};
    drag_origin_last_ = {point.line, LineLength(point.line)};
    SelectRange(drag_origin_first_, drag_origin_last_);
    return false;
  }
  if (!shift && IsInsideSelection(point)) {
    drag_unit_ = DragUnit::kNone;
    return true;
  }
  drag_unit_ = DragUnit::kCharacter;
  MoveCaret(point, shift);
  return false;
}

void ViewController::DoubleClick(TextPoint point) {
  const auto [first, last] = WordAt(point);
  drag_unit_ = DragUnit::kWord;
  drag_origin_first_ = {point.line, first};
  drag_origin_last_ = {point.line, last};
  SelectRange(drag_origin_first_, drag_origin_last_);
}

void ViewController::DragTo(TextPoint point) {
  switch (drag_unit_) {
    case DragUnit::kNone:
      return;
    case DragUnit::kCharacter:
      MoveCaret(point, true);
      break;
    case DragUnit::kWord: {
      const auto [first, last] = WordAt(point);
      if (point < drag_origin_first_) {
        SelectRange(drag_origin_last_, {point.line, first});
      } else {
        SelectRange(drag_origin_first_, std::max(drag_origin_last_, TextPoint{point.line, last}));
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
  host_.ShowCaret();
}

bool ViewController::EndDrag() {
  const bool dragged = drag_unit_ != DragUnit::kNone;
  drag_unit_ = DragUnit::kNone;
  return dragged;
}

// --- The input method -----------------------------------------------------------------

void ViewController::SelectForReplacement(long long start, std::size_t length) {
  // The characters lie on the caret's line.
  const TextPoint caret = CaretPoint();
  const auto first = static_cast<std::size_t>(
      std::max<long long>(0, static_cast<long long>(caret.column) + start));
  SelectRange({caret.line, first}, {caret.line, first + length});
}

void ViewController::SetPreedit(std::u16string text, std::size_t cursor) {
  preedit_ = std::move(text);
  preedit_cursor_ = std::min(cursor, preedit_.size());
  host_.Redraw();
}

}  // namespace morvik

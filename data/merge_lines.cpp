// The merge loop and the text-backed merge target.
#include "data/merge_lines.h"

#include <algorithm>
#include <ranges>

#include "data/line_equality.h"
#include "data/line_insertion.h"
#include "data/line_sort.h"

namespace morvik {

std::string MergeProgressText(std::size_t done, std::size_t total) {
  return std::to_string(done) + " / " + std::to_string(total) + " 行 を処理中...";
}

std::string MergeEndMarkerText(std::size_t total, std::size_t before_marker) {
  return std::to_string(total) + " 行中 " + std::to_string(before_marker) +
         " 行を処理して中止しました";
}

std::string MergeResultText(const MergeOutcome& outcome) {
  return "全有効 " + std::to_string(outcome.source_lines) + " 行中 " +
         std::to_string(outcome.added) + " 行をマージしました";
}

MergeOutcome MergeLines(MergeTarget& target, const LineList& source, int field_count,
                        std::size_t caret_line, MergeProgress& progress,
                        std::chrono::steady_clock::duration progress_interval) {
  MergeOutcome outcome;
  outcome.source_lines = source.size();
  if (source.empty()) return outcome;

  const std::size_t document_lines = target.LineCount();
  CaseInsensitiveLineSet present;
  present.reserve(document_lines + source.size());
  for (std::size_t i = 0; i < document_lines; ++i) present.Insert(target.Line(i));

  // Every line goes to the same index, so each new one stands above the
  // ones added before it. Past the last line the document appends, and the
  // first appended line would then move the index onto itself; holding the
  // index at the old line count keeps the reverse order there too.
  const std::size_t insert_index = std::min(caret_line + 1, document_lines);

  using Clock = std::chrono::steady_clock;
  Clock::time_point last_posted{};
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (progress.StopRequested()) {
      outcome.stopped = true;
      break;
    }
    const std::string& line = source[i];
    if (IsValidRecord(line, field_count)) {
      if (IsEndMarkerLine(line)) {
        outcome.ended_by_marker = true;
        progress.ShowStatus(MergeEndMarkerText(source.size(), i));
        break;
      }
      if (present.Insert(line)) {
        target.InsertLine(insert_index, line);
        ++outcome.added;
      }
    }
    // Posting lets pending events run, which costs far more than a line;
    // the user sees no difference between every line and every 50 ms.
    const Clock::time_point now = Clock::now();
    if (i == 0 || i + 1 == source.size() || now - last_posted >= progress_interval) {
      progress.ShowStatus(MergeProgressText(i + 1, source.size()));
      last_posted = now;
    }
  }
  return outcome;
}

void PendingLines::Add(std::size_t index, std::string_view line) {
  if (lines_.empty()) index_ = index;
  lines_.emplace_back(line);
}

std::string PendingLines::Bytes(bool break_in_front) const {
  // Each line was inserted in front of the ones added before it.
  return InsertedLinesBytes(std::vector<std::string_view>(lines_.rbegin(), lines_.rend()),
                            break_in_front);
}

TextMergeTarget::TextMergeTarget(std::string text)
    : text_(std::move(text)), lines_(DocumentLineViews(text_)) {}

std::size_t TextMergeTarget::LineCount() const {
  return lines_.size() + pending_.size();
}

std::string TextMergeTarget::Line(std::size_t index) const {
  if (!pending_.empty()) const_cast<TextMergeTarget*>(this)->Flush();
  return index < lines_.size() ? std::string(lines_[index]) : std::string();
}

void TextMergeTarget::InsertLine(std::size_t index, std::string_view line) {
  if (!pending_.Accepts(index)) Flush();
  pending_.Add(index, line);
}

std::string TextMergeTarget::Text() const {
  if (pending_.empty()) return text_;
  std::size_t offset = text_.size();
  bool break_in_front = false;
  if (pending_.index() < lines_.size()) {
    offset = static_cast<std::size_t>(lines_[pending_.index()].data() - text_.data());
  } else {
    break_in_front = EndsWithoutBreak(text_);
  }
  const std::string block = pending_.Bytes(break_in_front);
  std::string result;
  result.reserve(text_.size() + block.size());
  result.append(text_, 0, offset);
  result += block;
  result.append(text_, offset, std::string::npos);
  return result;
}

void TextMergeTarget::Flush() {
  text_ = Text();
  pending_.clear();
  lines_ = DocumentLineViews(text_);
}

}  // namespace morvik

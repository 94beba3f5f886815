// Range finding support and the sort of line views.
#include "data/line_sort.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "data/sort_line_range.h"

namespace morvik {
namespace {

// A marker's key folds to text that starts with '{', and only '{' and the
// full-width U+FF5B (Shift_JIS 0x81 0x6F) fold to it. So a line whose first
// field starts with neither is no marker, whatever follows. The skipped
// bytes are those SplitFields skips before the first field.
bool FirstFieldMayStartWithBrace(std::string_view line) {
  std::size_t pos = 0;
  while (pos < line.size() && line[pos] >= 0x01 && line[pos] <= 0x20) ++pos;
  if (pos < line.size() && line[pos] == '"') ++pos;
  if (pos >= line.size()) return false;
  if (line[pos] == '{') return true;
  return pos + 1 < line.size() && static_cast<unsigned char>(line[pos]) == 0x81 &&
         line[pos + 1] == 0x6F;
}

}  // namespace

bool IsEndMarkerLine(std::string_view line) {
  return FirstFieldMayStartWithBrace(line) && IsEndMarker(line);
}

bool IsPriorMarkerLine(std::string_view line) {
  return FirstFieldMayStartWithBrace(line) && IsPriorMarker(line);
}

void SortLineRange(std::vector<std::string_view>& lines, long long lo, long long hi,
                   bool ascending) {
  internal::SortLineRangeOf(lines, lo, hi, ascending);
}

std::string SortedLinesText(std::vector<std::string_view> lines, LineRange range, bool ascending) {
  SortLineRange(lines, range.lo, range.hi, ascending);
  return JoinLineViews(lines);
}

std::string JoinLineViews(const std::vector<std::string_view>& lines) {
  std::size_t size = 0;
  for (std::string_view line : lines) size += line.size() + 2;
  std::string text(size, '\0');
  // Copies lines [begin, end) to text from at on; after a sort the lines
  // are read from all over their text, so two threads copy faster than one.
  const auto copy = [&](std::size_t begin, std::size_t end, std::size_t at) {
    char* out = text.data() + at;
    for (std::size_t i = begin; i < end; ++i) {
      std::memcpy(out, lines[i].data(), lines[i].size());
      out += lines[i].size();
      *out++ = '\r';
      *out++ = '\n';
    }
  };
  const std::size_t half = lines.size() / 2;
  if (lines.size() < internal::kParallelSortLines || std::thread::hardware_concurrency() < 2) {
    copy(0, lines.size(), 0);
    return text;
  }
  std::size_t second_at = 0;
  for (std::size_t i = 0; i < half; ++i) second_at += lines[i].size() + 2;
  std::thread first_half([&] { copy(0, half, 0); });
  copy(half, lines.size(), second_at);
  first_half.join();
  return text;
}

LineRange SortRange(const std::vector<std::string_view>& lines, std::size_t caret_line,
                    bool whole_document) {
  auto line_at = [&lines](std::size_t index) { return lines[index]; };
  return whole_document ? WholeDocumentRange(lines.size(), line_at)
                        : PriorityBlockRange(lines.size(), caret_line, line_at);
}

std::string SortDocumentText(std::string_view text, std::size_t caret_line, bool whole_document,
                             bool ascending) {
  std::vector<std::string_view> lines = DocumentLineViews(text);
  const LineRange range = SortRange(lines, caret_line, whole_document);
  return SortedLinesText(std::move(lines), range, ascending);
}

}  // namespace morvik

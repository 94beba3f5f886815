// The Sort command without a window: which lines it sorts (everything above
// the end marker, or the priority block around the caret) and the text the
// document holds afterwards.
//
// The range finders take the line count and a function that gives line i
// (anything convertible to std::string_view), so the document model and a
// plain line list share them.
#ifndef MORVIK_DATA_LINE_SORT_H_
#define MORVIK_DATA_LINE_SORT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/sv_utils.h"

namespace morvik {

// Status texts of the command, in the order it shows them.
inline constexpr char kSortPreparingStatus[] = "並び替え/ソート の準備中...";
inline constexpr char kSortRunningStatus[] =
    "並び替え/ソート 処理中です。しばらくお待ちください...";
inline constexpr char kSortRedrawingStatus[] = "画面を再描画しています...";
inline constexpr char kSortDoneStatus[] = "並び替え/ソート が完了しました";

// Line indices lo..hi, both included; empty when lo > hi.
struct LineRange {
  long long lo = 0;
  long long hi = -1;
  bool operator==(const LineRange&) const = default;
};

// IsEndMarker and IsPriorMarker, with a quick rejection of the lines whose
// first field cannot start with a brace (nearly all of them), which keeps
// walking a million record lines cheap.
bool IsEndMarkerLine(std::string_view line);
bool IsPriorMarkerLine(std::string_view line);

// Every line above the first end marker, or every line when there is none.
template <typename LineAt>
LineRange WholeDocumentRange(std::size_t line_count, LineAt line_at) {
  const auto last = static_cast<long long>(line_count) - 1;
  long long hi = 0;
  while (hi <= last) {
    if (IsEndMarkerLine(line_at(static_cast<std::size_t>(hi)))) {
      --hi;
      break;
    }
    if (hi == last) break;
    ++hi;
  }
  return {0, hi};
}

// The run of non-marker lines that holds line caret_line, bounded by the
// nearest end or priority marker above and below (not included). A caret
// line beyond the list (the empty line after a final break) reads as an
// empty line; hi then lies beyond the list and nothing can be sorted.
template <typename LineAt>
LineRange PriorityBlockRange(std::size_t line_count, std::size_t caret_line, LineAt line_at) {
  const auto last = static_cast<long long>(line_count) - 1;
  auto is_marker = [&](long long index) {
    if (index > last) return false;  // the empty line past the end
    const std::string_view line = line_at(static_cast<std::size_t>(index));
    return IsEndMarkerLine(line) || IsPriorMarkerLine(line);
  };
  const auto caret = static_cast<long long>(caret_line);
  long long lo = caret;
  while (true) {
    if (is_marker(lo)) {
      ++lo;
      break;
    }
    if (lo == 0) break;
    --lo;
  }
  long long hi = caret;
  while (hi <= last) {
    if (is_marker(hi)) {
      --hi;
      break;
    }
    if (hi == last) break;
    ++hi;
  }
  return {lo, hi};
}

// SortLineRange over views of the lines: the same order (unsigned bytes),
// the same guard on the range.
void SortLineRange(std::vector<std::string_view>& lines, long long lo, long long hi,
                   bool ascending);

// The document text after the command: the lines with range sorted, each
// followed by CR LF. Lines outside the range keep their places; an empty
// range moves nothing but the text still ends with CR LF.
std::string SortedLinesText(std::vector<std::string_view> lines, LineRange range, bool ascending);

// The lines, each followed by CR LF, as one text.
std::string JoinLineViews(const std::vector<std::string_view>& lines);

// The range the command sorts: WholeDocumentRange, or PriorityBlockRange
// around caret_line.
LineRange SortRange(const std::vector<std::string_view>& lines, std::size_t caret_line,
                    bool whole_document);

// The whole command on a document text with the caret on caret_line (the
// line count for the empty line after a final break).
std::string SortDocumentText(std::string_view text, std::size_t caret_line, bool whole_document,
                             bool ascending);

}  // namespace morvik

#endif  // MORVIK_DATA_LINE_SORT_H_

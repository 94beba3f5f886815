// The one body of both SortLineRange overloads (lines held as strings, or
// as views into a text).
#ifndef MORVIK_DATA_SORT_LINE_RANGE_H_
#define MORVIK_DATA_SORT_LINE_RANGE_H_

#include <algorithm>
#include <vector>

namespace morvik::internal {

// Sorts lines[lo..hi] (inclusive) by unsigned bytes; a range that is empty
// or reaches outside the lines is left alone. std::string and
// std::string_view compare as unsigned bytes (char_traits<char>::compare is
// memcmp), the order data files are sorted in. Equal lines are identical,
// so an unstable sort gives the same text as any other.
template <typename Line>
void SortLineRangeOf(std::vector<Line>& lines, long long lo, long long hi, bool ascending) {
  if (lo < 0 || lo >= hi || hi >= static_cast<long long>(lines.size())) return;
  const auto first = lines.begin() + lo;
  const auto last = lines.begin() + hi + 1;
  if (ascending) {
    std::sort(first, last);
  } else {
    std::sort(first, last, [](const Line& a, const Line& b) { return b < a; });
  }
}

}  // namespace morvik::internal

#endif  // MORVIK_DATA_SORT_LINE_RANGE_H_

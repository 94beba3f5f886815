// The one body of both SortLineRange overloads (lines held as strings, or
// as views into a text).
//
// Lines are compared as unsigned bytes, the order data files are sorted in.
// A line's first eight bytes are loaded once, big-endian, into an integer
// beside a pointer to the line, so that most comparisons of the sort are one
// integer comparison in the record being sorted instead of a memcmp through
// a pointer into a large text (a cache miss each). A large range is sorted
// as two halves on two threads and merged.
#ifndef MORVIK_DATA_SORT_LINE_RANGE_H_
#define MORVIK_DATA_SORT_LINE_RANGE_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace morvik::internal {

// A line to sort: its first bytes as a number, where it is, where it was.
struct KeyedLine {
  std::uint64_t prefix;
  const char* data;
  std::uint32_t size;
  std::uint32_t index;
};

inline std::uint64_t LinePrefix(const char* data, std::size_t size) {
  // Missing bytes count as 0, so a shorter line never has the larger
  // prefix; a tie is settled by the full comparison.
  std::uint64_t prefix = 0;
  const std::size_t n = std::min<std::size_t>(size, 8);
  for (std::size_t i = 0; i < n; ++i) {
    prefix |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[i])) << (56 - 8 * i);
  }
  return prefix;
}

// a < b as unsigned bytes.
inline bool KeyedLess(const KeyedLine& a, const KeyedLine& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  // Equal prefixes: the first min(8, shorter) bytes are equal.
  const std::uint32_t shorter = std::min(a.size, b.size);
  if (shorter > 8) {
    const int order = std::memcmp(a.data + 8, b.data + 8, shorter - 8);
    if (order != 0) return order < 0;
  }
  return a.size < b.size;
}

// Below this many lines a second thread costs more than it saves.
inline constexpr std::size_t kParallelSortLines = 1 << 16;

// Sorts keyed lines by less; on two threads when there are many.
template <typename Less>
void SortKeyedLines(std::vector<KeyedLine>& keyed, Less less) {
  if (keyed.size() < kParallelSortLines || std::thread::hardware_concurrency() < 2) {
    std::sort(keyed.begin(), keyed.end(), less);
    return;
  }
  const auto middle = keyed.begin() + static_cast<std::ptrdiff_t>(keyed.size() / 2);
  std::thread first_half([&] { std::sort(keyed.begin(), middle, less); });
  std::sort(middle, keyed.end(), less);
  first_half.join();
  std::vector<KeyedLine> merged(keyed.size());
  std::merge(keyed.begin(), middle, middle, keyed.end(), merged.begin(), less);
  keyed.swap(merged);
}

// Sorts lines[lo..hi] (inclusive); a range that is empty or reaches outside
// the lines is left alone. Equal lines are identical, so any correct sort
// gives the same lines as any other.
template <typename Line>
void SortLineRangeOf(std::vector<Line>& lines, long long lo, long long hi, bool ascending) {
  if (lo < 0 || lo >= hi || hi >= static_cast<long long>(lines.size())) return;
  const auto first = static_cast<std::size_t>(lo);
  const std::size_t count = static_cast<std::size_t>(hi - lo) + 1;
  const auto too_large = [](const Line& line) { return line.size() > UINT32_MAX; };
  if (count > UINT32_MAX || std::any_of(lines.begin() + lo, lines.begin() + hi + 1, too_large)) {
    // Beyond what a record holds (only svtool reads such input): the plain
    // comparison, which std::string and std::string_view make a memcmp.
    const auto begin = lines.begin() + lo;
    const auto end = lines.begin() + hi + 1;
    if (ascending) {
      std::sort(begin, end);
    } else {
      std::sort(begin, end, [](const Line& a, const Line& b) { return b < a; });
    }
    return;
  }
  std::vector<KeyedLine> keyed(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Line& line = lines[first + i];
    keyed[i] = KeyedLine{LinePrefix(line.data(), line.size()), line.data(),
                         static_cast<std::uint32_t>(line.size()), static_cast<std::uint32_t>(i)};
  }
  if (ascending) {
    SortKeyedLines(keyed, KeyedLess);
  } else {
    SortKeyedLines(keyed, [](const KeyedLine& a, const KeyedLine& b) { return KeyedLess(b, a); });
  }
  if constexpr (std::is_same_v<Line, std::string_view>) {
    for (std::size_t i = 0; i < count; ++i) lines[first + i] = {keyed[i].data, keyed[i].size};
  } else {
    std::vector<Line> sorted;
    sorted.reserve(count);
    for (const KeyedLine& line : keyed) sorted.push_back(std::move(lines[first + line.index]));
    std::move(sorted.begin(), sorted.end(), lines.begin() + lo);
  }
}

}  // namespace morvik::internal

#endif  // MORVIK_DATA_SORT_LINE_RANGE_H_

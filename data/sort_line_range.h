// The one body of both SortLineRange overloads (lines held as strings, or
// as views into a text), and the byte-string sort the keyword list uses.
//
// Lines are compared as unsigned bytes, the order data files are sorted in.
// Eight bytes of each line are loaded, big-endian, into an integer beside a
// pointer to the line, so that the comparisons of the sort are integer
// comparisons in the records being sorted instead of memcmp calls through
// pointers into a large text (a cache miss each). Lines that agree in those
// eight bytes are sorted again by the next eight, and so on (a multikey
// sort), so that data files whose lines all start alike ("キーワード...)
// sort as fast as others. A large range is sorted as two halves on two
// threads and merged.
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

// A line to sort: eight of its bytes as a number, where it is, where it was.
struct KeyedLine {
  std::uint64_t prefix;
  const char* data;
  std::uint32_t size;
  std::uint32_t index;
};

// Bytes [depth, depth + 8) of a line as a number; missing bytes count as 0.
inline std::uint64_t LinePrefix(const char* data, std::size_t size, std::size_t depth = 0) {
  std::uint64_t prefix = 0;
  const std::size_t n = size > depth ? std::min<std::size_t>(size - depth, 8) : 0;
  for (std::size_t i = 0; i < n; ++i) {
    prefix |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[depth + i]))
              << (56 - 8 * i);
  }
  return prefix;
}

inline std::string_view BytesOf(const KeyedLine& line) {
  return {line.data, line.size};
}

// Below this many lines a second thread costs more than it saves.
inline constexpr std::size_t kParallelSortLines = 1 << 16;

// Sorts [first, last) by bytes (ascending or descending), records whose
// bytes are equal by tie_less (in the same direction). All records share
// their bytes before depth, and their prefix holds bytes [depth, depth+8).
template <typename TieLess>
void MultikeySort(KeyedLine* first, KeyedLine* last, std::size_t depth, bool ascending,
                  const TieLess& tie_less) {
  struct Part {
    KeyedLine* first;
    KeyedLine* last;
    std::size_t depth;
  };
  std::vector<Part> parts{{first, last, depth}};
  while (!parts.empty()) {
    const Part part = parts.back();
    parts.pop_back();
    if (part.depth != depth) {
      for (KeyedLine* line = part.first; line != part.last; ++line) {
        line->prefix = LinePrefix(line->data, line->size, part.depth);
      }
    }
    // The bytes of the window, then whether the line ends in it or goes
    // on: a line that ends comes before the longer lines it starts.
    const std::uint32_t window_end = static_cast<std::uint32_t>(part.depth + 8);
    const auto key_less = [window_end](const KeyedLine& a, const KeyedLine& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      return std::min(a.size, window_end + 1) < std::min(b.size, window_end + 1);
    };
    if (ascending) {
      std::sort(part.first, part.last, key_less);
    } else {
      std::sort(part.first, part.last,
                [&](const KeyedLine& a, const KeyedLine& b) { return key_less(b, a); });
    }
    for (KeyedLine* run = part.first; run != part.last;) {
      KeyedLine* end = run + 1;
      while (end != part.last && !key_less(*run, *end) && !key_less(*end, *run)) ++end;
      if (end - run > 1) {
        if (run->size > window_end) {
          parts.push_back({run, end, part.depth + 8});  // equal so far: the next eight
        } else if (ascending) {
          std::sort(run, end, tie_less);  // equal lines
        } else {
          std::sort(run, end,
                    [&](const KeyedLine& a, const KeyedLine& b) { return tie_less(b, a); });
        }
      }
      run = end;
    }
  }
}

// Sorts keyed lines (prefixes of bytes [0, 8)) by bytes, equal ones by
// tie_less; on two threads when there are many.
template <typename TieLess>
void SortKeyedLines(std::vector<KeyedLine>& keyed, bool ascending, const TieLess& tie_less) {
  KeyedLine* const first = keyed.data();
  KeyedLine* const last = first + keyed.size();
  if (keyed.size() < kParallelSortLines || std::thread::hardware_concurrency() < 2) {
    MultikeySort(first, last, 0, ascending, tie_less);
    return;
  }
  KeyedLine* const middle = first + keyed.size() / 2;
  std::thread first_half([&] { MultikeySort(first, middle, 0, ascending, tie_less); });
  MultikeySort(middle, last, 0, ascending, tie_less);
  first_half.join();
  // The prefixes now hold other bytes: merge by the bytes themselves.
  const auto less = [&](const KeyedLine& a, const KeyedLine& b) {
    const int order = BytesOf(a).compare(BytesOf(b));
    if (order != 0) return ascending ? order < 0 : order > 0;
    return ascending ? tie_less(a, b) : tie_less(b, a);
  };
  std::vector<KeyedLine> merged(keyed.size());
  std::merge(first, middle, middle, last, merged.begin(), less);
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
  // Equal lines are identical: their order cannot be seen.
  SortKeyedLines(keyed, ascending, [](const KeyedLine&, const KeyedLine&) { return false; });
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

// TbmREWchRanges: a sorted set of disjoint character intervals.
//
// Its main use is the pattern's alphabet partition: every range the pattern
// mentions is added with the refining AddRange, after which each of those
// ranges is exactly one interval of the set or a run of consecutive intervals,
// and the automaton has one input class per interval. Adjacent intervals are
// never merged, because they stand for different collections of the pattern's
// ranges. Intervals also take the negative pseudo-characters of the line head
// (-2) and line tail (-3).
#ifndef MORVIK_REGEX_CHAR_RANGES_H_
#define MORVIK_REGEX_CHAR_RANGES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvik {

struct TbmREWchRange {
  std::int32_t Lo;
  std::int32_t Hi;

  friend bool operator==(const TbmREWchRange&, const TbmREWchRange&) = default;
};

// -1, 0 or 1, ordering by Lo, then by Hi.
int CompareRanges(const TbmREWchRange& a, const TbmREWchRange& b);

class TbmREWchRanges {
 public:
  // Refines the set so that [lo, hi] (lo <= hi) becomes a union of its
  // intervals, splitting the intervals it cuts and filling the gaps it covers.
  void AddRange(int lo, int hi);
  void AddRanges(const TbmREWchRanges& other);
  // The first index in [first, end) whose interval is not below key in
  // (Lo, Hi) order; end when there is none.
  int FindRange(int first, int end, const TbmREWchRange& key) const;
  // Every character but LF and CR: (0, 9), (11, 12), (14, 0xFFFF).
  void AddDotRanges();
  // (10, 10) then (13, 13).
  void AddLineBreaks();
  void ClearRanges() { items_.clear(); }
  // Replaces the set by its complement within [lo, hi]; the set must lie
  // within [lo, hi].
  void Invert(int lo, int hi);

  int Count() const { return static_cast<int>(items_.size()); }
  const TbmREWchRange& operator[](int index) const { return items_[index]; }
  const std::vector<TbmREWchRange>& Items() const { return items_; }

 private:
  void InsertAt(int index, int lo, int hi) {
    items_.insert(items_.begin() + index, TbmREWchRange{lo, hi});
  }

  std::vector<TbmREWchRange> items_;
};

// Finds the interval equal to a range in a partition that no longer
// changes. Most ranges of long word lists are single ASCII characters, which
// it answers from a table instead of a binary search.
class ClassIndex {
 public:
  explicit ClassIndex(const TbmREWchRanges& ranges);
  // The index of the interval equal to range, or -1.
  int Find(const TbmREWchRange& range) const {
    if (range.Lo == range.Hi && range.Lo >= 0 && range.Lo < kTableSize) {
      return single_[static_cast<std::size_t>(range.Lo)];
    }
    return FindBySearch(range);
  }

 private:
  static constexpr int kTableSize = 256;
  int FindBySearch(const TbmREWchRange& range) const;

  const TbmREWchRanges& ranges_;
  std::array<int, kTableSize> single_;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_CHAR_RANGES_H_

// The refining insert and the complement of TbmREWchRanges.
#include "regex/char_ranges.h"

#include "regex/char_codes.h"

namespace morvik {

int CompareRanges(const TbmREWchRange& a, const TbmREWchRange& b) {
  if (a.Lo != b.Lo) return a.Lo < b.Lo ? -1 : 1;
  if (a.Hi != b.Hi) return a.Hi < b.Hi ? -1 : 1;
  return 0;
}

int TbmREWchRanges::FindRange(int first, int end, const TbmREWchRange& key) const {
  return LowerBound(first, end, key, [this](int index, const TbmREWchRange& k) {
    return CompareRanges(items_[index], k);
  });
}

void TbmREWchRanges::AddRange(int lo, int hi) {
  const int n = Count();
  if (n == 0) {
    items_.push_back(TbmREWchRange{lo, hi});
    return;
  }
  const int i = FindRange(0, n, TbmREWchRange{lo, hi});
  if (i < n && items_[i].Lo == lo) {
    if (items_[i].Hi == hi) return;
    // Sorted by (Lo, Hi), so this interval runs past hi: cut it there.
    const int old_hi = items_[i].Hi;
    items_[i].Hi = hi;
    InsertAt(i + 1, hi + 1, old_hi);
    return;
  }

  // j: the piece that starts inside [lo, hi] from which the fill loop goes on.
  int j;
  if (i == 0) {
    if (hi < items_[0].Lo) {
      InsertAt(0, lo, hi);
      return;
    }
    InsertAt(0, lo, items_[0].Lo - 1);
    j = 0;
  } else {
    const int c = items_[i - 1].Lo;
    const int d = items_[i - 1].Hi;
    if (c < lo && lo <= d) {
      items_[i - 1].Hi = lo - 1;
      if (hi <= d) {
        InsertAt(i, lo, hi);
        if (hi < d) InsertAt(i + 1, hi + 1, d);
        return;
      }
      InsertAt(i, lo, d);
      j = i;
    } else if (c == lo) {
      j = i - 1;
    } else {
      if (i == n || items_[i].Lo > hi) {
        InsertAt(i, lo, hi);
        return;
      }
      InsertAt(i, lo, items_[i].Lo - 1);
      j = i;
    }
  }

  for (;;) {
    const int d = items_[j].Hi;
    if (hi <= d) {
      if (hi < d) {
        items_[j].Hi = hi;
        InsertAt(j + 1, hi + 1, d);
      }
      return;
    }
    if (j == Count() - 1 || items_[j + 1].Lo > hi) {
      InsertAt(j + 1, d + 1, hi);
      return;
    }
    if (d + 1 < items_[j + 1].Lo) InsertAt(j + 1, d + 1, items_[j + 1].Lo - 1);
    ++j;
  }
}

void TbmREWchRanges::AddRanges(const TbmREWchRanges& other) {
  if (&other == this) return;  // every interval is already there
  for (const TbmREWchRange& range : other.items_) AddRange(range.Lo, range.Hi);
}

void TbmREWchRanges::AddDotRanges() {
  AddRange(0, 9);
  AddRange(11, 12);
  AddRange(14, 0xFFFF);
}

void TbmREWchRanges::AddLineBreaks() {
  AddRange(10, 10);
  AddRange(13, 13);
}

void TbmREWchRanges::Invert(int lo, int hi) {
  if (items_.empty()) {
    items_.push_back(TbmREWchRange{lo, hi});
    return;
  }
  std::vector<TbmREWchRange> old;
  old.swap(items_);
  if (old.front().Lo > lo) items_.push_back(TbmREWchRange{lo, old.front().Lo - 1});
  for (std::size_t k = 0; k + 1 < old.size(); ++k) {
    if (old[k].Hi + 1 != old[k + 1].Lo) {
      items_.push_back(TbmREWchRange{old[k].Hi + 1, old[k + 1].Lo - 1});
    }
  }
  if (old.back().Hi < hi) items_.push_back(TbmREWchRange{old.back().Hi + 1, hi});
}

ClassIndex::ClassIndex(const TbmREWchRanges& ranges) : ranges_(ranges) {
  single_.fill(-1);
  for (int i = 0; i < ranges.Count(); ++i) {
    const TbmREWchRange& range = ranges[i];
    if (range.Lo == range.Hi && range.Lo >= 0 && range.Lo < kTableSize) {
      single_[static_cast<std::size_t>(range.Lo)] = i;
    }
  }
}

int ClassIndex::FindBySearch(const TbmREWchRange& range) const {
  const int count = ranges_.Count();
  const int found = ranges_.FindRange(0, count, range);
  return found < count && ranges_[found] == range ? found : -1;
}

}  // namespace morvik

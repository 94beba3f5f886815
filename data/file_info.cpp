// Line counts, listings and the keyword list. The keyword list is built in
// O(n log n): a hash set of case-folded keywords removes duplicates, and
// ICU sort keys (made on two threads) make each comparison of the sort a
// byte comparison, mostly of eight-byte numbers.
#include "data/file_info.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include "data/line_equality.h"
#include "data/line_sort.h"
#include "data/record_lines.h"
#include "data/sjis_codec.h"
#include "data/sort_line_range.h"
#include "data/text_encoding.h"

namespace morvik {
namespace {

// The case-folded keywords met so far, in a flat open-addressing table over
// one array of their units: the keyword list looks up every line's
// keyword, and a node and a string per entry (std::unordered_set) cost
// allocations and cache misses that dominate a million distinct keywords.
class FoldedKeySet {
 public:
  // expected: about how many keys will come (more only costs a rehash).
  explicit FoldedKeySet(std::size_t expected) : slots_(std::bit_ceil(expected * 2 + 16)) {}

  static std::uint64_t Hash(std::u16string_view key) {
    return std::hash<std::u16string_view>{}(key);
  }
  // Starts loading the slot where key's lookup begins: a large table's
  // lookups are cache misses, and several of them in flight overlap.
  void Prefetch(std::uint64_t hash) const {
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }

  // Adds key (whose Hash is hash); false when it was there already.
  bool Insert(std::u16string_view key, std::uint64_t hash) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Slot& slot = slots_[Find(key, hash)];
    if (slot.length != kEmpty) return false;
    slot = Slot{hash, static_cast<std::uint32_t>(units_.size()),
                static_cast<std::uint32_t>(key.size())};
    units_.append(key);
    ++count_;
    return true;
  }

  bool Contains(std::u16string_view key, std::uint64_t hash) const {
    return slots_[Find(key, hash)].length != kEmpty;
  }

  // Every key added, one after the other in the order they came.
  std::u16string_view Units() const { return units_; }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = kEmpty;
  };

  // The slot that holds key, or the empty one where it would go.
  std::size_t Find(std::u16string_view key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
      const Slot& slot = slots_[index];
      if (slot.length == kEmpty) return index;
      if (slot.hash == hash &&
          std::u16string_view(units_).substr(slot.offset, slot.length) == key) {
        return index;
      }
    }
  }

  void Grow() {
    std::vector<Slot> slots(slots_.size() * 2);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : slots_) {
      if (slot.length == kEmpty) continue;
      std::size_t index = slot.hash & mask;
      while (slots[index].length != kEmpty) index = (index + 1) & mask;
      slots[index] = slot;
    }
    slots_ = std::move(slots);
  }

  std::vector<Slot> slots_;
  std::u16string units_;
  std::size_t count_ = 0;
};

struct CollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};

// Secondary strength: base letters and accents count, letter case does not.
std::unique_ptr<UCollator, CollatorCloser> OpenCaseBlindCollator(const std::string& locale) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(locale.c_str(), &status);
  if (U_FAILURE(status) || collator == nullptr) {
    status = U_ZERO_ERROR;
    collator = ucol_open("", &status);
  }
  if (U_FAILURE(status) || collator == nullptr) return nullptr;
  ucol_setStrength(collator, UCOL_SECONDARY);
  return std::unique_ptr<UCollator, CollatorCloser>(collator);
}

// Appends the collation sort key of text (without its final NUL) to keys.
void AppendSortKey(const UCollator* collator, std::u16string_view text, std::string& keys) {
  const std::size_t at = keys.size();
  std::size_t room = text.size() * 4 + 16;
  for (;;) {
    keys.resize(at + room);
    const int32_t length =
        ucol_getSortKey(collator, text.data(), static_cast<int32_t>(text.size()),
                        reinterpret_cast<uint8_t*>(keys.data() + at), static_cast<int32_t>(room));
    if (static_cast<std::size_t>(length) <= room) {
      keys.resize(at + static_cast<std::size_t>(std::max(length, 1)) - 1);
      return;
    }
    room = static_cast<std::size_t>(length);
  }
}

// The keywords in collation order, ties (keywords the collation finds
// equal: width or kana variants) broken by their bytes.
std::vector<std::size_t> CollationOrder(const std::vector<std::string>& keywords,
                                        const std::string& locale) {
  const auto collator = OpenCaseBlindCollator(locale);
  // Sort keys of keywords [first, last) into keys, with where each starts.
  const auto make_keys = [&](const UCollator* with, std::size_t first, std::size_t last,
                             std::string& keys, std::vector<std::size_t>& starts) {
    // One buffer for every keyword's characters, not a string each.
    std::u16string text;
    for (std::size_t i = first; i < last; ++i) {
      starts.push_back(keys.size());
      if (with == nullptr) continue;
      const std::string_view bytes = keywords[i];
      text.clear();
      for (std::size_t pos = 0, length = 1; pos < bytes.size(); pos += length) {
        text.push_back(DecodeSjisChar(bytes, pos, &length));
      }
      AppendSortKey(with, text, keys);
    }
    starts.push_back(keys.size());
  };
  // Two halves, each in its own array; the second half on a thread of its
  // own with a collator of its own (a collator serves one thread).
  const std::size_t half = keywords.size() / 2;
  std::string keys[2];
  std::vector<std::size_t> starts[2];
  bool parallel = collator != nullptr && keywords.size() >= internal::kParallelSortLines &&
                  std::thread::hardware_concurrency() >= 2;
  std::unique_ptr<UCollator, CollatorCloser> clone;
  if (parallel) {
    UErrorCode status = U_ZERO_ERROR;
    clone.reset(ucol_clone(collator.get(), &status));
    parallel = U_SUCCESS(status) && clone != nullptr;
  }
  if (parallel) {
    std::thread second([&] { make_keys(clone.get(), half, keywords.size(), keys[1], starts[1]); });
    make_keys(collator.get(), 0, half, keys[0], starts[0]);
    second.join();
  } else {
    make_keys(collator.get(), 0, half, keys[0], starts[0]);
    make_keys(collator.get(), half, keywords.size(), keys[1], starts[1]);
  }

  std::vector<internal::KeyedLine> keyed(keywords.size());
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    const int part = i < half ? 0 : 1;
    const std::size_t k = i < half ? i : i - half;
    const char* key = keys[part].data() + starts[part][k];
    const std::size_t size = starts[part][k + 1] - starts[part][k];
    keyed[i] = internal::KeyedLine{internal::LinePrefix(key, size), key,
                                   static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(i)};
  }
  internal::SortKeyedLines(keyed, true,
                           [&](const internal::KeyedLine& a, const internal::KeyedLine& b) {
                             return keywords[a.index] < keywords[b.index];
                           });
  std::vector<std::size_t> order(keyed.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].index;
  return order;
}

// The distinct keywords of some lines, in the order met (the first
// spelling met stands), with the hashes and lengths of their folded keys.
struct DistinctKeywords {
  // lines: how many lines will be walked; each may bring a keyword of its
  // own, and a table sized for that at once is never rehashed.
  explicit DistinctKeywords(std::size_t lines) : seen(lines) {}

  // Walks lines [first, last), none of them an end marker.
  void Collect(const std::vector<std::string_view>& lines, std::size_t first, std::size_t last) {
    // Keywords go in batches: the batch's slots are fetched before the
    // first lookup, then looked up in the lines' order.
    constexpr std::size_t kBatch = 16;
    struct Pending {
      std::string keyword;
      std::u16string folded;
      std::uint64_t hash = 0;
    };
    std::vector<Pending> batch(kBatch);
    std::size_t pending = 0;
    const auto insert_batch = [&] {
      for (std::size_t i = 0; i < pending; ++i) seen.Prefetch(batch[i].hash);
      for (std::size_t i = 0; i < pending; ++i) {
        if (seen.Insert(batch[i].folded, batch[i].hash)) {
          keywords.push_back(std::move(batch[i].keyword));
          hashes.push_back(batch[i].hash);
          folded_lengths.push_back(batch[i].folded.size());
        }
      }
      pending = 0;
    };
    for (std::size_t i = first; i < last; ++i) {
      std::optional<std::string> keyword = FirstField(lines[i]);
      if (!keyword) continue;
      Pending& next = batch[pending++];
      next.folded = CaseFoldedKey(*keyword);
      next.hash = FoldedKeySet::Hash(next.folded);
      next.keyword = std::move(*keyword);
      if (pending == kBatch) insert_batch();
    }
    insert_batch();
  }

  FoldedKeySet seen;
  std::vector<std::string> keywords;
  std::vector<std::uint64_t> hashes;
  std::vector<std::size_t> folded_lengths;
};

std::vector<std::string> SortedKeywords(std::vector<std::string> keywords,
                                        const std::string& collation_locale) {
  // Sizes and indices of the sort's records are 32 bits.
  if (keywords.size() >= UINT32_MAX) throw std::length_error("KeywordList: too many keywords");
  const std::vector<std::size_t> order = CollationOrder(keywords, collation_locale);
  std::vector<std::string> sorted;
  sorted.reserve(keywords.size());
  for (std::size_t index : order) sorted.push_back(std::move(keywords[index]));
  return sorted;
}

}  // namespace

std::string FileNameLabel(DataType type, std::string_view file_name) {
  const std::size_t slash = file_name.find_last_of('/');
  const std::string_view base =
      slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
  return DataTypeName(type) + " " + std::string(base);
}

LineCounts CountLines(const std::vector<std::string_view>& lines, int field_count) {
  LineCounts counts;
  counts.total = lines.size();
  for (std::string_view line : lines) {
    if (IsEndMarkerLine(line)) {  // a marker always has a field
      ++counts.valid;
      break;
    }
    if (IsValidRecord(line, field_count)) ++counts.valid;
  }
  return counts;
}

std::string LineCountsLabel(const LineCounts& counts) {
  return "全 " + std::to_string(counts.total) + "行; 有効 " + std::to_string(counts.valid) +
         "行, 無効 " + std::to_string(counts.total - counts.valid) + "行";
}

std::vector<std::string> InvalidLineListing(const std::vector<std::string_view>& lines,
                                            int field_count) {
  std::vector<std::string> listing;
  bool after_end = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (!after_end && IsEndMarkerLine(line)) {
      after_end = true;
      continue;
    }
    if (after_end || !IsValidRecord(line, field_count)) {
      listing.push_back("Line" + std::to_string(i + 1) + " " + std::string(line));
    }
  }
  return listing;
}

std::vector<std::string> KeywordList(const std::vector<std::string_view>& lines,
                                     const std::string& collation_locale) {
  // The walk ends at the end marker (which always has a field).
  std::size_t end = 0;
  while (end < lines.size() && !IsEndMarkerLine(lines[end])) ++end;
  // A large document is walked in two halves on two threads; the second
  // half's keywords then count only where the first half has none equal.
  if (end < internal::kParallelSortLines || std::thread::hardware_concurrency() < 2) {
    DistinctKeywords all(end);
    all.Collect(lines, 0, end);
    return SortedKeywords(std::move(all.keywords), collation_locale);
  }
  const std::size_t half = end / 2;
  DistinctKeywords first(half);
  DistinctKeywords second(end - half);
  std::thread second_half([&] { second.Collect(lines, half, end); });
  first.Collect(lines, 0, half);
  second_half.join();
  const std::u16string_view units = second.seen.Units();
  std::size_t offset = 0;
  for (std::size_t i = 0; i < second.keywords.size(); ++i) {
    if (i % 16 == 0) {
      for (std::size_t j = i; j < std::min(i + 16, second.keywords.size()); ++j) {
        first.seen.Prefetch(second.hashes[j]);
      }
    }
    const std::u16string_view folded = units.substr(offset, second.folded_lengths[i]);
    offset += folded.size();
    if (!first.seen.Contains(folded, second.hashes[i])) {
      first.keywords.push_back(std::move(second.keywords[i]));
    }
  }
  return SortedKeywords(std::move(first.keywords), collation_locale);
}

std::string UserCollationLocale() {
  const char* value = nullptr;
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* setting = std::getenv(name);
    if (setting != nullptr && *setting != '\0') {
      value = setting;
      break;
    }
  }
  if (value == nullptr) return "";
  std::string locale(value);
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale.empty() || locale == "C" || locale == "POSIX") return "";
  return locale;
}

std::string PathToSjis(std::string_view path) {
  // File names are bytes in the locale's code set; a name that does not
  // convert is shown as UTF-8, its stray bytes as U+FFFD ('?').
  const std::string& code_set = LocaleCodeSet();
  if (code_set != "UTF-8") {
    try {
      return Utf8ToSjis(ConvertText(path, code_set.c_str(), "UTF-8"));
    } catch (const ESavraError&) {
    }
  }
  return Utf8ToSjis(path);
}

}  // namespace morvik

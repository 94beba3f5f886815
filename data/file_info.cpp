// Line counts, listings and the keyword list. The keyword list is built in
// O(n log n): a hash set of case-folded keywords removes duplicates, and
// ICU sort keys (made on two threads) make each comparison of the sort a
// byte comparison, mostly of eight-byte numbers.
#include "data/file_info.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

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
#include "data/sjis_codec.h"
#include "data/sort_line_range.h"
#include "data/sv_utils.h"

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
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
      Slot& slot = slots_[index];
      if (slot.length == kEmpty) {
        slot = Slot{hash, static_cast<std::uint32_t>(units_.size()),
                    static_cast<std::uint32_t>(key.size())};
        units_.append(key);
        ++count_;
        return true;
      }
      if (slot.hash == hash &&
          std::u16string_view(units_).substr(slot.offset, slot.length) == key) {
        return false;
      }
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = kEmpty;
  };

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
    for (std::size_t i = first; i < last; ++i) {
      starts.push_back(keys.size());
      if (with != nullptr) AppendSortKey(with, DecodeSjis(keywords[i]), keys);
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
  std::vector<std::string> keywords;
  // Every line may bring a keyword of its own: sizing the table for that
  // at once spares the rehashing of a table that grows a million entries.
  FoldedKeySet seen(lines.size());
  // Keywords go in batches: the batch's slots are fetched before the first
  // lookup, then looked up in the lines' order (the first spelling met
  // stays).
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
      }
    }
    pending = 0;
  };
  for (std::string_view line : lines) {
    std::optional<std::string> keyword = FirstField(line);
    if (!keyword) continue;
    if (IsEndMarkerLine(line)) break;
    Pending& next = batch[pending++];
    next.folded = CaseFoldedKey(*keyword);
    next.hash = FoldedKeySet::Hash(next.folded);
    next.keyword = std::move(*keyword);
    if (pending == kBatch) insert_batch();
  }
  insert_batch();
  // Sizes and indices of the sort's records are 32 bits.
  if (keywords.size() >= UINT32_MAX) throw std::length_error("KeywordList: too many keywords");
  const std::vector<std::size_t> order = CollationOrder(keywords, collation_locale);
  std::vector<std::string> sorted;
  sorted.reserve(keywords.size());
  for (std::size_t index : order) sorted.push_back(std::move(keywords[index]));
  return sorted;
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

std::string PathToSjis(std::string_view utf8_path) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  std::u16string text(utf8_path.size(), u'\0');
  // U+FFFD stands for bytes that are not UTF-8.
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, utf8_path.data(),
                       static_cast<int32_t>(utf8_path.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return std::string(utf8_path);
  text.resize(static_cast<std::size_t>(length));
  return EncodeSjis(text);
}

}  // namespace morvik

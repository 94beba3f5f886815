// Line counts, listings and the keyword list. The keyword list is built in
// O(n log n): a hash set of case-folded keywords removes duplicates, and
// ICU sort keys make each comparison of the sort a byte comparison.
#include "data/file_info.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>

#include "data/line_equality.h"
#include "data/line_sort.h"
#include "data/record_lines.h"
#include "data/sjis_codec.h"
#include "data/text_encoding.h"

namespace morvik {
namespace {

// The distinct byte strings met so far, in a flat open-addressing table:
// the keyword list looks up every line's keyword, and the lookups are bound
// by memory latency. A short key is kept in its slot beside its hash, so a
// lookup reads one place; a node per entry (std::unordered_set) would cost
// an allocation and two or three cache misses.
class ExactKeySet {
 public:
  ExactKeySet() : slots_(1024) {}

  // Adds key; false when it was there already.
  bool Insert(std::string_view key) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::uint64_t hash = Hash(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
      Slot& slot = slots_[index];
      if (!slot.used) {
        Fill(slot, hash, key);
        ++count_;
        return true;
      }
      if (slot.hash == hash && KeyOf(slot) == key) return false;
    }
  }

 private:
  static constexpr std::size_t kInlineBytes = 22;
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t long_key = 0;  // index into long_keys_ when length > kInlineBytes
    std::uint8_t used = 0;
    std::uint8_t length = 0;  // of an inline key
    char bytes[kInlineBytes] = {};
  };

  static std::uint64_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }

  std::string_view KeyOf(const Slot& slot) const {
    if (slot.long_key == 0) {
      return std::string_view(slot.bytes, slot.length);
    }
    return long_keys_[slot.long_key - 1];
  }

  void Fill(Slot& slot, std::uint64_t hash, std::string_view key) {
    slot.used = 1;
    slot.hash = hash;
    if (key.size() <= kInlineBytes) {
      slot.length = static_cast<std::uint8_t>(key.size());
      std::copy(key.begin(), key.end(), slot.bytes);
    } else {
      long_keys_.emplace_back(key);
      slot.long_key = static_cast<std::uint32_t>(long_keys_.size());
    }
  }

  void Grow() {
    std::vector<Slot> slots(slots_.size() * 2);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : slots_) {
      if (!slot.used) continue;
      std::size_t index = slot.hash & mask;
      while (slots[index].used) index = (index + 1) & mask;
      slots[index] = slot;
    }
    slots_ = std::move(slots);
  }

  std::vector<Slot> slots_;
  std::vector<std::string> long_keys_;
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

std::string SortKey(const UCollator* collator, std::u16string_view text) {
  std::string key(text.size() * 4 + 16, '\0');
  auto fill = [&] {
    return ucol_getSortKey(collator, text.data(), static_cast<int32_t>(text.size()),
                           reinterpret_cast<uint8_t*>(key.data()),
                           static_cast<int32_t>(key.size()));
  };
  int32_t length = fill();
  if (static_cast<std::size_t>(length) > key.size()) {
    key.resize(static_cast<std::size_t>(length));
    length = fill();
  }
  key.resize(static_cast<std::size_t>(std::max(length, 1)) - 1);  // drop the final NUL
  return key;
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
  // Most lines repeat a keyword byte for byte; only a keyword not met in
  // these very bytes before needs the costlier case-folded test.
  std::vector<std::string> keywords;
  ExactKeySet exact_seen;
  CaseInsensitiveLineSet seen;
  for (std::string_view line : lines) {
    std::optional<std::string> keyword = FirstField(line);
    if (!keyword) continue;
    if (IsEndMarkerLine(line)) break;
    if (!exact_seen.Insert(*keyword)) continue;
    if (seen.Insert(*keyword)) keywords.push_back(std::move(*keyword));
  }

  const auto collator = OpenCaseBlindCollator(collation_locale);
  std::vector<std::string> sort_keys(keywords.size());
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    const std::u16string text = DecodeSjis(keywords[i]);
    sort_keys[i] = collator ? SortKey(collator.get(), text) : std::string();
  }
  std::vector<std::size_t> order(keywords.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Keywords the collation finds equal (width or kana variants) keep a
  // fixed order: by their bytes.
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (sort_keys[a] != sort_keys[b]) return sort_keys[a] < sort_keys[b];
    return keywords[a] < keywords[b];
  });
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

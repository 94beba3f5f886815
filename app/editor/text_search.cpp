// Case-insensitive search on character boundaries of Shift_JIS bytes.
#include "app/editor/text_search.h"

#include <vector>

#include "data/sjis_codec.h"

namespace morvik {
namespace {

char FoldAsciiByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The folded text and, for each offset 0..size, whether a character starts
// there (size itself counts as a boundary).
struct FoldedText {
  std::string bytes;
  std::vector<bool> starts;
};

FoldedText Fold(std::string_view text) {
  FoldedText folded{std::string(text), std::vector<bool>(text.size() + 1, false)};
  std::size_t pos = 0;
  while (pos < text.size()) {
    folded.starts[pos] = true;
    const std::size_t length = SjisCharLength(text, pos);
    if (length == 1) folded.bytes[pos] = FoldAsciiByte(text[pos]);
    pos += length;
  }
  folded.starts[text.size()] = true;
  return folded;
}

}  // namespace

std::string FoldAsciiCase(std::string_view sjis) {
  return Fold(sjis).bytes;
}

CaseInsensitiveSearch::CaseInsensitiveSearch(std::string_view key_sjis)
    : key_(FoldAsciiCase(key_sjis)) {}

// Calls on_match(offset) for each occurrence left to right, the next search
// starting after the previous occurrence; on_match returns false to stop.
template <typename OnMatch>
void CaseInsensitiveSearch::ForEachMatch(std::string_view text, OnMatch on_match) const {
  if (key_.empty() || text.size() < key_.size()) return;
  const FoldedText folded = Fold(text);
  std::size_t from = 0;
  while (from + key_.size() <= text.size()) {
    const std::size_t hit = folded.bytes.find(key_, from);
    if (hit == std::string::npos) return;
    if (folded.starts[hit] && folded.starts[hit + key_.size()]) {
      if (!on_match(hit)) return;
      from = hit + key_.size();
    } else {
      from = hit + 1;
    }
  }
}

std::optional<std::size_t> CaseInsensitiveSearch::FindIn(std::string_view text) const {
  std::optional<std::size_t> found;
  ForEachMatch(text, [&](std::size_t offset) {
    found = offset;
    return false;
  });
  return found;
}

std::string CaseInsensitiveSearch::ReplaceAll(std::string_view text,
                                              std::string_view replacement) const {
  std::string result;
  std::size_t copied = 0;
  ForEachMatch(text, [&](std::size_t offset) {
    if (result.empty()) result.reserve(text.size());
    result.append(text, copied, offset - copied);
    result.append(replacement);
    copied = offset + key_.size();
    return true;
  });
  if (copied == 0 && result.empty()) return std::string(text);
  result.append(text, copied);
  return result;
}

}  // namespace morvik

// Case-insensitive search on character boundaries of Shift_JIS bytes.
//
// The text is walked character by character and compared with the folded
// key as it goes, so that no folded copy of a line or of a whole document
// is made.
#include "app/editor/text_search.h"

#include "data/sjis_codec.h"

namespace morvik {
namespace {

char FoldAsciiByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string FoldAsciiCase(std::string_view sjis) {
  std::string folded(sjis);
  std::size_t pos = 0;
  while (pos < sjis.size()) {
    const std::size_t length = SjisCharLength(sjis, pos);
    if (length == 1) folded[pos] = FoldAsciiByte(sjis[pos]);
    pos += length;
  }
  return folded;
}

CaseInsensitiveSearch::CaseInsensitiveSearch(std::string_view key_sjis)
    : key_(FoldAsciiCase(key_sjis)) {}

bool CaseInsensitiveSearch::MatchesAt(std::string_view text, std::size_t pos) const {
  if (text.size() - pos < key_.size()) return false;
  std::size_t matched = 0;
  while (matched < key_.size()) {
    const std::size_t at = pos + matched;
    const std::size_t length = SjisCharLength(text, at);
    if (length == 1) {
      if (FoldAsciiByte(text[at]) != key_[matched]) return false;
    } else if (matched + length > key_.size() || text[at] != key_[matched] ||
               text[at + 1] != key_[matched + 1]) {
      // A character that the key would end inside cannot match.
      return false;
    }
    matched += length;
  }
  return true;
}

std::optional<std::size_t> CaseInsensitiveSearch::FindIn(std::string_view text) const {
  if (key_.empty()) return std::nullopt;
  for (std::size_t pos = 0; pos + key_.size() <= text.size(); pos += SjisCharLength(text, pos)) {
    if (MatchesAt(text, pos)) return pos;
  }
  return std::nullopt;
}

std::string CaseInsensitiveSearch::ReplaceAll(std::string_view text,
                                              std::string_view replacement) const {
  if (key_.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  std::size_t pos = 0;
  while (pos + key_.size() <= text.size()) {
    if (MatchesAt(text, pos)) {
      result.append(text, copied, pos - copied);
      result.append(replacement);
      pos += key_.size();
      copied = pos;
    } else {
      pos += SjisCharLength(text, pos);
    }
  }
  result.append(text, copied);
  return result;
}

}  // namespace morvik

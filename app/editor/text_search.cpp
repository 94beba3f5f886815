// Case-insensitive search on character boundaries of Shift_JIS bytes.
//
// Candidates come from the engine's literal scan, with every letter byte
// taken in either case; character boundaries are worked out only there, and
// the key is compared character by character, so that no folded copy of a
// line or of a whole document is made.
#include "app/editor/text_search.h"

#include <algorithm>

#include "data/sjis_codec.h"
#include "regex/byte_searcher.h"

namespace morvik {
namespace {

char FoldAsciiByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAsciiByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The length of the character at pos: only a lead byte can start a pair.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsSjisLeadByte(static_cast<unsigned char>(text[pos])) ? SjisCharLength(text, pos) : 1;
}

// Below this distance walking is cheaper than looking back for a line start.
constexpr std::size_t kResyncDistance = 64;

}  // namespace

std::string FoldAsciiCase(std::string_view sjis) {
  std::string folded(sjis);
  std::size_t pos = 0;
  while (pos < sjis.size()) {
    const std::size_t length = CharLength(sjis, pos);
    if (length == 1) folded[pos] = FoldAsciiByte(sjis[pos]);
    pos += length;
  }
  return folded;
}

bool CharBoundaries::IsCharStart(std::size_t pos) {
  if (pos < boundary_) return false;  // inside the character that ends there
  if (pos - boundary_ > kResyncDistance) {
    // A line break is never part of a pair: a line starts a character.
    boundary_ += LineStartOf(text_.substr(boundary_, pos - boundary_), pos - boundary_);
  }
  while (boundary_ < pos) boundary_ += CharLength(text_, boundary_);
  return boundary_ == pos;
}

CaseInsensitiveSearch::CaseInsensitiveSearch(std::string_view key_sjis)
    : key_(FoldAsciiCase(key_sjis)) {
  // Every letter byte of the scanned literal, trail bytes included, stands
  // for both cases: the scan then passes every occurrence (and a few more,
  // such as ヂ for ア, which MatchesAt turns down).
  candidates_.bytes = key_;
  for (char& b : candidates_.bytes) b = LowerAsciiByte(b);
  candidates_.fold_case = true;
}

std::optional<std::size_t> CaseInsensitiveSearch::ScanCandidates(
    std::string_view text, std::size_t from, std::size_t to,
    const std::function<bool(std::size_t)>& found) const {
  to = std::min(to, text.size());
  if (key_.empty() || from >= to) return std::nullopt;
  // Occurrences must end by to + KeyLength() - 1: the scan stops there.
  const std::string_view scanned = text.substr(0, std::min(text.size(), to + key_.size() - 1));
  CharBoundaries boundaries(text);
  for (std::size_t pos = from;; ++pos) {
    pos = FindLiteral(scanned, pos, candidates_);
    if (pos >= to) break;
    if (boundaries.IsCharStart(pos) && found(pos)) return pos;
  }
  return std::nullopt;
}

bool CaseInsensitiveSearch::MatchesAt(std::string_view text, std::size_t pos) const {
  if (pos > text.size() || text.size() - pos < key_.size()) return false;
  std::size_t matched = 0;
  while (matched < key_.size()) {
    const std::size_t at = pos + matched;
    const std::size_t length = CharLength(text, at);
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
  return ScanCandidates(text, 0, text.size(),
                        [&](std::size_t pos) { return MatchesAt(text, pos); });
}

std::string CaseInsensitiveSearch::ReplaceAll(std::string_view text, std::string_view replacement,
                                              std::size_t* count) const {
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  std::size_t replaced = 0;
  ScanCandidates(text, 0, text.size(), [&](std::size_t pos) {
    // Candidates inside an occurrence just replaced are not searched again.
    if (pos < copied || !MatchesAt(text, pos)) return false;
    result.append(text, copied, pos - copied);
    result.append(replacement);
    copied = pos + key_.size();
    ++replaced;
    return false;
  });
  result.append(text, copied);
  if (count != nullptr) *count = replaced;
  return result;
}

}  // namespace morvik

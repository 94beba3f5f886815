// Case-insensitive search on character boundaries of Shift_JIS bytes.
//
// Candidates come from a scan for the key's first byte (in both cases when
// it is a letter); character boundaries are worked out only where the rest
// of the key follows, and the key is compared character by character there,
// so that no folded copy of a line or of a whole document is made.
#include "app/editor/text_search.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "data/sjis_codec.h"

namespace morvik {
namespace {

char FoldAsciiByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char OtherCase(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

// The length of the character at pos: only a lead byte can start a pair.
std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsSjisLeadByte(static_cast<unsigned char>(text[pos])) ? SjisCharLength(text, pos) : 1;
}

// The first position of [pos, to) holding a or b, or to: sixteen bytes at a
// time where the processor allows.
std::size_t FindEitherByte(const char* data, std::size_t pos, std::size_t to, char a, char b) {
  if (a == b) {
    const void* hit = pos < to ? std::memchr(data + pos, a, to - pos) : nullptr;
    return hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : to;
  }
#if defined(__SSE2__)
  const __m128i want_a = _mm_set1_epi8(a);
  const __m128i want_b = _mm_set1_epi8(b);
  for (; pos + 16 <= to; pos += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const int mask = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, want_a), _mm_cmpeq_epi8(bytes, want_b)));
    if (mask != 0)
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; pos < to; ++pos) {
    if (data[pos] == a || data[pos] == b) return pos;
  }
  return to;
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
    // An LF is never part of a pair: the byte after it starts a character.
    const void* lf = memrchr(text_.data() + boundary_, '\n', pos - boundary_);
    if (lf != nullptr)
      boundary_ = static_cast<std::size_t>(static_cast<const char*>(lf) - text_.data()) + 1;
  }
  while (boundary_ < pos) boundary_ += CharLength(text_, boundary_);
  return boundary_ == pos;
}

CaseInsensitiveSearch::CaseInsensitiveSearch(std::string_view key_sjis)
    : key_(FoldAsciiCase(key_sjis)) {
  if (!key_.empty()) {
    first_ = key_[0];
    // Only a single-byte letter was folded; a lead byte compares exactly.
    first_other_case_ = CharLength(key_, 0) == 1 ? OtherCase(first_) : first_;
  }
}

std::optional<std::size_t> CaseInsensitiveSearch::ScanCandidates(
    std::string_view text, std::size_t from, std::size_t to,
    const std::function<bool(std::size_t)>& found) const {
  to = std::min(to, text.size());
  if (key_.empty() || from >= to) return std::nullopt;
  CharBoundaries boundaries(text);
  for (std::size_t pos = from;; ++pos) {
    pos = FindEitherByte(text.data(), pos, to, first_, first_other_case_);
    if (pos >= to) break;
    // Compared with every byte's letters folded first, which any occurrence
    // passes, so that boundaries are worked out only where one is likely.
    if (text.size() - pos < key_.size()) continue;
    bool likely = true;
    for (std::size_t i = 1; likely && i < key_.size(); ++i)
      likely = FoldAsciiByte(text[pos + i]) == FoldAsciiByte(key_[i]);
    if (likely && boundaries.IsCharStart(pos) && found(pos)) return pos;
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

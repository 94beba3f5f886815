// The literal every match of an automaton must contain, and a fast search for
// it, so that a searcher can skip text that cannot match and run the
// automaton only on the lines around a hit.
#ifndef MORVIK_REGEX_LITERAL_SCAN_H_
#define MORVIK_REGEX_LITERAL_SCAN_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/char_codes.h"
#include "regex/dfa_table.h"

namespace morvik {

struct RequiredLiteral {
  // The bytes every match starts with; empty when there is no such literal.
  // With fold_case its ASCII letters are lower case and stand for either case.
  std::string bytes;
  bool fold_case = false;
};

// The longest chain of single characters (or of one ASCII letter in both
// cases) that every match of table begins with. Characters that cannot stand
// as plain bytes in a line (line breaks, a pair with a trail byte of 0) end
// the chain.
RequiredLiteral FindRequiredLiteral(const TbmREDFATable& table, TbmIsLeadByteFunc is_lead_byte);

// The offset of the first occurrence of literal in text at or after from, or
// text.size() when there is none. Hits may fall inside a double-byte
// character: the caller confirms them.
std::size_t FindLiteral(std::string_view text, std::size_t from, const RequiredLiteral& literal);

// The set of byte strings of one length (3 to 8) that every match starts
// with, for patterns such as a list of words that share no literal: a
// window of the text whose hash is not in the set starts no match.
class PrefixFilter {
 public:
  // Empty (Length() == 0) when the matches have no such set: a match could
  // be shorter, start with "^", or the set would be too large. With
  // lone_leads, a lead byte may stand alone as a character of its value,
  // which leaves the set unknown when a match may hold one.
  PrefixFilter(const TbmREDFATable& table, TbmIsLeadByteFunc is_lead_byte, bool lone_leads = false);

  int Length() const { return length_; }
  // The first offset at or after from whose window may start a match, or
  // text.size().
  std::size_t FindCandidate(std::string_view text, std::size_t from) const;

 private:
  static std::uint64_t Hash(std::uint64_t window) {
    return (window * 0x9E3779B97F4A7C15ull) >> (64 - kHashBits);
  }
  bool MayStart(std::uint64_t window) const {
    const std::uint64_t hash = Hash(window);
    return (bits_[hash >> 6] >> (hash & 63)) & 1;
  }

  // 256 KB of bits: a few thousand prefixes leave most windows out.
  static constexpr int kHashBits = 21;
  int length_ = 0;
  std::uint64_t mask_ = 0;
  std::vector<std::uint64_t> bits_;
};

}  // namespace morvik

#endif  // MORVIK_REGEX_LITERAL_SCAN_H_

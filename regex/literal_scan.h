// The literal every match of an automaton must contain, and a fast search for
// it, so that a searcher can skip text that cannot match and run the
// automaton only on the lines around a hit.
#ifndef MORVIK_REGEX_LITERAL_SCAN_H_
#define MORVIK_REGEX_LITERAL_SCAN_H_

#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace morvik

#endif  // MORVIK_REGEX_LITERAL_SCAN_H_

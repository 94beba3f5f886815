// Matching a line against a DFA table.
//
// A line contains a match when for some i <= j the automaton accepts the
// character values i..j-1, optionally preceded by the line-head
// pseudo-character -2 (only when i is the start of the line) and optionally
// followed by the line-tail pseudo-character -3 (only when j is its end).
//
// The matcher runs every start position at once: it keeps the set of states
// reached from all starts so far, which never holds more states than the
// table, so a line costs at most its length times the number of states.
#ifndef MORVIK_REGEX_LINE_MATCHER_H_
#define MORVIK_REGEX_LINE_MATCHER_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "regex/dfa_table.h"
#include "regex/readers.h"

namespace morvik {

class DfaLineMatcher {
 public:
  // table must outlive the matcher and stay unchanged while it is used.
  explicit DfaLineMatcher(const TbmREDFATable& table);

  // Whether the line of character values contains a match.
  bool Contains(const std::vector<int>& line);
  // Whether the whole line is accepted (i = 0, j = its end).
  bool AcceptsWhole(const std::vector<int>& line) const;

 private:
  void Activate(int state, std::vector<int>& into);

  const TbmREDFATable& table_;
  std::vector<std::uint32_t> stamp_;
  std::uint32_t generation_ = 0;
  std::vector<int> active_;
  std::vector<int> next_;
};

// The character values of a text in code, read with that code's reader, up
// to the end of the text. Code 4 (JIS) has no reader and raises RegexError.
std::vector<int> ReadCharacterValues(TbmCharCode code, std::string_view text);

}  // namespace morvik

#endif  // MORVIK_REGEX_LINE_MATCHER_H_

// Finding matches of a pattern of the regular-expression engine in Shift_JIS
// lines, for the find and replace commands.
//
// The pattern is compiled in Shift JIS with letters compared without regard
// to case. It is matched within lines: `^` and `$` hold at a line's start and
// end; a match is the leftmost, then the longest, and never empty; it starts
// and ends on character boundaries.
//
// Blocks are scanned by a lazily built automaton over classes of characters
// that runs every start position at once, one table step per character;
// only a line in which it sees a match end is looked at again to find where
// the match starts and how far it reaches.
#ifndef MORVIK_APP_EDITOR_PATTERN_SEARCH_H_
#define MORVIK_APP_EDITOR_PATTERN_SEARCH_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "app/editor/document_search.h"

namespace morvik {

class PatternMatcher : public LineBlockMatcher {
 public:
  // Compiles pattern_sjis. Throws EbmREToken for an error in the pattern and
  // RegexError for a pattern the engine cannot compile (too large).
  explicit PatternMatcher(std::string_view pattern_sjis);
  ~PatternMatcher() override;
  PatternMatcher(const PatternMatcher&) = delete;
  PatternMatcher& operator=(const PatternMatcher&) = delete;

  std::optional<TextHit> First(std::string_view block, std::size_t from) const override;
  std::optional<TextHit> Last(std::string_view block, std::size_t limit) const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_PATTERN_SEARCH_H_

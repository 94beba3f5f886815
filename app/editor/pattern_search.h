// Finding matches of a pattern of the regular-expression engine in Shift_JIS
// lines, for the find and replace commands.
//
// The pattern is compiled in Shift JIS with letters compared without regard
// to case, and matched by the engine's byte searcher: within lines, `^` and
// `$` holding at a line's start and end; a match is the leftmost, then the
// longest, and never empty. Matches start and end where the editor's
// characters do, also next to bytes that form no character of the code page.
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

  // The first match Find Next steps to from `from`.
  std::optional<TextHit> First(std::string_view block, std::size_t from) const override;
  // The last of the matches Find Next steps through that ends by limit.
  std::optional<TextHit> Last(std::string_view block, std::size_t limit) const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_PATTERN_SEARCH_H_

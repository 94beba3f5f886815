// Finding text in Shift_JIS bytes the way the find and replace commands do:
// single-byte ASCII letters compare without regard to case, and an
// occurrence starts and ends on character boundaries.
//
// Only single-byte letters are folded. The trail bytes of double-byte
// characters (0x40..0xFC) include the codes of ASCII letters, so folding
// byte by byte would make, for instance, ア (83 41) equal ヂ (83 61); and a
// match that began on a trail byte would cut a character in two.
#ifndef MORVIK_APP_EDITOR_TEXT_SEARCH_H_
#define MORVIK_APP_EDITOR_TEXT_SEARCH_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace morvik {

// Upper-cases the single-byte letters a..z of sjis; double-byte characters
// and invalid bytes stay as they are. The length never changes.
std::string FoldAsciiCase(std::string_view sjis);

// A find text, folded once, searched for in many lines.
class CaseInsensitiveSearch {
 public:
  explicit CaseInsensitiveSearch(std::string_view key_sjis);

  bool Empty() const { return key_.empty(); }
  std::size_t KeyLength() const { return key_.size(); }

  // The byte offset of the first occurrence in text, if any. An empty key
  // has no occurrence. Allocates nothing, so that it can run on each of a
  // million lines.
  std::optional<std::size_t> FindIn(std::string_view text) const;

  // text with every occurrence, left to right, replaced by replacement;
  // replaced text is not searched again. An empty key changes nothing.
  std::string ReplaceAll(std::string_view text, std::string_view replacement) const;

 private:
  // True when the key occurs at pos, a character start of text, and ends
  // on a character boundary.
  bool MatchesAt(std::string_view text, std::size_t pos) const;

  std::string key_;  // folded
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_TEXT_SEARCH_H_

// Finding text in Shift_JIS bytes the way the find and replace commands do:
// single-byte ASCII letters compare without regard to case, and an
// occurrence starts and ends on character boundaries.
//
// Only single-byte letters are folded. The trail bytes of double-byte
// characters (0x40..0xFC) include the codes of ASCII letters, so folding
// byte by byte would make, for instance, ア (83 41) equal ヂ (83 61); and a
// match that began on a trail byte would cut a character in two.
//
// The search runs over whole buffers: a scan finds the bytes the key can
// start with, and only there are character boundaries worked out, walking
// from the nearest line start (a CR or LF byte is never part of a
// double-byte character, so a line start is always a boundary).
#ifndef MORVIK_APP_EDITOR_TEXT_SEARCH_H_
#define MORVIK_APP_EDITOR_TEXT_SEARCH_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "regex/literal_scan.h"

namespace morvik {

// Upper-cases the single-byte letters a..z of sjis; double-byte characters
// and invalid bytes stay as they are. The length never changes.
std::string FoldAsciiCase(std::string_view sjis);

// Tells which positions of a text start a character. The text must begin on
// a character boundary, and the positions asked must not decrease; each
// answer walks only from the previous one or from the line start before the
// position, whichever is nearer.
class CharBoundaries {
 public:
  explicit CharBoundaries(std::string_view text) : text_(text) {}
  bool IsCharStart(std::size_t pos);

 private:
  std::string_view text_;
  std::size_t boundary_ = 0;  // a character start, and none lies in (asked, boundary_)
};

// A find text, folded once, searched for in many texts.
class CaseInsensitiveSearch {
 public:
  explicit CaseInsensitiveSearch(std::string_view key_sjis);

  bool Empty() const { return key_.empty(); }
  std::size_t KeyLength() const { return key_.size(); }

  // Calls found(pos) for each character start pos in [from, to) of text
  // (which begins on a character boundary) where the key may occur within
  // text, in order, until found returns true; returns that pos. found must
  // still check with MatchesAt. An empty key has no candidates.
  std::optional<std::size_t> ScanCandidates(std::string_view text, std::size_t from, std::size_t to,
                                            const std::function<bool(std::size_t)>& found) const;

  // True when the key occurs at pos, a character start of text, and ends on
  // a character boundary. Reads at most KeyLength() + 1 bytes from pos.
  bool MatchesAt(std::string_view text, std::size_t pos) const;

  // The byte offset of the first occurrence in text, if any.
  std::optional<std::size_t> FindIn(std::string_view text) const;

  // text with every occurrence, left to right, replaced by replacement;
  // replaced text is not searched again. An empty key changes nothing.
  // *count, when given, receives the number of occurrences replaced.
  std::string ReplaceAll(std::string_view text, std::string_view replacement,
                         std::size_t* count = nullptr) const;

 private:
  std::string key_;             // folded
  RequiredLiteral candidates_;  // what the scan looks for
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_TEXT_SEARCH_H_

// ByteSearcher: the engine's fast matcher. It runs a DFA table over the raw
// bytes of a text in a byte-oriented code (Shift JIS, Japanese EUC, Western)
// without decoding it into character values.
//
// A text is a sequence of lines that end at CR LF, a lone CR or a lone LF; a
// break at the very end starts no further line. Within a line, characters are
// read as the code's reader reads them: a lead byte takes the next byte of
// the line as its trail byte, or a trail byte of 0 at the end of the line.
// A searcher given a pair rule reads as an editor shows the bytes instead: a
// lead byte pairs only with a byte the rule accepts, and otherwise stands
// alone as a character whose value is the byte. "^" matches at the start of
// a line and "$" at its end only.
//
// Underneath is a search automaton built lazily from the table: its states
// are the sets of table states reachable from every character boundary of
// the line so far, plus a pending lead byte; its input are classes of bytes
// that every transition of the table treats alike. When every match must
// start with a literal, the searcher finds the literal first (or, for a set
// of words, a window whose hash starts one of them) and runs the automaton
// only over the lines that hold it, starting each line at its beginning, so
// that no trail byte ever starts a match.
#ifndef MORVIK_REGEX_BYTE_SEARCHER_H_
#define MORVIK_REGEX_BYTE_SEARCHER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "regex/char_codes.h"
#include "regex/dfa_table.h"
#include "regex/literal_scan.h"

namespace morvik {

struct ByteSpan {
  std::size_t begin;
  std::size_t end;

  friend bool operator==(const ByteSpan&, const ByteSpan&) = default;
};

// Whether a lead byte and the byte after it form one character.
using TbmIsPairFunc = bool (*)(unsigned char lead, unsigned char trail);

class ByteSearcher {
 public:
  // table must outlive the searcher and stay unchanged. A code that is not
  // byte-oriented (UTF-16, JIS) raises RegexError. Without is_pair, every
  // lead byte pairs with the byte after it in its line.
  ByteSearcher(const TbmREDFATable& table, TbmCharCode code, TbmIsPairFunc is_pair = nullptr);
  ByteSearcher(const ByteSearcher&) = delete;
  ByteSearcher& operator=(const ByteSearcher&) = delete;

  // Line selection, as grep selects lines: the line holds a match, an empty
  // one included.
  bool LineContains(std::string_view line);
  // The first line that starts at or after line_start (which must be the
  // start of a line) and holds a match, without its line break.
  std::optional<ByteSpan> NextMatchingLine(std::string_view text, std::size_t line_start);

  // Matches as a find command sees them: leftmost-longest and never empty.
  // The first match that starts at or after from (a character boundary at or
  // after it) in the line holding from or in a later line.
  std::optional<ByteSpan> FindNext(std::string_view text, std::size_t from);
  // The matches of the line [line_begin, line_end) from left to right, each
  // the leftmost-longest one after the previous.
  std::vector<ByteSpan> MatchesInLine(std::string_view text, std::size_t line_begin,
                                      std::size_t line_end);
  // The last match in MatchesInLine order that ends at or before `before`,
  // in the line holding `before` or an earlier line.
  std::optional<ByteSpan> FindPrevious(std::string_view text, std::size_t before);

  const RequiredLiteral& Literal() const { return literal_; }

 private:
  // Row entries: a state's offset (state * class count), or one of these.
  static constexpr std::int32_t kUnknown = -1;
  static constexpr std::int32_t kMatch = -2;
  static constexpr std::int32_t kBreak = -3;

  struct SearchState {
    std::uint32_t set_begin;  // into set_pool_
    std::uint32_t set_size;
    int lead;          // the pending lead byte, or -1
    bool end_accepts;  // a match ends at the end of the line
  };

  void BuildByteClasses();
  void FindIdleSkips();
  void ResetAutomaton();
  // The offset of the state for (set, lead), creating it.
  std::int32_t Intern(const std::vector<int>& set, int lead);
  // The table states after character c from every state of set, plus the
  // start state; returns whether any of them accepts.
  bool Step(const int* set, std::size_t size, int c, std::vector<int>& out) const;
  // Computes the row entry of state offset for byte class klass. May start
  // the automaton afresh when it grows too large, so offsets taken before
  // may no longer be valid; the returned entry is.
  std::int32_t ComputeTransition(std::int32_t offset, int klass);
  // Runs the automaton over a line without breaks.
  bool RunLine(const unsigned char* p, const unsigned char* end);
  // The longest non-empty match starting at pos, as its end, or pos.
  std::size_t LongestAt(std::string_view text, std::size_t pos, std::size_t line_begin,
                        std::size_t line_end) const;
  int CharAt(std::string_view text, std::size_t pos, std::size_t line_end,
             std::size_t* length) const;
  std::size_t CharLength(std::string_view text, std::size_t pos, std::size_t line_end) const;

  const TbmREDFATable& table_;
  // Whether lead pairs with trail, a byte of its line.
  bool Pairs(int lead, int trail) const {
    return is_pair_ == nullptr ||
           is_pair_(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
  }
  // The value of a lead byte that takes no trail byte.
  int LoneLead(int lead) const { return is_pair_ == nullptr ? lead * 256 : lead; }

  TbmIsLeadByteFunc is_lead_byte_;
  TbmIsPairFunc is_pair_;
  RequiredLiteral literal_;
  PrefixFilter prefixes_;
  bool line_start_accepts_ = false;

  std::uint8_t class_of_byte_[256] = {};
  std::vector<int> class_first_byte_;
  int class_count_ = 0;

  std::vector<std::int32_t> rows_;
  std::vector<SearchState> states_;
  std::vector<int> set_pool_;
  std::unordered_map<std::string, std::int32_t> index_;
  std::int32_t start_ = 0;
  // The state of a line in which no match is under way, and the bytes that
  // leave it there: single-byte characters that start no match. A scan in
  // that state passes over them without stepping the automaton.
  std::int32_t idle_ = 0;
  bool idle_skips_[256] = {};
  std::vector<int> scratch_;
};

// The start of the line that holds pos, and the end of that line (the
// offset of its break, or text.size()).
std::size_t LineStartOf(std::string_view text, std::size_t pos);
std::size_t LineEndOf(std::string_view text, std::size_t pos);
// The start of the line after a line that ends at line_end.
std::size_t NextLineStart(std::string_view text, std::size_t line_end);

}  // namespace morvik

#endif  // MORVIK_REGEX_BYTE_SEARCHER_H_

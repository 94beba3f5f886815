// Case-insensitive search on Shift_JIS character boundaries, the UTF-8
// decoding of typed find texts, and searching documents from a position.
#include "app/editor/text_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "app/document/rich_edit_ex.h"
#include "app/editor/document_search.h"
#include "app/editor/pattern_search.h"
#include "data/sjis_codec.h"
#include "data/text_encoding.h"
#include "regex/engine.h"
#include "regex/line_matcher.h"

namespace morvik {
namespace {

TEST(TextSearch, FindsOnlyWholeCharactersFoldingOnlyAsciiLetters) {
  constexpr std::size_t kNone = std::string::npos;
  struct Case {
    const char* name;
    std::string text, key;
    std::size_t expected;
  };
  const Case cases[] = {
      {"case ignored both ways", "xAbC", "aBc", 1},
      {"first occurrence", "ab ab", "AB", 0},
      {"empty key", "abc", "", kNone},
      {"key longer than text", "ab", "abc", kNone},
      {"trail byte not folded (ヂ vs ア)", "\x83\x61", "\x83\x41", kNone},
      {"trail byte a-z stays as it is", "\x83\x61", "\x83\x61", 0},
      {"no start on a trail byte", "\x83\x5C\\", "\\", 2},
      {"no end inside a character", "\x83\x40", "\x83", kNone},
      {"pair across two characters", "\x83\x5C\x83\x93", "\x5C\x83", kNone},
      {"after a half-width kana",
       "\xB1"
       "a",
       "A", 1},
  };
  for (const Case& c : cases) {
    const std::optional<std::size_t> found = CaseInsensitiveSearch(c.key).FindIn(c.text);
    EXPECT_EQ(found.value_or(kNone), c.expected) << c.name;
  }
}

TEST(TextSearch, ReplaceAllGoesLeftToRightWithoutRescanning) {
  const CaseInsensitiveSearch search("ab");
  EXPECT_EQ(search.ReplaceAll("abABxaB", "abab"), "ababababxabab");
  EXPECT_EQ(search.ReplaceAll("\x83\x61"
                              "b",
                              "-"),
            "\x83\x61"
            "b");  // 61 is a trail byte
  EXPECT_EQ(search.ReplaceAll("", "-"), "");
  EXPECT_EQ(CaseInsensitiveSearch("").ReplaceAll("abc", "-"), "abc");
  EXPECT_EQ(CaseInsensitiveSearch("a").ReplaceAll("aaa", ""), "");
}

TEST(Utf8, DecodesTypedTextAndMarksMalformedBytes) {
  EXPECT_EQ(Utf8ToUtf16("aア€"), u"aア€");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b\xE3\x82"),
            u"a\uFFFDb\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  // An encoded invalid-byte unit reaches the codec as that byte.
  EXPECT_EQ(Utf8ToSjis("\xED\xB2\x81"), "\x81");
  EXPECT_EQ(Utf8ToSjis("ア"), "\x83\x41");
}

// --- Searching documents, against plain references --------------------------------

// Random Shift_JIS lines over a small alphabet full of traps: letters in both
// cases, a backslash, the double-byte characters whose trail byte is one
// (ソ 83 5C, 表 95 5C) or a letter (ア 83 41, ヂ 83 61), and a lead byte that
// pairs with nothing (85).
const char* const kAlphabet[] = {"a",        "b",        "B",    "\\", "\x83\x5C", "\x95\x5C",
                                 "\x83\x41", "\x83\x61", "\xB1", " ",  "\x85"};

// A document of random lines, edited in places so that it is stored in
// pieces of every size; with long_lines, some lines are longer than a piece.
std::string RandomDocument(std::mt19937& random, TRichEditEx& document, bool long_lines) {
  for (int i = 0; i < 400; ++i) {
    const std::size_t chars = random() % (long_lines && random() % 20 == 0 ? 9000 : 12);
    std::string line;
    for (std::size_t c = 0; c < chars; ++c) line += kAlphabet[random() % std::size(kAlphabet)];
    const std::size_t at = document.PositionOfLine(random() % document.RawLineCount());
    document.Replace(at, 0, line + (random() % 4 == 0 ? "\n" : "\r\n"));
  }
  return document.Text();
}

}  // namespace

void PrintTo(const TextHit& hit, std::ostream* out) {
  *out << "[" << hit.start << ", +" << hit.length << ")";
}

namespace {

struct Line {
  std::size_t start, end;  // end excludes the break
};

std::vector<Line> LinesOf(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos <= text.size(); ++pos) {
    if (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') continue;
    lines.push_back({start, pos});
    if (pos + 1 < text.size() && text[pos] == '\r' && text[pos + 1] == '\n') ++pos;
    start = pos + 1;
  }
  return lines;
}

// The character starts of a line at or after from, and its end.
std::vector<std::size_t> CharStarts(std::string_view text, Line line, std::size_t from) {
  std::vector<std::size_t> starts;
  for (std::size_t pos = line.start; pos < line.end; pos += SjisCharLength(text, pos))
    if (pos >= from) starts.push_back(pos);
  starts.push_back(line.end);
  return starts;
}

// The engine's values of the characters the editor shows: a pair, or a byte
// alone.
std::vector<int> EditorCharacterValues(std::string_view text) {
  std::vector<int> values;
  for (std::size_t pos = 0; pos < text.size(); pos += SjisCharLength(text, pos)) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    values.push_back(SjisCharLength(text, pos) == 2
                         ? byte * 256 + static_cast<unsigned char>(text[pos + 1])
                         : byte);
  }
  return values;
}

// The matches of a line that start at or after from and end by limit.
using Matches = std::vector<TextHit>;
using LineMatches = std::function<Matches(Line, std::size_t from, std::size_t limit)>;

// Down from position, or up to the nearest match ending by it.
std::optional<TextHit> ReferenceFind(std::string_view text, std::size_t position, bool down,
                                     const LineMatches& matches) {
  const std::vector<Line> lines = LinesOf(text);
  if (down) {
    for (const Line& line : lines) {
      if (line.end < position) continue;
      const Matches found = matches(line, std::max(position, line.start), text.size());
      if (!found.empty()) return found.front();
    }
  } else {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      if (line->start > position) continue;
      const Matches found = matches(*line, line->start, position);
      if (!found.empty()) return found.back();
    }
  }
  return std::nullopt;
}

// 85 xx is no character of the code page: the editor shows 85 alone and
// pairs 83 5C (ソ), while the engine's reader would pair 85 83 and 85 61.
TEST(PatternSearch, ReadsCharactersAsTheEditorShowsThem) {
  const std::string text =
      "\x85\x83\x5C\\\x85"
      "a";
  ASSERT_EQ(SjisCharLength(text, 0), 1u);
  const struct {
    const char* pattern;
    bool down;
    std::size_t position;
    std::optional<TextHit> hit;
  } cases[] = {
      {"\\\\", true, 0, TextHit{3, 1}},  // not the 5C inside ソ
      {"\\\\", false, 4, TextHit{3, 1}},   {"\\\\", false, 3, std::nullopt},
      {"\x85\x83", true, 0, std::nullopt},  // would end inside ソ
      {"A", true, 0, TextHit{5, 1}},        // the a after a lone 85
      {"\\\\.a", false, 6, TextHit{3, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    const PatternMatcher matcher(c.pattern);
    EXPECT_EQ(c.down ? matcher.First(text, c.position) : matcher.Last(text, c.position), c.hit);
  }
}

TEST(DocumentSearch, FindsWhatBruteForceFindsFromAnyPositionBothWays) {
  std::mt19937 random(20261208);
  const char* const keys[] = {"ab", "B", "\\", "\x83\x5C", "a\x83\x41", "\\a", "\x5C\x83"};
  // Without anchors, so that the engine's whole-text test is the reference.
  const char* const patterns[] = {"ab+", "[ab]\\\\",       "\x83\x5C|a",
                                  "b.a", "(ab|\x83\x41)+", "[^ab ]+\\\\"};
  for (int round = 0; round < 4; ++round) {
    TRichEditEx document("RichEdit1");
    const std::string text = RandomDocument(random, document, true);
    for (const char* key : keys) {
      // Every occurrence at a character start.
      const CaseInsensitiveSearch search(key);
      const LineMatches occurrences = [&](Line line, std::size_t from, std::size_t limit) {
        Matches found;
        for (std::size_t pos : CharStarts(text, line, from)) {
          const std::size_t end = pos + search.KeyLength();
          if (end <= std::min(line.end, limit) && search.MatchesAt(text, pos))
            found.push_back({pos, search.KeyLength()});
        }
        return found;
      };
      const LiteralMatcher matcher(key);
      for (int probe = 0; probe < 20; ++probe) {
        const std::size_t position = random() % (text.size() + 1);
        const bool down = probe % 2 == 0;
        SCOPED_TRACE(::testing::Message()
                     << key << " from " << position << (down ? " down" : " up"));
        EXPECT_EQ(FindInDocument(document, matcher, position, down),
                  ReferenceFind(text, position, down, occurrences));
      }
    }
  }
  for (int round = 0; round < 2; ++round) {
    TRichEditEx document("RichEdit1");
    const std::string text = RandomDocument(random, document, false);
    for (const char* pattern : patterns) {
      TbmRExp rexp;
      rexp.SetCharCode(bmccShiftJIS);
      rexp.SetOption(TbmRExp::kIgnoreCase, true);
      rexp.SetPattern(pattern);
      const DfaLineMatcher engine(rexp.GetDFATable());
      // The leftmost-longest matches Find Next steps through, each the
      // longest text from its start that the engine accepts whole, as far
      // as they end by limit.
      const LineMatches steps = [&](Line line, std::size_t from, std::size_t limit) {
        const std::vector<std::size_t> starts = CharStarts(text, line, from);
        Matches found;
        for (std::size_t first = 0; first + 1 < starts.size();) {
          std::size_t longest = first;
          for (std::size_t last = first + 1; last < starts.size(); ++last) {
            const std::string_view part =
                std::string_view(text).substr(starts[first], starts[last] - starts[first]);
            if (engine.AcceptsWhole(EditorCharacterValues(part))) longest = last;
          }
          if (longest == first) {
            ++first;
            continue;
          }
          if (starts[longest] <= limit)
            found.push_back({starts[first], starts[longest] - starts[first]});
          first = longest;
        }
        return found;
      };
      const PatternMatcher matcher(pattern);
      for (int probe = 0; probe < 30; ++probe) {
        const std::size_t position = random() % (text.size() + 1);
        const bool down = probe % 2 == 0;
        SCOPED_TRACE(::testing::Message()
                     << pattern << " from " << position << (down ? " down" : " up"));
        EXPECT_EQ(FindInDocument(document, matcher, position, down),
                  ReferenceFind(text, position, down, steps));
      }
    }
  }
}

}  // namespace
}  // namespace morvik

// The byte searcher against the plain per-line matcher on generated Shift JIS
// texts and patterns, and its leftmost-longest matches on fixed cases.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "regex/byte_searcher.h"
#include "regex/engine.h"
#include "regex/line_matcher.h"

namespace morvik {
namespace {

const TbmREDFATable& Compile(TbmRExp& rexp, const std::string& pattern, bool ignore_case) {
  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetOption(TbmRExp::kIgnoreCase, ignore_case);
  rexp.SetPattern(pattern);
  return rexp.GetDFATable();
}

// Lines as the reference splits them: at CR LF, lone CR, lone LF.
std::vector<ByteSpan> SplitLines(const std::string& text) {
  std::vector<ByteSpan> lines;
  std::size_t start = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '\r' && text[k] != '\n') continue;
    lines.push_back({start, k});
    if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
    start = k + 1;
  }
  if (start < text.size()) lines.push_back({start, text.size()});
  return lines;
}

// Pieces whose bytes include trail bytes equal to '\\' and '|', double-byte
// characters, a lone lead byte and an invalid byte.
const char* const kTextPieces[] = {
    "a",        "b",        "Z",        " ",    "0",    "7",    "\\", "|",  "\x83\x5c", "\x95\x5c",
    "\x83\x7c", "\x82\xa0", "\x88\x9f", "\x83", "\xfd", "\r\n", "\n", "\r", "A",        "B"};
const char* const kPatternAtoms[] = {"a",        "b",        "Z",        "\\\\",     "\\|",
                                     "\x83\x5c", "\x95\x5c", "\x83\x7c", "\x82\xa0", ".",
                                     "[0-9]",    "[ab]",     "[^a]",     "A",        "(a|\\\\)"};

std::string RandomText(std::mt19937& random) {
  std::string text;
  const int pieces = static_cast<int>(random() % 60);
  for (int i = 0; i < pieces; ++i) text += kTextPieces[random() % std::size(kTextPieces)];
  return text;
}

std::string RandomPattern(std::mt19937& random) {
  std::string pattern;
  if (random() % 5 == 0) pattern += '^';
  const int atoms = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < atoms; ++i) {
    pattern += kPatternAtoms[random() % std::size(kPatternAtoms)];
    const unsigned op = random() % 8;
    if (op == 0) pattern += '*';
    if (op == 1) pattern += '+';
    if (op == 2) pattern += '?';
    if (op == 3 && i + 1 < atoms) pattern += '|';
  }
  if (random() % 5 == 0) pattern += '$';
  return pattern;
}

// A list of words of three to six characters, which the searcher filters
// by the hashes of their first bytes.
std::string RandomWordList(std::mt19937& random) {
  static const char* const kWordChars[] = {"a",        "b",        "Z",        "\\\\",
                                           "\x83\x5c", "\x95\x5c", "\x82\xa0", "|"};
  std::string pattern;
  const int words = 1 + static_cast<int>(random() % 6);
  for (int w = 0; w < words; ++w) {
    if (w > 0) pattern += '|';
    const int length = 3 + static_cast<int>(random() % 4);
    for (int i = 0; i < length; ++i) {
      const std::string c = kWordChars[random() % std::size(kWordChars)];
      pattern += c == "|" ? "\\|" : c;
    }
  }
  return pattern;
}

TEST(ByteSearcherTest, SelectsTheLinesThePerLineMatcherSelects) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 1500; ++round) {
    const std::string pattern = round % 3 == 0 ? RandomWordList(random) : RandomPattern(random);
    const bool ignore_case = random() % 3 == 0;
    TbmRExp rexp;
    const TbmREDFATable& table = Compile(rexp, pattern, ignore_case);
    DfaLineMatcher reference(table);
    ByteSearcher searcher(table, bmccShiftJIS);
    const std::string text = RandomText(random);
    std::vector<ByteSpan> expected;
    for (const ByteSpan& line : SplitLines(text)) {
      const std::string_view bytes(text.data() + line.begin, line.end - line.begin);
      const bool contains = reference.Contains(ReadCharacterValues(bmccShiftJIS, bytes));
      ASSERT_EQ(searcher.LineContains(bytes), contains) << pattern << " on " << bytes;
      if (contains) expected.push_back(line);
    }
    std::vector<ByteSpan> found;
    for (std::size_t pos = 0;;) {
      const std::optional<ByteSpan> line = searcher.NextMatchingLine(text, pos);
      if (!line) break;
      found.push_back(*line);
      pos = NextLineStart(text, line->end);
    }
    ASSERT_EQ(found, expected) << pattern << " in " << text;

    // Find next from every match's end walks the matches of every line, and
    // find previous walks them back.
    std::vector<ByteSpan> all;
    for (const ByteSpan& line : SplitLines(text)) {
      for (const ByteSpan& m : searcher.MatchesInLine(text, line.begin, line.end)) {
        ASSERT_GT(m.end, m.begin);
        all.push_back(m);
      }
    }
    std::vector<ByteSpan> forward;
    for (std::optional<ByteSpan> m = searcher.FindNext(text, 0); m;
         m = searcher.FindNext(text, m->end)) {
      forward.push_back(*m);
    }
    ASSERT_EQ(forward, all) << pattern << " in " << text;
    std::vector<ByteSpan> backward;
    for (std::optional<ByteSpan> m = searcher.FindPrevious(text, text.size()); m;
         m = m->begin == 0 ? std::nullopt : searcher.FindPrevious(text, m->begin)) {
      backward.insert(backward.begin(), *m);
    }
    ASSERT_EQ(backward, all) << pattern << " in " << text;
  }
}

TEST(ByteSearcherTest, LeftmostLongestNonEmptyMatches) {
  struct Case {
    const char* pattern;
    std::string line;
    std::vector<ByteSpan> matches;
  } cases[] = {
      {"ab|abcd", "xabcdab", {{1, 5}, {5, 7}}},
      {"a*", "baab", {{1, 3}}},
      {"^a", "aaa", {{0, 1}}},
      {"a$", "aaa", {{2, 3}}},
      // No match starts on a trail byte: ソ is 83 5C, 表 95 5C.
      {"\\\\", "\x83\x5c\\\x95\x5c", {{2, 3}}},
      {"\\|", "\x83\x7c|", {{2, 3}}},
      {"[^a]", "a\x83\x5c", {{1, 3}}},
      // A lead byte at the end pairs with a trail byte of 0 and still counts.
      {"b.", "ab\x83", {{1, 3}}},
      {"Z \x82\xa0[0-9]+",
       "Z \x82\xa0 Z \x82\xa0"
       "12x",
       {{5, 11}}},
  };
  for (const Case& c : cases) {
    TbmRExp rexp;
    ByteSearcher searcher(Compile(rexp, c.pattern, false), bmccShiftJIS);
    EXPECT_EQ(searcher.MatchesInLine(c.line, 0, c.line.size()), c.matches) << c.pattern;
  }
}

TEST(ByteSearcherTest, FindsTheRequiredLiteral) {
  struct Case {
    const char* pattern;
    bool ignore_case;
    std::string literal;
    bool fold_case;
  } cases[] = {
      {"Z \x82\xa0[0-9]+", false, "Z \x82\xa0", false},
      {"^abc|^abd", false, "ab", false},
      {"Word", true, "word", true},
      {"a|b", false, "", false},
      {"ab*c", false, "a", false},
      {"a\\nb", false, "a", false},
  };
  for (const Case& c : cases) {
    TbmRExp rexp;
    const RequiredLiteral literal =
        FindRequiredLiteral(Compile(rexp, c.pattern, c.ignore_case), IsLeadByteSJIS);
    EXPECT_EQ(literal.bytes, c.literal) << c.pattern;
    EXPECT_EQ(literal.fold_case, c.fold_case) << c.pattern;
  }
  struct FilterCase {
    const char* pattern;
    int length;
  } filters[] = {{"abcd|xyzw", 4}, {"abc|xy\x82\xa0", 3}, {"abcdefgh|x[0-9]yyyyyy", 8},
                 {"ab|c", 0},      {"^abcd|xyzw", 0},     {"abc.[0-9]|xyzw", 3}};
  for (const FilterCase& c : filters) {
    TbmRExp rexp;
    EXPECT_EQ(PrefixFilter(Compile(rexp, c.pattern, false), IsLeadByteSJIS).Length(), c.length)
        << c.pattern;
  }
  const RequiredLiteral folded{"word", true};
  EXPECT_EQ(FindLiteral("a WoRd; word", 0, folded), 2u);
  EXPECT_EQ(FindLiteral("a WoRd; word", 3, folded), 8u);
  EXPECT_EQ(FindLiteral(std::string(40, 'w') + "wOrD", 0, folded), 40u);
  EXPECT_EQ(FindLiteral("wor", 0, folded), 3u);
}

}  // namespace
}  // namespace morvik

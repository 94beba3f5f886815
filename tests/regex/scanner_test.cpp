// The range partition and the pattern scanner.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regex/char_ranges.h"
#include "regex/error.h"
#include "regex/scanner.h"

namespace morvik {
namespace {

using Ranges = std::vector<TbmREWchRange>;

Ranges Build(const Ranges& initial, const Ranges& added) {
  TbmREWchRanges set;
  for (const auto& r : initial) set.AddRange(r.Lo, r.Hi);
  for (const auto& r : added) set.AddRange(r.Lo, r.Hi);
  return set.Items();
}

// The partition property, checked value by value: two values share an
// interval exactly when the same added ranges cover them, and every covered
// value is in some interval.
void ExpectPartitionOf(const Ranges& added, const Ranges& result, int lo, int hi) {
  auto signature = [&](int v) {
    std::vector<bool> in;
    for (const auto& r : added) in.push_back(r.Lo <= v && v <= r.Hi);
    return in;
  };
  for (std::size_t k = 0; k + 1 < result.size(); ++k) {
    ASSERT_LT(result[k].Hi, result[k + 1].Lo);
  }
  for (int v = lo; v <= hi; ++v) {
    int at = -1;
    for (std::size_t k = 0; k < result.size(); ++k) {
      if (result[k].Lo <= v && v <= result[k].Hi) at = static_cast<int>(k);
    }
    const auto sig = signature(v);
    const bool covered = std::find(sig.begin(), sig.end(), true) != sig.end();
    ASSERT_EQ(at >= 0, covered) << v;
    if (at >= 0 && v < result[at].Hi) {
      ASSERT_EQ(signature(v + 1), sig) << v;
    }
    if (at >= 0 && v == result[at].Hi && v < hi && at + 1 < static_cast<int>(result.size()) &&
        result[at + 1].Lo == v + 1) {
      ASSERT_NE(signature(v + 1), sig) << "intervals that should be one at " << v;
    }
  }
}

TEST(RangesTest, RefiningInsert) {
  struct Case {
    Ranges initial;
    Ranges added;
    Ranges expected;
  } cases[] = {
      {{{1, 2}, {8, 9}}, {{5, 9}}, {{1, 2}, {5, 7}, {8, 9}}},
      {{{3, 4}, {8, 8}}, {{0, 20}}, {{0, 2}, {3, 4}, {5, 7}, {8, 8}, {9, 20}}},
      {{{1, 9}}, {{3, 3}}, {{1, 2}, {3, 3}, {4, 9}}},
      {{{1, 9}}, {{1, 9}}, {{1, 9}}},
      {{{1, 9}}, {{1, 4}}, {{1, 4}, {5, 9}}},
      {{{5, 9}}, {{1, 2}}, {{1, 2}, {5, 9}}},
      {{{5, 9}}, {{1, 6}}, {{1, 4}, {5, 6}, {7, 9}}},
      {{{1, 3}}, {{1, 6}}, {{1, 3}, {4, 6}}},
      {{{1, 3}, {7, 8}}, {{1, 10}}, {{1, 3}, {4, 6}, {7, 8}, {9, 10}}},
      {{{-3, -3}, {97, 97}}, {{-2, -2}}, {{-3, -3}, {-2, -2}, {97, 97}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Build(c.initial, c.added), c.expected);
  }
}

TEST(RangesTest, RandomInsertsKeepThePartitionProperty) {
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
  for (int round = 0; round < 300; ++round) {
    Ranges added;
    TbmREWchRanges set;
    const int count = 1 + static_cast<int>(next() % 6);
    for (int k = 0; k < count; ++k) {
      int a = static_cast<int>(next() % 40);
      int b = static_cast<int>(next() % 40);
      if (a > b) std::swap(a, b);
      added.push_back({a, b});
      set.AddRange(a, b);
    }
    ExpectPartitionOf(added, set.Items(), 0, 40);
    if (HasFatalFailure()) return;
  }
}

// The class lookup against a linear search, over partitions that cross the
// end of its single-character table and hold the negative pseudo-characters.
TEST(RangesTest, ClassIndexFindsExactlyTheEqualInterval) {
  unsigned seed = 777;
  auto next = [&] { return static_cast<int>((seed = seed * 1103515245 + 12345) >> 16); };
  for (int round = 0; round < 200; ++round) {
    TbmREWchRanges set;
    const int count = 1 + next() % 8;
    for (int k = 0; k < count; ++k) {
      int a = next() % 300 - 3;
      int b = next() % 2 == 0 ? a : next() % 300 - 3;
      if (a > b) std::swap(a, b);
      set.AddRange(a, b);
    }
    const ClassIndex index(set);
    for (int i = 0; i < set.Count(); ++i) ASSERT_EQ(index.Find(set[i]), i) << "round " << round;
    for (int probe = 0; probe < 100; ++probe) {
      int a = next() % 300 - 3;
      int b = next() % 3 == 0 ? next() % 300 - 3 : a;
      if (a > b) std::swap(a, b);
      const TbmREWchRange range{a, b};
      int expected = -1;
      for (int i = 0; i < set.Count(); ++i) {
        if (set[i] == range) expected = i;
      }
      ASSERT_EQ(index.Find(range), expected) << a << "-" << b << " round " << round;
    }
  }
}

TEST(RangesTest, InvertAndHelpers) {
  TbmREWchRanges set;
  set.AddLineBreaks();
  set.Invert(0, 0xFFFF);
  EXPECT_EQ(set.Items(), (Ranges{{0, 9}, {11, 12}, {14, 0xFFFF}}));
  set.Invert(0, 0xFFFF);
  EXPECT_EQ(set.Items(), (Ranges{{10, 10}, {13, 13}}));
  set.ClearRanges();
  set.AddRange(0, 0xFFFF);
  set.Invert(0, 0xFFFF);
  EXPECT_EQ(set.Count(), 0);
  set.Invert(0, 0xFFFF);
  EXPECT_EQ(set.Items(), (Ranges{{0, 0xFFFF}}));
  set.ClearRanges();
  set.AddRange(1, 2);
  set.AddRange(3, 5);
  set.Invert(0, 9);  // touching neighbours leave no piece between them
  EXPECT_EQ(set.Items(), (Ranges{{0, 0}, {6, 9}}));

  TbmREWchRanges dot;
  dot.AddDotRanges();
  EXPECT_EQ(dot.FindRange(0, dot.Count(), {11, 12}), 1);
  EXPECT_EQ(dot.FindRange(0, dot.Count(), {11, 11}), 1);
  EXPECT_EQ(dot.FindRange(0, dot.Count(), {70000, 70000}), 3);
}

struct Scanned {
  int kind;
  int lo;
  int hi;
};

std::vector<Scanned> Scan(TbmREScanner& scanner, const std::string& pattern) {
  scanner.SetPattern(pattern);
  std::vector<Scanned> tokens;
  TbmREToken token;
  do {
    scanner.GetToken(token);
    tokens.push_back({token.Kind, token.Lo, token.Hi});
  } while (token.Kind != rtEnd);
  return tokens;
}

bool operator==(const Scanned& a, const Scanned& b) {
  return a.kind == b.kind && a.lo == b.lo && a.hi == b.hi;
}

void PrintTo(const Scanned& s, std::ostream* os) {
  *os << "{" << s.kind << "," << s.lo << "," << s.hi << "}";
}

TEST(ScannerTest, Tokens) {
  struct Case {
    std::string pattern;
    std::vector<Scanned> tokens;
  } cases[] = {
      {"a|b*",
       {{rtCharacter, 'a', 'a'},
        {rtUnion, '|', '|'},
        {rtCharacter, 'b', 'b'},
        {rtAsterisk, '*', '*'},
        {rtEnd, -1, -1}}},
      {"[^]a-c\\]]",
       {{rtNegLeftBracket, '[', '['},
        {rtCharacter, ']', ']'},
        {rtCharClass, 'a', 'c'},
        {rtCharacter, ']', ']'},
        {rtRightBracket, ']', ']'},
        {rtEnd, -1, -1}}},
      {"[a-]",
       {{rtLeftBracket, '[', '['},
        {rtCharacter, 'a', 'a'},
        {rtCharacter, '-', '-'},
        {rtRightBracket, ']', ']'},
        {rtEnd, -1, -1}}},
      {"[(*.^[]",
       {{rtLeftBracket, '[', '['},
        {rtCharacter, '(', '('},
        {rtCharacter, '*', '*'},
        {rtCharacter, '.', '.'},
        {rtCharacter, '^', '^'},
        {rtCharacter, '[', '['},
        {rtRightBracket, ']', ']'},
        {rtEnd, -1, -1}}},
      {"[\\x41-\\x43]",
       {{rtLeftBracket, '[', '['},
        {rtCharClass, 0x41, 0x43},
        {rtRightBracket, ']', ']'},
        {rtEnd, -1, -1}}},
      {"\\.\\n\\x41",
       {{rtCharacter, '.', '.'},
        {rtCharacter, 10, 10},
        {rtCharacter, 0x41, 0x41},
        {rtEnd, -1, -1}}},
      {"\\d]-",
       {{rtCharacter, 'd', 'd'},
        {rtCharacter, ']', ']'},
        {rtCharacter, '-', '-'},
        {rtEnd, -1, -1}}},
      {"a{2}",
       {{rtCharacter, 'a', 'a'},
        {rtCharacter, '{', '{'},
        {rtCharacter, '2', '2'},
        {rtCharacter, '}', '}'},
        {rtEnd, -1, -1}}},
      {"^.$?+()",
       {{rtLineHead, '^', '^'},
        {rtDot, '.', '.'},
        {rtLineTail, '$', '$'},
        {rtQuestion, '?', '?'},
        {rtPlus, '+', '+'},
        {rtLeftParen, '(', '('},
        {rtRightParen, ')', ')'},
        {rtEnd, -1, -1}}},
      // A trail byte 0x5C or 0x7C is part of its character.
      {"\x95\x5c\x83\x7c",
       {{rtCharacter, 0x955C, 0x955C}, {rtCharacter, 0x837C, 0x837C}, {rtEnd, -1, -1}}},
  };
  TbmREScanner scanner(bmccShiftJIS);
  for (const Case& c : cases) {
    EXPECT_EQ(Scan(scanner, c.pattern), c.tokens) << c.pattern;
  }
}

TEST(ScannerTest, SwitchedOffOperatorsAreCharacters) {
  TbmREScanner scanner(bmccShiftJIS);
  scanner.RegExpOps = false;
  const auto tokens = Scan(scanner, "\\(|");
  EXPECT_EQ(tokens, (std::vector<Scanned>{{rtCharacter, '\\', '\\'},
                                          {rtCharacter, '(', '('},
                                          {rtCharacter, '|', '|'},
                                          {rtEnd, -1, -1}}));
  scanner.LogicalOps = true;
  EXPECT_EQ(Scan(scanner, "{}/")[0].kind, rtLogicalLeftParen);
  EXPECT_EQ(Scan(scanner, "\\(")[0].lo, '(');
}

TEST(ScannerTest, EndPositionsInOneAndTwoByteCodes) {
  TbmREScanner scanner(bmccWestern);
  scanner.SetPattern("a|b*");
  TbmREToken token;
  for (int i = 0; i < 5; ++i) scanner.GetToken(token);
  EXPECT_EQ(token.Kind, rtEnd);
  EXPECT_EQ(token.StartPos, 4);
  EXPECT_EQ(token.EndPos, 5);
  scanner.GetToken(token);  // the end again
  EXPECT_EQ(token.Kind, rtEnd);

  scanner.SetCharCode(bmccUniCode);
  scanner.SetPattern(std::string("a\0|\0b\0*\0", 8));
  for (int i = 0; i < 5; ++i) scanner.GetToken(token);
  EXPECT_EQ(token.StartPos, 8);
  EXPECT_EQ(token.EndPos, 10);
}

TEST(ScannerTest, PatternErrors) {
  struct Case {
    std::string pattern;
    const char* message;
    int kind;
    int lo;
    int hi;
    int start;
    int end;
  } cases[] = {
      {"[z-a]", "invalid character class", rtErrInvalidCharClass, 'z', 'a', 1, 4},
      {"[abc", "need right bracket \"]\" ", rtErrNeedRightBracket, -1, -1, 4, 5},
      {"[", "need right bracket \"]\" ", rtErrNeedRightBracket, -1, -1, 1, 2},
      {"ab\\", "invalid escape sequence", rtErrInvalidEscape, '\\', '\\', 2, 4},
      {"\\xg", "invalid escape sequence", rtErrInvalidEscape, '\\', '\\', 0, 2},
      {"[a\\xz]", "invalid escape sequence", rtErrInvalidEscape, '\\', '\\', 2, 4},
  };
  TbmREScanner scanner(bmccShiftJIS);
  for (const Case& c : cases) {
    try {
      Scan(scanner, c.pattern);
      ADD_FAILURE() << "no error for " << c.pattern;
    } catch (const EbmREToken& e) {
      EXPECT_STREQ(e.what(), c.message) << c.pattern;
      EXPECT_EQ(e.Token.Kind, c.kind) << c.pattern;
      EXPECT_EQ(e.Token.Lo, c.lo) << c.pattern;
      EXPECT_EQ(e.Token.Hi, c.hi) << c.pattern;
      EXPECT_EQ(e.Token.StartPos, c.start) << c.pattern;
      EXPECT_EQ(e.Token.EndPos, c.end) << c.pattern;
    }
  }
}

TEST(ScannerTest, CodeWithoutReaderKeepsTheOldOne) {
  TbmREScanner scanner(bmccShiftJIS);
  scanner.SetPattern("ab");
  TbmREToken token;
  scanner.GetToken(token);
  try {
    scanner.SetCharCode(bmccJIS);
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "TbmREScanner.SetCharCode: can't create reader");
  }
  EXPECT_EQ(scanner.CharCode, bmccShiftJIS);
  scanner.GetToken(token);
  EXPECT_EQ(token.Lo, 'b');
}

}  // namespace
}  // namespace morvik

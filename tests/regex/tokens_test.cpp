// Token lists: tokenizing, standardisation and the ignore-case dictionary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/error.h"
#include "regex/token_list.h"
#include "regex/token_rewriter.h"

namespace morvik {
namespace {

using Ranges = std::vector<TbmREWchRange>;

// "kind:lo-hi@start-end" per token, for compact expectations.
std::string Describe(const TbmRETokens& tokens, bool with_positions = false) {
  std::string out;
  for (int i = 0; i < tokens.Count(); ++i) {
    const TbmREToken& t = tokens[i];
    if (!out.empty()) out += ' ';
    out += std::to_string(t.Kind);
    if (t.Kind == rtCharacter || t.Kind == rtCharClass) {
      out += ':' + std::to_string(t.Lo);
      if (t.Hi != t.Lo) out += '-' + std::to_string(t.Hi);
    }
    if (with_positions) out += '@' + std::to_string(t.StartPos) + '-' + std::to_string(t.EndPos);
  }
  return out;
}

TEST(StandardizeTest, PartitionAndNegatedBrackets) {
  struct Case {
    std::string pattern;
    std::string tokens;
    Ranges ranges;
  } cases[] = {
      {"a|b", "0:97 2 0:98 14", {{97, 97}, {98, 98}}},
      {"[a-z]x", "8 1:97-122 10 0:120 14", {{97, 119}, {120, 120}, {121, 122}}},
      {".", "11 14", {{0, 9}, {11, 12}, {14, 0xFFFF}}},
      {"^a$", "12 0:97 13 14", {{36, 36}, {94, 94}, {97, 97}}},
      {"[^a-c]",
       "8 1:0-9 1:11-12 1:14-96 1:100-65535 10 14",
       {{0, 9}, {11, 12}, {14, 96}, {100, 0xFFFF}}},
      {"[^\\x00-\\x08\\x0b-\\xffff]", "8 0:9 10 14", {{9, 9}}},
      {"[^\\x00-\\xffff]", "8 10 14", {}},
  };
  TbmREScanner scanner(bmccShiftJIS);
  for (const Case& c : cases) {
    TbmRETokens tokens;
    TbmREWchRanges ranges;
    scanner.SetPattern(c.pattern);
    tokens.Tokenize(scanner);
    tokens.Standardize(ranges);
    EXPECT_EQ(Describe(tokens), c.tokens) << c.pattern;
    EXPECT_EQ(ranges.Items(), c.ranges) << c.pattern;
  }
}

TEST(StandardizeTest, ComplementItemsSpanFromFirstItemToRightBracket) {
  TbmREScanner scanner(bmccShiftJIS);
  TbmRETokens tokens;
  TbmREWchRanges ranges;
  scanner.SetPattern("x[^a-c]");
  tokens.Tokenize(scanner);
  tokens.Standardize(ranges);
  EXPECT_EQ(Describe(tokens, true),
            "0:120@0-1 8@1-3 1:0-9@3-6 1:11-12@3-6 1:14-96@3-6 1:100-65535@3-6 10@6-7 14@7-8");
}

TEST(StandardizeTest, InternalErrorsOnListsTheScannerNeverMakes) {
  auto token = [](int kind) { return TbmRETokens::NewToken(kind, {0, 1}); };
  struct Case {
    std::vector<int> kinds;
    const char* message;
  } cases[] = {
      {{}, "TbmRETokens.Standardize Internal Error(1)"},
      {{rtNegLeftBracket}, "TbmRETokens.Standardize Internal Error(2)"},
      {{rtNegLeftBracket, rtCharacter}, "TbmRETokens.Standardize Internal Error(3)"},
  };
  for (const Case& c : cases) {
    TbmRETokens tokens;
    for (int kind : c.kinds) {
      auto t = token(kind);
      t->Lo = t->Hi = 'a';
      tokens.Add(std::move(t));
    }
    TbmREWchRanges ranges;
    try {
      tokens.Standardize(ranges);
      ADD_FAILURE() << c.message;
    } catch (const RegexError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(TokenizeTest, ErrorLeavesTheTokensReadSoFar) {
  TbmREScanner scanner(bmccShiftJIS);
  TbmRETokens tokens;
  scanner.SetPattern("[ab");
  EXPECT_THROW(tokens.Tokenize(scanner), EbmREToken);
  ASSERT_EQ(tokens.Count(), 4);
  EXPECT_EQ(tokens[3].Kind, rtErrNeedRightBracket);
}

TEST(DictionaryTest, IgnoreCaseWrapsLettersOutsideBrackets) {
  struct Case {
    std::string pattern;
    std::string tokens;
  } cases[] = {
      {"a1", "3 0:97 2 0:65 4 0:49 14"},         {"[a]", "8 0:97 10 14"},
      {"[^a]B", "9 0:97 10 3 0:66 2 0:98 4 14"}, {"a*", "3 0:97 2 0:65 4 5 14"},
      {"\\x5a", "3 0:90 2 0:122 4 14"},
  };
  TbmREScanner scanner(bmccShiftJIS);
  TbmREAsciiIgnoreCaseDic dic;
  for (const Case& c : cases) {
    TbmRETokens source;
    TbmRETokens dest;
    scanner.SetPattern(c.pattern);
    source.Tokenize(scanner);
    dic.Translate(source, dest);
    EXPECT_EQ(source.Count(), 0) << c.pattern;
    EXPECT_EQ(Describe(dest), c.tokens) << c.pattern;
  }
}

TEST(DictionaryTest, InsertedOperatorsTakeTheLettersPositions) {
  TbmREScanner scanner(bmccShiftJIS);
  TbmRETokens source;
  TbmRETokens dest;
  scanner.SetPattern("1b");
  source.Tokenize(scanner);
  TbmREAsciiIgnoreCaseDic().Translate(source, dest);
  EXPECT_EQ(Describe(dest, true), "0:49@0-1 3@1-2 0:98@1-2 2@1-2 0:66@1-2 4@1-2 14@2-3");
  TbmRETokens copy;
  TbmREDicFrame().Translate(dest, copy);
  EXPECT_EQ(Describe(copy, true), "0:49@0-1 3@1-2 0:98@1-2 2@1-2 0:66@1-2 4@1-2 14@2-3");
}

}  // namespace
}  // namespace morvik

// Parsing standardised token lists into syntax trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/error.h"
#include "regex/syntax_tree.h"

namespace morvik {
namespace {

class TreeTest : public ::testing::Test {
 protected:
  void Parse(const std::string& pattern) {
    scanner_.SetPattern(pattern);
    tokens_.Tokenize(scanner_);
    tokens_.Standardize(ranges_);
    tree_.Parse(tokens_, ranges_);
  }

  std::vector<std::pair<int, int>> LeafRanges() const {
    std::vector<std::pair<int, int>> out;
    for (const auto& leaf : tree_.LeafNodes) out.emplace_back(leaf->Lo, leaf->Hi);
    return out;
  }

  TbmREScanner scanner_{bmccShiftJIS};
  TbmRETokens tokens_;
  TbmREWchRanges ranges_;
  TbmRETree tree_;
};

TEST_F(TreeTest, EmptyPatternIsEpsilonThenEnd) {
  Parse("");
  ASSERT_NE(tree_.Root, nullptr);
  ASSERT_EQ(tree_.Root->FirstPos.Count(), 1);
  EXPECT_EQ(tree_.Root->FirstPos[0]->Lo, -1);
  EXPECT_TRUE(tree_.Info.IsPlain);
}

TEST_F(TreeTest, EmptyAlternativesAndGroupsAreEpsilon) {
  Parse("a||b");
  EXPECT_EQ(LeafRanges(), (std::vector<std::pair<int, int>>{{97, 97}, {0, 0}, {98, 98}, {-1, -1}}));
  Parse("()");
  EXPECT_EQ(LeafRanges(), (std::vector<std::pair<int, int>>{{0, 0}, {-1, -1}}));
  EXPECT_TRUE(tree_.Root->FirstPos[0]->Lo == -1);
}

TEST_F(TreeTest, SyntaxErrorsNameTheOffendingToken) {
  struct Case {
    std::string pattern;
    const char* message;
    int start;
    int end;
  } cases[] = {
      {"a**", "need normal char or left parenthesis", 2, 3},
      {"*a", "need normal char or left parenthesis", 0, 1},
      {"+", "need normal char or left parenthesis", 0, 1},
      {"a|?", "need normal char or left parenthesis", 2, 3},
      {"(a", "need right parenthesis", 2, 3},
      {"((a)", "need right parenthesis", 4, 5},
      {"a)", "invalid character", 1, 2},
      {"a)(", "invalid character", 1, 2},
      // A negated bracket whose complement is empty would match nothing.
      {"[^\\x00-\\xffff]", "need normal char or left parenthesis", 13, 14},
      {"x[^\\n\\r\\x00-\\x09\\x0b\\x0c\\x0e-\\xffff]", "need normal char or left parenthesis", 35,
       36},
  };
  for (const Case& c : cases) {
    try {
      Parse(c.pattern);
      ADD_FAILURE() << "no error for " << c.pattern;
    } catch (const EbmREToken& e) {
      EXPECT_STREQ(e.what(), c.message) << c.pattern;
      EXPECT_EQ(e.Token.StartPos, c.start) << c.pattern;
      EXPECT_EQ(e.Token.EndPos, c.end) << c.pattern;
    }
  }
}

TEST_F(TreeTest, AnchorsOnlyWhereTheyCanMatch) {
  struct Case {
    std::string pattern;
    bool head;
    bool tail;
    std::vector<std::pair<int, int>> demoted;  // leaves turned into ^ or $
  } cases[] = {
      {"^a", true, false, {}},
      {"(^a|b)", true, false, {}},
      {"a^b", false, false, {{94, 94}}},
      {"a$", false, true, {}},
      {"a$|b", false, true, {}},
      {"a$b", false, false, {{36, 36}}},
      {"(a$)*", false, false, {{36, 36}}},
      {"^*a", true, false, {}},
      {"x^|^", true, false, {{94, 94}}},
  };
  for (const Case& c : cases) {
    Parse(c.pattern);
    EXPECT_EQ(tree_.Info.HasLineHead, c.head) << c.pattern;
    EXPECT_EQ(tree_.Info.HasLineTail, c.tail) << c.pattern;
    std::vector<std::pair<int, int>> demoted;
    for (const auto& leaf : tree_.LeafNodes) {
      if (leaf->Lo == 94 || leaf->Lo == 36) demoted.emplace_back(leaf->Lo, leaf->Hi);
    }
    EXPECT_EQ(demoted, c.demoted) << c.pattern;
  }
}

TEST_F(TreeTest, PlainPatterns) {
  struct Case {
    std::string pattern;
    bool plain;
  } cases[] = {
      {"abc", true}, {"[b]c", true}, {"ab?", false}, {"a|b", false},
      {".", false},  {"^a", false},  {"a+", false},  {"[ab]", false},
  };
  for (const Case& c : cases) {
    Parse(c.pattern);
    EXPECT_EQ(tree_.Info.IsPlain, c.plain) << c.pattern;
  }
}

TEST_F(TreeTest, RangeOverSeveralClassesIsAnAscendingUnion) {
  Parse("[a-c]b");
  EXPECT_EQ(LeafRanges(),
            (std::vector<std::pair<int, int>>{{97, 97}, {98, 98}, {99, 99}, {98, 98}, {-1, -1}}));
  // two unions, the concatenation with b, and the root
  EXPECT_EQ(tree_.InternalNodes.size(), 4u);
}

// Whole compilations of long alternations are in rexp_test.cpp.
TEST_F(TreeTest, DeepNestingUsesNoDeepRecursion) {
  const int depth = 100000;
  Parse(std::string(depth, '(') + "a" + std::string(depth, ')'));
  EXPECT_EQ(tree_.Root->FirstPos.Count(), 1);
  EXPECT_THROW(Parse(std::string(depth, '(') + "a"), EbmREToken);
  EXPECT_THROW(Parse("a" + std::string(depth, ')')), EbmREToken);
}

TEST_F(TreeTest, PositionEntriesAreBudgeted) {
  tree_.SetMaxSetEntries(10000);
  EXPECT_NO_THROW(Parse("(a|b|c)*"));
  try {
    std::string optional_xs;
    for (int i = 0; i < 200; ++i) optional_xs += "x?";
    Parse(optional_xs);
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "TbmRETree.Parse: pattern too large (more than 10000 position entries)");
  }
}

}  // namespace
}  // namespace morvik

// DFA tables: golden dumps of whole compilations, lookups and size limits.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "regex/dfa_dump.h"
#include "regex/dfa_table.h"
#include "regex/engine.h"
#include "regex/error.h"
#include "regex/scanner.h"
#include "regex/syntax_tree.h"
#include "regex/token_list.h"

namespace morvik {
namespace {

std::string Dump(const std::string& pattern, bool ignore_case = false, bool syntax = true,
                 TbmCharCode code = bmccShiftJIS) {
  TbmRExp rexp;
  rexp.SetCharCode(code);
  rexp.SetOption(TbmRExp::kIgnoreCase, ignore_case);
  rexp.SetOption(TbmRExp::kRegExpSyntax, syntax);
  rexp.SetPattern(pattern);
  return DumpDFATable(rexp.GetDFATable());
}

TEST(DfaGoldenTest, Tables) {
  struct Case {
    const char* pattern;
    const char* dump;
  } cases[] = {
      {"", "flags EmptyAccepts IsPlain\n0 accepting\n"},
      {"a", "flags IsPlain\n0 97..97>1\n1 accepting\n"},
      // adjacent classes to the same state merge; separated ones do not
      {"a|b", "flags\n0 97..98>1\n1 accepting\n"},
      {"a|c", "flags\n0 97..97>1 99..99>1\n1 accepting\n"},
      {"^$",
       "flags HasLineHead HasLineTail HeadTailAccepts\n0 -2..-2>1\n1 -3..-3>2\n2 accepting\n"},
      {"^", "flags HasLineHead LineHeadAccepts\n0 -2..-2>1\n1 accepting\n"},
      {"$", "flags HasLineTail LineTailAccepts\n0 -3..-3>1\n1 accepting\n"},
      {"^|$",
       "flags HasLineHead HasLineTail LineHeadAccepts LineTailAccepts\n0 -3..-2>1\n"
       "1 accepting\n"},
      {"a*", "flags EmptyAccepts\n0 accepting 97..97>0\n"},
      // higher classes are reached, and numbered, first
      {"a$|b", "flags HasLineTail\n0 97..97>2 98..98>1\n1 accepting\n2 -3..-3>1\n"},
      {"(a|b)*abb",
       "flags\n0 97..97>1 98..98>0\n1 97..97>1 98..98>2\n2 97..97>1 98..98>3\n"
       "3 accepting 97..97>1 98..98>0\n"},
      {"a.", "flags\n0 97..97>1\n1 0..9>2 11..12>2 14..65535>2\n2 accepting\n"},
      {"[^a]", "flags\n0 0..9>1 11..12>1 14..96>1 98..65535>1\n1 accepting\n"},
      {"a^b", "flags IsPlain\n0 97..97>1\n1 94..94>2\n2 98..98>3\n3 accepting\n"},
      {"\x82\xa0+", "flags\n0 33440..33440>1\n1 accepting 33440..33440>1\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Dump(c.pattern), c.dump) << c.pattern;
  }
}

TEST(DfaGoldenTest, OptionsAndCodes) {
  EXPECT_EQ(Dump("a", true), "flags\n0 65..65>1 97..97>1\n1 accepting\n");
  EXPECT_EQ(Dump("a.b", false, false),
            "flags IsPlain\n0 97..97>1\n1 46..46>2\n2 98..98>3\n3 accepting\n");
  EXPECT_EQ(Dump(std::string("a\0.\0", 4), false, true, bmccUniCode),
            "flags\n0 97..97>1\n1 0..9>2 11..12>2 14..65535>2\n2 accepting\n");
  EXPECT_EQ(Dump("\xa4\xa2", false, true, bmccJapaneseEUC),
            "flags IsPlain\n0 42146..42146>1\n1 accepting\n");
  EXPECT_EQ(Dump("\x82\xa0", false, true, bmccWestern),
            "flags IsPlain\n0 130..130>1\n1 160..160>2\n2 accepting\n");
}

// The table of pattern built with one-word sets or with the general sets.
std::string DumpBuiltWith(const std::string& pattern, bool small_sets) {
  TbmREScanner scanner(bmccShiftJIS);
  TbmRETokens tokens;
  TbmREWchRanges ranges;
  TbmRETree tree;
  scanner.SetPattern(pattern);
  tokens.Tokenize(scanner);
  tokens.Standardize(ranges);
  tree.Parse(tokens, ranges);
  TbmREDFATable table;
  table.SetSmallSets(small_sets);
  table.Build(tree, ranges);
  return DumpDFATable(table);
}

TEST(DfaGoldenTest, BothSetRepresentationsBuildTheSameTable) {
  const char* const atoms[] = {"a", "b", "[a-c]", ".", "(a|b)", "^", "$", "\x82\xa0", "[^b]"};
  const char* const ops[] = {"", "", "*", "+", "?", "|"};
  std::mt19937 random(64);
  for (int round = 0; round < 300; ++round) {
    std::string pattern;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      pattern += atoms[random() % std::size(atoms)];
      pattern += ops[random() % std::size(ops)];
    }
    if (pattern.back() == '|') pattern.pop_back();
    EXPECT_EQ(DumpBuiltWith(pattern, true), DumpBuiltWith(pattern, false)) << pattern;
  }
}

TEST(DfaStateTest, LookupIsPartial) {
  TbmRExp rexp;
  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetPattern("a|c");
  const TbmREDFATable& table = rexp.GetDFATable();
  EXPECT_EQ(table[0].NextState('a'), 1);
  EXPECT_EQ(table[0].NextState('b'), -1);
  EXPECT_EQ(table[0].NextState('c'), 1);
  EXPECT_EQ(table[0].NextState('d'), -1);
  EXPECT_EQ(table[0].NextState(-2), -1);
  EXPECT_EQ(table[1].NextState('a'), -1);
  // After building, no state keeps its leaf set.
  for (const TbmREState& state : table.States) EXPECT_EQ(state.LeafSet, nullptr);
}

TEST(DfaStateTest, FindStateComparesWholeSets) {
  TbmRECharNode a('a', 'a', 0), b('b', 'b', 1);
  TbmREDFATable table;
  TbmRELeafNodeSet ab;
  ab.AddNode(&a);
  ab.AddNode(&b);
  table.States.emplace_back(false, std::make_unique<TbmRELeafNodeSet>(ab));
  TbmRELeafNodeSet only_a;
  only_a.AddNode(&a);
  table.States.emplace_back(false, std::make_unique<TbmRELeafNodeSet>(only_a));
  EXPECT_EQ(table.FindState(only_a), 1);
  EXPECT_EQ(table.FindState(ab), 0);
  TbmRELeafNodeSet only_b;
  only_b.AddNode(&b);
  EXPECT_EQ(table.FindState(only_b), -1);

  a.FollowPos.AddNode(&b);
  TbmRELeafNodeSet work;
  EXPECT_FALSE(CollectFollowPos(ab, work, {'b', 'b'}));  // b has no follow positions
  EXPECT_FALSE(CollectFollowPos(ab, work, {'a', 'b'}));  // classes match exactly
  EXPECT_TRUE(CollectFollowPos(ab, work, {'a', 'a'}));
  EXPECT_EQ(work, only_b);
}

// (a|b)*a(a|b){k} needs 2^(k+1) states.
std::string Exponential(int k) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < k; ++i) pattern += "(a|b)";
  return pattern;
}

TEST(DfaLimitTest, StateCountAndMemoryAreBounded) {
  TbmRExp rexp;
  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetPattern(Exponential(8));
  EXPECT_EQ(rexp.GetDFATable().Count(), 512);

  struct Case {
    std::size_t max_states;
    std::size_t max_entries;
    std::size_t max_work;
    const char* message;
  } cases[] = {
      {100, 1000000, 1000000, "TbmREDFATable.Build: automaton too large (more than 100 states)"},
      {100000, 2000, 1000000,
       "TbmREDFATable.Build: automaton too large (more than 2000 set and transition entries)"},
      {100000, 1000000, 3000,
       "TbmREDFATable.Build: automaton too large (more than 3000 leaves read while building)"},
  };
  for (const Case& c : cases) {
    TbmREScanner scanner(bmccShiftJIS);
    TbmRETokens tokens;
    TbmREWchRanges ranges;
    TbmRETree tree;
    scanner.SetPattern(Exponential(8));
    tokens.Tokenize(scanner);
    tokens.Standardize(ranges);
    tree.Parse(tokens, ranges);
    TbmREDFATable table;
    table.SetLimits(c.max_states, c.max_entries, c.max_work);
    try {
      table.Build(tree, ranges);
      ADD_FAILURE() << "no exception";
    } catch (const RegexError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(table.Count(), 0);
  }
}

}  // namespace
}  // namespace morvik

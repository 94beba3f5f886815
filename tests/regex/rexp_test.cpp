// The engine object: lazy compilation, options, errors and the kit.
#include <gtest/gtest.h>

#include <string>

#include "regex/compile_kit.h"
#include "regex/dfa_dump.h"
#include "regex/engine.h"
#include "regex/error.h"

namespace morvik {
namespace {

// Counts compilations through the virtual slot every compilation calls.
class CountingRExp : public TbmRExp {
 public:
  TbmRETokens& TransformTokens(TbmRETokens& tokens) override {
    ++compilations;
    return TbmRExp::TransformTokens(tokens);
  }
  int compilations = 0;
};

void ExpectKitEmpty() {
  EXPECT_EQ(bmreTokens->Count(), 0);
  EXPECT_EQ(bmreTransTokens->Count(), 0);
  EXPECT_EQ(bmreRanges->Count(), 0);
  EXPECT_EQ(bmreTree->Root, nullptr);
  EXPECT_TRUE(bmreTree->LeafNodes.empty());
}

TEST(RExpTest, NewObjectCompilesTheEmptyPattern) {
  bmccSetDefaultCharCode(bmccWestern);
  TbmRExp rexp;
  EXPECT_EQ(rexp.GetCharCode(), bmccWestern);
  EXPECT_EQ(rexp.GetPattern(), "");
  EXPECT_TRUE(rexp.GetRegExpSyntax());
  EXPECT_FALSE(rexp.GetIgnoreCase());
  EXPECT_EQ(DumpDFATable(rexp.GetDFATable()), "flags EmptyAccepts IsPlain\n0 accepting\n");
  bmccSetDefaultCharCode(bmccShiftJIS);
}

TEST(RExpTest, CompilesOnlyAfterARealChange) {
  CountingRExp rexp;
  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetPattern("ab");
  const TbmREDFATable* first = &rexp.GetDFATable();
  EXPECT_EQ(&rexp.GetDFATable(), first);
  EXPECT_EQ(rexp.compilations, 1);

  struct Step {
    const char* what;
    void (*change)(TbmRExp&);
    bool recompiles;
  } steps[] = {
      {"same pattern", [](TbmRExp& r) { r.SetPattern("ab"); }, false},
      {"same code", [](TbmRExp& r) { r.SetCharCode(bmccShiftJIS); }, false},
      {"same option", [](TbmRExp& r) { r.SetOption(TbmRExp::kIgnoreCase, false); }, false},
      {"unknown option", [](TbmRExp& r) { r.SetOption(2, true); }, false},
      {"new pattern", [](TbmRExp& r) { r.SetPattern("abc"); }, true},
      {"new code", [](TbmRExp& r) { r.SetCharCode(bmccWestern); }, true},
      {"ignore case", [](TbmRExp& r) { r.SetOption(TbmRExp::kIgnoreCase, true); }, true},
      {"literal", [](TbmRExp& r) { r.SetOption(TbmRExp::kRegExpSyntax, false); }, true},
  };
  for (const Step& step : steps) {
    const int before = rexp.compilations;
    step.change(rexp);
    EXPECT_EQ(rexp.IsCompiled(), !step.recompiles) << step.what;
    rexp.GetDFATable();
    EXPECT_EQ(rexp.compilations - before, step.recompiles ? 1 : 0) << step.what;
  }
  ExpectKitEmpty();
}

TEST(RExpTest, ErrorsLeaveItUncompiledAndTheKitEmpty) {
  TbmRExp rexp;
  rexp.SetCharCode(bmccJIS);
  try {
    rexp.GetDFATable();
    FAIL() << "no exception";
  } catch (const RegexError& e) {
    EXPECT_STREQ(e.what(), "TbmREScanner.SetCharCode: can't create reader");
  }
  EXPECT_FALSE(rexp.IsCompiled());

  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetPattern("a(b");
  try {
    rexp.GetDFATable();
    FAIL() << "no exception";
  } catch (const EbmREToken& e) {
    EXPECT_STREQ(e.what(), "need right parenthesis");
    EXPECT_EQ(e.Token.StartPos, 3);
  }
  EXPECT_FALSE(rexp.IsCompiled());
  ExpectKitEmpty();

  rexp.SetPattern("a(b)");
  EXPECT_EQ(rexp.GetDFATable().Count(), 3);
  EXPECT_TRUE(rexp.IsCompiled());

  rexp.SetOption(TbmRExp::kIgnoreCase, true);
  rexp.SetPattern("[a");
  EXPECT_THROW(rexp.GetDFATable(), EbmREToken);
  ExpectKitEmpty();
}

TEST(RExpTest, DescendantSuppliesTheCharacterCode) {
  class WesternRExp : public TbmRExp {
   public:
    TbmCharCode GetCharCode() override { return bmccWestern; }
  } rexp;
  rexp.SetCharCode(bmccShiftJIS);
  rexp.SetPattern("\x82\xa0");
  EXPECT_EQ(rexp.GetDFATable().Count(), 3);
}

TEST(RExpTest, HugeNestingAndAlternationsCompile) {
  TbmRExp rexp;
  rexp.SetCharCode(bmccShiftJIS);
  const int count = 100000;
  rexp.SetPattern(std::string(count, '(') + "a" + std::string(count, ')'));
  EXPECT_EQ(rexp.GetDFATable().Count(), 2);

  std::string words;
  for (int i = 0; i < count; ++i) {
    if (i > 0) words += '|';
    words += std::to_string(i);
  }
  rexp.SetPattern(words);
  // The start, one state per proper prefix of 1..9999 that goes on, and
  // one state for every finished word that nothing extends ("0", "10000"...).
  EXPECT_EQ(rexp.GetDFATable().Count(), 1 + 9 + 90 + 900 + 9000 + 1);
}

TEST(KitTest, ObjectsExistFromStartUp) {
  EXPECT_NE(bmreScanner, nullptr);
  EXPECT_EQ(bmreScanner->CharCode, bmccShiftJIS);
  EXPECT_NE(bmreRegExp, nullptr);
  EXPECT_NE(bmreIgnoreCaseDic, nullptr);
}

}  // namespace
}  // namespace morvik

#include "data/record_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "data/sjis_codec.h"

namespace morvik {
namespace {

using Fields = std::vector<std::string>;

TEST(SvUtils, SplitsLinesAtEveryKindOfBreak) {
  struct Case {
    std::string text;
    LineList lines;
  } cases[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"", {}},
      {"\r\n\r\n", {"", ""}},
      {"\n\r", {"", ""}},                        // LF then a lone CR: two breaks
      {std::string("ab\0cd\r\nef", 9), {"ab"}},  // NUL ends the text
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({"a", ""}), "a\r\n\r\n");
}

TEST(SvUtils, SplitsFields) {
  struct Case {
    std::string line;
    Fields fields;
  } cases[] = {
      {R"("","")", {"", ""}},
      {R"("{EndOfData}","{Dummy}")", {"{EndOfData}", "{Dummy}"}},
      {R"("a,b")", {"a,b"}},
      {R"("a""b")", {"a\"b"}},
      {R"("ab""""c","d")", {"ab\"\"c", "d"}},
      {R"("ab"")", {"ab\""}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a"}},
      {"a b", {"a", "b"}},
      {R"("x" , "y")", {"x", "y"}},
      {R"("ab"cd)", {"ab", "cd"}},
      {R"(ab"cd")", {"ab\"cd\""}},
      {"", {}},
      {" \t ", {}},
      // An unclosed quote takes the rest of the line, its last character too.
      {R"("abc)", {"abc"}},
      {R"("a","bc)", {"a", "bc"}},
      // Trail bytes 0x5C, 0x7C and 0x40..0x7E never end a field or a quote.
      {"\"\x95\x5C\",\x83\x7C", {"\x95\x5C", "\x83\x7C"}},
      // A lead byte before a quote or blank is read alone.
      {"\"a\x82\",b", {"a\x82", "b"}},
      {"a\x82 b", {"a\x82", "b"}},
      {std::string("a\0,b", 4), {"a"}},  // NUL ends the line
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitFields(c.line), c.fields) << c.line;
    // The shortcut for the first field reads it the same way.
    const std::optional<std::string> first =
        c.fields.empty() ? std::nullopt : std::optional<std::string>(c.fields[0]);
    EXPECT_EQ(FirstField(c.line), first) << c.line;
  }
}

TEST(SvUtils, FoldsKeys) {
  EXPECT_EQ(FoldKey(u"abcＡｂｃ１２３　！"), u"ABCABC123 !");
  EXPECT_EQ(FoldKey(u"あア"), u"あア");
  EXPECT_EQ(FoldKey(u"｛ＥｎｄＯｆＤａｔａ｝"), u"{ENDOFDATA}");
  EXPECT_EQ(FoldKey(u"＼～”’￥￣｜"), u"＼～\"'\\~|");
  EXPECT_EQ(FoldKey(u"ABC,[]"), u"ABC,[]");
}

TEST(SvUtils, RecognisesMarkersAndRecords) {
  const std::string fullwidth_end = EncodeSjis(u"\"｛ＥｎｄＯｆＤａｔａ｝\"");
  struct Case {
    std::string line;
    bool end, prior;
    int fields;  // how many fields the line has, capped at 4
  } cases[] = {
      {R"("{EndOfData}","{Dummy}")", true, false, 2},
      {R"("{EndOfData}")", true, false, 1},
      {"{EndOfData}", true, false, 1},
      {"{endofdata}", true, false, 1},
      {R"("{endofdata}","x")", true, false, 2},
      {fullwidth_end, true, false, 1},
      {R"(  "{PRIOR}")", false, true, 1},
      {R"("{PRIOR} ")", false, false, 1},
      {"{End OfData}", false, false, 2},
      {R"("{ENDOFDATA")", false, false, 1},
      {"", false, false, 0},
      {R"("","","","")", false, false, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsEndMarker(c.line), c.end) << c.line;
    EXPECT_EQ(IsPriorMarker(c.line), c.prior) << c.line;
    for (int n = 0; n <= 4; ++n) {
      EXPECT_EQ(IsValidRecord(c.line, n), c.fields >= n) << c.line << " n=" << n;
    }
  }
  EXPECT_FALSE(MarkerKey("  ").has_value());
}

TEST(SvUtils, SortsLineRangesInUnsignedByteOrder) {
  LineList lines = {R"("c","")", R"("b","x")", R"("a","z")", "B",
                    "b",         "\x82\xA0",   "\xB1",       "\xE0\x40"};
  LineList expected = {R"("a","z")", R"("b","x")", R"("c","")", "B",
                       "b",          "\x82\xA0",   "\xB1",      "\xE0\x40"};
  SortLineRange(lines, 0, 7, true);
  EXPECT_EQ(lines, expected);
  SortLineRange(lines, 0, 7, false);
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);

  // Only lo..hi moves; bad ranges change nothing.
  LineList part = {"z", "c", "b", "a", "0"};
  SortLineRange(part, 1, 3, true);
  EXPECT_EQ(part, (LineList{"z", "a", "b", "c", "0"}));
  const LineList before = part;
  for (auto [lo, hi] : {std::pair{-1LL, 3LL}, {3LL, 3LL}, {4LL, 2LL}, {0LL, 5LL}}) {
    SortLineRange(part, lo, hi, false);
    EXPECT_EQ(part, before);
  }
}

TEST(SvUtils, SortsAMillionPresortedLinesWithoutDeepRecursion) {
  LineList lines(1'000'000, std::string(8, 'x'));
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] += std::to_string(i % 10);
  SortLineRange(lines, 0, static_cast<long long>(lines.size()) - 1, false);
  EXPECT_TRUE(std::is_sorted(lines.rbegin(), lines.rend()));
}

}  // namespace
}  // namespace morvik

// svtool regex dump|grep, end to end.
#include <gtest/gtest.h>

#include "svtool_runner.h"

namespace morvik::testing {
namespace {

TEST(SvtoolRegex, DumpsTables) {
  ScratchDir dir;
  struct Case {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"regex", "dump", "a"}, "flags IsPlain\n0 97..97>1\n1 accepting\n"},
      {{"regex", "dump", "^|$"},
       "flags HasLineHead HasLineTail LineHeadAccepts LineTailAccepts\n0 -3..-2>1\n1 accepting\n"},
      {{"regex", "dump", "--ignore-case", "a"}, "flags\n0 65..65>1 97..97>1\n1 accepting\n"},
      {{"regex", "dump", "--literal", "a."},
       "flags IsPlain\n0 97..97>1\n1 46..46>2\n2 accepting\n"},
      {{"regex", "dump", "--code", "unicode", "-f", dir.Write("wide.pat", std::string("b\0", 2))},
       "flags IsPlain\n0 98..98>1\n1 accepting\n"},
      {{"regex", "dump", "-f", dir.Write("sjis.pat", "\x95\x5c")},
       "flags IsPlain\n0 38236..38236>1\n1 accepting\n"},
      {{"regex", "dump", "--", "-"}, "flags IsPlain\n0 45..45>1\n1 accepting\n"},
  };
  for (const Case& c : cases) {
    SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out) << c.args.back();
  }
}

TEST(SvtoolRegex, PrintsMatchingLines) {
  ScratchDir dir;
  const std::string text = dir.Write("text.txt", "abc\r\nxyz\nab\rq\x95\x5c\r\na\\b");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {
      {{"regex", "grep", "b", text}, 0, "abc\r\nab\r\na\\b\r\n"},
      {{"regex", "grep", "-n", "^a", text}, 0, "1:abc\r\n3:ab\r\n5:a\\b\r\n"},
      {{"regex", "grep", "c$|^x", text}, 0, "abc\r\nxyz\r\n"},
      // The trail byte 0x5C of the fourth line is no backslash.
      {{"regex", "grep", "-n", "\\\\", text}, 0, "5:a\\b\r\n"},
      {{"regex", "grep", "--literal", "b.", text}, 1, ""},
      {{"regex", "grep", "--ignore-case", "XY", text}, 0, "xyz\r\n"},
      {{"regex", "grep", "nothing", text, text}, 1, ""},
      {{"regex", "grep", "-n", "q", text, text}, 0, "4:q\x95\x5c\r\n4:q\x95\x5c\r\n"},
  };
  for (const Case& c : cases) {
    SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, c.status) << c.args[2] << result.err;
    EXPECT_EQ(result.out, c.out) << c.args[2];
  }
}

TEST(SvtoolRegex, ReadsUtf16LinesByCodeUnits) {
  ScratchDir dir;
  // "a\r\n" then "b" with the line break as units; 0x0A00 is no line break.
  const std::string text = dir.Write("wide.txt", std::string("a\0\r\0\n\0\x0a\x0a"
                                                             "b\0",
                                                             10));
  SvtoolResult result = RunSvtool({"regex", "grep", "-n", "--code", "unicode", "b", text});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, std::string("2\0:\0\x0a\x0a"
                                    "b\0\r\0\n\0",
                                    12));
}

TEST(SvtoolRegex, ReportsErrorsWithStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"regex", "dump", "(a"}, "svtool: need right parenthesis at 2..3\n"},
      {{"regex", "dump", "[ab"}, "svtool: need right bracket \"]\"  at 3..4\n"},
      {{"regex", "grep", "a)", "/no/such/file"}, "svtool: invalid character at 1..2\n"},
      {{"regex", "dump", "--code", "jis", "a"},
       "svtool: TbmREScanner.SetCharCode: can't create reader\n"},
      {{"regex", "grep", "a", "/no/such/file"},
       "svtool: cannot open /no/such/file: No such file or directory\n"},
      {{"regex", "dump", "--code", "ebcdic", "a"},
       "svtool: unknown code 'ebcdic' (sjis, euc, western, unicode or jis)\n"},
      {{"regex", "fold"}, "svtool: unknown regex command 'fold' (dump or grep)\n"},
      {{"regex", "dump", "-n", "a"}, "svtool: unknown option '-n'\n"},
  };
  for (const Case& c : cases) {
    SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.error);
  }
}

}  // namespace
}  // namespace morvik::testing

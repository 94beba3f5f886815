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
      // Several files: each line carries its file's name.
      {{"regex", "grep", "-n", "q", text, text},
       0,
       text + ":4:q\x95\x5c\r\n" + text + ":4:q\x95\x5c\r\n"},
  };
  for (const Case& c : cases) {
    SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, c.status) << c.args[2] << result.err;
    EXPECT_EQ(result.out, c.out) << c.args[2];
  }
}

TEST(SvtoolRegex, GrepOptionsAndExitStatus) {
  ScratchDir dir;
  const std::string text = dir.Write("text.txt", "Word one\r\nsecond\r\nword\x95\x5c\r\nx\\y\r\n");
  const std::string other = dir.Write("other.txt", "nothing\n");
  const std::string utf8_pattern = dir.Write("utf8.pat", "\xe8\xa1\xa8\n");  // 表
  const std::string sjis_pattern = dir.Write("sjis.pat", "\x95\x5c\r\n");
  const std::string bad_pattern = dir.Write("bad.pat", "\x81");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string input = "";
  } cases[] = {
      {{"-c", "o", text}, 0, "3\n"},
      {{"b"}, 0, "b\r\n", "a\nb\n"},
      {{"-c", "b", "-", other}, 0, "(standard input):1\n" + other + ":0\n", "b\r\n"},
      {{"-c", "-v", "o", text}, 0, "1\n"},
      {{"-v", "o", text}, 0, "x\\y\r\n"},
      {{"-o", "-n", "o[a-z]*", text}, 0, "1:ord\r\n1:one\r\n2:ond\r\n3:ord\r\n"},
      {{"-i", "-m", "1", "WORD", text}, 0, "Word one\r\n"},
      {{"-ic", "word", text, other}, 0, text + ":2\n" + other + ":0\n"},
      {{"-h", "one", text, other}, 0, "Word one\r\n"},
      {{"-H", "one", text}, 0, text + ":Word one\r\n"},
      {{"-l", "one", text, other}, 0, text + "\n"},
      {{"-L", "one", text, other}, 0, other + "\n"},
      {{"-L", "o", text}, 1, ""},
      {{"-m", "0", "o", text}, 1, ""},
      {{"zzz", text}, 1, ""},
      // The trail byte 0x5C of 表 is no backslash.
      {{"-n", "\\\\", text}, 0, "4:x\\y\r\n"},
      {{"-f", sjis_pattern, text}, 0, "word\x95\x5c\r\n"},
      {{"-f", utf8_pattern, "--pattern-encoding", "utf-8", text}, 0, "word\x95\x5c\r\n"},
      {{"--to-utf8", "-f", sjis_pattern, text}, 0, "word\xe8\xa1\xa8\n"},
      {{"--to-utf8", "-o", "y", dir.Write("bad.txt", "\xfdy\x81y")}, 0, "y\n"},
      {{"--to-utf8", "y", dir.Write("bad2.txt", "y\xfd")}, 0, "y\\xFD\n"},
      // Trouble wins over selected lines.
      {{"one", text, "/no/such/file"}, 2, text + ":Word one\r\n"},
      {{"-f", bad_pattern, text}, 2, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"regex", "grep"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const SvtoolResult result = RunSvtool(args, c.input);
    EXPECT_EQ(result.status, c.status) << c.args[0] << " " << c.args[1] << result.err;
    EXPECT_EQ(result.out, c.out) << c.args[0] << " " << c.args[1];
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
      // A second pattern is refused, not one of the two dropped.
      {{"regex", "grep", "a", "-if", "/dev/null"},
       "svtool: usage: svtool regex grep [OPTION]... (PATTERN | -f PATFILE) [FILE]...\n"},
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

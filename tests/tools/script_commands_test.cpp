#include <gtest/gtest.h>

#include "svtool_runner.h"

namespace morvik::testing {
namespace {

TEST(SvtoolScript, ConvertsShiftJisBothWays) {
  // ボ and マ have trail bytes with the codes of '{' and '}'.
  const std::string script = "x{\x83\x7B|b}\x83\x7D";
  const std::string decomposed = "x\r\n{\r\n  \x83\x7B\r\n  |\r\n  b\r\n}\r\n\x83\x7D";
  ScratchDir dir;
  const std::string file = dir.Write("script.txt", script);

  SvtoolResult from_file = RunSvtool({"script", "decompose", file});
  EXPECT_EQ(from_file.status, 0) << from_file.err;
  EXPECT_EQ(from_file.out, decomposed);

  SvtoolResult from_stdin = RunSvtool({"script", "linize"}, decomposed);
  EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
  EXPECT_EQ(from_stdin.out, script);

  // Untouched characters keep their bytes: duplicate-mapped ones (ED40,
  // FA5C) and invalid bytes, which never pair with a neighbour.
  for (const std::string kept : {"\xED\x40|\xFA\x5C", "\xEE\xEE\x61", "{\xEE|\xEE\x61}"}) {
    for (const char* action : {"decompose", "linize"}) {
      const SvtoolResult result = RunSvtool({"script", action}, kept);
      std::string without_layout;
      for (char c : result.out) {
        if (c != '\r' && c != '\n' && c != ' ') without_layout += c;
      }
      EXPECT_EQ(without_layout, kept) << action;
    }
  }
}

TEST(SvtoolScript, ReportsErrorsWithStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string input, error;
  } cases[] = {
      {{"script", "decompose"}, "a{b|c", "svtool: braces do not close\n"},
      {{"script", "linize", "/no/such/file"},
       "",
       "svtool: cannot open /no/such/file: No such file or directory\n"},
      {{"script", "fold"}, "", "svtool: unknown script command 'fold' (decompose or linize)\n"},
      {{"script"}, "", "svtool: usage: svtool script decompose|linize [FILE]\n"},
      {{"frobnicate"}, "", "svtool: unknown command 'frobnicate' (try 'svtool --help')\n"},
      {{}, "", "svtool: no command given (try 'svtool --help')\n"},
  };
  for (const Case& c : cases) {
    SvtoolResult result = RunSvtool(c.args, c.input);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.error);
  }
  SvtoolResult help = RunSvtool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("svtool script decompose"), std::string::npos);
}

}  // namespace
}  // namespace morvik::testing

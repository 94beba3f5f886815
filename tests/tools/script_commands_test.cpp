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
      {{"script", "decompose"},
       std::string(100000, '{') + std::string(100000, '}'),
       "svtool: braces nest too deeply\n"},
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

// Every command reads standard input for a missing FILE or "-", and answers
// --help and --version; the output matches the run on a file.
TEST(SvtoolConventions, StandardInputHelpAndVersion) {
  ScratchDir dir;
  const std::string data = "\"b\",\"x\"\r\n\"a\",\"y\"\r\n";
  const std::string file = dir.Write("data.txt", data);
  const std::string source = dir.Write("source.txt", "\"c\",\"z\"\r\n");
  const std::vector<std::string> commands[] = {
      {"sort", "--whole"},     {"info", "--show", "keywords"}, {"info", "--show", "invalid"},
      {"script", "decompose"}, {"merge", "@", source},         {"merge", file, "@"},
  };
  for (const auto& command : commands) {
    // "@" stands for the input file, or standard input.
    auto with = [&](const std::string& input) {
      std::vector<std::string> args = command;
      bool placed = false;
      for (std::string& arg : args) {
        if (arg == "@") arg = input, placed = true;
      }
      if (!placed && !input.empty()) args.push_back(input);
      return args;
    };
    const std::string piped = command.back() == "@" ? ReadFile(source) : data;
    const SvtoolResult from_file = RunSvtool(with(command.back() == "@" ? source : file));
    EXPECT_EQ(from_file.status, 0) << command[0] << from_file.err;
    for (const std::string input : {"-", ""}) {
      if (input.empty() && command[0] == "merge") continue;  // merge needs both names
      const SvtoolResult from_stdin = RunSvtool(with(input), piped);
      EXPECT_EQ(from_stdin.status, 0) << command[0] << from_stdin.err;
      EXPECT_EQ(from_stdin.out, from_file.out) << command[0];
    }
  }
  for (const std::string family : {"script", "info", "sort", "merge", "regex"}) {
    const SvtoolResult help = RunSvtool({family, "--help"});
    EXPECT_EQ(help.status, 0) << family;
    EXPECT_EQ(help.out.rfind("svtool " + family, 0), 0u) << family << help.out;
  }
  const SvtoolResult version = RunSvtool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("svtool (Morvik) ", 0), 0u) << version.out;
  // A pipe, which tells no size, is read to its end, across many blocks.
  std::string long_input;
  for (int i = 0; long_input.size() < 3'000'000; ++i) long_input += std::to_string(i);
  const SvtoolResult piped = RunSvtool({"script", "linize", "-"}, long_input, true);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out == long_input);
}

}  // namespace
}  // namespace morvik::testing

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "svtool_runner.h"

namespace morvik::testing {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(SvtoolData, SortsTheBlockAroundALine) {
  ScratchDir dir;
  const std::string file =
      dir.Write("data.txt", Lines({R"("z","")", "{PRIOR}", R"("c","")", R"("a","")", R"("b","")",
                                   "{PRIOR}", R"("{EndOfData}","{Dummy}")"}));
  struct Case {
    std::vector<std::string> options;
    std::string expected;
  } cases[] = {
      {{"--line", "4", "--descending"},
       Lines({R"("z","")", "{PRIOR}", R"("c","")", R"("b","")", R"("a","")", "{PRIOR}",
              R"("{EndOfData}","{Dummy}")"})},
      {{"--whole"},
       Lines({R"("a","")", R"("b","")", R"("c","")", R"("z","")", "{PRIOR}", "{PRIOR}",
              R"("{EndOfData}","{Dummy}")"})},
      {{"--line", "8"},  // the empty line after the final break: nothing moves
       Lines({R"("z","")", "{PRIOR}", R"("c","")", R"("a","")", R"("b","")", "{PRIOR}",
              R"("{EndOfData}","{Dummy}")"})},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"sort", file};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const SvtoolResult result = RunSvtool(args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.expected);
  }
  const SvtoolResult to_file = RunSvtool({"sort", "--whole", file, "-o", dir.path() / "out.txt"});
  EXPECT_EQ(to_file.status, 0) << to_file.err;
  EXPECT_EQ(to_file.out, "");
  EXPECT_EQ(dir.Read("out.txt"), cases[1].expected);
}

TEST(SvtoolData, MergesAndReportsOnStandardError) {
  ScratchDir dir;
  const std::string doc = dir.Write("doc.txt", Lines({R"("a","1")", R"("{EndOfData}","")"}));
  const std::string source = dir.Write(
      "src.txt", Lines({R"("A","1")", R"("b","2")", R"("c","3")", R"("x")", R"("x","y","z")"}));
  const SvtoolResult result = RunSvtool({"merge", doc, source});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, Lines({R"("a","1")", R"("x","y","z")", R"("c","3")", R"("b","2")",
                               R"("{EndOfData}","")"}));
  EXPECT_EQ(result.err, "全有効 5 行中 3 行をマージしました\n");

  // Three fields wanted: only the last line qualifies; appended past the end.
  const SvtoolResult typed = RunSvtool({"merge", "--type", "DataA1", "--line", "3", doc, source});
  EXPECT_EQ(typed.status, 0) << typed.err;
  EXPECT_EQ(typed.out, Lines({R"("a","1")", R"("{EndOfData}","")", R"("x","y","z")"}));
  EXPECT_EQ(typed.err, "全有効 5 行中 1 行をマージしました\n");

  const std::string empty = dir.Write("empty.txt", "");
  const SvtoolResult nothing = RunSvtool({"merge", doc, empty});
  EXPECT_EQ(nothing.status, 0);
  EXPECT_EQ(nothing.err, "");
  EXPECT_EQ(nothing.out, Lines({R"("a","1")", R"("{EndOfData}","")"}));
}

TEST(SvtoolData, ShowsFileInformation) {
  ScratchDir dir;
  const std::string file = dir.Write(
      "info.txt", Lines({R"("a","1")", R"("b")", "", R"("{EndOfData}","{Dummy}")", R"("c","3")"}));
  struct Case {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"info", file}, "Data01 info.txt\r\n全 5行; 有効 2行, 無効 3行\r\n"},
      {{"info", "--type", "DataC2", file}, "DataC2 info.txt\r\n全 5行; 有効 4行, 無効 1行\r\n"},
      {{"info", "--show", "path", file}, file + "\r\n"},
      {{"info", "--show", "invalid", file}, Lines({R"(Line2 "b")", "Line3 ", R"(Line5 "c","3")"})},
      {{"info", "--show", "keywords", file}, Lines({"a", "b"})},
      {{"info", "--show", "invalid", "--type", "DataC1", dir.Write("ok.txt", "a\r\n")}, ""},
  };
  for (const Case& c : cases) {
    const SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out);
  }
}

TEST(SvtoolData, RejectsBadArgumentsWithoutWriting) {
  ScratchDir dir;
  const std::string file = dir.Write("a.txt", "b\r\na\r\n");
  const std::string out = (dir.path() / "out.txt").string();
  struct Case {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"sort", "/no/such/file", "-o", out},
       "svtool: cannot open /no/such/file: No such file or directory\n"},
      {{"sort", "--line", "4", file, "-o", out}, "svtool: line 4 is out of range (1..3)\n"},
      {{"sort", "--line", "x", file, "-o", out}, "svtool: bad line number 'x'\n"},
      {{"sort", "--line", "0", file, "-o", out}, "svtool: line 0 is out of range (1..3)\n"},
      {{"sort", "--reverse", file, "-o", out}, "svtool: unknown option '--reverse' for sort\n"},
      {{"sort", file, "-o"}, "svtool: option -o needs a value\n"},
      {{"sort", "a", "b", "-o", out},
       "svtool: usage: svtool sort [--whole] [--line N] [--descending] "
       "[FILE] [-o OUT]\n"},
      {{"merge", "-", "-", "-o", out}, "svtool: DOC and SOURCE cannot both be standard input\n"},
      {{"merge", "--type", "Data03", file, file, "-o", out},
       "svtool: unknown data type 'Data03' (Data01 Data02 DataA1 DataA2 DataB1 DataB2 DataC1 "
       "DataC2)\n"},
      {{"merge", file, "/no/such/source", "-o", out},
       "svtool: cannot open /no/such/source: No such file or directory\n"},
      {{"info", "--show", "all", file},
       "svtool: unknown item 'all' for --show (path, invalid or keywords)\n"},
      {{"info", "--show", "path", dir.path().string()},
       "svtool: cannot read " + dir.path().string() + ": Is a directory\n"},
  };
  for (const Case& c : cases) {
    const SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, 2) << c.error;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.error);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// A failed -o leaves the target as it was, or absent; svtool reads and
// writes through the editor's file module, with its refusals.
TEST(SvtoolData, FailedOutputLeavesTheTargetAsItWas) {
  ScratchDir dir;
  const std::string input = dir.Write("in.txt", "b\r\na\r\n");
  const std::string read_only = dir.Write("read-only.txt", "kept\r\n");
  ASSERT_EQ(chmod(read_only.c_str(), 0444), 0);
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The document fits on the small disk, the sorted copy beside it does not.
  const SmallTmpfs disk(96 * 1024);
  const std::string on_disk = disk.Path().empty() ? "" : disk.Path() + "/in.txt";
  std::string big;
  for (int i = 0; i < 12000; ++i) big += std::to_string(12000 - i) + "\r\n";
  if (!on_disk.empty()) WriteFile(on_disk, big);

  const struct {
    std::vector<std::string> args;
    std::string target, error;
  } cases[] = {
      {{"sort", read_only, "-o", read_only},
       read_only,
       "cannot write " + read_only + ": Read-only file"},
      {{"sort", input, "-o", dir.File("no/out.txt")}, dir.File("no/out.txt"), "No such file"},
      {{"merge", on_disk, input, "-o", on_disk}, on_disk, "No space left on device"},
      {{"sort", on_disk, "-o", on_disk.empty() ? "" : on_disk + ".new"},
       on_disk + ".new",
       "No space left on device"},
      {{"sort", fifo, "-o", dir.File("out.txt")}, dir.File("out.txt"), "Is a named pipe"},
      {{"info", "/dev/zero"}, "", "cannot read /dev/zero: Is a character device"},
  };
  for (const auto& c : cases) {
    if (std::find(c.args.begin(), c.args.end(), "") != c.args.end()) {
      std::cout << "[  SKIPPED ] disk full: mounting a small tmpfs needs root\n";
      continue;
    }
    const bool existed = !c.target.empty() && std::filesystem::exists(c.target);
    const std::string before = existed ? ReadFile(c.target) : "";
    const SvtoolResult result = RunSvtool(c.args);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    if (c.target.empty()) continue;
    EXPECT_EQ(std::filesystem::exists(c.target), existed) << c.target;
    if (existed) {
      EXPECT_EQ(ReadFile(c.target), before) << c.target;
    }
  }
}

}  // namespace
}  // namespace morvik::testing

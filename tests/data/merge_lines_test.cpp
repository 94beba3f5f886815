#include "data/merge_lines.h"

#include <gtest/gtest.h>

#include "data/line_equality.h"

namespace morvik {
namespace {

// Records the status texts; asks to stop after a given number of them.
class RecordingProgress : public MergeProgress {
 public:
  explicit RecordingProgress(std::size_t stop_after = SIZE_MAX) : stop_after_(stop_after) {}
  void ShowStatus(const std::string& text) override { texts.push_back(text); }
  bool StopRequested() override { return texts.size() >= stop_after_; }
  std::vector<std::string> texts;

 private:
  std::size_t stop_after_;
};

struct MergeRun {
  std::string text;
  MergeOutcome outcome;
  std::vector<std::string> statuses;
};

MergeRun Merge(const std::string& document, const LineList& source, int field_count,
               std::size_t caret_line, std::size_t stop_after = SIZE_MAX) {
  TextMergeTarget target(document);
  RecordingProgress progress(stop_after);
  MergeRun run;
  run.outcome = MergeLines(target, source, field_count, caret_line, progress);
  run.text = target.Text();
  run.statuses = progress.texts;
  return run;
}

TEST(MergeCommand, AddsMissingLinesBelowTheCaret) {
  const std::string end = R"("{EndOfData}","{Dummy}")";
  struct Case {
    const char* name;
    std::string document;
    LineList source;
    int field_count;
    std::size_t caret_line;
    std::string expected;
    std::size_t added;
  } cases[] = {
      {"case-blind, reverse order",
       "\"a\",\"1\"\r\n\"z\",\"9\"\r\n",
       {R"("A","1")", R"("b","2")", R"("c","3")"},
       2,
       0,
       "\"a\",\"1\"\r\n\"c\",\"3\"\r\n\"b\",\"2\"\r\n\"z\",\"9\"\r\n",
       2},
      {"stops at the end marker",
       "x\r\n",
       {"a,1", "b,2", end, "c,3", "d,4"},
       2,
       0,
       "x\r\nb,2\r\na,1\r\n",
       2},
      {"a line twice is added once", "x\r\n", {"a,1", "A,1", "a,1"}, 2, 0, "x\r\na,1\r\n", 1},
      {"short lines are skipped", "x\r\n", {"\"x\"", "", "y,1"}, 2, 0, "x\r\ny,1\r\n", 1},
      {"short end marker does not stop",
       "x\r\n",
       {"\"{EndOfData}\"", "y,1,2"},
       3,
       0,
       "x\r\ny,1,2\r\n",
       1},
      {"no field count: empty lines merge",
       "x\r\n",
       {"", "{PRIOR}", ""},
       0,
       0,
       "x\r\n{PRIOR}\r\n\r\n",
       2},
      {"caret on the last line appends", "a\r\nb\r\n", {"c", "d"}, 0, 1, "a\r\nb\r\nd\r\nc\r\n", 2},
      {"caret past the final break appends",
       "a\r\nb\r\n",
       {"c", "d", "e"},
       0,
       2,
       "a\r\nb\r\ne\r\nd\r\nc\r\n",
       3},
      {"no final break", "a\r\nb", {"c", "d"}, 0, 1, "a\r\nb\r\nd\r\nc", 2},
      {"empty document", "", {"c", "d"}, 0, 0, "d\r\nc\r\n", 2},
      {"the document's own duplicates count", "a\r\nA\r\n", {"a", "b"}, 0, 0, "a\r\nb\r\nA\r\n", 1},
      // Full-width Ａ and ａ are one letter in two cases; ASCII A is another
      // character. Greek Σ and σ fold together.
      {"Unicode case, widths apart",
       "\x82\x60\r\n\x83\xB0\r\n",
       {"\x82\x81", "A", "\x83\xD0"},
       0,
       0,
       "\x82\x60\r\nA\r\n\x83\xB0\r\n",
       1},
      {"kana widths apart", "\x83\x41\r\n", {"\xB1"}, 0, 0, "\x83\x41\r\n\xB1\r\n", 1},
  };
  for (const Case& c : cases) {
    const MergeRun run = Merge(c.document, c.source, c.field_count, c.caret_line);
    EXPECT_EQ(run.text, c.expected) << c.name;
    EXPECT_EQ(run.outcome.added, c.added) << c.name;
    EXPECT_EQ(run.outcome.source_lines, c.source.size()) << c.name;
  }
}

TEST(MergeCommand, ReportsProgressAndResults) {
  const LineList source = {R"("a","1")", R"("b","2")", R"("{EndOfData}","{Dummy}")", R"("c","3")",
                           R"("d","4")"};
  const MergeRun ended = Merge("", source, 2, 0);
  EXPECT_TRUE(ended.outcome.ended_by_marker);
  EXPECT_EQ(ended.statuses.back(), "5 行中 2 行を処理して中止しました");
  EXPECT_EQ(MergeResultText(ended.outcome), "全有効 5 行中 2 行をマージしました");

  // The stop request is seen before the next line.
  const MergeRun stopped = Merge("", source, 2, 0, 1);
  EXPECT_TRUE(stopped.outcome.stopped);
  EXPECT_EQ(stopped.statuses, std::vector<std::string>{"1 / 5 行 を処理中..."});
  EXPECT_EQ(stopped.text, "\"a\",\"1\"\r\n");
  EXPECT_EQ(MergeResultText(stopped.outcome), "全有効 5 行中 1 行をマージしました");

  // Within one interval only the first and the last progress are posted.
  TextMergeTarget target("");
  RecordingProgress progress;
  const LineList many(1000, "x,1");
  MergeLines(target, many, 2, 0, progress, std::chrono::hours(1));
  EXPECT_EQ(progress.texts,
            (std::vector<std::string>{"1 / 1000 行 を処理中...", "1000 / 1000 行 を処理中..."}));

  const MergeRun empty = Merge("a\r\n", {}, 2, 0);
  EXPECT_EQ(empty.outcome.source_lines, 0u);
  EXPECT_TRUE(empty.statuses.empty());
  EXPECT_EQ(empty.text, "a\r\n");
}

TEST(MergeCommand, TextTargetInsertsAnywhere) {
  TextMergeTarget target("a\r\nb\r\nc");
  target.InsertLine(1, "x");
  target.InsertLine(1, "y");
  EXPECT_EQ(target.LineCount(), 5u);
  EXPECT_EQ(target.Line(2), "x");  // reading folds the pending lines in
  target.InsertLine(5, "z");
  target.InsertLine(0, "w");
  EXPECT_EQ(target.Text(), "w\r\na\r\ny\r\nx\r\nb\r\nc\r\nz");
}

}  // namespace
}  // namespace morvik

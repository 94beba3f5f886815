// Sort, merge, file information and the script editor in user sessions.
#include <gtest/gtest.h>

#include "data/file_info.h"
#include "data/line_sort.h"
#include "data/merge_lines.h"
#include "data/sv_script.h"
#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using SortAnswer = FakeDesktop::SortAnswer;

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kSortSample =
    Lines({R"("z","")", "{PRIOR}", R"("c","")", R"("a","")", R"("b","")", "{PRIOR}", R"("y","")",
           R"("{EndOfData}","{Dummy}")"});

class DataCommands : public EditorSession {};

TEST_F(DataCommands, SortsTheBlockBetweenPriorLinesDescending) {
  TRichEditEx& document = OpenAs(WriteFile("sort.txt", kSortSample), Data01);
  PutCaret(document, 3, 2);  // on "a",""
  desktop_.sort_answers.push_back({0, 1, SortAnswer::Close::Ok});
  editor_.MenuEditSortClick();

  EXPECT_EQ(document.Text(), Lines({R"("z","")", "{PRIOR}", R"("c","")", R"("b","")", R"("a","")",
                                    "{PRIOR}", R"("y","")", R"("{EndOfData}","{Dummy}")"}));
  EXPECT_EQ(desktop_.status_messages,
            (std::vector<std::string>{kSortPreparingStatus, kSortRunningStatus,
                                      kSortRedrawingStatus, kSortDoneStatus}));
  EXPECT_FALSE(desktop_.busy);
  EXPECT_TRUE(document.Modified());
  EXPECT_FALSE(document.ReadOnly());
  EXPECT_EQ(document.LineFromPosition(document.SelStart()), 3u);
  document.Undo();  // one step takes the whole sort back
  EXPECT_EQ(document.Text(), kSortSample);
}

TEST_F(DataCommands, SortLeftByCancelOrFrameChangesNothing) {
  TRichEditEx& document = OpenAs(WriteFile("sort.txt", kSortSample), Data01);
  PutCaret(document, 3);
  for (SortAnswer::Close close : {SortAnswer::Close::Cancel, SortAnswer::Close::Frame}) {
    desktop_.sort_answers.push_back({1, 1, close});
    editor_.MenuEditSortClick();
  }
  EXPECT_EQ(document.Text(), kSortSample);
  EXPECT_FALSE(document.Modified());
  EXPECT_TRUE(desktop_.status_messages.empty());
}

TEST_F(DataCommands, MergeAddsNewLinesBelowTheCaretAsOneStep) {
  TRichEditEx& document = OpenAs(WriteFile("doc.txt", Lines({R"("a","1")", "{PRIOR}"})), Data01);
  desktop_.open_answers.push_back(
      WriteFile("src.txt", Lines({R"("A","1")", R"("b","2")", R"("c","3")", R"("x")"})));
  editor_.MenuEditMergeClick();

  EXPECT_EQ(document.Text(), Lines({R"("a","1")", R"("c","3")", R"("b","2")", "{PRIOR}"}));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].caption, "情報");
  EXPECT_EQ(desktop_.messages[0].text, "全有効 4 行中 2 行をマージしました");
  EXPECT_EQ(desktop_.panels[1], "");
  EXPECT_EQ(desktop_.menu_captions[MenuItemId::MenuEditMerge], kMergeCaption);
  EXPECT_FALSE(desktop_.busy);
  document.Undo();
  EXPECT_EQ(document.Text(), Lines({R"("a","1")", "{PRIOR}"}));
}

TEST_F(DataCommands, MergeStopsAfterTheFirstProgressText) {
  TRichEditEx& document = OpenAs(WriteFile("doc.txt", Lines({"x"})), DataC1);
  desktop_.open_answers.push_back(WriteFile("src.txt", Lines({"a", "b", "c"})));
  int stop_clicks = 0;
  desktop_.on_pending_events = [&] {
    if (desktop_.panels[1] != "1 / 3 行 を処理中...") return;
    // While the merge runs: the view's edits are refused, the other data
    // commands do not start (no dialog is asked for), the item stops it.
    EXPECT_TRUE(document.ReadOnly());
    EXPECT_EQ(desktop_.menu_captions[MenuItemId::MenuEditMerge], kMergeStopCaption);
    editor_.MenuEditSortClick();
    editor_.MenuFileInformationClick();
    editor_.MenuEditScriptClick();
    editor_.MenuEditMergeClick();
    ++stop_clicks;
  };
  editor_.MenuEditMergeClick();

  EXPECT_EQ(stop_clicks, 1);
  EXPECT_EQ(document.Text(), Lines({"x", "a"}));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "全有効 3 行中 1 行をマージしました");
  EXPECT_FALSE(editor_.MergeStopRequested);
  EXPECT_FALSE(editor_.MergeRunning());
  EXPECT_FALSE(document.ReadOnly());
  EXPECT_EQ(desktop_.menu_captions[MenuItemId::MenuEditMerge], kMergeCaption);
}

TEST_F(DataCommands, MergeOfAMissingOrEmptySourceShowsNoResult) {
  TRichEditEx& document = OpenAs(WriteFile("doc.txt", Lines({"x"})), Data01);
  desktop_.open_answers.push_back(PathOf("missing.txt"));
  EXPECT_THROW(editor_.MenuEditMergeClick(), ESavraError);
  desktop_.open_answers.push_back(WriteFile("empty.txt", ""));
  editor_.MenuEditMergeClick();
  desktop_.open_answers.push_back(std::nullopt);  // the file dialog cancelled
  editor_.MenuEditMergeClick();

  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(document.Text(), Lines({"x"}));
  EXPECT_EQ(desktop_.menu_captions[MenuItemId::MenuEditMerge], kMergeCaption);
  EXPECT_FALSE(desktop_.busy);
  EXPECT_FALSE(editor_.MergeRunning());
  EXPECT_FALSE(document.ReadOnly());
}

// svtool runs the data layer on a text; the editor runs it on a document.
// Both must leave the same bytes.
TEST_F(DataCommands, EditorAndSvtoolLeaveTheSameText) {
  struct Case {
    std::string text;
    std::size_t caret_line;
  } cases[] = {
      {Lines({"b", "a", "{PRIOR}", "d", "c"}), 0},
      {Lines({"b", "a"}), 1},
      {Lines({"b", "a"}), 2},
      {"b\r\na", 1},
      {"", 0},
      {"b\ra\nc", 0},
  };
  const LineList source = {"e", "B", "f"};
  for (const Case& c : cases) {
    for (bool whole : {false, true}) {
      TRichEditEx& document = OpenAs(WriteFile("same.txt", c.text), DataC1);
      PutCaret(document, c.caret_line);
      desktop_.sort_answers.push_back({whole ? 1 : 0, 0, SortAnswer::Close::Ok});
      editor_.MenuEditSortClick();
      EXPECT_EQ(document.Text(), SortDocumentText(c.text, c.caret_line, whole, true)) << c.text;
    }
    TRichEditEx& document = OpenAs(WriteFile("same.txt", c.text), DataC1);
    PutCaret(document, c.caret_line);
    desktop_.open_answers.push_back(WriteFile("source.txt", JoinLines(source)));
    editor_.MenuEditMergeClick();
    TextMergeTarget target(c.text);
    class Silent : public MergeProgress {
      void ShowStatus(const std::string&) override {}
      bool StopRequested() override { return false; }
    } silent;
    MergeLines(target, source, 0, c.caret_line, silent);
    EXPECT_EQ(document.Text(), target.Text()) << c.text;
  }
}

const std::string kInfoSample =
    Lines({R"("a","1")", R"("b")", "", R"("{EndOfData}","{Dummy}")", R"("c","3")"});

TEST_F(DataCommands, FileInformationShowsCountsAndListings) {
  const std::string path = WriteFile("info.txt", kInfoSample);
  OpenAs(path, Data01);
  desktop_.file_info_choices.push_back({kShowKeywords, kShowInvalidLines, kShowFullPath});
  editor_.MenuFileInformationClick();
  OpenAs(path, DataC1);
  desktop_.file_info_choices.push_back({kShowInvalidLines});
  editor_.MenuFileInformationClick();

  ASSERT_EQ(desktop_.file_infos.size(), 2u);
  const FakeDesktop::FileInfoShown& two = desktop_.file_infos[0];
  EXPECT_EQ(two.label_file_name, "Data01 info.txt");
  EXPECT_EQ(two.label_lines, "全 5行; 有効 2行, 無効 3行");
  EXPECT_EQ(two.memos, (std::vector<std::vector<std::string>>{
                           {"a", "b"}, {R"(Line2 "b")", "Line3 ", R"(Line5 "c","3")"}, {path}}));
  const FakeDesktop::FileInfoShown& none = desktop_.file_infos[1];
  EXPECT_EQ(none.label_lines, "全 5行; 有効 4行, 無効 1行");
  EXPECT_EQ(none.memos, (std::vector<std::vector<std::string>>{{R"(Line5 "c","3")"}}));
  EXPECT_FALSE(desktop_.busy);
}

TEST_F(DataCommands, ScriptEditorReflectsIgnoresAndClosesByFrame) {
  TRichEditEx& document = OpenAs(WriteFile("script.txt", Lines({"x{a|b}y", "z"})), Data01);
  auto select_script = [&] { document.SetSelection(0, 7); };
  auto edit = [](TFormScript& form) { form.SetMemoText(form.MemoScript + "|c"); };

  select_script();
  desktop_.script_sessions.push_back([](TFormScript& form) { form.MenuQuitReflectClick(); });
  editor_.MenuEditScriptClick();
  EXPECT_EQ(desktop_.scripts_shown.back(), "x\r\n{\r\n  a\r\n  |\r\n  b\r\n}\r\ny");
  EXPECT_EQ(document.Text(), Lines({"x{a|b}y", "z"}));

  select_script();
  desktop_.script_sessions.push_back([&](TFormScript& form) {
    edit(form);
    form.MenuQuitIgnoreClick();
  });
  editor_.MenuEditScriptClick();
  EXPECT_EQ(document.Text(), Lines({"x{a|b}y", "z"}));

  select_script();
  desktop_.script_sessions.push_back(edit);  // then the frame closes it
  editor_.MenuEditScriptClick();
  EXPECT_EQ(document.Text(), Lines({"x{a|b}y|c", "z"}));

  document.SetSelection(0, 3);  // "x{a": braces do not close
  EXPECT_THROW(editor_.MenuEditScriptClick(), EInvalidSavraScript);
  EXPECT_EQ(desktop_.scripts_shown.size(), 3u);  // the window never opened
  EXPECT_EQ(document.Text(), Lines({"x{a|b}y|c", "z"}));
}

TEST_F(DataCommands, CommandsWithoutADocumentDoNothing) {
  editor_.MenuEditSortClick();
  editor_.MenuEditMergeClick();
  editor_.MenuFileInformationClick();
  // The script editor opens empty; reflecting changes nothing.
  desktop_.script_sessions.push_back([](TFormScript& form) { form.MenuQuitReflectClick(); });
  editor_.MenuEditScriptClick();
  EXPECT_EQ(desktop_.scripts_shown, std::vector<std::string>{""});
  EXPECT_TRUE(desktop_.file_infos.empty());
  EXPECT_TRUE(desktop_.status_messages.empty());
}

}  // namespace
}  // namespace morvik

// Sessions with what a desktop user expects beyond the menus of old:
// closing one document, the mark of unsaved changes, recent files, going to
// a line, line numbers and zoom.
#include <string>
#include <vector>

#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using Desktop = EditorSession;
using B = MessageButton;

const std::string kRecord = "\"a\",\"\"\r\n";

// The close button of a tab or File > Close, on a modified document or not,
// answered each way; a page not current is closed from its tab.
TEST_F(Desktop, ClosingADocumentAsksAsClosingTheWindowDoes) {
  struct Case {
    const char* name;
    int target;    // 0: an opened file; 1: a new, never saved document (current)
    bool by_menu;  // File > Close on the target made current; else its tab's button
    bool modified;
    std::optional<B> answer;             // to the prompt, when one is expected
    std::optional<std::string> save_as;  // the save dialog's answer, when it is asked
    bool closed;
    bool written;      // the target's text reached its file
    int active_after;  // the page current afterwards
  };
  const Case cases[] = {
      {"unmodified closes at once", 0, true, false, {}, {}, true, false, 0},
      {"unmodified background tab closes, current stays", 0, false, false, {}, {}, true, false, 0},
      {"no discards", 0, true, true, B::No, {}, true, false, 0},
      {"cancel keeps it", 0, true, true, B::Cancel, {}, false, false, 0},
      {"yes saves to its file", 0, true, true, B::Yes, {}, true, true, 0},
      {"modified background tab is shown, then asked",
       0,
       false,
       true,
       B::Cancel,
       {},
       false,
       false,
       0},
      {"never saved: yes asks where", 1, true, true, B::Yes, "new.htd", true, true, 0},
      {"never saved: save dialog cancelled keeps it", 1, false, true, B::Yes, std::nullopt, false,
       false, 1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    FakeDesktop desktop;
    TFormEditor editor(desktop);
    editor.FormCreate();
    const std::string path = WriteFile("open.htd", kRecord);
    desktop.open_answers.push_back(path);
    desktop.type_answers.push_back({Data01, FakeDesktop::TypeButton::Ok});
    editor.MenuFileOpenClick();
    desktop.type_answers.push_back({Data01, FakeDesktop::TypeButton::Ok});
    editor.MenuFileNewClick();
    TRichEditEx& first = *editor.DocumentByNumber(1);
    if (test.modified && test.target == 0) first.Replace(0, 0, "X");
    if (test.by_menu) desktop.ClickTab(test.target);
    const std::string text = editor.DocumentByNumber(test.target + 1)->Text();
    if (test.answer) desktop.message_answers.push_back(*test.answer);
    if (test.answer == B::Yes && test.target == 1) {
      desktop.save_answers.push_back(test.save_as ? std::optional(PathOf(*test.save_as))
                                                  : std::nullopt);
    }

    if (test.by_menu) {
      editor.MenuFileCloseClick();
    } else {
      editor.PageCloseClick(test.target);
    }

    EXPECT_EQ(desktop.messages.size(), test.answer ? 1u : 0u);
    EXPECT_TRUE(desktop.message_answers.empty() && desktop.save_answers.empty());
    EXPECT_EQ(editor.DocumentByNumber(test.target + 1) == nullptr, test.closed);
    EXPECT_EQ(editor.PageCount(), test.closed ? 1 : 2);
    EXPECT_EQ(desktop.active_page, test.active_after);
    const std::string file = test.target == 0 ? path : PathOf(test.save_as.value_or("none"));
    EXPECT_EQ(ReadFile(file), test.written ? text : test.target == 0 ? kRecord : "");

    // Numbers are never reused.
    desktop.type_answers.push_back({Data01, FakeDesktop::TypeButton::Ok});
    editor.MenuFileNewClick();
    EXPECT_EQ(desktop.pages.back().tab_sheet_name, "TabSheet3");
    EXPECT_EQ(editor.CurrentDocument()->FileName, "Untitled3");
    std::filesystem::remove(PathOf("new.htd"));
  }
}

TEST_F(Desktop, ClosingTheLastDocumentClearsTheStatusBar) {
  NewDocument(Data01).SetModified(false);
  editor_.MenuFileCloseClick();
  EXPECT_EQ(editor_.CurrentDocument(), nullptr);
  EXPECT_EQ(desktop_.panels[0], "");
  EXPECT_EQ(desktop_.panels[1], "");
  editor_.MenuFileCloseClick();  // nothing left: nothing happens
  EXPECT_EQ(desktop_.closed_pages, std::vector<std::string>{"TabSheet1"});
}

// The tab's mark follows the modified flag: on for a new document, off once
// saved or loaded, on after an edit, off again when undone to the saved text.
TEST_F(Desktop, TabMarksUnsavedChanges) {
  NewDocument(DataA1);
  EXPECT_TRUE(desktop_.pages[0].modified_mark);
  TRichEditEx& opened = OpenAs(WriteFile("d.htd", kRecord), DataA1);
  const struct {
    const char* step;
    std::function<void()> run;
    bool mark;
  } steps[] = {
      {"opened", [] {}, false},
      {"typed", [&] { opened.ApplyViewEdit(0, 0, u"x"); }, true},
      {"undone", [&] { opened.Undo(); }, false},
      {"redone", [&] { opened.Redo(); }, true},
      {"saved", [&] { editor_.MenuFileSaveClick(); }, false},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.step);
    step.run();
    EXPECT_EQ(desktop_.pages[1].modified_mark, step.mark);
  }
  EXPECT_TRUE(desktop_.pages[0].modified_mark) << "the other tab keeps its own mark";
}

TEST(RecentFilesTest, ListKeepsTenNewestWithoutDuplicates) {
  std::vector<RecentFile> files;
  for (int i = 0; i < 12; ++i) files = WithRecentFile(files, {"/f" + std::to_string(i), Data01});
  ASSERT_EQ(files.size(), kRecentFileCount);
  EXPECT_EQ(files.front().Path, "/f11");
  EXPECT_EQ(files.back().Path, "/f2");
  files = WithRecentFile(files, {"/f5", DataC2});
  EXPECT_EQ(files.front(), (RecentFile{"/f5", DataC2}));
  EXPECT_EQ(files.size(), kRecentFileCount);

  // Through the settings and back; what does not read as an entry drops.
  EXPECT_EQ(RecentFilesFromSetting(RecentFilesSetting(files)), files);
  EXPECT_EQ(RecentFilesFromSetting({"DataA2|/a|b", "nonsense", "Data09|/x", "DataB1|", "|/y",
                                    "dataa2|/a|b", "datac1|/c"}),
            (std::vector<RecentFile>{{"/a|b", DataA2}, {"/c", DataC1}}));
}

TEST_F(Desktop, RecentFilesAreRememberedAndOpenWithTheirType) {
  const std::string a = WriteFile("a.htd", kRecord);
  const std::string b = WriteFile("b.htd", kRecord);
  OpenAs(a, DataA2);
  OpenAs(b, DataB1);
  const std::vector<RecentFile> expected{{b, DataB1}, {a, DataA2}};
  EXPECT_EQ(desktop_.recent_menu, expected);

  // The next run lists them from its settings.
  FakeDesktop next_run;
  next_run.settings = desktop_.settings;
  TFormEditor editor(next_run);
  editor.FormCreate();
  EXPECT_EQ(next_run.recent_menu, expected);

  // Choosing one presets its type; another type chosen is kept for next time.
  next_run.type_answers.push_back({DataC1, FakeDesktop::TypeButton::Ok});
  editor.MenuFileRecentClick(1);
  EXPECT_EQ(next_run.type_presets, std::vector<int>{DataA2});
  EXPECT_EQ(editor.CurrentDocument()->FileName, a);
  EXPECT_EQ(editor.CurrentDocument()->DataType, DataC1);
  EXPECT_EQ(next_run.recent_menu, (std::vector<RecentFile>{{a, DataC1}, {b, DataB1}}));
  // Cancelled: nothing opens.
  next_run.type_answers.push_back({std::nullopt, FakeDesktop::TypeButton::Cancel});
  editor.MenuFileRecentClick(0);
  EXPECT_EQ(editor.PageCount(), 1);
}

TEST_F(Desktop, GoToLineMovesTheCaretToTheLinesStart) {
  TRichEditEx& document = OpenAs(WriteFile("d.htd", kRecord + kRecord + kRecord), Data01);
  PutCaret(document, 1, 3);
  struct Case {
    std::optional<std::size_t> typed;  // nullopt: Cancel
    std::size_t line;                  // the caret's line afterwards, 0-based
  };
  // Four lines: the empty one after the final break counts.
  for (const Case& test : {Case{3, 2}, Case{std::nullopt, 2}, Case{1, 0}, Case{99, 3}}) {
    desktop_.go_to_line_answers.push_back(test.typed);
    editor_.MenuEditGoToLineClick();
    EXPECT_EQ(document.SelStart(), document.PositionOfLine(test.line));
    EXPECT_EQ(document.SelLength(), 0u);
  }
  ASSERT_EQ(desktop_.go_to_line_shown.size(), 4u);
  EXPECT_EQ(desktop_.go_to_line_shown[0].Line, 2u);
  EXPECT_EQ(desktop_.go_to_line_shown[0].LineCount, 4u);
  EXPECT_EQ(desktop_.panels[0], "01 4行1列 (全4行)");
}

// A double-click on the invalid-line listing goes to that line; on any
// other listing, or a row that names no line, it does nothing.
TEST_F(Desktop, FileInformationGoesToADoubleClickedInvalidLine) {
  TRichEditEx& document =
      OpenAs(WriteFile("d.htd", kRecord + "bad\r\n" + kRecord + "worse\r\n"), Data01);
  struct Case {
    int listing;  // 0 path, 1 invalid lines, 2 keywords
    int row;
    std::size_t caret_line;  // 0-based, afterwards
  };
  for (const Case& test : {Case{1, 1, 3}, Case{1, 0, 1}, Case{2, 0, 1}, Case{1, 7, 1}}) {
    desktop_.file_info_choices.push_back({test.listing});
    desktop_.file_info_double_click = test.row;
    editor_.MenuFileInformationClick();
    EXPECT_EQ(document.SelStart(), document.PositionOfLine(test.caret_line));
  }
}

TEST_F(Desktop, LineNumbersSettingIsKeptBetweenRuns) {
  EXPECT_FALSE(desktop_.line_numbers);
  editor_.MenuConfigLineNumbersClick();
  EXPECT_TRUE(desktop_.line_numbers);
  FakeDesktop next_run;
  next_run.settings = desktop_.settings;
  TFormEditor editor(next_run);
  editor.FormCreate();
  EXPECT_TRUE(next_run.line_numbers);
  editor.MenuConfigLineNumbersClick();
  EXPECT_FALSE(next_run.line_numbers);
  EXPECT_EQ(next_run.settings["LineNumbers"], std::vector<std::string>{"0"});
}

// Zoom scales every document's font from the display font, stops at its
// ends, and survives a new choice of font, which stays the base.
TEST_F(Desktop, ZoomScalesTheDocumentsFontFromTheDisplayFont) {
  NewDocument(Data01);
  const int base = editor_.DisplayFont.Size;  // 10 points
  struct Step {
    std::function<void()> run;
    int size;
  };
  const Step steps[] = {
      {[&] { editor_.MenuConfigZoomInClick(); }, 11},
      {[&] { editor_.ZoomBy(2); }, 15},
      {[&] { editor_.ZoomBy(100); }, 40},
      {[&] { editor_.MenuConfigZoomOutClick(); }, 30},
      {[&] { editor_.MenuConfigZoomResetClick(); }, base},
      {[&] { editor_.ZoomBy(-100); }, 5},
  };
  for (const Step& step : steps) {
    step.run();
    EXPECT_EQ(desktop_.pages[0].font.Size, step.size);
  }
  editor_.MenuConfigZoomResetClick();
  editor_.MenuConfigZoomInClick();
  FontSpec chosen;
  chosen.Size = 20;
  desktop_.font_answers.push_back(chosen);
  editor_.MenuConfigFontClick();
  EXPECT_EQ(desktop_.font_starts.back().Size, base) << "the dialog starts from the base";
  EXPECT_EQ(editor_.DisplayFont.Size, 20);
  EXPECT_EQ(desktop_.pages[0].font.Size, 22);
  NewDocument(Data01);
  EXPECT_EQ(desktop_.pages[1].font.Size, 22);
  EXPECT_EQ(ZoomedFont(FontSpec{.Size = 1}, MinZoomLevel()).Size, 1) << "never below a point";
}

}  // namespace
}  // namespace morvik

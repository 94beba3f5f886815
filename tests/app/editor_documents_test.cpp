// Sessions about documents: creation and numbering, the current document,
// the selection, the Enter key and the caret status.
#include <set>
#include <string>

#include "app/editor/main_window_layout.h"
#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using Documents = EditorSession;

TEST_F(Documents, AreNumberedInCreationOrderWhateverTheirOrigin) {
  const std::string path = WriteFile("a.txt", "\"k\",\"v\"\r\n");
  NewDocument(Data01);
  OpenAs(path, DataA1);
  NewDocument(DataC2);
  TRichEditEx& fourth = NewDocument(Data02);

  EXPECT_EQ(editor_.DocumentCount, 4);
  EXPECT_EQ(fourth.Name(), "RichEdit4");
  EXPECT_EQ(fourth.FileName, "Untitled4");
  ASSERT_EQ(desktop_.pages.size(), 4u);
  EXPECT_EQ(desktop_.pages[0].tab_sheet_name, "TabSheet1");
  EXPECT_EQ(desktop_.pages[0].caption, "Untitled1");
  EXPECT_EQ(desktop_.pages[1].caption, "a.txt");
  EXPECT_EQ(desktop_.pages[3].caption, "Untitled4");
  EXPECT_EQ(desktop_.active_page, 3);
  EXPECT_EQ(editor_.CurrentDocument(), &fourth);
  EXPECT_EQ(editor_.DocumentByNumber(2)->FileName, path);
}

TEST_F(Documents, NewDocumentHoldsTheTemplateAndIsModified) {
  struct Case {
    DataType type;
    std::string text;
  };
  const Case cases[] = {
      {Data01, "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"\r\n"},
      {DataA2, "\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n"},
      {DataC1, "\r\n{EndOfData}\r\n"},
  };
  for (const Case& c : cases) {
    TRichEditEx& document = NewDocument(c.type);
    EXPECT_EQ(document.Text(), c.text) << DataTypeName(c.type);
    EXPECT_EQ(document.DataType, c.type);
    EXPECT_TRUE(document.Modified());
    // Undo cannot take the template away.
    document.Undo();
    EXPECT_EQ(document.Text(), c.text);
  }
  // Creating a document writes nothing into the status bar.
  EXPECT_EQ(desktop_.panels[0], "");
  EXPECT_EQ(desktop_.panels[1], "");
}

TEST_F(Documents, WithoutADocumentSelectionCommandsDoNothing) {
  EXPECT_EQ(editor_.CurrentDocument(), nullptr);
  EXPECT_EQ(editor_.GetSelectedText(), "");
  editor_.SetSelectedText("x");  // must not fail
  EXPECT_EQ(editor_.DocumentByNumber(1), nullptr);
}

TEST_F(Documents, SetSelectedTextReplacesTheSelectionAsOneUndoStep) {
  TRichEditEx& document = NewDocument(Data01);
  document.SetSelection(1, 0);
  editor_.SetSelectedText("abc");
  document.SetSelection(1, 3);
  EXPECT_EQ(editor_.GetSelectedText(), "abc");
  editor_.SetSelectedText("\x83\x41");  // ア
  EXPECT_EQ(document.Line(0), "\"\x83\x41\",\"\"");
  EXPECT_EQ(document.SelStart(), 3u);
  EXPECT_EQ(document.SelLength(), 0u);
  document.Undo();
  EXPECT_EQ(document.Line(0), "\"abc\",\"\"");
}

TEST_F(Documents, EnterInsertsTheEmptyRecordOfTheType) {
  struct Case {
    const char* name;
    DataType type;
    std::string text;
    std::size_t sel_start, sel_length;
    std::string expected;
    std::size_t expected_caret;
  };
  const std::string rec2 = "\"k\",\"v\"";
  const Case cases[] = {
      {"caret mid-line leaves the line whole", Data01, rec2 + "\r\nX\r\n", 3, 0,
       rec2 + "\r\n\"\",\"\"\r\nX\r\n", 10},
      {"last line ending with CR LF", DataA2, "\"a\",\"b\",\"c\"\r\n", 4, 0,
       "\"a\",\"b\",\"c\"\r\n\"\",\"\",\"\"\r\n", 14},
      {"last line without CR LF", DataA2, "\"a\",\"b\",\"c\"", 11, 0,
       "\"a\",\"b\",\"c\"\r\n\"\",\"\",\"\"", 14},
      {"C type inserts an empty line", DataC2, "ab\r\ncd\r\n", 1, 0, "ab\r\n\r\ncd\r\n", 4},
      {"selection stays, line below its start", DataB1, "ab\r\ncd\r\nef", 1, 6,
       "ab\r\n\"\",\"\"\r\ncd\r\nef", 5},
      {"empty line after the final break", Data02, rec2 + "\r\n", 9, 0, rec2 + "\r\n\"\",\"\"\r\n",
       10},
      {"empty document", DataA1, "", 0, 0, "\"\",\"\",\"\"\r\n", 1},
      {"empty document, C type", DataC1, "", 0, 0, "\r\n", 0},
      {"unknown type behaves as C", 9, "ab", 0, 0, "ab\r\n", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRichEditEx& document = NewDocument(Data01);
    document.Replace(0, document.Length(), c.text);
    document.DataType = c.type;
    document.SetSelection(c.sel_start, c.sel_length);
    EXPECT_TRUE(PressEnter(document));
    EXPECT_EQ(document.Text(), c.expected);
    EXPECT_EQ(document.SelStart(), c.expected_caret);
    EXPECT_EQ(document.SelLength(), 0u);
    // One command, one undo step.
    document.Undo();
    EXPECT_EQ(document.Text(), c.text);
  }
}

TEST_F(Documents, OnlyEnterWithoutShiftIsHandled) {
  TRichEditEx& document = NewDocument(Data01);
  const std::string before = document.Text();
  EXPECT_FALSE(editor_.DocumentKeyPress(document, u'a'));
  desktop_.shift_down = true;
  EXPECT_FALSE(PressEnter(document));
  EXPECT_EQ(document.Text(), before);
}

TEST_F(Documents, OpenAsDataA2AndPressEnterOnTheLastLineThenSave) {
  const std::string path = WriteFile("list.htd", "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"");
  TRichEditEx& document = OpenAs(path, DataA2);
  PutCaret(document, 1, 5);
  ASSERT_TRUE(PressEnter(document));
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(path), "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"\r\n\"\",\"\",\"\"");
  EXPECT_FALSE(document.Modified());
  // The text change refreshed the caret status.
  EXPECT_EQ(desktop_.panels[0].substr(0, 3), "A2 ");
}

TEST_F(Documents, CaretStatusShowsLineByteColumnAndRawLineCount) {
  struct Case {
    const char* name;
    DataType type;
    std::string text;
    std::size_t sel_start, sel_length;
    std::string expected;
  };
  std::string ten_breaks;
  for (int i = 0; i < 10; ++i) ten_breaks += "\r\n";
  const Case cases[] = {
      {"start of ten line breaks", DataA1, ten_breaks, 0, 0, "A1 1行1列 (全11行)"},
      {"empty last line of a new Data02 document", Data02, "\"\",\"\"\r\n\"{EndOfData}\"\r\n", 22,
       0, "02 3行1列 (全3行)"},
      {"double-byte characters count two", DataC1, "x\r\n\x83\x41\x83\x42z", 7, 0,
       "C1 2行5列 (全2行)"},
      {"selection shows its start", DataB2, "abcdef", 2, 3, "B2 1行3列 (全1行)"},
      {"unknown type has no suffix", 200, "ab", 1, 0, " 1行2列 (全1行)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRichEditEx& document = NewDocument(Data01);
    document.Replace(0, document.Length(), c.text);
    document.DataType = c.type;
    document.SetSelection(c.sel_start, c.sel_length);
    editor_.DocumentMouseDown(document);
    EXPECT_EQ(desktop_.panels[0], c.expected);
  }
}

TEST_F(Documents, EveryEditRefreshesTheStatusOfTheDocumentThatChanged) {
  TRichEditEx& first = NewDocument(DataB1);
  NewDocument(DataC2);
  first.SetSelection(0, 0);
  first.Replace(0, 0, "x");
  EXPECT_EQ(desktop_.panels[0].substr(0, 3), "B1 ");
}

TEST_F(Documents, ChangedTypeShowsAtTheNextEvent) {
  TRichEditEx& document = NewDocument(DataB1);
  desktop_.type_answers.push_back({DataC2, FakeDesktop::TypeButton::Ok});
  editor_.MenuFileChangeDataTypeClick();
  EXPECT_EQ(desktop_.panels[0], "");
  editor_.DocumentKeyUp(document);
  EXPECT_EQ(desktop_.panels[0].substr(0, 3), "C2 ");
}

TEST_F(Documents, TabSwitchShowsTheFileNameAndRunsPendingEvents) {
  const std::string path = WriteFile("b.txt", "x");
  OpenAs(path, Data01);
  NewDocument(Data01);
  desktop_.ClickTab(0);
  editor_.PageEditChange();
  EXPECT_EQ(desktop_.panels[1], path);
  desktop_.ClickTab(1);
  editor_.PageEditChange();
  EXPECT_EQ(desktop_.panels[1], "Untitled2");
  EXPECT_EQ(desktop_.pending_event_runs, 2);
}

TEST_F(Documents, FontChangeReachesEveryDocumentAndLaterOnes) {
  NewDocument(Data01);
  NewDocument(Data01);
  EXPECT_EQ(desktop_.pages[0].font.Name, "ＭＳ ゴシック");

  FontSpec chosen;
  chosen.Name = "IPAGothic";
  chosen.Size = 14;
  chosen.Bold = true;
  desktop_.font_answers.push_back(std::nullopt);  // first the user cancels
  desktop_.font_answers.push_back(chosen);
  editor_.MenuConfigFontClick();
  EXPECT_EQ(editor_.DisplayFont, FontSpec());
  EXPECT_EQ(desktop_.pages[1].font, FontSpec());

  editor_.FontDialog.Name = "stale";  // the dialog shows the display font, not this
  editor_.MenuConfigFontClick();
  ASSERT_EQ(desktop_.font_starts.size(), 2u);
  EXPECT_EQ(desktop_.font_starts[1], FontSpec());
  EXPECT_EQ(editor_.DisplayFont, chosen);
  EXPECT_EQ(desktop_.pages[0].font, chosen);
  EXPECT_EQ(desktop_.pages[1].font, chosen);
  NewDocument(Data01);
  EXPECT_EQ(desktop_.pages[2].font, chosen);
  EXPECT_EQ(editor_.DocumentFont(2), chosen);
}

TEST_F(Documents, ALongCommandHoldsOffOtherCommandsAndClosing) {
  const std::string path = WriteFile("long.txt", "a\r\n");
  TRichEditEx& document = OpenAs(path, Data01);
  document.Replace(0, 0, "x");
  {
    TFormEditor::LongCommand command(editor_, document);
    EXPECT_TRUE(desktop_.busy);
    EXPECT_TRUE(document.ReadOnly());
    // What a user could choose while the command lets events run.
    CloseAction action = CloseAction::Close;
    editor_.FormClose(action);
    EXPECT_EQ(action, CloseAction::DoNotClose);
    EXPECT_TRUE(PressEnter(document));
    editor_.MenuFileSaveClick();
    editor_.MenuFileNewClick();  // asks nothing: no answer is scripted
    editor_.MenuEditFindClick();
    EXPECT_EQ(document.Text(), "xa\r\n");
    EXPECT_EQ(ReadFile(path), "a\r\n");
    EXPECT_EQ(editor_.DocumentCount, 1);
    EXPECT_TRUE(desktop_.find_dialogs_shown.empty());
  }
  EXPECT_FALSE(desktop_.busy);
  EXPECT_FALSE(document.ReadOnly());
  EXPECT_FALSE(editor_.LongCommandRunning());
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(path), "xa\r\n");
}

TEST_F(Documents, HelpOpensTheReferenceOrWarnsWithItsPath) {
  desktop_.program_directory = dir_.string();
  editor_.FormCreate();
  EXPECT_EQ(editor_.ProgramDir, dir_.string() + "/");

  editor_.MenuHelpScriptClick();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].caption, "警告");
  EXPECT_EQ(desktop_.messages[0].text,
            "ファイル\r\n\"" + dir_.string() + "/help/index.htm\"\r\nは見つかりませんでした");
  EXPECT_EQ(desktop_.messages[0].buttons, std::vector<MessageButton>{MessageButton::Yes});

  std::filesystem::create_directory(dir_ / "help");
  WriteFile("help/index.htm", "<html></html>");
  editor_.MenuHelpScriptClick();
  editor_.MenuHelpWWWClick();
  ASSERT_EQ(desktop_.desktop_opens.size(), 2u);
  EXPECT_EQ(desktop_.desktop_opens[0], "parented:" + dir_.string() + "/help/index.htm");
  EXPECT_EQ(desktop_.desktop_opens[1], "file://" + dir_.string() + "/help/index.htm#project");

  editor_.MenuHelpAboutClick();
  EXPECT_EQ(desktop_.messages.back().caption, "Morvik");
  EXPECT_EQ(desktop_.messages.back().text.rfind("Morvik ver2.10.00\r\n\r\n", 0), 0u);

  // A blank or "#" in the installation's path stays part of the file name.
  desktop_.program_directory = "/opt/my apps#1";
  editor_.FormCreate();
  EXPECT_EQ(editor_.ProjectPageUrl(), "file:///opt/my%20apps%231/help/index.htm#project");
}

TEST_F(Documents, ProgramDirKeepsAnExistingTrailingSlash) {
  desktop_.program_directory = "/usr/lib/morvik/";
  editor_.FormCreate();
  EXPECT_EQ(editor_.ProgramDir, "/usr/lib/morvik/");
}

// The menus are wired from their table: an item that runs nothing, or a
// name used twice (the view finds actions by name), would be a dead item.
TEST(MainWindowLayout, EveryMenuItemHasAHandlerAndAUniqueName) {
  std::set<std::string> names;
  auto check = [&](std::span<const main_window::MenuItemSpec> items) {
    for (const main_window::MenuItemSpec& item : items) {
      SCOPED_TRACE(item.Name);
      const bool separator = std::string_view(item.Caption) == main_window::kSeparator;
      EXPECT_EQ(item.Handler == nullptr, separator);
      EXPECT_TRUE(names.insert(item.Name).second);
    }
  };
  for (const main_window::MenuSpec& menu : main_window::kMainMenu) check(menu.Items);
  check(main_window::kPopupMenuItems);
}

}  // namespace
}  // namespace morvik

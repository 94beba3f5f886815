// Sessions with the File menu and the closing pass: what reaches the disk,
// what the dialogs are asked, and what stays as it was when something fails.
#include <filesystem>
#include <optional>
#include <string>

#include "data/sv_script.h"
#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using FileCommands = EditorSession;
using Closing = EditorSession;
using FakeType = FakeDesktop::TypeButton;

TEST_F(FileCommands, TypeDialogPresetsTheCurrentDocumentsType) {
  const std::string path = WriteFile("d.txt", "\"a\",\"b\"\r\n");
  OpenAs(path, Data01);  // no document yet: Data01 preset
  NewDocument(DataA2);
  OpenAs(path, Data01);
  EXPECT_EQ(desktop_.type_presets, (std::vector<int>{Data01, Data01, DataA2}));
}

TEST_F(FileCommands, CancelledDialogsCreateNothing) {
  const std::string path = WriteFile("d.txt", "x");
  desktop_.open_answers.push_back(std::nullopt);
  editor_.MenuFileOpenClick();
  desktop_.open_answers.push_back(path);
  desktop_.type_answers.push_back({DataB1, FakeType::Cancel});
  editor_.MenuFileOpenClick();
  desktop_.type_answers.push_back({DataB1, FakeType::Cancel});
  editor_.MenuFileNewClick();
  EXPECT_EQ(editor_.DocumentCount, 0);
  EXPECT_TRUE(desktop_.pages.empty());
}

TEST_F(FileCommands, TypeDialogsCloseBoxCancels) {
  desktop_.type_answers.push_back({DataC1, FakeType::CloseBox});
  editor_.MenuFileNewClick();
  NewDocument(DataA1);
  desktop_.type_answers.push_back({DataC1, FakeType::CloseBox});
  editor_.MenuFileChangeDataTypeClick();
  EXPECT_EQ(editor_.DocumentCount, 1);
  EXPECT_EQ(editor_.CurrentDocument()->DataType, DataA1);
}

TEST_F(FileCommands, OpenGivesTheFileBytesPathAndCaption) {
  const std::string bytes = "\"\x83\x5c\",\"\x83\x7c\"\r\n\"{EndOfData}\",\"{Dummy}\"\r\n";
  const std::string path = WriteFile("data.htd", bytes);
  TRichEditEx& document = OpenAs(path, DataB2);
  EXPECT_EQ(document.Text(), bytes);
  EXPECT_EQ(document.FileName, path);
  EXPECT_EQ(document.DataType, DataB2);
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(desktop_.pages[0].caption, "data.htd");
  EXPECT_FALSE(desktop_.busy);
  // The dialog remembers the path for next time.
  desktop_.open_answers.push_back(std::nullopt);
  editor_.MenuFileOpenClick();
  EXPECT_EQ(desktop_.open_starts.back(), path);
}

TEST_F(FileCommands, FailedOpenLeavesAnEmptyUntitledDocument) {
  desktop_.open_answers.push_back(PathOf("vanished.txt"));
  desktop_.type_answers.push_back({Data01, FakeType::Ok});
  EXPECT_THROW(editor_.MenuFileOpenClick(), ESavraError);
  TRichEditEx* document = editor_.CurrentDocument();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->Text(), "");
  EXPECT_EQ(document->FileName, "Untitled1");
  EXPECT_TRUE(document->Modified());
  EXPECT_EQ(desktop_.pages[0].caption, "Untitled1");
  EXPECT_FALSE(desktop_.busy);
}

TEST_F(FileCommands, SaveWritesOnlyModifiedDocumentsToTheirFile) {
  const std::string path = WriteFile("s.txt", "old\r\n");
  TRichEditEx& document = OpenAs(path, DataC1);
  editor_.MenuFileSaveClick();  // not modified: nothing written
  std::filesystem::remove(path);
  editor_.MenuFileSaveClick();
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteFile("s.txt", "old\r\n");
  document.Replace(0, 0, "new");
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(path), "newold\r\n");
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(document.FileName, path);
}

TEST_F(FileCommands, SaveOfAnUntitledDocumentAsksForANameAndAddsHtdWithoutADot) {
  const std::string nodot = PathOf("list");
  ASSERT_EQ(nodot.find('.'), std::string::npos) << "temporary directory holds a dot";
  TRichEditEx& document = NewDocument(Data01);
  desktop_.save_answers.push_back(nodot);
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(nodot + ".htd"), "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"\r\n");
  EXPECT_FALSE(std::filesystem::exists(nodot));
  EXPECT_EQ(document.FileName, nodot + ".htd");
  EXPECT_EQ(editor_.SaveDialog.FileName, nodot + ".htd");
  EXPECT_EQ(desktop_.pages[0].caption, "list.htd");
  EXPECT_FALSE(document.Modified());
}

TEST_F(FileCommands, SaveAsKeepsAPathWhoseDirectoryHoldsADot) {
  std::filesystem::create_directory(dir_ / "old.files");
  const std::string path = PathOf("old.files/list");
  TRichEditEx& document = NewDocument(DataC2);
  desktop_.save_answers.push_back(path);
  editor_.MenuFileSaveAsClick();
  EXPECT_EQ(ReadFile(path), "\r\n{EndOfData}\r\n");
  EXPECT_EQ(document.FileName, path);
  EXPECT_EQ(desktop_.pages[0].caption, "list");
}

TEST_F(FileCommands, SaveAsAsksBeforeReplacingAFile) {
  struct Case {
    const char* what;
    bool exists;
    std::optional<MessageButton> answer;  // none: no question expected
    bool replaced;
  };
  const Case cases[] = {
      {"new file: no question", false, std::nullopt, true},
      {"yes replaces", true, MessageButton::Yes, true},
      {"no saves nothing", true, MessageButton::No, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = PathOf(std::string(c.what) + ".txt");
    if (c.exists) WriteFile(std::string(c.what) + ".txt", "theirs");
    TRichEditEx& document = NewDocument(Data01);
    desktop_.messages.clear();
    if (c.answer) desktop_.message_answers.push_back(*c.answer);
    desktop_.save_answers.push_back(path);
    editor_.MenuFileSaveAsClick();
    ASSERT_EQ(desktop_.messages.size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(desktop_.messages[0].caption, "確認");
      EXPECT_EQ(desktop_.messages[0].text,
                "ファイル\r\n\"" + path + "\"\r\nは既に存在します。上書きしますか？");
      EXPECT_EQ(desktop_.messages[0].buttons,
                (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No}));
    }
    EXPECT_EQ(ReadFile(path) == "theirs", !c.replaced);
    EXPECT_EQ(document.Modified(), !c.replaced);
    EXPECT_EQ(document.FileName == path, c.replaced);
  }
}

TEST_F(FileCommands, SaveAsWithoutADocumentWritesNothing) {
  desktop_.save_answers.push_back(PathOf("x.txt"));
  editor_.MenuFileSaveAsClick();
  EXPECT_FALSE(std::filesystem::exists(PathOf("x.txt")));
}

TEST_F(FileCommands, FailedSaveAsKeepsNameCaptionFlagAndCursor) {
  TRichEditEx& document = NewDocument(Data01);
  desktop_.save_answers.push_back(PathOf("missing/dir.txt"));
  EXPECT_THROW(editor_.MenuFileSaveAsClick(), ESavraError);
  EXPECT_EQ(document.FileName, "Untitled1");
  EXPECT_EQ(desktop_.pages[0].caption, "Untitled1");
  EXPECT_TRUE(document.Modified());
  EXPECT_FALSE(desktop_.busy);
}

TEST_F(FileCommands, ChangeDataTypeChangesOnlyTheType) {
  editor_.MenuFileChangeDataTypeClick();  // no document: no dialog
  TRichEditEx& document = NewDocument(DataA1);
  document.SetModified(false);
  const std::string before = document.Text();
  desktop_.type_answers.push_back({DataC1, FakeType::Ok});
  editor_.MenuFileChangeDataTypeClick();
  EXPECT_EQ(document.DataType, DataC1);
  EXPECT_EQ(document.Text(), before);
  EXPECT_FALSE(document.Modified());
  desktop_.type_answers.push_back({DataB1, FakeType::Cancel});
  editor_.MenuFileChangeDataTypeClick();
  EXPECT_EQ(document.DataType, DataC1);
}

// Invalid bytes, a NUL, lone CR and LF and both forms of a character the
// code page holds twice (NEC ED40 and IBM FA5C) must survive open, edit,
// undo and save untouched.
TEST_F(FileCommands, OpenEditUndoSaveKeepsEveryByte) {
  static constexpr char kRaw[] =
      "\"\xED\x40\",\"\xFA\x5C\"\r\n\x80\xA0\xFD\x81\r\nA\0B\rC\nD\x82\r\n";
  const std::string bytes(kRaw, sizeof kRaw - 1);
  const std::string path = WriteFile("raw.txt", bytes);
  TRichEditEx& document = OpenAs(path, Data01);
  ASSERT_EQ(document.Text(), bytes);

  // The user types into the first field and the view reports it in its
  // characters; only the typed bytes are new.
  document.ApplyViewEdit(1, 0, u"x");
  std::string edited = bytes;
  edited.insert(1, "x");
  EXPECT_EQ(document.Text(), edited);
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(path), edited);

  document.Undo();
  editor_.MenuFileSaveClick();
  EXPECT_EQ(ReadFile(path), bytes);

  // Enter adds its record and leaves the rest alone.
  PutCaret(document, 0, 3);
  ASSERT_TRUE(PressEnter(document));
  document.Undo();
  EXPECT_EQ(document.Text(), bytes);
}

TEST_F(Closing, WithoutDocumentsClosesAtOnce) {
  CloseAction action = CloseAction::Close;
  editor_.FormClose(action);
  EXPECT_EQ(action, CloseAction::Close);
  EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(Closing, AsksInTabOrderAndCancelStopsThePass) {
  const std::string path = WriteFile("one.txt", "1\r\n");
  OpenAs(path, Data01);  // unmodified: not asked
  TRichEditEx& second = NewDocument(Data01);
  TRichEditEx& third = NewDocument(Data01);
  desktop_.activations.clear();
  desktop_.message_answers = {MessageButton::No, MessageButton::Cancel};

  CloseAction action = CloseAction::Close;
  editor_.FormClose(action);
  EXPECT_EQ(action, CloseAction::DoNotClose);
  EXPECT_EQ(desktop_.activations, (std::vector<int>{1, 2}));
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[0].caption, "確認");
  EXPECT_EQ(desktop_.messages[0].text, "Untitled2\r\n\r\nは変更されています。保存しますか？");
  EXPECT_EQ(
      desktop_.messages[0].buttons,
      (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
  EXPECT_EQ(desktop_.messages[1].text.rfind("Untitled3\r\n", 0), 0u);
  EXPECT_TRUE(second.Modified());
  EXPECT_TRUE(third.Modified());

  // Cancel at the first question leaves the third unasked.
  desktop_.messages.clear();
  desktop_.message_answers = {MessageButton::Cancel};
  editor_.FormClose(action);
  EXPECT_EQ(desktop_.messages.size(), 1u);
}

TEST_F(Closing, NoForEveryDocumentWritesNothing) {
  NewDocument(Data01);
  NewDocument(Data02);
  desktop_.message_answers = {MessageButton::No, MessageButton::No};
  CloseAction action = CloseAction::Close;
  editor_.FormClose(action);
  EXPECT_EQ(action, CloseAction::Close);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

// The current directory is process-wide; restore it whatever happens.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() { std::filesystem::current_path(previous_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// Yes for a document without a file asks where to save it; nothing is ever
// written under its bare untitled name into the current directory, even
// when a file of that name is there.
TEST_F(Closing, YesForAnUntitledDocumentRunsSaveAs) {
  const CurrentDirectory in_dir(dir_);
  struct Case {
    const char* what;
    std::optional<std::string> save_as;  // none: the user cancels the dialog
  };
  const Case cases[] = {{"saved where chosen", PathOf("chosen.htd")},
                        {"cancel keeps the window", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile("Untitled1", "someone's file");
    TFormEditor editor(desktop_);
    editor.FormCreate();
    desktop_.pages.clear();
    desktop_.type_answers.push_back({DataC1, FakeType::Ok});
    editor.MenuFileNewClick();
    desktop_.type_answers.push_back({Data01, FakeType::Ok});
    editor.MenuFileNewClick();
    desktop_.message_answers = {MessageButton::Yes};
    if (c.save_as) desktop_.message_answers.push_back(MessageButton::No);
    desktop_.save_answers.push_back(c.save_as);
    desktop_.messages.clear();
    CloseAction action = CloseAction::Close;
    editor.FormClose(action);
    EXPECT_EQ(ReadFile(PathOf("Untitled1")), "someone's file");
    if (c.save_as) {
      EXPECT_EQ(ReadFile(*c.save_as), "\r\n{EndOfData}\r\n");
      EXPECT_EQ(desktop_.messages.size(), 2u);  // the second is asked next
      EXPECT_EQ(action, CloseAction::Close);
    } else {
      EXPECT_EQ(action, CloseAction::DoNotClose);
      EXPECT_EQ(desktop_.messages.size(), 1u);  // the second is not asked
      EXPECT_TRUE(editor.DocumentByNumber(1)->Modified());
    }
  }
}

TEST_F(Closing, FailedSaveEndsThePassWithTheError) {
  const std::string path = WriteFile("first.txt", "1\r\n");
  TRichEditEx& first = OpenAs(path, Data01);
  first.Replace(0, 0, "x");
  // The file became a directory since it was read.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  NewDocument(Data01);
  desktop_.message_answers = {MessageButton::Yes};
  CloseAction action = CloseAction::Close;
  EXPECT_THROW(editor_.FormClose(action), ESavraError);
  EXPECT_EQ(desktop_.messages.size(), 1u);  // the second is not asked
  EXPECT_TRUE(first.Modified());
}

TEST_F(Closing, QuitAsksTheWindowToClose) {
  editor_.MenuFileQuitClick();
  EXPECT_EQ(desktop_.close_requests, 1);
}

}  // namespace
}  // namespace morvik

// Sessions with files that another program changes or deletes while they
// are open: what the user is told, what a reload does to the text and its
// undo, and what Save asks before replacing such a file.
#include <filesystem>
#include <string>

#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using ChangedElsewhere = EditorSession;

TEST_F(ChangedElsewhere, IsReportedOnceAndReloadingIsOneUndoableEdit) {
  struct Case {
    const char* what;
    MessageButton answer;
    const char* text_after;  // the document after the answer
  };
  const Case cases[] = {{"yes reloads", MessageButton::Yes, "\"a\",\"theirs\"\r\n"},
                        {"no keeps the typing", MessageButton::No, "x\"a\",\"b\"\r\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = WriteFile(std::string(c.what) + ".txt", "\"a\",\"b\"\r\n");
    NewDocument(Data01);  // another page is current when the change comes
    TRichEditEx& document = OpenAs(path, Data01);
    EXPECT_TRUE(desktop_.watched_files.contains(path));
    document.Replace(0, 0, "x");
    editor_.CheckFilesOnDisk();  // nothing changed yet
    testing::WriteFile(path, "\"a\",\"theirs\"\r\n");
    desktop_.active_page = 0;
    desktop_.messages.clear();
    desktop_.message_answers = {c.answer};
    editor_.CheckFilesOnDisk();
    editor_.CheckFilesOnDisk();  // the same change is not told twice
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].caption, "確認");
    EXPECT_EQ(
        desktop_.messages[0].text.rfind("ファイル\r\n\"" + path + "\"\r\nは他のプログラム", 0), 0u);
    EXPECT_EQ(desktop_.active_page, editor_.DocumentCount - 1);  // its page is shown
    EXPECT_EQ(document.Text(), c.text_after);
    if (c.answer == MessageButton::Yes) {
      EXPECT_FALSE(document.Modified());
      document.Undo();
      EXPECT_EQ(document.Text(), "x\"a\",\"b\"\r\n");
      EXPECT_TRUE(document.Modified());
    }
  }
}

TEST_F(ChangedElsewhere, SaveAsksBeforeReplacingAChangedFile) {
  struct Case {
    const char* what;
    std::optional<MessageButton> answer;  // none: no question expected
    bool change_on_disk;
    bool delete_on_disk;
  };
  const Case cases[] = {
      {"unchanged file: no question", std::nullopt, false, false},
      {"changed, yes replaces", MessageButton::Yes, true, false},
      {"changed, no keeps their file", MessageButton::No, true, false},
      {"deleted: save as, no question", std::nullopt, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = WriteFile(std::string(c.what) + ".txt", "mine\r\n");
    TRichEditEx& document = OpenAs(path, Data01);
    editor_.MenuFileSaveClick();  // unmodified: nothing to do
    document.Replace(0, 0, "x");
    if (c.change_on_disk) testing::WriteFile(path, "theirs, longer\r\n");
    if (c.delete_on_disk) {
      std::filesystem::remove(path);
      desktop_.save_answers.push_back(path + ".new");
    }
    desktop_.messages.clear();
    if (c.answer) desktop_.message_answers.push_back(*c.answer);
    editor_.MenuFileSaveClick();
    ASSERT_EQ(desktop_.messages.size(), c.answer ? 1u : 0u);
    const bool saved = !c.answer || *c.answer == MessageButton::Yes;
    EXPECT_EQ(document.Modified(), !saved);
    const std::string written = c.delete_on_disk ? path + ".new" : path;
    EXPECT_EQ(ReadFile(written) == "xmine\r\n", saved);
    // What Morvik wrote itself is no change of someone else's.
    editor_.CheckFilesOnDisk();
    EXPECT_EQ(desktop_.messages.size(), c.answer ? 1u : 0u);
    if (c.delete_on_disk) {
      EXPECT_FALSE(desktop_.watched_files.contains(path));
      EXPECT_TRUE(desktop_.watched_files.contains(written));
    }
  }
}

}  // namespace
}  // namespace morvik

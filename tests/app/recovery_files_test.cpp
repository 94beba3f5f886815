// Recovery files: the format, which sessions' files a start may take, and
// an editor session that keeps, forgets and restores unsaved work.
#include "app/editor/recovery_files.h"

#include <filesystem>
#include <string>

#include "tests/app/editor_session.h"

namespace morvik {
namespace {

TEST(RecoveryFormat, KeepsAnyBytesAndRefusesDamage) {
  const std::string awkward("\"a\"\r\n\0\x82\nend\n\xFF", 13);
  for (const RecoveryRecord& record : {RecoveryRecord{DataC2, true, "/tmp/a b\nc.htd", awkward},
                                       RecoveryRecord{Data01, false, "Untitled3", ""}}) {
    const std::string bytes = EncodeRecovery(record);
    EXPECT_EQ(DecodeRecovery(bytes), record);
    // Cut anywhere, the file is refused rather than half restored.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      EXPECT_FALSE(DecodeRecovery(std::string_view(bytes).substr(0, cut))) << cut;
    }
    EXPECT_FALSE(DecodeRecovery(bytes + "x"));
  }
  std::string bad_type = EncodeRecovery({Data01, false, "n", "t"});
  bad_type.replace(bad_type.find("type 0"), 6, "type 8");
  EXPECT_FALSE(DecodeRecovery(bad_type));
}

class Recovery : public EditorSession {
 protected:
  std::string StateDir() const { return PathOf("state/morvik"); }

  // A session that ended without cleaning up: an unlocked lock file and
  // its recovery files.
  void PlantOrphan(const std::string& session, int number, const RecoveryRecord& record) const {
    std::filesystem::create_directories(StateDir());
    testing::WriteFile(StateDir() + "/" + session + ".lock", "");
    testing::WriteFile(StateDir() + "/" + session + "-" + std::to_string(number) + ".recovery",
                       EncodeRecovery(record));
  }

  std::size_t FileCount() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(StateDir())) {
      ++count;
    }
    return count;
  }
};

TEST_F(Recovery, LiveSessionsKeepTheirFilesAndEndedOnesAreOffered) {
  PlantOrphan("1-1", 2, {DataA1, false, "Untitled2", "lost work"});
  RecoveryFiles first(StateDir());
  first.Keep(1, {Data01, false, "Untitled1", "mine"});
  first.Flush();
  {
    RecoveryFiles second(StateDir());
    const std::vector<RecoveryFiles::Orphan> orphans = second.FindOrphans();
    ASSERT_EQ(orphans.size(), 1u);  // not the running first's
    EXPECT_EQ(orphans[0].Record.Text, "lost work");
    // A third start meanwhile finds the ended session claimed.
    RecoveryFiles third(StateDir());
    EXPECT_TRUE(third.FindOrphans().empty());
    second.Discard(orphans);
  }
  EXPECT_FALSE(std::filesystem::exists(StateDir() + "/1-1.lock"));
  // Left: the first's lock and recovery file; the others ended cleanly.
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(Recovery, EditorKeepsModifiedWorkUntilSaved) {
  RecoveryFiles files(StateDir());
  editor_.SetRecoveryFiles(&files);
  const std::string path = WriteFile("doc.htd", "\"a\",\"b\"\r\n");
  TRichEditEx& document = OpenAs(path, DataB1);
  desktop_.recovery_timer = false;
  document.Replace(0, 0, "typed ");
  EXPECT_TRUE(desktop_.recovery_timer);
  editor_.SaveRecoveryFiles();
  files.Flush();
  std::vector<std::string> recovery;
  for (const auto& entry : std::filesystem::directory_iterator(StateDir())) {
    if (entry.path().extension() == ".recovery") recovery.push_back(entry.path());
  }
  ASSERT_EQ(recovery.size(), 1u);
  EXPECT_EQ(DecodeRecovery(testing::ReadFile(recovery[0])),
            (RecoveryRecord{DataB1, true, path, "typed \"a\",\"b\"\r\n"}));
  editor_.MenuFileSaveClick();
  files.Flush();
  EXPECT_FALSE(std::filesystem::exists(recovery[0]));

  // Closing a document and discarding its changes leaves nothing to offer
  // at the next start, and its file is no longer watched.
  document.Replace(0, 0, "more ");
  editor_.SaveRecoveryFiles();
  files.Flush();
  ASSERT_TRUE(std::filesystem::exists(recovery[0]));
  desktop_.message_answers = {MessageButton::No};
  editor_.MenuFileCloseClick();
  files.Flush();
  EXPECT_FALSE(std::filesystem::exists(recovery[0]));
  EXPECT_FALSE(desktop_.watched_files.contains(path));
}

// A document larger than a slice is copied over several turns while the
// user edits it before, inside and after the part already copied: what is
// kept is the text as it stands when the copy ends.
TEST_F(Recovery, SnapshotInSlicesFollowsEditsMadeMeanwhile) {
  RecoveryFiles files(StateDir());
  editor_.SetRecoveryFiles(&files);
  TRichEditEx& document = NewDocument(DataC1);
  std::string big;
  for (int i = 0; big.size() < 2 * TFormEditor::kSnapshotSliceBytes + 100; ++i) {
    big += "line " + std::to_string(i) + "\r\n";
  }
  document.Replace(0, document.Length(), big);
  editor_.SaveRecoveryFiles();
  const std::size_t edits_at[] = {10, document.Length() - 5, TFormEditor::kSnapshotSliceBytes + 7};
  int turns = 0;
  for (std::size_t at : edits_at) {
    ASSERT_TRUE(desktop_.recovery_continues);
    desktop_.recovery_continues = false;
    document.Replace(at, 3, "EDITED");
    editor_.ContinueRecoverySnapshots();
    ++turns;
  }
  while (desktop_.recovery_continues && turns++ < 20) {
    desktop_.recovery_continues = false;
    editor_.ContinueRecoverySnapshots();
  }
  files.Flush();
  std::vector<std::string> kept;
  for (const auto& entry : std::filesystem::directory_iterator(StateDir())) {
    if (entry.path().extension() == ".recovery") kept.push_back(testing::ReadFile(entry.path()));
  }
  ASSERT_EQ(kept.size(), 1u);
  const std::optional<RecoveryRecord> record = DecodeRecovery(kept[0]);
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->Text == document.Text());
}

TEST_F(Recovery, StartOffersEndedSessionsWorkAndNoDeletesIt) {
  const std::string path = WriteFile("theirs.htd", "on disk\r\n");
  for (const MessageButton answer : {MessageButton::No, MessageButton::Yes}) {
    SCOPED_TRACE(answer == MessageButton::Yes ? "yes" : "no");
    PlantOrphan("7-7", 1, {DataC1, true, path, "unsaved\r\n"});
    RecoveryFiles files(StateDir());
    editor_.SetRecoveryFiles(&files);
    desktop_.messages.clear();
    desktop_.message_answers = {answer};
    const int before = editor_.DocumentCount;
    editor_.OfferRecovery();
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_NE(desktop_.messages[0].text.find(path), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(StateDir() + "/7-7-1.recovery"));
    if (answer == MessageButton::Yes) {
      ASSERT_EQ(editor_.DocumentCount, before + 1);
      TRichEditEx& restored = *editor_.CurrentDocument();
      EXPECT_EQ(restored.Text(), "unsaved\r\n");
      EXPECT_EQ(restored.DataType, DataC1);
      EXPECT_EQ(restored.FileName, path);
      EXPECT_TRUE(restored.Modified());
      EXPECT_EQ(desktop_.pages.back().caption, "theirs.htd");
      editor_.CheckFilesOnDisk();  // the file as it is now is no news
      EXPECT_EQ(desktop_.messages.size(), 1u);
    } else {
      EXPECT_EQ(editor_.DocumentCount, before);
    }
    editor_.SetRecoveryFiles(nullptr);
  }
}

}  // namespace
}  // namespace morvik

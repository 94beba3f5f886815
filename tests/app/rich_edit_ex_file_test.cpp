// Loading and saving documents: byte-exact round trips and safe failures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/document/rich_edit_ex.h"
#include "data/savra_error.h"
#include "document_test_util.h"
#include "tests/common/file_bytes.h"
#include "tests/common/scratch_dir.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;
using testing::MirrorObserver;
using testing::ScratchDir;

using testing::ReadFile;
using testing::WriteFile;

// Records that pack well around bytes that do not pack at all, large
// enough that the document packs what pays and keeps the rest plain.
std::string LargeMixedText() {
  std::mt19937 random(20261208);
  std::string text;
  while (text.size() < 300000) {
    text += "\"\x83\x4c\x81\x5b\",\"\x92\x6c" + std::to_string(text.size()) + "\"\r\n";
    if (text.size() % 7 == 0) {
      for (int i = 0; i < 5000; ++i) text += static_cast<char>(random());
    }
  }
  return text;
}

TEST(FileRoundTripTest, LoadThenSaveGivesTheSameBytes) {
  const struct {
    const char* name;
    std::string bytes;
  } fixtures[] = {
      {"trail bytes 0x5C and 0x7C",
       "\x83\x5c\x83\x7c\x95\x5c\x94\x5c\r\n\"\x83\x5c\",\"\x8f\x7c\"\r\n"},
      {"half-width kana", "\xb1\xb2\xb3\xde\xdf\r\n\xa1\xa5\r\n"},
      {"lead byte at the end of the file", "abc\r\n\x82"},
      {"invalid bytes", "\x80\xa0\xfd\xfe\xff\x81\x20\x85\x40"},
      {"NUL bytes", std::string("a\0b\0\r\n\0", 7)},
      {"lone CR and LF", "a\rb\nc\r\n\n\r\rd"},
      {"duplicate characters", "\xed\x40\xfa\x5c\x87\x90\x81\xe0\xee\xef\xfa\x40\r\n"},
      {"empty file", ""},
      {"a large file, packed where it pays", LargeMixedText()},
  };
  ScratchDir dir;
  for (const auto& f : fixtures) {
    const std::string source = dir.File("source.txt");
    const std::string target = dir.File("target.txt");
    WriteFile(source, f.bytes);
    TRichEditEx doc("RichEdit1");
    doc.LoadFromFile(source);
    EXPECT_EQ(doc.Text(), f.bytes) << f.name;
    EXPECT_FALSE(doc.Modified()) << f.name;
    doc.SaveToFile(target);
    EXPECT_EQ(ReadFile(target), f.bytes) << f.name;
  }
}

TEST(FileRoundTripTest, EditingOneLineLeavesTheRestByteForByte) {
  ScratchDir dir;
  const std::string path = dir.File("data.htd");
  const std::string rest = "\"\xed\x40\",\"\xff\"\r\n\"\xfa\x5c\"\n\x82";
  WriteFile(path, "\"a\",\"b\"\r\n" + rest);
  TRichEditEx doc("RichEdit1");
  doc.LoadFromFile(path);
  // The view reports the whole first line for one typed character.
  doc.ApplyViewEdit(0, 7, u"\"a\",\"bc\"");
  doc.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), "\"a\",\"bc\"\r\n" + rest);
  doc.Undo();
  doc.SaveToFile(path);
  EXPECT_EQ(ReadFile(path), "\"a\",\"b\"\r\n" + rest);
}

TEST(FileRoundTripTest, SaveKeepsPermissionsAndReplacesTheFile) {
  ScratchDir dir;
  const std::string path = dir.File("kept.txt");
  WriteFile(path, "old contents that are longer");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const auto doc = testing::MakeDocument("new");
  doc->SaveToFile(path);
  EXPECT_EQ(ReadFile(path), "new");
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary file left behind
}

TEST(FileRoundTripTest, SaveThroughASymbolicLinkReplacesTheFileItNames) {
  ScratchDir dir;
  const std::string file = dir.File("real.txt");
  const std::string link = dir.File("link.txt");
  WriteFile(file, "old");
  fs::create_symlink(file, link);
  const auto doc = testing::MakeDocument("new");
  doc->SaveToFile(link);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(file), "new");
  EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(FileFailureTest, FailedSaveThrowsAndLeavesEverythingAsItWas) {
  ScratchDir dir;
  const std::string kept = dir.File("kept.txt");
  WriteFile(kept, "old");
  fs::create_directory(dir.File("a directory"));
  const struct {
    const char* name;
    std::string path;
    const char* reason;
  } cases[] = {
      {"missing directory", dir.File("missing/file.txt"), "No such file or directory"},
      {"target is a directory", dir.File("a directory"), "Is a directory"},
  };
  for (const auto& c : cases) {
    const auto doc = testing::MakeDocument("text");
    doc->Replace(0, 0, "x");
    try {
      doc->SaveToFile(c.path);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const ESavraError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_TRUE(doc->Modified()) << c.name;
    EXPECT_EQ(doc->Text(), "xtext") << c.name;
    EXPECT_EQ(ReadFile(kept), "old");
    EXPECT_EQ(dir.EntryCount(), 2u) << c.name;  // kept.txt and the directory, no temp file
  }
}

TEST(FileFailureTest, FailedLoadThrowsAndChangesNothing) {
  ScratchDir dir;
  const std::string huge = dir.File("huge.txt");
  {
    // A sparse file one byte past the limit costs no disk space.
    const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(TRichEditEx::kMaxLength) + 1), 0);
    close(fd);
  }
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string path;
    const char* reason;
  } cases[] = {
      {"missing file", dir.File("missing.txt"), "No such file or directory"},
      {"directory", dir.File(""), "Is a directory"},
      {"larger than the limit", huge, "1073741824"},
      {"named pipe without a writer", fifo, "Is a named pipe"},  // refused, not waited on
  };
  for (const auto& c : cases) {
    const auto doc = testing::MakeDocument("keep me");
    doc->SetSelection(2, 1);
    MirrorObserver view(*doc);
    try {
      doc->LoadFromFile(c.path);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const ESavraError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_EQ(doc->Text(), "keep me") << c.name;
    EXPECT_EQ(doc->SelStart(), 2u) << c.name;
    EXPECT_TRUE(doc->CanUndo()) << c.name;
    EXPECT_EQ(view.text_changes, 0) << c.name;
  }
}

TEST(FileRoundTripTest, LoadClearsUndoAndTellsTheView) {
  ScratchDir dir;
  const std::string path = dir.File("in.txt");
  WriteFile(path, "\x82\xa0\r\nb");
  const auto doc = testing::MakeDocument("old text");
  doc->SetSelection(3, 2);
  MirrorObserver view(*doc);
  doc->LoadFromFile(path);
  EXPECT_EQ(view.chars(), u"\u3042\nb");
  EXPECT_EQ(view.bytes(), "\x82\xa0\r\nb");
  EXPECT_EQ(doc->SelStart(), 0u);
  EXPECT_FALSE(doc->CanUndo());
}

}  // namespace
}  // namespace morvik

// Edits from views and commands, undo and redo, selection, flags and
// notifications.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <string>
#include <vector>

#include "app/document/rich_edit_ex.h"
#include "data/savra_error.h"
#include "document_test_util.h"

namespace morvik {
namespace {

using testing::MakeDocument;
using testing::MirrorObserver;

// Types text into the document as a view reports it: one character at the caret.
void Type(TRichEditEx& doc, std::u16string_view text) {
  for (const char16_t c : text) {
    doc.ApplyViewEdit(doc.CharPositionOfOffset(doc.SelStart()), 0, std::u16string(1, c));
  }
}

void Backspace(TRichEditEx& doc, int times) {
  for (int i = 0; i < times; ++i) {
    const std::size_t caret = doc.CharPositionOfOffset(doc.SelStart());
    doc.ApplyViewEdit(caret - 1, 1, u"");
  }
}

TEST(ViewEditTest, OverBroadReportKeepsUntouchedBytes) {
  // 0xED40 and 0xFA5C both read U+7E8A; 0xFF is invalid; 0x815C has trail 0x5C.
  const std::string line =
      "\xed\x40\xfa\x5c"
      "abc\xff\x81\x5c";
  const auto doc = MakeDocument(line + "\r\nnext\n");
  MirrorObserver view(*doc);
  // An input method reports the whole first line as replaced, with 'b' now 'X'.
  std::u16string shown = doc->DecodedText().substr(0, 7);
  shown[3] = u'X';
  doc->ApplyViewEdit(0, 7, shown);
  EXPECT_EQ(doc->Text(),
            "\xed\x40\xfa\x5c"
            "aXc\xff\x81\x5c\r\nnext\n");
  EXPECT_EQ(view.chars(), doc->DecodedText());
  EXPECT_EQ(doc->SelStart(), 10u);  // after the reported text, before the CR LF

  // Reporting the same text again changes nothing, not even the flag.
  doc->SetModified(false);
  doc->ApplyViewEdit(0, 7, shown);
  EXPECT_FALSE(doc->Modified());

  doc->Undo();
  EXPECT_EQ(doc->Text(), line + "\r\nnext\n");
}

TEST(ViewEditTest, TypedCharactersBecomeShiftJisAndBreaksCrLf) {
  const struct {
    const char* name;
    std::string text;
    std::size_t char_position;
    std::size_t removed_chars;
    std::u16string inserted;
    std::string expected;
  } cases[] = {
      {"kanji", "ab", 1, 0, u"\u6f22",
       "a\x8a\xbf"
       "b"},
      {"break from a view", "ab", 1, 0, u"\n", "a\r\nb"},
      {"joining two lines keeps a lone LF elsewhere", "a\r\nb\nc", 1, 1, u"", "ab\nc"},
      {"replace across a lone CR", "a\rb", 0, 3, u"a\nc", "a\rc"},
      {"unmappable character becomes ?", "", 0, 0, u"\U0001F600", "??"},
      {"invalid-byte unit becomes its byte", "a", 1, 0, std::u16string(1, char16_t{0xDC80}),
       "a\x80"},
  };
  for (const auto& c : cases) {
    const auto doc = MakeDocument(c.text);
    MirrorObserver view(*doc);
    doc->ApplyViewEdit(c.char_position, c.removed_chars, c.inserted);
    EXPECT_EQ(doc->Text(), c.expected) << c.name;
    EXPECT_EQ(view.chars(), doc->DecodedText()) << c.name;
    EXPECT_EQ(view.bytes(), doc->Text()) << c.name;
  }
}

TEST(ViewEditTest, RefusedWhileReadOnlyButCommandsStillEdit) {
  const auto doc = MakeDocument("abc");
  doc->SetReadOnly(true);
  doc->ApplyViewEdit(0, 1, u"X");
  EXPECT_EQ(doc->Text(), "abc");
  doc->Replace(0, 1, "Y");
  EXPECT_EQ(doc->Text(), "Ybc");
}

TEST(UndoTest, TypingGroupsIntoWords) {
  const struct {
    const char* name;
    std::u16string typed;
    int backspaces;
    std::vector<std::string> after_each_undo;
  } cases[] = {
      {"one word", u"hello", 0, {""}},
      {"a blank starts the next word", u"hello world", 0, {"hello", ""}},
      {"punctuation starts a step", u"ab,cd", 0, {"ab", ""}},
      {"a break starts a step", u"ab\ncd", 0, {"ab", ""}},
      {"double-byte word", u"\u65e5\u672c\u8a9e", 0, {""}},
      {"backspaces after typing are one step", u"hello", 3, {"hello", ""}},
  };
  for (const auto& c : cases) {
    const auto doc = MakeDocument("");
    Type(*doc, c.typed);
    Backspace(*doc, c.backspaces);
    for (const std::string& expected : c.after_each_undo) {
      ASSERT_TRUE(doc->CanUndo()) << c.name;
      doc->Undo();
      std::string text = doc->Text();
      for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n")) {
        text.replace(p, 2, "\n");
      }
      EXPECT_EQ(text, expected) << c.name;
    }
  }
}

TEST(UndoTest, CaretJumpAndBreakUndoGroupEndTheWord) {
  const auto doc = MakeDocument("");
  Type(*doc, u"ab");
  doc->SetSelection(0, 0);
  doc->SetSelection(2, 0);  // back where typing stopped: still a jump
  Type(*doc, u"cd");
  doc->BreakUndoGroup();
  Type(*doc, u"ef");
  doc->Undo();
  EXPECT_EQ(doc->Text(), "abcd");
  doc->Undo();
  EXPECT_EQ(doc->Text(), "ab");
  doc->Undo();
  EXPECT_EQ(doc->Text(), "");
}

TEST(UndoTest, RestoresExactBytesAndSelection) {
  const std::string original = "\xed\x40\xfa\x5c\xff\r\n\x81";
  const auto doc = MakeDocument(original);
  doc->SetSelection(2, 3);
  doc->ReplaceSelection("Z");
  EXPECT_EQ(doc->Text(), "\xed\x40Z\r\n\x81");
  EXPECT_EQ(doc->SelStart(), 3u);
  EXPECT_EQ(doc->SelLength(), 0u);
  doc->Undo();
  EXPECT_EQ(doc->Text(), original);
  EXPECT_EQ(doc->SelStart(), 2u);
  EXPECT_EQ(doc->SelLength(), 3u);
  EXPECT_TRUE(doc->CanRedo());
  doc->Redo();
  EXPECT_EQ(doc->Text(), "\xed\x40Z\r\n\x81");
  EXPECT_EQ(doc->SelStart(), 3u);
  // A new edit drops what could have been redone.
  doc->Undo();
  doc->Replace(0, 0, "x");
  EXPECT_FALSE(doc->CanRedo());
}

TEST(UndoTest, UndoGroupMakesOneStepOfACommand) {
  const auto doc = MakeDocument("a\r\nb\r\n");
  doc->SetSelection(1, 0);
  {
    TRichEditEx::UndoGroup group(*doc);
    doc->InsertLine(1, "\"\",\"\"");
    {
      TRichEditEx::UndoGroup nested(*doc);
      doc->Replace(0, 1, "A");
    }
    doc->SetSelection(6, 0);
  }
  EXPECT_EQ(doc->Text(), "A\r\n\"\",\"\"\r\nb\r\n");
  doc->Undo();
  EXPECT_EQ(doc->Text(), "a\r\nb\r\n");
  EXPECT_EQ(doc->SelStart(), 1u);
  doc->Redo();
  EXPECT_EQ(doc->Text(), "A\r\n\"\",\"\"\r\nb\r\n");
  EXPECT_EQ(doc->SelStart(), 6u);
}

TEST(ModifiedTest, EveryChangeSetsTheFlagAndObserversHear) {
  const auto doc = MakeDocument("abc");
  MirrorObserver view(*doc);
  doc->Replace(0, 0, "x");
  EXPECT_TRUE(doc->Modified());
  doc->SetModified(false);
  doc->Undo();
  EXPECT_TRUE(doc->Modified());
  doc->SetModified(false);
  doc->Redo();
  EXPECT_TRUE(doc->Modified());
  EXPECT_EQ(view.modified_changes, (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ(view.text_changes, 3);
}

// Undo and redo that come back to the text last saved clear the flag; every
// other text is modified. Script: a, b typed letters (one word), ' ' a blank,
// S save, U undo, R redo, C clear undo; flags: the flag after each.
TEST(ModifiedTest, FollowsUndoAndRedoBackToTheSavedText) {
  struct Case {
    const char* script;
    const char* flags;
  };
  const Case cases[] = {
      {"aU", "10"},
      {"aURR", "1011"},
      {"a bUU",
       "1111"
       "0"},
      {"aSUR", "1010"},
      // Typing on after a save starts a step of its own, so undo stops at
      // the saved text even in the middle of a word.
      {"aSbUU", "10101"},
      {"aSbURR", "101011"},
      {"a b SUU",
       "1111"
       "0"
       "11"},
      // A new edit after undo drops the redo that led to the saved text.
      {"aSU bU",
       "10111"
       "1"},
      {"aSUbUR", "101111"},
      // Cleared undo keeps an unmodified text as the saved one only.
      {"aSCbU", "10010"},
      {"aCbU", "1111"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.script);
    const auto doc = MakeDocument("x");
    MirrorObserver view(*doc);
    std::string flags;
    for (const char* op = test.script; *op != '\0'; ++op) {
      switch (*op) {
        case 'S':
          doc->SetModified(false);
          break;
        case 'U':
          doc->Undo();
          break;
        case 'R':
          doc->Redo();
          break;
        case 'C':
          doc->ClearUndo();
          break;
        default:
          Type(*doc, std::u16string(1, static_cast<char16_t>(*op)));
      }
      flags += doc->Modified() ? '1' : '0';
    }
    EXPECT_EQ(flags, test.flags);
    // The observers heard every change of the flag, and only changes.
    for (std::size_t i = 1; i < view.modified_changes.size(); ++i) {
      EXPECT_NE(view.modified_changes[i], view.modified_changes[i - 1]);
    }
  }
}

TEST(SelectionTest, ClampedAndFollowsEdits) {
  const auto doc = MakeDocument("abcdef");
  MirrorObserver view(*doc);
  doc->SetSelection(4, 100);
  EXPECT_EQ(doc->SelStart(), 4u);
  EXPECT_EQ(doc->SelLength(), 2u);
  EXPECT_EQ(doc->SelectedText(), "ef");
  doc->Replace(0, 2, "");  // before the selection: it shifts
  EXPECT_EQ(doc->SelStart(), 2u);
  EXPECT_EQ(doc->SelectedText(), "ef");
  doc->SetSelection(100, 5);
  EXPECT_EQ(doc->SelStart(), 4u);
  EXPECT_EQ(doc->SelLength(), 0u);
  EXPECT_GE(view.selection_changes, 3);
}

// A selection end inside the replaced bytes keeps its distance from the
// edit's start as far as the new bytes reach; ends outside stay or shift.
TEST(SelectionTest, EndsFollowAReplacement) {
  struct Case {
    const char* name;
    std::size_t sel_start, sel_length;
    std::size_t offset, removed;
    const char* inserted;
    std::size_t want_start, want_length;
  };
  // "0123456789" with [offset, offset + removed) replaced by inserted.
  const Case cases[] = {
      {"caret before", 1, 0, 2, 4, "XY", 1, 0},
      {"caret at the start", 2, 0, 2, 4, "XY", 2, 0},
      {"caret inside, within the shorter text", 3, 0, 2, 4, "XY", 3, 0},
      {"caret inside, past the shorter text", 5, 0, 2, 4, "XY", 4, 0},
      {"caret at the end of a shrinking edit", 6, 0, 2, 4, "XY", 4, 0},
      {"caret after", 8, 0, 2, 4, "XY", 6, 0},
      {"caret inside a deletion", 4, 0, 2, 4, "", 2, 0},
      {"caret inside a growing edit", 3, 0, 2, 2, "WXYZ", 3, 0},
      {"caret at the end of a growing edit", 4, 0, 2, 2, "WXYZ", 6, 0},
      {"selection inside", 3, 2, 2, 4, "XY", 3, 1},
      {"selection across", 1, 6, 2, 4, "XY", 1, 4},
      {"selection from inside to after", 3, 5, 2, 2, "WXYZ", 3, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto doc = MakeDocument("0123456789");
    doc->SetSelection(c.sel_start, c.sel_length);
    doc->Replace(c.offset, c.removed, c.inserted);
    EXPECT_EQ(doc->SelStart(), c.want_start);
    EXPECT_EQ(doc->SelLength(), c.want_length);
  }
}

TEST(LengthLimitTest, EditPastTheLimitIsRefusedAndChangesNothing) {
  const auto doc = MakeDocument("abc");
  // A view of the limit's size over reserved, never touched memory: the
  // limit is checked before a byte of it is read.
  const std::size_t size = TRichEditEx::kMaxLength + 1;
  void* memory = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(memory, MAP_FAILED);
  const std::string_view huge(static_cast<const char*>(memory), size);
  EXPECT_THROW(doc->Replace(0, 0, huge.substr(0, TRichEditEx::kMaxLength - 2)), ESavraError);
  EXPECT_THROW(doc->SetLinesText(huge), ESavraError);
  munmap(memory, size);
  EXPECT_EQ(doc->Text(), "abc");
  EXPECT_FALSE(doc->Modified());
  doc->Replace(0, 3, "");  // an edit that shrinks always passes
  EXPECT_EQ(doc->Length(), 0u);
}

}  // namespace
}  // namespace morvik

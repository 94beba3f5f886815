// Sessions with the find and replace dialogs.
#include <string>

#include "data/text_encoding.h"
#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using FindReplace = EditorSession;

TEST_F(FindReplace, FindNextSelectsTheFirstOccurrenceInTheNextLineThatHasOne) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t caret_line;
    std::string find;  // UTF-8
    bool down;
    std::size_t sel_start;  // npos: not found
  };
  constexpr std::size_t kNotFound = std::string::npos;
  const std::string lines = "zero\r\none key\r\ntwo\r\nKEY three Key\r\nfour";
  const Case cases[] = {
      {"down, case ignored", lines, 0, "key", true, 10},
      {"caret's own line is not searched", lines, 1, "key", true, 20},
      {"present only on the caret's line", lines, 3, "three", true, kNotFound},
      {"first occurrence in the line, also upwards", lines, 4, "KEY", false, 20},
      {"up skips to earlier lines", lines, 3, "Key", false, 10},
      {"up from line 0", lines, 0, "zero", false, kNotFound},
      {"down from the last line", lines, 4, "four", true, kNotFound},
      {"no wrap-around", lines, 3, "zero", true, kNotFound},
      {"empty find text", lines, 0, "", true, kNotFound},
      // ア is 83 41 and ヂ is 83 61: trail bytes are never folded.
      {"trail bytes not folded", "x\r\n\x83\x61\r\n\x83\x41", 0, "ア", true, 7},
      // ソ is 83 5C: its trail byte has the code of a backslash.
      {"never starts on a trail byte", "x\r\n\x83\x5C\x83\x93", 0, "\\", true, kNotFound},
      {"character Shift_JIS lacks is not '?'", "a\r\n?", 0, "😀", true, kNotFound},
      {"up from the empty last line", "ab\r\ncd\r\n", 2, "CD", false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop_.messages.clear();
    TRichEditEx& document = NewDocument(Data01);
    document.Replace(0, document.Length(), c.text);
    PutCaret(document, c.caret_line);
    const std::size_t caret = document.SelStart();
    editor_.FindDialog.FindText = c.find;
    editor_.FindDialog.Down = c.down;
    editor_.FindDialogFind(editor_.FindDialog);
    if (c.sel_start == kNotFound) {
      EXPECT_EQ(document.SelStart(), caret);
      EXPECT_EQ(document.SelLength(), 0u);
      ASSERT_EQ(desktop_.messages.size(), 1u);
      EXPECT_EQ(desktop_.messages[0].caption, "情報");
      EXPECT_EQ(desktop_.messages[0].text, "検索文字列 \"" + c.find + "\" は見つかりませんでした");
    } else {
      EXPECT_EQ(document.SelStart(), c.sel_start);
      EXPECT_EQ(document.SelLength(), Utf8ToSjis(c.find).size());
      EXPECT_TRUE(desktop_.messages.empty());
      EXPECT_EQ(desktop_.focused_page, desktop_.active_page);
    }
  }
}

// Long documents are searched in blocks of lines; hits beyond the first
// block, and lines ended by lone CR or LF, must land on the right bytes.
TEST_F(FindReplace, FindNextWalksLongDocumentsBothWays) {
  std::string text;
  for (int i = 0; i < 9000; ++i)
    text += (i % 3 == 0 ? "line\r" : i % 3 == 1 ? "line\n" : "line\r\n");
  const std::size_t target = text.size();
  text += "the Needle\r\n";
  const std::size_t last_line_start = text.size();
  text += "tail";
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), text);
  editor_.FindDialog.FindText = "needle";

  PutCaret(document, 0);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target + 4);

  document.SetSelection(last_line_start + 2, 0);
  editor_.FindDialog.Down = false;
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target + 4);

  editor_.FindDialog.FindText = "LINE";  // nearest line above the caret
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target - 6);
  EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(FindReplace, RepeatedFindNextPassesOverFurtherOccurrencesOfTheSameLine) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "top\r\nab ab\r\nab");
  PutCaret(document, 0);
  editor_.FindDialog.FindText = "AB";
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), 5u);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), 12u);
}

TEST_F(FindReplace, ReplaceReplacesTheSelectionThenFindsTheNext) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "cat\r\ndog\r\ncat");
  editor_.ReplaceDialog.FindText = "CAT";
  editor_.ReplaceDialog.ReplaceText = "ネコ";

  PutCaret(document, 0);  // nothing selected: only searches
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  EXPECT_EQ(document.Text(), "cat\r\ndog\r\ncat");
  EXPECT_EQ(document.SelStart(), 10u);

  document.SetSelection(5, 3);  // any selection is replaced, occurrence or not
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  EXPECT_EQ(document.Text(), "cat\r\n\x83\x6C\x83\x52\r\ncat");
  EXPECT_EQ(document.SelStart(), 11u);
  EXPECT_EQ(document.SelLength(), 3u);

  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);  // last one; nothing below
  EXPECT_EQ(document.Text(), "cat\r\n\x83\x6C\x83\x52\r\n\x83\x6C\x83\x52");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "検索文字列 \"CAT\" は見つかりませんでした");
}

TEST_F(FindReplace, ReplaceAllRewritesTheTextThroughTheLineList) {
  struct Case {
    const char* name;
    std::string text, find, replace, expected;
  };
  const Case cases[] = {
      {"no final CR LF", "Aa\r\nxa", "a", "bb", "bbbb\r\nxbb\r\n"},
      {"empty find text only adds the final break", "a\r\nb", "", "x", "a\r\nb\r\n"},
      {"replaced text is not scanned again", "aaa\r\n", "a", "aa", "aaaaaa\r\n"},
      {"no match starts inside a character", "\x83\x5C\x83\x93\\\r\n", "\\", "/",
       "\x83\x5C\x83\x93/\r\n"},
      {"trail bytes are not folded", "\x83\x41\x83\x61\r\n", "ヂ", "!", "\x83\x41!\r\n"},
      {"lone breaks become CR LF", "a\rb\nc", "b", "B", "a\r\nB\r\nc\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRichEditEx& document = NewDocument(DataC1);
    document.Replace(0, document.Length(), c.text);
    document.SetModified(false);
    editor_.ReplaceDialog.FindText = c.find;
    editor_.ReplaceDialog.ReplaceText = c.replace;
    editor_.ReplaceDialog.ReplaceAll = true;
    editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
    EXPECT_EQ(document.Text(), c.expected);
    EXPECT_TRUE(document.Modified());
    EXPECT_TRUE(desktop_.messages.empty());
    EXPECT_FALSE(desktop_.busy);
    document.Undo();  // one step
    EXPECT_EQ(document.Text(), c.text);
  }
}

TEST_F(FindReplace, DialogsNeedADocument) {
  editor_.MenuEditFindClick();
  editor_.MenuEditReplaceClick();
  editor_.ReplaceDialog.ReplaceAll = true;
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_TRUE(desktop_.find_dialogs_shown.empty());
  EXPECT_TRUE(desktop_.messages.empty());
  NewDocument(Data01);
  editor_.MenuEditFindClick();
  editor_.MenuEditReplaceClick();
  EXPECT_EQ(desktop_.find_dialogs_shown,
            (std::vector<FindDialogKind>{FindDialogKind::Find, FindDialogKind::Replace}));
}

}  // namespace
}  // namespace morvik

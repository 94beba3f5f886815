// Sessions with the find and replace dialogs.
#include <string>

#include "data/text_encoding.h"
#include "tests/app/editor_session.h"

namespace morvik {
namespace {

using FindReplace = EditorSession;

TEST_F(FindReplace, FindNextSearchesFromTheCaretBothWays) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t sel_start, sel_length;
    std::string find;  // UTF-8
    bool down;
    std::size_t found;       // npos: not found
    bool pattern = false;    // the find text is a regular expression
    std::size_t length = 0;  // of the hit; 0: the find text's
  };
  constexpr std::size_t kNotFound = std::string::npos;
  // Offsets: "one key" 6 (key 10), "KEY three Key" 20 (Key 30), "four" 35.
  const std::string lines = "zero\r\none key\r\ntwo\r\nKEY three Key\r\nfour";
  const Case cases[] = {
      {"down, case ignored", lines, 0, 0, "key", true, 10},
      {"the caret's own line is searched", lines, 6, 0, "key", true, 10},
      {"down from the end of the selection", lines, 20, 3, "key", true, 30},
      {"down from the end, not the start", lines, 10, 3, "KEY", true, 20},
      {"only what lies right of the caret", lines, 21, 0, "key", true, 30},
      {"up: the nearest above", lines, 35, 0, "KEY", false, 30},
      {"up from the start of the selection", lines, 30, 3, "key", false, 20},
      {"up: ending right at the caret", lines, 33, 0, "key", false, 30},
      {"up: one that reaches past the caret is not taken", lines, 32, 0, "key", false, 20},
      {"up: overlapping occurrences", "aaa", 3, 0, "aa", false, 1},
      {"up from the start", lines, 0, 0, "zero", false, kNotFound},
      {"down from the end", lines, 39, 0, "four", true, kNotFound},
      {"no wrap-around", lines, 20, 0, "zero", true, kNotFound},
      {"empty find text", lines, 0, 0, "", true, kNotFound},
      {"never across a line break", lines, 0, 0, "zero\r\none", true, kNotFound},
      // ア is 83 41 and ヂ is 83 61: trail bytes are never folded.
      {"trail bytes not folded", "x\r\n\x83\x61\r\n\x83\x41", 0, 0, "ア", true, 7},
      // ソ is 83 5C: its trail byte has the code of a backslash.
      {"never starts on a trail byte", "x\r\n\x83\x5C\x83\x93", 0, 0, "\\", true, kNotFound},
      {"character Shift_JIS lacks is not '?'", "a\r\n?", 0, 0, "😀", true, kNotFound},
      {"up from the empty last line", "ab\r\ncd\r\n", 8, 0, "CD", false, 4},
      {"pattern: leftmost, then longest", "xx abbb ab", 0, 0, "AB+", true, 3, true, 4},
      {"pattern: up, the nearest above", lines, 35, 0, "k.y", false, 30, true},
      {"pattern: ^ only at a line start", "ab\r\nab", 1, 0, "^ab", true, 4, true, 2},
      {"pattern: ^ after skipping a line", "xab\r\nab", 0, 0, "^AB", true, 5, true, 2},
      {"pattern: $ at a line end", "ab ab\r\n", 0, 0, "ab$", true, 3, true, 2},
      {"pattern: never an empty match", "abc", 0, 0, "x*", true, kNotFound, true},
      {"pattern: never across a line", "ab\r\ncd", 0, 0, "b.*c", true, kNotFound, true},
      // 表 is 95 5C: only the real backslash matches.
      {"pattern: never on a trail byte", "\x95\x5C\\", 0, 0, "\\\\", true, 2, true, 1},
      {"pattern: up ends by the caret", "abab", 3, 0, "ab", false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop_.messages.clear();
    desktop_.panels[0].clear();
    desktop_.focused_page = -1;
    TRichEditEx& document = NewDocument(Data01);
    document.Replace(0, document.Length(), c.text);
    document.SetSelection(c.sel_start, c.sel_length);
    editor_.FindDialog.FindText = c.find;
    editor_.FindDialog.Down = c.down;
    editor_.FindDialog.RegularExpression = c.pattern;
    editor_.FindDialogFind(editor_.FindDialog);
    if (c.found == kNotFound) {
      EXPECT_EQ(document.SelStart(), c.sel_start);
      EXPECT_EQ(document.SelLength(), c.sel_length);
      ASSERT_EQ(desktop_.messages.size(), 1u);
      EXPECT_EQ(desktop_.messages[0].caption, "情報");
      EXPECT_EQ(desktop_.messages[0].text, "検索文字列 \"" + c.find + "\" は見つかりませんでした");
    } else {
      EXPECT_EQ(document.SelStart(), c.found);
      EXPECT_EQ(document.SelLength(), c.length != 0 ? c.length : Utf8ToSjis(c.find).size());
      EXPECT_TRUE(desktop_.messages.empty());
      EXPECT_EQ(desktop_.focused_page, desktop_.active_page);
      const std::size_t line = document.LineFromPosition(c.found);
      EXPECT_NE(desktop_.panels[0].find(" " + std::to_string(line + 1) + "行"), std::string::npos)
          << desktop_.panels[0];
    }
  }
}

// Documents are searched piece by piece as they are stored; hits in lines
// that straddle two pieces, beyond the first piece, and lines ended by lone
// CR or LF must land on the right bytes both ways.
TEST_F(FindReplace, FindNextWalksLongDocumentsBothWays) {
  std::string text;
  for (int i = 0; i < 9000; ++i)
    text += (i % 3 == 0 ? "line\r" : i % 3 == 1 ? "line\n" : "line\r\n");
  const std::size_t target = text.size();
  text += "the Needle\r\n";
  const std::size_t long_line = text.size();
  text += std::string(20000, 'x') + "needle" + std::string(20000, 'y') + "\r\n";
  const std::size_t last_line_start = text.size();
  text += "tail";
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), text);
  editor_.FindDialog.FindText = "needle";

  PutCaret(document, 0);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target + 4);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), long_line + 20000);

  editor_.FindDialog.Down = false;
  document.SetSelection(last_line_start + 2, 0);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), long_line + 20000);
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target + 4);

  editor_.FindDialog.FindText = "LINE";  // the nearest line above the caret
  editor_.FindDialogFind(editor_.FindDialog);
  EXPECT_EQ(document.SelStart(), target - 6);
  EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(FindReplace, ReplaceReplacesTheSelectionThenFindsTheNext) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "cat\r\ndog\r\ncat");
  editor_.ReplaceDialog.FindText = "CAT";
  editor_.ReplaceDialog.ReplaceText = "ネコ";

  PutCaret(document, 0);  // nothing selected: only searches
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  EXPECT_EQ(document.Text(), "cat\r\ndog\r\ncat");
  EXPECT_EQ(document.SelStart(), 0u);
  EXPECT_EQ(document.SelLength(), 3u);

  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);  // replaces it, then the next
  EXPECT_EQ(document.Text(), "\x83\x6C\x83\x52\r\ndog\r\ncat");
  EXPECT_EQ(document.SelStart(), 11u);

  document.SetSelection(6, 3);  // any selection is replaced, occurrence or not
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  EXPECT_EQ(document.Text(), "\x83\x6C\x83\x52\r\n\x83\x6C\x83\x52\r\ncat");
  EXPECT_EQ(document.SelStart(), 12u);
  EXPECT_EQ(document.SelLength(), 3u);

  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);  // last one; nothing below
  EXPECT_EQ(document.Text(), "\x83\x6C\x83\x52\r\n\x83\x6C\x83\x52\r\n\x83\x6C\x83\x52");
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

TEST_F(FindReplace, FindNextAndPreviousRepeatTheLastSearch) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "ab\r\nAB\r\nab");
  PutCaret(document, 0);
  editor_.MenuEditFindNextClick();  // nothing searched yet: the dialog opens
  EXPECT_EQ(desktop_.find_dialogs_shown, std::vector<FindDialogKind>{FindDialogKind::Find});

  editor_.ReplaceDialog.FindText = "A.";
  editor_.ReplaceDialog.RegularExpression = true;
  editor_.FindDialogFind(editor_.ReplaceDialog);
  EXPECT_EQ(document.SelStart(), 0u);
  editor_.MenuEditFindNextClick();
  EXPECT_EQ(document.SelStart(), 4u);
  editor_.MenuEditFindNextClick();
  EXPECT_EQ(document.SelStart(), 8u);
  editor_.MenuEditFindPreviousClick();
  EXPECT_EQ(document.SelStart(), 4u);
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(desktop_.find_dialogs_shown.size(), 1u);
}

TEST_F(FindReplace, APatternErrorIsShownAndChangesNothing) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "a(b\r\n");
  document.SetSelection(0, 1);
  document.SetModified(false);
  editor_.ReplaceDialog.FindText = "ア(b";
  editor_.ReplaceDialog.ReplaceText = "x";
  editor_.ReplaceDialog.RegularExpression = true;
  for (const bool all : {false, true}) {
    desktop_.messages.clear();
    editor_.ReplaceDialog.ReplaceAll = all;
    editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].caption, "警告");
    EXPECT_NE(desktop_.messages[0].text.find("(4 文字目)"), std::string::npos)
        << desktop_.messages[0].text;
    EXPECT_EQ(document.Text(), "a(b\r\n");
    EXPECT_EQ(document.SelLength(), 1u);
    EXPECT_FALSE(document.Modified());
  }
}

TEST_F(FindReplace, ReplaceAllOfAPatternPutsTheTextLiterally) {
  TRichEditEx& document = NewDocument(DataC1);
  document.Replace(0, document.Length(), "ab abB\r\nb\rAbab\r\nxB]b]");
  editor_.ReplaceDialog.FindText = "^ab+|b$|[b]]";
  editor_.ReplaceDialog.ReplaceText = "\\1&";
  editor_.ReplaceDialog.RegularExpression = true;
  editor_.ReplaceDialog.ReplaceAll = true;
  editor_.ReplaceDialogReplace(editor_.ReplaceDialog);
  // Letters in brackets keep their case.
  EXPECT_EQ(document.Text(), "\\1& ab\\1&\r\n\\1&\r\n\\1&a\\1&\r\nxB]\\1&\r\n");
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

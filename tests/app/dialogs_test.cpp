// The logic of the sort options dialog and the script editor window.
#include <gtest/gtest.h>

#include "app/dialogs/script_edit.h"
#include "app/dialogs/sort.h"
#include "data/savra_error.h"

namespace morvik {
namespace {

TEST(SortDialog, ResultsFollowTheButtonsAndTheFrame) {
  struct Case {
    const char* name;
    int target, order;
    enum { kOk, kCancel, kFrame } close;
    bool cancelled, ascending, whole;
  } cases[] = {
      {"defaults", 0, 0, Case::kOk, false, true, false},
      {"whole, descending", 1, 1, Case::kOk, false, false, true},
      {"cancel", 1, 1, Case::kCancel, true, false, false},
      {"frame counts as cancel", 1, 0, Case::kFrame, true, false, false},
  };
  for (const Case& c : cases) {
    TFormSort form;
    form.RadioTargetItemIndex = c.target;
    form.RadioOrderItemIndex = c.order;
    if (c.close == Case::kOk) form.ButtonOKClick();
    if (c.close == Case::kCancel) form.ButtonCancelClick();
    form.FormClose();  // every way of closing ends here
    EXPECT_EQ(form.Cancelled, c.cancelled) << c.name;
    EXPECT_EQ(form.Ascending, c.ascending) << c.name;
    EXPECT_EQ(form.WholeDocument, c.whole) << c.name;
  }
}

TEST(ScriptEditor, EnterIndentsLikeTheLineLeftOfTheCaret) {
  struct Case {
    const char* name;
    char16_t key;
    bool shift;
    std::string line;
    std::size_t column;
    std::optional<std::string> inserted;
  } cases[] = {
      {"end of an indented line", 13, false, "    b", 5, "\r\n    "},
      {"inside the indent", 13, false, "    b", 2, "\r\n  "},
      {"tabs count", 13, false, "\t b", 3, "\r\n\t "},
      {"start of a line", 13, false, "    b", 0, "\r\n"},
      {"empty line", 13, false, "", 0, "\r\n"},
      {"no indent", 13, false, "abc", 2, "\r\n"},
      {"shift+enter is the field's", 13, true, "    b", 5, std::nullopt},
      {"other keys are the field's", u'a', false, "    b", 5, std::nullopt},
  };
  const TFormScript form;
  for (const Case& c : cases) {
    EXPECT_EQ(form.MemoScriptKeyPress(c.key, c.shift, c.line, c.column), c.inserted) << c.name;
  }
}

class FakeClipboard : public ScriptClipboard {
 public:
  std::optional<std::string> Text() override { return text; }
  void SetText(std::string_view value) override { text = std::string(value); }
  std::optional<std::string> text;
};

TEST(ScriptEditor, ConvertsAndKeepsEveryByte) {
  TFormScript form;
  form.FormCreate();
  EXPECT_EQ(form.MenuQuitIgnoreShortCut, "Ctrl+Shift+Q");

  form.SetScript("x{a|b}y");
  EXPECT_EQ(form.MemoScript, "x\r\n{\r\n  a\r\n  |\r\n  b\r\n}\r\ny");
  EXPECT_EQ(form.GetScript(), "x{a|b}y");

  // 0xED40 and 0xFA5C are one character of the code page; the bytes that
  // stood in the document come back. ボ (0x83 0x7B) holds a brace's code.
  const std::string script = "{\xED\x40|\x83\x7B}\xFA\x5C";
  form.SetScript(script);
  EXPECT_EQ(form.MemoScript, "{\r\n  \xED\x40\r\n  |\r\n  \x83\x7B\r\n}\r\n\xFA\x5C");
  EXPECT_EQ(form.GetScript(), script);

  EXPECT_THROW(form.SetScript("a{b"), EInvalidSavraScript);
  EXPECT_EQ(form.GetScript(), script);

  form.SetMemoText("a{b|c");
  EXPECT_THROW(form.MenuEditAnalyzeClick(), EInvalidSavraScript);
  EXPECT_EQ(form.MemoScript, "a{b|c");

  form.SetMemoText("a\r  b\nc|");
  EXPECT_EQ(form.MemoScript, "a\r\n  b\r\nc|");
  form.MenuEditLinizeClick();
  EXPECT_EQ(form.MemoScript, "abc|");
  form.MenuEditAnalyzeClick();
  EXPECT_EQ(form.MemoScript, "abc\r\n|\r\n");

  FakeClipboard clipboard;
  form.MenuEditPasteClick(clipboard);  // no text on the clipboard
  EXPECT_EQ(form.MemoScript, "abc\r\n|\r\n");
  form.MenuEditCopyClick(clipboard);
  EXPECT_EQ(clipboard.text, "abc\r\n|\r\n");
  clipboard.text = "p\nq";
  form.MenuEditPasteClick(clipboard);
  EXPECT_EQ(form.MemoScript, "p\r\nq");

  EXPECT_FALSE(form.Ignored);
  form.MenuQuitReflectClick();
  EXPECT_TRUE(form.CloseRequested);
  EXPECT_FALSE(form.Ignored);
  form.MenuQuitIgnoreClick();
  EXPECT_TRUE(form.Ignored);
}

}  // namespace
}  // namespace morvik

// The document view's controller without a window: positions against a
// plain scan of the bytes, x positions of long lines against a plain sum,
// and what keys and the mouse do to the model.
#include "app/view/view_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "app/view/long_line_geometry.h"
#include "app/view/text_motion.h"
#include "data/sjis_codec.h"

namespace morvik {

void PrintTo(const TextPoint& point, std::ostream* out) {
  *out << "{" << point.line << ", " << point.column << "}";
}

namespace {

// Columns ten units wide, three lines to a page.
class FakeHost : public ViewHost {
 public:
  explicit FakeHost(const TRichEditEx& document) : document_(document) {}
  double XOfColumn(std::size_t /*line*/, std::size_t column) override { return 10.0 * column; }
  std::size_t ColumnAtX(std::size_t line, double x) override {
    const auto column = static_cast<std::size_t>(std::max(0.0, std::round(x / 10)));
    return std::min(column, document_.LineCharCount(line));
  }
  std::size_t PageLines() override { return 3; }
  std::size_t FirstVisibleLine() override { return top; }
  void ScrollToLine(std::size_t line) override { top = line; }
  void CaretMoved() override {}
  void ShowCaret() override {}
  void Redraw() override {}
  void Refuse(const std::string& message) override { refusals.push_back(message); }

  std::size_t top = 0;
  std::vector<std::string> refusals;

 private:
  const TRichEditEx& document_;
};

// Random Shift_JIS lines: ASCII, tabs, double-byte characters, invalid
// bytes, lone lead bytes and every kind of line break.
std::string RandomText(std::mt19937& random, std::size_t pieces) {
  static const char* const kPieces[] = {"a",    "Z",    "\t",   "\x82\xa0", "\x8a\xbf",
                                        "\xb1", "\x80", "\xa0", "\xff",     "\x81",
                                        "\r\n", "\r",   "\n",   " ",        "\x83\x5c"};
  std::string text;
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[pick(random)];
  return text;
}

TEST(ViewControllerTest, PositionsAgreeWithAPlainScanOfTheLine) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    TRichEditEx document("RichEdit1");
    document.Replace(0, 0, RandomText(random, 300));
    FakeHost host(document);
    ViewController controller(document, host);
    ASSERT_EQ(controller.LineCount(), document.RawLineCount());
    for (std::size_t line = 0; line < document.RawLineCount(); ++line) {
      const std::string bytes = document.Line(line);
      const std::u16string chars = DecodeSjis(bytes);
      ASSERT_EQ(controller.LineLength(line), chars.size()) << line;
      ASSERT_EQ(document.LineChars(line, 0, chars.size()), chars);
      const std::size_t mid = chars.size() / 3;
      EXPECT_EQ(document.LineChars(line, mid, 5), chars.substr(mid, 5));
      const std::size_t start = document.PositionOfLine(line);
      for (std::size_t column = 0; column <= chars.size(); ++column) {
        const std::size_t offset = start + ByteOffsetOfColumn(bytes, column);
        ASSERT_EQ(controller.OffsetOf({line, column}), offset) << line << ":" << column;
        ASSERT_EQ(controller.PointOf(offset), (TextPoint{line, column}));
      }
      for (std::size_t byte = 0; byte < bytes.size(); ++byte) {
        ASSERT_EQ(controller.PointOf(start + byte).column, ColumnOfByteOffset(bytes, byte));
      }
    }
  }
}

// The plain sums LongLineGeometry must agree with.
std::vector<double> PlainX(std::u16string_view text, double tab, double (*advance)(char16_t)) {
  std::vector<double> x{0};
  for (const char16_t c : text) {
    x.push_back(c == u'\t' ? (std::floor(x.back() / tab) + 1) * tab : x.back() + advance(c));
  }
  return x;
}

double TestAdvance(char16_t c) {
  return c < 0x80 ? 7 : 13.5;
}

TEST(ViewControllerTest, LongLineGeometryAgreesWithAPlainSumThroughEdits) {
  std::mt19937 random(11);
  // An invalid byte's unit (U+DC80) too.
  const std::u16string alphabet = u"ab\t あ漢" + std::u16string(1, char16_t{0xDC80});
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
  const auto random_text = [&](std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) text += alphabet[letter(random)];
    return text;
  };
  const double tab = 56;
  std::u16string line = random_text(3 * LongLineGeometry::kBlockChars + 17);
  const LongLineGeometry::Reader read = [&line](std::size_t first, std::size_t count) {
    return line.substr(std::min(first, line.size()), count);
  };
  LongLineGeometry geometry(line.size(), tab, std::make_shared<AdvanceCache>(TestAdvance), read);
  for (int round = 0; round < 30; ++round) {
    const std::vector<double> x = PlainX(line, tab, TestAdvance);
    ASSERT_EQ(geometry.Length(), line.size());
    ASSERT_DOUBLE_EQ(geometry.Width(), x.back());
    std::uniform_int_distribution<std::size_t> column(0, line.size());
    for (int probe = 0; probe < 200; ++probe) {
      const std::size_t c = column(random);
      ASSERT_DOUBLE_EQ(geometry.XOfColumn(c, read), x[c]) << c;
      // Just right of a caret position, and just left of the next one.
      if (c < line.size() && x[c + 1] - x[c] > 0.5) {
        ASSERT_EQ(geometry.ColumnAtX(x[c] + 0.1, read), c);
        ASSERT_EQ(geometry.ColumnAtX(x[c + 1] - 0.1, read), c + 1);
      }
    }
    EXPECT_EQ(geometry.ColumnAtX(-1, read), 0u);
    EXPECT_EQ(geometry.ColumnAtX(x.back() + 1, read), line.size());
    // An edit: typing, a deletion, or a paste over several blocks.
    const std::size_t at = column(random);
    const std::size_t removed =
        std::min(line.size() - at, std::size_t{round % 3 == 0 ? 9000u : round % 2u});
    const std::u16string inserted = random_text(round % 5 == 0 ? 5000 : 1);
    line.replace(at, removed, inserted);
    geometry.Edit(at, removed, inserted.size(), read);
  }
}

TEST(ViewControllerTest, WordsAreRunsOfOneScript) {
  struct Case {
    std::u16string line;
    std::size_t column;
    std::size_t next;
    std::size_t previous;
    std::size_t word_first;
    std::size_t word_last;
  };
  const Case cases[] = {
      {u"abc def", 0, 4, 0, 0, 3},
      {u"abc def", 5, 7, 4, 4, 7},
      {u"abc def", 7, 7, 4, 4, 7},  // at the end: the word before
      {u"ひらがなカタカナ漢字", 0, 4, 0, 0, 4},
      {u"ひらがなカタカナ漢字", 5, 8, 4, 4, 8},
      {u"ひらがなカタカナ漢字", 9, 10, 8, 8, 10},
      {u"コーヒー\u3000ｶﾀｶﾅ", 0, 5, 0, 0, 4},  // ー belongs to katakana
      {u"a_1,\"x\"", 0, 3, 0, 0, 3},
      {u"a_1,\"x\"", 3, 5, 0, 3, 5},
      {u"ＡＢＣαβ①Ⅱ、", 0, 7, 0, 0, 7},  // full-width, Greek and numbers are letters
      {u"", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.line.size()) + " @" + std::to_string(c.column));
    EXPECT_EQ(NextWordColumn(c.line, c.column), c.next);
    EXPECT_EQ(PreviousWordColumn(c.line, c.column), c.previous);
    const auto [first, last] = WordAround(c.line, c.column);
    EXPECT_EQ(first, c.word_first);
    EXPECT_EQ(last, c.word_last);
  }
}

TEST(ViewControllerTest, KeysAndTheMouseEditTheModel) {
  // Line 1 is one word longer than the window the word rules read first.
  const std::string run(1000, 'a');
  TRichEditEx document("RichEdit1");
  document.Replace(0, 0, "abc \x82\xa0\x82\xa2\r\n" + run + " z\r\nxy\r\n\r\nlast line");
  FakeHost host(document);
  ViewController controller(document, host);
  using M = ViewController::Motion;
  struct Step {
    std::function<void()> action;
    TextPoint caret;
    TextPoint anchor;
    std::string text_after;  // empty: unchanged
  };
  const auto motion = [&](M m, bool shift = false) {
    return [&controller, m, shift] { controller.ApplyMotion(m, shift); };
  };
  const std::string text = document.Text();
  const Step steps[] = {
      {motion(M::kWordRight), {0, 4}, {0, 4}, {}},
      {motion(M::kLineDown), {1, 4}, {1, 4}, {}},
      {motion(M::kLineDown), {2, 2}, {2, 2}, {}},  // short line: its end
      {motion(M::kLineUp), {1, 4}, {1, 4}, {}},    // the x is kept
      {motion(M::kWordRight), {1, 1001}, {1, 1001}, {}},
      {motion(M::kWordLeft, true), {1, 0}, {1, 1001}, {}},
      {[&] {
         controller.DoubleClick({1, 700});
       },
       {1, 1000},
       {1, 0},
       {}},
      {motion(M::kCharRight), {1, 1000}, {1, 1000}, {}},  // the selection ends at its side
      {motion(M::kPageDown), {4, 9}, {4, 9}, {}},
      {motion(M::kDocumentStart), {0, 0}, {0, 0}, {}},
      {[&] { controller.ToggleOverwrite(); }, {0, 0}, {0, 0}, {}},
      {[&] { controller.TypeText(u"XY"); }, {0, 2}, {0, 2}, "XYc"},
      {[&] { controller.ToggleOverwrite(); }, {0, 2}, {0, 2}, {}},
      {[&] { controller.DeletePreviousWord(); }, {0, 0}, {0, 0}, "c \x82\xa0"},
      {[&] {
         controller.MoveCaret({0, 9}, false);
       },
       {0, 4},
       {0, 4},
       {}},  // clamped
      {[&] { controller.DeleteToLineEnd(); }, {0, 4}, {0, 4}, "c \x82\xa0\x82\xa2" + run},
      {[&] {
         controller.Press({0, 2}, false, true);
       },
       {0, 1006},
       {0, 0},
       {}},
      {[&] { controller.ReplaceSelection(u"n\nm"); }, {1, 1}, {1, 1}, "n\r\nm\r\nxy"},
      // Undo selects the text it brought back.
      {[&] { controller.Undo(); }, {0, 1006}, {0, 0}, "c \x82\xa0\x82\xa2" + run},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const std::string before = document.Text();
    steps[i].action();
    EXPECT_EQ(controller.CaretPoint(), steps[i].caret) << "step " << i;
    EXPECT_EQ(controller.AnchorPoint(), steps[i].anchor) << "step " << i;
    if (steps[i].text_after.empty()) {
      EXPECT_EQ(document.Text(), before) << "step " << i;
    } else {
      EXPECT_NE(document.Text().find(steps[i].text_after), std::string::npos) << "step " << i;
    }
  }
  // A long command works on the document: edits are refused with a beep.
  document.SetReadOnly(true);
  const std::string held = document.Text();
  controller.TypeText(u"q");
  controller.DeleteNextCharacter();
  EXPECT_EQ(document.Text(), held);
  EXPECT_EQ(host.refusals, (std::vector<std::string>{"", ""}));
  EXPECT_NE(text, held);
}

}  // namespace
}  // namespace morvik

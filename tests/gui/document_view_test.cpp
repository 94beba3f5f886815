// The document view as a user drives it: keys, the mouse, the clipboard and
// an input method, checked against the model's bytes.
#include "gui/document_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/document_clipboard.h"

namespace morvik {

void PrintTo(const TextPoint& point, std::ostream* out) {
  *out << "{" << point.line << ", " << point.column << "}";
}

namespace {

struct KeyStroke {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

class DocumentViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DocumentViewEvents events;
    events.input_refused = [this](const QString& message) { refusals_ << message; };
    view_ = std::make_unique<DocumentView>(document_, std::move(events), nullptr, nullptr);
    view_->resize(480, 320);
    view_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
    QApplication::setActiveWindow(view_.get());
    view_->setFocus();
  }

  // The document holds bytes, unmodified, with the caret at offset.
  void Load(std::string_view bytes, std::size_t caret = 0) {
    document_.Replace(0, document_.Length(), bytes);
    document_.ClearUndo();
    document_.SetModified(false);
    document_.SetSelection(caret, 0);
  }

  void Press(KeyStroke stroke) { QTest::keyClick(view_.get(), stroke.key, stroke.modifiers); }

  void Click(TextPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, modifiers, view_->ViewportPointOf(point));
  }

  void SendMouse(QEvent::Type type, TextPoint point, Qt::MouseButtons held) {
    const QPoint position = view_->ViewportPointOf(point);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, view_->viewport()->mapToGlobal(position), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &event);
  }

  TRichEditEx document_{"RichEdit1"};
  std::unique_ptr<DocumentView> view_;
  QStringList refusals_;
};

TEST_F(DocumentViewTest, KeysMoveTheCaretAndExtendTheSelection) {
  // "abc あいカタ漢字", then lines of one repeated letter, so that the
  // column kept by Up and Down does not depend on the font.
  Load("abc \x82\xa0\x82\xa2\x83\x4a\x83\x5e\x8a\xbf\x8e\x9a\r\naaaaaa\r\na\r\naaaaaaaaaa");
  struct Step {
    KeyStroke key;
    TextPoint caret;
    TextPoint anchor;
  };
  const auto ctrl = Qt::ControlModifier;
  const auto shift = Qt::ShiftModifier;
  const Step steps[] = {
      // Words: Latin letters, then each script's run; blanks go with the
      // word before them.
      {{Qt::Key_Right, ctrl}, {0, 4}, {0, 4}},
      {{Qt::Key_Right, ctrl}, {0, 6}, {0, 6}},
      {{Qt::Key_Right, ctrl}, {0, 8}, {0, 8}},
      {{Qt::Key_Right, ctrl}, {0, 10}, {0, 10}},
      {{Qt::Key_Right, ctrl}, {1, 0}, {1, 0}},
      {{Qt::Key_Left, ctrl}, {0, 10}, {0, 10}},
      {{Qt::Key_Left, ctrl}, {0, 8}, {0, 8}},
      {{Qt::Key_Home}, {0, 0}, {0, 0}},
      {{Qt::Key_Left}, {0, 0}, {0, 0}},
      {{Qt::Key_Down}, {1, 0}, {1, 0}},
      {{Qt::Key_End}, {1, 6}, {1, 6}},
      // Up and Down keep the column across a shorter line.
      {{Qt::Key_Down}, {2, 1}, {2, 1}},
      {{Qt::Key_Down}, {3, 6}, {3, 6}},
      {{Qt::Key_Up}, {2, 1}, {2, 1}},
      {{Qt::Key_Up, shift}, {1, 6}, {2, 1}},
      // An arrow without Shift ends the selection at its own side.
      {{Qt::Key_Left}, {1, 6}, {1, 6}},
      {{Qt::Key_Home, shift}, {1, 0}, {1, 6}},
      {{Qt::Key_Right}, {1, 6}, {1, 6}},
      {{Qt::Key_Right}, {2, 0}, {2, 0}},
      {{Qt::Key_Left}, {1, 6}, {1, 6}},
      {{Qt::Key_End, ctrl}, {3, 10}, {3, 10}},
      {{Qt::Key_Home, ctrl | shift}, {0, 0}, {3, 10}},
      {{Qt::Key_Right}, {3, 10}, {3, 10}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    Press(steps[i].key);
    EXPECT_EQ(view_->CaretPoint(), steps[i].caret) << "step " << i;
    EXPECT_EQ(view_->AnchorPoint(), steps[i].anchor) << "step " << i;
  }
  // The model holds the selection in bytes.
  Press({Qt::Key_Home});
  Press({Qt::Key_Up, shift});
  Press({Qt::Key_Up, shift});
  EXPECT_EQ(document_.SelStart(), document_.PositionOfLine(1));
  EXPECT_EQ(document_.SelLength(), 8u + 3u);  // "aaaaaa" CR LF "a" CR LF
}

TEST_F(DocumentViewTest, EditingKeysChangeOnlyTheBytesTheyTouch) {
  struct Case {
    const char* what;
    std::string before;
    std::size_t caret;  // byte offset
    std::vector<KeyStroke> keys;
    QString typed;  // typed after the keys
    std::string after;
  };
  const auto ctrl = Qt::ControlModifier;
  const auto shift = Qt::ShiftModifier;
  const Case cases[] = {
      {"backspace at a line start joins the lines",
       "ab\r\ncd",
       4,
       {{Qt::Key_Backspace}},
       {},
       "abcd"},
      {"delete at a line end takes the CR LF", "ab\r\ncd", 2, {{Qt::Key_Delete}}, {}, "abcd"},
      {"a lone CR is one break", "a\rb", 2, {{Qt::Key_Backspace}}, {}, "ab"},
      {"backspace takes a whole double-byte character",
       "a\x93\xfa",
       3,
       {{Qt::Key_Backspace}},
       {},
       "a"},
      {"an invalid byte beside the edit stays",
       "\x80\x93\xfa\xff",
       3,
       {{Qt::Key_Backspace}},
       {},
       "\x80\xff"},
      {"ctrl+backspace takes the word before",
       "abc \x82\xa0\x82\xa2",
       8,
       {{Qt::Key_Backspace, ctrl}},
       {},
       "abc "},
      {"ctrl+delete takes the word and its blanks",
       "abc def",
       0,
       {{Qt::Key_Delete, ctrl}},
       {},
       "def"},
      {"typing replaces the selection",
       "hello",
       1,
       {{Qt::Key_Right, shift}, {Qt::Key_Right, shift}, {Qt::Key_Right, shift}},
       QStringLiteral("X"),
       "hXo"},
      {"shift+enter breaks the line with CR LF", "ab", 1, {{Qt::Key_Return, shift}}, {}, "a\r\nb"},
      {"backspace at the start does nothing", "ab", 0, {{Qt::Key_Backspace}}, {}, "ab"},
      {"undo takes back a typed word at once", "ab", 2, {}, QStringLiteral("xyz"), "abxyz"},
      {"alt+letter is a menu key, not text", "ab", 1, {{Qt::Key_F, Qt::AltModifier}}, {}, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.before, c.caret);
    for (const KeyStroke& key : c.keys) Press(key);
    QTest::keyClicks(view_.get(), c.typed);
    EXPECT_EQ(document_.Text(), c.after);
    EXPECT_EQ(document_.Modified(), c.after != c.before);
    Press({Qt::Key_Z, ctrl});
    EXPECT_EQ(document_.Text(), c.before);
  }
}

TEST_F(DocumentViewTest, InsertTogglesOverwriteWithinTheLine) {
  Load("abc\r\nd\x93\xfa", 1);
  Press({Qt::Key_Insert});
  // X and Y take the places of b and c; Z at the line's end is added.
  QTest::keyClicks(view_.get(), QStringLiteral("XYZ"));
  EXPECT_EQ(document_.Text(), "aXYZ\r\nd\x93\xfa");
  // A single-byte character takes the place of a double-byte one.
  Press({Qt::Key_Down});
  Press({Qt::Key_Home});
  QTest::keyClicks(view_.get(), QStringLiteral("qr"));
  EXPECT_EQ(document_.Text(), "aXYZ\r\nqr");
  Press({Qt::Key_Insert});
  Press({Qt::Key_Home});
  QTest::keyClicks(view_.get(), QStringLiteral("s"));
  EXPECT_EQ(document_.Text(), "aXYZ\r\nsqr");
}

TEST_F(DocumentViewTest, ClipboardKeepsTheDocumentsBytesAndRefusesForeignCharacters) {
  // An invalid byte and a character the code page holds twice (0xED40).
  const std::string first = "\"a\x80\",\"\xed\x40\"";
  Load(first + "\r\nz");
  Press({Qt::Key_End, Qt::ShiftModifier});
  Press({Qt::Key_C, Qt::ControlModifier});
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->text(), QStringLiteral(u"\"a\uFFFD\",\"纊\""));
  Press({Qt::Key_End, Qt::ControlModifier});
  Press({Qt::Key_V, Qt::ControlModifier});
  EXPECT_EQ(document_.Text(), first + "\r\nz" + first);

  // Text from another program: breaks become CR LF, é is kept out.
  QGuiApplication::clipboard()->setText(QStringLiteral(u"é漢\nq"));
  Press({Qt::Key_V, Qt::ControlModifier});
  EXPECT_EQ(document_.Text(), first + "\r\nz" + first + "\x8a\xbf\r\nq");
  ASSERT_EQ(refusals_.size(), 1);

  // Cut takes the selection out and puts it on the clipboard.
  Press({Qt::Key_Home, Qt::ControlModifier});
  Press({Qt::Key_End, Qt::ShiftModifier});
  Press({Qt::Key_X, Qt::ControlModifier});
  EXPECT_EQ(DocumentBytesOf(QGuiApplication::clipboard()->mimeData()), first);
  EXPECT_EQ(document_.Text(), "\r\nz" + first + "\x8a\xbf\r\nq");
}

TEST_F(DocumentViewTest, InputMethodCompositionIsShownAndOnlyTheCommitIsStored) {
  Load("ab", 1);
  QInputMethodEvent composing(QStringLiteral(u"にほん"), {});
  QApplication::sendEvent(view_.get(), &composing);
  EXPECT_EQ(document_.Text(), "ab");
  view_->viewport()->repaint();  // draws the composition without touching the text

  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral(u"日本"));
  QApplication::sendEvent(view_.get(), &commit);
  EXPECT_EQ(document_.Text(),
            "a\x93\xfa\x96\x7b"
            "b");
  EXPECT_EQ(view_->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral(u"a日本b"));
  EXPECT_EQ(view_->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);

  // A commit of characters Shift_JIS lacks stores nothing and says why.
  QInputMethodEvent foreign;
  foreign.setCommitString(QStringLiteral(u"😀"));
  QApplication::sendEvent(view_.get(), &foreign);
  EXPECT_EQ(document_.Text(),
            "a\x93\xfa\x96\x7b"
            "b");
  EXPECT_EQ(refusals_.size(), 1);
}

TEST_F(DocumentViewTest, MouseClicksDragsAndDoubleClicksSelect) {
  Load("abc \x8a\xbf\x8e\x9a\x82\xa0\r\nxyz");  // "abc 漢字あ", "xyz"
  Click({0, 5});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 5}));
  EXPECT_EQ(document_.SelStart(), 6u);

  QTest::mouseDClick(view_->viewport(), Qt::LeftButton, Qt::NoModifier,
                     view_->ViewportPointOf({0, 4}));
  EXPECT_EQ(view_->AnchorPoint(), (TextPoint{0, 4}));  // the run of ideographs
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 6}));

  QTest::qWait(QApplication::doubleClickInterval() + 50);  // no triple click
  Click({0, 1}, Qt::ShiftModifier);
  EXPECT_EQ(view_->AnchorPoint(), (TextPoint{0, 4}));
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 1}));

  SendMouse(QEvent::MouseButtonPress, {1, 0}, Qt::LeftButton);
  SendMouse(QEvent::MouseMove, {0, 2}, Qt::LeftButton);
  SendMouse(QEvent::MouseButtonRelease, {0, 2}, Qt::NoButton);
  EXPECT_EQ(view_->AnchorPoint(), (TextPoint{1, 0}));
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 2}));
  EXPECT_EQ(document_.SelectedText(), "c \x8a\xbf\x8e\x9a\x82\xa0\r\n");
}

TEST_F(DocumentViewTest, DropsGoInAtTheDropPointAndMovesAreOneUndoStep) {
  Load("abc\r\ndef");
  // A drag enters the view, moves to point and drops there.
  const auto drop = [this](const QMimeData& data, TextPoint point) {
    const QPoint position = view_->ViewportPointOf(point);
    QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &move);
    QDropEvent event(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &event);
  };
  QMimeData text;  // from another program
  text.setText(QStringLiteral(u"日"));
  drop(text, {1, 1});
  EXPECT_EQ(document_.Text(),
            "abc\r\nd\x93\xfa"
            "ef");
  const std::unique_ptr<QMimeData> bytes(MimeDataOfDocumentBytes("\x80"));  // from Morvik
  drop(*bytes, {0, 0});
  EXPECT_EQ(document_.Text(),
            "\x80"
            "abc\r\nd\x93\xfa"
            "ef");

  Load("one two three");
  document_.SetSelection(0, 4);
  view_->MoveSelectedTextTo({0, 8});
  EXPECT_EQ(document_.Text(), "two one three");
  EXPECT_EQ(document_.SelectedText(), "one ");
  view_->MoveSelectedTextTo({0, 5});  // inside itself: nothing
  view_->MoveSelectedTextTo({0, 0});
  EXPECT_EQ(document_.Text(), "one two three");
  Press({Qt::Key_Z, Qt::ControlModifier});
  EXPECT_EQ(document_.Text(), "two one three");
  Press({Qt::Key_Z, Qt::ControlModifier});
  EXPECT_EQ(document_.Text(), "one two three");

  // A click inside a selection, without a drag, places the caret.
  document_.SetSelection(0, 7);
  Click({0, 2});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 2}));
  EXPECT_EQ(document_.SelLength(), 0u);
}

TEST_F(DocumentViewTest, CaretMovedByTheModelIsScrolledIntoSight) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\r\n";
  Load(text);
  // As a find hit far down does.
  document_.SetSelection(document_.PositionOfLine(4000), 4);
  const std::size_t top = view_->TopLine();
  EXPECT_LE(top, 4000u);
  EXPECT_LT(4000u - top, 40u);
  EXPECT_EQ(view_->DisplayedLine(4000), QStringLiteral("line 4000"));

  Press({Qt::Key_Home, Qt::ControlModifier});
  EXPECT_EQ(view_->TopLine(), 0u);
  // Page Down turns the page with the caret: it keeps its screen row.
  Press({Qt::Key_PageDown});
  EXPECT_GT(view_->TopLine(), 0u);
  EXPECT_EQ(view_->CaretPoint().line, view_->TopLine());
  // The scroll range ends where the last line stands at the bottom.
  Press({Qt::Key_End, Qt::ControlModifier});
  EXPECT_EQ(view_->verticalScrollBar()->value(), view_->verticalScrollBar()->maximum());
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{5000, 0}));
}

TEST_F(DocumentViewTest, VeryLongLinesKeepColumnsExact) {
  std::string line;
  for (int i = 0; i < 6000; ++i) line += "\x82\xa0x";  // あx, 12 000 columns
  Load(line + "\r\nend");
  Press({Qt::Key_End});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 12000}));
  EXPECT_GT(view_->horizontalScrollBar()->value(), 0);  // the end of the line is in sight
  Click({0, 11990});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{0, 11990}));
  QTest::keyClicks(view_.get(), QStringLiteral("Z"));
  std::string expected = line;
  expected.insert(5995 * 3, "Z");
  EXPECT_EQ(document_.Text(), expected + "\r\nend");
  Press({Qt::Key_Down});
  Press({Qt::Key_Home, Qt::ControlModifier});
  EXPECT_EQ(view_->horizontalScrollBar()->value(), 0);
}

TEST_F(DocumentViewTest, ReadOnlyDocumentTakesNoEditFromTheView) {
  Load("ab\r\ncd", 2);
  QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
  document_.SetReadOnly(true);
  QTest::keyClicks(view_.get(), QStringLiteral("xy"));
  Press({Qt::Key_Backspace});
  Press({Qt::Key_Return, Qt::ShiftModifier});
  Press({Qt::Key_V, Qt::ControlModifier});
  Press({Qt::Key_Z, Qt::ControlModifier});
  EXPECT_EQ(document_.Text(), "ab\r\ncd");
  EXPECT_FALSE(document_.Modified());
  // Moving around still works.
  Press({Qt::Key_Down});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{1, 2}));
}

TEST_F(DocumentViewTest, GutterNumbersLinesAndCtrlWheelAsksForZoom) {
  Load("a\r\nb\r\nc");
  const int text_left = view_->viewport()->geometry().left();
  view_->SetLineNumbersVisible(true);
  const auto* gutter = view_->findChild<QWidget*>(QStringLiteral("LineNumberGutter"));
  ASSERT_NE(gutter, nullptr);
  const int narrow = gutter->width();
  EXPECT_EQ(view_->viewport()->geometry().left(), text_left + narrow);
  // Clicks still land on the text beside the gutter.
  Click({1, 1});
  EXPECT_EQ(view_->CaretPoint(), (TextPoint{1, 1}));
  // Five-digit line numbers take a wider gutter.
  std::string lines;
  for (int i = 0; i < 12000; ++i) lines += "x\r\n";
  Load(lines);
  EXPECT_GT(gutter->width(), narrow);
  EXPECT_EQ(view_->viewport()->geometry().left(), text_left + gutter->width());
  view_->SetLineNumbersVisible(false);
  EXPECT_EQ(view_->viewport()->geometry().left(), text_left);
  EXPECT_EQ(view_->findChild<QWidget*>(QStringLiteral("LineNumberGutter")), nullptr);

  // Whole notches of the wheel with Ctrl are zoom steps; without Ctrl it
  // scrolls.
  std::vector<int> zooms;
  QObject::connect(view_.get(), &DocumentView::ZoomRequested,
                   [&zooms](int steps) { zooms.push_back(steps); });
  const auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers) {
    const QPointF at(10, 10);
    QWheelEvent event(at, view_->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view_->viewport(), &event);
  };
  wheel(240, Qt::ControlModifier);
  wheel(-60, Qt::ControlModifier);
  wheel(-60, Qt::ControlModifier);
  wheel(-120, Qt::NoModifier);
  EXPECT_EQ(zooms, (std::vector<int>{2, -1}));
  EXPECT_GT(view_->TopLine(), 0u);
}

}  // namespace
}  // namespace morvik

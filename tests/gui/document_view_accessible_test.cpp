// The document view as a screen reader sees it, through QAccessible: the
// text by character, word and line, the caret and selection, edits, and
// the notifications that follow typing.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <memory>
#include <vector>

#include "gui/document_view.h"
#include "gui/document_view_accessible.h"

namespace morvik {
namespace {

// What reached the screen reader's side: event type, position, text.
struct Heard {
  QAccessible::Event type;
  int position;
  QString text;
  int end = 0;  // a selection's end
  friend bool operator==(const Heard&, const Heard&) = default;
};

std::vector<Heard>* heard = nullptr;

void RecordEvent(QAccessibleEvent* event) {
  if (heard == nullptr) return;
  switch (event->type()) {
    case QAccessible::TextInserted: {
      auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
      heard->push_back({event->type(), inserted->changePosition(), inserted->textInserted()});
      break;
    }
    case QAccessible::TextRemoved: {
      auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
      heard->push_back({event->type(), removed->changePosition(), removed->textRemoved()});
      break;
    }
    case QAccessible::TextCaretMoved:
      heard->push_back(
          {event->type(), static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition(), {}});
      break;
    case QAccessible::TextSelectionChanged: {
      auto* selected = static_cast<QAccessibleTextSelectionEvent*>(event);
      heard->push_back({event->type(), selected->selectionStart(), {}, selected->selectionEnd()});
      break;
    }
    default:
      break;
  }
}

TEST(DocumentViewAccessibleTest, ScreenReadersReadAndEditTheText) {
  TRichEditEx document("RichEdit1");
  // "ab cd", "漢字かな", an invalid byte and "z".
  document.Replace(0, 0, "ab cd\r\n\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\r\n\x80z");
  document.FileName = "/data/\xe6\x9d\xb1\xe4\xba\xac.htd";
  DocumentView view(document, {}, nullptr, nullptr);
  view.resize(480, 320);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QApplication::setActiveWindow(&view);
  view.setFocus();

  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::EditableText);
  // Heard as the tab reads, not by the document's internal name.
  EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral(u"東京.htd"));
  QAccessibleTextInterface* text = accessible->textInterface();
  QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
  ASSERT_NE(text, nullptr);
  ASSERT_NE(editable, nullptr);
  EXPECT_EQ(text->characterCount(), 13);
  EXPECT_EQ(text->text(0, 13), QStringLiteral(u"ab cd\n漢字かな\n\uFFFDz"));

  enum class Ask { kAt, kBefore, kAfter };
  struct Case {
    Ask ask;
    int offset;
    QAccessible::TextBoundaryType boundary;
    QString expected;
    int start;
    int end;
  };
  const Case cases[] = {
      {Ask::kAt, 1, QAccessible::CharBoundary, QStringLiteral("b"), 1, 2},
      {Ask::kAt, 1, QAccessible::WordBoundary, QStringLiteral("ab"), 0, 2},
      {Ask::kAt, 2, QAccessible::WordBoundary, QStringLiteral(" "), 2, 3},
      {Ask::kAt, 7, QAccessible::WordBoundary, QStringLiteral(u"漢字"), 6, 8},
      {Ask::kAt, 8, QAccessible::WordBoundary, QStringLiteral(u"かな"), 8, 10},
      {Ask::kAt, 7, QAccessible::LineBoundary, QStringLiteral(u"漢字かな\n"), 6, 11},
      {Ask::kAt, 12, QAccessible::LineBoundary, QStringLiteral(u"\uFFFDz"), 11, 13},
      {Ask::kAt, 13, QAccessible::CharBoundary, QString(), 13, 13},
      {Ask::kBefore, 7, QAccessible::LineBoundary, QStringLiteral("ab cd\n"), 0, 6},
      {Ask::kBefore, 3, QAccessible::WordBoundary, QStringLiteral(" "), 2, 3},
      {Ask::kBefore, 0, QAccessible::WordBoundary, QString(), 0, 0},
      {Ask::kAfter, 7, QAccessible::WordBoundary, QStringLiteral(u"かな"), 8, 10},
      {Ask::kAfter, 1, QAccessible::LineBoundary, QStringLiteral(u"漢字かな\n"), 6, 11},
      {Ask::kAfter, 12, QAccessible::LineBoundary, QString(), 13, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.ask)) + " @" + std::to_string(c.offset) +
                 " by " + std::to_string(c.boundary));
    int start = -1;
    int end = -1;
    const QString got = c.ask == Ask::kAt ? text->textAtOffset(c.offset, c.boundary, &start, &end)
                        : c.ask == Ask::kBefore
                            ? text->textBeforeOffset(c.offset, c.boundary, &start, &end)
                            : text->textAfterOffset(c.offset, c.boundary, &start, &end);
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(end, c.end);
  }

  // Caret and selection, both ways.
  text->setCursorPosition(8);
  EXPECT_EQ(view.CaretPoint(), (TextPoint{1, 2}));
  EXPECT_EQ(text->cursorPosition(), 8);
  text->setSelection(0, 4, 1);
  int start = -1;
  int end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(1, 4));
  EXPECT_EQ(text->cursorPosition(), 1);
  text->removeSelection(0);
  EXPECT_EQ(text->selectionCount(), 0);
  EXPECT_EQ(text->offsetAtPoint(view.viewport()->mapToGlobal(view.ViewportPointOf({1, 3}))), 9);

  // Edits reach the model's bytes.
  editable->replaceText(6, 8, QStringLiteral(u"表"));
  editable->insertText(0, QStringLiteral("X"));
  editable->deleteText(3, 4);
  EXPECT_EQ(document.Text(), "Xab\x63\x64\r\n\x95\x5c\x82\xa9\x82\xc8\r\n\x80z");

  // Typing is heard as an insertion and a caret move; Backspace as the
  // removal of what it removed; a selection as made and as gone.
  std::vector<Heard> events;
  heard = &events;
  SetAccessibleEventListener(RecordEvent);
  text->setCursorPosition(1);
  events.clear();
  QTest::keyClick(&view, Qt::Key_Q);
  QTest::keyClick(&view, Qt::Key_Backspace);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
  text->setCursorPosition(0);
  SetAccessibleEventListener({});
  heard = nullptr;
  const std::vector<Heard> expected = {
      {QAccessible::TextInserted, 1, QStringLiteral("q")},
      {QAccessible::TextCaretMoved, 2, {}},
      {QAccessible::TextRemoved, 1, QStringLiteral("q")},
      {QAccessible::TextCaretMoved, 1, {}},
      {QAccessible::TextCaretMoved, 2, {}},
      {QAccessible::TextSelectionChanged, 1, {}, 2},
      {QAccessible::TextCaretMoved, 0, {}},
      {QAccessible::TextSelectionChanged, 0, {}, 0},
  };
  EXPECT_EQ(events, expected);
}

}  // namespace
}  // namespace morvik

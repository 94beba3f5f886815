// The program as a user meets it: the real main window, its menus, the
// document views and the dialogs, driven by keys and clicks, with the
// model's bytes and the files on disk as the judge.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <iterator>
#include <memory>

#include "gui/document_view.h"
#include "gui/find_replace_dialogs.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "gui/script_dialog.h"
#include "gui/sjis_text.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::AnswerFile;
using testing::AnswerType;
using testing::ClickButton;
using testing::ReadFile;
using testing::WhenModalOpens;
using testing::WriteFile;

// Answers the next message box with its first button and keeps its text.
void AnswerMessage(QString* text) {
  WhenModalOpens(QStringLiteral("QMessageBox"), [text](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    *text = box->text();
    box->defaultButton()->click();
  });
}

class DesktopSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = std::make_unique<QtDesktop>();
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().activateWindow();
  }

  void TearDown() override {
    EXPECT_EQ(testing::CancelPendingAnswers(), 0) << "a window the test answers never opened";
    desktop_.reset();  // no closing pass: nothing is asked, nothing written
  }

  MainWindow& Window() { return desktop_->Window(); }
  TFormEditor& Editor() { return desktop_->Editor(); }
  DocumentView* View() { return desktop_->CurrentView(); }
  TRichEditEx& Document() { return View()->Document(); }
  QString Status(int panel) { return Window().StatusPanel(panel); }
  void Trigger(const char* name) { Window().Action(QString::fromLatin1(name))->trigger(); }

  void NewDocument(int type) {
    AnswerType(type);
    Trigger("MenuFileNew");
    ASSERT_NE(View(), nullptr);
    FocusView();
  }

  // Back to the main window after a dialog, as the desktop does.
  void FocusView() {
    QApplication::setActiveWindow(&Window());
    View()->setFocus();
  }

  void OpenDocument(const std::filesystem::path& path, int type) {
    AnswerFile(path, [type] { AnswerType(type); });
    Trigger("MenuFileOpen");
    ASSERT_NE(View(), nullptr);
    FocusView();
  }

  // Types characters as key presses that carry them, as an input method
  // hands over characters that have no key of their own.
  void Type(const QString& text) {
    for (QChar c : text) {
      QTest::sendKeyEvent(QTest::Click, View(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(View(), key, modifiers);
  }

  // Puts the caret on line (0-based) at column (characters) with the keys.
  void GoTo(int line, int column) {
    Key(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < line; ++i) Key(Qt::Key_Down);
    Key(Qt::Key_Home);
    for (int i = 0; i < column; ++i) Key(Qt::Key_Right);
  }

  // The view shows exactly what the model holds now, line by line.
  void ExpectViewShowsModel() {
    for (std::size_t line = 0; line < Document().RawLineCount(); ++line) {
      EXPECT_EQ(View()->DisplayedLine(line), DisplayTextOfLine(Document().Line(line), nullptr))
          << "line " << line;
    }
  }

  testing::ScratchDir scratch_{"morvik-gui"};
  const std::filesystem::path& directory_ = scratch_.path();
  std::unique_ptr<QtDesktop> desktop_;
};

TEST_F(DesktopSessionTest, TypedTextReachesTheModelAsShiftJis) {
  NewDocument(DataA1);
  GoTo(0, 1);
  QTest::keyClicks(View(), QStringLiteral("ab"));
  Type(QStringLiteral(u"日本"));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Document().Text(),
            "\"ab\x93\xfa\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n");
  EXPECT_TRUE(Document().Modified());
  // 日 counts two bytes: the caret stands in byte column 6.
  EXPECT_EQ(Status(0), QStringLiteral(u"A1 1行6列 (全3行)"));
  ExpectViewShowsModel();
}

TEST_F(DesktopSessionTest, EnterInsertsAnEmptyRecordAndShiftEnterBreaksTheLine) {
  NewDocument(DataA1);
  GoTo(0, 3);  // inside the first line, which Enter leaves whole
  Key(Qt::Key_Return);
  EXPECT_EQ(Document().Text(),
            "\"\",\"\",\"\"\r\n\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n");
  EXPECT_EQ(Status(0), QStringLiteral(u"A1 2行2列 (全4行)"));
  EXPECT_EQ(View()->CaretPoint(), (TextPoint{1, 1}));
  ExpectViewShowsModel();

  QTest::keyClicks(View(), QStringLiteral("k"));
  Key(Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Document().Text(),
            "\"\",\"\",\"\"\r\n\"k\r\n\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n");
  ExpectViewShowsModel();

  // Undo goes to the model, one step at a time.
  Key(Qt::Key_Z, Qt::ControlModifier);
  Key(Qt::Key_Z, Qt::ControlModifier);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Document().Text(), "\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n");
  ExpectViewShowsModel();
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Document().Text(),
            "\"\",\"\",\"\"\r\n\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n");
  ExpectViewShowsModel();
}

TEST_F(DesktopSessionTest, StatusBarFollowsTheCaret) {
  const std::filesystem::path path = directory_ / "kana.txt";
  // "あい","x" then a line of ASCII.
  WriteFile(path, "\"\x82\xa0\x82\xa2\",\"x\"\r\nabc\r\n");
  OpenDocument(path, DataB2);
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char16_t* status;
  };
  const Step steps[] = {
      {Qt::Key_Home, Qt::ControlModifier, u"B2 1行1列 (全3行)"},
      {Qt::Key_Right, Qt::NoModifier, u"B2 1行2列 (全3行)"},
      {Qt::Key_Right, Qt::NoModifier, u"B2 1行4列 (全3行)"},  // after あ, two bytes
      {Qt::Key_Right, Qt::NoModifier, u"B2 1行6列 (全3行)"},
      {Qt::Key_End, Qt::NoModifier, u"B2 1行11列 (全3行)"},
      {Qt::Key_Down, Qt::NoModifier, u"B2 2行4列 (全3行)"},
      {Qt::Key_End, Qt::ControlModifier, u"B2 3行1列 (全3行)"},
      // A selection made leftwards shows its left end.
      {Qt::Key_Up, Qt::ShiftModifier, u"B2 2行1列 (全3行)"},
  };
  for (const Step& step : steps) {
    Key(step.key, step.modifiers);
    EXPECT_EQ(Status(0), QString::fromUtf16(step.status)) << step.key;
  }

  // A mouse press shows where the press put the caret.
  const QPoint point = View()->ViewportPointOf({1, 2});
  QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, point);
  EXPECT_EQ(Status(0), QStringLiteral(u"B2 2行3列 (全3行)"));
}

TEST_F(DesktopSessionTest, OpenEditUndoSaveKeepsEveryByteNotTouched) {
  // Invalid bytes (0x80, 0xFF, a lead byte at the end), duplicate
  // characters of the code page (0xED40 and 0xFA5C are both U+7E8A), a
  // trail byte 0x5C (表), a lone CR and a lone LF.
  const std::string original =
      "\"a\x80\",\"\x95\x5c\"\r\n\"\xed\x40\",\"\xfa\x5c\"\rlone cr\nlone lf\r\n\xff end\x82";
  const std::filesystem::path path = directory_ / "bytes.htd";
  WriteFile(path, original);
  OpenDocument(path, Data01);
  EXPECT_EQ(Document().Text(), original);
  EXPECT_FALSE(Document().Modified());
  EXPECT_EQ(Window().PageEdit()->tabText(0), QStringLiteral("bytes.htd"));
  ExpectViewShowsModel();
  // The invalid bytes are in the view, each a visible sign of its own.
  EXPECT_EQ(View()->DisplayedLine(0), QStringLiteral(u"\"a\uFFFD\",\"表\""));
  EXPECT_EQ(View()->DisplayedLine(4), QStringLiteral(u"\uFFFD end\uFFFD"));

  GoTo(2, 0);
  QTest::keyClicks(View(), QStringLiteral("X"));
  EXPECT_EQ(
      Document().Text(),
      "\"a\x80\",\"\x95\x5c\"\r\n\"\xed\x40\",\"\xfa\x5c\"\rXlone cr\nlone lf\r\n\xff end\x82");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Document().Text(), original);
  ExpectViewShowsModel();

  GoTo(0, 0);
  QTest::keyClicks(View(), QStringLiteral("Y"));
  const std::filesystem::path saved = directory_ / "saved.htd";
  AnswerFile(saved);
  Trigger("MenuFileSaveAs");
  EXPECT_EQ(ReadFile(saved), "Y" + original);
  EXPECT_FALSE(Document().Modified());
  EXPECT_EQ(Window().PageEdit()->tabText(0), QStringLiteral("saved.htd"));
  EXPECT_EQ(ReadFile(path), original);  // the opened file is untouched
}

TEST_F(DesktopSessionTest, CharactersShiftJisCannotHoldAreKeptOut) {
  NewDocument(DataC1);
  const std::string before = Document().Text();
  Type(QStringLiteral(u"é"));
  QTest::sendKeyEvent(QTest::Click, View(), Qt::Key_unknown, QStringLiteral(u"😀"), Qt::NoModifier);
  EXPECT_EQ(Document().Text(), before);
  ExpectViewShowsModel();
  EXPECT_FALSE(Status(1).isEmpty());
  Type(QStringLiteral(u"ｱ"));  // half-width kana is Shift_JIS
  EXPECT_EQ(Document().Text(), "\xb1" + before);
}

// One session of searches from the dialog and with F3 / Shift+F3; each hit
// gives the main window and the document the focus and moves the caret
// status.
TEST_F(DesktopSessionTest, FindFromTheCaretWithTheDialogAndTheKeys) {
  const std::filesystem::path path = directory_ / "find.txt";
  // "Key" at 14 (line 2) and 25 (line 3).
  WriteFile(path, "\"a\",\"1\"\r\n\"b\",\"Key\"\r\n\"c\",\"Key\"\r\n");
  OpenDocument(path, Data01);
  GoTo(1, 0);
  Trigger("MenuEditFind");
  FindDialog* find = Window().FindDialogView();
  ASSERT_TRUE(find->isVisible());
  auto* check_pattern = find->findChild<QCheckBox*>(QStringLiteral("CheckRegularExpression"));
  ASSERT_NE(check_pattern, nullptr);
  EXPECT_EQ(check_pattern->text(), QStringLiteral(u"正規表現(&X)"));
  EXPECT_FALSE(check_pattern->isChecked());
  auto* find_text = find->findChild<QLineEdit*>(QStringLiteral("FindText"));

  enum class How { Dialog, F3, ShiftF3 };
  struct Search {
    const char* name;
    const char16_t* text;  // typed into the dialog; nullptr: keep it
    bool pattern, down;
    How how;
    std::size_t sel_start, sel_length;  // length 0: a message instead
    const char16_t* message;
  };
  const Search searches[] = {
      {"the caret's own line", u"key", false, true, How::Dialog, 14, 3, nullptr},
      {"F3: the next", nullptr, false, true, How::F3, 25, 3, nullptr},
      {"Shift+F3: the previous", nullptr, false, true, How::ShiftF3, 14, 3, nullptr},
      {"F3 past the last", nullptr, false, true, How::F3, 25, 3, nullptr},
      {"no wrap-around", nullptr, false, true, How::F3, 25, 3,
       u"検索文字列 \"key\" は見つかりませんでした"},
      {"a pattern, upwards", u"\"[bc]\",", true, false, How::Dialog, 20, 4, nullptr},
      {"a pattern in error", u"K(ey", true, false, How::Dialog, 20, 4, u"正規表現の誤り"},
  };
  for (const Search& search : searches) {
    SCOPED_TRACE(search.name);
    if (search.how == How::Dialog) {
      Trigger("MenuEditFind");
      ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == find; }, 2000));
      if (search.text != nullptr) {
        find_text->clear();
        QTest::keyClicks(find_text, QString::fromUtf16(search.text));
      }
      check_pattern->setChecked(search.pattern);
      find->findChild<QRadioButton*>(search.down ? QStringLiteral("DirectionDown")
                                                 : QStringLiteral("DirectionUp"))
          ->setChecked(true);
    }
    QString message;
    if (search.message != nullptr) AnswerMessage(&message);
    switch (search.how) {
      case How::Dialog:
        ClickButton(find, QStringLiteral(u"次を検索(&F)"));
        break;
      case How::F3:
        Key(Qt::Key_F3);
        break;
      case How::ShiftF3:
        Key(Qt::Key_F3, Qt::ShiftModifier);
        break;
    }
    EXPECT_EQ(Document().SelStart(), search.sel_start);
    EXPECT_EQ(Document().SelLength(), search.sel_length);
    if (search.message != nullptr) {
      EXPECT_TRUE(message.startsWith(QString::fromUtf16(search.message))) << message.toStdString();
      FocusView();
      continue;
    }
    const std::size_t line = Document().LineFromPosition(search.sel_start);
    EXPECT_TRUE(Status(0).contains(QStringLiteral(" %1行").arg(line + 1)))
        << Status(0).toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &Window(); }, 2000));
    EXPECT_TRUE(View()->hasFocus());
  }
}

TEST_F(DesktopSessionTest, ScriptEditorReflectsOrIgnoresTheEdit) {
  NewDocument(DataC1);
  GoTo(0, 0);
  QTest::keyClicks(View(), QStringLiteral("x{a|b}y"));
  Key(Qt::Key_Home, Qt::ShiftModifier);

  // Ctrl+A decomposes again (not select-all), Ctrl+Q reflects.
  QString shown;
  WhenModalOpens(QStringLiteral("FormScript"), [&shown](QWidget* widget) {
    auto* dialog = qobject_cast<ScriptDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    QApplication::setActiveWindow(dialog);
    ScriptMemo* memo = dialog->MemoScript();
    shown = memo->toPlainText();
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Q, Qt::ControlModifier);
  });
  Key(Qt::Key_E, Qt::ControlModifier);
  EXPECT_TRUE(shown.contains(u'\n')) << shown.toStdString();
  EXPECT_EQ(Document().Line(0), "x{a|b}y");

  // An edit left with Ctrl+Shift+Q changes nothing.
  FocusView();
  Key(Qt::Key_Home);
  Key(Qt::Key_End, Qt::ShiftModifier);
  WhenModalOpens(QStringLiteral("FormScript"), [](QWidget* widget) {
    auto* dialog = qobject_cast<ScriptDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    QApplication::setActiveWindow(dialog);
    QTest::keyClicks(dialog->MemoScript(), QStringLiteral("zzz"));
    QTest::keyClick(dialog->MemoScript(), Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
  });
  Key(Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(Document().Line(0), "x{a|b}y");
  ExpectViewShowsModel();
}

TEST_F(DesktopSessionTest, MergeStopsWhenItsMenuItemIsChosenAgain) {
  NewDocument(Data01);
  const std::filesystem::path source = directory_ / "source.txt";
  std::string lines;
  constexpr int kSourceLines = 100000;
  for (int i = 0; i < kSourceLines; ++i) lines += "\"k" + std::to_string(i) + "\",\"v\"\r\n";
  WriteFile(source, lines);

  QAction* merge = Window().Action(QStringLiteral("MenuEditMerge"));
  const QString idle_caption = merge->text();
  QString running_caption;
  // Once the merge runs (its item reads "stop"), choose the item again.
  auto* stopper = new QTimer;
  stopper->setInterval(1);
  QObject::connect(stopper, &QTimer::timeout, [&, stopper] {
    if (merge->text() == idle_caption) return;
    running_caption = merge->text();
    stopper->stop();
    stopper->deleteLater();
    merge->trigger();
  });
  QString message;
  AnswerFile(source, [&] {
    stopper->start();
    AnswerMessage(&message);
  });
  merge->trigger();

  EXPECT_EQ(running_caption, QStringLiteral(u"合成/マージを中止(&M)"));
  EXPECT_EQ(merge->text(), idle_caption);
  // The box reports the source's lines and fewer added than offered.
  ASSERT_TRUE(message.startsWith(QStringLiteral(u"全有効 %1 行中 ").arg(kSourceLines)))
      << message.toStdString();
  const int added = message.section(u' ', 3, 3).toInt();
  EXPECT_LT(added, kSourceLines);
  EXPECT_EQ(Document().LineCount(), static_cast<std::size_t>(2 + added));
  ExpectViewShowsModel();
}

}  // namespace
}  // namespace morvik

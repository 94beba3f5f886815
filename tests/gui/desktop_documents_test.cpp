// Documents as a desktop user handles them: closing tabs, the mark of
// unsaved changes, files dropped from a file manager, recent files, going
// to a line, line numbers and zoom. Real windows, driven by keys, clicks and
// drag events; modal windows answered from timers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "tests/common/scratch_dir.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::AnswerFile;
using testing::AnswerType;
using testing::ClickButton;
using testing::ReadFile;
using testing::WhenModalOpens;
using testing::WriteFile;

const std::string kRecord = "\"a\",\"\"\r\n";

// Answers the next message box with the button captioned answer.
void AnswerMessage(const QString& answer) {
  WhenModalOpens(QStringLiteral("QMessageBox"), [answer](QWidget* widget) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    ClickButton(widget, answer);
  });
}

// Waits for the events that follow a drop to have run.
bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 300 && !done(); ++i) QTest::qWait(10);
  return done();
}

class DesktopDocumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = scratch_.path();
    StartProgram();
  }

  void TearDown() override {
    EXPECT_EQ(testing::CancelPendingAnswers(), 0) << "a window the test answers never opened";
    desktop_.reset();
  }

  // A fresh main window, as after starting the program again.
  void StartProgram() {
    desktop_.reset();
    desktop_ = std::make_unique<QtDesktop>();
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().activateWindow();
  }

  MainWindow& Window() { return desktop_->Window(); }
  QTabWidget* Tabs() { return Window().PageEdit(); }
  DocumentView* View() { return desktop_->CurrentView(); }
  void Trigger(const char* name) { Window().Action(QString::fromLatin1(name))->trigger(); }

  void FocusView() {
    QApplication::setActiveWindow(&Window());
    View()->setFocus();
  }

  std::filesystem::path OpenDocument(const std::string& name, int type) {
    const std::filesystem::path path = directory_ / name;
    WriteFile(path, kRecord + kRecord + kRecord + kRecord);
    AnswerFile(path, [type] { AnswerType(type); });
    Trigger("MenuFileOpen");
    FocusView();
    return path;
  }

  testing::ScratchDir scratch_{"morvik-gui"};
  std::filesystem::path directory_;
  std::unique_ptr<QtDesktop> desktop_;
};

TEST_F(DesktopDocumentsTest, ClosingATabAsksAboutUnsavedChanges) {
  const QString yes = QStringLiteral(u"はい(&Y)");
  const QString no = QStringLiteral(u"いいえ(&N)");
  const QString cancel = QStringLiteral(u"キャンセル");
  struct Case {
    const char* name;
    bool by_key;     // Ctrl+W, else the tab's close button
    bool modified;   // X typed first
    QString answer;  // to the prompt; empty: none expected
    bool closed;
    bool saved;
  };
  const Case cases[] = {
      {"unmodified, button", false, false, {}, true, false},
      {"yes, Ctrl+W", true, true, yes, true, true},
      {"no, button", false, true, no, true, false},
      {"cancel, Ctrl+W", true, true, cancel, false, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    StartProgram();
    const std::filesystem::path path = OpenDocument("close.htd", DataB1);
    const std::string original = ReadFile(path);
    if (test.modified) QTest::keyClicks(View(), QStringLiteral("X"));
    if (!test.answer.isEmpty()) AnswerMessage(test.answer);
    if (test.by_key) {
      QTest::keyClick(View(), Qt::Key_W, Qt::ControlModifier);
    } else {
      QWidget* button = Tabs()->tabBar()->tabButton(0, QTabBar::RightSide);
      if (button == nullptr) button = Tabs()->tabBar()->tabButton(0, QTabBar::LeftSide);
      ASSERT_NE(button, nullptr);
      QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(Tabs()->count(), test.closed ? 0 : 1);
    EXPECT_EQ(ReadFile(path), test.saved ? "X" + original : original);
    if (test.closed) {
      // Numbers are never reused.
      AnswerType(Data01);
      Trigger("MenuFileNew");
      EXPECT_EQ(Tabs()->tabText(0), QStringLiteral("Untitled2"));
    }
  }
}

TEST_F(DesktopDocumentsTest, TabMarksUnsavedChangesWithoutChangingItsCaption) {
  OpenDocument("mark.htd", DataB1);
  struct Step {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool marked;
  };
  const Step steps[] = {
      {"typed", Qt::Key_X, Qt::NoModifier, true},
      {"undone", Qt::Key_Z, Qt::ControlModifier, false},
      {"redone", Qt::Key_Y, Qt::ControlModifier, true},
      {"saved", Qt::Key_S, Qt::ControlModifier, false},
  };
  EXPECT_TRUE(Tabs()->tabIcon(0).isNull());
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    QTest::keyClick(View(), step.key, step.modifiers);
    EXPECT_EQ(Tabs()->tabIcon(0).isNull(), !step.marked);
    EXPECT_EQ(Tabs()->tabText(0), QStringLiteral("mark.htd"));
  }
}

// Files dragged from a file manager open as Open does; text dragged in
// still goes into the document.
TEST_F(DesktopDocumentsTest, DroppedFilesOpenAndDroppedTextIsInserted) {
  OpenDocument("target.htd", DataA1);
  const std::filesystem::path dropped = directory_ / "dropped.htd";
  WriteFile(dropped, kRecord);
  auto drop = [](QWidget* target, QMimeData* data) {
    const QPoint point = target->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped_event(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped_event);
  };
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped.string()))});
  files.setText(QString::fromStdString(dropped.string()));  // as file managers add
  for (QWidget* target : std::vector<QWidget*>{View()->viewport(), Tabs()->tabBar()}) {
    const int before = Tabs()->count();
    AnswerType(DataC2);
    drop(target, &files);
    ASSERT_TRUE(WaitFor([&] { return Tabs()->count() == before + 1; }));
    EXPECT_EQ(View()->Document().FileName, dropped.string());
    EXPECT_EQ(View()->Document().DataType, DataC2);
    EXPECT_EQ(View()->Document().Text(), kRecord);
  }
  QMimeData text;
  text.setText(QStringLiteral("T"));
  const int before = Tabs()->count();
  drop(View()->viewport(), &text);
  QTest::qWait(20);
  EXPECT_EQ(Tabs()->count(), before);
  EXPECT_NE(View()->Document().Text().find('T'), std::string::npos);
}

TEST_F(DesktopDocumentsTest, RecentFilesOpenWithTheirTypeInTheNextRun) {
  const std::filesystem::path path = OpenDocument("recent.htd", DataA2);
  StartProgram();
  const QList<QAction*> items = desktop_->RecentMenu()->actions();
  ASSERT_FALSE(items.isEmpty());
  EXPECT_EQ(items[0]->text(), QStringLiteral("&1 ") + QString::fromStdString(path.string()));
  bool preset = false;
  WhenModalOpens(QStringLiteral("FormSelectType"), [&preset](QWidget* dialog) {
    preset =
        dialog->findChild<QRadioButton*>(QStringLiteral("RadioType%1").arg(DataA2))->isChecked();
    ClickButton(dialog, QStringLiteral("OK(&O)"));
  });
  items[0]->trigger();
  EXPECT_TRUE(preset);
  ASSERT_EQ(Tabs()->count(), 1);
  EXPECT_EQ(View()->Document().FileName, path.string());
  EXPECT_EQ(View()->Document().DataType, DataA2);
}

TEST_F(DesktopDocumentsTest, CtrlGMovesTheCaretToTheLineAsked) {
  OpenDocument("lines.htd", DataB1);
  WhenModalOpens(QStringLiteral("FormGoToLine"), [](QWidget* widget) {
    auto* dialog = qobject_cast<QInputDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->intValue(), 1);
    EXPECT_EQ(dialog->intMaximum(), 5);
    dialog->setIntValue(4);
    dialog->accept();
  });
  QTest::keyClick(View(), Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(View()->Document().SelStart(), View()->Document().PositionOfLine(3));
  EXPECT_EQ(Window().StatusPanel(0), QStringLiteral(u"B1 4行1列 (全5行)"));
  EXPECT_EQ(View()->Document().Text().find('G'), std::string::npos) << "Ctrl+G typed nothing";
}

// A double-click on the file information's invalid-line listing closes it
// and puts the caret on that line of the document.
TEST_F(DesktopDocumentsTest, DoubleClickedInvalidLineIsShownInTheDocument) {
  const std::filesystem::path path = directory_ / "invalid.htd";
  WriteFile(path, kRecord + "bad\r\n" + kRecord + "worse\r\n");
  AnswerFile(path, [] { AnswerType(Data01); });
  Trigger("MenuFileOpen");
  FocusView();
  WhenModalOpens(QStringLiteral("FormFileInfo"), [](QWidget* dialog) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboShowInfo"));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    auto* memo = dialog->findChild<QAbstractItemView*>(QStringLiteral("MemoInfo"));
    ASSERT_NE(memo, nullptr);
    ASSERT_EQ(memo->model()->rowCount(), 2);
    const QPoint row = memo->visualRect(memo->model()->index(1, 0)).center();
    // As a mouse does: a press on the row first, then the double-click.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::qWait(10);
    EXPECT_FALSE(dialog->isVisible());
    if (dialog->isVisible()) ClickButton(dialog, QStringLiteral("OK(&O)"));
  });
  Trigger("MenuFileInformation");
  EXPECT_EQ(View()->Document().SelStart(), View()->Document().PositionOfLine(3));
  EXPECT_EQ(Window().StatusPanel(0), QStringLiteral(u"01 4行1列 (全5行)"));
}

TEST_F(DesktopDocumentsTest, LineNumbersSettingIsCheckedAndKept) {
  QAction* item = Window().Action(QStringLiteral("MenuConfigLineNumbers"));
  const bool before = item->isChecked();
  item->trigger();
  EXPECT_EQ(item->isChecked(), !before);
  StartProgram();
  item = Window().Action(QStringLiteral("MenuConfigLineNumbers"));
  EXPECT_EQ(item->isChecked(), !before);
  OpenDocument("gutter.htd", DataB1);
  EXPECT_EQ(View()->LineNumbersVisible(), !before);
  item->trigger();  // as it was for the other tests
}

TEST_F(DesktopDocumentsTest, ZoomKeysAndCtrlWheelScaleTheFontForThisRun) {
  OpenDocument("zoom.htd", DataB1);
  const int base = View()->font().pointSize();
  struct Step {
    const char* name;
    std::function<void()> act;
    int percent;
  };
  auto wheel = [this](int notches) {
    const QPoint point = View()->viewport()->rect().center();
    QWheelEvent event(point, View()->viewport()->mapToGlobal(point), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(View()->viewport(), &event);
  };
  const Step steps[] = {
      {"Ctrl++", [this] { QTest::keyClick(View(), Qt::Key_Plus, Qt::ControlModifier); }, 110},
      {"Ctrl+=", [this] { QTest::keyClick(View(), Qt::Key_Equal, Qt::ControlModifier); }, 125},
      {"Ctrl+wheel up", [&] { wheel(2); }, 175},
      {"Ctrl+-", [this] { QTest::keyClick(View(), Qt::Key_Minus, Qt::ControlModifier); }, 150},
      {"Ctrl+wheel down", [&] { wheel(-1); }, 125},
      {"Ctrl+0", [this] { QTest::keyClick(View(), Qt::Key_0, Qt::ControlModifier); }, 100},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(View()->font().pointSize(), (base * step.percent + 50) / 100);
  }
  // The next run starts at the display font again.
  wheel(1);
  StartProgram();
  OpenDocument("zoom.htd", DataB1);
  EXPECT_EQ(View()->font().pointSize(), base);
}

}  // namespace
}  // namespace morvik

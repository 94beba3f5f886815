// The main window and the message box as a user meets them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "gui/main_window.h"
#include "gui/message_box.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::ClickButton;
using testing::WhenModalOpens;

TEST(MainWindowTest, MenuItemsHaveTheirCaptionsAndShortcuts) {
  MainWindow window;
  struct Item {
    const char* name;
    const char16_t* caption;
    QKeySequence shortcut;
  };
  const Item items[] = {
      {"MenuFileNew", u"新規作成(&N)", {}},
      {"MenuFileOpen", u"開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {"MenuFileSave", u"上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
      {"MenuFileSaveAs", u"名前を付けて保存(&A)...",
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {"MenuFileChangeDataType", u"ファイルの種類を変更(&C)...", {}},
      {"MenuFileInformation", u"ファイル情報(&I)...", QKeySequence(Qt::ALT | Qt::Key_Return)},
      {"MenuFileQuit", u"終了(&Q)", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {"MenuEditFind", u"検索(&F)...", QKeySequence(Qt::CTRL | Qt::Key_F)},
      {"MenuEditReplace", u"置換(&R)...", QKeySequence(Qt::CTRL | Qt::Key_R)},
      {"MenuEditScript", u"SavraScript エディタ(&E)...", QKeySequence(Qt::CTRL | Qt::Key_E)},
      {"MenuEditSort", u"並び替え/ソート(&S)...", {}},
      {"MenuEditMerge", u"合成/マージ(&M)...", {}},
      {"MenuConfigFont", u"フォント(&F)...", {}},
      {"MenuHelpScript", u"SavraScript リファレンス(&R)", QKeySequence(Qt::Key_F1)},
      {"MenuHelpWWW", u"Olvane's branch of SavraProjects(&W)", {}},
      {"MenuHelpAbout", u"バージョン情報(&A)...", {}},
      {"PopupMenuFileInformation", u"ファイル情報(&I)...", {}},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    QAction* action = window.Action(QString::fromLatin1(item.name));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf16(item.caption));
    EXPECT_EQ(action->shortcut(), item.shortcut);
  }

  QStringList menus;
  for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, (QStringList{QStringLiteral(u"ファイル(&F)"), QStringLiteral(u"編集(&E)"),
                                QStringLiteral(u"設定(&C)"), QStringLiteral(u"ヘルプ(&H)")}));
}

TEST(MainWindowTest, ShortcutsReachTheirItemsFromTheWindow) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  struct Press {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  const Press presses[] = {
      {"MenuFileSaveAs", Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier},
      {"MenuFileInformation", Qt::Key_Return, Qt::AltModifier},
      {"MenuFileInformation", Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier},
      {"MenuHelpScript", Qt::Key_F1, Qt::NoModifier},
      {"MenuEditScript", Qt::Key_E, Qt::ControlModifier},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(press.name);
    int triggered = 0;
    auto connection = QObject::connect(window.Action(QString::fromLatin1(press.name)),
                                       &QAction::triggered, [&triggered] { ++triggered; });
    QTest::keyClick(&window, press.key, press.modifiers);
    QObject::disconnect(connection);
    EXPECT_EQ(triggered, 1);
  }
}

TEST(MainWindowTest, StartsEmptyWithItsCaptionPlaceAndPanels) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Morvik"));
  EXPECT_EQ(window.size(), QSize(528, 356));
  EXPECT_EQ(window.PageEdit()->count(), 0);
  EXPECT_EQ(window.StatusPanel(0), QString());
  EXPECT_EQ(window.StatusPanel(1), QString());

  auto* panel0 = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel0"));
  auto* panel1 = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusPanel1"));
  ASSERT_NE(panel0, nullptr);
  ASSERT_NE(panel1, nullptr);
  EXPECT_EQ(panel0->width(), 200);
  // A long status text must not widen the window; panel 1 takes the rest.
  window.SetStatusPanel(1, QString(400, QChar(u'長')));
  QTest::qWait(10);
  EXPECT_EQ(window.width(), 528);
  window.resize(800, 356);
  QTest::qWait(10);
  EXPECT_GT(panel1->width(), 500);
  EXPECT_EQ(panel0->width(), 200);
}

TEST(MessageBoxTest, AnswersWithTheButtonTheUserChose) {
  using B = MessageButton;
  struct Case {
    const char* what;
    std::vector<B> buttons;
    const char16_t* click;  // nullptr: press Escape
    B answer;
  };
  const Case cases[] = {
      {"yes", {B::Yes, B::No, B::Cancel}, u"はい(&Y)", B::Yes},
      {"no", {B::Yes, B::No, B::Cancel}, u"いいえ(&N)", B::No},
      {"cancel", {B::Yes, B::No, B::Cancel}, u"キャンセル", B::Cancel},
      {"escape means cancel", {B::Yes, B::No, B::Cancel}, nullptr, B::Cancel},
      {"ok", {B::Ok}, u"OK", B::Ok},
      {"escape on a lone OK", {B::Ok}, nullptr, B::Ok},
      {"escape without cancel means no", {B::Yes, B::No}, nullptr, B::No},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QStringList captions;
    WhenModalOpens([&](QWidget* box) {
      for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
        captions << button->text();
      }
      if (c.click != nullptr) {
        ClickButton(box, QString::fromUtf16(c.click));
      } else {
        QTest::keyClick(box, Qt::Key_Escape);
      }
    });
    EXPECT_EQ(
        ShowMessageBox(nullptr, MessageKind::Confirmation, QStringLiteral("a\r\nb"), c.buttons),
        c.answer);
    EXPECT_EQ(captions.size(), static_cast<qsizetype>(c.buttons.size()));
    for (B button : c.buttons) {
      EXPECT_TRUE(captions.contains(QString::fromUtf8(CaptionOf(button))));
    }
  }
}

TEST(MessageBoxTest, CaptionAndTextAreShownAsGiven) {
  QString title;
  QString text;
  WhenModalOpens([&](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->accept();
  });
  ShowErrorMessage(nullptr, QStringLiteral(u"ファイル\r\n\"/x\"\r\nは見つかりませんでした"));
  EXPECT_EQ(title, QStringLiteral(u"警告"));
  EXPECT_EQ(text, QStringLiteral(u"ファイル\n\"/x\"\nは見つかりませんでした"));
}

}  // namespace
}  // namespace morvik

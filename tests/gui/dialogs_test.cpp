// The dialog views: how each ends, what it reports, and the keys the
// script editor takes from its text field.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/file_info_dialog.h"
#include "gui/find_replace_dialogs.h"
#include "gui/listing_view.h"
#include "gui/script_dialog.h"
#include "gui/select_type_dialog.h"
#include "gui/sort_dialog.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::ClickButton;
using testing::WhenModalOpens;

const QStringList kShowInfoItems = {QStringLiteral(u"ファイルフルパス"),
                                    QStringLiteral(u"無効な行"), QStringLiteral(u"キーワード一覧")};

const QStringList kTypeItems = {QStringLiteral(u"データ01"), QStringLiteral(u"データ02"),
                                QStringLiteral(u"データA1"), QStringLiteral(u"データA2"),
                                QStringLiteral(u"データB1"), QStringLiteral(u"データB2"),
                                QStringLiteral(u"データC1"), QStringLiteral(u"データC2")};
const QStringList kTargetItems = {QStringLiteral(u"現在の優先度(&P)"), QStringLiteral(u"全体(&A)")};
const QStringList kOrderItems = {QStringLiteral(u"昇順(&U) abc..."),
                                 QStringLiteral(u"降順(&D) zyx...")};

enum class Ending { OkButton, EnterKey, CancelButton, EscapeKey, Frame };

void End(QWidget* dialog, Ending ending) {
  switch (ending) {
    case Ending::OkButton:
      ClickButton(dialog, QStringLiteral("OK(&O)"));
      break;
    case Ending::EnterKey:
      QTest::keyClick(dialog, Qt::Key_Return);
      break;
    case Ending::CancelButton:
      ClickButton(dialog, QStringLiteral(u"キャンセル(&C)"));
      break;
    case Ending::EscapeKey:
      QTest::keyClick(dialog, Qt::Key_Escape);
      break;
    case Ending::Frame:
      dialog->close();
      break;
  }
}

TEST(DialogViewTest, EachEndingIsReportedAsTheLogicNeedsIt) {
  struct Case {
    Ending ending;
    DialogOutcome outcome;
  };
  const Case cases[] = {
      {Ending::OkButton, DialogOutcome::Ok},         {Ending::EnterKey, DialogOutcome::Ok},
      {Ending::CancelButton, DialogOutcome::Cancel}, {Ending::EscapeKey, DialogOutcome::Cancel},
      {Ending::Frame, DialogOutcome::Frame},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ending));
    SelectTypeDialog select_type(nullptr, kTypeItems);
    WhenModalOpens([&](QWidget* dialog) { End(dialog, c.ending); });
    select_type.exec();
    EXPECT_EQ(select_type.Outcome(), c.outcome);

    SortDialog sort(nullptr, kTargetItems, kOrderItems);
    WhenModalOpens([&](QWidget* dialog) { End(dialog, c.ending); });
    sort.exec();
    EXPECT_EQ(sort.Outcome(), c.outcome);
  }
}

TEST(DialogViewTest, FileInformationEndsOnlyWithOk) {
  for (Ending ending : {Ending::OkButton, Ending::EnterKey, Ending::EscapeKey}) {
    FileInfoDialog info(nullptr, kShowInfoItems);
    WhenModalOpens([&](QWidget* dialog) { End(dialog, ending); });
    info.exec();
    EXPECT_EQ(info.Outcome(), DialogOutcome::Ok);
  }
}

TEST(DialogViewTest, SelectTypeShowsEightTypesColumnByColumn) {
  SelectTypeDialog dialog(nullptr, kTypeItems);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral(u"ファイルの種類選択"));
  EXPECT_EQ(dialog.size(), QSize(193, 153));
  EXPECT_EQ(dialog.SelectedIndex(), 0);
  auto radio = [&](int type) {
    return dialog.findChild<QRadioButton*>(QStringLiteral("RadioType%1").arg(type));
  };
  for (int type = 0; type < 4; ++type) {
    SCOPED_TRACE(type);
    EXPECT_EQ(radio(type)->y(), radio(type + 4)->y());
    EXPECT_LT(radio(type)->x(), radio(type + 4)->x());
    if (type > 0) {
      EXPECT_GT(radio(type)->y(), radio(type - 1)->y());
    }
  }
  EXPECT_EQ(radio(2)->text(), QStringLiteral(u"データA1"));

  dialog.SetSelectedIndex(5);
  EXPECT_EQ(dialog.SelectedIndex(), 5);
  dialog.SetSelectedIndex(8);  // not a type: the choice stays
  EXPECT_EQ(dialog.SelectedIndex(), 5);
  QTest::mouseClick(radio(3), Qt::LeftButton);
  EXPECT_EQ(dialog.SelectedIndex(), 3);
}

TEST(DialogViewTest, SortReportsTheChosenTargetAndOrder) {
  SortDialog dialog(nullptr, kTargetItems, kOrderItems);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral(u"並び替え/ソート"));
  EXPECT_EQ(dialog.TargetIndex(), 0);
  EXPECT_EQ(dialog.OrderIndex(), 0);
  WhenModalOpens([](QWidget* shown) {
    QTest::mouseClick(shown->findChild<QRadioButton*>(QStringLiteral("RadioTarget1")),
                      Qt::LeftButton);
    QTest::mouseClick(shown->findChild<QRadioButton*>(QStringLiteral("RadioOrder1")),
                      Qt::LeftButton);
    ClickButton(shown, QStringLiteral("OK(&O)"));
  });
  dialog.exec();
  EXPECT_EQ(dialog.Outcome(), DialogOutcome::Ok);
  EXPECT_EQ(dialog.TargetIndex(), 1);
  EXPECT_EQ(dialog.OrderIndex(), 1);
}

TEST(DialogViewTest, FileInformationReportsEachChoiceOfListing) {
  FileInfoDialog dialog(nullptr, kShowInfoItems);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QComboBox* combo = dialog.ComboShowInfo();
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(combo->count(), 3);
  QSignalSpy chosen(&dialog, &FileInfoDialog::ShowInfoChosen);
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  QTest::keyClick(combo, Qt::Key_Down);
  ASSERT_EQ(chosen.count(), 2);
  EXPECT_EQ(chosen.at(1).at(0).toInt(), 1);
  dialog.SetInfoText(QStringLiteral("Line2 \"b\"\nLine5 x"));
  EXPECT_EQ(dialog.InfoText(), QStringLiteral("Line2 \"b\"\nLine5 x"));
  EXPECT_EQ(dialog.findChild<ListingView*>(QStringLiteral("MemoInfo"))->editTriggers(),
            QAbstractItemView::NoEditTriggers);
}

TEST(ScriptDialogTest, MenuShortcutsWinOverTheTextFieldsKeys) {
  ScriptDialog dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  dialog.SetTextBytes("abc");
  dialog.SetIgnoreShortcut(QStringLiteral("Ctrl+Shift+Q"));  // as the window's creation does
  ScriptMemo* memo = dialog.MemoScript();
  memo->setFocus();
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    void (ScriptDialog::*signal)();
  };
  const Press presses[] = {
      {Qt::Key_A, Qt::ControlModifier, &ScriptDialog::AnalyzeClicked},
      {Qt::Key_L, Qt::ControlModifier, &ScriptDialog::LinizeClicked},
      {Qt::Key_C, Qt::ControlModifier, &ScriptDialog::CopyClicked},
      {Qt::Key_P, Qt::ControlModifier, &ScriptDialog::PasteClicked},
      {Qt::Key_Q, Qt::ControlModifier, &ScriptDialog::ReflectClicked},
      {Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier, &ScriptDialog::IgnoreClicked},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(press.key);
    QSignalSpy spy(&dialog, press.signal);
    QTest::keyClick(memo, press.key, press.modifiers);
    EXPECT_EQ(spy.count(), 1);
  }
  // Ctrl+A went to the menu, so nothing was selected.
  EXPECT_FALSE(memo->textCursor().hasSelection());
}

TEST(ScriptDialogTest, EnterGoesToTheIndentAndShiftEnterBreaksTheLine) {
  ScriptDialog dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.SetTextBytes("    b");
  ScriptMemo* memo = dialog.MemoScript();
  memo->setFocus();
  memo->moveCursor(QTextCursor::End);
  QSignalSpy enter(memo, &ScriptMemo::EnterPressed);
  QTest::keyClick(memo, Qt::Key_Return);
  EXPECT_EQ(enter.count(), 1);
  EXPECT_EQ(dialog.TextBytes(), "    b");
  EXPECT_EQ(dialog.CaretLineBytes(), "    b");
  EXPECT_EQ(dialog.CaretColumnBytes(), 5u);

  QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(enter.count(), 1);
  EXPECT_EQ(dialog.TextBytes(), "    b\r\n");
  dialog.ReplaceSelectionBytes("  c");
  EXPECT_EQ(dialog.TextBytes(), "    b\r\n  c");
  EXPECT_EQ(dialog.CaretColumnBytes(), 3u);
}

TEST(ScriptDialogTest, TextIsShiftJisWithCrLfAndKeepsOutForeignCharacters) {
  ScriptDialog dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // A lone CR and a lone LF become line breaks; 0x82A0 is あ.
  dialog.SetTextBytes("x\ry\nz\x82\xA0");
  EXPECT_EQ(dialog.TextBytes(), "x\r\ny\r\nz\x82\xA0");
  EXPECT_EQ(dialog.CaretColumnBytes(), 0u);

  ScriptMemo* memo = dialog.MemoScript();
  memo->setFocus();
  memo->moveCursor(QTextCursor::End);
  QSignalSpy refused(memo, &ScriptMemo::InputRefused);
  QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, QStringLiteral(u"é"), Qt::NoModifier);
  EXPECT_EQ(refused.count(), 1);
  EXPECT_EQ(dialog.TextBytes(), "x\r\ny\r\nz\x82\xA0");
  EXPECT_EQ(dialog.CaretColumnBytes(), 3u);
}

TEST(FindReplaceDialogTest, ButtonsReportAndCancelKeepsTheTexts) {
  FindDialog find(nullptr);
  find.ShowOrRaise();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&find));
  QSignalSpy find_next(&find, &FindDialog::FindNextClicked);
  QTest::keyClicks(find.findChild<QLineEdit*>(QStringLiteral("FindText")), QStringLiteral("abc"));
  QTest::mouseClick(find.findChild<QRadioButton*>(QStringLiteral("DirectionUp")), Qt::LeftButton);
  ClickButton(&find, QStringLiteral(u"次を検索(&F)"));
  EXPECT_EQ(find_next.count(), 1);
  EXPECT_EQ(find.FindText(), QStringLiteral("abc"));
  EXPECT_FALSE(find.SearchDown());
  ClickButton(&find, QStringLiteral(u"キャンセル"));
  EXPECT_FALSE(find.isVisible());
  find.ShowOrRaise();
  EXPECT_EQ(find.FindText(), QStringLiteral("abc"));
  EXPECT_FALSE(find.SearchDown());

  ReplaceDialog replace(nullptr);
  replace.ShowOrRaise();
  QSignalSpy replace_one(&replace, &ReplaceDialog::ReplaceClicked);
  QSignalSpy replace_all(&replace, &ReplaceDialog::ReplaceAllClicked);
  QTest::keyClicks(replace.findChild<QLineEdit*>(QStringLiteral("FindText")), QStringLiteral("a"));
  ClickButton(&replace, QStringLiteral(u"置換して次に(&R)"));
  ClickButton(&replace, QStringLiteral(u"すべて置換(&A)"));
  EXPECT_EQ(replace_one.count(), 1);
  EXPECT_EQ(replace_all.count(), 1);
}

}  // namespace
}  // namespace morvik

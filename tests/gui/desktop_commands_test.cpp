// The whole program's commands that reach beyond a document: the help menu,
// closing with unsaved documents, the display font, the status bar across
// tabs and the hourglass when a command fails. Real windows, driven by
// keys and clicks; modal windows answered from timers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>

#include "gui/document_view.h"
#include "gui/listing_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::AnswerFile;
using testing::AnswerType;
using testing::ClickButton;
using testing::FreshTestDirectory;
using testing::ReadFile;
using testing::WhenModalOpens;
using testing::WriteFile;

const QString kYes = QStringLiteral(u"はい(&Y)");
const QString kNo = QStringLiteral(u"いいえ(&N)");
const QString kCancel = QStringLiteral(u"キャンセル");
const QString kEscape = QStringLiteral("<Escape>");

// A message box as it was shown: caption, text and buttons.
struct ShownMessage {
  QString caption;
  QString text;
  QStringList buttons;
};

// Answers the next message boxes, one after the other, with the buttons
// captioned answers (kEscape presses Escape instead), and records them.
void AnswerMessages(QStringList answers, std::vector<ShownMessage>* shown) {
  if (answers.isEmpty()) return;
  WhenModalOpens(QStringLiteral("QMessageBox"), [answers, shown](QWidget* widget) mutable {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    ShownMessage message{box->windowTitle(), box->text(), {}};
    // The buttons as the user sees them, left to right.
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
      return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    for (QAbstractButton* button : buttons) message.buttons << button->text();
    shown->push_back(message);
    const QString answer = answers.takeFirst();
    // Clicked once it is on the screen and laid out, as a user sees it.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    if (answer == kEscape) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      ClickButton(box, answer);
    }
    // Armed once this box is gone, so that it is not answered twice.
    AnswerMessages(answers, shown);
  });
}

// Catches what the program hands to the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls << url; }
};

class DesktopCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = FreshTestDirectory("morvik_gui_commands_");
    // Tests close the main window; that must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    StartProgram();
  }

  void TearDown() override {
    EXPECT_EQ(testing::CancelPendingAnswers(), 0) << "a window the test answers never opened";
    desktop_.reset();
    QApplication::setQuitOnLastWindowClosed(true);
    std::filesystem::remove_all(directory_);
  }

  // A fresh main window, as after starting the program.
  void StartProgram() {
    desktop_.reset();
    desktop_ = std::make_unique<QtDesktop>();
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    Window().activateWindow();
  }

  MainWindow& Window() { return desktop_->Window(); }
  QWidget* ViewWidget(int index) { return desktop_->View(index); }
  TRichEditEx& Document(int index) { return desktop_->View(index)->Document(); }
  QString Status(int panel) { return Window().StatusPanel(panel); }
  void Trigger(const char* name) { Window().Action(QString::fromLatin1(name))->trigger(); }

  // Back to the main window after a dialog, as the desktop does.
  void FocusCurrentView() {
    QApplication::setActiveWindow(&Window());
    desktop_->CurrentView()->setFocus();
  }

  void NewDocument(int type) {
    AnswerType(type);
    Trigger("MenuFileNew");
    FocusCurrentView();
  }

  void OpenDocument(const std::filesystem::path& path, int type) {
    AnswerFile(path, [this, type] { AnswerType(type); });
    Trigger("MenuFileOpen");
    ASSERT_EQ(desktop_->CurrentView()->Document().FileName, path.string());
    FocusCurrentView();
  }

  std::filesystem::path directory_;
  std::unique_ptr<QtDesktop> desktop_;
};

TEST_F(DesktopCommandsTest, AboutBoxNamesTheVersion) {
  std::vector<ShownMessage> shown;
  AnswerMessages({QStringLiteral("OK")}, &shown);
  Trigger("MenuHelpAbout");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].text.startsWith(QStringLiteral("Morvik ver2.10.00\n")))
      << shown[0].text.toStdString();
  EXPECT_EQ(shown[0].buttons, QStringList{QStringLiteral("OK")});
}

TEST_F(DesktopCommandsTest, F1OpensTheHelpPageBesideTheProgram) {
  const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.htm");
  ASSERT_TRUE(QFileInfo::exists(page)) << "the build copies the page beside the tests";
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
  struct Case {
    const char* name;
    bool with_document;  // F1 pressed in a document's view, else in the bare window
  };
  for (const Case& test : {Case{"bare window", false}, Case{"document view", true}}) {
    SCOPED_TRACE(test.name);
    StartProgram();
    catcher.urls.clear();
    QWidget* target = &Window();
    if (test.with_document) {
      NewDocument(DataA1);
      target = ViewWidget(0);
    }
    QTest::keyClick(target, Qt::Key_F1);
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(page)});
  }
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(DesktopCommandsTest, ClosingAsksAboutEveryModifiedDocument) {
  const std::string original = "\"a\",\"\",\"\"\r\n";
  struct Case {
    const char* name;
    int modified;         // the first modified of the two open documents
    bool by_quit_key;     // Ctrl+Q, else the window's close box
    QStringList answers;  // to the prompts, in order
    bool stays_open;
    std::vector<bool> saved;  // each document's file holds its edit
    bool first_file_unwritable = false;
  };
  const Case cases[] = {
      {"nothing modified closes at once", 0, false, {}, false, {false, false}},
      {"no closes without saving", 1, false, {kNo}, false, {false, false}},
      {"yes saves, then closes", 1, false, {kYes}, false, {true, false}},
      {"cancel keeps the window and the edit", 1, false, {kCancel}, true, {false, false}},
      {"escape is cancel", 1, false, {kEscape}, true, {false, false}},
      {"quit key asks the same", 1, true, {kCancel}, true, {false, false}},
      {"cancel at the second stops the pass", 2, false, {kNo, kCancel}, true, {false, false}},
      {"both saved", 2, true, {kYes, kYes}, false, {true, true}},
      {"failed save keeps the window",
       1,
       false,
       {kYes, QStringLiteral("OK")},
       true,
       {false, false},
       true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    StartProgram();
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 2; ++i) {
      paths.push_back(directory_ / ("doc" + std::to_string(i) + ".htd"));
      WriteFile(paths.back(), original);
      OpenDocument(paths.back(), DataA1);
    }
    for (int i = 0; i < test.modified; ++i) {
      Window().PageEdit()->setCurrentIndex(i);
      QTest::keyClick(ViewWidget(i), Qt::Key_Home, Qt::ControlModifier);
      QTest::keyClicks(ViewWidget(i), QStringLiteral("X"));
      ASSERT_TRUE(Document(i).Modified());
    }
    if (test.first_file_unwritable) {
      // The file became a directory since it was opened.
      std::filesystem::remove(paths[0]);
      std::filesystem::create_directory(paths[0]);
    }
    FocusCurrentView();

    std::vector<ShownMessage> shown;
    AnswerMessages(test.answers, &shown);
    if (test.by_quit_key) {
      QTest::keyClick(ViewWidget(Window().PageEdit()->currentIndex()), Qt::Key_Q,
                      Qt::ControlModifier);
    } else {
      Window().close();
    }

    EXPECT_EQ(Window().isVisible(), test.stays_open);
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(test.answers.size()));
    for (std::size_t i = 0; i < shown.size() && i < static_cast<std::size_t>(test.modified); ++i) {
      EXPECT_EQ(shown[i].caption, QStringLiteral(u"確認"));
      EXPECT_EQ(shown[i].text.toStdString(),
                paths[i].string() + "\n\nは変更されています。保存しますか？");
      EXPECT_EQ(shown[i].buttons, (QStringList{kYes, kNo, kCancel}));
    }
    if (test.first_file_unwritable) {
      EXPECT_EQ(shown.back().caption, QStringLiteral(u"警告"));
      std::filesystem::remove(paths[0]);
      WriteFile(paths[0], original);
    }
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(ReadFile(paths[i]), test.saved[i] ? "X" + original : original);
      // Whatever was not saved is still in the documents of a window that
      // stays.
      if (test.stays_open && i < test.modified) {
        EXPECT_EQ(Document(i).Text(), "X" + original);
        EXPECT_TRUE(Document(i).Modified());
      }
    }
  }
}

// The prompts that keep a file from being replaced unasked: Save As onto an
// existing file, and Yes at closing for a document that has no file yet.
TEST_F(DesktopCommandsTest, PromptsGuardFilesAgainstUnaskedReplacing) {
  const std::string theirs = "theirs\r\n";
  const QString kNoFileChosen;  // the save dialog is cancelled
  struct Case {
    const char* name;
    bool by_closing;      // closing the window, else Save As
    QString save_answer;  // a file name in directory_, or kNoFileChosen
    QStringList answers;  // to the message boxes, in order
    bool replaced;        // the existing file now holds the document
    bool stays_open;
  };
  const Case cases[] = {
      {"save as over a file, no", false, QStringLiteral("their.htd"), {kNo}, false, true},
      {"save as over a file, yes", false, QStringLiteral("their.htd"), {kYes}, true, true},
      {"closing untitled, save as cancelled", true, kNoFileChosen, {kYes}, false, true},
      {"closing untitled, saved where chosen",
       true,
       QStringLiteral("new.htd"),
       {kYes},
       false,
       false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    StartProgram();
    const std::filesystem::path their_file = directory_ / "their.htd";
    WriteFile(their_file, theirs);
    NewDocument(DataC1);
    std::vector<ShownMessage> shown;
    AnswerMessages(test.answers, &shown);
    if (test.save_answer.isEmpty()) {
      WhenModalOpens(QStringLiteral("QFileDialog"),
                     [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    } else {
      AnswerFile(directory_ / test.save_answer.toStdString());
    }
    if (test.by_closing) {
      Window().close();
    } else {
      Trigger("MenuFileSaveAs");
    }
    EXPECT_EQ(Window().isVisible(), test.stays_open);
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(test.answers.size()));
    if (!test.by_closing) {
      EXPECT_EQ(shown[0].caption, QStringLiteral(u"確認"));
      EXPECT_EQ(shown[0].text.toStdString(),
                "ファイル\n\"" + their_file.string() + "\"\nは既に存在します。上書きしますか？");
      EXPECT_EQ(shown[0].buttons, (QStringList{kYes, kNo}));
    }
    const std::string document = "\r\n{EndOfData}\r\n";
    EXPECT_EQ(ReadFile(their_file), test.replaced ? document : theirs);
    if (test.save_answer == QStringLiteral("new.htd")) {
      EXPECT_EQ(ReadFile(directory_ / "new.htd"), document);
    }
    // Nothing lands under the untitled name wherever the program runs.
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "Untitled1"));
    if (test.stays_open) {
      EXPECT_EQ(Document(0).Modified(), !test.replaced);
    }
  }
}

// The data-type dialog: the preselected type has the keyboard focus, so the
// arrow keys move on from it; closing the dialog by its frame or Escape is
// no answer and creates no document.
TEST_F(DesktopCommandsTest, TypeDialogFocusesThePresetAndOnlyOkAnswers) {
  NewDocument(DataA2);
  QString focused;
  WhenModalOpens(QStringLiteral("FormSelectType"), [&](QWidget* dialog) {
    QApplication::setActiveWindow(dialog);
    if (QWidget* focus = dialog->focusWidget()) focused = focus->objectName();
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Up);
    ClickButton(dialog, QStringLiteral("OK(&O)"));
  });
  Trigger("MenuFileNew");
  EXPECT_EQ(focused, QStringLiteral("RadioType3"));
  ASSERT_EQ(Window().PageEdit()->count(), 2);
  EXPECT_EQ(Document(1).DataType, DataA1);  // one up from DataA2

  for (const bool by_frame : {true, false}) {
    SCOPED_TRACE(by_frame ? "frame" : "escape");
    WhenModalOpens(QStringLiteral("FormSelectType"), [by_frame](QWidget* dialog) {
      if (by_frame) {
        dialog->close();
      } else {
        QTest::keyClick(dialog, Qt::Key_Escape);
      }
    });
    Trigger("MenuFileNew");
    EXPECT_EQ(Window().PageEdit()->count(), 2);
  }
}

TEST_F(DesktopCommandsTest, ChosenFontReachesEveryDocument) {
  NewDocument(DataA1);
  NewDocument(DataB2);
  const QFont before = ViewWidget(0)->font();
  const QFont chosen(QStringLiteral("IPAPGothic"), 15);
  struct Case {
    const char* name;
    bool accept;
  };
  for (const Case& test : {Case{"cancel", false}, Case{"ok", true}}) {
    SCOPED_TRACE(test.name);
    QString started_with;
    WhenModalOpens(QStringLiteral("FontDialog"), [&](QWidget* widget) {
      auto* dialog = qobject_cast<QFontDialog*>(widget);
      ASSERT_NE(dialog, nullptr);
      started_with = dialog->currentFont().family();
      dialog->setCurrentFont(chosen);
      auto* buttons = dialog->findChild<QDialogButtonBox*>();
      QTest::mouseClick(
          buttons->button(test.accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
          Qt::LeftButton);
    });
    Trigger("MenuConfigFont");
    // The dialog starts from the display font, shown as the face that
    // stands in for "ＭＳ ゴシック".
    EXPECT_EQ(started_with, QStringLiteral("IPAGothic"));
    const QFont expected = test.accept ? chosen : before;
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(ViewWidget(i)->font().family(), expected.family()) << i;
      EXPECT_EQ(ViewWidget(i)->font().pointSize(), expected.pointSize()) << i;
    }
  }
  // A document made afterwards gets it too.
  NewDocument(DataC1);
  EXPECT_EQ(ViewWidget(2)->font().family(), chosen.family());
  EXPECT_EQ(ViewWidget(2)->font().pointSize(), chosen.pointSize());
}

TEST_F(DesktopCommandsTest, StatusPanelsFollowTheChosenTab) {
  const std::filesystem::path path = directory_ / "first.htd";
  WriteFile(path, "\"a\",\"\",\"\"\r\n\"b\",\"\",\"\"\r\n");
  OpenDocument(path, DataA1);
  NewDocument(DataB2);
  // Creating and opening leave the file-name panel alone.
  EXPECT_EQ(Status(1), QString());

  QTabBar* tabs = Window().PageEdit()->tabBar();
  struct Step {
    int tab;
    Qt::Key key;  // pressed in that tab's view afterwards
    const char16_t* panel0;
    QString panel1;
  };
  const Step steps[] = {
      {0, Qt::Key_Down, u"A1 2行1列 (全3行)", QString::fromStdString(path.string())},
      {1, Qt::Key_Right, u"B2 1行2列 (全3行)", QStringLiteral("Untitled2")},
      {0, Qt::Key_Right, u"A1 2行2列 (全3行)", QString::fromStdString(path.string())},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.tab);
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(step.tab).center());
    ASSERT_EQ(Window().PageEdit()->currentIndex(), step.tab);
    EXPECT_EQ(Status(1), step.panel1);
    QTest::keyClick(ViewWidget(step.tab), step.key);
    EXPECT_EQ(Status(0), QString::fromUtf16(step.panel0));
    EXPECT_EQ(Status(1), step.panel1);
  }
}

TEST_F(DesktopCommandsTest, HourglassEndsWhenACommandFails) {
  const std::filesystem::path opened = directory_ / "opened.htd";
  WriteFile(opened, "\"a\"\r\n");
  struct Case {
    const char* name;
    std::function<void()> run;
  };
  const Case cases[] = {
      {"open a file that vanished after it was chosen",
       [&] {
         const std::filesystem::path gone = directory_ / "gone.htd";
         WriteFile(gone, "\"a\"\r\n");
         AnswerFile(gone, [&, gone] {
           WhenModalOpens(QStringLiteral("FormSelectType"), [gone](QWidget* dialog) {
             std::filesystem::remove(gone);
             ClickButton(dialog, QStringLiteral("OK(&O)"));
           });
         });
         Trigger("MenuFileOpen");
       }},
      {"save into a directory that does not exist",
       [&] {
         OpenDocument(opened, Data01);
         QTest::keyClicks(ViewWidget(0), QStringLiteral("X"));
         AnswerFile(directory_ / "missing" / "saved.htd");
         Trigger("MenuFileSaveAs");
         EXPECT_TRUE(Document(0).Modified());
         EXPECT_EQ(Document(0).FileName, opened.string());
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    StartProgram();
    std::vector<ShownMessage> shown;
    bool hourglass_at_message = false;
    WhenModalOpens(QStringLiteral("QMessageBox"), [&](QWidget* box) {
      hourglass_at_message = QApplication::overrideCursor() != nullptr;
      shown.push_back({box->windowTitle(), qobject_cast<QMessageBox*>(box)->text(), {}});
      ClickButton(box, QStringLiteral("OK"));
    });
    test.run();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral(u"警告"));
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_FALSE(hourglass_at_message) << "the hourglass stays over the message";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stays";
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  }
}

// The keyword listing through the real window: the rows show the keywords
// decoded, the widest one fits the row width the scroll bar covers, and
// the hourglass lasts until the listing is in place, not only while the
// list is built.
TEST_F(DesktopCommandsTest, FileInformationListsKeywordsUnderTheHourglass) {
  const std::filesystem::path opened = directory_ / "keywords.htd";
  const std::string wide(40, 'W');
  WriteFile(opened, "\"b\",\"1\"\r\n\"\x82\xA0\",\"2\"\r\n\"A\",\"3\"\r\n\"B\",\"4\"\r\n\"" + wide +
                        "\",\"5\"\r\n");
  OpenDocument(opened, Data01);
  std::vector<bool> hourglass_at_reset;
  QString listing;
  int row_width = 0;
  WhenModalOpens(QStringLiteral("FormFileInfo"), [&](QWidget* dialog) {
    auto* memo = dialog->findChild<ListingView*>(QStringLiteral("MemoInfo"));
    ASSERT_NE(memo, nullptr);
    QObject::connect(memo->model(), &QAbstractItemModel::modelReset, [&] {
      hourglass_at_reset.push_back(QApplication::overrideCursor() != nullptr);
    });
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboShowInfo"));
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    listing = memo->Text();
    row_width = memo->sizeHintForIndex(memo->model()->index(0, 0)).width();
    EXPECT_EQ(row_width, memo->sizeHintForIndex(memo->model()->index(3, 0)).width());
    row_width -= QFontMetrics(memo->font()).horizontalAdvance(QString::fromStdString(wide));
    ClickButton(dialog, QStringLiteral("OK(&O)"));
  });
  Trigger("MenuFileInformation");
  // "B" repeats "b" but for case.
  EXPECT_EQ(listing, QStringLiteral(u"A\nb\n%1\nあ").arg(QString::fromStdString(wide)));
  EXPECT_GE(row_width, 0) << "the widest keyword is cut off";
  EXPECT_EQ(hourglass_at_reset, std::vector<bool>({true, true}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stays";
}

}  // namespace
}  // namespace morvik

#include "desktop_commands_test.moc"

// Starting the program from a shell or a file manager: the command line,
// the files it opens, and where the window starts.
#include "gui/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include "gui/document_view.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "gui/window_placement.h"
#include "tests/common/scratch_dir.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

using testing::AnswerType;
using testing::WhenModalOpens;
using testing::WriteFile;

// The real program: --help and --version answer where no display is;
// usage errors are told before any window opens.
TEST(CommandLineTest, ProgramAnswersAndRefusesBeforeAnyWindow) {
  struct Case {
    QStringList arguments;
    bool display;  // run offscreen, else with no display at all
    int exit_code;
    const char* out;    // in standard output
    const char* error;  // in standard error
  };
  const Case cases[] = {
      {{"--help"}, false, 0, "Usage: morvik [options] [FILE...]", ""},
      {{"-h", "x.htd"}, false, 0, "--type <TYPE>", ""},
      {{"--version"}, false, 0, "morvik 2.10.00\n", ""},
      {{"a.htd", "--version"}, false, 0, "morvik 2.10.00\n", ""},
      {{"--type", "Data03", "a.htd"}, true, 2, "", "unknown data type 'Data03'"},
      // Qt words these in the program's language; the option is named.
      {{"--type"}, true, 2, "", "--type"},
      {{"--frobnicate"}, true, 2, "", "frobnicate"},
      // Qt's own options are not this program's to refuse.
      {{"-platform", "offscreen", "--version"}, false, 0, "morvik 2.10.00\n", ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.arguments.join(u' ').toStdString());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
      environment.remove(QString::fromLatin1(name));
    }
    if (test.display) {
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
      environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVIK_PROGRAM_PATH), test.arguments);
    ASSERT_TRUE(program.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), test.exit_code) << errors.toStdString();
    EXPECT_TRUE(out.contains(QString::fromUtf8(test.out))) << out.toStdString();
    EXPECT_TRUE(errors.contains(QString::fromUtf8(test.error))) << errors.toStdString();
  }
}

class CommandLineFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = scratch_.path();
    desktop_ = std::make_unique<QtDesktop>();
    desktop_->Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop_->Window()));
  }
  void TearDown() override {
    EXPECT_EQ(testing::CancelPendingAnswers(), 0) << "a window the test answers never opened";
    desktop_.reset();
  }

  testing::ScratchDir scratch_{"morvik-gui"};
  std::filesystem::path directory_;
  std::unique_ptr<QtDesktop> desktop_;
};

// Each FILE opens as Open does, of the type given or the one the dialog
// asks for each; one that cannot be read is reported and the rest open.
TEST_F(CommandLineFilesTest, FilesOpenAsOpenDoes) {
  WriteFile(directory_ / "a.htd", "\"a\",\"\"\r\n");
  WriteFile(directory_ / "b.htd", "\"b\",\"\",\"\"\r\n");
  const QString missing = QString::fromStdString((directory_ / "missing.htd").string());
  struct Case {
    const char* name;
    QStringList arguments;   // after the program's name
    std::vector<int> asked;  // the types the dialog answers, one per file asked
    QStringList captions;    // the tabs afterwards
    std::vector<DataType> types;
    bool refused_one;  // a message box names the missing file
  };
  const Case cases[] = {
      {"type given",
       {"--type", "dataa1", "a.htd", "b.htd"},
       {},
       {"a.htd", "b.htd"},
       {DataA1, DataA1},
       false},
      {"asked for each",
       {"a.htd", "b.htd"},
       {DataB2, DataC1},
       {"a.htd", "b.htd"},
       {DataB2, DataC1},
       false},
      // Open leaves the document it made for the unreadable file empty and
      // untitled; so does the command line.
      {"unreadable file",
       {"--type", "Data02", missing, "b.htd"},
       {},
       {"Untitled1", "b.htd"},
       {Data02, Data02},
       true},
  };
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(directory_.string()));
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    desktop_ = std::make_unique<QtDesktop>();
    QString error;
    const std::optional<CommandLine> line =
        ParseCommandLine(QStringList{QStringLiteral("morvik")} + test.arguments, &error);
    ASSERT_TRUE(line) << error.toStdString();
    for (int type : test.asked) AnswerType(type);
    QString message;
    if (test.refused_one) {
      WhenModalOpens(QStringLiteral("QMessageBox"), [&message](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        message = box->text();
        box->defaultButton()->click();
      });
    }
    desktop_->OpenFiles(*line);

    QTabWidget* tabs = desktop_->Window().PageEdit();
    ASSERT_EQ(tabs->count(), test.captions.size());
    for (int i = 0; i < tabs->count(); ++i) {
      EXPECT_EQ(tabs->tabText(i), test.captions[i]) << i;
      EXPECT_EQ(desktop_->View(i)->Document().DataType, test.types[static_cast<std::size_t>(i)]);
    }
    const std::filesystem::path b_path = directory_ / "b.htd";
    EXPECT_EQ(desktop_->View(tabs->count() - 1)->Document().FileName, b_path.string())
        << "relative names are taken against the current directory";
    if (test.refused_one) {
      EXPECT_TRUE(message.contains(missing)) << message.toStdString();
    }
  }
  QDir::setCurrent(previous);
}

TEST(WindowPlacementTest, WholeWindowStaysOnTheScreen) {
  const QRect start(208, 107, 528, 356);
  const QMargins frame(4, 24, 4, 4);
  struct Case {
    const char* name;
    QRect available;
    QRect expected;
  };
  const Case cases[] = {
      {"fits: kept as it is", QRect(0, 0, 1280, 1024), start},
      // 1280 pixels at scale 2 leave 640 device-independent ones.
      {"scale 2 on 1280x1024: slides left", QRect(0, 0, 640, 512), QRect(108, 107, 528, 356)},
      {"scale 3: shrinks to the screen", QRect(0, 0, 426, 341), QRect(4, 24, 418, 313)},
      {"panel on the left and top", QRect(300, 200, 1000, 800), QRect(304, 224, 528, 356)},
      {"second screen to the left", QRect(-1280, 0, 1280, 1024), QRect(-532, 107, 528, 356)},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const QRect placed = FitOnScreen(start, frame, test.available);
    EXPECT_EQ(placed, test.expected);
    EXPECT_TRUE(test.available.contains(placed.marginsAdded(frame)));
  }
  // The window as built: on the offscreen screen, at its place and size,
  // with the icon drawn for it.
  MainWindow window;
  EXPECT_EQ(window.geometry(), start);
  EXPECT_FALSE(window.windowIcon().pixmap(32).isNull());
}

}  // namespace
}  // namespace morvik

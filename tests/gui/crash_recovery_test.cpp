// The real program killed with SIGKILL after typing: the next start offers
// the unsaved work and holds its exact bytes again. Runs the program on its
// own X server (Xvfb) and types with xdotool, as a user would; skipped with
// a message where those tools are missing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/editor/recovery_files.h"
#include "tests/common/scratch_dir.h"
#include "tests/gui/gui_test_support.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// Generous: the program runs under the sanitizers beside other tests.
bool WaitUntil(const std::function<bool()>& done, int milliseconds = 60000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    QThread::msleep(50);
  }
  return done();
}

class CrashRecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
      GTEST_SKIP() << "needs Xvfb and xdotool to type into the real program";
    }
    directory_ = scratch_.path();
    fs::create_directories(directory_ / "runtime");
    ::chmod((directory_ / "runtime").c_str(), 0700);
    // A free display number: one without a socket or a lock.
    int number = 150 + static_cast<int>(QCoreApplication::applicationPid() % 100);
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
           fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
      ++number;
    }
    display_ = QStringLiteral(":%1").arg(number);
    server_.start(QStringLiteral("Xvfb"), {display_, QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("1024x768x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(WaitUntil([&] { return fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); }))
        << "Xvfb did not start";
    environment_ = QProcessEnvironment::systemEnvironment();
    // On a real X server libxkbcommon reads its keymap with strndup past the
    // terminator of an unterminated buffer; that is the library's affair, not
    // ours, so the strict string check is off for the program started here.
    QString asan = environment_.value(QStringLiteral("ASAN_OPTIONS"));
    asan.replace(QStringLiteral("strict_string_checks=1"),
                 QStringLiteral("strict_string_checks=0"));
    environment_.insert(QStringLiteral("ASAN_OPTIONS"), asan);
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
      environment_.remove(QString::fromLatin1(name));
    }
    environment_.insert(QStringLiteral("DISPLAY"), display_);
    // Titles are Japanese, and both Qt (for a window's legacy title, which
    // xdotool searches) and xdotool convert them through the locale: under C
    // (a bare environment) the dialog would never be found.
    environment_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment_.insert(QStringLiteral("XDG_STATE_HOME"),
                        QString::fromStdString((directory_ / "state").string()));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                        QString::fromStdString((directory_ / "runtime").string()));
  }

  void TearDown() override {
    // Asked to end, Xvfb removes its socket and lock; killed, it leaves them.
    if (server_.state() != QProcess::NotRunning) {
      server_.terminate();
      if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished();
      }
    }
  }

  // Runs xdotool with arguments; its output.
  QString Xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.setProcessEnvironment(environment_);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
  }

  // The id of the program's visible window titled title, once it shows.
  QString WaitWindow(const QString& title) {
    QString id;
    WaitUntil([&] {
      id = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), QStringLiteral("^%1$").arg(title)})
               .section(u'\n', 0, 0);
      return !id.isEmpty();
    });
    return id;
  }

  // Gives window id the keyboard (there is no window manager to do it) and
  // presses keys, once the window has settled.
  void Keys(const QString& window, const QStringList& keys) {
    QThread::msleep(500);
    Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QThread::msleep(300);
    Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100")} +
            keys);
  }

  void StartProgram(QProcess& program) {
    program.setProcessEnvironment(environment_);
    program.start(QStringLiteral(MORVIK_PROGRAM_PATH), {});
    ASSERT_TRUE(program.waitForStarted());
  }

  void KillProgram(QProcess& program) {
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    program.waitForFinished();
  }

  // The recovery files in the state directory, decoded, with the pid of
  // the program that wrote each (the start of its name).
  std::vector<std::pair<qint64, RecoveryRecord>> RecoveryRecords() const {
    std::vector<std::pair<qint64, RecoveryRecord>> records;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory_ / "state" / "morvik", error)) {
      if (entry.path().extension() != ".recovery") continue;
      if (auto record = DecodeRecovery(testing::ReadFile(entry.path()))) {
        records.emplace_back(std::stoll(entry.path().filename().string()), *record);
      }
    }
    return records;
  }

  static std::string Describe(const std::vector<std::pair<qint64, RecoveryRecord>>& records) {
    std::string text = std::to_string(records.size()) + " recovery files";
    for (const auto& [pid, record] : records)
      text += "; " + std::to_string(pid) + ": " + record.Text;
    return text;
  }

  testing::ScratchDir scratch_{"morvik-crash"};
  fs::path directory_;
  QString display_;
  QProcess server_;
  QProcessEnvironment environment_;
};

TEST_F(CrashRecoveryTest, NextStartRestoresTheExactBytesTypedBeforeSigkill) {
  // "abc" typed at the start of a new DataA1 document.
  const std::string expected = "abc\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"\r\n";

  QProcess first;
  StartProgram(first);
  const QString main = WaitWindow(QStringLiteral("Morvik"));
  ASSERT_FALSE(main.isEmpty()) << "the program's window did not show";
  // File > New, the third type (データA1), OK; then type into the document.
  Keys(main, {QStringLiteral("alt+f"), QStringLiteral("n")});
  const QString type_dialog = WaitWindow(QStringLiteral(u"ファイルの種類選択"));
  ASSERT_FALSE(type_dialog.isEmpty());
  Keys(type_dialog, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
  ASSERT_TRUE(WaitUntil([&] {
    return Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), QStringLiteral(u"^ファイルの種類選択$")})
        .isEmpty();
  })) << "the type dialog did not close";
  Keys(main, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
  // At most two seconds after the last change the work is on disk.
  ASSERT_TRUE(WaitUntil([&] {
    const auto records = RecoveryRecords();
    return records.size() == 1 && records[0].second.Text == expected;
  })) << Describe(RecoveryRecords());
  KillProgram(first);

  QProcess second;
  StartProgram(second);
  const QString offer = WaitWindow(QStringLiteral(u"確認"));
  ASSERT_FALSE(offer.isEmpty()) << "the next start offered nothing";
  Keys(offer, {QStringLiteral("Return")});  // Yes, the default
  // The restored document is the new session's unsaved work: what it keeps
  // is what it holds, and the ended session's file is gone.
  EXPECT_TRUE(WaitUntil([&] {
    const auto records = RecoveryRecords();
    return records.size() == 1 && records[0].first == second.processId() &&
           records[0].second == RecoveryRecord{DataA1, false, records[0].second.FileName, expected};
  })) << Describe(RecoveryRecords());
  KillProgram(second);
}

}  // namespace
}  // namespace morvik

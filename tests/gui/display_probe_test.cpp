// The display check before the first window: listening sockets in a
// temporary directory stand in for X servers and compositors.
#include "gui/display_probe.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/common/scratch_dir.h"

namespace morvik {
namespace {

// A socket that listens (a live server) or is only bound (the file a
// crashed server leaves behind); closed and removed at the end.
class FakeServer {
 public:
  // A unix socket at path.
  FakeServer(const std::string& path, bool listening) : path_(path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0) << path;
    if (listening) {
      EXPECT_EQ(::listen(fd_, 4), 0);
    }
  }
  // A TCP socket on a free port of 127.0.0.1.
  FakeServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(::listen(fd_, 4), 0);
    socklen_t length = sizeof(address);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~FakeServer() {
    ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;
  int port() const { return port_; }

 private:
  std::string path_;
  int fd_ = -1;
  int port_ = 0;
};

// A TCP port of 127.0.0.1 that nothing listens on (free when asked).
int FreeTcpPort() {
  FakeServer probe;
  return probe.port();
}

class DisplayProbeTest : public ::testing::Test {
 protected:
  testing::ScratchDir scratch_{"morvik-display"};
  const std::string directory_ = scratch_.path().string();
};

TEST_F(DisplayProbeTest, ReachesOnlyDisplaysThatAnswer) {
  // X servers listen in directory_ as display 5 (live) and 6 (stale file);
  // a compositor as "wl-live"; a free port stands for a remote X server.
  FakeServer x_live(directory_ + "/X5", true);
  FakeServer x_stale(directory_ + "/X6", false);
  FakeServer wayland_live(directory_ + "/wl-live", true);
  FakeServer tcp_live;
  const std::string tcp_live_display = "127.0.0.1:" + std::to_string(tcp_live.port() - 6000);
  const int closed_port = FreeTcpPort();
  const std::string tcp_closed_display = "127.0.0.1:" + std::to_string(closed_port - 6000);
  struct Case {
    const char* name;
    DisplaySettings settings;
    // Empty: the window can be shown; otherwise texts the reason names.
    std::vector<std::string> reason_names;
  };
  auto x11 = [this](std::string display) {
    DisplaySettings settings;
    settings.display = std::move(display);
    settings.x11_socket_directory = directory_;
    return settings;
  };
  auto wayland = [this](std::string name, std::string display = {}) {
    DisplaySettings settings;
    settings.wayland_display = std::move(name);
    settings.display = std::move(display);
    settings.xdg_runtime_dir = directory_;
    settings.session_type = "wayland";
    settings.wayland_plugin = true;
    settings.x11_socket_directory = directory_;
    return settings;
  };
  auto with = [](DisplaySettings settings, auto change) {
    change(settings);
    return settings;
  };
  const Case cases[] = {
      {"x11 local live", x11(":5"), {}},
      {"x11 screen and unix host", x11("unix:5.0"), {}},
      {"x11 unix protocol", x11("unix/:5"), {}},
      {"x11 absent number", x11(":7"), {"DISPLAY=:7", directory_ + "/X7", "TCP localhost"}},
      {"x11 stale socket file", x11(":6"), {"DISPLAY=:6", directory_ + "/X6"}},
      {"x11 tcp live", x11(tcp_live_display), {}},
      {"x11 tcp closed",
       x11(tcp_closed_display),
       {"TCP 127.0.0.1 port " + std::to_string(closed_port)}},
      {"x11 not a display name", x11("nonsense"), {"DISPLAY=nonsense", "not an X display name"}},
      {"x11 bad screen", x11(":5.x"), {"not an X display name"}},
      {"x11 path form left to Qt", x11("/private/tmp/launch-abc/org.x:0"), {}},
      {"nothing set", DisplaySettings{}, {"neither DISPLAY nor WAYLAND_DISPLAY"}},
      {"platform chosen by the user", with(x11(":7"), [](auto& s) { s.qpa_platform = "xcb"; }), {}},
      {"offscreen with nothing else",
       with(DisplaySettings{}, [](auto& s) { s.qpa_platform = "offscreen"; }),
       {}},
      {"wayland live", wayland("wl-live"), {}},
      {"wayland absolute path", wayland(directory_ + "/wl-live"), {}},
      {"wayland absent", wayland("wl-gone"), {directory_ + "/wl-gone", "DISPLAY is not set"}},
      {"wayland default name", wayland(""), {directory_ + "/wayland-0"}},
      {"wayland absent, x11 live", wayland("wl-gone", ":5"), {}},
      {"wayland and x11 absent", wayland("wl-gone", ":7"), {"wl-gone", "DISPLAY=:7"}},
      {"wayland without runtime dir",
       with(wayland("wl-live"), [](auto& s) { s.xdg_runtime_dir.clear(); }),
       {"XDG_RUNTIME_DIR is not set"}},
      {"wayland without Qt's plugin",
       with(wayland("wl-live"), [](auto& s) { s.wayland_plugin = false; }),
       {"Wayland platform plugin is not installed"}},
      {"wayland without plugin, x11 live",
       with(wayland("wl-live", ":5"), [](auto& s) { s.wayland_plugin = false; }),
       {}},
      {"wayland display on an X11 session",
       with(wayland("wl-live"), [](auto& s) { s.session_type = "x11"; }),
       {}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::string reason = MissingDisplayReason(test.settings);
    if (test.reason_names.empty()) {
      EXPECT_EQ(reason, "");
      continue;
    }
    EXPECT_NE(reason.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << reason;
    for (const std::string& name : test.reason_names) {
      EXPECT_NE(reason.find(name), std::string::npos) << "missing " << name << " in " << reason;
    }
  }
}

// The real program with DISPLAY naming a server that is not there: a
// message and exit code 1, not Qt's abort.
TEST_F(DisplayProbeTest, ProgramExplainsAnUnreachableDisplay) {
  int number = 90;
  DisplaySettings probe;
  for (; number < 200; ++number) {
    probe.display = ":" + std::to_string(number);
    if (!MissingDisplayReason(probe).empty()) break;
  }
  ASSERT_LT(number, 200) << "no unused display number";

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
    environment.remove(QString::fromLatin1(name));
  }
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(number));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(MORVIK_PROGRAM_PATH), {});
  ASSERT_TRUE(program.waitForFinished(30000));
  const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
  EXPECT_EQ(program.exitCode(), 1) << errors.toStdString();
  EXPECT_TRUE(errors.contains(
      QStringLiteral("cannot reach the X server of DISPLAY=:%1 (tried").arg(number)))
      << errors.toStdString();
}

}  // namespace
}  // namespace morvik

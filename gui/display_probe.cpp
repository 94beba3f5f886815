#include "gui/display_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace morvik {
namespace {

// A server that does not accept a TCP connection in this time is no
// display to work on; a remote host that drops packets would otherwise keep
// the program waiting for minutes.
constexpr auto kTcpConnectTimeout = std::chrono::seconds(5);
constexpr int kX11TcpPortBase = 6000;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Connects to the unix socket path; abstract puts it in Linux's abstract
// namespace (where X servers listen too, beside the file).
bool ConnectUnix(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  // An abstract name is exactly its bytes; a file name ends with its NUL.
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (socket.fd() < 0) return false;
  int result;
  do {
    result = ::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), length);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

bool ConnectTcpAddress(const addrinfo& address, std::chrono::steady_clock::time_point deadline) {
  Socket socket(::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                         address.ai_protocol));
  if (socket.fd() < 0) return false;
  if (::connect(socket.fd(), address.ai_addr, address.ai_addrlen) == 0) return true;
  if (errno != EINPROGRESS) return false;
  pollfd waiting{socket.fd(), POLLOUT, 0};
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready > 0) break;
    if (ready == 0 || errno != EINTR) return false;
  }
  int error = 0;
  socklen_t error_length = sizeof(error);
  if (::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &error_length) != 0) return false;
  return error == 0;
}

bool ConnectTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) {
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + kTcpConnectTimeout;
  bool connected = false;
  for (const addrinfo* address = addresses; address != nullptr && !connected;
       address = address->ai_next) {
    connected = ConnectTcpAddress(*address, deadline);
  }
  ::freeaddrinfo(addresses);
  return connected;
}

// DISPLAY as "[protocol/][host]:number[.screen]".
struct X11Display {
  std::string protocol;  // "", "unix", "tcp", "inet", "inet6"
  std::string host;      // "" or "unix": this machine's unix socket
  int number = 0;
};

enum class DisplayForm { kParsed, kInvalid, kUnknown };

DisplayForm ParseX11Display(const std::string& text, X11Display& display) {
  // A path (launchd's sockets) and DECnet's "host::n" are left to Qt.
  if (!text.empty() && text.front() == '/') return DisplayForm::kUnknown;
  std::string rest = text;
  if (const std::size_t slash = rest.find('/'); slash != std::string::npos) {
    display.protocol = rest.substr(0, slash);
    rest.erase(0, slash + 1);
    if (display.protocol != "unix" && display.protocol != "tcp" && display.protocol != "inet" &&
        display.protocol != "inet6") {
      return DisplayForm::kUnknown;
    }
  }
  const std::size_t colon = rest.rfind(':');
  if (colon == std::string::npos) return DisplayForm::kInvalid;
  if (colon > 0 && rest[colon - 1] == ':' && rest.front() != '[') return DisplayForm::kUnknown;
  display.host = rest.substr(0, colon);
  if (display.host.size() >= 2 && display.host.front() == '[' && display.host.back() == ']') {
    display.host = display.host.substr(1, display.host.size() - 2);
  }
  std::string number = rest.substr(colon + 1);
  if (const std::size_t dot = number.find('.'); dot != std::string::npos) {
    const std::string screen = number.substr(dot + 1);
    if (screen.empty() || screen.find_first_not_of("0123456789") != std::string::npos) {
      return DisplayForm::kInvalid;
    }
    number.erase(dot);
  }
  if (number.empty() || number.size() > 5 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return DisplayForm::kInvalid;
  }
  display.number = std::atoi(number.c_str());
  if (kX11TcpPortBase + display.number > 65535) return DisplayForm::kInvalid;
  return DisplayForm::kParsed;
}

// Tries the ways an X client reaches the server, in the client library's
// order, and adds each one tried to tried.
bool ReachX11(const DisplaySettings& settings, const X11Display& display,
              std::vector<std::string>& tried) {
  const bool local = display.host.empty() || display.host == "unix";
  const int port = kX11TcpPortBase + display.number;
  if (local && display.protocol != "tcp" && display.protocol != "inet" &&
      display.protocol != "inet6") {
    const std::string path = settings.x11_socket_directory + "/X" + std::to_string(display.number);
    tried.push_back("the unix socket @" + path);
    if (ConnectUnix(path, /*abstract=*/true)) return true;
    tried.push_back("the unix socket " + path);
    if (ConnectUnix(path, /*abstract=*/false)) return true;
    // Without a protocol the client library falls back to TCP here.
    if (!display.protocol.empty() || display.host == "unix") return false;
  }
  const std::string host = local ? std::string("localhost") : display.host;
  tried.push_back("TCP " + host + " port " + std::to_string(port));
  return ConnectTcp(host, port);
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += ", ";
    joined += part;
  }
  return joined;
}

// Empty when the compositor answered; otherwise why not.
std::string WaylandProblem(const DisplaySettings& settings) {
  const std::string name =
      settings.wayland_display.empty() ? std::string("wayland-0") : settings.wayland_display;
  std::string path = name;
  if (name.front() != '/') {
    if (settings.xdg_runtime_dir.empty()) {
      return "cannot reach the Wayland compositor: XDG_RUNTIME_DIR is not set, so the socket " +
             name + " cannot be found";
    }
    path = settings.xdg_runtime_dir + "/" + name;
  }
  if (ConnectUnix(path, /*abstract=*/false)) return {};
  return "cannot reach the Wayland compositor (tried the socket " + path + ")";
}

// Empty when the X server answered or the form of DISPLAY is left to Qt.
std::string X11Problem(const DisplaySettings& settings) {
  if (settings.display.empty()) return "DISPLAY is not set, so there is no X server to use";
  X11Display display;
  switch (ParseX11Display(settings.display, display)) {
    case DisplayForm::kUnknown:
      return {};
    case DisplayForm::kInvalid:
      return "DISPLAY=" + settings.display + " is not an X display name (such as :0)";
    case DisplayForm::kParsed:
      break;
  }
  std::vector<std::string> tried;
  if (ReachX11(settings, display, tried)) return {};
  return "cannot reach the X server of DISPLAY=" + settings.display + " (tried " + Joined(tried) +
         ")";
}

}  // namespace

DisplaySettings DisplaySettingsFromEnvironment() {
  DisplaySettings settings;
  settings.qpa_platform = Environment("QT_QPA_PLATFORM");
  settings.display = Environment("DISPLAY");
  settings.wayland_display = Environment("WAYLAND_DISPLAY");
  settings.xdg_runtime_dir = Environment("XDG_RUNTIME_DIR");
  settings.session_type = Environment("XDG_SESSION_TYPE");
  return settings;
}

std::string MissingDisplayReason(const DisplaySettings& settings) {
  // An explicit platform (offscreen for tests, xcb, wayland) is the user's
  // choice; Qt reports its own failures then.
  if (!settings.qpa_platform.empty()) return {};
  const std::string hint =
      "Start Morvik from a desktop session, or with QT_QPA_PLATFORM=offscreen for a test run.";
  // Qt takes Wayland on a Wayland session; where Wayland is merely offered,
  // a compositor that answers is given the benefit of the doubt too.
  const bool wayland = settings.wayland_plugin &&
                       (settings.session_type == "wayland" || !settings.wayland_display.empty());
  if (settings.display.empty() && !wayland) {
    std::string reason =
        "morvik: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n";
    if (!settings.wayland_display.empty()) {
      reason =
          "morvik: no display to show the window on: DISPLAY is not set, and WAYLAND_DISPLAY "
          "cannot be used because Qt's Wayland platform plugin is not installed.\n";
    }
    return reason + hint;
  }
  std::vector<std::string> problems;
  if (wayland) {
    std::string problem = WaylandProblem(settings);
    if (problem.empty()) return {};
    problems.push_back(std::move(problem));
  }
  std::string problem = X11Problem(settings);
  if (problem.empty()) return {};
  problems.push_back(std::move(problem));

  std::string reason = "morvik: no display to show the window on:\n";
  for (const std::string& each : problems) reason += "  " + each + ".\n";
  return reason + hint;
}

}  // namespace morvik

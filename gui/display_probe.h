// Whether the display that Qt is about to use can really be reached.
//
// Qt's xcb platform aborts the process when DISPLAY names a server that is
// not there, and its Wayland platform does the same without a compositor.
// Before the application object exists the program asks here instead, and
// tells the user in plain words what it tried. The probe only connects
// sockets (the X server's unix socket, abstract or on disk, or its TCP
// port; the compositor's socket file) and links nothing new.
//
// The platform Qt would choose: an explicit QT_QPA_PLATFORM is the user's
// choice and is not second-guessed; otherwise Qt takes Wayland on a
// Wayland session when its Wayland plugin is installed, and X11 (xcb) in
// every other case.
#ifndef MORVIK_GUI_DISPLAY_PROBE_H_
#define MORVIK_GUI_DISPLAY_PROBE_H_

#include <string>

namespace morvik {

// What decides where the window goes: the environment's values (empty when
// unset) and what this machine has.
struct DisplaySettings {
  std::string qpa_platform;     // QT_QPA_PLATFORM
  std::string display;          // DISPLAY
  std::string wayland_display;  // WAYLAND_DISPLAY
  std::string xdg_runtime_dir;  // XDG_RUNTIME_DIR
  std::string session_type;     // XDG_SESSION_TYPE
  bool wayland_plugin = false;  // Qt's Wayland platform plugin is installed
  // Where X servers put their unix sockets (X0, X1, ...).
  std::string x11_socket_directory = "/tmp/.X11-unix";
};

// The settings of this process, with the X11 socket directory's default.
// wayland_plugin is left to the caller, who knows where Qt's plugins are.
DisplaySettings DisplaySettingsFromEnvironment();

// Why no window can be shown with these settings, naming what was tried, or
// an empty text when the display answered (or when the user chose the
// platform, or DISPLAY has a form this probe does not know: Qt decides
// then).
std::string MissingDisplayReason(const DisplaySettings& settings);

}  // namespace morvik

#endif  // MORVIK_GUI_DISPLAY_PROBE_H_

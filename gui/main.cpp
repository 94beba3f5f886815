// Morvik: the program entry. Everything it starts lives in morvik_gui.
#include <cstdio>

#include "data/text_encoding.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "regex/char_codes.h"

int main(int argc, char** argv) {
  const QString missing_display = morvik::MissingDisplayReason();
  if (!missing_display.isEmpty()) {
    std::fprintf(stderr, "%s\n", missing_display.toLocal8Bit().constData());
    return 1;
  }
  // The program is the engine's host: new engine objects start in the code
  // of the user's locale, as in svtool.
  morvik::bmccInitialize(morvik::LocaleCodeSet());
  morvik::MorvikApplication application(argc, argv);
  morvik::QtDesktop desktop;
  desktop.Window().show();
  desktop.KeepRecoveryFiles(morvik::DefaultRecoveryDirectory());
  return application.exec();
}

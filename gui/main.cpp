// Morvik: the program entry. Everything it starts lives in morvik_gui.
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "data/text_encoding.h"
#include "gui/application.h"
#include "gui/command_line.h"
#include "gui/main_window.h"
#include "gui/qt_desktop.h"
#include "regex/char_codes.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (const std::optional<QString> text = morvik::InformationRequested(arguments)) {
    std::fputs(text->toLocal8Bit().constData(), stdout);
    return 0;
  }
  const QString missing_display = morvik::MissingDisplayReason();
  if (!missing_display.isEmpty()) {
    std::fprintf(stderr, "%s\n", missing_display.toLocal8Bit().constData());
    return 1;
  }
  // The program is the engine's host: new engine objects start in the code
  // of the user's locale, as in svtool.
  morvik::bmccInitialize(morvik::LocaleCodeSet());
  morvik::MorvikApplication application(argc, argv);
  QString error;
  const std::optional<morvik::CommandLine> line =
      morvik::ParseCommandLine(QCoreApplication::arguments(), &error);
  if (!line) {
    std::fprintf(stderr, "morvik: %s\n(try 'morvik --help')\n", error.toLocal8Bit().constData());
    return 2;
  }
  morvik::QtDesktop desktop;
  desktop.Window().show();
  desktop.KeepRecoveryFiles(morvik::DefaultRecoveryDirectory());
  // Once the loop runs, so that the data-type dialogs and messages stand
  // over a window that is already there.
  QTimer::singleShot(0, &desktop.Window(), [&desktop, &line] { desktop.OpenFiles(*line); });
  return QApplication::exec();
}

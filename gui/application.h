// The application object and what the program sets up before its first
// window: a display check, the Japanese faces and Qt's Japanese texts, and
// the application's default error handler.
#ifndef MORVIK_GUI_APPLICATION_H_
#define MORVIK_GUI_APPLICATION_H_

#include <QApplication>
#include <QString>
#include <functional>

class QTranslator;
class QWidget;

namespace morvik {

// Why the program cannot show a window here, or an empty text when it can
// (gui/display_probe.h with this process's environment and Qt's plugins).
// Checked before the application object exists: Qt aborts the process when
// it cannot reach a display, so the program tells the user in plain words
// instead.
QString MissingDisplayReason();

// Calls handler; an exception that escapes it is shown in a "警告" box with
// its message and goes no further. Every command of the windows runs through
// here, so this is the one place where failures of commands are reported.
void RunHandler(QWidget* parent, const std::function<void()>& handler);

class MorvikApplication : public QApplication {
 public:
  MorvikApplication(int& argc, char** argv);
  ~MorvikApplication() override;

  // Last resort for an exception thrown outside RunHandler (from a view's own
  // event handler): shown like any other, the program goes on.
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QTranslator* qt_translator_;
};

}  // namespace morvik

#endif  // MORVIK_GUI_APPLICATION_H_

// QtDesktop: documents that come from outside the File menu (the command
// line).
#include "gui/command_line.h"
#include "gui/qt_desktop.h"

namespace morvik {

void QtDesktop::OpenFiles(const CommandLine& line) {
  for (const QString& path : line.files) {
    Run([this, &path, &line] { editor_->OpenFile(path.toStdString(), line.type); });
  }
}

}  // namespace morvik

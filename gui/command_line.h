// The program's command line: morvik [--type TYPE] [FILE...]
//
// --help and --version are answered before anything needs a display (a
// script or a package check runs them on machines without one); the rest
// is read once the application object has taken Qt's own options
// (-platform, -style, ...), which would otherwise count as unknown.
#ifndef MORVIK_GUI_COMMAND_LINE_H_
#define MORVIK_GUI_COMMAND_LINE_H_

#include <QString>
#include <QStringList>
#include <optional>

#include "app/editor/editor_documents.h"

namespace morvik {

// What the command line asks the window to do.
struct CommandLine {
  // The type every FILE opens as; without it the data-type dialog asks.
  std::optional<DataType> type;
  // The files to open, in the order given, as absolute paths.
  QStringList files;
};

// The help or version text when arguments (the program's name first) ask
// for one, else nothing. Other options, known or not, are left alone here.
std::optional<QString> InformationRequested(const QStringList& arguments);

// Reads arguments (the program's name first, Qt's options already taken
// out); relative FILEs are taken against the current directory. A usage
// error returns nothing with *error saying what is wrong.
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error);

}  // namespace morvik

#endif  // MORVIK_GUI_COMMAND_LINE_H_

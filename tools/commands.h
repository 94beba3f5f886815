// The command families of svtool. Each takes the arguments after its family
// word ("svtool script decompose FILE" passes {"decompose", "FILE"}) and
// returns the exit status; argument and file errors throw CommandError.
#ifndef MORVIK_TOOLS_COMMANDS_H_
#define MORVIK_TOOLS_COMMANDS_H_

#include "tools/svtool_io.h"

namespace morvik::svtool {

int RunScriptCommand(const Args& args);
int RunInfoCommand(const Args& args);
int RunSortCommand(const Args& args);
int RunMergeCommand(const Args& args);
int RunRegexCommand(const Args& args);

}  // namespace morvik::svtool

#endif  // MORVIK_TOOLS_COMMANDS_H_

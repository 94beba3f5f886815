// svtool script decompose|linize [FILE]: the script editor's conversions on
// Shift_JIS text from a file or standard input.
#include <string>

#include "data/sv_script.h"
#include "data/text_encoding.h"
#include "tools/commands.h"

namespace morvik::svtool {

int RunScriptCommand(const Args& args) {
  if (args.empty() || args.size() > 2) {
    throw CommandError("usage: svtool script decompose|linize [FILE]");
  }
  const std::string& action = args[0];
  if (action != "decompose" && action != "linize") {
    throw CommandError("unknown script command '" + action + "' (decompose or linize)");
  }
  // The script window's round trip: untouched characters keep their bytes.
  ByteKeepingCodec codec;
  const std::u16string text = codec.Decode(ReadInput(args.size() == 2 ? args[1] : ""));
  const std::u16string converted =
      action == "decompose" ? DecomposeScript(text) : LinizeScript(text);
  WriteOutput("", codec.Encode(converted));
  return kExitOk;
}

}  // namespace morvik::svtool

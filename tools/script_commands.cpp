// svtool script decompose|linize [FILE]: the script editor's conversions on
// Shift_JIS text from a file or standard input.
#include <string>

#include "data/sjis_codec.h"
#include "data/sv_script.h"
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
  const std::u16string text = DecodeSjis(ReadInput(args.size() == 2 ? args[1] : ""));
  // Decoding and encoding keep every byte but the code page's duplicates,
  // which come back in their preferred form.
  const std::u16string converted =
      action == "decompose" ? DecomposeScript(text) : LinizeScript(text);
  WriteOutput("", EncodeSjis(converted));
  return kExitOk;
}

}  // namespace morvik::svtool

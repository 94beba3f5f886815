#include "tools/svtool_io.h"

#include <unistd.h>

#include <iostream>

#include "data/file_io.h"

namespace morvik::svtool {

std::string ReadInput(const std::string& path) {
  try {
    if (path.empty() || path == "-") return ReadDescriptorBytes(STDIN_FILENO, "standard input");
    return ReadFileBytes(path);
  } catch (const EFileError& error) {
    throw CommandError(error.English());
  }
}

void WriteOutput(const std::string& path, const std::string& bytes) {
  if (path.empty()) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    if (!std::cout) throw CommandError("cannot write standard output");
    return;
  }
  try {
    WriteFileAtomically(path, bytes);
  } catch (const EFileError& error) {
    throw CommandError(error.English());
  }
}

}  // namespace morvik::svtool

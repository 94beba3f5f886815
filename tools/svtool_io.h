// What every svtool command shares: argument errors, reading input files or
// standard input as raw bytes, and writing output bytes unchanged.
#ifndef MORVIK_TOOLS_SVTOOL_IO_H_
#define MORVIK_TOOLS_SVTOOL_IO_H_

#include <stdexcept>
#include <string>
#include <vector>

namespace morvik::svtool {

using Args = std::vector<std::string>;

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitNoMatch = 1;
constexpr int kExitError = 2;

// A failure that svtool reports as "svtool: MESSAGE" with exit status 2.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole file's bytes; "-" or an empty path reads standard input. Only
// regular files are taken (standard input may be a pipe), none over the
// editor's cap. Throws CommandError naming the file and the reason.
std::string ReadInput(const std::string& path);

// Writes bytes to standard output for an empty path, else replaces the file
// as the editor saves: atomically, so a failure leaves the old file, or no
// file, as it was. Throws CommandError on failure.
void WriteOutput(const std::string& path, const std::string& bytes);

}  // namespace morvik::svtool

#endif  // MORVIK_TOOLS_SVTOOL_IO_H_

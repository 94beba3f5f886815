// Runs the real svtool binary in a scratch folder, for end-to-end tests.
#ifndef MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_
#define MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_

#include <filesystem>
#include <string>
#include <vector>

namespace morvik::testing {

struct SvtoolResult {
  int status = -1;
  std::string out;  // standard output, bytes
  std::string err;  // standard error
};

// A fresh temporary folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to name inside the folder and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Runs svtool with args, feeding input on standard input.
SvtoolResult RunSvtool(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_

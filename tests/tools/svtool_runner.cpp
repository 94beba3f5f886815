#include "svtool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/common/file_bytes.h"

namespace morvik::testing {
namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "morvik-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::Write(const std::string& name, const std::string& bytes) const {
  WriteFile(path_ / name, bytes);
  return (path_ / name).string();
}

std::string ScratchDir::Read(const std::string& name) const {
  return ReadFile(path_ / name);
}

SvtoolResult RunSvtool(const std::vector<std::string>& args, const std::string& input) {
  ScratchDir io;
  const std::string in_path = io.Write("stdin", input);
  std::string command = Quote(SVTOOL_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " <" + Quote(in_path) + " >" + Quote((io.path() / "stdout").string()) + " 2>" +
             Quote((io.path() / "stderr").string());
  const int raw = std::system(command.c_str());
  SvtoolResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = io.Read("stdout");
  result.err = io.Read("stderr");
  return result;
}

}  // namespace morvik::testing

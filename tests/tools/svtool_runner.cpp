#include "svtool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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

SvtoolResult RunSvtool(const std::vector<std::string>& args, const std::string& input,
                       bool through_pipe) {
  ScratchDir io;
  const std::string in_path = io.Write("stdin", input);
  std::string command = through_pipe ? "cat " + Quote(in_path) + " | " : "";
  command += Quote(SVTOOL_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  if (!through_pipe) command += " <" + Quote(in_path);
  command += " >" + Quote((io.path() / "stdout").string()) + " 2>" +
             Quote((io.path() / "stderr").string());
  const int raw = std::system(command.c_str());
  SvtoolResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = io.Read("stdout");
  result.err = io.Read("stderr");
  return result;
}

}  // namespace morvik::testing

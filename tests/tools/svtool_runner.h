// Runs the real svtool binary in a scratch folder, for end-to-end tests.
#ifndef MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_
#define MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_

#include <string>
#include <vector>

#include "tests/common/file_bytes.h"
#include "tests/common/scratch_dir.h"

namespace morvik::testing {

struct SvtoolResult {
  int status = -1;
  std::string out;  // standard output, bytes
  std::string err;  // standard error
};

// Runs svtool with args, feeding input on standard input.
// With through_pipe, standard input is a pipe rather than a file.
SvtoolResult RunSvtool(const std::vector<std::string>& args, const std::string& input = "",
                       bool through_pipe = false);

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_TOOLS_SVTOOL_RUNNER_H_

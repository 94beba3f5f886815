#include "tests/common/file_bytes.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace morvik::testing {

// Read through the stream buffer: GCC's -Wnull-dereference trips over
// istreambuf_iterator in optimised builds.
std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace morvik::testing

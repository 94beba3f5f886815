#include "tests/common/file_bytes.h"

#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

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

SmallTmpfs::SmallTmpfs(std::size_t bytes) {
  const std::string options = "size=" + std::to_string(bytes);
  mounted_ =
      geteuid() == 0 && mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallTmpfs::~SmallTmpfs() {
  if (mounted_) umount(folder_.path().c_str());
}

}  // namespace morvik::testing

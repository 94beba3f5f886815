#include "tools/svtool_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

namespace morvik::svtool {

std::string ReadInput(const std::string& path) {
  if (path.empty() || path == "-") {
    std::ostringstream bytes;
    bytes << std::cin.rdbuf();
    if (std::cin.bad()) throw CommandError("cannot read standard input");
    return bytes.str();
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CommandError("cannot open " + path + ": " + std::strerror(errno));
  // A directory opens but fails on the first read, which sets badbit.
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) throw CommandError("cannot read " + path + ": " + std::strerror(errno));
  return bytes;
}

void WriteOutput(const std::string& path, const std::string& bytes) {
  if (path.empty()) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    if (!std::cout) throw CommandError("cannot write standard output");
    return;
  }
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw CommandError("cannot open " + path + ": " + std::strerror(errno));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw CommandError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace morvik::svtool

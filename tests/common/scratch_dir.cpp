#include "tests/common/scratch_dir.h"

#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "tests/common/file_bytes.h"

namespace morvik::testing {

ScratchDir::ScratchDir(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a folder like " + pattern);
  }
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::File(const std::string& name) const {
  return (path_ / name).string();
}

std::string ScratchDir::Write(const std::string& name, const std::string& bytes) const {
  WriteFile(path_ / name, bytes);
  return File(name);
}

std::string ScratchDir::Read(const std::string& name) const {
  return ReadFile(path_ / name);
}

std::size_t ScratchDir::EntryCount() const {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                std::filesystem::directory_iterator()));
}

}  // namespace morvik::testing

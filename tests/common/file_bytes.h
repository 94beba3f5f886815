// Whole files as byte strings, for tests that compare what is on disk.
#ifndef MORVIK_TESTS_COMMON_FILE_BYTES_H_
#define MORVIK_TESTS_COMMON_FILE_BYTES_H_

#include <filesystem>
#include <string>

#include "tests/common/scratch_dir.h"

namespace morvik::testing {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Makes the file hold exactly bytes; throws std::runtime_error when it
// cannot be written.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A tmpfs of the given size mounted on a fresh folder, for tests of a full
// disk; mounting needs root, so Path() is empty (and the test should skip)
// otherwise.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(std::size_t bytes);
  ~SmallTmpfs();
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;
  std::string Path() const { return mounted_ ? folder_.path().string() : std::string(); }

 private:
  ScratchDir folder_;
  bool mounted_ = false;
};

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_COMMON_FILE_BYTES_H_

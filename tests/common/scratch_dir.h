// A folder of its own for the files a test writes: test runs of other work
// trees and parallel test processes share the temporary folder.
#ifndef MORVIK_TESTS_COMMON_SCRATCH_DIR_H_
#define MORVIK_TESTS_COMMON_SCRATCH_DIR_H_

#include <cstddef>
#include <filesystem>
#include <string>

namespace morvik::testing {

// A fresh, empty folder under the temporary folder, named prefix-XXXXXX;
// removed with everything in it when the object goes. Throws
// std::runtime_error when it cannot be created.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix = "morvik-test");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The full path of name inside the folder (the folder itself, with a
  // trailing slash, for "").
  std::string File(const std::string& name) const;
  // Writes bytes to name inside the folder and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // The bytes of name inside the folder; empty when it cannot be read.
  std::string Read(const std::string& name) const;
  // How many files and folders the folder holds (to see that nothing was
  // left behind).
  std::size_t EntryCount() const;

 private:
  std::filesystem::path path_;
};

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_COMMON_SCRATCH_DIR_H_

// Whole files as byte strings, for tests that compare what is on disk.
#ifndef MORVIK_TESTS_COMMON_FILE_BYTES_H_
#define MORVIK_TESTS_COMMON_FILE_BYTES_H_

#include <filesystem>
#include <string>

namespace morvik::testing {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Makes the file hold exactly bytes; throws std::runtime_error when it
// cannot be written.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace morvik::testing

#endif  // MORVIK_TESTS_COMMON_FILE_BYTES_H_

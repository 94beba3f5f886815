// The small file-system steps around the reader and the writer of
// data/file_io.h: making directories, listing and removing files, and
// advisory locks that tell running programs apart from ended ones.
#ifndef MORVIK_DATA_FILE_SYSTEM_H_
#define MORVIK_DATA_FILE_SYSTEM_H_

#include <string>
#include <vector>

namespace morvik {

// Creates path and each missing directory above it with mode (before the
// umask). Throws EFileError naming the first directory that could not be
// made and why; directories that exist already are no failure.
void MakeDirectories(const std::string& path, unsigned mode);

// The names in directory without "." and "..", sorted; none when the
// directory cannot be read.
std::vector<std::string> DirectoryEntries(const std::string& directory);

// Removes the file at path (a link itself, not what it names). False when
// it could not, including when there was none.
bool RemoveFile(const std::string& path);

// An exclusive advisory lock (flock) on a file, held until the object ends
// or is moved from. Processes that hold such locks never take one another's:
// a lock that can be taken belongs to no running process.
class FileLock {
 public:
  FileLock() = default;
  // Opens path, creating it private to the user when create is set, and
  // takes the lock without waiting. Held() tells whether that worked; if
  // not, Error() is the reason (EWOULDBLOCK: another process holds it).
  FileLock(const std::string& path, bool create);
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace morvik

#endif  // MORVIK_DATA_FILE_SYSTEM_H_

// What a file on disk is at one moment: which file (device and inode) and
// which version of it (size and modification time to the nanosecond). The
// editor remembers it when it reads or writes a document's file, and a
// different identity later means that something else changed the file.
#ifndef MORVIK_DATA_FILE_IDENTITY_H_
#define MORVIK_DATA_FILE_IDENTITY_H_

#include <cstdint>
#include <string>

namespace morvik {

struct FileIdentity {
  bool Exists = false;   // false: nothing there, or not reachable
  bool Regular = false;  // a regular file (not a directory, FIFO, device)
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::uint64_t Size = 0;
  std::int64_t ModifiedSeconds = 0;
  std::int64_t ModifiedNanoseconds = 0;

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at path, following symbolic links (a document
// names the link, and the file behind it is what changes). Never throws: a
// path that cannot be examined gives Exists == false.
FileIdentity StatFile(const std::string& path);

}  // namespace morvik

#endif  // MORVIK_DATA_FILE_IDENTITY_H_

// Reading and writing whole files: the one reader and the one writer of the
// window and svtool, so both refuse the same files and write the same safe
// way. Failures throw EFileError, whose message (what()) is the window's
// Japanese text and whose English() is svtool's; both name the file and the
// reason.
#ifndef MORVIK_DATA_FILE_IO_H_
#define MORVIK_DATA_FILE_IO_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "data/savra_error.h"

namespace morvik {

// The largest file a document or svtool takes: 1 GiB.
inline constexpr std::size_t kMaxFileBytes = 0x40000000;

class EFileError : public ESavraError {
 public:
  EFileError(const std::string& japanese, std::string english)
      : ESavraError(japanese), english_(std::move(english)) {}
  const std::string& English() const { return english_; }

 private:
  std::string english_;
};

// The whole file, byte for byte. The file is opened without blocking and
// refused at once when it is not a regular file (a directory, a named pipe,
// a socket, a device), and refused from its size when it holds more than
// max_size bytes. A file whose size lies (/proc files, a file that grows
// while it is read) is read to its end, but reading stops with the refusal
// once it passes max_size: an endless stream is refused holding no more
// than max_size and one 1 MiB block. (What was read past the claimed size
// is joined to the rest at the end, which briefly needs it twice.)
std::string ReadFileBytes(const std::string& path, std::size_t max_size = kMaxFileBytes);

// The bytes of an open descriptor to its end, under the same cap; for
// standard input, which may be a pipe. name is what messages call it.
std::string ReadDescriptorBytes(int fd, const std::string& name,
                                std::size_t max_size = kMaxFileBytes);

// The bytes of a file for one pass over them: a regular file is mapped
// rather than copied, at any size; anything else is read and refused as
// ReadFileBytes reads and refuses it. Throws EFileError.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Bytes() const {
    return mapped_ != nullptr ? std::string_view(static_cast<const char*>(mapped_), size_)
                              : std::string_view(owned_);
  }

 private:
  void* mapped_ = nullptr;
  std::size_t size_ = 0;
  std::string owned_;
};

// How WriteFileAtomically names and creates what is new.
struct AtomicWriteOptions {
  // The permission bits of a file that does not exist yet (before the
  // umask); an existing file keeps its own.
  unsigned new_file_mode = 0666;
  // The temporary file is "<path>.XXXXXX" rather than a hidden name of the
  // writer's own, so that whoever cleans up path's name finds what a crash
  // left of it.
  bool temporary_named_after_target = false;
};

// Writes the pieces that produce hands to its sink into a temporary file
// beside path, flushes it to the disk and renames it over path. An existing
// file keeps its permission bits (and its owner, where the system lets us);
// a symbolic link stays a link and the file it names is replaced (or
// created, for a link whose file does not exist yet).
//
// Refused as write failures: a target that is no regular file, and a target
// whose permission bits make it read-only for the caller (for root: no write
// bit at all), although the rename could replace it. On every failure path
// is as it was and the temporary file is gone.
void WriteFileAtomically(
    const std::string& path,
    const std::function<void(const std::function<void(std::string_view)>&)>& produce,
    const AtomicWriteOptions& options = {});

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOptions& options = {});

}  // namespace morvik

#endif  // MORVIK_DATA_FILE_IO_H_

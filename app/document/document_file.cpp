// File reading and crash-safe writing with POSIX calls, so that every
// failure carries the system's own reason.
#include "app/document/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/sv_script.h"

namespace morvik {
namespace {

[[noreturn]] void ThrowReadError(const std::string& path, int error) {
  throw ESavraError("ファイル「" + path + "」を読み込めません: " + std::strerror(error));
}

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
  throw ESavraError("ファイル「" + path + "」に書き込めません: " + std::strerror(error));
}

[[noreturn]] void ThrowTooLarge(const std::string& path, std::size_t max_size) {
  throw ESavraError("ファイル「" + path + "」は大きすぎて開けません（上限 " +
                    std::to_string(max_size) + " バイト）");
}

// Closes a descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports close's own error (a delayed write failure).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// The file a save replaces: the target of a symbolic link, else path itself.
std::string ResolveTarget(const std::string& path) {
  struct stat link_status {};
  if (::lstat(path.c_str(), &link_status) != 0 || !S_ISLNK(link_status.st_mode)) return path;
  std::vector<char> resolved(PATH_MAX + 1);
  if (::realpath(path.c_str(), resolved.data()) == nullptr) return path;
  return resolved.data();
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string ReadFileBytes(const std::string& path, std::size_t max_size) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) ThrowReadError(path, errno);
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) ThrowReadError(path, errno);
  if (S_ISDIR(status.st_mode)) ThrowReadError(path, EISDIR);
  if (static_cast<std::size_t>(status.st_size) > max_size) ThrowTooLarge(path, max_size);

  // Read what the file says it holds, then on to the end: it may have grown
  // meanwhile, or be a pipe that tells no size.
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(status.st_size));
  std::size_t filled = 0;
  char more[65536];
  for (;;) {
    const bool into_bytes = filled < bytes.size();
    char* target = into_bytes ? bytes.data() + filled : more;
    const std::size_t room = into_bytes ? bytes.size() - filled : sizeof more;
    const ssize_t got = ::read(file.get(), target, room);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowReadError(path, errno);
    }
    if (got == 0) break;
    if (into_bytes) {
      filled += static_cast<std::size_t>(got);
    } else {
      bytes.resize(filled);
      bytes.append(more, static_cast<std::size_t>(got));
      filled = bytes.size();
      if (filled > max_size) ThrowTooLarge(path, max_size);
    }
  }
  bytes.resize(filled);
  if (bytes.size() > max_size) ThrowTooLarge(path, max_size);
  return bytes;
}

void WriteFileAtomically(
    const std::string& path,
    const std::function<void(const std::function<void(std::string_view)>&)>& produce) {
  const std::string target = ResolveTarget(path);
  struct stat target_status {};
  const bool target_exists = ::stat(target.c_str(), &target_status) == 0;
  if (target_exists && S_ISDIR(target_status.st_mode)) ThrowWriteError(path, EISDIR);

  std::string temp_path = DirectoryOf(target) + "/.morvik-save-XXXXXX";
  FileDescriptor temp(::mkstemp(temp_path.data()));
  if (temp.get() < 0) ThrowWriteError(path, errno);

  // From here on every failure removes the temporary file.
  const auto fail = [&](int error) {
    ::unlink(temp_path.c_str());
    ThrowWriteError(path, error);
  };
  if (target_exists) {
    // Only root may give a file away; for others the owner is already right.
    if (::fchown(temp.get(), target_status.st_uid, target_status.st_gid) != 0) {
      // Keeping the group may still work for a member of it.
      [[maybe_unused]] const int ignored =
          ::fchown(temp.get(), static_cast<uid_t>(-1), target_status.st_gid);
    }
  }
  // The mode after the owner: giving a file away clears its set-id bits.
  const mode_t mode = target_exists ? (target_status.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (::fchmod(temp.get(), mode) != 0) fail(errno);
  // Gather the pieces into large writes: a document comes in many small ones.
  int write_error = 0;
  std::string buffer;
  constexpr std::size_t kWriteBlock = 1 << 20;
  buffer.reserve(kWriteBlock);
  const auto flush = [&] {
    if (write_error == 0 && !WriteAll(temp.get(), buffer)) write_error = errno;
    buffer.clear();
  };
  produce([&](std::string_view piece) {
    if (buffer.size() + piece.size() > kWriteBlock) flush();
    if (piece.size() >= kWriteBlock) {
      if (write_error == 0 && !WriteAll(temp.get(), piece)) write_error = errno;
    } else {
      buffer.append(piece);
    }
  });
  flush();
  if (write_error != 0) fail(write_error);
  if (::fsync(temp.get()) != 0) fail(errno);
  if (temp.Close() != 0) fail(errno);
  if (::rename(temp_path.c_str(), target.c_str()) != 0) fail(errno);

  // Make the rename itself durable; the new file is complete either way.
  FileDescriptor directory(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
}

}  // namespace morvik

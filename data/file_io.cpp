// File reading and crash-safe writing with POSIX calls, so that every
// failure carries the system's own reason.
#include "data/file_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace morvik {
namespace {

[[noreturn]] void ThrowOpenError(const std::string& path, const std::string& reason) {
  throw EFileError("ファイル「" + path + "」を読み込めません: " + reason,
                   "cannot open " + path + ": " + reason);
}

[[noreturn]] void ThrowReadError(const std::string& path, const std::string& japanese_reason,
                                 const std::string& english_reason) {
  throw EFileError("ファイル「" + path + "」を読み込めません: " + japanese_reason,
                   "cannot read " + path + ": " + english_reason);
}

[[noreturn]] void ThrowReadError(const std::string& path, int error) {
  ThrowReadError(path, std::strerror(error), std::strerror(error));
}

[[noreturn]] void ThrowWriteError(const std::string& path, const std::string& japanese_reason,
                                  const std::string& english_reason) {
  throw EFileError("ファイル「" + path + "」に書き込めません: " + japanese_reason,
                   "cannot write " + path + ": " + english_reason);
}

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
  ThrowWriteError(path, std::strerror(error), std::strerror(error));
}

[[noreturn]] void ThrowTooLarge(const std::string& path, std::size_t max_size) {
  throw EFileError(
      "ファイル「" + path + "」は大きすぎて開けません（上限 " + std::to_string(max_size) +
          " バイト）",
      "cannot read " + path + ": larger than the limit of " + std::to_string(max_size) + " bytes");
}

// A reason in the system's words (as strerror gives them) and, for the
// window, in Japanese with those words beside it.
struct Reason {
  std::string japanese;
  std::string english;
};

Reason SystemReason(const char* japanese, const char* english) {
  return {std::string(japanese) + " (" + english + ")", english};
}

// What a file that is no regular file is.
Reason KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return SystemReason("ディレクトリです", "Is a directory");
  if (S_ISFIFO(mode)) return SystemReason("名前付きパイプです", "Is a named pipe");
  if (S_ISSOCK(mode)) return SystemReason("ソケットです", "Is a socket");
  if (S_ISCHR(mode)) return SystemReason("キャラクタデバイスです", "Is a character device");
  if (S_ISBLK(mode)) return SystemReason("ブロックデバイスです", "Is a block device");
  return SystemReason("通常のファイルではありません", "Is not a regular file");
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

// Reads to the end: first into a string of the size the file claims, then,
// if more comes, into blocks that are counted against the cap before they
// are kept, so an endless stream is refused holding at most the cap and one
// block.
std::string ReadToEnd(int fd, std::size_t size_hint, const std::string& name,
                      std::size_t max_size) {
  std::string bytes(std::min(size_hint, max_size), '\0');
  std::size_t filled = 0;
  std::vector<std::string> more;  // blocks of kBlock bytes, the last one filling
  std::size_t total = 0;
  constexpr std::size_t kBlock = 1 << 20;
  char buffer[1 << 16];
  for (;;) {
    const bool into_bytes = filled < bytes.size();
    char* target = into_bytes ? bytes.data() + filled : buffer;
    const std::size_t room = into_bytes ? bytes.size() - filled : sizeof buffer;
    const ssize_t got = ::read(fd, target, room);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowReadError(name, errno);
    }
    if (got == 0) break;
    const auto count = static_cast<std::size_t>(got);
    total += count;
    if (total > max_size) ThrowTooLarge(name, max_size);
    if (into_bytes) {
      filled += count;
      continue;
    }
    if (more.empty() || more.back().size() + count > kBlock) {
      more.emplace_back();
      more.back().reserve(kBlock);
    }
    more.back().append(buffer, count);
  }
  bytes.resize(filled);
  if (!more.empty()) {
    bytes.reserve(total);
    for (std::string& block : more) {
      bytes += block;
      std::string().swap(block);
    }
  }
  return bytes;
}

std::string DirectoryOf(const std::string& path);

// The file a save replaces: path itself, or for a symbolic link the file it
// names (followed through further links), even when that file does not
// exist yet, so the link always stays a link.
std::string ResolveTarget(const std::string& path) {
  std::string target = path;
  for (int depth = 0; depth < 40; ++depth) {  // the system's own limit on link chains
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return target;
    std::vector<char> link(static_cast<std::size_t>(status.st_size) + PATH_MAX + 1);
    const ssize_t length = ::readlink(target.c_str(), link.data(), link.size() - 1);
    if (length < 0) return target;
    const std::string next(link.data(), static_cast<std::size_t>(length));
    if (next.starts_with('/')) {
      target = next;
    } else {
      target = DirectoryOf(target);
      target += '/';
      target += next;
    }
  }
  return target;  // a loop: the rename fails with the system's reason
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

bool InGroup(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.end();
}

// Whether the permission bits let the caller write the file. The rename
// would replace it anyway; the bits say what its owner wants. Root, whom the
// bits do not bind, respects them when no write bit is set at all.
bool PermissionBitsAllowWriting(const struct stat& status) {
  const uid_t user = ::geteuid();
  if (user == 0) return (status.st_mode & 0222) != 0;
  if (user == status.st_uid) return (status.st_mode & S_IWUSR) != 0;
  if (InGroup(status.st_gid)) return (status.st_mode & S_IWGRP) != 0;
  return (status.st_mode & S_IWOTH) != 0;
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
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) {
    const int error = errno;
    // A socket cannot be opened at all (ENXIO): say what it is.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
      const Reason kind = KindOf(status.st_mode);
      ThrowReadError(path, kind.japanese, kind.english);
    }
    ThrowOpenError(path, std::strerror(error));
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) ThrowReadError(path, errno);
  if (!S_ISREG(status.st_mode)) {
    const Reason kind = KindOf(status.st_mode);
    ThrowReadError(path, kind.japanese, kind.english);
  }
  if (static_cast<std::size_t>(status.st_size) > max_size) ThrowTooLarge(path, max_size);
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags >= 0) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
  return ReadToEnd(file.get(), static_cast<std::size_t>(status.st_size), path, max_size);
}

std::string ReadDescriptorBytes(int fd, const std::string& name, std::size_t max_size) {
  struct stat status {};
  std::size_t size_hint = 0;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    if (static_cast<std::size_t>(status.st_size) > max_size) ThrowTooLarge(name, max_size);
    // A redirected file may be read from the middle on.
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at <= status.st_size) size_hint = static_cast<std::size_t>(status.st_size - at);
  }
  return ReadToEnd(fd, size_hint, name, max_size);
}

MappedFile::MappedFile(const std::string& path) {
  {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 && errno != ENXIO) ThrowOpenError(path, std::strerror(errno));
    struct stat status {};
    if (file.get() >= 0 && ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_size > 0) {
      const auto size = static_cast<std::size_t>(status.st_size);
      void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.get(), 0);
      if (mapped != MAP_FAILED) {
        mapped_ = mapped;
        size_ = size;
        return;
      }
    }
  }
  owned_ = ReadFileBytes(path);
}

MappedFile::~MappedFile() {
  if (mapped_ != nullptr) ::munmap(mapped_, size_);
}

void WriteFileAtomically(
    const std::string& path,
    const std::function<void(const std::function<void(std::string_view)>&)>& produce,
    const AtomicWriteOptions& options) {
  const std::string target = ResolveTarget(path);
  struct stat target_status {};
  const bool target_exists = ::stat(target.c_str(), &target_status) == 0;
  if (target_exists && !S_ISREG(target_status.st_mode)) {
    const Reason kind = KindOf(target_status.st_mode);
    ThrowWriteError(path, kind.japanese, kind.english);
  }
  if (target_exists && !PermissionBitsAllowWriting(target_status)) {
    const Reason read_only = SystemReason("読み取り専用のファイルです", "Read-only file");
    ThrowWriteError(path, read_only.japanese, read_only.english);
  }

  std::string temp_path = options.temporary_named_after_target
                              ? target + ".XXXXXX"
                              : DirectoryOf(target) + "/.morvik-save-XXXXXX";
  FileDescriptor temp(::mkstemp(temp_path.data()));
  if (temp.get() < 0) ThrowWriteError(path, errno);
  ::fcntl(temp.get(), F_SETFD, FD_CLOEXEC);

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
  const mode_t mode = target_exists
                          ? (target_status.st_mode & 07777)
                          : (static_cast<mode_t>(options.new_file_mode) & ~CurrentUmask());
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
  try {
    produce([&](std::string_view piece) {
      if (buffer.size() + piece.size() > kWriteBlock) flush();
      if (piece.size() >= kWriteBlock) {
        if (write_error == 0 && !WriteAll(temp.get(), piece)) write_error = errno;
      } else {
        buffer.append(piece);
      }
    });
  } catch (...) {
    ::unlink(temp_path.c_str());
    throw;
  }
  flush();
  if (write_error != 0) fail(write_error);
  if (::fsync(temp.get()) != 0) fail(errno);
  if (temp.Close() != 0) fail(errno);
  if (::rename(temp_path.c_str(), target.c_str()) != 0) fail(errno);

  // Make the rename itself durable; the new file is complete either way.
  FileDescriptor directory(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOptions& options) {
  WriteFileAtomically(
      path, [bytes](const std::function<void(std::string_view)>& sink) { sink(bytes); }, options);
}

}  // namespace morvik

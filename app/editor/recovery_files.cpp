#include "app/editor/recovery_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "data/sv_script.h"

namespace morvik {
namespace {

constexpr char kHeader[] = "MORVIK-RECOVERY 1\n";
constexpr char kLockSuffix[] = ".lock";
constexpr char kRecoverySuffix[] = ".recovery";

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Reads "<key> <number>\n" at the front of bytes.
std::optional<std::size_t> TakeField(std::string_view& bytes, std::string_view key) {
  if (bytes.substr(0, key.size()) != key || bytes.substr(key.size(), 1) != " ") return {};
  bytes.remove_prefix(key.size() + 1);
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
  if (error != std::errc() || end == bytes.data() + bytes.size() || *end != '\n') return {};
  bytes.remove_prefix(static_cast<std::size_t>(end - bytes.data()) + 1);
  return value;
}

// Reads "<key> <length>\n<bytes>\n".
std::optional<std::string> TakeBytes(std::string_view& bytes, std::string_view key) {
  const std::optional<std::size_t> length = TakeField(bytes, key);
  if (!length || bytes.size() < *length + 1 || bytes[*length] != '\n') return {};
  std::string value(bytes.substr(0, *length));
  bytes.remove_prefix(*length + 1);
  return value;
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

std::optional<std::string> ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return {};
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ::close(fd);
      if (got < 0) return {};
      return bytes;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// Writes pieces to path through a temporary file renamed over it, so that
// path holds either the old or the new record, never a part.
bool WriteAtomically(const std::string& path, std::initializer_list<std::string_view> pieces) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // mode 0600
  if (fd < 0) return false;
  bool written = true;
  for (std::string_view piece : pieces) written = written && WriteAll(fd, piece);
  written = written && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::vector<std::string> DirectoryEntries(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

void MakeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      throw ESavraError("復元用フォルダ「" + part + "」を作れません: " + std::strerror(errno));
    }
    if (slash == std::string::npos) return;
  }
}

}  // namespace

namespace {

// The fields before the text; the text and kTrailer follow.
std::string RecoveryHead(const RecoveryRecord& record) {
  std::string bytes = kHeader;
  bytes += "type " + std::to_string(static_cast<int>(record.Type)) + "\n";
  bytes += std::string("file ") + (record.HasFile ? "1" : "0") + "\n";
  bytes += "name " + std::to_string(record.FileName.size()) + "\n" + record.FileName + "\n";
  bytes += "text " + std::to_string(record.Text.size()) + "\n";
  return bytes;
}

constexpr char kTrailer[] = "\nend\n";

}  // namespace

std::string EncodeRecovery(const RecoveryRecord& record) {
  return RecoveryHead(record) + record.Text + kTrailer;
}

std::optional<RecoveryRecord> DecodeRecovery(std::string_view bytes) {
  if (bytes.substr(0, sizeof kHeader - 1) != kHeader) return {};
  bytes.remove_prefix(sizeof kHeader - 1);
  RecoveryRecord record;
  const std::optional<std::size_t> type = TakeField(bytes, "type");
  const std::optional<std::size_t> has_file = TakeField(bytes, "file");
  if (!type || *type >= kDataTypeCount || !has_file || *has_file > 1) return {};
  record.Type = static_cast<DataType>(*type);
  record.HasFile = *has_file == 1;
  std::optional<std::string> name = TakeBytes(bytes, "name");
  if (!name) return {};
  record.FileName = std::move(*name);
  std::optional<std::string> text = TakeBytes(bytes, "text");
  if (!text || bytes != "end\n") return {};
  record.Text = std::move(*text);
  return record;
}

std::string DefaultRecoveryDirectory() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/morvik";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/state/morvik";
}

RecoveryFiles::RecoveryFiles(std::string directory) : directory_(std::move(directory)) {
  MakeDirectories(directory_);
  const auto start = std::chrono::system_clock::now().time_since_epoch();
  session_ = std::to_string(::getpid()) + "-" +
             std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(start).count());
  const std::string lock = directory_ + "/" + session_ + kLockSuffix;
  lock_fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (lock_fd_ >= 0) ::close(lock_fd_);
    throw ESavraError("復元用ファイル「" + lock + "」を作れません: " + std::strerror(error));
  }
  worker_ = std::thread([this] { Run(); });
}

RecoveryFiles::~RecoveryFiles() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
  for (const std::string& name : DirectoryEntries(directory_)) {
    if (name.rfind(session_ + "-", 0) == 0) ::unlink((directory_ + "/" + name).c_str());
  }
  ::unlink((directory_ + "/" + session_ + kLockSuffix).c_str());
  ::close(lock_fd_);
  for (const auto& claimed : claimed_) ::close(claimed.second);
}

std::string RecoveryFiles::PathOf(int number) const {
  return directory_ + "/" + session_ + "-" + std::to_string(number) + kRecoverySuffix;
}

void RecoveryFiles::Keep(int number, RecoveryRecord record) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // Only the newest snapshot of a document is worth writing.
    std::erase_if(jobs_, [number](const Job& job) { return job.number == number; });
    jobs_.push_back({number, std::move(record)});
  }
  wake_.notify_one();
}

void RecoveryFiles::Forget(int number) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(jobs_, [number](const Job& job) { return job.number == number; });
    jobs_.push_back({number, std::nullopt});
  }
  wake_.notify_one();
}

void RecoveryFiles::Flush() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void RecoveryFiles::Run() {
  // Below the typing thread: on a busy machine the keystrokes come first.
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and everything written
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    Perform(job);
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

void RecoveryFiles::Perform(const Job& job) {
  const std::string path = PathOf(job.number);
  if (job.record) {
    // A failed write leaves the previous recovery file; the next snapshot
    // tries again. There is no one to tell from this thread.
    // In pieces: a large text is not copied once more to encode it.
    WriteAtomically(path, {RecoveryHead(*job.record), job.record->Text, kTrailer});
  } else {
    ::unlink(path.c_str());
  }
}

std::vector<RecoveryFiles::Orphan> RecoveryFiles::FindOrphans() {
  std::vector<Orphan> orphans;
  const std::vector<std::string> names = DirectoryEntries(directory_);
  for (const std::string& name : names) {
    if (!EndsWith(name, kLockSuffix)) continue;
    const std::string session = name.substr(0, name.size() - (sizeof kLockSuffix - 1));
    if (session == session_) continue;
    const int fd = ::open((directory_ + "/" + name).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {  // that Morvik is running
      ::close(fd);
      continue;
    }
    claimed_.emplace_back(session, fd);
    for (const std::string& file : names) {
      if (file.rfind(session + "-", 0) != 0 || !EndsWith(file, kRecoverySuffix)) continue;
      const std::string path = directory_ + "/" + file;
      const std::optional<std::string> bytes = ReadWhole(path);
      if (!bytes) continue;
      if (std::optional<RecoveryRecord> record = DecodeRecovery(*bytes)) {
        orphans.push_back({path, std::move(*record)});
      }
    }
  }
  return orphans;
}

void RecoveryFiles::Discard(const std::vector<Orphan>& orphans) {
  for (const Orphan& orphan : orphans) ::unlink(orphan.Path.c_str());
  // Every file of a claimed session goes, half-written temporaries too.
  const std::vector<std::string> names = DirectoryEntries(directory_);
  for (const auto& [session, fd] : claimed_) {
    for (const std::string& name : names) {
      if (name.rfind(session + "-", 0) == 0) ::unlink((directory_ + "/" + name).c_str());
    }
    ::unlink((directory_ + "/" + session + kLockSuffix).c_str());
    ::close(fd);
  }
  claimed_.clear();
}

}  // namespace morvik

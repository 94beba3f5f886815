#include "app/editor/recovery_files.h"

#include <sys/resource.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "data/file_io.h"
#include "data/file_system.h"

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

// Reads a recovery file whole; none when it cannot be read. A recovery
// file is as large as its document, so it is not held to a document's cap.
std::optional<std::string> ReadRecoveryFile(const std::string& path) {
  try {
    return ReadFileBytes(path, std::numeric_limits<std::size_t>::max());
  } catch (const EFileError&) {
    return {};
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
  try {
    MakeDirectories(directory_, 0700);
  } catch (const EFileError& error) {
    throw ESavraError(std::string("復元用") + error.what());
  }
  const auto start = std::chrono::system_clock::now().time_since_epoch();
  session_ = std::to_string(::getpid()) + "-" +
             std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(start).count());
  const std::string lock = directory_ + "/" + session_ + kLockSuffix;
  lock_ = FileLock(lock, /*create=*/true);
  if (!lock_.Held()) {
    throw ESavraError("復元用ファイル「" + lock +
                      "」を作れません: " + std::strerror(lock_.Error()));
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
    if (name.rfind(session_ + "-", 0) == 0) RemoveFile(directory_ + "/" + name);
  }
  RemoveFile(directory_ + "/" + session_ + kLockSuffix);
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
    // In pieces: a large text is not copied once more to encode it. The
    // temporary file carries the session's name, so that Discard removes
    // what a crash left of it.
    const RecoveryRecord& record = *job.record;
    try {
      WriteFileAtomically(path,
                          [&record](const std::function<void(std::string_view)>& sink) {
                            sink(RecoveryHead(record));
                            sink(record.Text);
                            sink(kTrailer);
                          },
                          {.new_file_mode = 0600, .temporary_named_after_target = true});
    } catch (const EFileError&) {
    }
  } else {
    RemoveFile(path);
  }
}

std::vector<RecoveryFiles::Orphan> RecoveryFiles::FindOrphans() {
  std::vector<Orphan> orphans;
  const std::vector<std::string> names = DirectoryEntries(directory_);
  for (const std::string& name : names) {
    if (!EndsWith(name, kLockSuffix)) continue;
    const std::string session = name.substr(0, name.size() - (sizeof kLockSuffix - 1));
    if (session == session_) continue;
    FileLock lock(directory_ + "/" + name, /*create=*/false);
    if (!lock.Held()) continue;  // that Morvik is running
    claimed_.emplace_back(session, std::move(lock));
    for (const std::string& file : names) {
      if (file.rfind(session + "-", 0) != 0 || !EndsWith(file, kRecoverySuffix)) continue;
      const std::string path = directory_ + "/" + file;
      const std::optional<std::string> bytes = ReadRecoveryFile(path);
      if (!bytes) continue;
      if (std::optional<RecoveryRecord> record = DecodeRecovery(*bytes)) {
        orphans.push_back({path, std::move(*record)});
      }
    }
  }
  return orphans;
}

void RecoveryFiles::Discard(const std::vector<Orphan>& orphans) {
  for (const Orphan& orphan : orphans) RemoveFile(orphan.Path);
  // Every file of a claimed session goes, half-written temporaries too.
  const std::vector<std::string> names = DirectoryEntries(directory_);
  for (const auto& [session, lock] : claimed_) {
    for (const std::string& name : names) {
      if (name.rfind(session + "-", 0) == 0) RemoveFile(directory_ + "/" + name);
    }
    RemoveFile(directory_ + "/" + session + kLockSuffix);
  }
  claimed_.clear();  // releases the locks
}

}  // namespace morvik

// Recovery files: the unsaved work of a running Morvik, kept on disk so that
// a crash, a logout or SIGKILL loses at most the last two seconds of it.
//
// Each running Morvik is a session with a lock file it holds locked
// (flock) for its whole life, "<session>.lock" in the recovery directory,
// and one recovery file per modified document, "<session>-<n>.recovery".
// A session whose lock can be taken has ended; if its recovery files are
// still there it did not end cleanly, and the next start offers them. Two
// Morviks running at once never take each other's files: each holds its
// own lock.
//
// RecoveryFiles writes on a worker thread of its own, so the typing thread
// only hands over a snapshot and never waits for the disk. Every write is
// atomic (a temporary file renamed into place), so a crash while writing
// leaves the previous recovery file whole.
#ifndef MORVIK_APP_EDITOR_RECOVERY_FILES_H_
#define MORVIK_APP_EDITOR_RECOVERY_FILES_H_

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "data/file_system.h"
#include "data/sv_data.h"

namespace morvik {

// What a recovery file holds: enough to give the document back as it was.
struct RecoveryRecord {
  DataType Type = Data01;
  bool HasFile = false;  // FileName is a path; else an untitled name
  std::string FileName;
  std::string Text;  // the document's bytes

  bool operator==(const RecoveryRecord&) const = default;
};

// The file format: a header line, then the fields with their byte counts,
// so that any bytes survive. Decoding refuses anything damaged or cut short.
std::string EncodeRecovery(const RecoveryRecord& record);
std::optional<RecoveryRecord> DecodeRecovery(std::string_view bytes);

// $XDG_STATE_HOME/morvik, or ~/.local/state/morvik when that is not set.
std::string DefaultRecoveryDirectory();

class RecoveryFiles {
 public:
  // The recovery files a session left behind when it did not end cleanly.
  struct Orphan {
    std::string Path;
    RecoveryRecord Record;
  };

  // Starts a session in directory (created, private to the user, when
  // missing). Throws ESavraError when the directory cannot be used.
  explicit RecoveryFiles(std::string directory);
  // A clean end: waits for the writes queued, then removes this session's
  // recovery files and lock.
  ~RecoveryFiles();
  RecoveryFiles(const RecoveryFiles&) = delete;
  RecoveryFiles& operator=(const RecoveryFiles&) = delete;

  // Queues record as the recovery file of document number; a newer record
  // for the same document replaces one not yet written. Never waits for the
  // disk.
  void Keep(int number, RecoveryRecord record);
  // Queues the removal of document number's recovery file (it was saved).
  void Forget(int number);
  // Waits until every queued write and removal is done.
  void Flush();

  // The recovery files of ended sessions, oldest session first; files that
  // cannot be read or decoded are skipped. Their sessions stay claimed by
  // this one until Discard.
  std::vector<Orphan> FindOrphans();
  // Deletes orphans' files and the locks of their sessions.
  void Discard(const std::vector<Orphan>& orphans);

  const std::string& Directory() const { return directory_; }

 private:
  struct Job {
    int number;
    std::optional<RecoveryRecord> record;  // none: remove
  };
  std::string PathOf(int number) const;
  void Run();
  void Perform(const Job& job);

  std::string directory_;
  std::string session_;  // "<pid>-<start time>"
  FileLock lock_;
  // Ended sessions found by FindOrphans, with their locks held until
  // Discard, so that a second Morvik starting now does not offer them too.
  std::vector<std::pair<std::string, FileLock>> claimed_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_RECOVERY_FILES_H_

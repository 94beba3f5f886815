#include "data/file_io.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "data/file_system.h"
#include "tests/common/file_bytes.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::ScratchDir;

// Binds a socket file at path; the descriptor is closed with the object.
struct SocketFile {
  explicit SocketFile(const std::string& path) : fd(socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~SocketFile() { close(fd); }
  int fd;
  bool bound;
};

// Each case refuses at once (a FIFO with no writer would block a plain open)
// with both messages naming the file and the reason.
TEST(FileIo, ReaderTakesOnlyRegularFilesUnderTheCap) {
  ScratchDir dir;
  const std::string regular = dir.Write("regular.txt", std::string("a\0\x82\xA0\r\n", 6));
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const SocketFile socket_file(dir.File("socket"));
  ASSERT_TRUE(socket_file.bound);
  const std::string sparse = dir.File("sparse");
  fs::resize_file(dir.Write("sparse", ""), kMaxFileBytes + 1);  // costs no disk space

  EXPECT_EQ(ReadFileBytes(regular), std::string("a\0\x82\xA0\r\n", 6));
  EXPECT_EQ(ReadFileBytes(regular, 6).size(), 6u);
  // /proc files claim size 0; a read past the claim still ends in the cap.
  EXPECT_NE(ReadFileBytes("/proc/self/status").find("Name:"), std::string::npos);
  // The mapping reader gives the same bytes, and what it cannot map it reads.
  EXPECT_EQ(MappedFile(regular).Bytes(), ReadFileBytes(regular));
  EXPECT_NE(MappedFile("/proc/self/status").Bytes().find("Name:"), std::string::npos);

  const struct {
    std::string path;
    std::size_t cap;
    const char* japanese;
    const char* english;
  } refusals[] = {
      {dir.File("missing"), kMaxFileBytes, "No such file", "cannot open"},
      {dir.path().string(), kMaxFileBytes, "ディレクトリです", "cannot read"},
      {fifo, kMaxFileBytes, "名前付きパイプです", "Is a named pipe"},
      {dir.File("socket"), kMaxFileBytes, "ソケットです", "Is a socket"},
      {"/dev/null", kMaxFileBytes, "キャラクタデバイスです", "Is a character device"},
      {"/dev/zero", kMaxFileBytes, "キャラクタデバイスです", "Is a character device"},
      {sparse, kMaxFileBytes, "大きすぎて開けません（上限 1073741824 バイト）", "limit of"},
      {regular, 5, "大きすぎ", "larger than the limit of 5 bytes"},
      {"/proc/self/status", 16, "大きすぎ", "limit of 16"},  // its size lies
  };
  for (const auto& r : refusals) {
    try {
      ReadFileBytes(r.path, r.cap);
      ADD_FAILURE() << r.path;
    } catch (const EFileError& error) {
      if (r.cap == kMaxFileBytes && r.path != sparse) {  // it maps files of any size
        try {
          const MappedFile mapped(r.path);
          ADD_FAILURE() << "mapped " << r.path;
        } catch (const EFileError& mapped_error) {
          EXPECT_EQ(mapped_error.English(), error.English());
        }
      }
      EXPECT_NE(std::string(error.what()).find("「" + r.path + "」"), std::string::npos);
      EXPECT_NE(std::string(error.what()).find(r.japanese), std::string::npos) << error.what();
      EXPECT_NE(error.English().find(r.path), std::string::npos) << error.English();
      EXPECT_NE(error.English().find(r.english), std::string::npos) << error.English();
    }
  }
}

TEST(FileIo, WriterReplacesAtomicallyOrLeavesEverythingAsItWas) {
  ScratchDir dir;
  const std::string plain = dir.Write("plain.txt", "old");
  ASSERT_EQ(chmod(plain.c_str(), 0640), 0);
  const std::string target = dir.Write("target.txt", "old");
  const std::string link = dir.File("link.txt");
  fs::create_symlink(target, link);

  WriteFileAtomically(plain, "new");
  EXPECT_EQ(ReadFile(plain), "new");
  EXPECT_EQ(fs::status(plain).permissions(), static_cast<fs::perms>(0640));
  WriteFileAtomically(link, "through the link");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "through the link");
  WriteFileAtomically(dir.File("fresh.txt"), "");
  EXPECT_EQ(ReadFile(dir.File("fresh.txt")), "");
  // A dangling relative link, through a second link: both stay links.
  fs::create_directory(dir.File("sub"));
  fs::create_symlink("sub/later.txt", dir.File("dangling"));
  fs::create_symlink("dangling", dir.File("chain"));
  WriteFileAtomically(dir.File("chain"), "created");
  EXPECT_TRUE(fs::is_symlink(dir.File("chain")) && fs::is_symlink(dir.File("dangling")));
  EXPECT_EQ(ReadFile(dir.File("sub/later.txt")), "created");

  // Failures. Root is refused a read-only file too: the rename would
  // replace it, but its bits say it must not change.
  const std::string read_only = dir.Write("read-only.txt", "kept");
  ASSERT_EQ(chmod(read_only.c_str(), 0444), 0);
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir.File("folder"));
  const testing::SmallTmpfs full(64 * 1024);
  const std::string on_full = full.Path().empty() ? "" : full.Path() + "/on-full.txt";
  if (!on_full.empty()) testing::WriteFile(on_full, "kept");

  const struct {
    std::string path;
    const char* reason;
  } failures[] = {
      {read_only, "Read-only file"},
      {dir.File("missing/file.txt"), "No such file or directory"},
      {dir.File("folder"), "Is a directory"},
      {fifo, "Is a named pipe"},
      {on_full, "No space left on device"},
  };
  for (const auto& f : failures) {
    if (f.path.empty()) {
      std::cout << "[  SKIPPED ] disk full: mounting a small tmpfs needs root\n";
      continue;
    }
    const auto before = fs::symlink_status(f.path);
    // (A FIFO is not read: that would wait for a writer.)
    const std::string bytes_before =
        before.type() == fs::file_type::regular ? ReadFile(f.path) : "";
    try {
      WriteFileAtomically(f.path, std::string(1 << 20, 'x'));
      ADD_FAILURE() << f.path;
    } catch (const EFileError& error) {
      EXPECT_NE(std::string(error.what()).find("書き込めません"), std::string::npos);
      EXPECT_NE(std::string(error.what()).find(f.reason), std::string::npos) << error.what();
      EXPECT_EQ(error.English(), "cannot write " + f.path + ": " + f.reason);
    }
    EXPECT_EQ(fs::symlink_status(f.path).type(), before.type()) << f.path;
    if (before.type() == fs::file_type::regular) {
      EXPECT_EQ(ReadFile(f.path), bytes_before);
    }
    const fs::path folder = fs::path(f.path).parent_path();
    if (fs::exists(folder)) {
      for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename().string().rfind(".morvik-save", 0), std::string::npos)
            << "temporary file left: " << entry.path();
      }
    }
  }
}

// What recovery files rely on: a new file private to the user with no
// temporary left beside it, and a lock no second holder takes until the
// first lets go (moving the lock keeps it held).
TEST(FileIo, PrivateFilesAndExclusiveLocks) {
  ScratchDir dir;
  const std::string path = dir.File("private");
  WriteFileAtomically(path, "x", {.new_file_mode = 0600, .temporary_named_after_target = true});
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0600));
  EXPECT_EQ(DirectoryEntries(dir.File("")), std::vector<std::string>{"private"});

  const std::string lock_path = dir.File("lock");
  FileLock first(lock_path, /*create=*/true);
  ASSERT_TRUE(first.Held());
  const FileLock second(lock_path, /*create=*/false);
  EXPECT_FALSE(second.Held());
  EXPECT_EQ(second.Error(), EWOULDBLOCK);
  FileLock moved = std::move(first);
  EXPECT_FALSE(FileLock(lock_path, false).Held());
  moved = FileLock();
  EXPECT_TRUE(FileLock(lock_path, false).Held());
}

}  // namespace
}  // namespace morvik

#include "data/file_identity.h"

#include <sys/stat.h>

namespace morvik {

FileIdentity StatFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  FileIdentity identity;
  identity.Exists = true;
  identity.Regular = S_ISREG(info.st_mode);
  identity.Device = static_cast<std::uint64_t>(info.st_dev);
  identity.Inode = static_cast<std::uint64_t>(info.st_ino);
  identity.Size = static_cast<std::uint64_t>(info.st_size);
  identity.ModifiedSeconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
  identity.ModifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
  return identity;
}

}  // namespace morvik

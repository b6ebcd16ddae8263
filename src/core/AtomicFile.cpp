#include "core/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/PathResolver.h"

namespace {

// Unique within the process; the process id makes it unique beside other players.
std::string TemporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".tmp" + std::to_string(static_cast<long>(::getpid())) + "_" + std::to_string(counter++);
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FsyncRetrying(int fd) {
  while (::fsync(fd) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced does not
// undo a write that already succeeded.
void SyncFolderOf(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteFileAtomic(std::string_view path, const void* data, std::size_t size) {
  if (path.empty()) return false;
  const std::string target = plat::NativePath(path);
  const std::string temporary = TemporaryNameFor(target);

  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, static_cast<const unsigned char*>(data), size);
  ok = ok && FsyncRetrying(fd);
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(target);
  return true;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

bool WriteFileAtomic(std::string_view path, const std::vector<std::uint8_t>& bytes) {
  return WriteFileAtomic(path, bytes.data(), bytes.size());
}

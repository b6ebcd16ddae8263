#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace plat {

namespace {

// Unique within the process; the process id makes it unique beside other players.
std::string TemporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".tmp" + std::to_string(static_cast<long>(::getpid())) + "_" + std::to_string(counter++);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
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

bool WriteFileAtomically(const std::string& nativePath, std::span<const std::uint8_t> bytes, std::string* error) {
  auto fail = [&](const char* what, int code) {
    if (error != nullptr) *error = std::string(what) + " " + nativePath + ": " + std::strerror(code);
    return false;
  };
  if (nativePath.empty()) return fail("no file name for", ENOENT);
  const std::string temporary = TemporaryNameFor(nativePath);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return fail("cannot create a temporary file for", errno);

  const char* failed = nullptr;
  int code = 0;
  if (!WriteAll(fd, bytes.data(), bytes.size())) failed = "cannot write";
  else if (!FsyncRetrying(fd)) failed = "cannot sync";
  if (failed != nullptr) code = errno;
  if (::close(fd) != 0 && failed == nullptr) {
    failed = "cannot close";
    code = errno;
  }
  if (failed == nullptr && std::rename(temporary.c_str(), nativePath.c_str()) != 0) {
    failed = "cannot rename the temporary file over";
    code = errno;
  }
  if (failed != nullptr) {
    ::unlink(temporary.c_str());
    return fail(failed, code);
  }
  SyncFolderOf(nativePath);
  return true;
}

}  // namespace plat

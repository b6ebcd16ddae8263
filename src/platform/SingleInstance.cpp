#include "platform/SingleInstance.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/Clock.h"

namespace plat {
namespace {

constexpr std::uint32_t kLockPollMs = 5;

// Raised by the signal handler (a lock-free atomic is safe there) and taken
// with one exchange, so a signal arriving while it is taken is never lost.
std::atomic<int> g_CloseSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> g_CloseRequests{0};

void OnCloseSignal(int) { g_CloseSignal.store(1); }

void SleepRealMs(std::uint32_t ms) {
  timespec delay{};
  delay.tv_sec = ms / 1000;
  delay.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  while (::nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool ProcessExists(int pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::string InstanceLockFileName() {
  // "ゲーム.lock" in UTF-8 (our narrow literals are CP932, so the bytes are spelt out).
  return "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0.lock";
}

cInstanceLock::cInstanceLock(std::string nativePath) : m_Path(std::move(nativePath)) {}

cInstanceLock::~cInstanceLock() { Release(); }

bool cInstanceLock::TryAcquire() {
  if (m_Fd >= 0) return true;
  m_HeldByOther = false;
  const int fd = ::open(m_Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    m_HeldByOther = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
  }
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof(digits), static_cast<int>(::getpid())).ptr;
  // The id is a hint for a second start; the lock itself is what counts, so a
  // failed write does not give the lock up.
  if (::ftruncate(fd, 0) == 0) {
    WriteAll(fd, std::string_view(digits, static_cast<std::size_t>(end - digits)));
    WriteAll(fd, "\n");
  }
  m_Fd = fd;
  return true;
}

bool cInstanceLock::WaitAcquire(std::uint32_t timeoutMs) {
  const std::uint64_t deadline = MonotonicNs() + std::uint64_t{timeoutMs} * 1000000u;
  for (;;) {
    if (TryAcquire()) return true;
    if (MonotonicNs() >= deadline) return false;
    SleepRealMs(kLockPollMs);
  }
}

void cInstanceLock::Release() {
  if (m_Fd < 0) return;
  // Our id leaves the file with us, so nobody takes it for a live holder.
  if (::ftruncate(m_Fd, 0) != 0) {
    // Nothing to do: the lock is released below either way.
  }
  ::flock(m_Fd, LOCK_UN);
  ::close(m_Fd);
  m_Fd = -1;
}

int cInstanceLock::OwnerPid() const {
  const int fd = ::open(m_Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buffer[32] = {};
  ssize_t got;
  do {
    got = ::read(fd, buffer, sizeof(buffer) - 1);
  } while (got < 0 && errno == EINTR);
  ::close(fd);
  if (got <= 0) return 0;
  int pid = 0;
  const char* end = buffer + got;
  const auto [next, error] = std::from_chars(buffer, end, pid);
  if (error != std::errc() || next == buffer) return 0;
  return pid;
}

eCloseOther CloseOtherInstance(cInstanceLock& lock, std::uint32_t closeWaitMs, std::uint32_t killWaitMs) {
  const int pid = lock.OwnerPid();
  // Never 0, -1 or below (process groups, every process) and never ourselves.
  if (pid <= 1 || pid == static_cast<int>(::getpid()) || !ProcessExists(pid)) {
    return eCloseOther::kNotRunning;
  }
  if (::kill(pid, SIGTERM) != 0) {
    return errno == ESRCH ? eCloseOther::kNotRunning : eCloseOther::kFailed;
  }
  if (lock.WaitAcquire(closeWaitMs)) return eCloseOther::kClosed;
  if (::kill(pid, SIGKILL) != 0 && errno != ESRCH) return eCloseOther::kFailed;
  return lock.WaitAcquire(killWaitMs) ? eCloseOther::kKilled : eCloseOther::kStillHeld;
}

void InstallCloseRequestHandler() {
  struct sigaction action;
  std::memset(&action, 0, sizeof(action));
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
}

bool TakeCloseRequest() {
  if (g_CloseSignal.exchange(0) != 0) g_CloseRequests.fetch_add(1);
  int pending = g_CloseRequests.load();
  while (pending > 0) {
    if (g_CloseRequests.compare_exchange_weak(pending, 0)) return true;
  }
  return false;
}

void RaiseCloseRequest() { g_CloseRequests.fetch_add(1); }

}  // namespace plat

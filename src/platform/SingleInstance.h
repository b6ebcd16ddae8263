#pragma once
// One player per working folder. The running player holds an exclusive lock on
// a lock file in the folder and keeps its process id in it. A second start
// finds the lock taken; when the user wants to restart, the first player is
// asked to close (SIGTERM, which it turns into its close message and handles
// like any other close: placement saved, threads ended in order), and only if
// it still holds the lock after the wait is it ended outright.

#include <cstdint>
#include <string>

namespace plat {

// The lock file's name in the working folder (UTF-8): the guard's name,
// "ゲーム", with ".lock".
std::string InstanceLockFileName();

class cInstanceLock {
 public:
  // `nativePath` is a Linux path; nothing is opened yet.
  explicit cInstanceLock(std::string nativePath);
  ~cInstanceLock();
  cInstanceLock(const cInstanceLock&) = delete;
  cInstanceLock& operator=(const cInstanceLock&) = delete;

  // Takes the lock without waiting and writes this process's id into the file.
  // False when another holder has it (then HeldByOther() is true) or the file
  // cannot be opened at all.
  bool TryAcquire();
  bool HeldByOther() const { return m_HeldByOther; }
  // Tries again every few milliseconds for up to `timeoutMs` (real time).
  bool WaitAcquire(std::uint32_t timeoutMs);
  bool IsHeld() const { return m_Fd >= 0; }
  void Release();

  // The process id the current holder wrote into the file; 0 when there is
  // none or it cannot be read.
  int OwnerPid() const;

  const std::string& Path() const { return m_Path; }

 private:
  std::string m_Path;
  int m_Fd = -1;
  bool m_HeldByOther = false;
};

enum class eCloseOther {
  kNotRunning,  // no live holder was named in the lock file: nothing to close
  kClosed,      // the holder closed within the wait; the lock is ours now
  kKilled,      // it did not close in time and was ended; the lock is ours
  kStillHeld,   // it was ended, yet the lock did not come free
  kFailed,      // the holder could not be signalled (not ours to end)
};

// Asks the lock's holder to close (SIGTERM) and waits up to `closeWaitMs` for
// the lock; when the holder still has it then, ends it (SIGKILL) and waits up
// to `killWaitMs` more. The close is the player's own, in order: it saves the
// window's placement (flushed to disk) and stops every thread, which on a
// busy machine or under a sanitizer takes well over the half second a killed
// process needs to go, so the close gets the longer wait. Never signals
// anything but a single named process other than this one.
eCloseOther CloseOtherInstance(cInstanceLock& lock, std::uint32_t closeWaitMs = 5000, std::uint32_t killWaitMs = 500);

// Turns SIGTERM into a close request: the handler only raises a flag, which
// the message loop takes with TakeCloseRequest and turns into the close
// message of the main window.
void InstallCloseRequestHandler();
// True once for every close request raised since the last call.
bool TakeCloseRequest();
// Raises a close request as the signal handler does (tests).
void RaiseCloseRequest();

}  // namespace plat

// The single-instance lock between two processes, and the close request a
// SIGTERM becomes.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/SingleInstance.h"

namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrova_lock_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
    m_Path = (m_Folder / plat::InstanceLockFileName()).string();
  }
  void TearDown() override {
    if (m_Child > 0) {
      ::kill(m_Child, SIGKILL);
      ::waitpid(m_Child, nullptr, 0);
    }
    std::error_code ec;
    fs::remove_all(m_Folder, ec);
  }

  std::string FileText() const {
    std::ifstream in(m_Path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void WriteFileText(const std::string& text) const { std::ofstream(m_Path, std::ios::trunc) << text; }

  // A second process takes the lock and then waits for a close request
  // (SIGTERM), on which it takes `closeMs` to close, then lets the lock go
  // and ends with 0; or, when `ignoreClose`, it ignores SIGTERM and stays
  // until it is killed.
  void StartHolder(bool ignoreClose, std::uint32_t closeMs = 0) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    m_Child = ::fork();
    ASSERT_GE(m_Child, 0);
    if (m_Child == 0) {
      ::close(ready[0]);
      plat::cInstanceLock lock(m_Path);
      if (!lock.TryAcquire()) ::_exit(2);
      if (ignoreClose) {
        ::signal(SIGTERM, SIG_IGN);
      } else {
        plat::InstallCloseRequestHandler();
      }
      if (::write(ready[1], "r", 1) != 1) ::_exit(4);
      for (int i = 0; i < 5000; ++i) {
        if (plat::TakeCloseRequest()) {
          ::usleep(closeMs * 1000);
          lock.Release();
          ::_exit(0);
        }
        ::usleep(1000);
      }
      ::_exit(3);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
  }

  int WaitChild() {
    int status = 0;
    ::waitpid(m_Child, &status, 0);
    m_Child = -1;
    return status;
  }

  fs::path m_Folder;
  std::string m_Path;
  pid_t m_Child = -1;
};

TEST_F(SingleInstanceTest, OneHolderAtATimeAndItsIdIsInTheFile) {
  plat::cInstanceLock first(m_Path);
  plat::cInstanceLock second(m_Path);
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_EQ(FileText(), std::to_string(::getpid()) + "\n");
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_TRUE(second.HeldByOther());
  EXPECT_EQ(second.OwnerPid(), ::getpid());

  first.Release();
  EXPECT_EQ(second.OwnerPid(), 0) << "a released lock names nobody";
  EXPECT_TRUE(second.TryAcquire());
}

TEST_F(SingleInstanceTest, AFolderWithoutALockFileIsNotAnotherHolder) {
  plat::cInstanceLock lock((m_Folder / "missing" / "x.lock").string());
  EXPECT_FALSE(lock.TryAcquire());
  EXPECT_FALSE(lock.HeldByOther());
}

TEST_F(SingleInstanceTest, AHolderThatHandlesTheCloseRequestGivesTheLockUp) {
  StartHolder(false);
  plat::cInstanceLock lock(m_Path);
  ASSERT_FALSE(lock.TryAcquire());
  EXPECT_EQ(lock.OwnerPid(), m_Child);

  EXPECT_EQ(plat::CloseOtherInstance(lock, 2000), plat::eCloseOther::kClosed);
  EXPECT_TRUE(lock.IsHeld());
  const int status = WaitChild();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "it closed itself, in order";
}

// A close in order that takes longer than a killed process needs to go (a
// player saving its placement and stopping its threads on a busy machine)
// is waited for, not cut short.
TEST_F(SingleInstanceTest, AHolderThatTakesItsTimeToCloseIsNotKilled) {
  StartHolder(false, 1500);
  plat::cInstanceLock lock(m_Path);
  ASSERT_FALSE(lock.TryAcquire());

  EXPECT_EQ(plat::CloseOtherInstance(lock), plat::eCloseOther::kClosed);
  const int status = WaitChild();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "closed, not killed: " << status;
}

TEST_F(SingleInstanceTest, AHolderThatDoesNotCloseInTimeIsEnded) {
  StartHolder(true);
  plat::cInstanceLock lock(m_Path);
  ASSERT_FALSE(lock.TryAcquire());

  EXPECT_EQ(plat::CloseOtherInstance(lock, 200), plat::eCloseOther::kKilled);
  EXPECT_TRUE(lock.IsHeld());
  const int status = WaitChild();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

// Whatever the file says, only one other, live process is ever signalled.
TEST_F(SingleInstanceTest, NoProcessButTheNamedHolderIsSignalled) {
  plat::cInstanceLock holder(m_Path);
  ASSERT_TRUE(holder.TryAcquire());
  plat::cInstanceLock second(m_Path);
  ASSERT_FALSE(second.TryAcquire());

  const char* const contents[] = {"", "0\n", "-1\n", "1\n", "garbage\n", "999999999\n"};
  for (const char* text : contents) {
    WriteFileText(text);
    EXPECT_EQ(plat::CloseOtherInstance(second, 10), plat::eCloseOther::kNotRunning) << text;
  }
  WriteFileText(std::to_string(::getpid()) + "\n");
  EXPECT_EQ(plat::CloseOtherInstance(second, 10), plat::eCloseOther::kNotRunning) << "never this process";
}

TEST(CloseRequestTest, ASigtermBecomesOneCloseRequest) {
  while (plat::TakeCloseRequest()) {
  }
  plat::InstallCloseRequestHandler();
  ASSERT_EQ(::raise(SIGTERM), 0);
  EXPECT_TRUE(plat::TakeCloseRequest());
  EXPECT_FALSE(plat::TakeCloseRequest());
  plat::RaiseCloseRequest();
  EXPECT_TRUE(plat::TakeCloseRequest());
  ::signal(SIGTERM, SIG_DFL);
}

}  // namespace

#pragma once
// Makes a file write fail part way, as a full disk would: while a cFileSizeLimit
// lives, no file of the process may grow beyond the given size (the signal a
// write past the limit raises is ignored, so the write just fails).

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

namespace recordtest {

class cFileSizeLimit {
 public:
  explicit cFileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &m_PreviousAction), 0);
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &m_PreviousLimit), 0);
    rlimit small = m_PreviousLimit;
    small.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  }
  ~cFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_PreviousLimit);
    ::sigaction(SIGXFSZ, &m_PreviousAction, nullptr);
  }
  cFileSizeLimit(const cFileSizeLimit&) = delete;
  cFileSizeLimit& operator=(const cFileSizeLimit&) = delete;

 private:
  struct sigaction m_PreviousAction {};
  rlimit m_PreviousLimit{};
};

}  // namespace recordtest

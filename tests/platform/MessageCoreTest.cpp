#include "platform/MessageCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <latch>
#include <thread>
#include <vector>

#include "platform/Clock.h"

namespace {

using namespace std::chrono_literals;

// "It happened" is waited for generously; "it did not happen" briefly.
constexpr auto kLong = 10s;
constexpr auto kShort = 50ms;

template <class T>
bool ReadyWithin(const std::future<T>& future, std::chrono::milliseconds bound) {
  return future.wait_for(bound) == std::future_status::ready;
}

LRESULT EchoProc(HWND, UINT, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam); }

// Records every call it gets; the window's user data points at the log.
struct cProcLog {
  std::atomic<int> calls{0};
  std::atomic<plat::ThreadId> thread{0};
  std::atomic<UINT> message{WM_NULL};
};

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* log = static_cast<cProcLog*>(plat::GetWindowUserData(window));
  log->calls.fetch_add(1);
  log->thread.store(plat::CurrentThreadId());
  log->message.store(message);
  return static_cast<LRESULT>(wParam * 2) + lParam;
}

// A thread that sends one message to `target` and reports the answer. It owns
// a probe window of its own: since the thread makes no message call other than
// its send, a probe sent to that window can only be answered from inside the
// send's wait, which proves the send is queued and waiting.
class cWaitingSender {
 public:
  cWaitingSender(HWND target, UINT message, WPARAM wParam) {
    m_Thread = std::thread([this, target, message, wParam] {
      m_Probe.set_value(plat::CreateWindowHandle(&EchoProc));
      m_Answer.set_value(plat::SendMessage(target, message, wParam, 0));
    });
  }
  ~cWaitingSender() { m_Thread.join(); }

  // Returns true once the send is known to be waiting for its answer.
  bool WaitUntilBlocked() {
    const HWND probe = m_ProbeFuture.get();
    auto probed = std::async(std::launch::async, [probe] { return plat::SendMessage(probe, WM_USER, 77, 0); });
    return ReadyWithin(probed, kLong) && probed.get() == 77;
  }

  std::future<LRESULT>& Answer() { return m_AnswerFuture; }

 private:
  std::promise<HWND> m_Probe;
  std::future<HWND> m_ProbeFuture = m_Probe.get_future();
  std::promise<LRESULT> m_Answer;
  std::future<LRESULT> m_AnswerFuture = m_Answer.get_future();
  std::thread m_Thread;
};

class MessageCoreTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageCoreForTests();
    plat::SetTimeSource(&m_Clock);
  }
  void TearDown() override {
    plat::ResetMessageCoreForTests();
    plat::SetTimeSource(nullptr);
  }

  plat::cManualClock m_Clock{1000};
};

// ---- posting and peeking --------------------------------------------------

struct PeekCase {
  const char* name;
  int filterWindow;  // 0: none, 1: window A, 2: window B
  UINT min;
  UINT max;
  UINT expected;  // WM_NULL: nothing matches
};

const PeekCase kPeekCases[] = {
    {"anything", 0, 0, 0, WM_USER + 1},
    {"window B only", 2, 0, 0, WM_USER + 2},
    {"range skips the first", 0, WM_USER + 2, WM_APP, WM_USER + 2},
    {"thread message by range", 0, WM_APP, WM_APP, WM_APP},
    {"window A outside its range", 1, WM_USER + 2, WM_APP, WM_NULL},
    {"range below every message", 0, WM_KEYDOWN, WM_CHAR, WM_NULL},
};

TEST_F(MessageCoreTest, PeekFindsTheFirstMessageMatchingTheFilter) {
  const HWND windowA = plat::CreateWindowHandle(&EchoProc);
  const HWND windowB = plat::CreateWindowHandle(&EchoProc);
  const plat::ThreadId self = plat::CurrentThreadId();
  ASSERT_TRUE(plat::PostMessage(windowA, WM_USER + 1, 1, 10));
  m_Clock.Advance(5);
  ASSERT_TRUE(plat::PostMessage(windowB, WM_USER + 2, 2, 20));
  m_Clock.Advance(5);
  ASSERT_TRUE(plat::PostThreadMessage(self, WM_APP, 3, 30));

  for (const PeekCase& c : kPeekCases) {
    SCOPED_TRACE(c.name);
    const HWND filter = c.filterWindow == 1 ? windowA : c.filterWindow == 2 ? windowB : nullptr;
    MSG msg;
    const bool found = plat::PeekMessage(&msg, filter, c.min, c.max, PM_NOREMOVE);
    EXPECT_EQ(found, c.expected != WM_NULL);
    if (found) {
      EXPECT_EQ(msg.message, c.expected);
    }
  }

  // Taking one message out of the middle keeps the others in order, each
  // with its own fields and the time it was posted at.
  MSG msg;
  ASSERT_TRUE(plat::PeekMessage(&msg, windowB, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, windowB);
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_EQ(msg.lParam, 20);
  EXPECT_EQ(msg.time, 1005u);
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1);
  EXPECT_EQ(msg.hwnd, windowA);
  EXPECT_EQ(msg.time, 1000u);
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_APP);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.lParam, 30);
  EXPECT_EQ(msg.time, 1010u);
  EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageCoreTest, PostToANullOrDeadWindowFailsAndQueuesNothing) {
  const HWND destroyed = plat::CreateWindowHandle(&EchoProc);
  plat::DestroyWindowHandle(destroyed);
  auto orphan = std::async(std::launch::async, [] { return plat::CreateWindowHandle(&EchoProc); });
  const HWND ownerGone = orphan.get();  // its thread has ended, taking the window along

  struct {
    const char* name;
    HWND window;
  } const cases[] = {{"null handle", nullptr}, {"destroyed window", destroyed}, {"owner thread ended", ownerGone}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(plat::PostMessage(c.window, WM_CLOSE, 0, 0));
  }
  MSG msg;
  EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageCoreTest, PostThreadMessageNeedsAQueue) {
  const plat::ThreadId self = plat::CurrentThreadId();
  auto left = std::async(std::launch::async, [] {
    const plat::ThreadId id = plat::CreateThreadQueue();
    plat::DestroyThreadQueue();
    return id;
  });
  std::thread ended([] { plat::CreateThreadQueue(); });
  ended.join();

  struct {
    const char* name;
    plat::ThreadId thread;
  } const cases[] = {
      {"id 0", 0},
      {"never issued", self + 1000},
      {"queue destroyed", left.get()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(plat::ThreadHasQueue(c.thread));
    EXPECT_FALSE(plat::PostThreadMessage(c.thread, WM_APP, 0, 0));
  }
  EXPECT_TRUE(plat::ThreadHasQueue(self));
  EXPECT_TRUE(plat::PostThreadMessage(self, WM_APP, 0, 0));
}

TEST_F(MessageCoreTest, ThreadThatEndsLeavesTheMessageCore) {
  plat::ThreadId id = 0;
  std::thread worker([&id] { id = plat::CreateThreadQueue(); });
  worker.join();
  ASSERT_NE(id, 0u);
  EXPECT_FALSE(plat::ThreadHasQueue(id));
  EXPECT_FALSE(plat::PostThreadMessage(id, WM_APP, 0, 0));
}

// ---- getting messages -------------------------------------------------------

TEST_F(MessageCoreTest, GetMessageLoopEndsOnQuitWithItsExitCode) {
  std::promise<plat::ThreadId> idPromise;
  auto idFuture = idPromise.get_future();
  std::vector<UINT> received;
  auto loop = std::async(std::launch::async, [&] {
    idPromise.set_value(plat::CreateThreadQueue());
    MSG msg;
    while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) received.push_back(msg.message);
    return msg;
  });
  const plat::ThreadId worker = idFuture.get();
  for (UINT i = 1; i <= 3; ++i) ASSERT_TRUE(plat::PostThreadMessage(worker, WM_USER + i, 0, 0));
  ASSERT_TRUE(plat::PostThreadMessage(worker, WM_QUIT, 7, 0));

  ASSERT_TRUE(ReadyWithin(loop, kLong));
  const MSG quit = loop.get();
  EXPECT_EQ(quit.message, WM_QUIT);
  EXPECT_EQ(quit.wParam, 7u);
  EXPECT_EQ(received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

TEST_F(MessageCoreTest, QuitPassesEveryFilter) {
  const HWND window = plat::CreateWindowHandle(&EchoProc);
  plat::PostQuitMessage(3);
  MSG msg;
  // A loop waiting for one window's messages in a narrow range must still see
  // the quit, or a thread asked to end would wait for ever.
  EXPECT_EQ(plat::GetMessage(&msg, window, WM_KEYDOWN, WM_KEYUP), 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

LRESULT LeavingProc(HWND, UINT, WPARAM, LPARAM) {
  plat::DestroyThreadQueue();
  return 5;
}

TEST_F(MessageCoreTest, GetMessageEndsWhenItsQueueIsDroppedUnderIt) {
  std::promise<HWND> started;
  auto loop = std::async(std::launch::async, [&] {
    started.set_value(plat::CreateWindowHandle(&LeavingProc));
    MSG msg;
    return plat::GetMessage(&msg, nullptr, 0, 0);
  });
  const HWND window = started.get_future().get();
  // The procedure, served inside GetMessage, makes its thread leave; nothing
  // can reach that queue any more, so waiting on would be waiting for ever.
  EXPECT_EQ(plat::SendMessage(window, WM_USER, 0, 0), 5);
  ASSERT_TRUE(ReadyWithin(loop, kLong));
  EXPECT_EQ(loop.get(), 0);
}

TEST_F(MessageCoreTest, WaitMessageReportsPostedMessagesAndServesSends) {
  const HWND window = plat::CreateWindowHandle(&EchoProc);
  EXPECT_FALSE(plat::WaitMessage(20));  // nothing arrives: times out

  ASSERT_TRUE(plat::PostMessage(window, WM_USER, 0, 0));
  EXPECT_TRUE(plat::WaitMessage(10'000));  // already there: at once
  MSG msg;
  ASSERT_TRUE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));

  auto sender = std::async(std::launch::async, [window] { return plat::SendMessage(window, WM_USER, 9, 0); });
  // Woken by the send, which it answers; no posted message is waiting. The
  // send may land before the wait starts: it must still end the wait.
  const std::uint64_t start = plat::MonotonicNs();
  EXPECT_FALSE(plat::WaitMessage(10'000));
  EXPECT_LT(plat::MonotonicNs() - start, 5'000'000'000u) << "the served send did not end the wait";
  ASSERT_TRUE(ReadyWithin(sender, kLong));
  EXPECT_EQ(sender.get(), 9);
}

// ---- sending ------------------------------------------------------------

TEST_F(MessageCoreTest, SendFromWorkerIsServedByTheOwnersMessageLoop) {
  cProcLog log;
  const HWND window = plat::CreateWindowHandle(&RecordingProc, &log);
  const plat::ThreadId owner = plat::CurrentThreadId();
  plat::ThreadId senderId = 0;
  auto sender = std::async(std::launch::async, [&] {
    senderId = plat::CurrentThreadId();
    const LRESULT answer = plat::SendMessage(window, WM_USER + 5, 20, 1);
    plat::PostThreadMessage(owner, WM_QUIT, 0, 0);
    return answer;
  });

  MSG msg;
  while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) plat::DispatchMessage(&msg);

  ASSERT_TRUE(ReadyWithin(sender, kLong));
  EXPECT_EQ(sender.get(), 41);
  EXPECT_EQ(log.calls.load(), 1);
  EXPECT_EQ(log.thread.load(), owner);  // the procedure ran on the window's thread
  EXPECT_NE(senderId, owner);
  EXPECT_EQ(log.message.load(), WM_USER + 5);
}

TEST_F(MessageCoreTest, SendOnTheOwnersThreadCallsTheProcedureDirectly) {
  cProcLog log;
  const HWND window = plat::CreateWindowHandle(&RecordingProc, &log);
  EXPECT_EQ(plat::SendMessage(window, WM_USER, 20, 1), 41);
  EXPECT_EQ(log.calls.load(), 1);
  EXPECT_EQ(log.thread.load(), plat::CurrentThreadId());
  MSG msg;
  EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));  // nothing went through the queue

  EXPECT_EQ(plat::SendMessage(nullptr, WM_USER, 20, 1), 0);
  EXPECT_EQ(log.calls.load(), 1);
}

TEST_F(MessageCoreTest, SendToADestroyedWindowAnswersZero) {
  cProcLog log;
  const HWND window = plat::CreateWindowHandle(&RecordingProc, &log);

  {
    // Destroyed while the send waits in the owner's queue.
    cWaitingSender sender(window, WM_USER, 5);
    ASSERT_TRUE(sender.WaitUntilBlocked());
    plat::DestroyWindowHandle(window);
    EXPECT_EQ(plat::ServeSends(), 1);
    ASSERT_TRUE(ReadyWithin(sender.Answer(), kLong));
    EXPECT_EQ(sender.Answer().get(), 0);
  }
  {
    // Destroyed before the send.
    auto late = std::async(std::launch::async, [window] { return plat::SendMessage(window, WM_USER, 5, 0); });
    ASSERT_TRUE(ReadyWithin(late, kLong));
    EXPECT_EQ(late.get(), 0);
  }
  EXPECT_EQ(log.calls.load(), 0);
}

struct ReleaseCase {
  const char* name;
  void (*release)();
  bool postsStillArrive;
};

class SendReleaseTest : public MessageCoreTest, public testing::WithParamInterface<ReleaseCase> {};

TEST_P(SendReleaseTest, WaitingAndLaterSendsAnswerZeroWhenTheOwnerStopsServing) {
  cProcLog log;
  const HWND window = plat::CreateWindowHandle(&RecordingProc, &log);
  const plat::ThreadId owner = plat::CurrentThreadId();

  cWaitingSender waiting(window, WM_USER, 5);
  ASSERT_TRUE(waiting.WaitUntilBlocked());
  GetParam().release();
  ASSERT_TRUE(ReadyWithin(waiting.Answer(), kLong));
  EXPECT_EQ(waiting.Answer().get(), 0);

  auto later = std::async(std::launch::async, [window] { return plat::SendMessage(window, WM_USER, 5, 0); });
  ASSERT_TRUE(ReadyWithin(later, kLong));
  EXPECT_EQ(later.get(), 0);

  plat::ServeSends();
  EXPECT_EQ(log.calls.load(), 0);
  EXPECT_EQ(plat::PostMessage(window, WM_CLOSE, 0, 0), GetParam().postsStillArrive);
  EXPECT_EQ(plat::ThreadHasQueue(owner), GetParam().postsStillArrive);
}

INSTANTIATE_TEST_SUITE_P(
    Release, SendReleaseTest,
    testing::Values(ReleaseCase{"RefuseSends", [] { plat::RefuseSends(plat::CurrentThreadId()); }, true},
                    ReleaseCase{"DestroyThreadQueue", [] { plat::DestroyThreadQueue(); }, false}),
    [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

TEST_F(MessageCoreTest, OwnerThreadEndingReleasesAWaitingSend) {
  std::promise<HWND> windowPromise;
  std::promise<void> mayEnd;
  std::thread owner([&] {
    windowPromise.set_value(plat::CreateWindowHandle(&EchoProc));
    mayEnd.get_future().wait();  // never serves: it just ends
  });
  const HWND window = windowPromise.get_future().get();

  cWaitingSender waiting(window, WM_USER, 5);
  ASSERT_TRUE(waiting.WaitUntilBlocked());
  mayEnd.set_value();
  owner.join();
  ASSERT_TRUE(ReadyWithin(waiting.Answer(), kLong));
  EXPECT_EQ(waiting.Answer().get(), 0);
  EXPECT_FALSE(plat::IsWindow(window));
}

TEST_F(MessageCoreTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  constexpr int kRounds = 300;
  HWND windows[2] = {};
  plat::ThreadId ids[2] = {};
  std::latch ready(2);

  auto run = [&](int self) {
    windows[self] = plat::CreateWindowHandle([](HWND, UINT, WPARAM wParam, LPARAM) -> LRESULT {
      return static_cast<LRESULT>(wParam) + 1;
    });
    ids[self] = plat::CurrentThreadId();
    ready.arrive_and_wait();
    const int other = 1 - self;
    int wrong = 0;
    for (int i = 0; i < kRounds; ++i) {
      if (plat::SendMessage(windows[other], WM_USER, static_cast<WPARAM>(i), 0) != i + 1) ++wrong;
    }
    // Keep serving the partner until it has finished its own sends too.
    plat::PostThreadMessage(ids[other], WM_APP, 0, 0);
    MSG msg;
    while (plat::GetMessage(&msg, nullptr, WM_APP, WM_APP) != 0 && msg.message != WM_APP) {
    }
    return wrong;
  };
  auto first = std::async(std::launch::async, run, 0);
  auto second = std::async(std::launch::async, run, 1);
  ASSERT_TRUE(ReadyWithin(first, kLong));
  ASSERT_TRUE(ReadyWithin(second, kLong));
  EXPECT_EQ(first.get(), 0);
  EXPECT_EQ(second.get(), 0);
}

// Each call hands the count down to the other thread's window, so the sends
// nest ten deep, alternating between the two threads.
struct cPingPong {
  std::atomic<HWND> partner{nullptr};
};

LRESULT PingPongProc(HWND window, UINT message, WPARAM depth, LPARAM) {
  if (depth == 0) return 0;
  auto* self = static_cast<cPingPong*>(plat::GetWindowUserData(window));
  return plat::SendMessage(self->partner.load(), message, depth - 1, 0) + 1;
}

TEST_F(MessageCoreTest, NestedSendsBetweenTwoThreadsAreServedWhileWaiting) {
  cPingPong mine;
  cPingPong theirs;
  const HWND myWindow = plat::CreateWindowHandle(&PingPongProc, &mine);
  theirs.partner.store(myWindow);
  std::promise<std::pair<HWND, plat::ThreadId>> started;
  auto loop = std::async(std::launch::async, [&] {
    started.set_value({plat::CreateWindowHandle(&PingPongProc, &theirs), plat::CurrentThreadId()});
    MSG msg;
    while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) {
    }
  });
  const auto theirSide = started.get_future().get();
  const HWND theirWindow = theirSide.first;
  mine.partner.store(theirWindow);

  // Waiting for the answer, this thread serves its own half of the ping-pong.
  EXPECT_EQ(plat::SendMessage(theirWindow, WM_USER, 10, 0), 10);
  plat::PostThreadMessage(theirSide.second, WM_QUIT, 0, 0);
  ASSERT_TRUE(ReadyWithin(loop, kLong));
}

// ---- suspension ---------------------------------------------------------

struct CheckpointCase {
  const char* name;
  void (*prepare)();  // makes the call return at once when not suspended
  void (*call)();
};

void NoPreparation() {}
void PostSelfMessage() { plat::PostThreadMessage(plat::CurrentThreadId(), WM_USER, 0, 0); }

const CheckpointCase kCheckpointCases[] = {
    {"Checkpoint", &NoPreparation, [] { plat::Checkpoint(); }},
    {"Sleep", &NoPreparation, [] { plat::Sleep(5); }},
    {"GetMessage", &PostSelfMessage, [] {
       MSG msg;
       plat::GetMessage(&msg, nullptr, 0, 0);
     }},
    {"WaitMessage", &PostSelfMessage, [] { plat::WaitMessage(60'000); }},
};

class CheckpointTest : public MessageCoreTest, public testing::WithParamInterface<CheckpointCase> {};

TEST_P(CheckpointTest, SuspendedThreadStopsAtItsCheckpointAndGoesOnAfterResume) {
  const CheckpointCase checkpoint = GetParam();
  std::promise<std::pair<plat::ThreadId, HWND>> started;
  std::promise<void> go;
  auto worker = std::async(std::launch::async, [&] {
    started.set_value({plat::CurrentThreadId(), plat::CreateWindowHandle(&EchoProc)});
    go.get_future().wait();
    checkpoint.prepare();
    checkpoint.call();
  });
  const auto startedWith = started.get_future().get();
  const plat::ThreadId thread = startedWith.first;
  const HWND window = startedWith.second;

  ASSERT_TRUE(plat::RequestSuspend(thread));
  ASSERT_TRUE(plat::RequestSuspend(thread));
  go.set_value();
  EXPECT_FALSE(ReadyWithin(worker, kShort));

  // A suspended thread still answers sends, so its partners do not hang.
  auto send = std::async(std::launch::async, [window] { return plat::SendMessage(window, WM_USER, 4, 0); });
  ASSERT_TRUE(ReadyWithin(send, kLong));
  EXPECT_EQ(send.get(), 4);

  // The count must come back to 0 before the thread goes on.
  ASSERT_TRUE(plat::RequestResume(thread));
  EXPECT_FALSE(ReadyWithin(worker, kShort));
  ASSERT_TRUE(plat::RequestResume(thread));
  EXPECT_TRUE(ReadyWithin(worker, kLong));
}

INSTANTIATE_TEST_SUITE_P(Checkpoints, CheckpointTest, testing::ValuesIn(kCheckpointCases),
                         [](const testing::TestParamInfo<CheckpointCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(MessageCoreTest, QuitDoesNotWakeASuspendedThread) {
  std::promise<plat::ThreadId> started;
  auto loop = std::async(std::launch::async, [&] {
    started.set_value(plat::CreateThreadQueue());
    MSG msg;
    return plat::GetMessage(&msg, nullptr, 0, 0);
  });
  const plat::ThreadId thread = started.get_future().get();
  ASSERT_TRUE(plat::RequestSuspend(thread));
  ASSERT_TRUE(plat::PostThreadMessage(thread, WM_QUIT, 0, 0));
  EXPECT_FALSE(ReadyWithin(loop, kShort));
  ASSERT_TRUE(plat::RequestResume(thread));
  ASSERT_TRUE(ReadyWithin(loop, kLong));
  EXPECT_EQ(loop.get(), 0);
}

TEST_F(MessageCoreTest, SuspendAndResumeOfAnUnknownThreadFail) {
  EXPECT_FALSE(plat::RequestSuspend(0));
  EXPECT_FALSE(plat::RequestResume(0));
  const plat::ThreadId self = plat::CurrentThreadId();
  EXPECT_FALSE(plat::RequestSuspend(self + 1000));
  EXPECT_TRUE(plat::RequestResume(self));  // not suspended: nothing to undo, still fine
}

// ---- windows and the registry ------------------------------------------

TEST_F(MessageCoreTest, WindowsBelongToTheThreadThatCreatedThem) {
  int payload = 0;
  cProcLog log;
  const HWND window = plat::CreateWindowHandle(&RecordingProc, &log);
  EXPECT_NE(window, nullptr);
  EXPECT_TRUE(plat::IsWindow(window));
  EXPECT_EQ(plat::GetWindowThreadId(window), plat::CurrentThreadId());
  EXPECT_EQ(plat::GetWindowThreadId(nullptr), 0u);

  MSG msg;
  msg.hwnd = window;
  msg.message = WM_USER;
  msg.wParam = 3;
  msg.lParam = 1;
  EXPECT_EQ(plat::DispatchMessage(&msg), 7);
  msg.hwnd = nullptr;
  EXPECT_EQ(plat::DispatchMessage(&msg), 0);  // a thread message has no procedure
  EXPECT_EQ(log.calls.load(), 1);

  plat::SetWindowUserData(window, &payload);
  EXPECT_EQ(plat::GetWindowUserData(window), &payload);

  plat::DestroyThreadQueue();  // leaving takes the thread's windows along
  EXPECT_FALSE(plat::IsWindow(window));
  EXPECT_EQ(plat::GetWindowUserData(window), nullptr);
  EXPECT_EQ(plat::GetWindowThreadId(window), 0u);
}

TEST_F(MessageCoreTest, ResetForgetsQueuesWindowsAndTheMainThread) {
  const HWND window = plat::CreateWindowHandle(&EchoProc);
  const plat::ThreadId before = plat::CurrentThreadId();
  plat::SetMainThread(before);
  ASSERT_TRUE(plat::PostMessage(window, WM_USER, 0, 0));

  plat::ResetMessageCoreForTests();

  EXPECT_FALSE(plat::IsWindow(window));
  EXPECT_FALSE(plat::ThreadHasQueue(before));
  EXPECT_EQ(plat::MainThreadId(), 0u);
  EXPECT_NE(plat::CurrentThreadId(), before);  // a fresh queue, with nothing in it
  MSG msg;
  EXPECT_FALSE(plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace

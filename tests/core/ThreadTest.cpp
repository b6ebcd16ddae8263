#include "core/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/CoreTestSupport.h"
#include "core/Log.h"
#include "platform/MessageCore.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Waits on the real clock without touching the message core, so the test
// thread serves no send while it waits.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = 5000ms) {
  const auto deadline = SteadyClock::now() + limit;
  while (!condition()) {
    if (SteadyClock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

long long MillisecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count();
}

struct cWorkerState {
  std::atomic<int> runs{0};
  std::atomic<int> wakes{0};
  std::atomic<int> ticks{0};
  std::atomic<bool> release{false};
  std::atomic<bool> sending{false};
  std::atomic<bool> ended{false};
  std::atomic<LRESULT> sendAnswer{-1};
  HWND target = nullptr;
};

cWorkerState& State(void* argument) { return *static_cast<cWorkerState*>(argument); }

std::uint32_t RunOnce(void* argument) {
  ++State(argument).runs;
  return 0;
}

// A thread in the usual shape: reads its queue until WM_QUIT.
int MessageLoop(void* argument) {
  cWorkerState& state = State(argument);
  MSG msg;
  while (plat::GetMessage(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_APP) ++state.wakes;
  }
  state.ended = true;
  return 1;
}

// Works in 1 ms steps and looks for WM_QUIT between them.
std::uint32_t TickingLoop(void* argument) {
  cWorkerState& state = State(argument);
  MSG msg;
  while (!plat::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    ++state.ticks;
    plat::Sleep(1);
  }
  state.ended = true;
  return 0;
}

// Never reads its queue; ends only when the test lets it.
std::uint32_t IgnoresQuit(void* argument) {
  cWorkerState& state = State(argument);
  while (!state.release) plat::Sleep(1);
  state.ended = true;
  return 0;
}

// One step of 400 ms, deaf to messages, then behaves like MessageLoop.
int LongStepThenLoops(void* argument) {
  {
    const cThread::cStep step;
    ++State(argument).ticks;
    std::this_thread::sleep_for(400ms);
  }
  return MessageLoop(argument);
}

// Sends to the target window, then behaves like MessageLoop.
int SendsThenLoops(void* argument) {
  cWorkerState& state = State(argument);
  state.sending = true;
  state.sendAnswer = plat::SendMessage(state.target, WM_USER + 5, 3, 0);
  return MessageLoop(argument);
}

LRESULT AnswersSeven(HWND, UINT, WPARAM, LPARAM) { return 7; }

class ThreadTest : public coretest::cCoreFixture {
 protected:
  void SetUp() override {
    cCoreFixture::SetUp();
    StartReport();
    m_AbandonedBefore = AbandonedThreadCount();
  }

  bool ReportMentions(const std::string& text) {
    return coretest::ReadWholeFile(ReportFile()).find(text) != std::string::npos;
  }

  std::size_t m_AbandonedBefore = 0;
};

TEST_F(ThreadTest, StartRunsTheProcedureAndWaitEndLeavesTheObjectIdle) {
  cWorkerState state;
  cThread thread;
  ASSERT_TRUE(thread.Start(&RunOnce, &state));
  EXPECT_TRUE(thread.IsHeld());
  const std::uint32_t id = thread.GetThreadId();
  EXPECT_NE(id, 0u);

  thread.WaitEnd();
  EXPECT_EQ(state.runs, 1);
  EXPECT_FALSE(thread.IsHeld());
  EXPECT_EQ(thread.GetThreadId(), 0u);
  EXPECT_FALSE(plat::ThreadHasQueue(id)) << "the thread leaves the message core when it ends";

  // The same object starts again once it is idle.
  ASSERT_TRUE(thread.Start(&RunOnce, &state));
  thread.WaitEnd();
  EXPECT_EQ(state.runs, 2);
}

// A thread that sends to the waiting thread's window before it ends: the
// wait must serve the send, or both threads would wait for each other.
TEST_F(ThreadTest, WaitEndServesSendsFromTheThreadItWaitsFor) {
  cWorkerState state;
  state.target = plat::CreateWindowHandle(&AnswersSeven);
  cThread thread;
  ASSERT_TRUE(thread.Start(&SendsThenLoops, &state));
  ASSERT_TRUE(WaitUntil([&] { return state.sending.load(); }));
  plat::PostThreadMessage(thread.GetThreadId(), WM_QUIT, 0, 0);
  thread.WaitEnd();
  EXPECT_EQ(state.sendAnswer, 7);
  EXPECT_TRUE(state.ended);
}

// The new thread owns its queue before Start returns, so nothing posted at
// once is lost (the shell wakes new threads this way).
TEST_F(ThreadTest, MessagePostedRightAfterStartIsReceived) {
  for (int round = 0; round < 20; ++round) {
    cWorkerState state;
    cThread thread;
    ASSERT_TRUE(thread.Start(&MessageLoop, &state));
    ASSERT_TRUE(plat::PostThreadMessage(thread.GetThreadId(), WM_APP, 0, 0)) << "round " << round;
    thread.Exit();
    EXPECT_EQ(state.wakes, 1) << "round " << round;
    EXPECT_TRUE(state.ended) << "round " << round;
  }
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore);
}

TEST_F(ThreadTest, ExitWritesItsLogLinesOnlyWhenAThreadIsHeld) {
  LogInit(1, "EC_Game.txt");

  cThread idle;
  idle.Exit();
  EXPECT_FALSE(std::filesystem::exists(DebugLogFile())) << "an idle object writes nothing";

  cWorkerState state;
  cThread running;
  ASSERT_TRUE(running.Start(&MessageLoop, &state));
  running.Exit();
  EXPECT_TRUE(state.ended);
  const std::vector<std::string> expected = {"Exit A", "Exit B", "Exit C", "Exit D", "Exit E"};
  EXPECT_EQ(coretest::ReadLines(DebugLogFile()), expected);
  EXPECT_FALSE(running.IsHeld());
}

TEST_F(ThreadTest, SuspendAndResumeOnAnIdleObjectAnswerTrue) {
  cThread idle;
  EXPECT_TRUE(idle.Suspend());
  EXPECT_TRUE(idle.Resume());
  EXPECT_FALSE(idle.IsHeld());
}

// Suspended twice, as nested pauses do: one resume is not enough to let it
// run, and Exit must still end it instead of giving up on it.
TEST_F(ThreadTest, ExitResumesASuspendedThreadAndEndsIt) {
  cWorkerState state;
  cThread thread;
  ASSERT_TRUE(thread.Start(&TickingLoop, &state));
  ASSERT_TRUE(WaitUntil([&] { return state.ticks > 0; }));
  ASSERT_TRUE(thread.Suspend());
  ASSERT_TRUE(thread.Suspend());
  // The pause takes hold at the thread's next checkpoint (its sleep): one
  // more tick may come before it, however late the thread gets to run, and
  // none after it.
  const int ticksAtSuspend = state.ticks;
  std::this_thread::sleep_for(50ms);
  ASSERT_LE(state.ticks, ticksAtSuspend + 1) << "the thread pauses at its next checkpoint";

  thread.Exit();
  EXPECT_TRUE(state.ended);
  EXPECT_FALSE(thread.IsHeld());
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore);
}

TEST_F(ThreadTest, ThreadIgnoringQuitIsReportedAndAbandonedAfterAboutTwoHundredPolls) {
  cWorkerState state;
  cThread thread;
  ASSERT_TRUE(thread.Start(&IgnoresQuit, &state));
  const std::uint32_t id = thread.GetThreadId();

  const auto start = SteadyClock::now();
  thread.Exit();
  const long long elapsed = MillisecondsSince(start);
  EXPECT_GE(elapsed, 150);
  EXPECT_LE(elapsed, 3000);  // loose: sanitizer builds on a busy machine are slow

  EXPECT_FALSE(thread.IsHeld());
  EXPECT_FALSE(state.ended) << "the thread was not killed";
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore + 1);
  EXPECT_TRUE(ReportMentions("thread " + std::to_string(id) + " did not stop"));

  // Once it ends on its own it no longer counts.
  state.release = true;
  EXPECT_TRUE(WaitUntil([&] { return AbandonedThreadCount() == m_AbandonedBefore; }));
  EXPECT_TRUE(state.ended);
}

// A frame that outlasts the 200 polls is waited for: the thread takes the
// quit message after it and ends in order, neither abandoned nor reported.
TEST_F(ThreadTest, ExitWaitsForAStepInProgressInsteadOfGivingTheThreadUp) {
  cWorkerState state;
  cThread thread;
  ASSERT_TRUE(thread.Start(&LongStepThenLoops, &state));
  ASSERT_TRUE(WaitUntil([&] { return state.ticks.load() > 0; }));
  const std::uint32_t id = thread.GetThreadId();

  const auto start = SteadyClock::now();
  thread.Exit();
  EXPECT_GE(MillisecondsSince(start), 300) << "the step was not waited for";
  EXPECT_TRUE(state.ended);
  EXPECT_FALSE(thread.IsHeld());
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore);
  EXPECT_FALSE(ReportMentions("thread " + std::to_string(id) + " did not stop"));
}

// At shut-down the main thread refuses sends; a thread blocked in a send to
// it must be released and end, not hold Exit until it gives up.
TEST_F(ThreadTest, ExitEndsAThreadBlockedInASendToARefusingMainThread) {
  cWorkerState state;
  state.target = plat::CreateWindowHandle(&AnswersSeven);
  cThread thread;
  ASSERT_TRUE(thread.Start(&SendsThenLoops, &state));
  ASSERT_TRUE(WaitUntil([&] { return state.sending.load(); }));
  std::this_thread::sleep_for(10ms);  // let it block in the send

  plat::RefuseSends(plat::CurrentThreadId());
  const auto start = SteadyClock::now();
  thread.Exit();
  EXPECT_LT(MillisecondsSince(start), 2000) << "no hang";
  EXPECT_EQ(state.sendAnswer, 0) << "a refused send answers 0";
  EXPECT_TRUE(state.ended);
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore);
}

TEST_F(ThreadTest, StartIsRefusedWhileTheHeldThreadRuns) {
  cWorkerState first;
  cThread thread;
  ASSERT_TRUE(thread.Start(&MessageLoop, &first));
  const std::uint32_t id = thread.GetThreadId();

  cWorkerState second;
  EXPECT_FALSE(thread.Start(&RunOnce, &second));
  EXPECT_EQ(second.runs, 0);
  EXPECT_EQ(thread.GetThreadId(), id) << "the running thread stays held";
  EXPECT_TRUE(ReportMentions("thread " + std::to_string(id) + " is still running"));

  thread.Exit();
  EXPECT_TRUE(first.ended);
}

TEST_F(ThreadTest, StartCollectsAThreadThatHasAlreadyEnded) {
  cWorkerState state;
  cThread thread;
  ASSERT_TRUE(thread.Start(&RunOnce, &state));
  ASSERT_TRUE(WaitUntil([&] { return !thread.IsRunning(); }));
  EXPECT_TRUE(thread.IsHeld());

  ASSERT_TRUE(thread.Start(&RunOnce, &state));
  thread.WaitEnd();
  EXPECT_EQ(state.runs, 2);
}

// A failure escaping the procedure must not end the whole process: the
// reason reaches the report and the main window is asked to close.
TEST_F(ThreadTest, FailureThrownByTheProcedureIsReportedAndClosesTheMainWindow) {
  struct Case {
    const char* name;
    cThread::Procedure procedure;
    const char* reportLine;
  };
  const Case cases[] = {
      {"text", [](void*) -> std::uint32_t { throw "stage load failed"; }, "stage load failed"},
      {"string", [](void*) -> std::uint32_t { throw std::string("bad step"); }, "bad step"},
      {"exception", [](void*) -> std::uint32_t { throw std::runtime_error("boom"); }, "boom"},
      {"anything else", [](void*) -> std::uint32_t { throw 42; },
       "a thread procedure failed with an unknown exception"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartReport();
    TakePosted(WM_CLOSE);
    cThread thread;
    ASSERT_TRUE(thread.Start(c.procedure, nullptr));
    thread.WaitEnd();
    EXPECT_FALSE(thread.IsHeld());
    EXPECT_EQ(coretest::ReadLines(ReportFile()), std::vector<std::string>{c.reportLine});
    EXPECT_EQ(TakePosted(WM_CLOSE), 1);
  }
}

TEST_F(ThreadTest, DestructorEndsTheThread) {
  cWorkerState state;
  {
    cThread thread;
    ASSERT_TRUE(thread.Start(&MessageLoop, &state));
  }
  EXPECT_TRUE(state.ended);
  EXPECT_EQ(AbandonedThreadCount(), m_AbandonedBefore);
}

}  // namespace

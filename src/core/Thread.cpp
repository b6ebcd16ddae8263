#include "core/Thread.h"

#include <atomic>
#include <exception>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "platform/MessageCore.h"
#include "platform/WinTypes.h"

namespace {

// The end state is decided once, by whichever side gets there first: the
// thread finishing its procedure, or Exit giving up on it.
enum eThreadState : int { kRunning, kFinished, kAbandoned };

constexpr int kExitPolls = 200;
// How long Exit waits for a thread inside a step (cThread::cStep).
constexpr int kStepExitPolls = 10000;
// Resume answers false only once the thread has left the message core, so a
// few tries are plenty; the poll loop of Exit keeps resuming anyway.
constexpr int kResumeTries = 8;

std::atomic<long> g_AbandonedRunning{0};

// The record of the cThread the calling thread runs on; null elsewhere.
thread_local cThreadRecord* t_Record = nullptr;

}  // namespace

struct cThreadRecord {
  std::thread thread;
  std::atomic<int> state{kRunning};
  std::atomic<bool> inStep{false};
};

namespace {

void MarkFinished(cThreadRecord& record) {
  int expected = kRunning;
  if (!record.state.compare_exchange_strong(expected, kFinished)) {
    // Exit gave up on this thread before it got here.
    g_AbandonedRunning.fetch_sub(1);
  }
}

// A failure escaping a thread procedure would otherwise end the whole process
// (std::terminate) without a word. Its text goes to the logs instead and the
// main window is asked to close, as for a failing frame step; the thread then
// leaves the message core and ends normally.
void RunCatchingFailures(const std::function<void()>& body) {
  try {
    body();
  } catch (const char* text) {
    LogFatal(g_hMainWnd.load(), "%s", text != nullptr ? text : "");
  } catch (const std::string& text) {
    LogFatal(g_hMainWnd.load(), "%s", text.c_str());
  } catch (const std::exception& failure) {
    LogFatal(g_hMainWnd.load(), "%s", failure.what());
  } catch (...) {
    LogFatal(g_hMainWnd.load(), "%s", "a thread procedure failed with an unknown exception");
  }
}

}  // namespace

cThread::~cThread() { Exit(); }

bool cThread::Start(Procedure procedure, void* argument) {
  return Launch([procedure, argument] { procedure(argument); });
}

bool cThread::Start(IntProcedure procedure, void* argument) {
  return Launch([procedure, argument] { procedure(argument); });
}

bool cThread::Launch(std::function<void()> body) {
  if (m_hThread) {
    if (IsRunning()) {
      ReportPrintf("cThread::Start: thread %u is still running; no second thread started", m_ThreadId);
      return false;
    }
    Collect();
  }

  auto record = std::make_shared<cThreadRecord>();
  std::promise<plat::ThreadId> started;
  std::future<plat::ThreadId> startedId = started.get_future();
  try {
    // The thread joins the message core before its procedure runs, and Start
    // returns only then: a message posted right after Start has a queue to go to.
    record->thread = std::thread([record, body = std::move(body), started = std::move(started)]() mutable {
      t_Record = record.get();
      started.set_value(plat::CreateThreadQueue());
      RunCatchingFailures(body);
      plat::DestroyThreadQueue();
      MarkFinished(*record);
    });
  } catch (const std::system_error&) {
    return false;
  }
  m_ThreadId = startedId.get();
  m_hThread = std::move(record);
  return true;
}

cThread::cStep::cStep() : m_Record(t_Record) {
  if (m_Record != nullptr) m_Record->inStep.store(true);
}

cThread::cStep::~cStep() {
  if (m_Record != nullptr) m_Record->inStep.store(false);
}

bool cThread::IsRunning() const { return m_hThread && m_hThread->state.load() == kRunning; }

void cThread::WaitEnd() {
  if (!m_hThread) return;
  while (m_hThread->state.load() != kFinished) plat::Sleep(1);
  Collect();
}

bool cThread::Suspend() {
  if (!m_hThread) return true;
  return plat::RequestSuspend(m_ThreadId);
}

bool cThread::Resume() {
  if (!m_hThread) return true;
  return plat::RequestResume(m_ThreadId);
}

void cThread::Exit() {
  if (!m_hThread) return;
  ResumeBeforeExit();

  LogPrintf("Exit A");
  plat::PostThreadMessage(m_ThreadId, WM_QUIT, 0, 0);
  LogPrintf("Exit B");
  LogPrintf("Exit C");

  int polls = 0;
  // The last poll, within the wait for a step, that found the thread inside
  // one; -1 while none has.
  int lastStepPoll = -1;
  while (m_hThread->state.load() != kFinished) {
    const bool waitForStep = m_hThread->inStep.load() && polls < kStepExitPolls;
    if (waitForStep) lastStepPoll = polls;
    // A step that has just ended leaves the thread with the quit message still
    // to take; on a busy machine that takes more than the polls already spent
    // waiting for the step, so it gets its own count, measured from the last
    // poll that saw it stepping. A thread that keeps entering steps is still
    // given up once the wait for steps is spent.
    const bool justLeftStep = lastStepPoll >= 0 && polls - lastStepPoll < kExitPolls;
    if (polls >= kExitPolls && !waitForStep && !justLeftStep) {
      Abandon(polls);
      break;
    }
    plat::Sleep(1);
    // A thread paused more than once needs more than one resume; extra
    // resumes of a running thread do nothing.
    Resume();
    plat::PostThreadMessage(m_ThreadId, WM_QUIT, 0, 0);
    ++polls;
  }

  LogPrintf("Exit D");
  if (m_hThread) Collect();
  LogPrintf("Exit E");
}

void cThread::ResumeBeforeExit() {
  for (int tries = 0; tries < kResumeTries; ++tries) {
    if (Resume()) return;
  }
}

void cThread::Collect() {
  if (m_hThread->thread.joinable()) m_hThread->thread.join();
  m_hThread.reset();
  m_ThreadId = 0;
}

void cThread::Abandon(int polls) {
  // Counted before the state changes, so the thread finishing at this moment
  // can never take the count below zero.
  g_AbandonedRunning.fetch_add(1);
  int expected = kRunning;
  if (!m_hThread->state.compare_exchange_strong(expected, kAbandoned)) {
    g_AbandonedRunning.fetch_sub(1);  // it finished after all: collect it normally
    return;
  }
  ReportPrintf("cThread::Exit: thread %u did not stop after %d polls; it is left running", m_ThreadId, polls);
  m_hThread->thread.detach();
  m_hThread.reset();
  m_ThreadId = 0;
}

std::size_t AbandonedThreadCount() {
  const long count = g_AbandonedRunning.load();
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

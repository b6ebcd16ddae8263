#pragma once
// One worker thread of the player. The owner starts a procedure on it, waits
// for its end, pauses and resumes it, and stops it by posting WM_QUIT to the
// thread's own queue.
//
// Everything is cooperative: a pause takes effect at the thread's next
// checkpoint (plat::Sleep, GetMessage, WaitMessage, Checkpoint), and a thread
// that does not take WM_QUIT within 200 polls is never killed mid-write. It is
// reported, let go (detached) and counted as abandoned instead; the process
// entry then leaves with a fast exit, so no destructor runs under its feet.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// What a running thread and its owner share; internal to Thread.cpp.
struct cThreadRecord;

class cThread {
 public:
  using Procedure = std::uint32_t (*)(void* argument);
  using IntProcedure = int (*)(void* argument);

  constexpr cThread() noexcept = default;
  ~cThread();
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;

  // Starts the procedure with the argument on a new thread. The new thread
  // owns a message queue before the procedure runs, so a message posted to it
  // right after Start returns is received. False when the thread could not be
  // created, or when this object still holds a running thread (logged); a
  // thread that has already ended is collected first. A failure the
  // procedure throws (a text or an exception) does not end the process: it
  // goes to LogFatal with the main window, and the thread ends.
  bool Start(Procedure procedure, void* argument);
  bool Start(IntProcedure procedure, void* argument);

  // Waits, polling every 1 ms with plat::Sleep (which serves sends made to
  // the waiting thread's windows), until the thread has ended; then the
  // object is idle again. Does nothing on an idle object.
  void WaitEnd();

  // Asks the thread to pause at its next checkpoint, or to go on. True when
  // the object is idle or the request was taken.
  bool Suspend();
  bool Resume();

  // Stops the thread: resumes it, posts WM_QUIT and polls every 1 ms,
  // posting WM_QUIT again, until it has ended; after 200 polls it is
  // abandoned (see above), unless it is inside a step (cStep): then Exit
  // waits for the step to end, up to 10000 polls, and gives the thread
  // another 200 polls to take WM_QUIT after it. The object is idle
  // afterwards. An idle object does nothing and writes no log line.
  void Exit();

  // Marks the calling thread, while it lives, as inside a step that always
  // ends by itself, such as one frame of the game: a thread given up there
  // would go on drawing into what its owner releases next, so Exit waits
  // for the step instead. Nothing on a thread not started by a cThread.
  class cStep {
   public:
    cStep();
    ~cStep();
    cStep(const cStep&) = delete;
    cStep& operator=(const cStep&) = delete;

   private:
    cThreadRecord* m_Record;
  };

  // The message-core id of the held thread, 0 when idle.
  std::uint32_t GetThreadId() const { return m_ThreadId; }
  // True while a thread is held (from Start until WaitEnd or Exit).
  bool IsHeld() const { return m_hThread != nullptr; }
  // True while a held thread has not finished its procedure.
  bool IsRunning() const;

 private:
  bool Launch(std::function<void()> body);
  void ResumeBeforeExit();
  void Collect();
  void Abandon(int polls);

  std::uint32_t m_ThreadId = 0;
  std::shared_ptr<cThreadRecord> m_hThread;  // null when no thread is held
};

// Threads given up by cThread::Exit whose procedure is still running.
std::size_t AbandonedThreadCount();

// The four thread objects of the player, defined with the other globals by the
// shell: the game loop, the modal waits of the game, the ranking display, and
// loading a stage file while the main thread keeps dispatching messages.
extern cThread thGame;
extern cThread thPause;
extern cThread thWorker1;
extern cThread thWorker2;

#pragma once
// The modal loops of the game scene (the pause loop of the game waits and
// messages, the ranking display) each run on a thread of their own while the
// game thread waits for their end, so that only one thread touches the world
// at a time. RunModalLoop starts the loop on its thread, posts the wake
// message until the thread has taken it, and waits; cModalLoopPump is the
// message check at the top of every frame of such a loop.

#include <cstdint>
#include <functional>

class cThread;

// Runs `loop` on `thread` and blocks until it ended (serving sends made to
// this thread's windows meanwhile, so a loop's sound requests are answered
// when the waiting thread owns the main window). The loop's result, or 0
// when the thread could not be started.
int RunModalLoop(cThread& thread, std::function<int()> loop);

enum class eModalPoll {
  kFrame,  // run one frame
  kIdle,   // nothing to do now (the application is inactive, a message was taken)
  kQuit,   // the loop ends
};

// The top of a modal frame: a message taken from the thread's queue ends the
// loop when it is WM_QUIT and is dropped otherwise; while the application is
// inactive the thread sleeps 1 ms; while a close request is pending the
// thread posts itself WM_QUIT once kCloseQuitDelayMs have passed since it was
// first seen (the main window normally sends it sooner).
class cModalLoopPump {
 public:
  eModalPoll Poll(bool closeRequested);

 private:
  bool m_bCloseSeen = false;
  std::uint32_t m_CloseSeenAt = 0;
  bool m_bQuitPosted = false;
};

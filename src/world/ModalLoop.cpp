#include "world/ModalLoop.h"

#include <utility>

#include "core/AppMessages.h"
#include "core/ProcessFlags.h"
#include "core/Thread.h"
#include "platform/Clock.h"
#include "platform/MessageCore.h"
#include "world/GameScene.h"

namespace {

struct sModalJob {
  std::function<int()> loop;
  int result = 0;
};

// The thread takes the wake message before it runs the loop: the starter
// knows then that the thread is up and has its queue.
std::uint32_t ModalThreadMain(void* argument) {
  auto* job = static_cast<sModalJob*>(argument);
  MSG msg;
  while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) {
    if (msg.message == WM_APP_WAKE_THREAD) {
      job->result = job->loop();
      return 1;
    }
  }
  return 0;  // WM_QUIT before the wake message: the run is closing
}

}  // namespace

int RunModalLoop(cThread& thread, std::function<int()> loop) {
  sModalJob job{std::move(loop), 0};
  if (!thread.Start(ModalThreadMain, &job)) return 0;
  while (thread.IsRunning() && !plat::PostThreadMessage(thread.GetThreadId(), WM_APP_WAKE_THREAD, 0, 0)) {
    plat::Sleep(1);
  }
  thread.WaitEnd();
  return job.result;
}

eModalPoll cModalLoopPump::Poll(bool closeRequested) {
  MSG msg;
  if (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    return msg.message == WM_QUIT ? eModalPoll::kQuit : eModalPoll::kIdle;
  }
  if (g_AppActive.load() == 0) {
    plat::Sleep(1);
    return eModalPoll::kIdle;
  }
  if (closeRequested) {
    const std::uint32_t now = plat::TimeGetTime();
    if (!m_bCloseSeen) {
      m_bCloseSeen = true;
      m_CloseSeenAt = now;
    }
    if (!m_bQuitPosted && plat::ElapsedMs(m_CloseSeenAt, now) >= kCloseQuitDelayMs) {
      plat::PostQuitMessage(0);
      m_bQuitPosted = true;
    }
    plat::Sleep(1);
    return eModalPoll::kIdle;
  }
  return eModalPoll::kFrame;
}

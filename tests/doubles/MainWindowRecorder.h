#pragma once
// A stand-in for the player's main window: a message-core window owned by the
// test thread, bound to g_hMainWnd for as long as the recorder lives. It
// records every message that reaches it, posted or sent, and answers sends
// with a value the test chooses (or through a handler). The previous
// g_hMainWnd comes back when it is destroyed.
//
// Sends from other threads are served whenever the test thread waits in the
// message core (plat::Sleep, ServeSends, ...). Posted messages stay queued
// until the test calls DispatchPosted.

#include <functional>
#include <mutex>
#include <vector>

#include "platform/WinTypes.h"

class cMainWindowRecorder {
 public:
  struct cMessage {
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool posted = false;  // false: it was sent
  };
  using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

  cMainWindowRecorder();
  ~cMainWindowRecorder();
  cMainWindowRecorder(const cMainWindowRecorder&) = delete;
  cMainWindowRecorder& operator=(const cMainWindowRecorder&) = delete;

  HWND Window() const { return m_Window; }

  // The answer to every send (0 unless set), or a handler that answers instead.
  void SetAnswer(LRESULT answer);
  void SetHandler(Handler handler);

  // Takes the messages posted to the window off the test thread's queue and
  // records them; returns how many there were. Other messages stay queued.
  int DispatchPosted();

  std::vector<cMessage> Messages() const;
  // The recorded messages with this number.
  std::vector<cMessage> MessagesOf(UINT message) const;
  void Clear();

 private:
  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Record(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_Window = nullptr;
  HWND m_Previous = nullptr;
  bool m_Dispatching = false;  // only touched by the owning thread
  mutable std::mutex m_Mutex;
  std::vector<cMessage> m_Messages;
  LRESULT m_Answer = 0;
  Handler m_Handler;
};

#include "doubles/MainWindowRecorder.h"

#include <utility>

#include "core/MainWindow.h"
#include "platform/MessageCore.h"

cMainWindowRecorder::cMainWindowRecorder() {
  m_Window = plat::CreateWindowHandle(&cMainWindowRecorder::WindowProc, this);
  m_Previous = g_hMainWnd.exchange(m_Window);
}

cMainWindowRecorder::~cMainWindowRecorder() {
  // Only give the handle back if nobody replaced it meanwhile.
  HWND expected = m_Window;
  g_hMainWnd.compare_exchange_strong(expected, m_Previous);
  plat::DestroyWindowHandle(m_Window);
}

void cMainWindowRecorder::SetAnswer(LRESULT answer) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Answer = answer;
}

void cMainWindowRecorder::SetHandler(Handler handler) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Handler = std::move(handler);
}

int cMainWindowRecorder::DispatchPosted() {
  int count = 0;
  MSG msg;
  while (plat::PeekMessage(&msg, m_Window, 0, 0, PM_NOREMOVE)) {
    // The quit request passes every filter: leave it for the test's own loop.
    if (msg.message == WM_QUIT || msg.hwnd != m_Window) break;
    plat::PeekMessage(&msg, m_Window, 0, 0, PM_REMOVE);
    m_Dispatching = true;
    plat::DispatchMessage(&msg);
    m_Dispatching = false;
    ++count;
  }
  return count;
}

std::vector<cMainWindowRecorder::cMessage> cMainWindowRecorder::Messages() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Messages;
}

std::vector<cMainWindowRecorder::cMessage> cMainWindowRecorder::MessagesOf(UINT message) const {
  std::vector<cMessage> found;
  for (const cMessage& entry : Messages()) {
    if (entry.message == message) found.push_back(entry);
  }
  return found;
}

void cMainWindowRecorder::Clear() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Messages.clear();
}

LRESULT cMainWindowRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* recorder = static_cast<cMainWindowRecorder*>(plat::GetWindowUserData(window));
  return recorder != nullptr ? recorder->Record(message, wParam, lParam) : 0;
}

LRESULT cMainWindowRecorder::Record(UINT message, WPARAM wParam, LPARAM lParam) {
  Handler handler;
  LRESULT answer = 0;
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Messages.push_back({message, wParam, lParam, m_Dispatching});
    handler = m_Handler;
    answer = m_Answer;
  }
  return handler ? handler(message, wParam, lParam) : answer;
}

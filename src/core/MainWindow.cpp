#include "core/MainWindow.h"

#include "platform/MessageCore.h"

std::atomic<HWND> g_hMainWnd{nullptr};

bool PostCloseToMainWindow() {
  const HWND window = g_hMainWnd.load();
  if (window == nullptr) return false;
  return plat::PostMessage(window, WM_CLOSE, 0, 0);
}

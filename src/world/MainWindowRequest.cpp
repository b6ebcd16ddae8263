#include "world/MainWindowRequest.h"

#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/RequestFlags.h"
#include "platform/MessageCore.h"

bool SendMainWindowRequest(std::atomic<int>& done, UINT message, WPARAM wParam) {
  done.store(0);
  plat::SendMessage(g_hMainWnd.load(), message, wParam, 0);
  while (done.load() == 0) {
    const HWND window = g_hMainWnd.load();
    if (window == nullptr || !plat::IsWindow(window)) return false;
    // The quit message stays in the queue for this thread's own loop.
    MSG quit;
    if (plat::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return false;
    plat::Sleep(1);
  }
  return true;
}

bool RequestStageFileOpen() {
  return SendMainWindowRequest(g_FileRequestDone, WM_APP_OPEN_STAGE, 0) && g_FileRequestResult.load() != 0;
}

bool RequestNameEntry() { return SendMainWindowRequest(g_NameEntryDone, WM_APP_NAME_ENTRY, 0); }

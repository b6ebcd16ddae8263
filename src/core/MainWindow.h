#pragma once
// The handle of the player's main window as the core services see it: every
// close request of the core is posted to it, and sound requests are sent to it.
// The shell sets it once it has bound its window and clears it on WM_DESTROY;
// while it is null, posts and sends to it do nothing.

#include <atomic>

#include "platform/WinTypes.h"

// Read and written from several threads, hence atomic; it converts to HWND
// wherever a handle is expected.
extern std::atomic<HWND> g_hMainWnd;

// Posts WM_CLOSE to g_hMainWnd; the window closes when its message loop next
// runs. False when there is no main window (nothing is posted).
bool PostCloseToMainWindow();

#pragma once
// The player's own messages to its main window: the other threads ask the main
// thread for these services by sending them (see the main window's procedure).

#include "platform/WinTypes.h"

constexpr UINT WM_APP_NAME_ENTRY = WM_USER + 1;         // 1025
constexpr UINT WM_APP_OPEN_STAGE = WM_USER + 2;         // 1026
constexpr UINT WM_APP_OPEN_REPLAY = WM_USER + 3;        // 1027
constexpr UINT WM_APP_SAVE_REPLAY = WM_USER + 4;        // 1028
constexpr UINT WM_APP_PLAY_SOUND = WM_USER + 5;         // 1029
constexpr UINT WM_APP_MUSIC = WM_USER + 6;              // 1030
constexpr UINT WM_APP_RESTORE_DISPLAY = WM_USER + 100;  // 1124

// Thread message that wakes a new thread's queue.
constexpr UINT WM_APP_WAKE_THREAD = WM_APP;  // 0x8000

#pragma once
// Requests another thread makes of the main window, which owns every dialog:
// the request is sent, and the caller waits in 1 ms sleeps until the main
// window has set the request's done flag. The wait also ends, the request
// counting as not done, when the window is gone or this thread is asked to
// quit (the player is closing and no longer serves requests), so a closing
// player never leaves a thread waiting on a dialog that will not come.

#include <atomic>

#include "platform/WinTypes.h"

// Clears `done`, sends `message` with `wParam` to the main window and waits
// for `done`. True when the main window finished the request.
bool SendMainWindowRequest(std::atomic<int>& done, UINT message, WPARAM wParam);

// The title menu's free play: the stage-file dialog (message 1026), where a
// chosen file starts the run. True when a file was chosen.
bool RequestStageFileOpen();

// The ranking name of the options: the name-entry dialog (message 1025).
// True when the dialog was shown and closed.
bool RequestNameEntry();

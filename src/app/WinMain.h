#pragma once
// The process entry of the player, after the command line was read: the
// report, the single-instance guard, the main window, start-up, the game
// thread, the message loop and shut-down.

#include "platform/CommandLine.h"
#include "platform/WinTypes.h"

// Runs the player. Returns the quit message's code after a normal run, 0
// after any start-up failure.
int WinMain(const plat::sCommandLine& commandLine);

// For wait loops on the main thread: takes and dispatches every message that
// is waiting (window events included). False when the quit message came: it
// is put back for the main loop, which must see it too.
bool PumpMainThreadMessages();

// The main loop's guard against a wait loop that took the quit message the
// main window's destruction posted (and did not put it back): once `window`
// is gone and no quit message waits, one is posted again. True when it was.
bool RepostSwallowedQuit(HWND window);

// The texts of the single-instance guard.
extern const char* const kAlreadyRunningText;
extern const char* const kAlreadyRunningCaption;
extern const char* const kCloseOtherFailedText;

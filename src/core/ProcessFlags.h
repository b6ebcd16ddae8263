#pragma once
// Process-wide flags that the shell sets at start-up and the other subsystems
// read. They live in core so that the data and world libraries can read them
// without depending on the shell.

#include <atomic>

// 1 when the editor started the player (show command 5), else 0. Set once by
// the entry before any data is loaded; read by the loaders (flows flagged for
// removal stay for the editor) and by test-play code on any thread.
extern std::atomic<int> g_LaunchedByEditor;

// The last activation flag the main window received: 0 while another
// application is active (and before the first activation). The game thread
// runs frames only while it is non-zero.
extern std::atomic<int> g_AppActive;

// 1 while a stage file named at start (command line or the FreeStage setting)
// is played: a test play. Set by start-up (and reset by the shell with its
// globals); read by the game code.
extern int g_TestPlay;

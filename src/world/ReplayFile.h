#pragma once
// Saving and opening replay files during a run. The game thread (or the pause
// loop) asks the main window, which owns the file dialogs, with message 1028
// (save a recording: wParam 0 the running attempt's, 1 the previous one's)
// or 1027 (open a replay), and waits for the request's done flag
// (core/RequestFlags.h). The main window's handlers name the file with
// ChooseReplayFileName and read or write it with cReplayInput (ReplayInput.h).
//
// Replay files live in "user_data\rpl4\" and end in "rpl4_781". A proposed
// name is the stage's name, its variant name when the progress plays a
// variant, with two digits inserted before the extension: the first of
// _00, _01, ... _88 that names no file yet, or _88 when all do.

#include <functional>
#include <string>
#include <string_view>

class cProgress;

// The folder of replay files, and their extension: "rpl4_" and the data
// version.
inline constexpr const char* kReplayFolder = "user_data\\rpl4\\";
inline constexpr const char* kReplayExtension = "rpl4_781";

// The name a recording of the stage `stageName` is proposed under, with its
// folder ("user_data\rpl4\abc_02.rpl4_781"), the variant taken from
// `progress`; "" for an empty stage name.
std::string ProposeReplayFileName(std::string_view stageName, const cProgress& progress);

// The save-file dialog of a recording: it starts on `name` (a proposal with
// its folder, or empty) in the replay folder and leaves the chosen path in
// it; false when cancelled.
using tReplaySaveDialog = std::function<bool(std::string& name)>;

// Main thread: the name a recording is saved under, into `name`: 1 when a
// name was chosen, 0 when the choice was cancelled. The name is chosen in
// `saveDialog`, which starts on the proposed name (g_Progress's variant), or
// on no name for a stage without one.
int ChooseReplayFileName(std::string& name, std::string_view stageName, const tReplaySaveDialog& saveDialog);

// The F1 / F2 save request of every phase of play that takes keys, once a
// frame: F1 held saves the running recording, otherwise F2 held the previous
// one. An empty recording is not saved: system sound 3, at most once per 60
// calls. Otherwise system sound 1 and the main window saves it (message 1028)
// while this thread waits. 1 when the main window was asked (the caller ends
// its frame), 0 otherwise; always 0 while a replay is played back
// (`replayPlaying`: the scene manager's title choice is 4) or while the system
// data records no replays.
int RequestReplaySave(bool replayPlaying);

// The title menu's replay choice: the main window lets the player choose a
// replay file and reads it into g_ReplayRec, g_Stage, g_StageInitial and
// g_Progress (message 1027) while this thread waits. 1 when a replay file was
// chosen.
int RequestReplayOpen();

// The cool-down of the empty-recording sound, in calls. Defined with every
// global object in app/Globals.cpp.
extern int g_ReplayWarnCooldown;

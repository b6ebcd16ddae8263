#pragma once
// The end of a cleared stage: the stage's counters go into the run's totals
// (with an extra life for every score step crossed), the results are checked
// against the stage's rankings, the player may enter them, and the next scene
// is worked out: the next stage of a series, the world map, the stage select,
// the title, or the same stage again.
//
// The game scene calls these from its play step and its stage-clear phase:
// ClearStage when the stage is cleared (then it enters the stage-clear
// phase), EnterRanking on the ranking key or on leaving the phase, NextStage
// when the phase ends. cStageClearState is the scene's record of it all; the
// stage-clear command of a flow fills its next stage number and name.
//
// What only the running scene can do (its play time, its close request, the
// extra-life message window, the modal ranking display) and the name dialog
// of the main window are reached through cStageClearHooks, which the scene
// and the shell install; without them those steps are skipped, so the
// bookkeeping runs headless in tests.

#include <cstdint>
#include <string>

#include "world/Ranking.h"
#include "world/StageClearState.h"

class cGameScene;

// The services of the running scene and of the shell the stage clear uses.
// Every hook may be null: the step it serves is then skipped.
struct cStageClearHooks {
  // The scene's play time of the stage in hundredths of a second.
  std::int32_t (*m_pPlayTime)(const cGameScene& scene) = nullptr;
  // Whether the main window asked the game to end.
  bool (*m_pCloseRequested)(const cGameScene& scene) = nullptr;
  // Puts up / takes down the extra-life message window (a kind-3 window that
  // follows the hero, 30 frames).
  void (*m_pShowExtraLife)(cGameScene& scene) = nullptr;
  void (*m_pRemoveExtraLife)(cGameScene& scene) = nullptr;
  // The modal ranking display (RankingLoop on thWorker1, the game thread
  // waiting); it ends on button 1.
  int (*m_pRankingLoop)(cGameScene& scene) = nullptr;
  // The main window's name dialog (message 1025): edits `name` in place;
  // false when the dialog could not be shown (the name then stays).
  bool (*m_pAskName)(std::string& name) = nullptr;
};

// Installs the hooks; each later call replaces all of them (tests reset them
// with an empty record).
void SetStageClearHooks(const cStageClearHooks& hooks);
const cStageClearHooks& StageClearHooks();

// The most extra lives one stage clear grants: lives never exceed it, so more
// steps could add nothing but messages.
inline constexpr std::int32_t kLivesLimit = 99;

// System sound 14, AddClearTotals, then the results and, when the play level
// keeps rankings and the stage ends its series (any stage in a test play), the
// rank each result takes on the boards both the play level and the stage
// enable. Not for a player started by the editor.
void ClearStage(cGameScene& scene);

// Adds the stage's score, time left (when the stage has a time limit), play
// time, and the hero's HP and SP to the run's totals (saturating at the i32
// range), then one extra life per score step crossed, each with its sound,
// message and 30-frame wait; a close request ends the granting.
void AddClearTotals(cGameScene& scene);

// Once per clear, when the results qualify: the name (asked in ranking modes
// 0 and 2, the options' name in modes 1 and 3), sound 16, the results put on
// their boards, the ranking file saved (a failure is reported), then the
// ranking display.
void EnterRanking(cGameScene& scene);

// The next file of the progress record's series for stage number n: the
// next stage name when one was given ("<name>.stg4"), else "<base>-<n>.stg4",
// in its newest numbered version. False, with `out` empty, when the run is
// not a series, n is 0 or no such file exists.
bool MakeNextStagePath(const cGameScene& scene, std::string& out, int n);
// True when MakeNextStagePath finds no file for n.
bool IsLastOfSeries(const cGameScene& scene, int n);

// Stores the hero's carried status when the stage carries it, then decides
// where the run goes: the next scene type (0 title, 1 world map, 3 stage
// select, 4 the game scene again with the next stage or the same one).
int NextStage(cGameScene& scene);

// ---- the ranking display's steps (the scene's RankingLoop runs them) ----------------

// Puts the progress record's genre cursor on the nearest genre the play level ranks.
void BeginRankingDisplay();
// One frame's keys (filtered buttons of device 0): button 1 ends the display
// (true) with sound 1; button 4 steps the genre with sound 6 when the play
// level ranks two genres or more.
bool StepRankingDisplay(std::uint32_t buttons);
// The board of the current genre at (184, 64), its new rank highlighted.
void DrawRankingDisplay(const cGameScene& scene, DDSURFACEDATA* lpDst);

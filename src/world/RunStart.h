#pragma once
// Starting a run: the live progress record goes back to the state a new game
// starts from, for a new story or for the play of one stage file.

#include <string_view>

// The play modes whose lives rules the run starts read.
inline constexpr int kPlayModeStory = 0;
inline constexpr int kPlayModeStageFile = 2;

// The lives a run starts a stage with in a play mode: 999999 in both values
// when `bInfinite` or the system data gives the mode infinite lives;
// otherwise the mode's initial lives at the start, and one fewer left (the
// life in play is not counted).
void GiveRunStartLives(int nPlayMode, bool bInfinite);

// A new story: the common reset of g_Progress, the walker on the world map's
// start cell, lap 0, and the lives of play mode 0.
void ResetStoryRun();

// The play of one stage file: the common reset of g_Progress, then the stage
// loaded for play (with `bResolve` the newest numbered version of the named
// file), stage number 1, the lives of play mode 2 (infinite in test play) and
// the stage name relative to the working folder. 0 when the stage could not
// be loaded (the loader reports why; g_Progress stays reset), else 1.
int StartStageFromFile(std::string_view path, bool bResolve);

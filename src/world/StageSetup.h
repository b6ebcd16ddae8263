#pragma once
// The pieces of stage set-up (cGameScene::SetStage, StageSetup.cpp) that are
// rules of their own: the music a stage start asks for, the stage music
// request itself, and which sub-steps of a frame run the contact tests.

#include <cstdint>
#include <vector>

// No music request at all (the tune playing goes on).
inline constexpr int kNoMusicRequest = -1;

// The tune a stage start requests (0 stops the music), or kNoMusicRequest.
// A fresh start requests the stage's tune unless the stage keeps its music
// and that tune is playing already (a tune of 0 is then stopped again); a
// restart requests it only when another tune is playing.
int StageMusicRequest(int stageTune, int keepMusic, int playingTune, int fresh);

// Asks the main window for stage tune `tune` (Bgm database index, 0 stops),
// looping when `loop` is 1. The loop flag is kept in the progress record for
// the main window to read; the main window records the tune as playing.
void RequestStageBgm(int tune, int loop);

// One entry per sub-step, 1 where the contact tests run: all of them for 0
// contact checks; otherwise m entries spread evenly over the n sub-steps
// (floor(k x n / m)), the last sub-step added when fewer were set.
std::vector<int32_t> BuildSubStepMask(int subSteps, int contactChecks);

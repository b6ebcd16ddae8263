#pragma once
// The headless runner: the player's own start-up, scenes and frames on one
// thread that is both the main thread and the game thread, with the null
// presenter, an offline sound device (RunAudio.h: never a sound card), a
// clock that moves one frame per frame, scripted keys and scripted dialog
// answers, no window and no pacing. It observes the run and adds nothing to
// what the player does.

#include <cstdint>
#include <functional>
#include <string>

namespace runner {

struct sRunOptions {
  std::string dir;           // the working folder; empty: the current one
  std::string stage;         // a stage file to test-play; empty: start as the player starts
  std::string keys;          // the key script file
  std::int64_t frames = -1;  // frames of the game to run; -1 until the player quits
  std::string trace;         // the trace file
  std::string shotsDir;      // screenshots as BMP files
  int shotEvery = 0;
  std::string recordReplay;  // the run's replay, saved at the end (RunReplay.h)
  std::string replay;        // a run's replay played instead of the keys the play phase reads
  std::string audioOut;      // the run's sound as a WAV file (RunAudio.h)
  // The display loses its video memory at the top of this frame, as a mode
  // change or a lost full screen would make it (-1: never).
  std::int64_t loseDisplayAt = -1;
  // The drawing path and depth in place of System.ini's: -1 and 0 keep the
  // file's. A depth runs full screen, where the depth is the one asked (a
  // window draws at the desktop's, 32 bits here).
  int direct3D = -1;
  int bpp = 0;
  // Called at the top of each frame with its number, before the keys are
  // set; benchmarks time frames and read the world through it.
  std::function<void(std::int64_t frame)> onFrame;
  bool help = false;  // --help: print RunnerUsage() and run nothing
};

// What --help prints: the options and the key script's syntax.
const char* RunnerUsage();

// Parses the command line; false with the reason in `error`.
bool ParseRunOptions(int argc, char** argv, sRunOptions& options, std::string& error);

// Runs the player once. 0 when the run ended as asked; otherwise non-zero
// with the reason in `error`.
int RunHeadless(const sRunOptions& options, std::string& error);

}  // namespace runner

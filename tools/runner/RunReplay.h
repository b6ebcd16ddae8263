#pragma once
// The run's replay: a replay file holds one attempt at the stage, so a run
// that loses a life or restarts is kept as a chain of replay files, one an
// attempt, in the order they were played: the named file holds the first
// attempt, "stem.2.ext" the second, and so on. Playing the chain back, each
// restart of the replay reads the next attempt's file where the player would
// read the same file again; the last attempt restarts itself as the player
// restarts any replay.

#include <cstdint>
#include <string>
#include <vector>

#include "data/Progress.h"
#include "world/ReplayInput.h"

namespace runner {

// The file of attempt `attempt` (1-based) of the chain named `path`.
std::string AttemptFileName(const std::string& path, int attempt);

// Collects the attempts of a live run as they end. The game scene moves the
// running attempt's recording to the previous one whenever a new attempt
// starts (with a new seed), so each frame's look at the recorder is enough.
class cRunRecorder {
 public:
  // Called once a frame, before the frame runs.
  void Observe();
  // Writes the chain through the replay writer with the stage as it is now,
  // and removes the files of a longer chain left by an earlier run. False
  // with the reason in `error`.
  bool Save(const std::string& path, std::string& error);

 private:
  struct sAttempt {
    cReplayInput keys;
    cProgress progress;
  };
  std::vector<sAttempt> m_Attempts;
  bool m_Recording = false;
  std::int32_t m_Seed = 0;
  // An attempt was lost between two looks: the chain would not play back
  // as the run went.
  bool m_Broken = false;
};

// Steers the player's replay restarts along the chain.
class cRunPlayer {
 public:
  explicit cRunPlayer(std::string path) : m_Path(std::move(path)) {}
  // Called once the first attempt is loaded, and once a frame.
  void Observe();

 private:
  std::string m_Path;
  int m_Attempt = 0;
  std::int32_t m_Seed = 0;
};

}  // namespace runner

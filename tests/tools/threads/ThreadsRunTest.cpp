// A short whole game through the runner, short enough for the
// ThreadSanitizer step (label threadrun): the key script
// tests/tools/keys/threads.keys crosses each place where one thread hands the
// game to another (the main window's requests, the pause menu, a death and
// a restart, the modal wait of a message, the save, the close). The run ends
// because the player closed, and the trace shows it went where the script
// leads.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/SceneManager.h"
#include "tools/RunnerFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPhaseReady = 1;
constexpr int kPhasePause = 3;
constexpr int kPhaseStageClear = 4;

struct sFrame {
  long long frame = 0;
  int scene = 0;
  int phase = 0;
};

class ThreadsRunTest : public runnertest::cRunnerFolder {
 protected:
  std::vector<sFrame> Frames(const fs::path& file) const {
    std::vector<sFrame> frames;
    for (const std::string& line : Lines(file)) {
      std::istringstream in(line);
      sFrame f;
      if (in >> f.frame >> f.scene >> f.phase) frames.push_back(f);
    }
    return frames;
  }
};

TEST_F(ThreadsRunTest, AShortGameCrossesTheThreadsAndEndsByTheTitlesClose) {
  const fs::path trace = m_Folder / "trace.txt";
  const std::string keys = (fs::path(KESTROVA_TEST_KEYS) / "threads.keys").string();
  // The frame count is only a bound, twice the script's length, so a script
  // that stops short fails instead of running on for ever: the run must end
  // by the player's own close before it (status 4, "the player quit").
  ASSERT_EQ(4, Run({"--keys", keys, "--trace", trace.string(), "--frames", "4000"})) << ErrorText();
  EXPECT_NE(ErrorText().find("the player quit at frame"), std::string::npos) << ErrorText();
  const std::vector<sFrame> frames = Frames(trace);
  ASSERT_FALSE(frames.empty());
  EXPECT_GE(frames.back().frame, 1910) << "closed before the title's last entry was chosen";

  // The scenes in turn, and what happened inside each game scene: entering
  // the ready phase, pausing, clearing.
  std::vector<int> scenes;
  std::vector<std::string> games;
  const sFrame* previous = nullptr;
  for (const sFrame& f : frames) {
    if (previous == nullptr || previous->scene != f.scene) {
      scenes.push_back(f.scene);
      if (f.scene == SCENE_GAME) games.emplace_back();
    }
    if (f.scene == SCENE_GAME && (previous == nullptr || previous->phase != f.phase)) {
      if (f.phase == kPhaseReady) games.back() += 'R';
      if (f.phase == kPhasePause) games.back() += 'P';
      if (f.phase == kPhaseStageClear) games.back() += 'C';
    }
    previous = &f;
  }
  EXPECT_EQ((std::vector<int>{SCENE_TITLE, SCENE_GAME, SCENE_TITLE, SCENE_WORLD_MAP, SCENE_MAP_MENU, SCENE_TITLE,
                              SCENE_GAME, SCENE_TITLE}),
            scenes);
  // The first stage: the start, the death, the pause menu's restart, the
  // pause menu that leaves. The ending: its words, its clear, a second
  // round left from the pause menu.
  EXPECT_EQ((std::vector<std::string>{"RRPRP", "RCRP"}), games);
  EXPECT_TRUE(fs::exists(m_Folder / "user_data" / "story" / "Story01.dat")) << "the map menu saved the story";
}

}  // namespace

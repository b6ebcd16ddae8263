// Runs of the player one after another in the same process, as the frame
// bench makes them: each must play as if it were the first.

#include <cstdlib>

#include "HeadlessRun.h"
#include "RunnerFolder.h"

namespace runnertest {
namespace {

class RunInProcessTest : public cRunnerFolder {
 protected:
  // One run in a fresh copy of the game; its trace.
  std::vector<std::string> RunHere(const char* keys, long long frames) {
    CopyGame();
    runner::sRunOptions options;
    options.dir = m_Folder.string();
    if (keys != nullptr) options.keys = (fs::path(KESTROVA_TEST_KEYS) / keys).string();
    options.frames = frames;
    options.trace = (m_Temp.Path().parent_path() / (m_Folder.filename().string() + "-trace.txt")).string();
    const fs::path previous = fs::current_path();
    std::string error;
    EXPECT_EQ(runner::RunHeadless(options, error), 0) << error;
    fs::current_path(previous);
    std::vector<std::string> lines = Lines(options.trace);
    fs::remove(options.trace);
    return lines;
  }
};

// The title's trace carries the progress (score, lives, variables): a game
// played before must not show in it.
TEST_F(RunInProcessTest, ARunAfterAnotherPlaysAsTheFirst) {
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::vector<std::string> first = RunHere(nullptr, 20);
  ASSERT_EQ(first.size(), 20u);
  RunHere("game.keys", 600);
  EXPECT_EQ(RunHere(nullptr, 20), first);
}

}  // namespace
}  // namespace runnertest

#include "world/AnimePlayer.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/Log.h"
#include "core/SafeAccess.h"

namespace {

cFrameScript Script(std::initializer_list<cAnimeFrame> rows) { return cFrameScript(rows); }

// The patterns `calls` updates return.
std::vector<int> Play(cAnimePlayer& player, int calls) {
  std::vector<int> patterns;
  for (int i = 0; i < calls; ++i) patterns.push_back(player.Update());
  return patterns;
}

std::vector<int> Repeat(int pattern, int count) { return std::vector<int>(static_cast<std::size_t>(count), pattern); }

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class AnimePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearFatalPendingForTests(); }
  void TearDown() override {
    ClearFatalPendingForTests();
    ResetLogsForTests();
  }
};

TEST_F(AnimePlayerTest, ScriptsPlayByTheirControlRows) {
  const struct {
    const char* name;
    cFrameScriptTable scripts;
    int calls;
    std::vector<int> patterns;
  } cases[] = {
      {"loop", {Script({{5, 12, 0}, {7, 6, 0}, {-2, 0, 1}})}, 20, Join({Repeat(5, 11), Repeat(7, 6), Repeat(5, 3)})},
      {"hold", {Script({{3, 2, 0}, {4, 2, 0}, {-1, 0, 0}})}, 8, Join({Repeat(3, 1), Repeat(4, 7)})},
      {"one-shot", {Script({{8, 3, 0}, {-4, 0, 0}})}, 5, Join({Repeat(8, 2), Repeat(-4, 3)})},
      {"one-row loop", {Script({{-2, 0, 0}})}, 3, Repeat(-2, 3)},
      // A row of duration 0 is left on the very next call, even after a loop.
      {"zero duration", {Script({{1, 0, 0}, {2, 1, 0}, {-2, 0, 0}})}, 4, {2, 1, 2, 1}},
      // A -3 row switches in the same call: animation 2's row 0 shows at once.
      {"jump",
       {Script({{1, 2, 0}, {-3, 2, 0}}), Script({{9, 1, 0}}), Script({{6, 3, 0}, {-2, 0, 0}})},
       4,
       {1, 6, 6, 6}},
      // Rows after the first control row are not kept.
      {"cut", {Script({{1, 1, 0}, {-2, 0, 0}, {99, 1, 0}})}, 3, {1, 1, 1}},
  };
  for (const auto& c : cases) {
    cAnimePlayer player;
    player.Setup(c.scripts);
    EXPECT_EQ(c.patterns, Play(player, c.calls)) << c.name;
  }
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(AnimePlayerTest, LocksRefuseUnforcedStartsButNotTheCurrentAnimation) {
  cAnimePlayer player;
  player.Setup({Script({{1, 5, 1}, {-2, 0, 0}}), Script({{2, 5, 0}, {-2, 0, 0}})});
  player.Update();
  EXPECT_EQ(0, player.SetAnime(1, 0));
  EXPECT_EQ(0, player.CurrentAnime());
  EXPECT_EQ(1, player.Tick());
  EXPECT_EQ(1, player.ChangeAnime(0, 0));
  EXPECT_EQ(1, player.Tick());
  EXPECT_EQ(1, player.SetAnime(1, 1));
  EXPECT_EQ(2, player.GetPattern());
  // Starting the current animation again restarts it.
  player.Update();
  EXPECT_EQ(1, player.SetAnime(1, 0));
  EXPECT_EQ(0, player.Tick());
  // The lock is the low byte of the third value.
  player.Setup({Script({{1, 5, 0x100}})});
  EXPECT_EQ(1, player.SetAnime(0, 0));
}

TEST_F(AnimePlayerTest, DamagedScriptsNeitherStopTheGameNorLeaveTheirRows) {
  cAnimePlayer player;
  // A jump to an animation that does not exist keeps showing the row before.
  player.Setup({Script({{4, 1, 0}, {-3, 7, 0}})});
  EXPECT_EQ((std::vector<int>{4, 4, 4}), Play(player, 3));
  EXPECT_EQ(0, player.SetAnime(-1, 1));
  // A hold on the first row stays there; a script without a control row
  // holds its last row.
  player.Setup({Script({{-1, 0, 0}}), Script({{6, 1, 0}, {7, 1, 0}})});
  EXPECT_EQ((std::vector<int>{-1, -1}), Play(player, 2));
  player.SetAnime(1, 1);
  EXPECT_EQ((std::vector<int>{7, 7, 7}), Play(player, 3));
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(AnimePlayerTest, EmptyAndClearedPlayersShowPatternZero) {
  cAnimePlayer player;
  EXPECT_EQ(0, player.Update());
  player.Setup({Script({{3, 4, 0}, {-2, 0, 0}})});
  player.Update();
  player.Clear();
  EXPECT_EQ(0, player.AnimeCount());
  EXPECT_EQ(0, player.GetPattern());
  EXPECT_EQ(0, player.Tick());
}

}  // namespace

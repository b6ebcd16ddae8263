// The fakes the flow and world tests rely on record what they stand in for.

#include <gtest/gtest.h>

#include "core/SoundRequest.h"
#include "support/TestWorld.h"
#include "support/WorldFakes.h"

namespace {

TEST(WorldFakesTest, TheSoundLogSeesTheSlotsAskedFor) {
  cSoundLog sounds;
  PlaySystemSound(11);
  PlayDataSound(3);
  PlayDataSound(0);  // "none" asks for nothing
  EXPECT_EQ(sounds.Sounds(), (std::vector<int>{11, 19}));
}

TEST(WorldFakesTest, TheSceneRecordsItsModalWaits) {
  cTestWorld world;
  cTestGameScene& scene = world.Scene();
  scene.m_GameWait.Set(GAME_WAIT_EFFECT, 0, 30, 0);
  EXPECT_EQ(g_GameScene->PauseLoop(), 1);
  scene.m_GameWait.Set(GAME_WAIT_MESSAGE, 1, 0, 1);
  scene.m_PauseLoopResult = 0;
  EXPECT_EQ(g_GameScene->PauseLoop(), 0);
  ASSERT_EQ(scene.m_Waits.size(), 2u);
  EXPECT_EQ(scene.m_Waits[0].m_Wait.m_Kind, GAME_WAIT_EFFECT);
  EXPECT_EQ(scene.m_Waits[0].m_Frames, 31);
  EXPECT_EQ(scene.m_Waits[1].m_Wait.m_WaitForKey, 1);
  EXPECT_EQ(scene.m_Waits[1].m_Frames, 0);
}

}  // namespace

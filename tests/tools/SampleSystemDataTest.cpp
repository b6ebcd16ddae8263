// The sample game's System.dat: written by the generator, loaded by the
// player's start-up step against the game's own databases.

#include "SampleSystemData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleGame.h"
#include "data/RecordTestSupport.h"
#include "platform/MessageBox.h"

namespace {

class SampleSystemDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    m_SavedDatabase = g_Database;
    ResetSystemDataForTests();
  }
  void TearDown() override {
    plat::SetMessageBoxSink({});
    g_Database = m_SavedDatabase;
    ResetSystemDataForTests();
  }

  recordtest::cTempFolder m_Folder;
  std::vector<std::string> m_Boxes;
  cDatabase m_SavedDatabase;
};

TEST_F(SampleSystemDataTest, StartUpLoadsTheGamesSystemData) {
  std::string error;
  ASSERT_TRUE(samplegame::WriteSampleGame("data", error)) << error;
  ASSERT_TRUE(samplegame::WriteSampleSystemData("data", error)) << error;

  ASSERT_TRUE(g_Database.LoadFrom("data\\database\\"));
  ASSERT_TRUE(LoadSystemData());
  EXPECT_TRUE(m_Boxes.empty());

  EXPECT_EQ("サンプルゲーム", g_System.m_strTitle);
  EXPECT_EQ(samplegame::kStageCount, g_System.m_nStageCount);
  // The menu scenes' music survives the check against the loaded music list.
  const char* const tunes[] = {"タイトル", "マップ", "ステージ", "タイトル"};
  for (int scene = 0; scene < kSceneBgmCount; ++scene) {
    const int tune = g_System.m_SceneBgm[scene];
    ASSERT_GT(tune, 0) << scene;
    EXPECT_EQ(tunes[scene], g_Database.m_Bgms[tune].m_strName) << scene;
  }
  EXPECT_EQ("wave\\Cursor.wav", g_System.m_SystemSounds[0]);
  // The option scene edits by position: the labels read back in their places.
  ASSERT_EQ(6u, g_System.m_OptionMenu.size());
  EXPECT_EQ("BGM", g_System.m_OptionMenu[1].m_strLabel);
  EXPECT_EQ("もどる", g_System.m_OptionMenu[5].m_strLabel);
  EXPECT_EQ(0, g_System.m_OptionMenu[0].m_bEnabled);
  EXPECT_EQ(1, g_System.m_bTitlePictures);
  // Everything else is a new game's.
  const cSystemData defaults;
  EXPECT_EQ(defaults.m_MapMenu.size(), g_System.m_MapMenu.size());
  EXPECT_EQ(defaults.m_Messages[10], g_System.m_Messages[10]);
  EXPECT_EQ(defaults.m_IniKeys[0].m_nNumber, g_System.m_IniKeys[0].m_nNumber);
}

TEST_F(SampleSystemDataTest, UnwritableFolderIsReported) {
  recordtest::WriteFileBytes("blocked", {1});
  std::string error;
  EXPECT_FALSE(samplegame::WriteSampleSystemData("blocked", error));
  EXPECT_NE(std::string::npos, error.find("System.dat")) << error;
}

}  // namespace

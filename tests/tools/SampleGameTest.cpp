// The sample game: the generator writes a whole data tree, and the player's
// own loaders read every file of it back: the databases, the world map, the
// common palette, and every stage the world map names, loaded for play.

#include "SampleGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/Thread.h"
#include "data/RecordTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "platform/PathResolver.h"

namespace {

// Counts the commands of a type in a character's flows.
int CountFlowCommands(const cCharaData& chara, int nType) {
  int count = 0;
  for (const cFlow& flow : chara.m_Flows)
    for (const cCommand& command : flow.m_Commands) count += command.m_nSet == 0 && command.m_nType == nType;
  return count;
}

class SampleGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    m_SavedDatabase = g_Database;
    m_SavedPalette = g_CommonPalette;
  }
  void TearDown() override {
    plat::SetMessageBoxSink({});
    g_Database = m_SavedDatabase;
    g_CommonPalette = m_SavedPalette;
  }

  recordtest::cTempFolder m_Folder;
  std::vector<std::string> m_Boxes;
  cDatabase m_SavedDatabase;
  cPalette m_SavedPalette;
};

TEST_F(SampleGameTest, EveryFileOfTheTreeLoadsThroughThePlayersLoaders) {
  std::string error;
  ASSERT_TRUE(samplegame::WriteSampleGame("data", error)) << error;

  // The databases, as start-up loads them.
  cDatabase db;
  ASSERT_TRUE(db.LoadFrom("data\\database\\"));
  EXPECT_GE(db.m_Animes.size(), 4u);
  EXPECT_EQ(db.m_AnimeSets.size(), 2u);
  EXPECT_EQ(db.m_Effects[1].m_Frames.size(), 4u);
  EXPECT_EQ(db.m_Sounds.size(), 5u);
  EXPECT_EQ(db.m_Sounds[1].m_strFile, "se\\Jump.wav");
  EXPECT_EQ(db.m_Bgms.size(), 5u);
  g_Database = db;

  cWorldMap map;
  ASSERT_TRUE(cDataRecord::LoadFile(map, "data\\WorldMap.dat"));
  // The stages' nodes, then the ending's.
  ASSERT_EQ(map.m_Nodes.size(), static_cast<std::size_t>(samplegame::kStageCount) + 1);
  // The path from the start reaches every node.
  for (const cWorldNode& node : map.m_Nodes) {
    for (int x = map.m_nStartX; x <= node.m_nX; ++x) {
      const int kind = map.CellAt(x, node.m_nY);
      EXPECT_EQ(map.m_CellKinds[kind].m_bImpassable, 0) << x;
    }
  }

  ASSERT_TRUE(LoadCommonPalette("data\\CommonPalette.cplt4"));
  EXPECT_EQ(g_CommonPalette.m_Charas.size(), 5u);
  EXPECT_EQ(g_CommonPalette.m_Items[2].m_Commands.size(), 1u);

  cThread worker;
  int bosses = 0;
  int allShooters = 0;
  for (int n = 0; n < samplegame::kStageCount; ++n) {
    const cWorldStage& entry = map.m_Nodes[static_cast<std::size_t>(n)].m_Stages[0];
    SCOPED_TRACE(entry.m_strStageFile);
    cStageData stage;
    cStageData initial;
    ASSERT_EQ(LoadStageForPlayOn(entry.m_strStageFile, true, &initial, stage, worker), 1);
    EXPECT_TRUE(stage.HasHero());
    EXPECT_EQ(initial.m_Name, stage.m_Name);
    EXPECT_FALSE(stage.m_PlacedBlocks.empty());
    EXPECT_GT(stage.m_Bgm, 0);

    int walkers = 0, shooters = 0, clears = 0;
    for (const cCharaData& chara : stage.m_PlacedCharas) {
      walkers += CountFlowCommands(chara, FLOW_CMD_GROUND_TURN_MOVE) > 0;
      shooters += CountFlowCommands(chara, FLOW_CMD_SHOT) > 0 && chara.m_nOperator == CHARA_BY_COMPUTER;
      clears += CountFlowCommands(chara, FLOW_CMD_STAGE_CLEAR);
    }
    for (const cItemData& item : stage.m_PlacedItems)
      for (const cCommand& command : item.m_Commands)
        clears += command.FlowEquivalentType() == FLOW_CMD_STAGE_CLEAR;
    EXPECT_GT(walkers, 0);
    EXPECT_GE(clears, 1) << "every stage can be cleared";
    bosses += stage.m_PlacedCharas.size() > 0 && stage.m_PlacedCharas.back().m_nMhp >= 20;
    allShooters += shooters;
  }
  EXPECT_EQ(bosses, 1);
  EXPECT_GT(allShooters, 0);

  // The ending opens after the last stage, clears itself, and its clear
  // ends the story on the title.
  const cWorldStage& ending = map.m_Nodes.back().m_Stages[0];
  EXPECT_EQ(samplegame::kStageCount, ending.m_nNeedFlag);
  EXPECT_EQ(0, ending.m_bPassThrough);
  EXPECT_EQ(2, ending.m_nAfterClear);
  cStageData stage;
  cStageData initial;
  ASSERT_EQ(LoadStageForPlayOn(ending.m_strStageFile, true, &initial, stage, worker), 1);
  ASSERT_TRUE(stage.HasHero());
  EXPECT_EQ(1, CountFlowCommands(stage.m_PlacedCharas.back(), FLOW_CMD_STAGE_CLEAR));
  EXPECT_EQ(1, stage.m_AutoAdvance);
  EXPECT_TRUE(m_Boxes.empty()) << m_Boxes.front();
}

TEST_F(SampleGameTest, WritingTwiceGivesTheSameFiles) {
  std::string error;
  ASSERT_TRUE(samplegame::WriteSampleGame("a", error)) << error;
  ASSERT_TRUE(samplegame::WriteSampleGame("b", error)) << error;
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator("a")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::filesystem::path other = "b" / std::filesystem::relative(entry.path(), "a");
    EXPECT_EQ(recordtest::ReadFileBytes(entry.path()), recordtest::ReadFileBytes(other)) << other;
  }
  EXPECT_EQ(files, kDatabaseFileCount + 2 + samplegame::kStageCount + 1);
}

}  // namespace

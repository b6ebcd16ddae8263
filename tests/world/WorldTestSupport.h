#pragma once
// Shared fixture of the game world's tests: the world's globals, the stage,
// the progress, the system data and the logs back at their start state before
// and after each test; a scripted key source installed; a game scene whose
// camera spans a small stage (20 x 15 cells) when a test asks for one; and a
// temporary working folder for tests that touch files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/SafeAccess.h"
#include "data/BlockData.h"
#include "data/CharaData.h"
#include "data/Palette.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "platform/KeySource.h"
#include "support/TempFolder.h"
#include "world/GameScene.h"
#include "world/KeyConfig.h"
#include "world/WorldGlobals.h"

namespace worldtest {

class cWorldFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetState();
    plat::SetKeySource(&m_Keys);
  }

  void TearDown() override {
    plat::SetKeySource(nullptr);
    ResetState();
    m_Temp.reset();
  }

  static void ResetState() {
    ResetWorldGlobalsForTests();
    ResetSystemDataForTests();
    ResetCommonPaletteForTests();
    g_Stage = cStageData();
    g_StageInitial = cStageData();
    g_Progress = cProgress();
    g_ReplayRecProgress = cProgress();
    g_ReplayPrevProgress = cProgress();
    g_ReadVersion = DATA_VERSION;
    ResetLogsForTests();
    ClearFatalPendingForTests();
  }

  // A fresh temporary working folder with the replay folder in it.
  void EnterTempFolder() {
    m_Temp.emplace("kestrova_world", testsupport::cTempFolder::kMakeWorkingFolder);
    m_Folder = m_Temp->Path();
    std::filesystem::create_directories("user_data/rpl4");
  }

  // A stage of 20 x 15 cells: the hero (3 hit points) on stage cell
  // (heroColumn, heroRow) and a floor of blocks along row 11.
  static cStageData HeroOnAFloor(int heroColumn = 2, int heroRow = 10) {
    cStageData stage;
    stage.m_Width = 20;
    stage.m_Height = 15;
    stage.m_AreaLimitX = 20 * kCellDots;
    stage.m_AreaLimitY = 15 * kCellDots;
    cCharaData hero;
    hero.m_nOperator = CHARA_BY_PLAYER;
    hero.m_nGraphic = 1;
    hero.m_nCellX = static_cast<int16_t>(heroColumn);
    hero.m_nCellY = static_cast<int16_t>(heroRow);
    hero.m_nMhp = 3;
    stage.m_PlacedCharas.push_back(hero);
    for (int x = 0; x < 20; ++x) {
      cBlockData block;
      block.m_nGraphic = 1;
      block.m_nCellX = static_cast<int16_t>(x);
      block.m_nCellY = 11;
      stage.m_PlacedBlocks.push_back(block);
    }
    return stage;
  }

  // The game scene of a stage `width` x `height` cells with `subSteps`
  // sub-steps, its camera at (cameraX, cameraY), the scroll limits on the
  // whole stage area and the removal limits at the grid's far edges.
  cGameScene& MakeScene(int width = 20, int height = 15, int subSteps = 1, double cameraX = 320,
                        double cameraY = 320) {
    g_Stage.m_Width = width;
    g_Stage.m_Height = height;
    g_Stage.ApplyHitLevel(subSteps);
    m_Scene.m_ScrollX.SetMap(0, width, (width + 20) * 32 - 640);
    m_Scene.m_ScrollY.SetMap(1, height, (height + 20) * 32 - 640);
    m_Scene.m_ScrollX.SetBounds(0, 0, 0, 0);
    m_Scene.m_ScrollY.SetBounds(0, 0, 0, 0);
    m_Scene.m_ScrollX.m_Position = cameraX;
    m_Scene.m_ScrollY.m_Position = cameraY;
    g_GameScene = &m_Scene;
    return m_Scene;
  }

  plat::cScriptedKeySource m_Keys;
  cGameScene m_Scene;
  std::optional<testsupport::cTempFolder> m_Temp;
  std::filesystem::path m_Folder;
};

}  // namespace worldtest

// Foot effects and item blocks under the hero: what each effect does to the
// speeds over one frame of sub-steps, how long it lasts after the hero steps
// off, and when an item block gives its item again.

#include "world/FootAndItemBlocks.h"

#include <gtest/gtest.h>

#include "WorldTestSupport.h"
#include "data/BlockData.h"
#include "world/CharaMotion.h"
#include "world/Hero.h"
#include "world/MapGrid.h"

namespace {

constexpr int kSubSteps = 4;

class FootAndItemBlocksTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    MakeScene(20, 15, kSubSteps);
    g_MapGrid = cSafeVector<cMapCell>(8);
    for (cMapCell& cell : g_MapGrid) cell.m_nContact = BLOCK_CONTACT_SOLID;
    Player.assign(1, cHero());
    m_Hero = &Player[0];
    Stand(0);
  }

  cMapCell& Cell(int index) { return g_MapGrid[index]; }

  void SetFoot(int index, int effect, int value) {
    Cell(index).m_nFootEffect = static_cast<std::uint8_t>(effect);
    Cell(index).m_nFootValue = value;
  }

  // The hero on cell `index` (-1: in the air), as the map collision leaves it.
  void Stand(int index) {
    m_Hero->m_nPrevLastCellBelow = m_Hero->m_nLastCellBelow;
    m_Hero->m_nCellBelow = index;
    if (index >= 0) m_Hero->m_nLastCellBelow = index;
    m_Hero->m_bAirborne = index < 0 ? 1 : 0;
  }

  cHero* m_Hero = nullptr;
};

TEST_F(FootAndItemBlocksTest, SpeedEffectsLastOneFrameAfterStepping) {
  struct Case {
    const char* name;
    int effect;
    int value;
    double startVX;
    double startCmdVX;
    double vxAfterFirst;
    double cmdVXAfter;
  };
  const double push = 20 * 0.1 / kSubSteps;
  const Case cases[] = {
      {"speed factor 50%", FOOT_SPEED, 50, 2.0, 1.0, 1.0, 1.0},
      {"push left cancels a command to the right", FOOT_PUSH_LEFT, 20, 0.0, 1.5, -push, 0.0},
      {"push left keeps a command to the left", FOOT_PUSH_LEFT, 20, 0.0, -1.5, -push, -1.5},
      {"push right cancels a command to the left", FOOT_PUSH_RIGHT, 20, 0.0, -1.5, push, 0.0},
  };
  for (const Case& c : cases) {
    SetUp();
    SetFoot(0, c.effect, c.value);
    m_Hero->m_VX = c.startVX;
    m_Hero->m_CmdVX = c.startCmdVX;
    m_Hero->m_VY = 0.0;
    ApplyFootBlock(*m_Hero);
    EXPECT_DOUBLE_EQ(m_Hero->m_VX, c.vxAfterFirst) << c.name;
    EXPECT_DOUBLE_EQ(m_Hero->m_CmdVX, c.cmdVXAfter) << c.name;

    // Stepped off onto a plain cell: the effect runs out its frame.
    Stand(1);
    for (int step = 1; step < kSubSteps; ++step) {
      EXPECT_GT(m_Hero->m_nFootTimer, 0) << c.name << " step " << step;
      ApplyFootBlock(*m_Hero);
    }
    EXPECT_EQ(m_Hero->m_nFootTimer, 0) << c.name;
    EXPECT_DOUBLE_EQ(m_Hero->m_VY, 1.0) << c.name << ": the end of the effect presses the hero down";

    const double settled = m_Hero->m_VX;
    ApplyFootBlock(*m_Hero);  // a plain cell starts nothing
    EXPECT_DOUBLE_EQ(m_Hero->m_VX, settled) << c.name;
  }
}

TEST_F(FootAndItemBlocksTest, SpringThrowsTheHeroUpAsAFinishedJump) {
  SetFoot(0, FOOT_JUMP, 6);
  m_Hero->m_bJumpReady = 1;
  ApplyFootBlock(*m_Hero);
  EXPECT_DOUBLE_EQ(m_Hero->m_VY, JumpSpeedForHeight(6, 1));
  EXPECT_LT(m_Hero->m_VY, 0.0);
  EXPECT_EQ(m_Hero->m_bJumped, 1);
  EXPECT_EQ(m_Hero->m_bJumpRising, 1);
  EXPECT_EQ(m_Hero->m_bJumpReady, 0);
  EXPECT_EQ(m_Hero->m_nJumpHold, JumpSubSteps(m_Hero->m_VY));
}

TEST_F(FootAndItemBlocksTest, JumpBanHoldsUntilAnotherSolidCell) {
  SetFoot(0, FOOT_NO_JUMP, 0);
  ApplyFootBlock(*m_Hero);
  EXPECT_EQ(m_Hero->m_bJumpBanned, 1);
  Stand(-1);
  ApplyFootBlock(*m_Hero);
  EXPECT_EQ(m_Hero->m_bJumpBanned, 1) << "in the air the ban stays";
  Cell(2).m_nContact = BLOCK_CONTACT_NONE;
  Stand(2);
  ApplyFootBlock(*m_Hero);
  EXPECT_EQ(m_Hero->m_bJumpBanned, 1) << "a cell the hero passes through is no footing";
  Stand(1);
  ApplyFootBlock(*m_Hero);
  EXPECT_EQ(m_Hero->m_bJumpBanned, 0);
}

TEST_F(FootAndItemBlocksTest, FlyingHeroIsTouchedByNeither) {
  SetFoot(0, FOOT_PUSH_RIGHT, 30);
  Cell(0).m_nItemPalette = PALETTE_STAGE;
  g_Stage.m_PaletteItems.assign(2, cItemData());
  Cell(0).m_nItemIndex = 1;
  m_Hero->m_Flying = 1;
  EXPECT_EQ(ApplyFootBlock(*m_Hero), 0);
  EXPECT_EQ(TouchItemBlocks(*m_Hero), 0);
  EXPECT_EQ(m_Hero->m_nFootTimer, 0);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, 0);
  EXPECT_DOUBLE_EQ(m_Hero->m_VX, 0.0);
}

TEST_F(FootAndItemBlocksTest, ItemBlockGivesOncePerSecondAndAtOnceOnTheNextCell) {
  g_Stage.m_PaletteItems.assign(2, cItemData());
  for (int index : {0, 1}) {
    Cell(index).m_nItemPalette = PALETTE_STAGE;
    Cell(index).m_nItemIndex = 1;
  }
  const int second = kSubSteps * 60;

  TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, second - 1) << "given, then the first sub-step of its second";
  Stand(0);
  for (int step = 1; step < second; ++step) TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, 0) << "one second later the block gives again";
  TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, second - 1);

  // Onto the neighbouring item block: its item comes at once.
  Stand(1);
  m_Hero->m_VY = 0.0;
  TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, 0);
  EXPECT_DOUBLE_EQ(m_Hero->m_VY, 1.0);
  Stand(1);
  TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, second - 1);

  // Leaving the ground ends the wait.
  Stand(-1);
  TouchItemBlocks(*m_Hero);
  EXPECT_EQ(m_Hero->m_nItemBlockTimer, 0);
}

}  // namespace

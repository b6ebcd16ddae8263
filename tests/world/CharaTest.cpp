// Ordinary characters, the hero and items: set-up from their definitions,
// activity, motion codes, the jumps and the item command list.

#include "world/Chara.h"

#include <gtest/gtest.h>

#include "core/Numeric.h"
#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "support/WorldFakes.h"
#include "world/CharaMotion.h"
#include "world/Hero.h"
#include "world/Item.h"

namespace {


// A jump command's state as installation leaves it, for a command of `params`.
struct cJumpCommand {
  cCommand m_Command;
  cCmdState m_State;
  cJumpCommand(std::initializer_list<int32_t> params, int durationSubSteps) {
    m_Command = cCmdBuilder(FLOW_CMD_JUMP).Params(params);
    m_State.m_pCommand = &m_Command;
    m_State.m_Duration = durationSubSteps;
    m_State.m_Remaining = durationSubSteps;
  }
};

// ---- ordinary characters ------------------------------------------------------------------------

class CharaTest : public ::testing::Test {
 protected:
  cTestWorld m_World{WithSubSteps(4)};
  cCharaSim m_Sim{m_World};
};

TEST_F(CharaTest, TheBoxesComeFromTheStageOrTheWholeCellOfABlock) {
  g_Stage.m_CharaBlockBox = {20, 28};
  g_Stage.m_CharaBlockBoxBottom = 0;
  g_Stage.m_CharaBlockBoxFly = {10, 12};
  g_Stage.m_CharaBlockBoxFlyBottom = 1;
  const struct {
    int flying;
    int block;
    int offX, offY, w, h;
  } cases[] = {{0, 0, 6, 2, 20, 28}, {2, 0, 11, 20, 10, 12}, {0, 1, 0, 0, 32, 32}, {2, 1, 0, 0, 32, 32}};
  for (const auto& c : cases) {
    cCharaData data = cTestWorld::Definition();
    data.m_nFlying = static_cast<uint8_t>(c.flying);
    data.m_bBlockChara = static_cast<uint8_t>(c.block);
    const cChara& chara = m_Sim.AddChara(data, 3, 3);
    EXPECT_EQ(chara.m_DrawOffX, c.offX) << c.flying << c.block;
    EXPECT_EQ(chara.m_DrawOffY, c.offY);
    EXPECT_EQ(chara.m_BoxW, c.w);
    EXPECT_EQ(chara.m_BoxH, c.h);
    if (c.block != 0) {
      EXPECT_EQ(chara.m_ShotRect.m_Width, 32);
    }
  }
}

TEST_F(CharaTest, TheAttackRectangleFollowsTheHitRange) {
  // The walking box: 16 x 24 on the cell's bottom (offsets 8, 8).
  g_Stage.m_CharaCharaBox = {12, 20};
  g_Stage.m_CharaShotBox = {30, 30};
  g_Stage.m_ComputerShotBox = {10, 6};
  const struct {
    int range;
    int offX, offY, w, h;
  } cases[] = {
      {0, 16 - 8 - 6, 32 - 8 - 20, 12, 20},  // the character box, on the bottom
      {1, 16 - 8 - 15, 16 - 8 - 15, 30, 30},
      {2, 16 - 8 - 5, 16 - 8 - 3, 10, 6},
      {3, 16 - 8 - 8, 16 - 8 - 12, 16, 24},
  };
  for (const auto& c : cases) {
    cCharaData data = cTestWorld::Definition();
    data.m_nHitRange = static_cast<uint8_t>(c.range);
    const cChara& chara = m_Sim.AddChara(data, 3, 3);
    const cHitRect& rect = chara.m_AttackRect;
    EXPECT_EQ(rect.m_OffX, c.offX) << c.range;
    EXPECT_EQ(rect.m_OffY, c.offY) << c.range;
    EXPECT_EQ(rect.m_Width, c.w);
    EXPECT_EQ(rect.m_Height, c.h);
    EXPECT_EQ(chara.m_ShotRect.m_OffX, 16 - 15 - 8);
    EXPECT_DOUBLE_EQ(rect.m_Left, static_cast<double>(TruncToI32(chara.m_X) + rect.m_OffX));
  }
}

TEST_F(CharaTest, ScaleZeroCountsAsOneAndAScaledCharacterKeepsItsFeet) {
  cCharaData data = cTestWorld::Definition();
  data.m_nScale = 0;
  const cChara& small = m_Sim.AddChara(data, 3, 3);
  EXPECT_EQ(small.m_Data.m_nScale, 1);
  EXPECT_EQ(small.m_BoxH, 24);
  data.m_nScale = 2;
  const cChara& big = m_Sim.AddChara(data, 6, 3);
  EXPECT_EQ(big.m_BoxW, 32);
  EXPECT_EQ(big.m_BoxH, 48);
  // Both stand on the bottom of their cell: the big one grew upward.
  EXPECT_DOUBLE_EQ(big.m_Bottom, small.m_Bottom);
  EXPECT_EQ(big.m_AttackRect.m_Width, 2 * big.m_AttackRect.m_BaseWidth);
}

TEST_F(CharaTest, ACarriedItemIsDroppedAndNoneIsNone) {
  cItem prototype;
  prototype.Init(7, cItemData(), 1);
  cChara& carrier = g_CharaList.Emplace();
  carrier.Init(1, cTestWorld::Definition(), &prototype, 0, 0, 0, nullptr);
  ASSERT_NE(carrier.GetDropItem(), nullptr);
  EXPECT_EQ(carrier.GetDropItem()->m_Key, 7);
  cChara& empty = m_Sim.AddChara(cTestWorld::Definition(), 3, 3);
  EXPECT_EQ(empty.GetDropItem(), nullptr);
}

TEST_F(CharaTest, TheActivityRangeDecidesWhoActs) {
  // The camera shows world x 320 to 959 and y 320 to 799.
  const struct {
    int range;
    int stay;
    int cellX, cellY;
    int jumped;
    int flying;
    int acts;
  } cases[] = {
      {0, 0, 5, 5, 0, 0, 1},    // on screen
      {0, 0, 25, 5, 0, 0, 0},   // right of the view
      {1, 0, 5, 18, 0, 0, 1},   // below the view, y unrestricted
      {1, 0, 25, 5, 0, 0, 0},   // right of the view, x restricted
      {2, 0, 25, 5, 0, 0, 1},   // x unrestricted
      {3, 0, 25, 18, 0, 0, 1},  // anywhere
      {0, 0, 25, 5, 1, 0, 1},   // a walker in the middle of a jump
      {0, 0, 25, 5, 1, 2, 0},   // a flyer never
  };
  for (const auto& c : cases) {
    cCharaData data = cTestWorld::Definition();
    data.m_nActiveRange = static_cast<uint8_t>(c.range);
    data.m_nFlying = static_cast<uint8_t>(c.flying);
    cChara& chara = m_Sim.AddChara(data, c.cellX, c.cellY);
    chara.m_bJumped = c.jumped;
    cSafeVector<uint8_t> switches(kActivationSwitchCount, 0);
    chara.CheckActive(switches);
    EXPECT_EQ(chara.CheckStart(switches), c.acts) << c.range << " " << c.cellX << " " << c.cellY;
  }
}

TEST_F(CharaTest, AStayActiveCharacterKeepsActingAfterLeavingTheScreen) {
  cCharaData data = cTestWorld::Definition();
  data.m_bStayActive = 1;
  cChara& chara = m_Sim.AddChara(data, 5, 5);
  cSafeVector<uint8_t> switches(kActivationSwitchCount, 0);
  chara.CheckActive(switches);
  ASSERT_EQ(chara.CheckStart(switches), 1);
  chara.SetCell(40, 5);
  chara.CheckActive(switches);
  EXPECT_EQ(chara.CheckStart(switches), 1);

  // An activation switch wakes another character out of range.
  cCharaData sleeper = cTestWorld::Definition();
  sleeper.m_bSwitchOnActive = 1;
  sleeper.m_nActiveSwitch = 7;
  cChara& far = m_Sim.AddChara(sleeper, 25, 5);
  far.CheckActive(switches);
  EXPECT_EQ(far.CheckStart(switches), 0);
  cChara& near = m_Sim.AddChara(sleeper, 5, 5);
  near.CheckActive(switches);
  EXPECT_EQ(switches[7], 1);
  EXPECT_EQ(far.CheckStart(switches), 1);
}

TEST_F(CharaTest, MotionCodesSayWhenACharacterLeavesTheGrid) {
  cCharaData flyer = cTestWorld::Definition();
  flyer.m_nFlying = 1;
  cChara& up = m_Sim.AddChara(flyer, 3, -9);
  up.m_VY = 0;
  up.m_CmdVY = -40;
  up.m_Y = 2;
  EXPECT_EQ(up.MoveY(), CHARA_MOVE_REMOVE_Y);
  cChara& walker = m_Sim.AddChara(cTestWorld::Definition(), 3, 19);
  walker.m_VY = 5;
  EXPECT_EQ(walker.MoveY(), CHARA_MOVE_FELL_OUT);
  cChara& left = m_Sim.AddChara(cTestWorld::Definition(), 0, 3);
  left.m_X = 2;
  left.m_CmdVX = -5;
  EXPECT_EQ(left.MoveX(), CHARA_MOVE_REMOVE_X);
}

TEST_F(CharaTest, TheScrollCarriesOnlySyncedCharactersUnlessTheOldRuleHolds) {
  m_World.Scene().m_ScrollX.m_Speed = 0.5;
  const struct {
    int sync;
    int oldRule;
    double vx;
  } cases[] = {{1, 0, 0.5}, {0, 0, 0.0}, {1, 1, 0.0}};
  for (const auto& c : cases) {
    g_System.m_bScrollSwitch = c.oldRule;
    cCharaData data = cTestWorld::Definition();
    data.m_bScrollSync = static_cast<uint8_t>(c.sync);
    cChara& chara = m_Sim.AddChara(data, 3, 3);
    chara.m_VX = 9;
    chara.Update(0);
    EXPECT_EQ(chara.m_VX, c.vx) << c.sync << c.oldRule;
  }
  // Held at a limit, the axis carries nothing.
  g_System.m_bScrollSwitch = 0;
  m_World.Scene().m_ScrollX.m_AtLimit = 1;
  cCharaData data = cTestWorld::Definition();
  data.m_bScrollSync = 1;
  cChara& chara = m_Sim.AddChara(data, 3, 3);
  chara.Update(0);
  EXPECT_EQ(chara.m_VX, 0.0);
}

TEST_F(CharaTest, AJumpTakesOffOnceAndEndsOnLanding) {
  cChara& chara = m_Sim.AddChara(cTestWorld::Definition(), 3, 3);
  chara.m_bAirborne = 0;
  cJumpCommand jump({0, 0, 4, 0, 0}, 60);
  jump.m_State.m_Speed = -2.5;
  chara.Jump(jump.m_State);
  EXPECT_EQ(chara.m_VY, -2.5);
  EXPECT_EQ(chara.m_bJumped, 1);
  EXPECT_EQ(jump.m_State.m_TakenOff, 1);
  chara.m_VY = -1.0;
  chara.Jump(jump.m_State);  // in the air: nothing
  EXPECT_EQ(chara.m_VY, -1.0);
  chara.m_bRiding = 1;  // on ground again
  chara.m_bCeilingHit = 1;
  chara.Jump(jump.m_State);
  EXPECT_EQ(jump.m_State.m_Remaining, 0);
  EXPECT_EQ(chara.m_bCeilingHit, 0);
}

TEST_F(CharaTest, AnUnsettledCharacterGivesTheJumpUpAfterFourFrames) {
  for (int oldRule : {0, 1}) {
    g_System.m_bJumpSwitch = oldRule;
    cChara& chara = m_Sim.AddChara(cTestWorld::Definition(), 3, 3);
    chara.m_bAirborne = 1;
    cJumpCommand jump({0, 0, 4, 0, 0}, 200);
    jump.m_State.m_Speed = -2.5;
    int ended = -1;
    for (int step = 0; step < 40 && ended < 0; ++step) {
      jump.m_State.m_StepCounter = step;
      chara.Jump(jump.m_State);
      if (jump.m_State.m_Remaining == 0) ended = step;
    }
    EXPECT_EQ(chara.m_VY, 0.0);
    EXPECT_EQ(ended, oldRule != 0 ? -1 : 16) << oldRule;
  }
}

// ---- the hero --------------------------------------------------------------------------------------

class HeroTest : public ::testing::Test {
 protected:
  cTestWorld m_World{WithSubSteps(4)};
  cCharaSim m_Sim{m_World};
  cHero& m_Hero = m_Sim.AddHero(cTestWorld::Definition(), 4, 6);
};

TEST_F(HeroTest, LeavingFlightStopsTheHeroDeadAndGivesCrushGrace) {
  m_Hero.ApplySizeKind(2, 0);
  EXPECT_EQ(m_Hero.m_Flying, 1);
  EXPECT_EQ(m_Hero.m_nCrushGrace, 2);
  EXPECT_EQ(m_Hero.m_BoxH, 16);  // the flying body box
  m_Hero.m_nCrushGrace = 0;
  m_Hero.m_VX = m_Hero.m_VY = m_Hero.m_CmdVX = m_Hero.m_CmdVY = 3.0;
  m_Hero.ApplySizeKind(0, 0);
  EXPECT_EQ(m_Hero.m_nCrushGrace, 2);
  EXPECT_EQ(m_Hero.m_VX, 0.0);
  EXPECT_EQ(m_Hero.m_CmdVY, 0.0);
  EXPECT_EQ(m_Hero.m_BoxH, 24);
  m_Hero.Update(0);
  m_Hero.Update(0);
  EXPECT_EQ(m_Hero.m_nCrushGrace, 0);
}

TEST_F(HeroTest, AreaMarksAreSortedLargestFirst) {
  g_Stage.m_HeroItemBox = {40, 40};
  g_Stage.m_HeroShotBox = {4, 4};
  g_Stage.m_BoxColourItem = 3;
  m_Hero.ApplySizeKind(0, 0);
  ASSERT_EQ(m_Hero.m_AreaMarks.size(), 4u);
  EXPECT_EQ(m_Hero.m_AreaMarks[0].m_nType, AREA_MARK_PICKUP);
  EXPECT_EQ(m_Hero.m_AreaMarks[0].m_nColour, 208 + 12);
  EXPECT_EQ(m_Hero.m_AreaMarks[3].m_nType, AREA_MARK_SHOT);
}

TEST_F(HeroTest, TheCameraFollowsTheHeroWithinTheScrollLimits) {
  cScrollAxis& camera = m_World.Scene().m_ScrollX;
  m_Hero.m_X = 900;
  m_Hero.ConstrainX();
  EXPECT_EQ(camera.m_Position, 900 - (320 - 8));
  m_Hero.m_X = 340;
  m_Hero.ConstrainX();
  EXPECT_EQ(camera.m_Position, camera.m_Min);
  // An axis that scrolls by itself keeps its own position.
  camera.m_Moving = 1;
  camera.m_Position = 500;
  m_Hero.m_X = 900;
  m_Hero.ConstrainX();
  EXPECT_EQ(camera.m_Position, 500);
}

TEST_F(HeroTest, TheHeightOfASpeedJumpFollowsTheWalkingSpeed) {
  const struct {
    double walk;
    int height;
  } cases[] = {{9.0, 4}, {-9.0, 4}, {15.0, 6}, {20.0, 6}, {3.0, 2}, {1.0, 2}, {12.0, 5}};
  for (const auto& c : cases) {
    m_Hero.m_bJumpHandled = 0;
    m_Hero.m_CmdVX = c.walk;
    cJumpCommand jump({2, 600, 6, 120, 2}, 60);
    m_Hero.Jump(jump.m_State);
    EXPECT_DOUBLE_EQ(jump.m_State.m_Speed, JumpSpeedForDots(c.height * 16, 1)) << c.walk;
  }
}

TEST_F(HeroTest, LettingTheKeyGoEarlyCutsTheJumpShortOnce) {
  // Held while the key condition holds: button 1 pressed.
  cFlowState flow;
  cKeyCond key = KeyCondOf({{11, KEY_STATE_PRESSED}});
  flow.m_KeyConds.push_back(&key);
  m_World.Scene().m_pCurFlowState = &flow;
  m_Hero.m_bAirborne = 0;
  m_Hero.m_bRiding = 1;
  m_Hero.m_nCellBelow = -1;
  cJumpCommand jump({1, 0, 4, 0, 0}, 30);
  jump.m_State.m_Speed = -3.0;
  m_World.Scene().m_nSubStep = 4;
  for (int step = 0; step < 3; ++step) {
    cTestWorld::PressKeys(0, 1);
    m_Hero.m_bJumpHandled = 0;
    m_Hero.Jump(jump.m_State);
    m_Hero.m_bRiding = 0;
  }
  ASSERT_LT(m_Hero.m_VY, 0.0);
  const double rising = m_Hero.m_VY;
  cTestWorld::PressKeys(0, 0);
  m_Hero.m_bJumpHandled = 0;
  m_Hero.Jump(jump.m_State);
  EXPECT_DOUBLE_EQ(m_Hero.m_VY, rising * 0.3);
  m_Hero.m_bJumpHandled = 0;
  m_Hero.Jump(jump.m_State);
  EXPECT_DOUBLE_EQ(m_Hero.m_VY, rising * 0.3);
  m_World.Scene().m_pCurFlowState = nullptr;
}

TEST_F(HeroTest, FromABlockCharacterTheHeroLeavesOnTheLastSubStepTwoPerCentFaster) {
  m_Hero.m_bAirborne = 0;
  m_Hero.m_bRiding = 1;
  cJumpCommand jump({0, 0, 4, 0, 0}, 30);
  jump.m_State.m_Speed = -3.0;
  for (int subStep = 1; subStep <= 3; ++subStep) {
    m_World.Scene().m_nSubStep = subStep;
    m_Hero.m_bJumpHandled = 0;
    m_Hero.m_nJumpHold = 0;
    m_Hero.Jump(jump.m_State);
    EXPECT_EQ(m_Hero.m_VY, 0.0) << subStep;
    EXPECT_EQ(m_Hero.m_bRiding, 1);
  }
  m_World.Scene().m_nSubStep = 4;
  m_Hero.m_bJumpHandled = 0;
  m_Hero.m_nJumpHold = 0;
  m_Hero.Jump(jump.m_State);
  EXPECT_DOUBLE_EQ(m_Hero.m_VY, -3.0 * 1.0199999809265137);
  EXPECT_EQ(m_Hero.m_bRiding, 0);
  EXPECT_EQ(jump.m_State.m_TakenOff, 1);
}

TEST_F(HeroTest, AnItemListStopsWhenACommandKillsTheHero) {
  cSafeVector<cCommand> commands;
  commands.push_back(cCmdBuilder::Item(22).Text("C1 = 1"));
  commands.push_back(cCmdBuilder::Item(22).Text("my.hp = 0"));
  commands.push_back(cCmdBuilder::Item(22).Text("C2 = 1"));
  EXPECT_EQ(m_Hero.RunItemCommands(commands), STEP_RESULT_STOP);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
}

TEST_F(HeroTest, AnItemListStopsAtTheStageClear) {
  cSafeVector<cCommand> commands;
  commands.push_back(cCmdBuilder::Item(22).Text("C1 = 1"));
  commands.push_back(cCmdBuilder::Item(FLOW_CMD_STAGE_CLEAR - kItemToFlowCmdOffset));
  commands.push_back(cCmdBuilder::Item(22).Text("C2 = 1"));
  EXPECT_EQ(m_Hero.RunItemCommands(commands), STEP_RESULT_STAGE_CLEAR);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
}

TEST_F(HeroTest, EachPickupSoundsItsFirstKeyWaitMessageOnce) {
  cSoundLog log;
  cSafeVector<cCommand> commands;
  // Two messages that stop the game until the key.
  for (int i = 0; i < 2; ++i) commands.push_back(cCmdBuilder::Item(4).Params({0, 0, 0, 0, 0, 0, 0, 0, 1}).Text("hi"));
  EXPECT_EQ(m_Hero.RunItemCommands(commands), STEP_RESULT_NONE);
  EXPECT_EQ(log.Sounds(), std::vector<int>{11});
  m_Hero.RunItemCommands(commands);  // the next pickup
  EXPECT_EQ(log.Sounds(), (std::vector<int>{11, 11}));
}

TEST_F(HeroTest, TakenObjectsAreRememberedByKey) {
  m_Hero.m_Taken.push_back(5);
  m_Hero.m_Taken.push_back(5);
  EXPECT_EQ(m_Hero.HasTaken(5), 0);
  EXPECT_EQ(m_Hero.HasTaken(6), 1);
  m_Hero.ForgetTaken(5);
  EXPECT_EQ(m_Hero.HasTaken(5), 1);
}

// ---- items --------------------------------------------------------------------------------------------

class ItemTest : public ::testing::Test {
 protected:
  cTestWorld m_World{WithSubSteps(2)};
  cCharaSim m_Sim{m_World};
};

TEST_F(ItemTest, AnItemIsCentredInItsCellAndAlternatesTwoPatterns) {
  g_Stage.m_ItemBox = {20, 12};
  cItem item;
  item.Init(3, cItemData(), 0);
  EXPECT_EQ(item.m_DrawOffX, 6);
  EXPECT_EQ(item.m_DrawOffY, 10);
  EXPECT_EQ(item.m_Flying, 1);
  EXPECT_EQ(item.m_FlyContact, FLY_CONTACT_PASS);
  std::vector<int> patterns;
  for (int frame = 0; frame < 31; ++frame) patterns.push_back(item.m_Anime.Update());
  EXPECT_EQ(patterns[13], 0);
  EXPECT_EQ(patterns[14], 1);
  EXPECT_EQ(patterns[29], 0);
}

TEST_F(ItemTest, ScaleZeroIsOneAndACarriedItemIsActiveAtItsOwnSize) {
  cItemData data;
  data.m_nScale = 0;
  cItem plain;
  plain.Init(1, data, 0);
  EXPECT_EQ(plain.m_Data.m_nScale, 1);
  EXPECT_EQ(plain.m_BoxW, 28);

  data.m_nScale = 3;
  cItem carried;
  carried.Init(2, data, 1);
  EXPECT_EQ(carried.m_Active, 1);
  EXPECT_EQ(carried.m_BoxW, 28);
  cItem& placed = g_ItemList.Emplace();
  placed.Init(3, data, 0);
  placed.PlaceOnGrid(4, 4);
  EXPECT_EQ(placed.m_Active, 0);
  EXPECT_EQ(placed.m_BoxW, 84);
  // It grows upward from its cell.
  EXPECT_DOUBLE_EQ(placed.m_Y, (4 + 10) * 32 + 2 - 2 * (28 + 2));
}

TEST_F(ItemTest, TheCommandListIsUnrolled) {
  cItemData data;
  data.m_Commands.push_back(cCmdBuilder::Item(24).Params({3, 2}));
  data.m_Commands.push_back(cCmdBuilder::Item(22).Text("C1 = C1 + 1"));
  data.m_Commands.push_back(cCmdBuilder::Item(22).Text("C2 = C2 + 1"));
  cItem item;
  item.Init(1, data, 0);
  ASSERT_EQ(item.m_Data.m_Commands.size(), 6u);
  EXPECT_EQ(item.m_Data.m_Commands[4].m_strText, "C1 = C1 + 1");
  EXPECT_EQ(item.m_Data.m_Commands[5].m_strText, "C2 = C2 + 1");
}

}  // namespace

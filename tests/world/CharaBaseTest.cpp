// The character base's own operations: set-up, HP and SP with
// their gauges, parent and target links, key conditions, copies and the
// per-frame flow flags, and the playback entries.

#include <gtest/gtest.h>

#include <vector>

#include "data/Database.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"

namespace {

TEST(CharaBaseTest, ResetStateStartsFromTheDefinition) {
  cTestWorld world({.subSteps = 2});
  cCharaData data = cTestWorld::Definition(25, 7);
  data.m_nSight = 3;
  data.m_nStop = 40;
  data.m_bScrollSync = 1;
  cCharaBase chara;
  chara.m_Vars.assign(3, 5);
  chara.m_nLastWall = 1;
  chara.m_GroupRunning.assign(5, 1);
  chara.ResetState(&data, 100.0, 60.0, 3);
  EXPECT_EQ(chara.m_Hp, 25);
  EXPECT_EQ(chara.m_Sp, 7);
  EXPECT_EQ(chara.m_CloneNo, 3);
  EXPECT_EQ(chara.m_nLastWall, -1);
  EXPECT_EQ(chara.m_bAirborne, 1);
  EXPECT_EQ(chara.m_nLightRadius, 48);
  EXPECT_DOUBLE_EQ(chara.m_Decel, 40 * 0.01 / 4.0);
  EXPECT_EQ(chara.m_MovesWithScroll, 1);
  EXPECT_EQ(chara.m_Vars, cSafeVector<int32_t>(kCharaVarCount, 0));
  EXPECT_EQ(chara.m_GroupRunning, cSafeVector<uint8_t>(kFlowGroupCount, 0));
  EXPECT_EQ(chara.m_Targets, cSafeVector<cCharaBase*>(kTargetSlotCount, nullptr));
  EXPECT_DOUBLE_EQ(chara.m_SpawnX, 100.0);
  // The base animation set of the definition: its four states, looping.
  EXPECT_EQ(chara.m_Anime.AnimeCount(), 4);
}

TEST(CharaBaseTest, AddHpKeepsHitPointsWithinTheirRange) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition(10);
  cCharaBase& chara = world.AddChara(data);

  chara.m_Data.m_nInvincible = 1;
  chara.m_Hp = 8;
  EXPECT_EQ(chara.AddHp(-5, 0, 1), 0);
  EXPECT_EQ(chara.m_Hp, 8);
  EXPECT_EQ(chara.AddHp(-5, 1, 0), 0);  // forced
  EXPECT_EQ(chara.m_Hp, 3);

  chara.m_Hp = 8;
  EXPECT_EQ(chara.AddHp(50, 0, 1), 0);
  EXPECT_EQ(chara.m_Hp, 10);
  // The gain was cut to the 2 that fit: a trail of 2 x 50 / 10 dots.
  EXPECT_EQ(chara.m_HpGauge.m_Timer, kGaugeFrames);
  EXPECT_DOUBLE_EQ(chara.m_HpGauge.m_Trail, 10.0);
  EXPECT_DOUBLE_EQ(chara.m_HpGauge.m_TrailStep, 10.0 / 60.0);
  EXPECT_EQ(chara.m_HpGauge.m_Bar, kGaugeDots);

  chara.m_HpGauge = cGauge{};
  EXPECT_EQ(chara.AddHp(-30, 1, 1), 1);  // reached 0: no gauge
  EXPECT_EQ(chara.m_Hp, 0);
  EXPECT_EQ(chara.m_HpGauge.m_Timer, 0);

  // A maximum of 0 draws as 1 instead of dividing by it.
  chara.m_Data.m_nMsp = 0;
  chara.ShowSpGauge(3);
  EXPECT_DOUBLE_EQ(chara.m_SpGauge.m_Trail, 150.0);
}

TEST(CharaBaseTest, ParentAndTargetLinksAreMirroredOnce) {
  cTestWorld world;
  cHero& hero = world.AddHero();
  cCharaBase& parent = world.AddChara();
  cCharaBase& child = world.AddChara();
  child.SetParent(&parent);
  child.SetParent(&parent);
  EXPECT_EQ(child.Target(0), &hero);
  EXPECT_EQ(child.m_pParent, &parent);
  EXPECT_EQ(std::count(hero.m_CharaLinks.begin(), hero.m_CharaLinks.end(), cCharaLink{&child, 0}), 1);
  EXPECT_EQ(std::count(parent.m_CharaLinks.begin(), parent.m_CharaLinks.end(), cCharaLink{&child, kLinkChild}),
            1);

  cCharaBase& other = world.AddChara();
  child.SetTarget(2, &other, 0);
  child.SetTarget(2, &other, 1);
  EXPECT_EQ(other.m_CharaLinks, (cSafeVector<cCharaLink>{{&child, 2}}));
  child.SetTarget(2, &parent, 0);  // the old occupant loses its back-link
  EXPECT_TRUE(other.m_CharaLinks.empty());
  child.SetTarget(2, nullptr, 0);
  EXPECT_EQ(child.Target(2), nullptr);
  EXPECT_EQ(std::count(parent.m_CharaLinks.begin(), parent.m_CharaLinks.end(), cCharaLink{&child, 2}), 0);
  child.SetTarget(7, &other, 0);  // no such slot
  EXPECT_TRUE(other.m_CharaLinks.empty());
}

TEST(CharaBaseTest, KeyConditionsAgainstThePresentKeys) {
  cTestWorld world;
  struct cCase {
    const char* name;
    cKeyCond cond;
    bool holds;
  };
  cKeyCond none = KeyCondOf({});
  cKeyCond noneAny = none;
  noneAny.m_nRule = 1;
  cKeyCond noneOne = none;
  noneOne.m_nRule = 2;
  // Button 1 held, button 2 not.
  cTestWorld::PressKeys(0, 1);
  const std::vector<cCase> cases = {
      {"nothing tested, rule 0", none, true},
      {"nothing tested, rule 1", noneAny, false},
      {"nothing tested, rule 2", noneOne, false},
      {"button 1 held", KeyCondOf({{11, KEY_STATE_PRESSED}}), true},
      {"button 2 released", KeyCondOf({{12, KEY_STATE_RELEASED}}), true},
      {"both held, rule 0", KeyCondOf({{11, 1}, {12, 1}}, 0), false},
      {"both held, rule 1", KeyCondOf({{11, 1}, {12, 1}}, 1), true},
      {"one of both, rule 2", KeyCondOf({{11, 1}, {12, 1}}, 2), true},
      {"an unknown rule", KeyCondOf({{12, 1}}, 9), true},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeyCondHolds(g_KeyInput[0], c.cond), c.holds);
  }
}

TEST(CharaBaseTest, TheTriggerKeySlotIsTheFirstHeldDirectionSlot) {
  cTestWorld world;
  EXPECT_EQ(cCharaBase::GetTriggerKeySlot(g_KeyInput[0]), 0);  // nothing polled yet
  cTestWorld::PressKeys(kDirLeft, 0);
  EXPECT_EQ(cCharaBase::GetTriggerKeySlot(g_KeyInput[0]), 1);
  cTestWorld::PressKeys(kDirLeft | kDirRight, 0);
  EXPECT_EQ(cCharaBase::GetTriggerKeySlot(g_KeyInput[0]), 9);  // only "any direction" holds
}

TEST(CharaBaseTest, ACopyRunsItsOwnFlows) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_DAMAGED).Key(KeyCondOf({{11, 1}})).Cmd(CodeCmd("my.v1 = my.v1 + 1")));
  cCharaBase& original = world.AddChara(data);
  const cCharaBase copy(original);
  const cFlow& flow = copy.m_Data.m_Flows[0];
  EXPECT_EQ(copy.m_FlowStates[0].m_pFlow, &flow);
  EXPECT_EQ(copy.m_FlowStates[0].m_KeyConds[0], &flow.m_KeyConds[0]);
  EXPECT_EQ(copy.m_FlowStates[0].m_CmdStates[0].m_pCommand, &flow.m_Commands[0]);

  cCharaBase assigned;
  assigned = original;
  EXPECT_EQ(assigned.m_FlowStates[0].m_pFlow, &assigned.m_Data.m_Flows[0]);
  // CopyChara keeps this object's own screen rectangle and sizes.
  cCharaBase kept;
  kept.m_GfxW = 64;
  kept.m_ScrLeft = 5;
  kept.CopyChara(original);
  EXPECT_EQ(kept.m_GfxW, 64);
  EXPECT_EQ(kept.m_ScrLeft, 5);
  EXPECT_EQ(kept.m_Hp, original.m_Hp);
  EXPECT_EQ(kept.m_FlowStates[0].m_pFlow, &kept.m_Data.m_Flows[0]);
}

TEST(CharaBaseTest, ClearFlowFlagsClearsTheFrameGuardsAndStartedGroups) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(3).Cmd(WaitCmd(5)));
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_ALWAYS);
  EXPECT_EQ(chara.m_FlowStates[0].m_StartedThisFrame, 1);
  EXPECT_EQ(chara.m_FlowStates[0].m_TriggeredThisFrame, 1);
  EXPECT_EQ(chara.m_GroupStarted[3], 1);
  chara.ClearFlowFlags();
  EXPECT_EQ(chara.m_FlowStates[0].m_StartedThisFrame, 0);
  EXPECT_EQ(chara.m_FlowStates[0].m_TriggeredThisFrame, 0);
  EXPECT_EQ(chara.m_GroupStarted[3], 0);
  EXPECT_EQ(chara.m_GroupRunning[3], 1);  // still running
}

TEST(CharaBaseTest, PlaybackEntriesAreStoppedResumedAndRemovedByKey) {
  cTestWorld world;
  cCharaBase& chara = world.AddChara();
  const auto add = [&](int key, int timeLeft, int extra) {
    cAnimePlayback& entry = chara.m_AnimeList.emplace_back();
    entry.m_AnimeKey = key;
    entry.m_TimeLeft = timeLeft;
    entry.m_ExtraTime = extra;
  };
  add(1, 0, 0);  // its time is up: stopping removes it
  add(1, 5, 0);
  add(2, 0, 0);
  chara.StopAnime(1);
  ASSERT_EQ(chara.m_AnimeList.size(), 2u);
  EXPECT_EQ(chara.m_AnimeList[0].m_bStopped, 1);
  EXPECT_EQ(chara.m_AnimeList[1].m_bStopped, 0);
  chara.ResumeAnime(1);
  EXPECT_EQ(chara.m_AnimeList[0].m_bStopped, 0);
  chara.RemoveAnime(2);
  ASSERT_EQ(chara.m_AnimeList.size(), 1u);
  EXPECT_EQ(chara.m_AnimeList[0].m_AnimeKey, 1);
}

}  // namespace

// Contacts, hits, damage and death on a small stage: shots against
// characters (pierce, swords, effectless shots, invincibility), bodies
// against bodies with the per-attacker no-hit list, shots against shots,
// pickups, the death checks with lists that change under them, and the
// damage arithmetic.

#include "world/Contact.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/Flow.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "doubles/FakeFlowServices.h"
#include "support/TestWorld.h"
#include "support/WorldFakes.h"
#include "world/Chara.h"
#include "world/Damage.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/SceneDraw.h"
#include "world/Shot.h"

namespace {

// How many times `trigger` was fired (on `chara`, or on anyone).
int Fired(const cFakeFlowServices& flows, int trigger, const cCharaBase* chara = nullptr) {
  int n = 0;
  for (const cFakeFlowServices::cCall& call : flows.m_Calls) {
    n += call.what == "FireFlowTrigger" && call.value == trigger && (chara == nullptr || call.chara == chara) ? 1 : 0;
  }
  return n;
}

class ContactTest : public ::testing::Test {
 protected:
  ContactTest() {
    m_World.Scene().m_nSubStep = 1;
    g_Stage.m_ContactOnScreenOnly = 0;
  }

  // A computer-operated character of `faction` at world (x, y) with a 32-dot
  // body for both hit rectangles.
  cChara& AddChara(int faction, double x = 400, double y = 400, int hp = 10, int power = 0) {
    cCharaData data = cTestWorld::Definition(hp);
    data.m_nPassNumber = static_cast<uint8_t>(faction);
    data.m_nPower = power;
    cChara& chara = g_CharaList.Emplace();
    chara.Init(++m_Keys, data, nullptr, 0, 0, 0, nullptr);
    Put(chara, x, y);
    return chara;
  }

  static void Put(cCharaBase& chara, double x, double y) {
    chara.m_X = x;
    chara.m_Y = y;
    chara.m_Right = x + 31;
    chara.m_Bottom = y + 31;
    for (cHitRect* rect : {&chara.m_AttackRect, &chara.m_ShotRect}) {
      rect->Set(0, 0, 32, 32);
      rect->FollowX(x);
      rect->FollowY(y);
    }
    chara.m_Active = 1;
    chara.m_OnScreen = 1;
  }

  // A 16-dot shot of `faction` at world (x, y) with `power`, in the list.
  cShot& AddShot(int faction, int power, double x = 400, double y = 400, int isShot = 1) {
    cShot shot;
    shot.m_EdShot.m_nFaction = static_cast<uint8_t>(faction);
    shot.m_EdShot.m_nPower = power;
    shot.m_IsShot = isShot;
    shot.m_Key = ++m_Keys;
    shot.m_X = x;
    shot.m_Y = y;
    shot.m_Right = x + 15;
    shot.m_Bottom = y + 15;
    shot.m_Hit.Set(0, 0, 16, 16);
    shot.m_Hit.FollowX(x);
    shot.m_Hit.FollowY(y);
    shot.m_OnScreen = 1;
    return *g_ShotList.AddShot(shot);
  }

  cTestWorld m_World;
  cFakeFlowServices m_Flows;
  int m_Keys = 0;
};

TEST_F(ContactTest, AShotHitsEveryCharacterOfTheFactionBeforeItGoesUnlessItPierces) {
  struct Case {
    int pierce;
    int shotsLeft;
  };
  for (const Case c : {Case{0, 0}, Case{1, 1}}) {
    g_CharaList.Clear();
    ClearShots();
    cChara& a = AddChara(1);
    cChara& b = AddChara(1);
    cShot& shot = AddShot(0, 3);
    shot.m_EdShot.m_bPierceCharas = static_cast<uint8_t>(c.pierce);
    EXPECT_EQ(CheckContacts(), 0);
    EXPECT_EQ(a.m_Hp, 7) << c.pierce;
    EXPECT_EQ(b.m_Hp, 7) << c.pierce;
    EXPECT_EQ(ShotCount(), c.shotsLeft);
    // A piercing shot remembers whom it hit and never hits them again.
    CheckContacts();
    EXPECT_EQ(a.m_Hp, 7) << c.pierce;
  }
}

// Shots meet characters only in the sub-steps the scene's mask marks.
TEST_F(ContactTest, ShotsMeetCharactersOnlyInTheSubStepsOfTheMask) {
  m_World.Scene().m_SubStepMask.assign({0, 1});
  cChara& chara = AddChara(1);
  AddShot(0, 3);
  CheckContacts();
  EXPECT_EQ(chara.m_Hp, 10) << "sub-step 1 is not marked";
  m_World.Scene().m_nSubStep = 2;
  CheckContacts();
  EXPECT_EQ(chara.m_Hp, 7);
}

TEST_F(ContactTest, ASwordHitsEachCharacterOnceAndStays) {
  cChara& victim = AddChara(1);
  cChara& block = AddChara(1);
  block.m_Data.m_bBlockChara = 1;
  AddShot(0, 2, 400, 400, 0);
  CheckContacts();
  CheckContacts();
  EXPECT_EQ(victim.m_Hp, 8);
  EXPECT_EQ(block.m_Hp, 8);
  EXPECT_EQ(ShotCount(), 1);
}

TEST_F(ContactTest, AShotOfTheSameFactionOrThroughInvincibilityTwoPassesUntouched) {
  cChara& friendly = AddChara(0);
  cChara& ghost = AddChara(1);
  ghost.m_Data.m_nInvincible = 2;
  AddShot(0, 5);
  CheckContacts();
  EXPECT_EQ(friendly.m_Hp, 10);
  EXPECT_EQ(ghost.m_Hp, 10);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_HIT_SHOT), 0);
  EXPECT_EQ(ShotCount(), 1);
}

TEST_F(ContactTest, AnEffectlessShotFiresTheHitTriggerAndCountsOnlyWhenTheSwitchIsOff) {
  struct Case {
    int effectlessPass;
    int shotsLeft;
  };
  for (const Case c : {Case{1, 1}, Case{0, 0}}) {
    g_CharaList.Clear();
    ClearShots();
    m_Flows.m_Calls.clear();
    g_System.m_bEffectlessShotsPass = c.effectlessPass;
    cChara& k = AddChara(1);
    AddShot(0, 0);
    CheckContacts();
    EXPECT_EQ(Fired(m_Flows, TRIGGER_HIT_SHOT, &k), 1);
    EXPECT_EQ(ShotCount(), c.shotsLeft) << c.effectlessPass;
  }
}

TEST_F(ContactTest, TheNoHitTimerKeepsEffectfulShotsOffUntilItRunsOut) {
  g_Stage.m_ComputerNoHitTime = 2;
  cChara& k = AddChara(1);
  AddShot(0, 1).m_EdShot.m_bPierceCharas = 1;
  CheckContacts();
  EXPECT_EQ(k.m_Hp, 9);
  EXPECT_EQ(k.m_nNoHitTimer, 2);
  AddShot(0, 1);
  CheckContacts();
  EXPECT_EQ(k.m_Hp, 9);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_HIT_SHOT, &k), 1);
  TickNoHit(k);
  TickNoHit(k);
  CheckContacts();
  EXPECT_EQ(k.m_Hp, 8);
}

TEST_F(ContactTest, ABodyContactKeepsThatAttackerOffForItsGapButNotOthers) {
  g_Stage.m_ComputerHitGap = 3;
  g_Stage.m_ComputerNoHitTime = 0;
  cChara& w = AddChara(0, 400, 400, 10, 0);
  cChara& y = AddChara(1, 410, 400, 10, 1);
  CheckContacts();
  EXPECT_EQ(w.m_Hp, 9);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_HIT_CHARA, &w), 1);
  // The same attacker is kept off: no touch, no damage.
  CheckContacts();
  EXPECT_EQ(w.m_Hp, 9);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_HIT_CHARA, &w), 1);
  // Another attacker touches at once.
  AddChara(2, 370, 400, 10, 1);
  CheckContacts();
  EXPECT_EQ(w.m_Hp, 8);
  for (int i = 0; i < 3; ++i) TickNoHit(w);
  CheckContacts();
  EXPECT_EQ(w.m_Hp, 6);
  // W's own body has no power: Y never took damage.
  EXPECT_EQ(y.m_Hp, 10);
}

TEST_F(ContactTest, DestructibleShotsClashByStrength) {
  struct Case {
    int clashA, strengthA, clashB, strengthB;
    bool aLeft, bLeft;
  };
  const Case cases[] = {
      {1, 5, 1, 5, false, false}, {1, 5, 1, 3, true, false}, {1, 3, 1, 5, false, true},
      {1, 5, 0, 0, false, true},  {0, 0, 1, 5, true, false}, {0, 0, 0, 0, true, true},
  };
  for (const Case& c : cases) {
    ClearShots();
    cShot& a = AddShot(0, 0);
    cShot& b = AddShot(1, 0);
    a.m_EdShot.m_bClash = static_cast<uint8_t>(c.clashA);
    a.m_EdShot.m_nClashStrength = static_cast<uint8_t>(c.strengthA);
    b.m_EdShot.m_bClash = static_cast<uint8_t>(c.clashB);
    b.m_EdShot.m_nClashStrength = static_cast<uint8_t>(c.strengthB);
    CheckContacts();
    EXPECT_EQ(g_ShotList.m_Shots.Contains(&a), c.aLeft) << c.clashA << c.strengthA << c.clashB << c.strengthB;
    EXPECT_EQ(g_ShotList.m_Shots.Contains(&b), c.bLeft) << c.clashA << c.strengthA << c.clashB << c.strengthB;
  }
}

TEST_F(ContactTest, AKilledCharacterGoesAtOnceUnlessDeadCharactersAreKept) {
  cSoundLog sounds;
  for (int keep : {0, 1}) {
    g_CharaList.Clear();
    g_System.m_bKeepDeadChara = keep;
    cChara& k = AddChara(1, 400, 400, 1);
    k.m_Data.m_nGetsc = 50;
    g_Progress.m_nStageScore = 999990;
    AddShot(0, 5);
    EXPECT_EQ(CheckContacts(), 0);
    EXPECT_EQ(k.m_bDead, 1);
    EXPECT_EQ(g_Progress.m_nStageScore, 999999);
    EXPECT_EQ(CheckDeaths(), 0);
    EXPECT_EQ(g_CharaList.Count(), keep);
  }
  // The kept one sounds 9 again at every check that meets it.
  sounds.Clear();
  CheckDeaths();
  CheckDeaths();
  EXPECT_EQ(sounds.Sounds(), (std::vector<int>{9, 9}));
}

// A death flow that summons a character and removes another while the death
// check walks the list: the removed one is never touched, the summoned one is
// met later in the same walk.
TEST_F(ContactTest, ADeathFlowThatChangesTheListDuringTheDeathCheck) {
  cChara& first = AddChara(1, 400, 400, 0);
  cChara& doomed = AddChara(1, 500, 400, 0);
  cChara* summoned = nullptr;
  m_Flows.m_OnTrigger = [&](cCharaBase& chara, int trigger) {
    if (trigger != TRIGGER_DEATH || &chara != &first) return;
    RemoveChara(doomed);
    summoned = &AddChara(2, 600, 400, 0);
  };
  EXPECT_EQ(CheckDeaths(), 0);
  ASSERT_NE(summoned, nullptr);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_DEATH, &doomed), 0);
  EXPECT_EQ(Fired(m_Flows, TRIGGER_DEATH, summoned), 1);
  EXPECT_EQ(g_CharaList.Count(), 0);
}

// A death flow during the shot pass that erases another shot and fires a new
// one: the erased shot hits nobody more, the new one waits for the next pass.
TEST_F(ContactTest, ADeathFlowThatChangesTheShotsDuringTheShotPass) {
  cChara& dying = AddChara(1, 400, 400, 1);
  cChara& other = AddChara(1, 400, 400, 10);
  cShot& killer = AddShot(0, 5);
  killer.m_EdShot.m_bPierceCharas = 1;
  cShot& later = AddShot(0, 2);
  cShot* fired = nullptr;
  m_Flows.m_OnTrigger = [&](cCharaBase& chara, int trigger) {
    if (trigger != TRIGGER_DEATH || &chara != &dying) return;
    g_ShotList.EraseShot(later);
    fired = &AddShot(0, 3);
  };
  EXPECT_EQ(CheckContacts(), 0);
  ASSERT_NE(fired, nullptr);
  EXPECT_EQ(other.m_Hp, 5);
  EXPECT_EQ(ShotCount(), 2);
  CheckContacts();
  EXPECT_EQ(other.m_Hp, 2);
}

TEST_F(ContactTest, ADeathAfterTheStageWasClearedKeepsTheCharacterLinked) {
  cHero& hero = m_World.AddHero();
  cChara& k = AddChara(1, 400, 400, 0);
  k.SetParent(nullptr);
  m_World.Scene().m_nStepResult = STEP_RESULT_STAGE_CLEAR;
  EXPECT_EQ(KillAndCheck(k), 1);
  EXPECT_EQ(k.m_bDead, 0);
  EXPECT_EQ(k.Target(0), &hero);
}

TEST_F(ContactTest, AShotThatKillsThePlayerCharacterReportsTheHerosDeath) {
  cHero& hero = m_World.AddHero();
  Put(hero, 400, 400);
  hero.m_PassNo = 0;
  hero.m_Hp = 1;
  AddShot(1, 5);
  cSoundLog sounds;
  EXPECT_EQ(CheckContacts(), 2);
  EXPECT_EQ(hero.m_bDead, 0);
  EXPECT_EQ(HeroDie(), 0);
  EXPECT_EQ(hero.m_bDead, 1);
  EXPECT_EQ(sounds.Sounds(), (std::vector<int>{8}));
}

TEST_F(ContactTest, TakeModeOnceAppliesOncePerTouch) {
  cHero& hero = m_World.AddHero();
  hero.m_PickupRect.Set(0, 0, 32, 32);
  hero.m_PickupRect.FollowX(400);
  hero.m_PickupRect.FollowY(400);
  cItemData data;
  data.m_nTakeMode = 1;
  data.m_nGraphic = 1;
  data.m_nSound = 3;
  cItem& item = g_ItemList.Emplace();
  item.Init(77, data, 0);
  item.m_X = 400;
  item.m_Y = 400;
  item.m_Right = 431;
  item.m_Bottom = 431;
  item.m_Active = 1;
  cSoundLog sounds;
  const auto pickups = [&] { return static_cast<int>(sounds.Sounds().size()); };
  PickUpItems(hero);
  PickUpItems(hero);
  EXPECT_EQ(pickups(), 1);
  item.m_X = 600;
  item.m_Right = 631;
  PickUpItems(hero);
  item.m_X = 400;
  item.m_Right = 431;
  PickUpItems(hero);
  EXPECT_EQ(pickups(), 2);
  EXPECT_EQ(g_ItemList.Count(), 1);
  // A consumed item goes with its pickup.
  item.m_Data.m_nTakeMode = 0;
  PickUpItems(hero);
  EXPECT_EQ(g_ItemList.Count(), 0);
}

TEST_F(ContactTest, AnItemAskingForItsMessageShowsItsIconAboveTheHero) {
  cHero& hero = m_World.AddHero();
  InstallItemMessageMaker();
  cItemData data;
  data.m_nGraphic = 5;
  data.m_nGraphicKind = 1;
  data.m_nGraphicRow = 2;
  for (const int flag : {0, 1}) {
    SCOPED_TRACE(flag);
    m_World.Scene().m_Messages.clear();
    data.m_bGetMessage = static_cast<uint8_t>(flag);
    cItem item;
    item.Init(9, data, 1);
    item.m_Active = 1;
    ApplyItemToPlayer(&item, hero);
    ASSERT_EQ(m_World.Scene().m_Messages.size(), static_cast<size_t>(flag));
    if (flag == 0) continue;
    const cMessage& message = *m_World.Scene().m_Messages.front();
    EXPECT_EQ(message.m_Kind, MESSAGE_KIND_ICON);
    EXPECT_EQ(message.m_IconA, 1);
    EXPECT_EQ(message.m_IconB, item.m_Graphic);
    EXPECT_EQ(message.m_IconC, 2);
    EXPECT_EQ(message.m_lpSD, nullptr);
    EXPECT_EQ(message.m_PosMode, 4);
    EXPECT_EQ(message.m_FollowKey, hero.m_Key);
    EXPECT_EQ(message.m_Countdown, 30);
  }
  m_World.Scene().m_Messages.clear();
  SetItemMessageMaker(nullptr);
}

TEST_F(ContactTest, DamageIsPowerLessDefenceWithinItsLimits) {
  struct Case {
    int power, defence, invincible, hp, mhp, hpAfter;
  };
  const Case cases[] = {
      {10, 15, 0, 50, 50, 50},          {10, 3, 0, 50, 50, 43},    {2000000, 0, 0, 999999, 2000000, 0},
      {-7, 100, 1, 40, 45, 45},         {5, 0, 1, 40, 45, 40},     {-3, 0, 0, 10, 50, 13},
  };
  for (const Case& c : cases) {
    cChara& attacker = AddChara(0, 400, 400, 10, c.power);
    cChara& victim = AddChara(1, 400, 400, c.mhp);
    victim.m_Data.m_nDef = c.defence;
    victim.m_Data.m_nInvincible = static_cast<uint8_t>(c.invincible);
    victim.m_Hp = c.hp;
    m_Flows.m_Calls.clear();
    TakeCharaDamage(victim, attacker);
    FireCharaHitTriggers(victim, attacker);
    EXPECT_EQ(victim.m_Hp, c.hpAfter) << c.power << " vs " << c.defence;
    // Any non-zero power fires the damage trigger, whatever it did.
    EXPECT_EQ(Fired(m_Flows, TRIGGER_DAMAGED, &victim), c.power != 0 ? 1 : 0);
  }
}

TEST_F(ContactTest, HitEffectsAreMadeInHitOrderWithTheRectanglesOfBothSides) {
  static std::vector<int> made;
  made.clear();
  SetHitEffectMaker([](int effect, const cHitRect& victim, const cHitRect&, int scale) {
    made.push_back(effect * 1000 + static_cast<int>(victim.m_Left) % 1000 + scale * 100000);
  });
  cChara& a = AddChara(1, 400, 400);
  cChara& b = AddChara(1, 410, 400);
  cShot& shot = AddShot(0, 1);
  shot.m_EdShot.m_nHitEffect = 4;
  shot.m_EdShot.m_nScale = 2;
  shot.m_EdShot.m_bPierceCharas = 1;
  CheckContacts();
  SetHitEffectMaker(nullptr);
  EXPECT_EQ(made, (std::vector<int>{204400, 204410}));
  EXPECT_EQ(a.m_Hp + b.m_Hp, 18);
}

TEST_F(ContactTest, UnlinkingDropsEveryReferenceBothWays) {
  cChara& parent = AddChara(1);
  cChara& child = AddChara(1);
  cChara& watcher = AddChara(1);
  child.SetParent(&parent);
  watcher.SetTarget(2, &child, 1);
  child.SetTarget(1, &watcher, 1);
  cShot& owned = AddShot(1, 0);
  owned.m_Owner = &child;
  owned.LinkToOwner();
  UnlinkChara(child);
  EXPECT_EQ(child.m_pParent, nullptr);
  EXPECT_EQ(watcher.Target(2), nullptr);
  EXPECT_EQ(child.Target(1), nullptr);
  EXPECT_EQ(owned.m_Owner, nullptr);
  EXPECT_TRUE(child.m_CharaLinks.empty());
  EXPECT_TRUE(child.m_ShotLinks.empty());
  for (const cCharaLink& link : parent.m_CharaLinks) EXPECT_NE(link.m_pChara, &child);
  for (const cCharaLink& link : watcher.m_CharaLinks) EXPECT_NE(link.m_pChara, &child);
}

TEST_F(ContactTest, TheNearestTargetPrefersCharactersOnScreenInModeZero) {
  cChara& far = AddChara(1, 600, 400);
  cChara& near = AddChara(1, 420, 400);
  near.m_OnScreen = 0;
  for (cChara* c : {&far, &near}) c->UpdateRect();
  cTargetFilter any;
  const int x = near.m_ScrLeft;
  const int y = near.m_ScrTop;
  EXPECT_EQ(FindNearestTarget(x, y, 0, any), &far);
  EXPECT_EQ(FindNearestTarget(x, y, 1, any), &near);
  far.m_OnScreen = 0;
  EXPECT_EQ(FindNearestTarget(x, y, 0, any), &near);
  EXPECT_EQ(FindNearestTarget(x, y, 2, any), nullptr);
}

}  // namespace

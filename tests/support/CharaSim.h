#pragma once
// Characters on a cTestWorld set up as a stage sets them up (cChara::Init and
// PlaceOnGrid into g_CharaList, cHero::InitForStage into Player), and their
// sub-steps run in the play step's order of motion and collision, for the
// tests of characters, block collision and movement commands:
//
//   cTestWorld world({.subSteps = 4});
//   cCharaSim sim(world);
//   cChara& walker = sim.AddChara(cTestWorld::Definition(), 3, 5);
//   sim.Frames(10);
//
// It widens the test world's camera and removal limits to the whole stage
// (the grid's far edges), as stage set-up does for a stage that sets none.
// The play step's bookkeeping that is not motion (lifetimes, contacts, kills,
// removal) is left out: a step only reports what it would act on.

#include <vector>

#include "support/TestWorld.h"
#include "world/BlockCollision.h"
#include "world/Chara.h"
#include "world/Hero.h"

class cCharaSim {
 public:
  // What one sub-step of a character came to.
  enum eOutcome : int {
    OUTCOME_NONE = 0,
    OUTCOME_ENDED = 1,   // its update ended it (vanished, or hp 0)
    OUTCOME_DIES = 2,    // a collision or the fall killed it
    OUTCOME_REMOVE = 4,  // it left the grid
  };

  explicit cCharaSim(cTestWorld& world) : m_World(world) {
    cGameScene& scene = world.Scene();
    scene.m_ScrollX.SetMap(SCROLL_AXIS_X, g_Stage.m_Width, (g_Stage.m_Width + 20) * kCellDots - kScreenWidth);
    scene.m_ScrollY.SetMap(SCROLL_AXIS_Y, g_Stage.m_Height, (g_Stage.m_Height + 20) * kCellDots - kScreenWidth);
    scene.m_ScrollX.SetBounds(0, 0, 0, 0);
    scene.m_ScrollY.SetBounds(0, 0, 0, 0);
  }

  // A character of `data` placed on stage cell (cellX, cellY), active, with
  // the hero in its target slot 0.
  cChara& AddChara(const cCharaData& data, int cellX, int cellY) {
    cChara& chara = g_CharaList.Emplace();
    const double x = (cellX + kMapMarginCells) * kCellDots + 16;
    const double y = (cellY + kMapMarginCells) * kCellDots + 16;
    chara.Init(m_NextKey++, data, nullptr, x, y, 0, nullptr);
    chara.PlaceOnGrid(cellX, cellY);
    chara.SetParent(nullptr);
    chara.m_Active = 1;
    chara.UpdateRect();
    return chara;
  }

  // The hero, of `data` operated by the player, on stage cell (cellX, cellY).
  cHero& AddHero(cCharaData data, int cellX, int cellY) {
    data.m_nOperator = CHARA_BY_PLAYER;
    Player.clear();
    cHero& hero = Player.emplace_back();
    const double x = (cellX + kMapMarginCells) * kCellDots + 16;
    const double y = (cellY + kMapMarginCells) * kCellDots + 16;
    hero.InitForStage(m_NextKey++, data, x, y, nullptr);
    hero.SetCell(cellX, cellY);
    hero.m_Active = 1;
    hero.UpdateScreenRect();
    return hero;
  }

  // One sub-step of a character that is not a block character (the play
  // step's order: trigger 0, update, carried by its block, x, gravity, y,
  // block characters, the re-checks, the crush test, impulse decay).
  int StepChara(cChara& chara) {
    chara.FireTrigger(TRIGGER_ALWAYS);
    if (chara.Update(0) != 0) return OUTCOME_ENDED;
    if (chara.m_bRiding != 0) CarryRider(chara, g_CharaList);
    bool dies = false;
    bool remove = chara.MoveX() == CHARA_MOVE_REMOVE_X;
    dies |= MapCollideX(chara) == 2;
    chara.ApplyGravity();
    const int y = chara.MoveY();
    dies |= y == CHARA_MOVE_FELL_OUT;
    remove |= y == CHARA_MOVE_REMOVE_Y;
    dies |= MapCollideY(chara) == 2;
    dies |= CollideBlockCharas(chara, g_CharaList) == 2;
    if (chara.m_bContactLeft != 0 || chara.m_bContactRight != 0) MapCollideXRecheck(chara);
    if (chara.m_bContactUp != 0 || chara.m_bContactDown != 0) MapCollideYRecheck(chara);
    dies |= (chara.m_bContactLeft != 0 && chara.m_bContactRight != 0) ||
            (chara.m_bContactUp != 0 && chara.m_bContactDown != 0);
    if (dies) return OUTCOME_DIES;
    if (remove) return OUTCOME_REMOVE;
    chara.DecayImpulseX();
    chara.DecayImpulseY();
    return OUTCOME_NONE;
  }

  // One sub-step of a block character: its own motion against the map only.
  int StepBlock(cChara& block) {
    block.FireTrigger(TRIGGER_ALWAYS);
    if (block.Update(0) != 0) return OUTCOME_ENDED;
    bool dies = false;
    const bool removeX = block.MoveX() == CHARA_MOVE_REMOVE_X;
    dies |= MapCollideX(block) == 2;
    block.ApplyGravity();
    const int y = block.MoveY();
    dies |= y == CHARA_MOVE_FELL_OUT || MapCollideY(block) == 2;
    if (dies) return OUTCOME_DIES;
    if (removeX || y == CHARA_MOVE_REMOVE_Y) return OUTCOME_REMOVE;
    block.DecayImpulseX();
    block.DecayImpulseY();
    return OUTCOME_NONE;
  }

  // One sub-step of the hero; OUTCOME_DIES for any of its deaths (crush
  // grace honoured).
  int StepHero(cHero& hero) {
    hero.FireTrigger(TRIGGER_ALWAYS);
    if (hero.Update(0) != 0) return OUTCOME_DIES;
    if (hero.m_bRiding != 0) CarryRider(hero, g_CharaList);
    hero.MoveX();
    PushHeroByScreenX(hero);
    if (MapCollideX(hero) == 2) return OUTCOME_DIES;
    PushHeroByScreenX(hero);
    hero.ApplyGravity();
    if (hero.MoveY() == CHARA_MOVE_FELL_OUT || PushHeroByScreenY(hero) == 2 || MapCollideY(hero) == 2 ||
        PushHeroByScreenY(hero) == 2) {
      return OUTCOME_DIES;
    }
    const bool graced = hero.m_nCrushGrace != 0;
    if (!graced && Squeezed(hero)) return OUTCOME_DIES;
    if (CollideBlockCharas(hero, g_CharaList) == 2 && !graced) return OUTCOME_DIES;
    if ((hero.m_bContactLeft != 0 || hero.m_bContactRight != 0) && MapCollideXRecheck(hero) == 2 && !graced) {
      return OUTCOME_DIES;
    }
    if ((hero.m_bContactUp != 0 || hero.m_bContactDown != 0) && MapCollideYRecheck(hero) == 2 && !graced) {
      return OUTCOME_DIES;
    }
    if (!graced && Squeezed(hero)) return OUTCOME_DIES;
    hero.DecayImpulseX();
    hero.DecayImpulseY();
    return OUTCOME_NONE;
  }

  // One frame: the per-frame flow flags, then per sub-step the contact flags
  // and previous boxes of everyone, the block characters, the hero and the
  // other characters. The outcome of every step that was not OUTCOME_NONE,
  // in order, with the object's key.
  struct cEvent {
    int m_Key = 0;
    int m_Outcome = OUTCOME_NONE;
    int m_SubStep = 0;
  };
  std::vector<cEvent> Frame() {
    std::vector<cEvent> events;
    for (cHero& hero : Player) hero.ClearFlowFlags();
    for (cChara& chara : g_CharaList) chara.ClearFlowFlags();
    for (int b = 1; b <= g_Stage.m_SubSteps; ++b) {
      ++m_SubStepCount;
      m_World.Scene().m_nSubStep = b;
      for (cHero& hero : Player) Prepare(hero);
      for (cChara& chara : g_CharaList) Prepare(chara);
      for (cChara& chara : g_CharaList) {
        if (chara.IsBlockChara()) Record(events, chara, StepBlock(chara));
      }
      for (cHero& hero : Player) Record(events, hero, StepHero(hero));
      for (cChara& chara : g_CharaList) {
        if (!chara.IsBlockChara()) Record(events, chara, StepChara(chara));
      }
    }
    m_World.Scene().m_nSubStep = 0;
    return events;
  }
  std::vector<cEvent> Frames(int count) {
    std::vector<cEvent> events;
    for (int i = 0; i < count; ++i) {
      std::vector<cEvent> frame = Frame();
      events.insert(events.end(), frame.begin(), frame.end());
    }
    return events;
  }

 private:
  static bool Squeezed(const cCharaBase& chara) {
    return (chara.m_bContactLeft != 0 && chara.m_bContactRight != 0) ||
           (chara.m_bContactUp != 0 && chara.m_bContactDown != 0);
  }
  static void Prepare(cCharaBase& chara) {
    chara.ClearLRUD();
    chara.SavePrevPosition();
  }
  void Record(std::vector<cEvent>& events, const cCharaBase& chara, int outcome) const {
    if (outcome != OUTCOME_NONE) events.push_back(cEvent{chara.m_Key, outcome, m_SubStepCount});
  }

  cTestWorld& m_World;
  int m_NextKey = 100;
  int m_SubStepCount = 0;
};

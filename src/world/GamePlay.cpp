// The play step: one frame of phase 2. The frame takes the keys, counts the
// play time and the time limit, then runs the stage's sub-steps, each moving
// and colliding every object in a fixed order; whatever ends the stage (a
// clear, the hero's death, a replay that ran out) ends the frame at once, and
// a frame that ended early is not drawn.

#include <algorithm>
#include <functional>
#include <vector>

#include "core/FrameTimer.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "core/SoundRequest.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "platform/KeySource.h"
#include "platform/VirtualKeys.h"
#include "world/BlockCollision.h"
#include "world/Chara.h"
#include "world/CharaMotion.h"
#include "world/Conditions.h"
#include "world/Contact.h"
#include "world/Damage.h"
#include "world/FootAndItemBlocks.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/KeyInput.h"
#include "world/ReplayFile.h"
#include "world/ReplayInput.h"
#include "world/Shot.h"
#include "world/StageClear.h"
#include "world/SystemSounds.h"

namespace {

constexpr int kMaxPlayTime = 599999;  // hundredths of a second
constexpr int kSecondFrames = 60;

bool Alive(const cCharaBase& chara) { return chara.m_bDead == 0; }

// How a character's turn in a sub-step ended.
enum class eTurn { kGoOn, kEndFrame };

}  // namespace

// ---- small steps ------------------------------------------------------------------

int cGameScene::CheckPauseKey() {
  if (!plat::IsKeyHeld(plat::VK_SPACE)) return 0;
  PlaySystemSound(kSoundPause);
  m_nSavedPhase = m_nStep;
  m_nSavedSubState = SubState();
  return 1;
}

void cGameScene::TickPlayTime() {
  if (m_nPlayTime > kMaxPlayTime - 1) return;
  ++m_nPlayFrames;
  const int64_t time = int64_t{m_nPlayFrames} * 100 / kSecondFrames;
  m_nPlayTime = static_cast<int32_t>(std::min<int64_t>(time, kMaxPlayTime));
}

int cGameScene::TickTimeLimit(int delta) {
  if (m_bNoTimeLimit != 0) return 0;
  if (!FrameSkip(1, kSecondFrames)) return 0;
  const int64_t left = int64_t{m_nTimeLeft} + delta;
  if (left >= 1000) {
    m_nTimeLeft = kNoTimeLimitSeconds;
    return 0;
  }
  if (left <= 0) {
    m_nTimeLeft = 0;
    return 1;
  }
  m_nTimeLeft = static_cast<int32_t>(left);
  return 0;
}

void cGameScene::AddToGroup(cCharaBase& chara) {
  const int group = std::clamp(chara.m_PassNo, 0, kGroupListCount - 1);
  m_CharaGroups[group].push_back(&chara);
}

void cGameScene::RemoveFromGroup(const cCharaBase& chara) {
  for (auto& group : m_CharaGroups) {
    group.erase(std::remove(group.begin(), group.end(), &chara), group.end());
  }
}

void cGameScene::RemoveChara(cChara& chara) {
  RemoveFromGroup(chara);
  ForgetCurrentOf(chara);
  ::RemoveChara(chara);
}

void cGameScene::ForgetCurrentOf(const cCharaBase& chara) {
  // A flow that vanished its own character returns before it clears the
  // current flow and command, which live in that character's flow states;
  // item commands run later in the same sub-step read them.
  bool ownsCurrent = m_pCurChara == &chara;
  for (const cFlowState& flow : chara.m_FlowStates) {
    if (&flow == m_pCurFlowState) ownsCurrent = true;
    for (const cCmdState& command : flow.m_CmdStates) {
      if (&command == m_pCurCmdState) ownsCurrent = true;
    }
  }
  if (!ownsCurrent) return;
  ClearCurrent();
}

void cGameScene::PruneGroups() {
  // Once a sub-step: a sorted array looked up by halves, not a hash set
  // built node by node.
  if (std::all_of(m_CharaGroups.begin(), m_CharaGroups.end(), [](const auto& group) { return group.empty(); })) return;
  std::vector<const cCharaBase*> present;
  present.reserve(static_cast<std::size_t>(g_CharaList.Count()) + Player.size());
  for (const cHero& hero : Player) present.push_back(&hero);
  for (const cChara& chara : g_CharaList) present.push_back(&chara);
  std::sort(present.begin(), present.end(), std::less<>());
  const auto absent = [&present](const cCharaBase* c) {
    return !std::binary_search(present.begin(), present.end(), c, std::less<>());
  };
  for (auto& group : m_CharaGroups) group.erase(std::remove_if(group.begin(), group.end(), absent), group.end());
}

void cGameScene::ActivateNearObjects() {
  if (cHero* hero = StageHero()) {
    hero->m_Active = 1;
    hero->m_OnScreen = 1;
  }
  std::fill(m_WakeGroups.begin(), m_WakeGroups.end(), uint8_t{0});
  for (cChara& chara : g_CharaList) {
    if (CharaConditionsHold(chara)) {
      chara.m_Active = 1;
      chara.m_OnScreen = chara.IsOnScreen();
      chara.CheckActive(m_WakeGroups);
    } else {
      chara.m_Active = 0;
      chara.m_OnScreen = 0;
    }
  }
  for (cChara& chara : g_CharaList) {
    chara.m_bActing = chara.m_Active != 0 && chara.CheckStart(m_WakeGroups) != 0 ? 1 : 0;
  }
  for (cItem& item : g_ItemList) {
    item.m_Active = ItemConditionsHold(item) ? 1 : 0;
    item.m_OnScreen = item.IsOnScreen();
  }
  ActivateShots();
}

// ---- the frame ----------------------------------------------------------------------

namespace {

// A character's moves of the sub-step with the map collision after each,
// and what they left: dying (a deadly cell, fallen out) or leaving the stage.
struct sMoveResult {
  bool dying = false;
  bool remove = false;
};

// The frame's state between its steps: the scene, the stage's sub-step count.
class cPlayFrame {
 public:
  explicit cPlayFrame(cGameScene& scene) : m_Scene(scene) {}

  // The whole frame; false when it ended early (nothing to draw).
  bool Run();

 private:
  bool TakeKeys();
  bool RunSubStep(int subStep);
  void RunLifetimes();
  void PrepareObjects();
  eTurn BlockCharaTurn(cChara& chara);
  eTurn HeroTurn(cHero& hero);
  eTurn CharaTurn(cChara& chara);
  eTurn KillDying(cChara& chara);
  eTurn EndTurn(cChara& chara, const sMoveResult& moved);
  eTurn AfterKill(cChara& chara, int result);
  void RemoveOutsideAreas();
  eTurn StageResult(int result);
  eTurn ClearTheStage();
  eTurn HeroDeath(const char* where);
  bool HeroAlive() const {
    const cHero* hero = StageHero();
    return hero != nullptr && Alive(*hero);
  }

  cGameScene& m_Scene;
};

bool cPlayFrame::Run() {
  cGameScene& scene = m_Scene;
  if (scene.CloseRequested()) {
    PostCloseToMainWindow();
    return false;
  }
  if (scene.CheckPauseKey() != 0) {
    scene.SubState() = 0;
    scene.SetPhase(PHASE_PAUSE);
    return false;
  }
  if (RequestReplaySave(IsReplayPlaying()) != 0) return false;
  ++scene.m_nFrameCounter;
  if (!TakeKeys()) return false;
  scene.TickPlayTime();
  if (scene.TickTimeLimit(-1) != 0) {
    if (HeroAlive() && HeroDie() == 1) ClearTheStage();
    return false;
  }
  if (cHero* hero = StageHero()) hero->ClearFlowFlags();
  for (cChara& chara : g_CharaList) {
    if (Alive(chara)) chara.ClearFlowFlags();
  }
  const int subSteps = g_Stage.SubStepsAtLeastOne();
  for (int b = 1; b <= subSteps; ++b) {
    if (!RunSubStep(b)) {
      // A kill or a death flow may have cleared the stage by its step result.
      if (scene.Phase() == PHASE_PLAY && scene.m_nStepResult == STEP_RESULT_STAGE_CLEAR) ClearTheStage();
      return false;
    }
  }
  scene.m_nSubStep = 0;
  return true;
}

bool cPlayFrame::TakeKeys() {
  cKeyInput& keys = g_KeyInput[0];
  if (IsReplayPlaying()) {
    keys.m_Dir = 0;
    keys.m_Buttons = 0;
    if (g_ReplayRec.PlayFrame(keys) != 0) {
      g_Progress.RestoreStageStart(true, g_SceneManager.m_nPlayMode, g_TestPlay != 0);
      m_Scene.SetStage(1, 1);
      m_Scene.SetPhase(PHASE_READY);
      return false;
    }
    keys.m_DirNumber = cKeyInput::DirectionFromWord(keys.m_Dir);
    keys.UpdateRings();
    keys.UpdateHistories();
    return true;
  }
  if (keys.m_Buttons == 0) {
    m_Scene.m_bDecideLock = 0;
  } else if (m_Scene.m_bDecideLock != 0) {
    keys.m_Buttons = 0;
  }
  keys.UpdateRings();
  keys.UpdateHistories();
  if (g_System.m_bReplay != 0) g_ReplayRec.RecordFrame(keys);
  return true;
}

void cPlayFrame::RunLifetimes() {
  for (cChara& chara : g_CharaList) {
    if (!Alive(chara) || chara.m_Life == kEndlessLife) continue;
    if (--chara.m_Life < 0) m_Scene.RemoveChara(chara);
  }
  for (cItem& item : g_ItemList) {
    if (item.m_Life == kEndlessLife) continue;
    if (--item.m_Life < 0) g_ItemList.Remove(&item);
  }
}

void cPlayFrame::PrepareObjects() {
  for (cChara& chara : g_CharaList) {
    TickNoHit(chara);
    chara.ClearLRUD();
    chara.SavePrevPosition();
  }
  if (cHero* hero = StageHero()) {
    TickNoHit(*hero);
    hero->ClearLRUD();
    hero->SavePrevPosition();
    hero->SavePrevFacing();
    hero->SavePrevState();
  }
}

bool cPlayFrame::RunSubStep(int subStep) {
  cGameScene& scene = m_Scene;
  scene.m_nSubStep = subStep;
  ++scene.m_nSubStepCounter;
  scene.PruneGroups();
  scene.ActivateNearObjects();
  if (HeroAlive()) RunLifetimes();
  PrepareObjects();
  scene.m_ScrollX.Advance();
  scene.m_ScrollY.Advance();

  if (HeroAlive()) {
    for (cChara& chara : g_CharaList) {
      if (!chara.IsBlockChara() || !Alive(chara) || chara.m_Active == 0 || chara.m_bActing == 0) continue;
      if (BlockCharaTurn(chara) == eTurn::kEndFrame) return false;
    }
  }
  if (cHero* hero = StageHero(); hero != nullptr && Alive(*hero)) {
    if (HeroTurn(*hero) == eTurn::kEndFrame) return false;
  }
  if (HeroAlive()) {
    for (cChara& chara : g_CharaList) {
      if (chara.IsBlockChara() || !Alive(chara) || chara.m_Active == 0 || chara.m_bActing == 0) continue;
      if (CharaTurn(chara) == eTurn::kEndFrame) return false;
    }
  }
  UpdateShots();
  if (subStep == 1 && HeroAlive()) RemoveOutsideAreas();
  if (cHero* hero = StageHero(); hero != nullptr && Alive(*hero)) {
    if (StageResult(TouchItemBlocks(*hero)) == eTurn::kEndFrame) return false;
    if (StageResult(CheckContacts()) == eTurn::kEndFrame) return false;
    if (Alive(*hero) && StageResult(PickUpItems(*hero)) == eTurn::kEndFrame) return false;
  }
  return true;
}

// The result of the contacts, the item blocks and the pickups: a result of 2
// is the hero's death, which runs here, in the frame that caused it.
eTurn cPlayFrame::StageResult(int result) {
  if (result == STEP_RESULT_STAGE_CLEAR) return ClearTheStage();
  if (result == STEP_RESULT_STOP) return HeroDeath(nullptr);
  return eTurn::kGoOn;
}

eTurn cPlayFrame::ClearTheStage() {
  ClearStage(m_Scene);
  m_Scene.SetPhase(PHASE_STAGE_CLEAR);
  return eTurn::kEndFrame;
}

eTurn cPlayFrame::HeroDeath(const char* where) {
  if (where != nullptr) LogPuts(where);
  if (HeroDie() == 1) return ClearTheStage();
  return eTurn::kEndFrame;
}

eTurn cPlayFrame::AfterKill(cChara& chara, int result) {
  if (g_System.m_bKeepDeadChara != 0) {
    if (result == 1) {
      m_Scene.RemoveChara(chara);
      return eTurn::kEndFrame;
    }
    PlaySystemSound(kSoundCharaDies);
    return result != 0 ? eTurn::kEndFrame : eTurn::kGoOn;
  }
  m_Scene.RemoveChara(chara);
  return result != 0 ? eTurn::kEndFrame : eTurn::kGoOn;
}

eTurn cPlayFrame::KillDying(cChara& chara) {
  PlaySystemSound(kSoundCharaDies);
  const int result = KillAndCheck(chara);
  if (result == 1) {
    m_Scene.RemoveChara(chara);
    return eTurn::kEndFrame;
  }
  return result != 0 ? eTurn::kEndFrame : eTurn::kGoOn;
}

sMoveResult MoveAndCollide(cChara& chara) {
  sMoveResult result;
  if (chara.MoveX() == CHARA_MOVE_REMOVE_X) result.remove = true;
  if (MapCollideX(chara) == 2) result.dying = true;
  chara.ApplyGravity();
  const int moveY = chara.MoveY();
  if (moveY == CHARA_MOVE_FELL_OUT) result.dying = true;
  if (moveY == CHARA_MOVE_REMOVE_Y) result.remove = true;
  if (MapCollideY(chara) == 2) result.dying = true;
  return result;
}

eTurn cPlayFrame::EndTurn(cChara& chara, const sMoveResult& moved) {
  if (moved.dying) return KillDying(chara);
  if (moved.remove) {
    m_Scene.RemoveChara(chara);
    return eTurn::kGoOn;
  }
  chara.DecayImpulseX();
  chara.DecayImpulseY();
  return eTurn::kGoOn;
}

eTurn cPlayFrame::BlockCharaTurn(cChara& chara) {
  chara.FireTrigger(0);
  if (chara.Update(0) != 0) return AfterKill(chara, KillAndCheck(chara));
  if (m_Scene.m_bHpCheck != 0 && CheckDeaths() != 0) return eTurn::kEndFrame;
  return EndTurn(chara, MoveAndCollide(chara));
}

eTurn cPlayFrame::HeroTurn(cHero& hero) {
  hero.FireTrigger(0);
  if (hero.Update(0) != 0) return HeroDeath(nullptr);
  if (m_Scene.m_nStepResult == STEP_RESULT_STAGE_CLEAR) return ClearTheStage();
  if (m_Scene.m_nStepResult == STEP_RESULT_STOP) return HeroDeath(nullptr);
  if (m_Scene.m_bHpCheck != 0 && CheckDeaths() != 0) return eTurn::kEndFrame;
  ApplyFootBlock(hero);
  if (hero.m_bRiding != 0) CarryRider(hero, g_CharaList);

  hero.MoveX();
  PushHeroByScreenX(hero);
  if (MapCollideX(hero) == 2) return HeroDeath("Dead 1");
  PushHeroByScreenX(hero);

  hero.ApplyGravity();
  if (hero.MoveY() == CHARA_MOVE_FELL_OUT) return HeroDeath("Dead 2");
  if (PushHeroByScreenY(hero) == 2) return HeroDeath("Dead 3");
  if (MapCollideY(hero) == 2) return HeroDeath("Dead 4");
  if (PushHeroByScreenY(hero) == 2) return HeroDeath("Dead 5");

  const auto crushed = [&hero] {
    return ((hero.m_bContactLeft && hero.m_bContactRight) || (hero.m_bContactUp && hero.m_bContactDown)) &&
           hero.m_nCrushGrace == 0;
  };
  const auto crushDeath = [&hero, this](const char* where) {
    LogPrintf("Player[P1].LRUD = %d,%d,%d,%d", hero.m_bContactLeft, hero.m_bContactRight, hero.m_bContactUp,
              hero.m_bContactDown);
    hero.RestorePrevPosition();
    return HeroDeath(where);
  };
  if (crushed()) return crushDeath("Dead SP");
  if (CollideBlockCharas(hero, g_CharaList) == 2 && Alive(hero) && hero.m_nCrushGrace == 0) {
    return HeroDeath("Dead 6");
  }
  if ((hero.m_bContactLeft || hero.m_bContactRight) && MapCollideXRecheck(hero) == 2 && Alive(hero) &&
      hero.m_nCrushGrace == 0) {
    return HeroDeath("Dead 7");
  }
  if ((hero.m_bContactUp || hero.m_bContactDown) && MapCollideYRecheck(hero) == 2 && Alive(hero) &&
      hero.m_nCrushGrace == 0) {
    return HeroDeath("Dead 8");
  }
  if (crushed()) return crushDeath("Dead 9");
  hero.DecayImpulseX();
  hero.DecayImpulseY();
  return eTurn::kGoOn;
}

eTurn cPlayFrame::CharaTurn(cChara& chara) {
  chara.FireTrigger(0);
  if (chara.Update(0) != 0) {
    if (chara.m_bVanished != 0) {
      m_Scene.RemoveChara(chara);
      return eTurn::kGoOn;
    }
    return AfterKill(chara, KillAndCheck(chara));
  }
  if (m_Scene.m_bHpCheck != 0 && CheckDeaths() != 0) return eTurn::kEndFrame;
  if (chara.m_bRiding != 0) CarryRider(chara, g_CharaList);
  sMoveResult moved = MoveAndCollide(chara);
  if (CollideBlockCharas(chara, g_CharaList) == 2) moved.dying = true;
  MapCollideXRecheck(chara);
  MapCollideYRecheck(chara);
  if ((chara.m_bContactLeft && chara.m_bContactRight) || (chara.m_bContactUp && chara.m_bContactDown)) {
    moved.dying = true;
  }
  return EndTurn(chara, moved);
}

void cPlayFrame::RemoveOutsideAreas() {
  cGameScene& scene = m_Scene;
  for (cChara& chara : g_CharaList) {
    if (!Alive(chara) || chara.m_Active == 0) continue;
    const bool block = chara.IsBlockChara();
    if (block ? scene.m_bRemoveBlockCharas == 0 : scene.m_bRemoveCharas == 0) continue;
    if (chara.IsOutsideRemovalArea(g_Stage.m_Areas[block ? STAGE_AREA_BLOCK_CHARAS : STAGE_AREA_CHARAS]) != 0) {
      scene.RemoveChara(chara);
    }
  }
  if (scene.m_bRemoveItems != 0) {
    for (cItem& item : g_ItemList) {
      if (item.IsOutsideRemovalArea(g_Stage.m_Areas[STAGE_AREA_ITEMS]) != 0) g_ItemList.Remove(&item);
    }
  }
}

}  // namespace

void cGameScene::Play() {
  cPlayFrame frame(*this);
  if (frame.Run()) Draw(1, 0, 1, 1);
}

#include "world/CharaBase.h"

#include <algorithm>

#include "data/Database.h"
#include "data/StageData.h"
#include "world/FlowServices.h"
#include "world/FlowState.h"
#include "world/Hero.h"
#include "world/KeyInput.h"

namespace {

// Moves a position so that the graphic's centre on screen, as the last
// UpdateRect left it (screen edge plus half the size), lands on `target`.
void MoveCentreTo(double& position, int screenEdge, int size, int target) {
  const int centre = screenEdge + (size >> 1);
  if (centre < target) {
    position += static_cast<double>(int64_t{target} - centre);
  } else {
    position -= static_cast<double>(int64_t{centre} - target);
  }
}

void StopMovement(cCmdState* moveState) {
  if (moveState == nullptr) return;
  for (int32_t& value : moveState->m_Accumulated) value = 0;
}

// A gauge after a change of `amount` of a value now at `value` out of `maximum`.
void StartGauge(cGauge& gauge, int32_t value, int32_t amount, int32_t maximum) {
  if (amount == 0) return;
  // A maximum of 0 (a definition may hold one, and the code language can set
  // one) would divide by zero: it draws as a maximum of 1.
  const int64_t divisor = std::max<int32_t>(maximum, 1);
  gauge.m_Timer = kGaugeFrames;
  gauge.m_Bar = static_cast<int32_t>(int64_t{value} * kGaugeDots / divisor);
  gauge.m_Trail = static_cast<double>(int64_t{amount} * kGaugeDots) / static_cast<double>(divisor);
  gauge.m_TrailStep = gauge.m_Trail / 60.0;
}

// value + amount within 0 .. maximum, a gain first cut to what fits below
// the maximum (the gauge shows the cut amount). True when the value reached 0.
bool AddPoints(int32_t& value, int32_t& amount, int32_t maximum) {
  const int64_t top = std::max<int32_t>(maximum, 0);
  if (amount > 0) amount = static_cast<int32_t>(std::min<int64_t>(amount, std::max<int64_t>(0, top - value)));
  const int64_t sum = std::clamp<int64_t>(int64_t{value} + amount, 0, top);
  value = static_cast<int32_t>(sum);
  return sum <= 0;
}

template <class tLink>
void RemoveLinks(cSafeVector<tLink>& links, const tLink& link) {
  links.erase(std::remove(links.begin(), links.end(), link), links.end());
}

template <class tLink>
void AddLinkOnce(cSafeVector<tLink>& links, const tLink& link) {
  if (std::find(links.begin(), links.end(), link) == links.end()) links.push_back(link);
}

}  // namespace

// ---- construction and copies -------------------------------------------------

namespace {
std::uint64_t s_nDataStamp = 0;
}  // namespace

std::uint64_t cCharaBase::DataStamp() { return s_nDataStamp; }
void cCharaBase::NoteDataChanged() { ++s_nDataStamp; }

cCharaBase::cCharaBase()
    : m_Targets(kTargetSlotCount, nullptr),
      m_GroupRunning(kFlowGroupCount, 0),
      m_GroupEnded(kFlowGroupCount, 0),
      m_GroupStarted(kFlowGroupCount, 0),
      m_Vars(kCharaVarCount, 0) {}

cCharaBase::cCharaBase(const cCharaBase& other) : cGameObj(other) {
  CopyChara(other);
}

cCharaBase& cCharaBase::operator=(const cCharaBase& other) {
  if (this != &other) {
    cGameObj::operator=(other);
    CopyChara(other);
  }
  return *this;
}

void cCharaBase::CopyChara(const cCharaBase& other) {
  if (this == &other) return;
  // The base's screen rectangle, hit offsets and sizes stay this object's own.
  const int32_t scrLeft = m_ScrLeft, scrTop = m_ScrTop, scrRight = m_ScrRight, scrBottom = m_ScrBottom;
  const int32_t drawOffX = m_DrawOffX, drawOffY = m_DrawOffY, gfxW = m_GfxW, gfxH = m_GfxH;
  const int32_t baseDrawOffX = m_BaseDrawOffX, baseDrawOffY = m_BaseDrawOffY;
  const int32_t baseGfxW = m_BaseGfxW, baseGfxH = m_BaseGfxH;
  const int32_t boxW = m_BoxW, boxH = m_BoxH, baseBoxW = m_BaseBoxW, baseBoxH = m_BaseBoxH;
  cGameObj::operator=(other);
  m_ScrLeft = scrLeft, m_ScrTop = scrTop, m_ScrRight = scrRight, m_ScrBottom = scrBottom;
  m_DrawOffX = drawOffX, m_DrawOffY = drawOffY, m_GfxW = gfxW, m_GfxH = gfxH;
  m_BaseDrawOffX = baseDrawOffX, m_BaseDrawOffY = baseDrawOffY, m_BaseGfxW = baseGfxW, m_BaseGfxH = baseGfxH;
  m_BoxW = boxW, m_BoxH = boxH, m_BaseBoxW = baseBoxW, m_BaseBoxH = baseBoxH;

  m_Targets = other.m_Targets;
  m_pParent = other.m_pParent;
  m_CharaLinks = other.m_CharaLinks;
  m_ShotLinks = other.m_ShotLinks;
  NoteDataChanged();
  m_bRelayToParent = other.m_bRelayToParent;
  m_nRelayFlowId = other.m_nRelayFlowId;
  m_Data = other.m_Data;
  m_FlowStates = other.m_FlowStates;
  m_GroupRunning = other.m_GroupRunning;
  m_GroupEnded = other.m_GroupEnded;
  m_GroupStarted = other.m_GroupStarted;
  m_bGroupEndedPending = other.m_bGroupEndedPending;
  m_bDeletePending = other.m_bDeletePending;
  m_nFlowKeyCounter = other.m_nFlowKeyCounter;
  m_SpawnX = other.m_SpawnX;
  m_SpawnY = other.m_SpawnY;
  m_bMovedByCmd = other.m_bMovedByCmd;
  m_ImpulseX = other.m_ImpulseX;
  m_ImpulseY = other.m_ImpulseY;
  m_bKnockback = other.m_bKnockback;
  m_PrevImpulseY = other.m_PrevImpulseY;
  m_bNoGravity = other.m_bNoGravity;
  m_bPushedX = other.m_bPushedX;
  m_nPushedByKey = other.m_nPushedByKey;
  m_PushedByX = other.m_PushedByX;
  m_nLastWall = other.m_nLastWall;
  m_bAirborne = other.m_bAirborne;
  m_bJumpRising = other.m_bJumpRising;
  m_bJumped = other.m_bJumped;
  m_bCeilingHit = other.m_bCeilingHit;
  m_nOffGround = other.m_nOffGround;
  m_nCellBelow = other.m_nCellBelow;
  m_nLastCellBelow = other.m_nLastCellBelow;
  m_nPrevLastCellBelow = other.m_nPrevLastCellBelow;
  m_nCrushGrace = other.m_nCrushGrace;
  m_bScreenLockX = other.m_bScreenLockX;
  m_bScreenLockY = other.m_bScreenLockY;
  m_nLockedScreenX = other.m_nLockedScreenX;
  m_nLockedScreenY = other.m_nLockedScreenY;
  m_bDead = other.m_bDead;
  m_nDeathFrames = other.m_nDeathFrames;
  m_bContactLeft = other.m_bContactLeft;
  m_bContactRight = other.m_bContactRight;
  m_bContactUp = other.m_bContactUp;
  m_bContactDown = other.m_bContactDown;
  m_bOnBlockChara = other.m_bOnBlockChara;
  m_bRiding = other.m_bRiding;
  m_nRiddenKey = other.m_nRiddenKey;
  m_RiddenX = other.m_RiddenX;
  m_RiddenY = other.m_RiddenY;
  m_RiddenRight = other.m_RiddenRight;
  m_RiddenBottom = other.m_RiddenBottom;
  m_PrevX = other.m_PrevX;
  m_PrevY = other.m_PrevY;
  m_PrevRight = other.m_PrevRight;
  m_PrevBottom = other.m_PrevBottom;
  m_Hp = other.m_Hp;
  m_HpGauge = other.m_HpGauge;
  m_Sp = other.m_Sp;
  m_SpGauge = other.m_SpGauge;
  m_Vars = other.m_Vars;
  m_nNoHitTimer = other.m_nNoHitTimer;
  m_NoHitList = other.m_NoHitList;
  m_AnimeList = other.m_AnimeList;
  m_CharaEffect = other.m_CharaEffect;
  m_bVanished = other.m_bVanished;
  m_nLightRadius = other.m_nLightRadius;
  m_AttackRect = other.m_AttackRect;
  m_ShotRect = other.m_ShotRect;
  // The copied states point into the other character's flows.
  RelinkFlowStates();
}

// ---- centring ------------------------------------------------------------------

void cCharaBase::SetCenter(int x, int y) {
  SetCenterX(x);
  SetCenterY(y);
}

void cCharaBase::SetCenterStop(int x, int y, cCmdState* moveState) {
  SetCenter(x, y);
  StopMovement(moveState);
}

void cCharaBase::SetCenterX(int x) {
  MoveCentreTo(m_X, m_ScrLeft, m_GfxW, x);
  ConstrainX();
}

void cCharaBase::SetCenterXStop(int x, cCmdState* moveState) {
  SetCenterX(x);
  StopMovement(moveState);
}

void cCharaBase::SetCenterY(int y) {
  MoveCentreTo(m_Y, m_ScrTop, m_GfxH, y);
  ConstrainY();
}

void cCharaBase::SetCenterYStop(int y, cCmdState* moveState) {
  SetCenterY(y);
  StopMovement(moveState);
}

// ---- set-up ----------------------------------------------------------------------

void cCharaBase::ResetState(const cCharaData* definition, double spawnX, double spawnY, int copyIndex) {
  m_CloneNo = static_cast<uint16_t>(copyIndex);
  m_CharaLinks.clear();
  m_ShotLinks.clear();
  m_Targets.assign(kTargetSlotCount, nullptr);
  m_pParent = nullptr;
  m_GroupRunning.assign(kFlowGroupCount, 0);
  m_GroupEnded.assign(kFlowGroupCount, 0);
  m_GroupStarted.assign(kFlowGroupCount, 0);
  m_bGroupEndedPending = 0;
  m_bDeletePending = 0;
  m_SpawnX = spawnX;
  m_SpawnY = spawnY;

  m_ImpulseX = m_ImpulseY = 0.0;
  m_bKnockback = 0;
  m_PrevImpulseY = 0.0;
  m_bNoGravity = 0;
  m_bPushedX = 0;
  m_nPushedByKey = 0;
  m_PushedByX = 0.0;
  m_nLastWall = -1;
  m_bAirborne = 1;
  m_bJumpRising = m_bJumped = m_bCeilingHit = m_nOffGround = 0;
  m_nCellBelow = m_nLastCellBelow = m_nPrevLastCellBelow = -1;
  m_nCrushGrace = 0;
  m_bScreenLockX = m_bScreenLockY = m_nLockedScreenX = m_nLockedScreenY = 0;
  m_bDead = m_nDeathFrames = 0;
  m_bContactLeft = m_bContactRight = m_bContactUp = m_bContactDown = 0;
  m_bOnBlockChara = m_bRiding = m_nRiddenKey = 0;
  m_RiddenX = m_RiddenY = m_RiddenRight = m_RiddenBottom = 0.0;
  m_Hp = m_Sp = 0;
  m_HpGauge = cGauge{};
  m_SpGauge = cGauge{};
  m_Vars.assign(kCharaVarCount, 0);

  if (definition != nullptr) {
    if (definition != &m_Data) m_Data = *definition;
    NoteDataChanged();
    m_Hp = m_Data.m_nMhp;
    m_Sp = m_Data.m_nMsp;
  }

  m_bVanished = 0;
  m_MovesWithScroll = m_Data.m_bScrollSync;
  m_nLightRadius = int32_t{m_Data.m_nSight} * 16;
  RefreshStopping();

  m_CharaEffect.Clear();
  if (m_Data.m_nSpawnEffect != 0) {
    m_CharaEffect.Start(m_Data.m_nSpawnEffect, m_Data.m_nSpawnEffectList, m_Data.m_nSpawnEffectValue);
  }

  m_nNoHitTimer = 0;
  m_NoHitList.clear();
  SetBaseAnimeSet(m_Data.m_nAnimeSet, 1);
  m_AnimeList.clear();
  m_bRelayToParent = 0;
  m_nRelayFlowId = 0;
}

void cCharaBase::SetParent(cCharaBase* parent) {
  cHero* hero = StageHero();
  m_Targets[0] = hero;
  if (hero != nullptr) AddLinkOnce(hero->m_CharaLinks, cCharaLink{this, 0});
  m_pParent = parent;
  if (parent != nullptr) AddLinkOnce(parent->m_CharaLinks, cCharaLink{this, kLinkChild});
}

void cCharaBase::SetTarget(int slot, cCharaBase* object, int /*replace*/) {
  if (slot < 0 || slot >= kTargetSlotCount) return;
  cCharaBase*& occupant = m_Targets[slot];
  if (occupant != nullptr) {
    RemoveLinks(occupant->m_CharaLinks, cCharaLink{this, slot});
    occupant = nullptr;
  }
  if (object == nullptr) return;
  occupant = object;
  AddLinkOnce(object->m_CharaLinks, cCharaLink{this, slot});
}

cCharaBase* cCharaBase::Target(int slot) const {
  if (slot < 0 || slot >= kTargetSlotCount || static_cast<int>(m_Targets.size()) <= slot) return nullptr;
  return m_Targets[slot];
}

// ---- status --------------------------------------------------------------------

int cCharaBase::AddHp(int32_t amount, int forced, int showGauge) {
  if (forced == 0 && amount <= 0 && m_Data.m_nInvincible != 0) return 0;
  if (AddPoints(m_Hp, amount, m_Data.m_nMhp)) return 1;
  if (showGauge != 0) ShowHpGauge(amount);
  return 0;
}

int cCharaBase::AddSp(int32_t amount, int showGauge) {
  if (AddPoints(m_Sp, amount, m_Data.m_nMsp)) return 1;
  if (showGauge != 0) ShowSpGauge(amount);
  return 0;
}

void cCharaBase::ShowHpGauge(int32_t amount) { StartGauge(m_HpGauge, m_Hp, amount, m_Data.m_nMhp); }

void cCharaBase::ShowSpGauge(int32_t amount) { StartGauge(m_SpGauge, m_Sp, amount, m_Data.m_nMsp); }

void cCharaBase::RefreshStopping() {
  // Before a stage sets its sub-steps there is nothing to divide by; the
  // deceleration is then left at 0 rather than infinite.
  if (g_Stage.m_SubStepsSq <= 0.0) {
    m_Decel = 0.0;
    return;
  }
  m_Decel = m_Data.m_nStop * 0.01 / g_Stage.m_SubStepsSq;
}

// ---- flows: bookkeeping ----------------------------------------------------------

void cCharaBase::ClearFlowFlags() {
  for (cFlowState& state : m_FlowStates) {
    state.m_TriggeredThisFrame = 0;
    state.m_StartedThisFrame = 0;
  }
  m_GroupStarted.assign(kFlowGroupCount, 0);
}

void cCharaBase::RelinkFlowStates() {
  cSafeVector<cFlow>& flows = m_Data.m_Flows;
  if (m_FlowStates.size() > flows.size()) m_FlowStates.resize(flows.size());
  const int count = static_cast<int>(m_FlowStates.size());
  for (int i = 0; i < count; ++i) {
    cFlowState& state = m_FlowStates[i];
    cFlow& flow = flows[i];
    state.m_FlowIndex = i;
    state.m_pFlow = &flow;
    state.m_KeyConds.clear();
    for (cKeyCond& cond : flow.m_KeyConds) state.m_KeyConds.push_back(&cond);
    const int commands = static_cast<int>(std::min(state.m_CmdStates.size(), flow.m_Commands.size()));
    state.m_CmdStates.resize(static_cast<std::size_t>(commands));
    for (int j = 0; j < commands; ++j) state.m_CmdStates[j].m_pCommand = &flow.m_Commands[j];
  }
}

int cCharaBase::GetTriggerKeySlot(const cKeyInput& keys) {
  const int slots = std::min<int>(kDirSlotCount, static_cast<int>(keys.m_DirHistory.size()));
  for (int slot = 0; slot < slots; ++slot) {
    const cKeyHistory& history = keys.m_DirHistory[slot];
    if (!history.empty() && history[0].m_State != 0) return slot;
  }
  return 0;
}

// ---- flows: the interpreter's operations ----------------------------------------

int cCharaBase::InstallFlows(cSafeVector<cFlow>& flows, int addMode, int position) {
  return FlowServices().InstallFlows(*this, flows, addMode, position);
}

void cCharaBase::FireTrigger(int trigger) { FlowServices().FireFlowTrigger(*this, trigger, nullptr, 0); }

void cCharaBase::FireFlowTrigger(int trigger, cCharaBase* other, int flowIdFilter) {
  FlowServices().FireFlowTrigger(*this, trigger, other, flowIdFilter);
}

void cCharaBase::CopyFlowStates(const cSafeVector<cFlowState>& states) {
  FlowServices().CopyFlowStates(*this, states);
}

void cCharaBase::RemoveFlow(int index) { FlowServices().RemoveFlow(*this, index); }

void cCharaBase::RunFlowAnimeCues() { FlowServices().RunFlowAnimeCues(*this); }

int cCharaBase::RunFlowPass(int deathMode) { return FlowServices().RunFlowPass(*this, deathMode); }

// ---- animations ------------------------------------------------------------------

void cCharaBase::SetBaseAnimeSet(int set, int forced) {
  if (forced == 0 && set == m_Data.m_nAnimeSet) return;
  m_Data.m_nAnimeSet = static_cast<int16_t>(set);
  m_Anime.Clear();
  // A set outside the database takes the checked path (report, entry 0).
  const cAnimeSet& animeSet = g_Database.m_AnimeSets[set];
  cFrameScriptTable scripts;
  scripts.reserve(animeSet.m_States.size());
  for (const cAnime& anime : animeSet.m_States) {
    cFrameScript& rows = scripts.emplace_back();
    for (const cAnimeFrameData& frame : anime.m_Frames) {
      rows.push_back(cAnimeFrame{frame.m_nPattern, static_cast<int32_t>(int64_t{frame.m_nDuration} * 6), 1});
    }
    rows.push_back(cAnimeFrame{kAnimePatternLoop, 0, 1});
  }
  m_Anime.Setup(scripts);
}

void cCharaBase::RemoveAnime(int32_t key) {
  std::erase_if(m_AnimeList, [key](const cAnimePlayback& entry) { return entry.m_AnimeKey == key; });
}

void cCharaBase::StopAnime(int32_t key) {
  std::erase_if(m_AnimeList, [key](const cAnimePlayback& entry) {
    return entry.m_AnimeKey == key && int64_t{entry.m_TimeLeft} + entry.m_ExtraTime - 1 < 0;
  });
  for (cAnimePlayback& entry : m_AnimeList) {
    if (entry.m_AnimeKey == key) entry.m_bStopped = 1;
  }
}

void cCharaBase::ResumeAnime(int32_t key) {
  for (cAnimePlayback& entry : m_AnimeList) {
    if (entry.m_AnimeKey == key) entry.m_bStopped = 0;
  }
}

// ---- key conditions ----------------------------------------------------------------

bool KeyCondHolds(const cKeyInput& keys, const cKeyCond& cond) {
  int matches = 0;
  int misses = 0;
  const int count = std::min<int>(kKeyCondKeyCount, static_cast<int>(cond.m_Keys.size()));
  for (int key = 0; key < count; ++key) {
    const int wanted = cond.m_Keys[key];
    if (wanted == KEY_STATE_ANY) continue;
    const cSafeVector<cKeyHistory>& histories = key < kDirSlotCount ? keys.m_DirHistory : keys.m_ButtonHistory;
    const int slot = key < kDirSlotCount ? key : key - kDirSlotCount;
    const bool held = slot < static_cast<int>(histories.size()) && !histories[slot].empty() &&
                      histories[slot][0].m_State != 0;
    if ((wanted == KEY_STATE_PRESSED) == held) {
      ++matches;
      if (cond.m_nRule == 1) break;
    } else {
      ++misses;
    }
  }
  switch (cond.m_nRule) {
    case 0:
      return misses == 0;
    case 1:
      return matches > 0;
    case 2:
      return matches == 1;
    default:
      return true;
  }
}

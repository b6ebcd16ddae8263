#include "flow/FlowTriggers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Numeric.h"
#include "data/Condition.h"
#include "data/Flow.h"
#include "data/KeyCond.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "flow/FlowStep.h"
#include "flow/StatusOperation.h"
#include "world/CharaBase.h"
#include "world/Conditions.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/KeyInput.h"

namespace {

// Direction keys of a facing-relative condition while the character faces
// left: left and right, and the diagonals, change sides.
constexpr int kMirroredDirection[kDirSlotCount] = {0, 2, 1, 3, 4, 7, 8, 5, 6, 9};

// The run of a key history at `position` frames back from the present: its
// state and the frames from the position back to the run's start. False
// beyond what the history holds.
bool RunAt(const cKeyHistory& history, int position, int& state, int& frames) {
  int64_t newer = 0;  // frames of the runs newer than run r
  for (const cKeyHistEntry& run : history) {
    if (run.m_Frames <= 0) return false;
    const int64_t older = newer + run.m_Frames;
    if (position < older) {
      state = run.m_State;
      frames = static_cast<int>(std::min<int64_t>(older - position, std::numeric_limits<int32_t>::max()));
      return true;
    }
    newer = older;
  }
  return false;
}

const cKeyHistory* HistoryOf(const cKeyInput& keys, int key, bool mirror) {
  if (key < kDirSlotCount) {
    const int slot = mirror ? kMirroredDirection[key] : key;
    return slot < static_cast<int>(keys.m_DirHistory.size()) ? &keys.m_DirHistory[slot] : nullptr;
  }
  const int slot = key - kDirSlotCount;
  return slot < static_cast<int>(keys.m_ButtonHistory.size()) ? &keys.m_ButtonHistory[slot] : nullptr;
}

bool KeyPasses(const cKeyCond& cond, int wanted, int state, int frames) {
  if (wanted == KEY_STATE_PRESSED) {
    if (state == 0) return false;
    return cond.m_bAnyDuration != 0 ? frames >= 1 : cond.m_nMinFrames <= frames && frames <= cond.m_nMaxFrames;
  }
  return state == 0 && frames >= 1;
}

const cKeyInput* Device0() { return g_KeyInput.empty() ? nullptr : &g_KeyInput[0]; }

void SetCurrentChara(cCharaBase* chara) {
  if (g_GameScene != nullptr) g_GameScene->m_pCurChara = chara;
}

int GroupOf(const cFlow& flow) { return flow.m_nGroup < kFlowGroupCount ? flow.m_nGroup : 0; }

// The conditions, then the key conditions, of a flow about to start.
bool GatesHold(cCharaBase& chara, cFlowState& state) {
  return FlowConditionsHold(state, chara) && KeyConditionsHold(chara, state);
}

// The centre of an object's box.
double BoxCentreX(const cGameObj& object) { return object.m_X + object.m_BoxW * 0.5; }
double BoxCentreY(const cGameObj& object) { return object.m_Y + object.m_BoxH * 0.5; }

}  // namespace

// ---- firing ------------------------------------------------------------------------

void FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase* other, int flowIdFilter) {
  SetCurrentChara(&chara);
  const bool retrigger = g_System.m_bTriggerSwitchA != 0;
  const bool earlyGuard = g_System.m_bTriggerSwitchB != 0 && !retrigger;
  const bool lateGuard = g_System.m_bTriggerSwitchB == 0 && !retrigger;
  for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size()); ++i) {
    cFlowState& state = chara.m_FlowStates[i];
    const cFlow* flow = state.m_pFlow;
    if (flow == nullptr || flow->m_nTrigger != trigger) continue;
    if (earlyGuard) {
      if (state.m_TriggeredThisFrame != 0) continue;
      state.m_TriggeredThisFrame = 1;
    }
    if (state.m_Running != 0 || state.m_Paused != 0 || state.m_StoppedForever != 0 || state.m_StartedThisFrame != 0) {
      continue;
    }
    if (trigger == TRIGGER_ALWAYS) {
      const int group = GroupOf(*flow);
      if (group != 0 && (chara.m_GroupRunning[group] != 0 || chara.m_GroupStarted[group] != 0)) continue;
    }
    if (flowIdFilter >= 1 && flow->m_nFlowId != flowIdFilter) continue;
    if (lateGuard) {
      if (state.m_TriggeredThisFrame != 0) continue;
      state.m_TriggeredThisFrame = 1;
    }
    if (flow->m_bWithOther != 0 && other != nullptr) {
      const int slot = flow->m_nTargetSlot;
      cCharaBase* previous = chara.Target(slot);
      chara.SetTarget(slot, other, 1);
      if (!GatesHold(chara, state)) {
        chara.SetTarget(slot, previous, 1);
        continue;
      }
    } else if (!GatesHold(chara, state)) {
      continue;
    }
    // The key device is device 0: the only one the game polls.
    const cKeyInput* keys = Device0();
    cFlowState& starting = chara.m_FlowStates[i];
    starting.m_TriggerKeySlot = keys != nullptr ? cCharaBase::GetTriggerKeySlot(*keys) : 0;
    StartFlow(starting, chara);
  }
  if (g_GameScene != nullptr) g_GameScene->ClearCurrent();
}

// ---- key sequences ---------------------------------------------------------------------

bool KeyCondMatchesAt(const cCharaBase& chara, const cKeyCond& cond, const cKeyInput& keys, int position,
                      int& runFrames) {
  const bool mirror = cond.m_bFacingRelative != 0 && chara.m_Facing == 0;
  int matches = 0;
  int misses = 0;
  int shortest = std::numeric_limits<int>::max();
  int longest = 0;
  const int count = std::min<int>(kKeyCondKeyCount, static_cast<int>(cond.m_Keys.size()));
  for (int key = 0; key < count; ++key) {
    const int wanted = cond.m_Keys[key];
    if (wanted == KEY_STATE_ANY) continue;
    const cKeyHistory* history = HistoryOf(keys, key, mirror);
    int state = 0;
    int frames = 0;
    if (history != nullptr && RunAt(*history, position, state, frames) && KeyPasses(cond, wanted, state, frames)) {
      ++matches;
      shortest = std::min(shortest, frames);
      longest = std::max(longest, frames);
    } else {
      ++misses;
    }
  }
  switch (cond.m_nRule) {
    case 0:
      runFrames = matches > 0 ? shortest : 0;
      return misses == 0;
    case 1:
      runFrames = longest;
      return matches > 0;
    case 2:
      // Exactly one key passed: its run is the longest (and the shortest).
      runFrames = longest;
      return matches == 1;
    default:
      runFrames = 0;
      return true;
  }
}

bool MatchKeySequence(cCharaBase& chara, cFlowState& state, int tolerance) {
  const int count = static_cast<int>(state.m_KeyConds.size());
  if (count == 0) return true;
  const cKeyInput* keys = Device0();
  if (keys == nullptr) return false;
  const auto matchAt = [&](int index, int position, int& run) {
    const cKeyCond* cond = state.m_KeyConds[index];
    return cond != nullptr && position >= 0 && KeyCondMatchesAt(chara, *cond, *keys, position, run);
  };

  int run = 0;
  if (!matchAt(count - 1, 0, run)) return false;
  if (state.m_pFlow != nullptr && state.m_pFlow->m_bKeyContinuous != 0 && state.m_KeyMatched == 1) return true;
  int64_t position = run;
  for (int i = count - 2; i >= 0; --i) {
    // Positions beyond the history match nothing; keep them in range.
    const int at = static_cast<int>(std::min<int64_t>(position, std::numeric_limits<int32_t>::max() - 256));
    if (matchAt(i, at, run)) {
      position = int64_t{at} + run;
      continue;
    }
    if (tolerance <= 0) return false;
    bool found = false;
    for (int shift = 1; shift <= tolerance && !found; ++shift) {
      if (matchAt(i, at + shift, run)) {
        position = int64_t{at} + shift + run;
        found = true;
      }
    }
    if (!found && at >= 1 && matchAt(i, at - 1, run)) {
      // One frame newer: only when the newer condition does not match there
      // as well, unless the strict order is not asked for.
      int newerRun = 0;
      if (g_System.m_bConditionSwitch != 0 || !matchAt(i + 1, at - 1, newerRun)) {
        position = int64_t{at} - 1 + run;
        found = true;
      }
    }
    if (!found) return false;
  }
  return true;
}

bool KeyConditionsHold(cCharaBase& chara, cFlowState& state) {
  if (state.m_KeyConds.empty() || state.m_pFlow == nullptr) return true;
  const cFlow& flow = *state.m_pFlow;
  if (flow.m_bKeyContinuous != 0) {
    const bool matched = MatchKeySequence(chara, state, flow.m_nKeyTolerance);
    state.m_KeyMatched = matched ? 1 : 0;
    return matched;
  }
  state.m_KeyMatched = 0;
  if (!MatchKeySequence(chara, state, flow.m_nKeyTolerance)) {
    state.m_KeyEdgeLatch = 0;
    return false;
  }
  bool result = true;
  if (state.m_KeyEdgeLatch != 0) {
    result = false;
    const int group = GroupOf(flow);
    if (flow.m_nTrigger == TRIGGER_ALWAYS && group != 0) {
      // The group would otherwise stay claimed by a flow that never started.
      chara.m_GroupRunning[group] = 1;
      chara.m_GroupEnded[group] = 1;
      chara.m_bGroupEndedPending = 1;
    }
  }
  state.m_KeyEdgeLatch = 1;
  return result;
}

// ---- condition kinds 5 to 7 ----------------------------------------------------------

bool StatusCondition2Holds(cCharaBase& chara, const cCond& cond) {
  int32_t value = 0;
  if (cond.m_nObject == kSubjectSystem) {
    // The system's state values are the automatic-scroll switches.
    if (cond.m_nItem == 0) {
      value = g_Stage.m_AutoScrollX;
    } else if (cond.m_nItem == 1) {
      value = g_Stage.m_AutoScrollY;
    } else {
      return false;
    }
    return CompareByKind(value, cond.m_nIndex, cond.m_nCompare);
  }
  const cCharaBase* who = SubjectChara(chara, cond.m_nObject);
  if (who == nullptr) return false;
  const cCharaData& data = who->m_Data;
  switch (cond.m_nItem) {
    case 1:
      value = data.m_bTransparent;
      break;
    case 2:
      value = data.m_bFacingLock;
      break;
    case 3:
      value = data.m_nFlying;
      break;
    case 4:
      value = data.m_nInvincible;
      break;
    case 5:
      value = data.m_nScale;
      break;
    case 6:
      value = data.m_bScrollSync;
      break;
    default:
      return false;
  }
  return CompareByKind(value, cond.m_nIndex, cond.m_nCompare);
}

bool StatusCondition3Holds(cCharaBase& chara, const cCond& cond) {
  const cCharaBase* who = SubjectChara(chara, cond.m_nObject);
  if (who == nullptr) return false;
  bool holds = false;
  switch (cond.m_nItem) {
    case 0:
      holds = who->m_Facing == 0;
      break;
    case 1:
      holds = who->m_Facing != 0;
      break;
    case 2:
      holds = who->m_Flying == 0 && (who->m_bRiding != 0 || who->m_bAirborne == 0);
      break;
    case 3:
      // A computer-operated character keeps its own on-screen flag.
      holds = who->m_Operator != OBJ_BY_PLAYER ? who->m_OnScreen != 0 : who->IsOnScreen() != 0;
      break;
    case 4:
      holds = who == &chara || who->m_bDead == 0;
      break;
    default:
      return false;
  }
  return cond.m_nCompare == 1 ? !holds : holds;
}

bool RangeConditionHolds(cCharaBase& chara, const cCond& cond) {
  const cCharaBase* other = nullptr;
  if (cond.m_nObject == 0) {
    other = StageHero();
  } else if (cond.m_nObject >= 1 && cond.m_nObject <= kTargetSlotCount) {
    other = chara.Target(cond.m_nObject - 1);
  }
  if (other == nullptr) return false;
  const int32_t range = ClampToI32(int64_t{cond.m_nValue} * 16 + cond.m_nRightIndex);
  const bool right = chara.m_Facing != 0;
  const auto across = [&](int back, int front) {
    return InBoxRange(chara.m_ScrLeft, chara.m_GfxW, other->m_ScrLeft, other->m_ScrRight, other->m_DrawOffX, back,
                      front, 1, 0, *other) != 0;
  };
  const auto along = [&](int back, int front) {
    return InBoxRange(chara.m_ScrTop, chara.m_GfxH, other->m_ScrTop, other->m_ScrBottom, other->m_DrawOffY, back,
                      front, 1, 1, *other) != 0;
  };
  bool inside = false;
  switch (cond.m_nShape) {
    case 0:
      inside = across(range, range);
      break;
    case 1:  // ahead
      inside = right ? across(0, range) : across(range, 0);
      break;
    case 2:  // behind
      inside = right ? across(range, 0) : across(0, range);
      break;
    case 3:
      inside = along(range, range);
      break;
    case 4:  // below when facing right, above when facing left
      inside = right ? along(0, range) : along(range, 0);
      break;
    case 5:
      inside = right ? along(range, 0) : along(0, range);
      break;
    case 6: {
      const double dx = BoxCentreX(chara) - BoxCentreX(*other);
      const double dy = BoxCentreY(chara) - BoxCentreY(*other);
      inside = std::sqrt(dx * dx + dy * dy) <= range;
      break;
    }
    default:
      inside = false;
      break;
  }
  return cond.m_nCompare == 1 ? !inside : inside;
}

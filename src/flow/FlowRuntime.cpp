#include "flow/FlowRuntime.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Numeric.h"
#include "core/StringUtil.h"
#include "data/Database.h"
#include "data/Flow.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "flow/Arrange.h"
#include "flow/FlowCommands.h"
#include "flow/FlowStep.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

constexpr int32_t kMaxI32 = std::numeric_limits<int32_t>::max();

// A frame count long enough for any animation; a damaged database with a
// longer wind-up would otherwise make a cue skip for minutes of work.
constexpr int64_t kMaxCueFrames = 32767;

// The flow-command type a command of a flow runs as: item commands met in a
// flow (only damaged data holds them) run as their flow twins.
int FlowTypeOf(const cCommand& command) {
  return command.m_nSet == 0 ? command.m_nType : command.FlowEquivalentType();
}

// Frames of `anime` before its first locked frame (all its frames when none
// is locked), from the database's durations in tenths.
int64_t WindUpFrames(int anime) {
  if (anime <= 0 || anime >= static_cast<int>(g_Database.m_Animes.size())) return 0;
  int64_t tenths = 0;
  for (const cAnimeFrameData& frame : g_Database.m_Animes[anime].m_Frames) {
    if (frame.m_nLock != 0) break;
    tenths += frame.m_nDuration;
  }
  return std::clamp<int64_t>(tenths * 6, 0, kMaxCueFrames);
}

bool WantsCue(const cCommand& command) {
  if (command.m_nAnime == 0) return false;
  return command.m_Move.IsEmpty() || command.m_Move->m_bOwnAnime != 0;
}

// Schedules the animations of the commands of a freshly built state so that
// each one's wind-up ends when its command starts.
void BuildAnimeCues(cFlowState& state) {
  state.m_Cues.clear();
  const int subSteps = FlowSubSteps();
  int64_t start = 0;  // the sub-step at which command i starts
  const int count = static_cast<int>(state.m_CmdStates.size());
  for (int i = 0; i < count; ++i) {
    const cCmdState& cmdState = state.m_CmdStates[i];
    const cCommand& command = *cmdState.m_pCommand;
    if (WantsCue(command)) {
      const int64_t windUp = WindUpFrames(command.m_nAnime);
      const int64_t wanted = windUp * subSteps;
      int64_t left = wanted;
      bool reached = false;
      for (int j = i - 1; j >= 0; --j) {
        if (state.m_CmdStates[j].m_pCommand->m_bRunWithNext == 1) continue;
        left -= state.m_CmdStates[j].m_Duration;
        if (left <= 0) {
          reached = true;
          break;
        }
      }
      cFlowAnimeCue cue;
      cue.m_nAnime = command.m_nAnime;
      cue.m_nHold = static_cast<int32_t>(std::clamp<int64_t>(int64_t{command.m_nDuration} * 6, 0, kMaxI32));
      const int type = FlowTypeOf(command);
      cue.m_bHoldEnabled = type != FLOW_CMD_SWORD && type != FLOW_CMD_JUMP ? 1 : 0;
      if (reached) {
        cue.m_nStart = cue.m_nStartCopy = ClampToI32(start - wanted);
        cue.m_nWindUp = static_cast<int32_t>(windUp);
      } else {
        // The wind-up reaches back before the flow's start: the animation
        // starts with the flow, the part that would lie before it skipped.
        const int64_t skip = std::min<int64_t>(left / subSteps, windUp);
        cue.m_nSkip = static_cast<int32_t>(skip);
        cue.m_nWindUp = static_cast<int32_t>(windUp - skip);
      }
      state.m_Cues.push_back(cue);
    }
    if (command.m_bRunWithNext != 1) start += cmdState.m_Duration;
  }
}

// Fills a new state for flow `index` of the character's list.
void BuildFlowState(cCharaBase& chara, cFlowState& state, int index) {
  cFlow& flow = chara.m_Data.m_Flows[index];
  state = cFlowState();
  state.m_FlowIndex = index;
  state.m_pFlow = &flow;
  state.m_FlowKey = chara.m_nFlowKeyCounter;
  chara.m_nFlowKeyCounter = WrapToI32(int64_t{chara.m_nFlowKeyCounter} + 1);
  for (cKeyCond& cond : flow.m_KeyConds) state.m_KeyConds.push_back(&cond);

  const int64_t copy = chara.m_CloneNo;
  const int64_t ticksPerTenth = FlowTicksPerTenth();
  const double subSteps = FlowSubSteps();
  state.m_CmdStates.resize(flow.m_Commands.size());
  for (int j = 0; j < static_cast<int>(flow.m_Commands.size()); ++j) {
    cCommand& command = flow.m_Commands[j];
    cCmdState& cmdState = state.m_CmdStates[j];
    cmdState.m_pCommand = &command;
    cmdState.m_Duration =
        ClampToI32((int64_t{command.m_nDurationPerCopy} * copy + command.m_nDuration) * ticksPerTenth);
    if (const cEdMove* move = command.m_Move.Get()) {
      cmdState.m_Speed = static_cast<double>(int64_t{move->m_nSpeedPerCopy} * copy + move->m_nSpeed) * 0.1 / subSteps;
      if (move->m_bInertia != 0) cmdState.m_MaxSpeed = move->m_nAccel * 0.1 / subSteps;
      cmdState.m_nMoveKind = move->m_nPosMode;
      cmdState.m_Direction = move->m_nDirection;
    }
    const int type = FlowTypeOf(command);
    if (type >= 0 && type < kFlowCmdTypeCount && kCmdStateInits[type] != nullptr) {
      kCmdStateInits[type](cmdState, chara);
    }
  }
}

void ReleaseEndedGroups(cCharaBase& chara) {
  for (int group = 0; group < kFlowGroupCount; ++group) {
    if (chara.m_GroupEnded[group] == 0) continue;
    chara.m_GroupRunning[group] = 0;
    chara.m_GroupEnded[group] = 0;
  }
  chara.m_bGroupEndedPending = 0;
}

// The loops of the character's flow `index` unrolled; a cut names the flow.
void UnrollLoops(cCharaBase& chara, int index) {
  cFlow& flow = chara.m_Data.m_Flows[index];
  if (std::none_of(flow.m_Commands.begin(), flow.m_Commands.end(), IsLoopCommand)) return;
  ExpandLoopCommands(flow.m_Commands, FormatText("flow %d (ID %d) of character %d \"%s\"", index, flow.m_nFlowId,
                                                 chara.m_Data.m_nCid, chara.m_Data.m_strName.c_str()));
}

}  // namespace

int FlowSubSteps() { return g_Stage.SubStepsAtLeastOne(); }

int FlowTicksPerTenth() { return 6 * FlowSubSteps(); }

// ---- installation --------------------------------------------------------------

int InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int position) {
  cSafeVector<cFlow>& own = chara.m_Data.m_Flows;
  const int passed = static_cast<int>(flows.size());
  if (addMode == 0) {
    if (&flows != &own) own = flows;
    for (int i = 0; i < static_cast<int>(own.size()); ++i) UnrollLoops(chara, i);
    chara.m_FlowStates.clear();
    chara.m_FlowStates.resize(own.size());
    for (int i = 0; i < static_cast<int>(own.size()); ++i) {
      BuildFlowState(chara, chara.m_FlowStates[i], i);
      BuildAnimeCues(chara.m_FlowStates[i]);
    }
    return passed;
  }
  if (passed == 0) return 0;

  // Copies first: `flows` may be a list the insertion moves.
  cSafeVector<cFlow> copies = flows;
  const int ownCount = static_cast<int>(own.size());
  const int at = position >= 0 && position < ownCount ? position : ownCount;
  own.insert(own.begin() + at, std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
  chara.m_FlowStates.insert(chara.m_FlowStates.begin() + at, static_cast<std::size_t>(passed), cFlowState());
  for (int i = at; i < at + passed; ++i) {
    UnrollLoops(chara, i);
    BuildFlowState(chara, chara.m_FlowStates[i], i);
    chara.m_FlowStates[i].m_KeyEdgeLatch = own[i].m_bKeyContinuous == 0 ? 1 : 0;
  }
  chara.RelinkFlowStates();
  for (int i = at; i < at + passed; ++i) BuildAnimeCues(chara.m_FlowStates[i]);
  return passed;
}

void RemoveFlow(cCharaBase& chara, int index) {
  if (index < 0 || index >= static_cast<int>(chara.m_FlowStates.size())) return;
  cFlowState& state = chara.m_FlowStates[index];
  state.Stop(chara);
  chara.RemoveAnime(state.m_FlowKey);
  const int flowIndex = state.m_FlowIndex;
  cSafeVector<cFlow>& flows = chara.m_Data.m_Flows;
  if (flowIndex >= 0 && flowIndex < static_cast<int>(flows.size())) flows.erase(flows.begin() + flowIndex);
  if (flowIndex >= 0 && flowIndex < static_cast<int>(chara.m_FlowStates.size())) {
    chara.m_FlowStates.erase(chara.m_FlowStates.begin() + flowIndex);
  }
  chara.RelinkFlowStates();
}

void RequestFlowRemoval(cCharaBase& chara, int index) {
  if (index < 0 || index >= static_cast<int>(chara.m_FlowStates.size())) return;
  if (g_GameScene != nullptr && g_GameScene->m_pCurChara == &chara) {
    chara.m_FlowStates[index].m_DeleteRequest = 1;
    chara.m_bDeletePending = 1;
    return;
  }
  RemoveFlow(chara, index);
}

int RemoveFlowsById(cCharaBase& chara, int flowId) {
  if (flowId == 0) {
    for (cFlowState& state : chara.m_FlowStates) state.Stop(chara);
    chara.m_FlowStates.clear();
    chara.m_Data.m_Flows.clear();
    chara.m_AnimeList.clear();
    return 0;
  }
  int first = -1;
  for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size());) {
    const cFlow* flow = chara.m_FlowStates[i].m_pFlow;
    if (flow == nullptr || flow->m_nFlowId == 0 || flow->m_nFlowId != flowId) {
      ++i;
      continue;
    }
    if (first < 0) first = i;
    RemoveFlow(chara, i);
  }
  return first;
}

void CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>& states) {
  chara.m_FlowStates = states;
  chara.RelinkFlowStates();
}

// ---- animation cues --------------------------------------------------------------

void RunFlowAnimeCues(cCharaBase& chara) {
  for (const cFlowState& state : chara.m_FlowStates) {
    // A flow stopped for good keeps its running flag but never steps again:
    // its frame counter stands still, and a cue at that frame would start
    // its animation anew on every sub-step.
    if (state.m_Running == 0 || state.m_Paused != 0 || state.m_StoppedForever != 0) continue;
    for (const cFlowAnimeCue& cue : state.m_Cues) {
      if (cue.m_nStart != state.m_FrameCounter) continue;
      if (cue.m_nAnime < 0 || cue.m_nAnime >= static_cast<int>(g_AnimeScripts.size())) continue;
      // The entry plays its own copy of the script, so the locked frame can be
      // held as long as the command lasts.
      cFrameScriptTable scripts(1, g_AnimeScripts[cue.m_nAnime]);
      if (cue.m_nHold >= 2 && cue.m_bHoldEnabled != 0) {
        for (cAnimeFrame& frame : scripts[0]) {
          if (frame.m_nLock == 0) continue;
          frame.m_nDuration = WrapToI32(int64_t{frame.m_nDuration} + cue.m_nHold - 1);
          break;
        }
      }
      cAnimePlayback& entry = chara.m_AnimeList.emplace_back();
      entry.m_bTimed = 1;
      entry.m_TimeLeft = cue.m_nWindUp;
      entry.m_ExtraTime = cue.m_nHold;
      entry.m_AnimeKey = state.m_FlowKey;
      entry.m_bStopped = 0;
      entry.m_Player.Setup(scripts);
      entry.m_Player.SetAnime(0, 1);
      for (int frame = 0; frame < cue.m_nSkip; ++frame) entry.m_Player.Update();
    }
  }
}

// ---- the flow pass ----------------------------------------------------------------

int RunFlowPass(cCharaBase& chara, int deathMode) {
  RunFlowAnimeCues(chara);
  // By index: a step may add states (a flow change of another character
  // does not, but the list is read again all the same).
  for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size()); ++i) {
    cFlowState& state = chara.m_FlowStates[i];
    if (state.m_Running == 0) continue;
    if (state.m_CmdStates.empty()) {
      state.Stop(chara);
      continue;
    }
    if (state.m_Paused != 0 || state.m_StoppedForever != 0) continue;
    const int trigger = state.m_pFlow != nullptr ? state.m_pFlow->m_nTrigger : 0;
    if (deathMode != 0 && trigger != TRIGGER_DEATH) continue;
    if (StepFlow(state, chara) == 1 && i < static_cast<int>(chara.m_FlowStates.size())) {
      chara.m_FlowStates[i].Stop(chara);
    }
    if (chara.m_bVanished != 0) return 1;
    if (deathMode == 0 && trigger != TRIGGER_DEATH && chara.m_Hp <= 0) return 1;
  }
  if (g_GameScene != nullptr) g_GameScene->ClearCurrent();

  if (cHero* hero = dynamic_cast<cHero*>(&chara)) {
    // Taken out first: a queued change may queue nothing, but never runs twice.
    cSafeVector<cCommand> queue;
    queue.swap(hero->m_ChangeFlowQueue);
    for (cCommand& command : queue) CmdChangeFlow(*hero, command, 1);
  }

  if (chara.m_bDeletePending != 0) {
    for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size());) {
      if (chara.m_FlowStates[i].m_DeleteRequest != 0) {
        RemoveFlow(chara, i);
      } else {
        ++i;
      }
    }
    chara.m_bDeletePending = 0;
  }

  if (chara.m_bGroupEndedPending != 0) ReleaseEndedGroups(chara);
  return 0;
}

void DispatchFlowCommand(cCharaBase& chara, cCmdState& state) {
  if (state.m_pCommand == nullptr) return;
  const int type = FlowTypeOf(*state.m_pCommand);
  // The type byte comes from the data: one outside the table runs nothing.
  if (type < 0 || type >= kFlowCmdTypeCount) return;
  kFlowCmdHandlers[type](chara, state);
}

// ---- movement time ----------------------------------------------------------------

void ConvertMoveTime(cCmdState& state, const cCommand& command, int copy) {
  const cEdMove* move = command.m_Move.Get();
  if (move == nullptr) return;
  int64_t distance = move->m_nDistance;
  if (move->m_nDistancePerCopy != 0) distance += int64_t{move->m_nDistancePerCopy} * copy;
  if (move->m_nDistanceUnit != 1) distance *= 16;
  switch (move->m_nTimeMode) {
    case 1:
      // No time at all to cover the distance in: the whole distance in one
      // step rather than a division by zero.
      state.m_Speed = state.m_Duration != 0 ? static_cast<double>(distance) / state.m_Duration
                                            : static_cast<double>(distance);
      break;
    case 2: {
      // A speed of 0 never covers a distance: the quotient is infinite and
      // the duration the longest there is. With no distance either (0 / 0)
      // there is nothing to cover.
      const double steps = static_cast<double>(distance) / state.m_Speed;
      int64_t duration =
          std::isnan(steps) ? 0 : static_cast<int64_t>(std::clamp(steps, -2147483647.0, 2147483647.0));
      if (duration < 0 && g_System.m_bMoveTimeSwitch == 0) duration = -duration;
      state.m_Duration = static_cast<int32_t>(duration);
      break;
    }
    default:
      break;
  }
}

void PrepareTimedMove(cCmdState& state, cCharaBase& chara) {
  if (state.m_pCommand == nullptr) return;
  const cEdMove* move = state.m_pCommand->m_Move.Get();
  if (move == nullptr || move->m_nTimeMode == 0) return;
  ConvertMoveTime(state, *state.m_pCommand, chara.m_CloneNo);
}

void PrepareHomingMove(cCmdState& state, cCharaBase& chara) {
  if (state.m_pCommand == nullptr) return;
  const cEdMove* move = state.m_pCommand->m_Move.Get();
  if (move == nullptr) return;
  state.m_Radius = ClampToI32((int64_t{move->m_nHomingPerCopy} * chara.m_CloneNo + move->m_nHoming) * FlowSubSteps());
  if (move->m_nTimeMode != 0) ConvertMoveTime(state, *state.m_pCommand, chara.m_CloneNo);
}

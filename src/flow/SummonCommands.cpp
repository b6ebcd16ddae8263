// The summon commands (types 13 to 15) and the flow operation (type 16).

#include "data/Command.h"
#include "data/Flow.h"
#include "flow/AttackCommands.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowStep.h"
#include "world/CharaBase.h"
#include "world/Conditions.h"
#include "world/FlowState.h"
#include "world/Formation.h"
#include "world/GameScene.h"

namespace {

using tSummon = void (*)(cCharaBase&, cCmdState&, cEdShot&);

int RunSummon(cCharaBase& chara, cCmdState& state, tSummon summon) {
  cCommand* command = state.m_pCommand;
  if (command == nullptr) return 0;
  if (state.m_StepCounter == 0 && command->m_Shot) {
    PlayCommandSound(*command, chara);
    summon(chara, state, *command->m_Shot);
  }
  AdvanceTenthCounter(state);
  return 0;
}

enum eFlowOperation : int {
  FLOW_OP_START = 0,
  FLOW_OP_END = 1,
  FLOW_OP_PAUSE = 2,
  FLOW_OP_RESUME = 3,
  FLOW_OP_DELETE = 4,
  FLOW_OP_STOP_FOREVER = 5,
};

enum eFlowChoice : int {
  FLOW_CHOICE_THIS = 0,
  FLOW_CHOICE_ALL_OTHERS = 1,
  FLOW_CHOICE_BY_ID = 2,
};

int FlowIdOf(const cFlowState& state) { return state.m_pFlow != nullptr ? state.m_pFlow->m_nFlowId : 0; }

// One operation on flow state `flow` of `owner`, other than deletion.
void OperateOnFlow(cCharaBase& owner, cFlowState& flow, int operation) {
  switch (operation) {
    case FLOW_OP_START:
      flow.Stop(owner);
      owner.RemoveAnime(flow.m_FlowKey);
      StartFlow(flow, owner);
      flow.m_Abort = 1;
      break;
    case FLOW_OP_END:
      flow.Stop(owner);
      owner.RemoveAnime(flow.m_FlowKey);
      flow.m_Abort = 1;
      break;
    case FLOW_OP_PAUSE:
      flow.Pause();
      owner.StopAnime(flow.m_FlowKey);
      flow.m_Abort = 1;
      break;
    case FLOW_OP_RESUME:
      flow.Resume();
      owner.ResumeAnime(flow.m_FlowKey);
      break;
    case FLOW_OP_STOP_FOREVER:
      flow.StopForever(owner);
      owner.RemoveAnime(flow.m_FlowKey);
      flow.m_Abort = 1;
      break;
    default:
      break;
  }
}

// Deletion of one of the character's own flows: asked for, served by the
// flow pass after the step.
void RequestOwnDeletion(cCharaBase& chara, cFlowState& flow) {
  chara.m_bDeletePending = 1;
  flow.m_DeleteRequest = 1;
  flow.m_Abort = 1;
}

// The indices of the flows of `owner` chosen by `choice`.
cSafeVector<int> ChooseFlows(cCharaBase& owner, int choice, int flowId, const cFlowState* running) {
  cSafeVector<int> chosen;
  for (int i = 0; i < static_cast<int>(owner.m_FlowStates.size()); ++i) {
    const cFlowState& state = owner.m_FlowStates[i];
    const bool isRunning = &state == running;
    if ((choice == FLOW_CHOICE_THIS && isRunning) || (choice == FLOW_CHOICE_ALL_OTHERS && !isRunning) ||
        (choice == FLOW_CHOICE_BY_ID && flowId != 0 && FlowIdOf(state) == flowId)) {
      chosen.push_back(i);
    }
  }
  return chosen;
}

}  // namespace

int CmdSummonBlock(cCharaBase& chara, cCmdState& state) { return RunSummon(chara, state, SummonBlock); }
int CmdSummonChara(cCharaBase& chara, cCmdState& state) { return RunSummon(chara, state, SummonChara); }
int CmdSummonItem(cCharaBase& chara, cCmdState& state) { return RunSummon(chara, state, SummonItem); }

int CmdFlowOperation(cCharaBase& chara, cCmdState& state) {
  cCommand* command = state.m_pCommand;
  if (command == nullptr) return 0;
  const cCondList* conds = command->m_Conds.Get();
  if (conds != nullptr && conds->m_bEnabled != 0 && !CheckConditions(conds->m_Conds, conds->m_nRule, &chara)) {
    return 0;
  }
  const auto param = [&](int i) { return i < static_cast<int>(command->m_Params.size()) ? command->m_Params[i] : 0; };
  const int operation = param(0);
  const int choice = param(1);
  const int flowId = param(2);
  const int whose = param(3);

  // An empty target slot makes the operation nothing for this sub-step,
  // whichever flows it names; a target chosen still leaves "このフロー" and
  // "このフロー以外全て" on the character's own flows.
  cCharaBase* object = &chara;
  if (whose >= 1 && whose <= kTargetSlotCount) {
    object = chara.Target(whose - 1);
    if (object == nullptr) return 0;
  }
  cCharaBase* owner = choice == FLOW_CHOICE_BY_ID ? object : &chara;
  const cFlowState* running = g_GameScene != nullptr ? g_GameScene->m_pCurFlowState : nullptr;
  const cSafeVector<int> chosen = ChooseFlows(*owner, choice, flowId, running);

  if (operation == FLOW_OP_DELETE) {
    if (owner == &chara) {
      for (int index : chosen) RequestOwnDeletion(chara, owner->m_FlowStates[index]);
    } else {
      // From the last to the first: each removal closes the list up.
      for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) RequestFlowRemoval(*owner, *it);
    }
    return 0;
  }
  for (int index : chosen) OperateOnFlow(*owner, owner->m_FlowStates[index], operation);
  return 0;
}

#include "flow/FlowInterpreter.h"

#include "flow/Arrange.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowTriggers.h"
#include "flow/MovePhysics.h"
#include "flow/StatusOperation.h"
#include "world/FlowState.h"
#include "world/Hero.h"

int cFlowInterpreter::InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int position) {
  return ::InstallFlows(chara, flows, addMode, position);
}

void cFlowInterpreter::FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase* other, int flowIdFilter) {
  ::FireFlowTrigger(chara, trigger, other, flowIdFilter);
}

void cFlowInterpreter::CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>& states) {
  ::CopyFlowStates(chara, states);
}

void cFlowInterpreter::RemoveFlow(cCharaBase& chara, int index) { ::RemoveFlow(chara, index); }

void cFlowInterpreter::RunFlowAnimeCues(cCharaBase& chara) { ::RunFlowAnimeCues(chara); }

int cFlowInterpreter::RunFlowPass(cCharaBase& chara, int deathMode) { return ::RunFlowPass(chara, deathMode); }

bool cFlowInterpreter::EvalStatusCondition(const cCond& cond, cCharaBase& chara) {
  return ::EvalStatusCondition(cond, chara);
}

bool cFlowInterpreter::StatusCondition2Holds(cCharaBase& chara, const cCond& cond) {
  return ::StatusCondition2Holds(chara, cond);
}

bool cFlowInterpreter::StatusCondition3Holds(cCharaBase& chara, const cCond& cond) {
  return ::StatusCondition3Holds(chara, cond);
}

bool cFlowInterpreter::RangeConditionHolds(cCharaBase& chara, const cCond& cond) {
  return ::RangeConditionHolds(chara, cond);
}

bool cFlowInterpreter::KeyConditionsHold(cCharaBase& chara, cFlowState& state) {
  return ::KeyConditionsHold(chara, state);
}

bool cFlowInterpreter::MatchKeyCondition(cCharaBase& chara, const cKeyCond& cond, const cKeyInput& keys) {
  int runFrames = 0;
  return KeyCondMatchesAt(chara, cond, keys, 0, runFrames);
}

void cFlowInterpreter::ConvertMoveTime(cCmdState& state, int copyNumber) {
  if (state.m_pCommand != nullptr) ::ConvertMoveTime(state, *state.m_pCommand, copyNumber);
}

int cFlowInterpreter::SolveAimVelocity(double& velocityX, double& velocityY, int& direction, cGameObj* target,
                                       double fromX, double fromY, double toX, double toY, double speed,
                                       int movesWithScroll, int speedAsGiven, int thirdFlag) {
  return ::SolveAimVelocity(velocityX, velocityY, direction, target, fromX, fromY, toX, toY, speed, movesWithScroll,
                            speedAsGiven, thirdFlag);
}

void cFlowInterpreter::ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara) {
  ::ApplyArrange(command, entry, chara);
}

void cFlowInterpreter::ApplyHeroArranges(cCommand& command, cHero& hero) { ::ApplyHeroArranges(command, hero); }

void cFlowInterpreter::ExpandLoopCommands(cSafeVector<cCommand>& commands) {
  ::ExpandLoopCommands(commands, "the commands of an item");
}

int cFlowInterpreter::RunItemCommand(cHero& hero, cCommand& command) { return ::RunItemCommand(hero, command); }

int cFlowInterpreter::CmdChangeFlow(cCharaBase& chara, cCommand& command, int runNow) {
  return ::CmdChangeFlow(chara, command, runNow);
}

#pragma once
// cFlowInterpreter: the flow library's answer to cFlowServices, which the
// shell wires in (app/Globals.cpp); a test may install a double in its place.
// Each operation is the flow library's function of the same name
// (FlowRuntime.h, FlowTriggers.h, StatusOperation.h, Arrange.h,
// FlowCommands.h, MovePhysics.h).

#include "world/FlowServices.h"

class cFlowInterpreter final : public cFlowServices {
 public:
  int InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int position) override;
  void FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase* other, int flowIdFilter) override;
  void CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>& states) override;
  void RemoveFlow(cCharaBase& chara, int index) override;
  void RunFlowAnimeCues(cCharaBase& chara) override;
  int RunFlowPass(cCharaBase& chara, int deathMode) override;

  bool EvalStatusCondition(const cCond& cond, cCharaBase& chara) override;
  bool StatusCondition2Holds(cCharaBase& chara, const cCond& cond) override;
  bool StatusCondition3Holds(cCharaBase& chara, const cCond& cond) override;
  bool RangeConditionHolds(cCharaBase& chara, const cCond& cond) override;
  bool KeyConditionsHold(cCharaBase& chara, cFlowState& state) override;
  bool MatchKeyCondition(cCharaBase& chara, const cKeyCond& cond, const cKeyInput& keys) override;

  void ConvertMoveTime(cCmdState& state, int copyNumber) override;
  int SolveAimVelocity(double& velocityX, double& velocityY, int& direction, cGameObj* target, double fromX,
                       double fromY, double toX, double toY, double speed, int movesWithScroll, int speedAsGiven,
                       int thirdFlag) override;

  void ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara) override;
  void ApplyHeroArranges(cCommand& command, cHero& hero) override;
  void ExpandLoopCommands(cSafeVector<cCommand>& commands) override;
  int RunItemCommand(cHero& hero, cCommand& command) override;
  int CmdChangeFlow(cCharaBase& chara, cCommand& command, int runNow) override;
};

// The one interpreter, defined with every global object in app/Globals.cpp.
extern cFlowInterpreter g_FlowInterpreter;

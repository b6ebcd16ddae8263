#pragma once
// A stand-in for the flow interpreter: installed for as long as it lives, it
// answers the condition kinds that read characters with the answers a test
// sets, and records every call the world makes (the operation's name, the
// character, and the trigger, condition kind, add mode or death mode).

#include <functional>
#include <string>
#include <vector>

#include "data/Condition.h"
#include "world/FlowServices.h"

class cFakeFlowServices final : public cFlowServices {
 public:
  struct cCall {
    std::string what;
    const cCharaBase* chara = nullptr;
    int value = 0;  // the trigger, or the condition's kind
  };

  // Puts back the services it found (the interpreter every program wires in).
  cFakeFlowServices() : m_pPrevious(&FlowServices()) { SetFlowServices(this); }
  ~cFakeFlowServices() override { SetFlowServices(m_pPrevious); }
  cFakeFlowServices(const cFakeFlowServices&) = delete;
  cFakeFlowServices& operator=(const cFakeFlowServices&) = delete;

  // The answer of condition kind 4 to 7 (index = kind).
  bool m_Answers[8] = {};
  std::vector<cCall> m_Calls;
  // Called after a trigger is recorded (a death flow that acts, say).
  std::function<void(cCharaBase& chara, int trigger)> m_OnTrigger;

  int InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int) override {
    Record("InstallFlows", chara, addMode);
    return static_cast<int>(flows.size());
  }
  void FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase*, int) override {
    Record("FireFlowTrigger", chara, trigger);
    if (m_OnTrigger) m_OnTrigger(chara, trigger);
  }
  void CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>&) override {
    Record("CopyFlowStates", chara, 0);
  }
  void RemoveFlow(cCharaBase& chara, int index) override { Record("RemoveFlow", chara, index); }
  void RunFlowAnimeCues(cCharaBase& chara) override { Record("RunFlowAnimeCues", chara, 0); }
  int RunFlowPass(cCharaBase& chara, int deathMode) override {
    Record("RunFlowPass", chara, deathMode);
    return 0;
  }

  bool EvalStatusCondition(const cCond& cond, cCharaBase& chara) override { return Answer(cond, chara); }
  bool StatusCondition2Holds(cCharaBase& chara, const cCond& cond) override { return Answer(cond, chara); }
  bool StatusCondition3Holds(cCharaBase& chara, const cCond& cond) override { return Answer(cond, chara); }
  bool RangeConditionHolds(cCharaBase& chara, const cCond& cond) override { return Answer(cond, chara); }
  bool KeyConditionsHold(cCharaBase& chara, cFlowState&) override {
    Record("KeyConditionsHold", chara, 0);
    return true;
  }
  bool MatchKeyCondition(cCharaBase& chara, const cKeyCond&, const cKeyInput&) override {
    Record("MatchKeyCondition", chara, 0);
    return false;
  }

  void ConvertMoveTime(cCmdState&, int) override {}
  int SolveAimVelocity(double& vx, double& vy, int&, cGameObj*, double, double, double, double, double, int, int,
                       int) override {
    vx = vy = 0.0;
    return 0;
  }

  void ApplyArrange(cCommand&, const cArrangeEntry&, cCharaBase&) override {}
  void ApplyHeroArranges(cCommand&, cHero&) override {}
  void ExpandLoopCommands(cSafeVector<cCommand>&) override {}
  int RunItemCommand(cHero&, cCommand&) override { return 0; }
  int CmdChangeFlow(cCharaBase& chara, cCommand&, int runNow) override {
    Record("CmdChangeFlow", chara, runNow);
    return 0;
  }

 private:
  cFlowServices* m_pPrevious;
  void Record(const char* what, const cCharaBase& chara, int value) { m_Calls.push_back({what, &chara, value}); }
  bool Answer(const cCond& cond, cCharaBase& chara) {
    Record("Condition", chara, cond.m_nKind);
    return cond.m_nKind < 8 && m_Answers[cond.m_nKind];
  }
};

#include "world/FlowServices.h"

#include <atomic>

namespace {

// What the world meets when no interpreter is installed: every flow
// operation does nothing, every condition fails and no aim has a solution.
class cNoFlowServices final : public cFlowServices {
 public:
  int InstallFlows(cCharaBase&, cSafeVector<cFlow>&, int, int) override { return 0; }
  void FireFlowTrigger(cCharaBase&, int, cCharaBase*, int) override {}
  void CopyFlowStates(cCharaBase&, const cSafeVector<cFlowState>&) override {}
  void RemoveFlow(cCharaBase&, int) override {}
  void RunFlowAnimeCues(cCharaBase&) override {}
  int RunFlowPass(cCharaBase&, int) override { return 0; }
  bool EvalStatusCondition(const cCond&, cCharaBase&) override { return false; }
  bool StatusCondition2Holds(cCharaBase&, const cCond&) override { return false; }
  bool StatusCondition3Holds(cCharaBase&, const cCond&) override { return false; }
  bool RangeConditionHolds(cCharaBase&, const cCond&) override { return false; }
  bool KeyConditionsHold(cCharaBase&, cFlowState&) override { return false; }
  bool MatchKeyCondition(cCharaBase&, const cKeyCond&, const cKeyInput&) override { return false; }
  void ConvertMoveTime(cCmdState&, int) override {}
  int SolveAimVelocity(double&, double&, int&, cGameObj*, double, double, double, double, double, int, int,
                       int) override {
    return 0;
  }
  void ApplyArrange(cCommand&, const cArrangeEntry&, cCharaBase&) override {}
  void ApplyHeroArranges(cCommand&, cHero&) override {}
  void ExpandLoopCommands(cSafeVector<cCommand>&) override {}
  int RunItemCommand(cHero&, cCommand&) override { return 0; }
  int CmdChangeFlow(cCharaBase&, cCommand&, int) override { return 0; }
};

std::atomic<cFlowServices*> g_InstalledServices{nullptr};

}  // namespace

cFlowServices& FlowServices() {
  static cNoFlowServices none;
  cFlowServices* installed = g_InstalledServices.load();
  return installed != nullptr ? *installed : none;
}

void SetFlowServices(cFlowServices* services) { g_InstalledServices.store(services); }

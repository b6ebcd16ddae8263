#include "flow/FlowInterpreter.h"

#include <atomic>

// Each body below does nothing until its part of the interpreter is built:
// flows are installed, fired and run by the flow runtime, the condition kinds
// 4 to 7 and the key conditions by the trigger and status parts, the movement
// helpers by the movement physics, the arranges, loops and item commands by
// the command handlers.

void cFlowInterpreter::InstallFlows(cCharaBase&, cSafeVector<cFlow>&, int, int) {}
void cFlowInterpreter::FireFlowTrigger(cCharaBase&, int, cCharaBase*, int) {}
void cFlowInterpreter::CopyFlowStates(cCharaBase&, const cSafeVector<cFlowState>&) {}
void cFlowInterpreter::RemoveFlow(cCharaBase&, int) {}
void cFlowInterpreter::RunFlowAnimeCues(cCharaBase&) {}

bool cFlowInterpreter::EvalStatusCondition(const cCond&, cCharaBase&) { return false; }
bool cFlowInterpreter::StatusCondition2Holds(cCharaBase&, const cCond&) { return false; }
bool cFlowInterpreter::StatusCondition3Holds(cCharaBase&, const cCond&) { return false; }
bool cFlowInterpreter::RangeConditionHolds(cCharaBase&, const cCond&) { return false; }
bool cFlowInterpreter::KeyConditionsHold(cCharaBase&, cFlowState&) { return false; }
bool cFlowInterpreter::MatchKeyCondition(cCharaBase&, const cKeyCond&, const cKeyInput&) { return false; }

void cFlowInterpreter::ConvertMoveTime(cCmdState&, int) {}
int cFlowInterpreter::SolveAimVelocity(double& velocityX, double& velocityY, int&, cGameObj*, double, double, double,
                                       double, double, int, int, int) {
  velocityX = 0.0;
  velocityY = 0.0;
  return 0;
}

void cFlowInterpreter::ApplyArrange(cCommand&, const cArrangeEntry&, cCharaBase&) {}
void cFlowInterpreter::ApplyHeroArranges(cCommand&, cHero&) {}
void cFlowInterpreter::ExpandLoopCommands(cSafeVector<cCommand>&) {}
int cFlowInterpreter::RunItemCommand(cHero&, cCommand&) { return 0; }
int cFlowInterpreter::CmdChangeFlow(cCharaBase&, cCommand&, int) { return 0; }

namespace {

std::atomic<cFlowServices*> g_InstalledServices{nullptr};

}  // namespace

cFlowServices& FlowServices() {
  // The interpreter keeps no state of its own (flow states live with the
  // characters), so one instance made on first use serves the process.
  static cFlowInterpreter interpreter;
  cFlowServices* installed = g_InstalledServices.load();
  return installed != nullptr ? *installed : interpreter;
}

void SetFlowServices(cFlowServices* services) { g_InstalledServices.store(services); }

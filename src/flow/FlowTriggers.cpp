#include "flow/FlowTriggers.h"

void FireFlowTrigger(cCharaBase&, int, cCharaBase*, int) {}
bool KeyConditionsHold(cCharaBase&, cFlowState&) { return true; }
bool MatchKeySequence(cCharaBase&, cFlowState&, int) { return false; }
bool KeyCondMatchesAt(const cCharaBase&, const cKeyCond&, const cKeyInput&, int, int& runFrames) {
  runFrames = 0;
  return false;
}
bool StatusCondition2Holds(cCharaBase&, const cCond&) { return false; }
bool StatusCondition3Holds(cCharaBase&, const cCond&) { return false; }
bool RangeConditionHolds(cCharaBase&, const cCond&) { return false; }

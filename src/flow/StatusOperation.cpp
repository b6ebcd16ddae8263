#include "flow/StatusOperation.h"

cStatusRange CharaStatusRange(int) { return {32, 0, 0}; }
cStatusRange SystemStatusRange(int) { return {32, 0, 0}; }
int64_t PercentRounded(int64_t a, int64_t b) { return a * b / 100; }
bool StatusApplyOp(int32_t, int32_t, int, int32_t, int32_t, int32_t&) { return false; }
cCharaBase* SubjectChara(cCharaBase&, int) { return nullptr; }
bool ReadCharaStatus(cCharaBase&, int, int, int32_t&) { return false; }
bool ReadSystemStatus(int, int32_t&) { return false; }
bool EvalStatusCondition(const cCond&, cCharaBase&) { return false; }
void CmdStatusOperation(cCharaBase&, cCommand&) {}

#include "flow/StatusOperation.h"

#include <algorithm>

#include "core/Log.h"
#include "core/Numeric.h"
#include "data/Command.h"
#include "data/Condition.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "flow/FieldRef.h"
#include "world/CharaBase.h"
#include "world/GameObj.h"
#include "world/GameScene.h"
#include "world/Random.h"

namespace {

constexpr cStatusRange kCharaStatusRanges[STATUS_COUNT] = {
    {32, -999999, 999999},  // character variable
    {32, 0, 999999},        // HP
    {32, 0, 999999},        // SP
    {32, 0, 999999},        // max HP
    {32, 0, 999999},        // max SP
    {8, 0, 99},             // character ID
    {8, 0, 7},              // Z order
    {16, 0, 119},           // emblem number
    {8, 0, 40},             // sight
    {32, -999999, 999999},  // body-attack power
    {8, -20, 20},           // body-attack impact
    {32, 0, 999999},        // defence
    {8, 0, 20},             // impact resistance
    {16, 0, 200},           // ease of stopping
    {32, -999999, 999999},  // score when defeated
};

constexpr cStatusRange kSystemStatusRanges[SYSTEM_STATUS_COUNT] = {
    {32, 0, 999},
    {32, -480, 480},
    {32, -480, 480},
    {32, 0, 999999},
    {32, 0, 99},
};

// A variable of a list, or null (with a report line) for a number outside it.
// A bad number in authored data must not land on another variable.
int32_t* VariableSlot(cSafeVector<int32_t>& list, int index) {
  if (index >= 0 && index < static_cast<int>(list.size())) return &list[index];
  ReportPrintfLog("err V[%d] ( %d , %d )", index, static_cast<int>(list.size()), static_cast<int>(sizeof(int32_t)));
  return nullptr;
}

// Common variable n (kind 0) or stage variable n (kind 1); null without one.
int32_t* VariableOf(int kind, int index) {
  if (kind == 0) return VariableSlot(g_Progress.m_CommonVars, index);
  if (kind == 1 && g_GameScene != nullptr) return VariableSlot(g_GameScene->m_StageVars, index);
  return nullptr;
}

bool IsComputerOperated(const cCharaBase& chara) { return chara.m_Operator != OBJ_BY_PLAYER; }

bool LivesInfinite() { return g_Progress.m_nLives == kInfiniteLives; }

// The operand of a condition or an operation. False when it cannot be had
// (an empty target slot, an unreadable status, a variable outside its list).
bool ReadOperand(cCharaBase& chara, int source, int32_t constant, int32_t randMin, int32_t randMax, int subject,
                 int selector, int varKind, int index, int32_t& operand) {
  switch (source) {
    case OPERAND_CONSTANT:
      operand = constant;
      return true;
    case OPERAND_RANDOM:
      operand = RandomRange(randMin, randMax);
      return true;
    case OPERAND_STATUS: {
      if (subject == kSubjectSystem) return ReadSystemStatus(selector, operand);
      cCharaBase* who = SubjectChara(chara, subject);
      return who != nullptr && ReadCharaStatus(*who, selector, index, operand);
    }
    case OPERAND_VARIABLE: {
      const int32_t* slot = VariableOf(varKind, index);
      if (slot == nullptr) return false;
      operand = *slot;
      return true;
    }
    default:
      return false;
  }
}

// The 8-bit and 16-bit statuses compare with the operand cut to their width.
int32_t CutToWidth(int32_t value, int width) {
  if (width == 8) return static_cast<int8_t>(value);
  if (width == 16) return static_cast<int16_t>(value);
  return value;
}

// The parameters of the status operation, by their place in the command.
struct cStatusOpParams {
  int32_t target, varKind, number, subject, selector, op, source, constant, randMin, randMax;
  int32_t operandVarKind, operandNumber, operandSubject, operandSelector;
  int32_t percentOfCurrent, hpMode, showGauge, skipInvincible;
};

cStatusOpParams ReadParams(const cCommand& command) {
  int32_t p[18] = {};
  const int count = std::min<int>(18, static_cast<int>(command.m_Params.size()));
  for (int i = 0; i < count; ++i) p[i] = command.m_Params[i];
  return cStatusOpParams{p[0],  p[1],  p[2],  p[3],  p[4],  p[5],  p[6],  p[7],  p[8],
                         p[9],  p[10], p[11], p[12], p[13], p[14], p[15], p[16], p[17]};
}

void OperateSystem(const cStatusOpParams& p, int32_t operand) {
  const cStatusRange range = SystemStatusRange(p.selector);
  int32_t current = 0;
  if (!ReadSystemStatus(p.selector, current)) return;
  if (p.selector == SYSTEM_LIVES && LivesInfinite()) return;
  // A percentage past the 32-bit range is held at its end rather than
  // wrapped round to the other sign; so are those of OperateHpOrSp and
  // OperateChara.
  if (p.percentOfCurrent != 0) operand = ClampToI32(PercentRounded(current, operand));
  int32_t result = 0;
  if (StatusApplyOp(current, operand, p.op, range.m_Min, range.m_Max, result)) StoreSystemStatus(p.selector, result);
}

void OperateHpOrSp(cCharaBase& chara, cCharaBase& target, const cStatusOpParams& p, int32_t operand) {
  const bool hp = p.selector == STATUS_HP;
  const int32_t current = hp ? target.m_Hp : target.m_Sp;
  const int32_t maximum = hp ? target.m_Data.m_nMhp : target.m_Data.m_nMsp;
  if (p.hpMode == HP_MODE_PERCENT_OF_MAX) operand = ClampToI32(PercentRounded(operand, maximum));
  if (p.hpMode == HP_MODE_PERCENT_OF_CURRENT) operand = ClampToI32(PercentRounded(operand, current));
  const cStatusRange range = CharaStatusRange(p.selector);
  int32_t result = 0;
  if (!StatusApplyOp(current, operand, p.op, range.m_Min, range.m_Max, result)) return;
  const int32_t change = ClampToI32(int64_t{result} - current);
  if (hp) {
    target.AddHp(change, 1, p.showGauge);
    // Another character's death is checked by the play step, not by its own
    // update, which has already run or will not run again this sub-step.
    if (&target != &chara && target.m_Hp < 1 && g_GameScene != nullptr) g_GameScene->m_bHpCheck = 1;
  } else {
    target.AddSp(change, p.showGauge);
  }
}

void OperateChara(cCharaBase& chara, const cStatusOpParams& p, int32_t operand) {
  cCharaBase* target = SubjectChara(chara, p.subject);
  if (target == nullptr) return;
  if (p.skipInvincible != 0 && target->m_Data.m_nInvincible != 0) return;
  if (p.selector == STATUS_HP || p.selector == STATUS_SP) {
    OperateHpOrSp(chara, *target, p, operand);
    return;
  }
  int32_t current = 0;
  if (!ReadCharaStatus(*target, p.selector, p.number, current)) return;
  if (p.percentOfCurrent != 0) operand = ClampToI32(PercentRounded(current, operand));
  const cStatusRange range = CharaStatusRange(p.selector);
  int32_t result = 0;
  if (!StatusApplyOp(current, operand, p.op, range.m_Min, range.m_Max, result)) return;
  StoreCharaStatus(*target, p.selector, p.number, result);
  switch (p.selector) {
    case STATUS_MHP:
      if (target->m_Hp > result) target->m_Hp = result;
      break;
    case STATUS_MSP:
      if (target->m_Sp > result) target->m_Sp = result;
      break;
    case STATUS_SIGHT:
      if (!IsComputerOperated(*target)) {
        target->m_nLightRadius = result * 16;
        if (g_GameScene != nullptr) g_GameScene->PrepareLightSurfaces();
      }
      break;
    case STATUS_STOP:
      target->RefreshStopping();
      break;
    default:
      break;
  }
}

}  // namespace

cStatusRange CharaStatusRange(int selector) {
  if (selector < 0 || selector >= STATUS_COUNT) return {32, -999999, 999999};
  return kCharaStatusRanges[selector];
}

cStatusRange SystemStatusRange(int selector) {
  if (selector < 0 || selector >= SYSTEM_STATUS_COUNT) return {32, -999999, 999999};
  return kSystemStatusRanges[selector];
}

int64_t PercentRounded(int64_t a, int64_t b) {
  const int64_t product = a * b;
  int64_t quotient = product / 100;
  const int64_t remainder = product % 100;
  if (2 * (remainder < 0 ? -remainder : remainder) >= 100) quotient += product < 0 ? -1 : 1;
  return quotient;
}

bool StatusApplyOp(int32_t current, int32_t operand, int op, int32_t min, int32_t max, int32_t& result) {
  int64_t value = 0;
  switch (op) {
    case STATUS_OP_SET:
      value = operand;
      break;
    case STATUS_OP_ADD:
      value = int64_t{current} + operand;
      break;
    case STATUS_OP_SUB:
      value = int64_t{current} - operand;
      break;
    case STATUS_OP_MUL:
      value = int64_t{current} * operand;
      break;
    case STATUS_OP_DIV:
      if (operand == 0) return false;
      value = int64_t{current} / operand;
      break;
    case STATUS_OP_REM:
      if (operand == 0) return false;
      value = int64_t{current} % operand;
      break;
    case STATUS_OP_PERCENT:
      value = PercentRounded(current, operand);
      break;
    default:
      return false;
  }
  result = ClampToRange(value, min, max);
  return true;
}

cCharaBase* SubjectChara(cCharaBase& chara, int subject) {
  if (subject == kSubjectSelf) return &chara;
  if (subject >= 1 && subject <= kTargetSlotCount) return chara.Target(subject - 1);
  return nullptr;
}

namespace {

// The field of status `selector` (0 to 14); variable `varIndex` must lie in
// the list.
cFieldRef CharaStatusField(cCharaBase& chara, int selector, int varIndex) {
  cCharaData& data = chara.m_Data;
  switch (selector) {
    case STATUS_VAR:
      return Field(chara.m_Vars[varIndex]);
    case STATUS_HP:
      return Field(chara.m_Hp);
    case STATUS_SP:
      return Field(chara.m_Sp);
    case STATUS_MHP:
      return Field(data.m_nMhp);
    case STATUS_MSP:
      return Field(data.m_nMsp);
    case STATUS_CID:
      return Field(data.m_nCid);
    case STATUS_Z:
      return Field(data.m_nZ);
    case STATUS_MARK:
      return Field(data.m_nMark);
    case STATUS_SIGHT:
      return Field(data.m_nSight);
    case STATUS_POWER:
      return Field(data.m_nPower);
    case STATUS_IMP:
      return Field(data.m_nImp);
    case STATUS_DEF:
      return Field(data.m_nDef);
    case STATUS_IMPD:
      return Field(data.m_nImpd);
    case STATUS_STOP:
      return Field(data.m_nStop);
    case STATUS_GETSC:
      return Field(data.m_nGetsc);
    default:
      return cFieldRef{};
  }
}

}  // namespace

int32_t CharaStatusValue(const cCharaBase& chara, int selector, int varIndex) {
  // Reading through the field does not change the character.
  const cFieldRef field = CharaStatusField(const_cast<cCharaBase&>(chara), selector, varIndex);
  return field ? ReadField(field) : 0;
}

void StoreCharaStatus(cCharaBase& chara, int selector, int varIndex, int32_t value) {
  if (const cFieldRef field = CharaStatusField(chara, selector, varIndex)) WriteField(field, value);
}

void StoreSystemStatus(int selector, int32_t value) {
  switch (selector) {
    case SYSTEM_TIME:
      if (g_GameScene != nullptr) g_GameScene->m_nTimeLeft = value;
      break;
    case SYSTEM_SCROLL_X:
      SetAutoScrollSpeed(SCROLL_AXIS_X, value);
      break;
    case SYSTEM_SCROLL_Y:
      SetAutoScrollSpeed(SCROLL_AXIS_Y, value);
      break;
    case SYSTEM_SCORE:
      g_Progress.m_nScore = value;
      break;
    case SYSTEM_LIVES:
      g_Progress.m_nLives = value;
      break;
    default:
      break;
  }
}

void SetAutoScrollSpeed(int axis, int32_t speed) {
  if (axis == SCROLL_AXIS_X) {
    g_Stage.m_AutoScrollSpeedX = speed;
    if (g_GameScene != nullptr) g_GameScene->m_ScrollX.SetSpeed(g_Stage.m_AutoScrollX, speed);
  } else {
    g_Stage.m_AutoScrollSpeedY = speed;
    if (g_GameScene != nullptr) g_GameScene->m_ScrollY.SetSpeed(g_Stage.m_AutoScrollY, speed);
  }
}

bool ReadCharaStatus(cCharaBase& chara, int selector, int varIndex, int32_t& value) {
  if (selector < 0 || selector >= STATUS_COUNT) return false;
  if (selector == STATUS_VAR && VariableSlot(chara.m_Vars, varIndex) == nullptr) return false;
  // Only a player-operated character has a light to see by.
  if (selector == STATUS_SIGHT && IsComputerOperated(chara)) return false;
  if (selector == STATUS_STOP) chara.RefreshStopping();
  value = CharaStatusValue(chara, selector, varIndex);
  return true;
}

bool ReadSystemStatus(int selector, int32_t& value) {
  switch (selector) {
    case SYSTEM_TIME:
      if (g_GameScene == nullptr) return false;
      value = g_GameScene->m_bNoTimeLimit != 0 ? 0 : g_GameScene->m_nTimeLeft;
      return true;
    case SYSTEM_SCROLL_X:
      value = g_Stage.m_AutoScrollSpeedX;
      return true;
    case SYSTEM_SCROLL_Y:
      value = g_Stage.m_AutoScrollSpeedY;
      return true;
    case SYSTEM_SCORE:
      value = g_Progress.m_nScore;
      return true;
    case SYSTEM_LIVES:
      value = LivesInfinite() ? 0 : g_Progress.m_nLives;
      return true;
    default:
      return false;
  }
}

bool EvalStatusCondition(const cCond& cond, cCharaBase& chara) {
  int32_t operand = 0;
  if (!ReadOperand(chara, cond.m_nRightKind, cond.m_nValue, cond.m_nRandMin, cond.m_nRandMax, cond.m_nRightObject,
                   cond.m_nRightItem, cond.m_nRightVarKind, cond.m_nRightIndex, operand)) {
    return false;
  }

  int32_t left = 0;
  cStatusRange range{32, -999999, 999999};
  bool hpBase = false;
  bool spBase = false;
  cCharaBase* owner = nullptr;
  if (cond.m_nLeftKind == 1) {
    const int32_t* slot = VariableOf(cond.m_nLeftVarKind, cond.m_nIndex);
    if (slot == nullptr) return false;
    left = *slot;
  } else if (cond.m_nObject == kSubjectSystem) {
    if (cond.m_nItem == SYSTEM_LIVES && LivesInfinite()) return false;
    if (!ReadSystemStatus(cond.m_nItem, left)) return false;
    range = SystemStatusRange(cond.m_nItem);
  } else {
    owner = SubjectChara(chara, cond.m_nObject);
    if (owner == nullptr) return false;
    // A selector beyond the status table reads nothing, and the condition
    // holds whatever its right side.
    if (cond.m_nItem >= STATUS_COUNT) return true;
    if (!ReadCharaStatus(*owner, cond.m_nItem, cond.m_nIndex, left)) return false;
    range = CharaStatusRange(cond.m_nItem);
    hpBase = cond.m_nItem == STATUS_HP;
    spBase = cond.m_nItem == STATUS_SP;
  }

  if (cond.m_bClamp != 0) {
    // The percent flag: a percentage of the maximum for HP and SP; every
    // other value has no base, so the operand becomes 0.
    if (hpBase || spBase) {
      const int32_t base = hpBase ? owner->m_Data.m_nMhp : owner->m_Data.m_nMsp;
      operand = ClampToRange(PercentRounded(operand, base), 0, 999999);
    } else {
      operand = ClampToRange(0, range.m_Min, range.m_Max);
    }
  }
  if (cond.m_nLeftKind != 1 && cond.m_nObject != kSubjectSystem) operand = CutToWidth(operand, range.m_Width);
  return CompareByKind(left, operand, cond.m_nCompare);
}

void CmdStatusOperation(cCharaBase& chara, cCommand& command) {
  const cStatusOpParams p = ReadParams(command);
  int32_t operand = 0;
  if (!ReadOperand(chara, p.source, p.constant, p.randMin, p.randMax, p.operandSubject, p.operandSelector,
                   p.operandVarKind, p.operandNumber, operand)) {
    return;
  }
  if (p.target == 1) {
    int32_t* slot = VariableOf(p.varKind, p.number);
    if (slot == nullptr) return;
    if (p.percentOfCurrent != 0) operand = ClampToI32(PercentRounded(*slot, operand));
    int32_t result = 0;
    if (StatusApplyOp(*slot, operand, p.op, -999999, 999999, result)) *slot = result;
    return;
  }
  if (p.target != 0) return;
  if (p.subject == kSubjectSystem) {
    OperateSystem(p, operand);
    return;
  }
  OperateChara(chara, p, operand);
}

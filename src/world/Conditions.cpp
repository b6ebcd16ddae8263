#include "world/Conditions.h"

#include "data/Progress.h"
#include "world/CharaBase.h"
#include "world/FlowServices.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/MapGrid.h"

namespace {

// The owner form shared by cells, characters, items and flows.
bool OwnerConditionsHold(const cSafeVector<cCond>& conds, int rule, int latchOn, uint8_t& latched,
                         cCharaBase* chara) {
  if (conds.empty()) return true;
  if (latchOn != 0 && latched != 0) return true;
  if (!CheckConditions(conds, rule, chara)) return false;
  latched = 1;
  return true;
}

}  // namespace

bool CheckCondition(const cCond& cond, cCharaBase* chara) {
  switch (cond.m_nKind) {
    case COND_COMMON_VAR:
      return CompareByKind(g_Progress.m_CommonVars[cond.m_nIndex], cond.m_nValue, cond.m_nCompare);
    case COND_STAGE_VAR:
      // Stage variables exist only while a stage is played.
      return g_GameScene != nullptr &&
             CompareByKind(g_GameScene->m_StageVars[cond.m_nIndex], cond.m_nValue, cond.m_nCompare);
    case COND_CHARA_VAR:
      return chara != nullptr && CompareByKind(chara->m_Vars[cond.m_nIndex], cond.m_nValue, cond.m_nCompare);
    case COND_STATUS:
      return chara != nullptr && FlowServices().EvalStatusCondition(cond, *chara);
    case COND_STATUS2:
      return chara != nullptr && FlowServices().StatusCondition2Holds(*chara, cond);
    case COND_STATUS3:
      return chara != nullptr && FlowServices().StatusCondition3Holds(*chara, cond);
    case COND_DISTANCE:
      return chara != nullptr && FlowServices().RangeConditionHolds(*chara, cond);
    default:
      return false;
  }
}

bool CheckConditions(const cSafeVector<cCond>& conds, int rule, cCharaBase* chara) {
  switch (rule) {
    case 0:
      for (const cCond& cond : conds) {
        if (!CheckCondition(cond, chara)) return false;
      }
      return true;
    case 1:
      for (const cCond& cond : conds) {
        if (CheckCondition(cond, chara)) return true;
      }
      return false;
    default:
      return false;
  }
}

bool CellConditionsHold(cMapCell& cell) {
  return OwnerConditionsHold(cell.m_Conds, cell.m_nCondRule, cell.m_bCondLatch, cell.m_CondLatched, StageHero());
}

bool CharaConditionsHold(cCharaBase& chara) {
  return OwnerConditionsHold(chara.m_Data.m_Conds, chara.m_Data.m_nAppearRule, chara.m_Data.m_bAppearLatch,
                             chara.m_CondLatched, StageHero());
}

bool ItemConditionsHold(cItem& item) {
  return OwnerConditionsHold(item.m_Data.m_Conds, item.m_Data.m_nAppearRule, item.m_Data.m_bAppearLatch,
                             item.m_CondLatched, StageHero());
}

bool FlowConditionsHold(cFlowState& state, cCharaBase& chara) {
  if (state.m_pFlow == nullptr) return true;
  const cFlow& flow = *state.m_pFlow;
  return OwnerConditionsHold(flow.m_Conds, flow.m_nCondRule, flow.m_bCondLatch, state.m_CondLatched, &chara);
}

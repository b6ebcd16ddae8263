#include "world/Conditions.h"

#include <gtest/gtest.h>

#include <limits>

#include "WorldTestSupport.h"
#include "core/SafeAccess.h"
#include "doubles/FakeFlowServices.h"
#include "world/FlowState.h"
#include "world/Hero.h"
#include "world/Item.h"

namespace {

using worldtest::cWorldFixture;

cCond Cond(int kind, int index, int compare, int value) {
  cCond cond;
  cond.m_nKind = static_cast<std::uint8_t>(kind);
  cond.m_nIndex = static_cast<std::int16_t>(index);
  cond.m_nCompare = static_cast<std::uint8_t>(compare);
  cond.m_nValue = value;
  return cond;
}

class ConditionsTest : public cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    MakeScene();
    Player.resize(1);
  }
  cFakeFlowServices m_Flow;
};

TEST(CompareByKindTest, ComparisonsIncludingDivisibility) {
  constexpr int kMin = std::numeric_limits<int>::min();
  const struct {
    int v;
    int c;
    int kind;
    bool holds;
  } cases[] = {
      {3, 3, 0, true},   {3, 4, 0, false},  {3, 4, 1, true},    {4, 4, 2, true},   {3, 4, 2, false},
      {4, 4, 3, true},   {5, 4, 3, false},  {5, 4, 4, true},    {4, 4, 4, false},  {3, 4, 5, true},
      {5, 0, 6, true},   {5, 0, 7, false},  {-9, 3, 6, true},   {-9, 4, 7, true},  {10, -5, 6, true},
      {kMin, -1, 6, true}, {kMin, -1, 7, false}, {kMin, 3, 7, true}, {1, 1, 8, false}, {1, 1, 255, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.holds, CompareByKind(c.v, c.c, c.kind)) << c.v << " " << c.c << " " << c.kind;
}

TEST_F(ConditionsTest, VariableKindsReadTheirOwnLists) {
  cCharaBase chara;
  chara.m_Vars[3] = 30;
  g_Progress.m_CommonVars[1000] = 10;
  m_Scene.m_StageVars[999] = 20;
  const struct {
    cCond cond;
    cCharaBase* chara;
    bool holds;
  } cases[] = {
      {Cond(COND_COMMON_VAR, 1000, 0, 10), nullptr, true},
      {Cond(COND_COMMON_VAR, 1000, 4, 10), nullptr, false},
      {Cond(COND_STAGE_VAR, 999, 2, 20), nullptr, true},
      {Cond(COND_CHARA_VAR, 3, 0, 30), &chara, true},
      {Cond(COND_CHARA_VAR, 3, 0, 30), nullptr, false},
      {Cond(COND_NONE, 0, 0, 0), &chara, false},
      {Cond(8, 0, 0, 0), &chara, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.holds, CheckCondition(c.cond, c.chara)) << int{c.cond.m_nKind};
  EXPECT_TRUE(m_Flow.m_Calls.empty());

  // Without a game scene there are no stage variables.
  g_GameScene = nullptr;
  EXPECT_FALSE(CheckCondition(Cond(COND_STAGE_VAR, 0, 0, 0), &chara));
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(ConditionsTest, CharacterKindsAskTheFlowInterpreter) {
  cCharaBase chara;
  for (int kind = COND_STATUS; kind <= COND_DISTANCE; ++kind) {
    m_Flow.m_Calls.clear();
    m_Flow.m_Answers[kind] = true;
    EXPECT_TRUE(CheckCondition(Cond(kind, 0, 0, 0), &chara)) << kind;
    ASSERT_EQ(1u, m_Flow.m_Calls.size());
    EXPECT_EQ(kind, m_Flow.m_Calls[0].value);
    EXPECT_EQ(&chara, m_Flow.m_Calls[0].chara);
    m_Flow.m_Answers[kind] = false;
    EXPECT_FALSE(CheckCondition(Cond(kind, 0, 0, 0), &chara)) << kind;
  }
  m_Flow.m_Answers[COND_STATUS] = true;
  EXPECT_FALSE(CheckCondition(Cond(COND_STATUS, 0, 0, 0), nullptr));
}

TEST_F(ConditionsTest, RulesAllAnyAndNone) {
  const cSafeVector<cCond> none;
  const cSafeVector<cCond> mixed = {Cond(COND_COMMON_VAR, 0, 0, 0), Cond(COND_COMMON_VAR, 0, 0, 1)};
  const cSafeVector<cCond> both = {Cond(COND_COMMON_VAR, 0, 0, 0), Cond(COND_COMMON_VAR, 1, 0, 0)};
  const struct {
    const cSafeVector<cCond>* conds;
    int rule;
    bool holds;
  } cases[] = {{&none, 0, true}, {&none, 1, false}, {&mixed, 0, false}, {&mixed, 1, true},
               {&both, 0, true}, {&both, 1, true},  {&both, 2, false}, {&none, -1, false}};
  for (const auto& c : cases) EXPECT_EQ(c.holds, CheckConditions(*c.conds, c.rule, nullptr)) << c.rule;
}

TEST_F(ConditionsTest, LatchedOwnersStayWhenTheirConditionsFail) {
  for (int latch : {0, 1}) {
    cCharaBase chara;
    chara.m_Data.m_Conds = {Cond(COND_COMMON_VAR, 5, 0, 1)};
    chara.m_Data.m_bAppearLatch = static_cast<std::uint8_t>(latch);
    g_Progress.m_CommonVars[5] = 0;
    EXPECT_FALSE(CharaConditionsHold(chara));
    g_Progress.m_CommonVars[5] = 1;
    EXPECT_TRUE(CharaConditionsHold(chara));
    g_Progress.m_CommonVars[5] = 0;
    EXPECT_EQ(latch == 1, CharaConditionsHold(chara)) << latch;
  }
}

TEST_F(ConditionsTest, AnEmptyListHoldsForItsOwnerWhateverTheRule) {
  cItem item;
  item.m_Data.m_nAppearRule = 1;
  EXPECT_TRUE(ItemConditionsHold(item));
  EXPECT_FALSE(CheckConditions(item.m_Data.m_Conds, 1, nullptr));
}

TEST_F(ConditionsTest, OwnersTestWithTheHeroFlowsWithTheirCharacter) {
  m_Flow.m_Answers[COND_STATUS3] = true;
  cItem item;
  item.m_Data.m_Conds = {Cond(COND_STATUS3, 0, 0, 0)};
  EXPECT_TRUE(ItemConditionsHold(item));
  ASSERT_EQ(1u, m_Flow.m_Calls.size());
  EXPECT_EQ(&Player[0], m_Flow.m_Calls[0].chara);
  EXPECT_EQ(1, item.m_CondLatched);

  cFlow flow;
  flow.m_Conds = {Cond(COND_STATUS3, 0, 0, 0)};
  flow.m_bCondLatch = 1;
  cFlowState state;
  state.m_pFlow = &flow;
  cCharaBase chara;
  EXPECT_TRUE(FlowConditionsHold(state, chara));
  EXPECT_EQ(&chara, m_Flow.m_Calls.back().chara);
  m_Flow.m_Answers[COND_STATUS3] = false;
  EXPECT_TRUE(FlowConditionsHold(state, chara));
  EXPECT_EQ(2u, m_Flow.m_Calls.size());

  // Without a hero the character kinds fail.
  Player.clear();
  m_Flow.m_Answers[COND_STATUS3] = true;
  cItem another;
  another.m_Data.m_Conds = {Cond(COND_STATUS3, 0, 0, 0)};
  EXPECT_FALSE(ItemConditionsHold(another));
}

}  // namespace

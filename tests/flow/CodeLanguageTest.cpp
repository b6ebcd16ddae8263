// The code language: what a statement stores, what it answers, and the
// errors it reports, on a character with known statuses.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/SafeAccess.h"
#include "flow/CodeLanguage.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"
#include "support/WorldFakes.h"

namespace {

class CodeLanguageTest : public ::testing::Test {
 protected:
  CodeLanguageTest() : m_Chara(m_World.AddChara(cTestWorld::Definition(100, 50))) {
    m_Chara.m_Hp = 20;
    m_Chara.m_Sp = 10;
  }
  ~CodeLanguageTest() override { ClearFatalPendingForTests(); }

  int Run(const std::string& code) { return RunCode(code, m_Chara); }
  int32_t V(int n) const { return m_Chara.m_Vars[n]; }

  cTestWorld m_World;
  cErrorBoxLog m_Boxes;
  cCharaBase& m_Chara;
};

TEST_F(CodeLanguageTest, StatementsStoreWhatTheyCompute) {
  struct cCase {
    const char* code;
    int32_t v1;
  };
  const std::vector<cCase> cases = {
      {"my.v1 = 7 / 2", 3},
      {"my.v1 = -7 % 2", -1},
      {"my.v1 = (1 + 2) * 3", 9},
      {"my.v1 = 1 + 2 * 3", 7},
      {"my.v1 = 2 - 3 - 4", -5},          // left to right
      {"my.v1 = 12 / 2 / 3", 2},
      {"my.v1 = ((2))", 2},
      {"my.v1 = 1+2", 1},                 // no blanks: one word, its leading integer
      {"my.v1 = abc", 0},
      {"my.v1 = 5000000", 999999},        // limited to the variable's range
      {"my.v1 = -5000000", -999999},
      {"my.v1 = 99999999999999", 999999}, // an overlong number is held at the limit, then limited
      {"my.v1 = abs(-3)", -3},            // an unknown function is dropped
      {"v1 = 4", 4},                      // no object: "my"
      {"my.v1 = 1.5", 5},                 // "1." after a token is a prefix passed over
      {"my.v1\t= 3", 0},                  // only spaces separate words
      {"my.v1 = my.hp + my.sp", 30},
      {"my.v1 = 2147483647 + 1", -999999},  // wraps at 32 bits, then limited
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.code);
    m_Chara.m_Vars[1] = 0;
    EXPECT_EQ(Run(c.code), 1);
    EXPECT_EQ(V(1), c.v1);
  }
  EXPECT_TRUE(m_Boxes.Texts().empty());
}

TEST_F(CodeLanguageTest, StatusesAreLimitedToTheirRangesAndWidths) {
  struct cCase {
    const char* code;
    int32_t (*read)(const cCharaBase&);
    int32_t expected;
  };
  const std::vector<cCase> cases = {
      {"my.hp = my.hp - 999", [](const cCharaBase& c) { return c.m_Hp; }, 0},
      {"my.hp = 5000", [](const cCharaBase& c) { return c.m_Hp; }, 100},
      {"my.cid = 300", [](const cCharaBase& c) { return int32_t{c.m_Data.m_nCid}; }, 99},
      {"my.z = 9", [](const cCharaBase& c) { return int32_t{c.m_Data.m_nZ}; }, 7},
      {"my.imp = -50", [](const cCharaBase& c) { return int32_t{c.m_Data.m_nImp}; }, -20},
      {"my.mark = 200", [](const cCharaBase& c) { return int32_t{c.m_Data.m_nMark}; }, 119},
      {"my.stop = 150", [](const cCharaBase& c) { return int32_t{c.m_Data.m_nStop}; }, 150},
      {"my.getsc = -2000000", [](const cCharaBase& c) { return c.m_Data.m_nGetsc; }, -999999},
      {"my.mhp = 0", [](const cCharaBase& c) { return c.m_Data.m_nMhp; }, 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(Run(c.code), 1);
    EXPECT_EQ(c.read(m_Chara), c.expected);
  }
}

TEST_F(CodeLanguageTest, MaximumsPullTheCurrentValuesIntoTheirNewRange) {
  m_Chara.m_Hp = 0;
  EXPECT_EQ(Run("my.mhp = 30"), 1);
  // Even a character at 0 comes back to 1.
  EXPECT_EQ(m_Chara.m_Hp, 1);
  m_Chara.m_Hp = 25;
  EXPECT_EQ(Run("my.mhp = 10"), 1);
  EXPECT_EQ(m_Chara.m_Hp, 10);
  EXPECT_EQ(Run("my.msp = 4"), 1);
  EXPECT_EQ(m_Chara.m_Sp, 4);
}

TEST_F(CodeLanguageTest, VariablesObjectsAndSystemValues) {
  cHero& hero = m_World.AddHero(cTestWorld::Definition(40));
  cCharaBase& target = m_World.AddChara(cTestWorld::Definition(60));
  m_Chara.SetParent(nullptr);
  m_Chara.SetTarget(1, &target, 1);
  m_Chara.m_Vars[1] = 77;
  g_Progress.m_nScore = 500;

  EXPECT_EQ(Run("C0 = 12"), 1);
  EXPECT_EQ(cTestWorld::CommonVar(0), 12);
  EXPECT_EQ(Run("S3 = my.v1"), 1);
  EXPECT_EQ(m_World.StageVar(3), 77);
  EXPECT_EQ(Run("tg2.hp = 5"), 1);
  EXPECT_EQ(target.m_Hp, 5);
  EXPECT_EQ(Run("tg.v2 = pl.hp"), 1);  // "tg" is target 1: the hero after SetParent
  EXPECT_EQ(hero.m_Vars[2], 40);
  EXPECT_EQ(Run("sys.score = sys.score + 1"), 1);
  EXPECT_EQ(g_Progress.m_nScore, 501);
  EXPECT_EQ(Run("C1 = time"), 1);
  EXPECT_EQ(cTestWorld::CommonVar(1), 999);

  g_Progress.m_nLives = kInfiniteLives;
  EXPECT_EQ(Run("C2 = life"), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
  EXPECT_EQ(Run("sys.life = 5"), 1);
  EXPECT_EQ(g_Progress.m_nLives, kInfiniteLives);
  g_Progress.m_nLives = 3;
  EXPECT_EQ(Run("life = 500"), 1);
  EXPECT_EQ(g_Progress.m_nLives, 99);
}

TEST_F(CodeLanguageTest, SideEffectsOfAssignments) {
  cCharaBase& other = m_World.AddChara(cTestWorld::Definition(30));
  m_Chara.SetTarget(0, &other, 1);

  // Another character's hit points falling below 1 ask for a death check;
  // the running character's own do not.
  EXPECT_EQ(Run("my.hp = 0"), 1);
  EXPECT_EQ(m_World.Scene().m_bHpCheck, 0);
  EXPECT_EQ(Run("tg1.hp = 0"), 1);
  EXPECT_EQ(m_World.Scene().m_bHpCheck, 1);

  // The light of a player-operated character follows its sight.
  EXPECT_EQ(Run("my.sight = 3"), 1);
  EXPECT_EQ(m_World.Scene().m_LightRebuilds, 0);
  m_Chara.m_Operator = OBJ_BY_PLAYER;
  EXPECT_EQ(Run("my.sight = 4"), 1);
  EXPECT_EQ(m_Chara.m_nLightRadius, 64);
  EXPECT_EQ(m_World.Scene().m_LightRebuilds, 1);

  // A new automatic-scroll speed restarts the camera's scroll at it.
  g_Stage.m_AutoScrollX = 1;
  EXPECT_EQ(Run("scrlx = 600"), 1);
  EXPECT_EQ(g_Stage.m_AutoScrollSpeedX, 480);
  EXPECT_EQ(m_World.Scene().m_ScrollX.m_Moving, 1);
  EXPECT_DOUBLE_EQ(m_World.Scene().m_ScrollX.m_Speed, 48.0);
}

TEST_F(CodeLanguageTest, ErrorsShowTheirMessageAndKeepEarlierAssignments) {
  struct cCase {
    const char* code;
    const char* box;  // "" for an error without a message
  };
  const std::vector<cCase> cases = {
      {"my.v1 = 1 / 0", "0除算が行われました！(my.v1 = 1 / 0)"},
      {"my.v1 = 1 % 0", "0除算が行われました！(my.v1 = 1 % 0)"},
      {"my.v1 = (1 + 2", "\")\"が見つかりません！"},
      {"my.v1 = rand(1,2", "関数 rand で\")\"が見つかりません！"},
      {"my.v1 = rand(1)", "関数 rand の引数が不正です！"},
      {"my.v1 = rand(1,2,3)", "関数 rand の引数が不正です！"},
      {"xx.hp = 1", "オブジェクト \"xx.\" が認識できません！"},
      {"my.hpx = 1", "代入先が不正です！"},
      {"my.v1 = my.v2 = 3", "代入先が不正です！"},
      {"5 = 3", "代入先が不正です！"},
      {"tg2.hp = 0", ""},   // an empty target slot
      {"sys.hp = 1", ""},   // no character to read
      {"C5000 = 1", ""},    // beyond the common variables
      {"S-1 = 1", ""},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.code);
    m_Boxes.Clear();
    m_Chara.m_Vars[1] = 11;
    EXPECT_EQ(Run(c.code), 0);
    EXPECT_EQ(g_CodeError, 1);
    if (c.box[0] == '\0') {
      EXPECT_TRUE(m_Boxes.Texts().empty());
    } else {
      ASSERT_EQ(m_Boxes.Texts().size(), 1u);
      EXPECT_EQ(m_Boxes.Texts()[0], c.box);
    }
    if (std::string(c.code) != "my.v1 = my.v2 = 3") {
      EXPECT_EQ(V(1), 11);
    }
  }
  // The first assignment of "my.v1 = my.v2 = 3" was made before the error.
  m_Chara.m_Vars[2] = 8;
  EXPECT_EQ(Run("my.v1 = my.v2 = 3"), 0);
  EXPECT_EQ(V(1), 8);
  EXPECT_EQ(cTestWorld::CommonVar(0), 0);  // nothing landed on another variable
}

TEST_F(CodeLanguageTest, AnOperatorWithNothingBesideItIsReportedLikeABadIndex) {
  for (const char* code : {"= 5", "my.v1 =", "+"}) {
    SCOPED_TRACE(code);
    ClearFatalPendingForTests();
    EXPECT_EQ(Run(code), 0);
    EXPECT_TRUE(IsFatalPending());
  }
}

TEST_F(CodeLanguageTest, EdgesOfTheArithmetic) {
  struct cCase {
    const char* code;
    int result;
    int32_t c1;
  };
  const std::vector<cCase> cases = {
      {"C1 = -2147483648 / -1", 1, -999999},  // INT_MIN / -1 wraps to INT_MIN, then the range
      {"C1 = -2147483648 % -1", 1, 0},
      {"C1 = 65536 * 65536", 1, 0},           // wraps at 32 bits
      {"C1 = 7 % -3", 1, 1},                  // the sign of the left value
      {"C1 = ", 0, 0},                        // "=" with nothing on its right
      {"", 1, 0},                             // an empty statement is the value 0
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.code);
    cTestWorld::CommonVar(1) = 0;
    EXPECT_EQ(Run(c.code), c.result);
    EXPECT_EQ(cTestWorld::CommonVar(1), c.c1);
  }
  ClearFatalPendingForTests();
  // An empty parenthesis or argument is the value 0.
  EXPECT_EQ(ReduceParens("()", m_Chara), 0);
  EXPECT_EQ(Run("C1 = rand(,0)"), 1);
  EXPECT_EQ(cTestWorld::CommonVar(1), 0);
}

TEST_F(CodeLanguageTest, ACallInsideAWordSwallowsTheWord) {
  m_Chara.m_Vars[1] = 5;
  // "my.v1=rand(1,1)" is one word that becomes the bare number 1.
  EXPECT_EQ(Run("my.v1=rand(1,1)"), 1);
  EXPECT_EQ(V(1), 5);
  EXPECT_EQ(ReduceParens("my.v1=rand(1,1)", m_Chara), 1);
}

TEST_F(CodeLanguageTest, RandDrawsInTheOrderTheCallsStand) {
  g_Random.Seed(1234);
  EXPECT_EQ(Run("C1 = rand(1,9) * 10000 + rand(rand(1,5),2000)"), 1);
  plat::cRandom reference(1234);
  const int first = 1 + reference.Next() % 9;
  const int inner = 1 + reference.Next() % 5;
  const int second = inner + reference.Next() % (2000 - inner + 1);
  EXPECT_EQ(cTestWorld::CommonVar(1), first * 10000 + second);
  // The bounds may come in either order.
  g_Random.Seed(99);
  reference.Seed(99);
  EXPECT_EQ(Run("C2 = rand(10,3)"), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 3 + reference.Next() % 8);
}

TEST_F(CodeLanguageTest, TheGaugeShowsTheChangeOfASuccessfulStatement) {
  EXPECT_EQ(Run("my.hp = my.hp - 10"), 1);
  EXPECT_EQ(m_Chara.m_HpGauge.m_Timer, kGaugeFrames);
  EXPECT_DOUBLE_EQ(m_Chara.m_HpGauge.m_Trail, -10 * 50 / 100.0);
  EXPECT_EQ(m_Chara.m_SpGauge.m_Timer, 0);
  m_Chara.m_HpGauge = cGauge{};
  EXPECT_EQ(Run("my.sp = 1 my.hp = 0 / 0"), 0);
  EXPECT_EQ(m_Chara.m_HpGauge.m_Timer, 0);
}

TEST_F(CodeLanguageTest, TheOldEvaluationLeavesTheRightOperandInTheList) {
  g_System.m_bExpressionSwitch = 1;
  EXPECT_EQ(Run("my.v1 = 1 + 2 + 3"), 1);
  EXPECT_EQ(V(1), 3);
  g_System.m_bExpressionSwitch = 0;
  EXPECT_EQ(Run("my.v1 = 1 + 2 + 3"), 1);
  EXPECT_EQ(V(1), 6);
}

TEST_F(CodeLanguageTest, AnUnknownPrefixAfterATokenIsPassedOver) {
  EXPECT_EQ(Run("my.v1 = 4 + zz.5"), 1);
  EXPECT_EQ(V(1), 9);
  EXPECT_EQ(Run("zz.v1 = 4"), 0);
}

TEST_F(CodeLanguageTest, DeepParenthesesEndWithAnErrorInsteadOfTheStack) {
  const std::string deep = "C1 = " + std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(Run(deep), 0);
  EXPECT_EQ(m_Boxes.Texts().back(), "\")\"が見つかりません！");
  const std::string allowed = "C1 = " + std::string(200, '(') + "7" + std::string(200, ')');
  EXPECT_EQ(Run(allowed), 1);
  EXPECT_EQ(cTestWorld::CommonVar(1), 7);
}

TEST_F(CodeLanguageTest, TheCodeCommandRunsItsTextForTheRunningCharacter) {
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(CodeCmd("my.v3 = my.v3 + 2")));
  cCharaBase& chara = m_World.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_Vars[3], 2);
}

}  // namespace

// The holder of a command's optional parts: copies never share their object.

#include "data/SharedHolder.h"

#include <gtest/gtest.h>

#include <utility>

#include "data/Condition.h"
#include "data/EdMove.h"
#include "data/EdShot.h"

namespace {

TEST(SharedHolder, AssigningAFullHolderGivesAnObjectOfItsOwn) {
  cSharedHolder<cEdMove> source;
  source.Create().m_nTargetX = 7;
  cSharedHolder<cEdMove> target;
  target = source;
  ASSERT_FALSE(target.IsEmpty());
  EXPECT_NE(target.Get(), source.Get());
  EXPECT_EQ(target->m_nTargetX, 7);
  target->m_nTargetX = 8;
  EXPECT_EQ(source->m_nTargetX, 7);
}

TEST(SharedHolder, CopyConstructionIsDeepToo) {
  cSharedHolder<cEdShot> source;
  source.Create().m_nPower = 500;
  cSharedHolder<cEdShot> copy(source);
  ASSERT_FALSE(copy.IsEmpty());
  EXPECT_NE(copy.Get(), source.Get());
  copy->m_nPower = 1;
  EXPECT_EQ(source->m_nPower, 500);
}

TEST(SharedHolder, AssigningAnEmptyHolderEmptiesTheTarget) {
  cSharedHolder<cEdMove> empty;
  cSharedHolder<cEdMove> full;
  full.Create();
  full = empty;
  EXPECT_TRUE(full.IsEmpty());
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(SharedHolder, AssigningToItselfKeepsTheObject) {
  cSharedHolder<cEdMove> holder;
  holder.Create().m_nSpeed = 55;
  const cSharedHolder<cEdMove>& same = holder;
  holder = same;
  ASSERT_FALSE(holder.IsEmpty());
  EXPECT_EQ(holder->m_nSpeed, 55);
}

TEST(SharedHolder, CreateReplacesWithDefaults) {
  cSharedHolder<cEdMove> holder;
  holder.Create().m_nSpeed = 3;
  const cEdMove* first = holder.Get();
  const cEdMove& fresh = holder.Create();
  EXPECT_NE(&fresh, first);
  EXPECT_EQ(fresh.m_nSpeed, 10);
  EXPECT_EQ(fresh.m_bAxisX, 1);
  EXPECT_EQ(fresh.m_bAxisY, 1);
}

TEST(SharedHolder, MovingHandsTheObjectOver) {
  cSharedHolder<cEdShot> source;
  cEdShot* object = &source.Create();
  cSharedHolder<cEdShot> target(std::move(source));
  EXPECT_EQ(target.Get(), object);
  EXPECT_TRUE(source.IsEmpty());  // NOLINT(bugprone-use-after-move): a moved-from holder is empty
}

TEST(SharedHolder, AConditionListCopiesItsConditions) {
  cSharedHolder<cCondList> source;
  cCondList& list = source.Create();
  list.m_bEnabled = 1;
  list.m_nRule = 1;
  list.m_Conds.resize(3);
  list.m_Conds[2].m_nValue = 9;
  cSharedHolder<cCondList> copy;
  copy = source;
  ASSERT_EQ(copy->m_Conds.size(), 3u);
  EXPECT_EQ(copy->m_bEnabled, 1);
  EXPECT_EQ(copy->m_nRule, 1);
  copy->m_Conds[2].m_nValue = 1;
  copy->m_Conds.clear();
  EXPECT_EQ(source->m_Conds.size(), 3u);
  EXPECT_EQ(source->m_Conds[2].m_nValue, 9);
}

}  // namespace

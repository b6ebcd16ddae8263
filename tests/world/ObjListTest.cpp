#include "world/ObjList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// An element that counts how many of its kind are alive.
struct cProbe {
  cProbe() { ++s_Alive; }
  cProbe(const cProbe& other) : m_Key(other.m_Key), m_Buddy(other.m_Buddy) { ++s_Alive; }
  cProbe& operator=(const cProbe&) = default;
  ~cProbe() { --s_Alive; }

  int32_t m_Key = 0;
  cProbe* m_Buddy = nullptr;  // another element it points at
  static int s_Alive;
};
int cProbe::s_Alive = 0;

class ObjListTest : public ::testing::Test {
 protected:
  void SetUp() override { cProbe::s_Alive = 0; }
  void TearDown() override {
    m_List.Clear();
    EXPECT_EQ(cProbe::s_Alive, 0);
  }

  cProbe& Add(int key) {
    cProbe& probe = m_List.Emplace();
    probe.m_Key = key;
    return probe;
  }
  std::vector<int> Keys() {
    std::vector<int> keys;
    for (cProbe& probe : m_List) keys.push_back(probe.m_Key);
    return keys;
  }

  cObjList<cProbe> m_List;
};

TEST_F(ObjListTest, ElementsKeepTheirAddressWhateverIsAddedOrRemoved) {
  std::vector<cProbe*> addresses;
  for (int key = 0; key < 100; ++key) addresses.push_back(&Add(key));
  for (int key = 0; key < 100; key += 2) m_List.Remove(addresses[key]);
  for (int key = 100; key < 300; ++key) Add(key);
  for (int key = 1; key < 100; key += 2) {
    EXPECT_EQ(addresses[key]->m_Key, key);
    EXPECT_EQ(m_List.FindByKey(key), addresses[key]);
  }
  EXPECT_EQ(m_List.Count(), 250);
  EXPECT_EQ(cProbe::s_Alive, 250);
}

TEST_F(ObjListTest, RemovalDuringAWalkKeepsTheElementUntilTheWalkEnds) {
  cProbe& first = Add(1);
  cProbe& second = Add(2);
  cProbe& third = Add(3);
  first.m_Buddy = &third;
  std::vector<int> visited;
  m_List.ForEach([&](cProbe& probe) {
    visited.push_back(probe.m_Key);
    if (probe.m_Key == 1) {
      // A death in the middle of the walk removes another element and the
      // walker itself; both stay readable for the rest of the walk.
      m_List.Remove(&second);
      m_List.Remove(&probe);
      EXPECT_EQ(probe.m_Buddy->m_Key, 3);
      EXPECT_EQ(second.m_Key, 2);
      EXPECT_FALSE(m_List.Contains(&second));
      EXPECT_EQ(m_List.Count(), 1);
    }
  });
  EXPECT_EQ(visited, (std::vector<int>{1, 3}));
  EXPECT_EQ(cProbe::s_Alive, 1);
  EXPECT_EQ(m_List.Nth(0), &third);
}

TEST_F(ObjListTest, ElementsAppendedDuringAWalkAreReachedByIt) {
  Add(1);
  Add(2);
  std::vector<int> visited;
  for (cProbe& probe : m_List) {
    visited.push_back(probe.m_Key);
    if (probe.m_Key < 3) Add(probe.m_Key + 10);
  }
  EXPECT_EQ(visited, (std::vector<int>{1, 2, 11, 12}));
}

TEST_F(ObjListTest, NestedWalksSweepOnlyWhenTheOutermostEnds) {
  for (int key = 1; key <= 4; ++key) Add(key);
  int innerWalks = 0;
  m_List.ForEach([&](cProbe& outer) {
    for (cProbe& inner : m_List) {
      ++innerWalks;
      if (inner.m_Key == outer.m_Key + 1) m_List.Remove(&inner);
    }
    EXPECT_EQ(cProbe::s_Alive, 4);
  });
  EXPECT_EQ(Keys(), (std::vector<int>{1, 3}));
  EXPECT_EQ(cProbe::s_Alive, 2);
  EXPECT_GT(innerWalks, 0);
}

TEST_F(ObjListTest, RemovalOutsideAWalkDestroysAtOnceAndClearEmptiesTheList) {
  cProbe& gone = Add(1);
  Add(2);
  m_List.Remove(&gone);
  EXPECT_EQ(cProbe::s_Alive, 1);
  m_List.Remove(&gone);  // no longer there: nothing happens
  cProbe stranger;
  m_List.Remove(&stranger);
  EXPECT_EQ(m_List.Count(), 1);
  m_List.Append(stranger);
  m_List.Clear();
  EXPECT_TRUE(m_List.IsEmpty());
  EXPECT_EQ(cProbe::s_Alive, 1);  // the stranger on the stack
}

TEST_F(ObjListTest, TheStampChangesWithMembershipOnlyAndIsNeverSharedByTwoLists) {
  const auto stampAfter = [this](auto change) {
    const std::uint64_t before = m_List.Stamp();
    change();
    return m_List.Stamp() != before;
  };
  cProbe& first = Add(1);
  Add(2);
  EXPECT_TRUE(stampAfter([&] { Add(3); }));
  EXPECT_FALSE(stampAfter([&] { Keys(); })) << "a walk";
  EXPECT_FALSE(stampAfter([&] { first.m_Key = 7; })) << "an element's own change";
  EXPECT_FALSE(stampAfter([&] { m_List.Remove(nullptr); })) << "nothing removed";
  EXPECT_TRUE(stampAfter([&] {
    m_List.ForEach([&](cProbe&) { m_List.Remove(&first); });
  })) << "removed during a walk";
  EXPECT_TRUE(stampAfter([&] { m_List.Clear(); }));
  // A list made where another one was (a view keyed by address and stamp
  // must not take it for the old one).
  std::uint64_t seen = 0;
  for (int i = 0; i < 3; ++i) {
    cObjList<cProbe> list;
    list.Emplace();
    EXPECT_NE(list.Stamp(), seen);
    EXPECT_NE(list.Stamp(), m_List.Stamp());
    seen = list.Stamp();
  }
}

}  // namespace

#include "core/SafeList.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "CoreTestSupport.h"

namespace {

using coretest::ReadLines;

class SafeListTest : public coretest::cCoreFixture {
 protected:
  void SetUp() override {
    cCoreFixture::SetUp();
    StartReport();
  }
};

TEST_F(SafeListTest, IndexWalksFromFirstElement) {
  cSafeList<std::int32_t> list{1, 2, 3};
  EXPECT_EQ(list[0], 1);
  EXPECT_EQ(list[2], 3);
  list[1] = 20;
  EXPECT_EQ(*std::next(list.begin()), 20);
  EXPECT_TRUE(ReadLines(ReportFile()).empty());
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(SafeListTest, BadIndexGivesFallbackThatPersistsAcrossListsOfItsType) {
  struct Probe {
    std::int32_t value;
  };
  cSafeList<Probe> two{{1}, {2}};
  Probe& fallback = two[5];
  EXPECT_EQ(fallback.value, 0);  // value-initialised on first use
  fallback.value = 77;

  cSafeList<Probe> empty;
  EXPECT_EQ(empty[-1].value, 77);
  EXPECT_EQ(&empty[0], &fallback);
  // The list itself was never touched.
  EXPECT_EQ(two.front().value, 1);
  EXPECT_EQ(two.back().value, 2);

  EXPECT_EQ(ReadLines(ReportFile()),
            (std::vector<std::string>{"err L[5] ( 2 , 4 )", "err L[-1] ( 0 , 4 )", "err L[0] ( 0 , 4 )"}));
  EXPECT_EQ(TakePosted(WM_CLOSE), 3);
  EXPECT_TRUE(IsFatalPending());
}

TEST_F(SafeListTest, EachElementTypeHasItsOwnFallback) {
  struct First {
    int value;
  };
  struct Second {
    int value;
  };
  cSafeList<First> a;
  cSafeList<Second> b;
  a[0].value = 5;
  EXPECT_EQ(b[0].value, 0);
}

TEST_F(SafeListTest, PointerListFallbackIsNull) {
  cSafeList<int*> pointers;
  int x = 0;
  pointers.push_back(&x);
  EXPECT_EQ(pointers[0], &x);
  EXPECT_EQ(pointers[1], nullptr);
}

}  // namespace

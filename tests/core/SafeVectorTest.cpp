#include "core/SafeVector.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "CoreTestSupport.h"

namespace {

using coretest::ReadLines;

class SafeVectorTest : public coretest::cCoreFixture {
 protected:
  void SetUp() override {
    cCoreFixture::SetUp();
    LogInit(1, "EC_Game.txt");
    StartReport();
  }
};

TEST_F(SafeVectorTest, IndexInRangeReportsNothing) {
  cSafeVector<std::int32_t> v{10, 20, 30};
  EXPECT_EQ(v[0], 10);
  EXPECT_EQ(v[2], 30);
  v[1] = 25;
  EXPECT_EQ(v.at(1), 25);
  EXPECT_TRUE(ReadLines(ReportFile()).empty());
  EXPECT_FALSE(IsFatalPending());
  EXPECT_EQ(TakePosted(WM_CLOSE), 0);
}

TEST_F(SafeVectorTest, BadIndexReportsClosesAndReturnsElementZero) {
  struct Case {
    int index;
    const char* line;
  };
  const Case cases[] = {
      {-1, "err V[-1] ( 3 , 4 )"},
      {3, "err V[3] ( 3 , 4 )"},
      {2147483647, "err V[2147483647] ( 3 , 4 )"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    std::filesystem::remove(DebugLogFile());
    ResetLogsForTests();
    LogInit(1, "EC_Game.txt");
    StartReport();
    ClearFatalPendingForTests();

    cSafeVector<std::int32_t> v{10, 20, 30};
    std::int32_t& element = v[c.index];

    EXPECT_EQ(&element, &v.front());
    EXPECT_EQ(ReadLines(ReportFile()), std::vector<std::string>{c.line});
    EXPECT_EQ(ReadLines(DebugLogFile()), std::vector<std::string>{c.line});
    EXPECT_EQ(TakePosted(WM_CLOSE), 1);
    EXPECT_TRUE(IsFatalPending());
  }
}

TEST_F(SafeVectorTest, BadIndexOfConstVectorAlsoChecked) {
  const cSafeVector<std::int16_t> v{7, 8};
  EXPECT_EQ(v[5], 7);
  EXPECT_EQ(ReadLines(ReportFile()), std::vector<std::string>{"err V[5] ( 2 , 2 )"});
}

TEST_F(SafeVectorTest, EmptyVectorGivesPersistentFallbackInsteadOfThrowing) {
  struct Entry {
    std::int32_t a;
    std::int32_t b;
  };
  cSafeVector<Entry> empty;
  Entry* first = nullptr;
  ASSERT_NO_THROW(first = &empty[0]);
  EXPECT_EQ(first->a, 0);
  EXPECT_EQ(first->b, 0);
  first->a = 99;

  cSafeVector<Entry> other;
  const Entry& again = other[4];
  EXPECT_EQ(&again, first);
  EXPECT_EQ(again.a, 99);

  EXPECT_EQ(ReadLines(ReportFile()), (std::vector<std::string>{"err V[0] ( 0 , 8 )", "err V[4] ( 0 , 8 )"}));
  EXPECT_EQ(TakePosted(WM_CLOSE), 2);
}

TEST_F(SafeVectorTest, FailureWithoutMainWindowOrLogsStillReturnsElement) {
  ResetLogsForTests();
  g_hMainWnd = nullptr;
  cSafeVector<std::uint8_t> v{5};
  EXPECT_EQ(v[9], 5);
  EXPECT_TRUE(IsFatalPending());
  EXPECT_EQ(TakePosted(WM_CLOSE), 0);
}

TEST_F(SafeVectorTest, FillAssignsEveryElementAndEmptyFillReportsNothing) {
  cSafeVector<std::int32_t> v(4, 1);
  v.Fill(-3);
  EXPECT_EQ(v, (cSafeVector<std::int32_t>{-3, -3, -3, -3}));

  cSafeVector<std::uint8_t> empty;
  empty.Fill(7);
  EXPECT_TRUE(empty.empty());
  EXPECT_TRUE(ReadLines(ReportFile()).empty());
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(SafeVectorTest, StandardOperationsAreUnchanged) {
  cSafeVector<int> v;
  v.resize(3, 9);
  v.push_back(4);
  v.erase(v.begin());
  cSafeVector<int> copy;
  copy = v;
  EXPECT_EQ(copy.size(), 3u);
  EXPECT_EQ(copy[2], 4);
  int sum = 0;
  for (int x : copy) sum += x;
  EXPECT_EQ(sum, 22);
}

}  // namespace

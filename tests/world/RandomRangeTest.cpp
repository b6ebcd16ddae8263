#include "world/Random.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace {

class RandomRangeTest : public ::testing::Test {
 protected:
  void SetUp() override { g_Random.Seed(12345); }
  void TearDown() override { g_Random.Seed(1); }
};

TEST_F(RandomRangeTest, DrawsFromTheOneGeneratorInOrder) {
  plat::cRandom reference(12345);
  const struct {
    int a;
    int b;
  } ranges[] = {{0, 9}, {5, 1}, {-3, 3}, {7, 7}, {100, 40000}};
  for (const auto& r : ranges) {
    const int low = std::min(r.a, r.b);
    const int count = std::max(r.a, r.b) - low + 1;
    EXPECT_EQ(low + reference.Next() % count, RandomRange(r.a, r.b)) << r.a << ".." << r.b;
  }
}

TEST_F(RandomRangeTest, SwappedBoundsCoverTheirWholeRange) {
  std::set<int> seen;
  for (int i = 0; i < 500; ++i) seen.insert(RandomRange(5, 1));
  EXPECT_EQ((std::set<int>{1, 2, 3, 4, 5}), seen);
}

TEST_F(RandomRangeTest, TheWidestRangesNeitherTrapNorLeaveIt) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  plat::cRandom reference(12345);
  for (int i = 0; i < 100; ++i) {
    // The count of values is 2^32: the 15-bit draw is taken as it is.
    EXPECT_EQ(kMin + reference.Next(), RandomRange(kMin, kMax));
    const int high = RandomRange(kMax, kMax - 5);
    EXPECT_GE(high, kMax - 5);
    reference.Next();
  }
}

}  // namespace

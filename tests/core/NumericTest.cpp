#include "core/Numeric.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

TEST(NumericTest, TruncToI32MatchesX86Conversion) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    std::int32_t expected;
  };
  const Case cases[] = {
      {0.0, 0},
      {1.9, 1},
      {-1.9, -1},
      {-0.5, 0},
      {2147483647.0, INT_MAX},
      {2147483647.9, INT_MAX},
      {2147483648.0, INT_MIN},
      {-2147483648.0, INT_MIN},
      {-2147483648.9, INT_MIN},
      {-2147483649.0, INT_MIN},
      {1e300, INT_MIN},
      {-1e300, INT_MIN},
      {inf, INT_MIN},
      {-inf, INT_MIN},
      {std::nan(""), INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(TruncToI32(c.value), c.expected);
  }
  static_assert(TruncToI32(-7.99) == -7);
}

TEST(NumericTest, ClampAndWrapTo32Bits) {
  struct Case {
    std::int64_t value;
    std::int32_t clamped;
    std::int32_t wrapped;
  };
  const Case cases[] = {
      {0, 0, 0},
      {-5, -5, -5},
      {2147483647LL, INT_MAX, INT_MAX},
      {2147483648LL, INT_MAX, INT_MIN},
      {-2147483649LL, INT_MIN, INT_MAX},
      {4294967296LL + 7, INT_MAX, 7},
      {std::numeric_limits<std::int64_t>::min(), INT_MIN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ClampToI32(c.value), c.clamped);
    EXPECT_EQ(WrapToI32(c.value), c.wrapped);
  }
}

TEST(NumericTest, PercentOfRoundsHalfAwayFromZeroOnAWrappedProduct) {
  struct Case {
    std::int32_t value;
    std::int32_t percent;
    std::int32_t expected;
  };
  const Case cases[] = {
      {7, 50, 4}, {-7, 50, -4}, {3, 33, 1}, {0, 99, 0}, {-1, 49, 0},
      // The product wraps as 32-bit arithmetic gives it: 10^10 is 1410065408.
      {100000, 100000, 14100654},
      {INT_MIN, -1, -21474836},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " x " << c.percent);
    EXPECT_EQ(PercentOf(c.value, c.percent), c.expected);
  }
}

}  // namespace

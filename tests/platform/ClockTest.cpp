#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

namespace {

struct WrapCase {
  std::uint32_t earlier;
  std::uint32_t later;
  std::int32_t elapsed;
  bool earlierIsBefore;  // IsBefore(earlier, later)
};

// Readings taken on either side of the 32-bit wrap must compare as if the
// counter had never wrapped; a plain `<` gets every wrapped row wrong.
const WrapCase kWrapCases[] = {
    {0, 0, 0, false},
    {100, 116, 16, true},
    {116, 100, -16, false},
    {0xFFFFFFF0u, 0x00000010u, 32, true},   // due time lies past the wrap
    {0x00000010u, 0xFFFFFFF0u, -32, false},
    {0xFFFFFFFFu, 0x00000000u, 1, true},
    {0x7FFFFFF0u, 0x80000010u, 32, true},   // crossing the sign bit is no wrap at all
    {0x00000000u, 0x7FFFFFFFu, 0x7FFFFFFF, true},
};

TEST(ClockWrapTest, ElapsedAndIsBeforeAreWrapSafe) {
  for (const WrapCase& c : kWrapCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.earlier << " -> " << c.later);
    EXPECT_EQ(plat::ElapsedMs(c.earlier, c.later), c.elapsed);
    EXPECT_EQ(plat::IsBefore(c.earlier, c.later), c.earlierIsBefore);
    if (c.earlier != c.later) {
      EXPECT_NE(plat::IsBefore(c.later, c.earlier), c.earlierIsBefore);
    }
  }
}

class ClockTest : public testing::Test {
 protected:
  void TearDown() override { plat::SetTimeSource(nullptr); }
};

TEST_F(ClockTest, ManualClockDrivesTimeAndSleep) {
  plat::cManualClock clock(5000);
  plat::SetTimeSource(&clock);
  EXPECT_EQ(plat::TimeGetTime(), 5000u);
  plat::SleepRaw(25);
  EXPECT_EQ(plat::TimeGetTime(), 5025u);
  clock.Advance(10);
  EXPECT_EQ(plat::TimeGetTime(), 5035u);
  clock.Set(7);
  EXPECT_EQ(plat::TimeGetTime(), 7u);
}

TEST_F(ClockTest, ManualClockWrapsLikeTheSystemTimer) {
  plat::cManualClock clock(0xFFFFFFF0u);
  plat::SetTimeSource(&clock);
  const std::uint32_t before = plat::TimeGetTime();
  plat::SleepRaw(32);
  const std::uint32_t after = plat::TimeGetTime();
  EXPECT_EQ(after, 0x10u);
  EXPECT_EQ(plat::ElapsedMs(before, after), 32);
  EXPECT_TRUE(plat::IsBefore(before, after));
}

TEST_F(ClockTest, RealClockIsRestoredAndAdvances) {
  plat::cManualClock clock(0xABCDEF00u);
  plat::SetTimeSource(&clock);
  plat::SetTimeSource(nullptr);
  const std::uint32_t before = plat::TimeGetTime();
  const std::uint64_t beforeNs = plat::MonotonicNs();
  plat::SleepRaw(20);
  // Lower bounds only: a real sleep lasts at least as long as asked.
  EXPECT_GE(plat::ElapsedMs(before, plat::TimeGetTime()), 20);
  EXPECT_GE(plat::MonotonicNs() - beforeNs, 20'000'000u);
  // Counted from process start: the clock has not been running for anything
  // like the manual value.
  EXPECT_LT(plat::TimeGetTime(), 0xABCDEF00u);
}

TEST_F(ClockTest, TimeSourceCanBeSwappedWhileAnotherThreadReads) {
  plat::cManualClock first(1000);
  plat::cManualClock second(2000);
  std::atomic<bool> stop{false};
  std::atomic<int> strayReadings{0};
  plat::SetTimeSource(&first);
  std::thread reader([&] {
    while (!stop.load()) {
      const std::uint32_t now = plat::TimeGetTime();
      if (now != 1000u && now != 2000u) strayReadings.fetch_add(1);
    }
  });
  for (int i = 0; i < 2000; ++i) plat::SetTimeSource(i % 2 == 0 ? &first : &second);
  plat::SetTimeSource(&first);
  stop.store(true);
  reader.join();
  EXPECT_EQ(strayReadings.load(), 0);
}

}  // namespace

#include "core/FrameTimer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "doubles/FakeDisplayServices.h"
#include "platform/Clock.h"

namespace {

// Clock starts: at process start, and shortly before the 32-bit clock wraps,
// so every sequence below also runs across the wrap.
constexpr std::uint32_t kClockStarts[] = {0u, 0xFFFFFF00u, 0xFFFFFFF0u};

class FrameTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameTimingForTests();
    SetDisplayServices(nullptr);
    plat::SetTimeSource(&m_Clock);
  }
  void TearDown() override {
    plat::SetTimeSource(nullptr);
    SetDisplayServices(nullptr);
    ResetFrameTimingForTests();
  }

  void Restart(std::uint32_t start) {
    ResetFrameTimingForTests();
    m_Clock.Set(start);
  }

  // Polls the gate every millisecond, as the frame loops do, for `spanMs`,
  // and returns the times (relative to `start`) at which it let a frame
  // through. A frame takes no time, so the gate is asked again at once.
  template <class Gate>
  std::vector<std::uint32_t> PassTimes(std::uint32_t start, std::uint32_t spanMs, Gate gate) {
    std::vector<std::uint32_t> passes;
    while (m_Clock.NowMs() - start < spanMs) {
      if (gate()) {
        passes.push_back(m_Clock.NowMs() - start);
      } else {
        m_Clock.Advance(1);
      }
    }
    return passes;
  }

  plat::cManualClock m_Clock;
};

TEST_F(FrameTimerTest, TimerElapsedMeasuresFromTheFrameStartAcrossTheWrap) {
  for (std::uint32_t start : kClockStarts) {
    Restart(start);
    EXPECT_EQ(TimerStart(), start);
    m_Clock.Advance(40);
    EXPECT_EQ(TimerElapsed(1), 40u) << "start " << start;
    m_Clock.Advance(25);
    EXPECT_EQ(TimerElapsed(0), 40u) << "without update the stored value";
    EXPECT_EQ(TimerElapsed(1), 65u);
  }
}

// A frame every 16 ms: the first window counts its opening call and
// publishes 63 at 1008 ms; each later window leaves out the call that closed
// the previous one and publishes 62.
TEST_F(FrameTimerTest, FpsCountPublishesSixtyThreeThenSixtyTwoAtSixteenMilliseconds) {
  for (std::uint32_t start : kClockStarts) {
    Restart(start);
    std::vector<std::pair<int, std::uint32_t>> published;  // (call, value)
    std::uint32_t last = 0;
    for (int call = 0; call < 200; ++call) {
      const std::uint32_t value = FpsCount(1);
      EXPECT_EQ(FpsCount(0), value) << "asking without update counts nothing";
      if (value != last || call == 63 || call == 126 || call == 189) published.emplace_back(call, value);
      last = value;
      m_Clock.Advance(16);
    }
    const std::vector<std::pair<int, std::uint32_t>> expected = {{63, 63}, {126, 62}, {189, 62}};
    EXPECT_EQ(published, expected) << "start " << start;
  }
}

TEST_F(FrameTimerTest, FrameLimiterLetsAFrameThroughEverySixteenMilliseconds) {
  for (std::uint32_t start : kClockStarts) {
    Restart(start);
    const std::vector<std::uint32_t> passes = PassTimes(start, 100, [] { return FrameLimiter(60); });
    const std::vector<std::uint32_t> expected = {0, 16, 32, 48, 64, 80, 96};
    EXPECT_EQ(passes, expected) << "start " << start;
  }
}

// The next due time counts from the frame that passed, not from the missed
// due time: a late frame is not followed by a burst of catch-up frames.
TEST_F(FrameTimerTest, FrameLimiterAfterALateFrameWaitsAFullInterval) {
  Restart(0xFFFFFFF8u);
  ASSERT_TRUE(FrameLimiter(60));
  m_Clock.Advance(100);
  EXPECT_TRUE(FrameLimiter(60));
  m_Clock.Advance(15);
  EXPECT_FALSE(FrameLimiter(60));
  m_Clock.Advance(1);
  EXPECT_TRUE(FrameLimiter(60));
}

TEST_F(FrameTimerTest, GatesWithoutARateAlwaysPass) {
  cFakeDisplayServices display(RunningDisplay(eDisplayBackEnd::Direct3D));
  for (int call = 0; call < 5; ++call) {
    EXPECT_TRUE(FrameLimiter(0));
    EXPECT_TRUE(D3DFramePacing(0));
  }
}

// Frame k of a second is due at k * 16.67 ms; the 60th frame starts a new
// second at its own moment, so the next frame passes at once (two frames in
// the same millisecond).
TEST_F(FrameTimerTest, D3DFramePacingSpacesFramesBySixteenPointSixSevenAndRestartsEachSecond) {
  cFakeDisplayServices display(RunningDisplay(eDisplayBackEnd::Direct3D));
  for (std::uint32_t start : kClockStarts) {
    Restart(start);
    const std::vector<std::uint32_t> passes = PassTimes(start, 2000, [] { return D3DFramePacing(60, 0, 0); });
    ASSERT_GE(passes.size(), 122u) << "start " << start;
    const std::vector<std::uint32_t> firstSix(passes.begin(), passes.begin() + 6);
    EXPECT_EQ(firstSix, (std::vector<std::uint32_t>{0, 17, 34, 50, 67, 84})) << "start " << start;
    EXPECT_EQ(passes[59], 984u);
    EXPECT_EQ(passes[60], 984u) << "the frame after the rollover is due at once";
    EXPECT_EQ(passes[61], 1001u);
    EXPECT_EQ(passes[119], 1968u);
    EXPECT_EQ(passes[120], 1968u);
  }
}

TEST_F(FrameTimerTest, D3DFramePacingPassesWhenDirect3DDoesNotRun) {
  struct Case {
    const char* name;
    bool installed;
    cDisplayDescription description;
  };
  cDisplayDescription stopped = RunningDisplay(eDisplayBackEnd::Direct3D);
  stopped.started = false;
  const Case cases[] = {
      {"no drawing layer", false, {}},
      {"DirectDraw", true, RunningDisplay(eDisplayBackEnd::DirectDraw)},
      {"Direct3D not started", true, stopped},
  };
  for (const Case& c : cases) {
    Restart(0);
    std::unique_ptr<cFakeDisplayServices> display;
    if (c.installed) display = std::make_unique<cFakeDisplayServices>(c.description);
    for (int call = 0; call < 5; ++call) EXPECT_TRUE(D3DFramePacing(60)) << c.name;
  }
}

TEST_F(FrameTimerTest, FrameSkipTicksOnEveryNthCall) {
  std::vector<int> trueCalls;
  EXPECT_TRUE(FrameSkip(2, 60)) << "a fresh counter is 0";
  for (int call = 1; call <= 150; ++call) {
    if (FrameSkip(1, 60)) {
      trueCalls.push_back(call);
      EXPECT_TRUE(FrameSkip(2, 60)) << "the counter is 0 right after a tick";
    } else {
      EXPECT_FALSE(FrameSkip(2, 60)) << "call " << call;
    }
  }
  EXPECT_EQ(trueCalls, (std::vector<int>{60, 120}));

  // 30 counts left over; a reset starts the count again from zero.
  EXPECT_FALSE(FrameSkip(0, 60));
  EXPECT_TRUE(FrameSkip(2, 60));
  for (int call = 1; call < 60; ++call) EXPECT_FALSE(FrameSkip(1, 60)) << "call " << call;
  EXPECT_TRUE(FrameSkip(1, 60));
}

}  // namespace

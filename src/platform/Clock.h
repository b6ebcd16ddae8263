#pragma once
// The one millisecond clock of the process. It counts from process start in an
// unsigned 32-bit value and wraps like the old system timer did, so every
// comparison of two readings must go through the wrap-safe helpers below.
// Tests install their own time source; sleeping then advances the fake time.

#include <atomic>
#include <cstdint>

namespace plat {

class cTimeSource {
 public:
  virtual ~cTimeSource() = default;
  virtual std::uint32_t NowMs() = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
};

// Milliseconds since process start (wraps after about 49.7 days).
std::uint32_t TimeGetTime();

// Sleeps the calling thread on the clock, with no other side effect. Most code
// wants plat::Sleep (MessageCore.h), which also serves pending sends and honours
// suspension.
void SleepRaw(std::uint32_t ms);

// Installs a time source for the whole process; nullptr restores the real clock.
// The caller keeps ownership.
void SetTimeSource(cTimeSource* source);

// Nanosecond monotonic counter, for measurements that need more than
// milliseconds (the processor clock estimate).
std::uint64_t MonotonicNs();

// Signed distance from `earlier` to `later`, correct across one wrap.
constexpr std::int32_t ElapsedMs(std::uint32_t earlier, std::uint32_t later) {
  return static_cast<std::int32_t>(later - earlier);
}

// True when `time` lies before `due`, correct across one wrap.
constexpr bool IsBefore(std::uint32_t time, std::uint32_t due) { return ElapsedMs(due, time) < 0; }

// A clock for tests: time moves only when set, advanced, or slept on.
class cManualClock : public cTimeSource {
 public:
  explicit cManualClock(std::uint32_t start = 0) : m_Now(start) {}
  std::uint32_t NowMs() override { return m_Now.load(); }
  void SleepMs(std::uint32_t ms) override { m_Now.fetch_add(ms); }
  void Set(std::uint32_t now) { m_Now.store(now); }
  void Advance(std::uint32_t ms) { m_Now.fetch_add(ms); }

 private:
  std::atomic<std::uint32_t> m_Now;
};

}  // namespace plat

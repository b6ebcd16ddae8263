#include "platform/Clock.h"

// std::chrono comes in through <thread>: the full <chrono> header does not
// compile with the CP932 execution character set (its micro-second suffix
// literal has no CP932 form).
#include <thread>

namespace plat {
namespace {

using SteadyClock = std::chrono::steady_clock;

// The moment the process started, taken the first time anyone asks. The
// namespace-scope reading below makes that happen during static start-up, so
// the count does not begin late in a program that first reads the clock much
// later.
SteadyClock::time_point ProcessStart() {
  static const SteadyClock::time_point start = SteadyClock::now();
  return start;
}
[[maybe_unused]] const SteadyClock::time_point kForceStartAtLoad = ProcessStart();

std::atomic<cTimeSource*> g_TimeSource{nullptr};

std::uint32_t RealNowMs() {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - ProcessStart());
  // Truncating to 32 bits is the wrap the callers expect.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(elapsed.count()));
}

void RealSleepMs(std::uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

std::uint32_t TimeGetTime() {
  cTimeSource* source = g_TimeSource.load(std::memory_order_acquire);
  return source != nullptr ? source->NowMs() : RealNowMs();
}

void SleepRaw(std::uint32_t ms) {
  cTimeSource* source = g_TimeSource.load(std::memory_order_acquire);
  if (source != nullptr) {
    source->SleepMs(ms);
  } else {
    RealSleepMs(ms);
  }
}

void SetTimeSource(cTimeSource* source) { g_TimeSource.store(source, std::memory_order_release); }

std::uint64_t MonotonicNs() {
  const auto sinceEpoch = SteadyClock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count());
}

}  // namespace plat

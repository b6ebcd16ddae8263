// kestrova4-run: the player run headless for tests, benchmarks and reviews.
// See HeadlessRun.h and KeyScript.h for what it does and reads.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "HeadlessRun.h"

int main(int argc, char** argv) {
  // No display and no sound card: SDL's dummy drivers wherever SDL is asked.
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  runner::sRunOptions options;
  std::string error;
  if (!runner::ParseRunOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "kestrova4-run: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(runner::RunnerUsage(), stdout);
    return 0;
  }
  const int result = runner::RunHeadless(options, error);
  if (result != 0) std::fprintf(stderr, "kestrova4-run: %s\n", error.c_str());
  std::fflush(nullptr);
  // Static destructors could meet a thread that was let go; the run is over.
  std::_Exit(result);
}

// The entry of the player: the command line, then the player's own entry.

#include <cstdio>
#include <cstdlib>

#include "app/WinMain.h"
#include "core/Thread.h"
#include "platform/CommandLine.h"

namespace {

// A thread that would not stop was left running: static destructors must not
// run under it, so the process ends without them (the logs are already
// complete, each line is closed as it is written).
int LeaveProcess(int code) {
  if (AbandonedThreadCount() > 0) std::_Exit(code);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const plat::sCommandLine commandLine = plat::ParseCommandLine(argc, argv);
  for (const std::string& problem : commandLine.problems) {
    std::fprintf(stderr, "kestrova4: argument not understood: %s\n", problem.c_str());
  }
  return LeaveProcess(WinMain(commandLine));
}

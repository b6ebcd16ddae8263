// The entry of the player: the command line, then the player's own entry.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/WinMain.h"
#include "core/Log.h"
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

// Anything thrown out of the main thread's work is written to the report and
// ends the process at once: other threads may still run, so no destructor
// may run under them.
int RunPlayer(const plat::sCommandLine& commandLine) {
  try {
    return WinMain(commandLine);
  } catch (const std::exception& failure) {
    ReportPrintfLog("WinMain: %s", failure.what());
  } catch (...) {
    ReportPrintfLog("WinMain: unknown failure");
  }
  std::fflush(nullptr);
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const plat::sCommandLine commandLine = plat::ParseCommandLine(argc, argv);
  for (const std::string& problem : commandLine.problems) {
    std::fprintf(stderr, "kestrova4: argument not understood: %s\n", problem.c_str());
  }
  return LeaveProcess(RunPlayer(commandLine));
}

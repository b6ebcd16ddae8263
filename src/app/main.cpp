// The entry of the player.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Log.h"
#include "core/PathUtil.h"
#include "core/SystemReport.h"
#include "core/Thread.h"
#include "platform/TextCodec.h"

namespace {

// A thread that would not stop was left running: static destructors must not
// run under it, so the process ends without them (the logs are already
// complete, each line is closed as it is written).
int LeaveProcess(int code) {
  if (AbandonedThreadCount() > 0) std::_Exit(code);
  return code;
}

}  // namespace

int main() {
  LogInit(0, "EC_Game.txt");

  std::string reportPath = "Report_Game.txt";
  ToFullPath(reportPath);
  if (!ReportInit(reportPath)) {
    // Without its report the player cannot tell anyone what goes wrong later,
    // so it does not start; say why, since it ends silently otherwise.
    std::fprintf(stderr, "kestrova4: cannot create the report file %s; not starting\n",
                 plat::Cp932ToUtf8(reportPath).c_str());
    return LeaveProcess(0);
  }
  ReportPrintf("App : ver %s", "781");
  ReportSystemInfo();
  return LeaveProcess(0);
}

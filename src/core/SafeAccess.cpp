#include "core/SafeAccess.h"

#include <atomic>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/StringUtil.h"

namespace {
std::atomic<bool> g_FatalPending{false};
}  // namespace

void ReportSafeIndexFailure(eSafeContainerKind kind, int index, std::size_t size, std::size_t elementSize) {
  g_FatalPending = true;
  ReportBadIndex(kind, index, size, elementSize);
  PostCloseToMainWindow();
}

void ReportBadIndex(eSafeContainerKind kind, int index, std::size_t size, std::size_t elementSize) {
  const char* format = kind == eSafeContainerKind::Vector ? "err V[%d] ( %d , %d )" : "err L[%d] ( %d , %d )";
  std::string text;
  FormatString(text, format, index, static_cast<int>(size), static_cast<int>(elementSize));
  LogWrite(text);
  ReportPrintf("%s", text.c_str());
}

bool IsFatalPending() { return g_FatalPending.load(); }

void ClearFatalPendingForTests() { g_FatalPending = false; }

#include "core/ErrorBox.h"

#include <cstdarg>

#include "core/MainWindow.h"
#include "core/StringUtil.h"
#include "core/DisplayServices.h"
#include "platform/MessageBox.h"

namespace {

bool DrawingLayerRunsFullScreen(cDisplayServices* services) {
  if (services == nullptr) return false;
  const cDisplayDescription display = services->Describe();
  return display.started && !display.windowed;
}

}  // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
  cDisplayServices* services = GetDisplayServices();
  if (DrawingLayerRunsFullScreen(services)) {
    // The drawing layer logs a box it could not show; 0 tells the caller.
    return services->MesBox(text, caption, type);
  }
  return plat::MessageBox(text, caption, type);
}

int ErrorBox(const std::string& text) { return ShowMessageBox(text, "エラー", MB_OK); }

int ErrorBoxf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = CutAtCharBoundary(FormatStringV(format, args), kMessageTextLimit);
  va_end(args);
  return ErrorBox(text);
}

int DebugErrorBoxf(const char* format, ...) {
  if (!LogIsEnabled()) return 0;
  va_list args;
  va_start(args, format);
  const std::string text = CutAtCharBoundary(FormatStringV(format, args), kMessageTextLimit);
  va_end(args);
  return ErrorBox(text);
}

void OutOfMemoryExit() {
  ErrorBox("メモリが不足しています！");
  PostCloseToMainWindow();
}

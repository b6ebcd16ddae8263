#pragma once
// Message boxes for what the user must see. They work in a window and in full
// screen: in full screen the drawing layer shows the box itself. Nothing here
// ends the process; where a failure cannot be survived, the caller asks the
// main window to close (OutOfMemoryExit does both).
//
// Any thread may show a box; it blocks the calling thread until it is closed.

#include <string>

#include "core/Log.h"  // KESTROVA_PRINTF_FORMAT, kMessageTextLimit
#include "platform/WinTypes.h"

// In full screen with the drawing layer running: the drawing layer's box (1
// after showing it; 0 when it could not be shown, which the drawing layer
// logs). Otherwise the platform message box and its answer.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);

// ShowMessageBox with the caption "エラー" and an OK button.
int ErrorBox(const std::string& text);

// ErrorBox with a printf-formatted text, cut to kMessageTextLimit bytes on a
// character boundary.
int ErrorBoxf(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// ErrorBoxf while the debug log is switched on; otherwise nothing and 0.
int DebugErrorBoxf(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// Shows "メモリが不足しています！" and then posts WM_CLOSE to the main window.
void OutOfMemoryExit();

#pragma once
// Making ordinary dialogs and message boxes visible over a full-screen
// display. Everything shows inside our one window, so the switch keeps only
// its bookkeeping (the scene is closed, the mouse cursor shown and hidden)
// and its answers; in a window it does nothing.

#include <string>

#include "platform/WinTypes.h"

// on 1 before a dialog, 0 after it. True on success. In a window: true and
// nothing changes. Full screen: on closes the open scene (Direct3D), enters
// the device's dialog-box mode (Direct3D) or flips to the desktop surface
// (DirectDraw), and shows the cursor; off hides the cursor again and
// (Direct3D) leaves dialog-box mode. False when the back end refuses.
bool DDSetDialogMode(int on);

// Shows a message box over the display: the button pressed (IDOK, IDYES...),
// 0 when the dialog mode could not be entered; then
// "DDMesBox 失敗! %s, %s" (text, caption) goes to the debug log and no box is
// shown.
int DDMesBox(const std::string& text, const std::string& caption, UINT type);

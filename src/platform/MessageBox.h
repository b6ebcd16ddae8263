#pragma once
// Message boxes. Texts and captions are CP932 and converted to UTF-8 here.
// With a display the box is an SDL message box; without one the text goes to
// standard error and a scripted answer is used: the environment variable
// KESTROVA_MESSAGEBOX_ANSWER ("ok", "yes", "no" or "cancel"), otherwise the
// box's first button. Tests install a sink that sees every box instead.
// Once the main window exists, an overlay draws the boxes inside it.

#include <functional>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

// Shows a modal box with the buttons of `type` (MB_OK, MB_OKCANCEL, MB_YESNO)
// and returns the answer (IDOK, IDCANCEL, IDYES, IDNO).
int MessageBox(const std::string& text, const std::string& caption, UINT type);

// A sink sees the CP932 text and caption and the type, and answers for the user.
using MessageBoxSink = std::function<int(const std::string& text, const std::string& caption, UINT type)>;

// True when a person may see a box: a display is named and the video driver
// is not the dummy one.
bool HasDisplay();

// Installs a sink for the whole process; an empty function removes it.
void SetMessageBoxSink(MessageBoxSink sink);

// Once the main window exists, the boxes are drawn inside it by the dialogs:
// the overlay shows the box and answers; 0 means it could not show it, and
// the box is shown as above instead. A sink, where one is installed, still
// sees every box first. An empty function removes the overlay.
void SetMessageBoxOverlay(MessageBoxSink overlay);

}  // namespace plat

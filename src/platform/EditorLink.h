#pragma once
// The link to the companion editor. The player finds the editor's window by
// class name and title and tells it, with a copy-data message, when it has
// started, when its start failed and when its window is gone.
//
// No editor exists on this system: the default link searches the windows the
// process knows, finds no editor among them and sends nothing. Tests install a
// link of their own to see the notices exactly as they would be sent.

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

// The payload of a copy-data message: a tag, and a block of bytes.
struct COPYDATASTRUCT {
  std::uintptr_t dwData = 0;
  DWORD cbData = 0;
  const void* lpData = nullptr;
};

namespace plat {

class cEditorLink {
 public:
  virtual ~cEditorLink() = default;
  // The editor's window, or null when it is not running.
  virtual HWND FindEditorWindow(const std::string& className, const std::string& title) = 0;
  // Delivers WM_COPYDATA to `editor`: wParam is the sender's window, lParam
  // the payload (valid only during the call).
  virtual LRESULT SendCopyData(HWND editor, HWND sender, const COPYDATASTRUCT& data) = 0;
};

// The link in use. Tests install theirs; nullptr restores the default. The
// caller keeps ownership.
void SetEditorLink(cEditorLink* link);
cEditorLink& EditorLink();

// Finds the editor's window by class name and title (CP932) and sends it one
// 32-bit value tagged `dwData`, naming `sender` as the player's window. False
// when no editor window was found (nothing is sent).
bool NotifyEditorWindow(const std::string& className, const std::string& title, HWND sender,
                        std::uint32_t dwData, std::int32_t value);

}  // namespace plat

#pragma once
// cHook: the keyboard hook of the dialogs. Inside a dialog the keys go to the
// focused control and the dialog window itself would never see them; the hook
// copies each press and release to the active dialog as a posted WM_KEYDOWN or
// WM_KEYUP, and the navigation keys (Space, the arrows, Delete, F1 to F8) as
// message 2024 instead, which the dialog turns into a WM_KEYDOWN sent to
// itself. Enter is left to the input method while it composes, Tab is never
// copied.
//
// Here the hook is the widget runtime's key pre-dispatch: the modal loop calls
// KeyboardHookProc with every key before the focused widget takes it. The
// "active window" is the dialog whose modal loop runs. The input context is
// asked through SetCompositionQuery; the dialogs install no query, so to the
// hook every window has an input context and no composition: it copies the
// keys the same way while an edit composes, and the widget form keeps them
// from the edit's text until the composition ends.
//
// Main thread only; the hook is installed by the first dialog attached and
// stays until UnhookKeyboard at shut-down.

#include <functional>

#include "platform/WinTypes.h"

// The message the hook posts for a navigation key.
constexpr UINT WM_APP_DIALOG_KEY = 2024;

// Hook codes.
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;
// Bit 31 of the key flags: the key is being released.
constexpr LPARAM kKeyReleaseFlag = static_cast<LPARAM>(static_cast<std::uint32_t>(1u) << 31);

class cHook {
 public:
  virtual ~cHook() = default;

  // Keeps the window and the pass-control flag (the dialog's modeless flag:
  // when set, nothing is copied while Control is held), marks the window with
  // the property "cHook" and installs the hook when none is yet. True when the
  // hook is (or already was) installed.
  bool Attach(HWND window, int passControl);

  HWND m_hWnd = nullptr;
  int m_bPassControl = 0;
};

// The hook procedure: copies the key to the active dialog as described above.
// Returns what the next hook answers (0: there is none).
LRESULT KeyboardHookProc(int code, WPARAM key, LPARAM flags);

// Removes the hook.
void UnhookKeyboard();
bool IsKeyboardHooked();

// 1 while a Control press has been seen and its release not yet.
int HookControlKeyWord();

// The window that has the keyboard: the dialog of the innermost modal loop,
// or null when the main window has it.
void SetActiveWindow(HWND window);
HWND GetActiveWindow();

// The input context of a window: 1 while its input method holds a
// composition string, 0 when it holds none, -1 when the window has no input
// context. Without a query every window has a context and no composition.
using CompositionQuery = std::function<int(HWND window)>;
void SetCompositionQuery(CompositionQuery query);

// A test can make the hook fail to install.
void SetHookInstallFailsForTests(bool fails);
// Unhooks and forgets the control word, the active window and the query.
void ResetKeyboardHookForTests();

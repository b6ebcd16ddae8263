#include "dialog/Hook.h"

#include <cstdint>

#include "core/ErrorBox.h"
#include "dialog/WindowProps.h"
#include "platform/MessageCore.h"
#include "platform/VirtualKeys.h"

namespace {

const char* const kHookProp = "cHook";

bool g_Hooked = false;
bool g_InstallFails = false;
int g_ControlKeyWord = 0;
HWND g_ActiveWindow = nullptr;
CompositionQuery g_CompositionQuery;

bool IsNavigationKey(WPARAM key) {
  const int vk = static_cast<int>(key);
  return vk == plat::VK_SPACE || vk == plat::VK_LEFT || vk == plat::VK_UP || vk == plat::VK_RIGHT ||
         vk == plat::VK_DOWN || vk == plat::VK_DELETE || (vk >= plat::VK_F1 && vk <= plat::VK_F8);
}

// -1: no input context; else whether a composition string exists.
int CompositionState(HWND window) { return g_CompositionQuery ? g_CompositionQuery(window) : 0; }

bool CopiesHeldBack(const cHook& hook) { return hook.m_bPassControl != 0 && g_ControlKeyWord != 0; }

LRESULT CallNextHook() { return 0; }

}  // namespace

bool cHook::Attach(HWND window, int passControl) {
  m_hWnd = window;
  m_bPassControl = passControl;
  SetProp(window, kHookProp, this);
  if (!g_Hooked && !g_InstallFails) g_Hooked = true;
  return g_Hooked;
}

LRESULT KeyboardHookProc(int code, WPARAM key, LPARAM flags) {
  if (!g_Hooked || code < 0 || code == HC_NOREMOVE) return CallNextHook();
  const HWND active = GetActiveWindow();
  auto* hook = static_cast<cHook*>(GetProp(active, kHookProp));
  if (hook == nullptr || hook->m_hWnd != active) return CallNextHook();

  const bool release = (static_cast<std::uint64_t>(flags) & 0x80000000u) != 0;
  if (release) {
    if (static_cast<int>(key) == plat::VK_CONTROL) g_ControlKeyWord = 0;
    if (!CopiesHeldBack(*hook)) plat::PostMessage(active, WM_KEYUP, key, flags);
    return CallNextHook();
  }
  if (static_cast<int>(key) == plat::VK_TAB) return CallNextHook();

  const int composition = CompositionState(active);
  if (composition < 0) DebugErrorBoxf("%s", "Err ImmGetContext");
  if (static_cast<int>(key) == plat::VK_RETURN) {
    if (composition > 0) return CallNextHook();
  } else {
    // Without an input context a navigation key goes as an ordinary press.
    if (composition == 0 && IsNavigationKey(key)) {
      plat::PostMessage(active, WM_APP_DIALOG_KEY, key, flags);
      return CallNextHook();
    }
    if (static_cast<int>(key) == plat::VK_CONTROL) g_ControlKeyWord = 1;
  }
  if (!CopiesHeldBack(*hook)) plat::PostMessage(active, WM_KEYDOWN, key, flags);
  return CallNextHook();
}

void UnhookKeyboard() { g_Hooked = false; }
bool IsKeyboardHooked() { return g_Hooked; }
int HookControlKeyWord() { return g_ControlKeyWord; }

void SetActiveWindow(HWND window) { g_ActiveWindow = window; }
HWND GetActiveWindow() { return g_ActiveWindow; }

void SetCompositionQuery(CompositionQuery query) { g_CompositionQuery = std::move(query); }

void SetHookInstallFailsForTests(bool fails) { g_InstallFails = fails; }

void ResetKeyboardHookForTests() {
  g_Hooked = false;
  g_InstallFails = false;
  g_ControlKeyWord = 0;
  g_ActiveWindow = nullptr;
  g_CompositionQuery = nullptr;
}

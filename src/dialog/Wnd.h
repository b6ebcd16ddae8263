#pragma once
// cWnd: the base of every window object of the player (the main window and
// the dialogs). It keeps the window's geometry (position, frame widths,
// client area, tracking limits), turns window messages into calls of its
// virtual operations, follows the mouse over the client area, and places the
// window. The real window behind a handle is reached through its host
// (platform/WindowHost.h); a window without a host keeps its own numbers.
//
// The registry lists the windows and controls that are hidden or disabled
// while a modal dialog is open. Everything here runs on the main thread.

#include <cstdint>
#include <list>
#include <string>

#include "platform/WindowHost.h"
#include "platform/WinTypes.h"

// Window messages the window library dispatches besides those of WinTypes.h.
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;

// Mouse position (client-relative, origin subtracted) and button states of
// the last update. The latches that make the "pressed" edges fire once are
// shared by every window of the process.
struct cMouseState {
  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  std::int32_t m_nUpdateMask = 7;
  std::int32_t m_bLeftDown = 0;
  std::int32_t m_bRightDown = 0;
  std::int32_t m_bLeftPressed = 0;
  std::int32_t m_bRightPressed = 0;
  std::int32_t m_bLeftReleased = 0;
  std::int32_t m_bRightReleased = 0;

  // Mask bit 1: the held states; bit 2: the pressed edges; bit 4: the
  // released edges. The buttons are read from `host` (none: all up).
  // Always returns 1.
  int Update(int mask, const plat::cWindowHost* host = nullptr);
};

// Forgets the process-wide mouse latches (tests).
void ResetMouseLatchesForTests();

class cWnd;

// The windows and controls a modal dialog hides or disables while it is open.
// The second list holds the window handles of control objects (a handle may
// be null: the control has no window yet).
struct cWindowRegistry {
  std::list<cWnd*> m_Windows;
  std::list<const HWND*> m_Controls;

  void Clear() {
    m_Windows.clear();
    m_Controls.clear();
  }
};

// Defined with the other global objects.
extern cWindowRegistry g_WindowRegistry;

// Shows (SW_SHOW) or hides (SW_HIDE) every window of the registry and every
// control that has a window.
void ShowWindowList(cWindowRegistry& registry, bool show);
// Clears or sets WS_DISABLED on every window and control of the registry.
void EnableWindowList(cWindowRegistry& registry, bool enable);

// The message's name ("WM_KEYDOWN"...) or its number in decimal.
std::string GetMessageName(UINT message);

// A window rectangle kept as position and size.
struct sWndRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class cWnd {
 public:
  static constexpr int kNoPosition = -1000;
  static constexpr int kToolBarRowHeight = 28;
  static constexpr int kStatusBarHeight = 20;

  cWnd();
  cWnd(const cWnd&) = delete;
  cWnd& operator=(const cWnd&) = delete;

  // Virtual operations, in this order.
  virtual ~cWnd();
  virtual void Reserved() {}
  virtual void OnCommand(WPARAM, LPARAM) {}
  virtual void OnMouseMove(WPARAM, LPARAM) {}
  virtual void OnLButtonDown(WPARAM, LPARAM) {}
  virtual void OnRButtonDown(WPARAM, LPARAM) {}
  virtual void OnLButtonDblClk(WPARAM, LPARAM) {}
  virtual void OnRButtonDblClk(WPARAM, LPARAM) {}
  virtual void OnLButtonUp(WPARAM, LPARAM) {}
  virtual void OnRButtonUp(WPARAM, LPARAM) {}
  // The class's own message procedure.
  virtual LRESULT WndProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
  // The base dispatch (Dispatch).
  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual void RefreshControls() {}
  // Called between the start and the end of painting.
  virtual void OnPaint() {}

  // Stores the creation parameters and works out the sizes.
  void SetCreateParams(int clientWidth, int clientHeight, int minWidth, int minHeight, int maxWidth, int maxHeight,
                       std::uint32_t style, int hasMenu, int toolBarRows, int statusBarKind, int spare,
                       int scrollBars);
  // Binds the object to its owner and registry.
  void Init(std::uint16_t templateId, HWND owner, cWindowRegistry* registry);

  void GetWindowPos(int* x, int* y) const;
  // Moves the mouse pointer to a point on the screen; nothing happens for a
  // window without a host.
  void MovePointer(int x, int y) const;
  // The client rectangle; nothing when there is no window.
  void GetClientRect(RECT* rect) const;
  void MoveTo(int x, int y);
  void SetClientSize(int width, int height);
  void AddStyle(std::uint32_t bits);
  void RemoveStyle(std::uint32_t bits);
  void RefreshMetrics();
  void UpdateFrameMetrics();
  void PlaceNearOwner();
  void CenterOnDesktop();
  void OnGetMinMaxInfo(MINMAXINFO* info) const;
  // 1 when the message was handled, else 0.
  int Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void EndCommand() { m_bCommandGuard = 0; }
  // True when the mouse state was updated.
  bool UpdateCursor(bool anywhere, int mask);
  void SetText(const std::string& text);

  HWND GetHandle() const { return m_hWnd; }
  void SetHandle(HWND window) { m_hWnd = window; }
  plat::cWindowHost* Host() const { return plat::FindWindowHost(m_hWnd); }

  // Creation value handed to a dialog's creation operation.
  std::int32_t m_nCreateValue = 0;
  HWND m_hWnd = nullptr;
  void* m_hInstance = nullptr;
  std::uint16_t m_nTemplateId = 0;
  HWND m_hOwner = nullptr;
  WNDPROC m_DlgProc = nullptr;
  cWnd* m_pRegistryKey = nullptr;
  cWindowRegistry* m_pRegistry = nullptr;
  std::int32_t m_nWindowX = 0;
  std::int32_t m_nWindowY = 0;
  std::int32_t m_nClientOriginX = 0;
  std::int32_t m_nClientOriginY = 0;
  std::int32_t m_nClientWidth = 0;
  std::int32_t m_nClientHeight = 0;
  cMouseState m_Mouse;
  cMouseState m_PrevMouse;
  RECT m_InitialClient;
  RECT m_ClientRect;
  std::int32_t m_nRequestedClientWidth = 0;
  std::int32_t m_nRequestedClientHeight = 0;
  std::int32_t m_nMinClientWidth = 0;
  std::int32_t m_nMinClientHeight = 0;
  std::int32_t m_nMaxClientWidth = 0;
  std::int32_t m_nMaxClientHeight = 0;
  sWndRect m_WindowRect;
  std::uint32_t m_dwStyle = 0;
  std::int32_t m_bHasMenu = 0;
  std::int32_t m_nToolBarRows = 0;
  std::int32_t m_nStatusBarKind = 0;
  std::int32_t m_nScrollBars = 0;  // 1 horizontal, 2 vertical scroll-bar control
  HWND m_hToolBar = nullptr;
  HWND m_hStatusBar = nullptr;
  std::int32_t m_nFrameLeft = 0;
  std::int32_t m_nFrameRight = 0;
  std::int32_t m_nFrameTop = 0;
  std::int32_t m_nFrameBottom = 0;
  std::int32_t m_bReady = 0;
  std::int32_t m_bCommandGuard = 0;
  std::string m_strName;
  std::int32_t m_bTrace = 0;
  std::int32_t m_nRequestedX = kNoPosition;
  std::int32_t m_nRequestedY = kNoPosition;
  HWND m_hAnchorControl = nullptr;
  cWnd* m_pAnchorWnd = nullptr;
  std::int32_t m_bCentre = 0;

 private:
  POINT ClampToWorkArea(POINT point) const;
};

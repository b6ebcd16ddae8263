#pragma once
// What the window library asks of a real window: its rectangle on the screen,
// its client size, its style bits, showing it, its title, the mouse over it.
// The SDL window adapter is the real host; tests use a host of their own.
// Hosts are looked up by the message-core handle of the window they carry.
//
// Also here: the screen metrics the window library lays windows out with.
// A window on this system has no frame of our own drawing (the desktop draws
// its decorations outside the client area), so a window's rectangle is its
// client area on the screen, and the frame and caption metrics are 0 unless a
// test sets others.

#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

struct POINT {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

// Window style bits the window library reads and writes.
constexpr std::uint32_t WS_POPUP = 0x80000000u;
constexpr std::uint32_t WS_DISABLED = 0x08000000u;
constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
constexpr std::uint32_t WS_BORDER = 0x00800000u;
constexpr std::uint32_t WS_DLGFRAME = 0x00400000u;
constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
constexpr std::uint32_t WS_THICKFRAME = 0x00040000u;
constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000u;
constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000u;

// Screen metrics by their classic indexes.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;

constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;

// WM_SIZE kinds and WM_ACTIVATE states.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

// Mouse-button bits of the mouse messages' wParam.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;

// Virtual keys of the mouse buttons.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;

namespace plat {

class cWindowHost {
 public:
  virtual ~cWindowHost() = default;

  // The window's rectangle on the screen.
  virtual RECT GetWindowRect() const = 0;
  // {0, 0, client width, client height}.
  virtual RECT GetClientRect() const = 0;
  // Moves and sizes the window (the rectangle GetWindowRect reports).
  virtual void SetWindowPos(int x, int y, int width, int height) = 0;

  virtual std::uint32_t GetStyle() const = 0;
  virtual void SetStyle(std::uint32_t style) = 0;

  // Show commands of CommandLine.h (SW_HIDE, SW_SHOW, SW_SHOWMAXIMIZED...).
  virtual void Show(int showCommand) = 0;
  virtual bool IsIconic() const = 0;
  virtual bool IsZoomed() const = 0;

  virtual void SetTitle(const std::string& titleCp932) = 0;

  // The mouse position on the screen as last seen; false when unknown.
  virtual bool GetCursorPos(POINT* point) const = 0;
  // True while the mouse button (VK_LBUTTON, VK_RBUTTON) is held.
  virtual bool IsButtonDown(int virtualKey) const = 0;
  // Moves the mouse pointer to a point on the screen (main thread).
  virtual void SetCursorPos(int x, int y) = 0;
};

// Binds a host to a window handle (null unbinds). The caller keeps ownership.
void AttachWindowHost(HWND window, cWindowHost* host);
cWindowHost* FindWindowHost(HWND window);

// ---- screen metrics ------------------------------------------------------

int GetSystemMetrics(int index);
void SetSystemMetric(int index, int value);
// The desktop's rectangle and the part of it windows may use.
RECT GetDesktopRect();
RECT GetWorkArea();
void SetDesktopRects(const RECT& desktop, const RECT& workArea);
// Back to the defaults (a 1024 by 768 desktop, no frames).
void ResetScreenMetrics();

}  // namespace plat

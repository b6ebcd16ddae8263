#pragma once
// The handful of window-system types and message numbers the player's code is
// written against. They are our own definitions with the window system's
// values, so a message number means the same here as there.

#include <cstdint>

struct WindowHandleTag;
using HWND = WindowHandleTag*;  // an id handed out by the message core; never dereferenced

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// The low and the high 16 bits of a message parameter that packs two values.
constexpr std::uint16_t LowWord(std::uint64_t value) { return static_cast<std::uint16_t>(value & 0xFFFFu); }
constexpr std::uint16_t HighWord(std::uint64_t value) { return static_cast<std::uint16_t>((value >> 16) & 0xFFFFu); }

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// PeekMessage removal flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Message-box styles and answers.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// One queued message, as the message loops see it.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = WM_NULL;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
};

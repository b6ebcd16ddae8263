#pragma once
// Start-up and shut-down of the player. InitGame brings every subsystem up in
// a fixed order on the main thread, after the main window exists and before
// the game thread starts; UnInitGame takes them down after the message loop
// has ended (or after a failed InitGame), when no other thread is left.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/ProcessFlags.h"

// Brings the player up. `commandLine` is a stage file to play at once (the
// editor's test play), empty for none; `showCommand` is how the main window
// is shown (plat::SW_SHOWNORMAL, ...). The main window object g_MainWnd holds
// its window's handle already; start-up binds it and makes it g_hMainWnd.
// True when everything is up; false after any failure, whose message (if any)
// has been shown or written.
bool InitGame(std::string_view commandLine, int showCommand);

// Takes the player down; safe after a partial or failed start-up, and safe to
// call twice.
void UnInitGame();

// A harness's own choices laid over System.ini's settings right after they
// are read, before the drawing back end is chosen (the headless runner's
// drawing path and depth). The player sets none; an empty function clears it.
struct cSystemIni;
void SetSystemIniOverride(std::function<void(cSystemIni&)> override);

// The 22 working folders, created in this order at every start (failures are
// ignored: a folder that cannot be made shows up when a file in it is needed).
inline constexpr std::size_t kWorkingFolderCount = 22;
extern const std::array<const char*, kWorkingFolderCount> kWorkingFolders;
void CreateWorkingFolders();

// g_TestPlay (1 while a stage file named at start is played) is declared in
// core/ProcessFlags.h, so the libraries below the shell can read it.

// ---- what start-up takes from the system data ---------------------------

// The few values of the game's system data the start-up uses besides the
// System.ini keys. Until the system data is loaded by the player these are the
// values of a new system data (empty title, no transparent colour, Direct3D
// depth choice 0, DirectDraw depth choice 2).
struct cStartupSystemValues {
  std::string m_strTitle;
  int m_bTransparent = 0;
  std::uint8_t m_nTransparentRed = 0;
  std::uint8_t m_nTransparentGreen = 0;
  std::uint8_t m_nTransparentBlue = 0;
  int m_nD3DDepthChoice = 0;  // 0 32 bits, 1 16, other 32
  int m_nDDDepthChoice = 2;   // 0 32 bits, 1 16, 2 8 (32 with the transparent colour), other 32
};
cStartupSystemValues StartupSystemValues();

// ---- the display-mode check ----------------------------------------------

struct cDisplayModeInput {
  int m_nDirect3D = 0;     // 1 Direct3D, 0 DirectDraw (already decided)
  int m_nWindowMode = 0;
  int m_nBpp = 0;          // 0: choose
  int m_nVSync = 0;
  int m_bTransparent = 0;  // the system data's transparent-colour flag
  int m_nD3DDepthChoice = 0;
  int m_nDDDepthChoice = 2;
  int m_nDesktopBpp = 32;
  bool m_bNewWindows = true;  // the system counts as version 6.0 or later
};

struct cDisplayMode {
  bool m_bValid = false;
  bool m_bWindowed = false;
  int m_nBpp = 0;            // the chosen depth (written back into System.ini's Bpp)
  int m_nVSync = 0;          // 0 or 1
  bool m_bThickFrame = false;  // Direct3D in a resizable window
  const char* m_pMessage = nullptr;  // the box text when the mode is not valid
};

// The depth a back end's depth choice stands for.
int DepthFromChoice(bool bDirect3D, int nChoice, int bTransparent);

// Decides the window, the vertical sync and the depth, and whether the mode
// can run: Direct3D runs at 16 or 32 bits, DirectDraw also at 8 without the
// transparent colour; a window needs the desktop's depth and never 8 bits.
cDisplayMode DecideDisplayMode(const cDisplayModeInput& input);

// The two texts of an invalid mode.
extern const char* const kBadWindowModeText;
extern const char* const kBadScreenModeText;

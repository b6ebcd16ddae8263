#pragma once
// "System.ini": the start-up choices of the player (drawing back end, window
// mode, colour depth, vertical sync, font caches, frame-rate display, a stage
// to play at once, English texts). The key names and their defaults come from
// the game's system data, as a list of ten keys addressed by position; the
// file only overrides them.
//
// The file is plain bytes, read without any text translation:
//   - a line is "key=value"; blanks, tabs and CRs in a key are skipped;
//   - a value ends at a blank, a tab, '/', a line feed or a NUL byte, and the
//     rest of the line is read as a line of its own (so "// text" after a
//     value is a comment as long as it holds no known "key=");
//   - a line "Exit" or a NUL byte where a key is read ends the file;
//   - reaching the end of the file first fails the whole reading.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One key of the list: its name, its default number and its default text
// (only the FreeStage key uses the text).
struct cIniKey {
  std::string m_strKey;
  int m_nNumber = 0;
  std::string m_strText;
};

// Positions of the keys in the list; a key's position decides which setting
// it fills, whatever its name.
enum eSystemIniKey : int {
  INI_DIRECT3D = 0,
  INI_WINDOW_MODE = 1,
  INI_BPP = 2,
  INI_VSYNC = 3,
  INI_D3D_FONT_CACHE = 4,
  INI_DD_FONT_CACHE = 5,
  INI_DD_VIDEO_STRETCH = 6,
  INI_SHOW_FPS = 7,
  INI_FREE_STAGE = 8,
  INI_ENGLISH = 9,
  kSystemIniKeyCount = 10,
};

// The settings. Start-up fills them from the key list, then from the file.
struct cSystemIni {
  int m_nDirect3D = 0;        // 0 DirectDraw, 1 Direct3D, 2 or more: ask with the start-up dialog
  int m_nWindowMode = 0;      // 0 full screen, 1 window, 2 resizable window (Direct3D only)
  int m_nBpp = 0;             // colour depth in bits; 0: chosen at start-up (then written back)
  int m_nVSync = 0;           // 0 off, 1 on, 2 or more: decided at start-up
  int m_nD3DFontCache = 0;    // font cache mode under Direct3D
  int m_nDDFontCache = 0;     // font cache mode under DirectDraw
  int m_nDDVideoStretch = 0;  // DirectDraw drawing choice of the stage drawing; 0 at 8 bits
  int m_nShowFps = 0;         // frame-rate overlay: 0 none, 2 small font, other medium font in a box
  int m_nEnglish = 0;         // non-zero: English texts in the dialogs
  std::string m_strFreeStage; // a stage file to play at start ("" none); the command line replaces it
};

// The player's settings for this run.
extern cSystemIni g_SystemIni;

// The longest key and value the reader keeps (longer ones are cut), the
// FreeStage length it accepts (2 to 259 characters), and the number of lines
// after which the reading ends as if "Exit" had been read.
inline constexpr std::size_t kIniBufferChars = 2047;
inline constexpr std::size_t kFreeStageMinChars = 2;
inline constexpr std::size_t kFreeStageMaxChars = 259;
inline constexpr int kIniMaxLines = 10000;

// The key list of the game's system data. Until the system data is loaded by
// the player this is the list a new system data holds: Direct3D 2,
// WindowMode 0, Bpp 0, VSync 2, D3D_FontCache 0, DD_FontCache 1,
// DD_VideoStretch 0, ShowFps 1, FreeStage "", English 0.
std::vector<cIniKey> SystemIniKeys();

// Entries 0 to 7 give their numbers to the settings in the order above,
// FreeStage takes the text of entry 8, English becomes 0. Entries missing from
// a short list leave their setting at 0 / "".
void DefaultSystemIni(cSystemIni& settings, const std::vector<cIniKey>& keys);

// Reads the file into the settings: 1 when it was read to its "Exit" line or
// NUL byte, 0 when it is missing or ends before that. On 0 the settings are
// left as they were (the caller restores the defaults).
int ReadSystemIni(std::string_view path, cSystemIni& settings, const std::vector<cIniKey>& keys);

// The same on the bytes of a file already in memory.
int ParseSystemIni(std::string_view bytes, cSystemIni& settings, const std::vector<cIniKey>& keys);

// The start-up step: the defaults of the key list, then "System.ini" from the
// working folder; when that fails, "System.ini の読み込みに失敗しました！" goes to
// the report, the debug log and an error box, and every default is restored.
// True when the file was read.
bool LoadSystemIni(cSystemIni& settings, std::string_view path = "System.ini");

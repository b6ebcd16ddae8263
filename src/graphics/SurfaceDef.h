#pragma once
// How to create one surface of the drawing layer, and the fixed surface table:
// 71 definitions (g_SurfaceDef) beside 71 surfaces (g_SurfaceData, declared in
// SurfaceTable.h), which the start-up, the game scene and the menu scenes load
// by row number.
//
// The table, row by row:
//   0        the palette bitmap; read as the palette file only, never a surface
//   1        the debug sheet
//   2, 3     the block sheet and its system-memory copy
//   4-19     eight character sheets, each followed by its mirrored copy
//            (cells of 32 pixels); sheets 2 to 8 are optional
//   20, 21   the shot sheet and its mirrored copy (cells of 16)
//   22-39    system-memory copies of rows 4-21: row r + 18 copies the sheet
//            of row r (plain at even rows, mirrored at odd rows)
//   40, 41   items and their copy; 42 small items; 43, 44 marks and copy
//   45-54    window, status window, title, game mode (optional), accessory,
//            symbol, word, world-map chips, world events, world background
//            (optional)
//   55-62    the eight stage backgrounds (optional); the game scene writes
//            their file names before loading them
//   63-70    empty work surfaces ("E"): two 256 x 960, four 640 x 480 (row 68
//            copies 67), one 1024 x 1024 in video memory and one in system
//            memory

#include <array>
#include <cstdint>
#include <string>

// DTMEMORYTYPE: where a Direct3D texture lives. VIDEO_NORT is accepted and
// treated as VIDEO_RT.
enum DTMEMORYTYPE : std::int32_t {
  DTMEMORYTYPE_VIDEO_RT = 0,
  DTMEMORYTYPE_SYSTEM = 1,
  DTMEMORYTYPE_VIDEO_NORT = 2,
};

// The file name of an empty surface; an empty name counts as empty too.
inline constexpr const char* kEmptySurfaceFile = "E";
bool IsEmptySurfaceFile(const std::string& file);

struct DDSURFACEDEF {
  std::string szFile;  // bitmap file (program path) or "E" for an empty surface of nWidth x nHeight
  std::int32_t nKey = 0;         // 1: the surface uses the transparent colour
  std::uint32_t dwDDMemory = 0;  // DirectDraw memory: 0 video, 1 system
  std::int32_t dtMemoryType = DTMEMORYTYPE_VIDEO_RT;
  std::uint32_t bCopy = 0;       // 1: a copy of another row (primary link set by LinkMirrorSurfaces)
  std::uint32_t bPalMap = 0;     // build the palette-index map (depths other than 8)
  std::uint32_t bOptional = 0;   // a failure to create this row is not an error
  std::int32_t nMirrorW = 0;     // mirror cell width; 0: not mirrored across
  std::int32_t nMirrorH = 0;     // mirror cell height; 0: not mirrored down
  std::int32_t nWidth = 0;       // size of an "E" surface
  std::int32_t nHeight = 0;

  // Fills the row (the file, then the ten integers in field order) and returns it.
  DDSURFACEDEF& Set(const std::string& file, std::int32_t key, std::uint32_t ddMemory, std::int32_t memoryType,
                    std::uint32_t copy, std::uint32_t palMap, std::uint32_t optional, std::int32_t mirrorW,
                    std::int32_t mirrorH, std::int32_t width, std::int32_t height);
};

inline constexpr int kSurfaceTableRows = 71;

// Row numbers the other subsystems name.
enum eSurfaceRow : int {
  SURF_PALETTE = 0,
  SURF_DEBUG = 1,
  SURF_BLOCK = 2,
  SURF_CHARACTER1 = 4,
  SURF_SHOT = 20,
  SURF_SHOT_MIRROR = 21,
  SURF_ITEM = 40,
  SURF_ITEM_MINI = 42,
  SURF_MARK = 43,
  SURF_WINDOW = 45,
  SURF_STATUS_WINDOW = 46,
  SURF_TITLE = 47,
  SURF_GAME_MODE = 48,
  SURF_ACCESSORY = 49,
  SURF_SYMBOL = 50,
  SURF_WORD = 51,
  SURF_WORLD_MAP_CHIP = 52,
  SURF_WORLD_EVENT = 53,
  SURF_WORLD_BACK = 54,
  SURF_BACKGROUND_FIRST = 55,
  SURF_BACKGROUND_LAST = 62,
  SURF_SYSTEM_COPY_OFFSET = 18,  // row r + 18 holds the system-memory copy of sheet row r (4-21)
};

// The definitions; built before start-up. Rows 55 to 62 change with the stage.
// Defined with every global object in app/Globals.cpp.
extern std::array<DDSURFACEDEF, kSurfaceTableRows> g_SurfaceDef;

// The table as it is at process start (g_SurfaceDef starts as a copy of it).
std::array<DDSURFACEDEF, kSurfaceTableRows> MakeFixedSurfaceTable();

// The row that copy row `row` copies, or -1 for a row that copies none.
int SurfaceCopySourceRow(int row);

#include "graphics/SurfaceDef.h"

bool IsEmptySurfaceFile(const std::string& file) { return file.empty() || file == kEmptySurfaceFile; }

DDSURFACEDEF& DDSURFACEDEF::Set(const std::string& file, std::int32_t key, std::uint32_t ddMemory,
                                std::int32_t memoryType, std::uint32_t copy, std::uint32_t palMap,
                                std::uint32_t optional, std::int32_t mirrorW, std::int32_t mirrorH,
                                std::int32_t width, std::int32_t height) {
  szFile = file;
  nKey = key;
  dwDDMemory = ddMemory;
  dtMemoryType = memoryType;
  bCopy = copy;
  bPalMap = palMap;
  bOptional = optional;
  nMirrorW = mirrorW;
  nMirrorH = mirrorH;
  nWidth = width;
  nHeight = height;
  return *this;
}

namespace {

// The file of each character sheet 1..8.
std::string CharacterFile(int sheet) { return "bmp\\Character" + std::to_string(sheet) + ".bmp"; }

}  // namespace

std::array<DDSURFACEDEF, kSurfaceTableRows> MakeFixedSurfaceTable() {
  std::array<DDSURFACEDEF, kSurfaceTableRows> t{};
  //           file                         key mem type copy map opt mirrorW mirrorH  w  h
  t[0].Set("bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0, 0, 0, 0);
  t[1].Set("bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[2].Set("bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[3].Set("bmp\\Block.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);

  // Character sheets 1..8 at rows 4..19, each followed by its mirrored copy;
  // only the first sheet is required. Their system-memory copies (plain and
  // mirrored) follow at rows 22..37.
  for (int sheet = 1; sheet <= 8; ++sheet) {
    const int row = 2 + sheet * 2;
    const std::uint32_t optional = sheet == 1 ? 0 : 1;
    t[row].Set(CharacterFile(sheet), 1, 0, 0, 0, 0, optional, 0, 0, 0, 0);
    t[row + 1].Set(CharacterFile(sheet), 1, 0, 0, 1, 0, optional, 32, 0, 0, 0);
    t[row + 18].Set(CharacterFile(sheet), 1, 1, 0, 1, 0, optional, 0, 0, 0, 0);
    t[row + 19].Set(CharacterFile(sheet), 1, 1, 0, 1, 0, optional, 32, 0, 0, 0);
  }
  t[20].Set("bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[21].Set("bmp\\Shot.bmp", 1, 0, 0, 1, 0, 0, 16, 0, 0, 0);
  t[38].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
  t[39].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 16, 0, 0, 0);

  t[40].Set("bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[41].Set("bmp\\Item.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
  t[42].Set("bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[43].Set("bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[44].Set("bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
  t[45].Set("bmp\\Window.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[46].Set("bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[47].Set("bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[48].Set("bmp\\GameMode.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
  t[49].Set("bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[50].Set("bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[51].Set("bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[52].Set("bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  t[53].Set("bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0);
  t[54].Set("bmp\\WorldBack.bmp", 0, 1, 0, 0, 0, 1, 0, 0, 0, 0);

  static const char* const kBackgrounds[8] = {"背景その1.bmp", "背景その2.bmp", "背景その3.bmp",
                                              "背景その4.bmp", "背景その5.bmp", "背景その6.bmp",
                                              "背景その7.bmp", "背景その8.bmp"};
  for (int i = 0; i < 8; ++i) t[SURF_BACKGROUND_FIRST + i].Set(kBackgrounds[i], 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);

  t[63].Set(kEmptySurfaceFile, 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
  t[64].Set(kEmptySurfaceFile, 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
  t[65].Set(kEmptySurfaceFile, 1, 1, 0, 0, 0, 0, 0, 0, 640, 480);
  t[66].Set(kEmptySurfaceFile, 0, 1, 0, 0, 0, 0, 0, 0, 640, 480);
  t[67].Set(kEmptySurfaceFile, 1, 0, 0, 0, 0, 0, 0, 0, 640, 480);
  t[68].Set(kEmptySurfaceFile, 1, 1, 0, 1, 0, 0, 0, 0, 640, 480);
  t[69].Set(kEmptySurfaceFile, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0, 0, 0, 0, 1024, 1024);
  t[70].Set(kEmptySurfaceFile, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0, 1024, 1024);
  return t;
}

int SurfaceCopySourceRow(int row) {
  if (row == 3) return 2;
  if (row >= 5 && row <= 21 && row % 2 == 1) return row - 1;
  if (row >= 22 && row <= 39) return 4 + ((row - 22) / 2) * 2;
  if (row == 41) return 40;
  if (row == 44) return 43;
  if (row == 68) return 67;
  return -1;
}

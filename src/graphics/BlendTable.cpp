#include "graphics/BlendTable.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "graphics/DrawContext.h"
#include "graphics/Fade.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceDef.h"
#include "platform/PathResolver.h"

DDBLENDTABLE g_BlendTable{};

namespace {

constexpr int kRampFirst = 16;  // the twelve blocks of 16 that palette sets rearrange
constexpr int kRampCount = 12;
constexpr int kRampSize = 16;

// Entries 16 to 207 turned by `count` entries: entry 16 takes entry 16 + count.
void TurnRamps(DDPALETTE& palette, int count) {
  DDRotatePalette(palette, kRampFirst, kRampFirst + kRampCount * kRampSize - 1, count, 1, palette);
}

// Every block of entries 16 to 207 becomes a copy of the 16 entries from
// `source`. A block that would reach past the palette leaves it alone.
void RepeatRamp(DDPALETTE& palette, int source) {
  if (source < 0 || source + kRampSize > static_cast<int>(palette.size())) return;
  std::array<plat::sPaletteEntry, kRampSize> block{};
  std::copy_n(palette.begin() + source, kRampSize, block.begin());
  for (int ramp = 0; ramp < kRampCount; ++ramp) {
    std::copy(block.begin(), block.end(), palette.begin() + kRampFirst + ramp * kRampSize);
  }
}

}  // namespace

void TakeBlendTableBytes(DDBLENDTABLE& table, std::span<const std::uint8_t> bytes) {
  std::copy_n(bytes.begin(), std::min(bytes.size(), table.size()), table.begin());
}

bool LoadBlendTable(DDBLENDTABLE& table, const std::string& path) {
  if (lpDTCon) return true;
  std::ifstream file(plat::NativePath(path), std::ios::binary);
  if (!file) return false;
  // One block of the table's size: a longer file is read no further, a
  // shorter one only as far as it goes.
  std::vector<std::uint8_t> bytes(table.size());
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  TakeBlendTableBytes(table, bytes);
  return true;
}

int LoadHbtPalette(int n) {
  if (lpDTCon || g_DrawLayer.nBpp != 8) return 1;
  char path[64];
  std::snprintf(path, sizeof path, "bmp\\hbt\\hbt%02d.dat", n);
  if (!LoadBlendTable(g_BlendTable, path)) {
    ErrorBoxf("%s の読み込みに失敗！", path);
    return 0;
  }
  if (!DDLoadPaletteFromFile(g_Palette, g_SurfaceDef[SURF_PALETTE].szFile)) {
    LogPrintf("DDLoadPaletteFromFile失敗");
    return 0;
  }
  if (n < kRampCount) {
    TurnRamps(g_Palette, n * kRampSize);
  } else {
    RepeatRamp(g_Palette, (n - 11) * kRampSize);
  }
  g_PaletteWork = g_Palette;
  // 255 entries: the last one keeps what the palette load gave the display.
  DDSetPaletteEntries(0, 255, g_PaletteWork.data());
  return 1;
}

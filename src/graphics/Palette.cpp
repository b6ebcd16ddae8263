#include "graphics/Palette.h"

#include <algorithm>

#include "core/Log.h"
#include "graphics/BitmapLoad.h"
#include "graphics/DrawContext.h"
#include "platform/BmpDecoder.h"

DDPALETTE g_Palette{};
DDPALETTE g_PaletteWork{};
std::array<DDBLENDPARAM, 10> g_FlashColors{};

namespace {

// The colour table of an 8-bit bitmap into the palette; entries the table
// does not hold stay as they were.
void TakeColourTable(DDPALETTE& palette, const plat::sBmpImage& image, bool directDraw8) {
  const std::size_t count = std::min<std::size_t>(image.palette.size(), palette.size());
  for (std::size_t i = 0; i < count; ++i) {
    palette[i].red = image.palette[i].red;
    palette[i].green = image.palette[i].green;
    palette[i].blue = image.palette[i].blue;
    if (directDraw8) {
      palette[i].flags = (i >= 10 && i <= 245) ? 1 : 2;  // reserved, or explicit
    } else {
      palette[i].flags = 255;
    }
  }
}

}  // namespace

bool DDLoadPaletteFromFile(DDPALETTE& palette, const std::string& file) {
  plat::sBmpImage image;
  if (!plat::LoadBmpFile(file, image)) return false;
  const bool eightBitBitmap = image.bitsPerPixel == 8;

  if (lpDTCon && eightBitBitmap) TakeColourTable(palette, image, false);
  if (!lpDTCon && g_DrawLayer.nBpp == 8) {
    if (eightBitBitmap) TakeColourTable(palette, image, true);
    if (lpDDCon) DDSetPaletteEntries(0, 256, palette.data());
    return true;
  }
  if (g_DrawLayer.nBpp == 16 || g_DrawLayer.nBpp == 24 || g_DrawLayer.nBpp == 32) {
    DDSURFACEDATA swatch;
    const int result = DDCreateSurfaceFromFile(&swatch, file, 0, g_DrawLayer.nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0,
                                               0, 0);
    if (result == 0) DDSetPalette_UnPal(palette, &swatch);
    DDReleaseSurface(&swatch);
  }
  return true;
}

int DDSetPalette_UnPal(DDPALETTE& palette, DDSURFACEDATA* lpSD) {
  SurfaceLock lock(lpSD);
  if (!lock.IsLocked()) {
    if (lpDTCon) LogPrintf("DDSetPalette_UnPal Lock Err");
    return 1;
  }
  if (lock.m_nBpp != 32) return 1;
  for (int i = 0; i < 256; ++i) {
    const int x = i % 16;
    const int y = 8 + i / 16;
    if (x >= lock.m_Lock.width || y >= lock.m_Lock.height) continue;
    const std::uint32_t pixel = lock.m_Lock.Row32(y)[x];
    const std::uint8_t fourth = static_cast<std::uint8_t>(pixel >> 24);
    if (lpDTCon && fourth == 0) continue;  // a keyed-out texel keeps the entry
    palette[i] = {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                  static_cast<std::uint8_t>(pixel), fourth};
  }
  return 1;
}

int DDSetTransmit(const std::string& file) {
  DDSURFACEDATA probe;
  const int result = DDCreateSurfaceFromFile(&probe, file, 0, g_DrawLayer.nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0,
                                             0);
  if (!DDSurfaceErrorMessage(result)) {
    LogPrintf("%s 作成失敗！", file.c_str());
    return 0;
  }
  {
    SurfaceLock lock(&probe);
    if (!lock.IsLocked()) {
      LogPrintf("Lock 失敗！");
      return 0;
    }
    if (lpDTCon) {
      const std::uint32_t first = lock.m_Lock.Row32(0)[0];
      DDSetTransmit(static_cast<std::uint8_t>(first >> 16), static_cast<std::uint8_t>(first >> 8),
                    static_cast<std::uint8_t>(first));
    } else if (lock.m_nBpp == 8) {
      g_DrawLayer.dwColorKey = lock.m_Lock.Row8(0)[0];
    } else if (lock.m_nBpp == 32) {
      const std::uint32_t first = lock.m_Lock.Row32(0)[0];
      g_DrawLayer.dwColorKey = first;
      if (lpDDCon) {
        lpDDCon->rgbTransmit = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(first >> 8),
                                static_cast<std::uint8_t>(first >> 16)};
        lpDDCon->rgbTransmit16 = lpDDCon->rgbTransmit;
      }
    }
  }
  DDReleaseSurface(&probe);
  return 1;
}

void DDSetTransmit(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const std::uint32_t rgb = static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 | blue;
  if (lpDTCon) {
    lpDTCon->rgbTransmit = {blue, green, red};
    LogPrintf("SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,lpDTCon->rgbTransmit.rgbtBlue = %d",
              red, green, blue);
    if (g_DrawLayer.nBpp == 32) {
      lpDTCon->dwTransparent = 0;
      lpDTCon->dwOpaqueTransmit = 0xFF000000u | rgb;
      lpDTCon->wTransparent16 = 0;
      lpDTCon->wTransmit_16 = 0;
      g_DrawLayer.dwColorKey = lpDTCon->dwTransparent;
    }
    return;
  }
  if (g_DrawLayer.nBpp == 32) {
    g_DrawLayer.dwColorKey = rgb;
    if (lpDDCon) lpDDCon->rgbTransmit = {blue, green, red};
  }
}

void DDSetTransmitConversion(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (lpDTCon) lpDTCon->rgbTransmit16 = {blue, green, red};
  if (lpDDCon) lpDDCon->rgbTransmit16 = {blue, green, red};
}

std::uint32_t PalNumToRGB(std::uint32_t dwPalNum) {
  if (dwPalNum > 255) {
    if (lpDTCon) LogPrintf("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(dwPalNum));
    return 0;
  }
  const plat::sPaletteEntry& e = g_Palette[dwPalNum];
  const std::uint32_t rgb = static_cast<std::uint32_t>(e.red) << 16 | static_cast<std::uint32_t>(e.green) << 8 | e.blue;
  switch (g_DrawLayer.nBpp) {
    case 8: return dwPalNum;
    case 32: return lpDTCon ? (dwPalNum == 0 ? lpDTCon->dwTransparent : 0xFF000000u | rgb) : rgb;
    default: return 0;
  }
}

#include "graphics/BitmapLoad.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/Log.h"
#include "graphics/DrawContext.h"
#include "graphics/Scene.h"
#include "platform/BmpDecoder.h"
#include "platform/SoftwareDevice.h"

namespace {

// The open cBitmapReadOnce of this thread (the outermost), if any.
thread_local cBitmapReadOnce* t_ReadOnce = nullptr;

}  // namespace

cBitmapReadOnce::cBitmapReadOnce() : m_bOuter(t_ReadOnce == nullptr) {
  if (m_bOuter) t_ReadOnce = this;
}

cBitmapReadOnce::~cBitmapReadOnce() {
  if (m_bOuter) t_ReadOnce = nullptr;
}

std::shared_ptr<const plat::sBmpImage> LoadSurfaceBitmap(const std::string& file) {
  if (t_ReadOnce != nullptr) {
    const auto found = t_ReadOnce->m_Pictures.find(file);
    if (found != t_ReadOnce->m_Pictures.end()) return found->second;
  }
  std::shared_ptr<plat::sBmpImage> image = std::make_shared<plat::sBmpImage>();
  if (!plat::LoadBmpFile(file, *image)) image.reset();
  // A file that cannot be read is not looked for again either (each of the
  // character sheets a game leaves out is asked for by several rows).
  if (t_ReadOnce != nullptr) t_ReadOnce->m_Pictures.emplace(file, image);
  return image;
}

namespace {

constexpr int kOutOfMemoryResult = static_cast<int>(0x8007000Eu);

// The bitmap's colours into a fresh texture: the loader's key colour becomes
// transparent black, everything else opaque, and the padding up to the
// texture's size transparent black (the texture comes unset).
void FillTextureFromImage(plat::cPixelSurface& texture, const plat::sBmpImage& image, std::uint32_t keyRgb) {
  plat::sPixelLock px = texture.Lock();
  const int width = std::min(image.width, px.width);
  const int height = std::min(image.height, px.height);
  for (int y = 0; y < height; ++y) {
    // Plain pointers and a select the compiler turns into vector code.
    std::uint32_t* __restrict row = px.Row32(y);
    const std::uint32_t* __restrict in = &image.rgb[static_cast<std::size_t>(y) * image.width];
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = in[x] & 0x00FFFFFFu;
      row[x] = rgb == keyRgb ? 0u : (0xFF000000u | rgb);
    }
    std::fill(row + width, row + px.width, 0u);
  }
  for (int y = height; y < px.height; ++y) std::fill(px.Row32(y), px.Row32(y) + px.width, 0u);
}

std::uint32_t LoaderKeyRgb() {
  const RGBTRIPLE& key = g_DrawLayer.nBpp == 16 ? lpDTCon->rgbTransmit16 : lpDTCon->rgbTransmit;
  return static_cast<std::uint32_t>(key.rgbtRed) << 16 | static_cast<std::uint32_t>(key.rgbtGreen) << 8 |
         key.rgbtBlue;
}

// With `decoded`, the picture of `file` as already read (the plain texture a
// mirrored one is turned from), which is not read and decoded again.
int LoadD3D(DDSURFACEDATA* lpSD, const std::string& file, int key, int bpp, std::uint32_t ddMemory, int dtMemoryType,
            std::uint32_t copy, std::uint32_t bPalMap, int mirrorW, int mirrorH, int bRestore,
            const plat::sBmpImage* decoded = nullptr) {
  DDAllocSurfaceRecord(lpSD);
  DTDATA& dt = *lpSD->lpDT;
  if (!bRestore) {
    lpSD->szName = "OffScreenFromFile";
    lpSD->szFile = file;
    dt.dtMemoryType = dtMemoryType;
    dt.lpSurface = nullptr;
    dt.lpTexture.reset();
    dt.bColorKey = key == 1 ? 1 : 0;
    if (!copy) dt.dwSerial = lpDTCon->dwNextSerial++;
  }

  std::shared_ptr<const plat::sBmpImage> loaded;
  if (decoded == nullptr) {
    loaded = LoadSurfaceBitmap(file);
    if (!loaded) {
      if (!file.empty()) ReportPrintfLog("LoadImage Err %s", file.c_str());
      return DDERR_CODE_LOADIMAGE;
    }
  }
  const plat::sBmpImage& image = decoded != nullptr ? *decoded : *loaded;

  if (copy) {
    // Drawn through its primary: only the size is its own.
    lpSD->nWidth = lpSD->nTexWidth = image.width;
    lpSD->nHeight = lpSD->nTexHeight = image.height;
  } else {
    int texWidth = image.width;
    int texHeight = image.height;
    DDAdjustTextureSize(texWidth, texHeight);
    if (!DDCheckTextureSize(texWidth, texHeight)) {
      ReportPrintfLog("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", file.c_str());
    }
    int memoryType = dtMemoryType;
    if (memoryType == DTMEMORYTYPE_VIDEO_NORT) {
      LogPrintf("DDCreateSurfaceFromFile Err DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
      memoryType = DTMEMORYTYPE_VIDEO_RT;
    }
    bool fresh = false;
    if (memoryType == DTMEMORYTYPE_VIDEO_RT) {
      dt.bRenderTarget = 0;
      // Written whole by FillTextureFromImage below.
      if (!DTCreateTexture(dt, texWidth, texHeight, plat::ePixelInit::Unset)) {
        ReportPrintfLog("テクスチャの作成に失敗。(%s)", file.c_str());
        return kOutOfMemoryResult;
      }
      fresh = true;
    } else if (!bRestore || !dt.lpTexture) {
      // A system-memory texture outlives a device reset and keeps its contents.
      dt.bRenderTarget = 0;
      if (!DTCreateTexture(dt, texWidth, texHeight, plat::ePixelInit::Unset)) {
        ReportPrintfLog("D3DXCreateTextureFromFileEx Err %x %s", static_cast<unsigned>(kOutOfMemoryResult),
                        file.c_str());
        DTTextureFailureBoxAndClose();
        return kOutOfMemoryResult;
      }
      fresh = true;
    }
    dt.dtMemoryType = memoryType;
    if (fresh) FillTextureFromImage(*dt.lpTexture, image, LoaderKeyRgb());
    dt.lpSurface = dt.lpTexture.get();
    dt.desc = {lpDTCon->TextureFormat, dt.lpTexture->Width(), dt.lpTexture->Height()};
    lpSD->nWidth = image.width;
    lpSD->nHeight = image.height;
    lpSD->nTexWidth = dt.desc.Width;
    lpSD->nTexHeight = dt.desc.Height;
  }

  // Copy rows are never turned over: they mirror only what is taken from them,
  // so their primary's texture must stay as loaded.
  if ((mirrorW != 0 || mirrorH != 0) && !copy) {
    DDSURFACEDATA plain;
    LoadD3D(&plain, file, key, bpp, ddMemory, dtMemoryType, 0, bPalMap, 0, 0, 0, &image);
    const bool mirrored = CreateMirror(lpSD, &plain, mirrorW, mirrorH);
    DDReleaseSurface(&plain);
    if (!mirrored) {
      ReportPrintfLog("CreateMirror Err");
      return 1;
    }
  }
  if (!bRestore && !copy && std::find(g_TextureList.begin(), g_TextureList.end(), lpSD) == g_TextureList.end()) {
    g_TextureList.push_back(lpSD);
  }

  lpSD->nMirrorW = mirrorW;
  lpSD->nMirrorH = mirrorH;
  lpSD->dwDDMemory = ddMemory;
  if (bPalMap && bpp != 8 && !copy) {
    DDMakePaletteIndexMap(dt.palIndexMap, lpSD);
  } else {
    dt.palIndexMap.clear();
  }
  return 0;
}

// The source column (row) of destination column x when whole cells of `cell`
// pixels are turned over in place; -1 for columns of a last, partial cell,
// which are left as they are. A cell of 0 copies straight.
int MirroredIndex(int x, int cell, int size) {
  if (cell <= 0) return x < size ? x : -1;
  const int source = cell * (x / cell + 1) - x % cell - 1;
  return source < size ? source : -1;
}

// The nearest colour of the display palette, for deep bitmaps on 8-bit surfaces.
std::uint8_t NearestPaletteIndex(std::uint32_t rgb) {
  const int red = static_cast<int>(rgb >> 16 & 0xFF);
  const int green = static_cast<int>(rgb >> 8 & 0xFF);
  const int blue = static_cast<int>(rgb & 0xFF);
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const plat::sPaletteEntry& e = g_DrawLayer.ddPalette[i];
    const int dr = red - e.red, dg = green - e.green, db = blue - e.blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// A 24- or 32-bit bitmap pixel on a DirectDraw surface at 16 bits: the
// conversion colour becomes the colour-key value, and a pixel that holds that
// value already moves one blue step away from it (down at the top of the
// range, else up).
std::uint32_t ConvertedAtSixteenBits(std::uint32_t rgb) {
  const RGBTRIPLE& conversion = lpDDCon->rgbTransmit16;
  const std::uint32_t transparent = static_cast<std::uint32_t>(conversion.rgbtRed) << 16 |
                                    static_cast<std::uint32_t>(conversion.rgbtGreen) << 8 | conversion.rgbtBlue;
  const std::uint32_t key = g_DrawLayer.dwColorKey & 0x00FFFFFFu;
  if (rgb == transparent) return key;
  if (rgb != key) return rgb;
  return (rgb & 0xFFu) == 0xFFu ? rgb - 1 : rgb + 1;
}

bool CopyImageDD(DDSURFACEDATA* lpSD, const plat::sBmpImage& image, const std::string& file, int bpp,
                 std::uint32_t bPalMap, int mirrorW, int mirrorH) {
  {
    SurfaceLock lock(lpSD);
    if (!lock.IsLocked()) return false;
    const plat::sPixelLock& px = lock.m_Lock;
    const bool indexed = px.depth == plat::ePixelDepth::Indexed8;
    // Only true-colour bitmaps are converted at 16 bits; a bitmap with a
    // colour table keeps its colours exactly, its key colour included.
    const bool convertAtSixteenBits = g_DrawLayer.nBpp == 16 && lpDDCon != nullptr &&
                                      (image.bitsPerPixel == 24 || image.bitsPerPixel == 32);
    const bool sameSize = px.width == image.width && px.height == image.height;
    if (indexed && !image.indices.empty() && !sameSize) {
      LogPrintf("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", file.c_str(), px.width, px.height, image.width,
                image.height);
    } else {
      const int width = std::min(px.width, image.width);
      const int height = std::min(px.height, image.height);
      // The source column of each destination column, up to the first one
      // left as it is, worked out once for all rows.
      std::vector<int> columns;
      columns.reserve(static_cast<std::size_t>(std::max(width, 0)));
      for (int x = 0; x < width; ++x) {
        const int sx = MirroredIndex(x, mirrorW, image.width);
        if (sx < 0) break;
        columns.push_back(sx);
      }
      const int count = static_cast<int>(columns.size());
      for (int y = 0; y < height; ++y) {
        const int sy = MirroredIndex(y, mirrorH, image.height);
        if (sy < 0) break;
        if (!indexed && !convertAtSixteenBits) {
          // The common case in one tight loop per row.
          std::uint32_t* __restrict out = px.Row32(y);
          const std::uint32_t* __restrict in = &image.rgb[static_cast<std::size_t>(sy) * image.width];
          if (mirrorW <= 0) {
            for (int x = 0; x < count; ++x) out[x] = in[x] & 0x00FFFFFFu;
          } else {
            for (int x = 0; x < count; ++x) out[x] = in[columns[static_cast<std::size_t>(x)]] & 0x00FFFFFFu;
          }
          continue;
        }
        for (int x = 0; x < count; ++x) {
          const int sx = columns[static_cast<std::size_t>(x)];
          if (!indexed) {
            const std::uint32_t rgb = image.RgbAt(sx, sy) & 0x00FFFFFFu;
            px.Row32(y)[x] = convertAtSixteenBits ? ConvertedAtSixteenBits(rgb) : rgb;
          } else if (!image.indices.empty()) {
            px.Row8(y)[x] = image.IndexAt(sx, sy);
          } else {
            px.Row8(y)[x] = NearestPaletteIndex(image.RgbAt(sx, sy));
          }
        }
      }
    }
  }
  lpSD->nWidth = image.width;
  lpSD->nHeight = image.height;
  lpSD->nMirrorW = mirrorW;
  lpSD->nMirrorH = mirrorH;
  lpSD->szFile = file;
  if (bPalMap && bpp != 8) return DDMakePaletteIndexMap(lpSD->lpDD->palIndexMap, lpSD) != 0;
  lpSD->lpDD->palIndexMap.clear();
  return true;
}

int LoadDD(DDSURFACEDATA* lpSD, const std::string& file, int key, int bpp, std::uint32_t ddMemory, int dtMemoryType,
           std::uint32_t copy, std::uint32_t bPalMap, int mirrorW, int mirrorH) {
  const std::shared_ptr<const plat::sBmpImage> loaded = LoadSurfaceBitmap(file);
  if (!loaded) {
    LogPrintf("%s", file.c_str());
    return DDERR_CODE_LOADIMAGE;
  }
  const plat::sBmpImage& image = *loaded;
  // A picture of the surface's size covers it unless a last, partial mirror
  // cell is left as the surface was made (filled with palette colour 0).
  const bool covered = (mirrorW <= 0 || image.width % mirrorW == 0) && (mirrorH <= 0 || image.height % mirrorH == 0);
  const bool made = covered ? DDCreateSurfaceForPicture(lpSD, image.width, image.height, key, ddMemory)
                            : DDCreateSurface(lpSD, image.width, image.height, key, ddMemory, dtMemoryType, copy, 0);
  if (!made) return DDERR_CODE_CREATESURFACE;
  // A surface made just now is never lost, so its lock holds and the copy
  // writes every pixel.
  if (!CopyImageDD(lpSD, image, file, bpp, bPalMap, mirrorW, mirrorH)) return DDERR_CODE_LOADIMAGE;
  lpSD->nTexWidth = image.width;
  lpSD->nTexHeight = image.height;
  return 0;
}

}  // namespace

int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const std::string& file, int key, int bpp, std::uint32_t ddMemory,
                            int dtMemoryType, std::uint32_t copy, std::uint32_t bPalMap, int mirrorW, int mirrorH,
                            int bRestore) {
  if (!lpSD) return DDERR_CODE_CREATESURFACE;
  if (lpDTCon) return LoadD3D(lpSD, file, key, bpp, ddMemory, dtMemoryType, copy, bPalMap, mirrorW, mirrorH, bRestore);
  return LoadDD(lpSD, file, key, bpp, ddMemory, dtMemoryType, copy, bPalMap, mirrorW, mirrorH);
}

bool CopyBitmap(DDSURFACEDATA* lpSD, const std::string& file, int bpp, std::uint32_t bPalMap, int mirrorW,
                int mirrorH) {
  if (lpDTCon || IsEmptySurfaceFile(file)) return true;
  if (!lpSD || !lpSD->lpDD) return false;
  const std::shared_ptr<const plat::sBmpImage> image = LoadSurfaceBitmap(file);
  if (!image) return false;
  return CopyImageDD(lpSD, *image, file, bpp, bPalMap, mirrorW, mirrorH);
}

bool CreateMirror(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, int mirrorW, int mirrorH) {
  if (!lpDTCon || mirrorW <= 0 || mirrorH != 0) return true;
  if (!lpDst || !lpSrc) return true;
  plat::cPixelSurface* dst = lpDst->Pixels();
  const plat::cPixelSurface* src = lpSrc->Pixels();
  if (!dst || !src) return true;

  const bool renderTarget = lpDst->lpDT && lpDst->lpDT->bRenderTarget;
  if (renderTarget) {
    plat::FillRect(*dst, 0, 0, dst->Width(), dst->Height(), 0);
    if (lpDTCon->lpRestingTarget && lpDTCon->lpRestingTarget->HasSurface()) DDSetRenderTarget(lpDTCon->lpRestingTarget);
  }
  const int cells = lpSrc->nWidth / mirrorW;
  for (int i = 0; i < cells; ++i) {
    const int x = i * mirrorW;
    if (renderTarget) {
      plat::sStageState stage;
      stage.colorOp = lpDTCon->dwColorOp;
      stage.alphaOp = lpDTCon->dwAlphaOp;
      stage.diffuse = lpDTCon->dwBlendColor;
      plat::DrawTexturedRect(*dst, x, 0, mirrorW, lpSrc->nHeight, src, x + mirrorW, 0, -mirrorW, lpSrc->nHeight,
                             stage);
    } else {
      plat::sCopyRect rect;
      rect.x = x;
      rect.y = 0;
      rect.width = mirrorW;
      rect.height = lpSrc->nHeight;
      rect.sx = x + mirrorW;
      rect.sy = 0;
      rect.sw = -mirrorW;
      rect.sh = lpSrc->nHeight;
      rect.rule = plat::eStretchRule::FloatStep;
      plat::CopyRect(*dst, *src, rect);
    }
  }
  return true;
}

int DDReloadBitmap(DDSURFACEDATA* lpSD, int bpp) {
  if (lpDTCon) return 1;
  if (!lpSD || !lpSD->lpDD) return 0;
  const std::uint32_t hasMap = lpSD->lpDD->palIndexMap.empty() ? 0 : 1;
  return CopyBitmap(lpSD, lpSD->szFile, bpp, hasMap, lpSD->nMirrorW, lpSD->nMirrorH) ? 1 : 0;
}

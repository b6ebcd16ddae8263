#include "graphics/Surface.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "graphics/BitmapLoad.h"
#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/Scene.h"
#include "graphics/SurfaceFill.h"
#include "platform/BmpDecoder.h"
#include "platform/SoftwareDevice.h"

// Never destroyed: surfaces that die during the process's exit still leave it.
std::vector<DDSURFACEDATA*>& g_TextureList = *new std::vector<DDSURFACEDATA*>();

namespace {

std::vector<DDDATA*>& LiveDirectDrawRecords() {
  static auto* records = new std::vector<DDDATA*>();
  return *records;
}

void ReplaceInTextureList(DDSURFACEDATA* from, DDSURFACEDATA* to) {
  std::replace(g_TextureList.begin(), g_TextureList.end(), from, to);
}

void RemoveFromTextureList(DDSURFACEDATA* lpSD) {
  g_TextureList.erase(std::remove(g_TextureList.begin(), g_TextureList.end(), lpSD), g_TextureList.end());
}

void MoveFields(DDSURFACEDATA& to, DDSURFACEDATA& from) {
  to.lpDT = std::move(from.lpDT);
  to.lpDD = std::move(from.lpDD);
  to.szName = std::move(from.szName);
  to.nWidth = from.nWidth;
  to.nHeight = from.nHeight;
  to.nTexWidth = from.nTexWidth;
  to.nTexHeight = from.nTexHeight;
  to.szFile = std::move(from.szFile);
  to.dwDDMemory = from.dwDDMemory;
  to.nMirrorW = from.nMirrorW;
  to.nMirrorH = from.nMirrorH;
  to.lpPrimary = from.lpPrimary;
  to.bLost = from.bLost;
  ReplaceInTextureList(&from, &to);
  if (g_DrawLayer.lpRenderTarget == &from) g_DrawLayer.lpRenderTarget = &to;
}

bool CreateSurfaceD3D(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory,
                      int dtMemoryType, std::uint32_t copy, int bRestore) {
  DDAllocSurfaceRecord(lpSD);
  DTDATA& dt = *lpSD->lpDT;
  if (!bRestore) {
    lpSD->szName = "OffScreen";
    lpSD->szFile = kEmptySurfaceFile;
    dt.dtMemoryType = dtMemoryType;
    dt.lpSurface = nullptr;
    dt.lpTexture.reset();
    dt.bColorKey = key == 1 ? 1 : 0;
    if (!copy) dt.dwSerial = lpDTCon->dwNextSerial++;
  }
  if (copy) {
    lpSD->nWidth = lpSD->nTexWidth = nWidth;
    lpSD->nHeight = lpSD->nTexHeight = nHeight;
    lpSD->dwDDMemory = ddMemory;
    return true;
  }

  int texWidth = nWidth;
  int texHeight = nHeight;
  DDAdjustTextureSize(texWidth, texHeight);
  if (!DDCheckTextureSize(texWidth, texHeight)) {
    ReportPrintfLog("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");
  }

  int memoryType = dtMemoryType == DTMEMORYTYPE_VIDEO_NORT ? DTMEMORYTYPE_VIDEO_RT : dtMemoryType;
  constexpr unsigned kOutOfMemory = 0x8007000Eu;
  if (memoryType == DTMEMORYTYPE_VIDEO_RT) {
    dt.bRenderTarget = 1;
    // Filled whole below.
    if (!DTCreateTexture(dt, texWidth, texHeight, plat::ePixelInit::Unset)) return false;
  } else if (memoryType == DTMEMORYTYPE_SYSTEM && (!bRestore || !dt.lpTexture)) {
    // A system-memory texture outlives a device reset and is kept when restoring.
    dt.bRenderTarget = 0;
    if (!DTCreateTexture(dt, texWidth, texHeight, plat::ePixelInit::Unset)) {
      ReportPrintfLog("D3DXCreateTexture Err hr = %x", kOutOfMemory);
      DTTextureFailureBoxAndClose();
      return false;
    }
    // Its zeros wait until its pixels are first used, as a whole-target fill
    // does: the stage start makes a large one that only the other drawing
    // road draws into.
    dt.bOwedFill = true;
    dt.dwOwedFill = 0;
  }
  dt.dtMemoryType = memoryType;
  if (!dt.lpTexture) return false;
  dt.lpSurface = dt.lpTexture.get();
  dt.desc = {lpDTCon->TextureFormat, dt.lpTexture->Width(), dt.lpTexture->Height()};

  lpSD->nWidth = nWidth;
  lpSD->nHeight = nHeight;
  lpSD->nTexWidth = dt.desc.Width;
  lpSD->nTexHeight = dt.desc.Height;

  if (dt.bRenderTarget) {
    DDSetRenderTarget(lpSD);
    plat::FillRect(*dt.lpSurface, 0, 0, dt.desc.Width, dt.desc.Height, lpDTCon->dwOpaqueTransmit);
    if (lpDTCon->lpRestingTarget && lpDTCon->lpRestingTarget->HasSurface()) DDSetRenderTarget(lpDTCon->lpRestingTarget);
  }
  if (!bRestore) g_TextureList.push_back(lpSD);
  return true;
}

// `fill`: filled with palette colour 0; without it the caller copies a
// picture over every pixel.
bool CreateSurfaceDD(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory, bool fill) {
  DDAllocSurfaceRecord(lpSD);
  DDDATA& dd = *lpSD->lpDD;
  const plat::ePixelDepth depth = g_DrawLayer.nBpp == 8 ? plat::ePixelDepth::Indexed8 : plat::ePixelDepth::Argb32;
  auto pixels = std::make_unique<plat::cPixelSurface>();
  std::uint32_t memory = ddMemory;
  // Every pixel is written at once (the fill, or the caller's picture), so
  // the storage need not come zeroed.
  if (!pixels->CreateUnset(nWidth, nHeight, depth)) {
    if (ddMemory == 1) {
      ReportPrintfLog("CreateSurface System Err");
      return false;
    }
    // Video memory ran out: system memory next.
    if (!pixels->CreateUnset(nWidth, nHeight, depth)) {
      ReportPrintfLog("CreateSurface Video -> System Err");
      return false;
    }
    memory = 1;
  }
  dd.lpSurface = std::move(pixels);
  dd.bSurfaceLost = 0;
  dd.bSystemMemory = memory;
  dd.bHasColorKey = key == 1 ? 1 : 0;
  dd.dwColorKey = key == 1 ? g_DrawLayer.dwColorKey : 0;

  lpSD->nWidth = lpSD->nTexWidth = nWidth;
  lpSD->nHeight = lpSD->nTexHeight = nHeight;
  if (fill) DDFillRectPal(lpSD, 0, 0, nWidth, nHeight, 0);
  lpSD->dwDDMemory = memory;
  return true;
}

DDSURFACEDEF EmptyContainerDef(int key, std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy) {
  DDSURFACEDEF def;
  def.Set("", key, ddMemory, dtMemoryType, copy, 0, 0, 0, 0, 0, 0);
  return def;
}

}  // namespace

bool DTCreateTexture(DTDATA& dt, int width, int height, plat::ePixelInit init) {
  auto texture = std::make_unique<plat::cPixelSurface>();
  const bool made = init == plat::ePixelInit::Zeroed ? texture->Create(width, height, plat::ePixelDepth::Argb32)
                                                     : texture->CreateUnset(width, height, plat::ePixelDepth::Argb32);
  if (!made) return false;
  dt.lpTexture = std::move(texture);
  dt.bOwedFill = false;
  dt.bOwedLay = false;
  return true;
}

void DTTextureFailureBoxAndClose() {
  if (lpDTCon && !lpDTCon->szTextureFailMessage.empty()) ErrorBoxf("%s", lpDTCon->szTextureFailMessage.c_str());
  PostCloseToMainWindow();
}

DDDATA::DDDATA() { LiveDirectDrawRecords().push_back(this); }

DDDATA::~DDDATA() {
  auto& records = LiveDirectDrawRecords();
  records.erase(std::remove(records.begin(), records.end(), this), records.end());
}

const std::vector<DDDATA*>& DDLiveDirectDrawRecords() { return LiveDirectDrawRecords(); }

DDSURFACEDATA::~DDSURFACEDATA() { DDReleaseSurface(this); }

DDSURFACEDATA::DDSURFACEDATA(DDSURFACEDATA&& other) noexcept { MoveFields(*this, other); }

DDSURFACEDATA& DDSURFACEDATA::operator=(DDSURFACEDATA&& other) noexcept {
  if (this != &other) {
    DDReleaseSurface(this);
    MoveFields(*this, other);
  }
  return *this;
}

bool DDSURFACEDATA::HasSurface() const { return PixelsOwingFill() != nullptr; }

namespace {

// The Direct3D record whose level-0 surface the pixels of lpSD are: its own,
// or for a copy row its primary's.
DTDATA* PixelOwner(const DDSURFACEDATA& sd) {
  if (!sd.lpDT) return nullptr;
  if (sd.lpDT->lpSurface) return sd.lpDT.get();
  if (sd.lpPrimary && sd.lpPrimary != &sd && sd.lpPrimary->lpDT) return sd.lpPrimary->lpDT.get();
  return nullptr;
}

// The stage of a quad of one colour blended by its alpha.
plat::sStageState LaidColourStage(std::uint32_t argb) {
  plat::sStageState stage;
  stage.colorOp = plat::TextureOp::SelectArg2;
  stage.alphaOp = plat::TextureOp::Disable;
  stage.diffuse = argb;
  return stage;
}

// A render target whose pixels are its own texture: the only surfaces that owe.
DTDATA* OwingRecord(DDSURFACEDATA* lpSD) {
  if (!lpDTCon || !lpSD || !lpSD->lpDT) return nullptr;
  DTDATA& dt = *lpSD->lpDT;
  if (!dt.bRenderTarget || !dt.lpTexture || dt.lpSurface != dt.lpTexture.get()) return nullptr;
  return &dt;
}

// Takes one owed drawing (flag and value) off the pixels of lpSD, unless the
// other one is owed as well: then both stay to be written in their order.
bool TakeOwed(DDSURFACEDATA* lpSD, bool DTDATA::*owed, std::uint32_t DTDATA::*value, bool DTDATA::*other,
              std::uint32_t& out) {
  DTDATA* owner = lpSD ? PixelOwner(*lpSD) : nullptr;
  if (!owner || !(owner->*owed) || owner->*other) return false;
  owner->*owed = false;
  out = owner->*value;
  return true;
}

}  // namespace

namespace {

// Lays `argb` over `rows` whole rows of the pixels from row `top`.
void LayRows(plat::cPixelSurface& pixels, int top, int rows, std::uint32_t argb) {
  plat::DrawTexturedRect(pixels, 0, top, pixels.Width(), rows, nullptr, 0, 0, pixels.Width(), rows,
                         LaidColourStage(argb));
}

}  // namespace

void DDLayRow(plat::cPixelSurface& pixels, int row, std::uint32_t argb) { LayRows(pixels, row, 1, argb); }

plat::cPixelSurface* DDSURFACEDATA::Pixels() const {
  DTDATA* owner = PixelOwner(*this);
  if (owner && owner->lpSurface && (owner->bOwedFill || owner->bOwedLay)) {
    plat::cPixelSurface& pixels = *owner->lpSurface;
    if (owner->bOwedFill) plat::FillRect(pixels, 0, 0, pixels.Width(), pixels.Height(), owner->dwOwedFill);
    if (owner->bOwedLay) LayRows(pixels, 0, pixels.Height(), owner->dwOwedLay);
    owner->bOwedFill = false;
    owner->bOwedLay = false;
  }
  return PixelsOwingFill();
}

bool DDOweFill(DDSURFACEDATA* lpSD, std::uint32_t value) {
  DTDATA* dt = OwingRecord(lpSD);
  if (!dt) return false;
  // The fill covers whatever was owed before it.
  dt->bOwedFill = true;
  dt->dwOwedFill = value;
  dt->bOwedLay = false;
  return true;
}

bool DDTakeOwedFill(DDSURFACEDATA* lpSD, std::uint32_t& value) {
  return TakeOwed(lpSD, &DTDATA::bOwedFill, &DTDATA::dwOwedFill, &DTDATA::bOwedLay, value);
}

bool DDOweLay(DDSURFACEDATA* lpSD, std::uint32_t argb) {
  DTDATA* dt = OwingRecord(lpSD);
  if (!dt) return false;
  lpSD->Pixels();  // what was owed before goes under the colour
  dt->bOwedLay = true;
  dt->dwOwedLay = argb;
  return true;
}

bool DDTakeOwedLay(DDSURFACEDATA* lpSD, std::uint32_t& argb) {
  return TakeOwed(lpSD, &DTDATA::bOwedLay, &DTDATA::dwOwedLay, &DTDATA::bOwedFill, argb);
}

plat::cPixelSurface* DDSURFACEDATA::PixelsOwingFill() const {
  if (lpDT) {
    const DTDATA* owner = PixelOwner(*this);
    return owner ? owner->lpSurface : nullptr;
  }
  if (lpDD) return lpDD->lpSurface.get();
  return nullptr;
}

void DDAllocSurfaceRecord(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (lpDTCon) {
    if (!lpSD->lpDT) lpSD->lpDT = std::make_unique<DTDATA>();
  } else if (!lpSD->lpDD) {
    lpSD->lpDD = std::make_unique<DDDATA>();
  }
}

bool DDCreateSurface(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory,
                     int dtMemoryType, std::uint32_t copy, int bRestore) {
  if (!lpSD) return false;
  if (lpDTCon) return CreateSurfaceD3D(lpSD, nWidth, nHeight, key, ddMemory, dtMemoryType, copy, bRestore);
  return CreateSurfaceDD(lpSD, nWidth, nHeight, key, ddMemory, true);
}

bool DDCreateSurfaceForPicture(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory) {
  if (!lpSD || lpDTCon) return false;
  return CreateSurfaceDD(lpSD, nWidth, nHeight, key, ddMemory, false);
}

void DDReleaseSurface(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (lpSD->lpDT) {
    // A copy row owns no texture (it draws through its primary's), so
    // freeing its own record is all there is to it.
    RemoveFromTextureList(lpSD);
    lpSD->lpDT.reset();
  }
  lpSD->lpDD.reset();
  if (g_DrawLayer.lpRenderTarget == lpSD) g_DrawLayer.lpRenderTarget = nullptr;
}

void DDReleaseSurfaceVector(DDSurfaceVector& surfaces) {
  for (int i = 0; i < static_cast<int>(surfaces.size()); ++i) DDReleaseSurface(&surfaces[i]);
}

void DDReleaseSurfaceList(DDSurfaceList& surfaces) {
  for (DDSURFACEDATA& sd : surfaces) DDReleaseSurface(&sd);
}

bool DDAddSurfaceVector(DDSurfaceVector& surfaces, DDSurfaceDefVector& defs, int nWidth, int nHeight, int key,
                        std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy) {
  surfaces.emplace_back();
  defs.push_back(EmptyContainerDef(key, ddMemory, dtMemoryType, copy));
  return DDCreateSurface(&surfaces.back(), nWidth, nHeight, key, ddMemory, dtMemoryType, copy, 0);
}

bool DDAddSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, int nWidth, int nHeight, int key,
                      std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy) {
  surfaces.emplace_back();
  defs.push_back(EmptyContainerDef(key, ddMemory, dtMemoryType, copy));
  return DDCreateSurface(&surfaces.back(), nWidth, nHeight, key, ddMemory, dtMemoryType, copy, 0);
}

bool DDInsertSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, int index, int nWidth, int nHeight,
                         int key, std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy) {
  if (index >= static_cast<int>(surfaces.size())) {
    return DDAddSurfaceList(surfaces, defs, nWidth, nHeight, key, ddMemory, dtMemoryType, copy);
  }
  if (index < 0) index = 0;
  surfaces.emplace(std::next(surfaces.begin(), index));
  const int defIndex = std::min(index, static_cast<int>(defs.size()));
  defs.insert(std::next(defs.begin(), defIndex), EmptyContainerDef(key, ddMemory, dtMemoryType, copy));
  return DDCreateSurface(&surfaces[index], nWidth, nHeight, key, ddMemory, dtMemoryType, copy, 0);
}

int DDEraseSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, DDSURFACEDATA* lpSD) {
  int position = 0;
  for (auto it = surfaces.begin(); it != surfaces.end(); ++it, ++position) {
    if (&*it != lpSD) continue;
    DDReleaseSurface(lpSD);
    surfaces.erase(it);
    if (position < static_cast<int>(defs.size())) defs.erase(std::next(defs.begin(), position));
    return 1;
  }
  return 0;
}

bool DDSurfaceErrorMessage(int code) {
  switch (code) {
    case DDERR_CODE_CREATESURFACE: LogPrintf("CREATESURFACE_ERR"); return false;
    case DDERR_CODE_LOADIMAGE: LogPrintf("LOADIMAGE_ERR"); return false;
    case DDERR_CODE_SETCOLORKEY: LogPrintf("SETCOLORKEY_ERR"); return false;
    default: return true;
  }
}

int DDIsBitmapLarger(std::uint32_t* bLarger, const std::string& file, int nWidth, int nHeight) {
  if (lpDTCon) return 1;
  // Through the stage start's reads, so the surface made from it next does
  // not read the file again.
  const std::shared_ptr<const plat::sBmpImage> image = LoadSurfaceBitmap(file);
  if (!image) {
    if (bLarger) *bLarger = 0;
    return 0;
  }
  if (bLarger) *bLarger = (image->width > nWidth || image->height > nHeight) ? 1 : 0;
  return 1;
}

void DDPrimarySurface(DDSURFACEDATA*& lpSD) {
  if (lpDTCon && lpSD && lpSD->lpPrimary) lpSD = lpSD->lpPrimary;
}

int DDMakePaletteIndexMap(std::vector<std::uint8_t>& map, DDSURFACEDATA* lpSD) {
  map.clear();
  SurfaceLock lock(lpSD);
  if (!lock.IsLocked()) return 0;
  const plat::sPixelLock& px = lock.m_Lock;
  map.assign(static_cast<std::size_t>(px.pitch) * px.height, 0);
  if (px.depth != plat::ePixelDepth::Argb32) return 1;
  for (int y = 0; y < px.height; ++y) {
    const std::uint32_t* row = px.Row32(y);
    for (int x = 0; x < px.width; ++x) {
      const std::uint32_t pixel = row[x];
      const std::uint8_t red = static_cast<std::uint8_t>(pixel >> 16);
      const std::uint8_t green = static_cast<std::uint8_t>(pixel >> 8);
      const std::uint8_t blue = static_cast<std::uint8_t>(pixel);
      for (int i = 0; i < 256; ++i) {
        const plat::sPaletteEntry& e = g_Palette[i];
        if (e.red == red && e.green == green && e.blue == blue) {
          map[static_cast<std::size_t>(y) * px.pitch + x] = static_cast<std::uint8_t>(i);
          break;
        }
      }
    }
  }
  return 1;
}

SurfaceLock::SurfaceLock(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  plat::cPixelSurface* pixels = nullptr;
  if (lpDTCon) {
    DDPrimarySurface(lpSD);
    DDMapBackBuffer(lpSD);
    pixels = lpSD->Pixels();
    if (!pixels) {
      if (lpSD->lpDT && lpSD->lpDT->bRenderTarget && lpSD != &BackBuffer) {
        LogPrintf("FAILED( lpDevice->GetRenderTargetData(lpSD->lpDT->lpSurface,lpSD->lpDT->lpSystemSurface) )");
      } else {
        LogPrintf("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
      }
      return;
    }
  } else {
    // A lost DirectDraw surface refuses the lock until it is restored.
    if (!lpSD->lpDD || !lpSD->lpDD->lpSurface || lpSD->lpDD->bSurfaceLost) return;
    pixels = lpSD->lpDD->lpSurface.get();
  }
  m_Lock = pixels->Lock();
  if (!m_Lock.bits) return;
  m_lpSD = lpSD;
  m_pBits = m_Lock.bits;
  m_nBpp = m_Lock.BitsPerPixel();
  m_nBytesPerPixel = m_Lock.BytesPerPixel();
}

void SurfaceLock::Unlock() {
  m_lpSD = nullptr;
  m_pBits = nullptr;
}

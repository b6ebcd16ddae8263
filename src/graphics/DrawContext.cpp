#include "graphics/DrawContext.h"

#include <algorithm>

#include "core/Log.h"
#include "core/SystemReport.h"
#include "graphics/DrawLayerServices.h"
#include "graphics/PixelAccess.h"
#include "graphics/Scene.h"
#include "graphics/SurfaceFill.h"
#include "platform/Presenter.h"
#include "platform/SoftwareDevice.h"

DTCONTEXT* lpDTCon = nullptr;
DDCONTEXT* lpDDCon = nullptr;
cDrawLayerState g_DrawLayer;

DDSURFACEDATA BackBuffer;
DDSURFACEDATA VirBackBuffer;
DDSURFACEDATA WorkSD;
DDSURFACEDATA Primary;
DDSURFACEDATA FadeBuffer;

PIXELFORMATDESC g_PixelFormat;
PIXELFORMATDESC g_BackBufferFormat;

namespace {

plat::cPresenter* g_InstalledPresenter = nullptr;

plat::cPresenter& DefaultPresenter() {
  static plat::cNullPresenter presenter;
  return presenter;
}

int (*g_DriverVersionQuery)() = nullptr;

int DriverVersion() { return g_DriverVersionQuery ? g_DriverVersionQuery() : GetDxDiagDDIVersion(); }

// What the software device offers: no power-of-two or square rule, dynamic
// textures, flips by discarding, one texture stage.
DTCAPS SoftwareDeviceCaps() {
  DTCAPS caps;
  caps.TextureCaps = 0;
  caps.Caps2 = 0x20000000u;
  caps.Caps3 = 0x20u;
  caps.MaxTextureWidth = plat::kMaxTextureSide;
  caps.MaxTextureHeight = plat::kMaxTextureSide;
  caps.MaxTextureBlendStages = 1;
  caps.MaxSimultaneousTextures = 1;
  return caps;
}

// The depth the layer draws at for a requested depth: 16 is drawn at 32, a
// DirectDraw window at the desktop's depth; anything else as asked.
int DrawingDepth(int requested, int bD3D, int windowMode) {
  if (!bD3D && windowMode != 0) return g_DrawLayer.nDesktopBpp;
  return requested == 16 ? 32 : requested;
}

plat::ePixelDepth SurfaceDepth() { return g_DrawLayer.nBpp == 8 ? plat::ePixelDepth::Indexed8 : plat::ePixelDepth::Argb32; }

// A DirectDraw surface made directly (the primary and its attached back buffer).
bool MakeDirectDrawSurface(DDSURFACEDATA& sd, int width, int height) {
  DDAllocSurfaceRecord(&sd);
  auto pixels = std::make_unique<plat::cPixelSurface>();
  if (!pixels->Create(width, height, SurfaceDepth())) return false;
  sd.lpDD->lpSurface = std::move(pixels);
  sd.lpDD->bSurfaceLost = 0;
  sd.nTexWidth = width;
  sd.nTexHeight = height;
  return true;
}

// The DirectDraw palette of a fresh display: entry i = (i, i, 0), entry 0
// with blue 255; in a window the twenty system entries are (i, 0, 0).
void InitDirectDrawPalette(bool window) {
  for (int i = 0; i < 256; ++i) {
    plat::sPaletteEntry& e = g_DrawLayer.ddPalette[i];
    const bool systemEntry = window && (i < 10 || i > 245);
    e.red = static_cast<std::uint8_t>(i);
    e.green = systemEntry ? 0 : static_cast<std::uint8_t>(i);
    e.blue = 0;
    e.flags = systemEntry ? 2 : 1;
  }
  if (!window) g_DrawLayer.ddPalette[0].blue = 255;
  g_DrawLayer.bPalette = true;
}

void HideCursor() {
  while (g_DrawLayer.nCursorCount >= 0) --g_DrawLayer.nCursorCount;
}
void ShowCursor() {
  while (g_DrawLayer.nCursorCount < 0) ++g_DrawLayer.nCursorCount;
}

// Present parameters of a window: the back buffer follows the client area;
// with vertical sync the display must run at 60 Hz, which the software
// device cannot change, so another rate turns vertical sync off.
void SetWindowPresentParameters(DTPRESENTPARAMETERS& pp) {
  pp.Windowed = 1;
  pp.BackBufferWidth = 0;
  pp.BackBufferHeight = 0;
  pp.FullScreen_RefreshRateInHz = 0;
  if (g_DrawLayer.bVSync) {
    if (g_DrawLayer.nDisplayRefreshRate != 60) ReportPrintfLog("ChangeDisplaySettings != DISP_CHANGE_SUCCESSFUL");
    ReportPrintfLog("RefreshRate : %d", g_DrawLayer.nDisplayRefreshRate);
    if (g_DrawLayer.nDisplayRefreshRate != 60) {
      g_DrawLayer.bVSync = 0;
      ReportPrintfLog("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
    }
  }
  pp.PresentationInterval = g_DrawLayer.bVSync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
}

void SetFullScreenPresentParameters(DTPRESENTPARAMETERS& pp, int width, int height) {
  pp.Windowed = 0;
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.FullScreen_RefreshRateInHz = 60;
  pp.PresentationInterval = g_DrawLayer.bVSync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
}

// The device's back buffer wrapped as BackBuffer: a render target that is
// not a texture.
void WrapDeviceBackBuffer(int width, int height) {
  BackBuffer.lpDT = std::make_unique<DTDATA>();
  DTDATA& dt = *BackBuffer.lpDT;
  BackBuffer.nWidth = BackBuffer.nTexWidth = width;
  BackBuffer.nHeight = BackBuffer.nTexHeight = height;
  BackBuffer.dwDDMemory = 0;
  BackBuffer.szName = "BackBuffer";
  dt.dtMemoryType = DTMEMORYTYPE_VIDEO_RT;
  dt.bColorKey = 0;
  dt.bRenderTarget = 1;
  dt.dwSerial = 0;
  dt.lpSurface = &g_DrawLayer.d3dBackBuffer;
  dt.desc = {lpDTCon->CreatedBackBufferFormat, width, height};
}

void ReleaseFixedRows() {
  for (int i = 0; i < g_DrawLayer.nSurfaceRows; ++i) DDReleaseSurface(&g_DrawLayer.lpSurfaceArray[i]);
}

}  // namespace

void DDSetPresenter(plat::cPresenter* presenter) { g_InstalledPresenter = presenter; }

plat::cPresenter* DDGetPresenter() { return g_InstalledPresenter ? g_InstalledPresenter : &DefaultPresenter(); }

void DDSetDisplayRefreshRate(int hz) { g_DrawLayer.nDisplayRefreshRate = hz; }

void DDSetDriverVersionQueryForTests(int (*query)()) { g_DriverVersionQuery = query; }

bool DDInit(int bD3D, HWND hWnd, int nWidth, int nHeight, int nBpp, int bVSync, int bWindowMode,
            int nBackBufferSel, int nRefreshRate, int bVSync2, DDSURFACEDATA* lpSurfaces,
            DDSURFACEDEF* lpSurfaceDefs, int nRows, int /*nSpare*/) {
  g_DrawLayer.bD3D = bD3D;
  g_DrawLayer.hWnd = hWnd;
  g_DrawLayer.nWidth = nWidth;
  g_DrawLayer.nHeight = nHeight;
  g_DrawLayer.nRequestedBpp = nBpp;
  g_DrawLayer.nBpp = DrawingDepth(nBpp, bD3D, bWindowMode);
  g_DrawLayer.nBytesPerPixel = g_DrawLayer.nBpp / 8;
  g_DrawLayer.bWindowMode = bWindowMode;
  g_DrawLayer.nBackBufferSel = nBackBufferSel;
  g_DrawLayer.bVSync = bVSync;
  g_DrawLayer.nRefreshRate = nRefreshRate;
  g_DrawLayer.bVSync2 = bVSync2;
  g_DrawLayer.lpSurfaceArray = lpSurfaces;
  g_DrawLayer.lpSurfaceDefs = lpSurfaceDefs;
  g_DrawLayer.nSurfaceRows = lpSurfaces ? nRows : 0;
  ReportPrintfLog("VSync : %d", bVSync);

  if (bD3D) {
    if (!DDInitD3D(hWnd, nWidth, nHeight, nBpp, nBackBufferSel)) return false;
  } else {
    // The objects of an earlier start go before the new context is made, so
    // releasing them cannot take the new context with them.
    if (g_DrawLayer.bInitializedBefore) DDRelease();
    lpDDCon = new DDCONTEXT{};
    const int code = bWindowMode == 0 ? DDInitFullScreen(hWnd, nWidth, nHeight, nBpp, nBackBufferSel)
                                      : DDInitWindow(hWnd);
    if (!DDInitErrorMessage(code)) return false;
  }
  g_DrawLayer.bInitialized = 1;
  g_DrawLayer.bInitializedBefore = 1;
  // Full screen is the desktop's whole screen with the frame scaled into it.
  DDGetPresenter()->SetFullScreen(bWindowMode == 0);
  InstallDrawLayerServices();
  return true;
}

int DDInitD3D(HWND /*hWnd*/, int nWidth, int nHeight, int nBpp, int /*nBackBufferSel*/) {
  const int version = DriverVersion();
  if (version < 9) {
    ReportPrintfLog("ビデオカードのドライバがDirectX9をサポートしていません！ %d", version);
    return 0;
  }
  g_DrawLayer.bDirect3D = true;

  lpDTCon = new DTCONTEXT{};
  lpDTCon->dwAlphaOp = D3DTOP_MODULATE;  // until the reset below
  DTPRESENTPARAMETERS& pp = lpDTCon->d3dpp;
  if (g_DrawLayer.bWindowMode != 0) {
    SetWindowPresentParameters(pp);
  } else {
    SetFullScreenPresentParameters(pp, nWidth, nHeight);
  }

  lpDTCon->Adapter = 0;
  lpDTCon->DeviceType = 1;
  lpDTCon->Caps = SoftwareDeviceCaps();
  pp.SwapEffect = (lpDTCon->Caps.Caps3 & 0x20u) ? 1u : 3u;
  lpDTCon->bTexturePow2 = (lpDTCon->Caps.TextureCaps & 0x2u) ? 1 : 0;
  lpDTCon->bTextureSquare = (lpDTCon->Caps.TextureCaps & 0x20u) ? 1 : 0;
  lpDTCon->bDynamicTextures = (lpDTCon->Caps.Caps2 & 0x20000000u) ? 1 : 0;

  // 16 bits are drawn at 32: both get the 32-bit formats.
  if (nBpp != 16 && nBpp != 32) return 0;
  lpDTCon->BackBufferFormat = DTFMT_X8R8G8B8;
  lpDTCon->TextureFormat = DTFMT_A8R8G8B8;
  g_PixelFormat = kFormatA8R8G8B8;

  pp.BackBufferFormat = lpDTCon->BackBufferFormat;
  pp.BackBufferCount = 1;
  pp.EnableAutoDepthStencil = 0;
  pp.AutoDepthStencilFormat = lpDTCon->BackBufferFormat;
  pp.Flags = 1;

  if (!g_DrawLayer.d3dBackBuffer.Create(nWidth, nHeight, plat::ePixelDepth::Argb32)) {
    LogPrintf("CreateDevice Err");
    return 0;
  }
  g_DrawLayer.bDevice = true;
  g_DrawLayer.bDeviceLost = false;
  g_DrawLayer.bDeviceReadyToReset = false;
  ReportPrintfLog("Device HAL-HARD");
  ReportPrintfLog("X8R8G8B8");
  lpDTCon->CreatedBackBufferFormat = pp.BackBufferFormat;

  DDSetRenderStates();
  DDResetBlendColor();
  DDResetColorOp();
  DDResetAlphaOp();

  WrapDeviceBackBuffer(nWidth, nHeight);
  lpDTCon->dwNextSerial = 1;
  lpDTCon->dwFontSerial = 0;

  DDSetVirtualBackBuffer(0);
  lpDTCon->bFlushing = 0;
  DDCreateSurface(&VirBackBuffer, nWidth, nHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  VirBackBuffer.szName = "VirBackBuffer";
  DDCreateSurface(&WorkSD, nWidth, nHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  WorkSD.szName = "WorkSD";

  if (g_DrawLayer.bWindowMode == 0) HideCursor();
  return 1;
}

int DDInitFullScreen(HWND /*hWnd*/, int nWidth, int nHeight, int nBpp, int /*nBackBufferSel*/) {
  for (DDSURFACEDATA* sd : {&Primary, &BackBuffer, &FadeBuffer}) {
    sd->nWidth = nWidth;
    sd->nHeight = nHeight;
  }
  Primary.dwDDMemory = 0;
  BackBuffer.dwDDMemory = 0;
  FadeBuffer.dwDDMemory = 1;

  g_DrawLayer.bDirectDraw = true;
  // The display offers 8, 16 (drawn at 32) and 32 bits per pixel.
  if (nBpp != 8 && nBpp != 16 && nBpp != 32) {
    ReportPrintfLog("SetDisplayMode Err");
    return DDINIT_SETDISPLAYMODE_ERR;
  }
  if (!MakeDirectDrawSurface(Primary, nWidth, nHeight)) {
    ReportPrintfLog("Primary CreateSurface Err");
    return DDINIT_CREATESURFACE_ERR;
  }
  if (!MakeDirectDrawSurface(BackBuffer, nWidth, nHeight)) {
    ReportPrintfLog("GetAttachedSurface Err");
    return DDINIT_GETATTACHEDSURFACE_ERR;
  }
  if (!DDCreateSurface(&FadeBuffer, nWidth, nHeight, 0, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0)) return DDINIT_CREATESURFACE_ERR;

  InitDirectDrawPalette(false);
  if (g_DrawLayer.nBpp > 8) DDGetPixelShifts(g_PixelFormat);
  HideCursor();
  return DDINIT_OK;
}

int DDInitWindow(HWND /*hWnd*/) {
  // The frame fills the window's client area; the presenter places it on the screen.
  g_DrawLayer.rcClient = {0, 0, g_DrawLayer.nWidth, g_DrawLayer.nHeight};
  const int width = g_DrawLayer.rcClient.right - g_DrawLayer.rcClient.left;
  const int height = g_DrawLayer.rcClient.bottom - g_DrawLayer.rcClient.top;
  for (DDSURFACEDATA* sd : {&Primary, &BackBuffer, &FadeBuffer}) {
    sd->nWidth = width;
    sd->nHeight = height;
  }
  Primary.dwDDMemory = 0;
  BackBuffer.dwDDMemory = 0;
  FadeBuffer.dwDDMemory = 1;

  g_DrawLayer.bDirectDraw = true;
  if (!MakeDirectDrawSurface(Primary, width, height)) {
    ReportPrintfLog("Primary CreateSurface Err");
    return DDINIT_CREATESURFACE_ERR;
  }
  if (!DDCreateSurface(&BackBuffer, width, height, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0)) return DDINIT_CREATESURFACE_ERR;
  if (!DDCreateSurface(&FadeBuffer, width, height, 0, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0)) return DDINIT_CREATESURFACE_ERR;

  InitDirectDrawPalette(true);
  if (g_DrawLayer.nDesktopBpp > 8) DDGetPixelShifts(g_PixelFormat);
  g_DrawLayer.bClipper = true;
  ShowCursor();
  return DDINIT_OK;
}

bool DDInitErrorMessage(int code) {
  const char* name = nullptr;
  switch (code) {
    case DDINIT_CREATEEX_ERR: name = "CREATEEX_ERR"; break;
    case DDINIT_SETCOOPLEVEL_ERR: name = "SETCOOPLEVEL_ERR"; break;
    case DDINIT_SETDISPLAYMODE_ERR: name = "SETDISPLAYMODE_ERR"; break;
    case DDINIT_CREATESURFACE_ERR: name = "CREATESURFACE_ERR"; break;
    case DDINIT_GETATTACHEDSURFACE_ERR: name = "GETATTACHEDSURFACE_ERR"; break;
    case DDINIT_CREATEPALETTE_ERR: name = "CREATEPALETTE_ERR"; break;
    case DDINIT_SETPALETTE_ERR: name = "SETPALETTE_ERR"; break;
    case DDINIT_CLIPPER_ERR: name = "CLIPPER_ERR"; break;
    case DDINIT_SETHWND_ERR: name = "SETHWND_ERR"; break;
    case DDINIT_SETCLIPPER_ERR: name = "SETCLIPPER_ERR"; break;
    default: return true;
  }
  LogPrintf("%s", name);
  return false;
}

void DDUnInit() {
  if (g_DrawLayer.bDirectDraw) {
    ReleaseFixedRows();
    g_DrawLayer.bClipper = false;
    g_DrawLayer.bPalette = false;
    DDReleaseSurface(&BackBuffer);
    DDReleaseSurface(&Primary);
    DDReleaseSurface(&FadeBuffer);
    g_DrawLayer.bDirectDraw = false;
  }
  delete lpDDCon;
  lpDDCon = nullptr;

  if (g_DrawLayer.bDirect3D) {
    ReleaseFixedRows();
    DDReleaseSurface(&WorkSD);
    DDReleaseSurface(&VirBackBuffer);
    DDReleaseSurface(&BackBuffer);
    g_DrawLayer.d3dBackBuffer.Release();
    g_DrawLayer.bDevice = false;
    g_DrawLayer.bDirect3D = false;
  }
  delete lpDTCon;
  lpDTCon = nullptr;

  g_DrawLayer.lpRenderTarget = nullptr;
  g_DrawLayer.bDeviceLost = false;
  g_DrawLayer.bDeviceReadyToReset = false;
  WithdrawDrawLayerServices();
}

void DDRelease() { DDUnInit(); }

void DDResetLayerForTests() {
  DDUnInit();
  for (DDSURFACEDATA* sd : {&BackBuffer, &VirBackBuffer, &WorkSD, &Primary, &FadeBuffer}) {
    DDReleaseSurface(sd);
    *sd = DDSURFACEDATA{};
  }
  g_DrawLayer = cDrawLayerState{};
  g_PixelFormat = {};
  g_BackBufferFormat = {};
  g_DriverVersionQuery = nullptr;
}

void DDSetRenderStates() {
  if (!g_DrawLayer.bDevice) return;
  DTRENDERSTATES& rs = g_DrawLayer.renderStates;
  rs.CullMode = 1;
  rs.ZEnable = 0;
  rs.AlphaBlendEnable = 1;
  rs.SrcBlend = 5;
  rs.DestBlend = 6;
  rs.DiffuseMaterialSource = 1;
  rs.ColorVertex = 1;
  for (int s = 0; s < 2; ++s) {
    rs.AddressU[s] = 1;
    rs.AddressV[s] = 1;
    rs.MinFilter[s] = 1;
    rs.MagFilter[s] = 1;
  }
}

void DDSetBlendColor(std::uint32_t argb) {
  if (lpDTCon) lpDTCon->dwBlendColor = argb;
}
void DDResetBlendColor() { DDSetBlendColor(0xFFFFFFFFu); }
void DDSetColorOp(std::uint32_t op) {
  if (lpDTCon) lpDTCon->dwColorOp = op;
}
void DDResetColorOp() { DDSetColorOp(D3DTOP_MODULATE); }
void DDSetAlphaOp(std::uint32_t op) {
  if (lpDTCon) lpDTCon->dwAlphaOp = op;
}
void DDResetAlphaOp() { DDSetAlphaOp(D3DTOP_SELECTARG1); }

void DDSetVirtualBackBuffer(int on) {
  if (!lpDTCon) return;
  if (lpDTCon->bVirtualBackBuffer && !on && VirBackBuffer.HasSurface()) {
    DDFlushVirtualBackBuffer(&BackBuffer, &VirBackBuffer);
  }
  lpDTCon->bVirtualBackBuffer = on;
  lpDTCon->lpRestingTarget = on ? &BackBuffer : &VirBackBuffer;
  if (lpDTCon->lpRestingTarget->HasSurface()) DDSetRenderTarget(lpDTCon->lpRestingTarget);
}

int DDMapBackBuffer(DDSURFACEDATA*& lpSD) {
  if (!lpDTCon || !lpDTCon->bVirtualBackBuffer || lpDTCon->bFlushing) return 0;
  if (lpSD != &BackBuffer) return 0;
  lpSD = &VirBackBuffer;
  return 1;
}

namespace {

// Whether the flush's quad stores its every texel with alpha 255 and the
// colour unchanged, over the whole of `dst` from the whole of `src`.
bool FlushCopiesOpaque(const plat::sStageState& stage, const DDSURFACEDATA& lpSrc, const plat::cPixelSurface& dst,
                       const plat::cPixelSurface& src) {
  const bool colourKept = stage.colorOp == D3DTOP_SELECTARG1 ||
                          (stage.colorOp == D3DTOP_MODULATE && (stage.diffuse & 0x00FFFFFFu) == 0x00FFFFFFu);
  return colourKept && stage.alphaOp == D3DTOP_DISABLE && (stage.diffuse >> 24) == 0xFF &&
         lpSrc.nWidth == src.Width() && lpSrc.nHeight == src.Height() && dst.Width() == src.Width() &&
         dst.Height() == src.Height();
}

// The flush; with a presenter, the frame is presented in the same pass where
// the flush is a plain opaque copy. True when it presented.
bool FlushVirtualBackBuffer(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, plat::cPresenter* presenter) {
  if (!lpDTCon || !lpDst || !lpSrc) return false;
  bool presented = false;
  lpDTCon->bFlushing = 1;
  DDSetAlphaOp(D3DTOP_DISABLE);
  plat::cPixelSurface* dst = lpDst->Pixels();
  plat::cPixelSurface* src = lpSrc->PixelsOwingFill();
  if (dst && src && DDBeginScene() && DDSetRenderTarget(lpDst)) {
    // The copy is a quad drawn with the current blend values and an opaque alpha.
    plat::sStageState stage;
    stage.colorOp = lpDTCon->dwColorOp;
    stage.alphaOp = lpDTCon->dwAlphaOp;
    stage.diffuse = lpDTCon->dwBlendColor;
    if (presenter && FlushCopiesOpaque(stage, *lpSrc, *dst, *src)) {
      // A colour the frame still owes (the tint) is laid row by row in the
      // same pass, into the frame as well.
      std::uint32_t lay = 0;
      const bool laying = DDTakeOwedLay(lpSrc, lay);
      lpSrc->Pixels();
      presented = presenter->PresentCopying(*src, *dst, [&](int row) {
        if (laying) DDLayRow(*src, row, lay);
      });
      if (!presented && laying && DDOweLay(lpSrc, lay)) lpSrc->Pixels();
    }
    if (!presented) {
      lpSrc->Pixels();
      plat::DrawTexturedRect(*dst, 0, 0, lpSrc->nWidth, lpSrc->nHeight, src, 0, 0, lpSrc->nWidth, lpSrc->nHeight,
                             stage);
    }
    if (lpDTCon->lpRestingTarget) DDSetRenderTarget(lpDTCon->lpRestingTarget);
  }
  DDResetAlphaOp();
  lpDTCon->bFlushing = 0;
  return presented;
}

}  // namespace

void DDFlushVirtualBackBuffer(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc) {
  FlushVirtualBackBuffer(lpDst, lpSrc, nullptr);
}

bool DDFlushAndPresentVirtualBackBuffer(plat::cPresenter& presenter) {
  return FlushVirtualBackBuffer(&BackBuffer, &VirBackBuffer, &presenter);
}

void DDAdjustTextureSize(int& nWidth, int& nHeight) {
  if (!lpDTCon) return;
  const auto powerOfTwoAbove = [](int value) {
    if (value > 0 && (value & (value - 1)) == 0) return value;
    for (int bit = 30; bit >= 0; --bit) {
      if (value & (1 << bit)) return bit == 30 ? value : (1 << (bit + 1));
    }
    return 2;
  };
  if (lpDTCon->bTexturePow2) {
    nWidth = powerOfTwoAbove(nWidth);
    nHeight = powerOfTwoAbove(nHeight);
  }
  if (lpDTCon->bTextureSquare) nWidth = nHeight = std::max(nWidth, nHeight);
}

int DDCheckTextureSize(int nWidth, int nHeight) {
  if (!lpDTCon) return 1;
  int fits = 1;
  if (nWidth > lpDTCon->Caps.MaxTextureWidth) {
    ReportPrintfLog("このビデオカードでは横幅%dを超える画像はサポートされていません！", lpDTCon->Caps.MaxTextureWidth);
    fits = 0;
  }
  if (nHeight > lpDTCon->Caps.MaxTextureHeight) {
    ReportPrintfLog("このビデオカードでは縦幅%dを超える画像はサポートされていません！", lpDTCon->Caps.MaxTextureHeight);
    fits = 0;
  }
  return fits;
}

void DDSetPaletteEntries(int first, int count, const plat::sPaletteEntry* entries) {
  if (!g_DrawLayer.bPalette || !entries) return;
  for (int i = 0; i < count; ++i) {
    const int index = first + i;
    if (index < 0 || index > 255) continue;
    g_DrawLayer.ddPalette[index] = entries[i];
  }
}

#pragma once
// The drawing layer's back ends and their contexts.
//
// The layer is one set of free DD functions over two back ends, the
// "Direct3D" road and the "DirectDraw" road, both drawing through the one
// software device (platform/SoftwareDevice.h). One road is chosen at start-up
// and kept for the run. There is no table of functions: every DD function
// tests lpDTCon first and takes the Direct3D road when it is set, otherwise
// the DirectDraw road. At most one of lpDTCon and lpDDCon is set; both are
// null before DDInit and after DDUnInit.
//
// A call that the running back end does not support writes one line ending
// in "は未対応" to the debug log and returns a fixed value; setters and batch
// calls of the other back end do nothing and write nothing.
//
// Depths: the layer draws at 32 bits per pixel, or at 8 (DirectDraw full
// screen only) with palette indices in the surfaces. A 16-bit request is
// accepted and drawn at 32 bits: g_DrawLayer.nBpp then reads 32 and
// g_DrawLayer.nRequestedBpp 16.

#include <cstdint>
#include <string>

#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "graphics/SurfaceDef.h"
#include "platform/PixelSurface.h"
#include "platform/WinTypes.h"

namespace plat {
class cPresenter;
}

// A colour as blue, green, red bytes.
struct RGBTRIPLE {
  std::uint8_t rgbtBlue = 0;
  std::uint8_t rgbtGreen = 0;
  std::uint8_t rgbtRed = 0;
};

struct DDRECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// Texture-stage operations as the contexts store them (the device's numbering).
constexpr std::uint32_t D3DTOP_DISABLE = 1;
constexpr std::uint32_t D3DTOP_SELECTARG1 = 2;
constexpr std::uint32_t D3DTOP_SELECTARG2 = 3;
constexpr std::uint32_t D3DTOP_MODULATE = 4;
constexpr std::uint32_t D3DTOP_ADD = 7;
constexpr std::uint32_t D3DTOP_SUBTRACT = 10;

// What the device was created with and is reset with.
struct DTPRESENTPARAMETERS {
  std::int32_t BackBufferWidth = 0;   // 0 in a window: the client area
  std::int32_t BackBufferHeight = 0;
  std::int32_t BackBufferFormat = 0;
  std::uint32_t BackBufferCount = 0;
  std::uint32_t SwapEffect = 0;       // 1 discard, 3 copy
  std::int32_t Windowed = 0;
  std::int32_t EnableAutoDepthStencil = 0;
  std::int32_t AutoDepthStencilFormat = 0;
  std::uint32_t Flags = 0;            // 1: lockable back buffer
  std::uint32_t FullScreen_RefreshRateInHz = 0;
  std::uint32_t PresentationInterval = 0;  // 0 synchronised, 0x80000000 immediate
};

constexpr std::uint32_t D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr std::uint32_t D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

// The device's capabilities as the layer reads them.
struct DTCAPS {
  std::uint32_t TextureCaps = 0;  // 0x2 power of two, 0x20 square only
  std::uint32_t Caps2 = 0;        // 0x20000000 dynamic textures
  std::uint32_t Caps3 = 0;        // 0x20 alpha full-screen flip or discard
  std::int32_t MaxTextureWidth = 0;
  std::int32_t MaxTextureHeight = 0;
  std::int32_t MaxTextureBlendStages = 0;
  std::int32_t MaxSimultaneousTextures = 0;
};

// The fixed render and sampler states (DDSetRenderStates).
struct DTRENDERSTATES {
  std::uint32_t CullMode = 0;          // 1 none
  std::uint32_t ZEnable = 0;
  std::uint32_t AlphaBlendEnable = 0;
  std::uint32_t SrcBlend = 0;          // 5 source alpha
  std::uint32_t DestBlend = 0;         // 6 inverse source alpha
  std::uint32_t DiffuseMaterialSource = 0;
  std::uint32_t ColorVertex = 0;
  std::uint32_t AddressU[2] = {0, 0};  // samplers 0 and 1: 1 wrap
  std::uint32_t AddressV[2] = {0, 0};
  std::uint32_t MinFilter[2] = {0, 0}; // 1 point
  std::uint32_t MagFilter[2] = {0, 0};
};

// The Direct3D context, behind lpDTCon.
struct DTCONTEXT {
  std::int32_t BackBufferFormat = 0;  // 22 X8R8G8B8; at 16 bits 23 R5G6B5 (full screen), 25 A1R5G5B5 (window)
  std::int32_t TextureFormat = 0;     // 21 A8R8G8B8; 25 A1R5G5B5 at 16 bits
  DTPRESENTPARAMETERS d3dpp;
  std::uint32_t Adapter = 0;
  std::int32_t DeviceType = 1;        // HAL
  std::int32_t CreatedBackBufferFormat = 0;
  DTCAPS Caps;
  std::uint32_t bTexturePow2 = 0;     // textures must be powers of two
  std::uint32_t bTextureSquare = 0;   // textures must be square
  std::uint32_t bDynamicTextures = 0;
  std::int32_t bVirtualBackBuffer = 0;
  // The render target every drawing path sets back after drawing into another
  // surface: BackBuffer while the virtual back buffer is on, VirBackBuffer
  // while it is off.
  DDSURFACEDATA* lpRestingTarget = nullptr;
  std::int32_t bFlushing = 0;         // 1 while VirBackBuffer is copied to BackBuffer
  RGBTRIPLE rgbTransmit;              // the transparent colour
  RGBTRIPLE rgbTransmit16;            // the texture loader's key triple at 16 bits
  std::uint32_t dwTransparent = 0;    // what transparent texels hold: always 0
  std::uint32_t dwOpaqueTransmit = 0; // 0xFF000000 with the transparent red, green, blue
  std::uint16_t wTransparent16 = 0;   // always 0
  std::uint16_t wTransmit_16 = 0;     // the transparent colour in A1R5G5B5 with the alpha bit
  std::int32_t bInScene = 0;
  std::uint32_t dwBlendColor = 0xFFFFFFFF;  // diffuse of the following textured blits
  std::uint32_t dwColorOp = D3DTOP_MODULATE;
  std::uint32_t dwAlphaOp = D3DTOP_MODULATE;  // 2 after DDResetAlphaOp; 1 = opaque
  std::uint32_t dwNextSerial = 1;
  std::uint32_t dwFontSerial = 0;
  // Shown in an error box when a texture cannot be created (empty: no box);
  // the start-up stores its advice to turn Direct3D off here.
  std::string szTextureFailMessage;
};

// The DirectDraw context, behind lpDDCon.
struct DDCONTEXT {
  RGBTRIPLE rgbTransmit;    // the transparent colour
  std::uint8_t spare1 = 0;
  RGBTRIPLE rgbTransmit16;  // the 16-bit bitmap conversion's key triple
  std::uint8_t spare2 = 0;
  std::uint32_t dwFontSerial = 0;
};

extern DTCONTEXT* lpDTCon;
extern DDCONTEXT* lpDDCon;

// The layer's state: what DDInit was given and what the back end made.
struct cDrawLayerState {
  std::int32_t bD3D = 0;            // 1 Direct3D
  HWND hWnd = nullptr;
  std::int32_t nWidth = 0;          // screen size in pixels
  std::int32_t nHeight = 0;
  std::int32_t nBpp = 0;            // the depth drawn at: 8 or 32
  std::int32_t nRequestedBpp = 0;   // the depth asked for (8, 16 or 32)
  std::int32_t nBytesPerPixel = 0;  // nBpp / 8
  std::int32_t bWindowMode = 0;     // 0 full screen, 1 window
  std::int32_t nBackBufferSel = 0;
  std::int32_t bVSync = 0;
  std::int32_t nRefreshRate = 0;    // wanted refresh rate in Hz
  std::int32_t bVSync2 = 0;         // refresh request in DirectDraw full screen
  DDSURFACEDATA* lpSurfaceArray = nullptr;  // the fixed surfaces and their definitions
  DDSURFACEDEF* lpSurfaceDefs = nullptr;
  std::int32_t nSurfaceRows = 0;
  std::int32_t bInitialized = 0;
  std::uint8_t bInitializedBefore = 0;
  std::uint32_t dwColorKey = 0;     // the colour-key pixel value (DDSetTransmit)

  // What stands for the objects of the back ends.
  bool bDirect3D = false;           // the Direct3D object exists
  bool bDevice = false;             // the device exists
  bool bDirectDraw = false;         // the DirectDraw object exists
  bool bClipper = false;
  bool bPalette = false;
  plat::DisplayPalette ddPalette{}; // the DirectDraw palette (shown at 8 bits)
  plat::cPixelSurface d3dBackBuffer;  // the device's back buffer
  DDSURFACEDATA* lpRenderTarget = nullptr;  // the device's render target 0
  DTRENDERSTATES renderStates;
  DDRECT rcClient;                    // DirectDraw window: client area in screen coordinates
  std::int32_t nDesktopBpp = 32;
  std::int32_t nDisplayRefreshRate = 60;  // what the display runs at
  std::int32_t nCursorCount = 0;    // ShowCursor's display count
  bool bWindowMinimized = false;

  // Device loss (only ever simulated: a software device is never lost).
  bool bDeviceLost = false;         // Direct3D: Present fails until a reset
  bool bDeviceReadyToReset = false; // Direct3D: TestCooperativeLevel answers "not reset"
};
extern cDrawLayerState g_DrawLayer;

// The layer's surfaces.
extern DDSURFACEDATA BackBuffer;     // the frame every scene draws into
extern DDSURFACEDATA VirBackBuffer;  // Direct3D: stands for BackBuffer while the virtual back buffer is on
extern DDSURFACEDATA WorkSD;         // Direct3D: a screen-size render target for effects
extern DDSURFACEDATA Primary;        // DirectDraw: the primary surface
extern DDSURFACEDATA FadeBuffer;     // DirectDraw: a screen-size system-memory surface for fades

// Texture and DirectDraw pixel formats; the Direct3D 16-bit back-buffer format.
extern PIXELFORMATDESC g_PixelFormat;
extern PIXELFORMATDESC g_BackBufferFormat;

// The presenter frames go to. Install it before DDInit (the shell installs its
// window's presenter); without one DDInit makes a presenter without a window.
// The caller keeps ownership; nullptr goes back to that default.
void DDSetPresenter(plat::cPresenter* presenter);
plat::cPresenter* DDGetPresenter();

// The refresh rate the display runs at, as the shell learns it from the
// window system (60 until told).
void DDSetDisplayRefreshRate(int hz);

// Starts the chosen back end. The start-up calls it with (System.ini choice,
// main window, 640, 480, depth, VSync, window mode, 1, 60, VSync, the fixed
// surfaces, their definitions, 71, 0). On success it installs the display
// services for the core (see DisplayServices.h).
bool DDInit(int bD3D, HWND hWnd, int nWidth, int nHeight, int nBpp, int bVSync, int bWindowMode,
            int nBackBufferSel, int nRefreshRate, int bVSync2, DDSURFACEDATA* lpSurfaces,
            DDSURFACEDEF* lpSurfaceDefs, int nRows, int nSpare);
int DDInitD3D(HWND hWnd, int nWidth, int nHeight, int nBpp, int nBackBufferSel);
int DDInitFullScreen(HWND hWnd, int nWidth, int nHeight, int nBpp, int nBackBufferSel);
int DDInitWindow(HWND hWnd);

// Init error codes of DDInitFullScreen and DDInitWindow.
enum eDDInitError : int {
  DDINIT_OK = 0,
  DDINIT_CREATEEX_ERR = 1,
  DDINIT_SETCOOPLEVEL_ERR = 2,
  DDINIT_SETDISPLAYMODE_ERR = 3,
  DDINIT_CREATESURFACE_ERR = 4,
  DDINIT_GETATTACHEDSURFACE_ERR = 5,
  DDINIT_CREATEPALETTE_ERR = 6,
  DDINIT_SETPALETTE_ERR = 7,
  DDINIT_CLIPPER_ERR = 10,
  DDINIT_SETHWND_ERR = 11,
  DDINIT_SETCLIPPER_ERR = 12,
};
// Writes the code's name to the debug log; false for the codes above, true
// for any other value (0 included).
bool DDInitErrorMessage(int code);

// Releases everything the back end made; the contexts become null and the
// display services are withdrawn. DDRelease is the same operation.
void DDUnInit();
void DDRelease();

// Everything DDUnInit leaves behind goes back to its state at process start
// (the layer's state, the pixel formats, the driver-version hook). Tests only.
void DDResetLayerForTests();

// Test hook: the driver-interface version DDInitD3D checks (9 or more is
// needed). Null goes back to the system report's answer.
void DDSetDriverVersionQueryForTests(int (*query)());

void DDSetRenderStates();

// The blend values of the following textured blits and sprite requests
// (Direct3D; without a context they do nothing). Callers bracket a group of
// draws with a setter and its reset.
void DDSetBlendColor(std::uint32_t argb);
void DDResetBlendColor();  // 0xFFFFFFFF
void DDSetColorOp(std::uint32_t op);
void DDResetColorOp();     // modulate (4)
void DDSetAlphaOp(std::uint32_t op);
void DDResetAlphaOp();     // select texture (2); 1 draws opaque

// The virtual back buffer (Direct3D): while it is on, drawing aimed at
// BackBuffer goes to VirBackBuffer; turning it off copies VirBackBuffer back.
void DDSetVirtualBackBuffer(int on);
// Replaces a pointer to BackBuffer by VirBackBuffer while the virtual back
// buffer is on (not while it is being flushed); 1 when it replaced it.
int DDMapBackBuffer(DDSURFACEDATA*& lpSD);
void DDFlushVirtualBackBuffer(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc);
// The flush of VirBackBuffer into BackBuffer at the end of a frame, with the
// frame handed to the presenter in the same pass where the flush copies it
// unchanged but for an opaque alpha (the current blend values leave the
// colour as it is). True when it presented the frame; false when it only
// flushed, and the caller presents BackBuffer.
bool DDFlushAndPresentVirtualBackBuffer(plat::cPresenter& presenter);

// Texture-size rules of the device: powers of two and squares when the device
// asks for them; sizes above the maximum are reported (0) but still created.
void DDAdjustTextureSize(int& nWidth, int& nHeight);
int DDCheckTextureSize(int nWidth, int nHeight);

// The DirectDraw palette: `count` entries from `first` take the given
// colours (clipped to the 256 entries). Nothing without the palette.
void DDSetPaletteEntries(int first, int count, const plat::sPaletteEntry* entries);

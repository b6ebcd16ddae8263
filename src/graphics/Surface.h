#pragma once
// DDSURFACEDATA: every picture the drawing layer draws from or into, on either
// back end, with the sizes, file name and memory choices needed to create it
// again; its two back-end records; the list of every surface that owns a
// texture; the lock guard through which per-pixel code reaches the pixels;
// the surface containers of the scenes; and empty-surface creation and release.
//
// Ownership: a record owns its back-end record, which owns its pixels. A
// released surface has no back-end record, and everything that asks whether
// it exists (HasSurface, the lock guard, the drawing calls) sees "not
// created". Records can be moved (the containers grow) but not copied; a move
// carries the texture-list entry along, so the list never points at a record
// that moved or died. A record that dies releases what it owns.
//
// Which members other code reads:
//   HasSurface()            whether the surface exists now
//   nWidth, nHeight         the requested size: what callers see and clip to
//   bLost                   set when the contents were lost and the surface was
//                           created again (empty, or reloaded from its file);
//                           the owner redraws and clears it
//   lpDT / lpDD             the back-end record of the running back end
//   lpPrimary               for a copy row: the row it copies (under Direct3D it
//                           owns no texture and is drawn through its primary)

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/SafeList.h"
#include "core/SafeVector.h"
#include "graphics/SurfaceDef.h"
#include "platform/PixelSurface.h"

// Direct3D surface formats the layer uses (the device's own numbering).
enum DTFORMAT : std::int32_t {
  DTFMT_UNKNOWN = 0,
  DTFMT_A8R8G8B8 = 21,
  DTFMT_X8R8G8B8 = 22,
  DTFMT_R5G6B5 = 23,
  DTFMT_A1R5G5B5 = 25,
};

// Level-0 description of a texture (or of the device's back buffer).
struct DTSURFACEDESC {
  std::int32_t Format = DTFMT_UNKNOWN;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// The Direct3D record of a surface. The software device draws quads straight
// from the texture, so there is neither a per-surface vertex buffer nor a
// system-memory twin for render targets: a lock reaches a render target's
// pixels directly, which is what the read-back and write-back came to.
struct DTDATA {
  std::uint32_t dwSerial = 0;  // the context's next serial at creation; 0 for BackBuffer
  // The level-0 surface: the texture's pixels, or for BackBuffer the device's
  // back buffer. Null while no texture exists (not created, or released for a
  // device reset).
  plat::cPixelSurface* lpSurface = nullptr;
  std::unique_ptr<plat::cPixelSurface> lpTexture;  // owned texture (BackBuffer owns none)
  DTSURFACEDESC desc;
  std::int32_t dtMemoryType = DTMEMORYTYPE_VIDEO_RT;
  std::uint32_t bColorKey = 0;      // the caller asked for the transparent colour
  std::uint32_t bRenderTarget = 0;  // drawn into with quads; new ones are cleared
  std::vector<std::uint8_t> palIndexMap;  // empty: no map
  // A fill of the whole texture that is not written yet. A full-surface fill
  // is mostly followed by a quad over the same pixels (a cleared work
  // surface that the frame is copied into, a cleared frame that is drawn back
  // shifted), so the fill waits and goes into that quad's own pass
  // (DTDrawQuadNow), or is written by Pixels() before anything else reaches
  // the pixels. A new system-memory texture owes its zeros; any other new
  // texture owes nothing.
  bool bOwedFill = false;
  std::uint32_t dwOwedFill = 0;  // the value every pixel takes
  // Likewise a colour laid over the whole texture (blended by its alpha) and
  // not laid yet, after the owed fill if there is one: the screen's tint,
  // which the end of the frame lays in the pass that presents it.
  bool bOwedLay = false;
  std::uint32_t dwOwedLay = 0;  // ARGB
};

// The DirectDraw record of a surface. Every live record is known to the
// layer (a display change reaches all of them).
struct DDDATA {
  DDDATA();
  ~DDDATA();
  DDDATA(const DDDATA&) = delete;
  DDDATA& operator=(const DDDATA&) = delete;

  std::unique_ptr<plat::cPixelSurface> lpSurface;  // the off-screen (or primary, back) surface
  std::uint32_t bSystemMemory = 0;  // the surface lives in system memory
  std::uint32_t bHasColorKey = 0;  // a source colour key was set on the surface
  std::uint32_t dwColorKey = 0;    // its value: the colour-key pixel value at creation
  // The surface's memory was lost (display-mode change, focus loss); Restore
  // gives the memory back and leaves the contents to the owner.
  std::uint32_t bSurfaceLost = 0;
  std::vector<std::uint8_t> palIndexMap;  // empty: no map
};

struct DDSURFACEDATA {
  std::unique_ptr<DTDATA> lpDT;  // Direct3D record; null until first creation, and after release
  std::unique_ptr<DDDATA> lpDD;  // DirectDraw record; likewise
  std::string szName;            // "OffScreen", "OffScreenFromFile", "BackBuffer", ...
  std::int32_t nWidth = 0;       // requested size: what callers see and clip to
  std::int32_t nHeight = 0;
  std::int32_t nTexWidth = 0;    // size of the texture actually made (the requested size under DirectDraw)
  std::int32_t nTexHeight = 0;
  std::string szFile;            // bitmap file, or "E" / "" for an empty surface
  std::uint32_t dwDDMemory = 0;  // 0 video, 1 system (the memory actually used)
  std::int32_t nMirrorW = 0;     // mirror cells (0: not mirrored on that axis)
  std::int32_t nMirrorH = 0;
  DDSURFACEDATA* lpPrimary = nullptr;  // copy rows: the surface this one copies
  std::uint32_t bLost = 0;       // contents lost and created again; the owner redraws

  DDSURFACEDATA() = default;
  ~DDSURFACEDATA();
  DDSURFACEDATA(const DDSURFACEDATA&) = delete;
  DDSURFACEDATA& operator=(const DDSURFACEDATA&) = delete;
  DDSURFACEDATA(DDSURFACEDATA&& other) noexcept;
  DDSURFACEDATA& operator=(DDSURFACEDATA&& other) noexcept;

  // True when the surface exists on the running back end: a Direct3D record
  // with its level-0 surface (a copy row: its primary's), or a DirectDraw
  // record with its surface.
  bool HasSurface() const;
  // The pixels drawing reads and writes: the level-0 surface (through the
  // primary for a Direct3D copy row) or the DirectDraw surface; null when none.
  // A fill the texture owes is written first.
  plat::cPixelSurface* Pixels() const;
  // The same pixels with an owed fill still owed: for the fill that replaces
  // it and the quad that takes it into its pass, nothing else.
  plat::cPixelSurface* PixelsOwingFill() const;
};

// Direct3D: lets a render target that owns its texture owe a fill of its
// every pixel with `value` (raw, as FillRect writes it) instead of writing it
// now, replacing any fill it owed. False, owing nothing, for any other
// surface: the caller then fills at once.
bool DDOweFill(DDSURFACEDATA* lpSD, std::uint32_t value);
// Takes the fill the pixels of lpSD owe off the surface without writing it:
// true with its value in `value` when one was owed and no colour is owed
// over it.
bool DDTakeOwedFill(DDSURFACEDATA* lpSD, std::uint32_t& value);
// Direct3D: lets a render target that owns its texture owe the colour `argb`
// laid over its every pixel (a quad of that colour blended by its alpha),
// after writing what it owed before. False, owing nothing, for any other
// surface: the caller then lays the colour at once.
bool DDOweLay(DDSURFACEDATA* lpSD, std::uint32_t argb);
// Takes the colour lpSD owes laid over its pixels (and nothing else) off the
// surface without laying it: true with the colour in `argb` when one was.
bool DDTakeOwedLay(DDSURFACEDATA* lpSD, std::uint32_t& argb);
// Lays `argb` over the pixels of one row, as an owed lay lays it.
void DDLayRow(plat::cPixelSurface& pixels, int row, std::uint32_t argb);

// Every live DirectDraw record, in creation order.
const std::vector<DDDATA*>& DDLiveDirectDrawRecords();

// Every surface that got a texture of its own outside a device restore; the
// Direct3D restore walks it. Entries leave when their surface is released.
extern std::vector<DDSURFACEDATA*>& g_TextureList;

// Surface containers of the scenes: element n of the surfaces belongs to
// element n of the definitions.
using DDSurfaceVector = cSafeVector<DDSURFACEDATA>;
using DDSurfaceDefVector = cSafeVector<DDSURFACEDEF>;
using DDSurfaceList = cSafeList<DDSURFACEDATA>;
using DDSurfaceDefList = cSafeList<DDSURFACEDEF>;

// Makes the back-end record of the running back end when it is missing.
void DDAllocSurfaceRecord(DDSURFACEDATA* lpSD);

// An empty surface of nWidth x nHeight. key 1: colour-keyed. ddMemory: 0
// video, 1 system (DirectDraw). copy: a copy row, which under Direct3D gets no
// texture of its own. bRestore: created again after a device loss (no new
// serial, no new texture-list entry; a system-memory texture is kept).
bool DDCreateSurface(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory,
                     int dtMemoryType, std::uint32_t copy, int bRestore);
// DirectDraw: as DDCreateSurface, for a picture copied over every pixel at
// once: the surface is neither zeroed nor filled first.
bool DDCreateSurfaceForPicture(DDSURFACEDATA* lpSD, int nWidth, int nHeight, int key, std::uint32_t ddMemory);

// For the code that makes textures (empty surfaces, bitmaps): a texture of
// width x height into the record (false when it cannot be made), and what
// follows a texture that cannot be made: the context's advice in an error box
// (when the start-up left one) and the main window asked to close. A texture
// made with ePixelInit::Unset holds no known values until its maker writes
// every texel.
bool DTCreateTexture(DTDATA& dt, int width, int height, plat::ePixelInit init = plat::ePixelInit::Zeroed);
void DTTextureFailureBoxAndClose();

// Releases what the surface owns; the record keeps its sizes, file name and
// definition values so it can be created again. A null surface, or one
// released already, does nothing. A Direct3D copy row frees only its own
// record: the texture belongs to its primary.
void DDReleaseSurface(DDSURFACEDATA* lpSD);
void DDReleaseSurfaceVector(DDSurfaceVector& surfaces);
void DDReleaseSurfaceList(DDSurfaceList& surfaces);

// Append a zeroed surface with its definition {"", key, ddMemory,
// dtMemoryType, copy, the rest 0} and create it; the result is whether it was
// created (the element stays either way).
bool DDAddSurfaceVector(DDSurfaceVector& surfaces, DDSurfaceDefVector& defs, int nWidth, int nHeight, int key,
                        std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy);
bool DDAddSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, int nWidth, int nHeight, int key,
                      std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy);
// The same, inserted before element `index` of both lists: an index at or
// past the end appends, a negative one counts as 0.
bool DDInsertSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, int index, int nWidth, int nHeight,
                         int key, std::uint32_t ddMemory, int dtMemoryType, std::uint32_t copy);
// Releases the surface and removes it and the definition at the same
// position; 1 when it was found, else 0.
int DDEraseSurfaceList(DDSurfaceList& surfaces, DDSurfaceDefList& defs, DDSURFACEDATA* lpSD);

// Surface error codes: 4 CREATESURFACE_ERR, 8 LOADIMAGE_ERR, 9 SETCOLORKEY_ERR.
constexpr int DDERR_CODE_CREATESURFACE = 4;
constexpr int DDERR_CODE_LOADIMAGE = 8;
constexpr int DDERR_CODE_SETCOLORKEY = 9;
// False for the three codes above (their name goes to the debug log), true
// for anything else, 0 included.
bool DDSurfaceErrorMessage(int code);

// DirectDraw: loads the bitmap and sets *bLarger to 1 when it is wider than
// nWidth or taller than nHeight, else 0; returns 1, or 0 (flag 0) when it
// cannot be loaded. Direct3D: returns 1 at once, the flag untouched.
int DDIsBitmapLarger(std::uint32_t* bLarger, const std::string& file, int nWidth, int nHeight);

// Direct3D: a copy row becomes its primary. Nothing else changes.
void DDPrimarySurface(DDSURFACEDATA*& lpSD);

// The palette-index map: one byte per pixel holding the first g_Palette entry
// of the pixel's colour (0 when none matches). 1 on success, 0 when the
// surface cannot be locked.
int DDMakePaletteIndexMap(std::vector<std::uint8_t>& map, DDSURFACEDATA* lpSD);

// Scope guard over a locked surface. The surface actually locked is the one
// drawing would reach: a Direct3D copy row locks its primary and BackBuffer
// stands for VirBackBuffer while the virtual back buffer is on. A guard that
// could not lock holds no surface, and IsLocked() says so.
class SurfaceLock {
 public:
  explicit SurfaceLock(DDSURFACEDATA* lpSD);
  ~SurfaceLock() { Unlock(); }
  SurfaceLock(const SurfaceLock&) = delete;
  SurfaceLock& operator=(const SurfaceLock&) = delete;

  bool IsLocked() const { return m_lpSD != nullptr; }
  void Unlock();

  DDSURFACEDATA* m_lpSD = nullptr;  // the surface actually locked
  plat::sPixelLock m_Lock;          // bits, pitch in pixels, depth, size
  void* m_pBits = nullptr;
  int m_nBpp = 0;
  int m_nBytesPerPixel = 0;

  int PitchBytes() const { return m_Lock.pitch * m_nBytesPerPixel; }
};

#pragma once
// Loading Windows bitmaps below "bmp\" into surfaces on either road, with the
// mirrored variants of character and shot sheets.
//
// Under DirectDraw every surface holds its own pixels: a mirrored row is a
// sheet of its own whose whole cells are turned over in place, a system-memory
// copy row a sheet of its own. Under Direct3D a copy row (bCopy) gets the
// bitmap's size and no texture: it is drawn through the row it copies, and a
// mirrored copy row mirrors only the source rectangles taken from it, so its
// primary's texture is never turned over.
//
// Direct3D file textures always get the transparent colour as the loader's
// colour key, whatever the key argument: texels of that colour become
// transparent black (ARGB 0).

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "graphics/Surface.h"
#include "platform/BmpDecoder.h"

// While one is open on this thread, every bitmap file read for a surface is
// read and decoded once: the surfaces a stage start makes from one file (a
// sheet, its mirrored row, their system-memory copies, the size check of a
// background before its load) share the picture, and a file that cannot be
// read or decoded is tried once. The pictures go when the outermost one
// closes, so nothing is kept from one stage start to the next and a file
// changed on disk is read again. One opened inside another adds nothing.
class cBitmapReadOnce {
 public:
  cBitmapReadOnce();
  ~cBitmapReadOnce();
  cBitmapReadOnce(const cBitmapReadOnce&) = delete;
  cBitmapReadOnce& operator=(const cBitmapReadOnce&) = delete;

 private:
  friend std::shared_ptr<const plat::sBmpImage> LoadSurfaceBitmap(const std::string& file);
  bool m_bOuter = false;
  std::map<std::string, std::shared_ptr<const plat::sBmpImage>> m_Pictures;
};

// The decoded picture of a bitmap file named in program form, or null when it
// cannot be read or decoded; shared with the open cBitmapReadOnce, if any.
std::shared_ptr<const plat::sBmpImage> LoadSurfaceBitmap(const std::string& file);

// 0 on success; 4 the surface could not be created; 8 the bitmap could not be
// loaded or copied; 1 the mirrored copy failed; or the negative result of a
// failed texture creation.
int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const std::string& file, int key, int bpp, std::uint32_t ddMemory,
                            int dtMemoryType, std::uint32_t copy, std::uint32_t bPalMap, int mirrorW, int mirrorH,
                            int bRestore);

// DirectDraw: copies the bitmap into the surface (palette indices at 8 bits,
// colours at 32), turning whole mirror cells over in place. True at once under
// Direct3D or for an empty file name.
bool CopyBitmap(DDSURFACEDATA* lpSD, const std::string& file, int bpp, std::uint32_t bPalMap, int mirrorW,
                int mirrorH);

// Direct3D: draws each whole mirrorW-wide cell of the source turned over into
// the same place of the destination. Nothing (true) without a context, with
// mirrorW 0, or with mirrorH set (vertical mirroring is not made here).
bool CreateMirror(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, int mirrorW, int mirrorH);

// DirectDraw: copies the surface's own file again with its mirror cells; 1 on
// success. Direct3D: 1 at once.
int DDReloadBitmap(DDSURFACEDATA* lpSD, int bpp);

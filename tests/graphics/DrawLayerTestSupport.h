#pragma once
// A running drawing layer on either road for the tests of the drawing calls:
// a small screen, a null presenter, the transparent colour magenta, and
// helpers to make marked source pictures and read the results.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/DrawContext.h"
#include "graphics/FillBatch.h"
#include "graphics/Palette.h"
#include "graphics/SpriteBatch.h"
#include "graphics/Surface.h"
#include "platform/Presenter.h"

namespace drawtest {

enum class eRoad { Direct3D, DirectDraw };

inline std::string RoadName(const testing::TestParamInfo<eRoad>& info) {
  return info.param == eRoad::Direct3D ? "Direct3D" : "DirectDraw";
}

inline constexpr std::uint8_t kKeyRed = 255, kKeyGreen = 0, kKeyBlue = 255;

// What a test target holds before drawing: a drawing that leaves a pixel
// alone leaves this.
inline constexpr std::uint32_t kBackground = 0xFF123456;
inline constexpr std::uint32_t kUntouched = 0x5A0A0B0Cu;

// Every source pixel distinct, so a misplaced, mirrored or shifted pixel
// shows: opaque, x in green, y in blue.
inline std::uint32_t Marker(int x, int y) {
  return 0xFF000000u | (static_cast<std::uint32_t>(x) & 0xFF) << 8 | (static_cast<std::uint32_t>(y) & 0xFF);
}

inline int DrawLayerDriverVersion() { return 9; }

// Starts the layer for one test and stops it again. Declare it before any
// surface of the test, so the surfaces go first.
class cTestLayer {
 public:
  explicit cTestLayer(eRoad road, int width = 64, int height = 48, bool fullScreen = false, int bpp = 32)
      : m_Road(road) {
    DDResetLayerForTests();
    DDSetDriverVersionQueryForTests(&DrawLayerDriverVersion);
    DDSetPresenter(&m_Presenter);
    m_Started = DDInit(road == eRoad::Direct3D ? 1 : 0, nullptr, width, height, bpp, 0, fullScreen ? 0 : 1, 1, 60, 0,
                       nullptr, nullptr, 0, 0);
    DDSetTransmit(kKeyRed, kKeyGreen, kKeyBlue);
  }
  ~cTestLayer() {
    // Empty, inactive batches for the next test.
    DDBeginSpriteBatch(0);
    DDFlushSpriteBatch();
    DDBeginFillBatch();
    DDFlushFillBatch();
    DDResetLayerForTests();
    DDSetPresenter(nullptr);
  }
  cTestLayer(const cTestLayer&) = delete;
  cTestLayer& operator=(const cTestLayer&) = delete;

  bool Started() const { return m_Started; }
  bool D3D() const { return m_Road == eRoad::Direct3D; }
  plat::cNullPresenter& Presenter() { return m_Presenter; }

  // What a transparent source pixel holds: alpha 0 in a texture, the colour
  // key pixel value in a DirectDraw surface.
  std::uint32_t TransparentPixel() const { return D3D() ? 0u : g_DrawLayer.dwColorKey; }

 private:
  eRoad m_Road;
  plat::cNullPresenter m_Presenter;
  bool m_Started = false;
};

inline plat::cPixelSurface& PixelsOf(DDSURFACEDATA& sd) { return *sd.Pixels(); }

// A source surface of w x h whose pixels are Marker(x, y).
inline void MakeMarkedSurface(DDSURFACEDATA& sd, int w, int h, int key = 0,
                              int memoryType = DTMEMORYTYPE_VIDEO_RT, std::uint32_t ddMemory = 0) {
  ASSERT_TRUE(DDCreateSurface(&sd, w, h, key, ddMemory, memoryType, 0, 0));
  plat::cPixelSurface& px = PixelsOf(sd);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px.SetPixel(x, y, Marker(x, y));
}

// A surface of one colour.
inline void MakeFilledSurface(DDSURFACEDATA& sd, int w, int h, std::uint32_t value, int key = 0,
                              int memoryType = DTMEMORYTYPE_VIDEO_RT) {
  ASSERT_TRUE(DDCreateSurface(&sd, w, h, key, 0, memoryType, 0, 0));
  plat::cPixelSurface& px = PixelsOf(sd);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px.SetPixel(x, y, value);
}

inline void FillAll(DDSURFACEDATA& sd, std::uint32_t value) {
  plat::cPixelSurface& px = PixelsOf(sd);
  for (int y = 0; y < px.Height(); ++y)
    for (int x = 0; x < px.Width(); ++x) px.SetPixel(x, y, value);
}

inline std::uint32_t PixelAt(DDSURFACEDATA& sd, int x, int y) { return PixelsOf(sd).GetPixel(x, y); }

inline std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0x00FFFFFFu; }

}  // namespace drawtest

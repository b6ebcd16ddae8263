#pragma once
// A fixture for tests of the drawing layer: a temporary working folder with a
// bmp\ tree for the bitmaps a test writes, a presenter without a window, a
// message-box sink that records every box, and a clean layer before and after
// each test.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "platform/AtomicFile.h"
#include "platform/BmpDecoder.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"

namespace gfxtest {

enum class eRoad { Direct3D, DirectDraw };

inline const char* RoadName(eRoad road) { return road == eRoad::Direct3D ? "Direct3D" : "DirectDraw"; }

struct sBox {
  std::string text;
  std::string caption;
};

class cDrawLayerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    m_OldDir = std::filesystem::current_path();
    m_Dir = std::filesystem::temp_directory_path() /
            ("kestrova_gfx_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(m_Dir / "bmp" / "plt");
    std::filesystem::current_path(m_Dir);
    ResetLayer();
    DDSetPresenter(&m_Presenter);
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT) {
      m_Boxes.push_back({text, caption});
      return IDOK;
    });
  }

  void TearDown() override {
    ResetLayer();
    DDSetPresenter(nullptr);
    plat::SetMessageBoxSink({});
    std::filesystem::current_path(m_OldDir);
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  static void ResetLayer() {
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    DDResetLayerForTests();
    g_SurfaceDef = MakeFixedSurfaceTable();
    LinkMirrorSurfaces();
    g_Palette = {};
    g_PaletteWork = {};
    ResetPaletteAnimationForTests();
  }

  // Starts a road at 640 x 480 with vertical sync on (no pacing waits).
  bool Start(eRoad road, int bpp = 32, int windowMode = 1) {
    return DDInit(road == eRoad::Direct3D ? 1 : 0, nullptr, 640, 480, bpp, 1, windowMode, 1, 60, 1,
                  g_SurfaceData.data(), g_SurfaceDef.data(), kSurfaceTableRows, 0);
  }

  // Helpers a test's own functions may use.
 public:
  // Writes a bitmap below the working folder; `path` uses slashes.
  void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path full = m_Dir / path;
    std::filesystem::create_directories(full.parent_path());
    std::string error;
    ASSERT_TRUE(plat::WriteFileAtomically(full.string(), bytes, &error)) << error;
  }
  void WriteBmp24(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels) {
    WriteFile(path, plat::EncodeBmp24(width, height, pixels));
  }
  void WriteBmp8(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
                 const std::vector<plat::sPaletteEntry>& palette) {
    WriteFile(path, plat::EncodeBmp8(width, height, indices, palette));
  }

  // A picture in which every pixel has its own colour: 0x00RRGGBB with x in
  // red and y in green (blue 0x40 keeps it off black).
  static std::vector<std::uint32_t> DistinctPixels(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        pixels[static_cast<std::size_t>(y) * width + x] =
            static_cast<std::uint32_t>(x & 0xFF) << 16 | static_cast<std::uint32_t>(y & 0xFF) << 8 | 0x40u;
    return pixels;
  }

  static std::uint32_t PixelOf(const DDSURFACEDATA& sd, int x, int y) {
    const plat::cPixelSurface* pixels = sd.Pixels();
    return pixels ? pixels->GetPixel(x, y) : 0xDEADBEEFu;
  }

  std::filesystem::path m_Dir;
  std::filesystem::path m_OldDir;
  plat::cNullPresenter m_Presenter;
  std::vector<sBox> m_Boxes;
};

// The same fixture, run once per road.
class cDrawLayerRoadTest : public cDrawLayerFixture, public ::testing::WithParamInterface<eRoad> {};

inline std::string RoadParamName(const ::testing::TestParamInfo<eRoad>& info) { return RoadName(info.param); }

}  // namespace gfxtest

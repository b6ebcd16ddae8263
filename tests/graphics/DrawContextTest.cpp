// Starting and stopping the two back ends, the fallback from Direct3D to
// DirectDraw, the render-state setters, the virtual back buffer, the texture
// size rules and the description the core reads.

#include <algorithm>

#include "DrawLayerFixture.h"
#include "core/SystemReport.h"
#include "graphics/DrawLayerServices.h"
#include "graphics/Scene.h"
#include "graphics/SurfaceFill.h"

namespace gfxtest {
namespace {

struct sStartCase {
  eRoad road;
  int windowMode;
};

class DrawContextStartTest : public cDrawLayerFixture, public ::testing::WithParamInterface<sStartCase> {};

TEST_P(DrawContextStartTest, StartsOneRoadAndStopsCleanly) {
  const sStartCase c = GetParam();
  ASSERT_TRUE(Start(c.road, 32, c.windowMode));

  const bool d3d = c.road == eRoad::Direct3D;
  EXPECT_EQ(lpDTCon != nullptr, d3d);
  EXPECT_EQ(lpDDCon != nullptr, !d3d);
  EXPECT_EQ(g_DrawLayer.bInitialized, 1);
  EXPECT_EQ(DDGetPresenter()->IsFullScreen(), c.windowMode == 0) << "the presenter shows the screen's full size";
  ASSERT_TRUE(BackBuffer.HasSurface());
  EXPECT_EQ(BackBuffer.nWidth, 640);
  EXPECT_EQ(BackBuffer.nHeight, 480);
  if (d3d) {
    EXPECT_EQ(BackBuffer.szName, "BackBuffer");
    EXPECT_TRUE(VirBackBuffer.HasSurface());
    EXPECT_TRUE(WorkSD.HasSurface());
    EXPECT_EQ(VirBackBuffer.szName, "VirBackBuffer");
    EXPECT_EQ(WorkSD.szName, "WorkSD");
    // BackBuffer wraps the device's back buffer and owns no texture.
    EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &BackBuffer), 0);
    EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &WorkSD), 1);
    EXPECT_EQ(lpDTCon->dwAlphaOp, D3DTOP_SELECTARG1);  // 4 in the fresh context, 2 after the reset
    EXPECT_EQ(lpDTCon->dwBlendColor, 0xFFFFFFFFu);
    EXPECT_EQ(lpDTCon->dwColorOp, D3DTOP_MODULATE);
    EXPECT_EQ(g_PixelFormat, kFormatA8R8G8B8);
  } else {
    EXPECT_TRUE(Primary.HasSurface());
    EXPECT_TRUE(FadeBuffer.HasSurface());
    EXPECT_EQ(FadeBuffer.dwDDMemory, 1u);
    EXPECT_EQ(g_PixelFormat.RShift, 16);
    EXPECT_EQ(g_PixelFormat.GMask, 255);
  }
  ASSERT_NE(GetDisplayServices(), nullptr);

  DDUnInit();
  EXPECT_EQ(lpDTCon, nullptr);
  EXPECT_EQ(lpDDCon, nullptr);
  EXPECT_FALSE(BackBuffer.HasSurface());
  EXPECT_FALSE(WorkSD.HasSurface());
  EXPECT_FALSE(Primary.HasSurface());
  EXPECT_TRUE(g_TextureList.empty());
  EXPECT_EQ(GetDisplayServices(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Roads, DrawContextStartTest,
                         ::testing::Values(sStartCase{eRoad::Direct3D, 1}, sStartCase{eRoad::Direct3D, 0},
                                           sStartCase{eRoad::DirectDraw, 1}, sStartCase{eRoad::DirectDraw, 0}),
                         [](const ::testing::TestParamInfo<sStartCase>& info) {
                           return std::string(RoadName(info.param.road)) +
                                  (info.param.windowMode ? "Window" : "FullScreen");
                         });

using DrawContextTest = cDrawLayerFixture;

TEST_F(DrawContextTest, OldDriverRefusesDirect3DAndTheFallbackStartsDirectDraw) {
  DDSetDriverVersionQueryForTests([] { return 8; });
  EXPECT_FALSE(Start(eRoad::Direct3D));
  EXPECT_EQ(lpDTCon, nullptr);  // refused before any Direct3D object exists
  EXPECT_FALSE(g_DrawLayer.bDirect3D);

  DDUnInit();
  ASSERT_TRUE(Start(eRoad::DirectDraw));
  EXPECT_NE(lpDDCon, nullptr);
  // Every call now takes the DirectDraw road: a fill at x -10 is clipped.
  g_Palette[7] = {0x11, 0x22, 0x33, 0};
  DDFillRectPal(&BackBuffer, -10, 0, 30, 1, 7);
  EXPECT_EQ(PixelOf(BackBuffer, 19, 0), 0x112233u);
  EXPECT_EQ(PixelOf(BackBuffer, 20, 0), 0u);
}

TEST_F(DrawContextTest, Direct3DTakesSixteenAndThirtyTwoBitsOnly) {
  EXPECT_FALSE(Start(eRoad::Direct3D, 24));
  DDUnInit();
  EXPECT_FALSE(Start(eRoad::Direct3D, 8));
  DDUnInit();

  // 16 bits are accepted and drawn at 32.
  ASSERT_TRUE(Start(eRoad::Direct3D, 16));
  EXPECT_EQ(g_DrawLayer.nRequestedBpp, 16);
  EXPECT_EQ(g_DrawLayer.nBpp, 32);
  EXPECT_EQ(lpDTCon->TextureFormat, DTFMT_A8R8G8B8);
  EXPECT_EQ(g_PixelFormat, kFormatA8R8G8B8);
}

TEST_F(DrawContextTest, DirectDrawFullScreenRunsAtEightBitsWithPaletteIndices) {
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  EXPECT_EQ(g_DrawLayer.nBpp, 8);
  ASSERT_TRUE(BackBuffer.HasSurface());
  EXPECT_EQ(BackBuffer.Pixels()->Depth(), plat::ePixelDepth::Indexed8);
  // A fresh full-screen palette: entry i = (i, i, 0), entry 0 with blue 255.
  EXPECT_EQ(g_DrawLayer.ddPalette[0].blue, 255);
  EXPECT_EQ(g_DrawLayer.ddPalette[100].red, 100);
  EXPECT_EQ(g_DrawLayer.ddPalette[100].green, 100);
  DDFillRectPal(&BackBuffer, 0, 0, 4, 4, 200);
  EXPECT_EQ(PixelOf(BackBuffer, 3, 3), 200u);
}

TEST_F(DrawContextTest, VerticalSyncInAWindowNeedsASixtyHertzDisplay) {
  struct sCase {
    int displayHz;
    int vsyncAfter;
    std::uint32_t interval;
  };
  for (const sCase c : {sCase{75, 0, D3DPRESENT_INTERVAL_IMMEDIATE}, sCase{60, 1, D3DPRESENT_INTERVAL_DEFAULT}}) {
    SCOPED_TRACE(c.displayHz);
    DDSetDisplayRefreshRate(c.displayHz);
    ASSERT_TRUE(Start(eRoad::Direct3D));
    EXPECT_EQ(g_DrawLayer.bVSync, c.vsyncAfter);
    EXPECT_EQ(lpDTCon->d3dpp.PresentationInterval, c.interval);
    DDUnInit();
  }
}

TEST_F(DrawContextTest, BlendSettersAndResets) {
  DDSetAlphaOp(1);  // no context: nothing happens
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSetBlendColor(0x80FF0000u);
  DDSetColorOp(D3DTOP_ADD);
  DDSetAlphaOp(D3DTOP_DISABLE);
  EXPECT_EQ(lpDTCon->dwBlendColor, 0x80FF0000u);
  EXPECT_EQ(lpDTCon->dwColorOp, D3DTOP_ADD);
  EXPECT_EQ(lpDTCon->dwAlphaOp, D3DTOP_DISABLE);
  DDResetBlendColor();
  DDResetColorOp();
  DDResetAlphaOp();
  EXPECT_EQ(lpDTCon->dwBlendColor, 0xFFFFFFFFu);
  EXPECT_EQ(lpDTCon->dwColorOp, D3DTOP_MODULATE);
  EXPECT_EQ(lpDTCon->dwAlphaOp, D3DTOP_SELECTARG1);
}

TEST_F(DrawContextTest, TextureSizeRules) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  struct sCase {
    std::uint32_t pow2, square;
    int w, h, expectW, expectH;
  };
  const sCase cases[] = {
      {0, 0, 100, 30, 100, 30},  {1, 0, 100, 30, 128, 32}, {1, 0, 64, 1, 64, 1},
      {1, 0, 0, 5, 2, 8},        {0, 1, 100, 30, 100, 100}, {1, 1, 100, 30, 128, 128},
  };
  for (const sCase& c : cases) {
    lpDTCon->bTexturePow2 = c.pow2;
    lpDTCon->bTextureSquare = c.square;
    int w = c.w, h = c.h;
    DDAdjustTextureSize(w, h);
    EXPECT_EQ(w, c.expectW) << c.pow2 << c.square << " " << c.w << "x" << c.h;
    EXPECT_EQ(h, c.expectH) << c.pow2 << c.square << " " << c.w << "x" << c.h;
  }
  const int max = lpDTCon->Caps.MaxTextureWidth;
  EXPECT_EQ(DDCheckTextureSize(max, max), 1);
  EXPECT_EQ(DDCheckTextureSize(max + 1, 16), 0);
  EXPECT_EQ(DDCheckTextureSize(16, max + 1), 0);
}

TEST_F(DrawContextTest, VirtualBackBufferTakesBackBufferDrawingAndGivesItBackWhenTurnedOff) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  EXPECT_EQ(lpDTCon->lpRestingTarget, &VirBackBuffer);
  DDFillSurfaceRGB(&BackBuffer, 0xFF000010u);

  DDSetVirtualBackBuffer(1);
  EXPECT_EQ(lpDTCon->lpRestingTarget, &BackBuffer);
  DDSURFACEDATA* target = &BackBuffer;
  EXPECT_EQ(DDMapBackBuffer(target), 1);
  EXPECT_EQ(target, &VirBackBuffer);

  DDFillRectRGB(&BackBuffer, 0, 0, 8, 8, 0xFF00FF00u);
  EXPECT_EQ(PixelOf(VirBackBuffer, 3, 3), 0xFF00FF00u);
  EXPECT_EQ(PixelOf(BackBuffer, 3, 3), 0xFF000010u);

  DDSetVirtualBackBuffer(0);
  EXPECT_EQ(lpDTCon->lpRestingTarget, &VirBackBuffer);
  EXPECT_EQ(PixelOf(BackBuffer, 3, 3), 0xFF00FF00u);
  target = &BackBuffer;
  EXPECT_EQ(DDMapBackBuffer(target), 0);
  EXPECT_EQ(target, &BackBuffer);
}

TEST_F(DrawContextTest, SceneAndRenderTarget) {
  EXPECT_FALSE(DDBeginScene());  // no device
  ASSERT_TRUE(Start(eRoad::Direct3D));
  EXPECT_TRUE(DDBeginScene());
  EXPECT_EQ(lpDTCon->bInScene, 1);
  DDEndScene();
  EXPECT_EQ(lpDTCon->bInScene, 0);

  DDSURFACEDATA texture;
  ASSERT_TRUE(DDCreateSurface(&texture, 8, 8, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  EXPECT_FALSE(DDSetRenderTarget(&texture));  // not a render target
  EXPECT_TRUE(DDSetRenderTarget(&WorkSD));
  EXPECT_EQ(g_DrawLayer.lpRenderTarget, &WorkSD);
}

TEST_F(DrawContextTest, InitErrorCodes) {
  for (int code : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12}) EXPECT_FALSE(DDInitErrorMessage(code)) << code;
  for (int code : {0, 8, 9, 13, -1}) EXPECT_TRUE(DDInitErrorMessage(code)) << code;
}

TEST_F(DrawContextTest, TheCoreSeesTheRunningDisplay) {
  ASSERT_TRUE(Start(eRoad::Direct3D, 32, 1));
  cDisplayDescription d = GetDisplayServices()->Describe();
  EXPECT_TRUE(d.started);
  EXPECT_TRUE(d.windowed);
  EXPECT_EQ(d.backEnd, eDisplayBackEnd::Direct3D);
  EXPECT_EQ(d.bitsPerPixel, 32);
  EXPECT_GT(d.maxTextureWidth, 1024);
  EXPECT_FALSE(d.deviceName.empty());
  EXPECT_FALSE(d.hasVideoMemoryFigures);
  DDUnInit();
  EXPECT_EQ(GetDisplayServices(), nullptr);

  DDSetDisplayRefreshRate(75);
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  d = GetDisplayServices()->Describe();
  EXPECT_TRUE(d.started);
  EXPECT_FALSE(d.windowed);
  EXPECT_EQ(d.backEnd, eDisplayBackEnd::DirectDraw);
  EXPECT_EQ(d.bitsPerPixel, 8);
  EXPECT_EQ(d.refreshRate, 75u);
  // DirectDraw's display part names the memory figures and the refresh rate.
  EXPECT_TRUE(d.hasVideoMemoryFigures);
  EXPECT_GT(d.videoMemoryTotal, 0u);
  const std::vector<std::string> lines = FormatDisplayLines(d, false);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "RR : 75"), lines.end());

  // The full-screen message box shows the box and answers 1.
  EXPECT_EQ(GetDisplayServices()->MesBox("text", "caption", MB_OK), 1);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].caption, "caption");
}

}  // namespace
}  // namespace gfxtest

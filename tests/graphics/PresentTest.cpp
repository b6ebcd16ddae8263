// The end of the frame on both roads, and the recovery after a simulated loss
// of video memory.

#include "DrawLayerFixture.h"
#include "core/FrameTimer.h"
#include "graphics/ColourEffects.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"
#include "platform/Clock.h"

namespace gfxtest {
namespace {

using PresentTest = cDrawLayerFixture;
using cPixelSurfaceCopy = plat::cPixelSurface;

TEST_F(PresentTest, Direct3DPresentsTheBackBuffer) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDFillSurfaceRGB(&BackBuffer, 0xFF336699u);
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);
  ASSERT_EQ(m_Presenter.ShownCount(), 1u);
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(639, 479) & 0xFFFFFF, 0x336699u);
}

TEST_F(PresentTest, Direct3DFlushesTheVirtualBackBufferBeforePresenting) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSetVirtualBackBuffer(1);
  DDFillSurfaceRGB(&BackBuffer, 0xFF00AA00u);  // lands in VirBackBuffer
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(5, 5) & 0xFFFFFF, 0x00AA00u);
  EXPECT_EQ(lpDTCon->bVirtualBackBuffer, 1);
}

// With vertical sync the flush of the virtual back buffer and the present
// are one pass where the flush is a plain opaque copy; the frame shown and the
// back buffer left must be those of the flush and the present one after the
// other (as without vertical sync), for the plain blend values and for ones
// that change the colour.
TEST_F(PresentTest, Direct3DFlushAndPresentInOnePassShowWhatTheyShowApart) {
  const std::uint32_t alphas[] = {0x00000000u, 0x80000000u, 0xFF000000u};
  for (const std::uint32_t blendColour : {0xFFFFFFFFu, 0xFF808080u, 0x80FFFFFFu})
  for (const bool tint : {false, true}) {
    cPixelSurfaceCopy shown[2], back[2];
    for (int vsync = 0; vsync <= 1; ++vsync) {
      SCOPED_TRACE(std::to_string(blendColour) + (tint ? ", tinted" : "") + (vsync ? ", vertical sync" : ""));
      ResetLayer();
      ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, vsync, 1, 1, 60, 1, g_SurfaceData.data(), g_SurfaceDef.data(),
                         kSurfaceTableRows, 0));
      DDSetVirtualBackBuffer(1);
      plat::cPixelSurface& frame = *VirBackBuffer.Pixels();
      for (int x = 0; x < 640; ++x) frame.SetPixel(x, 7, alphas[x % 3] | static_cast<std::uint32_t>(x * 997));
      if (tint) DDLayColor(&BackBuffer, 0, 0, 640, 480, 120, 30, 60, 200);  // the screen's tint, laid last
      DDSetBlendColor(blendColour);
      EXPECT_EQ(DDEndFrame(0, 0, 0), 1);
      DDResetBlendColor();
      shown[vsync] = m_Presenter.LastFrame().Clone();
      back[vsync] = g_DrawLayer.d3dBackBuffer.Clone();
    }
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(shown[1].GetPixel(x, 7), shown[0].GetPixel(x, 7)) << x;
      ASSERT_EQ(back[1].GetPixel(x, 7), back[0].GetPixel(x, 7)) << x;
    }
    EXPECT_EQ(shown[1].GetPixel(3, 300), shown[0].GetPixel(3, 300));
    EXPECT_EQ(back[1].GetPixel(0, 0), back[0].GetPixel(0, 0));
  }
}

TEST_F(PresentTest, Direct3DWithoutVerticalSyncWaitsForTheFrameToBeDue) {
  plat::cManualClock clock(1000);
  plat::SetTimeSource(&clock);
  ResetFrameTimingForTests();
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, g_SurfaceData.data(), g_SurfaceDef.data(),
                     kSurfaceTableRows, 0));
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);  // frame 0 of the second is due at once
  const std::uint32_t afterFirst = clock.NowMs();
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);
  EXPECT_GE(plat::ElapsedMs(afterFirst, clock.NowMs()), 16);  // slept until 16.67 ms had passed
  EXPECT_EQ(m_Presenter.ShownCount(), 2u);
  plat::SetTimeSource(nullptr);
  ResetFrameTimingForTests();
}

// Presenting in step with the display returns at its next vertical blank, so
// 60 frames take 60 periods of the display's refresh on the clock; the other
// ways of presenting do not wait for the blank.
TEST_F(PresentTest, PresentingInStepWithTheDisplayWaitsForItsVerticalBlank) {
  struct sCase {
    const char* name;
    int d3d, windowMode, vsync, displayHz;
    int presentArg;  // DDPresentWindow's wait flag, or DDPresentFullScreen's blit flag
    std::uint32_t msForFrames;  // clock time taken by 60 presents (0: no wait)
  };
  const sCase cases[] = {
      {"Direct3D window with vertical sync", 1, 1, 1, 60, 0, 1000},
      {"Direct3D full screen with vertical sync (60 Hz set)", 1, 0, 1, 75, 0, 1000},
      {"DirectDraw window waiting for the blank", 0, 1, 1, 75, 1, 800},
      {"DirectDraw window of a fast stage", 0, 1, 1, 75, 0, 0},
      {"DirectDraw full screen flip", 0, 0, 1, 60, 0, 1000},
      {"DirectDraw full screen blit", 0, 0, 1, 60, 1, 0},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    plat::cManualClock clock(1000);
    plat::SetTimeSource(&clock);
    ResetFrameTimingForTests();
    DDSetDisplayRefreshRate(c.displayHz);
    ASSERT_TRUE(DDInit(c.d3d, nullptr, 640, 480, 32, c.vsync, c.windowMode, 1, 60, c.vsync, g_SurfaceData.data(),
                       g_SurfaceDef.data(), kSurfaceTableRows, 0));
    for (int frame = 0; frame < 60; ++frame) {
      if (c.d3d) {
        EXPECT_EQ(DDEndFrame(60, 0, 0), 1);
      } else if (c.windowMode) {
        EXPECT_TRUE(DDPresentWindow(c.presentArg));
      } else {
        EXPECT_TRUE(DDPresentFullScreen(c.presentArg));
      }
    }
    EXPECT_EQ(plat::ElapsedMs(1000, clock.NowMs()), static_cast<std::int32_t>(c.msForFrames));
    DDUnInit();
    plat::SetTimeSource(nullptr);
  }
  ResetFrameTimingForTests();
  DDSetDisplayRefreshRate(60);
}

TEST_F(PresentTest, DirectDrawWindowAndFullScreenShowTheBackBuffer) {
  ASSERT_TRUE(Start(eRoad::DirectDraw, 32, 1));
  DDFillSurfaceRGB(&BackBuffer, 0x123456u);
  EXPECT_TRUE(DDPresentWindow(1));
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(320, 240) & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);  // nothing to do without Direct3D
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::DirectDraw, 32, 0));
  DDFillSurfaceRGB(&BackBuffer, 0x0000FFu);
  EXPECT_TRUE(DDPresentFullScreen(0));  // flip
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(0, 0) & 0xFFFFFF, 0x0000FFu);
  DDFillSurfaceRGB(&BackBuffer, 0x00FF00u);
  EXPECT_TRUE(DDPresentFullScreen(1));  // blit
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(639, 479) & 0xFFFFFF, 0x00FF00u);
}

// A window's move stores its client rectangle in screen coordinates; the
// primary is the window's own client area, so wherever the window stands
// and however large it is shown, the frame reaches it whole and unshifted.
TEST_F(PresentTest, AMovedDirectDrawWindowShowsTheBackBufferUnshifted) {
  struct sCase {
    const char* name;
    DDRECT client;  // as the move stores it
  } cases[] = {
      {"at the screen's corner", {0, 0, 640, 480}},
      {"placed at 37, 53", {37, 53, 677, 533}},
      {"partly left of the screen", {-120, 40, 520, 520}},
      {"maximised at twice the size", {0, 0, 1280, 960}},
  };
  const std::vector<std::uint32_t> pattern = DistinctPixels(640, 480);
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Start(eRoad::DirectDraw, 32, 1));
    g_DrawLayer.rcClient = c.client;
    plat::cPixelSurface& back = *BackBuffer.Pixels();
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) back.SetPixel(x, y, pattern[static_cast<std::size_t>(y) * 640 + x]);
    }
    EXPECT_TRUE(DDPresentWindow(0));
    const plat::cPixelSurface& shown = m_Presenter.LastFrame();
    ASSERT_EQ(640, shown.Width());
    ASSERT_EQ(480, shown.Height());
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        if ((shown.GetPixel(x, y) & 0xFFFFFF) != (back.GetPixel(x, y) & 0xFFFFFF)) ++wrong;
      }
    }
    EXPECT_EQ(0, wrong) << "pixel 0,0 shows " << std::hex << shown.GetPixel(0, 0) << ", 639,479 shows "
                        << shown.GetPixel(639, 479);
    DDUnInit();
  }
}

// The full-screen blit copies 640 x 480 pixels: a larger back buffer shows
// its top-left part unscaled.
TEST_F(PresentTest, FullScreenBlitShowsTheTopLeftOfALargerBackBuffer) {
  ASSERT_TRUE(DDInit(0, nullptr, 800, 600, 32, 0, 0, 1, 60, 0, g_SurfaceData.data(), g_SurfaceDef.data(),
                     kSurfaceTableRows, 0));
  plat::cPixelSurface& back = *BackBuffer.Pixels();
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) back.SetPixel(x, y, static_cast<std::uint32_t>(x << 12 | y));
  }
  EXPECT_TRUE(DDPresentFullScreen(1));
  const plat::cPixelSurface& shown = m_Presenter.LastFrame();
  EXPECT_EQ(shown.GetPixel(639, 479) & 0xFFFFFF, 639u << 12 | 479u);
  EXPECT_EQ(shown.GetPixel(100, 50) & 0xFFFFFF, 100u << 12 | 50u);
}

TEST_F(PresentTest, EightBitFramesAreShownThroughTheDisplayPalette) {
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  const plat::sPaletteEntry colour{0x10, 0x20, 0x30, 1};
  DDSetPaletteEntries(42, 1, &colour);
  DDFillSurfacePal(&BackBuffer, 42);
  EXPECT_TRUE(DDPresentFullScreen(0));
  EXPECT_EQ(m_Presenter.LastFrame().GetPixel(10, 10) & 0xFFFFFF, 0x102030u);
}

// A loaded sheet, an empty render target, and an empty system-memory surface
// with contents of its own.
void LoadRowsForLoss(cDrawLayerFixture& f) {
  f.WriteBmp24("bmp/Block.bmp", 4, 2, cDrawLayerFixture::DistinctPixels(4, 2));
  const int rows[] = {2, 67, 70};
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 3));
  DDFillSurfaceRGB(&g_SurfaceData[70], 0xFF445566u);
}

TEST_F(PresentTest, Direct3DLossIsRecoveredByTheResetOnceTheDeviceIsReady) {
  ASSERT_TRUE(Start(eRoad::Direct3D, 32, 0));
  DDSetTransmit(255, 0, 255);
  LoadRowsForLoss(*this);
  const std::uint32_t blockPixel = PixelOf(g_SurfaceData[2], 3, 1);
  DDFillSurfaceRGB(&g_SurfaceData[67], 0xFF010101u);

  DDSimulateDeviceLoss(false);
  EXPECT_EQ(DDEndFrame(60, 0, 0), 0);
  EXPECT_TRUE(g_DrawLayer.bWindowMinimized);
  EXPECT_EQ(DDRestoreSurface(), 0);  // not ready: everything stays released
  EXPECT_FALSE(WorkSD.HasSurface());
  EXPECT_FALSE(g_SurfaceData[2].HasSurface());
  EXPECT_FALSE(BackBuffer.HasSurface());
  EXPECT_TRUE(g_SurfaceData[70].HasSurface());  // system memory stays
  EXPECT_EQ(DDEndFrame(60, 0, 0), 0);

  DDSimulateDeviceLoss(true);
  const std::size_t listSize = g_TextureList.size();
  EXPECT_EQ(DDRestoreSurface(), 1);
  EXPECT_EQ(g_TextureList.size(), listSize);
  EXPECT_FALSE(g_DrawLayer.bWindowMinimized);
  EXPECT_TRUE(BackBuffer.HasSurface());
  // From the file again, with its contents.
  EXPECT_EQ(PixelOf(g_SurfaceData[2], 3, 1), blockPixel);
  EXPECT_EQ(g_SurfaceData[2].bLost, 0u);
  // Empty render targets come back cleared, for their owners to redraw.
  EXPECT_EQ(PixelOf(g_SurfaceData[67], 0, 0), 0xFFFF00FFu);
  EXPECT_EQ(g_SurfaceData[67].bLost, 1u);
  EXPECT_EQ(WorkSD.bLost, 1u);
  EXPECT_TRUE(WorkSD.HasSurface());
  // The system-memory surface kept its contents.
  EXPECT_EQ(PixelOf(g_SurfaceData[70], 0, 0), 0xFF445566u);
  EXPECT_EQ(DDEndFrame(60, 0, 0), 1);
}

TEST_F(PresentTest, DirectDrawLossRestoresAndReloadsLostSurfaces) {
  ASSERT_TRUE(Start(eRoad::DirectDraw, 32, 0));
  LoadRowsForLoss(*this);
  const std::uint32_t blockPixel = PixelOf(g_SurfaceData[2], 3, 1);
  DDSurfaceList scene;
  DDSurfaceDefList defs;
  ASSERT_TRUE(DDAddSurfaceList(scene, defs, 8, 8, 1, 0, 0, 0));
  ASSERT_TRUE(DDAddSurfaceList(scene, defs, 8, 8, 1, 1, 0, 0));
  DDFillSurfaceRGB(&scene.back(), 0x777777u);

  EXPECT_FALSE(DDIsPrimaryLost());
  DDSimulateDeviceLoss();
  EXPECT_TRUE(DDIsPrimaryLost());
  EXPECT_FALSE(SurfaceLock(&g_SurfaceData[2]).IsLocked());  // lost surfaces refuse the lock

  EXPECT_TRUE(DDRestore());
  EXPECT_FALSE(DDIsPrimaryLost());
  EXPECT_EQ(PixelOf(g_SurfaceData[2], 3, 1), blockPixel);  // video row reloaded
  EXPECT_EQ(g_SurfaceData[67].bLost, 1u);                  // empty video row: the owner redraws
  EXPECT_EQ(PixelOf(g_SurfaceData[70], 0, 0), 0xFF445566u);  // system memory kept

  EXPECT_TRUE(RestoreSurface(scene));
  EXPECT_EQ(scene.front().bLost, 1u);
  EXPECT_EQ(scene.back().bLost, 0u);
  EXPECT_EQ(PixelOf(scene.back(), 0, 0), 0x777777u);
  EXPECT_TRUE(SurfaceLock(&scene.front()).IsLocked());
  DDReleaseSurfaceList(scene);
}

TEST_F(PresentTest, EachRestoreBelongsToItsOwnRoad) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  EXPECT_TRUE(DDRestore());
  DDUnInit();
  ASSERT_TRUE(Start(eRoad::DirectDraw));
  EXPECT_EQ(DDRestoreSurface(), 1);
  EXPECT_TRUE(DDRestore());  // nothing lost: nothing to do
}

}  // namespace
}  // namespace gfxtest

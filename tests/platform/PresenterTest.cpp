#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/BmpDecoder.h"
#include "platform/PixelRows.h"
#include "platform/Presenter.h"
#include "platform/SoftwareDevice.h"

namespace {

using plat::cNullPresenter;
using plat::cPixelSurface;
using plat::ePixelDepth;

cPixelSurface Frame(int width, int height, std::uint32_t value, ePixelDepth depth = ePixelDepth::Argb32) {
  cPixelSurface s;
  EXPECT_TRUE(s.Create(width, height, depth));
  plat::FillRect(s, 0, 0, width, height, value);
  return s;
}

TEST(NullPresenterTest, KeepsTheFrameOpaqueAndIndependentOfTheBackBuffer) {
  cNullPresenter presenter;
  cPixelSurface back = Frame(4, 3, 0x00123456);  // the back buffer's fourth byte is not alpha
  back.SetPixel(3, 2, 0x80ABCDEF);
  ASSERT_TRUE(presenter.Present(back));
  plat::FillRect(back, 0, 0, 4, 3, 0);  // drawing on after presenting
  const cPixelSurface& shown = presenter.LastFrame();
  ASSERT_EQ(shown.Width(), 4);
  EXPECT_EQ(shown.GetPixel(0, 0), 0xFF123456u);
  EXPECT_EQ(shown.GetPixel(3, 2), 0xFFABCDEFu);
  EXPECT_EQ(presenter.PresentedCount(), 1u);
}

// Presenting while copying leaves the copy and the shown frame as the copy
// with alpha 255 followed by a present of it would, whatever the alphas; a
// copy of another size or depth is refused and nothing changes.
TEST(NullPresenterTest, PresentingWhileCopyingMatchesACopyThenAPresent) {
  cPixelSurface frame = Frame(5, 3, 0xFF102030);
  const std::uint32_t alphas[] = {0x00000000u, 0x01000000u, 0x80000000u, 0xFE000000u, 0xFF000000u};
  for (int x = 0; x < 5; ++x) frame.SetPixel(x, 1, alphas[x] | (0x00A0B0C0u + static_cast<std::uint32_t>(x)));

  cNullPresenter apart, fused;
  cPixelSurface copyApart = Frame(5, 3, 0x5A5A5A5A), copyFused = Frame(5, 3, 0x5A5A5A5A);
  plat::StoreOpaqueRow(copyApart.Pixels32(), frame.Pixels32(), 5 * 3);
  ASSERT_TRUE(apart.Present(copyApart));
  ASSERT_TRUE(fused.PresentCopying(frame, copyFused));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(copyFused.GetPixel(x, y), copyApart.GetPixel(x, y)) << x << ", " << y;
      EXPECT_EQ(fused.LastFrame().GetPixel(x, y), apart.LastFrame().GetPixel(x, y)) << x << ", " << y;
    }
  }
  EXPECT_EQ(fused.PresentedCount(), 1u);

  cPixelSurface narrow = Frame(4, 3, 0x5A5A5A5A), indexed = Frame(5, 3, 7, ePixelDepth::Indexed8);
  EXPECT_FALSE(fused.PresentCopying(frame, narrow));
  EXPECT_FALSE(fused.PresentCopying(frame, indexed));
  EXPECT_EQ(narrow.GetPixel(0, 1), 0x5A5A5A5Au);
  EXPECT_EQ(fused.PresentedCount(), 1u);
}

TEST(NullPresenterTest, IndexedFramesGoThroughTheDisplayPalette) {
  cNullPresenter presenter;
  plat::DisplayPalette palette{};
  palette[0] = {1, 2, 3, 0};
  palette[200] = {255, 128, 0, 1};
  cPixelSurface back = Frame(2, 1, 0, ePixelDepth::Indexed8);
  back.SetPixel(1, 0, 200);
  ASSERT_TRUE(presenter.Present(back, &palette));
  EXPECT_EQ(presenter.LastFrame().GetPixel(0, 0), 0xFF010203u);
  EXPECT_EQ(presenter.LastFrame().GetPixel(1, 0), 0xFFFF8000u);

  // The same pixels with a cycled palette show the new colours: the palette
  // is applied when presenting, not when drawing.
  palette[200] = {0, 0, 255, 1};
  ASSERT_TRUE(presenter.Present(back, &palette));
  EXPECT_EQ(presenter.LastFrame().GetPixel(1, 0), 0xFF0000FFu);
}

TEST(NullPresenterTest, RefusedFramesKeepThePreviousOne) {
  cNullPresenter presenter;
  ASSERT_TRUE(presenter.Present(Frame(1, 1, 0xFF00FF00)));
  EXPECT_FALSE(presenter.Present(Frame(1, 1, 7, ePixelDepth::Indexed8)));  // no palette
  EXPECT_FALSE(presenter.Present(cPixelSurface{}));
  EXPECT_EQ(presenter.LastFrame().GetPixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(presenter.ShownCount(), 1u);
}

// Frames handed over from the drawing thread are shown on the main thread;
// a frame that was replaced before showing is never shown.
TEST(NullPresenterTest, MainThreadShowsOnlyTheNewestFrame) {
  cNullPresenter presenter(/*showOnPresent=*/false);
  std::thread drawing([&] {
    for (std::uint32_t i = 1; i <= 3; ++i) presenter.Present(Frame(2, 2, 0xFF000000 | i));
  });
  drawing.join();
  EXPECT_TRUE(presenter.LastFrame().Empty());
  EXPECT_TRUE(presenter.ShowPendingFrame());
  EXPECT_EQ(presenter.LastFrame().GetPixel(1, 1), 0xFF000003u);
  EXPECT_FALSE(presenter.ShowPendingFrame());  // nothing new
  EXPECT_EQ(presenter.ShownCount(), 1u);
  EXPECT_EQ(presenter.PresentedCount(), 3u);
}

// Frames presented while copying on the drawing thread, the last drawing of
// each row done in the same pass, are shown whole on the main thread: every
// row of a shown frame belongs to one frame, and the last one shown is the
// last one presented.
TEST(NullPresenterTest, FramesPresentedWhileCopyingAreShownWholeOnTheMainThread) {
  cNullPresenter presenter(/*showOnPresent=*/false);
  constexpr int kFrames = 200, kRows = 16;
  std::atomic<bool> done{false};
  std::thread drawing([&] {
    cPixelSurface frame = Frame(8, kRows, 0), copy = Frame(8, kRows, 0);
    for (std::uint32_t i = 1; i <= kFrames; ++i) {
      presenter.PresentCopying(frame, copy, [&](int row) {
        for (int x = 0; x < 8; ++x) frame.SetPixel(x, row, 0x80000000u | i);
      });
    }
    done = true;
  });
  int shown = 0;
  for (;;) {
    const bool finished = done;
    if (!presenter.ShowPendingFrame()) {
      if (finished) break;
      continue;
    }
    ++shown;
    const cPixelSurface& f = presenter.LastFrame();
    for (int y = 0; y < kRows; ++y) ASSERT_EQ(f.GetPixel(7, y), f.GetPixel(0, 0)) << "frame torn at row " << y;
  }
  drawing.join();
  EXPECT_GE(shown, 1);
  EXPECT_EQ(presenter.LastFrame().GetPixel(3, kRows - 1), 0xFF000000u | kFrames);
  EXPECT_EQ(presenter.PresentedCount(), static_cast<std::uint64_t>(kFrames));
}

TEST(NullPresenterTest, DumpsTheLastFrameAsABitmap) {
  cNullPresenter presenter;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("kestrova_frame_" + std::to_string(::getpid()) + ".bmp")).string();
  std::string error;
  EXPECT_FALSE(presenter.WriteLastFrameBmp(path, &error));  // nothing shown yet
  cPixelSurface back = Frame(3, 2, 0xFF102030);
  back.SetPixel(2, 1, 0xFFA0B0C0);
  ASSERT_TRUE(presenter.Present(back));
  ASSERT_TRUE(presenter.WriteLastFrameBmp(path, &error)) << error;
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  plat::sBmpImage image;
  ASSERT_TRUE(plat::DecodeBmp(bytes, image, &error)) << error;
  EXPECT_EQ(image.RgbAt(0, 0), 0x102030u);
  EXPECT_EQ(image.RgbAt(2, 1), 0xA0B0C0u);
  std::filesystem::remove(path);
}

// Smoke test of the SDL presenter on whatever video driver is there (the
// dummy driver in the test run); skipped where SDL video cannot start.
TEST(SdlPresenterTest, ShowsFramesAndTogglesFullScreen) {
  std::string error;
  std::unique_ptr<plat::cSdlPresenter> presenter = plat::cSdlPresenter::Create({}, &error);
  if (!presenter) GTEST_SKIP() << "no SDL video: " << error;
  EXPECT_FALSE(presenter->ShowPendingFrame());
  ASSERT_TRUE(presenter->Present(Frame(640, 480, 0xFF336699)));
  EXPECT_TRUE(presenter->ShowPendingFrame());
  presenter->SetFullScreen(true);
  presenter->SetFullScreen(false);
  EXPECT_FALSE(presenter->IsFullScreen());
  presenter->Redraw();
  EXPECT_NE(presenter->WindowId(), 0u);
}

// The presenter can show its frames in a window made by someone else, and
// leaves that window alive when it goes.
TEST(SdlPresenterTest, ShowsFramesInAnExistingWindow) {
  std::string error;
  std::unique_ptr<plat::cSdlPresenter> owner = plat::cSdlPresenter::Create({}, &error);
  if (!owner) GTEST_SKIP() << "no SDL video: " << error;
  plat::sSdlPresenterOptions options;
  options.existingWindowId = owner->WindowId();
  {
    std::unique_ptr<plat::cSdlPresenter> guest = plat::cSdlPresenter::Create(options, &error);
    ASSERT_TRUE(guest) << error;
    EXPECT_EQ(guest->WindowId(), owner->WindowId());
    ASSERT_TRUE(guest->Present(Frame(640, 480, 0xFF000000)));
    EXPECT_TRUE(guest->ShowPendingFrame());
  }
  ASSERT_TRUE(owner->Present(Frame(640, 480, 0xFFFFFFFF)));
  EXPECT_TRUE(owner->ShowPendingFrame());  // the window outlived its guest

  options.existingWindowId = 0x7FFFFFF0;
  EXPECT_FALSE(plat::cSdlPresenter::Create(options, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace

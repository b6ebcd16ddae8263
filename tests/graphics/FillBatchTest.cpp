#include "graphics/FillBatch.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::kBackground;


class FillBatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
  }
  cTestLayer m_Layer{eRoad::Direct3D};
};

TEST_F(FillBatchTest, FillsWaitForTheFlushAndKeepTheirLayering) {
  DDBeginFillBatch();
  DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFF0000FF);
  DDFillRectRGB(&WorkSD, 0, 0, 4, 4, 0xFF00FF00);
  DDFillRectRGB(&BackBuffer, 2, 2, 4, 4, 0xFFFF0000);
  ASSERT_EQ(g_FillBatch.requests.size(), 3u);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kBackground);

  DDFlushFillBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(BackBuffer, 3, 3), 0xFFFF0000u);  // queued last, drawn last
  EXPECT_EQ(PixelAt(WorkSD, 1, 1), 0xFF00FF00u);
  EXPECT_FALSE(g_FillBatch.bActive);
  EXPECT_TRUE(g_FillBatch.requests.empty());
}

TEST_F(FillBatchTest, QueuedFillBlendsItsAlpha) {
  drawtest::FillAll(BackBuffer, 0xFF000000);
  DDBeginFillBatch();
  EXPECT_TRUE(DDQueueFill(&BackBuffer, 0, 0, 2, 2, 0x80FFFFFF));
  DDFlushFillBatch();
  const std::uint32_t pixel = PixelAt(BackBuffer, 0, 0);
  EXPECT_GT(pixel & 0xFF, 0x70u);
  EXPECT_LT(pixel & 0xFF, 0x90u);
}

TEST_F(FillBatchTest, FlushWithoutBeginDrawsNothingAndStaysInactive) {
  EXPECT_FALSE(DDQueueFill(&BackBuffer, 0, 0, 4, 4, 0xFF0000FF));
  DDFlushFillBatch();
  EXPECT_FALSE(g_FillBatch.bActive);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kBackground);
}

// A run whose destination cannot be made the render target is skipped; the
// runs around it are still drawn.
TEST_F(FillBatchTest, RunIntoASurfaceThatIsNoRenderTargetIsSkipped) {
  DDSURFACEDATA system;
  drawtest::MakeFilledSurface(system, 8, 8, kBackground, 0, DTMEMORYTYPE_SYSTEM);
  DDBeginFillBatch();
  DDQueueFill(&BackBuffer, 0, 0, 2, 2, 0xFF0000FF);
  DDQueueFill(&system, 0, 0, 2, 2, 0xFF00FF00);
  DDQueueFill(&system, 2, 2, 2, 2, 0xFF00FF00);
  DDQueueFill(&BackBuffer, 4, 4, 2, 2, 0xFFFF0000);
  DDFlushFillBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 5), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(system, 1, 1), kBackground);
  EXPECT_EQ(PixelAt(system, 3, 3), kBackground);
}

TEST(FillBatchDirectDrawTest, FillsDrawAtOnce) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  DDBeginFillBatch();
  EXPECT_FALSE(g_FillBatch.bActive);
  DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x000000FF);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 0x000000FFu);
  DDFlushFillBatch();
}

}  // namespace

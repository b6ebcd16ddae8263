#include "graphics/SpriteBatch.h"

#include <gtest/gtest.h>

#include <vector>

#include "DrawLayerTestSupport.h"
#include "graphics/Blit.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::kBackground;

constexpr std::uint32_t kP = 0xFF0000A0, kQ = 0xFF00B000, kR = 0xFFC00000, kS = 0xFFD0D0D0;

class SpriteBatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
    drawtest::MakeFilledSurface(m_Sheet, 8, 8, kP);
    drawtest::MakeFilledSurface(m_Other, 8, 8, kQ);
  }
  cTestLayer m_Layer{eRoad::Direct3D};
  DDSURFACEDATA m_Sheet;
  DDSURFACEDATA m_Other;
};

// Four requests P (sheet), Q (other), R (sheet), S (other); each covers its
// own pixel and the next one's, so each shared pixel shows which of its two
// requests was drawn later; the pixel all four cover shows the last one.
struct sOrderProbe {
  std::uint32_t pq, qr, rs, all;
};

sOrderProbe DrawPqrs(int mode, DDSURFACEDATA& sheet, DDSURFACEDATA& other, bool registerSheet) {
  // Each source is recoloured before its blits are queued, and the queue
  // keeps the pointer, so colours are set per pixel position instead: the
  // sheet and the other surface hold the colours of both of their requests.
  plat::cPixelSurface& sheetPx = drawtest::PixelsOf(sheet);
  plat::cPixelSurface& otherPx = drawtest::PixelsOf(other);
  sheetPx.SetPixel(0, 0, kP);
  sheetPx.SetPixel(1, 0, kR);
  otherPx.SetPixel(0, 0, kQ);
  otherPx.SetPixel(1, 0, kS);
  DDBeginSpriteBatch(mode);
  if (registerSheet) DDRegisterSpriteTexture(&sheet);
  // Request n covers pixels n and n + 1 of row 0 and pixel (0, 1).
  const auto queue = [](DDSURFACEDATA& src, int column, int n) {
    DDBltEx(&BackBuffer, n, 0, 2, 1, &src, column, 0, 1, 1, 0);
    DDBltEx(&BackBuffer, 0, 1, 1, 1, &src, column, 0, 1, 1, 0);
  };
  queue(sheet, 0, 0);  // P
  queue(other, 0, 1);  // Q
  queue(sheet, 1, 2);  // R
  queue(other, 1, 3);  // S
  DDFlushSpriteBatch();
  return {PixelAt(BackBuffer, 1, 0), PixelAt(BackBuffer, 2, 0), PixelAt(BackBuffer, 3, 0), PixelAt(BackBuffer, 0, 1)};
}

TEST_F(SpriteBatchTest, QueueingOrderWithoutSorting) {
  const sOrderProbe probe = DrawPqrs(0, m_Sheet, m_Other, false);
  EXPECT_EQ(probe.pq, kQ);
  EXPECT_EQ(probe.qr, kR);
  EXPECT_EQ(probe.rs, kS);
  EXPECT_EQ(probe.all, kS);
}

// Sorting with one registered sheet: Q, S, P, R.
TEST_F(SpriteBatchTest, SortingDrawsTheRegisteredSheetLast) {
  const sOrderProbe probe = DrawPqrs(1, m_Sheet, m_Other, true);
  EXPECT_EQ(probe.pq, kP);
  EXPECT_EQ(probe.qr, kR);
  EXPECT_EQ(probe.rs, kR);
  EXPECT_EQ(probe.all, kR);
}

TEST_F(SpriteBatchTest, SortingWithoutRegisteredSheetsKeepsTheQueueingOrder) {
  const sOrderProbe probe = DrawPqrs(1, m_Sheet, m_Other, false);
  EXPECT_EQ(probe.pq, kQ);
  EXPECT_EQ(probe.rs, kS);
  EXPECT_EQ(probe.all, kS);
}

TEST_F(SpriteBatchTest, RegisteredSheetsTakeKeysInRegistrationOrder) {
  DDSURFACEDATA third;
  DDBeginSpriteBatch(1);
  DDRegisterSpriteTexture(&m_Sheet);
  DDRegisterSpriteTexture(&m_Other);
  DDRegisterSpriteTexture(&m_Sheet);
  DDRegisterSpriteTexture(&third);
  ASSERT_EQ(g_SpriteBatch.textures.size(), 3u);
  EXPECT_EQ(g_SpriteBatch.textures[0].key, 100000);
  EXPECT_EQ(g_SpriteBatch.textures[1].key, 200000);
  EXPECT_EQ(g_SpriteBatch.textures[2].key, 300000);
  EXPECT_EQ(g_SpriteBatch.textures[2].lpSD, &third);
  DDFlushSpriteBatch();

  // Mode 0 registers nothing.
  DDBeginSpriteBatch(0);
  DDRegisterSpriteTexture(&m_Sheet);
  EXPECT_TRUE(g_SpriteBatch.textures.empty());
  DDFlushSpriteBatch();
}

TEST_F(SpriteBatchTest, QuadsWaitForTheFlush) {
  DDBeginSpriteBatch(0);
  EXPECT_TRUE(DDBltEx(&BackBuffer, 0, 0, 4, 4, &m_Sheet, 0, 0, 4, 4, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kBackground);
  EXPECT_EQ(g_SpriteBatch.requests.size(), 1u);
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kP);
  EXPECT_FALSE(g_SpriteBatch.bActive);
  EXPECT_TRUE(g_SpriteBatch.requests.empty());
}

TEST_F(SpriteBatchTest, BeginningAgainDropsWhatWasQueued) {
  DDBeginSpriteBatch(0);
  DDBltEx(&BackBuffer, 0, 0, 4, 4, &m_Sheet, 0, 0, 4, 4, 0);
  DDBeginSpriteBatch(0);
  DDBltEx(&BackBuffer, 8, 0, 4, 4, &m_Other, 0, 0, 4, 4, 0);
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kBackground);
  EXPECT_EQ(PixelAt(BackBuffer, 9, 1), kQ);
}

// A blit from a system-memory texture is copied at once, so it lies under the
// quads still queued even though it was made after them.
TEST_F(SpriteBatchTest, SoftwareCopyLandsBeforeQueuedQuads) {
  DDSURFACEDATA system;
  drawtest::MakeFilledSurface(system, 8, 8, kS, 0, DTMEMORYTYPE_SYSTEM);
  DDBeginSpriteBatch(0);
  DDBltEx(&BackBuffer, 0, 0, 4, 4, &m_Sheet, 0, 0, 4, 4, 0);
  DDBltEx(&BackBuffer, 2, 0, 4, 4, &system, 0, 0, 4, 4, 0);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 1), kS);  // already there
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 3, 1), kP);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 1), kS);
}

// Each request keeps the blend values current when it was queued.
TEST_F(SpriteBatchTest, RequestsKeepTheirBlendValues) {
  DDBeginSpriteBatch(0);
  DDSetBlendColor(0xFF000000);
  DDBltEx(&BackBuffer, 0, 0, 2, 2, &m_Sheet, 0, 0, 2, 2, 0);
  DDResetBlendColor();
  DDBltEx(&BackBuffer, 4, 0, 2, 2, &m_Sheet, 0, 0, 2, 2, 0);
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 0xFF000000u);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 1), kP);
}

// An opaque run of a keyed sheet clears all its rectangles before drawing any
// quad: the second sprite's transparent pixels show the first sprite, not the
// transparent colour. Drawn one by one, the second clear wipes the first.
TEST_F(SpriteBatchTest, OpaqueKeyedRunClearsBeforeDrawing) {
  DDSURFACEDATA keyed;
  drawtest::MakeFilledSurface(keyed, 4, 4, kP, 1);
  drawtest::PixelsOf(keyed).SetPixel(0, 0, 0);  // transparent texel
  const auto drawTwo = [&] {
    DDBltEx(&BackBuffer, 0, 0, 4, 4, &keyed, 0, 0, 4, 4, 0);
    DDBltEx(&BackBuffer, 1, 1, 4, 4, &keyed, 0, 0, 4, 4, 0);
  };
  DDBeginSpriteBatch(0);
  drawTwo();
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kP);
  EXPECT_EQ(PixelAt(BackBuffer, 0, 0), 0xFFFF00FFu);

  drawtest::FillAll(BackBuffer, kBackground);
  drawTwo();
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 0xFFFF00FFu);
}

// Sort keys of sheet key plus sequence number collide once a batch holds
// 100000 requests; the order must stay exact beyond that.
TEST_F(SpriteBatchTest, SortingStaysExactBeyondOneHundredThousandRequests) {
  DDSURFACEDATA other2;
  drawtest::MakeFilledSurface(other2, 8, 8, kS);
  DDBeginSpriteBatch(1);
  DDRegisterSpriteTexture(&m_Sheet);
  DDBltEx(&BackBuffer, 10, 10, 1, 1, &m_Sheet, 0, 0, 1, 1, 0);  // key 100000
  for (int i = 1; i < 100000; ++i) DDBltEx(&BackBuffer, 40, 40, 1, 1, &m_Other, 0, 0, 1, 1, 0);
  DDBltEx(&BackBuffer, 10, 10, 1, 1, &other2, 0, 0, 1, 1, 0);  // sequence 100000: key 100000 too
  DDFlushSpriteBatch();
  EXPECT_EQ(PixelAt(BackBuffer, 10, 10), kP);
  EXPECT_EQ(PixelAt(BackBuffer, 40, 40), kQ);
}

TEST(SpriteBatchDirectDrawTest, BlitsDrawAtOnceAndNothingIsQueued) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src;
  drawtest::MakeFilledSurface(src, 4, 4, kQ);
  DDBeginSpriteBatch(1);
  DDRegisterSpriteTexture(&src);
  EXPECT_FALSE(g_SpriteBatch.bActive);
  DDBltEx(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 4, 4, 0);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), kQ);
  EXPECT_TRUE(g_SpriteBatch.requests.empty());
  DDFlushSpriteBatch();
}

}  // namespace

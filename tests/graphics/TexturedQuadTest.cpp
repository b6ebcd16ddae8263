#include "graphics/TexturedQuad.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"

namespace {

// The pixel rectangle's corners lie half a pixel up and left, in strip order
// (left, top), (left, bottom), (right, top), (right, bottom); a mirrored
// source runs its texture coordinates backwards.
TEST(DTMakeQuadVerticesTest, CornersAndTextureCoordinates) {
  DTVERTEX v[4];
  DTMakeQuadVertices(v, 10, 20, 30, 40, 0xFF112233, 64, 0, -32, 16, 128, 64);
  const float x[4] = {9.5f, 9.5f, 39.5f, 39.5f};
  const float y[4] = {19.5f, 59.5f, 19.5f, 59.5f};
  const float u[4] = {0.5f, 0.5f, 0.25f, 0.25f};
  const float t[4] = {0.0f, 0.25f, 0.0f, 0.25f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].x, x[i]) << i;
    EXPECT_FLOAT_EQ(v[i].y, y[i]) << i;
    EXPECT_FLOAT_EQ(v[i].u, u[i]) << i;
    EXPECT_FLOAT_EQ(v[i].v, t[i]) << i;
    EXPECT_EQ(v[i].z, 0.0f);
    EXPECT_EQ(v[i].rhw, 1.0f);
    EXPECT_EQ(v[i].diffuse, 0xFF112233u);
  }
}

// A quad takes the blend values current when it is made.
TEST(DTMakeQuadTest, TakesTheCurrentBlendValues) {
  drawtest::cTestLayer layer(drawtest::eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  DDSetBlendColor(0x80FFFFFF);
  DDSetColorOp(D3DTOP_ADD);
  DDSetAlphaOp(D3DTOP_DISABLE);
  const DTQUAD q = DTMakeQuad(&BackBuffer, 1, 2, 3, 4, &WorkSD, 5, 6, 7, 8, 1);
  DDResetBlendColor();
  DDResetColorOp();
  DDResetAlphaOp();
  EXPECT_EQ(q.dwDiffuse, 0x80FFFFFFu);
  EXPECT_EQ(q.dwColorOp, static_cast<std::uint32_t>(D3DTOP_ADD));
  EXPECT_EQ(q.dwAlphaOp, static_cast<std::uint32_t>(D3DTOP_DISABLE));
  EXPECT_EQ(q.sw, 7);
  EXPECT_EQ(q.dwFlags, 1u);
}

}  // namespace

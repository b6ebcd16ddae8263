#include "graphics/BlitClip.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::eRoad;

struct sClipCase {
  const char* name;
  eClipRoad road;
  int dstW, dstH, srcW, srcH;
  sBltRect in;
  bool drawn;
  sBltRect out;  // checked only when drawn
};

constexpr eClipRoad D3D = eClipRoad::Direct3D;
constexpr eClipRoad DD = eClipRoad::DirectDraw;

// Destination 64 x 64 unless said otherwise.
const sClipCase kClipCases[] = {
    // Same size: the same on both roads.
    {"plain", DD, 64, 64, 32, 32, {10, 5, 8, 4, 3, 2, 8, 4}, true, {10, 5, 8, 4, 3, 2, 8, 4}},
    {"negative source x narrows without moving the corner", D3D, 64, 64, 32, 32, {10, 0, 20, 10, -5, 0, 20, 10}, true,
     {10, 0, 15, 10, 0, 0, 15, 10}},
    {"negative source x narrows without moving the corner (DD)", DD, 64, 64, 32, 32, {10, 0, 20, 10, -5, 0, 20, 10},
     true, {10, 0, 15, 10, 0, 0, 15, 10}},
    {"negative destination x skips source columns", DD, 64, 64, 32, 32, {-5, 0, 20, 10, 0, 0, 20, 10}, true,
     {0, 0, 15, 10, 5, 0, 15, 10}},
    {"right edge is cut", DD, 64, 64, 32, 32, {50, 0, 20, 10, 0, 0, 20, 10}, true, {50, 0, 14, 10, 0, 0, 14, 10}},
    {"bottom edge is cut", D3D, 64, 48, 32, 32, {0, 40, 10, 20, 0, 0, 10, 20}, true, {0, 40, 10, 8, 0, 0, 10, 8}},
    {"after a left clip the right edge is not tested", DD, 64, 64, 128, 32, {-10, 0, 100, 10, 0, 0, 100, 10}, true,
     {0, 0, 90, 10, 10, 0, 90, 10}},
    {"source past its sheet", DD, 64, 64, 32, 32, {0, 0, 20, 10, 20, 0, 20, 10}, true, {0, 0, 12, 10, 20, 0, 12, 10}},
    {"destination wholly right of the surface", DD, 64, 64, 32, 32, {70, 0, 8, 8, 0, 0, 8, 8}, false, {}},
    {"width 0", D3D, 64, 64, 32, 32, {0, 0, 0, 8, 0, 0, 0, 8}, false, {}},
    {"negative height", DD, 64, 64, 32, 32, {0, 0, 8, -8, 0, 0, 8, -8}, false, {}},
    {"source size 0", D3D, 64, 64, 32, 32, {0, 0, 8, 8, 0, 0, 0, 8}, false, {}},
    // Stretched: DirectDraw clips the destination and scales the source along.
    {"stretch 64 to 32 at x -8 (DD)", DD, 64, 64, 64, 64, {-8, 0, 32, 32, 0, 0, 64, 64}, true,
     {0, 0, 24, 32, 16, 0, 48, 64}},
    {"stretch 64 to 32 at x -8 (D3D leaves the destination to the device)", D3D, 64, 64, 64, 64,
     {-8, 0, 32, 32, 0, 0, 64, 64}, true, {-8, 0, 32, 32, 0, 0, 64, 64}},
    {"stretch past the right edge (DD)", DD, 64, 64, 64, 64, {48, 0, 32, 32, 0, 0, 64, 64}, true,
     {48, 0, 16, 32, 0, 0, 32, 64}},
    {"stretch wholly left of the surface (DD)", DD, 64, 64, 64, 64, {-40, 0, 32, 32, 0, 0, 64, 64}, false, {}},
    {"stretched source cut at its sheet (D3D)", D3D, 64, 64, 64, 64, {0, 0, 64, 64, 32, 0, 64, 64}, true,
     {0, 0, 32, 64, 32, 0, 32, 64}},
    // Mirrored.
    {"mirror inside the sheet (D3D)", D3D, 64, 64, 128, 32, {0, 0, 32, 32, 64, 0, -32, 32}, true,
     {0, 0, 32, 32, 64, 0, -32, 32}},
    {"mirror inside the sheet (DD)", DD, 64, 64, 128, 32, {0, 0, 32, 32, 64, 0, -32, 32}, true,
     {0, 0, 32, 32, 64, 0, -32, 32}},
    {"mirror running off the sheet's left edge (D3D cuts the source)", D3D, 64, 64, 128, 32,
     {0, 0, 32, 32, 16, 0, -32, 32}, true, {0, 0, 16, 32, 16, 0, -16, 32}},
    {"mirror running off the sheet's left edge (DD passes it on)", DD, 64, 64, 128, 32, {0, 0, 32, 32, 16, 0, -32, 32},
     true, {0, 0, 32, 32, 16, 0, -32, 32}},
};

class ClipBltRectTest : public testing::TestWithParam<sClipCase> {};

TEST_P(ClipBltRectTest, ClipsAsTheRoadDoes) {
  const sClipCase& c = GetParam();
  sBltRect r = c.in;
  EXPECT_EQ(ClipBltRect(c.road, c.dstW, c.dstH, c.srcW, c.srcH, r), c.drawn);
  if (!c.drawn) return;
  EXPECT_EQ(r.x, c.out.x);
  EXPECT_EQ(r.y, c.out.y);
  EXPECT_EQ(r.w, c.out.w);
  EXPECT_EQ(r.h, c.out.h);
  EXPECT_EQ(r.sx, c.out.sx);
  EXPECT_EQ(r.sy, c.out.sy);
  EXPECT_EQ(r.sw, c.out.sw);
  EXPECT_EQ(r.sh, c.out.sh);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClipBltRectTest, testing::ValuesIn(kClipCases),
                         [](const testing::TestParamInfo<sClipCase>& info) {
                           std::string name = std::to_string(info.index) + "_";
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(ClipBltRect, HugeCoordinatesDoNotOverflow) {
  sBltRect r{2147483000, 0, 100000, 10, 0, 0, 100000, 10};
  EXPECT_FALSE(ClipBltRect(eClipRoad::DirectDraw, 640, 480, 2147483647, 480, r));
  sBltRect s{0, 0, 10, 10, -2147483647, 0, 10, 10};
  EXPECT_FALSE(ClipBltRect(eClipRoad::Direct3D, 640, 480, 640, 480, s));
}

struct sMirrorCase {
  int cell, x, w;
  int mirroredX, mirroredW;
};

TEST(MirrorRectInCells, TurnsCellRectanglesIntoMirroredReads) {
  const sMirrorCase cases[] = {
      {32, 64, 32, 96, -32},  // one whole cell: read it from its right edge
      {32, 35, 10, 61, -10},  // part of a cell: the mirrored columns of that cell
      {32, 0, 5, 32, -5},
      {32, 40, 40, 40, 40},   // wider than a cell: unchanged
      {0, 35, 10, 35, 10},    // no mirror cells on the axis
  };
  for (const sMirrorCase& c : cases) {
    int x = c.x, y = c.x, w = c.w, h = c.w;
    MirrorRectInCells(c.cell, c.cell, x, y, w, h);
    EXPECT_EQ(x, c.mirroredX) << "x " << c.x << " w " << c.w;
    EXPECT_EQ(w, c.mirroredW) << "x " << c.x << " w " << c.w;
    EXPECT_EQ(y, c.mirroredX) << "y axis, y " << c.x;
    EXPECT_EQ(h, c.mirroredW) << "y axis, y " << c.x;
  }
}

class DDMirrorRectTest : public testing::TestWithParam<eRoad> {};

TEST_P(DDMirrorRectTest, MirrorsOnlyCopyRowsUnderDirect3D) {
  drawtest::cTestLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA primary;
  DDSURFACEDATA copyRow;
  copyRow.lpPrimary = &primary;
  copyRow.nMirrorW = 32;
  DDSURFACEDATA sheet;
  sheet.nMirrorW = 32;  // mirror cells but no primary link: a sheet of its own

  int x = 64, y = 0, w = 32, h = 32;
  DDMirrorRect(&copyRow, x, y, w, h);
  if (layer.D3D()) {
    EXPECT_EQ(x, 96);
    EXPECT_EQ(w, -32);
  } else {
    EXPECT_EQ(x, 64);
    EXPECT_EQ(w, 32);
  }
  EXPECT_EQ(h, 32);

  x = 64, w = 32;
  DDMirrorRect(&sheet, x, y, w, h);
  EXPECT_EQ(x, 64);
  EXPECT_EQ(w, 32);
}

INSTANTIATE_TEST_SUITE_P(Roads, DDMirrorRectTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace

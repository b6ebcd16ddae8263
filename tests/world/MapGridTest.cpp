#include "world/MapGrid.h"

#include <gtest/gtest.h>

#include "WorldTestSupport.h"
#include "core/SafeAccess.h"
#include "graphics/DrawLayerTestSupport.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "world/Hero.h"

namespace {

using worldtest::cWorldFixture;

constexpr int kRowBits = 6;  // a stage 20 cells wide

class MapGridTest : public cWorldFixture {
 protected:
  // A 20 x 15 stage; `blocks` are {stage x, stage y, contact} placements.
  void Build(std::initializer_list<std::array<int, 3>> blocks) {
    MakeScene(20, 15);
    for (const auto& b : blocks) Place(b[0], b[1], b[2]);
    ASSERT_TRUE(BuildMapGrid(g_Stage));
  }

  cBlockData& Place(int x, int y, int contact) {
    cBlockData block;
    block.m_nGraphic = 1;
    block.m_nCellX = static_cast<std::int16_t>(x);
    block.m_nCellY = static_cast<std::int16_t>(y);
    block.m_nContact = static_cast<std::uint8_t>(contact);
    g_Stage.m_PlacedBlocks.push_back(block);
    return g_Stage.m_PlacedBlocks.back();
  }

  // Grid cell of an element index.
  static std::pair<int, int> CellOf(int index) { return {index & ((1 << kRowBits) - 1), index >> kRowBits}; }
};

TEST_F(MapGridTest, TheGridHasAMarginAndAPowerOfTwoStride) {
  EXPECT_EQ(6, MapRowBits(20));
  EXPECT_EQ(5, MapRowBits(12));
  Build({{0, 0, 1}, {19, 14, 2}, {-11, 3, 1}, {20, 40, 1}});
  EXPECT_EQ(35u * 64u, g_MapGrid.size());
  EXPECT_EQ(1, g_MapGrid[MapCellIndex(10, 10, kRowBits)].m_nContact);
  EXPECT_EQ(2, g_MapGrid[MapCellIndex(29, 24, kRowBits)].m_nContact);
  // Default cells draw nothing and stop nothing; off-map blocks are left out.
  int solid = 0;
  for (const cMapCell& cell : g_MapGrid) solid += cell.m_nContact != 0 ? 1 : 0;
  EXPECT_EQ(2, solid);
  EXPECT_EQ(0, g_MapGrid[0].m_nGraphic);
  EXPECT_FALSE(IsFatalPending());
}

TEST_F(MapGridTest, TheLaterOfTwoBlocksOnACellWins) {
  MakeScene();
  Place(3, 4, 1).m_nMark = 5;
  Place(3, 4, 2).m_nMark = 9;
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  const cMapCell& cell = g_MapGrid[MapCellIndex(13, 14, kRowBits)];
  EXPECT_EQ(2, cell.m_nContact);
  EXPECT_EQ(9, cell.m_nMark);
}

TEST_F(MapGridTest, StagesTooLargeOrNegativeAreRefused) {
  MakeScene();
  Place(0, 0, 1);
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  for (const auto& size : {std::pair{-1, 10}, std::pair{10, -30}, std::pair{100000, 100000},
                           std::pair{0x7FFFFFF0, 1}}) {
    cStageData stage;
    stage.m_Width = size.first;
    stage.m_Height = size.second;
    EXPECT_FALSE(BuildMapGrid(stage)) << size.first << "x" << size.second;
    EXPECT_TRUE(g_MapGrid.empty());
  }
}

TEST_F(MapGridTest, ContactKindLetsMatchingPassThroughNumbersThrough) {
  MakeScene();
  Place(0, 0, 1).m_nPassValue = 1;
  Place(1, 0, 2).m_nPassValue = 255;
  Place(2, 0, 1);
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  const struct {
    int column;
    int passNo;
    int kind;
  } cases[] = {{10, 1, 0}, {10, 2, 1}, {11, -1, 0}, {11, 255, 2}, {11, 0, 2}, {12, 0, 1}, {13, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.kind, CellContactKindAt(MapCellIndex(c.column, 10, kRowBits), c.passNo))
        << c.column << " " << c.passNo;
  }
  // Every dot of the left margin is an empty cell.
  EXPECT_EQ(0, CellContactKindAt(MapCellIndexAt(319, 330, kRowBits), 0));
  EXPECT_EQ(1, CellContactKindAt(MapCellIndexAt(320, 330, kRowBits), 2));
}

TEST_F(MapGridTest, CellsExistOnlyWhileTheirConditionsHoldOrHaveLatched) {
  MakeScene();
  cCond cond;
  cond.m_nKind = COND_COMMON_VAR;
  cond.m_nIndex = 7;
  cond.m_nValue = 1;
  Place(0, 0, 1).m_Conds.push_back(cond);
  cBlockData& latched = Place(1, 0, 1);
  latched.m_Conds.push_back(cond);
  latched.m_bCondLatch = 1;
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  const int plain = MapCellIndex(10, 10, kRowBits);
  const int latching = MapCellIndex(11, 10, kRowBits);

  EXPECT_EQ(0, CellContactKindAt(plain, 0));
  EXPECT_EQ(0, CellContactKindAt(latching, 0));
  g_Progress.m_CommonVars[7] = 1;
  EXPECT_EQ(1, CellContactKindAt(plain, 0));
  EXPECT_EQ(1, CellContactKindAt(latching, 0));
  g_Progress.m_CommonVars[7] = 0;
  EXPECT_EQ(0, CellContactKindAt(plain, 0));
  EXPECT_EQ(1, CellContactKindAt(latching, 0));
  // A rebuild forgets the latch.
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  EXPECT_EQ(0, CellContactKindAt(latching, 0));
}

TEST_F(MapGridTest, EdgeProbesPickTheHighestKindThenTheirRule) {
  // Column 10 rows 9 and 10 solid; row 10: column 11 solid, column 12 deadly;
  // row 15: columns 15 to 17 solid; row 17: columns 15 and 17 solid.
  Build({{0, -1, 1}, {0, 0, 1}, {1, 0, 1}, {2, 0, 2}, {5, 5, 1}, {6, 5, 1}, {7, 5, 1}, {5, 7, 1}, {7, 7, 1}});
  using Cell = std::pair<int, int>;
  // Vertical edge at column 10 from row 8, steps of 32 dots, three probes:
  // the first of the highest kind.
  EXPECT_EQ((Cell{10, 9}), CellOf(ProbeVerticalEdge(330, 256, 33, 2, 0, kRowBits)));
  // All kinds 0: the first probe.
  EXPECT_EQ((Cell{9, 3}), CellOf(ProbeVerticalEdge(300, 100, 33, 2, 0, kRowBits)));

  // Horizontal edge at row 10 over columns 10, 11, 12: the deadly one wins.
  EXPECT_EQ((Cell{12, 10}), CellOf(ProbeHorizontalEdge(330, 320, 384, 33, 2, 0, kRowBits)));
  // Equal kinds: the one nearest the middle of the edge...
  EXPECT_EQ((Cell{16, 15}), CellOf(ProbeHorizontalEdge(490, 480, 544, 33, 2, 0, kRowBits)));
  // ...and of two equally near ones the first.
  EXPECT_EQ((Cell{15, 17}), CellOf(ProbeHorizontalEdge(549, 480, 544, 33, 2, 0, kRowBits)));
  EXPECT_EQ((Cell{0, 0}), CellOf(ProbeHorizontalEdge(5, 0, 64, 33, 2, 0, kRowBits)));
}

TEST_F(MapGridTest, FootProbesSpreadOverTheBoxAndEndOnItsRightEdge) {
  // Row 10: column 10 solid at the left foot, column 12 deadly under the right.
  Build({{0, 0, 1}, {2, 0, 2}});
  using Cell = std::pair<int, int>;
  const struct {
    double left;
    double right;
    int boxW;
    int scale;
    Cell winner;
  } cases[] = {
      // Scale 1: three probes at 320, 352 and 383: the left one.
      {320.7, 383.2, 64, 1, Cell{10, 10}},
      // The right edge reaches column 12, the deadly cell.
      {330.0, 393.9, 64, 2, Cell{12, 10}},
      // Scale 4: five probes over 128 dots, the last on the right edge.
      {300.0, 427.5, 128, 4, Cell{12, 10}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.winner, CellOf(ProbeFootEdge(330, c.left, c.right, c.boxW, c.scale, 0, kRowBits))) << c.left;
  }
}

TEST_F(MapGridTest, CornerProbesGoLeftTopRightTopLeftBottomRightBottom) {
  Build({{0, 0, 1}, {1, 0, 1}, {0, 1, 2}, {1, 1, 1}});
  using Cell = std::pair<int, int>;
  EXPECT_EQ((Cell{10, 11}), CellOf(ProbeCorners(10, 10, 11, 11, 0, kRowBits)));
  EXPECT_EQ((Cell{10, 10}), CellOf(ProbeCorners(10, 10, 11, 10, 0, kRowBits)));
  EXPECT_EQ((Cell{11, 10}), CellOf(ProbeCorners(9, 10, 11, 10, 0, kRowBits)));
}

TEST_F(MapGridTest, MarksAreTakenFromColumnsOfFifteen) {
  const struct {
    int mark;
    int sx;
    int sy;
  } cases[] = {{0, 0, 0}, {14, 0, 448}, {15, 32, 0}, {16, 32, 32}, {119, 224, 448}};
  for (const auto& c : cases) {
    int sx = -1;
    int sy = -1;
    MarkSourcePoint(c.mark, sx, sy);
    EXPECT_EQ(c.sx, sx) << c.mark;
    EXPECT_EQ(c.sy, sy) << c.mark;
  }
}

// A block index whose cell lies outside the block sheet (past its last
// column, or negative) draws nothing; the sheet's last cell still draws.
TEST(MapCellDrawTest, ACellOutsideTheBlockSheetDrawsNothing) {
  drawtest::cTestLayer layer(drawtest::eRoad::DirectDraw, 64, 64);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA& sheet = g_SurfaceData[SURF_BLOCK];
  drawtest::MakeMarkedSurface(sheet, 64, 480);  // two columns of 15 cells
  const struct {
    int graphic;
    bool drawn;
  } cases[] = {{29, true}, {30, false}, {-1, false}};
  for (const auto& c : cases) {
    DDFillRectRGB(&BackBuffer, 0, 0, 64, 64, 0);
    cMapCell cell;
    cell.m_nGraphic = static_cast<std::int16_t>(c.graphic);
    DrawCell(cell, &BackBuffer, 0, 0);
    const std::uint32_t expected = c.drawn ? drawtest::Rgb(drawtest::Marker(32 + 5, 448 + 7)) : 0u;
    EXPECT_EQ(expected, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 5, 7))) << c.graphic;
  }
  DDReleaseSurface(&sheet);
}

// A cell draws its block graphic from the block sheet (cell n at column
// n / 15, row n % 15), then its mark over it when the mark is shown; a cell
// of a graphic kind without a sheet draws nothing.
TEST(MapCellDrawTest, TheBlockGraphicComesFromItsSheetAndTheMarkGoesOverIt) {
  drawtest::cTestLayer layer(drawtest::eRoad::DirectDraw, 64, 64);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA& sheet = g_SurfaceData[SURF_BLOCK];
  DDSURFACEDATA& marks = g_SurfaceData[SURF_MARK];
  DDSURFACEDATA target;
  drawtest::MakeMarkedSurface(sheet, 64, 480);
  drawtest::MakeFilledSurface(marks, 32, 480, 0xFF123456u);
  drawtest::MakeFilledSurface(target, 64, 64, 0xFF000000u);

  cMapCell cell;
  cell.m_nGraphicKind = GRAPHIC_BLOCK;
  cell.m_nGraphic = 16;  // column 1, row 1
  DrawCell(cell, &target, 0, 0);
  EXPECT_EQ(drawtest::Rgb(drawtest::Marker(32 + 5, 32 + 7)), drawtest::Rgb(drawtest::PixelAt(target, 5, 7)));
  EXPECT_EQ(0u, drawtest::Rgb(drawtest::PixelAt(target, 40, 40)));

  cell.m_nMarkShown = 1;
  DrawCell(cell, &target, 32, 32);
  EXPECT_EQ(0x123456u, drawtest::Rgb(drawtest::PixelAt(target, 40, 40)));

  drawtest::FillAll(target, 0xFF000000u);
  cell.m_nMarkShown = 0;
  cell.m_nGraphicKind = 9;
  DrawCell(cell, &target, 0, 0);
  EXPECT_EQ(0u, drawtest::Rgb(drawtest::PixelAt(target, 5, 7)));

  DDReleaseSurface(&target);
  DDReleaseSurface(&marks);
  DDReleaseSurface(&sheet);
}

}  // namespace

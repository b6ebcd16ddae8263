#include "data/WorldMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordRoundTrip.h"
#include "RecordTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using testsupport::ByteBuilder;
using testsupport::I32;

// A hand-built WorldMap.dat. The stored pitch and shift are whatever the test
// says; the loader must not use them.
struct MapFile {
  int version = DATA_VERSION;
  int width = 20, height = 15, pitch = 32, shift = 5;
  int startX = 9, startY = 7;
  int kinds = 10;
  std::vector<int32_t> grid = std::vector<int32_t>(480, 0);
  struct Node {
    int x, y;
    std::string name;
  };
  std::vector<Node> nodes;
  std::vector<Node> nodes2 = {{0, 0, "second"}};

  static void AppendStage(ByteBuilder& b, int version, const std::string& file) {
    b.U32(version >= 758 ? 14 : version >= 209 ? 11 : 10);
    for (int i = 0; i < 10; ++i) b.I32(0);
    if (version >= 209) b.I32(100);
    if (version >= 758) b.I32(0).I32(1).I32(0);
    b.U32(2).Str("title").Str(file);
  }
  static void AppendNodes(ByteBuilder& b, int version, const std::vector<Node>& nodes) {
    b.U32(static_cast<std::uint32_t>(nodes.size()));
    for (const Node& node : nodes) {
      b.Record({I32(node.x), I32(node.y)}, {node.name});
      b.U32(1);
      AppendStage(b, version, node.name + ".stg4_781");
    }
  }
  std::vector<std::uint8_t> Bytes() const {
    ByteBuilder b;
    b.U32(static_cast<std::uint32_t>(version));
    b.Record({I32(width), I32(height), I32(pitch), I32(shift), I32(startX), I32(startY), I32(16), I32(1)},
             {"map", "back.bmp"});
    b.U32(static_cast<std::uint32_t>(kinds));
    for (int i = 0; i < kinds; ++i) b.Record({I32(0), I32(i < 5), I32(i)}, {"kind", "label"});
    b.U32(static_cast<std::uint32_t>(grid.size()));
    for (int32_t cell : grid) b.I32(cell);
    AppendNodes(b, version, nodes);
    AppendNodes(b, version, nodes2);
    return b.Bytes();
  }
};

bool Load(cWorldMap& map, const std::vector<std::uint8_t>& bytes) {
  return cDataRecord::LoadFromBytes(map, bytes, "WorldMap.dat");
}

class WorldMapFile : public ::testing::Test {
 protected:
  recordtest::cTempFolder m_Folder;  // catches the report lines of refused files
};

TEST(WorldMap, DefaultsAreATwentyByFifteenMap) {
  const cWorldMap map;
  EXPECT_EQ(map.m_strName, "\x83\x8F\x81\x5B\x83\x8B\x83\x68");  // "ワールド" in CP932
  EXPECT_EQ(map.m_nWidth, 20);
  EXPECT_EQ(map.m_nHeight, 15);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitchShift, 5);
  EXPECT_EQ(map.m_Grid.size(), 480u);
  EXPECT_EQ(map.CellIndex(3, 2), 67);
  EXPECT_EQ(map.m_nStartX, 9);
  EXPECT_EQ(map.m_nStartY, 7);
  EXPECT_EQ(map.m_nFillColour, 16);
  ASSERT_EQ(map.m_CellKinds.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(map.m_CellKinds[i].m_nChip, i);
    EXPECT_EQ(map.m_CellKinds[i].m_bImpassable, i < 5 ? 1 : 0);
    EXPECT_EQ(map.m_CellKinds[i].m_strLabel, i < 5 ? "通行不可" : "通行可");
  }
  EXPECT_TRUE(map.m_Nodes.empty());
  ASSERT_EQ(map.m_Nodes2.size(), 1u);
  EXPECT_EQ(map.m_Nodes2[0].m_strName, "デフォルト");
  ASSERT_EQ(map.m_Nodes2[0].m_Stages.size(), 1u);
  EXPECT_EQ(map.m_Nodes2[0].m_Stages[0].m_nVariant1, 1);
}

TEST(WorldMap, RecordsKeepTheirDescriptorCounts) {
  cWorldMap map;
  cWorldCellKind kind;
  cWorldNode node;
  cWorldStage stage;
  EXPECT_EQ(map.CountMembers(DATA_VERSION), 8);
  EXPECT_EQ(map.CountStrings(DATA_VERSION), 2);
  EXPECT_EQ(kind.CountMembers(DATA_VERSION), 3);
  EXPECT_EQ(kind.CountStrings(DATA_VERSION), 2);
  EXPECT_EQ(node.CountMembers(DATA_VERSION), 2);
  EXPECT_EQ(node.CountStrings(DATA_VERSION), 1);
  EXPECT_EQ(stage.CountStrings(DATA_VERSION), 2);
}

TEST(WorldMap, PitchIsTheSmallestPowerOfTwoNotBelowTheWidth) {
  const int cases[][3] = {{1, 1, 0}, {2, 2, 1}, {3, 4, 2}, {20, 32, 5}, {32, 32, 5}, {33, 64, 6}, {1024, 1024, 10}};
  for (const auto& c : cases) {
    int32_t pitch = -1, shift = -1;
    CalcPitch(c[0], pitch, shift);
    EXPECT_EQ(pitch, c[1]) << "width " << c[0];
    EXPECT_EQ(shift, c[2]) << "width " << c[0];
  }
}

TEST(WorldMap, SetSizeKeepsTheCellsBothSizesShare) {
  cWorldMap map;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) map.m_Grid[map.CellIndex(x, y)] = 100 * y + x;
  ASSERT_TRUE(map.SetSize(40, 10));
  EXPECT_EQ(map.m_nPitch, 64);
  EXPECT_EQ(map.m_nPitchShift, 6);
  EXPECT_EQ(map.m_Grid.size(), 640u);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 40; ++x) EXPECT_EQ(map.CellAt(x, y), x < 20 ? 100 * y + x : 0) << x << "," << y;

  const std::vector<int32_t> grid(map.m_Grid.begin(), map.m_Grid.end());
  for (const auto& size : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-3, 5}}) {
    EXPECT_FALSE(map.SetSize(size.first, size.second));
    EXPECT_EQ(map.m_nWidth, 40);
    EXPECT_EQ(map.m_nHeight, 10);
    EXPECT_EQ(std::vector<int32_t>(map.m_Grid.begin(), map.m_Grid.end()), grid);
  }
}

TEST(WorldMap, CellsOffTheMapHaveNoIndex) {
  const cWorldMap map;
  for (const auto& cell : {std::pair{-1, 0}, std::pair{20, 0}, std::pair{0, -1}, std::pair{0, 15}, std::pair{25, 1}})
    EXPECT_EQ(map.CellIndex(cell.first, cell.second), -1) << cell.first << "," << cell.second;
  EXPECT_EQ(map.CellIndex(19, 14), 19 + 14 * 32);
}

TEST_F(WorldMapFile, PitchAndShiftFollowTheWidthNotTheFile) {
  MapFile file;
  file.width = 20;
  file.height = 3;
  file.pitch = 7;
  file.shift = 40;  // a shift this size would be undefined behaviour if used
  file.grid.assign(3 * 32 + 50, 0);  // and the grid is longer than the map
  file.grid[2 + (1 << 5)] = 4;        // cell (2, 1)
  cWorldMap map;
  ASSERT_TRUE(Load(map, file.Bytes()));
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitchShift, 5);
  EXPECT_EQ(map.m_Grid.size(), 96u);
  EXPECT_EQ(map.CellAt(2, 1), 4);

  MapFile shortGrid;
  shortGrid.grid.assign(10, 3);
  ASSERT_TRUE(Load(map, shortGrid.Bytes()));
  EXPECT_EQ(map.m_Grid.size(), 480u);
  EXPECT_EQ(map.CellAt(9, 0), 3);
  EXPECT_EQ(map.CellAt(10, 0), 0);
  EXPECT_EQ(map.CellAt(19, 14), 0);
}

TEST_F(WorldMapFile, CellsNamingAMissingKindBecomeKindZero) {
  MapFile file;
  file.kinds = 3;
  file.grid[0] = 2;
  file.grid[1] = 3;
  file.grid[2] = -1;
  cWorldMap map;
  ASSERT_TRUE(Load(map, file.Bytes()));
  EXPECT_EQ(map.CellAt(0, 0), 2);
  EXPECT_EQ(map.CellAt(1, 0), 0);
  EXPECT_EQ(map.CellAt(2, 0), 0);

  file.kinds = 0;
  ASSERT_TRUE(Load(map, file.Bytes()));
  EXPECT_EQ(map.m_CellKinds.size(), 1u);
  EXPECT_EQ(map.CellAt(0, 0), 0);
}

TEST_F(WorldMapFile, StartPositionIsBroughtOntoTheMap) {
  struct Case {
    int startX, startY, expectedX, expectedY;
  };
  const Case cases[] = {{25, 7, 19, 7}, {19, 14, 19, 14}, {20, 15, 19, 14}, {-3, -1, 0, 0}, {4, 100, 4, 14}};
  for (const Case& c : cases) {
    MapFile file;
    file.startX = c.startX;
    file.startY = c.startY;
    cWorldMap map;
    ASSERT_TRUE(Load(map, file.Bytes()));
    EXPECT_EQ(map.m_nStartX, c.expectedX) << c.startX << "," << c.startY;
    EXPECT_EQ(map.m_nStartY, c.expectedY) << c.startX << "," << c.startY;
  }
}

TEST_F(WorldMapFile, NodesOffTheMapAreDroppedInOrder) {
  MapFile file;
  file.nodes = {{20, 0, "a"}, {19, 0, "b"}, {0, 15, "c"}, {3, 14, "d"}, {-1, 2, "e"}};
  file.nodes2 = {{50, 50, "far"}};
  cWorldMap map;
  ASSERT_TRUE(Load(map, file.Bytes()));
  std::vector<std::string> names;
  for (const cWorldNode& node : map.m_Nodes) names.push_back(node.m_strName);
  EXPECT_EQ(names, (std::vector<std::string>{"b", "d", "e"}));
  ASSERT_EQ(map.m_Nodes2.size(), 1u);  // the second nodes are carried as they are
  EXPECT_EQ(map.m_Nodes2[0].m_nX, 50);

  ASSERT_NE(map.FindNode(3, 14), nullptr);
  EXPECT_EQ(map.FindNode(3, 14)->m_strName, "d");
  EXPECT_EQ(map.FindNodeAt(cWorldPoint{19, 0})->m_strName, "b");
  EXPECT_EQ(map.FindNode(20, 0), nullptr);
}

TEST_F(WorldMapFile, SizesOutsideTheLimitsAreRefusedAndChangeNothing) {
  const std::pair<int, int> sizes[] = {{0, 15}, {20, 0}, {-5, 15}, {20, -1}, {kMaxWorldMapSize + 1, 15},
                                       {20, kMaxWorldMapSize + 1}};
  for (const auto& size : sizes) {
    MapFile file;
    file.width = size.first;
    file.height = size.second;
    file.grid.clear();
    cWorldMap map;
    map.m_strName = "kept";
    EXPECT_FALSE(Load(map, file.Bytes())) << size.first << "x" << size.second;
    EXPECT_EQ(map.m_strName, "kept");
    EXPECT_EQ(map.m_nWidth, 20);
  }
  MapFile largest;
  largest.width = kMaxWorldMapSize;
  largest.height = 2;
  largest.grid.clear();
  cWorldMap map;
  ASSERT_TRUE(Load(map, largest.Bytes()));
  EXPECT_EQ(map.m_Grid.size(), 2u * kMaxWorldMapSize);
}

TEST_F(WorldMapFile, StageEntriesUpgradeByVersion) {
  struct Case {
    int version;
    int needTotal;
  };
  const Case cases[] = {{208, 0}, {209, 100}, {757, 100}, {758, 100}, {DATA_VERSION, 100}};
  for (const Case& c : cases) {
    MapFile file;
    file.version = c.version;
    file.nodes = {{1, 1, "n"}};
    cWorldMap map;
    ASSERT_TRUE(Load(map, file.Bytes())) << c.version;
    ASSERT_EQ(map.m_Nodes.size(), 1u);
    ASSERT_EQ(map.m_Nodes[0].m_Stages.size(), 1u);
    const cWorldStage& stage = map.m_Nodes[0].m_Stages[0];
    EXPECT_EQ(stage.m_nNeedTotal, c.needTotal) << c.version;
    EXPECT_EQ(stage.m_bVariant, 0) << c.version;
    EXPECT_EQ(stage.m_nVariant1, 1) << c.version;
    EXPECT_EQ(stage.m_nVariant2, 0) << c.version;
    EXPECT_EQ(stage.m_strStageFile, "n.stg4_781");
  }
  // A stage entry already holding a total is reset by an old file's read.
  cWorldStage stage;
  stage.m_nNeedTotal = 55;
  ByteBuilder b;
  MapFile::AppendStage(b, 208, "x");
  ReadRecordBytes(stage, b.Bytes(), 208);
  EXPECT_EQ(stage.m_nNeedTotal, 0);
  EXPECT_EQ(cWorldStage().CountMembers(DATA_VERSION), 14);
  EXPECT_EQ(cWorldStage().CountMembers(757), 11);
  EXPECT_EQ(cWorldStage().CountMembers(208), 10);
}

TEST_F(WorldMapFile, RoundTripKeepsEveryValue) {
  cWorldMap map;
  ASSERT_TRUE(map.SetSize(33, 4));
  map.m_Grid[map.CellIndex(32, 3)] = 9;
  map.m_nStartX = 30;
  map.m_nStartY = 2;
  map.m_nFillColour = 200;
  map.m_bBackPicture = 1;
  map.m_strBackPicture = "bmp\\w.bmp";
  map.m_CellKinds[7].m_strName = "海";
  map.m_CellKinds[7].m_nValue = -8;
  cWorldNode node;
  node.m_nX = 32;
  node.m_nY = 3;
  node.m_strName = "城";
  cWorldStage& stage = node.m_Stages[0];
  stage.m_nKind = WORLD_STAGE_WALL;
  stage.m_nSymbol = 3;
  stage.m_nClearFlag = 12;
  stage.m_bPassThrough = 1;
  stage.m_bReplay = 1;
  stage.m_nAfterClear = 77;
  stage.m_nNeedFlag = 4;
  stage.m_nCondVar = 5;
  stage.m_nCondValue = -6;
  stage.m_nCondOp = 7;
  stage.m_nNeedTotal = 1000;
  stage.m_bVariant = 1;
  stage.m_nVariant1 = 2;
  stage.m_nVariant2 = 3;
  stage.m_strTitle = "最後";
  stage.m_strStageFile = "last.stg4_781";
  node.m_Stages.push_back(cWorldStage());
  map.m_Nodes.push_back(node);

  const std::vector<std::uint8_t> bytes = map.MakeFileBytes();
  cWorldMap back;
  ASSERT_TRUE(Load(back, bytes));
  EXPECT_EQ(back.MakeFileBytes(), bytes);
  EXPECT_EQ(back.m_nWidth, 33);
  EXPECT_EQ(back.m_nPitch, 64);
  EXPECT_EQ(back.CellAt(32, 3), 9);
  EXPECT_EQ(back.m_nStartX, 30);
  EXPECT_EQ(back.m_strBackPicture, "bmp\\w.bmp");
  EXPECT_EQ(back.m_CellKinds[7].m_nValue, -8);
  ASSERT_EQ(back.m_Nodes.size(), 1u);
  ASSERT_EQ(back.m_Nodes[0].m_Stages.size(), 2u);
  const cWorldStage& s = back.m_Nodes[0].m_Stages[0];
  EXPECT_EQ(s.m_nKind, WORLD_STAGE_WALL);
  EXPECT_EQ(s.m_nAfterClear, 77);
  EXPECT_EQ(s.m_nCondValue, -6);
  EXPECT_EQ(s.m_nNeedTotal, 1000);
  EXPECT_EQ(s.m_nVariant2, 3);
  EXPECT_EQ(s.m_strTitle, "最後");
}

TEST_F(WorldMapFile, EveryTruncationIsRefusedAndChangesNothing) {
  MapFile file;
  file.width = 5;
  file.height = 2;
  file.grid.assign(16, 1);
  file.nodes = {{1, 1, "a"}, {2, 1, "b"}};
  const std::vector<std::uint8_t> whole = file.Bytes();
  cWorldMap map;
  const std::vector<std::uint8_t> before = map.MakeFileBytes();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
    EXPECT_FALSE(Load(map, cut)) << "length " << length;
  }
  EXPECT_EQ(map.MakeFileBytes(), before);
  EXPECT_TRUE(Load(map, whole));
}

TEST(WorldMap, StageLookUpMatchesTheSeriesKey) {
  cWorldMap map;
  ASSERT_TRUE(map.SetSize(10, 10));
  cWorldNode node;
  node.m_Stages.resize(4);
  node.m_Stages[0].m_strStageFile = "stage-1.stg4_781";
  node.m_Stages[1].m_strStageFile = "wall.stg4_781";
  node.m_Stages[1].m_nKind = WORLD_STAGE_WALL;
  node.m_Stages[2].m_strStageFile = "var.stg4_781";
  node.m_Stages[2].m_bVariant = 1;
  node.m_Stages[2].m_nVariant1 = 2;
  node.m_Stages[2].m_nVariant2 = 5;
  node.m_Stages[3].m_strStageFile = "a-1b-1c.stg4_781";
  map.m_Nodes.push_back(node);
  cWorldNode plain;
  plain.m_Stages[0].m_strStageFile = "data\\stg4\\plain";
  map.m_Nodes.push_back(plain);

  struct Case {
    const char* key;
    int mode, a, b;
    bool expected;
  };
  const Case cases[] = {
      {"stage.", 0, 0, 0, true},        // "-1" replaced by the dot
      {"stage-1.", 0, 0, 0, false},
      {"wall.", 0, 0, 0, false},        // only stage entries count
      {"var.", 0, 0, 0, false},         // a variant entry does not match in mode 0
      {"var.", 1, 2, 5, true},
      {"var.", 1, 2, 4, false},
      {"stage.", 1, 1, 0, false},       // mode 1 needs a variant entry
      {"a-1b.", 0, 0, 0, true},         // the last "-1" counts
      {"data\\stg4\\plain.", 0, 0, 0, true},  // a name without extension just gets the dot
      {"STAGE.", 0, 0, 0, false},       // case-sensitive
  };
  for (const Case& c : cases)
    EXPECT_EQ(map.IsStageOnMap(c.key, c.mode, c.a, c.b), c.expected) << c.key << " mode " << c.mode;
}

}  // namespace

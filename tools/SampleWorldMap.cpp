// The sample game's world map: a path from the start to three stage nodes and
// the ending; each node after the first is a gate until the stage before it
// is cleared.

#include "SampleArt.h"
#include "SampleGame.h"

namespace samplegame {

namespace {

constexpr int kMapWidth = 30;
constexpr int kWorldMapHeight = 21;
constexpr int kPathRow = 10;
constexpr int kPathFirstColumn = 6;
constexpr int kNodeSpacing = 4;
constexpr int kPathLastColumn = kPathFirstColumn + kNodeSpacing * (kStageCount + 1) - 1;
// The cell kinds of a new map, by their chips (SampleScreens.cpp); kinds 0
// to 4 are impassable.
enum eCellKind : int { CELL_MEADOW = 0, CELL_SEA = 1, CELL_FOREST = 2, CELL_MOUNTAIN = 3, CELL_SAND = 4, CELL_ROAD = 5 };
// Off the map the screen shows the sea's own colour (the first of its cycling
// group, SampleScreens.cpp's Water).
constexpr int kSeaColour = art::kCycleFirst + 1;
constexpr int kAfterClearTitle = 2;

cWorldStage MakeStageEntry(int nStage) {
  cWorldStage entry;
  entry.m_nKind = WORLD_STAGE_STAGE;
  entry.m_nSymbol = nStage - 1;
  entry.m_nClearFlag = nStage;
  entry.m_bPassThrough = 1;
  entry.m_bReplay = 1;
  entry.m_nNeedFlag = nStage - 1;  // flag 0 is always set
  entry.m_strTitle = "ステージ" + std::to_string(nStage);
  entry.m_strStageFile = StagePathForWorldMap(nStage);
  return entry;
}

// Until the stage before is cleared a node stops the cursor.
cWorldStage MakeGate() {
  cWorldStage gate;
  gate.m_nKind = WORLD_STAGE_WALL;
  gate.m_nSymbol = art::kWorldGateSymbol;
  return gate;
}

// The ending starts as soon as the figure reaches it, once the last stage is
// cleared; its clear ends the story on the title.
cWorldNode MakeEndingNode(int x) {
  cWorldNode node;
  node.m_nX = x;
  node.m_nY = kPathRow;
  node.m_strName = "ゴール";
  cWorldStage& entry = node.m_Stages[0];
  entry.m_nKind = WORLD_STAGE_STAGE;
  entry.m_nSymbol = art::kWorldEndingSymbol;
  entry.m_nClearFlag = kStageCount + 1;
  entry.m_nNeedFlag = kStageCount;
  entry.m_nAfterClear = kAfterClearTitle;
  entry.m_strTitle = "エンディング";
  entry.m_strStageFile = kEndingPathForWorldMap;
  node.m_Stages.push_back(MakeGate());
  return node;
}

// An island in the sea: a sandy shore around meadows, a forest to the south
// and mountains to the north of the road.
void PaintIsland(cWorldMap& map) {
  auto fill = [&map](int x0, int y0, int x1, int y1, int kind) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) map.m_Grid[map.CellIndex(x, y)] = kind;
  };
  fill(0, 0, kMapWidth - 1, kWorldMapHeight - 1, CELL_SEA);
  fill(3, 5, kMapWidth - 4, kWorldMapHeight - 6, CELL_SAND);
  fill(4, 6, kMapWidth - 5, kWorldMapHeight - 7, CELL_MEADOW);
  fill(8, 6, 20, 7, CELL_MOUNTAIN);
  fill(7, 12, 12, 14, CELL_FOREST);
  fill(18, 13, 24, 14, CELL_FOREST);
  fill(kPathFirstColumn, kPathRow, kPathLastColumn, kPathRow, CELL_ROAD);
}

}  // namespace

std::string StagePathForWorldMap(int nStage) {
  return "data\\stg4\\c0" + std::to_string(nStage) + "-1.stg4";
}

cWorldMap MakeWorldMap() {
  cWorldMap map;
  map.m_strName = "サンプルワールド";
  map.SetSize(kMapWidth, kWorldMapHeight);
  map.m_nFillColour = kSeaColour;
  PaintIsland(map);
  map.m_nStartX = kPathFirstColumn;
  map.m_nStartY = kPathRow;
  for (int stage = 1; stage <= kStageCount; ++stage) {
    cWorldNode node;
    node.m_nX = kPathFirstColumn + kNodeSpacing * stage - 1;
    node.m_nY = kPathRow;
    node.m_strName = "ノード" + std::to_string(stage);
    node.m_Stages[0] = MakeStageEntry(stage);
    if (stage > 1) node.m_Stages.push_back(MakeGate());
    map.m_Nodes.push_back(node);
  }
  map.m_Nodes.push_back(MakeEndingNode(map.m_Nodes.back().m_nX + kNodeSpacing));
  return map;
}

}  // namespace samplegame

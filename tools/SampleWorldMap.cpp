// The sample game's world map: a path from the start to three stage nodes;
// each node after the first is a wall until the stage before it is cleared,
// and the clear of the last one ends the story on the title.

#include "SampleArt.h"
#include "SampleGame.h"

namespace samplegame {

namespace {

constexpr int kPathRow = 7;
constexpr int kPathFirstColumn = 4;
constexpr int kPathLastColumn = 16;
constexpr int kPassableKind = 5;  // kinds 0 to 4 of a new map are impassable
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

}  // namespace

std::string StagePathForWorldMap(int nStage) {
  return "data\\stg4\\c0" + std::to_string(nStage) + "-1.stg4";
}

cWorldMap MakeWorldMap() {
  cWorldMap map;
  map.m_strName = "サンプルワールド";
  for (int x = kPathFirstColumn; x <= kPathLastColumn; ++x) map.m_Grid[map.CellIndex(x, kPathRow)] = kPassableKind;
  map.m_nStartX = kPathFirstColumn;
  map.m_nStartY = kPathRow;
  for (int stage = 1; stage <= kStageCount; ++stage) {
    cWorldNode node;
    node.m_nX = kPathFirstColumn + 4 * stage - 1;
    node.m_nY = kPathRow;
    node.m_strName = "ノード" + std::to_string(stage);
    node.m_Stages[0] = MakeStageEntry(stage);
    // Clearing the last stage ends the story: the game goes back to its title.
    if (stage == kStageCount) node.m_Stages[0].m_nAfterClear = kAfterClearTitle;
    if (stage > 1) {
      // Until the stage before is cleared the node stops the cursor.
      cWorldStage wall;
      wall.m_nKind = WORLD_STAGE_WALL;
      wall.m_nSymbol = art::kWorldGateSymbol;
      node.m_Stages.push_back(wall);
    }
    map.m_Nodes.push_back(node);
  }
  return map;
}

}  // namespace samplegame

// The sample game's world map: a path from the start to three stage nodes and
// the ending; each node after the first is a gate until the stage before it
// is cleared.

#include "SampleArt.h"
#include "SampleGame.h"

namespace samplegame {

namespace {

constexpr int kPathRow = 7;
constexpr int kPathFirstColumn = 4;
constexpr int kPathLastColumn = 19;
constexpr int kPassableKind = 5;  // kinds 0 to 4 of a new map are impassable
constexpr int kNodeSpacing = 4;
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

#include "world/Spawn.h"

#include <algorithm>
#include <cmath>

#include "data/BlockData.h"
#include "data/CharaData.h"
#include "data/EdShot.h"
#include "data/ItemData.h"
#include "data/Palette.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/BlockCollision.h"
#include "world/Chara.h"
#include "world/Conditions.h"
#include "world/Formation.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/MapGrid.h"

namespace {

constexpr int kCrushGraceOnSummon = 2;
constexpr double kCellEdgeInside = 0.1;  // a cell's box ends just before the next cell

// The copy offset of copy `copy` moves the box and, unless the system data
// keeps start points where placed, the recorded start point too.
void ApplyCopyOffset(cCharaBase& chara, const cCharaData& definition, int copy) {
  const double dx = definition.GetCopyOffsetX(copy, chara.m_Facing);
  const double dy = definition.GetCopyOffsetY(copy, chara.m_Facing);
  chara.m_X += dx;
  chara.m_Right += dx;
  chara.m_Y += dy;
  chara.m_Bottom += dy;
  if (g_System.m_bStartPointSwitch == 0) {
    chara.m_SpawnX += dx;
    chara.m_SpawnY += dy;
  }
}

// A summoned object stands with its cell's centre on the formation's point,
// as a placed one stands on its cell; its edges follow without a clamp.
constexpr int kFollowOnly = -1;
void PutCentreAt(cGameObj& object, double x, double y) {
  object.m_X = x - kCellDots / 2 + object.m_BaseDrawOffX;
  object.m_Y = y - kCellDots / 2 + object.m_BaseDrawOffY;
  object.ClampX(kFollowOnly);
  object.ClampY(kFollowOnly);
}

int32_t LifetimeInSubSteps(int tenths) {
  const int64_t steps = int64_t{tenths} * g_Stage.SubStepsAtLeastOne() * 6;
  return static_cast<int32_t>(std::clamp<int64_t>(steps, 0, kEndlessLife - 1));
}

// The cell under a point, or -1 outside the grid.
int CellIndexAt(double x, double y, int& column, int& row) {
  column = static_cast<int>(std::floor(x + 16.5)) >> 5;
  row = static_cast<int>(std::floor(y + 16.5)) >> 5;
  const cGameScene& scene = *g_GameScene;
  if (column < 0 || row < 0 || column >= scene.m_ScrollX.m_CellCount || row >= scene.m_ScrollY.m_CellCount) return -1;
  const int index = MapCellIndex(column, row, scene.m_ScrollX.m_RowBits);
  return index >= 0 && index < static_cast<int>(g_MapGrid.size()) ? index : -1;
}

bool CellShowsBlock(cMapCell& cell) { return cell.m_nGraphic != 0 && CellConditionsHold(cell); }

bool IsProtected(cMapCell& cell) {
  if (cell.m_bFixed == 0) return false;
  return g_System.m_bProtectPlacedBlocks != 0 || CellShowsBlock(cell);
}

// Puts the block into the cell; with a not-on switch, the cell goes back as
// it was when the block would cover someone it must not. True when the block
// stayed.
bool PutBlock(int index, int column, int row, const cBlockSummon& summon) {
  cMapCell& cell = g_MapGrid[index];
  if (summon.notOnHero == 0 && summon.notOnCharas == 0) {
    static_cast<cBlockData&>(cell) = *summon.block;
    cell.m_CondLatched = 0;
    IsBlockPlaceTaken(index, column, row, summon);
    return true;
  }
  const cMapCell kept = cell;
  static_cast<cBlockData&>(cell) = *summon.block;
  cell.m_CondLatched = 0;
  if (IsBlockPlaceTaken(index, column, row, summon) == 1) {
    g_MapGrid[index] = kept;
    return false;
  }
  return true;
}

void EraseBlock(cMapCell& cell) {
  static_cast<cBlockData&>(cell) = g_CommonPalette.m_Blocks[0];
  cell.m_CondLatched = 0;
}

bool CoversSolid(cCharaBase& chara, int index, double left, double top, double right, double bottom) {
  if (CellContactKindAt(index, chara.m_PassNo) == 0) return false;
  return chara.m_X <= right && chara.m_Right >= left && chara.m_Y <= bottom && chara.m_Bottom >= top;
}

}  // namespace

int SpawnCharacters(int column, int row, int32_t& keyCounter, const cCharaData& placement, const cItem* carried) {
  const cCharaData definition = placement;
  int placed = 0;
  for (int copy = 0; copy <= definition.m_nExtraCopies; ++copy) {
    cChara chara;
    chara.Init(keyCounter, definition, carried, CellCentre(column), CellCentre(row), copy, nullptr);
    chara.PlaceOnGrid(column, row);
    ApplyCopyOffset(chara, definition, copy);
    if (chara.IsWithinBounds(0) == 0) continue;
    chara.ConstrainX();
    chara.ConstrainY();
    cChara& added = g_CharaList.Append(chara);
    added.UpdateRect();
    ++keyCounter;
    ++placed;
  }
  return placed;
}

int SpawnItem(int column, int row, int32_t& keyCounter, const cItemData& placement) {
  cItem item;
  item.Init(keyCounter, placement, 0);
  item.PlaceOnGrid(column, row);
  if (item.IsWithinBounds(0) == 0) return 0;
  item.ClampX(CLAMP_GRID);
  item.ClampY(CLAMP_GRID);
  cItem& added = g_ItemList.Append(item);
  added.UpdateRect();
  ++keyCounter;
  return 1;
}

cChara* CreateSummonedChara(const cCharaSummon& summon, const cSummonPlace& place) {
  if (summon.definition == nullptr || g_GameScene == nullptr) return nullptr;
  cGameScene& scene = *g_GameScene;
  cCharaData definition = *summon.definition;
  definition.m_nFacing = static_cast<std::uint8_t>(place.facing);
  definition.m_nPassNumber = static_cast<std::uint8_t>(place.passNo);
  if (summon.noScore != 0) definition.m_nGetsc = 0;

  cChara chara;
  chara.Init(scene.m_nCharaKeyCounter, definition, nullptr, place.x, place.y, place.copyIndex, summon.summoner);
  PutCentreAt(chara, place.x, place.y);
  ApplyCopyOffset(chara, definition, place.copyIndex);
  if (chara.IsWithinBounds(0) == 0) return nullptr;
  chara.ConstrainX();
  chara.ConstrainY();
  cChara& added = g_CharaList.Append(chara);
  added.UpdateRect();
  if (IsPlaceBlocked(added, g_CharaList) != 0) {
    g_CharaList.Remove(&added);
    return nullptr;
  }
  added.InstallFlows(added.m_Data.m_Flows, 0, -1);
  if (summon.summoner != nullptr) added.SetParent(summon.summoner);
  if (summon.life.limited) added.m_Life = LifetimeInSubSteps(summon.life.tenths);
  added.m_bRelayToParent = summon.relayToParent;
  added.m_nRelayFlowId = static_cast<uint8_t>(summon.relayFlowId);
  scene.AddToGroup(added);
  ++scene.m_nCharaKeyCounter;
  return &added;
}

cItem* CreateSummonedItem(const cItemData& definition, const cSummonPlace& place, const cSummonLife& life) {
  if (g_GameScene == nullptr) return nullptr;
  cGameScene& scene = *g_GameScene;
  cItem item;
  item.Init(scene.m_nItemKeyCounter, definition, 0);
  PutCentreAt(item, place.x, place.y);
  if (item.IsWithinBounds(0) == 0) return nullptr;
  item.ClampX(CLAMP_GRID);
  item.ClampY(CLAMP_GRID);
  if (life.limited) item.m_Life = LifetimeInSubSteps(life.tenths);
  cItem& added = g_ItemList.Append(item);
  ++scene.m_nItemKeyCounter;
  return &added;
}

void PlaceSummonedBlocks(double x, double y, const cBlockSummon& summon) {
  if (summon.block == nullptr || g_GameScene == nullptr) return;
  int column = 0;
  int row = 0;
  const int index = CellIndexAt(x, y, column, row);
  if (index < 0) return;
  cMapCell& cell = g_MapGrid[index];
  if (IsProtected(cell)) return;
  std::vector<int32_t>& toggled = g_GameScene->m_ToggledCells;
  switch (summon.mode) {
    case BLOCK_SUMMON_PLACE:
      PutBlock(index, column, row, summon);
      break;
    case BLOCK_SUMMON_ERASE:
      EraseBlock(cell);
      break;
    case BLOCK_SUMMON_TOGGLE:
      if (std::find(toggled.begin(), toggled.end(), index) != toggled.end()) return;
      if (CellShowsBlock(cell)) {
        EraseBlock(cell);
        toggled.push_back(index);
      } else if (PutBlock(index, column, row, summon)) {
        toggled.push_back(index);
      }
      break;
    default:
      break;
  }
}

int IsBlockPlaceTaken(int index, int column, int row, const cBlockSummon& summon) {
  const double left = static_cast<double>(column) * kCellDots;
  const double top = static_cast<double>(row) * kCellDots;
  const double right = left + kCellDots - kCellEdgeInside;
  const double bottom = top + kCellDots - kCellEdgeInside;
  if (cHero* hero = StageHero(); hero != nullptr && hero->m_bDead == 0) {
    if (CoversSolid(*hero, index, left, top, right, bottom)) {
      hero->m_nCrushGrace = kCrushGraceOnSummon;
      if (summon.notOnHero != 0) return 1;
    }
  }
  for (cChara& chara : g_CharaList) {
    if (chara.m_bDead != 0 || chara.m_Active == 0) continue;
    if (CoversSolid(chara, index, left, top, right, bottom)) {
      chara.m_nCrushGrace = kCrushGraceOnSummon;
      if (summon.notOnCharas != 0) return 1;
    }
  }
  return 0;
}

// ---- the summon commands' side ----------------------------------------------------

namespace {

// A character or item summon keeps the lifetime it gives where a shot keeps
// its flight distance ("存在時間(1/10s)" of the summon commands, which the
// arrange command changes there too); the lifetime switch limits it.
cSummonLife SummonLifeOf(const cEdShot& edShot) { return {edShot.m_bLifetimeOn != 0, edShot.m_nDistance}; }

// What the formations of a summon command ask of the scene: the formation
// gives each object's top-left corner; the summon's switches come from the
// command's shot parameters.
class cSceneSummonCreator final : public cSummonCreator {
 public:
  void PlaceSummonedBlocks(const cBlockData& block, double x, double y, int /*shooterFacing*/,
                           const cEdShot& edShot) override {
    const cBlockSummon summon{&block, edShot.m_nBlockSummonMode, edShot.m_nSummonCheckA, edShot.m_nSummonCheckB};
    ::PlaceSummonedBlocks(x, y, summon);
  }
  void ResetBlockToggle() override {
    if (g_GameScene != nullptr) g_GameScene->m_ToggledCells.clear();
  }
  void CreateSummonedChara(double x, double y, int side, int facing, int /*shooterFacing*/, const cEdShot& edShot,
                           const cCharaData& definition, cCharaBase& shooter) override {
    cCharaSummon summon;
    summon.definition = &definition;
    summon.summoner = &shooter;
    summon.noScore = edShot.m_nSummonSwitch;
    summon.life = SummonLifeOf(edShot);
    summon.relayToParent = edShot.m_bFlowOnHit;
    summon.relayFlowId = edShot.m_nFlowOnHitId;
    const cSummonPlace place{x + kCellDots / 2, y + kCellDots / 2, facing, side, 0};
    ::CreateSummonedChara(summon, place);
  }
  void CreateSummonedItem(double x, double y, int /*shooterFacing*/, const cEdShot& edShot,
                          const cItemData& definition) override {
    const cSummonPlace place{x + kCellDots / 2, y + kCellDots / 2, 0, 0, 0};
    ::CreateSummonedItem(definition, place, SummonLifeOf(edShot));
  }
};

}  // namespace

cSummonCreator& SceneSummonCreator() {
  static cSceneSummonCreator creator;  // holds no state: one serves every scene
  return creator;
}

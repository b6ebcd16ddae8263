#include "world/MapGrid.h"

#include <cstdlib>

#include "core/Numeric.h"
#include "data/StageData.h"
#include "graphics/Blit.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "world/CharaDraw.h"
#include "world/Conditions.h"
#include "world/ScrollAxis.h"

namespace {

constexpr int kMarkColumnCells = 15;

// Picks the winner among probes: the highest kind; among equal kinds the
// earlier probe, or with `middle` given the probe nearer to it and then the
// earlier one. When no probe touches anything the first one stands.
class cProbeWinner {
 public:
  cProbeWinner(int passNo, const int* middle) : m_PassNo(passNo), m_pMiddle(middle) {}

  void Offer(int index, int position) {
    const int kind = CellContactKindAt(index, m_PassNo);
    const int64_t distance = m_pMiddle != nullptr ? std::llabs(int64_t{position} - *m_pMiddle) : 0;
    const bool better = m_Index < 0 || kind > m_Kind || (kind == m_Kind && kind > 0 && distance < m_Distance);
    if (!better) return;
    m_Index = index;
    m_Kind = kind;
    m_Distance = distance;
  }
  int Index() const { return m_Index; }

 private:
  int m_PassNo;
  const int* m_pMiddle;
  int m_Index = -1;
  int m_Kind = 0;
  int64_t m_Distance = 0;
};

}  // namespace

int MapRowBits(int width) { return BitLength(int64_t{width} + 2 * kMapMarginCells - 1); }

int MapCellIndex(int column, int row, int rowBits) {
  // The grid is bounded by kMaxMapGridCells, so a valid cell's index always
  // fits; a far-off one is wrapped like 32-bit arithmetic and then refused by
  // the checked access.
  return WrapToI32(int64_t{column} + (int64_t{row} << rowBits));
}

int MapCellIndexAt(int px, int py, int rowBits) { return MapCellIndex(px >> 5, py >> 5, rowBits); }

bool BuildMapGrid(const cStageData& stage) {
  g_MapGrid.clear();
  if (stage.m_Width < 0 || stage.m_Height < 0) return false;
  const int rowBits = MapRowBits(stage.m_Width);
  const int64_t rows = int64_t{stage.m_Height} + 2 * kMapMarginCells;
  if (rowBits > 30 || rows * (int64_t{1} << rowBits) > kMaxMapGridCells) return false;

  cMapCell empty;
  empty.m_nGraphic = 0;
  empty.m_nContact = BLOCK_CONTACT_NONE;
  empty.m_bFixed = 0;
  empty.m_CondLatched = 0;
  g_MapGrid.assign(static_cast<std::size_t>(rows << rowBits), empty);

  const int columns = stage.m_Width + 2 * kMapMarginCells;
  for (const cBlockData& block : stage.m_PlacedBlocks) {
    const int column = block.m_nCellX + kMapMarginCells;
    const int row = block.m_nCellY + kMapMarginCells;
    if (column < 0 || column >= columns || row < 0 || row >= rows) continue;
    cMapCell& cell = g_MapGrid[MapCellIndex(column, row, rowBits)];
    static_cast<cBlockData&>(cell) = block;
    cell.m_CondLatched = 0;
  }
  return true;
}

int CellContactKind(cMapCell& cell, int passNo) {
  if (!cell.m_Conds.empty() && !CellConditionsHold(cell)) return 0;
  if (static_cast<int8_t>(cell.m_nPassValue) == passNo) return 0;
  return cell.m_nContact;
}

int CellContactKindAt(int index, int passNo) { return CellContactKind(g_MapGrid[index], passNo); }

int ProbeVerticalEdge(int x, int y1, int baseBoxH, int scale, int passNo, int rowBits) {
  cProbeWinner winner(passNo, nullptr);
  for (int64_t i = 0; i <= scale; ++i) {
    const int y = WrapToI32(y1 + i * (int64_t{baseBoxH} - 1));
    winner.Offer(MapCellIndexAt(x, y, rowBits), y);
  }
  return winner.Index();
}

int ProbeHorizontalEdge(int y, int x1, int x2, int baseBoxW, int scale, int passNo, int rowBits) {
  const int middle = WrapToI32((int64_t{x1} + x2) >> 1);
  cProbeWinner winner(passNo, &middle);
  for (int64_t i = 0; i <= scale; ++i) {
    const int x = WrapToI32(x1 + i * (int64_t{baseBoxW} - 1));
    winner.Offer(MapCellIndexAt(x, y, rowBits), x);
  }
  return winner.Index();
}

int ProbeFootEdge(int y, double left, double right, int boxW, int scale, int passNo, int rowBits) {
  const int count = (scale & 1) != 0 ? scale + 2 : scale + 1;
  const int first = TruncToI32(left);
  const int last = TruncToI32(right);
  const int middle = WrapToI32((int64_t{first} + last) >> 1);
  // A scale of 0 or less gives a single probe on the left edge.
  const int step = count > 1 ? boxW / (count - 1) : 0;
  cProbeWinner winner(passNo, &middle);
  for (int i = 0; i < count; ++i) {
    const int x = i == count - 1 && count > 1 ? last : WrapToI32(first + int64_t{i} * step);
    winner.Offer(MapCellIndexAt(x, y, rowBits), x);
  }
  return winner.Index();
}

int ProbeCorners(int cellLeft, int cellTop, int cellRight, int cellBottom, int passNo, int rowBits) {
  cProbeWinner winner(passNo, nullptr);
  winner.Offer(MapCellIndex(cellLeft, cellTop, rowBits), 0);
  winner.Offer(MapCellIndex(cellRight, cellTop, rowBits), 0);
  winner.Offer(MapCellIndex(cellLeft, cellBottom, rowBits), 0);
  winner.Offer(MapCellIndex(cellRight, cellBottom, rowBits), 0);
  return winner.Index();
}

void MarkSourcePoint(int mark, int& sx, int& sy) {
  sx = (mark / kMarkColumnCells) * kCellDots;
  sy = (mark % kMarkColumnCells) * kCellDots;
}

void DrawCell(const cMapCell& cell, DDSURFACEDATA* destination, int x, int y) {
  // The sheet and cell of the block's graphic kind, index and row, as the
  // characters' graphics are found; a cell outside its sheet draws nothing.
  const cGraphicSource source =
      SelectGraphicSource(GRAPHIC_USE_NONE, cell.m_nGraphicKind, cell.m_nGraphic, cell.m_nGraphicRow, nullptr, 0);
  const DDSURFACEDATA* image = source.image;
  if (image != nullptr && source.sx >= 0 && source.sy >= 0 && source.sx + kCellDots <= image->nWidth &&
      source.sy + kCellDots <= image->nHeight) {
    DDBlt(destination, x, y, kCellDots, kCellDots, source.image, source.sx, source.sy, 1);
  }
  if (cell.m_nMarkShown != 1) return;
  int sx = 0;
  int sy = 0;
  MarkSourcePoint(cell.m_nMark, sx, sy);
  DDBlt(destination, x, y, kCellDots, kCellDots, &g_SurfaceData[SURF_MARK], sx, sy, 1);
}

#pragma once
// The map grid of the running stage: g_MapGrid, one flat array of cMapCell,
// built anew at every stage start and restart.
//
// Geometry. A stage of W x H cells is surrounded by a margin of 10 empty cells
// on every side: the grid spans W + 20 columns and H + 20 rows, grid cell
// (gx, gy) covers world dots [32 gx, 32 gx + 31] x [32 gy, 32 gy + 31], and
// stage cell (x, y) is grid cell (x + 10, y + 10). Rows are stored with a
// power-of-two stride: rowBits = the bit length of W + 19, stride =
// 1 << rowBits, and grid cell (gx, gy) is element gx + (gy << rowBits) of
// (H + 20) x stride elements (columns W + 20 to stride - 1 exist and stay
// empty). World dot (px, py) belongs to element (px >> 5) + ((py >> 5) <<
// rowBits), with arithmetic shifts. The game scene keeps rowBits with its
// horizontal scroll axis (ScrollAxis.h).
//
// A cell is a copy of the block placed there (cBlockData) plus one run-time
// byte. Collision reads only its contact kind through CellContactKind; the
// probes below pick, among the cells along an edge of an object, the one whose
// kind decides. Cells are referred to by their element index, never by
// address: the array is rebuilt at every stage start. Element access is
// checked: an index outside the array reports "err V[%d] ( %d , %d )" and
// gives element 0.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/BlockData.h"

class cStageData;
struct DDSURFACEDATA;

struct cMapCell : public cBlockData {
  // 1 once the cell's appearance conditions have held; only consulted while
  // the block's condition latch is set.
  uint8_t m_CondLatched = 0;
};

// The map grid of the running stage. Defined with every global object in
// app/Globals.cpp.
extern cSafeVector<cMapCell> g_MapGrid;

// The largest grid BuildMapGrid makes, in elements: stages beyond it (only a
// damaged file has one) are refused rather than exhausting memory.
inline constexpr int64_t kMaxMapGridCells = int64_t{1} << 22;

// The row bits of a stage `width` cells wide: the bit length of width + 19.
int MapRowBits(int width);

// Rebuilds g_MapGrid for `stage`: (H + 20) x stride default cells (a fresh
// block with graphic 0, contact 0, not fixed, latch 0), then every placed
// block, in list order, copied whole into the cell of its position (a later
// block on the same cell wins; a block outside the map is left out). False,
// with g_MapGrid emptied, for a map of negative size or one whose grid would
// exceed kMaxMapGridCells.
bool BuildMapGrid(const cStageData& stage);

// The element index of world dot (px, py), and of grid cell (column, row).
int MapCellIndexAt(int px, int py, int rowBits);
int MapCellIndex(int column, int row, int rowBits);

// The contact kind of a cell for an object with pass-through number `passNo`:
// 0 while the cell has appearance conditions that do not hold
// (CellConditionsHold, Conditions.h), 0 when the cell's pass-through value
// (sign-extended) equals `passNo`, otherwise its contact kind (0 none, 1
// solid, 2 solid and deadly to player-operated objects).
int CellContactKind(cMapCell& cell, int passNo);
// The same for the element at `index` of g_MapGrid.
int CellContactKindAt(int index, int passNo);

// ---- probes along an object's edges ----
// Each probe tests cells of g_MapGrid with CellContactKind and `passNo`, and
// returns the element index of the winning cell: the one of the highest kind
// (the first probe when every kind is 0). `rowBits` indexes the grid.

// A vertical edge at world column x: scale + 1 probes at y1, y1 + (h - 1),
// y1 + 2 (h - 1), ... with h the object's box height at scale 1. Among equal
// kinds the first probe wins.
int ProbeVerticalEdge(int x, int y1, int baseBoxH, int scale, int passNo, int rowBits);
// A horizontal edge at world row y: scale + 1 probes at x1, x1 + (w - 1), ...
// with w the box width at scale 1. Among equal kinds the probe nearest the
// edge's middle ((x1 + x2) >> 1) wins, then the first.
int ProbeHorizontalEdge(int y, int x1, int x2, int baseBoxW, int scale, int passNo, int rowBits);
// The feet of a player-operated object at world row y: scale + 2 probes for
// an odd scale, scale + 1 for an even one, from whole(left) in whole-dot steps
// of boxW / (count - 1) (boxW at the current scale), the last exactly on
// whole(right). The winner as for a horizontal edge.
int ProbeFootEdge(int y, double left, double right, int boxW, int scale, int passNo, int rowBits);
// The four corner cells of a cell box: (left, top), (right, top), (left,
// bottom), (right, bottom), in this order; the first of the highest kind wins.
int ProbeCorners(int cellLeft, int cellTop, int cellRight, int cellBottom, int passNo, int rowBits);

// ---- drawing ----

// The source point of mark t in the mark image, which holds its 32 x 32 marks
// in columns of 15, top to bottom: ((t / 15) x 32, (t % 15) x 32).
void MarkSourcePoint(int mark, int& sx, int& sy);

// Draws the cell at screen position (x, y): its block graphic, then, when its
// mark is shown (1; 2 is for the editor only), its mark from the mark image,
// each a 32 x 32 copy with the transparent colour.
void DrawCell(const cMapCell& cell, DDSURFACEDATA* destination, int x, int y);

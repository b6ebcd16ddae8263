#pragma once
// cScrollAxis: one axis of the game scene's camera. The game scene keeps two,
// scroll X and scroll Y. Each holds the camera position along its axis (the
// world coordinate of the view's left or top edge), the range the camera may
// take, the geometry of the map along the axis and the automatic scrolling
// speed. Game objects, drawing and the scroll commands read and write them.
//
// World coordinates are dots from the top-left of the map grid, which has a
// margin of 10 empty cells of 32 dots on every side of the authored map: the
// stage area starts at 320 and ends at (cells + 10) x 32. The X axis also
// keeps how the map grid is indexed: row bits and the row stride 1 << row
// bits (MapGrid.h).

#include <cstdint>

inline constexpr int kCellDots = 32;
inline constexpr int kMapMarginCells = 10;
// The map coordinate of the centre of a cell counted from the map's margin.
inline double CellCentre(int cell) { return (static_cast<double>(cell) + kMapMarginCells) * kCellDots + kCellDots / 2; }
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

enum eScrollAxis : int {
  SCROLL_AXIS_X = 0,
  SCROLL_AXIS_Y = 1,
};

struct cScrollAxis {
  // The geometry of a map `mapCells` cells long on this axis (the stage's
  // width or height) whose removal limit is `extentValue` (the stage's area
  // limit on this axis): the axis, its screen size, margin, area start and
  // end, cell count, row bits and stride, and the extent. Position, limits and
  // speed are left alone.
  void SetMap(int axis, int mapCells, int extentValue);

  // Position = clamp(position, minimum, maximum - screen size), the minimum
  // winning when maximum - screen size is below it. At limit = 1 when the
  // position was put on the minimum or reached or passed the far limit,
  // else 0.
  void Clamp();
  // One sub-step of automatic scrolling: position += speed, then Clamp.
  void Advance();
  // on = 0 stops automatic scrolling (speed 0, moving 0). Otherwise speed =
  // n x 0.1 / the stage's sub-steps per frame (n in tenths of a dot per
  // frame), moving 1.
  void SetSpeed(int on, int n);
  // The camera range from cells a to b of the authored map: minimum = area
  // start + a x 32 with the low limit on, else area start; maximum = area
  // start + (b + 1) x 32 with the high limit on (never below the minimum),
  // else area end.
  void SetBounds(int a, int b, int lowOn, int highOn);

  // Dots of the whole grid along this axis, margins included (0 up to it).
  int GridExtent() const { return m_Extent; }
  // The automatic scroll of this sub-step: the speed, or 0 while the camera
  // is held at a limit.
  double SpeedNow() const { return m_AtLimit != 0 ? 0.0 : m_Speed; }

  // ---- members, in order ----
  double m_Position = 0.0;
  int32_t m_AtLimit = 0;
  int32_t m_Axis = SCROLL_AXIS_X;
  int32_t m_ScreenSize = kScreenWidth;
  int32_t m_Min = 0;
  int32_t m_Max = 0;
  int32_t m_AreaStart = 0;
  int32_t m_AreaEnd = 0;
  int32_t m_Margin = kMapMarginCells;
  int32_t m_Extent = 0;     // the stage's area limit on this axis + 640
  int32_t m_CellCount = 0;  // map cells + 20
  int32_t m_RowStride = 0;  // X: 1 << m_RowBits; Y: the cell count
  int32_t m_RowBits = 0;    // X: the bit length of (map width + 19); Y: 0
  double m_Speed = 0.0;     // automatic scrolling per sub-step, dots
  int32_t m_Moving = 0;     // 1 while automatic scrolling runs
};

// The number of significant bits of a non-negative value (0 for 0): how many
// times it halves before it reaches 0.
int BitLength(int64_t value);

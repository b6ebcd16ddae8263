#include "world/GameObj.h"

#include <cmath>

#include "core/Numeric.h"
#include "data/StageArea.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/DrawContext.h"
#include "graphics/SurfaceTable.h"
#include "world/GameScene.h"
#include "world/MapGrid.h"

const double kSqrt2 = std::sqrt(2.0);
const double kHalfSqrt2 = std::sqrt(0.5);

namespace {

const cScrollAxis& ScrollX() { return g_GameScene->m_ScrollX; }
const cScrollAxis& ScrollY() { return g_GameScene->m_ScrollY; }

// The stage's sub-steps per frame; a broken stage without any counts as one,
// so nothing divides by zero.

// Whether an axis scrolls by itself: automatic scrolling runs and the camera
// has not stopped at a limit.
bool ScrollsByItself(const cScrollAxis& axis) { return axis.m_Speed != 0.0 && axis.m_AtLimit == 0; }

// The screen coordinate of a box edge, by the rounding the object's motion
// calls for (see UpdateRect).
int32_t ScreenEdge(double position, int32_t drawOffset, const cScrollAxis& axis, bool flying, bool followsScroll,
                   int32_t followingShift) {
  const double camera = axis.m_Position;
  if (!flying) return TruncToI32((position - drawOffset) - TruncToI32(camera));
  if (ScrollsByItself(axis)) {
    if (followsScroll) return WrapToI32(int64_t{TruncToI32(position - camera)} - drawOffset + followingShift);
    return TruncToI32((position - drawOffset) - TruncToI32(camera));
  }
  return WrapToI32(int64_t{TruncToI32(position)} - TruncToI32(camera) - drawOffset);
}

double Limit(double velocity, double cap) {
  if (velocity > cap) return cap;
  if (velocity < -cap) return -cap;
  return velocity;
}

}  // namespace

// ---- hit rectangles -----------------------------------------------------------------

void cHitRect::Set(int offX, int offY, int width, int height) {
  m_BaseOffX = m_OffX = offX;
  m_BaseOffY = m_OffY = offY;
  m_BaseWidth = m_Width = width;
  m_BaseHeight = m_Height = height;
}

void cHitRect::Scale(int scale) {
  m_OffX = WrapToI32(int64_t{scale} * m_BaseOffX);
  m_OffY = WrapToI32(int64_t{scale} * m_BaseOffY);
  m_Width = WrapToI32(int64_t{scale} * m_BaseWidth);
  m_Height = WrapToI32(int64_t{scale} * m_BaseHeight);
}

void cHitRect::FollowX(double x) {
  m_Left = static_cast<double>(int64_t{TruncToI32(x)} + m_OffX);
  m_Right = m_Left + m_Width - 1;
}

void cHitRect::FollowY(double y) {
  m_Top = static_cast<double>(int64_t{TruncToI32(y)} + m_OffY);
  m_Bottom = m_Top + m_Height - 1;
}

// ---- set-up ----------------------------------------------------------------------

void cGameObj::CopyBase(const cGameObj& other) {
  if (&other != this) cGameObj::operator=(other);
}

void cGameObj::Init(int key, int op, int playerNo, int passNo, int graphic, const cFrameScriptTable* animeSet,
                    int anime, int drawOffX, int drawOffY, int boxW, int boxH, int gfxW, int gfxH, int facing,
                    int flyMode, int cloneNo) {
  m_Key = key;
  m_Life = kEndlessLife;
  m_Operator = op;
  m_PlayerNo = playerNo;
  m_PassNo = passNo;
  m_Graphic = graphic;
  if (animeSet != nullptr) {
    m_Anime.Setup(*animeSet);
    m_Anime.SetAnime(anime, 1);
  }
  m_BaseDrawOffX = m_DrawOffX = drawOffX;
  m_BaseDrawOffY = m_DrawOffY = drawOffY;
  m_BaseBoxW = m_BoxW = boxW;
  m_BaseBoxH = m_BoxH = boxH;
  m_BaseGfxW = m_GfxW = gfxW;
  m_BaseGfxH = m_GfxH = gfxH;
  m_VX = m_VY = m_CmdVX = m_CmdVY = 0.0;
  m_Facing = facing;
  SetFlyMode(flyMode);
  m_CloneNo = static_cast<uint16_t>(cloneNo);
  m_Active = 0;
  m_OnScreen = 0;
  m_CondLatched = 0;
}

void cGameObj::SetFlyMode(int mode) {
  switch (mode) {
    case 0:
      m_Flying = 0;
      m_FlyContact = FLY_CONTACT_COLLIDE;
      break;
    case 1:
      m_Flying = 1;
      m_FlyContact = FLY_CONTACT_PASS;
      break;
    case 2:
      m_Flying = 1;
      m_FlyContact = FLY_CONTACT_COLLIDE;
      break;
    case 3:
      m_Flying = 1;
      m_FlyContact = FLY_CONTACT_DIE;
      break;
    default:
      break;
  }
}

// ---- scale ------------------------------------------------------------------------

void cGameObj::SetScale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_BoxW = WrapToI32(int64_t{newScale} * m_BaseBoxW);
  m_BoxH = WrapToI32(int64_t{newScale} * m_BaseBoxH);
  m_DrawOffX = WrapToI32(int64_t{newScale} * m_BaseDrawOffX);
  m_DrawOffY = WrapToI32(int64_t{newScale} * m_BaseDrawOffY);
  m_GfxW = WrapToI32(int64_t{newScale} * m_BaseGfxW);
  m_GfxH = WrapToI32(int64_t{newScale} * m_BaseGfxH);
  Reanchor(newScale, oldScale);
  UpdateHitBoxes(newScale);
}

void cGameObj::Reanchor(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  ReanchorX(newScale, oldScale);
  ReanchorY(newScale, oldScale);
}

void cGameObj::ReanchorX(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_X -= static_cast<double>((int64_t{newScale} - oldScale) * (m_BaseBoxW >> 1));
  ClampX(CLAMP_GRID);
}

// ---- motion -----------------------------------------------------------------------

void cGameObj::FollowX() {
  m_Right = m_X + m_BoxW - 1;
  UpdateHitRectX();
  m_CellL = TruncToI32(m_X) >> 5;
  m_CellR = TruncToI32(m_Right) >> 5;
}

void cGameObj::FollowY() {
  m_Bottom = m_Y + m_BoxH - 1;
  UpdateHitRectY();
  m_CellT = TruncToI32(m_Y) >> 5;
  m_CellB = TruncToI32(m_Bottom) >> 5;
}

int cGameObj::ClampX(int kind) {
  const cScrollAxis& axis = ScrollX();
  const double w = m_BoxW;
  const auto outsideView = [&] { return axis.m_Min > m_X || m_X + w - 1 >= axis.m_Max; };
  int code = CLAMP_INSIDE;
  switch (kind) {
    case CLAMP_SCROLL:
      if (axis.m_Min > m_X) {
        m_X = axis.m_Min;
      } else if (m_X + w - 1 >= axis.m_Max) {
        m_X = axis.m_Max - w;
      }
      break;
    case CLAMP_AREA:
      if (axis.m_AreaStart > m_X) {
        m_X = axis.m_AreaStart;
      } else if (m_X + w - 1 >= axis.m_AreaEnd) {
        m_X = axis.m_AreaEnd - w;
      } else if (outsideView()) {
        code = CLAMP_OUT_OF_VIEW;
      }
      break;
    case CLAMP_GRID:
      if (m_X < 0) {
        m_X = 0;
        code = CLAMP_AT_GRID_EDGE;
      } else if (m_X + w - 1 >= axis.GridExtent()) {
        m_X = axis.GridExtent() - w;
        code = CLAMP_AT_GRID_EDGE;
      } else if (axis.m_AreaStart > m_X || m_X + w - 1 >= axis.m_AreaEnd) {
        code = CLAMP_OUT_OF_AREA;
      } else if (outsideView()) {
        code = CLAMP_OUT_OF_VIEW;
      }
      break;
    default:
      break;
  }
  FollowX();
  return code;
}

int cGameObj::ClampY(int kind) {
  const cScrollAxis& axis = ScrollY();
  const double h = m_BoxH;
  // The view's codes: above, below, or inside.
  const auto viewCode = [&] {
    if (axis.m_Min > m_Y) return CLAMP_OUT_OF_VIEW;
    if (m_Y + h - 1 >= axis.m_Max) return CLAMP_BELOW_VIEW;
    return CLAMP_INSIDE;
  };
  int code = CLAMP_INSIDE;
  switch (kind) {
    case CLAMP_SCROLL:
      if (axis.m_Min > m_Y) {
        m_Y = axis.m_Min;
      } else if (m_Y + h - 1 >= axis.m_Max) {
        m_Y = axis.m_Max - h;
      }
      break;
    case CLAMP_AREA:
      if (axis.m_AreaStart > m_Y) {
        m_Y = axis.m_AreaStart;
      } else if (m_Y + h - 1 >= axis.m_AreaEnd) {
        m_Y = axis.m_AreaEnd - h;
      } else {
        code = viewCode();
      }
      break;
    case CLAMP_GRID:
      if (m_Y < 0) {
        m_Y = 0;
        code = CLAMP_AT_GRID_EDGE;
      } else if (m_Y + h - 1 >= axis.GridExtent()) {
        m_Y = axis.GridExtent() - h;
        code = CLAMP_AT_GRID_BOTTOM;
      } else if (axis.m_AreaStart > m_Y) {
        code = CLAMP_OUT_OF_AREA;
      } else if (m_Y + h - 1 >= axis.m_AreaEnd) {
        code = CLAMP_BELOW_AREA;
      } else {
        code = viewCode();
      }
      break;
    default:
      break;
  }
  FollowY();
  return code;
}

int cGameObj::StepX(int kind) {
  m_VX = Limit(m_VX, g_Stage.m_SpeedLimitStep);
  m_X += m_VX;
  return ClampX(kind);
}

int cGameObj::StepY(int kind) {
  m_VY = Limit(m_VY, g_Stage.m_SpeedLimitStep);
  m_Y += m_VY;
  return ClampY(kind);
}

void cGameObj::AddGravity() {
  if (m_Flying == 0) m_VY += g_Stage.m_GravityStep;
}

void cGameObj::Decelerate(double* velocity, int on) {
  if (on == 0 || velocity == nullptr) return;
  if (*velocity > 0.0) {
    *velocity -= m_Decel;
    if (*velocity < 0.0) *velocity = 0.0;
  } else if (*velocity < 0.0) {
    *velocity += m_Decel;
    if (*velocity > 0.0) *velocity = 0.0;
  }
}

// ---- screen -----------------------------------------------------------------------

void cGameObj::UpdateRect() {
  const bool flying = m_Flying != 0;
  // A flying object carried by the horizontal scroll is placed from its
  // distance to the camera; the vertical rule of flying objects under
  // vertical scrolling sits one dot lower.
  m_ScrLeft = ScreenEdge(m_X, m_DrawOffX, ScrollX(), flying, m_MovesWithScroll != 0, 0);
  m_ScrRight = WrapToI32(int64_t{m_ScrLeft} + m_GfxW - 1);
  m_ScrTop = ScreenEdge(m_Y, m_DrawOffY, ScrollY(), flying, true, 1);
  m_ScrBottom = WrapToI32(int64_t{m_ScrTop} + m_GfxH - 1);
}

int cGameObj::IsOnScreen() const { return IsOnScreenAxes(0, 0); }

int cGameObj::IsOnScreenAxes(int ignoreX, int ignoreY) const {
  const double camX = ScrollX().m_Position;
  const double camY = ScrollY().m_Position;
  const bool inX = ignoreX != 0 || (m_Right >= camX && camX + kScreenWidth > m_X);
  const bool inY = ignoreY != 0 || (m_Bottom >= camY && camY + kScreenHeight > m_Y);
  return inX && inY ? 1 : 0;
}

int cGameObj::IsWithinBounds(int wholeGrid) const {
  const cScrollAxis& x = ScrollX();
  const cScrollAxis& y = ScrollY();
  if (wholeGrid != 0) {
    return m_X >= 0 && m_Right < x.GridExtent() && m_Y >= 0 && m_Bottom < y.GridExtent() ? 1 : 0;
  }
  return x.m_AreaStart <= m_X && m_Right < x.m_AreaEnd && y.m_AreaStart <= m_Y && m_Bottom < y.m_AreaEnd ? 1 : 0;
}

int cGameObj::IsOutsideRemovalArea(const cStageArea& area) const {
  if (m_OnScreen != 0) return 0;
  const double camX = ScrollX().m_Position;
  const double camY = ScrollY().m_Position;
  const double cell = kCellDots;
  if (area.m_bLeft != 0 && TruncToI32(camX - cell * area.m_nLeftMargin) >= m_Right) return 1;
  if (area.m_bRight != 0 && TruncToI32(camX + cell * area.m_nRightMargin + kScreenWidth) <= m_X) return 1;
  if (area.m_bBottom != 0 && TruncToI32(camY + cell * area.m_nBottomMargin + kScreenHeight) <= m_Y) return 1;
  if (area.m_bTop != 0 && TruncToI32(camY - cell * area.m_nTopMargin) >= m_Bottom) return 1;
  // The outermost dot of the grid already counts as outside.
  if (m_X <= 0 || int64_t{ScrollX().GridExtent()} - 1 <= m_Right) return 1;
  if (m_Y <= 0 || int64_t{ScrollY().GridExtent()} - 1 <= m_Bottom) return 1;
  return 0;
}

int cGameObj::CornersHitBlock() const {
  const int rowBits = ScrollX().m_RowBits;
  const int corners[4][2] = {{m_CellL, m_CellT}, {m_CellL, m_CellB}, {m_CellR, m_CellT}, {m_CellR, m_CellB}};
  for (const auto& corner : corners) {
    if (CellContactKindAt(MapCellIndex(corner[0], corner[1], rowBits), m_PassNo) != 0) return 1;
  }
  return 0;
}

// ---- free helpers --------------------------------------------------------------------

double ScaleByFrameRate(double value) { return value / g_Stage.SubStepsAtLeastOneF() / 60; }

namespace {

// The wave's angle at the phase before it advances, in radians.
double WaveAngle(double degreesPerUnit, double phase, double offsetDeg) {
  return degreesPerUnit * kRadiansPerDegree * (phase / g_Stage.SubStepsAtLeastOneF() + offsetDeg);
}

void AdvanceWavePhase(double* phase, double phaseStep) {
  const double turn = 360 * g_Stage.SubStepsAtLeastOneF();
  *phase += phaseStep;
  if (*phase >= turn) *phase -= turn;
}

}  // namespace

double WaveVelocity(double amplitude, double degreesPerUnit, double* phase, double phaseStep, double offsetDeg) {
  const double r = degreesPerUnit * kRadiansPerDegree;
  const double n = g_Stage.SubStepsAtLeastOneF();
  const double velocity = amplitude * r * std::cos(WaveAngle(degreesPerUnit, *phase, offsetDeg)) / n;
  AdvanceWavePhase(phase, phaseStep);
  return velocity;
}

double WaveAccel(double amplitude, double degreesPerUnit, double* phase, double phaseStep, double offsetDeg) {
  const double r = degreesPerUnit * kRadiansPerDegree;
  const double n = g_Stage.SubStepsAtLeastOneF();
  const double accel = -amplitude * r * r * std::sin(WaveAngle(degreesPerUnit, *phase, offsetDeg)) / (n * n);
  AdvanceWavePhase(phase, phaseStep);
  return accel;
}

void RangeSpan(int pos, int size, int back, int front, int ownBox, int& lo, int& hi) {
  const int64_t half = size >> 1;
  const int64_t mid = int64_t{pos} + half;
  if (ownBox != 0 && back == 0 && front == 0) {
    lo = WrapToI32(mid - half);
    hi = WrapToI32(mid + half);
    return;
  }
  lo = WrapToI32((back != 0 ? mid - half : mid) - back);
  hi = WrapToI32((front != 0 ? mid + half : mid) + front);
}

int InBoxRange(int pos, int size, int tMin, int tMax, int tOff, int back, int front, int ownBox, int checkHeight,
               const cGameObj& target) {
  int lo = 0;
  int hi = 0;
  RangeSpan(pos, size, back, front, ownBox, lo, hi);
  int64_t upper = int64_t{tMax} - tOff;
  if (checkHeight != 0 && g_System.m_bRangeSwitch == 0 &&
      int64_t{TruncToI32(target.m_Bottom - target.m_Y)} + tOff + 1 >= target.m_GfxH) {
    upper = tMax;
  }
  return lo <= upper && int64_t{tMin} + tOff <= hi ? 1 : 0;
}

int ShotSurfaceRow(int row, int preferCopy) {
  const int copy = row + SURF_SYSTEM_COPY_OFFSET;
  if (g_DrawLayer.bInitialized == 0 || row < 0 || copy >= kSurfaceTableRows) return row;
  const auto created = [](int r) {
    const DDSURFACEDATA& surface = g_SurfaceData[static_cast<std::size_t>(r)];
    return surface.lpDD != nullptr && surface.lpDD->lpSurface != nullptr;
  };
  if (preferCopy == 0) return created(row) ? row : copy;
  return created(copy) ? copy : row;
}

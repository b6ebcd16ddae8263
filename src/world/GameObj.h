#pragma once
// cGameObj: the common base of every object that lives on a stage:
// characters (cCharaBase, cChara, cHero), items (cItem) and shots and swords
// (cShot). It holds what they share: a key, facing, an animation player, a
// collision box in world dots (doubles) with the map cells it covers, the
// graphic's rectangle on screen, velocities, the scale relation between box
// and graphic, the flying mode and the activity flags; and the motion
// primitives the play step and the movement commands apply to every object:
// clamping to the grid, the stage area and the scroll limits, one sub-step of
// motion, gravity, deceleration, the on-screen tests and wave motion.
//
// Coordinates. World dots from the top-left of the map grid (MapGrid.h); the
// box's top-left corner is (m_X, m_Y) and its edges are inclusive: m_Right =
// m_X + m_BoxW - 1, m_Bottom = m_Y + m_BoxH - 1. The view is 640 x 480 dots
// with its top-left at the camera position of the game scene's two scroll
// axes (g_GameScene, ScrollAxis.h). Cell fields are the whole parts (x86
// truncation, TruncToI32) of the edges shifted right by 5. Velocities are
// dots per sub-step. Scaled sizes are the scale-1 ("base") sizes times the
// object's scale, an integer of 1 or more kept by the derived class.
//
// Virtual operations, in slot order: destructor, CopyBase, SetScale,
// UpdateHitBoxes, ReanchorY, UpdateHitRectX, UpdateHitRectY, SetCenter,
// SetCenterStop, SetCenterX, SetCenterXStop, SetCenterY, SetCenterYStop. Here
// all but CopyBase and SetScale do nothing; the classes give them their
// bodies (characters, items and shots their hit boxes and re-anchoring,
// characters the centring).
//
// An object holds no pointer to another object: links compare keys.

#include <cstdint>
#include <limits>

#include "world/AnimePlayer.h"

class cStageArea;
struct cCmdState;

// The double nearest the square root of 2, and the double nearest the square
// root of 0.5 (one unit in the last place above 1 / kSqrt2).
extern const double kSqrt2;
extern const double kHalfSqrt2;

// The endless lifetime.
inline constexpr int32_t kEndlessLife = std::numeric_limits<int32_t>::max();

// Who operates an object.
enum eObjOperator : int {
  OBJ_BY_PLAYER = 0,
  OBJ_BY_COMPUTER = 1,
};

// How a flying object meets blocks and block characters (m_FlyContact).
enum eFlyContact : int {
  FLY_CONTACT_PASS = 0,     // passes through
  FLY_CONTACT_COLLIDE = 1,  // collides like a ground object
  FLY_CONTACT_DIE = 2,      // dies when it touches one
};

// The clamp kinds of ClampX / ClampY and StepX / StepY.
enum eClampKind : int {
  CLAMP_SCROLL = 0,  // keep inside the scroll limits
  CLAMP_AREA = 1,    // keep inside the stage area, report leaving the view
  CLAMP_GRID = 2,    // keep inside the grid, report leaving the area or the view
};

// Their codes. Horizontal: 0 inside, 1 outside the view, 2 outside the stage
// area, 3 stopped at the grid's edge. Vertical: 0; 1 / 4 above / below the
// view; 2 / 5 above / below the area; 3 / 6 stopped at the grid's top /
// bottom.
enum eClampCode : int {
  CLAMP_INSIDE = 0,
  CLAMP_OUT_OF_VIEW = 1,
  CLAMP_OUT_OF_AREA = 2,
  CLAMP_AT_GRID_EDGE = 3,
  CLAMP_BELOW_VIEW = 4,
  CLAMP_BELOW_AREA = 5,
  CLAMP_AT_GRID_BOTTOM = 6,
};

// A hit rectangle of characters (two) and shots: its edges in world dots, its
// offset and size at the current scale and at scale 1. Copied as a whole.
struct cHitRect {
  double m_Left = 0.0;
  double m_Top = 0.0;
  double m_Right = 0.0;
  double m_Bottom = 0.0;
  int32_t m_OffX = 0;
  int32_t m_OffY = 0;
  int32_t m_Width = 0;
  int32_t m_Height = 0;
  int32_t m_BaseOffX = 0;
  int32_t m_BaseOffY = 0;
  int32_t m_BaseWidth = 0;
  int32_t m_BaseHeight = 0;

  // Offset and size, current and at scale 1 alike.
  void Set(int offX, int offY, int width, int height);
  // The current offset and size: `scale` times those at scale 1.
  void Scale(int scale);
  // The world edges from the whole part of the owner's position (x86
  // truncation) and the current offset: right = left + width - 1.
  void FollowX(double x);
  void FollowY(double y);
};

class cGameObj {
 public:
  // The animation player empty; the screen rectangle, offsets and sizes,
  // position, edges, cells, velocities and m_OnScreen 0. The rest is set by
  // Init.
  cGameObj() = default;
  cGameObj(const cGameObj&) = default;
  cGameObj& operator=(const cGameObj&) = default;

  // ---- virtual operations, in slot order ----
  virtual ~cGameObj() = default;
  // Copies every member of the base from another object (its animations
  // deep-copied).
  virtual void CopyBase(const cGameObj& other);
  // Nothing when newScale = oldScale. Otherwise box, draw offsets and graphic
  // size become newScale times their base values, then Reanchor, then
  // UpdateHitBoxes (newScale).
  virtual void SetScale(int newScale, int oldScale);
  virtual void UpdateHitBoxes(int /*scale*/) {}
  virtual void ReanchorY(int /*newScale*/, int /*oldScale*/) {}
  virtual void UpdateHitRectX() {}
  virtual void UpdateHitRectY() {}
  // Put the graphic's centre at a screen position; the Stop forms also zero
  // the four accumulated-movement values of the given command state.
  virtual void SetCenter(int /*x*/, int /*y*/) {}
  virtual void SetCenterStop(int /*x*/, int /*y*/, cCmdState* /*moveState*/) {}
  virtual void SetCenterX(int /*x*/) {}
  virtual void SetCenterXStop(int /*x*/, cCmdState* /*moveState*/) {}
  virtual void SetCenterY(int /*y*/) {}
  virtual void SetCenterYStop(int /*y*/, cCmdState* /*moveState*/) {}

  // ---- set-up ----

  // Key, endless life, operator, input device, pass-through number, graphic;
  // with `animeSet` the animation player takes its animations and starts
  // `anime` forced; offsets, box and graphic sizes as both base and current
  // values; velocities 0; facing; SetFlyMode; copy index; m_Active,
  // m_OnScreen and m_CondLatched 0.
  void Init(int key, int op, int playerNo, int passNo, int graphic, const cFrameScriptTable* animeSet, int anime,
            int drawOffX, int drawOffY, int boxW, int boxH, int gfxW, int gfxH, int facing, int flyMode,
            int cloneNo);
  // 0 walking (contact 1); 1 flying through blocks; 2 flying, colliding; 3
  // flying, dying on contact. Other values change nothing.
  void SetFlyMode(int mode);

  // ---- scale and re-anchoring ----

  // When the scale changed: ReanchorX, then ReanchorY.
  void Reanchor(int newScale, int oldScale);
  // When the scale changed: the box keeps its horizontal centre (m_X moves by
  // (new - old) x (m_BaseBoxW >> 1)), then ClampX (CLAMP_GRID).
  void ReanchorX(int newScale, int oldScale);

  // ---- motion ----

  // Keep the box within the limits of `kind` (eClampKind); the code
  // (eClampCode) says where it was. Any other kind changes nothing (code 0).
  // Then the edge, the hit rectangle and the cells follow the position.
  int ClampX(int kind);
  int ClampY(int kind);
  // One sub-step: the velocity limited to the stage's speed cap per sub-step,
  // added to the position, then ClampX / ClampY (kind); their code.
  int StepX(int kind);
  int StepY(int kind);
  // Adds the stage's gravity per sub-step to m_VY unless flying.
  void AddGravity();
  // With `on`: moves the velocity toward 0 by m_Decel, never past 0.
  void Decelerate(double* velocity, int on);

  // ---- screen ----

  // Recomputes the graphic's screen rectangle from the position and the
  // camera (a ground object, a flying object while its axis scrolls by itself,
  // a flying object otherwise round differently).
  void UpdateRect();
  // 1 when the box overlaps the view.
  int IsOnScreen() const;
  // The same test with the horizontal half (ignoreX) or the vertical half
  // (ignoreY) skipped.
  int IsOnScreenAxes(int ignoreX, int ignoreY) const;
  // 1 when the box lies inside the stage area (wholeGrid 0) or inside the
  // whole grid with its margins (wholeGrid nonzero).
  int IsWithinBounds(int wholeGrid) const;
  // 1 when the object must be removed for leaving a removal area; never while
  // m_OnScreen is set. Touching the outermost dot of the grid counts as
  // leaving, whatever the area's flags.
  int IsOutsideRemovalArea(const cStageArea& area) const;
  // +1 facing right, -1 facing left.
  int FacingSign() const { return m_Facing != 0 ? 1 : -1; }
  // 1 when a corner cell of the box ((left, top), (left, bottom), (right,
  // top), (right, bottom)) has a contact kind for m_PassNo.
  int CornersHitBlock() const;

  // ---- members, in order ----
  int32_t m_Key = 0;
  int32_t m_Life = 0;
  int32_t m_Facing = 0;
  uint16_t m_CloneNo = 0;
  int32_t m_Graphic = 0;
  cAnimePlayer m_Anime;
  int32_t m_ScrLeft = 0;
  int32_t m_ScrTop = 0;
  int32_t m_ScrRight = 0;
  int32_t m_ScrBottom = 0;
  int32_t m_DrawOffX = 0;
  int32_t m_DrawOffY = 0;
  int32_t m_GfxW = 0;
  int32_t m_GfxH = 0;
  int32_t m_BaseDrawOffX = 0;
  int32_t m_BaseDrawOffY = 0;
  int32_t m_BaseGfxW = 0;
  int32_t m_BaseGfxH = 0;
  int32_t m_Operator = 0;  // eObjOperator; a shot takes its owner's
  int32_t m_PlayerNo = 0;  // the input device of a player-operated object
  int32_t m_PassNo = 0;    // pass-through number; a shot's faction
  double m_X = 0.0;
  double m_Y = 0.0;
  double m_Right = 0.0;
  double m_Bottom = 0.0;
  int32_t m_CellL = 0;
  int32_t m_CellT = 0;
  int32_t m_CellR = 0;
  int32_t m_CellB = 0;
  double m_VX = 0.0;
  double m_VY = 0.0;
  double m_CmdVX = 0.0;  // velocity of the running movement command
  double m_CmdVY = 0.0;
  double m_Decel = 0.0;
  int32_t m_DecelX = 0;
  int32_t m_DecelY = 0;
  int32_t m_MovesWithScroll = 0;
  int32_t m_BoxW = 0;
  int32_t m_BoxH = 0;
  int32_t m_BaseBoxW = 0;
  int32_t m_BaseBoxH = 0;
  int32_t m_Flying = 0;
  uint8_t m_FlyContact = 0;  // eFlyContact
  int32_t m_Active = 0;      // 1 once the object takes part in the stage
  int32_t m_OnScreen = 0;    // 1 while it is near the view this frame
  uint8_t m_CondLatched = 0; // 1 once its appearance conditions have held

 private:
  void FollowX();
  void FollowY();
};

// A per-second quantity per sub-step: value / sub-steps per frame / 60.
double ScaleByFrameRate(double value);

// Sine-wave motion A sin(k (phase / n + offset)) per sub-step (n the
// sub-steps per frame, angles in degrees): WaveVelocity gives its first
// derivative, WaveAccel its second, both at the phase before it advances;
// then the phase advances by `phaseStep` and wraps once at 360 n.
double WaveVelocity(double amplitude, double degreesPerUnit, double* phase, double phaseStep, double offsetDeg);
double WaveAccel(double amplitude, double degreesPerUnit, double* phase, double phaseStep, double offsetDeg);

// The span of a range condition along one axis, from an object at `pos` of
// `size`: with ownBox and no distances the object itself; otherwise a
// non-zero distance reaches from the object's edge, a zero one from its
// centre.
void RangeSpan(int pos, int size, int back, int front, int ownBox, int& lo, int& hi);
// 1 when `target` lies in the range along one axis: its screen interval [tMin
// + tOff, tMax - tOff] meets the span. With checkHeight, the system data's
// range switch off and the target's box reaching the bottom of its graphic,
// the interval ends at tMax.
int InBoxRange(int pos, int size, int tMin, int tMax, int tOff, int back, int front, int ownBox, int checkHeight,
               const cGameObj& target);

// The fixed-surface row a shot's built-in image is drawn from: `row`, or its
// copy row + 18 (which row has a surface on the running back end decides).
int ShotSurfaceRow(int row, int preferCopy);

#pragma once
// Firing and formations: how the shot command and the three summon commands
// lay out the objects they create. A firing pass turns the command's cEdShot
// into a FormationStep (speed, angle, distance, lifetime, clone offsets), then
// one of six formations places one object after another through its
// placement operation and CreateFormationObject.
//
// Conventions. Positions are world dots of an object's top-left corner; a
// shooter's screen rectangle plus the camera gives its world rectangle; the
// view is 640 by 480. Angles are degrees, 0 pointing left and growing
// clockwise on the screen: the velocity for angle a and speed s is
// (-cos a x s, -sin a x s). Half blocks (hbl) are 16 dots.
//
// Random draws. Only the spread ("分散角度") draws, once per clone and only
// when it is non-zero, in clone order; nothing else here draws.
//
// Summoned objects are created by the scene's spawning, reached through the
// cSummonCreator installed with SetSummonCreator; with none installed a
// summon places nothing.

#include <cstdint>

class cCharaBase;
class cCharaData;
class cItemData;
class cBlockData;
class cEdShot;
class cShotList;
struct cCmdState;

// The formation step record handed from the firing pass to the formation,
// its placements and cShot::Init.
struct FormationStep {
  int16_t m_CloneIndex = 0;
  double m_Speed = 0.0;  // dots per frame
  int32_t m_Angle = 0;   // degrees, added to the direction's base angle
  int32_t m_Distance = 0;  // half blocks
  int32_t m_Lifetime = 0;  // tenths of a second
  double m_VX = 0.0;  // dots per frame
  double m_VY = 0.0;
  int32_t m_X = 0;
  int32_t m_Y = 0;
  int32_t m_BaseX = 0;
  int32_t m_BaseY = 0;
  int32_t m_StepX = 0;
  int32_t m_StepY = 0;
  int32_t m_RowStepX = 0;
  int32_t m_RowStepY = 0;
  int32_t m_Width = 0;
  int32_t m_Height = 0;
  int32_t m_OffsetX = 0;
  int32_t m_OffsetY = 0;
  int32_t m_DirCode = 2;  // eDirCode
};

// Direction codes, as formations and the movement commands hold them.
enum eDirCode : int {
  DIR_CODE_LEFT = 2,
  DIR_CODE_RIGHT = 3,
  DIR_CODE_UP = 6,
  DIR_CODE_DOWN = 7,
  DIR_CODE_UP_LEFT = 8,
  DIR_CODE_DOWN_LEFT = 9,
  DIR_CODE_UP_RIGHT = 10,
  DIR_CODE_DOWN_RIGHT = 11,
};

// The formations, by the cEdShot formation byte.
enum eFormation : int {
  FORMATION_STRAIGHT_A = 0,
  FORMATION_STRAIGHT_B = 1,
  FORMATION_FAN = 2,
  FORMATION_LIGHTNING = 3,
  FORMATION_EXPLOSION = 4,
  FORMATION_ENCIRCLE = 5,
};

// What the scene's spawning does for a summon. Each gets the object's
// top-left position in world dots.
class cSummonCreator {
 public:
  virtual ~cSummonCreator() = default;
  // Blocks: place (or remove, or toggle) the block definition at (x, y).
  virtual void PlaceSummonedBlocks(const cBlockData& block, double x, double y, int shooterFacing,
                                   const cEdShot& edShot) = 0;
  // The block toggle state reset before a toggling summon pass.
  virtual void ResetBlockToggle() = 0;
  // A character of `definition` at (x, y) on `side`, facing `facing`,
  // summoned by `shooter`.
  virtual void CreateSummonedChara(double x, double y, int side, int facing, int shooterFacing,
                                   const cEdShot& edShot, const cCharaData& definition, cCharaBase& shooter) = 0;
  // An item of `definition` at (x, y).
  virtual void CreateSummonedItem(double x, double y, int shooterFacing, const cEdShot& edShot,
                                  const cItemData& definition) = 0;
};
// Installs the scene's spawning (null: summons place nothing). The caller
// keeps ownership.
void SetSummonCreator(cSummonCreator* creator);
cSummonCreator* SummonCreator();

// The running command's type decides what CreateFormationObject makes.
enum eFormationObject : int {
  FORMATION_OBJECT_SHOT = 11,
  FORMATION_OBJECT_SWORD = 12,
  FORMATION_OBJECT_BLOCK = 13,
  FORMATION_OBJECT_CHARA = 14,
  FORMATION_OBJECT_ITEM = 15,
};

// Fires a shot command: every clone pass of the command's formation.
// `commandType` is the running command's type (11; 12 makes swords).
void FireShot(cShotList& shots, cCharaBase& shooter, cCmdState& cmdState, cEdShot& edShot, int commandType = 11);
// One formation pass of a summon command.
void SummonBlock(cCharaBase& shooter, cCmdState& cmdState, cEdShot& edShot);
void SummonChara(cCharaBase& shooter, cCmdState& cmdState, cEdShot& edShot);
void SummonItem(cCharaBase& shooter, cCmdState& cmdState, cEdShot& edShot);

// The direction code of a cEdShot direction mode for a shooter facing right
// (1) or left (0); `inputCode` stands for mode 12 "入力方向" (0: no input).
int DirectionCode(int mode, int facingRight, int inputCode);
// The base angle of a direction code, in degrees.
double DirectionBaseAngle(int dirCode);
// The velocity for angle `degrees` at `speed`.
void VelocityForAngle(double degrees, double speed, double& vx, double& vy);
// The angle from (x, y) toward the shooter's aim target, in whole degrees.
// When the shot must lead a target carried by the camera's scroll, the
// step's speed becomes the speed of the intercept it solved for.
int AimAngle(int x, int y, cCharaBase& shooter, const cEdShot& edShot, FormationStep& step);
// Creates one object at the step's position, by `commandType`.
void CreateFormationObject(cShotList* shots, FormationStep& step, cCharaBase& shooter, int commandType,
                           cEdShot& edShot);

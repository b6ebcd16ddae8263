#include "world/Formation.h"

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "data/CharaData.h"
#include "data/DataRecord.h"
#include "data/EdMove.h"
#include "data/EdShot.h"
#include "data/Palette.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/CharaBase.h"
#include "world/FlowServices.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Random.h"
#include "world/Shot.h"

namespace {

cSummonCreator* g_pSummonCreator = nullptr;

// K: computed once, as 1 divided by the square root of 2.
const double kK = 1.0 / std::sqrt(2.0);

// The shooter's rectangle in world dots (its screen rectangle plus the camera)
// and its collision centre.
struct cShooterBox {
  int left, top, right, bottom, width, height, cx, cy;
};

cShooterBox BoxOf(const cCharaBase& chara) {
  const int camX = TruncToI32(CameraX());
  const int camY = TruncToI32(CameraY());
  cShooterBox box{};
  box.left = chara.m_ScrLeft + camX;
  box.top = chara.m_ScrTop + camY;
  box.right = chara.m_ScrRight + camX;
  box.bottom = chara.m_ScrBottom + camY;
  box.width = chara.m_GfxW;
  box.height = chara.m_GfxH;
  box.cx = TruncToI32(chara.m_X) + (chara.m_BoxW >> 1);
  box.cy = TruncToI32(chara.m_Y) + (chara.m_BoxH >> 1);
  return box;
}

// A character's graphic centre in world dots.
void WorldCentre(const cCharaBase& chara, int& x, int& y) {
  x = chara.m_ScrLeft + TruncToI32(CameraX()) + (chara.m_GfxW >> 1);
  y = chara.m_ScrTop + TruncToI32(CameraY()) + (chara.m_GfxH >> 1);
}

int DiagonalSignX(int code) { return code == DIR_CODE_UP_LEFT || code == DIR_CODE_DOWN_LEFT ? -1 : 1; }
int DiagonalSignY(int code) { return code == DIR_CODE_UP_LEFT || code == DIR_CODE_UP_RIGHT ? -1 : 1; }

// The velocity of a straight placement along its direction.
void StraightVelocity(FormationStep& step) {
  const double s = step.m_Speed;
  switch (step.m_DirCode) {
    case DIR_CODE_LEFT: step.m_VX = -s; step.m_VY = 0; break;
    case DIR_CODE_RIGHT: step.m_VX = s; step.m_VY = 0; break;
    case DIR_CODE_UP: step.m_VX = 0; step.m_VY = -s; break;
    case DIR_CODE_DOWN: step.m_VX = 0; step.m_VY = s; break;
    default:
      step.m_VX = DiagonalSignX(step.m_DirCode) * s * kK;
      step.m_VY = DiagonalSignY(step.m_DirCode) * s * kK;
      break;
  }
}

void AddOffsets(FormationStep& step) {
  step.m_X += step.m_OffsetX;
  step.m_Y += step.m_OffsetY;
}

// The line across a diagonal direction, centred on the shooter moved along
// the diagonal past its own and the object's half size.
void PlaceDiagonalLine(FormationStep& step, const cShooterBox& box, int count, int gap, int spacing) {
  const int sx = DiagonalSignX(step.m_DirCode);
  const int sy = DiagonalSignY(step.m_DirCode);
  const int w = step.m_Width;
  const int h = step.m_Height;
  const double along = kK * ((box.width >> 1) + (w >> 1) + 1);
  const double spread = kK * ((count - 1) * (gap + (w >> 1)));
  const int across = -sx * sy;  // the y sign of the line across the diagonal
  step.m_X = TruncToI32(box.cx + sx * along - spread) - (w >> 1);
  step.m_Y = TruncToI32(box.cy + sy * along - across * spread) - (h >> 1);
  step.m_StepX = spacing + w;
  step.m_StepY = across * (spacing + h);
  StraightVelocity(step);
}

int FormationCount(const cEdShot& edShot) { return edShot.m_nCount; }
int Param(const cEdShot& edShot, int i) { return edShot.m_nFormationParams[i]; }

// The rows of a lightning pass. The editor offers 1 to 50. A stored 0 still
// fires one row rather than none; a value past 50 can only come from a
// damaged file, and the 16-bit field would otherwise multiply the pass by up
// to 32767, so it is held to 50.
constexpr int kMaxLightningRows = 50;
int LightningRows(const cEdShot& edShot) { return std::clamp(Param(edShot, 1), 1, kMaxLightningRows); }

void PlaceStraightA(FormationStep& step, const cEdShot& edShot, const cShooterBox& box) {
  const int n = FormationCount(edShot);
  const int I = Param(edShot, 0) * 16;
  const int G = Param(edShot, 0) * 8;
  const int w = step.m_Width;
  const int h = step.m_Height;
  step.m_StepX = step.m_StepY = 0;
  switch (step.m_DirCode) {
    case DIR_CODE_LEFT:
    case DIR_CODE_RIGHT:
      step.m_X = step.m_DirCode == DIR_CODE_LEFT ? box.left + 1 - w : box.right + 1;
      step.m_Y = box.cy - (n - 1) * G - n * (h >> 1);
      step.m_StepY = I + h;
      StraightVelocity(step);
      break;
    case DIR_CODE_UP:
    case DIR_CODE_DOWN:
      step.m_X = box.cx - (n - 1) * G - n * (w >> 1);
      step.m_Y = step.m_DirCode == DIR_CODE_UP ? box.top - h : box.bottom + 1;
      step.m_StepX = I + w;
      StraightVelocity(step);
      break;
    default:
      PlaceDiagonalLine(step, box, n, G, I);
      break;
  }
  AddOffsets(step);
}

void PlaceStraightB(FormationStep& step, const cEdShot& edShot, const cShooterBox& box, int facingRight) {
  const int I = Param(edShot, 0) * 16;
  const int w = step.m_Width;
  const int h = step.m_Height;
  const int besideX = facingRight != 0 ? box.right + 1 : box.left + 1 - w;
  switch (step.m_DirCode) {
    case DIR_CODE_LEFT: step.m_X = box.left + 1 - w; break;
    case DIR_CODE_RIGHT: step.m_X = box.right + 1; break;
    default: step.m_X = besideX; break;
  }
  step.m_Y = box.bottom - h + 1;
  step.m_StepX = 0;
  step.m_StepY = -(I + h);
  StraightVelocity(step);
  AddOffsets(step);
}

void PlaceFan(FormationStep& step, const cEdShot& edShot, const cShooterBox& box) {
  const int w = step.m_Width;
  const int h = step.m_Height;
  step.m_StepX = step.m_StepY = 0;
  switch (step.m_DirCode) {
    case DIR_CODE_LEFT: step.m_X = box.left - w + 1; step.m_Y = box.cy - h / 2; break;
    case DIR_CODE_RIGHT: step.m_X = box.right + 1; step.m_Y = box.cy - h / 2; break;
    case DIR_CODE_UP: step.m_X = box.cx - w / 2; step.m_Y = box.top - h; break;
    case DIR_CODE_DOWN: step.m_X = box.cx - w / 2; step.m_Y = box.bottom + 1; break;
    default: PlaceDiagonalLine(step, box, 1, Param(edShot, 0) * 8, Param(edShot, 0) * 16); AddOffsets(step); return;
  }
  StraightVelocity(step);
  AddOffsets(step);
}

void PlaceAround(FormationStep& step, const cShooterBox& box) {
  step.m_X = box.cx - step.m_Width / 2;
  step.m_Y = box.cy - step.m_Height / 2;
  step.m_StepX = step.m_StepY = 0;
  AddOffsets(step);
}

// The lightning line: objects enter from the view's edge behind the
// direction of travel, lined up on the reference.
void PlaceLightning(FormationStep& step, const cEdShot& edShot, int qx, int qy) {
  const int I = g_System.m_bGaplessLightning != 0 ? 0 : Param(edShot, 0) * 16;
  const int rows = LightningRows(edShot);
  const int S = Param(edShot, 2) * 16;
  const int w = step.m_Width;
  const int h = step.m_Height;
  const int camX = TruncToI32(CameraX());
  const int camY = TruncToI32(CameraY());
  step.m_StepX = step.m_StepY = step.m_RowStepX = step.m_RowStepY = 0;
  switch (step.m_DirCode) {
    case DIR_CODE_LEFT:
    case DIR_CODE_RIGHT:
      step.m_X = step.m_DirCode == DIR_CODE_LEFT ? camX + kScreenWidth - w : camX;
      step.m_Y = qy - h / 2;
      step.m_StepX = step.m_DirCode == DIR_CODE_LEFT ? -w - I : I + w;
      step.m_RowStepY = S;
      break;
    case DIR_CODE_UP:
    case DIR_CODE_DOWN:
      step.m_X = qx - w / 2;
      step.m_Y = step.m_DirCode == DIR_CODE_UP ? camY + kScreenHeight - h : camY;
      step.m_StepY = step.m_DirCode == DIR_CODE_UP ? -h - I : I + h;
      step.m_RowStepX = S;
      break;
    default: {
      const int sx = DiagonalSignX(step.m_DirCode);
      const int sy = DiagonalSignY(step.m_DirCode);
      // Back along the diagonal through Q to the edge of the view.
      const int backX = sx > 0 ? qx - camX : camX + kScreenWidth - 1 - qx;
      const int backY = sy > 0 ? qy - camY : camY + kScreenHeight - 1 - qy;
      const int t = std::max(0, std::min(backX, backY));
      step.m_X = qx - sx * t - w / 2;
      step.m_Y = qy - sy * t - h / 2;
      step.m_StepX = sx * (I + w);
      step.m_StepY = sy * (I + h);
      step.m_RowStepX = S;
      step.m_RowStepY = -sx * sy * S;
      break;
    }
  }
  if (rows >= 2) {
    const int back = ((rows - 1) >> 1) * S + ((rows & 1) == 0 ? S / 2 : 0);
    if (step.m_RowStepX != 0) step.m_X -= step.m_RowStepX != 0 ? back * (step.m_RowStepX > 0 ? 1 : -1) : 0;
    if (step.m_RowStepY != 0) step.m_Y -= back * (step.m_RowStepY > 0 ? 1 : -1);
  }
  StraightVelocity(step);
  AddOffsets(step);
}

// The reference of lightning and encirclement: the formation target, the
// hero or the shooter; null when the slot is empty.
cCharaBase* FormationReference(cCharaBase& shooter, const cEdShot& edShot) {
  switch (edShot.m_nReference) {
    case 0: return shooter.Target(edShot.m_nFormationTarget);
    case 1: return StageHero();
    default: return &shooter;
  }
}

// The reference's centre in world dots, its rectangle refreshed; false when
// there is no reference.
bool ReferenceCentre(cCharaBase& shooter, const cEdShot& edShot, int& x, int& y) {
  cCharaBase* reference = FormationReference(shooter, edShot);
  if (reference == nullptr) return false;
  reference->UpdateRect();
  WorldCentre(*reference, x, y);
  return true;
}

// The launch point's rotation about the shooter: the first object at the
// shooter's corner turned by `a` degrees.
void PlaceRotated(FormationStep& step, const cShooterBox& box, double a) {
  const int w = step.m_Width;
  const int h = step.m_Height;
  const double r = kK * (box.bottom + h / 2 - box.top - box.height / 2 + 1);
  const double t = kK * (w / 2 + box.right - box.left - box.width / 2 + 1);
  const double b = (a + 225) * kRadiansPerDegree;
  step.m_X = TruncToI32(box.left + box.width / 2 + (r * std::sin(b) + t * std::cos(b)) - w / 2);
  step.m_Y = TruncToI32(box.top + box.height / 2 + (t * std::sin(b) - r * std::cos(b)) - h / 2);
}

// The velocity of an angled placement: from the direction's base angle, or
// aimed from the launch point, plus the step's angle.
void AngledVelocity(FormationStep& step, cCharaBase& shooter, const cEdShot& edShot) {
  double a = DirectionBaseAngle(step.m_DirCode);
  if (edShot.m_bAim != 0) {
    a = AimAngle(step.m_X + step.m_Width / 2, step.m_Y + step.m_Height / 2, shooter, edShot, step);
  }
  VelocityForAngle(a + step.m_Angle, step.m_Speed, step.m_VX, step.m_VY);
}

// The angled variant of a line formation (straight A, straight B, fan,
// lightning): the plain placement with the velocity from the angle, or with
// the rotate-launch flag, the line turned about the shooter.
void PlaceAngled(FormationStep& step, cCharaBase& shooter, const cEdShot& edShot, const cShooterBox& box,
                 int count) {
  if (edShot.m_bRotateLaunch == 0) {
    AngledVelocity(step, shooter, edShot);
    return;
  }
  double a = DirectionBaseAngle(step.m_DirCode);
  if (edShot.m_bAim != 0) a = AimAngle(box.cx + step.m_OffsetX, box.cy + step.m_OffsetY, shooter, edShot, step);
  a += step.m_Angle;
  PlaceRotated(step, box, a);
  const int I = Param(edShot, 0) * 16;
  const int G = Param(edShot, 0) * 8;
  const double rad = a * kRadiansPerDegree;
  const double s = std::sin(rad);
  const double c = std::cos(rad);
  step.m_X -= TruncToI32(s * (G + step.m_Width / 2) * (count - 1));
  step.m_Y += TruncToI32(c * (G + step.m_Height / 2) * (count - 1));
  step.m_StepX = TruncToI32(s * (I + step.m_Width));
  step.m_StepY = TruncToI32(-c * (I + step.m_Height));
  AddOffsets(step);
  if (edShot.m_bAim != 0) {
    a = AimAngle(step.m_X + step.m_Width / 2, step.m_Y + step.m_Height / 2, shooter, edShot, step) + step.m_Angle;
  }
  VelocityForAngle(a, step.m_Speed, step.m_VX, step.m_VY);
}

void FormLine(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step, bool columnB) {
  const cShooterBox box = BoxOf(shooter);
  const int n = FormationCount(edShot);
  if (columnB) {
    PlaceStraightB(step, edShot, box, shooter.m_Facing);
  } else {
    PlaceStraightA(step, edShot, box);
  }
  if (step.m_Angle != 0 || edShot.m_bAim != 0) PlaceAngled(step, shooter, edShot, box, n);
  for (int i = 0; i < n; ++i) {
    CreateFormationObject(shots, step, shooter, type, edShot);
    step.m_X += step.m_StepX;
    step.m_Y += step.m_StepY;
  }
}

void FormFan(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step) {
  const cShooterBox box = BoxOf(shooter);
  const int n = FormationCount(edShot);
  PlaceFan(step, edShot, box);
  if (step.m_Angle != 0 || edShot.m_bAim != 0) PlaceAngled(step, shooter, edShot, box, 1);
  double base = DirectionBaseAngle(step.m_DirCode);
  if (edShot.m_bAim != 0) base = AimAngle(step.m_X + step.m_Width / 2, step.m_Y + step.m_Height / 2, shooter, edShot, step);
  const int half = n / 2;
  const double d = (n % 2 == 0) ? half - 0.5 : half;
  const int spacing = Param(edShot, 0);
  double a = base + step.m_Angle - d * spacing;
  for (int i = 0; i < n; ++i) {
    VelocityForAngle(a, step.m_Speed, step.m_VX, step.m_VY);
    CreateFormationObject(shots, step, shooter, type, edShot);
    a += spacing;
  }
}

void FormLightning(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step) {
  int qx = 0;
  int qy = 0;
  if (!ReferenceCentre(shooter, edShot, qx, qy)) return;
  PlaceLightning(step, edShot, qx, qy);
  if (step.m_Angle != 0) AngledVelocity(step, shooter, edShot);
  const int n = FormationCount(edShot);
  const int rows = LightningRows(edShot);
  for (int i = 0; i < n; ++i) {
    FormationStep row = step;
    for (int r = 0; r < rows; ++r) {
      CreateFormationObject(shots, row, shooter, type, edShot);
      row.m_X += row.m_RowStepX;
      row.m_Y += row.m_RowStepY;
    }
    step.m_X += step.m_StepX;
    step.m_Y += step.m_StepY;
  }
}

void FormExplosion(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step) {
  PlaceAround(step, BoxOf(shooter));
  const int n = FormationCount(edShot);
  double a = DirectionBaseAngle(step.m_DirCode) + step.m_Angle;
  for (int i = 0; i < n; ++i) {
    VelocityForAngle(a, step.m_Speed, step.m_VX, step.m_VY);
    CreateFormationObject(shots, step, shooter, type, edShot);
    a += 360.0 / n;
  }
}

void FormEncircle(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step) {
  int qx = 0;
  int qy = 0;
  if (!ReferenceCentre(shooter, edShot, qx, qy)) return;
  const int cx = qx - step.m_Width / 2 + step.m_OffsetX;
  const int cy = qy - step.m_Height / 2 + step.m_OffsetY;
  const double r = Param(edShot, 0) * 16;
  const int n = FormationCount(edShot);
  double a = DirectionBaseAngle(step.m_DirCode) + step.m_Angle;
  for (int i = 0; i < n; ++i) {
    const double rad = a * kRadiansPerDegree;
    step.m_X = cx + TruncToI32(r * std::cos(rad) + 0.5);
    step.m_Y = cy + TruncToI32(r * std::sin(rad) + 0.5);
    VelocityForAngle(a, step.m_Speed, step.m_VX, step.m_VY);
    CreateFormationObject(shots, step, shooter, type, edShot);
    a += 360.0 / n;
  }
}

void RunFormation(cShotList* shots, cCharaBase& shooter, int type, cEdShot& edShot, FormationStep& step) {
  switch (edShot.m_nFormation) {
    case FORMATION_STRAIGHT_A: FormLine(shots, shooter, type, edShot, step, false); break;
    case FORMATION_STRAIGHT_B: FormLine(shots, shooter, type, edShot, step, true); break;
    case FORMATION_FAN: FormFan(shots, shooter, type, edShot, step); break;
    case FORMATION_LIGHTNING: FormLightning(shots, shooter, type, edShot, step); break;
    case FORMATION_EXPLOSION: FormExplosion(shots, shooter, type, edShot, step); break;
    case FORMATION_ENCIRCLE: FormEncircle(shots, shooter, type, edShot, step); break;
    default: break;
  }
}

// "入力方向": the direction key slot held when the running flow started, read
// as the shot formations read it (mode flag 0), whoever the shooter is.
int InputDirectionCode(const cCharaBase& shooter) {
  const cFlowState* flow = g_GameScene != nullptr ? g_GameScene->m_pCurFlowState : nullptr;
  const int slot = flow != nullptr ? flow->m_TriggerKeySlot : 0;
  return MapDirectionCode(slot, 0, shooter.m_Facing, IsReplayPlaying(), g_ReadVersion);
}

// The step's angle: "角度のズレ" for this pass, mirrored for a shooter facing
// right, plus a random spread when there is one.
int PassAngle(const cEdShot& edShot, int base, int facingRight) {
  int angle = base;
  if (edShot.m_bMirrorAngle != 0 && facingRight != 0) angle = 360 - angle;
  if (edShot.m_nSpread != 0) angle += RandomRange(-edShot.m_nSpread, edShot.m_nSpread);
  return angle;
}

void RefreshIfComputer(cCharaBase* chara) {
  if (chara != nullptr && chara->m_Operator == OBJ_BY_COMPUTER) chara->UpdateRect();
}

// One summon pass: the definition read by the caller, speed 1, angle 0, clone
// 0, the shooter's rectangle refreshed; the formation runs once.
void RunSummonPass(cCharaBase& shooter, cEdShot& edShot, int type, int size) {
  FormationStep step;
  step.m_Width = step.m_Height = size;
  step.m_DirCode = DirectionCode(edShot.m_nDirection, shooter.m_Facing, InputDirectionCode(shooter));
  step.m_Speed = 1.0;
  step.m_OffsetX = TruncToI32(edShot.GetOffsetX(0, shooter.m_Facing));
  step.m_OffsetY = TruncToI32(edShot.GetOffsetY(0, shooter.m_Facing));
  shooter.UpdateRect();
  RunFormation(nullptr, shooter, type, edShot, step);
}

template <class T>
const T* SummonDefinition(const cSafeVector<T>& common, const cSafeVector<T>& stage, const cEdShot& edShot) {
  const cSafeVector<T>& list = edShot.m_nSummonPalette == 0 ? common : stage;
  const int index = edShot.m_nSummonIndex;
  if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
  return &list[index];
}

}  // namespace

void SetSummonCreator(cSummonCreator* creator) { g_pSummonCreator = creator; }
cSummonCreator* SummonCreator() { return g_pSummonCreator; }

int DirectionCode(int mode, int facingRight, int inputCode) {
  const bool f = facingRight != 0;
  switch (mode) {
    case 0: return f ? DIR_CODE_RIGHT : DIR_CODE_LEFT;
    case 1: return f ? DIR_CODE_LEFT : DIR_CODE_RIGHT;
    case 4: return f ? DIR_CODE_DOWN : DIR_CODE_UP;
    case 5: return f ? DIR_CODE_UP : DIR_CODE_DOWN;
    case 12: return inputCode != 0 ? inputCode : (f ? DIR_CODE_RIGHT : DIR_CODE_LEFT);
    default: return mode;
  }
}

double DirectionBaseAngle(int dirCode) {
  switch (dirCode) {
    case DIR_CODE_RIGHT: return 180;
    case DIR_CODE_UP: return 90;
    case DIR_CODE_DOWN: return 270;
    case DIR_CODE_UP_LEFT: return 45;
    case DIR_CODE_DOWN_LEFT: return 315;
    case DIR_CODE_UP_RIGHT: return 135;
    case DIR_CODE_DOWN_RIGHT: return 225;
    default: return 0;
  }
}

void VelocityForAngle(double degrees, double speed, double& vx, double& vy) {
  const double rad = degrees * kRadiansPerDegree;
  vx = -std::cos(rad) * speed;
  vy = -std::sin(rad) * speed;
}

int AimAngle(int x, int y, cCharaBase& shooter, const cEdShot& edShot, FormationStep& step) {
  cCharaBase* target = shooter.m_Targets[edShot.m_nFormationTarget];
  if (target == nullptr) return shooter.m_Facing != 0 ? 180 : 0;
  int tx = 0;
  int ty = 0;
  WorldCentre(*target, tx, ty);
  const cScrollAxis& ax = g_GameScene->m_ScrollX;
  const cScrollAxis& ay = g_GameScene->m_ScrollY;
  const bool still = (ax.m_Speed == 0 || ax.m_AtLimit != 0) && (ay.m_Speed == 0 || ay.m_AtLimit != 0);
  if (still || edShot.m_bScrollSync == 0 || target->m_MovesWithScroll == 0) {
    return TruncToI32(std::atan2(ty - y, tx - x) / kRadiansPerDegree + 180 + 0.5);
  }
  const double speed = (edShot.m_nSpeed + step.m_CloneIndex * edShot.m_nSpeedPerCopy) * 0.1 / g_Stage.SubStepsAtLeastOneF();
  double vx = 0.0;
  double vy = 0.0;
  int direction = 0;
  FlowServices().SolveAimVelocity(vx, vy, direction, target, x - CameraX(), y - CameraY(), tx - CameraX(),
                                  ty - CameraY(), speed, edShot.m_bScrollSync, kSpeedAsGiven, 0);
  // The intercept may need another speed than the shot's own: the shot flies
  // at the speed it solved for.
  step.m_Speed = std::sqrt(vx * vx + vy * vy) * g_Stage.SubStepsAtLeastOneF();
  return TruncToI32(std::atan2(vy, vx) / kRadiansPerDegree + 180);
}

void CreateFormationObject(cShotList* shots, FormationStep& step, cCharaBase& shooter, int commandType,
                           cEdShot& edShot) {
  switch (commandType) {
    case FORMATION_OBJECT_SHOT:
    case FORMATION_OBJECT_SWORD: {
      if (shots == nullptr || (commandType == FORMATION_OBJECT_SHOT && !shots->HasRoomForShot())) return;
      cShot shot;
      shot.Init(shots->m_nNextKey, shooter, commandType, edShot, step);
      if (shots->AddShot(shot) != nullptr) ++shots->m_nNextKey;
      return;
    }
    case FORMATION_OBJECT_BLOCK: {
      const cBlockData* block = SummonDefinition(g_CommonPalette.m_Blocks, g_Stage.m_PaletteBlocks, edShot);
      if (block != nullptr && g_pSummonCreator != nullptr) {
        g_pSummonCreator->PlaceSummonedBlocks(*block, step.m_X, step.m_Y, shooter.m_Facing, edShot);
      }
      return;
    }
    case FORMATION_OBJECT_CHARA: {
      const cCharaData* chara = SummonDefinition(g_CommonPalette.m_Charas, g_Stage.m_PaletteCharas, edShot);
      if (chara == nullptr || g_pSummonCreator == nullptr) return;
      int facing = shooter.m_Facing;
      if (edShot.m_bFaceOpposite != 0) facing = facing != 0 ? 0 : 1;
      int side = chara->m_nPassNumber;
      if (edShot.m_nSideMode == 1) side = shooter.m_PassNo;
      if (edShot.m_nSideMode == 2) side = edShot.m_nFaction;
      g_pSummonCreator->CreateSummonedChara(step.m_X, step.m_Y, side, facing, shooter.m_Facing, edShot, *chara,
                                            shooter);
      return;
    }
    case FORMATION_OBJECT_ITEM: {
      const cItemData* item = SummonDefinition(g_CommonPalette.m_Items, g_Stage.m_PaletteItems, edShot);
      if (item != nullptr && g_pSummonCreator != nullptr) {
        g_pSummonCreator->CreateSummonedItem(step.m_X, step.m_Y, shooter.m_Facing, edShot, *item);
      }
      return;
    }
    default:
      return;
  }
}

void FireShot(cShotList& shots, cCharaBase& shooter, cCmdState& /*cmdState*/, cEdShot& edShot, int commandType) {
  const int facing = shooter.m_Facing;
  const int scale = edShot.m_nScale > 0 ? edShot.m_nScale : 1;
  FormationStep step;
  step.m_Width = step.m_Height = scale * 16;
  step.m_DirCode = DirectionCode(edShot.m_nDirection, facing, InputDirectionCode(shooter));

  if (shooter.m_Operator == OBJ_BY_COMPUTER) shooter.UpdateRect();
  RefreshIfComputer(shooter.Target(edShot.m_nFormationTarget));
  if (edShot.m_nMotionTarget != edShot.m_nFormationTarget) RefreshIfComputer(shooter.Target(edShot.m_nMotionTarget));

  step.m_Speed = edShot.m_nSpeed * 0.1;
  const double speedPerClone = edShot.m_nSpeedPerCopy * 0.1;
  step.m_Angle = PassAngle(edShot, edShot.m_nAngle, facing);
  step.m_Distance = edShot.m_nDistance;
  step.m_Lifetime = edShot.m_nLifetime;

  for (int i = 0; i <= edShot.m_nCopies; ++i) {
    step.m_CloneIndex = static_cast<int16_t>(i);
    step.m_OffsetX = TruncToI32(edShot.GetOffsetX(i, facing));
    step.m_OffsetY = TruncToI32(edShot.GetOffsetY(i, facing));
    FormationStep pass = step;
    RunFormation(&shots, shooter, commandType, edShot, pass);
    step.m_Speed += speedPerClone;
    step.m_Angle = PassAngle(edShot, edShot.m_nAngle + (i + 1) * edShot.m_nAnglePerCopy, facing);
    step.m_Distance += edShot.m_nDistancePerCopy;
    step.m_Lifetime += edShot.m_nLifetimePerCopy;
  }
}

void SummonBlock(cCharaBase& shooter, cCmdState& /*cmdState*/, cEdShot& edShot) {
  if (SummonDefinition(g_CommonPalette.m_Blocks, g_Stage.m_PaletteBlocks, edShot) == nullptr) return;
  if (edShot.m_nBlockSummonMode == 2 && g_pSummonCreator != nullptr) g_pSummonCreator->ResetBlockToggle();
  RunSummonPass(shooter, edShot, FORMATION_OBJECT_BLOCK, kCellDots);
}

void SummonChara(cCharaBase& shooter, cCmdState& /*cmdState*/, cEdShot& edShot) {
  const cCharaData* chara = SummonDefinition(g_CommonPalette.m_Charas, g_Stage.m_PaletteCharas, edShot);
  if (chara == nullptr || chara->m_nOperator != CHARA_BY_COMPUTER) return;
  RunSummonPass(shooter, edShot, FORMATION_OBJECT_CHARA, chara->m_nScale * kCellDots);
}

void SummonItem(cCharaBase& shooter, cCmdState& /*cmdState*/, cEdShot& edShot) {
  const cItemData* item = SummonDefinition(g_CommonPalette.m_Items, g_Stage.m_PaletteItems, edShot);
  if (item == nullptr) return;
  RunSummonPass(shooter, edShot, FORMATION_OBJECT_ITEM, item->m_nScale * kCellDots);
}

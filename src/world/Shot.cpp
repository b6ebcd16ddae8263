#include "world/Shot.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "core/Numeric.h"
#include "data/Database.h"
#include "data/StageData.h"
#include "data/SwordType.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/SurfaceDef.h"
#include "graphics/SurfaceTable.h"
#include "world/CharaBase.h"
#include "world/Formation.h"
#include "world/GameScene.h"
#include "world/MapGrid.h"
#include "world/ScrollAxis.h"

namespace {

int SubStepsI() { return g_Stage.SubStepsAtLeastOne(); }

// List 0 (swords): patterns 0, 1, 2 for 7 frames each, then the end; list 1
// (shots): patterns 0 and 1 for 8 frames each, looping.
const cFrameScriptTable& ShotAnimation() {
  static const cFrameScriptTable animation = {
      cFrameScript{cAnimeFrame{0, 7, 0}, cAnimeFrame{1, 7, 0}, cAnimeFrame{2, 7, 0},
                   cAnimeFrame{kAnimePatternEnd, 0, 0}},
      cFrameScript{cAnimeFrame{0, 8, 0}, cAnimeFrame{1, 8, 0}, cAnimeFrame{kAnimePatternLoop, 0, 0}}};
  return animation;
}

inline constexpr int kShotCell = 16;
inline constexpr int kShotAnimeSword = 0;
inline constexpr int kShotAnimeShot = 1;

// Where a shot's link of `kind` sits in its character's list, as last placed.
int32_t& LinkPlace(cShot& shot, int kind) { return kind == kLinkChild ? shot.m_nOwnerLinkAt : shot.m_nTargetLinkAt; }

bool IsLinkAt(const cCharaBase& chara, int32_t place, const cShot* shot, int kind) {
  const auto& links = chara.m_ShotLinks;
  return place >= 0 && static_cast<std::size_t>(place) < links.size() &&
         links[place] == cShotLink{const_cast<cShot*>(shot), kind};
}

// Takes the link out through the place it was put at: the last link moves
// into the gap, so a character with many shots does not scan its list for
// each one that goes. The order of the links means nothing (they are only
// ever visited as a set). A shot that never linked itself (a copy that was
// not listed) has nothing to take out; a link that is not where it was put
// (the character's links were replaced by a copy of another's) is searched
// for.
void RemoveShotLink(cCharaBase* chara, cShot* shot, int kind) {
  int32_t& place = LinkPlace(*shot, kind);
  if (chara == nullptr || place < 0) return;
  auto& links = chara->m_ShotLinks;
  if (IsLinkAt(*chara, place, shot, kind)) {
    const cShotLink moved = links.back();
    links[place] = moved;
    links.pop_back();
    if (static_cast<std::size_t>(place) < links.size() && moved.m_pShot != nullptr &&
        (moved.m_nKind == kLinkChild ? moved.m_pShot->m_Owner : moved.m_pShot->m_Target) == chara) {
      LinkPlace(*moved.m_pShot, moved.m_nKind) = place;
    }
  } else {
    links.erase(std::remove(links.begin(), links.end(), cShotLink{shot, kind}), links.end());
  }
  place = -1;
}

// Each listed shot links itself once (AddShot), so there is nothing to look
// for but the place it already holds.
void AddShotLink(cCharaBase* chara, cShot* shot, int kind) {
  if (chara == nullptr) return;
  int32_t& place = LinkPlace(*shot, kind);
  if (IsLinkAt(*chara, place, shot, kind)) return;
  place = static_cast<int32_t>(chara->m_ShotLinks.size());
  chara->m_ShotLinks.push_back(cShotLink{shot, kind});
}

}  // namespace

// ---- construction ----------------------------------------------------------------------

cShot::cShot() { m_EdShot.Reset(); }

cShot::cShot(const cShot& other) : cGameObj(other) { CopyFrom(other); }

cShot& cShot::operator=(const cShot& other) {
  if (this == &other) return *this;
  DropLinks();
  cGameObj::operator=(other);
  CopyFrom(other);
  return *this;
}

cShot::~cShot() { DropLinks(); }

void cShot::CopyFrom(const cShot& other) {
  m_OwnerKey = other.m_OwnerKey;
  m_IsShot = other.m_IsShot;
  m_RangeLeft = other.m_RangeLeft;
  m_LifeLeft = other.m_LifeLeft;
  m_Tick = other.m_Tick;
  m_SwordFrame = other.m_SwordFrame;
  m_Accel = other.m_Accel;
  m_AimSpeed = other.m_AimSpeed;
  m_MotionVX = other.m_MotionVX;
  m_MotionVY = other.m_MotionVY;
  m_AccelOn = other.m_AccelOn;
  m_MotionStart = other.m_MotionStart;
  m_MotionEnd = other.m_MotionEnd;
  m_MotionDone = other.m_MotionDone;
  m_WavePhase = other.m_WavePhase;
  m_WavePrev = other.m_WavePrev;
  m_WaveSin = other.m_WaveSin;
  m_WaveCos = other.m_WaveCos;
  m_Hit = other.m_Hit;
  m_HitList = other.m_HitList;
  m_EdShot = other.m_EdShot;
  m_Target = other.m_Target;
  m_Owner = other.m_Owner;
  m_HitFlowOn = other.m_HitFlowOn;
  m_HitFlowId = other.m_HitFlowId;
  m_AccelX = other.m_AccelX;
  m_AccelY = other.m_AccelY;
  m_bLifeOn = other.m_bLifeOn;
  m_bRangeOn = other.m_bRangeOn;
  m_bErased = other.m_bErased;
}

void cShot::DropLinks() {
  RemoveShotLink(m_Target, this, kLinkTarget);
  RemoveShotLink(m_Owner, this, kLinkChild);
}

void cShot::LinkToTarget() { AddShotLink(m_Target, this, kLinkTarget); }
void cShot::LinkToOwner() { AddShotLink(m_Owner, this, kLinkChild); }

const cSwordType* cShot::SwordType() const {
  const auto& types = g_Database.m_SwordTypes;
  if (types.empty()) return nullptr;
  return &types[m_EdShot.m_nMotion];
}

// ---- set-up ------------------------------------------------------------------------------

void cShot::Init(int objectKey, cCharaBase& owner, int commandType, cEdShot& edShot, const FormationStep& step) {
  if (edShot.m_nScale == 0) edShot.m_nScale = 1;
  m_EdShot = edShot;
  const bool sword = commandType == FORMATION_OBJECT_SWORD;

  int facing = owner.m_Facing;
  if (step.m_VX > 0) facing = 1;
  if (step.m_VX < 0) facing = 0;

  int width = kShotCell;
  int height = kShotCell;
  if (sword) {
    const cSwordType* type = SwordType();
    if (type != nullptr && !type->m_Steps.empty()) {
      width = type->m_Steps[0].m_nWidth;
      height = type->m_Steps[0].m_nHeight;
    }
  }

  cGameObj::Init(objectKey, owner.m_Operator, owner.m_PlayerNo, m_EdShot.m_nFaction, m_EdShot.m_nGraphic,
                 &ShotAnimation(), sword ? kShotAnimeSword : kShotAnimeShot, 0, 0, kShotCell, kShotCell, width,
                 height, facing, 1, step.m_CloneIndex);
  m_OwnerKey = owner.m_Key;
  m_IsShot = sword ? 0 : 1;

  if (m_EdShot.m_bUserFaction != 0) {
    m_EdShot.m_nFaction = static_cast<uint8_t>(owner.m_PassNo);
    m_PassNo = owner.m_PassNo;
  }

  if (sword) {
    m_Hit.Set(0, 0, width, height);
  } else {
    const cBoxSize& box = owner.m_Operator == OBJ_BY_PLAYER ? g_Stage.m_PlayerShotBox : g_Stage.m_ComputerShotBox;
    m_Hit.Set(8 - (box.m_nWidth >> 1), 8 - (box.m_nHeight >> 1), box.m_nWidth, box.m_nHeight);
  }
  SetScale(m_EdShot.m_nScale, 1);

  m_X = step.m_X;
  ConstrainX();
  m_Y = step.m_Y;
  ClampY(-1);

  const double n = g_Stage.SubStepsAtLeastOneF();
  m_MotionVX = step.m_VX / n;
  m_MotionVY = step.m_VY / n;

  if (m_EdShot.m_bAccelOn != 0) {
    m_AccelOn = 1;
    m_Accel = (m_EdShot.m_nAccel + step.m_CloneIndex * m_EdShot.m_nAccelPerCopy) * 0.1 / n;
    SplitAccel(m_MotionVX, m_MotionVY);
  } else {
    m_AccelOn = 0;
    m_Accel = m_AccelX = m_AccelY = 0.0;
  }

  m_VX = m_VY = 0.0;
  m_MovesWithScroll = m_EdShot.m_bScrollSync;

  m_bLifeOn = m_EdShot.m_bLifetimeOn != 0 ? 1 : 0;
  if (m_bLifeOn != 0) m_LifeLeft = ClampToI32(int64_t{step.m_Lifetime} * SubStepsI() * 6);

  m_bRangeOn = m_EdShot.m_bDistanceOn != 0 ? 1 : 0;
  if (m_bRangeOn != 0) InitRange(step);

  m_Tick = m_SwordFrame = m_MotionStart = m_MotionEnd = m_MotionDone = 0;
  m_Target = owner.Target(m_EdShot.m_nMotionTarget);
  m_Owner = &owner;
  m_HitFlowOn = m_EdShot.m_bFlowOnHit;
  m_HitFlowId = m_EdShot.m_nFlowOnHitId;
}

void cShot::InitRange(const FormationStep& step) {
  const int n = SubStepsI();
  const int64_t d = int64_t{step.m_Distance} * 32 / 2;
  const double v = static_cast<double>(std::max<int64_t>(d - m_GfxW, 0));
  const double s = std::fabs(step.m_Speed / n);
  if (v > 0 && s > 0) {
    m_RangeLeft = TruncToI32(v / s);
  } else {
    m_RangeLeft = n;
    if (TruncToI32(n * s) > m_GfxW && s > 0) m_RangeLeft = TruncToI32(m_GfxW / s);
  }
  if (m_RangeLeft < n) {
    // The shot would arrive within one frame: spread the distance over it.
    const double sum = std::fabs(step.m_VX) + std::fabs(step.m_VY);
    if (sum > 0) {
      m_MotionVX = (v / n) * step.m_VX / sum;
      m_MotionVY = (v / n) * step.m_VY / sum;
    }
    m_RangeLeft = n;
  }
}

void cShot::SplitAccel(double vx, double vy) {
  const double a = m_Accel;
  const auto perFrame = [](double value) { return value / g_Stage.SubStepsAtLeastOneF() / 60; };
  if (vx != 0 && vy != 0) {
    const double len = std::sqrt(vx * vx + vy * vy);
    m_AccelX = perFrame(a * vx / len);
    m_AccelY = perFrame(a * vy / len);
  } else if (vx != 0) {
    m_AccelX = std::copysign(perFrame(a), vx);
    m_AccelY = 0.0;
  } else if (vy != 0) {
    m_AccelX = 0.0;
    m_AccelY = std::copysign(perFrame(a), vy);
  } else {
    m_AccelX = m_AccelY = 0.0;
  }
}

// ---- per sub-step --------------------------------------------------------------------------

void cShot::SeedBaseVelocity() {
  const bool flying = m_Flying != 0;
  if (g_System.m_bScrollSwitch != 0 || m_MovesWithScroll == 0) {
    m_VX = 0.0;
    if (flying) m_VY = 0.0;
    return;
  }
  m_VX = g_GameScene->m_ScrollX.SpeedNow();
  if (flying) m_VY = g_GameScene->m_ScrollY.SpeedNow();
}

int cShot::UpdateShotMotion() {
  if (m_IsShot == 0) return UpdateSword();
  SeedBaseVelocity();
  RunMotion();
  if (m_AccelOn != 0) {
    m_MotionVX += m_AccelX;
    if (m_Flying == 0) {
      m_VY += m_AccelY;
    } else {
      m_MotionVY += m_AccelY;
    }
  }
  m_VX += m_MotionVX;
  if (m_Flying != 0) m_VY += m_MotionVY;

  if (m_bLifeOn != 0) {
    if (m_LifeLeft < 1) return 1;
    --m_LifeLeft;
  }
  if (m_VX > 0) m_Facing = 1;
  if (m_VX < 0) m_Facing = 0;
  if (m_bRangeOn != 0) {
    if (m_RangeLeft < 1) {
      if (m_EdShot.m_bStopAtDistance == 0) return 1;
      m_MotionVX = m_MotionVY = 0.0;
      m_EdShot.m_nMotion = 0;
      SeedBaseVelocity();
      return 0;
    }
    --m_RangeLeft;
  }
  return 0;
}

void cShot::ApplyGravity() { AddGravity(); }

int cShot::MoveX() {
  if (m_AccelX != 0) m_VX += m_AccelX;
  const double cap = g_Stage.m_SpeedLimitStep;
  m_VX = std::clamp(m_VX, -cap, cap);
  m_X += m_VX;
  ConstrainX();
  return 0;
}

int cShot::MoveY() {
  if (m_AccelY != 0) m_VY += m_AccelY;
  if (m_VY != 0) StepY(-1);
  return 0;
}

int cShot::ConstrainX() {
  const int worldWidth = g_GameScene->m_ScrollX.GridExtent();
  int code = 0;
  if (m_X < 0) {
    m_X = 0;
    code = 3;
  } else if (m_X + m_GfxW - 1 >= worldWidth) {
    m_X = worldWidth - m_GfxW;
    code = 3;
  }
  m_Right = m_X + m_GfxW - 1;
  UpdateHitRectX();
  m_CellL = TruncToI32(m_X) >> 5;
  m_CellR = TruncToI32(m_Right) >> 5;
  return code;
}

int cShot::HitsBlock() const {
  if (m_EdShot.m_bPassBlocks == 1) return 0;
  if (m_GfxW <= 32) return CornersHitBlock();
  const int rowBits = g_GameScene->m_ScrollX.m_RowBits;
  const int x = TruncToI32(m_X);
  const int y = TruncToI32(m_Y);
  // Every 32 dots across and down, and always the far edge.
  for (int dy = 0;; dy += 32) {
    const int rowY = std::min(dy, m_GfxH - 1);
    for (int dx = 0;; dx += 32) {
      const int colX = std::min(dx, m_GfxW - 1);
      if (CellContactKindAt(MapCellIndex((x + colX) >> 5, (y + rowY) >> 5, rowBits), m_PassNo) != 0) return 1;
      if (colX >= m_GfxW - 1) break;
    }
    if (rowY >= m_GfxH - 1) break;
  }
  return 0;
}

// ---- drawing ---------------------------------------------------------------------------------

void cShot::Draw(DDSURFACEDATA* target, int frozen) {
  if (m_EdShot.m_bHidden != 0 || m_IsShot == 0 || target == nullptr) return;
  const int pattern = frozen != 0 ? m_Anime.GetPattern() : m_Anime.Update();
  // The sheet faces left; a shot facing right draws from its mirrored copy
  // (mirrored cell by cell). Bad data may name a cell beyond the sheet:
  // nothing is drawn then.
  const int g = m_Graphic;
  if (g < 1 || g > 120 || pattern < 0 || pattern > 1) return;
  const int row = ShotSurfaceRow(m_Facing != 0 ? SURF_SHOT_MIRROR : SURF_SHOT, 0);
  DDSURFACEDATA* sheet = &g_SurfaceData[static_cast<std::size_t>(row)];
  const int sx = (2 * (g / 30) + pattern) * kShotCell;
  const int sy = (g % 30) * kShotCell;
  UpdateRect();
  if (m_EdShot.m_nScale < 2) {
    DDBlt(target, m_ScrLeft, m_ScrTop, kShotCell, kShotCell, sheet, sx, sy, 1);
  } else {
    DDBltEx(target, m_ScrLeft, m_ScrTop, m_GfxW, m_GfxH, sheet, sx, sy, kShotCell, kShotCell, 1);
  }
}

// ---- cGameObj --------------------------------------------------------------------------------

void cShot::UpdateHitBoxes(int scale) { m_Hit.Scale(scale); }

void cShot::ReanchorY(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_Y -= static_cast<double>(int64_t{m_BaseGfxH >> 1} * (int64_t{newScale} - oldScale));
  ClampY(-1);
}

void cShot::UpdateHitRectX() { m_Hit.FollowX(m_X); }
void cShot::UpdateHitRectY() { m_Hit.FollowY(m_Y); }

// ---- the shot list ---------------------------------------------------------------------------

bool cShotList::HasRoomForShot() const { return m_Shots.Count() < kMaxShotsInFlight; }

cShot* cShotList::AddShot(const cShot& shot) {
  if (shot.m_IsShot != 0 && !HasRoomForShot()) return nullptr;
  const int faction = shot.m_EdShot.m_nFaction;
  if (FactionIndex(faction) != faction) LogPrintf("err V[%d] ( %d , %d )\n", faction, 8, 4);
  cShot& added = m_Shots.Append(shot);
  // A shot steers toward its target only in the target motions; a sword's
  // motion byte is its sword type.
  const int motion = added.m_EdShot.m_nMotion;
  if (added.m_IsShot != 0 && (motion == 3 || motion == 6) && added.m_Target != nullptr) {
    added.LinkToTarget();
  } else {
    added.m_Target = nullptr;
  }
  added.LinkToOwner();
  return &added;
}

void cShotList::EraseShot(cShot& shot) {
  shot.m_bErased = 1;
  m_Shots.Remove(&shot);
}

int cShot::Faction() const { return FactionIndex(m_EdShot.m_nFaction); }

// ---- services of the play step -------------------------------------------------------------

void UpdateShots() {
  const bool firstSubStep = g_GameScene->m_nSubStep == 1;
  for (cShot& shot : g_ShotList.m_Shots) {
    if (shot.UpdateShotMotion() != 0) {
      g_ShotList.EraseShot(shot);
      continue;
    }
    shot.ApplyGravity();
    shot.MoveY();
    shot.MoveX();
    if (firstSubStep && shot.m_IsShot != 0) {
      const int area = shot.m_Operator == OBJ_BY_PLAYER ? kShotAreaPlayer : kShotAreaComputer;
      if (shot.IsOutsideRemovalArea(g_Stage.m_Areas[area]) != 0) {
        g_ShotList.EraseShot(shot);
        continue;
      }
    }
    if (shot.HitsBlock() != 0) g_ShotList.EraseShot(shot);
  }
}

void ActivateShots() {
  for (cShot& shot : g_ShotList.m_Shots) {
    shot.m_Active = 1;
    shot.m_OnScreen = shot.IsOnScreen();
  }
}

void ClearShots() {
  for (cShot& shot : g_ShotList.m_Shots) shot.m_bErased = 1;
  g_ShotList.m_Shots.Clear();
  g_ShotList.m_nNextKey = 0;
}

int ShotCount() { return g_ShotList.m_Shots.Count(); }

int ContainsLink(const cCharaBase& chara, const cShot* shot, int kind) {
  for (const cShotLink& link : chara.m_ShotLinks) {
    if (link.m_pShot == shot && link.m_nKind == kind) return 1;
  }
  return 0;
}

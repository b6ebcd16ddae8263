#include "world/Hero.h"

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "core/SoundRequest.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/CharaMotion.h"
#include "world/FlowServices.h"
#include "world/GameScene.h"
#include "world/KeyInput.h"

cHero* StageHero() { return Player.empty() ? nullptr : &Player[0]; }

namespace {

// The factor of a take-off from a block character: 1.02 rounded to single
// precision, then widened; the jump heights and the replays depend on the
// exact value.
constexpr double kRideTakeOffFactor = 1.0199999809265137;
// What is left of an upward speed when the jump key is let go early.
constexpr double kJumpCutFactor = 0.3;

// A box centred in the 32-dot cell, relative to the body box's offset.
void SetCentredRect(cHitRect& rect, const cBoxSize& size, int bodyOffX, int bodyOffY) {
  rect.Set(16 - size.m_nWidth / 2 - bodyOffX, 16 - size.m_nHeight / 2 - bodyOffY, size.m_nWidth, size.m_nHeight);
}

// An axis that does not scroll by itself (no automatic speed, or held at a
// limit) counts as stopped.
bool Stopped(const cScrollAxis& axis) { return axis.m_Speed == 0.0 || axis.m_AtLimit != 0; }

// The screen coordinate of a box edge: on a stopped axis position and camera
// are truncated apart, otherwise their difference is.
int32_t ScreenEdge(double position, double camera, int32_t drawOffset, bool stopped) {
  const int64_t edge = stopped ? int64_t{TruncToI32(position)} - TruncToI32(camera) : TruncToI32(position - camera);
  return WrapToI32(edge - drawOffset);
}

// The camera centres the hero's box on an axis that does not scroll by
// itself, within the scroll limits (the far limit winning).
void FollowWithCamera(cScrollAxis& axis, double position, int boxSize) {
  if (axis.m_Moving != 0) return;
  double camera = position - (axis.m_ScreenSize / 2 - boxSize / 2);
  if (camera < axis.m_Min) camera = axis.m_Min;
  if (camera > axis.m_Max - axis.m_ScreenSize) camera = axis.m_Max - axis.m_ScreenSize;
  axis.m_Position = camera;
}

cAreaMark Mark(int type, int mode, int colourIndex, int w, int h) {
  cAreaMark mark;
  mark.m_nType = type;
  mark.m_nMode = mode;
  mark.m_nColour = WrapToI32(208 + int64_t{4} * colourIndex);
  mark.m_Width = w;
  mark.m_Height = h;
  return mark;
}

}  // namespace

// ---- set-up ----------------------------------------------------------------------

void cHero::InitForStage(int key, const cCharaData& definition, double spawnX, double spawnY,
                         cCharaBase* /*parent*/) {
  ResetState(&definition, spawnX, spawnY, 0);
  if (m_Data.m_nScale == 0) m_Data.m_nScale = 1;
  int offX = 0, offY = 0, w = 0, h = 0;
  GetBodyBox(offX, offY, w, h);
  cGameObj::Init(key, m_Data.m_nOperator, m_Data.m_nPlayerNumber, m_Data.m_nPassNumber, m_Data.m_nGraphic, nullptr,
                 0, offX, offY, w, h, kCellDots, kCellDots, 1, 0, 0);
  // Only device 0 exists; a player number beyond the devices reads it too.
  const int device = m_Data.m_nPlayerNumber < static_cast<int>(g_KeyInput.size()) ? m_Data.m_nPlayerNumber : 0;
  m_pKeys = g_KeyInput.empty() ? nullptr : &g_KeyInput[device];
  ApplySizeKind(m_Data.m_nFlying, 0);
  SetScale(m_Data.m_nScale, 1);
  m_Facing = m_nPrevFacing = m_Data.m_nFacing;
  m_bCeilingHit = 0;
  m_bJumpBanned = 0;
  m_nJumpHold = 0;
  m_bJumpReady = 1;
  m_bJumpHandled = 0;
  m_FootPushBase = 4.0 / g_Stage.SubStepsAtLeastOne();
  m_nFootKind = 0;
  m_FootValue = 0.0;
  m_nFootTimer = 0;
  m_nItemBlockTimer = 0;
  // Object keys start again at every stage: keys taken on an earlier stage
  // would name other objects here.
  m_Taken.clear();
  BuildAreaMarks();
  InstallFlows(m_Data.m_Flows, 0, -1);
}

void cHero::GetBodyBox(int& offX, int& offY, int& width, int& height) const {
  const bool flying = m_Data.m_nFlying != 0;
  const cBoxSize& size = flying ? g_Stage.m_HeroBlockBoxFly : g_Stage.m_HeroBlockBox;
  const int bottom = flying ? g_Stage.m_HeroBlockBoxFlyBottom : g_Stage.m_HeroBlockBoxBottom;
  width = size.m_nWidth;
  height = size.m_nHeight;
  offX = (kCellDots - width) / 2;
  offY = bottom != 0 ? kCellDots - height : (kCellDots - height) / 2;
}

void cHero::ApplySizeKind(int mode, int rescale) {
  const int wasFlying = m_Flying;
  m_Data.m_nFlying = static_cast<uint8_t>(mode);
  SetFlyMode(mode);
  if (wasFlying != m_Flying) m_nCrushGrace = 2;
  if (wasFlying != 0 && m_Flying == 0) m_VX = m_VY = m_CmdVX = m_CmdVY = 0.0;

  int offX = 0, offY = 0, w = 0, h = 0;
  GetBodyBox(offX, offY, w, h);
  m_BaseBoxW = m_BoxW = w;
  m_BaseBoxH = m_BoxH = h;
  m_BaseDrawOffX = m_DrawOffX = offX;
  m_BaseDrawOffY = m_DrawOffY = offY;
  m_BaseGfxW = m_GfxW = kCellDots;
  m_BaseGfxH = m_GfxH = kCellDots;

  const bool flying = m_Flying != 0;
  switch (m_Data.m_nHitRange) {
    case 0: {
      const cBoxSize& box = flying ? g_Stage.m_HeroCharaBoxFly : g_Stage.m_HeroCharaBox;
      SetAttackRect(flying ? g_Stage.m_HeroCharaBoxFlyBottom : g_Stage.m_HeroCharaBoxBottom, box.m_nWidth,
                    box.m_nHeight);
      break;
    }
    case 1:
      SetAttackRect(0, g_Stage.m_HeroShotBox.m_nWidth, g_Stage.m_HeroShotBox.m_nHeight);
      break;
    case 2:
      SetAttackRect(0, g_Stage.m_PlayerShotBox.m_nWidth, g_Stage.m_PlayerShotBox.m_nHeight);
      break;
    case 3:
      SetAttackRect(0, kCellDots, kCellDots);
      break;
    default:
      break;
  }
  SetCentredRect(m_ShotRect, g_Stage.m_HeroShotBox, offX, offY);
  SetCentredRect(m_PickupRect, g_Stage.m_HeroItemBox, offX, offY);

  if (rescale != 0) {
    const int scale = Scale();
    m_BoxW = WrapToI32(int64_t{scale} * m_BaseBoxW);
    m_BoxH = WrapToI32(int64_t{scale} * m_BaseBoxH);
    m_DrawOffX = WrapToI32(int64_t{scale} * m_BaseDrawOffX);
    m_DrawOffY = WrapToI32(int64_t{scale} * m_BaseDrawOffY);
    m_GfxW = WrapToI32(int64_t{scale} * m_BaseGfxW);
    m_GfxH = WrapToI32(int64_t{scale} * m_BaseGfxH);
    UpdateHitBoxes(scale);
  }
  BuildAreaMarks();
}

void cHero::BuildAreaMarks() {
  m_AreaMarks.clear();
  m_AreaMarks.push_back(Mark(AREA_MARK_BODY, g_Stage.m_BoxShowBlock, g_Stage.m_BoxColourBlock, m_BoxW, m_BoxH));
  m_AreaMarks.push_back(Mark(AREA_MARK_PICKUP, g_Stage.m_BoxShowItem, g_Stage.m_BoxColourItem, m_PickupRect.m_Width,
                             m_PickupRect.m_Height));
  m_AreaMarks.push_back(Mark(AREA_MARK_ATTACK, g_Stage.m_BoxShowChara, g_Stage.m_BoxColourChara,
                             m_AttackRect.m_Width, m_AttackRect.m_Height));
  m_AreaMarks.push_back(Mark(AREA_MARK_SHOT, g_Stage.m_BoxShowShot, g_Stage.m_BoxColourShot, m_ShotRect.m_Width,
                             m_ShotRect.m_Height));
  // Smaller marks are drawn over larger ones; equal areas keep their order.
  std::stable_sort(m_AreaMarks.begin(), m_AreaMarks.end(), [](const cAreaMark& a, const cAreaMark& b) {
    return int64_t{a.m_Width} * a.m_Height > int64_t{b.m_Width} * b.m_Height;
  });
}

// ---- per sub-step ---------------------------------------------------------------------

void cHero::UpdateScreenRect() {
  const cScrollAxis& x = g_GameScene->m_ScrollX;
  const cScrollAxis& y = g_GameScene->m_ScrollY;
  m_ScrLeft = ScreenEdge(m_X, x.m_Position, m_DrawOffX, Stopped(x));
  m_ScrRight = WrapToI32(int64_t{m_ScrLeft} + m_GfxW - 1);
  m_ScrTop = ScreenEdge(m_Y, y.m_Position, m_DrawOffY, Stopped(y));
  m_ScrBottom = WrapToI32(int64_t{m_ScrTop} + m_GfxH - 1);
}

// ---- pickups ------------------------------------------------------------------------------

int cHero::HasTaken(int32_t key) const {
  return std::find(m_Taken.begin(), m_Taken.end(), key) != m_Taken.end() ? 0 : 1;
}

void cHero::ForgetTaken(int32_t key) { std::erase(m_Taken, key); }

namespace {

// The pickup under way: the item lists running inside one another now, the
// lists it has run so far, and whether it has reported a refused get-item.
struct cPickupWork {
  int m_nDepth = 0;
  int m_nListsRun = 0;
  bool m_bReported = false;
};
cPickupWork g_Pickup;

// One item list running; the outermost begins a new pickup.
class cItemListRun {
 public:
  cItemListRun() {
    if (g_Pickup.m_nDepth == 0) g_Pickup = cPickupWork();
    ++g_Pickup.m_nDepth;
    ++g_Pickup.m_nListsRun;
  }
  ~cItemListRun() { --g_Pickup.m_nDepth; }
  cItemListRun(const cItemListRun&) = delete;
  cItemListRun& operator=(const cItemListRun&) = delete;
};

}  // namespace

bool cHero::MayRunNestedItemList(bool& firstRefusal) {
  firstRefusal = false;
  if (g_Pickup.m_nDepth == 0) return true;
  if (g_Pickup.m_nDepth < kMaxItemNesting && g_Pickup.m_nListsRun < kMaxItemListsPerPickup) return true;
  firstRefusal = !g_Pickup.m_bReported;
  g_Pickup.m_bReported = true;
  return false;
}

int cHero::RunItemCommands(cSafeVector<cCommand>& commands) {
  const cItemListRun run;
  // Each pickup's first key-wait message sounds again.
  if (g_GameScene != nullptr) g_GameScene->m_bItemMessage = 0;
  cFlowServices& flows = FlowServices();
  for (std::size_t i = 0; i < commands.size(); ++i) {
    cCommand& command = commands[static_cast<int>(i)];
    if (command.m_nType != FLOW_CMD_ARRANGE - kItemToFlowCmdOffset) {
      flows.ApplyHeroArranges(command, *this);
      m_Arranges.clear();
    }
    const int result = flows.RunItemCommand(*this, command);
    if (m_Hp <= 0) return STEP_RESULT_STOP;
    if (result != 0) return result;
  }
  return m_Hp <= 0 ? STEP_RESULT_STOP : STEP_RESULT_NONE;
}

// ---- hit boxes ------------------------------------------------------------------------------

void cHero::UpdateHitBoxes(int scale) {
  m_AttackRect.Scale(scale);
  m_ShotRect.Scale(scale);
  m_PickupRect.Scale(scale);
}

void cHero::UpdateHitRectX() {
  m_AttackRect.FollowX(m_X);
  m_ShotRect.FollowX(m_X);
  m_PickupRect.FollowX(m_X);
}

void cHero::UpdateHitRectY() {
  m_AttackRect.FollowY(m_Y);
  m_ShotRect.FollowY(m_Y);
  m_PickupRect.FollowY(m_Y);
}

// ---- motion -----------------------------------------------------------------------------------

int cHero::ConstrainX() {
  FollowWithCamera(g_GameScene->m_ScrollX, m_X, m_BoxW);
  return ClampX(m_Flying != 0 ? CLAMP_SCROLL : CLAMP_AREA);
}

int cHero::ConstrainY() {
  FollowWithCamera(g_GameScene->m_ScrollY, m_Y, m_BoxH);
  return ClampY(m_Flying != 0 ? CLAMP_SCROLL : CLAMP_AREA);
}

int cHero::MoveX() {
  if (m_ImpulseX != 0) {
    m_VX = m_ImpulseX;
  } else {
    if (m_CmdVX != 0) {
      Decelerate(&m_CmdVX, m_DecelX);
      if (m_nFootTimer != 0 && m_nFootKind == kFootBlockSpeedFactor && m_CmdVX != 0) {
        // A speed-factor block pushes along the walk; it never turns it.
        const double push = ScaleByFrameRate(m_FootPushBase) * (m_FootValue - 1);
        const double before = m_CmdVX;
        m_CmdVX += before > 0 ? push : -push;
        if ((before > 0) != (m_CmdVX > 0) || m_CmdVX == 0) m_CmdVX = 0.0;
      }
    }
    m_VX += m_CmdVX;
  }
  const double cap = g_Stage.m_SpeedLimitStep;
  m_VX = std::clamp(m_VX, -cap, cap);
  m_X += m_VX;
  ConstrainX();
  return 0;
}

int cHero::MoveY() {
  ApplyImpulseY();
  if (m_ImpulseY == 0 && m_Flying != 0 && m_CmdVY != 0) {
    Decelerate(&m_CmdVY, m_DecelY);
    m_VY += m_CmdVY;
  }
  const int code = StepY(m_Flying != 0 ? CLAMP_SCROLL : CLAMP_GRID);
  ConstrainY();
  if (m_Flying == 0 && (code == CLAMP_BELOW_AREA || code == CLAMP_AT_GRID_BOTTOM)) return CHARA_MOVE_FELL_OUT;
  return code;
}

// ---- the update and the jump -------------------------------------------------------------------

int cHero::Update(int deathMode) {
  g_GameScene->m_pCurChara = this;
  g_GameScene->m_bHpCheck = 0;

  if (g_System.m_bScrollSwitch != 0) {
    if (m_Flying != 0) {
      m_VX = g_GameScene->m_ScrollX.SpeedNow();
      m_VY = g_GameScene->m_ScrollY.SpeedNow();
    } else {
      m_VX = 0.0;
    }
  } else if (m_MovesWithScroll != 0) {
    m_VX = g_GameScene->m_ScrollX.SpeedNow();
    if (m_Flying != 0) m_VY = g_GameScene->m_ScrollY.SpeedNow();
  } else {
    m_VX = 0.0;
    if (m_Flying != 0) m_VY = 0.0;
  }
  m_bNoGravity = 0;
  m_DecelX = m_DecelY = 1;
  m_bMovedByCmd = 0;
  m_bJumpHandled = 0;
  if (m_nCrushGrace > 0) --m_nCrushGrace;

  // The flow pass also runs the change-flow commands queued meanwhile.
  if (RunFlowPass(deathMode) != 0) return 1;

  m_nFrameCounter = WrapToI32(int64_t{m_nFrameCounter} + 1);
  if (m_bMovedByCmd == 0 && m_CmdVX == 0 && m_CmdVY == 0) m_Anime.ChangeAnime(m_Flying != 0 ? 2 : 0, 1);
  if (m_bJumpHandled == 0) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }
  return m_Hp <= 0 ? 1 : 0;
}

void cHero::Jump(cCmdState& state) {
  if (m_Flying != 0 || m_bJumpHandled != 0) return;
  const cCommand* command = state.m_pCommand;
  const auto param = [command](int n) {
    return command != nullptr && n < static_cast<int>(command->m_Params.size()) ? command->m_Params[n] : 0;
  };
  const int mode = param(0);

  // The key: the last key condition of the running flow.
  const cFlowState* flow = g_GameScene->m_pCurFlowState;
  const bool hasKeyConds = flow != nullptr && !flow->m_KeyConds.empty() && flow->m_KeyConds.back() != nullptr;
  bool held = mode == 0;
  if (!held && hasKeyConds && m_pKeys != nullptr) held = KeyCondHolds(*m_pKeys, *flow->m_KeyConds.back());

  if (mode == 2) {
    const double subSteps = g_Stage.SubStepsAtLeastOne();
    const double fast = param(1) / (10 * subSteps);
    const double slow = param(3) / (10 * subSteps);
    const double u = std::fabs(m_CmdVX);
    int64_t height = param(2);
    if (u >= fast) {
      height = param(2);
    } else if (u <= slow) {
      height = param(4);
    } else {
      height = TruncToI32(param(4) + (int64_t{param(2)} - param(4)) * u / fast);
    }
    state.m_Speed = JumpSpeedForDots(static_cast<double>(height * 16), m_Operator == OBJ_BY_PLAYER ? 1 : 0);
  }

  if (held && m_bJumpBanned == 0) {
    m_nJumpHold = WrapToI32(int64_t{m_nJumpHold} + 1);
    const bool free = m_bJumpRising == 0 || m_bRiding != 0;
    if (m_nJumpHold >= state.m_Duration) {
      // The hold phase is over: from now on the hero only falls.
      if (free && m_bJumpReady != 0 && m_bCeilingHit == 0 && (m_VY < 0 || m_bRiding != 0)) {
        m_bJumpRising = 1;
        m_bJumpReady = 0;
      }
    } else if (m_bAirborne == 0 && m_nJumpHold <= g_Stage.SubStepsAtLeastOne() && free && m_bJumpReady != 0 && m_bCeilingHit == 0 &&
               m_bKnockback == 0 && state.m_TakenOff == 0) {
      m_bJumped = 1;
      if (m_bRiding == 0) {
        m_VY = state.m_Speed;
        state.m_TakenOff = 1;
        if (command != nullptr) PlayDataSound(command->m_nSound);
      } else if (g_GameScene->m_nSubStep == g_Stage.SubStepsAtLeastOne()) {
        // From a block character the hero leaves on the frame's last sub-step,
        // once the block has moved for the frame.
        m_VY = state.m_Speed * kRideTakeOffFactor;
        m_bRiding = 0;
        state.m_TakenOff = 1;
        if (command != nullptr) PlayDataSound(command->m_nSound);
      }
    }
  } else {
    if (m_nJumpHold > 0 && m_nJumpHold < state.m_Duration && m_bJumpRising == 0 && m_bCeilingHit == 0 &&
        m_bJumpBanned == 0 && m_bKnockback == 0) {
      // Let go early: the jump is cut short.
      m_bRiding = 0;
      if (m_VY < 0) m_VY *= kJumpCutFactor;
      m_bJumpRising = 1;
    }
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bCeilingHit = 0;
  }

  if (IsOnGround() != 0) {
    const bool reset = hasKeyConds ? !held : m_VY >= 0;
    if (reset) {
      m_nJumpHold = 0;
      m_bJumpReady = 1;
      m_bCeilingHit = 0;
      m_bKnockback = 0;
      state.m_TakenOff = 0;
      if (hasKeyConds) state.m_Remaining = 0;
    }
  }
  m_bJumpHandled = 1;
}

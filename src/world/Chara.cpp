#include "world/Chara.h"

#include "core/Numeric.h"
#include "core/SoundRequest.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/FlowState.h"
#include "world/GameScene.h"

namespace {

// A box of size (w, h) placed in the 32-dot cell: centred horizontally, and
// vertically centred or standing on the cell's bottom.
struct cCellBox {
  int m_OffX = 0;
  int m_OffY = 0;
  int m_W = kCellDots;
  int m_H = kCellDots;
};

cCellBox BoxInCell(const cBoxSize& size, int bottomAligned) {
  cCellBox box;
  box.m_W = size.m_nWidth;
  box.m_H = size.m_nHeight;
  box.m_OffX = (kCellDots - box.m_W) / 2;
  box.m_OffY = bottomAligned != 0 ? kCellDots - box.m_H : (kCellDots - box.m_H) / 2;
  return box;
}

// Activation switch `index` of the list; a switch number outside the list
// (only damaged data holds one) is never raised.
bool SwitchRaised(const cSafeVector<uint8_t>& switches, int index) {
  return index >= 0 && index < static_cast<int>(switches.size()) && switches[index] != 0;
}

}  // namespace

// ---- set-up ----------------------------------------------------------------------

void cChara::Init(int key, const cCharaData& definition, const cItem* carriedItem, double spawnX, double spawnY,
                  int copyIndex, cCharaBase* /*parent*/) {
  ResetState(&definition, spawnX, spawnY, copyIndex);
  if (m_Data.m_nScale == 0) m_Data.m_nScale = 1;
  const cCharaData& data = m_Data;
  const bool flying = data.m_nFlying != 0;

  cCellBox body;
  if (data.m_bBlockChara == 0) {
    body = flying ? BoxInCell(g_Stage.m_CharaBlockBoxFly, g_Stage.m_CharaBlockBoxFlyBottom)
                  : BoxInCell(g_Stage.m_CharaBlockBox, g_Stage.m_CharaBlockBoxBottom);
  }
  cGameObj::Init(key, data.m_nOperator, data.m_nPlayerNumber, data.m_nPassNumber, data.m_nGraphic, nullptr, 0,
                 body.m_OffX, body.m_OffY, body.m_W, body.m_H, kCellDots, kCellDots, data.m_nFacing, data.m_nFlying,
                 copyIndex);

  if (data.m_bBlockChara != 0) {
    m_AttackRect.Set(0, 0, kCellDots, kCellDots);
    m_ShotRect.Set(0, 0, kCellDots, kCellDots);
  } else {
    switch (data.m_nHitRange) {
      case 0:
        if (flying) {
          SetAttackRect(g_Stage.m_CharaCharaBoxFlyBottom, g_Stage.m_CharaCharaBoxFly.m_nWidth,
                        g_Stage.m_CharaCharaBoxFly.m_nHeight);
        } else {
          SetAttackRect(g_Stage.m_CharaCharaBoxBottom, g_Stage.m_CharaCharaBox.m_nWidth,
                        g_Stage.m_CharaCharaBox.m_nHeight);
        }
        break;
      case 1:
        SetAttackRect(0, g_Stage.m_CharaShotBox.m_nWidth, g_Stage.m_CharaShotBox.m_nHeight);
        break;
      case 2:
        SetAttackRect(0, g_Stage.m_ComputerShotBox.m_nWidth, g_Stage.m_ComputerShotBox.m_nHeight);
        break;
      case 3:
        SetAttackRect(0, body.m_W, body.m_H);
        break;
      default:
        break;
    }
    const cBoxSize& shot = g_Stage.m_CharaShotBox;
    m_ShotRect.Set(16 - shot.m_nWidth / 2 - body.m_OffX, 16 - shot.m_nHeight / 2 - body.m_OffY, shot.m_nWidth,
            shot.m_nHeight);
  }
  SetScale(data.m_nScale, 1);

  if (carriedItem != nullptr) {
    m_Item = *carriedItem;
  } else {
    m_Item.m_Graphic = 0;
  }
  m_bFreeX = data.m_nActiveRange == 2 || data.m_nActiveRange == 3 ? 1 : 0;
  m_bFreeY = data.m_nActiveRange == 1 || data.m_nActiveRange == 3 ? 1 : 0;
  m_bStarted = 0;
  m_Anime.SetAnime(flying ? 0 : 1, 1);
  InstallFlows(m_Data.m_Flows, 0, -1);
}

void cChara::PlaceOnGrid(int column, int row) {
  m_X = (int64_t{column} + g_GameScene->m_ScrollX.m_Margin) * kCellDots + m_BaseDrawOffX + 0.5;
  m_Y = static_cast<double>((int64_t{row} + g_GameScene->m_ScrollY.m_Margin) * kCellDots + m_BaseDrawOffY);
  Reanchor(Scale(), 1);
  ConstrainX();
  ConstrainY();
}

// ---- activity --------------------------------------------------------------------

int cChara::CheckActive(cSafeVector<uint8_t>& switches) {
  const double camX = g_GameScene->m_ScrollX.m_Position;
  const double camY = g_GameScene->m_ScrollY.m_Position;
  const bool outsideX = m_bFreeX == 0 && (m_Right < camX || m_X >= camX + kScreenWidth);
  const bool outsideY = m_bFreeY == 0 && (m_Bottom < camY || m_Y >= camY + kScreenHeight);
  if (outsideX || outsideY) {
    m_bInRange = 0;
    return 0;
  }
  m_bInRange = 1;
  const int index = m_Data.m_nActiveSwitch;
  if (m_Data.m_bSwitchOnActive != 0 && index >= 0 && index < static_cast<int>(switches.size())) {
    switches[index] = 1;
  }
  return 1;
}

int cChara::CheckStart(const cSafeVector<uint8_t>& switches) {
  const bool woken = m_Data.m_bSwitchOnActive != 0 && SwitchRaised(switches, m_Data.m_nActiveSwitch);
  if (m_bInRange == 0 && !woken) {
    // Out of range, a walker still finishes the jump it is in.
    if (m_Flying != 0) return 0;
    const bool midJump = m_bJumped != 0 || (m_bStarted != 0 && m_bAirborne != 0);
    if (!midJump) return 0;
  }
  m_bStarted = 1;
  if (m_Data.m_bStayActive == 1) m_bFreeX = m_bFreeY = 1;
  UpdateRect();
  return 1;
}

int cChara::OverlapsBox(double left, double top, double right, double bottom) const {
  return m_X <= right && m_Right >= left && m_Y <= bottom && m_Bottom >= top ? 1 : 0;
}

// ---- hit boxes --------------------------------------------------------------------

void cChara::UpdateHitBoxes(int scale) {
  if (IsBlockChara()) {
    m_AttackRect.Set(0, 0, m_BoxW, m_BoxH);
    m_ShotRect.Set(0, 0, m_BoxW, m_BoxH);
    return;
  }
  m_AttackRect.Scale(scale);
  m_ShotRect.Scale(scale);
}

void cChara::UpdateHitRectX() {
  m_AttackRect.FollowX(m_X);
  m_ShotRect.FollowX(m_X);
}

void cChara::UpdateHitRectY() {
  m_AttackRect.FollowY(m_Y);
  m_ShotRect.FollowY(m_Y);
}

cItem* cChara::GetDropItem() { return m_Item.m_bCarried != 0 ? &m_Item : nullptr; }

// ---- motion ---------------------------------------------------------------------------

int cChara::ConstrainX() { return ClampX(CLAMP_GRID); }

int cChara::ConstrainY() { return ClampY(CLAMP_GRID); }

int cChara::MoveX() {
  if (m_ImpulseX != 0) {
    m_VX = m_ImpulseX;
  } else if (m_CmdVX != 0) {
    Decelerate(&m_CmdVX, m_DecelX);
    m_VX += m_CmdVX;
  }
  const int code = StepX(CLAMP_GRID);
  ConstrainX();
  return code == CLAMP_AT_GRID_EDGE ? CHARA_MOVE_REMOVE_X : code;
}

int cChara::MoveY() {
  ApplyImpulseY();
  if (m_ImpulseY == 0 && m_Flying != 0 && m_CmdVY != 0) {
    Decelerate(&m_CmdVY, m_DecelY);
    m_VY += m_CmdVY;
  }
  const int code = StepY(CLAMP_GRID);
  ConstrainY();
  const bool atGridEdge = code == CLAMP_AT_GRID_EDGE || code == CLAMP_AT_GRID_BOTTOM;
  if (m_Flying != 0 && atGridEdge) return CHARA_MOVE_REMOVE_Y;
  if (m_Flying == 0 && (code == CLAMP_BELOW_AREA || code == CLAMP_AT_GRID_BOTTOM)) return CHARA_MOVE_FELL_OUT;
  return code;
}

// ---- the update and the jump ---------------------------------------------------------

int cChara::Update(int deathMode) {
  g_GameScene->m_pCurChara = this;
  g_GameScene->m_bHpCheck = 0;

  if (g_System.m_bScrollSwitch != 0 || m_MovesWithScroll == 0) {
    m_VX = 0.0;
    if (m_Flying != 0) m_VY = 0.0;
  } else {
    m_VX = g_GameScene->m_ScrollX.SpeedNow();
    if (m_Flying != 0) m_VY = g_GameScene->m_ScrollY.SpeedNow();
  }
  m_bNoGravity = 0;
  m_DecelX = m_DecelY = 1;
  m_bMovedByCmd = 0;
  if (m_nCrushGrace > 0) --m_nCrushGrace;

  if (RunFlowPass(deathMode) != 0) return 1;

  if (m_bMovedByCmd == 0 && m_CmdVX == 0 && m_CmdVY == 0) m_Anime.ChangeAnime(m_Flying != 0 ? 2 : 0, 1);
  return m_Hp <= 0 ? 1 : 0;
}

void cChara::Jump(cCmdState& state) {
  const bool unsettled = m_bAirborne != 0 || m_bCeilingHit != 0 || m_bKnockback != 0 || m_nOffGround >= 1;
  if (g_System.m_bJumpSwitch == 0) {
    if (state.m_TakenOff != 0) {
      if (IsOnGround() != 0) {
        m_bCeilingHit = 0;
        m_bKnockback = 0;
        state.m_Remaining = 0;
      }
      return;
    }
    if (unsettled) {
      // A character that cannot take off gives the jump up after 4 frames.
      if (int64_t{state.m_StepCounter} >= int64_t{4} * g_Stage.m_SubSteps) {
        state.m_TakenOff = 1;
        m_bCeilingHit = 0;
        m_bKnockback = 0;
        state.m_Remaining = 0;
      }
      return;
    }
  } else if (unsettled) {
    // Games made before the jump's give-up rule: no jump while unsettled,
    // and a command that outlasts its jump takes off again after landing.
    return;
  }
  state.m_TakenOff = 1;
  if (state.m_pCommand != nullptr) PlayDataSound(state.m_pCommand->m_nSound);
  m_VY = state.m_Speed;
  m_bJumped = 1;
  m_bJumpRising = 1;
  m_bRiding = 0;
}

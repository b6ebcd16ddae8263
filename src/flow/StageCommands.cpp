// The stage clear, warp and target commands (types 17, 20 and 21; item
// types 2, 5 and 6; the flow operation is in SummonCommands.cpp, game wait
// and message in MessageCommands.cpp).

#include <algorithm>
#include <cmath>
#include <string>

#include "core/ErrorBox.h"
#include "core/PathUtil.h"
#include "data/Command.h"
#include "data/EdMove.h"
#include "data/Progress.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "flow/FlowCommands.h"
#include "flow/MovePhysics.h"
#include "world/BlockCollision.h"
#include "world/Chara.h"
#include "world/Contact.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

// Next-stage choices of parameter 0.
enum eNextStage : int {
  NEXT_STAGE_FOLLOWING = 0,    // "次のステージへ"
  NEXT_STAGE_NUMBER = 1,       // "番号で指定"
  NEXT_STAGE_PATH = 2,         // "パスで指定"
  NEXT_STAGE_WORLD_CLEAR = 3,  // "ワールドクリア"
};

void ChooseNextStage(cStageClearState& clear, cCommand& command) {
  switch (command.Param(0)) {
    case NEXT_STAGE_FOLLOWING:
      clear.m_nNextStageNo = g_Progress.m_nSeriesNo + 1;
      clear.m_strNextStageName.clear();
      break;
    case NEXT_STAGE_NUMBER:
      clear.m_nNextStageNo = command.Param(1);
      clear.m_strNextStageName.clear();
      break;
    case NEXT_STAGE_PATH:
      clear.m_nNextStageNo = g_Progress.m_nSeriesNo;
      if (command.m_strText.empty()) {
        ErrorBoxf("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
        clear.m_strNextStageName.clear();
        break;
      }
      // The command keeps its text in the reduced form: the name and a point.
      if (command.m_strText.back() != '.') {
        RemoveExtensionString(command.m_strText);
        command.m_strText += '.';
      }
      clear.m_strNextStageName = command.m_strText;
      break;
    case NEXT_STAGE_WORLD_CLEAR:
      clear.m_nNextStageNo = 0;
      clear.m_strNextStageName.clear();
      break;
    default:
      break;
  }
}

}  // namespace

int CmdStageClear(cCharaBase&, cCommand& command) {
  if (g_GameScene != nullptr) ChooseNextStage(g_GameScene->m_StageClear, command);
  if (command.Param(2) != 0) {
    // Within the map on both sides: a negative position would index the
    // map's grid outside it later.
    g_Progress.m_nMapX = std::clamp(command.Param(3), 0, std::max(g_WorldMap.m_nWidth - 1, 0));
    g_Progress.m_nMapY = std::clamp(command.Param(4), 0, std::max(g_WorldMap.m_nHeight - 1, 0));
    g_Progress.m_bBackToMap = 0;
  }
  if (command.Param(5) != 0) {
    g_Progress.m_bHeroStartSet = 1;
    g_Progress.m_nHeroStartX = command.Param(6);
    g_Progress.m_nHeroStartY = command.Param(7);
    int facing = command.Param(8);
    if (facing == 2) {
      const cHero* hero = StageHero();
      facing = hero != nullptr ? hero->m_Facing : 0;
    }
    g_Progress.m_nHeroStartFacing = facing;
  } else {
    g_Progress.m_bHeroStartSet = 0;
  }
  return 1;
}

namespace {

// ---- warp ----

// Where a character stood before a warp, to put it back when the warp fails.
struct cSavedPlace {
  double x, y, right, bottom;
  int32_t cellL, cellT, cellR, cellB;
  int32_t scrLeft, scrTop, scrRight, scrBottom;
};

cSavedPlace SavePlace(const cCharaBase& chara) {
  return {chara.m_X,     chara.m_Y,     chara.m_Right,   chara.m_Bottom,   chara.m_CellL,     chara.m_CellT,
          chara.m_CellR, chara.m_CellB, chara.m_ScrLeft, chara.m_ScrTop,   chara.m_ScrRight,  chara.m_ScrBottom};
}

void RestorePlace(cCharaBase& chara, const cSavedPlace& place) {
  chara.m_X = place.x;
  chara.m_Y = place.y;
  chara.m_Right = place.right;
  chara.m_Bottom = place.bottom;
  chara.m_CellL = place.cellL;
  chara.m_CellT = place.cellT;
  chara.m_CellR = place.cellR;
  chara.m_CellB = place.cellB;
  chara.m_ScrLeft = place.scrLeft;
  chara.m_ScrTop = place.scrTop;
  chara.m_ScrRight = place.scrRight;
  chara.m_ScrBottom = place.scrBottom;
  chara.ConstrainY();
  chara.ConstrainX();
  chara.UpdateRect();
}

void ShiftX(cCharaBase& chara, double dx) {
  chara.m_X += dx;
  chara.ConstrainX();
}

void ShiftY(cCharaBase& chara, double dy) {
  chara.m_Y += dy;
  chara.ConstrainY();
}

// Moves `chara` by `distance` dots in the direction the move's choice gives
// for `facingOf` (the character itself or the target it warps from).
void DisplaceByDirection(cCharaBase& chara, cCharaBase& facingOf, const cEdMove& move, double distance) {
  const int keepDiagonals = g_System.m_bWarpSwitch != 0 ? (facingOf.m_Flying != 0 ? 1 : 0) : 1;
  const int code = ResolveDirection(facingOf, move.m_nDirection, 1, 0, keepDiagonals);
  const double diagonal = distance / std::sqrt(2.0);
  switch (code) {
    case DIR_CODE_LEFT: ShiftX(chara, -distance); break;
    case DIR_CODE_RIGHT: ShiftX(chara, distance); break;
    case DIR_CODE_UP: ShiftY(chara, -distance); break;
    case DIR_CODE_DOWN: ShiftY(chara, distance); break;
    case DIR_CODE_UP_LEFT: ShiftX(chara, -diagonal); ShiftY(chara, -diagonal); break;
    case DIR_CODE_DOWN_LEFT: ShiftX(chara, -diagonal); ShiftY(chara, diagonal); break;
    case DIR_CODE_UP_RIGHT: ShiftX(chara, diagonal); ShiftY(chara, -diagonal); break;
    case DIR_CODE_DOWN_RIGHT: ShiftX(chara, diagonal); ShiftY(chara, diagonal); break;
    default: break;
  }
}

// The warp distance in dots: half blocks, grown per copy.
double WarpDistance(const cCharaBase& chara, const cEdMove& move) {
  return (static_cast<double>(move.m_nDistance) + static_cast<double>(move.m_nDistancePerCopy) * chara.m_CloneNo) * 16.0;
}

// The coordinate kinds of a warp to a target position.
enum eWarpCoord : int {
  WARP_COORD_RELATIVE = 0,  // "相対座標"
  WARP_COORD_ABSOLUTE = 1,  // "絶対座標"
  WARP_COORD_SCREEN = 2,    // "画面座標"
};

int MirrorSign(bool facingRight, uint8_t mirror) { return facingRight && mirror != 0 ? -1 : 1; }

void WarpToPosition(cCharaBase& chara, const cEdMove& move) {
  double dx = static_cast<double>(move.m_nTargetX) * kCellDots + move.m_nTargetOffsetX;
  double dy = static_cast<double>(move.m_nTargetY) * kCellDots + move.m_nTargetOffsetY;
  const bool facingRight = chara.m_Facing == 1;
  if (facingRight && move.m_bMirrorX != 0) dx = -dx;
  if (facingRight && move.m_bMirrorY != 0) dy = -dy;
  switch (move.m_nCoordSystem) {
    case WARP_COORD_RELATIVE:
      ShiftX(chara, dx);
      ShiftY(chara, dy);
      break;
    case WARP_COORD_ABSOLUTE:
      // A cell is a place on the map and is never mirrored; the dot offsets are.
      chara.SetCellX(move.m_nTargetX);
      chara.SetCellY(move.m_nTargetY);
      ShiftX(chara, dx - static_cast<double>(move.m_nTargetX) * kCellDots * MirrorSign(facingRight, move.m_bMirrorX));
      ShiftY(chara, dy - static_cast<double>(move.m_nTargetY) * kCellDots * MirrorSign(facingRight, move.m_bMirrorY));
      break;
    case WARP_COORD_SCREEN:
      chara.m_X = chara.m_DrawOffX + g_GameScene->m_ScrollX.m_Position + dx;
      chara.ConstrainX();
      chara.m_Y = chara.m_DrawOffY + g_GameScene->m_ScrollY.m_Position + dy;
      chara.ConstrainY();
      break;
    default:
      break;
  }
}

// ---- target setting ----

// The target kinds of parameter 1.
enum eTargetKind : int {
  TARGET_HERO = 0,          // "主人公"
  TARGET_SELF = 1,          // "自分"
  TARGET_NEAREST = 2,       // "最も近いキャラ"
  TARGET_BY_ID = 3,         // "キャラ（キャラIDで指定）"
  TARGET_PARENT = 4,        // "親キャラ（自分を召喚したキャラ）"
  TARGET_LAST_CHILD = 5,    // "子キャラ（最後に召喚したキャラ）"
  TARGET_NEWEST_CHILD = 6,  // "子キャラ（条件付き。後で召喚したキャラ優先)"
  TARGET_SLOT_1 = 7,        // "ターゲット1" to "ターゲット4": 7 to 10
  TARGET_SLOT_4 = 10,
};

// The parameters of the target command. Faction, character ID and compared
// value sit where the arrange command reaches them (flow/Arrange.cpp).
enum eTargetParam : int {
  TP_SLOT = 0,
  TP_KIND = 1,
  TP_FACTION = 2,           // "対象勢力"
  TP_RANGE = 3,             // 0 everything, on-screen first; 1 everything; 2 on screen
  TP_USE_FACTION = 4,       // 1: only characters of the faction
  TP_NOT_INVINCIBLE_1 = 5,  // 1: skip characters that take shots without damage
  TP_NOT_INVINCIBLE_2 = 6,  // 1: skip characters shots pass through
  TP_NOT_BLOCK_CHARA = 7,   // 1: skip block characters
  TP_NOT_SELF = 8,          // 1: skip the character itself
  TP_CHARA_ID = 10,         // "対象キャラID"
  TP_USE_VARIABLE = 11,     // 1: compare a character variable
  TP_VARIABLE = 12,         // its number, 1 to 8
  TP_VALUE = 13,            // "キャラ変数と比較する数値"
  TP_COMPARE = 14,          // CompareByKind
  TP_NO_TARGET = 15,        // 0 "ターゲット無し", 1 "ターゲットを変更しない"
};

enum eTargetRange : int {
  RANGE_ON_SCREEN_FIRST = 0,
  RANGE_ANYWHERE = 1,
  RANGE_ON_SCREEN = 2,
};

cTargetFilter TargetFilterOf(const cCharaBase& chara, const cCommand& command) {
  cTargetFilter filter;
  if (command.Param(TP_USE_FACTION) != 0) filter.m_nFaction = command.Param(TP_FACTION);
  filter.m_bExcludeKey = command.Param(TP_NOT_SELF) != 0;
  filter.m_nExcludeKey = chara.m_Key;
  filter.m_bNotInvincible1 = command.Param(TP_NOT_INVINCIBLE_1) != 0;
  filter.m_bNotInvincible2 = command.Param(TP_NOT_INVINCIBLE_2) != 0;
  filter.m_bNotBlockChara = command.Param(TP_NOT_BLOCK_CHARA) != 0;
  if (command.Param(TP_USE_VARIABLE) != 0) {
    filter.m_nVarIndex = command.Param(TP_VARIABLE);
    filter.m_nVarValue = command.Param(TP_VALUE);
    filter.m_nVarCompare = command.Param(TP_COMPARE);
  }
  return filter;
}

// Whether a candidate may be taken in this pass of the search range.
bool InRange(const cCharaBase& chara, int range, bool onScreenPass) {
  if (range == RANGE_ANYWHERE) return true;
  if (range == RANGE_ON_SCREEN) return chara.m_OnScreen != 0;
  return (chara.m_OnScreen != 0) == onScreenPass;
}

// The first active character (the hero, then the stage's characters) with
// character ID `id` that passes the filter within the range.
cCharaBase* FindFirstTarget(int id, int range, const cTargetFilter& filter) {
  for (const bool onScreenPass : {true, false}) {
    const auto fits = [&](cCharaBase& chara) {
      return chara.m_Active != 0 && chara.m_Data.m_nCid == id && InRange(chara, range, onScreenPass) &&
             TargetQualifies(chara, filter);
    };
    if (cHero* hero = StageHero(); hero != nullptr && fits(*hero)) return hero;
    for (cChara& chara : g_CharaList) {
      if (fits(chara)) return &chara;
    }
    if (range != RANGE_ON_SCREEN_FIRST) break;
  }
  return nullptr;
}

// The child summoned last (links are appended as children are summoned).
cCharaBase* LastChild(const cCharaBase& chara) {
  for (auto it = chara.m_CharaLinks.rbegin(); it != chara.m_CharaLinks.rend(); ++it) {
    if (it->m_nKind == kLinkChild && it->m_pChara != nullptr) return it->m_pChara;
  }
  return nullptr;
}

// The newest active child passing the filter within the range.
cCharaBase* FindRecentTarget(const cCharaBase& chara, int range, const cTargetFilter& filter) {
  for (const bool onScreenPass : {true, false}) {
    for (auto it = chara.m_CharaLinks.rbegin(); it != chara.m_CharaLinks.rend(); ++it) {
      cCharaBase* child = it->m_pChara;
      if (it->m_nKind != kLinkChild || child == nullptr || child->m_Active == 0) continue;
      if (InRange(*child, range, onScreenPass) && TargetQualifies(*child, filter)) return child;
    }
    if (range != RANGE_ON_SCREEN_FIRST) break;
  }
  return nullptr;
}

cCharaBase* FindTargetCandidate(cCharaBase& chara, const cCommand& command) {
  const int kind = command.Param(TP_KIND);
  const int range = command.Param(TP_RANGE);
  switch (kind) {
    case TARGET_HERO:
      return StageHero();
    case TARGET_SELF:
      return &chara;
    case TARGET_NEAREST: {
      const int x = chara.m_ScrLeft + (chara.m_GfxW >> 1);
      const int y = chara.m_ScrTop + (chara.m_GfxH >> 1);
      const int mode = range == RANGE_ANYWHERE ? 1 : range == RANGE_ON_SCREEN ? 2 : 0;
      return FindNearestTarget(x, y, mode, TargetFilterOf(chara, command));
    }
    case TARGET_BY_ID:
      return FindFirstTarget(command.Param(TP_CHARA_ID), range, TargetFilterOf(chara, command));
    case TARGET_PARENT:
      return chara.m_pParent;
    case TARGET_LAST_CHILD:
      return LastChild(chara);
    case TARGET_NEWEST_CHILD:
      return FindRecentTarget(chara, range, TargetFilterOf(chara, command));
    default:
      if (kind >= TARGET_SLOT_1 && kind <= TARGET_SLOT_4) return chara.Target(kind - TARGET_SLOT_1);
      return nullptr;
  }
}

}  // namespace

int CmdWarp(cCharaBase& chara, cCommand& command) {
  const cEdMove* move = command.m_Move.Get();
  if (move == nullptr || g_GameScene == nullptr) return 0;
  const cSavedPlace saved = SavePlace(chara);
  const int mode = move->m_nPosMode;
  if (mode == 0) {
    DisplaceByDirection(chara, chara, *move, WarpDistance(chara, *move));
  } else if (mode < kWarpTargetPosition) {
    cCharaBase* target = chara.Target(mode - 1);
    if (target == nullptr) return 0;
    chara.SetCenter(target->m_ScrLeft + (target->m_GfxW >> 1), target->m_ScrTop + (target->m_GfxH >> 1));
    DisplaceByDirection(chara, *target, *move, WarpDistance(chara, *move));
  } else if (mode == kWarpTargetPosition) {
    WarpToPosition(chara, *move);
  } else {
    return 0;
  }
  chara.UpdateRect();
  // The place test summons use: a solid cell at a corner or a block
  // character overlapped; a flyer that passes through blocks is never
  // blocked.
  if (chara.IsWithinBounds(0) == 0 || IsPlaceBlocked(chara, g_CharaList) != 0) {
    RestorePlace(chara, saved);
    return 0;
  }
  if (chara.m_Flying == 0) chara.m_VY = 0.0;
  if (mode == kWarpTargetPosition && move->m_nCoordSystem == WARP_COORD_SCREEN) {
    chara.m_bScreenLockX = chara.m_bScreenLockY = 1;
    chara.m_nLockedScreenX = chara.m_ScrLeft;
    chara.m_nLockedScreenY = chara.m_ScrTop;
  }
  return 0;
}

int CmdSetTarget(cCharaBase& chara, cCommand& command) {
  const int slot = command.Param(TP_SLOT);
  cCharaBase* candidate = FindTargetCandidate(chara, command);
  if (candidate == nullptr && command.Param(TP_NO_TARGET) != 0) return 0;
  chara.SetTarget(slot, candidate, 1);
  return 0;
}

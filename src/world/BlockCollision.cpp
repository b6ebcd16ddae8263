#include "world/BlockCollision.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/Log.h"
#include "core/Numeric.h"
#include "data/Flow.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/MapGrid.h"

namespace {

// ---- boxes --------------------------------------------------------------------------

// A box in world dots with inclusive edges.
struct cBox {
  double x = 0.0;
  double y = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

cBox BoxOf(const cGameObj& obj) { return cBox{obj.m_X, obj.m_Y, obj.m_Right, obj.m_Bottom}; }
cBox PrevBoxOf(const cCharaBase& chara) {
  return cBox{chara.m_PrevX, chara.m_PrevY, chara.m_PrevRight, chara.m_PrevBottom};
}

bool Overlaps(const cBox& a, const cBox& b) {
  return a.x <= b.right && a.right >= b.x && a.y <= b.bottom && a.bottom >= b.y;
}

bool Contains(const cBox& box, double x, double y) {
  return box.x <= x && x <= box.right && box.y <= y && y <= box.bottom;
}

// How deep two overlapping boxes reach into each other on each axis, from the
// side where the second one lies; (0, 0) when they do not overlap.
struct cDepth {
  double dx = 0.0;
  double dy = 0.0;
};

cDepth Depths(const cBox& s, const cBox& b) {
  if (!Overlaps(s, b)) return {};
  cDepth d;
  d.dx = s.right >= b.x && b.x > s.x ? s.right - b.x + 1 : b.right - s.x + 1;
  d.dy = s.bottom >= b.y && b.y > s.y ? s.bottom - b.y + 1 : b.bottom - s.y + 1;
  return d;
}

// The edge lines of a box, as degenerate boxes. The short forms leave out the
// corner dots.
cBox LeftLine(const cBox& s, bool full) { return {s.x, full ? s.y : s.y + 1, s.x, full ? s.bottom : s.bottom - 1}; }
cBox RightLine(const cBox& s, bool full) {
  return {s.right, full ? s.y : s.y + 1, s.right, full ? s.bottom : s.bottom - 1};
}
cBox TopLine(const cBox& s) { return {s.x + 1, s.y, s.right - 1, s.y}; }
cBox BottomLine(const cBox& s, bool full) { return {full ? s.x : s.x + 1, s.bottom, full ? s.right : s.right - 1, s.bottom}; }

// ---- who takes part --------------------------------------------------------------------

// A flying character that passes through blocks meets nothing.
bool PassesThrough(const cCharaBase& chara) { return chara.m_Flying != 0 && chara.m_FlyContact == FLY_CONTACT_PASS; }
bool DiesOnContact(const cCharaBase& chara) { return chara.m_Flying != 0 && chara.m_FlyContact == FLY_CONTACT_DIE; }
bool CollidesFlying(const cCharaBase& chara) {
  return chara.m_Flying != 0 && chara.m_FlyContact == FLY_CONTACT_COLLIDE;
}
bool IsPlayerOperated(const cCharaBase& chara) { return chara.m_Operator != OBJ_BY_COMPUTER; }

// The block characters of a character list, in list order. Each character's
// collision visits them all, so a crowd of ordinary characters would cost a
// walk of the whole list per character; the view is made again only when
// the list's membership or some character's definition has changed since.
const std::vector<cChara*>& BlockCharasOf(cObjList<cChara>& charas) {
  struct cView {
    const cObjList<cChara>* list = nullptr;
    std::uint64_t listStamp = 0;
    std::uint64_t dataStamp = 0;
    std::vector<cChara*> blocks;
  };
  static cView view;
  if (view.list != &charas || view.listStamp != charas.Stamp() || view.dataStamp != cCharaBase::DataStamp()) {
    view.blocks.clear();
    for (cChara& chara : charas) {
      if (chara.IsBlockChara()) view.blocks.push_back(&chara);
    }
    view.list = &charas;
    view.listStamp = charas.Stamp();
    view.dataStamp = cCharaBase::DataStamp();
  }
  return view.blocks;
}

bool IsSolidBlockChara(const cChara& block, const cCharaBase& chara) {
  return &block != &chara && block.IsBlockChara() && block.m_bDead == 0 && block.m_Active == 1;
}

// The first block character (other than `excludedKey` when given) whose box
// overlaps `box`, or null.
cChara* FirstBlockOverlapping(cObjList<cChara>& charas, const cCharaBase& chara, const cBox& box,
                              const int* excludedKey = nullptr) {
  for (cChara* const blockPtr : BlockCharasOf(charas)) {
    cChara& block = *blockPtr;
    if (!IsSolidBlockChara(block, chara)) continue;
    if (excludedKey != nullptr && block.m_Key == *excludedKey) continue;
    if (Overlaps(box, BoxOf(block))) return &block;
  }
  return nullptr;
}

cChara* BlockCharaByKey(cObjList<cChara>& charas, const cCharaBase& chara, int key) {
  for (cChara* const blockPtr : BlockCharasOf(charas)) {
    cChara& block = *blockPtr;
    if (block.m_Key == key && IsSolidBlockChara(block, chara)) return &block;
  }
  return nullptr;
}

// The strip of 5 dots under the feet where a ridden block character is found.
cBox FeetStrip(const cCharaBase& chara) { return {chara.m_X, chara.m_Bottom, chara.m_Right, chara.m_Bottom + 5}; }

// ---- the map -------------------------------------------------------------------------------

int RowBits() { return g_GameScene->m_ScrollX.m_RowBits; }

void FireTriggers(cCharaBase& chara, std::initializer_list<int> triggers) {
  for (int trigger : triggers) chara.FireTrigger(trigger);
}

// The contact kind of the cell a probe chose.
int KindAt(int index, const cCharaBase& chara) { return CellContactKindAt(index, chara.m_PassNo); }

// What a solid cell does to the character: 2 when it kills it (a deadly cell
// and a player-operated character, or a flying character that dies on
// contact), else 0 and the caller pushes the character out.
int SolidCellVerdict(int kind, const cCharaBase& chara) {
  if (kind == BLOCK_CONTACT_DEADLY && chara.m_Operator != OBJ_BY_COMPUTER) return 2;
  if (DiesOnContact(chara)) return 2;
  return 0;
}

// A character moving up through a cell does not land on it unless the
// system data lets it.
bool RisingPastCell(const cCharaBase& chara) {
  return g_System.m_bCollisionSwitch == 0 && chara.m_Flying == 0 && chara.m_VY < 0;
}

// The cell the feet stand on: a player-operated character's feet are probed
// again across their width.
int FootCell(const cCharaBase& chara, int probed) {
  if (!IsPlayerOperated(chara)) return probed;
  return ProbeFootEdge(TruncToI32(chara.m_Bottom), chara.m_X, chara.m_Right, chara.m_BoxW, chara.Scale(),
                       chara.m_PassNo, RowBits());
}

// The cell of a vertical edge of the box at world x `edge`, the top down.
int ProbeSide(const cCharaBase& chara, double edge) {
  return ProbeVerticalEdge(TruncToI32(edge), TruncToI32(chara.m_Y), chara.m_BaseBoxH, chara.Scale(), chara.m_PassNo,
                           RowBits());
}

// The cell of a horizontal edge of the box at world y `edge`.
int ProbeEdgeRow(const cCharaBase& chara, double edge) {
  return ProbeHorizontalEdge(TruncToI32(edge), TruncToI32(chara.m_X), TruncToI32(chara.m_Right), chara.m_BaseBoxW,
                             chara.Scale(), chara.m_PassNo, RowBits());
}

int ProbeBottom(const cCharaBase& chara) { return ProbeEdgeRow(chara, chara.m_Bottom); }

// Lands the character on a solid or deadly cell below it (probed at `probed`):
// 0, or 2 when the cell kills it.
int LandOnCell(cCharaBase& chara, int kind, int probed) {
  if (kind == BLOCK_CONTACT_DEADLY) {
    chara.m_nCellBelow = chara.m_nLastCellBelow = probed;
    if (chara.m_Operator != OBJ_BY_COMPUTER) return 2;
    if (DiesOnContact(chara)) return 2;
  } else if (DiesOnContact(chara)) {
    return 2;
  }
  if (RisingPastCell(chara)) return 0;
  if (kind != BLOCK_CONTACT_DEADLY) {
    chara.m_nCellBelow = FootCell(chara, probed);
    chara.m_nLastCellBelow = chara.m_nCellBelow;
  }
  chara.Land();
  return 0;
}

// ---- block characters -----------------------------------------------------------------------

// A push candidate on one side: the position it asks for, and the block
// character that pushes (its velocity on the axis of the push, its key, its
// x at the time).
struct cCandidate {
  bool m_bSet = false;
  double m_Value = 0.0;
  double m_Velocity = 0.0;
  int32_t m_Key = 0;
  double m_PusherX = 0.0;

  void Take(double value, const cChara& pusher, double velocity) {
    m_bSet = true;
    m_Value = value;
    m_Velocity = velocity;
    m_Key = pusher.m_Key;
    m_PusherX = pusher.m_X;
  }
  void TakeIfLarger(double value, const cChara& pusher, double velocity) {
    if (!m_bSet || value > m_Value) Take(value, pusher, velocity);
  }
  void TakeIfSmaller(double value, const cChara& pusher, double velocity) {
    if (!m_bSet || value < m_Value) Take(value, pusher, velocity);
  }
};

// Marks the character pushed sideways by `pusher` (a ground turn-around
// reverses then), unless it is the block it rides.
void MarkPushed(cCharaBase& chara, const cCandidate& pusher) {
  if (chara.m_bRiding != 0 && pusher.m_Key == chara.m_nRiddenKey) return;
  chara.m_bPushedX = 1;
  chara.m_nPushedByKey = pusher.m_Key;
  chara.m_PushedByX = pusher.m_PusherX;
}

void PushToX(cCharaBase& chara, const cCandidate& side) {
  chara.m_CmdVX = 0.0;
  MarkPushed(chara, side);
  chara.m_X = side.m_Value;
  chara.ConstrainX();
}

// Pushes the character out of the block characters it overlaps on the other
// axis than the one a receding pusher freed.
void PushOutOtherAxis(cCharaBase& chara, cObjList<cChara>& charas, bool vertical) {
  const cBox s = BoxOf(chara);
  cCandidate left, right, up, down;
  for (cChara* const blockPtr : BlockCharasOf(charas)) {
    cChara& block = *blockPtr;
    if (!IsSolidBlockChara(block, chara)) continue;
    const cBox b = BoxOf(block);
    if (Depths(s, b).dx == 0) continue;
    if (vertical) {
      if (Overlaps(TopLine(s), b)) {
        chara.m_bContactUp = 1;
        up.TakeIfLarger(b.bottom + 1, block, block.m_VY);
      }
      if (Overlaps(BottomLine(s, true), b)) {
        chara.m_bContactDown = 1;
        down.TakeIfSmaller(b.y - chara.m_BoxH, block, block.m_VY);
      }
    } else {
      if (Overlaps(LeftLine(s, false), b)) {
        chara.m_bContactLeft = 1;
        left.TakeIfLarger(b.right + 1, block, block.m_VX);
      }
      if (Overlaps(RightLine(s, true), b)) {
        chara.m_bContactRight = 1;
        right.TakeIfSmaller(b.x - chara.m_BoxW, block, block.m_VX);
      }
    }
  }
  if (up.m_bSet) {
    chara.m_Y = up.m_Value;
    chara.ConstrainY();
  }
  if (down.m_bSet) {
    chara.m_Y = down.m_Value;
    chara.ConstrainY();
  }
  if (left.m_bSet) {
    MarkPushed(chara, left);
    chara.m_X = left.m_Value;
    chara.ConstrainX();
  }
  if (right.m_bSet) {
    MarkPushed(chara, right);
    chara.m_X = right.m_Value;
    chara.ConstrainX();
  }
}

int CollideBlockCharasFlying(cCharaBase& chara, cObjList<cChara>& charas) {
  const cBox s = BoxOf(chara);
  cCandidate left, right, up, down;
  bool touched = false;
  for (cChara* const blockPtr : BlockCharasOf(charas)) {
    cChara& block = *blockPtr;
    if (!IsSolidBlockChara(block, chara)) continue;
    const cBox b = BoxOf(block);
    if (!Overlaps(s, b)) continue;
    touched = true;
    const cDepth d = Depths(s, b);
    if (d.dx <= d.dy) {
      if (Overlaps(LeftLine(s, false), b)) {
        chara.m_bContactLeft = 1;
        left.TakeIfLarger(b.right + 1, block, block.m_VX);
      }
      if (Overlaps(RightLine(s, false), b)) {
        chara.m_bContactRight = 1;
        right.TakeIfSmaller(b.x - chara.m_BoxW, block, block.m_VX);
      }
    } else {
      if (Overlaps(TopLine(s), b)) {
        chara.m_bContactUp = 1;
        up.TakeIfLarger(b.bottom + 1, block, block.m_VY);
      }
      if (Overlaps(BottomLine(s, false), b)) {
        chara.m_bContactDown = 1;
        down.TakeIfSmaller(b.y - chara.m_BoxH, block, block.m_VY);
      }
    }
  }
  if (touched) chara.FireTrigger(TRIGGER_HIT_BLOCK_CHARA);
  if (DiesOnContact(chara)) return left.m_bSet || right.m_bSet || up.m_bSet || down.m_bSet ? 2 : 0;

  // A pusher moving away from the character does not push it; the character
  // is then pushed out on the other axis instead.
  if (left.m_bSet) {
    chara.m_CmdVX = 0.0;
    if (left.m_Velocity < 0 && chara.m_VX >= 0) {
      chara.m_bContactLeft = 0;
      PushOutOtherAxis(chara, charas, true);
    } else {
      PushToX(chara, left);
    }
  }
  if (right.m_bSet) {
    chara.m_CmdVX = 0.0;
    if (right.m_Velocity > 0 && chara.m_VX <= 0) {
      chara.m_bContactRight = 0;
      PushOutOtherAxis(chara, charas, true);
    } else {
      PushToX(chara, right);
    }
  }
  if (up.m_bSet) {
    chara.m_CmdVY = 0.0;
    if (up.m_Velocity < 0 && chara.m_VY >= 0) {
      chara.m_bContactUp = 0;
      PushOutOtherAxis(chara, charas, false);
    } else {
      chara.m_Y = up.m_Value;
      chara.ConstrainY();
    }
  }
  if (down.m_bSet) {
    chara.m_CmdVY = 0.0;
    if (down.m_Velocity > 0 && chara.m_VY <= 0) {
      chara.m_bContactDown = 0;
      PushOutOtherAxis(chara, charas, false);
    } else {
      chara.m_Y = down.m_Value;
      chara.ConstrainY();
    }
  }
  return 0;
}

// The character is thrown under the block character above it: it falls with
// it from its bottom.
void DropBelow(cCharaBase& chara, const cChara& block) {
  chara.m_CmdVY = 0.0;
  chara.m_bJumpRising = chara.m_bJumped = chara.m_bCeilingHit = 1;
  chara.m_VY = block.m_VY;
  chara.m_Y = block.m_Bottom + 1;
  chara.ConstrainY();
}

int CollideBlockCharasGround(cCharaBase& chara, cObjList<cChara>& charas) {
  const double n = g_Stage.SubStepsAtLeastOneF();
  const int h = chara.m_BoxH;
  const int w = chara.m_BoxW;
  const cBox s = BoxOf(chara);
  const double boxAtStart[4] = {s.x, s.y, s.right, s.bottom};
  const cBox upperHalf{s.x, s.y, s.right, s.y + h / 2};
  const cBox feet{s.x + 1, s.bottom - h / 3, s.right - 1, s.bottom};
  const cBox prev = PrevBoxOf(chara);
  const cBox moved{prev.x, s.y, prev.right, s.bottom};
  cCandidate left, right, up, down;
  cChara* landedOn = nullptr;
  bool touched = false;

  // A block character under the feet: the nearest one to land on.
  const auto offerGround = [&](cChara& block) {
    if (block.m_VY < 0) chara.m_bContactDown = 1;
    if (down.m_bSet && !(block.m_Y - h < down.m_Value)) return;
    down.Take(block.m_Y - h, block, block.m_VY);
    landedOn = &block;
    chara.m_nRiddenKey = block.m_Key;
    chara.m_RiddenX = block.m_X;
    chara.m_RiddenY = block.m_Y;
    chara.m_RiddenRight = block.m_Right;
    chara.m_RiddenBottom = block.m_Bottom;
  };
  const auto offerSide = [&](cChara& block, const cBox& leftLine, const cBox& rightLine, bool rightFirst) {
    const cBox b = BoxOf(block);
    const auto tryRight = [&] {
      if (!Overlaps(rightLine, b)) return false;
      chara.m_bContactRight = 1;
      right.TakeIfSmaller(b.x - w - 0.5, block, block.m_VX);
      return true;
    };
    const auto tryLeft = [&] {
      if (!Overlaps(leftLine, b)) return false;
      chara.m_bContactLeft = 1;
      left.TakeIfLarger(b.right + 1.5, block, block.m_VX);
      return true;
    };
    if (rightFirst) {
      if (!tryRight()) tryLeft();
    } else {
      if (!tryLeft()) tryRight();
    }
  };

  for (cChara* const blockPtr : BlockCharasOf(charas)) {
    cChara& block = *blockPtr;
    if (!IsSolidBlockChara(block, chara)) continue;
    const cBox b = BoxOf(block);
    if (!Overlaps(s, b)) continue;
    touched = true;
    const cDepth upper = Depths(upperHalf, b);
    if (upper.dx == 0) {
      // The block character touches only the lower half.
      const cDepth d = Depths(s, b);
      if (d.dy > d.dx) {
        if (Overlaps(RightLine(s, true), b)) {
          chara.m_bContactRight = 1;
          right.TakeIfSmaller(b.x - w - 0.5, block, block.m_VX);
        }
        if (Overlaps(LeftLine(s, true), b)) {
          chara.m_bContactLeft = 1;
          left.TakeIfLarger(b.right + 1.5, block, block.m_VX);
        }
      } else if (Overlaps(feet, b)) {
        offerGround(block);
      }
      continue;
    }
    const cDepth fromPrev = Depths(prev, b);
    const cDepth fromMoved = Depths(moved, PrevBoxOf(block));
    if (chara.m_VY > 2 / n && fromMoved.dx != 0 && prev.y < block.m_PrevY) {
      // Falling fast onto it from above: it lands, however deep it sank in.
      LogPuts("D Hit");
      offerGround(block);
    } else if ((upper.dx - upper.dy > 0.4 / n && s.bottom > b.bottom) ||
               (fromMoved.dx != 0 && prev.y > block.m_PrevY && fromPrev.dx == 0)) {
      if (block.m_VY > 0) chara.m_bContactUp = 1;
      up.TakeIfLarger(b.bottom + 1, block, block.m_VY);
      if (chara.m_bRiding != 0 && chara.m_VY < 0) chara.m_bContactDown = 1;
    } else {
      offerSide(block, cBox{s.x, s.y, s.x, s.y + h / 2}, cBox{s.right, s.y, s.right, s.y + h / 2}, chara.m_VX >= 0);
    }
  }

  // A ceiling alone.
  bool ceilingApplied = false;
  if (up.m_bSet && !down.m_bSet) {
    bool blocked = false;
    if (up.m_Velocity < 0) {
      // A rising block character carries the character up only where there
      // is room: its cells, and no other block character at the new top.
      const cBox raised{s.x, up.m_Value, s.right, s.bottom};
      blocked = chara.CornersHitBlock() != 0 || FirstBlockOverlapping(charas, chara, raised, &up.m_Key) != nullptr;
    }
    if (!blocked) {
      chara.m_VY = up.m_Velocity;
      chara.m_Y = up.m_Value;
      chara.m_CmdVY = 0.0;
      chara.m_bJumpRising = chara.m_bJumped = chara.m_bCeilingHit = 1;
      chara.ConstrainY();
      MapCollideYRecheck(chara);
      ceilingApplied = true;
    }
  }

  bool landed = false;
  if (left.m_bSet && right.m_bSet && !down.m_bSet && !ceilingApplied) {
    // Squeezed sideways in the air: it slides down under the first block.
    if (cChara* block = FirstBlockOverlapping(charas, chara, upperHalf)) DropBelow(chara, *block);
    chara.m_bContactLeft = chara.m_bContactRight = 0;
  } else {
    if (down.m_bSet && !(left.m_bSet && right.m_bSet)) {
      if (down.m_Velocity > 0 && chara.CornersHitBlock() != 0) {
        // A block character moving down leaves a character held by the map.
        chara.m_bRiding = 0;
      } else {
        chara.m_CmdVY = 0.0;
        landed = true;
        if (chara.m_bRiding == 0) {
          chara.m_bRiding = 1;
          if (landedOn != nullptr) {
            if (IsPlayerOperated(chara)) landedOn->FireFlowTrigger(TRIGGER_RIDDEN_BY_HERO, &chara, 0);
            landedOn->FireFlowTrigger(TRIGGER_RIDDEN_BY_CHARA, &chara, 0);
          }
        }
        chara.m_Y = down.m_Value;
        chara.ConstrainY();
        chara.m_VY = 0.0;
        chara.m_nOffGround = 0;
        chara.m_bJumped = chara.m_bJumpRising = chara.m_bAirborne = chara.m_bKnockback = 0;
        if (!IsPlayerOperated(chara)) {
          chara.m_bCeilingHit = 0;
        } else if (cHero* hero = StageHero()) {
          hero->m_bJumpBanned = 0;
        }
      }
    }
    if (left.m_bSet) PushToX(chara, left);
    if (right.m_bSet) PushToX(chara, right);
    if (left.m_bSet && right.m_bSet && !down.m_bSet) {
      chara.m_X = s.x;
      chara.ConstrainX();
      if (cChara* block = FirstBlockOverlapping(charas, chara, upperHalf)) {
        if (block->m_VY > 0) chara.m_bContactUp = 1;
        DropBelow(chara, *block);
        chara.m_bContactLeft = chara.m_bContactRight = 0;
      }
    }
  }

  if (touched || chara.m_bRiding != 0) chara.FireTrigger(TRIGGER_HIT_BLOCK_CHARA);
  if (chara.m_bRiding != 0) chara.FireTrigger(TRIGGER_ON_BLOCK_CHARA);

  if (chara.m_bContactLeft != 0 && chara.m_bContactRight != 0) return 2;
  if (chara.m_bContactUp != 0 && chara.m_bContactDown != 0) return 2;
  // Untouched, nothing has moved it and no block character covers a corner:
  // the crush test can only fail.
  if (touched && IsCrushedByBlockCharas(chara, charas, boxAtStart) != 0) return 2;

  // Un-sticking from the map: a push into solid cells is undone a little at
  // a time, at most 1.5 dots.
  const auto unstick = [&chara](double& position, double step, bool vertical) {
    for (int i = 0; i < 15 && chara.CornersHitBlock() != 0; ++i) {
      position += step;
      if (vertical) {
        chara.ConstrainY();
      } else {
        chara.ConstrainX();
      }
    }
  };
  if (chara.m_bContactLeft != 0) unstick(chara.m_X, -0.1, false);
  if (chara.m_bContactRight != 0) unstick(chara.m_X, 0.1, false);
  if (chara.m_bContactUp != 0) unstick(chara.m_Y, -0.1, true);
  if (chara.m_bContactDown != 0) unstick(chara.m_Y, 0.1, true);

  if (chara.m_bRiding != 0 && !landed) {
    if (chara.m_ImpulseY < 0) {
      chara.StopOnBlockChara(1);
      return 0;
    }
    cChara* ridden = StillOnRiddenBlock(chara, charas) != 0 ? BlockCharaByKey(charas, chara, chara.m_nRiddenKey)
                                                             : FindBlockUnderFeet(chara, charas);
    if (ridden == nullptr) {
      chara.StopOnBlockChara(1);
      return 0;
    }
    chara.m_nOffGround = 0;
    chara.m_bKnockback = 0;
    chara.m_nRiddenKey = ridden->m_Key;
    chara.m_RiddenX = ridden->m_X;
    chara.m_RiddenY = ridden->m_Y;
    chara.m_RiddenRight = ridden->m_Right;
    chara.m_RiddenBottom = ridden->m_Bottom;
  }
  return 0;
}

}  // namespace

// ---- the map -------------------------------------------------------------------------------------

int CollideLeft(cCharaBase& chara) {
  if (PassesThrough(chara)) return 0;
  const int kind = KindAt(ProbeSide(chara, chara.m_X), chara);
  if (kind == 0) return 0;
  if (SolidCellVerdict(kind, chara) != 0) return 2;
  chara.m_bContactLeft = 1;
  chara.m_X += 32 - (TruncToI32(chara.m_X) & 31);
  chara.m_CmdVX = 0.0;
  chara.ConstrainX();
  chara.m_nLastWall = 0;
  FireTriggers(chara, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_SIDE, TRIGGER_BLOCK_LEFT});
  return 0;
}

int CollideRight(cCharaBase& chara) {
  if (PassesThrough(chara)) return 0;
  const int kind = KindAt(ProbeSide(chara, chara.m_Right), chara);
  if (kind == 0) return 0;
  if (SolidCellVerdict(kind, chara) != 0) return 2;
  chara.m_bContactRight = 1;
  chara.m_X -= (TruncToI32(chara.m_Right) & 31) + 1;
  chara.m_CmdVX = 0.0;
  chara.ConstrainX();
  chara.m_nLastWall = 1;
  FireTriggers(chara, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_SIDE, TRIGGER_BLOCK_RIGHT});
  return 0;
}

int CollideUp(cCharaBase& chara) {
  if (PassesThrough(chara)) return 0;
  const int kind = KindAt(ProbeEdgeRow(chara, chara.m_Y), chara);
  if (kind == 0) return 0;
  if (SolidCellVerdict(kind, chara) != 0) return 2;
  chara.HitCeiling();
  return 0;
}

int CollideDown(cCharaBase& chara) {
  if (PassesThrough(chara)) return 0;
  const int probed = ProbeBottom(chara);
  chara.m_nCellBelow = probed;
  const int kind = KindAt(probed, chara);
  if (kind != 0) return LandOnCell(chara, kind, probed);

  chara.m_nCellBelow = -1;
  chara.m_nOffGround = ClampToI32(int64_t{chara.m_nOffGround} + 1);
  // Airborne once it has been off the ground for 8 frames.
  if (int64_t{chara.m_nOffGround} == int64_t{8} * g_Stage.SubStepsAtLeastOne()) {
    if (!IsPlayerOperated(chara)) {
      chara.m_bAirborne = 1;
    } else if (chara.m_bRiding == 0) {
      if (cHero* hero = StageHero()) hero->m_bJumpReady = 1;
      chara.m_bAirborne = 1;
    }
  }
  return 0;
}

int MapCollideX(cCharaBase& chara) {
  const bool rightFirst = CollidesFlying(chara) || chara.m_VX > 0;
  if (rightFirst) {
    if (CollideRight(chara) == 2) return 2;
    return CollideLeft(chara) == 2 ? 2 : 0;
  }
  if (CollideLeft(chara) == 2) return 2;
  return CollideRight(chara) == 2 ? 2 : 0;
}

int MapCollideXRecheck(cCharaBase& chara) {
  if (CollideRight(chara) == 2) return 2;
  return CollideLeft(chara) == 2 ? 2 : 0;
}

int MapCollideY(cCharaBase& chara) {
  chara.m_nCellBelow = -1;
  const bool downFirst = CollidesFlying(chara) || chara.m_VY > 0;
  if (downFirst) {
    if (CollideDown(chara) == 2) return 2;
    return CollideUp(chara) == 2 ? 2 : 0;
  }
  if (CollideUp(chara) == 2) return 2;
  return CollideDown(chara) == 2 ? 2 : 0;
}

int MapCollideYRecheck(cCharaBase& chara) {
  if (PassesThrough(chara)) return 0;
  const int probed = ProbeBottom(chara);
  const int kind = KindAt(probed, chara);
  if (kind != 0) {
    if (kind == BLOCK_CONTACT_DEADLY) {
      chara.m_nCellBelow = chara.m_nLastCellBelow = FootCell(chara, probed);
      if (chara.m_Operator != OBJ_BY_COMPUTER || DiesOnContact(chara)) return 2;
    } else if (DiesOnContact(chara)) {
      return 2;
    }
    if (RisingPastCell(chara)) return 0;
    chara.m_nCellBelow = chara.m_nLastCellBelow = FootCell(chara, probed);
    chara.Land();
  }
  return CollideUp(chara);
}

int IsPlaceBlocked(cCharaBase& chara, cObjList<cChara>& charas) {
  if (PassesThrough(chara)) return 0;
  const int corner = ProbeCorners(chara.m_CellL, chara.m_CellT, chara.m_CellR, chara.m_CellB, chara.m_PassNo, RowBits());
  if (KindAt(corner, chara) != 0) return 1;
  return OverlapsBlockChara(chara, charas);
}

// ---- block characters ---------------------------------------------------------------------------

int CollideBlockCharas(cCharaBase& chara, cObjList<cChara>& charas) {
  if (PassesThrough(chara)) return 0;
  return chara.m_Flying != 0 ? CollideBlockCharasFlying(chara, charas) : CollideBlockCharasGround(chara, charas);
}

int OverlapsBlockChara(cCharaBase& chara, cObjList<cChara>& charas) {
  if (PassesThrough(chara)) return 0;
  return FirstBlockOverlapping(charas, chara, BoxOf(chara)) != nullptr ? 1 : 0;
}

int OverlapsOtherBlockChara(cCharaBase& chara, cObjList<cChara>& charas, int excludedKey) {
  if (PassesThrough(chara)) return 0;
  return FirstBlockOverlapping(charas, chara, BoxOf(chara), &excludedKey) != nullptr ? 1 : 0;
}

int IsCrushedByBlockCharas(cCharaBase& chara, cObjList<cChara>& charas, const double boxAtStart[4]) {
  const cBox now = BoxOf(chara);
  const cBox start{boxAtStart[0], boxAtStart[1], boxAtStart[2], boxAtStart[3]};
  const auto corners = [](const cBox& b) {
    return std::array<std::pair<double, double>, 4>{
        {{b.x, b.y}, {b.right, b.y}, {b.x, b.bottom - 1}, {b.right, b.bottom - 1}}};
  };
  const auto inSomeBlock = [&](double x, double y) {
    for (cChara* const blockPtr : BlockCharasOf(charas)) {
      cChara& block = *blockPtr;
      if (IsSolidBlockChara(block, chara) && Contains(BoxOf(block), x, y)) return true;
    }
    return false;
  };
  const auto nowCorners = corners(now);
  const auto startCorners = corners(start);
  for (std::size_t i = 0; i < nowCorners.size(); ++i) {
    if (!inSomeBlock(nowCorners[i].first, nowCorners[i].second) &&
        !inSomeBlock(startCorners[i].first, startCorners[i].second)) {
      return 0;
    }
  }
  return 1;
}

int StillOnRiddenBlock(cCharaBase& chara, cObjList<cChara>& charas) {
  const cChara* ridden = BlockCharaByKey(charas, chara, chara.m_nRiddenKey);
  return ridden != nullptr && Overlaps(FeetStrip(chara), BoxOf(*ridden)) ? 1 : 0;
}

cChara* FindBlockUnderFeet(cCharaBase& chara, cObjList<cChara>& charas) {
  return FirstBlockOverlapping(charas, chara, FeetStrip(chara));
}

int CarryRider(cCharaBase& chara, cObjList<cChara>& charas) {
  if (chara.m_Flying != 0 || chara.m_bRiding == 0) return 0;
  cChara* block = BlockCharaByKey(charas, chara, chara.m_nRiddenKey);
  if (block == nullptr) return 0;
  chara.m_VX += block->m_X - chara.m_RiddenX;
  if (block->m_Flying != 0 || block->m_bAirborne != 0) chara.m_VY = block->m_Y - chara.m_RiddenY;
  if (IsPlayerOperated(chara)) block->FireFlowTrigger(TRIGGER_RIDDEN_BY_HERO, &chara, 0);
  block->FireFlowTrigger(TRIGGER_RIDDEN_BY_CHARA, &chara, 0);
  return 0;
}

// ---- the hero and the screen ------------------------------------------------------------------------

int PushHeroByScreenX(cHero& hero) {
  const cScrollAxis& axis = g_GameScene->m_ScrollX;
  if (axis.m_Moving == 0 && hero.m_Flying == 0) return 0;
  hero.UpdateScreenRect();
  if (int64_t{hero.m_ScrLeft} + hero.m_DrawOffX < 0) {
    hero.m_bContactLeft = 1;
    hero.m_X = axis.m_Position;
    hero.ConstrainX();
  } else if (int64_t{hero.m_ScrRight} - hero.m_DrawOffX + 1 >= kScreenWidth) {
    hero.m_bContactRight = 1;
    hero.m_X = axis.m_Position + kScreenWidth - hero.m_BoxW - 1;
    hero.ConstrainX();
  }
  return 0;
}

int PushHeroByScreenY(cHero& hero) {
  const cScrollAxis& axis = g_GameScene->m_ScrollY;
  if (axis.m_Moving == 0 && hero.m_Flying == 0) return 0;
  hero.UpdateScreenRect();
  if (int64_t{hero.m_ScrTop} + hero.m_DrawOffY < 0) {
    hero.m_bContactUp = 1;
    hero.m_Y = axis.m_Position;
    hero.ConstrainY();
  } else if (int64_t{hero.m_ScrBottom} - hero.m_DrawOffY + 1 >= kScreenHeight) {
    hero.m_bContactDown = 1;
    hero.m_Y = axis.m_Position + kScreenHeight - hero.m_BoxH - 1;
    hero.ConstrainY();
    // A walking hero pushed out through the bottom of the view falls out.
    if (hero.m_Flying == 0) return 2;
  }
  return 0;
}

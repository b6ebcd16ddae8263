#pragma once
// cChara: every character on the stage but the hero: characters placed in the
// stage file (computer-operated placements) and characters summoned by
// commands. It adds to cCharaBase the item it carries and drops when it dies,
// whether it is inside its activity range and may act, and its own versions
// of the hit boxes, the motion along each axis, the per-sub-step update and
// the jump.
//
// The scene keeps its characters in g_CharaList, whose elements never move
// (ObjList.h): other objects point at them.
//
// Block characters (the definition's block flag) are solid to other
// characters and can be ridden (BlockCollision.h); their box is their whole
// 32-dot cell at their scale.
//
// Motion codes of MoveX / MoveY (the play step acts on them): the clamp codes
// of cGameObj::ClampX / ClampY in the grid mode, except that MoveX reports 4
// for "stopped at the grid's edge" (remove the character), and MoveY reports
// 8 for a flying character stopped at the grid's top or bottom (remove it)
// and 7 for a walking one below the area or at the grid's bottom (it fell
// out: it dies).

#include <cstdint>

#include "core/SafeVector.h"
#include "world/CharaBase.h"
#include "world/CharaMotion.h"
#include "world/Item.h"
#include "world/ObjList.h"

// Entries of the activation switches (the wake groups) the scene clears at
// the start of every sub-step.
inline constexpr int kActivationSwitchCount = 60;

class cChara : public cCharaBase {
 public:
  cChara() = default;
  cChara(const cChara&) = default;
  cChara& operator=(const cChara&) = default;
  ~cChara() override = default;

  // ---- set-up ----

  // Sets the character up from definition `definition` (a scale of 0 counts
  // as 1): ResetState, its collision box (a block character's whole cell, or
  // the stage's walking or flying block box), the base object, its attack and
  // shot rectangles, its scale, the carried item (a copy of `carriedItem`, or
  // none), its activity range, the base animation (1 walking, 0 flying) and
  // its flows. `parent` is not used: the caller calls SetParent afterwards.
  void Init(int key, const cCharaData& definition, const cItem* carriedItem, double spawnX, double spawnY,
            int copyIndex, cCharaBase* parent);
  // Puts the box on stage cell (column, row) as placed there, re-anchored for
  // the scale, then constrained on both axes.
  void PlaceOnGrid(int column, int row);

  // ---- activity ----

  // Whether the character lies inside its activity area (an axis marked
  // unrestricted is not tested). Inside, with its switch-on-activation byte,
  // it raises its activation switch in `switches`. Records the answer.
  int CheckActive(cSafeVector<uint8_t>& switches);
  // Whether the character may act this sub-step: inside its activity range,
  // or woken by its activation switch, or a walking character in the middle
  // of a jump. Once it acts it counts as started; a stay-active character
  // then stays unrestricted for good.
  int CheckStart(const cSafeVector<uint8_t>& switches);
  // Whether the box overlaps the given rectangle (inclusive edges).
  int OverlapsBox(double left, double top, double right, double bottom) const;
  bool IsBlockChara() const { return m_Data.m_bBlockChara != 0; }

  // ---- virtual operations ----

  void UpdateHitBoxes(int scale) override;
  void UpdateHitRectX() override;
  void UpdateHitRectY() override;
  // The carried item, or null when the character carries none.
  cItem* GetDropItem() override;
  // The stage-bounds constraint in the grid mode.
  int ConstrainX() override;
  int ConstrainY() override;
  int MoveX() override;
  int MoveY() override;
  // Once per sub-step: the velocities the scroll gives, the per-sub-step
  // flags, the flow pass, the idle animation. 1 when the character must end
  // (vanished, or hp 0 or less), else 0.
  int Update(int deathMode) override;
  void Jump(cCmdState& state) override;

  // ---- members, in order ----
  int32_t m_bInRange = 0;  // inside its activity range at the last check
  int32_t m_bActing = 0;   // set by the scene each sub-step when it may act
  cItem m_Item;            // m_bCarried 1 when it holds an item
  int32_t m_nIconCounter = 0;
  int32_t m_bFreeX = 0;    // the activity test ignores this axis
  int32_t m_bFreeY = 0;
  int32_t m_bStarted = 0;  // has acted once
};

// The characters of the running stage. Defined with every global object in
// app/Globals.cpp.
extern cObjList<cChara> g_CharaList;

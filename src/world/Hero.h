#pragma once
// cHero: the character the player operates: the placed character of the stage
// whose definition is operated by the player. It reads its keys from its key
// device, moves the camera, picks items up through its own pickup rectangle,
// can show its hit areas as coloured marks, and runs the item and system
// commands of what it picks up.
//
// The heroes live in Player; the scene works with element 0 (StageHero).
//
// The hero's jump is its own: the jump command's height can depend on how
// long the jump key is held or on the horizontal speed, the jump is cut short
// when the key is let go early, and a hero riding a block character takes off
// only on the last sub-step of a frame.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/Command.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"

class cKeyInput;

// A pickup runs the item's list and, inside it, the lists of the items its
// commands get, and theirs. An item that gets itself nests without end, and
// two lists that each get the other twice double the work at every level: one
// pickup runs at most kMaxItemListsPerPickup lists, at most kMaxItemNesting
// inside one another. The list bound stays far above what a list that does
// not come back to itself can ask: a fully unrolled list of get-items (65536
// commands at most) and the lists they get.
inline constexpr int kMaxItemNesting = 32;
inline constexpr int kMaxItemListsPerPickup = 131072;

// One displayed hit area of the hero.
struct cAreaMark {
  int32_t m_nType = 0;    // eAreaMarkType
  int32_t m_nMode = 0;    // 0 hidden, 1 outline, 2 filled
  // The first of four palette numbers, 208 + 4 x the stage's colour index;
  // outside palette mode the drawing steps through the four with m_nPhase.
  int32_t m_nColour = 0;
  // Top-left on the screen when last drawn; set only while the mark is shown.
  int32_t m_X = 0;
  int32_t m_Y = 0;
  int32_t m_Width = 0;
  int32_t m_Height = 0;
  int32_t m_nPhase = 0;   // 0 to 31, advanced every draw
};

enum eAreaMarkType : int {
  AREA_MARK_BODY = 0,    // the collision box
  AREA_MARK_ATTACK = 1,  // the attack rectangle
  AREA_MARK_PICKUP = 2,  // the pickup rectangle
  AREA_MARK_SHOT = 3,    // the shot rectangle
};

// The kind of foot block whose value scales the hero's walking push.
inline constexpr int kFootBlockSpeedFactor = 3;

class cHero : public cCharaBase {
 public:
  cHero() = default;
  cHero(const cHero&) = default;
  cHero& operator=(const cHero&) = default;
  ~cHero() override = default;

  // ---- set-up ----

  // Sets the hero up from definition `definition` at the spawn position:
  // ResetState, its body box, the base object, its key device, its size kind
  // (walking or flying), its scale, facing, the jump state, its area marks
  // and its flows. `parent` is not used.
  void InitForStage(int key, const cCharaData& definition, double spawnX, double spawnY, cCharaBase* parent);
  // The collision box from the stage's hero settings, the flying pair while
  // flying: x offset, y offset, width, height (scale 1).
  void GetBodyBox(int& offX, int& offY, int& width, int& height) const;
  // Switches between walking (0) and the flying modes: the flying state,
  // the body box, the attack, shot and pickup rectangles, scaled when
  // `rescale`; a change between walking and flying gives 2 sub-steps of
  // crush grace, and stopping flying stops the hero dead.
  void ApplySizeKind(int mode, int rescale);
  // The four area marks from the stage's settings, largest first.
  void BuildAreaMarks();

  // ---- per sub-step ----

  // The screen rectangle from the position and the camera.
  void UpdateScreenRect();
  void SavePrevFacing() { m_nPrevFacing = m_Facing; }
  void SavePrevState() { m_nPrevLastCellBelow = m_nLastCellBelow; }

  // ---- pickups ----

  // 0 when the object (by key) was already picked up once, else 1.
  int HasTaken(int32_t key) const;
  void ForgetTaken(int32_t key);
  // Runs an item's commands through the item and system command table, each
  // after the pending arranges: 2 when the hero's hp is 0 or less after a
  // command, the first nonzero result of a command, else 0.
  int RunItemCommands(cSafeVector<cCommand>& commands);
  // Whether a get-item may run one more item list inside the pickup under
  // way (always, when none is). `firstRefusal` is set on the first refusal of
  // the pickup, the one to report.
  static bool MayRunNestedItemList(bool& firstRefusal);

  // ---- virtual operations ----

  void UpdateHitBoxes(int scale) override;
  void UpdateHitRectX() override;
  void UpdateHitRectY() override;
  // The camera follows the hero, then the stage-bounds constraint (the
  // scroll mode while flying, the area mode while walking).
  int ConstrainX() override;
  int ConstrainY() override;
  int MoveX() override;
  int MoveY() override;
  int Update(int deathMode) override;
  void Jump(cCmdState& state) override;

  // ---- members, in order ----
  cKeyInput* m_pKeys = nullptr;
  int32_t m_nJumpHold = 0;     // sub-steps the jump key has been held in this jump
  int32_t m_bJumpReady = 1;    // a new jump may start
  int32_t m_bJumpBanned = 0;   // standing on a jump-ban block
  double m_FootPushBase = 0.0; // 4 / sub-steps
  int32_t m_bJumpHandled = 0;  // the jump command ran in this sub-step
  int32_t m_nPrevFacing = 0;
  // Keys of the objects whose pickup the hero has made once.
  cSafeVector<int32_t> m_Taken;
  // The effect block under the feet: its kind (3 scales the walking push),
  // value and timer, and the countdown of an item block.
  int32_t m_nFootKind = 0;
  double m_FootValue = 0.0;
  int32_t m_nFootTimer = 0;
  int32_t m_nItemBlockTimer = 0;
  int32_t m_nFrameCounter = 0;
  cHitRect m_PickupRect;
  cSafeVector<cAreaMark> m_AreaMarks;
  // Change-flow commands met while the hero's own flows ran, applied after
  // its flows in the same flow pass (the hero's flow list never changes while
  // it is walked).
  cSafeVector<cCommand> m_ChangeFlowQueue;
  // Arranges queued by item and system commands, applied to the next one.
  cSafeVector<cArrangeEntry> m_Arranges;
};

// The player characters; element 0 is the hero. Defined with every global
// object in app/Globals.cpp.
extern cSafeVector<cHero> Player;

// The hero of the running stage, or null while there is none.
cHero* StageHero();

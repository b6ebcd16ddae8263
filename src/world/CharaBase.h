#pragma once
// cCharaBase: everything a character on the stage is, apart from what only
// ordinary characters (cChara) or the hero (cHero) add: its own copy of its
// definition (cCharaData), its run-time status and variables, the run-time
// states of its flows with the group switches they raise, its links to other
// characters and to shots, its movement state (impulses, jump and contact
// flags, the previous position), its animation playback list and chara
// effect, and its two hit rectangles.
//
// Most behaviour is read straight from the embedded definition, so changing a
// definition member of a live character (as the status commands do) changes
// its behaviour at once.
//
// The flows. The character keeps its flows in m_Data.m_Flows and one
// cFlowState per flow in m_FlowStates, same order (world/FlowState.h). The flow
// operations below (InstallFlows, FireTrigger, RunFlowPass, ...) are the
// flow interpreter's, reached through world/FlowServices.h; the bookkeeping of
// the lists themselves (relinking, the per-frame flags, the group switches)
// is the character's own.
//
// Links. Target slots and the parent are plain pointers to other characters.
// Every pointer is mirrored by a back-link in the other object's link list
// ({this, slot} for a target slot, {this, kLinkChild} for the parent), so a
// character that goes away can clear every pointer to it. Characters
// therefore live in containers whose elements do not move.
//
// Sizes and positions are world dots (doubles) as in cGameObj; counters are
// sub-steps unless named frames.
//
// Virtual operations, in slot order: those of cGameObj, then CopyChara,
// GetDropItem, ConstrainX, ConstrainY, MoveX, MoveY, Update, Jump. The base's
// own versions do nothing (0, null); ordinary characters and the hero give
// them their bodies.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/CharaData.h"
#include "world/AnimePlayer.h"
#include "world/CharaEffectPlayer.h"
#include "world/FlowState.h"
#include "world/GameObj.h"

class cItem;
class cKeyInput;
class cKeyCond;
class cShot;

// Character variables: entries 1 to 8 are v1 to v8; entry 0 is not addressed.
inline constexpr int kCharaVarCount = 9;
// Target slots "ターゲット1" to "ターゲット4" are slots 0 to 3; slot 0 holds the
// hero after set-up.
inline constexpr int kTargetSlotCount = 4;
// Flow groups: 0 none, 1 to 26 "A" to "Z".
inline constexpr int kFlowGroupCount = 27;
// Frames an HP or SP gauge shows after a change, and its bar length in dots.
inline constexpr int kGaugeFrames = 120;
inline constexpr int kGaugeDots = 50;

// Kinds of a link. A character link {other, 0..3} says other has this
// character in target slot k; {other, kLinkChild} says other was summoned by
// this one. A shot link {shot, kLinkTarget} says the shot targets this
// character; {shot, kLinkChild} says this character fired it.
inline constexpr int32_t kLinkTarget = 0;
inline constexpr int32_t kLinkChild = 4;

struct cCharaLink {
  cCharaBase* m_pChara = nullptr;
  int32_t m_nKind = 0;

  friend bool operator==(const cCharaLink&, const cCharaLink&) = default;
};

struct cShotLink {
  cShot* m_pShot = nullptr;
  int32_t m_nKind = 0;

  friend bool operator==(const cShotLink&, const cShotLink&) = default;
};

// An HP or SP gauge, shown for a while after a change.
struct cGauge {
  int32_t m_Timer = 0;      // frames left
  double m_Trail = 0.0;     // dots of the changed part (negative for a loss)
  double m_TrailStep = 0.0; // how much the trail shrinks per drawn frame; below 60 frames left it is gone
  int32_t m_Bar = 0;        // dots of the value left, out of kGaugeDots
};

// An object that may not hit this character again yet.
struct cNoHitEntry {
  int32_t m_Key = 0;     // the object's key
  int32_t m_Frames = 0;  // sub-steps left
};

// One extra animation played over the character's base animation: started by
// a flow's animation cue (its key is the flow key) or by the animation command.
struct cAnimePlayback {
  cAnimePlayer m_Player;
  int32_t m_bTimed = 0;
  int32_t m_TimeLeft = 0;   // frames, counted down while not stopped
  int32_t m_ExtraTime = 0;  // frames
  int32_t m_AnimeKey = 0;   // what it was started for (a flow key)
  int32_t m_bStopped = 0;
};

class cCharaBase : public cGameObj {
 public:
  // Base constructed; every list empty but the target slots (4 nulls), the
  // group switches (27 zeros each) and the variables (9 zeros); the
  // definition at its defaults; every value 0 except last wall -1.
  cCharaBase();
  // A copy refers to its own flows: the flow states are re-linked to the
  // copy's flow list. Targets, parent and links are copied as they are.
  cCharaBase(const cCharaBase& other);
  cCharaBase& operator=(const cCharaBase& other);
  ~cCharaBase() override = default;

  // ---- centring (cGameObj) ----

  // Centring on a screen position: the graphic's screen centre from the last
  // UpdateRect moves onto x (or y), then ConstrainX (or ConstrainY) keeps the
  // character in its area. The Stop forms also zero the four
  // accumulated-movement values of the command state (when one is given).
  void SetCenter(int x, int y) override;
  void SetCenterStop(int x, int y, cCmdState* moveState) override;
  void SetCenterX(int x) override;
  void SetCenterXStop(int x, cCmdState* moveState) override;
  void SetCenterY(int y) override;
  void SetCenterYStop(int y, cCmdState* moveState) override;

  // ---- character operations, in slot order ----

  // Copies every member of `other` (flow states re-linked to this
  // character's flows) and the base's members except the screen rectangle,
  // the hit offsets and the drawing and collision sizes.
  virtual void CopyChara(const cCharaBase& other);
  // The item the character drops when it dies; none here.
  virtual cItem* GetDropItem() { return nullptr; }
  // Keep the character in its area after a position change; the character
  // classes constrain, the base does nothing (0).
  virtual int ConstrainX() { return 0; }
  virtual int ConstrainY() { return 0; }
  // One sub-step of motion along an axis; the code tells the play step what
  // happened (0 nothing). The base does not move.
  virtual int MoveX() { return 0; }
  virtual int MoveY() { return 0; }
  // The per-sub-step update (flows, animation); nonzero ends the character
  // (it died or vanished). In death mode only the death flows run.
  virtual int Update(int /*deathMode*/) { return 0; }
  // Starts or continues the character's jump for a jump command.
  virtual void Jump(cCmdState& /*moveState*/) {}

  // ---- set-up ----

  // The common part of character set-up: copy index; links, targets,
  // parent, group switches, pending flags emptied; spawn position; every
  // movement, contact and status value reset (last wall -1, airborne 1); with
  // a definition: its copy, hp = mhp, sp = msp; moves-with-scroll, light
  // radius and deceleration from the definition; the spawn chara effect; the
  // base animation set (forced); no playback entries.
  void ResetState(const cCharaData* definition, double spawnX, double spawnY, int copyIndex);
  // Target slot 0 = the hero (with its back-link {this, 0}); parent = `parent`
  // (with its back-link {this, kLinkChild}). Back-links are never duplicated.
  void SetParent(cCharaBase* parent);
  // Empties target slot `slot` (removing this character's back-links from
  // its occupant), then, for an object, fills it and adds the back-link
  // {this, slot} unless present. `replace` is kept for callers that choose
  // between the two list operations; both give the same list. A slot outside
  // 0 to 3 changes nothing.
  void SetTarget(int slot, cCharaBase* object, int replace);
  // The occupant of target slot `slot` (0 to 3), or null.
  cCharaBase* Target(int slot) const;

  // ---- status ----

  // Adds `amount` to hp within 0 .. mhp. Unless forced, a loss (amount 0 or
  // less) does nothing while the definition's invincibility is nonzero. A
  // gain is cut to what fits below mhp. 1 when hp reached 0 (no gauge then);
  // otherwise 0, with the gauge shown when asked.
  int AddHp(int32_t amount, int forced, int showGauge);
  int AddSp(int32_t amount, int showGauge);
  // The gauge after a change of `amount` (nothing for 0): 120 frames, the bar
  // and the trail in dots of kGaugeDots for the maximum (a maximum below 1
  // counts as 1).
  void ShowHpGauge(int32_t amount);
  void ShowSpGauge(int32_t amount);
  // The deceleration from the definition's ease of stopping: stop x 0.01 /
  // S squared.
  void RefreshStopping();

  // ---- flows: bookkeeping ----

  // Once a frame: every flow state's triggered and started flags, and every
  // group started switch, cleared.
  void ClearFlowFlags();
  // For every state i: flow index i, flow i of m_Data.m_Flows, that flow's key
  // conditions and, for command j, that flow's command j. Run after every
  // change of the flow list or of the states. States beyond the flows are
  // dropped.
  void RelinkFlowStates();
  // The first of the ten direction slots of `keys` whose newest run is held;
  // 0 when none is.
  static int GetTriggerKeySlot(const cKeyInput& keys);
  // A count of the replacements of any character's m_Data, so a view of the
  // block characters can tell that it is still current.
  static std::uint64_t DataStamp();
  static void NoteDataChanged();

  // ---- flows: the interpreter's operations (world/FlowServices.h) ----

  // Builds flow states (add mode 0: one per flow of this character's own
  // list, replacing all; 1: copies of `flows` inserted at `position`, or at
  // the end when it is not a valid index). The number of flows passed.
  int InstallFlows(cSafeVector<cFlow>& flows, int addMode, int position);
  // Starts the flows of trigger `trigger` whose gates pass. FireFlowTrigger
  // also names the object the trigger comes with and a flow-ID filter (0 none).
  void FireTrigger(int trigger);
  void FireFlowTrigger(int trigger, cCharaBase* other, int flowIdFilter);
  void CopyFlowStates(const cSafeVector<cFlowState>& states);
  void RemoveFlow(int index);
  void RunFlowAnimeCues();
  // The flow pass of one sub-step (flow/FlowRuntime.h): 1 when the update must
  // end at once (the character vanished, or its hp dropped to 0 outside death
  // mode), else 0.
  int RunFlowPass(int deathMode);

  // ---- animations ----

  // Takes animation set `set` of the database for the base animation (unless
  // forced, nothing when it is the current set): one script per animation of
  // the set, each frame {pattern, tenths x 6, lock 1}, looping.
  void SetBaseAnimeSet(int set, int forced);
  // Of the playback entries with `key`: removes them all / removes those whose
  // time is up and marks the others stopped / clears their stopped mark.
  void RemoveAnime(int32_t key);
  void StopAnime(int32_t key);
  void ResumeAnime(int32_t key);

  // ---- movement (CharaMotion.cpp) ----

  // Keeps the footing when the scale changes: the character grows upward.
  void ReanchorY(int newScale, int oldScale) override;
  // Adds the stage's gravity per sub-step unless the character flies, rides,
  // has gravity suspended or is knocked upward.
  void ApplyGravity();
  // The four contact flags cleared.
  void ClearLRUD();
  void SavePrevPosition();
  void RestorePrevPosition();
  // A downward block contact: the character stands on the cell below (its
  // bottom moved up by whole dots onto the last dot above it, keeping its
  // fraction), its jump and airborne state cleared;
  // triggers 9, 13 and 15.
  void Land();
  // An upward block contact: the character starts falling from the next cell
  // boundary below its top; triggers 9, 13 and 14.
  void HitCeiling();
  // A vertical contact with a block character: no longer riding; stopped
  // vertically unless knocked; `pushed` marks it pushed.
  void StopOnBlockChara(int pushed);
  // Whether ground is under the feet (the cell below is solid for the
  // character) or the character rides a block character.
  int IsOnGround() const;
  // A knock-back of strength `strength` (a pull when negative) in the
  // direction of the source velocity, weakened by the character's impd.
  void Knockback(int strength, double sourceVX, double sourceVY);
  // Knock-back by a character's body: its imp and its velocities.
  void KnockbackFromChara(const cCharaBase& attacker);
  // Knock-back by a shot: its knock-back byte, along its velocities when it
  // flies by them, else along its facing (Damage.cpp).
  void KnockbackFromShot(const cShot& shot);
  // Death (Damage.cpp): trigger 3, the death flows at once, the score, the
  // dropped item applied to the hero; then unlinked, dead, death effect. 1
  // when the stage ends with this death (the character then stays linked
  // and not dead), else 0.
  int Die();
  // The vertical impulse applied to the vertical velocity (called first by
  // MoveY).
  void ApplyImpulseY();
  // A nonzero impulse moves toward 0 by 1 / S per sub-step, not past it.
  void DecayImpulseX();
  void DecayImpulseY();
  // Puts the box on a map column or row (stage cells), re-anchored for the
  // scale, then constrained.
  void SetCellX(int column);
  void SetCellY(int row);
  void SetCell(int column, int row);
  // The attack rectangle (and its scale-1 copy) of size w x h, centred in the
  // cell horizontally, and vertically centred or on the cell's bottom.
  void SetAttackRect(int bottomAligned, int w, int h);
  // The definition's scale, at least 1.
  int Scale() const { return m_Data.m_nScale > 0 ? m_Data.m_nScale : 1; }

  // ---- members, in order ----

  // Target slots 0 to 3 (kTargetSlotCount entries).
  cSafeVector<cCharaBase*> m_Targets;
  // The character that summoned this one.
  cCharaBase* m_pParent = nullptr;
  cSafeVector<cCharaLink> m_CharaLinks;
  cSafeVector<cShotLink> m_ShotLinks;
  // 1: hits made by this character fire the parent's hit triggers, with this
  // flow-ID filter, instead of its own.
  int32_t m_bRelayToParent = 0;
  uint8_t m_nRelayFlowId = 0;
  // The character's own copy of its definition; its flows are the character's.
  // CopyChara and the set-up from a definition count each change of it (see
  // DataStamp); code that changes whether a listed character is a block
  // character in another way calls NoteDataChanged.
  cCharaData m_Data;
  cSafeVector<cFlowState> m_FlowStates;
  // Indexed by flow group (kFlowGroupCount entries each).
  cSafeVector<uint8_t> m_GroupRunning;
  cSafeVector<uint8_t> m_GroupEnded;
  cSafeVector<uint8_t> m_GroupStarted;
  // 1: some flow of a group ended this sub-step; the flow pass then frees
  // every ended group.
  int32_t m_bGroupEndedPending = 0;
  // 1: some flow state asked to be deleted.
  int32_t m_bDeletePending = 0;
  // Next flow key.
  int32_t m_nFlowKeyCounter = 0;
  // The placement's cell centre.
  double m_SpawnX = 0.0;
  double m_SpawnY = 0.0;
  // 1: a move command set the animation this sub-step.
  int32_t m_bMovedByCmd = 0;
  // Velocity pushed onto the character by knock-back.
  double m_ImpulseX = 0.0;
  double m_ImpulseY = 0.0;
  int32_t m_bKnockback = 0;
  double m_PrevImpulseY = 0.0;
  // Cleared every sub-step; while set gravity is not added.
  int32_t m_bNoGravity = 0;
  // Pushed back horizontally by a block character this sub-step: its key and
  // its x at the push.
  int32_t m_bPushedX = 0;
  int32_t m_nPushedByKey = 0;
  double m_PushedByX = 0.0;
  // The side of the last wall the character was pushed out of: -1 none yet,
  // 0 a wall on its left, 1 on its right.
  int32_t m_nLastWall = -1;
  int32_t m_bAirborne = 0;
  int32_t m_bJumpRising = 0;
  int32_t m_bJumped = 0;
  int32_t m_bCeilingHit = 0;
  int32_t m_nOffGround = 0;  // sub-steps without ground under the feet
  // Map cells (indices into g_MapGrid, -1 none): under the feet, of the last
  // ground contact, and that of the sub-step before.
  int32_t m_nCellBelow = -1;
  int32_t m_nLastCellBelow = -1;
  int32_t m_nPrevLastCellBelow = -1;
  // Sub-steps during which being squeezed is not fatal.
  int32_t m_nCrushGrace = 0;
  // While a lock is set the character is drawn at the locked screen position.
  int32_t m_bScreenLockX = 0;
  int32_t m_bScreenLockY = 0;
  int32_t m_nLockedScreenX = 0;
  int32_t m_nLockedScreenY = 0;
  int32_t m_bDead = 0;
  int32_t m_nDeathFrames = 0;
  // Block contacts of the current sub-step.
  int32_t m_bContactLeft = 0;
  int32_t m_bContactRight = 0;
  int32_t m_bContactUp = 0;
  int32_t m_bContactDown = 0;
  int32_t m_bOnBlockChara = 0;
  int32_t m_bRiding = 0;
  // The block character ridden: its key and its box as last seen.
  int32_t m_nRiddenKey = 0;
  double m_RiddenX = 0.0;
  double m_RiddenY = 0.0;
  double m_RiddenRight = 0.0;
  double m_RiddenBottom = 0.0;
  // The box of the previous sub-step.
  double m_PrevX = 0.0;
  double m_PrevY = 0.0;
  double m_PrevRight = 0.0;
  double m_PrevBottom = 0.0;
  int32_t m_Hp = 0;
  cGauge m_HpGauge;
  int32_t m_Sp = 0;
  cGauge m_SpGauge;
  // v1 to v8 at 1 to 8.
  cSafeVector<int32_t> m_Vars;
  int32_t m_nNoHitTimer = 0;
  cSafeVector<cNoHitEntry> m_NoHitList;
  // Extra animations, newest last.
  cSafeVector<cAnimePlayback> m_AnimeList;
  cCharaEffectPlayer m_CharaEffect;
  // 1 once the vanish command removed the character; its update stops at once.
  int32_t m_bVanished = 0;
  // Dots: sight x 16.
  int32_t m_nLightRadius = 0;
  // The character-against-character rectangle, and the body that shots hit.
  cHitRect m_AttackRect;
  cHitRect m_ShotRect;
};

// 1 when both links name the same object with the same kind.
inline bool IsSameLink(const cCharaLink& a, const cCharaLink& b) { return a == b; }

// One key condition against the present state of a key device's histories:
// each of the 19 keys that is not "--" matches when its newest run is held
// ("押") or not held ("離"). Rule 0: no key missed; 1: at least one matched;
// 2: exactly one matched; any other rule holds.
bool KeyCondHolds(const cKeyInput& keys, const cKeyCond& cond);

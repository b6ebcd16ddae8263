#pragma once
// cShot: every projectile and every sword swing on the stage, and the stage's
// shot list.
//
// A shot carries its own copy of the firing command's cEdShot, so changing
// the command later leaves shots in flight alone. A sword is a cShot whose
// m_IsShot is 0: it follows its owner through the frames of a sword type
// (SwordType database) instead of flying.
//
// Links. m_Owner and m_Target point at characters; each is mirrored in that
// character's shot links ({shot, kLinkChild} for the owner, {shot,
// kLinkTarget} for the target), so a character that goes away clears the
// pointer (UnlinkChara), and a shot takes its links out when it is destroyed
// (~cShot; an erased shot is destroyed once no walk of g_ShotList is running,
// ObjList.h). A shot therefore lives at one address: only in g_ShotList,
// whose elements never move. AddShot links the listed shot; the copy it was
// made from (the temporary a formation builds) holds no links. Each shot
// remembers where its two links sit in the characters' lists, so adding and
// removing one takes no search however many shots a character has fired.
//
// Factions. A shot's faction is its cEdShot "勢力" (0 to 7; also its
// pass-through number m_PassNo); the contact passes group the shot list by
// it, keeping firing order (Contact.h). An erased shot is marked
// (m_bErased), so a pass that still holds it skips it.
//
// Per sub-step (UpdateShots, in list order): UpdateShotMotion (remove on 1),
// gravity, MoveY, MoveX, on sub-step 1 the shot-area test (shots only), then
// HitsBlock (remove on 1).
//
// Graphics: the shot sheet "bmp\Shot.bmp" has 16 by 16 cells; graphic g
// (1 to 120) is row g mod 30, columns 2 x (g div 30) and the next one for
// pattern 1. Swords draw from their frame's sword-type image.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/EdShot.h"
#include "world/GameObj.h"
#include "world/ObjList.h"

// The factions, 0 to 7, each with its own contact lists.
inline constexpr int kFactionCount = 8;
// The faction list a faction number stands for: a number outside 0 to 7 goes
// to list 0.
inline int FactionIndex(int faction) { return faction >= 0 && faction < kFactionCount ? faction : 0; }

class cCharaBase;
class cSwordType;
struct DDSURFACEDATA;

// The stage's removal areas for shots of player-operated and of
// computer-operated owners (cStageData::m_Areas).
inline constexpr int kShotAreaPlayer = 3;
inline constexpr int kShotAreaComputer = 4;
struct FormationStep;

class cShot : public cGameObj {
 public:
  // An empty shot: members zero, its cEdShot at its defaults, no links.
  cShot();
  // Copies every member; the copy holds no links (see above).
  cShot(const cShot& other);
  cShot& operator=(const cShot& other);
  // Removes the links this shot holds in its owner and its target.
  ~cShot() override;

  // Sets the shot up from the firing character, the command type (11 shot,
  // 12 sword), the command's cEdShot (a scale of 0 there becomes 1) and the
  // formation step.
  void Init(int objectKey, cCharaBase& owner, int commandType, cEdShot& edShot, const FormationStep& step);

  // ---- per sub-step ----

  // The motion step: 0 keep, 1 remove (lifetime, distance, sword end, lost
  // owner).
  int UpdateShotMotion();
  // Apply the velocities; always 0.
  int MoveX();
  int MoveY();
  // Adds the stage's gravity per sub-step unless flying.
  void ApplyGravity();
  // Keeps the shot inside the world horizontally: 3 when clamped, else 0.
  int ConstrainX();
  // 1 when the shot touches a block that stops it.
  int HitsBlock() const;
  // Draws a shot from the shot sheet at its screen rectangle (frozen: the
  // current pattern without advancing the animation). Nothing for a hidden
  // shot, a graphic outside 1 to 120 or a pattern outside 0 and 1. Swords
  // draw from the sword-type images, which the stage drawing keeps.
  void Draw(DDSURFACEDATA* target, int frozen);
  // The sword step: 0 keep, 1 remove.
  int UpdateSword();
  // Steer toward a character (homing).
  void HomeVelocity(cCharaBase& target);
  // The acceleration split along (vx, vy) into m_AccelX / m_AccelY.
  void SplitAccel(double vx, double vy);

  // ---- links ----

  // The links {this, kLinkTarget} in the target and {this, kLinkChild} in the
  // owner, unless present.
  void LinkToTarget();
  void LinkToOwner();

  // ---- cGameObj ----
  void UpdateHitBoxes(int scale) override;
  void ReanchorY(int newScale, int oldScale) override;
  void UpdateHitRectX() override;
  void UpdateHitRectY() override;

  // The sword type of a sword (its cEdShot motion byte), or the first one
  // when the index is outside the database; null when there is none.
  const cSwordType* SwordType() const;
  bool IsDestructible() const { return m_EdShot.m_bClash != 0; }
  // The faction list the shot is in: its faction, or 0 when that is outside
  // 0 to 7.
  int Faction() const;

  // ---- members, in order ----
  int32_t m_OwnerKey = 0;
  int32_t m_IsShot = 1;
  int32_t m_RangeLeft = 0;
  int32_t m_LifeLeft = 0;
  int32_t m_Tick = 0;
  int32_t m_SwordFrame = 0;
  double m_Accel = 0.0;
  double m_AimSpeed = 0.0;
  double m_MotionVX = 0.0;
  double m_MotionVY = 0.0;
  int32_t m_AccelOn = 0;
  int32_t m_MotionStart = 0;
  int32_t m_MotionEnd = 0;
  int32_t m_MotionDone = 0;
  double m_WavePhase = 0.0;
  double m_WavePrev = 0.0;
  double m_WaveSin = 0.0;
  double m_WaveCos = 0.0;
  cHitRect m_Hit;
  // Objects already hit (characters, by address; compared only).
  cSafeVector<const cGameObj*> m_HitList;
  cEdShot m_EdShot;
  cCharaBase* m_Target = nullptr;
  cCharaBase* m_Owner = nullptr;
  int32_t m_HitFlowOn = 0;
  uint8_t m_HitFlowId = 0;
  // The base object's acceleration, per sub-step.
  double m_AccelX = 0.0;
  double m_AccelY = 0.0;
  // The lifetime and distance switches of the copy, as set up.
  int32_t m_bLifeOn = 0;
  int32_t m_bRangeOn = 0;
  // Set when the shot is erased: a pass that holds it skips it from then on.
  int32_t m_bErased = 0;
  // Where this shot's links sit in its owner's and its target's shot links
  // (-1: none put), so taking one out needs no search. Not copied.
  int32_t m_nOwnerLinkAt = -1;
  int32_t m_nTargetLinkAt = -1;

 private:
  void InitRange(const FormationStep& step);
  void SeedBaseVelocity();
  void RunMotion();
  void CopyFrom(const cShot& other);
  void DropLinks();
  // The motion operations (ShotMotion.cpp).
  void StartMotion();
  void AimOnce();
  void Homing();
  void WaveMotion();
  void FallMotion();
};

// The most objects the shot list holds before a new shot is dropped. A busy
// stage keeps a few thousand in flight; the limit only stops commands that
// fire every sub-step from filling memory. Sword swings are never dropped
// for it.
inline constexpr int kMaxShotsInFlight = 16384;

// The stage's shots in firing order, with the running key of the next shot
// or sword.
class cShotList {
 public:
  cObjList<cShot> m_Shots;
  int32_t m_nNextKey = 0;

  // Appends a copy of `shot` (links made for the copy); the listed shot.
  // Null for a shot when the list has no room for it (a sword always goes in).
  cShot* AddShot(const cShot& shot);
  // Whether a new shot fits below kMaxShotsInFlight.
  bool HasRoomForShot() const;
  // Removes the shot (its links go with it).
  void EraseShot(cShot& shot);
};

// The shots of the running stage. Defined with every global object in
// app/Globals.cpp.
extern cShotList g_ShotList;

// ---- services of the play step ----

// Every shot of the list through its sub-step, in list order (the game
// scene's m_nSubStep tells sub-step 1).
void UpdateShots();
// Per sub-step activation: every shot active, on screen by the camera test.
void ActivateShots();
// Every shot removed and the key counter back to 0 (stage set-up and end).
void ClearShots();
int ShotCount();

// 1 when the character's shot links already hold {shot, kind}.
int ContainsLink(const cCharaBase& chara, const cShot* shot, int kind);

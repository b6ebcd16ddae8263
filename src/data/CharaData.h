#pragma once
// cCharaData: one character definition: how it is drawn and animated, its
// status values, how it moves, collides and reacts, when it comes into play,
// and the flows it runs.
//
// The same record is an entry of the common or of a stage palette, a character
// placed on a stage (with its map cell and the item it carries), and the
// definition copied into every character object on the stage. A placed
// character may take any of 37 property groups from a palette entry instead of
// its own values (inheritance), as blocks do.
//
// File form: the record form (the plain members of the file's version, then
// the name), then i16 cell x, i16 cell y, i32 carried item, u32 n and n flag
// bytes, u32 n and n conditions, u32 n and n flows.
//
// Palette references are resolved against the palettes the caller passes
// (cPaletteContext). The overrides of the record base without one treat the
// character as standing on its own: cPaletteContext::Standalone().

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Condition.h"
#include "data/DataRecord.h"
#include "data/Flow.h"
#include "data/GraphicKind.h"
#include "data/PaletteContext.h"
#include "data/PaletteDefinition.h"

// Inheritance groups of a character; the flag list has one entry per group.
enum eCharaInheritGroup : int {
  CHARA_GROUP_NAME = 0,
  CHARA_GROUP_OPERATOR = 1,       // operated by, player number
  CHARA_GROUP_PASS = 2,           // pass-through number
  CHARA_GROUP_CID = 3,
  CHARA_GROUP_CONDITIONS = 4,     // appearance conditions, rule, latch
  CHARA_GROUP_FACING = 5,         // initial facing
  CHARA_GROUP_COPIES = 6,         // extra copies
  CHARA_GROUP_COPY_X = 7,         // copy x base, step, mirror
  CHARA_GROUP_COPY_Y = 8,         // copy y base, step, mirror
  CHARA_GROUP_GRAPHIC = 9,        // graphic kind, index, row
  CHARA_GROUP_ANIME_SET = 10,
  CHARA_GROUP_Z = 11,
  CHARA_GROUP_TRANSPARENT = 12,
  CHARA_GROUP_SPAWN_EFFECT = 13,  // spawn chara effect, its list, its value
  CHARA_GROUP_DEATH_EFFECT = 14,  // death chara effect, its list
  CHARA_GROUP_MARK = 15,          // mark shown, mark
  CHARA_GROUP_FACING_LOCK = 16,
  CHARA_GROUP_FLYING = 17,
  CHARA_GROUP_INVINCIBLE = 18,    // invincibility, flash colour
  CHARA_GROUP_BLOCK_CHARA = 19,
  CHARA_GROUP_SCALE = 20,
  CHARA_GROUP_SCROLL_SYNC = 21,
  CHARA_GROUP_LIGHT = 22,         // light shape, sight
  CHARA_GROUP_MHP = 23,
  CHARA_GROUP_MSP = 24,
  CHARA_GROUP_HIT_RANGE = 25,
  CHARA_GROUP_POWER = 26,
  CHARA_GROUP_IMP = 27,
  CHARA_GROUP_HIT_EFFECT = 28,
  CHARA_GROUP_DEF = 29,
  CHARA_GROUP_IMPD = 30,
  CHARA_GROUP_STOP = 31,
  CHARA_GROUP_ACTIVITY = 32,      // activity range, stay active
  CHARA_GROUP_ACTIVATION = 33,    // activation switch, switch on activation
  CHARA_GROUP_GETSC = 34,
  CHARA_GROUP_SPARE = 35,
  CHARA_GROUP_FLOWS = 36,         // the flows, copied whole
  CHARA_GROUP_COUNT = 37,
};

// The data versions that introduced members of the character record.
inline constexpr int kCharaDefVersion = 168;          // def (group 29)
inline constexpr int kCharaEffectListVersion = 196;   // the two chara-effect lists
inline constexpr int kCharaHitRangeVersion = 201;     // attack hit range (group 25)
inline constexpr int kCharaHitRangeKindVersion = 206; // hit range kind 2 became 2 and 3
inline constexpr int kCharaScrollSyncVersion = 210;   // auto-scroll sync (group 21)
inline constexpr int kCharaFlashColourVersion = 285;  // flash colour

// Who operates a character.
enum eCharaOperator : int {
  CHARA_BY_PLAYER = 0,
  CHARA_BY_COMPUTER = 1,
};

class cCharaData : public cPaletteDefinition<cCharaData, CHARA_GROUP_COUNT, &cPaletteView::m_pCharas,
                                              &cPaletteView::Chara, &cPaletteView::CharaCount> {
 public:
  using cPaletteDefinition::Read;
  using cPaletteDefinition::Write;

  // Registered at DATA_VERSION, with the defaults of Reset.
  cCharaData();

  // Clear; the inheritance flags become exactly 37 zeros; mhp 10, stop 10,
  // operated by the computer, pass-through number 1, z 3, spawn chara effect
  // value 1, def 0, graphic kind 1, graphic index 0, scale 1, facing lock 1,
  // spare byte 1. The cell position, carried item, conditions and flows are
  // not touched.
  void Reset();
  // Everything as a fresh character has it: Reset, cell 0, carried item 0, no
  // conditions, no flows. What entry 0 of a palette list (the "none"
  // character) is made.
  void ResetToNone();

  void RegisterMembers(int nVersion) override;

  // The character's file form; the purge of flows flagged for removal (unless
  // KeepFlaggedFlows); the upgrades of older files; then ApplyInherit and
  // Validate with the given palettes.
  bool Read(cByteReader& in, const cPaletteContext& palettes);
  // Validate with the given palettes, then the file form. Older versions are
  // written only as test fixtures, exactly as the record holds them.
  void Write(cByteWriter& out, const cPaletteContext& palettes);

  // ApplyInherit (cPaletteDefinition) copies the flagged groups of the 37.
  // Repairs references (inheritance, special bitmap, animation set, chara
  // effects, hit effect), a scale below 1, copies and block-character state of
  // a player-operated character; validates every flow and drops the empty
  // ones (ID, group and trigger 0, no conditions, key conditions or commands).
  void Validate(const cPaletteContext& palettes);
  // The flows' palette references, repaired against the palettes' sizes.
  void ValidateShotRefs(const cPaletteContext& palettes);

  // Copies one inheritance group from `source` into this character.
  void CopyGroup(int nGroup, const cCharaData& source);

  // Copy offsets, in dots, of copy number `nCopy` of a placement whose facing
  // value is `nFacing`: nCopy x step + base, negated when the facing value is
  // 1 and that axis mirrors.
  double GetCopyOffsetX(int nCopy, int nFacing) const;
  double GetCopyOffsetY(int nCopy, int nFacing) const;

  // Registered members, in file order (a version in brackets: stored from that
  // data version on).
  std::uint8_t m_nInheritSource = 0;     // ePaletteSource
  std::int16_t m_nInheritIndex = 0;      // 0: no inheritance
  std::uint8_t m_nAppearRule = 0;        // 0 every appearance condition must hold, 1 any one
  std::uint8_t m_bAppearLatch = 0;
  std::uint8_t m_nFacing = 0;            // initial facing: 0 left, 1 right
  std::uint8_t m_nExtraCopies = 0;       // a placement spawns 1 + this many characters
  std::int16_t m_nCopyXBase = 0;
  std::int16_t m_nCopyXStep = 0;
  std::int16_t m_nCopyYBase = 0;
  std::int16_t m_nCopyYStep = 0;
  std::uint8_t m_bCopyXMirror = 0;
  std::uint8_t m_bCopyYMirror = 0;
  std::int16_t m_nGraphic = 0;
  std::uint8_t m_nGraphicKind = 1;       // eGraphicKind
  std::int16_t m_nGraphicRow = 0;
  std::int16_t m_nAnimeSet = 0;          // AnimeSet database index
  std::uint8_t m_nZ = 3;                 // `z`: draw layer 0-7
  std::uint8_t m_bTransparent = 0;
  std::int16_t m_nSpawnEffect = 0;       // CharaEffect index started at set-up; 0 none
  std::uint8_t m_nSpawnEffectList = 0;   // [196] template list 1 or 2
  std::uint8_t m_nSpawnEffectValue = 1;
  std::int16_t m_nDeathEffect = 0;       // CharaEffect index started at death; 0 none
  std::uint8_t m_nDeathEffectList = 0;   // [196]
  std::uint8_t m_bMarkShown = 0;
  std::int16_t m_nMark = 0;              // `mark`: 0-119
  std::uint8_t m_nOperator = CHARA_BY_COMPUTER;  // eCharaOperator
  std::uint8_t m_nPlayerNumber = 0;      // input device of a player-operated character
  std::uint8_t m_nPassNumber = 1;        // cells of this pass-through value do not block it
  std::uint8_t m_nCid = 0;               // `cid`: 0-99
  std::uint8_t m_nFlying = 0;            // 0 walking, 1 through blocks, 2 blocked, 3 killed by blocks
  std::uint8_t m_bFacingLock = 1;
  std::uint8_t m_nInvincible = 0;        // 0 off, 1 shots hit without damage, 2 shots pass
  std::uint8_t m_nFlashColour = 0;       // [285] 1-9
  std::uint8_t m_bBlockChara = 0;        // solid like a block, can be ridden
  std::uint8_t m_nScale = 1;             // 1-10
  std::uint8_t m_bScrollSync = 0;        // [210] moves with the automatic scroll
  std::uint8_t m_nLightShape = 0;        // 0 none, 1-4 circle or square, round or ahead
  std::uint8_t m_nSight = 0;             // `sight`: light radius in half blocks, 0-40
  std::int32_t m_nMhp = 10;              // `mhp`
  std::int32_t m_nMsp = 0;               // `msp`
  std::int16_t m_nStop = 10;             // `stop`: deceleration, 0-200
  std::uint8_t m_nHitRange = 0;          // [201] attack hit range 0-3
  std::int32_t m_nPower = 0;             // `power`
  std::int8_t m_nImp = 0;                // `imp`: knock-back given, -20 to 20
  std::int16_t m_nHitEffect = 0;         // Effect database index where it hits
  std::int32_t m_nDef = 0;               // [168] `def`
  std::uint8_t m_nImpd = 0;              // `impd`: knock-back resistance 0-20
  std::int32_t m_nGetsc = 0;             // `getsc`: score when defeated
  std::uint8_t m_nSpare = 1;             // stored, copied and inherited only
  std::uint8_t m_bSwitchOnActive = 0;    // raises its activation switch while active
  std::int16_t m_nActiveSwitch = 0;
  std::uint8_t m_nActiveRange = 0;       // 0 on screen, 1 x within, 2 y within, 3 anywhere
  std::uint8_t m_bStayActive = 0;
  std::string m_strName;

  // Appended after the record form.
  std::int16_t m_nCellX = 0;          // map cell of a placement, without the grid margin
  std::int16_t m_nCellY = 0;
  // Index into the stage's item placements of the item this character carries
  // and drops; -1 none, as a fresh definition and the palettes' "none" entry
  // hold.
  std::int32_t m_nCarriedItem = -1;
  cSafeVector<std::uint8_t> m_InheritFlags;  // one per eCharaInheritGroup
  cSafeVector<cCond> m_Conds;                // appearance conditions
  cSafeVector<cFlow> m_Flows;

 private:
  void Upgrade(int nVersion);
};

// A list of character definitions, read and written as ReadBlockVector does
// blocks.
bool ReadCharaVector(cByteReader& in, cSafeVector<cCharaData>& charas, const cPaletteContext& palettes);
void WriteCharaVector(cByteWriter& out, cSafeVector<cCharaData>& charas, const cPaletteContext& palettes);

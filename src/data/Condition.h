#pragma once
// Conditions: a test of a variable, a status value, a character state or a
// distance that either holds or not. Lists of conditions gate flows, the
// appearance of placed blocks, characters and items, and (as a cCondList held
// by the command) the flow operation command. These records only store and
// upgrade the data; the game world and the flow interpreter evaluate it.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// Condition kinds (the stored kind byte).
enum eCondKind : int {
  COND_NONE = 0,         // never holds; also every kind above 7
  COND_COMMON_VAR = 1,   // "コモン変数条件": common variable [index] against value
  COND_STAGE_VAR = 2,    // "ステージ変数条件": stage variable [index] against value
  COND_CHARA_VAR = 3,    // "キャラ変数条件": the character's own variable [index]
  COND_STATUS = 4,       // "ステータス条件": left side against right side
  COND_STATUS2 = 5,      // "ステータス条件2": a state value against index
  COND_STATUS3 = 6,      // "ステータス条件3": a character state, or its negation
  COND_DISTANCE = 7,     // "距離条件": a character inside or outside an area
  COND_KIND_COUNT = 8,
};

// The object of a status condition that stands for the system (rather than the
// character itself or one of its four target slots).
inline constexpr int kCondObjectSystem = 5;

// One condition. Which members a kind reads:
//   1-3: m_nIndex (the variable), m_nValue, m_nCompare (0..7, below).
//   4:   left side  = m_nLeftKind (0 status, 1 variable), m_nObject (0 self,
//                     1-4 target slot, 5 system), m_nItem (the status),
//                     m_nLeftVarKind (0 common, 1 stage), m_nIndex;
//        right side = m_nRightKind (0 m_nValue, 1 random m_nRandMin..m_nRandMax,
//                     2 status m_nRightObject/m_nRightItem/m_nRightIndex,
//                     3 variable m_nRightVarKind/m_nRightIndex);
//        m_nCompare, and m_bClamp, the percent flag despite its name: with
//        HP or SP of a character on the left, the right side is that
//        percentage of the character's maximum (within 0..999999); with any
//        other left side the right side becomes 0, moved into the left
//        status's range.
//   5:   m_nObject, m_nItem (state value 1-6 of a character; for the system 0
//        horizontal, 1 vertical automatic scroll), compared with m_nIndex.
//   6:   m_nObject, m_nItem (0 facing left, 1 facing right, 2 on a block, 3 on
//        screen, 4 exists); m_nCompare 0 holds when true, 1 when false.
//   7:   m_nObject (0 the player character, 1-4 target slot), m_nShape (0-6),
//        distance = m_nValue x 16 + m_nRightIndex dots; m_nCompare 0 inside, 1 outside.
//        Its display on the stage reuses bytes the kind leaves free:
//        m_nLeftKind 0 hidden, 1 shown, 2 shown when the editor started the
//        player; m_nRightKind 1 only while the character acts; m_nRightObject
//        the palette colour; m_nRightItem 1 shown on a transparent character.
// Comparisons, tested value v against compared value c: 0 v = c, 1 v != c,
// 2 v >= c, 3 v <= c, 4 v > c, 5 v < c, 6 c = 0 or |v| mod c = 0,
// 7 c != 0 and |v| mod c != 0.
class cCond : public cDataRecord {
 public:
  // Every member 0: a condition that never holds.
  cCond() { Reset(); }
  void Reset() { Clear(); }

  void RegisterMembers(int nVersion) override;
  // The record form, then the upgrade steps for files of older versions.
  bool Read(cByteReader& in) override;

  uint8_t m_nKind = 0;
  uint8_t m_nLeftKind = 0;
  uint8_t m_nLeftVarKind = 0;
  uint8_t m_nObject = 0;
  uint8_t m_nItem = 0;
  int16_t m_nIndex = 0;
  uint8_t m_nRightKind = 0;
  int32_t m_nValue = 0;
  int32_t m_nRandMin = 0;
  int32_t m_nRandMax = 0;
  uint8_t m_nRightObject = 0;
  uint8_t m_nRightItem = 0;
  uint8_t m_nRightVarKind = 0;
  int16_t m_nRightIndex = 0;
  uint8_t m_nCompare = 0;
  uint8_t m_bClamp = 0;
  uint8_t m_nShape = 0;

 private:
  void Upgrade(int nVersion);
};

// Comparison `kind` (0 to 7, above) of a tested value v with a compared value
// c; any other kind gives false. The divisibility tests work on the full
// range: |INT32_MIN| and a divisor of -1 need no exception.
bool CompareByKind(int32_t v, int32_t c, int kind);

// A condition list with its own switches, held by a command through a
// cSharedHolder (the flow operation command's conditions).
class cCondList : public cDataRecord {
 public:
  // Both switches 0, no conditions.
  cCondList() { Reset(); }
  void Reset() { Clear(); }

  void RegisterMembers(int nVersion) override;
  // The two switches, then the conditions, which files up to version 765 lack.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // 0: the list is not used.
  uint8_t m_bEnabled = 0;
  // 0 every condition must hold, 1 at least one.
  uint8_t m_nRule = 0;
  cSafeVector<cCond> m_Conds;
};

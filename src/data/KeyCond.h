#pragma once
// cKeyCond: one key-input condition of a flow. A flow's key conditions form a
// key sequence that the flow interpreter matches against the key histories.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// Keys 0-9 stand for the ten direction histories of the key input, 10-18 for
// the nine button histories.
inline constexpr int kKeyCondKeyCount = 19;

// The required state of one key.
enum eKeyState : uint8_t {
  KEY_STATE_ANY = 0,       // "--": not tested
  KEY_STATE_PRESSED = 1,   // "押"
  KEY_STATE_RELEASED = 2,  // "離"
};

class cKeyCond : public cDataRecord {
 public:
  cKeyCond() { Reset(); }
  // Clear, then the key list made exactly 19 long: keys it already holds keep
  // their states, added keys are not tested (a fresh key condition tests none).
  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form, then u32 n and n key bytes. The key list always ends up
  // 19 long: missing keys are not tested, surplus bytes (only ever in damaged
  // files) are dropped, so the matcher can index every key.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // eKeyState of each key; always kKeyCondKeyCount entries after Reset and Read.
  cSafeVector<uint8_t> m_Keys;
  // 1: the direction keys are given for a character facing right and mirrored
  // (1<->2, 5<->7, 6<->8) when it faces left.
  uint8_t m_bFacingRelative = 0;
  // A pressed key counts when held for m_nMinFrames to m_nMaxFrames frames, or
  // for any positive time with m_bAnyDuration.
  int16_t m_nMinFrames = 0;
  int16_t m_nMaxFrames = 0;
  uint8_t m_bAnyDuration = 0;
  // 0 every tested key must match, 1 at least one, 2 exactly one.
  uint8_t m_nRule = 0;
};

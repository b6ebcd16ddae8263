#pragma once
// The animations of characters (Anime.dat) and the animation sets that group
// them by character state (AnimeSet.dat).

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// One frame of an animation.
class cAnimeFrameData : public cDataRecord {
 public:
  cAnimeFrameData() = default;
  cAnimeFrameData(int32_t nPattern, int32_t nDuration, int32_t nLock)
      : m_nPattern(nPattern), m_nDuration(nDuration), m_nLock(nLock) {}

  void RegisterMembers(int nVersion) override;

  // The cell within the character's graphic row.
  int32_t m_nPattern = 0;
  // Tenths of a second.
  int32_t m_nDuration = 0;
  // 1: the frame cannot be interrupted by another animation request.
  int32_t m_nLock = 0;
};

// One animation: a name and its frames. The three spare members are carried
// for the editor and written back unchanged.
class cAnime : public cDataRecord {
 public:
  // One frame of duration 1, spare byte 1.
  cAnime();
  void Reset();

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  std::string m_strName;
  int16_t m_nSpareWord = 0;
  uint8_t m_nSpareByte = 1;
  int16_t m_nSpareWord2 = 0;
  cSafeVector<cAnimeFrameData> m_Frames;
};

// The character states every animation set has.
enum eAnimeState : int {
  ANIME_STATE_STAND = 0,
  ANIME_STATE_WALK = 1,
  ANIME_STATE_FLY = 2,
  ANIME_STATE_FLY_MOVE = 3,
  ANIME_STATE_COUNT = 4,
};

// The animations of one kind of character, one per state, with the row
// offsets added to the graphic row while it is invincible, a block character
// or flying.
class cAnimeSet : public cDataRecord {
 public:
  cAnimeSet();
  // Offsets 4, 8, 0 and four states named "立ち", "立ち移動", "飛行", "飛行移動".
  void Reset();

  void RegisterMembers(int nVersion) override;
  // Always leaves at least the four states: sets of files older than 119 are
  // made exactly four long, those older than 128 get the flying states' names.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  std::string m_strName;
  int32_t m_nInvincibleRow = 4;
  int32_t m_nBlockCharaRow = 8;
  int32_t m_nFlyingRow = 0;
  cSafeVector<cAnime> m_States;
};

#include "data/Anime.h"

namespace {

constexpr int kFlyingRowVersion = 119;
constexpr int kFlyingStatesNamedVersion = 128;
constexpr int kAnimeSpareVersion = 55;

const char* const kStateNames[ANIME_STATE_COUNT] = {"立ち", "立ち移動", "飛行", "飛行移動"};

}  // namespace

void cAnimeFrameData::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nPattern);
  RegisterInt(m_nDuration);
  RegisterInt(m_nLock);
}

// ---- cAnime -----------------------------------------------------------------

cAnime::cAnime() { Reset(); }

void cAnime::Reset() {
  Clear();
  m_Frames.assign(1, cAnimeFrameData(0, 1, 0));
  m_nSpareByte = 1;
}

void cAnime::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kAnimeSpareVersion) {
    RegisterShort(m_nSpareWord);
    RegisterByte(m_nSpareByte);
    RegisterShort(m_nSpareWord2);
  }
  RegisterString(m_strName);
}

bool cAnime::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  return ReadRecordList(in, m_Frames);
}

void cAnime::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Frames);
}

// ---- cAnimeSet ----------------------------------------------------------------

cAnimeSet::cAnimeSet() { Reset(); }

void cAnimeSet::Reset() {
  Clear();
  m_nInvincibleRow = 4;
  m_nBlockCharaRow = 8;
  m_nFlyingRow = 0;
  m_States.assign(ANIME_STATE_COUNT, cAnime());
  for (int i = 0; i < ANIME_STATE_COUNT; ++i) m_States[i].m_strName = kStateNames[i];
}

void cAnimeSet::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_nInvincibleRow);
  RegisterInt(m_nBlockCharaRow);
  if (nVersion >= kFlyingRowVersion) RegisterInt(m_nFlyingRow);
  RegisterString(m_strName);
}

bool cAnimeSet::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_States)) return false;
  const int nVersion = in.Version();
  if (nVersion < kFlyingRowVersion) m_States.resize(ANIME_STATE_COUNT);
  if (nVersion < kFlyingStatesNamedVersion) {
    m_States.resize(ANIME_STATE_COUNT);
    m_States[ANIME_STATE_FLY].m_strName = kStateNames[ANIME_STATE_FLY];
    m_States[ANIME_STATE_FLY_MOVE].m_strName = kStateNames[ANIME_STATE_FLY_MOVE];
  }
  // Characters look up all four states by number; a newer file that lacks some
  // gets default ones instead of sending every look-up to the failure path.
  if (m_States.size() < ANIME_STATE_COUNT) m_States.resize(ANIME_STATE_COUNT);
  return true;
}

void cAnimeSet::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_States);
}

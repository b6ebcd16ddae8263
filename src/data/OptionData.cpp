#include "data/OptionData.h"

#include <algorithm>

#include "core/Log.h"

void cOptionData::Reset() {
  Clear();
  m_bMusic = 1;
  m_nSeVolume = 7;
  m_strRankName = "aaa";
}

void cOptionData::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_nColourSet);
  RegisterInt(m_bMusic);
  RegisterInt(m_nSeVolume);
  RegisterInt(m_nRankMode);
  RegisterString(m_strRankName);
}

bool cOptionData::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  Normalize();
  return true;
}

void cOptionData::Write(cByteWriter& out) {
  Normalize();
  cDataRecord::Write(out);
}

void cOptionData::Normalize() {
  m_nColourSet = std::clamp(m_nColourSet, 0, kColourSetCount - 1);
  m_bMusic = m_bMusic != 0 ? 1 : 0;
  m_nSeVolume = std::clamp(m_nSeVolume, 0, kSeVolumeStepCount - 1);
  m_nRankMode = std::clamp(m_nRankMode, 0, kRankModeCount - 1);
}

bool cOptionData::Load(std::string_view path) { return cDataRecord::LoadFile(*this, path); }

bool cOptionData::Save(std::string_view path) {
  return SaveIsTrusted(path) && SaveFile(path);
}

#pragma once
// Pictures (Picture.dat) and music (Bgm.dat): a name, a value the player does
// not interpret, and a file name.

#include <cstdint>
#include <string>

#include "data/DataRecord.h"

// The version from which the value member is stored, and the version below
// which it is reset to 0 after reading.
inline constexpr int kDatabaseValueVersion = 151;
inline constexpr int kDatabaseValueResetVersion = 153;

class cPicture : public cDataRecord {
 public:
  cPicture() { Clear(); }

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;

  std::string m_strName;
  int32_t m_nValue = 0;
  // The picture bitmap (or, for cBgm, the music file).
  std::string m_strFile;
};

class cBgm : public cPicture {};

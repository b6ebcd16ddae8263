#pragma once
// Sound effects (Sound.dat). Entry n plays in sound-effect slot n + 16.

#include <cstdint>
#include <string>

#include "data/DataRecord.h"

class cSound : public cDataRecord {
 public:
  cSound() { Clear(); }

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;

  std::string m_strName;
  // The wave file.
  std::string m_strFile;
  int32_t m_nValue = 0;
};

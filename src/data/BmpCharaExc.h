#pragma once
// Special character bitmaps (Bmp_CharaExc.dat), graphic kind 4 of characters
// and blocks.

#include <cstdint>
#include <string>

#include "data/DataRecord.h"

class cBmpCharaExc : public cDataRecord {
 public:
  cBmpCharaExc() { Clear(); }
  // The element the list reader starts each entry from: sized cells off, cell
  // factor 2 (what entries of files older than 172 keep).
  static cBmpCharaExc ListDefault();

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;

  std::string m_strName;
  int32_t m_nValue = 0;
  // The bitmap file.
  std::string m_strFile;
  // 1: square cells of factor x 32 dots, 16 / factor to a row; 0: cells of 32
  // dots, 16 to a row.
  int32_t m_bSizedCells = 0;
  int32_t m_nCellFactor = 0;
};

#pragma once
// cIntPair: two i32 stored as a record (first, second; no version gates). The
// progress record keeps one per stage number {cleared flag, best score}.

#include <cstdint>

#include "data/DataRecord.h"

class cIntPair : public cDataRecord {
 public:
  cIntPair() = default;
  cIntPair(std::int32_t nFirst, std::int32_t nSecond) : m_nFirst(nFirst), m_nSecond(nSecond) {}

  void RegisterMembers(int /*nVersion*/) override {
    ClearMembers();
    RegisterInt(m_nFirst);
    RegisterInt(m_nSecond);
  }

  std::int32_t m_nFirst = 0;
  std::int32_t m_nSecond = 0;
};

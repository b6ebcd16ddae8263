#include "data/Condition.h"

namespace {

// Data versions at which the stored form of a condition changed.
constexpr int kCondClampVersion = 43;        // the clamp switch is stored
constexpr int kCondOperandsVersion = 110;    // left and right sides replace two i16
constexpr int kCondListCondsVersion = 766;   // a condition list stores its conditions

// A byte raised by `amount`, kept at 255 instead of wrapping into a valid value.
uint8_t RaiseByte(uint8_t value, int amount) {
  const int raised = value + amount;
  return static_cast<uint8_t>(raised > 255 ? 255 : raised);
}

// Status items at or above `threshold` move up by one, unless the object is the
// one that stood for the system in the files being upgraded (2).
void ShiftStatusItem(uint8_t nObject, uint8_t& nItem, int threshold) {
  if (nObject != 2 && nItem >= threshold) nItem = RaiseByte(nItem, 1);
}

}  // namespace

// ---- cCond -----------------------------------------------------------------

void cCond::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterByte(m_nKind);
  RegisterInt(m_nValue);
  if (nVersion >= kCondOperandsVersion) {
    RegisterInt(m_nRandMin);
    RegisterInt(m_nRandMax);
    RegisterByte(m_nObject);
    RegisterByte(m_nItem);
    RegisterByte(m_nLeftKind);
    RegisterByte(m_nLeftVarKind);
    RegisterShort(m_nIndex);
    RegisterByte(m_nRightKind);
    RegisterByte(m_nRightObject);
    RegisterByte(m_nRightItem);
    RegisterByte(m_nRightVarKind);
    RegisterShort(m_nRightIndex);
  } else {
    // Older files hold two i16 here that nothing reads any more.
    RegisterDiscard(2);
    RegisterDiscard(2);
  }
  RegisterByte(m_nCompare);
  if (nVersion >= kCondClampVersion) RegisterByte(m_bClamp);
  RegisterByte(m_nShape);
}

bool cCond::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() <= 780) Upgrade(in.Version());
  return true;
}

// Each step works on the result of the ones before it.
void cCond::Upgrade(int nVersion) {
  // Kinds 5 and 6 were inserted before the old kinds 5 and up.
  if (nVersion < 160 && m_nKind >= 5) m_nKind = RaiseByte(m_nKind, 2);
  // Before version 161, "on a block" was asked the other way round.
  if (nVersion < 161 && m_nKind == COND_STATUS3 && m_nItem == 2) {
    if (m_nCompare == 0) m_nCompare = 1;
    else if (m_nCompare == 1) m_nCompare = 0;
  }
  // Status items were inserted at 10, then at 5.
  const int statusInsertions[][2] = {{168, 10}, {203, 5}};
  for (const auto& step : statusInsertions) {
    if (nVersion >= step[0] || m_nKind != COND_STATUS) continue;
    if (m_nLeftKind == 0) ShiftStatusItem(m_nObject, m_nItem, step[1]);
    if (m_nRightKind == 2) ShiftStatusItem(m_nRightObject, m_nRightItem, step[1]);
  }
  // A state value was inserted at 6.
  if (nVersion < 210 && m_nKind == COND_STATUS2) ShiftStatusItem(m_nObject, m_nItem, 6);
  if (m_nKind == COND_DISTANCE) {
    if (nVersion <= 656) m_nObject = 0;
    if (nVersion < 745) m_nLeftKind = 0;
    if (nVersion < 746) {
      m_nRightKind = 1;
      m_nRightObject = 1;
    }
  }
  // The single target slot became four, and the system object moved from 2 to 5.
  if (nVersion < 767 && (m_nKind == COND_STATUS || m_nKind == COND_STATUS2)) {
    if (m_nObject >= 2) m_nObject = RaiseByte(m_nObject, 3);
    if (m_nRightObject >= 2) m_nRightObject = RaiseByte(m_nRightObject, 3);
  }
}

// ---- cCondList -----------------------------------------------------------------

void cCondList::RegisterMembers(int) {
  ClearMembers();
  RegisterByte(m_bEnabled);
  RegisterByte(m_nRule);
}

bool cCondList::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() >= kCondListCondsVersion) return ReadRecordList(in, m_Conds);
  return true;
}

void cCondList::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  if (out.Version() >= kCondListCondsVersion) WriteRecordList(out, m_Conds);
}

bool CompareByKind(int32_t v, int32_t c, int kind) {
  // 64 bits: |INT32_MIN| and INT32_MIN % -1 are ordinary values there.
  const int64_t magnitude = v < 0 ? -int64_t{v} : int64_t{v};
  switch (kind) {
    case 0: return v == c;
    case 1: return v != c;
    case 2: return v >= c;
    case 3: return v <= c;
    case 4: return v > c;
    case 5: return v < c;
    case 6: return c == 0 || magnitude % c == 0;
    case 7: return c != 0 && magnitude % c != 0;
    default: return false;
  }
}

#pragma once
// Small record classes for tests and fuzz targets of the record format: one
// member of every width, a fixed array, members introduced and dropped at
// given versions, strings, a list of records and a list of plain values.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

namespace testsupport {

// Element of cSampleRecord's list. m_nNewer exists from version 300 on.
class cSamplePart : public cDataRecord {
 public:
  cSamplePart() { Reset(); }
  void Reset() {
    Clear();
    m_nValue = 7;
    m_nNewer = 3;
    m_strLabel = "part";
  }
  void RegisterMembers(int nVersion) override {
    ClearMembers();
    RegisterInt(m_nValue);
    if (nVersion >= 300) RegisterShort(m_nNewer);
    RegisterString(m_strLabel);
  }

  std::int32_t m_nValue = 0;
  std::int16_t m_nNewer = 0;
  std::string m_strLabel;
};

// Members in file order, with the version that introduced or dropped them:
//   u8 flag, i8 signed byte, i16 short, [<100: one dropped i32], i32 int,
//   f64 double, i32[3] array (one descriptor), [209: i16 added209];
//   strings: name, [500: memo];
//   appended: a list of cSamplePart, then a list of i32.
class cSampleRecord : public cDataRecord {
 public:
  static constexpr int kAddedVersion = 209;
  static constexpr int kMemoVersion = 500;
  static constexpr int kDroppedBefore = 100;

  cSampleRecord() { Reset(); }
  void Reset() {
    Clear();
    m_nAdded = 42;
    m_strMemo = "memo";
    m_Parts.clear();
    m_Values.clear();
  }
  void RegisterMembers(int nVersion) override {
    ClearMembers();
    RegisterByte(m_bFlag);
    RegisterByte(m_nSigned);
    RegisterShort(m_nShort);
    if (nVersion < kDroppedBefore) RegisterDiscard(4);
    RegisterInt(m_nInt);
    RegisterDouble(m_dValue);
    RegisterInt(m_Array);
    if (nVersion >= kAddedVersion) RegisterShort(m_nAdded);
    RegisterString(m_strName);
    if (nVersion >= kMemoVersion) RegisterString(m_strMemo);
  }
  bool Read(cByteReader& in) override {
    if (!cDataRecord::Read(in)) return false;
    ReadRecordList(in, m_Parts);
    ReadValueList(in, m_Values);
    return !in.Failed();
  }
  void Write(cByteWriter& out) override {
    cDataRecord::Write(out);
    WriteRecordList(out, m_Parts);
    WriteValueList(out, m_Values);
  }

  std::uint8_t m_bFlag = 0;
  std::int8_t m_nSigned = 0;
  std::int16_t m_nShort = 0;
  std::int32_t m_nInt = 0;
  double m_dValue = 0.0;
  std::int32_t m_Array[3] = {};
  std::int16_t m_nAdded = 0;
  std::string m_strName;
  std::string m_strMemo;
  cSafeVector<cSamplePart> m_Parts;
  cSafeVector<std::int32_t> m_Values;
};

// A record holding a list of its own kind: nesting depth comes from the file.
class cSampleNode : public cDataRecord {
 public:
  void RegisterMembers(int) override {
    ClearMembers();
    RegisterInt(m_nValue);
  }
  bool Read(cByteReader& in) override {
    if (!cDataRecord::Read(in)) return false;
    ReadRecordList(in, m_Children);
    return !in.Failed();
  }
  void Write(cByteWriter& out) override {
    cDataRecord::Write(out);
    WriteRecordList(out, m_Children);
  }

  std::int32_t m_nValue = 0;
  cSafeVector<cSampleNode> m_Children;
};

}  // namespace testsupport

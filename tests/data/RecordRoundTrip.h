#pragma once
// Helpers for the database and world-map record tests: write a record and read
// it back, read a record from hand-built bytes of a given version, and write a
// database file (version word, u32 n, n records).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "data/DataRecord.h"

namespace recordtest {

// Reads `bytes` (a record form, no version word) as a file of `version` into
// `record`; expects the read to succeed and to consume every byte.
template <class T>
void ReadRecordBytes(T& record, const std::vector<std::uint8_t>& bytes, int version) {
  cByteReader in(bytes, version);
  ASSERT_TRUE(record.Read(in)) << in.FailReason() << " at byte " << in.FailOffset();
  EXPECT_EQ(in.Remaining(), 0u);
}

// Writes the record at the current version and reads it into a fresh record.
template <class T>
T RoundTrip(T& record) {
  cByteWriter out;
  record.Write(out);
  T back;
  ReadRecordBytes(back, out.Bytes(), DATA_VERSION);
  return back;
}

// The bytes of the record form written at the current version.
template <class T>
std::vector<std::uint8_t> RecordBytes(T& record) {
  cByteWriter out;
  record.Write(out);
  return out.TakeBytes();
}

// A database file: u32 version word, then the record list.
template <class List>
std::vector<std::uint8_t> DatabaseFileBytes(List& list, int version = DATA_VERSION) {
  cByteWriter out(version);
  BeginDataWrite(out);
  WriteRecordList(out, list);
  return out.TakeBytes();
}

}  // namespace recordtest

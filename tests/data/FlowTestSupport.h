#pragma once
// Pieces shared by the tests of commands, flows, conditions and their parts:
// writing a record in any data version and reading it back from the bytes,
// the default database they validate against, and guards for the flags that
// decide whether flagged flows are purged.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/ProcessFlags.h"
#include "data/Database.h"
#include "data/DataRecord.h"
#include "data/Flow.h"

namespace flowtest {

using Bytes = std::vector<std::uint8_t>;

// The record form of `record` written in `version` (older versions give the
// files the readers upgrade from; nothing is validated for them).
template <class T>
Bytes WriteAt(T& record, int version = DATA_VERSION) {
  cByteWriter out(version);
  record.Write(out);
  return out.TakeBytes();
}

// Reads a record of `version` from bytes into `record`; true when it read
// cleanly and used every byte.
template <class T>
::testing::AssertionResult ReadAt(const Bytes& bytes, int version, T& record) {
  cByteReader in(bytes, version);
  if (!record.Read(in)) return ::testing::AssertionFailure() << "read failed: " << in.FailReason();
  if (in.Remaining() != 0) return ::testing::AssertionFailure() << in.Remaining() << " bytes left over";
  return ::testing::AssertionSuccess();
}

// Written in `version`, then read back as that version: what a file of that
// version holding these values becomes once loaded.
template <class T>
T Reload(T& record, int version) {
  T loaded;
  EXPECT_TRUE(ReadAt(WriteAt(record, version), version, loaded));
  return loaded;
}

// A failed read of bytes of the given version, with the reader's reason.
template <class T>
::testing::AssertionResult RefusedAt(const Bytes& bytes, int version, std::string* reason = nullptr) {
  cByteReader in(bytes, version);
  T record;
  const bool ok = record.Read(in);
  if (reason) *reason = in.FailReason();
  if (ok) return ::testing::AssertionFailure() << "the bytes were accepted";
  if (!in.Failed()) return ::testing::AssertionFailure() << "Read returned false without failing the reader";
  return ::testing::AssertionSuccess();
}

// Every test starts from the default database (one animation set and one
// sword type of one step of duration 1; two entries in every other list),
// with no editor launch and no keep-flows switch.
class cFlowDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Database.Reset();
    g_LaunchedByEditor = 0;
    SetKeepFlowsQuery(nullptr);
  }
  void TearDown() override {
    g_Database.Reset();
    g_LaunchedByEditor = 0;
    SetKeepFlowsQuery(nullptr);
  }
};

}  // namespace flowtest

#pragma once
// Pieces shared by the tests of the block, character and item definitions and
// of the palette: writing and reading a definition in any data version with
// the palettes it belongs with, small palettes to inherit from, and a fixture
// that starts every test from the default database and common palette.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "core/ProcessFlags.h"
#include "data/Database.h"
#include "data/Flow.h"
#include "data/Palette.h"

namespace deftest {

using Bytes = std::vector<std::uint8_t>;

// The record form of `record` written in `version` with `palettes`.
template <class T>
Bytes WriteAt(T& record, const cPaletteContext& palettes, int version = DATA_VERSION) {
  cByteWriter out(version);
  record.Write(out, palettes);
  return out.TakeBytes();
}

// Reads a record of `version` from bytes; true when it read cleanly and used
// every byte.
template <class T>
::testing::AssertionResult ReadAt(const Bytes& bytes, int version, T& record, const cPaletteContext& palettes) {
  cByteReader in(bytes, version);
  if (!record.Read(in, palettes)) return ::testing::AssertionFailure() << "read failed: " << in.FailReason();
  if (in.Remaining() != 0) return ::testing::AssertionFailure() << in.Remaining() << " bytes left over";
  return ::testing::AssertionSuccess();
}

// What a file of `version` holding `record` becomes once loaded with `palettes`.
template <class T>
T Reload(T& record, const cPaletteContext& palettes, int version = DATA_VERSION) {
  T loaded;
  EXPECT_TRUE(ReadAt(WriteAt(record, palettes, version), version, loaded, palettes));
  return loaded;
}

// A palette of `count` fresh entries in each list.
inline cPalette PaletteOf(int count) {
  cPalette palette;
  palette.m_Blocks.resize(count);
  palette.m_Charas.resize(count);
  palette.m_Items.resize(count);
  return palette;
}

// The palettes of a stage: `common` and `stage`, with g_Database.
inline cPaletteContext ContextOf(const cPalette& common, const cPalette& stage) {
  cPaletteContext context;
  context.m_Common = common.View();
  context.m_Stage = stage.View();
  return context;
}

// Writes `record` with a common and a stage palette of two entries each and
// reads it back into `loaded`: true when that read cleanly. A clean read is
// also expected to write again to the very same bytes (a failure of its own,
// which does not stop the test).
template <class T>
::testing::AssertionResult RoundTripsWithTwoEntryPalettes(T& record, T& loaded) {
  const cPalette common = PaletteOf(2);
  const cPalette stage = PaletteOf(2);
  const cPaletteContext palettes = ContextOf(common, stage);
  const Bytes written = WriteAt(record, palettes);
  ::testing::AssertionResult read = ReadAt(written, DATA_VERSION, loaded, palettes);
  if (read) {
    EXPECT_EQ(WriteAt(loaded, palettes), written) << "written again after the read";
  }
  return read;
}

// Every strict prefix of `record`'s bytes is refused.
template <class T>
void ExpectEveryTruncationRefused(T& record) {
  const Bytes written = WriteAt(record, cPaletteContext::Standalone());
  for (std::size_t size = 0; size < written.size(); ++size) {
    cByteReader in(std::span<const std::uint8_t>(written.data(), size));
    T loaded;
    EXPECT_FALSE(loaded.Read(in, cPaletteContext::Standalone())) << size;
  }
}

// One row of the shot-sheet upgrade tables: a definition of graphic `kind` and
// `graphic` written in `version` reads back with graphic `expected`.
struct cShotSheetCase {
  int version;
  std::uint8_t kind;
  std::int16_t graphic;
  std::int16_t expected;
};

template <class T>
void ExpectShotSheetShift(std::initializer_list<cShotSheetCase> cases) {
  for (const cShotSheetCase& c : cases) {
    T record;
    record.m_nGraphicKind = c.kind;
    record.m_nGraphic = c.graphic;
    EXPECT_EQ(Reload(record, cPaletteContext::Standalone(), c.version).m_nGraphic, c.expected)
        << "version " << c.version << ", kind " << int(c.kind) << ", graphic " << c.graphic;
  }
}

// Every test starts from the default database and common palette, with no
// editor launch and no keep-flows switch, and leaves them so.
class cDefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }

 private:
  static void ResetAll() {
    g_Database.Reset();
    ResetCommonPaletteForTests();
    g_LaunchedByEditor = 0;
    SetKeepFlowsQuery(nullptr);
  }
};

}  // namespace deftest

namespace deftest {

template <class T>
cSafeVector<T>& ListOf(cPalette& palette);
template <>
inline cSafeVector<cBlockData>& ListOf(cPalette& palette) { return palette.m_Blocks; }
template <>
inline cSafeVector<cCharaData>& ListOf(cPalette& palette) { return palette.m_Charas; }
template <>
inline cSafeVector<cItemData>& ListOf(cPalette& palette) { return palette.m_Items; }

// For every inheritance group g and both palettes: a placement whose only set
// flag is g, read with entry 2 of that palette as its source, takes exactly the
// members of group g from the entry and keeps its own values in every other
// group. `set(record, group, seed)` gives a group's members values made from
// the seed; `get(record, group)` reads them back.
template <class T, class SetFn, class GetFn>
void ExpectEachGroupInheritedAlone(int groupCount, SetFn set, GetFn get) {
  constexpr int kEntrySeed = 7;
  constexpr int kOwnSeed = 3;
  for (int source : {PALETTE_COMMON, PALETTE_STAGE}) {
    for (int group = 0; group < groupCount; ++group) {
      cPalette common = PaletteOf(3);
      cPalette stage = PaletteOf(3);
      T& entry = ListOf<T>(source == PALETTE_COMMON ? common : stage)[2];
      for (int g = 0; g < groupCount; ++g) set(entry, g, kEntrySeed);
      T placed;
      for (int g = 0; g < groupCount; ++g) set(placed, g, kOwnSeed);
      placed.m_nInheritSource = static_cast<std::uint8_t>(source);
      placed.m_nInheritIndex = 2;
      placed.m_InheritFlags.assign(static_cast<std::size_t>(groupCount), 0);
      placed.m_InheritFlags[static_cast<std::size_t>(group)] = 1;
      const T loaded = Reload(placed, ContextOf(common, stage));
      for (int g = 0; g < groupCount; ++g) {
        EXPECT_EQ(get(loaded, g), get(g == group ? entry : placed, g))
            << "flag " << group << " from palette " << source << ", group " << g;
      }
    }
  }
}

}  // namespace deftest

namespace deftest {

// Values of one group as text, for the group tables' comparisons.
inline std::string Join(std::initializer_list<long long> values) {
  std::string text;
  for (long long value : values) text += std::to_string(value) + ",";
  return text;
}

// `count` conditions of kind `kind`.
inline cSafeVector<cCond> CondsOf(int count, int kind) {
  cSafeVector<cCond> conds(static_cast<std::size_t>(count));
  for (cCond& cond : conds) cond.m_nKind = static_cast<std::uint8_t>(kind);
  return conds;
}

}  // namespace deftest

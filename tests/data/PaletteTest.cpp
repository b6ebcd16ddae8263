// The palette record and the common palette file: padding to two entries, the
// "none" entry 0, inheritance applied once while reading and then cleared,
// references into the stage palette at start-up, loading into a temporary
// (a failed load changes nothing) and atomic saving.

#include "data/Palette.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/DefinitionTestSupport.h"
#include "data/RecordTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using deftest::Bytes;
using deftest::PaletteOf;

class PaletteRecord : public deftest::cDefinitionTest {};

// The palette file bytes of `palette`, written in the current version.
Bytes FileOf(cPalette& palette) { return palette.MakeFileBytes(); }

// Reads palette file bytes into a fresh palette; expects success.
cPalette Load(const Bytes& bytes) {
  cPalette palette;
  EXPECT_TRUE(cDataRecord::LoadFromBytes(palette, bytes, "palette"));
  return palette;
}

// The file form of a palette holding the given lists as they stand: written by
// the definitions' list writers with no repairs, as a damaged or foreign file
// may hold them.
Bytes RawFileOf(cPalette& palette) {
  cByteWriter out;
  BeginDataWrite(out);
  out.WriteU32(0);
  out.WriteU32(0);
  cPaletteContext anything;  // nothing known: no reference is repaired on the way out
  WriteBlockVector(out, palette.m_Blocks, anything);
  WriteCharaVector(out, palette.m_Charas, anything);
  WriteItemVector(out, palette.m_Items, anything);
  return out.TakeBytes();
}

TEST_F(PaletteRecord, HasNoMembersOfItsOwn) {
  cPalette palette;
  EXPECT_EQ(palette.CountMembers(DATA_VERSION), 0);
  EXPECT_EQ(palette.CountStrings(DATA_VERSION), 0);
  const Bytes bytes = FileOf(palette);
  const Bytes head = testsupport::ByteBuilder().U32(DATA_VERSION).U32(0).U32(0).U32(2).Bytes();
  ASSERT_GE(bytes.size(), head.size());
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())), head);
}

TEST_F(PaletteRecord, AConstructedPaletteHoldsOneNoneEntryPerList) {
  const cPalette palette;
  EXPECT_EQ(palette.m_Blocks.size(), 1u);
  EXPECT_EQ(palette.m_Charas.size(), 1u);
  EXPECT_EQ(palette.m_Items.size(), 1u);
}

TEST_F(PaletteRecord, EmptyListsAreReadAsTwoDefaultEntries) {
  const Bytes file = testsupport::ByteBuilder().U32(DATA_VERSION).U32(0).U32(0).U32(0).U32(0).U32(0).Bytes();
  const cPalette palette = Load(file);
  EXPECT_EQ(palette.m_Blocks.size(), 2u);
  EXPECT_EQ(palette.m_Charas.size(), 2u);
  EXPECT_EQ(palette.m_Items.size(), 2u);
  EXPECT_EQ(palette.m_Items[1].m_nScale, 1);
  EXPECT_EQ(palette.m_Charas[1].m_nMhp, 10);
}

// Whatever the file holds for entry 0, it comes back as the none entry.
TEST_F(PaletteRecord, EntryZeroIsAlwaysTheNoneDefinition) {
  cPalette palette = PaletteOf(2);
  palette.m_Items[0].m_strName = "なし？";
  palette.m_Items[0].m_nScale = 3;
  palette.m_Items[0].m_Commands.resize(1);
  palette.m_Blocks[0].m_strName = "壁";
  palette.m_Blocks[0].m_nGraphic = 5;
  palette.m_Blocks[0].m_Conds = deftest::CondsOf(1, COND_COMMON_VAR);
  palette.m_Blocks[0].m_nCellX = 4;
  palette.m_Charas[0].m_nMhp = 99;
  palette.m_Charas[0].m_nCarriedItem = 5;
  palette.m_Charas[0].m_Flows.resize(1);
  palette.m_Charas[0].m_Flows[0].m_nTrigger = TRIGGER_DEATH;
  const cPalette loaded = Load(RawFileOf(palette));

  cBlockData block;
  block.ResetToNone();
  cCharaData chara;
  chara.ResetToNone();
  cItemData item;
  item.ResetToNone();
  const cPaletteContext none = cPaletteContext::Standalone();
  cBlockData loadedBlock = loaded.m_Blocks[0];
  cCharaData loadedChara = loaded.m_Charas[0];
  cItemData loadedItem = loaded.m_Items[0];
  EXPECT_EQ(deftest::WriteAt(loadedBlock, none), deftest::WriteAt(block, none));
  EXPECT_EQ(deftest::WriteAt(loadedChara, none), deftest::WriteAt(chara, none));
  EXPECT_EQ(deftest::WriteAt(loadedItem, none), deftest::WriteAt(item, none));
  EXPECT_EQ(loaded.m_Items[0].m_strName, "");
  EXPECT_EQ(loaded.m_Items[0].m_nScale, 1);
  EXPECT_EQ(loaded.m_Charas[0].m_nCarriedItem, -1);
  EXPECT_TRUE(loaded.m_Charas[0].m_Flows.empty());
  // The other entries are read as they were.
  EXPECT_EQ(loaded.m_Items[1].m_nScale, 1);
}

// Block entry 5 inherits its contact from entry 1 while it is read; afterwards
// no entry inherits, and the flag list keeps its length.
TEST_F(PaletteRecord, InheritanceIsAppliedOnceThenCleared) {
  cPalette palette = PaletteOf(6);
  palette.m_Blocks[1].m_nGraphic = 3;
  palette.m_Blocks[1].m_nContact = BLOCK_CONTACT_DEADLY;
  palette.m_Blocks[5].m_nGraphic = 4;
  palette.m_Blocks[5].m_nInheritSource = PALETTE_COMMON;
  palette.m_Blocks[5].m_nInheritIndex = 1;
  palette.m_Blocks[5].m_InheritFlags.assign(12, 0);
  palette.m_Blocks[5].m_InheritFlags[BLOCK_GROUP_CONTACT] = 1;
  palette.m_Charas[4].m_nInheritSource = PALETTE_COMMON;
  palette.m_Charas[4].m_nInheritIndex = 2;
  palette.m_Charas[4].m_InheritFlags.assign(CHARA_GROUP_COUNT, 1);
  const cPalette loaded = Load(RawFileOf(palette));
  EXPECT_EQ(loaded.m_Blocks[5].m_nContact, BLOCK_CONTACT_DEADLY);
  EXPECT_EQ(loaded.m_Blocks[5].m_InheritFlags, cSafeVector<std::uint8_t>(12, 0));
  EXPECT_EQ(loaded.m_Blocks[5].m_nInheritSource, PALETTE_COMMON);
  EXPECT_EQ(loaded.m_Charas[4].m_InheritFlags, cSafeVector<std::uint8_t>(CHARA_GROUP_COUNT, 0));
}

// Entries inheriting from their own palette while it is read see the entries
// read so far; entries still to come are fresh defaults; entries beyond the
// list do not exist.
TEST_F(PaletteRecord, InheritingWithinThePaletteBeingRead) {
  struct Case {
    int reader;
    int source;
    std::int32_t expectedMhp;
    int expectedSource;
  };
  // Six characters; entry i has mhp 100 + i of its own.
  const Case cases[] = {
      {3, 1, 101, PALETTE_COMMON},   // an earlier entry: its value as read
      {1, 4, 10, PALETTE_COMMON},    // a later entry: still the defaults
      {2, 2, 102, PALETTE_COMMON},   // itself
      {3, 6, 103, PALETTE_NONE},     // beyond the list
      {4, -1, 104, PALETTE_NONE},    // negative
  };
  for (const Case& c : cases) {
    cPalette palette = PaletteOf(6);
    for (int i = 0; i < 6; ++i) palette.m_Charas[static_cast<std::size_t>(i)].m_nMhp = 100 + i;
    cCharaData& reader = palette.m_Charas[static_cast<std::size_t>(c.reader)];
    reader.m_nInheritSource = PALETTE_COMMON;
    reader.m_nInheritIndex = static_cast<std::int16_t>(c.source);
    reader.m_InheritFlags[CHARA_GROUP_MHP] = 1;
    const cPalette loaded = Load(RawFileOf(palette));
    const cCharaData& got = loaded.m_Charas[static_cast<std::size_t>(c.reader)];
    EXPECT_EQ(got.m_nMhp, c.expectedMhp) << c.reader << " from " << c.source;
    EXPECT_EQ(got.m_nInheritSource, c.expectedSource) << c.reader << " from " << c.source;
  }
}

// The common palette is read before any stage: the stage palette it sees has
// only its none entry, so references into it beyond entry 0 are dropped.
TEST_F(PaletteRecord, StageReferencesOfTheCommonPaletteMeetAnEmptyStage) {
  cPalette palette = PaletteOf(3);
  for (int i : {1, 2}) {
    palette.m_Blocks[static_cast<std::size_t>(i)].m_nGraphic = 1;
    palette.m_Blocks[static_cast<std::size_t>(i)].m_nItemPalette = PALETTE_STAGE;
    palette.m_Blocks[static_cast<std::size_t>(i)].m_nItemIndex = static_cast<std::int16_t>(i - 1);
  }
  palette.m_Charas[1].m_nInheritSource = PALETTE_STAGE;
  palette.m_Charas[1].m_nInheritIndex = 1;
  palette.m_Items[1].m_nInheritSource = PALETTE_COMMON;
  palette.m_Items[1].m_nInheritIndex = 2;
  const cPalette loaded = Load(RawFileOf(palette));
  EXPECT_EQ(loaded.m_Blocks[1].m_nItemPalette, PALETTE_STAGE);  // entry 0 exists
  EXPECT_EQ(loaded.m_Blocks[2].m_nItemPalette, PALETTE_NONE);
  EXPECT_EQ(loaded.m_Charas[1].m_nInheritSource, PALETTE_NONE);
  EXPECT_EQ(loaded.m_Items[1].m_nInheritSource, PALETTE_COMMON);
  EXPECT_EQ(loaded.m_Items[1].m_nInheritIndex, 2);
}

TEST_F(PaletteRecord, CommandReferencesAreRepairedAgainstThePaletteItself) {
  cCommand get;
  get.m_nSet = 1;
  get.m_nType = ITEM_CMD_ITEM_GET;
  get.m_Params = {0, 3};  // the common list, item 3
  cPalette palette = PaletteOf(3);
  palette.m_Items[1].m_Commands = {get};
  palette.m_Items[2].m_Commands = {get};
  palette.m_Items[2].m_Commands[0].m_Params[1] = 2;
  const cPalette loaded = Load(RawFileOf(palette));
  EXPECT_EQ(loaded.m_Items[1].m_Commands[0].m_Params[1], 1);
  EXPECT_EQ(loaded.m_Items[2].m_Commands[0].m_Params[1], 2);
}

cPalette FilledPalette() {
  cPalette palette = PaletteOf(4);
  palette.m_Blocks[1].m_strName = "床";
  palette.m_Blocks[1].m_nGraphic = 12;
  palette.m_Blocks[2].m_nGraphic = 13;
  palette.m_Blocks[2].m_nFootEffect = FOOT_SPEED;
  palette.m_Blocks[2].m_nFootValue = 50;
  palette.m_Blocks[3].m_nGraphic = 14;
  palette.m_Blocks[3].m_nItemPalette = PALETTE_COMMON;
  palette.m_Blocks[3].m_nItemIndex = 2;
  palette.m_Blocks[3].m_Conds = deftest::CondsOf(2, COND_STAGE_VAR);
  palette.m_Charas[1].m_strName = "敵";
  palette.m_Charas[1].m_nMhp = 30;
  palette.m_Charas[1].m_Flows.resize(1);
  palette.m_Charas[1].m_Flows[0].m_nTrigger = TRIGGER_DAMAGED;
  palette.m_Charas[1].m_Flows[0].m_Commands.resize(2);
  palette.m_Charas[2].m_nOperator = CHARA_BY_PLAYER;
  palette.m_Charas[3].m_Conds = deftest::CondsOf(1, COND_DISTANCE);
  palette.m_Items[1].m_strName = "コイン";
  palette.m_Items[1].m_nSound = 1;
  palette.m_Items[2].m_nTakeMode = ITEM_TAKE_ALWAYS;
  palette.m_Items[3].m_Commands.resize(1);
  palette.m_Items[3].m_Commands[0].m_nSet = 1;
  return palette;
}

TEST_F(PaletteRecord, RoundTripGivesTheSameLists) {
  cPalette palette = FilledPalette();
  const Bytes written = FileOf(palette);
  cPalette loaded = Load(written);
  EXPECT_EQ(FileOf(loaded), written);
  ASSERT_EQ(loaded.m_Charas.size(), 4u);
  EXPECT_EQ(loaded.m_Blocks[1].m_strName, "床");
  EXPECT_EQ(loaded.m_Blocks[2].m_nFootValue, 50);
  EXPECT_EQ(loaded.m_Charas[1].m_Flows[0].m_Commands.size(), 2u);
  EXPECT_EQ(loaded.m_Items[1].m_strName, "コイン");
}

// ---- the common palette file -------------------------------------------------------------

class CommonPaletteFile : public deftest::cDefinitionTest {
 protected:
  recordtest::cTempFolder m_Folder;
  const char* m_Path = "data\\CommonPalette.cplt4";

  void WriteFile(const Bytes& bytes) {
    std::filesystem::create_directories(m_Folder.Path() / "data");
    recordtest::WriteFileBytes(m_Folder.Path() / "data" / "CommonPalette.cplt4", bytes);
  }
  static Bytes CommonBytes() { return g_CommonPalette.MakeFileBytes(); }
};

TEST_F(CommonPaletteFile, LoadsIntoTheGlobalPalette) {
  cPalette palette = FilledPalette();
  const Bytes file = FileOf(palette);
  WriteFile(file);
  ASSERT_TRUE(LoadCommonPalette());
  EXPECT_EQ(CommonBytes(), file);
  // Definitions read on their own now inherit from it.
  EXPECT_EQ(cPaletteContext::Standalone().m_Common.BlockCount(), 4);
  EXPECT_EQ(cPaletteContext::Standalone().m_Common.Block(1)->m_strName, "床");
}

TEST_F(CommonPaletteFile, AMissingFileFailsQuietlyAndChangesNothing) {
  const Bytes before = CommonBytes();
  EXPECT_FALSE(LoadCommonPalette());
  EXPECT_EQ(CommonBytes(), before);
  EXPECT_EQ(recordtest::ReportText().find("CommonPalette"), std::string::npos);
}

TEST_F(CommonPaletteFile, ADamagedFileIsReportedAndChangesNothing) {
  cPalette palette = FilledPalette();
  Bytes file = FileOf(palette);
  file.resize(file.size() - 3);
  WriteFile(file);
  g_CommonPalette.m_Items.resize(5);
  const Bytes before = CommonBytes();
  EXPECT_FALSE(LoadCommonPalette());
  EXPECT_EQ(CommonBytes(), before);
  EXPECT_NE(recordtest::ReportText().find("CommonPalette"), std::string::npos);
}

// Every prefix of a valid file is refused, and the palette keeps what it held.
TEST_F(CommonPaletteFile, EveryTruncationIsRefusedAndChangesNothing) {
  cPalette palette = FilledPalette();
  const Bytes file = FileOf(palette);
  g_CommonPalette.m_Blocks.resize(3);
  const Bytes before = CommonBytes();
  for (std::size_t size = 0; size < file.size(); ++size) {
    const Bytes prefix(file.begin(), file.begin() + static_cast<long>(size));
    ASSERT_FALSE(cDataRecord::LoadFromBytes(g_CommonPalette, prefix, "truncated")) << size;
  }
  EXPECT_EQ(CommonBytes(), before);
}

TEST_F(CommonPaletteFile, SaveWritesAFileThatReadsBack) {
  std::filesystem::create_directories(m_Folder.Path() / "data");
  g_CommonPalette = FilledPalette();
  ASSERT_TRUE(SaveCommonPalette(m_Path));
  const Bytes saved = recordtest::ReadFileBytes(m_Folder.Path() / "data" / "CommonPalette.cplt4");
  EXPECT_EQ(saved, CommonBytes());
  ResetCommonPaletteForTests();
  ASSERT_TRUE(LoadCommonPalette(m_Path));
  EXPECT_EQ(CommonBytes(), saved);
}

// A failed save says so and leaves the previous file whole.
TEST_F(CommonPaletteFile, AFailedSaveIsReportedAndKeepsThePreviousFile) {
  const Bytes previous = CommonBytes();
  WriteFile(previous);
  g_CommonPalette = FilledPalette();
  EXPECT_FALSE(SaveCommonPalette("data\\no_such_folder\\CommonPalette.cplt4"));
  EXPECT_EQ(recordtest::ReadFileBytes(m_Folder.Path() / "data" / "CommonPalette.cplt4"), previous);
}

}  // namespace

// Block definitions: the stored form, the shot-sheet upgrade, inheritance of
// each property group from the common or the stage palette, and the repairs of
// references and of blocks without graphic.

#include "data/BlockData.h"

#include <gtest/gtest.h>

#include "data/DefinitionTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using deftest::Bytes;
using deftest::ContextOf;
using deftest::PaletteOf;
using deftest::Reload;
using deftest::WriteAt;

class BlockData : public deftest::cDefinitionTest {};

// A block with a value other than its default in every member.
cBlockData FullBlock() {
  cBlockData block;
  block.m_nInheritSource = PALETTE_COMMON;
  block.m_nInheritIndex = 1;
  block.m_nCondRule = 1;
  block.m_bCondLatch = 1;
  block.m_nGraphic = 300;
  block.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC;
  block.m_nGraphicRow = -2;
  block.m_bFront = 1;
  block.m_bHidden = 1;
  block.m_nMarkShown = 2;
  block.m_nMark = 119;
  block.m_nContact = BLOCK_CONTACT_DEADLY;
  block.m_nPassValue = 7;
  block.m_nFootEffect = FOOT_PUSH_RIGHT;
  block.m_nFootValue = -100000;
  block.m_nItemPalette = PALETTE_STAGE;
  block.m_nItemIndex = 1;
  block.m_bFixed = 1;
  block.m_strName = "ブロック";
  block.m_nCellX = 499;
  block.m_nCellY = -1;
  block.m_InheritFlags.assign(BLOCK_GROUP_COUNT, 0);  // no inheritance: the values stay as set
  block.m_Conds = deftest::CondsOf(2, COND_STAGE_VAR);
  block.m_Conds[1].m_nValue = -9;
  return block;
}

TEST_F(BlockData, RoundTripKeepsEveryMember) {
  cBlockData block = FullBlock();
  cBlockData loaded;
  ASSERT_TRUE(deftest::RoundTripsWithTwoEntryPalettes(block, loaded));
  EXPECT_EQ(loaded.m_nGraphic, 300);
  EXPECT_EQ(loaded.m_nGraphicRow, -2);
  EXPECT_EQ(loaded.m_nFootValue, -100000);
  EXPECT_EQ(loaded.m_nItemPalette, PALETTE_STAGE);
  EXPECT_EQ(loaded.m_strName, "ブロック");
  EXPECT_EQ(loaded.m_nCellX, 499);
  EXPECT_EQ(loaded.m_nCellY, -1);
  ASSERT_EQ(loaded.m_Conds.size(), 2u);
  EXPECT_EQ(loaded.m_Conds[1].m_nValue, -9);
}

// The member table is the file format: eighteen plain members and the name,
// at every version.
TEST_F(BlockData, DescriptorCountsArePinned) {
  cBlockData block;
  for (int version : {1, 218, 219, DATA_VERSION}) {
    EXPECT_EQ(block.CountMembers(version), 18) << version;
    EXPECT_EQ(block.CountStrings(version), 1) << version;
  }
}

TEST_F(BlockData, GoldenBytesOfADefaultBlock) {
  using namespace testsupport;
  cBlockData block;
  const Bytes expected = ByteBuilder()
                             .Record({U8(0), I16(0), U8(0), U8(0), I16(0), U8(0), I16(0), U8(0), U8(0), U8(0),
                                      I16(0), U8(0) /* contact: no graphic */, U8(255), U8(0), I32(0), U8(0), I16(0),
                                      U8(0)},
                                     {""})
                             .I16(0)
                             .I16(0)
                             .Raw({0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                             .Raw({0, 0, 0, 0})
                             .Bytes();
  EXPECT_EQ(WriteAt(block, cPaletteContext::Standalone()), expected);
}

TEST_F(BlockData, DefaultsAreASolidBlockWithoutGraphic) {
  const cBlockData block;
  EXPECT_EQ(block.m_nContact, BLOCK_CONTACT_SOLID);
  EXPECT_EQ(block.m_nPassValue, kNoPassThrough);
  EXPECT_EQ(block.m_nGraphic, 0);
  EXPECT_EQ(block.m_InheritFlags.size(), static_cast<std::size_t>(BLOCK_GROUP_COUNT));
}

// Files before 219 counted the shot sheet from 0.
TEST_F(BlockData, ShotSheetGraphicsOfOlderFilesMoveUpOne) {
  deftest::ExpectShotSheetShift<cBlockData>({
      {218, GRAPHIC_SHOT, 5, 6},     {218, GRAPHIC_SHOT, 119, 119}, {218, GRAPHIC_SHOT, 118, 119},
      {1, GRAPHIC_SHOT, 0, 1},       {219, GRAPHIC_SHOT, 5, 5},     {218, GRAPHIC_ITEM, 5, 5},
      {218, GRAPHIC_SHOT, 32767, 119},
  });
}

void SetBlockGroup(cBlockData& block, int group, int seed) {
  const auto v = static_cast<std::uint8_t>(seed);
  switch (group) {
    case BLOCK_GROUP_NAME: block.m_strName = "名" + std::to_string(seed); break;
    case BLOCK_GROUP_CONDITIONS:
      block.m_Conds = deftest::CondsOf(seed, seed);
      block.m_nCondRule = seed == 7;
      block.m_bCondLatch = seed != 7;
      break;
    case BLOCK_GROUP_GRAPHIC:
      block.m_nGraphicKind = v;
      block.m_nGraphic = static_cast<std::int16_t>(seed * 10);
      block.m_nGraphicRow = static_cast<std::int16_t>(seed * 100);
      break;
    case BLOCK_GROUP_FRONT: block.m_bFront = seed == 7; break;
    case BLOCK_GROUP_HIDDEN: block.m_bHidden = seed != 7; break;
    case BLOCK_GROUP_MARK:
      block.m_nMarkShown = seed == 7;
      block.m_nMark = static_cast<std::int16_t>(seed + 50);
      break;
    case BLOCK_GROUP_CONTACT: block.m_nContact = seed == 7 ? 2 : 0; break;
    case BLOCK_GROUP_PASS: block.m_nPassValue = v; break;
    case BLOCK_GROUP_FOOT:
      block.m_nFootEffect = static_cast<std::uint8_t>(seed % 6);
      block.m_nFootValue = seed * 1000;
      break;
    case BLOCK_GROUP_ITEM:
      block.m_nItemPalette = seed == 7 ? PALETTE_STAGE : PALETTE_COMMON;
      block.m_nItemIndex = static_cast<std::int16_t>(seed == 7 ? 2 : 1);
      break;
    case BLOCK_GROUP_FIXED: block.m_bFixed = seed == 7; break;
  }
}

std::string BlockGroup(const cBlockData& block, int group) {
  using deftest::Join;
  switch (group) {
    case BLOCK_GROUP_NAME: return block.m_strName;
    case BLOCK_GROUP_CONDITIONS:
      return Join({static_cast<long long>(block.m_Conds.size()), block.m_Conds.empty() ? -1 : block.m_Conds[0].m_nKind,
                   block.m_nCondRule, block.m_bCondLatch});
    case BLOCK_GROUP_GRAPHIC: return Join({block.m_nGraphicKind, block.m_nGraphic, block.m_nGraphicRow});
    case BLOCK_GROUP_FRONT: return Join({block.m_bFront});
    case BLOCK_GROUP_HIDDEN: return Join({block.m_bHidden});
    case BLOCK_GROUP_MARK: return Join({block.m_nMarkShown, block.m_nMark});
    case BLOCK_GROUP_CONTACT: return Join({block.m_nContact});
    case BLOCK_GROUP_PASS: return Join({block.m_nPassValue});
    case BLOCK_GROUP_FOOT: return Join({block.m_nFootEffect, block.m_nFootValue});
    case BLOCK_GROUP_ITEM: return Join({block.m_nItemPalette, block.m_nItemIndex});
    case BLOCK_GROUP_FIXED: return Join({block.m_bFixed});
  }
  return "no such group";
}

TEST_F(BlockData, EachFlaggedGroupComesFromThePaletteEntryAndNothingElse) {
  deftest::ExpectEachGroupInheritedAlone<cBlockData>(BLOCK_GROUP_COUNT, SetBlockGroup, BlockGroup);
}

TEST_F(BlockData, IndexZeroOrNoSourceInheritsNothing) {
  cPalette common = PaletteOf(3);
  common.m_Blocks[0].m_nContact = BLOCK_CONTACT_DEADLY;
  common.m_Blocks[0].m_nGraphic = 4;
  for (auto [source, index] : {std::pair<int, int>{PALETTE_COMMON, 0}, {PALETTE_NONE, 2}, {3, 2}}) {
    cBlockData block;
    block.m_nGraphic = 1;
    block.m_nInheritSource = static_cast<std::uint8_t>(source);
    block.m_nInheritIndex = static_cast<std::int16_t>(index);
    block.m_InheritFlags.assign(BLOCK_GROUP_COUNT, 1);
    block.ApplyInherit(ContextOf(common, PaletteOf(2)));
    EXPECT_EQ(block.m_nContact, BLOCK_CONTACT_SOLID) << source << "/" << index;
    EXPECT_EQ(block.m_nInheritSource, source);
  }
}

// A stage palette of three blocks has no entry 3: the block keeps its own
// contact and loses its inheritance, and is written so.
TEST_F(BlockData, AnEntryBeyondThePaletteDropsTheInheritance) {
  const cPalette common = PaletteOf(2);
  cPalette stage = PaletteOf(3);
  stage.m_Blocks[2].m_nContact = BLOCK_CONTACT_NONE;
  cBlockData block;
  block.m_nGraphic = 1;
  block.m_nInheritSource = PALETTE_STAGE;
  block.m_nInheritIndex = 3;
  block.m_InheritFlags[BLOCK_GROUP_CONTACT] = 1;

  cBlockData applied = block;
  applied.ApplyInherit(ContextOf(common, stage));
  EXPECT_EQ(applied.m_nInheritSource, PALETTE_NONE);
  EXPECT_EQ(applied.m_nInheritIndex, 3);  // only Validate drops the index

  const cBlockData loaded = Reload(block, ContextOf(common, stage));
  EXPECT_EQ(loaded.m_nContact, BLOCK_CONTACT_SOLID);
  EXPECT_EQ(loaded.m_nInheritSource, PALETTE_NONE);
  EXPECT_EQ(loaded.m_nInheritIndex, 0);
}

TEST_F(BlockData, ValidateDropsReferencesBeyondEitherPalette) {
  struct Case {
    int source;
    int index;
    int expectedSource;
    int expectedIndex;
  };
  // Common palette of 2 blocks, stage palette of 4.
  const Case cases[] = {
      {PALETTE_COMMON, 1, PALETTE_COMMON, 1}, {PALETTE_COMMON, 2, 0, 0}, {PALETTE_STAGE, 3, PALETTE_STAGE, 3},
      {PALETTE_STAGE, 4, 0, 0},               {PALETTE_STAGE, -1, 0, 0}, {PALETTE_COMMON, -32768, 0, 0},
      {5, 9, 5, 9},  // no palette of that number: nothing to check against
  };
  const cPalette common = PaletteOf(2);
  const cPalette stage = PaletteOf(4);
  for (const Case& c : cases) {
    cBlockData block;
    block.m_nInheritSource = static_cast<std::uint8_t>(c.source);
    block.m_nInheritIndex = static_cast<std::int16_t>(c.index);
    block.Validate(ContextOf(common, stage));
    EXPECT_EQ(block.m_nInheritSource, c.expectedSource) << c.source << "/" << c.index;
    EXPECT_EQ(block.m_nInheritIndex, c.expectedIndex) << c.source << "/" << c.index;
  }
}

TEST_F(BlockData, ItemReferencesBeyondTheirPaletteAreDropped) {
  struct Case {
    int palette;
    int index;
    bool kept;
  };
  // Common palette of 3 items, stage palette of 2.
  const Case cases[] = {{PALETTE_COMMON, 2, true}, {PALETTE_COMMON, 3, false}, {PALETTE_STAGE, 1, true},
                        {PALETTE_STAGE, 2, false}, {PALETTE_STAGE, -2, false}, {PALETTE_NONE, 40, true}};
  const cPalette common = PaletteOf(3);
  const cPalette stage = PaletteOf(2);
  for (const Case& c : cases) {
    cBlockData block;
    block.m_nItemPalette = static_cast<std::uint8_t>(c.palette);
    block.m_nItemIndex = static_cast<std::int16_t>(c.index);
    block.ValidateItemRef(ContextOf(common, stage));
    EXPECT_EQ(block.m_nItemPalette, c.kept ? c.palette : 0) << c.palette << "/" << c.index;
    EXPECT_EQ(block.m_nItemIndex, c.kept ? c.index : 0) << c.palette << "/" << c.index;
  }
}

TEST_F(BlockData, ABlockWithoutGraphicIsWrittenNeitherSolidNorFixed) {
  cBlockData block;
  block.m_nGraphic = 0;
  block.m_nContact = BLOCK_CONTACT_DEADLY;
  block.m_bFixed = 1;
  const cBlockData loaded = Reload(block, cPaletteContext::Standalone());
  EXPECT_EQ(loaded.m_nContact, BLOCK_CONTACT_NONE);
  EXPECT_EQ(loaded.m_bFixed, 0);
  cBlockData drawn;
  drawn.m_nGraphic = 1;
  drawn.m_bFixed = 1;
  EXPECT_EQ(Reload(drawn, cPaletteContext::Standalone()).m_bFixed, 1);
}

// Flags past the eleven groups come only from damaged files and name no group.
TEST_F(BlockData, AFlagListLongerThanTheGroupsIsHarmless) {
  cPalette common = PaletteOf(3);
  common.m_Blocks[2].m_nGraphic = 9;
  common.m_Blocks[2].m_bFixed = 1;
  cBlockData block;
  block.m_nGraphic = 1;
  block.m_nInheritSource = PALETTE_COMMON;
  block.m_nInheritIndex = 2;
  block.m_InheritFlags.assign(300, 1);
  const cBlockData loaded = Reload(block, ContextOf(common, PaletteOf(2)));
  EXPECT_EQ(loaded.m_nGraphic, 9);
  EXPECT_EQ(loaded.m_bFixed, 1);
  EXPECT_EQ(loaded.m_InheritFlags.size(), 300u);
}

// Outside a stage the stage palette is unknown: references into it are kept
// as they are, not repaired against an empty list.
TEST_F(BlockData, AStandaloneBlockLeavesStageReferencesAlone) {
  cBlockData block;
  block.m_nGraphic = 1;
  block.m_nInheritSource = PALETTE_STAGE;
  block.m_nInheritIndex = 6;
  block.m_InheritFlags[BLOCK_GROUP_CONTACT] = 1;
  block.m_nItemPalette = PALETTE_STAGE;
  block.m_nItemIndex = 8;
  cBlockData loaded = Reload(block, cPaletteContext::Standalone());
  loaded.ValidateItemRef(cPaletteContext::Standalone());
  EXPECT_EQ(loaded.m_nInheritSource, PALETTE_STAGE);
  EXPECT_EQ(loaded.m_nInheritIndex, 6);
  EXPECT_EQ(loaded.m_nItemIndex, 8);
}

TEST_F(BlockData, ACopyOwnsItsConditions) {
  cBlockData block;
  block.m_Conds = deftest::CondsOf(1, COND_COMMON_VAR);
  cBlockData copy = block;
  copy.m_Conds[0].m_nValue = 5;
  EXPECT_EQ(block.m_Conds[0].m_nValue, 0);
}

TEST_F(BlockData, TruncatedBlocksAreRefused) {
  cBlockData block = FullBlock();
  deftest::ExpectEveryTruncationRefused(block);
}

}  // namespace

// Item definitions: the stored form, the shot-sheet upgrade, inheritance of
// each property group, the repairs of references, scale and sound, and the
// palette look-up of items.

#include "data/ItemData.h"

#include <gtest/gtest.h>

#include "data/DefinitionTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using deftest::Bytes;
using deftest::ContextOf;
using deftest::PaletteOf;
using deftest::Reload;
using deftest::WriteAt;

class ItemData : public deftest::cDefinitionTest {
 protected:
  void SetUp() override {
    cDefinitionTest::SetUp();
    g_Database.m_Sounds.resize(10);
  }
};

cCommand StatusCommand(int sound) {
  cCommand command;
  command.m_nSet = 1;
  command.m_nType = FLOW_CMD_STATUS - kItemToFlowCmdOffset;
  command.m_Params.assign(static_cast<std::size_t>(command.ParamCount()), 4);
  command.m_nSound = static_cast<std::int16_t>(sound);
  return command;
}

cItemData FullItem() {
  cItemData item;
  item.m_nInheritSource = PALETTE_STAGE;
  item.m_nInheritIndex = 1;
  item.m_nAppearRule = 1;
  item.m_bAppearLatch = 1;
  item.m_nSpareA = -3;
  item.m_nSpareB = 1234;
  item.m_nGraphic = 77;
  item.m_nGraphicKind = GRAPHIC_SHOT;
  item.m_nGraphicRow = 5;
  item.m_nZ = 7;
  item.m_bTransparent = 1;
  item.m_bMarkShown = 1;
  item.m_nMark = 118;
  item.m_bGetMessage = 0;
  item.m_nTakeMode = ITEM_TAKE_NEVER;
  item.m_nScale = 10;
  item.m_nSound = 9;
  item.m_strName = "アイテム";
  item.m_nCellX = 12;
  item.m_nCellY = 34;
  item.m_InheritFlags.assign(ITEM_GROUP_COUNT, 0);
  item.m_Conds = deftest::CondsOf(1, COND_COMMON_VAR);
  item.m_Commands = {StatusCommand(1), StatusCommand(2)};
  return item;
}

TEST_F(ItemData, RoundTripKeepsEveryMember) {
  cItemData item = FullItem();
  cItemData loaded;
  ASSERT_TRUE(deftest::RoundTripsWithTwoEntryPalettes(item, loaded));
  EXPECT_EQ(loaded.m_nSpareA, -3);
  EXPECT_EQ(loaded.m_nGraphic, 77);
  EXPECT_EQ(loaded.m_nTakeMode, ITEM_TAKE_NEVER);
  EXPECT_EQ(loaded.m_nSound, 9);
  EXPECT_EQ(loaded.m_strName, "アイテム");
  EXPECT_EQ(loaded.m_nCellY, 34);
  ASSERT_EQ(loaded.m_Commands.size(), 2u);
  EXPECT_EQ(loaded.m_Commands[1].m_nSound, 2);
}

TEST_F(ItemData, DescriptorCountsArePinned) {
  cItemData item;
  for (int version : {1, 218, DATA_VERSION}) {
    EXPECT_EQ(item.CountMembers(version), 17) << version;
    EXPECT_EQ(item.CountStrings(version), 1) << version;
  }
}

TEST_F(ItemData, GoldenBytesOfADefaultItem) {
  using namespace testsupport;
  cItemData item;
  const Bytes expected = ByteBuilder()
                             .Record({U8(0), I16(0), U8(0), U8(0), I16(0), I16(0), I16(0), U8(2), I16(0), U8(6), U8(0),
                                      U8(0), I16(0), U8(1), U8(0), U8(1), I16(0)},
                                     {""})
                             .I16(0)
                             .I16(0)
                             .U32(13)
                             .Raw(std::vector<std::uint8_t>(13, 0))
                             .U32(0)
                             .U32(0)
                             .Bytes();
  EXPECT_EQ(WriteAt(item, cPaletteContext::Standalone()), expected);
}

TEST_F(ItemData, ShotSheetGraphicsOfOlderFilesMoveUpOne) {
  deftest::ExpectShotSheetShift<cItemData>({{200, GRAPHIC_SHOT, 119, 119},
                                            {200, GRAPHIC_SHOT, 5, 6},
                                            {218, GRAPHIC_SHOT, 200, 119},
                                            {219, GRAPHIC_SHOT, 5, 5},
                                            {200, GRAPHIC_ITEM, 5, 5}});
}

void SetItemGroup(cItemData& item, int group, int seed) {
  const auto v = static_cast<std::uint8_t>(seed);
  const auto s = static_cast<std::int16_t>(seed);
  switch (group) {
    case ITEM_GROUP_NAME: item.m_strName = "品" + std::to_string(seed); break;
    case ITEM_GROUP_CONDITIONS:
      item.m_Conds = deftest::CondsOf(seed, seed);
      item.m_nAppearRule = seed == 7;
      item.m_bAppearLatch = seed != 7;
      break;
    case ITEM_GROUP_SPARE_A: item.m_nSpareA = static_cast<std::int16_t>(-s); break;
    case ITEM_GROUP_SPARE_B: item.m_nSpareB = static_cast<std::int16_t>(s * 3); break;
    case ITEM_GROUP_GRAPHIC:
      item.m_nGraphicKind = static_cast<std::uint8_t>(seed % 5);
      item.m_nGraphic = static_cast<std::int16_t>(s * 10);
      item.m_nGraphicRow = static_cast<std::int16_t>(s * 100);
      break;
    case ITEM_GROUP_Z: item.m_nZ = v; break;
    case ITEM_GROUP_TRANSPARENT: item.m_bTransparent = seed == 7; break;
    case ITEM_GROUP_MARK:
      item.m_bMarkShown = seed == 7;
      item.m_nMark = static_cast<std::int16_t>(s + 20);
      break;
    case ITEM_GROUP_SCALE: item.m_nScale = v; break;
    case ITEM_GROUP_TAKE_MODE: item.m_nTakeMode = static_cast<std::uint8_t>(seed % 3); break;
    case ITEM_GROUP_GET_MESSAGE: item.m_bGetMessage = seed != 7; break;
    case ITEM_GROUP_SOUND: item.m_nSound = static_cast<std::int16_t>(s + 1); break;
    case ITEM_GROUP_COMMANDS:
      item.m_Commands.clear();
      for (int i = 0; i < seed; ++i) item.m_Commands.push_back(StatusCommand(seed));
      break;
  }
}

std::string ItemGroup(const cItemData& item, int group) {
  using deftest::Join;
  switch (group) {
    case ITEM_GROUP_NAME: return item.m_strName;
    case ITEM_GROUP_CONDITIONS:
      return Join({static_cast<long long>(item.m_Conds.size()), item.m_Conds.empty() ? -1 : item.m_Conds[0].m_nKind,
                   item.m_nAppearRule, item.m_bAppearLatch});
    case ITEM_GROUP_SPARE_A: return Join({item.m_nSpareA});
    case ITEM_GROUP_SPARE_B: return Join({item.m_nSpareB});
    case ITEM_GROUP_GRAPHIC: return Join({item.m_nGraphicKind, item.m_nGraphic, item.m_nGraphicRow});
    case ITEM_GROUP_Z: return Join({item.m_nZ});
    case ITEM_GROUP_TRANSPARENT: return Join({item.m_bTransparent});
    case ITEM_GROUP_MARK: return Join({item.m_bMarkShown, item.m_nMark});
    case ITEM_GROUP_SCALE: return Join({item.m_nScale});
    case ITEM_GROUP_TAKE_MODE: return Join({item.m_nTakeMode});
    case ITEM_GROUP_GET_MESSAGE: return Join({item.m_bGetMessage});
    case ITEM_GROUP_SOUND: return Join({item.m_nSound});
    case ITEM_GROUP_COMMANDS:
      return Join({static_cast<long long>(item.m_Commands.size()),
                   item.m_Commands.empty() ? -1 : item.m_Commands[0].m_nSound});
  }
  return "no such group";
}

TEST_F(ItemData, EachFlaggedGroupComesFromThePaletteEntryAndNothingElse) {
  deftest::ExpectEachGroupInheritedAlone<cItemData>(ITEM_GROUP_COUNT, SetItemGroup, ItemGroup);
}

TEST_F(ItemData, InheritedCommandsAreCopiesOfTheirOwn) {
  cPalette common = PaletteOf(3);
  common.m_Items[2].m_Commands = {StatusCommand(3)};
  common.m_Items[2].m_Commands[0].m_Shot.Create().m_nCount = 4;
  cItemData item;
  item.m_nInheritSource = PALETTE_COMMON;
  item.m_nInheritIndex = 2;
  item.m_InheritFlags[ITEM_GROUP_COMMANDS] = 1;
  item.ApplyInherit(ContextOf(common, PaletteOf(2)));
  ASSERT_EQ(item.m_Commands.size(), 1u);
  item.m_Commands[0].m_Shot->m_nCount = 9;
  EXPECT_EQ(common.m_Items[2].m_Commands[0].m_Shot->m_nCount, 4);
}

TEST_F(ItemData, GraphicGroupComesFromTheCommonPaletteOnlyWithAnIndex) {
  cPalette common = PaletteOf(3);
  common.m_Items[2].m_nGraphicKind = GRAPHIC_CHARA;
  common.m_Items[2].m_nGraphic = 40;
  common.m_Items[2].m_nGraphicRow = 3;
  for (int index : {2, 0}) {
    cItemData item;
    item.m_nInheritSource = PALETTE_COMMON;
    item.m_nInheritIndex = static_cast<std::int16_t>(index);
    item.m_InheritFlags[ITEM_GROUP_GRAPHIC] = 1;
    const cItemData loaded = Reload(item, ContextOf(common, PaletteOf(2)));
    EXPECT_EQ(loaded.m_nGraphicKind, index == 2 ? GRAPHIC_CHARA : GRAPHIC_ITEM) << index;
    EXPECT_EQ(loaded.m_nGraphic, index == 2 ? 40 : 0) << index;
    EXPECT_EQ(loaded.m_nGraphicRow, index == 2 ? 3 : 0) << index;
  }
}

// Index 7 of a common list of five: no inheritance, and none written.
TEST_F(ItemData, AnEntryBeyondThePaletteDropsTheInheritance) {
  cPalette common = PaletteOf(5);
  cItemData item;
  item.m_nInheritSource = PALETTE_COMMON;
  item.m_nInheritIndex = 7;
  item.m_InheritFlags.assign(ITEM_GROUP_COUNT, 1);
  item.m_nScale = 4;
  const cPaletteContext palettes = ContextOf(common, PaletteOf(2));
  cItemData applied = item;
  applied.ApplyInherit(palettes);
  EXPECT_EQ(applied.m_nInheritSource, PALETTE_NONE);
  EXPECT_EQ(applied.m_nScale, 4);
  const Bytes written = WriteAt(item, palettes);
  EXPECT_EQ(written[4], PALETTE_NONE);  // the first member, after the member count
  EXPECT_EQ(item.m_nInheritIndex, 0);
}

TEST_F(ItemData, ValidateRepairsScaleSoundAndCommands) {
  struct Case {
    std::uint8_t scale;
    std::int16_t sound;
    std::uint8_t expectedScale;
    std::int16_t expectedSound;
  };
  // Ten sound entries.
  const Case cases[] = {{0, 9, 1, 9}, {200, 10, 1, 0}, {127, -1, 127, 0}, {1, 0, 1, 0}, {10, 3, 10, 3}};
  for (const Case& c : cases) {
    cItemData item;
    item.m_nScale = c.scale;
    item.m_nSound = c.sound;
    item.m_Commands = {StatusCommand(40)};
    item.m_Commands[0].m_Params.resize(1);
    item.Validate(cPaletteContext::Standalone());
    EXPECT_EQ(item.m_nScale, c.expectedScale) << int(c.scale);
    EXPECT_EQ(item.m_nSound, c.expectedSound) << c.sound;
    EXPECT_EQ(item.m_Commands[0].m_nSound, 0);
    EXPECT_EQ(static_cast<int>(item.m_Commands[0].m_Params.size()), item.m_Commands[0].ParamCount());
  }
}

// Flags past the thirteen groups name none.
TEST_F(ItemData, OnlyTheFirstThirteenFlagsApply) {
  cPalette common = PaletteOf(3);
  common.m_Items[2].m_nSound = 5;
  cItemData item;
  item.m_nInheritSource = PALETTE_COMMON;
  item.m_nInheritIndex = 2;
  item.m_InheritFlags.assign(15, 1);
  const cItemData loaded = Reload(item, ContextOf(common, PaletteOf(2)));
  EXPECT_EQ(loaded.m_nSound, 5);
  EXPECT_EQ(loaded.m_InheritFlags.size(), 15u);
}

TEST_F(ItemData, ItemGetCommandsAreRepairedAgainstThePaletteSizes) {
  cCommand get;
  get.m_nSet = 1;
  get.m_nType = ITEM_CMD_ITEM_GET;
  get.m_Params = {1, 5};  // the stage list, item 5
  cItemData item;
  item.m_Commands = {get};
  item.ValidateShotRefs(ContextOf(PaletteOf(2), PaletteOf(6)));
  EXPECT_EQ(item.m_Commands[0].m_Params[1], 5);
  item.ValidateShotRefs(ContextOf(PaletteOf(2), PaletteOf(5)));
  EXPECT_EQ(item.m_Commands[0].m_Params[1], 1);
}

TEST_F(ItemData, PaletteLookUp) {
  cPalette common = PaletteOf(3);
  cPalette stage = PaletteOf(2);
  const cPaletteContext palettes = ContextOf(common, stage);
  struct Case {
    int palette;
    std::int16_t index;
    const cItemData* expected;
  };
  const Case cases[] = {{PALETTE_COMMON, 2, &common.m_Items[2]}, {PALETTE_COMMON, 3, nullptr},
                        {PALETTE_STAGE, 1, &stage.m_Items[1]},   {PALETTE_STAGE, 2, nullptr},
                        {PALETTE_STAGE, -1, nullptr},            {PALETTE_NONE, 0, nullptr},
                        {3, 0, nullptr}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetPaletteItem(palettes, c.palette, c.index), c.expected) << c.palette << "/" << c.index;
  }
}

}  // namespace

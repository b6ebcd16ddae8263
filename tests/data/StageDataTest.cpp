// The stage record and the stage file: defaults, the file form and its
// versions, the repairs of Normalize, the hit level, the replay form, and
// loading a stage file for play on a worker thread.

#include "data/StageData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RecordTestSupport.h"
#include "core/MainWindow.h"
#include "core/PathUtil.h"
#include "core/Thread.h"
#include "data/Database.h"
#include "data/Palette.h"
#include "platform/MessageBox.h"
#include "platform/MessageCore.h"
#include "support/ByteBuilder.h"

namespace {

// A small stage that plays: a 40 by 15 map, a wall block in its palette, a
// floor of placed blocks, a hero, an enemy, an item, two layers, three
// variable names.
cStageData MakeStage(const std::string& name = "stage") {
  cStageData stage;
  stage.m_Name = name;
  stage.m_Width = 40;
  stage.m_Height = 15;
  stage.m_TimeLimitOn = 1;
  stage.m_Bgm = 1;
  stage.m_PaletteBlocks.resize(2);
  stage.m_PaletteBlocks[1].m_strName = "wall";
  stage.m_PaletteBlocks[1].m_nGraphic = 3;
  for (int x = 0; x < 5; ++x) {
    cBlockData block;
    block.m_nGraphic = 1;
    block.m_nCellX = static_cast<int16_t>(x);
    block.m_nCellY = 14;
    stage.m_PlacedBlocks.push_back(block);
  }
  cCharaData hero;
  hero.m_strName = "hero";
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nGraphic = 1;
  hero.m_nCellX = 2;
  hero.m_nCellY = 12;
  cCharaData enemy;
  enemy.m_strName = "enemy";
  enemy.m_nGraphic = 5;
  enemy.m_nCellX = 9;
  enemy.m_nCellY = 12;
  stage.m_PlacedCharas = {enemy, hero};
  cItemData item;
  item.m_strName = "coin";
  item.m_nGraphic = 2;
  stage.m_PlacedItems.push_back(item);
  stage.m_BgLayers.resize(2);
  stage.m_BgLayers[1].m_strPicture = "bg.bmp";
  stage.m_VarNames.resize(3);
  stage.m_VarNames[2].m_strName = "counter";
  return stage;
}

std::vector<std::uint8_t> StageFileBytes(cStageData stage, int version = DATA_VERSION) {
  cByteWriter out(version);
  BeginDataWrite(out);
  stage.Write(out);
  return out.TakeBytes();
}

std::uint32_t LastWord(const std::vector<std::uint8_t>& bytes) {
  const std::size_t n = bytes.size();
  return static_cast<std::uint32_t>(bytes[n - 4]) | static_cast<std::uint32_t>(bytes[n - 3]) << 8 |
         static_cast<std::uint32_t>(bytes[n - 2]) << 16 | static_cast<std::uint32_t>(bytes[n - 1]) << 24;
}

// ---- defaults and form ------------------------------------------------------------

TEST(StageDataTest, DefaultsOfAFreshStage) {
  const cStageData stage;
  EXPECT_EQ(stage.m_Fps, 60);
  EXPECT_EQ(stage.m_TimeLimit, 200);
  EXPECT_EQ(stage.m_TimeWarning, 20);
  EXPECT_DOUBLE_EQ(stage.m_Gravity, 0.4);
  EXPECT_EQ(stage.m_HitLevel, 10);
  EXPECT_EQ(stage.m_ShowHud, 1);
  EXPECT_EQ(stage.m_ShowReadyCaption, 1);
  EXPECT_EQ(stage.m_HeroBlockBox.m_nHeight, 24);
  EXPECT_EQ(stage.m_CharaCharaBox.m_nWidth, 12);
  EXPECT_EQ(stage.m_CharaShotBox.m_nWidth, 30);
  EXPECT_EQ(stage.m_ItemBox.m_nHeight, 28);
  EXPECT_EQ(stage.m_Reserved5, 1);
  EXPECT_EQ(stage.m_PlayerHitGap, 30);
  EXPECT_EQ(stage.m_RankFlags, (cSafeVector<int32_t>{1, 1, 1, 1, 1}));
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_CHARAS].m_bLeft, 0);
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_PLAYER_SHOTS].m_bBottom, 1);
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_PLAYER_SHOTS].m_nLeftMargin, 0);
  EXPECT_EQ(stage.m_Areas[STAGE_AREA_COMPUTER_SHOTS].m_nTopMargin, 10);
  EXPECT_EQ(stage.m_PaletteBlocks.size(), 1u);
  EXPECT_EQ(stage.m_PaletteCharas.size(), 1u);
  EXPECT_EQ(stage.m_PaletteItems.size(), 1u);
  EXPECT_TRUE(stage.m_PlacedCharas.empty());
  ASSERT_EQ(stage.m_BgLayers.size(), 1u);
  EXPECT_EQ(stage.m_BgLayers[0].m_bShown, 1);
  EXPECT_EQ(stage.m_SubSteps, 10);
}

TEST(StageDataTest, HeaderMemberCountsPerVersion) {
  // Each box is two members; the string is the name alone.
  const struct {
    int version;
    int members;
  } kCounts[] = {{100, 71}, {155, 79}, {166, 80}, {199, 83}, {200, 97}, {DATA_VERSION, 98}};
  cStageData stage;
  for (const auto& c : kCounts) EXPECT_EQ(stage.CountMembers(c.version), c.members) << c.version;
  EXPECT_EQ(stage.CountStrings(DATA_VERSION), 1);
}

// The header of a current file, member by member in its file order, each with
// a value of its own. The scroll limits lie inside the map and the music index
// inside the database, so Normalize keeps them; the sub-step members hold what
// hit level 15 with gravity 0.75 gives, so recomputing them changes nothing.
TEST(StageDataTest, HeaderMembersAreStoredInTheirFileOrder) {
  using testsupport::ByteBuilder;
  struct Member {
    int32_t cStageData::*pInt = nullptr;
    cBoxSize cStageData::*pBox = nullptr;  // width, then height
    double cStageData::*pDouble = nullptr;
    int32_t nValue = 0;
    double dValue = 0.0;
  };
  std::vector<Member> members;
  const auto I = [&](int32_t cStageData::*p, int32_t value) { members.push_back({p, nullptr, nullptr, value, 0.0}); };
  const auto B = [&](cBoxSize cStageData::*p, int32_t w, int32_t h) {
    members.push_back({nullptr, p, nullptr, w, 0.0});
    members.push_back({nullptr, p, nullptr, h, 0.0});
  };
  const auto D = [&](double cStageData::*p, double value) { members.push_back({nullptr, nullptr, p, 0, value}); };
  using S = cStageData;
  I(&S::m_Width, 1002), I(&S::m_Reserved1, 1003), I(&S::m_Reserved2, 1004), I(&S::m_Height, 1005);
  I(&S::m_ScrollLimitLeftOn, 1006), I(&S::m_ScrollLimitRightOn, 1007), I(&S::m_ScrollLimitTopOn, 1008);
  I(&S::m_ScrollLimitBottomOn, 1009), I(&S::m_ScrollLimitLeft, 110), I(&S::m_ScrollLimitRight, 111);
  I(&S::m_ScrollLimitTop, 112), I(&S::m_ScrollLimitBottom, 113), I(&S::m_Fps, 1014), I(&S::m_TimeLimitOn, 1015);
  I(&S::m_TimeLimit, 1016), I(&S::m_TimeWarning, 1017), I(&S::m_AutoScrollX, 1018), I(&S::m_AutoScrollY, 1019);
  I(&S::m_AutoScrollSpeedX, 1020), I(&S::m_AutoScrollSpeedY, 1021), D(&S::m_Gravity, 0.75), I(&S::m_HitLevel, 15);
  I(&S::m_ContactChecks, 1024), I(&S::m_Bgm, 1), I(&S::m_BgmLoop, 1026), I(&S::m_BgmKeepOnRetry, 1027);
  I(&S::m_Layered, 1028), I(&S::m_RestoreStatus, 1029), I(&S::m_StoreStatus, 1030), I(&S::m_ShowHud, 1031);
  I(&S::m_AutoAdvance, 1032), I(&S::m_ShowStageCaption, 1033), I(&S::m_ShowReadyCaption, 1034);
  I(&S::m_ShowClearCaption, 1035), I(&S::m_ShowGameOverCaption, 1036);
  B(&S::m_HeroBlockBox, 1037, 1038), B(&S::m_HeroBlockBoxFly, 1039, 1040), B(&S::m_HeroCharaBox, 1041, 1042);
  B(&S::m_HeroCharaBoxFly, 1043, 1044), B(&S::m_HeroShotBox, 1045, 1046), B(&S::m_HeroItemBox, 1047, 1048);
  I(&S::m_HeroBlockBoxBottom, 1049), I(&S::m_HeroBlockBoxFlyBottom, 1050), I(&S::m_HeroCharaBoxBottom, 1051);
  I(&S::m_HeroCharaBoxFlyBottom, 1052), I(&S::m_BoxShowBlock, 1053), I(&S::m_BoxShowChara, 1054);
  I(&S::m_BoxShowShot, 1055), I(&S::m_BoxShowItem, 1056), I(&S::m_BoxColourBlock, 1057);
  I(&S::m_BoxColourChara, 1058), I(&S::m_BoxColourShot, 1059), I(&S::m_BoxColourItem, 1060);
  B(&S::m_CharaBlockBox, 1061, 1062), B(&S::m_CharaBlockBoxFly, 1063, 1064), B(&S::m_CharaCharaBox, 1065, 1066);
  B(&S::m_CharaCharaBoxFly, 1067, 1068), B(&S::m_CharaShotBox, 1069, 1070), I(&S::m_CharaBlockBoxBottom, 1071);
  I(&S::m_CharaBlockBoxFlyBottom, 1072), I(&S::m_CharaCharaBoxBottom, 1073), I(&S::m_CharaCharaBoxFlyBottom, 1074);
  B(&S::m_ItemBox, 1075, 1076), B(&S::m_PlayerShotBox, 1077, 1078), B(&S::m_Reserved3, 1079, 1080);
  B(&S::m_ComputerShotBox, 1081, 1082), B(&S::m_Reserved4, 1083, 1084), I(&S::m_Reserved5, 1085);
  I(&S::m_AreaLimitX, 1086), I(&S::m_AreaLimitY, 1087), I(&S::m_SubSteps, 5), D(&S::m_SubStepsF, 5.0);
  D(&S::m_SubStepsSq, 25.0), D(&S::m_SpeedLimit, 60.0), D(&S::m_GravityStep, 0.75 / 25.0);
  D(&S::m_SpeedLimitStep, 12.0), I(&S::m_BlockTimeout, 40), I(&S::m_ContactOnScreenOnly, 1095);
  I(&S::m_PlayerHitGap, 1096), I(&S::m_PlayerNoHitTime, 1097), I(&S::m_ComputerHitGap, 1098);
  I(&S::m_ComputerNoHitTime, 1099);
  ASSERT_EQ(members.size(), 98u);

  ByteBuilder header;
  header.U32(DATA_VERSION).U32(static_cast<std::uint32_t>(members.size()));
  for (const Member& m : members) {
    if (m.pDouble != nullptr) header.F64(m.dValue);
    else header.I32(m.nValue);
  }
  header.U32(1).Str("golden");

  // The rest of the file is that of a fresh stage, whose name is empty.
  const std::vector<std::uint8_t> fresh = StageFileBytes(cStageData());
  const std::size_t freshHeaderSize = 4 + 4 + 92 * 4 + 6 * 8 + 4 + 4;
  std::vector<std::uint8_t> file = header.Bytes();
  file.insert(file.end(), fresh.begin() + static_cast<std::ptrdiff_t>(freshHeaderSize), fresh.end());

  cStageData stage;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(stage, file));
  for (std::size_t i = 0; i < members.size(); ++i) {
    const Member& m = members[i];
    SCOPED_TRACE(i + 2);  // the member's row number
    if (m.pDouble != nullptr) {
      EXPECT_DOUBLE_EQ(stage.*(m.pDouble), m.dValue);
    } else if (m.pInt != nullptr) {
      EXPECT_EQ(stage.*(m.pInt), m.nValue);
    } else {
      const bool bWidth = i + 1 < members.size() && members[i + 1].pBox == m.pBox;
      EXPECT_EQ(bWidth ? (stage.*(m.pBox)).m_nWidth : (stage.*(m.pBox)).m_nHeight, m.nValue);
    }
  }
  EXPECT_EQ(stage.m_Name, "golden");

  const std::vector<std::uint8_t> written = StageFileBytes(stage);
  ASSERT_GE(written.size(), header.Size());
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(header.Size())),
            header.Bytes());
}

TEST(StageDataTest, RoundTripKeepsEveryPart) {
  cStageData stage = MakeStage("round");
  stage.m_AutoScrollSpeedX = -7;
  stage.m_Gravity = 0.55;
  stage.m_HeroShotBox = {9, 11};
  stage.m_ComputerNoHitTime = 4;
  stage.m_RankFlags = {1, 0, 1, 0, 1};
  stage.m_Areas[STAGE_AREA_ITEMS].Set(1, 1, 0, 0, 3, 4, 5, 6);
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, StageFileBytes(stage)));
  EXPECT_EQ(back.m_Name, "round");
  EXPECT_EQ(back.m_AutoScrollSpeedX, -7);
  EXPECT_DOUBLE_EQ(back.m_Gravity, 0.55);
  EXPECT_EQ(back.m_HeroShotBox.m_nHeight, 11);
  EXPECT_EQ(back.m_ComputerNoHitTime, 4);
  EXPECT_EQ(back.m_RankFlags, (cSafeVector<int32_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(back.m_Areas[STAGE_AREA_ITEMS].m_nBottomMargin, 6);
  EXPECT_EQ(back.m_PaletteBlocks[1].m_strName, "wall");
  ASSERT_EQ(back.m_PlacedBlocks.size(), 5u);
  EXPECT_EQ(back.m_PlacedBlocks[4].m_nCellX, 4);
  ASSERT_EQ(back.m_PlacedCharas.size(), 2u);
  EXPECT_EQ(back.m_PlacedCharas[1].m_strName, "hero");
  EXPECT_EQ(back.m_PlacedItems[0].m_strName, "coin");
  ASSERT_EQ(back.m_BgLayers.size(), 2u);
  EXPECT_EQ(back.m_BgLayers[1].m_strPicture, "bg.bmp");
  ASSERT_EQ(back.m_VarNames.size(), static_cast<std::size_t>(kStageVarCount));
  EXPECT_EQ(back.m_VarNames[2].m_strName, "counter");
  // A stage read from a file writes a file that reads back to the same bytes.
  const std::vector<std::uint8_t> again = StageFileBytes(back);
  cStageData third;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(third, again));
  EXPECT_EQ(StageFileBytes(third), again);
}

TEST(StageDataTest, TrailerIsWrittenFromVersion173) {
  const cStageData stage = MakeStage();
  EXPECT_EQ(LastWord(StageFileBytes(stage, DATA_VERSION)), STAGE_TRAILER);
  EXPECT_EQ(LastWord(StageFileBytes(stage, 173)), STAGE_TRAILER);
  EXPECT_NE(LastWord(StageFileBytes(stage, 172)), STAGE_TRAILER);
  cStageData back;
  EXPECT_TRUE(cDataRecord::LoadFromBytes(back, StageFileBytes(stage, 172)));
}

// From version 174 the word after the lists must be the trailer; a version
// 173 file carries one too, which is read and dropped whatever it holds.
TEST(StageDataTest, AWrongTrailerIsRefusedFromVersion174) {
  for (int version : {173, 174, DATA_VERSION}) {
    SCOPED_TRACE(version);
    std::vector<std::uint8_t> bytes = StageFileBytes(MakeStage("stray"), version);
    bytes[bytes.size() - 1] ^= 0x40;
    cStageData back;
    back.m_Name = "before";
    const bool loaded = cDataRecord::LoadFromBytes(back, bytes);
    EXPECT_EQ(loaded, version == 173);
    EXPECT_EQ(back.m_Name, version == 173 ? "stray" : "before");
  }
}

// ---- upgrades ---------------------------------------------------------------------

struct cStageUpgradeCase {
  const char* name;
  int version;
  // Sets up the stage written into the file and the stage the file is read into.
  std::function<void(cStageData& written, cStageData& target)> prepare;
  std::function<void(const cStageData& read)> check;
};

const cStageUpgradeCase kUpgradeCases[] = {
    {"below 155 the flying boxes copy the plain ones", 154,
     [](cStageData& w, cStageData& t) {
       w.m_HeroCharaBox = {20, 30};
       w.m_CharaCharaBox = {10, 22};
       t.m_HeroCharaBoxFly = {1, 1};
       t.m_HeroCharaBoxBottom = t.m_HeroCharaBoxFlyBottom = t.m_CharaCharaBoxBottom = t.m_CharaCharaBoxFlyBottom = 1;
     },
     [](const cStageData& r) {
       EXPECT_EQ(r.m_HeroCharaBoxFly.m_nWidth, 20);
       EXPECT_EQ(r.m_HeroCharaBoxFly.m_nHeight, 30);
       EXPECT_EQ(r.m_CharaCharaBoxFly.m_nHeight, 22);
       EXPECT_EQ(r.m_HeroCharaBoxBottom + r.m_HeroCharaBoxFlyBottom + r.m_CharaCharaBoxBottom +
                     r.m_CharaCharaBoxFlyBottom, 0);
     }},
    {"from 155 the flying boxes are read", 155,
     [](cStageData& w, cStageData&) {
       w.m_HeroCharaBoxFly = {5, 6};
       w.m_CharaCharaBoxFlyBottom = 1;
     },
     [](const cStageData& r) {
       EXPECT_EQ(r.m_HeroCharaBoxFly.m_nHeight, 6);
       EXPECT_EQ(r.m_CharaCharaBoxFlyBottom, 1);
     }},
    {"below 166 the music loops", 165, [](cStageData&, cStageData&) {},
     [](const cStageData& r) { EXPECT_EQ(r.m_BgmLoop, 1); }},
    {"from 166 the loop flag is read", 166, [](cStageData& w, cStageData&) { w.m_BgmLoop = 0; },
     [](const cStageData& r) { EXPECT_EQ(r.m_BgmLoop, 0); }},
    {"below 181 the rank flags become five with the last two 0", 180,
     [](cStageData& w, cStageData&) { w.m_RankFlags = {1, 0, 1}; },
     [](const cStageData& r) { EXPECT_EQ(r.m_RankFlags, (cSafeVector<int32_t>{1, 0, 1, 0, 0})); }},
    {"below 181 five stored flags lose the last two", 180, [](cStageData&, cStageData&) {},
     [](const cStageData& r) { EXPECT_EQ(r.m_RankFlags, (cSafeVector<int32_t>{1, 1, 1, 0, 0})); }},
    {"from 181 the rank flags are read", 181, [](cStageData&, cStageData&) {},
     [](const cStageData& r) { EXPECT_EQ(r.m_RankFlags, (cSafeVector<int32_t>{1, 1, 1, 1, 1})); }},
    {"below 183 the status bar is shown", 182, [](cStageData&, cStageData& t) { t.m_ShowHud = 0; },
     [](const cStageData& r) { EXPECT_EQ(r.m_ShowHud, 1); }},
    {"from 183 the status-bar flag is read", 183, [](cStageData& w, cStageData&) { w.m_ShowHud = 0; },
     [](const cStageData& r) { EXPECT_EQ(r.m_ShowHud, 0); }},
    {"below 184 no automatic advance", 183, [](cStageData&, cStageData& t) { t.m_AutoAdvance = 1; },
     [](const cStageData& r) { EXPECT_EQ(r.m_AutoAdvance, 0); }},
    {"from 184 the advance flag is read", 184, [](cStageData& w, cStageData&) { w.m_AutoAdvance = 1; },
     [](const cStageData& r) { EXPECT_EQ(r.m_AutoAdvance, 1); }},
    {"below 199 the music restarts on retry", 198, [](cStageData&, cStageData& t) { t.m_BgmKeepOnRetry = 1; },
     [](const cStageData& r) { EXPECT_EQ(r.m_BgmKeepOnRetry, 0); }},
    {"from 199 the keep flag is read", 199, [](cStageData& w, cStageData&) { w.m_BgmKeepOnRetry = 1; },
     [](const cStageData& r) { EXPECT_EQ(r.m_BgmKeepOnRetry, 1); }},
    {"below 200 the block boxes get their old values", 199,
     [](cStageData&, cStageData& t) {
       t.m_HeroBlockBox = {1, 1};
       t.m_HeroBlockBoxFly = {1, 1};
       t.m_HeroBlockBoxBottom = 0;
       t.m_HeroBlockBoxFlyBottom = 1;
       t.m_BoxShowBlock = 2;
       t.m_CharaBlockBox = {1, 1};
       t.m_CharaBlockBoxFly = {1, 1};
       t.m_CharaBlockBoxFlyBottom = 0;
     },
     [](const cStageData& r) {
       EXPECT_EQ(r.m_HeroBlockBox.m_nWidth, 16);
       EXPECT_EQ(r.m_HeroBlockBox.m_nHeight, 24);
       EXPECT_EQ(r.m_HeroBlockBoxFly.m_nHeight, 16);
       EXPECT_EQ(r.m_HeroBlockBoxBottom, 1);
       EXPECT_EQ(r.m_HeroBlockBoxFlyBottom, 0);
       EXPECT_EQ(r.m_BoxShowBlock, 0);
       EXPECT_EQ(r.m_BoxColourBlock, 5);
       EXPECT_EQ(r.m_CharaBlockBox.m_nWidth, 16);
       EXPECT_EQ(r.m_CharaBlockBox.m_nHeight, 30);
       EXPECT_EQ(r.m_CharaBlockBoxFly.m_nHeight, 30);
       EXPECT_EQ(r.m_CharaBlockBoxBottom, 1);
       EXPECT_EQ(r.m_CharaBlockBoxFlyBottom, 1);
     }},
    {"from 200 the block boxes are read", 200,
     [](cStageData& w, cStageData&) {
       w.m_CharaBlockBox = {20, 21};
       w.m_BoxColourBlock = 2;
     },
     [](const cStageData& r) {
       EXPECT_EQ(r.m_CharaBlockBox.m_nHeight, 21);
       EXPECT_EQ(r.m_BoxColourBlock, 2);
     }},
    {"below 225 no ready caption", 224, [](cStageData&, cStageData&) {},
     [](const cStageData& r) { EXPECT_EQ(r.m_ShowReadyCaption, 0); }},
    {"from 225 the ready caption flag is read", 225, [](cStageData& w, cStageData&) { w.m_ShowReadyCaption = 1; },
     [](const cStageData& r) { EXPECT_EQ(r.m_ShowReadyCaption, 1); }},
    {"below 754 the variable names become 1000", 753, [](cStageData&, cStageData&) {},
     [](const cStageData& r) {
       ASSERT_EQ(r.m_VarNames.size(), static_cast<std::size_t>(kStageVarCount));
       EXPECT_EQ(r.m_VarNames[2].m_strName, "counter");
     }},
    {"a current file with a short name list is padded too", DATA_VERSION, [](cStageData&, cStageData&) {},
     [](const cStageData& r) { EXPECT_EQ(r.m_VarNames.size(), static_cast<std::size_t>(kStageVarCount)); }},
    {"a current file with too many rank flags is trimmed", DATA_VERSION,
     [](cStageData& w, cStageData&) { w.m_RankFlags = {0, 1, 0, 1, 0, 1, 1}; },
     [](const cStageData& r) { EXPECT_EQ(r.m_RankFlags, (cSafeVector<int32_t>{0, 1, 0, 1, 0})); }},
};

TEST(StageDataTest, UpgradeSteps) {
  for (const cStageUpgradeCase& c : kUpgradeCases) {
    SCOPED_TRACE(c.name);
    cStageData written = MakeStage();
    cStageData target;
    c.prepare(written, target);
    ASSERT_TRUE(cDataRecord::LoadFromBytes(target, StageFileBytes(written, c.version)));
    c.check(target);
    EXPECT_EQ(target.m_PlacedCharas.size(), 2u);
  }
}

// ---- repairs ----------------------------------------------------------------------

struct cScrollCase {
  int width, height;
  int left, right, top, bottom;
  int wantLeft, wantRight, wantTop, wantBottom;
};

TEST(StageDataTest, NormalizeCapsScrollLimitsToTheMap) {
  const cScrollCase kCases[] = {
      {40, 15, 30, 45, 5, 20, 20, 39, 0, 14},
      {40, 30, 10, 20, 10, 20, 10, 20, 10, 20},
      {10, 5, 30, 30, 30, 30, -10, 9, -10, 4},  // no lower bound
      {INT32_MIN, INT32_MIN, 0, 0, 0, 0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
  };
  for (const cScrollCase& c : kCases) {
    cStageData stage;
    stage.m_Width = c.width;
    stage.m_Height = c.height;
    stage.m_ScrollLimitLeft = c.left;
    stage.m_ScrollLimitRight = c.right;
    stage.m_ScrollLimitTop = c.top;
    stage.m_ScrollLimitBottom = c.bottom;
    stage.Normalize();
    EXPECT_EQ(stage.m_ScrollLimitLeft, c.wantLeft) << c.width;
    EXPECT_EQ(stage.m_ScrollLimitRight, c.wantRight) << c.width;
    EXPECT_EQ(stage.m_ScrollLimitTop, c.wantTop) << c.height;
    EXPECT_EQ(stage.m_ScrollLimitBottom, c.wantBottom) << c.height;
  }
}

TEST(StageDataTest, NormalizeDropsAMusicIndexBeyondTheDatabase) {
  const int count = static_cast<int>(g_Database.m_Bgms.size());
  ASSERT_GE(count, 2);
  const struct {
    int bgm, want;
  } kCases[] = {{1, 1}, {count - 1, count - 1}, {count, 0}, {count + 50, 0}, {-1, 0}};
  for (const auto& c : kCases) {
    cStageData stage;
    stage.m_Bgm = c.bgm;
    stage.Normalize();
    EXPECT_EQ(stage.m_Bgm, c.want) << c.bgm;
  }
}

// 0 is a stage without a frame limit; no rate is replaced, a damaged
// negative one included.
TEST(StageDataTest, TheFrameRateReadsBackAsStored) {
  for (int fps : {30, 60, 0, -5}) {
    cStageData stage = MakeStage();
    stage.m_Fps = fps;
    cStageData back;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(back, StageFileBytes(stage)));
    EXPECT_EQ(back.m_Fps, fps);
  }
}

TEST(StageDataTest, NormalizeUsesTheStageItIsCalledOn) {
  cStageData playing;
  playing.ApplyHitLevel(3);
  cStageData other;
  other.m_HitLevel = 15;
  other.m_SubSteps = 0;
  // Normalising one stage never recomputes another's derived values.
  std::swap(g_Stage, playing);
  other.Normalize();
  std::swap(g_Stage, playing);
  EXPECT_EQ(other.m_SubSteps, 5);
  EXPECT_EQ(playing.m_SubSteps, 3);
}

struct cHitLevelCase {
  int level;
  int storedLevel;
  int subSteps;
  double speedLimit;
  double speedLimitStep;
};

TEST(StageDataTest, HitLevelGivesTheSubStepValues) {
  const cHitLevelCase kCases[] = {
      {1, 1, 1, 6.0, 6.0},         {10, 10, 10, 60.0, 6.0},       {11, 11, 1, 60.0, 60.0},
      {15, 15, 5, 60.0, 12.0},     {19, 19, 9, 60.0, 60.0 / 9},   {20, 20, 20, 120.0, 6.0},
      {0, 1, 1, 6.0, 6.0},         {-7, 1, 1, 6.0, 6.0},          {1000000, kMaxHitLevel, kMaxHitLevel, 600.0, 6.0},
  };
  for (const cHitLevelCase& c : kCases) {
    cStageData stage;
    stage.m_Gravity = 0.5;
    stage.ApplyHitLevel(c.level);
    EXPECT_EQ(stage.m_HitLevel, c.storedLevel) << c.level;
    EXPECT_EQ(stage.m_SubSteps, c.subSteps) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_SubStepsF, c.subSteps) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_SubStepsSq, static_cast<double>(c.subSteps) * c.subSteps) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_SpeedLimit, c.speedLimit) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_SpeedLimitStep, c.speedLimitStep) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_GravityStep, 0.5 / (static_cast<double>(c.subSteps) * c.subSteps)) << c.level;
    EXPECT_EQ(stage.m_TicksPerTenth, 6 * c.subSteps) << c.level;
    EXPECT_EQ(stage.m_BlockTimeout, 8 * c.subSteps) << c.level;
  }
}

TEST(StageDataTest, AZeroHitLevelInAFileIsRepairedOnReading) {
  cStageData stage = MakeStage();
  stage.m_HitLevel = 0;
  std::vector<std::uint8_t> bytes;
  {
    // Normalize would repair the level before writing: write it by hand.
    cByteWriter out;
    BeginDataWrite(out);
    cStageData copy = stage;
    copy.Write(out);
    bytes = out.TakeBytes();
  }
  // The hit level is the 22nd plain member, after 20 i32 and the f64 gravity.
  const std::size_t offset = 4 + 4 + 20 * 4 + 8;
  bytes[offset] = 0;
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, bytes));
  EXPECT_EQ(back.m_HitLevel, 1);
  EXPECT_EQ(back.m_SubSteps, 1);
  EXPECT_EQ(back.m_TicksPerTenth, 6);
}

TEST(StageDataTest, PaletteEntryZeroComesBackAsTheNoneDefinition) {
  cStageData stage = MakeStage();
  stage.m_PaletteBlocks[0].m_strName = "junk";
  stage.m_PaletteBlocks[0].m_nGraphic = 4;
  stage.m_PaletteBlocks[0].m_bHidden = 1;
  stage.m_PaletteCharas[0].m_strName = "junk";
  stage.m_PaletteCharas[0].m_nMhp = 99;
  stage.m_PaletteItems[0].m_strName = "junk";
  stage.m_PaletteItems[0].m_nScale = 3;
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, StageFileBytes(stage)));
  EXPECT_EQ(back.m_PaletteBlocks[0].m_strName, "");
  EXPECT_EQ(back.m_PaletteBlocks[0].m_nGraphic, 0);
  EXPECT_EQ(back.m_PaletteBlocks[0].m_bHidden, 0);
  EXPECT_EQ(back.m_PaletteCharas[0].m_strName, "");
  EXPECT_EQ(back.m_PaletteCharas[0].m_nMhp, 10);
  EXPECT_EQ(back.m_PaletteItems[0].m_strName, "");
  EXPECT_EQ(back.m_PaletteItems[0].m_nScale, 1);
  // Entry 1 keeps what the file held.
  EXPECT_EQ(back.m_PaletteBlocks[1].m_strName, "wall");
}

TEST(StageDataTest, PaletteListsOfOneEntryAreWrittenWithTwo) {
  cStageData stage = MakeStage();
  stage.m_PaletteBlocks.resize(1);
  stage.m_PaletteCharas.resize(1);
  stage.m_PaletteItems.resize(1);
  cByteWriter out;
  BeginDataWrite(out);
  stage.Write(out);
  const std::vector<std::uint8_t> bytes = out.TakeBytes();
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, bytes));
  EXPECT_EQ(back.m_PaletteBlocks.size(), 2u);
  EXPECT_EQ(back.m_PaletteCharas.size(), 2u);
  EXPECT_EQ(back.m_PaletteItems.size(), 2u);
  // Writing pads the stage it writes, so the file holds the two entries.
  EXPECT_EQ(stage.m_PaletteBlocks.size(), 2u);
  EXPECT_EQ(stage.m_PaletteCharas.size(), 2u);
  EXPECT_EQ(stage.m_PaletteItems.size(), 2u);
}

TEST(StageDataTest, InheritanceReadsThePaletteOfTheStageBeingRead) {
  // The playing stage has a different palette: reading another stage must not
  // look at it.
  cStageData playing = MakeStage("playing");
  playing.m_PaletteBlocks.resize(10);
  playing.m_PaletteBlocks[1].m_strName = "theirs";
  std::swap(g_Stage, playing);

  cStageData stage = MakeStage("mine");
  stage.m_PlacedBlocks[0].m_nInheritSource = PALETTE_STAGE;
  stage.m_PlacedBlocks[0].m_nInheritIndex = 1;
  stage.m_PlacedBlocks[0].m_InheritFlags[BLOCK_GROUP_NAME] = 1;
  stage.m_PlacedBlocks[1].m_nInheritSource = PALETTE_STAGE;
  stage.m_PlacedBlocks[1].m_nInheritIndex = 1;
  cStageData back;
  const bool loaded = cDataRecord::LoadFromBytes(back, StageFileBytes(stage));
  std::swap(g_Stage, playing);

  ASSERT_TRUE(loaded);
  EXPECT_EQ(back.m_PlacedBlocks[0].m_strName, "wall");
  EXPECT_EQ(back.m_PlacedBlocks[0].m_nInheritSource, PALETTE_STAGE);
}

TEST(StageDataTest, PlacementTagsAreIgnoredOnReading) {
  // A stage with one placed item first differs from the same stage without it
  // at the item count; the item's tag follows the count.
  cStageData stage;
  stage.m_PlacedCharas.clear();
  stage.m_PlacedItems.resize(1);
  stage.m_PlacedItems[0].m_strName = "tagged";
  const std::vector<std::uint8_t> with = StageFileBytes(stage);
  cStageData without = stage;
  without.m_PlacedItems.clear();
  const std::vector<std::uint8_t> plain = StageFileBytes(without);
  std::size_t at = 0;
  while (at < plain.size() && with[at] == plain[at]) ++at;
  ASSERT_LT(at + 8, with.size());
  EXPECT_EQ(with[at + 4] | with[at + 5] | with[at + 6] | with[at + 7], 0);  // written 0
  std::vector<std::uint8_t> tagged = with;
  tagged[at + 4] = 0x5A;
  tagged[at + 7] = 0x7F;
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, tagged));
  ASSERT_EQ(back.m_PlacedItems.size(), 1u);
  EXPECT_EQ(back.m_PlacedItems[0].m_strName, "tagged");
}

// ---- hero, copies, replay form ------------------------------------------------------

TEST(StageDataTest, FindHeroTakesTheFirstPlayerCharacterWithAGraphic) {
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> charas;  // operator, graphic
    int hero;
  } kCases[] = {
      {"none placed", {}, -1},
      {"computer only", {{CHARA_BY_COMPUTER, 3}}, -1},
      {"player without graphic", {{CHARA_BY_PLAYER, 0}}, -1},
      {"second is the hero", {{CHARA_BY_COMPUTER, 3}, {CHARA_BY_PLAYER, 1}, {CHARA_BY_PLAYER, 2}}, 1},
      {"graphic-less player skipped", {{CHARA_BY_PLAYER, 0}, {CHARA_BY_PLAYER, 7}}, 1},
  };
  for (const auto& c : kCases) {
    cStageData stage;
    for (const auto& [op, graphic] : c.charas) {
      cCharaData chara;
      chara.m_nOperator = static_cast<uint8_t>(op);
      chara.m_nGraphic = static_cast<int16_t>(graphic);
      stage.m_PlacedCharas.push_back(chara);
    }
    EXPECT_EQ(stage.FindHero(), c.hero) << c.name;
    EXPECT_EQ(stage.HasHero(), c.hero != -1) << c.name;
  }
}

TEST(StageDataTest, SaveForReplayTakesTheHeaderFromTheStageAsStarted) {
  cStageData asStarted = MakeStage("as started");
  asStarted.m_TimeLimit = 300;
  asStarted.m_BgLayers.resize(3);
  asStarted.m_RankFlags = {0, 0, 0, 0, 1};
  asStarted.ClearDefinitionLists();
  cStageData playing = MakeStage("changed in play");
  playing.m_TimeLimit = 5;
  playing.m_BgLayers.resize(1);
  playing.m_PlacedItems.clear();

  cByteWriter out;
  BeginDataWrite(out);
  playing.SaveForReplay(out, asStarted);
  cStageData back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, out.Bytes()));
  EXPECT_EQ(back.m_Name, "as started");
  EXPECT_EQ(back.m_TimeLimit, 300);
  EXPECT_EQ(back.m_BgLayers.size(), 3u);
  EXPECT_EQ(back.m_RankFlags[4], 1);
  EXPECT_EQ(back.m_PlacedCharas.size(), 2u);
  EXPECT_TRUE(back.m_PlacedItems.empty());
  EXPECT_EQ(LastWord(out.Bytes()), STAGE_TRAILER);
}

// ---- loading a stage for play -------------------------------------------------------

LRESULT RecordingProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

class StageLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories("data/stg4");
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    m_hWindow = plat::CreateWindowHandle(RecordingProc);
    m_hPrevious = g_hMainWnd.exchange(m_hWindow);
    m_Stage.m_Name = "untouched";
  }
  void TearDown() override {
    g_hMainWnd = m_hPrevious;
    plat::DestroyWindowHandle(m_hWindow);
    plat::SetMessageBoxSink({});
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static void WriteStage(const std::string& nativePath, const cStageData& stage, int version = DATA_VERSION) {
    recordtest::WriteFileBytes(nativePath, StageFileBytes(stage, version));
  }

  int Load(const std::string& path, bool bResolve, cStageData* pTarget = nullptr) {
    return LoadStageForPlayOn(path, bResolve, pTarget, m_Stage, m_Worker);
  }

  // True when WM_CLOSE was posted to the main window (takes it off the queue).
  bool ClosePosted() {
    MSG msg;
    while (plat::PeekMessage(&msg, m_hWindow, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_CLOSE) return true;
    }
    return false;
  }

  recordtest::cTempFolder m_Folder;
  cThread m_Worker;
  cStageData m_Stage;
  std::vector<std::string> m_Boxes;
  HWND m_hWindow = nullptr;
  HWND m_hPrevious = nullptr;
};

TEST_F(StageLoadTest, LoadsTheStageAndCopiesItsStartPartsIntoTheTarget) {
  WriteStage("data/stg4/a.stg4_781", MakeStage("first"));
  cStageData target = MakeStage("old target");
  ASSERT_EQ(Load("data\\stg4\\a.stg4_781", false, &target), 1);
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ(m_Stage.m_Name, "first");
  EXPECT_EQ(m_Stage.m_Path, "data\\stg4\\a.stg4_781");
  EXPECT_EQ(m_Stage.m_Loaded, 1);
  EXPECT_EQ(m_Stage.m_PlacedCharas.size(), 2u);
  EXPECT_EQ(target.m_Name, "first");
  EXPECT_EQ(target.m_BgLayers.size(), 2u);
  EXPECT_EQ(target.m_VarNames.size(), static_cast<std::size_t>(kStageVarCount));
  EXPECT_EQ(target.m_RankFlags.size(), 5u);
  EXPECT_TRUE(target.m_PaletteBlocks.empty());
  EXPECT_TRUE(target.m_PaletteCharas.empty());
  EXPECT_TRUE(target.m_PaletteItems.empty());
  EXPECT_TRUE(target.m_PlacedBlocks.empty());
  EXPECT_TRUE(target.m_PlacedCharas.empty());
  EXPECT_TRUE(target.m_PlacedItems.empty());
  EXPECT_FALSE(m_Worker.IsHeld());
}

TEST_F(StageLoadTest, ResolvingTakesTheNewestNumberedFile) {
  WriteStage("data/stg4/a.stg4_002", MakeStage("two"));
  WriteStage("data/stg4/a.stg4_010", MakeStage("ten"));
  WriteStage("data/stg4/b.stg4_999", MakeStage("other name"));
  ASSERT_EQ(Load("data\\stg4\\a.xyz", true), 1);
  EXPECT_EQ(m_Stage.m_Name, "ten");
  EXPECT_EQ(m_Stage.m_Path, "data\\stg4\\a.stg4_010");
}

TEST_F(StageLoadTest, AFullPathIsKeptRelativeToTheWorkingFolder) {
  WriteStage("data/stg4/a.stg4_781", MakeStage());
  std::string full = "data\\stg4\\a.stg4_781";
  ASSERT_TRUE(ToFullPath(full));
  ASSERT_EQ(Load(full, false), 1);
  EXPECT_EQ(m_Stage.m_Path, "data\\stg4\\a.stg4_781");
}

TEST_F(StageLoadTest, NothingToResolveFailsSilently) {
  ASSERT_EQ(Load("data\\stg4\\missing.stg4", true), 0);
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ(m_Stage.m_Name, "untouched");
}

TEST_F(StageLoadTest, AMissingFileIsReportedAsAFailedRead) {
  ASSERT_EQ(Load("data\\stg4\\missing.stg4_781", false), 0);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0], "ステージファイル data\\stg4\\missing.stg4_781 の読み込みに失敗しました！");
  EXPECT_EQ(m_Stage.m_Name, "untouched");
}

TEST_F(StageLoadTest, AFileWithoutTrailerLoadsAtAVersionThatHasNone) {
  WriteStage("data/stg4/old.stg4_172", MakeStage("old"), 172);
  ASSERT_EQ(Load("data\\stg4\\old.stg4_172", false), 1);
  EXPECT_EQ(m_Stage.m_Name, "old");
  EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(StageLoadTest, AVersion173FileLoadsWhateverItsLastWordHolds) {
  std::vector<std::uint8_t> bytes = StageFileBytes(MakeStage("stray"), 173);
  bytes.back() ^= 1;
  recordtest::WriteFileBytes("data/stg4/stray.stg4_173", bytes);
  ASSERT_EQ(Load("data\\stg4\\stray.stg4_173", false), 1);
  EXPECT_EQ(m_Stage.m_Name, "stray");
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_FALSE(ClosePosted());
}

TEST_F(StageLoadTest, ABadTrailerIsRefusedAndNothingChanges) {
  for (int version : {174, DATA_VERSION}) {
    SCOPED_TRACE(version);
    m_Boxes.clear();
    const std::string name = "bad.stg4_" + std::to_string(version);
    std::vector<std::uint8_t> bytes = StageFileBytes(MakeStage("bad"), version);
    bytes.back() ^= 1;
    recordtest::WriteFileBytes("data/stg4/" + name, bytes);
    cStageData target = MakeStage("target");
    EXPECT_EQ(Load("data\\stg4\\" + name, false, &target), 0);
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0], "ステージファイル data\\stg4\\" + name + " が破損しています！");
    EXPECT_TRUE(ClosePosted());
    EXPECT_EQ(m_Stage.m_Name, "untouched");
    EXPECT_EQ(target.m_Name, "target");
    EXPECT_EQ(target.m_PlacedCharas.size(), 2u);
  }
}

TEST_F(StageLoadTest, AStageWithoutAHeroIsRefused) {
  cStageData stage = MakeStage("heroless");
  stage.m_PlacedCharas.resize(1);  // the enemy alone
  WriteStage("data/stg4/h.stg4_781", stage);
  cStageData target = MakeStage("target");
  EXPECT_EQ(Load("data\\stg4\\h.stg4_781", false, &target), 0);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0], "主人公が配置されていないのでプレイできません！");
  EXPECT_TRUE(ClosePosted());
  EXPECT_EQ(m_Stage.m_Name, "untouched");
  EXPECT_EQ(target.m_Name, "target");
}

TEST_F(StageLoadTest, ADamagedFileWithoutTrailerIsAFailedRead) {
  std::vector<std::uint8_t> bytes = StageFileBytes(MakeStage("cut"), 172);
  bytes.resize(bytes.size() / 2);
  recordtest::WriteFileBytes("data/stg4/cut.stg4_172", bytes);
  EXPECT_EQ(Load("data\\stg4\\cut.stg4_172", false), 0);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0], "ステージファイル data\\stg4\\cut.stg4_172 の読み込みに失敗しました！");
  EXPECT_EQ(m_Stage.m_Name, "untouched");
}

TEST_F(StageLoadTest, QuitTakenWhileLoadingIsPostedAgain) {
  // Whether the loop sees WM_QUIT depends on how long the worker runs; either
  // way the quit must still be waiting for the caller's own loop afterwards.
  cStageData big = MakeStage("big");
  big.m_PlacedBlocks.resize(20000);
  WriteStage("data/stg4/q.stg4_781", big);
  plat::PostQuitMessage(7);
  const int result = Load("data\\stg4\\q.stg4_781", false);
  MSG msg;
  bool quit = false;
  while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(msg.wParam, 7u);
    }
  }
  EXPECT_TRUE(quit);
  if (result == 0) {
    EXPECT_EQ(m_Stage.m_Name, "untouched");
  }
  EXPECT_FALSE(m_Worker.IsHeld());
}

// ---- damaged files ----------------------------------------------------------------

TEST(StageDataTest, EveryTruncationIsRefusedAndChangesNothing) {
  for (int version : {172, DATA_VERSION}) {
    const std::vector<std::uint8_t> bytes = StageFileBytes(MakeStage("whole"), version);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      cStageData stage;
      stage.m_Name = "before";
      const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
      ASSERT_FALSE(cDataRecord::LoadFromBytes(stage, cut)) << version << " cut at " << n;
      ASSERT_EQ(stage.m_Name, "before");
    }
    cStageData stage;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(stage, bytes));
    EXPECT_EQ(stage.m_Name, "whole");
  }
}

TEST(StageDataTest, HugeCountsAreRefusedWithoutAllocating) {
  // The placed-block count is where a stage with one placed block first
  // differs from the same stage without it.
  cStageData empty;
  cStageData one = empty;
  one.m_PlacedBlocks.resize(1);
  std::vector<std::uint8_t> bytes = StageFileBytes(empty);
  const std::vector<std::uint8_t> other = StageFileBytes(one);
  std::size_t at = 0;
  while (at < bytes.size() && bytes[at] == other[at]) ++at;
  ASSERT_LT(at + 4, bytes.size());
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = 0xFF;
  cStageData stage;
  stage.m_Name = "before";
  EXPECT_FALSE(cDataRecord::LoadFromBytes(stage, bytes));
  EXPECT_EQ(stage.m_Name, "before");
}

}  // namespace

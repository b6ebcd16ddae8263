#include "data/SystemData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordTestSupport.h"
#include "core/ProcessFlags.h"
#include "data/Database.h"
#include "data/Flow.h"
#include "platform/MessageBox.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;
using testsupport::I32;
using Bytes = std::vector<std::uint8_t>;
using Int = std::int32_t cSystemData::*;
using Byte = std::uint8_t cSystemData::*;

std::vector<std::string> Labels(const tCmdList& menu) {
  std::vector<std::string> labels;
  for (const cCmd& entry : menu) labels.push_back(entry.m_strLabel);
  return labels;
}

std::vector<std::string> Strings(const cSafeVector<std::string>& list) { return {list.begin(), list.end()}; }

template <class T>
std::vector<int> Ints(const cSafeVector<T>& list) {
  return {list.begin(), list.end()};
}

std::vector<std::string> Numbered(const char* prefix, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

// The Bgm database has its two default entries in every test, so scene music
// indexes 0 and 1 are in range.
class SystemData : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Database = cDatabase();
    ASSERT_EQ(2u, g_Database.m_Bgms.size());
    g_StripCR = true;
  }
  void TearDown() override { g_Database = cDatabase(); }

  // Loads a file into `target`, which must accept it.
  static void Load(cSystemData& target, const Bytes& file) {
    ASSERT_TRUE(cDataRecord::LoadFromBytes(target, file, "System.dat"));
  }
  static cSystemData Loaded(const Bytes& file) {
    cSystemData target;
    Load(target, file);
    return target;
  }
};

// ---- defaults -------------------------------------------------------------------------

struct cNumberCase {
  const char* name;
  Int member;
  int value;
};

const cNumberCase kNumberDefaults[] = {
    {"extra lives", &cSystemData::m_bExtraLives, 0},
    {"extra life score", &cSystemData::m_nExtraLifeScore, 100},
    {"pause view", &cSystemData::m_bPauseView, 1},
    {"font symbols", &cSystemData::m_bNoSymbols, 0},
    {"font face", &cSystemData::m_nFontFace, 60},
    {"font centring", &cSystemData::m_bFontCentre, 0},
    {"replay", &cSystemData::m_bReplay, 1},
    {"keep flows", &cSystemData::m_bKeepFlows, 0},
    {"title menu layout", &cSystemData::m_bTitlePictures, 1},
    {"carry lives", &cSystemData::m_bCarryLives, 1},
    {"retry prompt", &cSystemData::m_bRetryPrompt, 1},
    {"map lives", &cSystemData::m_bMapShowLives, 1},
    {"stage numbers", &cSystemData::m_nStageCount, 40},
    {"all stage numbers", &cSystemData::m_bAllStages, 1},
    {"map score", &cSystemData::m_bMapShowBest, 1},
    {"menu total", &cSystemData::m_bMenuShowTotal, 1},
    {"story reload", &cSystemData::m_bStoryReload, 1},
    {"challenge reload", &cSystemData::m_bChallengeReload, 1},
    {"free reload", &cSystemData::m_bFreeReload, 1},
    {"test reload", &cSystemData::m_bTestReload, 0},
    {"story retry", &cSystemData::m_bStoryRetry, 1},
    {"story back to map", &cSystemData::m_bStoryBackToMap, 1},
    {"challenge retry", &cSystemData::m_bChallengeRetry, 1},
    {"select scores", &cSystemData::m_bSelectShowBest, 1},
    {"select total", &cSystemData::m_bSelectShowTotal, 1},
    {"transparent", &cSystemData::m_bTransparent, 0},
    {"pulse step", &cSystemData::m_nPulseStep, 16},
    {"screen depth choice", &cSystemData::m_nDepthChoice, 0},
    {"screen depth default", &cSystemData::m_nDepthDefault, 2},
    {"scroll switch", &cSystemData::m_bScrollSwitch, 0},
    {"base-size switch", &cSystemData::m_bBaseSizeSwitch, 0},
    {"keep-dead-characters switch", &cSystemData::m_bKeepDeadChara, 0},
    {"flash switch", &cSystemData::m_bFlashSwitch, 0},
    {"palette cycling", &cSystemData::m_bPaletteCycling, 0},
    {"trigger switch A", &cSystemData::m_bTriggerSwitchA, 0},
    {"gapless lightning switch", &cSystemData::m_bGaplessLightning, 0},
    {"protect-placed-blocks switch", &cSystemData::m_bProtectPlacedBlocks, 0},
    {"condition switch", &cSystemData::m_bConditionSwitch, 0},
    {"collision switch", &cSystemData::m_bCollisionSwitch, 0},
    {"move time switch", &cSystemData::m_bMoveTimeSwitch, 0},
    {"spare switch", &cSystemData::m_bSpareSwitch, 0},
    {"start-all switch", &cSystemData::m_bStartAllSwitch, 0},
    {"warp switch", &cSystemData::m_bWarpSwitch, 0},
    {"charge switch", &cSystemData::m_bChargeSwitch, 0},
    {"range switch", &cSystemData::m_bRangeSwitch, 0},
    {"trigger switch B", &cSystemData::m_bTriggerSwitchB, 0},
    {"jump switch", &cSystemData::m_bJumpSwitch, 0},
    {"expression switch", &cSystemData::m_bExpressionSwitch, 0},
    {"immediate-hit-triggers switch", &cSystemData::m_bImmediateHitTriggers, 0},
    {"effectless-shots-pass switch", &cSystemData::m_bEffectlessShotsPass, 0},
    {"start-point switch", &cSystemData::m_bStartPointSwitch, 0},
    {"straight move switch", &cSystemData::m_bStraightMoveSwitch, 0},
    {"keep-impulse switch", &cSystemData::m_bKeepImpulse, 0},
};

TEST_F(SystemData, FreshSystemDataHoldsEveryNumberDefault) {
  const cSystemData system;
  for (const cNumberCase& c : kNumberDefaults) EXPECT_EQ(c.value, system.*c.member) << c.name;
  EXPECT_EQ("", system.m_strTitle);
  EXPECT_EQ(0, system.m_nTransparentRed);
  EXPECT_EQ(0, system.m_nTransparentGreen);
  EXPECT_EQ(0, system.m_nTransparentBlue);
}

TEST_F(SystemData, FreshSystemDataHoldsEveryListDefault) {
  const cSystemData system;
  std::vector<int> carry(25, 0), reset(25, 0);
  for (int g : {0, 1, 13, 14, 16, 17, 19, 20, 21}) carry[g] = 1;
  for (int g : {11, 12}) reset[g] = 1;
  EXPECT_EQ(carry, Ints(system.m_CarryOver));
  EXPECT_EQ(reset, Ints(system.m_ResetOnMiss));
  EXPECT_EQ((std::vector<int>{5, 5, 5, 99}), Ints(system.m_Lives));
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), Ints(system.m_InfiniteLives));
  ASSERT_EQ(4u, system.m_RankGenreSets.size());
  for (int mode = 0; mode < 4; ++mode) {
    const int on = mode == 3 ? 0 : 1;
    EXPECT_EQ(on, system.m_RankGenreSets[mode].m_bRankingOn) << mode;
    EXPECT_EQ(std::vector<int>(5, on), Ints(system.m_RankGenreSets[mode].m_Genres)) << mode;
  }
  EXPECT_EQ(std::vector<std::string>(17, ""), Strings(system.m_SystemSounds));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Ints(system.m_SceneBgm));
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), Ints(system.m_SceneBgmLoop));
  EXPECT_EQ((std::vector<std::string>{"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                                      "自動登録（登録名固定）"}),
            Strings(system.m_RankModeNames));
  EXPECT_EQ(std::vector<std::string>(kDefaultSystemMessages.begin(), kDefaultSystemMessages.end()),
            Strings(system.m_Messages));
  EXPECT_EQ("マップへ戻る", system.m_Messages[24]);
  EXPECT_EQ("", system.m_Messages[22]);
}

TEST_F(SystemData, FreshSystemDataHoldsTheDefaultHudMenusAndKeys) {
  const cSystemData system;
  struct Hud {
    const char* label;
    int cells;
  };
  const Hud hud[] = {{"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2}};
  ASSERT_EQ(5u, system.m_HudItems.size());
  for (int i = 0; i < 5; ++i) {
    const cHudItem& item = system.m_HudItems[i];
    EXPECT_EQ(hud[i].label, item.m_strLabel);
    EXPECT_EQ(hud[i].cells, item.m_nValueCells);
    EXPECT_EQ(1, item.m_bShown);
    EXPECT_EQ(1, item.m_bIcon);
    EXPECT_EQ(0, item.m_bShowValue);
    EXPECT_EQ(0, item.m_nWarningLevel);
    EXPECT_EQ(0, item.m_bWarningPercent);
  }

  EXPECT_EQ((std::vector<std::string>{"はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション",
                                      "しゅうりょう"}),
            Labels(system.m_TitleMenu));
  EXPECT_EQ((std::vector<std::string>{"セーブ", "オートセーブ", "もどる", "タイトルへ"}), Labels(system.m_MapMenu));
  EXPECT_EQ((std::vector<std::string>{"BGM", "SE", "ランキング登録", "ランキング登録名", "もどる", ""}),
            Labels(system.m_OptionMenu));
  for (const tCmdList* menu : {&system.m_TitleMenu, &system.m_MapMenu, &system.m_OptionMenu}) {
    EXPECT_EQ(static_cast<int>(menu->size()), cCmd::CountEnabled(*menu));
  }

  struct Key {
    const char* key;
    int kind;
    int number;
  };
  const Key keys[] = {{"Direct3D", 0, 2},      {"WindowMode", 0, 0},   {"Bpp", 0, 0},      {"VSync", 0, 2},
                      {"D3D_FontCache", 0, 0}, {"DD_FontCache", 0, 1}, {"DD_VideoStretch", 0, 0},
                      {"ShowFps", 0, 1},       {"FreeStage", 1, 0},    {"English", 0, 0}};
  ASSERT_EQ(10u, system.m_IniKeys.size());
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(keys[i].key, system.m_IniKeys[i].m_strKey) << i;
    EXPECT_EQ(keys[i].kind, system.m_IniKeys[i].m_nKind) << i;
    EXPECT_EQ(keys[i].number, system.m_IniKeys[i].m_nNumber) << i;
    EXPECT_EQ("", system.m_IniKeys[i].m_strText) << i;
  }
}

// ---- the record form ------------------------------------------------------------------

TEST_F(SystemData, MemberCountFollowsTheVersion) {
  const struct {
    int version;
    int members;
  } cases[] = {{100, 6}, {160, 8}, {220, 27}, {221, 28}, {259, 30}, {260, 29}, {669, 38}, {DATA_VERSION, 56}};
  for (const auto& c : cases) {
    cSystemData system;
    EXPECT_EQ(c.members, system.CountMembers(c.version)) << c.version;
    EXPECT_EQ(1, system.CountStrings(c.version)) << c.version;
  }
}

// The element records: their members in file order, by version.
TEST_F(SystemData, ElementRecordsStoreTheirMembersInOrder) {
  cHudItem item;
  item.m_bShown = 1;
  item.m_bIcon = 2;
  item.m_nValueCells = 3;
  item.m_bShowValue = 4;
  item.m_nWarningLevel = 5;
  item.m_bWarningPercent = 6;
  item.m_strLabel = "HP";
  const struct {
    int version;
    Bytes bytes;
  } hud[] = {
      {203, ByteBuilder().Record({I32(1), I32(2), I32(3)}, {"HP"}).Bytes()},
      {586, ByteBuilder().Record({I32(1), I32(2), I32(3), I32(4)}, {"HP"}).Bytes()},
      {DATA_VERSION, ByteBuilder().Record({I32(1), I32(2), I32(3), I32(4), I32(5), I32(6)}, {"HP"}).Bytes()},
  };
  for (const auto& c : hud) {
    cByteWriter out(c.version);
    item.Write(out);
    EXPECT_EQ(c.bytes, out.Bytes()) << c.version;
  }

  cRankGenreSet set;
  set.m_bRankingOn = 1;
  set.m_Genres = {1, 0, 1};
  cByteWriter setOut;
  set.Write(setOut);
  EXPECT_EQ(ByteBuilder().Record({I32(1)}, {}).U32(3).U8(1).U8(0).U8(1).Bytes(), setOut.Bytes());

  cSystemIniKey key("FreeStage", 1, 7, "a.stg4");
  cByteWriter keyOut;
  key.Write(keyOut);
  EXPECT_EQ(ByteBuilder().Record({I32(1), I32(7)}, {"FreeStage", "a.stg4"}).Bytes(), keyOut.Bytes());
}

// The plain members of a current file, in file order. Each gets its own
// value, so a member registered out of place shows in the bytes.
struct cSlot {
  Int i32 = nullptr;
  Byte u8 = nullptr;
};
const cSlot kFileOrder[] = {
    {&cSystemData::m_bExtraLives},         {&cSystemData::m_nExtraLifeScore},
    {&cSystemData::m_bPauseView},          {&cSystemData::m_bNoSymbols},
    {&cSystemData::m_nFontFace},           {&cSystemData::m_bFontCentre},
    {&cSystemData::m_bKeepFlows},          {&cSystemData::m_bReplay},
    {&cSystemData::m_bTitlePictures},      {&cSystemData::m_bCarryLives},
    {&cSystemData::m_bRetryPrompt},        {&cSystemData::m_bMapShowLives},
    {&cSystemData::m_nStageCount},         {&cSystemData::m_bAllStages},
    {&cSystemData::m_bMapShowBest},        {&cSystemData::m_bMenuShowTotal},
    {&cSystemData::m_bStoryReload},        {&cSystemData::m_bStoryRetry},
    {&cSystemData::m_bSelectShowBest},     {&cSystemData::m_bSelectShowTotal},
    {&cSystemData::m_bChallengeReload},    {&cSystemData::m_bChallengeRetry},
    {&cSystemData::m_bFreeReload},         {&cSystemData::m_bTestReload},
    {&cSystemData::m_bTransparent},        {nullptr, &cSystemData::m_nTransparentRed},
    {nullptr, &cSystemData::m_nTransparentGreen}, {nullptr, &cSystemData::m_nTransparentBlue},
    {&cSystemData::m_bScrollSwitch},       {&cSystemData::m_bBaseSizeSwitch},
    {&cSystemData::m_bKeepDeadChara},      {&cSystemData::m_bFlashSwitch},
    {&cSystemData::m_nPulseStep},          {&cSystemData::m_bPaletteCycling},
    {&cSystemData::m_bStoryBackToMap},     {&cSystemData::m_bTriggerSwitchA},
    {&cSystemData::m_bGaplessLightning},   {&cSystemData::m_bProtectPlacedBlocks},
    {&cSystemData::m_bConditionSwitch},    {&cSystemData::m_bCollisionSwitch},
    {&cSystemData::m_bMoveTimeSwitch},     {&cSystemData::m_bSpareSwitch},
    {&cSystemData::m_bStartAllSwitch},     {&cSystemData::m_bWarpSwitch},
    {&cSystemData::m_bChargeSwitch},       {&cSystemData::m_bRangeSwitch},
    {&cSystemData::m_bTriggerSwitchB},     {&cSystemData::m_bJumpSwitch},
    {&cSystemData::m_bExpressionSwitch},   {&cSystemData::m_bImmediateHitTriggers},
    {&cSystemData::m_bEffectlessShotsPass}, {&cSystemData::m_bStartPointSwitch},
    {&cSystemData::m_bStraightMoveSwitch}, {&cSystemData::m_bKeepImpulse},
    {&cSystemData::m_nDepthChoice},        {&cSystemData::m_nDepthDefault},
};

TEST_F(SystemData, CurrentFileStoresTheMembersInTheirOrder) {
  cSystemData system;
  ByteBuilder expected;
  expected.U32(DATA_VERSION).U32(std::size(kFileOrder));
  int value = 1;  // small values: the font face and stage count stay in range
  for (const cSlot& slot : kFileOrder) {
    if (slot.i32) {
      system.*slot.i32 = value;
      expected.I32(value);
    } else {
      system.*slot.u8 = static_cast<std::uint8_t>(value);
      expected.U8(static_cast<std::uint8_t>(value));
    }
    ++value;
  }
  system.m_strTitle = "My Game";
  expected.U32(1).Str("My Game");
  const Bytes file = system.MakeFileBytes();
  ASSERT_GE(file.size(), expected.Size());
  EXPECT_EQ(expected.Bytes(), Bytes(file.begin(), file.begin() + static_cast<long>(expected.Size())));

  // and it reads back to the same values
  const cSystemData back = Loaded(file);
  for (const cSlot& slot : kFileOrder) {
    if (slot.i32) EXPECT_EQ(system.*slot.i32, back.*slot.i32);
    else EXPECT_EQ(system.*slot.u8, back.*slot.u8);
  }
}

// A current file goes through none of the upgrade steps: whatever it stores
// comes back, and writing it again gives the same bytes.
TEST_F(SystemData, CurrentFileReadsBackUnchanged) {
  cSystemData system;
  for (const cNumberCase& c : kNumberDefaults) system.*c.member = 0;
  system.m_strTitle = "タイトル";
  system.m_CarryOver.assign(25, 0);
  system.m_ResetOnMiss.assign(25, 1);
  system.m_InfiniteLives = {0, 1, 0, 1};
  system.m_SceneBgm = {1, 0, 1, 0};
  system.m_SceneBgmLoop = {0, 0, 1, 0};
  system.m_MapMenu[1].m_bEnabled = 0;
  system.m_Messages[22] = "ステージ100%クリア";
  system.m_HudItems[2].m_nWarningLevel = 7;
  system.m_RankGenreSets[1].m_Genres = {0, 1, 0, 1, 0};
  system.m_IniKeys[8].m_strText = "data\\stg4\\a.stg4";
  system.m_RankModeNames[3] = "auto";
  system.m_SystemSounds[16] = "wave\\x.wav";
  const Bytes file = system.MakeFileBytes();
  cSystemData back = Loaded(file);
  EXPECT_EQ(file, back.MakeFileBytes());
  EXPECT_EQ(0, back.m_nPulseStep);
  EXPECT_EQ(0, back.m_MapMenu[1].m_bEnabled);
  EXPECT_EQ("ステージ100%クリア", back.m_Messages[22]);
}

// ---- older versions -------------------------------------------------------------------

// A System.dat of version 160, by hand: eight members and the title, then
// carry-over (22 groups), five HUD items of three members, lives, 21 messages,
// 17 sounds, scene music, the three menus (the map menu with three entries)
// and six System.ini keys.
Bytes Version160File() {
  ByteBuilder b;
  b.U32(160).Record({I32(250), I32(0), I32(1), I32(1), I32(1), I32(0), I32(12), I32(0)}, {"Old Game"});
  b.U32(22);
  for (int i = 0; i < 22; ++i) b.U8(static_cast<std::uint8_t>(10 + i));
  b.U32(5);
  for (int i = 0; i < 5; ++i) b.Record({I32(1), I32(0), I32(i)}, {"h" + std::to_string(i)});
  b.U32(4).I32(3).I32(3).I32(3).I32(9);
  b.U32(21);
  for (const std::string& m : Numbered("m", 21)) b.Str(m);
  b.U32(17).Str("wave\\cursor.wav");
  for (int i = 1; i < 17; ++i) b.Str("");
  b.U32(4).I32(1).I32(0).I32(5).I32(0);
  b.U32(7);
  for (const std::string& t : Numbered("t", 7)) b.Record({I32(1)}, {t});
  b.U32(3).Record({I32(1)}, {"A"}).Record({I32(0)}, {"B"}).Record({I32(1)}, {"C"});
  b.U32(6);
  for (const std::string& o : Numbered("o", 6)) b.Record({I32(1)}, {o});
  b.U32(6)
      .Record({I32(0), I32(0)}, {"WindowMode", ""})
      .Record({I32(0), I32(0)}, {"Bpp", ""})
      .Record({I32(0), I32(3)}, {"VSync", ""})
      .Record({I32(0), I32(1)}, {"ShowFps", ""})
      .Record({I32(1), I32(0)}, {"FreeStage", "x"})
      .Record({I32(0), I32(7)}, {"Old", "keep"});
  return b.Bytes();
}

TEST_F(SystemData, Version160FileKeepsItsValuesAndGainsTheLaterOnes) {
  const cSystemData s = Loaded(Version160File());
  EXPECT_EQ("Old Game", s.m_strTitle);
  EXPECT_EQ(250, s.m_nExtraLifeScore);
  EXPECT_EQ(0, s.m_bPauseView);
  EXPECT_EQ(1, s.m_bNoSymbols);
  EXPECT_EQ(1, s.m_bKeepFlows);
  EXPECT_EQ(1, s.m_bTitlePictures);
  EXPECT_EQ(0, s.m_bCarryLives);
  EXPECT_EQ(12, s.m_nStageCount);
  EXPECT_EQ(0, s.m_bAllStages);
  EXPECT_EQ((std::vector<int>{3, 3, 3, 9}), Ints(s.m_Lives));
  EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), Ints(s.m_SceneBgm));  // 5 is beyond the Bgm list
  EXPECT_EQ("wave\\cursor.wav", s.m_SystemSounds[0]);

  // What the old file lacks, as the upgrades give it.
  EXPECT_EQ(1, s.m_bExtraLives);
  EXPECT_EQ(60, s.m_nFontFace);
  EXPECT_EQ(1, s.m_bReplay);
  EXPECT_EQ(0, s.m_bRetryPrompt);
  EXPECT_EQ(0, s.m_bMapShowLives);
  EXPECT_EQ(0, s.m_bStoryRetry);
  EXPECT_EQ(0, s.m_bChallengeRetry);
  EXPECT_EQ(0, s.m_bStoryBackToMap);
  EXPECT_EQ(1, s.m_bTestReload);
  EXPECT_EQ(0, s.m_bTransparent);
  EXPECT_EQ(0, s.m_nTransparentRed);
  EXPECT_EQ(177, s.m_nTransparentGreen);
  EXPECT_EQ(0, s.m_nTransparentBlue);
  EXPECT_EQ(1, s.m_bPaletteCycling);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Ints(s.m_InfiniteLives));
  EXPECT_EQ(std::vector<int>(25, 0), Ints(s.m_ResetOnMiss));
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), Ints(s.m_SceneBgmLoop));
  for (int mode = 0; mode < 3; ++mode) {
    EXPECT_EQ((std::vector<int>{1, 1, 1, 0, 0}), Ints(s.m_RankGenreSets[mode].m_Genres)) << mode;
  }

  // Carry-over groups: 1 inserted at 16, then 0 at 14, then 0 at 9.
  std::vector<int> carry;
  for (int i = 0; i < 9; ++i) carry.push_back(10 + i);
  carry.push_back(0);
  for (int i = 9; i < 14; ++i) carry.push_back(10 + i);
  carry.insert(carry.end(), {0, 24, 25, 1});
  for (int i = 16; i < 22; ++i) carry.push_back(10 + i);
  EXPECT_EQ(carry, Ints(s.m_CarryOver));

  // HUD items: the value shown, and the gauges warn at 33 percent.
  for (int i = 0; i < 5; ++i) {
    const cHudItem& item = s.m_HudItems[i];
    EXPECT_EQ("h" + std::to_string(i), item.m_strLabel);
    EXPECT_EQ(i, item.m_nValueCells);
    EXPECT_EQ(1, item.m_bShowValue);
    const bool gauge = i == HUD_HP || i == HUD_SP;
    EXPECT_EQ(gauge ? 33 : 0, item.m_nWarningLevel) << i;
    EXPECT_EQ(gauge ? 1 : 0, item.m_bWarningPercent) << i;
  }

  // The map menu: its first entry, the autosave entry, then its second and third.
  EXPECT_EQ((std::vector<std::string>{"A", "オートセーブ", "B", "C"}), Labels(s.m_MapMenu));
  EXPECT_EQ(1, s.m_MapMenu[1].m_bEnabled);
  EXPECT_EQ(0, s.m_MapMenu[2].m_bEnabled);

  // The messages: every insertion at its place.
  std::vector<std::string> messages = Numbered("m", 21);
  const std::vector<std::string> expected = {
      "m0", "m1", "m2", "m3", "m4", "m5", "m6", "m7", "残りHP", "残りSP", "m8", "m9", "m10", "m11",
      "オートセーブＯＮ", "オートセーブＯＦＦ", "保存先が不明です！一度は「セーブ」して下さい！",
      "m12", "m13", "m14", "m15", "m16", "マップへ戻る", "リトライ", "マップへ戻る", "m17", "m18", "m19", "m20"};
  EXPECT_EQ(expected, Strings(s.m_Messages));

  // The System.ini keys end in the current order; VSync held at 2, and the
  // key overwritten by English keeps its text.
  const struct {
    const char* key;
    int kind;
    int number;
    const char* text;
  } keys[] = {{"Direct3D", 0, 1, ""},      {"WindowMode", 0, 0, ""},      {"Bpp", 0, 0, ""},
              {"VSync", 0, 2, ""},         {"D3D_FontCache", 0, 0, ""},   {"DD_FontCache", 0, 1, ""},
              {"DD_VideoStretch", 0, 0, ""}, {"ShowFps", 0, 1, ""},       {"FreeStage", 1, 0, "x"},
              {"English", 0, 0, "keep"}};
  ASSERT_EQ(10u, s.m_IniKeys.size());
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(keys[i].key, s.m_IniKeys[i].m_strKey);
    EXPECT_EQ(keys[i].kind, s.m_IniKeys[i].m_nKind);
    EXPECT_EQ(keys[i].number, s.m_IniKeys[i].m_nNumber);
    EXPECT_EQ(keys[i].text, s.m_IniKeys[i].m_strText);
  }
}

TEST_F(SystemData, Version192MessagesGetRetryAndBackToMapInOrder) {
  cSystemData old;
  const std::vector<std::string> oldMessages = Numbered("o", 26);
  old.m_Messages.assign(oldMessages.begin(), oldMessages.end());
  const cSystemData s = Loaded(old.MakeFileBytes(192));
  std::vector<std::string> expected = Numbered("o", 22);
  expected.insert(expected.end(), {"マップへ戻る", "リトライ", "マップへ戻る", "o22", "o23", "o24", "o25"});
  EXPECT_EQ(expected, Strings(s.m_Messages));
}

TEST_F(SystemData, Version280KeyListGainsDirect3DAndLimitsVSync) {
  cSystemData old;
  old.m_IniKeys = {{"WindowMode", 0, 0}, {"Bpp", 0, 0}, {"VSync", 0, 3}, {"ShowFps", 0, 1}, {"FreeStage", 1, 0, ""}};
  const cSystemData s = Loaded(old.MakeFileBytes(280));
  EXPECT_EQ("Direct3D", s.m_IniKeys[0].m_strKey);
  EXPECT_EQ(1, s.m_IniKeys[0].m_nNumber);
  EXPECT_EQ("VSync", s.m_IniKeys[3].m_strKey);
  EXPECT_EQ(2, s.m_IniKeys[3].m_nNumber);

  // A VSync default below 3 stays.
  old.m_IniKeys[2].m_nNumber = 1;
  EXPECT_EQ(1, Loaded(old.MakeFileBytes(280)).m_IniKeys[3].m_nNumber);
}

TEST_F(SystemData, HudWarningsArriveWithVersion587) {
  cSystemData old;
  for (cHudItem& item : old.m_HudItems) {
    item.m_nWarningLevel = 5;
    item.m_bWarningPercent = 0;
  }
  const cSystemData v586 = Loaded(old.MakeFileBytes(586));
  const cSystemData v587 = Loaded(old.MakeFileBytes(587));
  for (int i = 0; i < 5; ++i) {
    const bool gauge = i == HUD_HP || i == HUD_SP;
    EXPECT_EQ(gauge ? 33 : 0, v586.m_HudItems[i].m_nWarningLevel) << i;
    EXPECT_EQ(gauge ? 1 : 0, v586.m_HudItems[i].m_bWarningPercent) << i;
    EXPECT_EQ(5, v587.m_HudItems[i].m_nWarningLevel) << i;
    EXPECT_EQ(0, v587.m_HudItems[i].m_bWarningPercent) << i;
  }
}

// Every switch a file older than its version lacks gets the value the old
// behaviour needs; a file that stores it keeps what it stores.
TEST_F(SystemData, MembersMissingFromOlderFilesGetTheirUpgradeValues) {
  const struct {
    const char* name;
    Int member;
    int storedFrom;
    int oldValue;
  } cases[] = {
      {"keep flows", &cSystemData::m_bKeepFlows, 113, 0},
      {"title menu layout", &cSystemData::m_bTitlePictures, 157, 0},
      {"map score", &cSystemData::m_bMapShowBest, 167, 1},
      {"menu total", &cSystemData::m_bMenuShowTotal, 167, 1},
      {"select scores", &cSystemData::m_bSelectShowBest, 167, 1},
      {"select total", &cSystemData::m_bSelectShowTotal, 167, 1},
      {"font centring", &cSystemData::m_bFontCentre, 170, 0},
      {"replay", &cSystemData::m_bReplay, 184, 1},
      {"extra lives", &cSystemData::m_bExtraLives, 185, 1},
      {"transparent", &cSystemData::m_bTransparent, 187, 0},
      {"story reload", &cSystemData::m_bStoryReload, 188, 1},
      {"challenge reload", &cSystemData::m_bChallengeReload, 188, 1},
      {"free reload", &cSystemData::m_bFreeReload, 188, 1},
      {"retry prompt", &cSystemData::m_bRetryPrompt, 191, 0},
      {"map lives", &cSystemData::m_bMapShowLives, 191, 0},
      {"test reload", &cSystemData::m_bTestReload, 192, 1},
      {"font face", &cSystemData::m_nFontFace, 205, 60},
      {"scroll switch", &cSystemData::m_bScrollSwitch, 214, 1},
      {"story retry", &cSystemData::m_bStoryRetry, 224, 0},
      {"challenge retry", &cSystemData::m_bChallengeRetry, 224, 0},
      {"base-size switch", &cSystemData::m_bBaseSizeSwitch, 261, 1},
      {"keep-dead-characters switch", &cSystemData::m_bKeepDeadChara, 272, 0},
      {"flash switch", &cSystemData::m_bFlashSwitch, 287, 0},
      {"pulse step", &cSystemData::m_nPulseStep, 515, 16},
      {"trigger switch A", &cSystemData::m_bTriggerSwitchA, 525, 1},
      {"gapless lightning switch", &cSystemData::m_bGaplessLightning, 555, 1},
      {"protect-placed-blocks switch", &cSystemData::m_bProtectPlacedBlocks, 637, 0},
      {"condition switch", &cSystemData::m_bConditionSwitch, 669, 1},
      {"screen depth choice", &cSystemData::m_nDepthChoice, 670, 0},
      {"screen depth default", &cSystemData::m_nDepthDefault, 670, 2},
      {"collision switch", &cSystemData::m_bCollisionSwitch, 677, 1},
      {"move time switch", &cSystemData::m_bMoveTimeSwitch, 695, 1},
      {"spare switch", &cSystemData::m_bSpareSwitch, 696, 1},
      {"start-all switch", &cSystemData::m_bStartAllSwitch, 697, 1},
      {"warp switch", &cSystemData::m_bWarpSwitch, 721, 1},
      {"charge switch", &cSystemData::m_bChargeSwitch, 728, 1},
      {"range switch", &cSystemData::m_bRangeSwitch, 733, 1},
      {"trigger switch B", &cSystemData::m_bTriggerSwitchB, 744, 1},
      {"jump switch", &cSystemData::m_bJumpSwitch, 749, 1},
      {"expression switch", &cSystemData::m_bExpressionSwitch, 752, 1},
      {"story back to map", &cSystemData::m_bStoryBackToMap, 757, 0},
      {"immediate-hit-triggers switch", &cSystemData::m_bImmediateHitTriggers, 763, 1},
      {"effectless-shots-pass switch", &cSystemData::m_bEffectlessShotsPass, 763, 1},
      {"start-point switch", &cSystemData::m_bStartPointSwitch, 768, 1},
      {"straight move switch", &cSystemData::m_bStraightMoveSwitch, 773, 1},
      {"keep-impulse switch", &cSystemData::m_bKeepImpulse, 781, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cSystemData writer;
    writer.*c.member = 5;
    // The record read into holds a value of its own, which only an upgrade
    // step replaces.
    cSystemData before;
    before.*c.member = 77;
    cSystemData older = before;
    Load(older, writer.MakeFileBytes(c.storedFrom - 1));
    EXPECT_EQ(c.oldValue, older.*c.member);
    cSystemData stored = before;
    Load(stored, writer.MakeFileBytes(c.storedFrom));
    EXPECT_EQ(5, stored.*c.member);
  }
}

TEST_F(SystemData, ProtectPlacedBlocksDependsOnTheOldVersion) {
  const struct {
    int version;
    int value;
  } cases[] = {{300, 1}, {616, 1}, {617, 0}, {636, 0}};
  for (const auto& c : cases) {
    cSystemData before;
    before.m_bProtectPlacedBlocks = 77;
    Load(before, cSystemData().MakeFileBytes(c.version));
    EXPECT_EQ(c.value, before.m_bProtectPlacedBlocks) << c.version;
  }
}

TEST_F(SystemData, PaletteCyclingOfOldFilesFollowsTheTransparentColour) {
  const struct {
    int version;
    int transparent;
    int cycling;
  } cases[] = {{186, 1, 1}, {288, 0, 1}, {288, 1, 0}, {289, 1, 9}};
  for (const auto& c : cases) {
    cSystemData writer;
    writer.m_bTransparent = c.transparent;
    writer.m_bPaletteCycling = 9;
    EXPECT_EQ(c.cycling, Loaded(writer.MakeFileBytes(c.version)).m_bPaletteCycling) << c.version;
  }
}

TEST_F(SystemData, PartsMissingFromOlderFilesGetTheirUpgradeValues) {
  cSystemData writer;
  writer.m_InfiniteLives = {1, 0, 1, 0};
  writer.m_SceneBgmLoop = {0, 1, 0, 0};
  writer.m_ResetOnMiss.assign(25, 1);
  writer.m_RankModeNames = {"a", "b", "c", "d"};
  writer.m_RankGenreSets[0].m_Genres = {0, 0, 1};

  cSystemData before;  // the record read into keeps these unless an upgrade changes them
  before.m_RankModeNames = {"w", "x", "y", "z"};
  before.m_SceneBgmLoop = {0, 0, 0, 0};

  cSystemData v185 = before;
  Load(v185, writer.MakeFileBytes(185));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Ints(v185.m_InfiniteLives));
  EXPECT_EQ(std::vector<int>(25, 0), Ints(v185.m_ResetOnMiss));
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), Ints(v185.m_SceneBgmLoop));
  EXPECT_EQ((std::vector<std::string>{"w", "x", "y", "z"}), Strings(v185.m_RankModeNames));
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1}), Ints(v185.m_RankGenreSets[0].m_Genres));  // not stored before 186

  cSystemData v673 = before;
  Load(v673, writer.MakeFileBytes(673));
  EXPECT_EQ((std::vector<int>{1, 0, 1, 0}), Ints(v673.m_InfiniteLives));
  EXPECT_EQ(std::vector<int>(25, 1), Ints(v673.m_ResetOnMiss));
  EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Ints(v673.m_SceneBgmLoop));
  EXPECT_EQ((std::vector<std::string>{"w", "x", "y", "z"}), Strings(v673.m_RankModeNames));
  EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0}), Ints(v673.m_RankGenreSets[0].m_Genres));  // padded to five

  cSystemData v674 = before;
  Load(v674, writer.MakeFileBytes(674));
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), Strings(v674.m_RankModeNames));
}

TEST_F(SystemData, Version180GenresLoseHpAndSpButKeepTheRest) {
  cSystemData before;
  before.m_RankGenreSets[2].m_Genres = {1, 0, 1};
  const cSystemData v180 = [&] {
    cSystemData s = before;
    Load(s, cSystemData().MakeFileBytes(180));
    return s;
  }();
  EXPECT_EQ((std::vector<int>{1, 1, 1, 0, 0}), Ints(v180.m_RankGenreSets[0].m_Genres));
  EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 0}), Ints(v180.m_RankGenreSets[2].m_Genres));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0}), Ints(v180.m_RankGenreSets[3].m_Genres));
}

// ---- damaged and unusual files ----------------------------------------------------------

// Lists of any length read; each ends at its fixed size, new entries fresh.
TEST_F(SystemData, ListsAreFittedToTheirSizes) {
  cSystemData odd;
  odd.m_CarryOver.assign(3, 1);
  odd.m_ResetOnMiss.assign(40, 1);
  odd.m_HudItems.resize(2);
  odd.m_Lives = {7};
  odd.m_InfiniteLives.clear();
  odd.m_RankGenreSets.resize(1);
  odd.m_RankGenreSets[0].m_Genres = {1, 1, 1, 1, 1, 1, 1, 1};
  odd.m_Messages = {"only"};
  odd.m_SystemSounds.assign(30, "s");
  odd.m_SceneBgm = {1};
  odd.m_SceneBgmLoop.clear();
  odd.m_TitleMenu.resize(2);
  odd.m_MapMenu.resize(9);
  odd.m_OptionMenu.clear();
  odd.m_RankModeNames = {"a"};
  odd.m_IniKeys.resize(1);
  const cSystemData s = Loaded(odd.MakeFileBytes());

  EXPECT_EQ((std::vector<int>{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
            Ints(s.m_CarryOver));
  EXPECT_EQ(std::vector<int>(25, 1), Ints(s.m_ResetOnMiss));
  ASSERT_EQ(5u, s.m_HudItems.size());
  EXPECT_EQ(0, s.m_HudItems[4].m_bShown);
  EXPECT_EQ((std::vector<int>{7, 0, 0, 0}), Ints(s.m_Lives));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Ints(s.m_InfiniteLives));
  ASSERT_EQ(4u, s.m_RankGenreSets.size());
  EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1}), Ints(s.m_RankGenreSets[0].m_Genres));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0}), Ints(s.m_RankGenreSets[3].m_Genres));
  ASSERT_EQ(29u, s.m_Messages.size());
  EXPECT_EQ("only", s.m_Messages[0]);
  EXPECT_EQ("", s.m_Messages[28]);
  EXPECT_EQ(17u, s.m_SystemSounds.size());
  EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), Ints(s.m_SceneBgm));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Ints(s.m_SceneBgmLoop));
  EXPECT_EQ(7u, s.m_TitleMenu.size());
  EXPECT_EQ(4u, s.m_MapMenu.size());
  ASSERT_EQ(6u, s.m_OptionMenu.size());
  EXPECT_EQ(6, cCmd::CountEnabled(s.m_OptionMenu));  // fresh entries are enabled
  EXPECT_EQ(4u, s.m_RankModeNames.size());
  EXPECT_EQ(10u, s.m_IniKeys.size());
  EXPECT_EQ("", s.m_IniKeys[9].m_strKey);
}

void PatchI32(Bytes& file, std::size_t offset, std::int32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// Offsets in a current file: the version word, N, then the members.
constexpr std::size_t kFontFaceOffset = 8 + 4 * 4;
constexpr std::size_t kStageCountOffset = 8 + 12 * 4;

TEST_F(SystemData, ValuesThatIndexTablesAreBroughtIntoRangeOnReading) {
  // Scene music written while the Bgm list was long, read with two entries.
  g_Database.m_Bgms.resize(100);
  cSystemData writer;
  writer.m_SceneBgm = {1, 2, 50, 99};
  Bytes file = writer.MakeFileBytes();
  g_Database.m_Bgms.resize(2);

  const struct {
    int fontFace, expectedFace, stageCount, expectedCount;
  } cases[] = {{0, 0, 0, 0}, {121, 121, 9999, 9999}, {122, 60, 10000, 9999}, {-1, 60, -5, 0},
               {1 << 30, 60, 1 << 30, 9999}};
  for (const auto& c : cases) {
    PatchI32(file, kFontFaceOffset, c.fontFace);
    PatchI32(file, kStageCountOffset, c.stageCount);
    const cSystemData s = Loaded(file);
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), Ints(s.m_SceneBgm));
    EXPECT_EQ(c.expectedFace, s.m_nFontFace) << c.fontFace;
    EXPECT_EQ(c.expectedCount, s.m_nStageCount) << c.stageCount;
  }
}

TEST_F(SystemData, WritingChecksTheSceneMusicToo) {
  cSystemData system;
  system.m_SceneBgm = {2, 1, -3, 0};
  const cSystemData back = Loaded(system.MakeFileBytes());
  EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Ints(system.m_SceneBgm));
  EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Ints(back.m_SceneBgm));
}

TEST_F(SystemData, StringListsLoseTheirCarriageReturns) {
  cSystemData system;
  system.m_Messages[0] = "a\r\nb\r\r";
  system.m_SystemSounds[1] = "wave\\\rx.wav";
  system.m_RankModeNames[2] = "\r";
  const cSystemData back = Loaded(system.MakeFileBytes());
  EXPECT_EQ("a\nb", back.m_Messages[0]);
  EXPECT_EQ("wave\\x.wav", back.m_SystemSounds[1]);
  EXPECT_EQ("", back.m_RankModeNames[2]);
}

// A refused file leaves the record it was read into as it was.
TEST_F(SystemData, DamagedFilesAreRefusedAndChangeNothing) {
  cSystemData target;
  target.m_strTitle = "before";
  target.m_Messages[3] = "kept";
  const Bytes before = target.MakeFileBytes();

  Bytes newer = cSystemData().MakeFileBytes();
  PatchI32(newer, 0, DATA_VERSION + 1);
  Bytes surplus = cSystemData().MakeFileBytes();
  PatchI32(surplus, 4, 57);  // one member more than version 781 has
  Bytes zeroVersion = cSystemData().MakeFileBytes();
  PatchI32(zeroVersion, 0, 0);
  // A message list that claims four thousand million strings.
  Bytes hugeCount = cSystemData().MakeFileBytes(150);
  {
    cSystemData probe;
    // Find the message count: the file of version 150 with one more message
    // differs from it first at that count.
    probe.m_Messages.push_back("x");
    const Bytes longer = probe.MakeFileBytes(150);
    std::size_t at = 0;
    while (at < hugeCount.size() && hugeCount[at] == longer[at]) ++at;
    ASSERT_LT(at + 3, hugeCount.size());
    PatchI32(hugeCount, at, -1);
  }

  for (const Bytes* file : {&newer, &surplus, &zeroVersion, &hugeCount}) {
    EXPECT_FALSE(cDataRecord::LoadFromBytes(target, *file, "System.dat"));
    EXPECT_EQ(before, target.MakeFileBytes());
  }
}

TEST_F(SystemData, EveryTruncationIsRefusedAndChangesNothing) {
  cSystemData target;
  target.m_strTitle = "before";
  const Bytes before = target.MakeFileBytes();
  cSystemData full;
  full.m_strTitle = "full";
  for (const Bytes& file : {full.MakeFileBytes(), Version160File(), full.MakeFileBytes(600)}) {
    for (std::size_t length = 0; length < file.size(); ++length) {
      const Bytes cut(file.begin(), file.begin() + static_cast<long>(length));
      ASSERT_FALSE(cDataRecord::LoadFromBytes(target, cut, "System.dat")) << "length " << length;
    }
    EXPECT_EQ(before, target.MakeFileBytes());
    EXPECT_TRUE(cDataRecord::LoadFromBytes(target, file, "System.dat"));
    target = cSystemData();
    target.m_strTitle = "before";
  }
}

// ---- loading at start-up ---------------------------------------------------------------

class SystemDataLoad : public SystemData {
 protected:
  void SetUp() override {
    SystemData::SetUp();
    ResetSystemDataForTests();
    g_LaunchedByEditor = 0;
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    std::filesystem::create_directories("data");
  }
  void TearDown() override {
    plat::SetMessageBoxSink({});
    ResetSystemDataForTests();
    SystemData::TearDown();
  }

  recordtest::cTempFolder m_Folder;
  std::vector<std::string> m_Boxes;
};

TEST_F(SystemDataLoad, MissingOrDamagedFileStopsWithTheMessage) {
  g_System.m_strTitle = "held";
  for (const char* content : {static_cast<const char*>(nullptr), "xx", "\x0d\x03\x00"}) {
    m_Boxes.clear();
    if (content) recordtest::WriteFileBytes("data/System.dat", Bytes(content, content + std::strlen(content) + 1));
    EXPECT_FALSE(LoadSystemData());
    ASSERT_EQ(1u, m_Boxes.size());
    EXPECT_EQ("data\\System.dat の読み込みに失敗…", m_Boxes[0]);
    EXPECT_EQ("held", g_System.m_strTitle);
  }
  EXPECT_NE(std::string::npos, recordtest::ReportText().find("data\\System.dat の読み込みに失敗…"));
}

TEST_F(SystemDataLoad, LoadedFileAnswersTheKeepFlowsQuestion) {
  EXPECT_FALSE(KeepFlaggedFlows());
  cSystemData game;
  game.m_bKeepFlows = 1;
  game.m_strTitle = "Game";
  recordtest::WriteFileBytes("data/System.dat", game.MakeFileBytes());
  ASSERT_TRUE(LoadSystemData());
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ("Game", g_System.m_strTitle);
  EXPECT_TRUE(KeepFlaggedFlows());
  g_System.m_bKeepFlows = 0;
  EXPECT_FALSE(KeepFlaggedFlows());
}

// ---- helpers ------------------------------------------------------------------------------

TEST_F(SystemData, CountRankGenresCountsTheGenresOfModesWithRankings) {
  cSystemData s;
  s.m_RankGenreSets[0].m_Genres = {1, 0, 1, 0, 1};
  s.m_RankGenreSets[1].m_bRankingOn = 0;
  s.m_RankGenreSets[2].m_Genres = {0, 0, 0, 0, 2};
  s.m_RankGenreSets[3].m_bRankingOn = 1;
  EXPECT_EQ(3, s.CountRankGenres(0));
  EXPECT_EQ(0, s.CountRankGenres(1));
  EXPECT_EQ(1, s.CountRankGenres(2));
  EXPECT_EQ(0, s.CountRankGenres(3));
}

TEST_F(SystemData, GaugeWarnsAtItsLevel) {
  const struct {
    int level, percent, value, maximum, low;
  } cases[] = {
      {33, 1, 33, 100, 1}, {33, 1, 34, 100, 0}, {33, 1, 1, 3, 0},   {34, 1, 1, 3, 1},  // 33.33.. percent
      {5, 0, 5, 100, 1},   {5, 0, 6, 100, 0},   {0, 0, 0, 0, 1},    {33, 1, 0, 0, 0},
      {33, 1, -5, 0, 0},   {33, 1, 5, -10, 0},  {0, 1, 0, 100, 1},  {33, 1, 2147483647, 1, 0},
  };
  for (const auto& c : cases) {
    cHudItem item;
    item.m_nWarningLevel = c.level;
    item.m_bWarningPercent = c.percent;
    EXPECT_EQ(c.low, IsGaugeLow(item, c.value, c.maximum))
        << c.level << (c.percent ? "%" : "") << " " << c.value << "/" << c.maximum;
  }
}

TEST_F(SystemData, MessageListsAreCentredAndBoxedByTheirLongestText) {
  cSystemData s;  // 10 "ステージに挑む" and 11 "やっぱりやめる": seven characters each
  EXPECT_EQ(256, GetMessageListX(320, 10, 2, true, s));
  EXPECT_EQ(264, GetMessageListX(320, 10, 2, false, s));
  s.m_Messages[11] = "100%";
  const cMessageListBox box = MakeMessageListBox(10, 2, true, s);
  EXPECT_EQ(" ステージに挑む\n 100%\n", box.text);
  EXPECT_EQ(8 * 16, box.width);
  EXPECT_EQ(2 * 16, box.height);
  const cMessageListBox plain = MakeMessageListBox(11, 1, false, s);
  EXPECT_EQ("100%\n", plain.text);
  EXPECT_EQ(4 * 16, plain.width);
  const cMessageListBox none = MakeMessageListBox(10, 0, true, s);
  EXPECT_EQ("", none.text);
  EXPECT_EQ(0, none.width);
  EXPECT_EQ(0, none.height);
}

}  // namespace

// Commands: the type tables, every upgrade step of older files, the repairs of
// Validate and ValidateShotRefs, deep copies, round trips of every command
// type, and damaged files (bad type bytes, nesting bombs, truncation).

#include "data/Command.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/Database.h"
#include "data/Flow.h"
#include "data/FlowTestSupport.h"
#include "data/RecordTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using flowtest::Bytes;
using flowtest::cFlowDataTest;
using flowtest::ReadAt;
using flowtest::RefusedAt;
using flowtest::Reload;
using flowtest::WriteAt;
using testsupport::ByteBuilder;
using ParamList = std::vector<int32_t>;

cCommand MakeCommand(int set, int type, ParamList params = {}) {
  cCommand command;
  command.m_nSet = static_cast<uint8_t>(set);
  command.m_nType = static_cast<int8_t>(type);
  command.m_Params.assign(params.begin(), params.end());
  return command;
}

ParamList ParamsOf(const cCommand& command) { return ParamList(command.m_Params.begin(), command.m_Params.end()); }

ParamList Seq(int from, int to) {
  ParamList p;
  for (int v = from; v <= to; ++v) p.push_back(v);
  return p;
}

// n parameters of `value`, then the given ones over them from index 0.
ParamList Filled(int n, int32_t value, ParamList head = {}) {
  ParamList p(static_cast<std::size_t>(n), value);
  for (std::size_t i = 0; i < head.size() && i < p.size(); ++i) p[i] = head[i];
  return p;
}

// A "ステータスの操作" parameter list: 18 zeros with the given (index, value) pairs.
ParamList Status(std::initializer_list<std::pair<int, int32_t>> values) {
  ParamList p(18, 0);
  for (const auto& [index, value] : values) p[static_cast<std::size_t>(index)] = value;
  return p;
}

// ---- type tables -----------------------------------------------------------------

TEST(CommandTypeTables, ParameterCountsAreThoseTheCommandsTake) {
  EXPECT_EQ(kFlowCmdTable.size(), 40u);
  EXPECT_EQ(kItemCmdTable.size(), 25u);
  const int flowCounts[40] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 5, 0, 0, 0, 0, 0, 4, 9, 1, 18,
                              0, 16, 18, 3, 3, 2, 3, 1, 1, 8, 3, 3, 15, 8, 2, 1, 2, 0, 5, 2};
  for (int t = 0; t < 40; ++t) EXPECT_EQ(kFlowCmdTable[t].m_nParamCount, flowCounts[t]) << "flow type " << t;
  EXPECT_EQ(kItemCmdTable[ITEM_CMD_CHANGE_FLOW].m_nParamCount, 2);
}

TEST(CommandTypeTables, ItemTypeFromTwoIsTheFlowTypeFifteenHigher) {
  for (int t = 2; t < kItemCmdTypeCount; ++t) {
    EXPECT_STREQ(kItemCmdTable[t].m_Name, kFlowCmdTable[t + 15].m_Name) << "item type " << t;
    EXPECT_EQ(kItemCmdTable[t].m_nParamCount, kFlowCmdTable[t + 15].m_nParamCount) << "item type " << t;
  }
}

TEST(CommandTypeTables, NamesAreCp932) {
  EXPECT_EQ(std::string(kFlowCmdTable[FLOW_CMD_WAIT].m_Name), "\x83\x45\x83\x47\x83\x43\x83\x67");  // ウエイト
}

TEST(CommandTypeTables, CountsOutsideTheTablesAreZero) {
  EXPECT_EQ(cCommand::ParamCountOf(0, 40), 0);
  EXPECT_EQ(cCommand::ParamCountOf(0, -1), 0);
  EXPECT_EQ(cCommand::ParamCountOf(1, 25), 0);
  EXPECT_EQ(cCommand::ParamCountOf(3, 24), 2);  // any set other than 0 is the item set
}

// ---- upgrade steps ----------------------------------------------------------------

class CommandUpgrade : public cFlowDataTest {};
class CommandFile : public cFlowDataTest {};

// Types are those of the file's own numbering; every later step applies as well.
struct cCommandUpgradeCase {
  const char* what;
  int version;
  int set;
  int type;
  ParamList params;
  int expectedType;
  ParamList expected;
};

TEST_F(CommandUpgrade, EveryStepOfTheTable) {
  const cCommandUpgradeCase cases[] = {
      {"145 stage clear grows to 9", 144, 0, 17, {1}, 17, Filled(9, 0, {1})},
      {"145 item stage clear", 144, 1, 2, {1}, 2, Filled(9, 0, {1})},
      {"166 BGM plays looped, then becomes 36", 165, 0, 35, {1}, 36, {1, 1}},
      {"166 item BGM", 165, 1, 20, {1}, 21, {1, 1}},
      {"168 and 203 status item 10 moves twice", 167, 0, 22, Status({{4, 10}, {6, 2}, {13, 10}}), 22,
       Status({{4, 12}, {6, 2}, {13, 12}})},
      {"168 skipped for p3 = 2 (767 then moves p3)", 167, 0, 22, Status({{3, 2}, {4, 10}}), 22,
       Status({{3, 5}, {4, 10}})},
      {"203 status item 5 moves", 202, 0, 22, Status({{4, 5}}), 22, Status({{4, 6}})},
      {"203 status item 4 stays", 202, 0, 22, Status({{4, 4}}), 22, Status({{4, 4}})},
      {"203 item status", 202, 1, 7, Status({{4, 5}}), 7, Status({{4, 6}})},
      {"189, 747, 767 set target", 188, 0, 21, Seq(1, 15), 21, {0, 1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 0, 1, 12, 13, 0}},
      {"194 to 723 picture", 193, 0, 31, Seq(1, 14), 32, {1, 2, 3, 4, 5, 6, 1, 7, 8, 9, 10, 0, 0, 0, 0}},
      {"195 chara effect", 194, 0, 29, {1, 5}, 30, {1, 0, 5}},
      {"195 screen effect", 194, 0, 30, {1, 5}, 31, {1, 0, 5}},
      {"195 item chara effect", 194, 1, 14, {1, 5}, 15, {1, 0, 5}},
      {"203 summons lose their parameters", 202, 0, 14, {1, 2, 3}, 14, {}},
      {"203 emptying is flow only", 202, 1, 14, {1, 2, 3}, 15, {1, 2, 3}},
      {"203 flow operation grows to 4", 202, 0, 16, {1, 2}, 16, {1, 2, 0, 0}},
      {"210 status2 item above 5", 209, 0, 23, {0, 6, 0}, 23, {0, 7, 0}},
      {"210 skipped for p0 = 2 (767 moves p0)", 209, 0, 23, {2, 6, 0}, 23, {5, 6, 0}},
      {"219 shot-sheet graphic + 1", 218, 0, 25, {3, 118, 0}, 26, {3, 119, 0}},
      {"219 graphic at most 119", 218, 0, 25, {3, 119, 0}, 26, {3, 119, 0}},
      {"219 other sheets stay", 218, 0, 25, {2, 5, 0}, 26, {2, 5, 0}},
      {"219 item graphic", 218, 1, 10, {3, 7, 0}, 11, {3, 8, 0}},
      {"545 to 723 message of 540", 540, 0, 19, {7, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 19,
       {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"546 p10 = 0 unless p0 is 0 or 7", 540, 0, 19, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 19,
       {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 1, 0, 1, 0}},
      {"546 and later on a full list", 545, 0, 19, Filled(18, 9, {3}), 19,
       {3, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 0, 0, 0, 1, 0, 1, 0}},
      {"556 and 723", 555, 0, 19, Filled(18, 9), 19, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1, 0}},
      {"723 message", 722, 0, 19, Filled(18, 9), 19, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0}},
      {"item message of 540", 540, 1, 4, {7, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 4,
       {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"545, 547, 723 picture", 544, 0, 31, Filled(15, 9, {1}), 32, {1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 0, 0, 0}},
      {"722 clear destination above 1", 721, 0, 17, Filled(9, 9, {2}), 17, Filled(9, 9, {3})},
      {"722 clear destination 1 stays", 721, 0, 17, Filled(9, 9, {1}), 17, Filled(9, 9, {1})},
      {"726 arrange of the shot command", 725, 0, 37, {}, 38, {11, 0, 0, 0, 0}},
      {"727 thresholds from 2", 726, 0, 37, {11, 2, 0, 0, 0}, 38, {11, 5, 0, 0, 0}},
      {"727 thresholds from 10", 726, 0, 37, {11, 10, 0, 0, 0}, 38, {11, 13, 0, 0, 0}},
      {"727 thresholds from 13", 726, 0, 37, {11, 13, 0, 0, 0}, 38, {11, 20, 0, 0, 0}},
      {"727 parameter 1 stays", 726, 0, 37, {11, 1, 0, 0, 0}, 38, {11, 1, 0, 0, 0}},
      {"727 only for the shot command", 726, 0, 37, {5, 13, 0, 0, 0}, 38, {5, 13, 0, 0, 0}},
      {"734 flow type 24 becomes 25", 733, 0, 24, {0, 1}, 25, {0, 1}},
      {"734 flow type 23 stays", 733, 0, 23, {0, 0, 0}, 23, {0, 0, 0}},
      {"734 loop becomes 39", 733, 0, 38, {2, 3}, 39, {2, 3}},
      {"734 item type 9 becomes 10", 730, 1, 9, {0, 1}, 10, {0, 1}},
      {"734 item type 8 stays", 733, 1, 8, {0, 0, 0}, 8, {0, 0, 0}},
      {"734 arrange names the moved type", 730, 0, 37, {24, 1, 0, 0, 0}, 38, {25, 1, 0, 0, 0}},
      {"734 arrange of type 23 stays", 733, 0, 37, {23, 1, 0, 0, 0}, 38, {23, 1, 0, 0, 0}},
      {"734 item arrange", 733, 1, 22, {24, 1, 0, 0, 0}, 23, {25, 1, 0, 0, 0}},
      {"747 and 767 set target", 746, 0, 21, Seq(1, 16), 21, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 13, 14, 0}},
      {"747 item set target", 746, 1, 6, Seq(1, 16), 6, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 13, 14, 0}},
      {"760 flow operation p3", 759, 0, 16, {1, 2, 3, 4}, 16, {1, 2, 3, 0}},
      {"767 turn above 3", 766, 0, 9, {4}, 9, {10}},
      {"767 turn 3 stays", 766, 0, 9, {3}, 9, {3}},
      {"767 turn is flow only", 766, 1, 9, {4, 0, 0}, 9, {4, 0, 0}},
      {"767 set target", 766, 0, 21, Seq(1, 16), 21, Seq(0, 15)},
      {"767 status subjects", 766, 0, 22, Status({{3, 2}, {6, 2}, {12, 2}}), 22, Status({{3, 5}, {6, 2}, {12, 5}})},
      {"767 status subject 1 stays", 766, 0, 22, Status({{3, 1}}), 22, Status({{3, 1}})},
      {"767 item status", 766, 1, 7, Status({{3, 2}}), 7, Status({{3, 5}})},
      {"767 status2 subject", 766, 0, 23, {2, 0, 0}, 23, {5, 0, 0}},
      {"767 item status2", 766, 1, 8, {2, 0, 0}, 8, {5, 0, 0}},
      {"780 changes nothing", 780, 0, 21, Seq(1, 16), 21, Seq(1, 16)},
  };
  for (const cCommandUpgradeCase& c : cases) {
    SCOPED_TRACE(c.what);
    cCommand command = MakeCommand(c.set, c.type, c.params);
    const cCommand loaded = Reload(command, c.version);
    EXPECT_EQ(loaded.m_nType, c.expectedType);
    EXPECT_EQ(ParamsOf(loaded), c.expected);
  }
}

TEST_F(CommandUpgrade, StepsOnTheOptionalParts) {
  struct Case {
    const char* what;
    int version;
    int type;
    void (*fill)(cCommand&);
    void (*check)(const cCommand&);
  };
  const Case cases[] = {
      {"220 shot graphic + 1", 219, FLOW_CMD_SHOT, [](cCommand& c) { c.m_Shot.Create().m_nGraphic = 5; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Shot->m_nGraphic, 6); }},
      {"220 shot graphic at most 119", 219, FLOW_CMD_SHOT, [](cCommand& c) { c.m_Shot.Create().m_nGraphic = 119; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Shot->m_nGraphic, 119); }},
      {"220 not from 220", 220, FLOW_CMD_SHOT, [](cCommand& c) { c.m_Shot.Create().m_nGraphic = 5; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Shot->m_nGraphic, 5); }},
      {"220 without shot parameters", 219, FLOW_CMD_SHOT, [](cCommand&) {},
       [](const cCommand& c) { EXPECT_TRUE(c.m_Shot.IsEmpty()); }},
      {"514 rush move angles", 513, FLOW_CMD_RUSH_MOVE,
       [](cCommand& c) {
         cEdMove& move = c.m_Move.Create();
         move.m_nAngle = 30;
         move.m_nAnglePerCopy = 4;
         move.m_bMirrorAngle = 0;
       },
       [](const cCommand& c) {
         EXPECT_EQ(c.m_Move->m_nAngle, 0);
         EXPECT_EQ(c.m_Move->m_nAnglePerCopy, 0);
         EXPECT_EQ(c.m_Move->m_bMirrorAngle, 1);
       }},
      {"514 not from 514", 514, FLOW_CMD_RUSH_MOVE, [](cCommand& c) { c.m_Move.Create().m_nAngle = 30; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Move->m_nAngle, 30); }},
      {"764 flow operation gets a condition list", 763, FLOW_CMD_FLOW_OPERATION, [](cCommand&) {},
       [](const cCommand& c) {
         ASSERT_FALSE(c.m_Conds.IsEmpty());
         EXPECT_EQ(c.m_Conds->m_bEnabled, 0);
         EXPECT_TRUE(c.m_Conds->m_Conds.empty());
       }},
      {"764 other commands get none", 763, FLOW_CMD_STRAIGHT_MOVE, [](cCommand&) {},
       [](const cCommand& c) { EXPECT_TRUE(c.m_Conds.IsEmpty()); }},
      {"764 from 764 the file says", 764, FLOW_CMD_FLOW_OPERATION, [](cCommand&) {},
       [](const cCommand& c) { EXPECT_TRUE(c.m_Conds.IsEmpty()); }},
      {"767 warp target position moves to 5", 766, FLOW_CMD_WARP, [](cCommand& c) { c.m_Move.Create().m_nPosMode = 2; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Move->m_nPosMode, kWarpTargetPosition); }},
      {"767 warp from the character stays", 766, FLOW_CMD_WARP, [](cCommand& c) { c.m_Move.Create().m_nPosMode = 1; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Move->m_nPosMode, 1); }},
      {"767 not from 767", 767, FLOW_CMD_WARP, [](cCommand& c) { c.m_Move.Create().m_nPosMode = 2; },
       [](const cCommand& c) { EXPECT_EQ(c.m_Move->m_nPosMode, 2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cCommand command = MakeCommand(0, c.type, Filled(cCommand::ParamCountOf(0, c.type), 0));
    c.fill(command);
    c.check(Reload(command, c.version));
  }
}

TEST_F(CommandUpgrade, TheConditionsWordIsInFilesFrom764Only) {
  cCommand command = MakeCommand(0, FLOW_CMD_FLOW_OPERATION, {0, 0, 0, 0});
  command.m_Conds.Create().m_bEnabled = 1;
  // The base record, movement and shot words, then either the conditions word
  // or straight away the flow count.
  const Bytes at763 = WriteAt(command, 763);
  const Bytes at764 = WriteAt(command, 764);
  EXPECT_EQ(at764.size(), at763.size() + 4 + 2 * 4 + 2);  // word, base record of two bytes
  cCommand loaded = Reload(command, 764);
  ASSERT_FALSE(loaded.m_Conds.IsEmpty());
  EXPECT_EQ(loaded.m_Conds->m_bEnabled, 1);
}

TEST_F(CommandUpgrade, ARawTypeThatRenumberingPushesOutOfItsTableIsRefused) {
  for (auto [set, type] : {std::pair{0, 39}, std::pair{1, 24}}) {
    cCommand command = MakeCommand(set, type);
    EXPECT_TRUE(RefusedAt<cCommand>(WriteAt(command, 733), 733)) << "set " << set << " type " << type;
  }
}

// ---- Validate ---------------------------------------------------------------------

// A database with the given number of entries in every list the commands refer to.
cDatabase DatabaseOfSize(int n) {
  cDatabase db;
  db.m_AnimeSets.resize(static_cast<std::size_t>(n));
  db.m_Animes.resize(static_cast<std::size_t>(n));
  db.m_SwordTypes.resize(static_cast<std::size_t>(n));
  db.m_Effects.resize(static_cast<std::size_t>(n));
  db.m_CharaEffects.resize(static_cast<std::size_t>(n));
  db.m_ScrEffects.resize(static_cast<std::size_t>(n));
  db.m_Pictures.resize(static_cast<std::size_t>(n));
  db.m_Sounds.resize(static_cast<std::size_t>(n));
  db.m_Bgms.resize(static_cast<std::size_t>(n));
  return db;
}

TEST(CommandValidate, DatabaseIndexesInParameterZero) {
  const cDatabase db = DatabaseOfSize(4);
  struct Case {
    int set;
    int type;
    int32_t p0;
    int32_t expected;
  };
  const Case cases[] = {
      {0, FLOW_CMD_ANIME, 4, 1},      {0, FLOW_CMD_ANIME, 3, 3},     {0, FLOW_CMD_ANIME, -1, 1},
      {0, FLOW_CMD_ANIME_SET, 4, 0},  {1, 12, 4, 0},                 {0, FLOW_CMD_EFFECT, 4, 1},
      {1, 14, 9, 1},                  {0, FLOW_CMD_CHARA_EFFECT, 4, 1}, {0, FLOW_CMD_SCR_EFFECT, 4, 1},
      {0, FLOW_CMD_PICTURE, 4, 1},    {1, 17, 4, 1},                 {0, FLOW_CMD_SOUND, 4, 1},
      {0, FLOW_CMD_BGM, 4, 1},        {1, 21, 100, 1},               {0, FLOW_CMD_TURN, 100, 100},
      {1, ITEM_CMD_CHANGE_FLOW, 100, 100},
  };
  for (const Case& c : cases) {
    cCommand command = MakeCommand(c.set, c.type, {c.p0});
    command.Validate(db);
    ASSERT_FALSE(command.m_Params.empty());
    EXPECT_EQ(command.m_Params[0], c.expected) << "set " << c.set << " type " << c.type << " p0 " << c.p0;
  }
}

TEST(CommandValidate, ARepairToTheFirstEntryOfAListWithoutOneGivesNone) {
  const cDatabase db = DatabaseOfSize(1);
  cCommand command = MakeCommand(0, FLOW_CMD_PICTURE, {5});
  command.Validate(db);
  EXPECT_EQ(command.m_Params[0], 0);
}

TEST(CommandValidate, AnimationAndSoundOutsideTheirListsBecomeNone) {
  const cDatabase db = DatabaseOfSize(3);
  for (int16_t bad : {int16_t{3}, int16_t{-1}, int16_t{32767}}) {
    cCommand command;
    command.m_nAnime = bad;
    command.m_nSound = bad;
    command.Validate(db);
    EXPECT_EQ(command.m_nAnime, 0) << bad;
    EXPECT_EQ(command.m_nSound, 0) << bad;
  }
  cCommand good;
  good.m_nAnime = 2;
  good.m_nSound = 2;
  good.Validate(db);
  EXPECT_EQ(good.m_nAnime, 2);
  EXPECT_EQ(good.m_nSound, 2);
}

TEST(CommandValidate, TheParameterListTakesItsTypesCount) {
  const cDatabase db = DatabaseOfSize(2);
  cCommand longer = MakeCommand(0, FLOW_CMD_TURN, {7, 8, 9});
  longer.Validate(db);
  EXPECT_EQ(ParamsOf(longer), (ParamList{7}));
  cCommand shorter = MakeCommand(1, 7, {1, 2});
  shorter.Validate(db);
  EXPECT_EQ(ParamsOf(shorter), Filled(18, 0, {1, 2}));
}

TEST(CommandValidate, ATypeOutsideItsTableInMemoryBecomesTheEmptyCommand) {
  const cDatabase db = DatabaseOfSize(2);
  cCommand command = MakeCommand(0, 100, {1, 2, 3});
  command.Validate(db);
  EXPECT_EQ(command.m_nType, 0);
  EXPECT_TRUE(command.m_Params.empty());
}

struct cSwordCase {
  const char* what;
  std::vector<int32_t> durations;
  int16_t expected;
};

TEST(CommandValidate, ASwordLastsAsLongAsItsFramesCappedAt9999) {
  const cSwordCase cases[] = {
      {"short frames add up", {3, 4}, 7},
      {"5000 and 6000 give 9999", {5000, 6000}, 9999},
      {"sums past 16 bits do not wrap", {20000, 20000, 30000}, 9999},
      {"a huge frame", {2147483647, 2147483647}, 9999},
      {"a capped sum can come down again", {9000, 9000, -100}, 9899},
  };
  for (const cSwordCase& c : cases) {
    cDatabase db = DatabaseOfSize(2);
    db.m_SwordTypes[1].m_Steps.clear();
    for (int32_t d : c.durations) {
      cSwordStep step;
      step.m_nDuration = d;
      db.m_SwordTypes[1].m_Steps.push_back(step);
    }
    cCommand sword = MakeCommand(0, FLOW_CMD_SWORD);
    sword.m_Shot.Create().m_nMotion = 1;
    sword.Validate(db);
    EXPECT_EQ(sword.m_nDuration, c.expected) << c.what;
    EXPECT_EQ(sword.m_Shot->m_nMotion, 1) << c.what;
  }
}

TEST(CommandValidate, ASwordTypeOutsideTheListBecomesTheFirst) {
  cDatabase db = DatabaseOfSize(2);
  db.m_SwordTypes[0].m_Steps.assign(2, cSwordStep());
  db.m_SwordTypes[0].m_Steps[0].m_nDuration = 4;
  db.m_SwordTypes[0].m_Steps[1].m_nDuration = 5;
  cCommand sword = MakeCommand(0, FLOW_CMD_SWORD);
  sword.m_Shot.Create().m_nMotion = 2;
  sword.Validate(db);
  EXPECT_EQ(sword.m_Shot->m_nMotion, 0);
  EXPECT_EQ(sword.m_nDuration, 9);
}

TEST(CommandValidate, ASwordWithoutShotParametersOrSwordTypesIsLeftAlone) {
  const cDatabase db = DatabaseOfSize(2);
  cCommand bare = MakeCommand(0, FLOW_CMD_SWORD);
  bare.m_nDuration = 42;
  bare.Validate(db);
  EXPECT_EQ(bare.m_nDuration, 42);

  cDatabase none = DatabaseOfSize(2);
  none.m_SwordTypes.clear();
  cCommand sword = MakeCommand(0, FLOW_CMD_SWORD);
  sword.m_Shot.Create().m_nMotion = 3;
  sword.m_nDuration = 42;
  sword.Validate(none);
  EXPECT_EQ(sword.m_Shot->m_nMotion, 0);
  EXPECT_EQ(sword.m_nDuration, 42);
}

TEST(CommandValidate, ReachesTheCommandsOfItsFlows) {
  const cDatabase db = DatabaseOfSize(2);
  cCommand outer = MakeCommand(1, ITEM_CMD_CHANGE_FLOW, {0, 0});
  outer.m_Flows.resize(1);
  outer.m_Flows[0].m_Commands.push_back(MakeCommand(0, FLOW_CMD_ANIME, {9, 9}));
  outer.Validate(db);
  EXPECT_EQ(ParamsOf(outer.m_Flows[0].m_Commands[0]), (ParamList{1}));
}

// Read validates against the loaded database.
TEST_F(CommandFile, ReadingRepairsAgainstTheLoadedDatabase) {
  const int animes = static_cast<int>(g_Database.m_Animes.size());
  cCommand anime = MakeCommand(0, FLOW_CMD_ANIME, {animes});
  EXPECT_EQ(Reload(anime, 780).m_Params[0], 1);
  const int sets = static_cast<int>(g_Database.m_AnimeSets.size());
  cCommand animeSet = MakeCommand(0, FLOW_CMD_ANIME_SET, {sets});
  EXPECT_EQ(Reload(animeSet, 780).m_Params[0], 0);
}

// ---- ValidateShotRefs -----------------------------------------------------------------

cPaletteSizes Sizes() {
  cPaletteSizes s;
  s.m_nCommonBlocks = 3;
  s.m_nCommonCharas = 4;
  s.m_nCommonItems = 5;
  s.m_nStageBlocks = 6;
  s.m_nStageCharas = 7;
  s.m_nStageItems = 8;
  return s;
}

TEST(CommandShotRefs, HitItemsOfShotsAndSwords) {
  struct Case {
    int type;
    uint8_t palette;
    int16_t index;
    uint8_t expectedPalette;
    int16_t expectedIndex;
  };
  const Case cases[] = {
      {FLOW_CMD_SHOT, 1, 5, 0, 0},  {FLOW_CMD_SHOT, 1, 4, 1, 4},    {FLOW_CMD_SHOT, 2, 8, 0, 0},
      {FLOW_CMD_SHOT, 2, 7, 2, 7},  {FLOW_CMD_SHOT, 2, -1, 0, 0},   {FLOW_CMD_SHOT, 0, 99, 0, 99},
      {FLOW_CMD_SHOT, 3, 99, 3, 99}, {FLOW_CMD_SWORD, 1, 5, 0, 0},  {FLOW_CMD_SUMMON_CHARA, 1, 99, 1, 99},
  };
  for (const Case& c : cases) {
    cCommand command = MakeCommand(0, c.type);
    cEdShot& shot = command.m_Shot.Create();
    shot.m_nHitItemPalette = c.palette;
    shot.m_nHitItemIndex = c.index;
    command.ValidateShotRefs(Sizes());
    EXPECT_EQ(command.m_Shot->m_nHitItemPalette, c.expectedPalette) << c.type << " " << int(c.palette) << " " << c.index;
    EXPECT_EQ(command.m_Shot->m_nHitItemIndex, c.expectedIndex) << c.type << " " << int(c.palette) << " " << c.index;
  }
}

TEST(CommandShotRefs, SummonIndexesOfTheirPalettesList) {
  struct Case {
    int type;
    uint8_t palette;
    int16_t index;
    int16_t expected;
  };
  const Case cases[] = {
      {FLOW_CMD_SUMMON_BLOCK, 0, 3, 1}, {FLOW_CMD_SUMMON_BLOCK, 0, 2, 2}, {FLOW_CMD_SUMMON_BLOCK, 1, 6, 1},
      {FLOW_CMD_SUMMON_BLOCK, 1, 5, 5}, {FLOW_CMD_SUMMON_CHARA, 0, 4, 1}, {FLOW_CMD_SUMMON_CHARA, 1, 6, 6},
      {FLOW_CMD_SUMMON_ITEM, 0, 5, 1},  {FLOW_CMD_SUMMON_ITEM, 1, 8, 1},  {FLOW_CMD_SUMMON_ITEM, 1, 7, 7},
      {FLOW_CMD_SUMMON_ITEM, 1, -1, 1}, {FLOW_CMD_SUMMON_ITEM, 2, 99, 99}, {FLOW_CMD_SHOT, 0, 99, 99},
  };
  for (const Case& c : cases) {
    cCommand command = MakeCommand(0, c.type);
    cEdShot& shot = command.m_Shot.Create();
    shot.m_nSummonPalette = c.palette;
    shot.m_nSummonIndex = c.index;
    command.ValidateShotRefs(Sizes());
    EXPECT_EQ(command.m_Shot->m_nSummonIndex, c.expected) << c.type << " " << int(c.palette) << " " << c.index;
  }
}

TEST(CommandShotRefs, ItemGetOfFlowAndItemCommands) {
  struct Case {
    int set;
    int type;
    ParamList params;
    ParamList expected;
  };
  const Case cases[] = {
      {0, FLOW_CMD_ITEM_GET, {0, 5}, {0, 1}},  {0, FLOW_CMD_ITEM_GET, {0, 4}, {0, 4}},
      {0, FLOW_CMD_ITEM_GET, {1, 8}, {1, 1}},  {0, FLOW_CMD_ITEM_GET, {1, -3}, {1, 1}},
      {0, FLOW_CMD_ITEM_GET, {2, 99}, {2, 99}}, {1, ITEM_CMD_ITEM_GET, {1, 8}, {1, 1}},
      {1, ITEM_CMD_ITEM_GET, {0, 2}, {0, 2}},  {0, FLOW_CMD_ITEM_GET, {1}, {1}},
  };
  for (const Case& c : cases) {
    cCommand command = MakeCommand(c.set, c.type, c.params);
    command.ValidateShotRefs(Sizes());
    EXPECT_EQ(ParamsOf(command), c.expected) << "set " << c.set << " p " << c.params[0];
  }
}

TEST(CommandShotRefs, CommandsWithoutShotParametersAndNestedFlows) {
  for (int type : {FLOW_CMD_SHOT, FLOW_CMD_SWORD, FLOW_CMD_SUMMON_BLOCK, FLOW_CMD_SUMMON_CHARA, FLOW_CMD_SUMMON_ITEM}) {
    cCommand bare = MakeCommand(0, type);
    bare.ValidateShotRefs(Sizes());
    EXPECT_TRUE(bare.m_Shot.IsEmpty());
  }
  cCommand outer = MakeCommand(1, ITEM_CMD_CHANGE_FLOW, {0, 0});
  outer.m_Flows.resize(1);
  outer.m_Flows[0].m_Commands.push_back(MakeCommand(0, FLOW_CMD_ITEM_GET, {0, 50}));
  outer.ValidateShotRefs(Sizes());
  EXPECT_EQ(ParamsOf(outer.m_Flows[0].m_Commands[0]), (ParamList{0, 1}));
}

// ---- copies ---------------------------------------------------------------------------

cCommand CommandWithEverything() {
  cCommand command = MakeCommand(0, FLOW_CMD_FLOW_OPERATION, {1, 2, 3, 4});
  command.m_strText = "本文";
  command.m_Move.Create().m_nSpeed = 33;
  command.m_Shot.Create().m_nPower = 1234;
  cCondList& conds = command.m_Conds.Create();
  conds.m_bEnabled = 1;
  conds.m_Conds.resize(2);
  conds.m_Conds[1].m_nValue = 77;
  command.m_Flows.resize(1);
  cCommand inner = MakeCommand(0, FLOW_CMD_STRAIGHT_MOVE);
  inner.m_Move.Create().m_nDistance = 8;
  command.m_Flows[0].m_Commands.push_back(inner);
  return command;
}

void ExpectIndependent(cCommand& copy, const cCommand& source) {
  ASSERT_TRUE(copy.m_Move && copy.m_Shot && copy.m_Conds);
  EXPECT_NE(copy.m_Move.Get(), source.m_Move.Get());
  EXPECT_NE(copy.m_Shot.Get(), source.m_Shot.Get());
  EXPECT_NE(copy.m_Conds.Get(), source.m_Conds.Get());
  EXPECT_NE(copy.m_Flows[0].m_Commands[0].m_Move.Get(), source.m_Flows[0].m_Commands[0].m_Move.Get());
  EXPECT_EQ(copy.m_Move->m_nSpeed, 33);
  EXPECT_EQ(copy.m_Shot->m_nPower, 1234);
  EXPECT_EQ(copy.m_Conds->m_Conds[1].m_nValue, 77);
  EXPECT_EQ(copy.m_strText, source.m_strText);

  copy.m_Move->m_nSpeed = 1;
  copy.m_Shot->m_nPower = 2;
  copy.m_Conds->m_Conds[1].m_nValue = 3;
  copy.m_Flows[0].m_Commands[0].m_Move->m_nDistance = 4;
  copy.m_Params[0] = 5;
  EXPECT_EQ(source.m_Move->m_nSpeed, 33);
  EXPECT_EQ(source.m_Shot->m_nPower, 1234);
  EXPECT_EQ(source.m_Conds->m_Conds[1].m_nValue, 77);
  EXPECT_EQ(source.m_Flows[0].m_Commands[0].m_Move->m_nDistance, 8);
  EXPECT_EQ(source.m_Params[0], 1);
}

TEST(CommandCopy, CopyConstructionIsDeep) {
  const cCommand source = CommandWithEverything();
  cCommand copy(source);
  ExpectIndependent(copy, source);
}

TEST(CommandCopy, AssignmentIsDeepAndEmptiesHoldersTheSourceLacks) {
  const cCommand source = CommandWithEverything();
  cCommand copy = MakeCommand(0, FLOW_CMD_WAIT);
  copy = source;
  ExpectIndependent(copy, source);

  copy = MakeCommand(0, FLOW_CMD_WAIT);
  EXPECT_TRUE(copy.m_Move.IsEmpty());
  EXPECT_TRUE(copy.m_Shot.IsEmpty());
  EXPECT_TRUE(copy.m_Conds.IsEmpty());
  EXPECT_TRUE(copy.m_Flows.empty());
}

TEST(CommandCopy, SelfAssignmentKeepsEverything) {
  cCommand command = CommandWithEverything();
  const cCommand& same = command;
  command = same;
  ASSERT_TRUE(command.m_Move && command.m_Shot && command.m_Conds);
  EXPECT_EQ(command.m_Move->m_nSpeed, 33);
  EXPECT_EQ(command.m_Conds->m_Conds.size(), 2u);
  EXPECT_EQ(command.m_Flows.size(), 1u);
}

// ---- round trips ----------------------------------------------------------------------

bool TakesMovement(int set, int type) {
  if (set != 0) return type == 5;  // "ワープ"
  return (type >= FLOW_CMD_STRAIGHT_MOVE && type <= FLOW_CMD_CANCEL_MOVE) || type == FLOW_CMD_WARP;
}

bool TakesShot(int set, int type) { return set == 0 && type >= FLOW_CMD_SHOT && type <= FLOW_CMD_SUMMON_ITEM; }

// A command of the type with a distinct value in everything it stores that
// Validate leaves as it is against the default database.
cCommand FilledCommand(int set, int type) {
  cCommand c = MakeCommand(set, type);
  for (int i = 0; i < cCommand::ParamCountOf(set, type); ++i) c.m_Params.push_back(100 * type + i - 7);
  switch (c.FlowEquivalentType()) {
    case FLOW_CMD_ANIME_SET: c.m_Params[0] = 0; break;
    case FLOW_CMD_ANIME:
    case FLOW_CMD_EFFECT:
    case FLOW_CMD_CHARA_EFFECT:
    case FLOW_CMD_SCR_EFFECT:
    case FLOW_CMD_PICTURE:
    case FLOW_CMD_SOUND:
    case FLOW_CMD_BGM: c.m_Params[0] = 1; break;
    default: break;
  }
  c.m_strText = "テキスト" + std::to_string(type);
  c.m_nDuration = static_cast<int16_t>(10 + type);
  c.m_nDurationPerCopy = -3;
  c.m_bRunWithNext = static_cast<uint8_t>(type & 1);
  c.m_nSound = 1;
  c.m_bSoundOnScreen = 0;
  c.m_nAnime = 1;
  if (TakesMovement(set, type)) {
    cEdMove& move = c.m_Move.Create();
    move.m_nPosMode = 3;
    move.m_nDirection = DIR_INPUT;
    move.m_nAngle = -45;
    move.m_bMirrorAngle = 0;
    move.m_nTargetOffsetY = -7;
    move.m_nSpeed = static_cast<int16_t>(type);
    move.m_nDistanceUnit = 1;
    move.m_nHoming = 12;
    move.m_dInertiaFactor = 0.375;
    move.m_bOwnAnime = 1;
    move.m_nRushTargetSlot = 2;
  }
  if (TakesShot(set, type)) {
    cEdShot& shot = c.m_Shot.Create();
    shot.m_nCount = 5;
    shot.m_nFormationParams[2] = -9;
    shot.m_nReference = 2;
    shot.m_nFormationTarget = 3;
    shot.m_nScale = 4;
    shot.m_nMotion = 0;  // the one sword type of the default database
    shot.m_nMotionParams[1] = 999;
    shot.m_nPower = -999999;
    shot.m_nImpact = -20;
    shot.m_nHitEffect = 1;
    shot.m_bFlowOnHit = 1;
    shot.m_nFlowOnHitId = 26;
    if (type == FLOW_CMD_SWORD) c.m_nDuration = 1;  // the default sword type lasts one tenth
  }
  if (set == 0 && type == FLOW_CMD_FLOW_OPERATION) {
    cCondList& conds = c.m_Conds.Create();
    conds.m_bEnabled = 1;
    conds.m_nRule = 1;
    conds.m_Conds.resize(2);
    conds.m_Conds[0].m_nKind = COND_DISTANCE;
    conds.m_Conds[1].m_nRandMax = 123456;
  }
  if (set != 0 && type == ITEM_CMD_CHANGE_FLOW) {
    c.m_Flows.resize(2);
    c.m_Flows[0].m_nFlowId = 3;
    c.m_Flows[1].m_Commands.push_back(FilledCommand(0, FLOW_CMD_STRAIGHT_MOVE));
  }
  return c;
}

TEST_F(CommandFile, AFlowHoldingEveryCommandTypeReadsBackUnchanged) {
  cFlow flow;
  for (int type = 0; type < kFlowCmdTypeCount; ++type) flow.m_Commands.push_back(FilledCommand(0, type));
  for (int type = 0; type < kItemCmdTypeCount; ++type) flow.m_Commands.push_back(FilledCommand(1, type));
  const cFlow original = flow;
  const Bytes written = WriteAt(flow);

  cFlow loaded;
  ASSERT_TRUE(ReadAt(written, DATA_VERSION, loaded));
  ASSERT_EQ(loaded.m_Commands.size(), original.m_Commands.size());
  EXPECT_EQ(WriteAt(loaded), written);

  for (std::size_t i = 0; i < loaded.m_Commands.size(); ++i) {
    const cCommand& got = loaded.m_Commands[static_cast<int>(i)];
    const cCommand& want = original.m_Commands[static_cast<int>(i)];
    SCOPED_TRACE(testing::Message() << "set " << int(want.m_nSet) << " type " << int(want.m_nType));
    EXPECT_EQ(got.m_nSet, want.m_nSet);
    EXPECT_EQ(got.m_nType, want.m_nType);
    EXPECT_EQ(ParamsOf(got), ParamsOf(want));
    EXPECT_EQ(static_cast<int>(got.m_Params.size()), got.ParamCount());
    EXPECT_EQ(got.m_strText, want.m_strText);
    EXPECT_EQ(got.m_nDuration, want.m_nDuration);
    EXPECT_EQ(got.m_nDurationPerCopy, -3);
    EXPECT_EQ(got.m_bRunWithNext, want.m_bRunWithNext);
    EXPECT_EQ(got.m_bSoundOnScreen, 0);
    EXPECT_EQ(got.m_Move.IsEmpty(), want.m_Move.IsEmpty());
    EXPECT_EQ(got.m_Shot.IsEmpty(), want.m_Shot.IsEmpty());
    EXPECT_EQ(got.m_Conds.IsEmpty(), want.m_Conds.IsEmpty());
    EXPECT_EQ(got.m_Flows.size(), want.m_Flows.size());
    if (got.m_Move) {
      EXPECT_EQ(got.m_Move->m_nAngle, -45);
      EXPECT_EQ(got.m_Move->m_bMirrorAngle, 0);
      EXPECT_EQ(got.m_Move->m_dInertiaFactor, 0.375);
      EXPECT_EQ(got.m_Move->m_nRushTargetSlot, 2);
    }
    if (got.m_Shot) {
      EXPECT_EQ(got.m_Shot->m_nFormationParams[2], -9);
      EXPECT_EQ(got.m_Shot->m_nScale, 4);
      EXPECT_EQ(got.m_Shot->m_nPower, -999999);
      EXPECT_EQ(got.m_Shot->m_nImpact, -20);
      EXPECT_EQ(got.m_Shot->m_nFlowOnHitId, 26);
    }
    if (got.m_Conds) {
      EXPECT_EQ(got.m_Conds->m_nRule, 1);
      ASSERT_EQ(got.m_Conds->m_Conds.size(), 2u);
      EXPECT_EQ(got.m_Conds->m_Conds[1].m_nRandMax, 123456);
    }
  }
  const cCommand& changeFlow = loaded.m_Commands[kFlowCmdTypeCount + ITEM_CMD_CHANGE_FLOW];
  ASSERT_EQ(changeFlow.m_Flows.size(), 2u);
  EXPECT_EQ(changeFlow.m_Flows[0].m_nFlowId, 3);
  ASSERT_EQ(changeFlow.m_Flows[1].m_Commands.size(), 1u);
  EXPECT_EQ(changeFlow.m_Flows[1].m_Commands[0].m_Move->m_nSpeed, FLOW_CMD_STRAIGHT_MOVE);
}

TEST_F(CommandFile, AFreshCommandHasItsDefaultsAndForm) {
  cCommand fresh;
  EXPECT_EQ(fresh.m_nSet, 0);
  EXPECT_EQ(fresh.m_nType, 0);
  EXPECT_EQ(fresh.m_bSoundOnScreen, 1);
  EXPECT_TRUE(fresh.m_Move.IsEmpty() && fresh.m_Shot.IsEmpty() && fresh.m_Conds.IsEmpty());
  EXPECT_EQ(fresh.CountMembers(DATA_VERSION), 8);
  EXPECT_EQ(fresh.CountStrings(DATA_VERSION), 1);
  // Base record (N, 8 members of 13 bytes, M, empty text), three absent parts,
  // no flows, no parameters.
  const Bytes expected = ByteBuilder()
                             .Record({testsupport::U8(0), testsupport::I8(0), testsupport::I16(0), testsupport::I16(0),
                                      testsupport::U8(0), testsupport::I16(0), testsupport::U8(1), testsupport::I16(0)},
                                     {""})
                             .U32(0)
                             .U32(0)
                             .U32(0)
                             .U32(0)
                             .U32(0)
                             .Bytes();
  EXPECT_EQ(WriteAt(fresh), expected);
}

// ---- damaged files --------------------------------------------------------------------

// A command at 781 built by hand: base record, no parts, no flows, the parameters.
ByteBuilder CommandBytes(uint8_t set, int8_t type, ParamList params = {}) {
  using namespace testsupport;
  ByteBuilder b;
  b.Record({U8(set), I8(type), I16(0), I16(0), U8(0), I16(0), U8(1), I16(0)}, {""});
  b.U32(0).U32(0).U32(0).U32(0);
  b.U32(static_cast<uint32_t>(params.size()));
  for (int32_t p : params) b.I32(p);
  return b;
}

TEST_F(CommandFile, TypeBytesOutsideTheirTableAreRefused) {
  struct Case {
    uint8_t set;
    int8_t type;
    bool accepted;
  };
  const Case cases[] = {
      {0, 39, true},  {0, 40, false}, {0, -1, false}, {0, 127, false}, {0, -128, false},
      {1, 24, true},  {1, 25, false}, {1, -1, false}, {7, 24, true},   {7, 30, false},
  };
  for (const Case& c : cases) {
    const Bytes bytes = CommandBytes(c.set, c.type).Bytes();
    std::string reason;
    if (c.accepted) {
      cCommand command;
      EXPECT_TRUE(ReadAt(bytes, DATA_VERSION, command)) << int(c.set) << " " << int(c.type);
      EXPECT_EQ(static_cast<int>(command.m_Params.size()), command.ParamCount());
    } else {
      EXPECT_TRUE(RefusedAt<cCommand>(bytes, DATA_VERSION, &reason)) << int(c.set) << " " << int(c.type);
      EXPECT_NE(reason.find("type"), std::string::npos) << reason;
    }
  }
}

TEST_F(CommandFile, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
  const Bytes params = CommandBytes(0, 0).Bytes();
  Bytes hugeParams(params.begin(), params.end() - 4);
  for (int i = 0; i < 4; ++i) hugeParams.push_back(0xFF);
  EXPECT_TRUE(RefusedAt<cCommand>(hugeParams, DATA_VERSION));

  using namespace testsupport;
  ByteBuilder hugeFlows;
  hugeFlows.Record({U8(0), I8(0), I16(0), I16(0), U8(0), I16(0), U8(1), I16(0)}, {""});
  hugeFlows.U32(0).U32(0).U32(0).U32(0x7FFFFFFF);
  EXPECT_TRUE(RefusedAt<cCommand>(hugeFlows.Bytes(), DATA_VERSION));
}

TEST_F(CommandFile, EveryTruncationIsRefused) {
  cCommand command = CommandWithEverything();
  const Bytes whole = WriteAt(command);
  ASSERT_TRUE(ReadAt(whole, DATA_VERSION, command));
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_TRUE(RefusedAt<cCommand>(part, DATA_VERSION)) << "cut at " << size;
  }
}

// Commands nested through the flows of change-flow commands, `depth` commands deep.
Bytes NestedCommandBytes(int depth) {
  using namespace testsupport;
  ByteBuilder commandHead;
  commandHead.Record({U8(1), I8(ITEM_CMD_CHANGE_FLOW), I16(0), I16(0), U8(0), I16(0), U8(1), I16(0)}, {""});
  commandHead.U32(0).U32(0).U32(0);
  ByteBuilder flowHead;
  flowHead.Record({U8(0), U8(0), U8(0), U8(0), U8(0), U8(0), U8(0), U8(0), U8(3), U8(0)}, {""});
  flowHead.U32(0).U32(0);

  Bytes bytes;
  for (int level = 0; level + 1 < depth; ++level) {
    bytes.insert(bytes.end(), commandHead.Bytes().begin(), commandHead.Bytes().end());
    const Bytes one = ByteBuilder().U32(1).Bytes();
    bytes.insert(bytes.end(), one.begin(), one.end());  // one flow
    bytes.insert(bytes.end(), flowHead.Bytes().begin(), flowHead.Bytes().end());
    bytes.insert(bytes.end(), one.begin(), one.end());  // one command
  }
  const Bytes innermost = CommandBytes(0, 0).Bytes();
  bytes.insert(bytes.end(), innermost.begin(), innermost.end());
  const Bytes noParams = ByteBuilder().U32(0).Bytes();
  for (int level = 0; level + 1 < depth; ++level) bytes.insert(bytes.end(), noParams.begin(), noParams.end());
  return bytes;
}

TEST_F(CommandFile, ModestNestingReads) {
  cCommand command;
  ASSERT_TRUE(ReadAt(NestedCommandBytes(20), DATA_VERSION, command));
  int depth = 1;
  const cCommand* level = &command;
  while (!level->m_Flows.empty()) {
    level = &level->m_Flows[0].m_Commands[0];
    ++depth;
  }
  EXPECT_EQ(depth, 20);
}

TEST_F(CommandFile, ANestingBombIsRefusedWithAClearMessage) {
  recordtest::cTempFolder folder;
  auto refusals = [] {
    const std::string report = recordtest::ReportText();
    int count = 0;
    for (std::size_t at = report.find("nested too deeply"); at != std::string::npos;
         at = report.find("nested too deeply", at + 1)) {
      ++count;
    }
    return count;
  };
  for (int depth : {40, 5000}) {
    const int before = refusals();
    Bytes file = ByteBuilder().U32(DATA_VERSION).Bytes();
    const Bytes bomb = NestedCommandBytes(depth);
    file.insert(file.end(), bomb.begin(), bomb.end());
    cCommand command = MakeCommand(0, FLOW_CMD_TURN, {5});
    EXPECT_FALSE(cDataRecord::LoadFromBytes(command, file, "bomb")) << depth;
    EXPECT_EQ(command.m_nType, FLOW_CMD_TURN) << "a refused file leaves the record as it was";
    EXPECT_EQ(refusals(), before + 1) << "one report line names the reason";
  }
}

}  // namespace

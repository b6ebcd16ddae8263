// Character definitions: the stored form by version, the upgrade steps with the
// insertion of inherited groups, inheritance of each property group, the
// repairs, the removal of empty flows and of flows flagged for removal, and the
// copy offsets.

#include "data/CharaData.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/DefinitionTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using deftest::Bytes;
using deftest::ContextOf;
using deftest::PaletteOf;
using deftest::ReadAt;
using deftest::Reload;
using deftest::WriteAt;

class CharaData : public deftest::cDefinitionTest {
 protected:
  void SetUp() override {
    cDefinitionTest::SetUp();
    g_Database.m_AnimeSets.resize(10);
    g_Database.m_CharaEffects.resize(10);
    g_Database.m_Effects.resize(10);
    g_Database.m_BmpCharaExcs.resize(10);
  }
};

cFlow FlowWithTrigger(int trigger, int id = 0) {
  cFlow flow;
  flow.m_nTrigger = static_cast<std::uint8_t>(trigger);
  flow.m_nFlowId = static_cast<std::uint8_t>(id);
  return flow;
}

// ---- the stored form -----------------------------------------------------------------

// The values of the members introduced after the first versions, and the ones
// the upgrades look at.
struct Fields {
  std::uint8_t spawnList = 0;
  std::uint8_t deathList = 0;
  std::uint8_t flash = 0;
  std::uint8_t scrollSync = 0;
  std::uint8_t hitRange = 0;
  std::int32_t def = 0;
  std::uint8_t graphicKind = GRAPHIC_CHARA;
  std::int16_t graphic = 0;
  std::vector<std::uint8_t> flags = std::vector<std::uint8_t>(CHARA_GROUP_COUNT, 0);
};

// A character record as a file of `version` holds it, built by hand from the
// member table: every member at its default except `fields`, the members of
// later versions left out.
Bytes CharaBytes(int version, const Fields& f) {
  testsupport::ByteBuilder members;
  int count = 0;
  auto u8 = [&](std::uint8_t v) { members.U8(v), ++count; };
  auto i16 = [&](std::int16_t v) { members.I16(v), ++count; };
  auto i32 = [&](std::int32_t v) { members.I32(v), ++count; };
  u8(0), i16(0);                  // inherit source, index
  u8(0), u8(0), u8(0), u8(0);     // appearance rule, latch, facing, extra copies
  i16(0), i16(0), i16(0), i16(0); // copy x base, step, y base, step
  u8(0), u8(0);                   // copy mirrors
  i16(f.graphic), u8(f.graphicKind), i16(0), i16(0);  // graphic, kind, row, animation set
  u8(3), u8(0);                   // z, transparent
  i16(0);                         // spawn chara effect
  if (version >= 196) u8(f.spawnList);
  u8(1), i16(0);                  // spawn value, death chara effect
  if (version >= 196) u8(f.deathList);
  u8(0), i16(0);                  // mark shown, mark
  u8(1), u8(0), u8(1), u8(0);     // operated by, player number, pass-through number, cid
  u8(0), u8(1), u8(0);            // flying, facing lock, invincibility
  if (version >= 285) u8(f.flash);
  u8(0), u8(1);                   // block character, scale
  if (version >= 210) u8(f.scrollSync);
  u8(0), u8(0);                   // light shape, sight
  i32(10), i32(0), i16(10);       // mhp, msp, stop
  if (version >= 201) u8(f.hitRange);
  i32(0), u8(0), i16(0);          // power, imp, hit effect
  if (version >= 168) i32(f.def);
  u8(0), i32(0), u8(1);           // impd, getsc, spare
  u8(0), i16(0), u8(0), u8(0);    // switch on activation, switch, activity range, stay active
  testsupport::ByteBuilder record;
  record.U32(static_cast<std::uint32_t>(count)).Raw(members.Bytes()).U32(1).Str("");
  record.I16(0).I16(0).I32(-1);  // cell, carried item (none)
  record.U32(static_cast<std::uint32_t>(f.flags.size())).Raw(f.flags);
  record.U32(0).U32(0);  // conditions, flows
  return record.Bytes();
}

TEST_F(CharaData, DescriptorCountsByVersionArePinned) {
  struct Case {
    int version;
    int members;
  };
  const Case cases[] = {{1, 47}, {167, 47}, {168, 48}, {195, 48}, {196, 50}, {200, 50},
                        {201, 51}, {209, 51}, {210, 52}, {284, 52}, {285, 53}, {DATA_VERSION, 53}};
  cCharaData chara;
  for (const Case& c : cases) {
    EXPECT_EQ(chara.CountMembers(c.version), c.members) << c.version;
    EXPECT_EQ(chara.CountStrings(c.version), 1) << c.version;
  }
}

// The hand-built bytes of the current version are exactly what the writer makes.
TEST_F(CharaData, HandBuiltCurrentRecordIsWhatTheWriterWrites) {
  Fields fields;
  fields.flash = 1;
  cCharaData chara;
  chara.m_nFlashColour = 1;
  EXPECT_EQ(WriteAt(chara, cPaletteContext::Standalone()), CharaBytes(DATA_VERSION, fields));
}

cCharaData FullChara() {
  cCharaData chara;
  chara.m_nInheritSource = PALETTE_COMMON;
  chara.m_nInheritIndex = 1;
  chara.m_nAppearRule = 1;
  chara.m_bAppearLatch = 1;
  chara.m_nFacing = 1;
  chara.m_nExtraCopies = 4;
  chara.m_nCopyXBase = -8;
  chara.m_nCopyXStep = 32;
  chara.m_nCopyYBase = 5;
  chara.m_nCopyYStep = -6;
  chara.m_bCopyXMirror = 1;
  chara.m_bCopyYMirror = 1;
  chara.m_nGraphic = 9;
  chara.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC;
  chara.m_nGraphicRow = 2;
  chara.m_nAnimeSet = 9;
  chara.m_nZ = 7;
  chara.m_bTransparent = 1;
  chara.m_nSpawnEffect = 8;
  chara.m_nSpawnEffectList = 2;
  chara.m_nSpawnEffectValue = 200;
  chara.m_nDeathEffect = 7;
  chara.m_nDeathEffectList = 1;
  chara.m_bMarkShown = 1;
  chara.m_nMark = 119;
  chara.m_nOperator = CHARA_BY_COMPUTER;
  chara.m_nPlayerNumber = 1;
  chara.m_nPassNumber = 7;
  chara.m_nCid = 99;
  chara.m_nFlying = 3;
  chara.m_bFacingLock = 0;
  chara.m_nInvincible = 2;
  chara.m_nFlashColour = 9;
  chara.m_bBlockChara = 1;
  chara.m_nScale = 10;
  chara.m_bScrollSync = 1;
  chara.m_nLightShape = 4;
  chara.m_nSight = 40;
  chara.m_nMhp = 999999;
  chara.m_nMsp = 123;
  chara.m_nStop = 200;
  chara.m_nHitRange = 3;
  chara.m_nPower = -999999;
  chara.m_nImp = -20;
  chara.m_nHitEffect = 6;
  chara.m_nDef = 77;
  chara.m_nImpd = 20;
  chara.m_nGetsc = 5000;
  chara.m_nSpare = 0;
  chara.m_bSwitchOnActive = 1;
  chara.m_nActiveSwitch = 300;
  chara.m_nActiveRange = 3;
  chara.m_bStayActive = 1;
  chara.m_strName = "キャラ";
  chara.m_nCellX = 3;
  chara.m_nCellY = 4;
  chara.m_nCarriedItem = 2;
  chara.m_Conds = deftest::CondsOf(2, COND_DISTANCE);
  chara.m_Flows = {FlowWithTrigger(TRIGGER_DEATH, 1), FlowWithTrigger(TRIGGER_ALWAYS, 2)};
  return chara;
}

TEST_F(CharaData, RoundTripKeepsEveryMember) {
  cCharaData chara = FullChara();
  cCharaData loaded;
  ASSERT_TRUE(deftest::RoundTripsWithTwoEntryPalettes(chara, loaded));
  EXPECT_EQ(loaded.m_nImp, -20);
  EXPECT_EQ(loaded.m_nMhp, 999999);
  EXPECT_EQ(loaded.m_nPower, -999999);
  EXPECT_EQ(loaded.m_nActiveSwitch, 300);
  EXPECT_EQ(loaded.m_nFlashColour, 9);
  EXPECT_EQ(loaded.m_nCarriedItem, 2);
  EXPECT_EQ(loaded.m_strName, "キャラ");
  ASSERT_EQ(loaded.m_Flows.size(), 2u);
  EXPECT_EQ(loaded.m_Flows[0].m_nTrigger, TRIGGER_DEATH);
}

// ---- upgrades ---------------------------------------------------------------------------

// Each row: a file of `version` storing `stored`, read into a character that
// held `before`; the members the upgrades set, compared with `expected`.
TEST_F(CharaData, UpgradeStepsByVersion) {
  struct Case {
    int version;
    Fields stored;
    Fields expected;
  };
  Fields before;  // what the record held before the read
  before.spawnList = before.deathList = 2;
  before.flash = 0;
  before.scrollSync = 1;
  before.hitRange = 3;
  before.def = 99;
  auto with = [](auto change) {
    Fields f;
    f.flash = 1;  // the stored values of a current file, unless changed
    change(f);
    return f;
  };
  const Case cases[] = {
      // Before 168 def is not stored and becomes 0.
      {167, with([](Fields&) {}), with([](Fields&) {})},
      {168, with([](Fields& f) { f.def = 5; }), with([](Fields& f) { f.def = 5; })},
      // Before 196 both chara-effect lists become 0.
      {195, with([](Fields&) {}), with([](Fields&) {})},
      {196, with([](Fields& f) { f.spawnList = 2, f.deathList = 1; }),
       with([](Fields& f) { f.spawnList = 2, f.deathList = 1; })},
      // Before 201 no hit range (0); before 206 kind 2 and above move up one.
      {200, with([](Fields&) {}), with([](Fields&) {})},
      {205, with([](Fields& f) { f.hitRange = 2; }), with([](Fields& f) { f.hitRange = 3; })},
      {205, with([](Fields& f) { f.hitRange = 1; }), with([](Fields& f) { f.hitRange = 1; })},
      {205, with([](Fields& f) { f.hitRange = 3; }), with([](Fields& f) { f.hitRange = 4; })},
      {206, with([](Fields& f) { f.hitRange = 2; }), with([](Fields& f) { f.hitRange = 2; })},
      // Before 210 no auto-scroll sync (0).
      {209, with([](Fields&) {}), with([](Fields&) {})},
      {210, with([](Fields& f) { f.scrollSync = 1; }), with([](Fields& f) { f.scrollSync = 1; })},
      // Before 219 the shot sheet moves up one, to 119 at most.
      {218, with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 5; }),
       with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 6; })},
      {218, with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 119; }),
       with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 119; })},
      {219, with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 5; }),
       with([](Fields& f) { f.graphicKind = GRAPHIC_SHOT, f.graphic = 5; })},
      // Before 285 the flash colour is 1.
      {284, with([](Fields& f) { f.flash = 0; }), with([](Fields&) {})},
      {285, with([](Fields& f) { f.flash = 4; }), with([](Fields& f) { f.flash = 4; })},
  };
  for (const Case& c : cases) {
    cCharaData chara;
    chara.m_nSpawnEffectList = before.spawnList;
    chara.m_nDeathEffectList = before.deathList;
    chara.m_nFlashColour = before.flash;
    chara.m_bScrollSync = before.scrollSync;
    chara.m_nHitRange = before.hitRange;
    chara.m_nDef = before.def;
    Fields stored = c.stored;
    stored.flags.resize(c.version < 168 ? 34 : c.version < 201 ? 35 : c.version < 210 ? 36 : 37, 0);
    ASSERT_TRUE(ReadAt(CharaBytes(c.version, stored), c.version, chara, cPaletteContext::Standalone()))
        << c.version;
    const Fields& e = c.expected;
    EXPECT_EQ(chara.m_nDef, e.def) << c.version;
    EXPECT_EQ(chara.m_nSpawnEffectList, e.spawnList) << c.version;
    EXPECT_EQ(chara.m_nDeathEffectList, e.deathList) << c.version;
    EXPECT_EQ(chara.m_nHitRange, e.hitRange) << c.version;
    EXPECT_EQ(chara.m_bScrollSync, e.scrollSync) << c.version;
    EXPECT_EQ(chara.m_nGraphic, e.graphic) << c.version;
    EXPECT_EQ(chara.m_nFlashColour, e.flash) << c.version;
    EXPECT_EQ(chara.m_InheritFlags.size(), static_cast<std::size_t>(CHARA_GROUP_COUNT)) << c.version;
  }
}

// A version-167 flag list of 34 groups: the groups new at 168, 201 and 210 are
// inserted as inherited (at 29, 25 and 21 in the end) and the old flags move up
// around them.
TEST_F(CharaData, OldFlagListsGetTheNewGroupsInsertedAsInherited) {
  Fields stored;
  stored.flags.clear();
  for (int i = 0; i < 34; ++i) stored.flags.push_back(static_cast<std::uint8_t>(10 + i));
  cCharaData chara;
  ASSERT_TRUE(ReadAt(CharaBytes(167, stored), 167, chara, cPaletteContext::Standalone()));
  std::vector<std::uint8_t> expected;
  for (int group = 0; group < CHARA_GROUP_COUNT; ++group) {
    const int old = group < 21 ? group : group < 25 ? group - 1 : group < 29 ? group - 2 : group - 3;
    const bool inserted = group == 21 || group == 25 || group == 29;
    expected.push_back(static_cast<std::uint8_t>(inserted ? 1 : 10 + old));
  }
  EXPECT_EQ(std::vector<std::uint8_t>(chara.m_InheritFlags.begin(), chara.m_InheritFlags.end()), expected);

  // From 201 on only the auto-scroll sync is inserted; a short list is padded first.
  Fields short209;
  short209.flags.assign(30, 2);
  ASSERT_TRUE(ReadAt(CharaBytes(209, short209), 209, chara, cPaletteContext::Standalone()));
  std::vector<std::uint8_t> expected209(CHARA_GROUP_COUNT, 0);
  for (int group = 0; group < 31; ++group) expected209[static_cast<std::size_t>(group)] = group == 21 ? 1 : 2;
  EXPECT_EQ(std::vector<std::uint8_t>(chara.m_InheritFlags.begin(), chara.m_InheritFlags.end()), expected209);
}

// An old placement takes def, hit range and auto-scroll sync from its palette
// entry; without an entry they keep the upgrade values.
TEST_F(CharaData, AnOldPlacementTakesTheNewGroupsFromItsEntry) {
  cPalette common = PaletteOf(3);
  common.m_Charas[2].m_nDef = 55;
  common.m_Charas[2].m_nHitRange = 2;
  common.m_Charas[2].m_bScrollSync = 1;
  common.m_Charas[2].m_nPower = 8;
  const cPaletteContext palettes = ContextOf(common, PaletteOf(2));
  for (int index : {2, 0}) {
    Fields stored;
    stored.flags.assign(34, 0);
    Bytes bytes = CharaBytes(167, stored);
    bytes[4 + 1] = static_cast<std::uint8_t>(index);  // inherit index, after the member count and source
    bytes[4] = PALETTE_COMMON;
    cCharaData chara;
    ASSERT_TRUE(ReadAt(bytes, 167, chara, palettes));
    EXPECT_EQ(chara.m_nDef, index == 2 ? 55 : 0) << index;
    EXPECT_EQ(chara.m_nHitRange, index == 2 ? 2 : 0) << index;
    EXPECT_EQ(chara.m_bScrollSync, index == 2 ? 1 : 0) << index;
    EXPECT_EQ(chara.m_nPower, 0) << index;  // not flagged
  }
}

// ---- inheritance -------------------------------------------------------------------------

void SetCharaGroup(cCharaData& c, int group, int seed) {
  const auto v = static_cast<std::uint8_t>(seed);
  const auto s = static_cast<std::int16_t>(seed);
  switch (group) {
    case CHARA_GROUP_NAME: c.m_strName = "者" + std::to_string(seed); break;
    case CHARA_GROUP_OPERATOR:
      c.m_nOperator = seed == 7 ? CHARA_BY_COMPUTER : 2;
      c.m_nPlayerNumber = v;
      break;
    case CHARA_GROUP_PASS: c.m_nPassNumber = v; break;
    case CHARA_GROUP_CID: c.m_nCid = static_cast<std::uint8_t>(seed * 10); break;
    case CHARA_GROUP_CONDITIONS:
      c.m_Conds = deftest::CondsOf(seed, seed);
      c.m_nAppearRule = seed == 7;
      c.m_bAppearLatch = seed != 7;
      break;
    case CHARA_GROUP_FACING: c.m_nFacing = seed == 7; break;
    case CHARA_GROUP_COPIES: c.m_nExtraCopies = v; break;
    case CHARA_GROUP_COPY_X:
      c.m_nCopyXBase = s;
      c.m_nCopyXStep = static_cast<std::int16_t>(-s);
      c.m_bCopyXMirror = seed == 7;
      break;
    case CHARA_GROUP_COPY_Y:
      c.m_nCopyYBase = static_cast<std::int16_t>(s * 2);
      c.m_nCopyYStep = static_cast<std::int16_t>(s * 3);
      c.m_bCopyYMirror = seed != 7;
      break;
    case CHARA_GROUP_GRAPHIC:
      c.m_nGraphicKind = static_cast<std::uint8_t>(seed % 4);
      c.m_nGraphic = static_cast<std::int16_t>(s * 10);
      c.m_nGraphicRow = static_cast<std::int16_t>(s * 100);
      break;
    case CHARA_GROUP_ANIME_SET: c.m_nAnimeSet = static_cast<std::int16_t>(s + 1); break;
    case CHARA_GROUP_Z: c.m_nZ = v; break;
    case CHARA_GROUP_TRANSPARENT: c.m_bTransparent = seed == 7; break;
    case CHARA_GROUP_SPAWN_EFFECT:
      c.m_nSpawnEffect = s;
      c.m_nSpawnEffectList = seed == 7 ? 2 : 1;
      c.m_nSpawnEffectValue = static_cast<std::uint8_t>(seed * 20);
      break;
    case CHARA_GROUP_DEATH_EFFECT:
      c.m_nDeathEffect = static_cast<std::int16_t>(s - 1);
      c.m_nDeathEffectList = seed == 7 ? 1 : 2;
      break;
    case CHARA_GROUP_MARK:
      c.m_bMarkShown = seed != 7;
      c.m_nMark = static_cast<std::int16_t>(s + 100);
      break;
    case CHARA_GROUP_FACING_LOCK: c.m_bFacingLock = seed == 7; break;
    case CHARA_GROUP_FLYING: c.m_nFlying = seed == 7 ? 3 : 1; break;
    case CHARA_GROUP_INVINCIBLE:
      c.m_nInvincible = seed == 7 ? 2 : 1;
      c.m_nFlashColour = v;
      break;
    case CHARA_GROUP_BLOCK_CHARA: c.m_bBlockChara = seed == 7; break;
    case CHARA_GROUP_SCALE: c.m_nScale = v; break;
    case CHARA_GROUP_SCROLL_SYNC: c.m_bScrollSync = seed != 7; break;
    case CHARA_GROUP_LIGHT:
      c.m_nLightShape = seed == 7 ? 4 : 2;
      c.m_nSight = static_cast<std::uint8_t>(seed * 5);
      break;
    case CHARA_GROUP_MHP: c.m_nMhp = seed * 1000; break;
    case CHARA_GROUP_MSP: c.m_nMsp = seed * 100; break;
    case CHARA_GROUP_HIT_RANGE: c.m_nHitRange = seed == 7 ? 3 : 1; break;
    case CHARA_GROUP_POWER: c.m_nPower = -seed; break;
    case CHARA_GROUP_IMP: c.m_nImp = static_cast<std::int8_t>(-seed * 2); break;
    case CHARA_GROUP_HIT_EFFECT: c.m_nHitEffect = static_cast<std::int16_t>(s + 2); break;
    case CHARA_GROUP_DEF: c.m_nDef = seed * 11; break;
    case CHARA_GROUP_IMPD: c.m_nImpd = static_cast<std::uint8_t>(seed * 2); break;
    case CHARA_GROUP_STOP: c.m_nStop = static_cast<std::int16_t>(s * 20); break;
    case CHARA_GROUP_ACTIVITY:
      c.m_nActiveRange = seed == 7 ? 3 : 1;
      c.m_bStayActive = seed == 7;
      break;
    case CHARA_GROUP_ACTIVATION:
      c.m_nActiveSwitch = static_cast<std::int16_t>(s * 30);
      c.m_bSwitchOnActive = seed != 7;
      break;
    case CHARA_GROUP_GETSC: c.m_nGetsc = seed * 500; break;
    case CHARA_GROUP_SPARE: c.m_nSpare = static_cast<std::uint8_t>(seed + 1); break;
    case CHARA_GROUP_FLOWS:
      c.m_Flows.clear();
      for (int i = 0; i < seed; ++i) c.m_Flows.push_back(FlowWithTrigger(seed));
      break;
  }
}

std::string CharaGroup(const cCharaData& c, int group) {
  using deftest::Join;
  switch (group) {
    case CHARA_GROUP_NAME: return c.m_strName;
    case CHARA_GROUP_OPERATOR: return Join({c.m_nOperator, c.m_nPlayerNumber});
    case CHARA_GROUP_PASS: return Join({c.m_nPassNumber});
    case CHARA_GROUP_CID: return Join({c.m_nCid});
    case CHARA_GROUP_CONDITIONS:
      return Join({static_cast<long long>(c.m_Conds.size()), c.m_Conds.empty() ? -1 : c.m_Conds[0].m_nKind,
                   c.m_nAppearRule, c.m_bAppearLatch});
    case CHARA_GROUP_FACING: return Join({c.m_nFacing});
    case CHARA_GROUP_COPIES: return Join({c.m_nExtraCopies});
    case CHARA_GROUP_COPY_X: return Join({c.m_nCopyXBase, c.m_nCopyXStep, c.m_bCopyXMirror});
    case CHARA_GROUP_COPY_Y: return Join({c.m_nCopyYBase, c.m_nCopyYStep, c.m_bCopyYMirror});
    case CHARA_GROUP_GRAPHIC: return Join({c.m_nGraphicKind, c.m_nGraphic, c.m_nGraphicRow});
    case CHARA_GROUP_ANIME_SET: return Join({c.m_nAnimeSet});
    case CHARA_GROUP_Z: return Join({c.m_nZ});
    case CHARA_GROUP_TRANSPARENT: return Join({c.m_bTransparent});
    case CHARA_GROUP_SPAWN_EFFECT: return Join({c.m_nSpawnEffect, c.m_nSpawnEffectList, c.m_nSpawnEffectValue});
    case CHARA_GROUP_DEATH_EFFECT: return Join({c.m_nDeathEffect, c.m_nDeathEffectList});
    case CHARA_GROUP_MARK: return Join({c.m_bMarkShown, c.m_nMark});
    case CHARA_GROUP_FACING_LOCK: return Join({c.m_bFacingLock});
    case CHARA_GROUP_FLYING: return Join({c.m_nFlying});
    case CHARA_GROUP_INVINCIBLE: return Join({c.m_nInvincible, c.m_nFlashColour});
    case CHARA_GROUP_BLOCK_CHARA: return Join({c.m_bBlockChara});
    case CHARA_GROUP_SCALE: return Join({c.m_nScale});
    case CHARA_GROUP_SCROLL_SYNC: return Join({c.m_bScrollSync});
    case CHARA_GROUP_LIGHT: return Join({c.m_nLightShape, c.m_nSight});
    case CHARA_GROUP_MHP: return Join({c.m_nMhp});
    case CHARA_GROUP_MSP: return Join({c.m_nMsp});
    case CHARA_GROUP_HIT_RANGE: return Join({c.m_nHitRange});
    case CHARA_GROUP_POWER: return Join({c.m_nPower});
    case CHARA_GROUP_IMP: return Join({c.m_nImp});
    case CHARA_GROUP_HIT_EFFECT: return Join({c.m_nHitEffect});
    case CHARA_GROUP_DEF: return Join({c.m_nDef});
    case CHARA_GROUP_IMPD: return Join({c.m_nImpd});
    case CHARA_GROUP_STOP: return Join({c.m_nStop});
    case CHARA_GROUP_ACTIVITY: return Join({c.m_nActiveRange, c.m_bStayActive});
    case CHARA_GROUP_ACTIVATION: return Join({c.m_nActiveSwitch, c.m_bSwitchOnActive});
    case CHARA_GROUP_GETSC: return Join({c.m_nGetsc});
    case CHARA_GROUP_SPARE: return Join({c.m_nSpare});
    case CHARA_GROUP_FLOWS:
      return Join({static_cast<long long>(c.m_Flows.size()), c.m_Flows.empty() ? -1 : c.m_Flows[0].m_nTrigger});
  }
  return "no such group";
}

TEST_F(CharaData, EachFlaggedGroupComesFromThePaletteEntryAndNothingElse) {
  deftest::ExpectEachGroupInheritedAlone<cCharaData>(CHARA_GROUP_COUNT, SetCharaGroup, CharaGroup);
}

TEST_F(CharaData, PlacementValuesAreNeverInherited) {
  cPalette common = PaletteOf(3);
  common.m_Charas[2].m_nCellX = 9;
  common.m_Charas[2].m_nCarriedItem = 4;
  cCharaData chara;
  chara.m_nCellX = 1;
  chara.m_nCarriedItem = -1;
  chara.m_nInheritSource = PALETTE_COMMON;
  chara.m_nInheritIndex = 2;
  chara.m_InheritFlags.assign(CHARA_GROUP_COUNT, 1);
  chara.ApplyInherit(ContextOf(common, PaletteOf(2)));
  EXPECT_EQ(chara.m_nCellX, 1);
  EXPECT_EQ(chara.m_nCarriedItem, -1);
  EXPECT_EQ(chara.m_nInheritIndex, 2);
  EXPECT_EQ(chara.m_InheritFlags[0], 1);
}

TEST_F(CharaData, IndexZeroKeepsEveryOwnValueWhateverTheFlags) {
  cPalette common = PaletteOf(3);
  common.m_Charas[0].m_nMhp = 1;
  cCharaData chara;
  chara.m_nMhp = 50;
  chara.m_nInheritSource = PALETTE_COMMON;
  chara.m_InheritFlags.assign(CHARA_GROUP_COUNT, 1);
  EXPECT_EQ(Reload(chara, ContextOf(common, PaletteOf(2))).m_nMhp, 50);
}

TEST_F(CharaData, InheritingTheFlowsOfAnEntryWithoutFlowsLeavesOneDefaultFlow) {
  cPalette common = PaletteOf(3);
  cCharaData chara;
  chara.m_Flows = {FlowWithTrigger(TRIGGER_DEATH), FlowWithTrigger(TRIGGER_DAMAGED)};
  chara.m_nInheritSource = PALETTE_COMMON;
  chara.m_nInheritIndex = 2;
  chara.m_InheritFlags[CHARA_GROUP_FLOWS] = 1;
  chara.ApplyInherit(ContextOf(common, PaletteOf(2)));
  ASSERT_EQ(chara.m_Flows.size(), 1u);
  EXPECT_EQ(chara.m_Flows[0].m_nTrigger, TRIGGER_ALWAYS);
  EXPECT_EQ(chara.m_Flows[0].m_nKeyTolerance, 3);
}

TEST_F(CharaData, AnEntryBeyondThePaletteDropsTheInheritance) {
  const cPalette stage = PaletteOf(3);
  cCharaData chara;
  chara.m_nMhp = 5;
  chara.m_nInheritSource = PALETTE_STAGE;
  chara.m_nInheritIndex = 3;
  chara.m_InheritFlags[CHARA_GROUP_MHP] = 1;
  const cCharaData loaded = Reload(chara, ContextOf(PaletteOf(2), stage));
  EXPECT_EQ(loaded.m_nMhp, 5);
  EXPECT_EQ(loaded.m_nInheritSource, PALETTE_NONE);
  EXPECT_EQ(loaded.m_nInheritIndex, 0);
}

// ---- repairs -------------------------------------------------------------------------------

// The database has ten entries in every list the character refers to.
TEST_F(CharaData, ValidateRepairsReferencesAndScale) {
  struct Case {
    const char* what;
    void (*set)(cCharaData&);
    bool (*holds)(const cCharaData&);
  };
  const Case cases[] = {
      {"special bitmap beyond its list becomes 1",
       [](cCharaData& c) { c.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC, c.m_nGraphic = 10; },
       [](const cCharaData& c) { return c.m_nGraphic == 1; }},
      {"special bitmap in its list stays",
       [](cCharaData& c) { c.m_nGraphicKind = GRAPHIC_BMP_CHARA_EXC, c.m_nGraphic = 9; },
       [](const cCharaData& c) { return c.m_nGraphic == 9; }},
      {"other sheets are not checked against the special bitmaps",
       [](cCharaData& c) { c.m_nGraphicKind = GRAPHIC_CHARA, c.m_nGraphic = 500; },
       [](const cCharaData& c) { return c.m_nGraphic == 500; }},
      {"scale 0 becomes 1", [](cCharaData& c) { c.m_nScale = 0; },
       [](const cCharaData& c) { return c.m_nScale == 1; }},
      {"scale 200 (negative as a signed byte) becomes 1", [](cCharaData& c) { c.m_nScale = 200; },
       [](const cCharaData& c) { return c.m_nScale == 1; }},
      {"animation set beyond its list becomes 0", [](cCharaData& c) { c.m_nAnimeSet = 10; },
       [](const cCharaData& c) { return c.m_nAnimeSet == 0; }},
      {"negative animation set becomes 0", [](cCharaData& c) { c.m_nAnimeSet = -1; },
       [](const cCharaData& c) { return c.m_nAnimeSet == 0; }},
      {"chara effects beyond their list become 0", [](cCharaData& c) { c.m_nSpawnEffect = 10, c.m_nDeathEffect = 11; },
       [](const cCharaData& c) { return c.m_nSpawnEffect == 0 && c.m_nDeathEffect == 0; }},
      {"hit effect beyond its list becomes 0", [](cCharaData& c) { c.m_nHitEffect = 10; },
       [](const cCharaData& c) { return c.m_nHitEffect == 0; }},
      {"a player-operated character has no copies and is no block",
       [](cCharaData& c) { c.m_nOperator = CHARA_BY_PLAYER, c.m_nExtraCopies = 3, c.m_bBlockChara = 1; },
       [](const cCharaData& c) { return c.m_nExtraCopies == 0 && c.m_bBlockChara == 0; }},
      {"a computer-operated one keeps them",
       [](cCharaData& c) { c.m_nOperator = CHARA_BY_COMPUTER, c.m_nExtraCopies = 3, c.m_bBlockChara = 1; },
       [](const cCharaData& c) { return c.m_nExtraCopies == 3 && c.m_bBlockChara == 1; }},
  };
  for (const Case& c : cases) {
    cCharaData chara;
    c.set(chara);
    chara.Validate(cPaletteContext::Standalone());
    EXPECT_TRUE(c.holds(chara)) << c.what;
  }
}

std::vector<int> TriggersOf(const cSafeVector<cFlow>& flows) {
  std::vector<int> triggers;
  for (const cFlow& flow : flows) triggers.push_back(flow.m_nTrigger * 100 + flow.m_nFlowId);
  return triggers;
}

// An empty flow (trigger, ID and group 0, nothing in it) disappears on load
// and on save; one with a command, an ID or another trigger stays.
TEST_F(CharaData, EmptyFlowsAreDroppedOnLoadAndSave) {
  cFlow empty;
  cFlow withCommand;
  withCommand.m_Commands.resize(1);
  cFlow withGroup;
  withGroup.m_nGroup = 2;
  cCharaData chara;
  chara.m_Flows = {empty, FlowWithTrigger(TRIGGER_DEATH), empty, empty, withCommand, FlowWithTrigger(0, 5), withGroup};
  const cCharaData loaded = Reload(chara, cPaletteContext::Standalone());
  EXPECT_EQ(TriggersOf(chara.m_Flows), (std::vector<int>{300, 0, 5, 0}));  // the writer validated it too
  EXPECT_EQ(TriggersOf(loaded.m_Flows), (std::vector<int>{300, 0, 5, 0}));
  EXPECT_EQ(loaded.m_Flows[1].m_Commands.size(), 1u);
  EXPECT_EQ(loaded.m_Flows[3].m_nGroup, 2);
}

bool KeepFlowsOn() { return true; }

TEST_F(CharaData, FlowsFlaggedForRemovalArePurgedUnlessKept) {
  struct Case {
    int editor;
    bool keepSwitch;
    std::vector<int> ids;
  };
  const Case cases[] = {{0, false, {2, 4}}, {1, false, {1, 2, 3, 4}}, {0, true, {1, 2, 3, 4}}};
  for (const Case& c : cases) {
    g_LaunchedByEditor = 0;
    SetKeepFlowsQuery(nullptr);
    cCharaData chara;
    for (int id = 1; id <= 4; ++id) {
      cFlow flow = FlowWithTrigger(TRIGGER_DAMAGED, id);
      flow.m_bRemoveAtLoad = id % 2;
      chara.m_Flows.push_back(flow);
    }
    const Bytes bytes = WriteAt(chara, cPaletteContext::Standalone());
    g_LaunchedByEditor = c.editor;
    SetKeepFlowsQuery(c.keepSwitch ? KeepFlowsOn : nullptr);
    cCharaData loaded;
    ASSERT_TRUE(ReadAt(bytes, DATA_VERSION, loaded, cPaletteContext::Standalone()));
    std::vector<int> ids;
    for (const cFlow& flow : loaded.m_Flows) ids.push_back(flow.m_nFlowId);
    EXPECT_EQ(ids, c.ids) << "editor " << c.editor << " keep " << c.keepSwitch;
  }
}

TEST_F(CharaData, ShotReferencesOfFlowsAreRepairedAgainstThePalettes) {
  cCommand summon;
  summon.m_nType = FLOW_CMD_SUMMON_CHARA;
  summon.m_Shot.Create().m_nSummonPalette = 1;  // the stage palette
  summon.m_Shot->m_nSummonIndex = 3;
  cCharaData chara;
  chara.m_Flows = {FlowWithTrigger(TRIGGER_DAMAGED)};
  chara.m_Flows[0].m_Commands = {summon};
  chara.ValidateShotRefs(ContextOf(PaletteOf(2), PaletteOf(4)));
  EXPECT_EQ(chara.m_Flows[0].m_Commands[0].m_Shot->m_nSummonIndex, 3);
  chara.ValidateShotRefs(ContextOf(PaletteOf(2), PaletteOf(3)));
  EXPECT_EQ(chara.m_Flows[0].m_Commands[0].m_Shot->m_nSummonIndex, 1);
}

// ---- copy offsets ---------------------------------------------------------------------------

TEST_F(CharaData, CopyOffsetsFollowFacingAndMirror) {
  struct Case {
    int copy;
    int facing;
    bool mirror;
    double expected;
  };
  // x base 8, x step 32; y base -4, y step 16.
  const Case cases[] = {{2, 1, true, -72.0}, {2, 0, true, 72.0}, {2, 1, false, 72.0}, {0, 1, true, -8.0},
                        {0, 0, false, 8.0}};
  cCharaData chara;
  chara.m_nCopyXBase = 8;
  chara.m_nCopyXStep = 32;
  chara.m_nCopyYBase = -4;
  chara.m_nCopyYStep = 16;
  for (const Case& c : cases) {
    chara.m_bCopyXMirror = c.mirror;
    chara.m_bCopyYMirror = c.mirror;
    EXPECT_DOUBLE_EQ(chara.GetCopyOffsetX(c.copy, c.facing), c.expected) << c.copy << "/" << c.facing;
    const double y = c.copy * 16.0 - 4.0;
    EXPECT_DOUBLE_EQ(chara.GetCopyOffsetY(c.copy, c.facing), (c.facing == 1 && c.mirror) ? -y : y);
  }
}

TEST_F(CharaData, TruncatedCharactersAreRefused) {
  cCharaData chara = FullChara();
  deftest::ExpectEveryTruncationRefused(chara);
}

}  // namespace

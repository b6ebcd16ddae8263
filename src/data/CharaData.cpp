#include "data/CharaData.h"

#include "data/CopyOffset.h"
#include "data/Database.h"
#include "data/DefinitionList.h"

namespace {

// The fewest bytes a character takes in a file: the two record counts, the
// cell position, the carried item and the three list counts.
constexpr std::size_t kMinCharaBytes = 4 + 4 + 4 + 4 + 4 + 4 + 4;

// The flag list of an older file brought to the current group count, with a
// set flag inserted for a group introduced later: the flags from `group` on
// move up one place and the last one drops off.
void InsertInheritedGroup(cSafeVector<std::uint8_t>& flags, int group) {
  flags.resize(CHARA_GROUP_COUNT, 0);
  flags.insert(flags.begin() + group, 1);
  flags.resize(CHARA_GROUP_COUNT);
}

bool IsEmptyFlow(const cFlow& flow) {
  return flow.m_nFlowId == 0 && flow.m_nGroup == 0 && flow.m_nTrigger == 0 && flow.m_Conds.empty() &&
         flow.m_KeyConds.empty() && flow.m_Commands.empty();
}

}  // namespace

cCharaData::cCharaData() { Reset(); }

void cCharaData::Reset() {
  Clear();
  m_InheritFlags.assign(CHARA_GROUP_COUNT, 0);
  m_nMhp = 10;
  m_nStop = 10;
  m_nOperator = CHARA_BY_COMPUTER;
  m_nPassNumber = 1;
  m_nZ = 3;
  m_nSpawnEffectValue = 1;
  m_nDef = 0;
  m_nGraphicKind = GRAPHIC_CHARA;
  m_nGraphic = 0;
  m_nScale = 1;
  m_bFacingLock = 1;
  m_nSpare = 1;
}

void cCharaData::ResetToNone() {
  Reset();
  m_nCellX = 0;
  m_nCellY = 0;
  m_nCarriedItem = -1;
  m_Conds.clear();
  m_Flows.clear();
}

void cCharaData::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterByte(m_nInheritSource);
  RegisterShort(m_nInheritIndex);
  RegisterByte(m_nAppearRule);
  RegisterByte(m_bAppearLatch);
  RegisterByte(m_nFacing);
  RegisterByte(m_nExtraCopies);
  RegisterShort(m_nCopyXBase);
  RegisterShort(m_nCopyXStep);
  RegisterShort(m_nCopyYBase);
  RegisterShort(m_nCopyYStep);
  RegisterByte(m_bCopyXMirror);
  RegisterByte(m_bCopyYMirror);
  RegisterShort(m_nGraphic);
  RegisterByte(m_nGraphicKind);
  RegisterShort(m_nGraphicRow);
  RegisterShort(m_nAnimeSet);
  RegisterByte(m_nZ);
  RegisterByte(m_bTransparent);
  RegisterShort(m_nSpawnEffect);
  if (nVersion >= kCharaEffectListVersion) RegisterByte(m_nSpawnEffectList);
  RegisterByte(m_nSpawnEffectValue);
  RegisterShort(m_nDeathEffect);
  if (nVersion >= kCharaEffectListVersion) RegisterByte(m_nDeathEffectList);
  RegisterByte(m_bMarkShown);
  RegisterShort(m_nMark);
  RegisterByte(m_nOperator);
  RegisterByte(m_nPlayerNumber);
  RegisterByte(m_nPassNumber);
  RegisterByte(m_nCid);
  RegisterByte(m_nFlying);
  RegisterByte(m_bFacingLock);
  RegisterByte(m_nInvincible);
  if (nVersion >= kCharaFlashColourVersion) RegisterByte(m_nFlashColour);
  RegisterByte(m_bBlockChara);
  RegisterByte(m_nScale);
  if (nVersion >= kCharaScrollSyncVersion) RegisterByte(m_bScrollSync);
  RegisterByte(m_nLightShape);
  RegisterByte(m_nSight);
  RegisterInt(m_nMhp);
  RegisterInt(m_nMsp);
  RegisterShort(m_nStop);
  if (nVersion >= kCharaHitRangeVersion) RegisterByte(m_nHitRange);
  RegisterInt(m_nPower);
  RegisterByte(m_nImp);
  RegisterShort(m_nHitEffect);
  if (nVersion >= kCharaDefVersion) RegisterInt(m_nDef);
  RegisterByte(m_nImpd);
  RegisterInt(m_nGetsc);
  RegisterByte(m_nSpare);
  RegisterByte(m_bSwitchOnActive);
  RegisterShort(m_nActiveSwitch);
  RegisterByte(m_nActiveRange);
  RegisterByte(m_bStayActive);
  RegisterString(m_strName);
}

bool cCharaData::Read(cByteReader& in, const cPaletteContext& palettes) {
  if (!ReadRecordAndCell(in)) return false;
  m_nCarriedItem = in.ReadI32();
  if (!ReadValueList(in, m_InheritFlags)) return false;
  if (!ReadRecordList(in, m_Conds)) return false;
  if (!ReadFlowVector(in, m_Flows)) return false;
  if (!KeepFlaggedFlows()) PurgeFlaggedFlows(m_Flows);
  Upgrade(in.Version());
  return ResolveAfterRead(in, palettes);
}

// Each step works on the result of the one before. The groups introduced at
// 168, 201 and 210 are inserted as inherited, so an old placement takes the
// new values from its palette entry; after all three inserts they stand at
// groups 29 (def), 25 (attack hit range) and 21 (auto-scroll sync).
void cCharaData::Upgrade(int nVersion) {
  if (nVersion < kCharaDefVersion) {
    m_nDef = 0;
    InsertInheritedGroup(m_InheritFlags, 27);
  }
  if (nVersion < kCharaEffectListVersion) {
    m_nSpawnEffectList = 0;
    m_nDeathEffectList = 0;
  }
  if (nVersion < kCharaHitRangeVersion) {
    m_nHitRange = 0;
    InsertInheritedGroup(m_InheritFlags, 24);
  }
  if (nVersion < kCharaHitRangeKindVersion && m_nHitRange >= 2) ++m_nHitRange;
  if (nVersion < kCharaScrollSyncVersion) {
    m_bScrollSync = 0;
    InsertInheritedGroup(m_InheritFlags, 21);
  }
  ShiftOldShotGraphic(nVersion);
  if (nVersion < kCharaFlashColourVersion) m_nFlashColour = 1;
}

void cCharaData::Write(cByteWriter& out, const cPaletteContext& palettes) {
  if (out.Version() == DATA_VERSION) Validate(palettes);
  WriteRecordAndCell(out);
  out.WriteI32(m_nCarriedItem);
  WriteValueList(out, m_InheritFlags);
  WriteRecordList(out, m_Conds);
  WriteFlowVector(out, m_Flows);
}

void cCharaData::Validate(const cPaletteContext& palettes) {
  ValidateInheritReference(palettes);
  const cDatabase& database = palettes.Database();
  if (m_nGraphicKind == GRAPHIC_BMP_CHARA_EXC && !IsInList(m_nGraphic, database.m_BmpCharaExcs.size())) {
    m_nGraphic = 1;
  }
  if (static_cast<std::int8_t>(m_nScale) <= 0) m_nScale = 1;
  if (!IsInList(m_nAnimeSet, database.m_AnimeSets.size())) m_nAnimeSet = 0;
  if (!IsInList(m_nSpawnEffect, database.m_CharaEffects.size())) m_nSpawnEffect = 0;
  if (!IsInList(m_nDeathEffect, database.m_CharaEffects.size())) m_nDeathEffect = 0;
  if (!IsInList(m_nHitEffect, database.m_Effects.size())) m_nHitEffect = 0;
  if (m_nOperator == CHARA_BY_PLAYER) {
    m_bBlockChara = 0;
    m_nExtraCopies = 0;
  }
  for (cFlow& flow : m_Flows) flow.Validate(database);
  std::erase_if(m_Flows, IsEmptyFlow);
}

void cCharaData::ValidateShotRefs(const cPaletteContext& palettes) {
  const cPaletteSizes sizes = palettes.Sizes();
  for (cFlow& flow : m_Flows) flow.ValidateShotRefs(sizes);
}

void cCharaData::CopyGroup(int nGroup, const cCharaData& source) {
  switch (nGroup) {
    case CHARA_GROUP_NAME: m_strName = source.m_strName; break;
    case CHARA_GROUP_OPERATOR:
      m_nOperator = source.m_nOperator;
      m_nPlayerNumber = source.m_nPlayerNumber;
      break;
    case CHARA_GROUP_PASS: m_nPassNumber = source.m_nPassNumber; break;
    case CHARA_GROUP_CID: m_nCid = source.m_nCid; break;
    case CHARA_GROUP_CONDITIONS:
      m_Conds = source.m_Conds;
      m_nAppearRule = source.m_nAppearRule;
      m_bAppearLatch = source.m_bAppearLatch;
      break;
    case CHARA_GROUP_FACING: m_nFacing = source.m_nFacing; break;
    case CHARA_GROUP_COPIES: m_nExtraCopies = source.m_nExtraCopies; break;
    case CHARA_GROUP_COPY_X:
      m_nCopyXBase = source.m_nCopyXBase;
      m_nCopyXStep = source.m_nCopyXStep;
      m_bCopyXMirror = source.m_bCopyXMirror;
      break;
    case CHARA_GROUP_COPY_Y:
      m_nCopyYBase = source.m_nCopyYBase;
      m_nCopyYStep = source.m_nCopyYStep;
      m_bCopyYMirror = source.m_bCopyYMirror;
      break;
    case CHARA_GROUP_GRAPHIC:
      m_nGraphicKind = source.m_nGraphicKind;
      m_nGraphic = source.m_nGraphic;
      m_nGraphicRow = source.m_nGraphicRow;
      break;
    case CHARA_GROUP_ANIME_SET: m_nAnimeSet = source.m_nAnimeSet; break;
    case CHARA_GROUP_Z: m_nZ = source.m_nZ; break;
    case CHARA_GROUP_TRANSPARENT: m_bTransparent = source.m_bTransparent; break;
    case CHARA_GROUP_SPAWN_EFFECT:
      m_nSpawnEffect = source.m_nSpawnEffect;
      m_nSpawnEffectList = source.m_nSpawnEffectList;
      m_nSpawnEffectValue = source.m_nSpawnEffectValue;
      break;
    case CHARA_GROUP_DEATH_EFFECT:
      m_nDeathEffect = source.m_nDeathEffect;
      m_nDeathEffectList = source.m_nDeathEffectList;
      break;
    case CHARA_GROUP_MARK:
      m_bMarkShown = source.m_bMarkShown;
      m_nMark = source.m_nMark;
      break;
    case CHARA_GROUP_FACING_LOCK: m_bFacingLock = source.m_bFacingLock; break;
    case CHARA_GROUP_FLYING: m_nFlying = source.m_nFlying; break;
    case CHARA_GROUP_INVINCIBLE:
      m_nInvincible = source.m_nInvincible;
      m_nFlashColour = source.m_nFlashColour;
      break;
    case CHARA_GROUP_BLOCK_CHARA: m_bBlockChara = source.m_bBlockChara; break;
    case CHARA_GROUP_SCALE: m_nScale = source.m_nScale; break;
    case CHARA_GROUP_SCROLL_SYNC: m_bScrollSync = source.m_bScrollSync; break;
    case CHARA_GROUP_LIGHT:
      m_nLightShape = source.m_nLightShape;
      m_nSight = source.m_nSight;
      break;
    case CHARA_GROUP_MHP: m_nMhp = source.m_nMhp; break;
    case CHARA_GROUP_MSP: m_nMsp = source.m_nMsp; break;
    case CHARA_GROUP_HIT_RANGE: m_nHitRange = source.m_nHitRange; break;
    case CHARA_GROUP_POWER: m_nPower = source.m_nPower; break;
    case CHARA_GROUP_IMP: m_nImp = source.m_nImp; break;
    case CHARA_GROUP_HIT_EFFECT: m_nHitEffect = source.m_nHitEffect; break;
    case CHARA_GROUP_DEF: m_nDef = source.m_nDef; break;
    case CHARA_GROUP_IMPD: m_nImpd = source.m_nImpd; break;
    case CHARA_GROUP_STOP: m_nStop = source.m_nStop; break;
    case CHARA_GROUP_ACTIVITY:
      m_nActiveRange = source.m_nActiveRange;
      m_bStayActive = source.m_bStayActive;
      break;
    case CHARA_GROUP_ACTIVATION:
      m_nActiveSwitch = source.m_nActiveSwitch;
      m_bSwitchOnActive = source.m_bSwitchOnActive;
      break;
    case CHARA_GROUP_GETSC: m_nGetsc = source.m_nGetsc; break;
    case CHARA_GROUP_SPARE: m_nSpare = source.m_nSpare; break;
    case CHARA_GROUP_FLOWS:
      m_Flows = source.m_Flows;
      if (m_Flows.empty()) m_Flows.resize(1);
      break;
    default: break;
  }
}

double cCharaData::GetCopyOffsetX(int nCopy, int nFacing) const {
  return CopyOffset(m_nCopyXBase, m_nCopyXStep, m_bCopyXMirror, nCopy, nFacing);
}

double cCharaData::GetCopyOffsetY(int nCopy, int nFacing) const {
  return CopyOffset(m_nCopyYBase, m_nCopyYStep, m_bCopyYMirror, nCopy, nFacing);
}

bool ReadCharaVector(cByteReader& in, cSafeVector<cCharaData>& charas, const cPaletteContext& palettes) {
  return ReadDefinitionList(in, charas, palettes, &cPaletteView::m_pCharas, &cPaletteView::m_nPendingCharas,
                            kMinCharaBytes);
}

void WriteCharaVector(cByteWriter& out, cSafeVector<cCharaData>& charas, const cPaletteContext& palettes) {
  WriteDefinitionList(out, charas, palettes);
}

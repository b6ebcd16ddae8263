#include "data/Progress.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/Log.h"
#include "core/Numeric.h"
#include "core/StringUtil.h"
#include "data/Database.h"
#include "data/PathTable.h"
#include "data/StageData.h"
#include "data/StorySlots.h"
#include "data/WorldMap.h"
#include "platform/PathResolver.h"

namespace {

// Data versions that introduced members or upgrades of the progress record.
constexpr int kBgmLoopVersion = 166;
constexpr int kAutoSaveVersion = 169;
constexpr int kHpSpTotalVersion = 182;
constexpr int kBackToMapVersion = 190;
constexpr int kPrevMapVersion = 191;
constexpr int kFacingVersion = 194;
constexpr int kHeroStartFacingVersion = 679;
constexpr int kResultKeyVersion = 724;
constexpr int kVariantVersion = 758;
constexpr int kResultVariantVersion = 759;

constexpr int kWalkerFacingCount = 4;  // down, up, left, right

// A per-mode value of the system data; 0 for a play mode it has no entry for.
template <class List>
int PerModeValue(const List& list, int nPlayMode) {
  if (nPlayMode < 0 || nPlayMode >= static_cast<int>(list.size())) return 0;
  return static_cast<int>(list[nPlayMode]);
}

bool IsCarriedOver(int nGroup) {
  return nGroup < static_cast<int>(g_System.m_CarryOver.size()) && g_System.m_CarryOver[nGroup] != 0;
}

bool IsResetOnMiss(int nGroup) {
  return nGroup < static_cast<int>(g_System.m_ResetOnMiss.size()) && g_System.m_ResetOnMiss[nGroup] != 0;
}

// The stage-number count the record follows.
int StageNumberCount() { return std::clamp<int>(g_System.m_nStageCount, 0, kMaxStageNumbers); }

bool IsBgmIndex(int nBgm) { return nBgm >= 0 && nBgm < static_cast<int>(g_Database.m_Bgms.size()); }

// Copies the character values of one carried status group (the groups held in
// the character record: 0 to 10 and 13 to 21).
void CopyCharaGroup(int nGroup, cCharaData& to, const cCharaData& from) {
  switch (nGroup) {
    case STATUS_GROUP_GRAPHIC:
      to.m_nGraphic = from.m_nGraphic;
      to.m_nGraphicKind = from.m_nGraphicKind;
      to.m_nGraphicRow = from.m_nGraphicRow;
      break;
    case STATUS_GROUP_ANIME_SET: to.m_nAnimeSet = from.m_nAnimeSet; break;
    case STATUS_GROUP_Z: to.m_nZ = from.m_nZ; break;
    case STATUS_GROUP_TRANSPARENT: to.m_bTransparent = from.m_bTransparent; break;
    case STATUS_GROUP_SPAWN_EFFECT:
      to.m_nSpawnEffect = from.m_nSpawnEffect;
      to.m_nSpawnEffectList = from.m_nSpawnEffectList;
      to.m_nSpawnEffectValue = from.m_nSpawnEffectValue;
      break;
    case STATUS_GROUP_FACING_LOCK: to.m_bFacingLock = from.m_bFacingLock; break;
    case STATUS_GROUP_FLYING: to.m_nFlying = from.m_nFlying; break;
    case STATUS_GROUP_INVINCIBLE: to.m_nInvincible = from.m_nInvincible; break;
    case STATUS_GROUP_SCALE: to.m_nScale = from.m_nScale; break;
    case STATUS_GROUP_SCROLL_SYNC: to.m_bScrollSync = from.m_bScrollSync; break;
    case STATUS_GROUP_LIGHT:
      to.m_nLightShape = from.m_nLightShape;
      to.m_nSight = from.m_nSight;
      break;
    case STATUS_GROUP_MHP: to.m_nMhp = from.m_nMhp; break;
    case STATUS_GROUP_MSP: to.m_nMsp = from.m_nMsp; break;
    case STATUS_GROUP_HIT_RANGE: to.m_nHitRange = from.m_nHitRange; break;
    case STATUS_GROUP_POWER: to.m_nPower = from.m_nPower; break;
    case STATUS_GROUP_IMP: to.m_nImp = from.m_nImp; break;
    case STATUS_GROUP_DEF: to.m_nDef = from.m_nDef; break;
    case STATUS_GROUP_IMPD: to.m_nImpd = from.m_nImpd; break;
    case STATUS_GROUP_STOP: to.m_nStop = from.m_nStop; break;
    case STATUS_GROUP_FLOWS: to.m_Flows = from.m_Flows; break;
    default: break;
  }
}

template <class List>
void ResizeFilled(List& list, int count, const typename List::value_type& value) {
  list.resize(static_cast<std::size_t>(count), value);
}

}  // namespace

// ---- save time --------------------------------------------------------------------

cSaveTime GetLocalSaveTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  cSaveTime t;
  t.m_wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  t.m_wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  t.m_wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  t.m_wDay = static_cast<std::uint16_t>(local.tm_mday);
  t.m_wHour = static_cast<std::uint16_t>(local.tm_hour);
  t.m_wMinute = static_cast<std::uint16_t>(local.tm_min);
  t.m_wSecond = static_cast<std::uint16_t>(local.tm_sec);
  t.m_wMilliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
  return t;
}

// ---- element records ----------------------------------------------------------------

void cStageResult::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kResultVariantVersion) {
    RegisterInt(m_bVariant);
    RegisterInt(m_nVariantVar);
    RegisterInt(m_nVariantValue);
  }
  RegisterInt(m_nBestScore);
  RegisterString(m_strStageName);
  if (nVersion >= kResultVariantVersion) RegisterString(m_strKey);
}

bool cStageResult::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kResultVariantVersion) {
    m_strKey = m_strStageName;
    m_bVariant = 0;
  }
  return true;
}

void cCharaStatus::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_nHp);
  RegisterInt(m_nSp);
  RegisterInt(m_nTimeLeft);
  RegisterInt(m_nLives);
  RegisterInt(m_nBgm);
}

bool cCharaStatus::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  return m_Chara.Read(in);
}

void cCharaStatus::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  m_Chara.Write(out);
}

// ---- reset and record form -------------------------------------------------------------

void cProgress::ResetFreeRun() {
  Clear();
  m_CarryFlags.assign(STATUS_GROUP_COUNT, 0);
  ResetStatusList(1);
  m_StageFlags.assign(kStageFlagCount, 0);
  m_StageFlags[0] = 1;
  m_CommonVars.assign(kCommonVarCount, 0);
  m_Results.clear();
  m_StageNumbers.clear();
  m_nOpenStages = 1;
  m_nStorySlot = -1;
  m_strPlayerName = "aaa";
}

void cProgress::ResetStatusList(int count) {
  m_Statuses.clear();
  const cCharaStatus fresh;
  m_Statuses.assign(static_cast<std::size_t>(std::max(count, 0)), fresh);
}

void cProgress::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_bStatusStored);
  RegisterInt(m_nMapX);
  RegisterInt(m_nMapY);
  RegisterDiscard(4);  // the current map stage: a run-time reference
  RegisterInt(m_nRound);
  if (nVersion >= kVariantVersion) {
    RegisterInt(m_bVariant);
    RegisterInt(m_nVariantVar);
    RegisterInt(m_nVariantValue);
  }
  RegisterInt(m_nStageNo);
  RegisterInt(m_nSeriesNo);
  RegisterInt(m_nLivesAtStart);
  RegisterInt(m_nLives);
  RegisterInt(m_nStageScore);
  RegisterInt(m_nScore);
  RegisterInt(m_nTotal);
  RegisterInt(m_nTimeLeftTotal);
  RegisterInt(m_nClearTimeTotal);
  if (nVersion >= kHpSpTotalVersion) {
    RegisterInt(m_nHpLeftTotal);
    RegisterInt(m_nSpLeftTotal);
  }
  RegisterInt(m_bSeries);
  RegisterInt(m_nBgm);
  if (nVersion >= kBgmLoopVersion) RegisterInt(m_bBgmLoop);
  if (nVersion >= kFacingVersion) RegisterInt(m_nFacing);
  if (nVersion >= kBackToMapVersion) RegisterInt(m_bBackToMap);
  if (nVersion >= kPrevMapVersion) {
    RegisterInt(m_nPrevMapX);
    RegisterInt(m_nPrevMapY);
  }
  RegisterInt(m_nOpenStages);
  RegisterInt(m_nStorySlot);
  if (nVersion >= kAutoSaveVersion) RegisterInt(m_bAutoSave);
  RegisterInt(m_bShowRanking);
  RegisterInt(m_nRankGenre);
  if (nVersion >= kHeroStartVersion) {
    RegisterInt(m_bHeroStartSet);
    RegisterInt(m_nHeroStartX);
    RegisterInt(m_nHeroStartY);
  }
  if (nVersion >= kHeroStartFacingVersion) RegisterInt(m_nHeroStartFacing);
  RegisterString(m_strStageName);
  if (nVersion >= kResultKeyVersion) RegisterString(m_strResultKey);
  RegisterString(m_strPlayerName);
}

bool cProgress::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  m_SaveTime.m_wYear = in.ReadU16();
  m_SaveTime.m_wMonth = in.ReadU16();
  m_SaveTime.m_wDayOfWeek = in.ReadU16();
  m_SaveTime.m_wDay = in.ReadU16();
  m_SaveTime.m_wHour = in.ReadU16();
  m_SaveTime.m_wMinute = in.ReadU16();
  m_SaveTime.m_wSecond = in.ReadU16();
  m_SaveTime.m_wMilliseconds = in.ReadU16();
  if (in.Version() >= kCarryFlagVersion) ReadValueList(in, m_CarryFlags);
  ReadRecordList(in, m_Statuses);
  ReadRecordList(in, m_Results);
  ReadRecordList(in, m_StageNumbers);
  ReadValueList(in, m_StageFlags);
  ReadValueList(in, m_CommonVars);
  if (in.Failed()) return false;
  ApplyUpgrades(in.Version());
  FixListSizes(in.Version());
  Normalize();
  return true;
}

void cProgress::ApplyUpgrades(int nVersion) {
  if (nVersion >= DATA_VERSION) return;
  if (nVersion < kBgmLoopVersion) m_bBgmLoop = 1;
  if (nVersion < kAutoSaveVersion) m_bAutoSave = 0;
  if (nVersion < kHpSpTotalVersion) m_nHpLeftTotal = m_nSpLeftTotal = 0;
  if (nVersion < kBackToMapVersion) m_bBackToMap = 0;
  if (nVersion < kPrevMapVersion) m_nPrevMapX = m_nPrevMapY = 0;
  if (nVersion < kFacingVersion) m_nFacing = 0;
  if (nVersion < kCarryFlagVersion) m_CarryFlags.assign(STATUS_GROUP_COUNT, 1);
  if (nVersion < kCommonVarResizeVersion) {
    ResizeFilled(m_CommonVars, kOldCommonVarCount, 0);
    m_SavedCommonVars.assign(kOldCommonVarCount, 0);
  }
}

// The lists the game indexes by a fixed range get exactly their size, whatever
// the file held: the game never meets a list too short for its index.
void cProgress::FixListSizes(int nVersion) {
  ResizeFilled(m_CarryFlags, STATUS_GROUP_COUNT, 0);
  if (m_Statuses.empty()) ResetStatusList(1);
  if (static_cast<int>(m_Statuses.size()) > kMaxStatusSlots) m_Statuses.resize(kMaxStatusSlots);
  ResizeFilled(m_StageFlags, kStageFlagCount, 0);
  // Files older than the resize get the 1000 variables of the upgrade, and keep
  // them when they are saved again: a current file may hold 1000 or 1001.
  if (nVersion < kCommonVarResizeVersion) {
    ResizeFilled(m_CommonVars, kOldCommonVarCount, 0);
  } else if (static_cast<int>(m_CommonVars.size()) < kOldCommonVarCount ||
             static_cast<int>(m_CommonVars.size()) > kCommonVarCount) {
    ResizeFilled(m_CommonVars, kCommonVarCount, 0);
  }
}

void cProgress::Write(cByteWriter& out) {
  Normalize();
  cDataRecord::Write(out);
  out.WriteU16(m_SaveTime.m_wYear);
  out.WriteU16(m_SaveTime.m_wMonth);
  out.WriteU16(m_SaveTime.m_wDayOfWeek);
  out.WriteU16(m_SaveTime.m_wDay);
  out.WriteU16(m_SaveTime.m_wHour);
  out.WriteU16(m_SaveTime.m_wMinute);
  out.WriteU16(m_SaveTime.m_wSecond);
  out.WriteU16(m_SaveTime.m_wMilliseconds);
  if (out.Version() >= kCarryFlagVersion) WriteValueList(out, m_CarryFlags);
  WriteRecordList(out, m_Statuses);
  WriteRecordList(out, m_Results);
  WriteRecordList(out, m_StageNumbers);
  WriteValueList(out, m_StageFlags);
  WriteValueList(out, m_CommonVars);
}

void cProgress::Normalize() {
  const cWorldMap& map = g_WorldMap;
  const auto onMapX = [&](int x) { return x >= 0 && x < map.m_nWidth; };
  const auto onMapY = [&](int y) { return y >= 0 && y < map.m_nHeight; };
  if (!onMapX(m_nMapX)) m_nMapX = map.m_nStartX;
  if (!onMapY(m_nMapY)) m_nMapY = map.m_nStartY;
  if (!onMapX(m_nPrevMapX)) m_nPrevMapX = m_nMapX;
  if (!onMapY(m_nPrevMapY)) m_nPrevMapY = m_nMapY;

  const int stageNumbers = StageNumberCount();
  ResizeFilled(m_StageNumbers, stageNumbers, cIntPair());
  if (m_nOpenStages > stageNumbers) m_nOpenStages = stageNumbers;

  if (!IsBgmIndex(m_nBgm)) m_nBgm = 0;
  for (cCharaStatus& status : m_Statuses)
    if (!IsBgmIndex(status.m_nBgm)) status.m_nBgm = 0;
  if (m_nStorySlot < -1 || m_nStorySlot >= kStorySlotCount) m_nStorySlot = -1;
  if (m_nRankGenre < 0 || m_nRankGenre >= kRankGenreCount) m_nRankGenre = 0;
  if (m_nFacing < 0 || m_nFacing >= kWalkerFacingCount) m_nFacing = 0;
  if (m_nVariantVar < 0 || m_nVariantVar >= kCommonVarCount) m_nVariantVar = 0;
  m_nLives = std::clamp(m_nLives, 0, kInfiniteLives);
  m_nLivesAtStart = std::clamp(m_nLivesAtStart, 0, kInfiniteLives);
}

// ---- save files --------------------------------------------------------------------

bool cProgress::SaveProgressFile(std::string_view path) {
  return SaveIsTrusted(path) && SaveFile(path);
}

bool cProgress::SaveStory(int nSlot) {
  const std::string path = MakeStoryFileName(nSlot);
  if (path.empty()) {
    ReportPrintfLog("Save story slot %d : there is no such slot", nSlot + 1);
    return false;
  }
  const cSaveTime previous = m_SaveTime;
  m_SaveTime = GetLocalSaveTime();
  if (!SaveProgressFile(path)) {
    m_SaveTime = previous;
    return false;
  }
  if (nSlot < static_cast<int>(g_StorySlots.size())) g_StorySlots[nSlot].SetFromProgress(*this);
  return true;
}

bool cProgress::LoadStory(int nSlot) {
  const std::string path = MakeStoryFileName(nSlot);
  if (path.empty()) {
    ReportPrintfLog("Load story slot %d : there is no such slot", nSlot + 1);
    return false;
  }
  if (!cDataRecord::LoadFile(*this, path)) {
    // A damaged file was reported by the loader; a missing one is reported here.
    if (!plat::FileExists(path)) ReportPrintfLog("Load %s : the file does not exist", path.c_str());
    return false;
  }
  ApplyLoadedLives(PLAY_MODE_STORY);
  return true;
}

bool cProgress::LoadChallenge() {
  if (!cDataRecord::LoadFile(*this, g_PathTable[PATH_CHALLENGE])) return false;
  ApplyLoadedLives(PLAY_MODE_CHALLENGE);
  return true;
}

bool cProgress::SaveChallenge() { return SaveProgressFile(g_PathTable[PATH_CHALLENGE]); }

void cProgress::ApplyLoadedLives(int nPlayMode) {
  if (PerModeValue(g_System.m_InfiniteLives, nPlayMode) != 0) {
    m_nLivesAtStart = m_nLives = kInfiniteLives;
  } else if (m_nLives == kInfiniteLives) {
    m_nLives = PerModeValue(g_System.m_Lives, nPlayMode);
  }
}

// ---- stage names and results ------------------------------------------------------------

void cProgress::SetStageName(std::string_view name, int bVariant, int nVariantVar, int nVariantValue) {
  std::string stage(name);
  m_bVariant = bVariant;
  m_nVariantVar = nVariantVar;
  m_nVariantValue = nVariantValue;
  m_bSeries = 0;
  // '-', '1' and '.' lie below 0x40, so they are never the trail byte of a
  // double-byte character and a plain byte search is safe.
  bool cut = false;
  for (std::size_t i = stage.size(); i-- > 0;) {
    if (stage[i] == '-' && i + 1 < stage.size() && stage[i + 1] == '1') {
      m_bSeries = 1;
      stage[i] = '.';
      stage.resize(i + 1);
      cut = true;
      break;
    }
  }
  if (!cut) {
    const std::size_t dot = stage.rfind('.');
    if (dot == std::string::npos) stage.clear();
    else stage.resize(dot + 1);
  }
  m_strStageName = stage;
  m_strResultKey = stage;
  MakeDerivedStageName(m_strResultKey, bVariant, nVariantVar, nVariantValue);
}

void MakeDerivedStageName(std::string& key, int bVariant, int nVariantVar, int nVariantValue) {
  if (bVariant == 0) return;
  const bool dot = !key.empty() && key.back() == '.';
  if (dot) key.pop_back();
  AppendFormat(key, "_c%03d_%d", nVariantVar, nVariantValue);
  if (dot) key += '.';
}

// Keys are compared byte for byte: the same stage must always find its result,
// whatever the locale's collation says.
void cProgress::RecordStageResult(const std::string& stageName, const std::string& key, int bVariant,
                                  int nVariantVar, int nVariantValue, int nScore) {
  for (cStageResult& result : m_Results) {
    if (result.m_strKey != key) continue;
    if (result.m_nBestScore < nScore) {
      m_nTotal = ClampToI32(std::int64_t{m_nTotal} + nScore - result.m_nBestScore);
      result.m_nBestScore = nScore;
    }
    return;
  }
  cStageResult result;
  result.m_strStageName = stageName;
  result.m_strKey = key;
  result.m_bVariant = bVariant;
  result.m_nVariantVar = nVariantVar;
  result.m_nVariantValue = nVariantValue;
  result.m_nBestScore = nScore;
  m_Results.push_back(result);
  m_nTotal = ClampToI32(std::int64_t{m_nTotal} + nScore);
}

std::int32_t cProgress::GetStageResult(std::string_view key) const {
  for (const cStageResult& result : m_Results)
    if (result.m_strKey == key) return result.m_nBestScore;
  return 0;
}

void cProgress::RecalcTotal(const cWorldMap& map) {
  std::int64_t total = 0;
  for (const cStageResult& result : m_Results) {
    if (map.IsStageOnMap(result.m_strStageName, result.m_bVariant != 0 ? 1 : 0, result.m_nVariantVar,
                         result.m_nVariantValue))
      total += result.m_nBestScore;
  }
  m_nTotal = ClampToI32(total);
}

void cProgress::RecalcTotal() { RecalcTotal(g_WorldMap); }

// ---- stage start and retry ------------------------------------------------------------

void cProgress::SaveStageStart() {
  m_SavedCommonVars = m_CommonVars;
  m_nSavedLives = m_nLives;
  m_nSavedScore = m_nScore;
}

void cProgress::RestoreStageStart(bool bRetry, int nPlayMode, bool bTestPlay) {
  // Before the first stage start there is nothing to go back to; an empty list
  // would leave the game without common variables.
  const bool haveVars = !m_SavedCommonVars.empty();
  if (bRetry) {
    if (haveVars) m_CommonVars = m_SavedCommonVars;
    m_nLives = m_nSavedLives;
    m_nScore = m_nSavedScore;
    return;
  }
  int reload = 1;
  if (bTestPlay) reload = g_System.m_bTestReload;
  else if (nPlayMode == PLAY_MODE_STORY) reload = g_System.m_bStoryReload;
  else if (nPlayMode == PLAY_MODE_CHALLENGE) reload = g_System.m_bChallengeReload;
  else if (nPlayMode == PLAY_MODE_FREE) reload = g_System.m_bFreeReload;
  if (reload != 0 && haveVars) m_CommonVars = m_SavedCommonVars;
  m_nScore = m_nSavedScore;
}

// ---- carried status -----------------------------------------------------------------------

void cProgress::StoreStatus(int nSlot, const cCharaData& chara, int nHp, int nSp, int nSpawnEffect,
                            int nSpawnEffectList, int nSpawnEffectValue, int nTimeLeft, int nLives, int nBgm) {
  if (nSlot < 0 || nSlot >= kMaxStatusSlots) {
    ReportPrintfLog("StoreStatus : hero slot %d has no status", nSlot);
    return;
  }
  if (nSlot >= static_cast<int>(m_Statuses.size())) m_Statuses.resize(static_cast<std::size_t>(nSlot) + 1);
  ResizeFilled(m_CarryFlags, STATUS_GROUP_COUNT, 0);
  m_bStatusStored = 1;
  cCharaStatus& status = m_Statuses[nSlot];
  for (int k = 0; k < STATUS_GROUP_COUNT; ++k) {
    if (!IsCarriedOver(k)) continue;
    switch (k) {
      case STATUS_GROUP_SPAWN_EFFECT:
        status.m_Chara.m_nSpawnEffect = static_cast<std::int16_t>(nSpawnEffect);
        status.m_Chara.m_nSpawnEffectList = static_cast<std::uint8_t>(nSpawnEffectList);
        status.m_Chara.m_nSpawnEffectValue = static_cast<std::uint8_t>(nSpawnEffectValue);
        break;
      case STATUS_GROUP_HP: status.m_nHp = nHp; break;
      case STATUS_GROUP_SP: status.m_nSp = nSp; break;
      case STATUS_GROUP_TIME_LEFT: status.m_nTimeLeft = nTimeLeft; break;
      case STATUS_GROUP_LIVES: status.m_nLives = nLives; break;
      case STATUS_GROUP_MUSIC: status.m_nBgm = nBgm; break;
      default: CopyCharaGroup(k, status.m_Chara, chara); break;
    }
    m_CarryFlags[k] = 1;
  }
}

void cProgress::RestoreStatus(int nSlot, cCharaData& chara, cStageData& stage) {
  if (m_bStatusStored != 1) return;
  if (nSlot < 0 || nSlot >= static_cast<int>(m_Statuses.size())) return;
  const cCharaStatus& status = m_Statuses[nSlot];
  for (int k = 0; k < STATUS_GROUP_COUNT && k < static_cast<int>(m_CarryFlags.size()); ++k) {
    if (k == STATUS_GROUP_HP || k == STATUS_GROUP_SP) continue;
    if (!IsCarriedOver(k) || m_CarryFlags[k] == 0) continue;
    switch (k) {
      case STATUS_GROUP_TIME_LEFT: stage.m_TimeLimit = status.m_nTimeLeft; break;
      case STATUS_GROUP_LIVES: m_nLives = status.m_nLives; break;
      case STATUS_GROUP_MUSIC: stage.m_Bgm = IsBgmIndex(status.m_nBgm) ? status.m_nBgm : 0; break;
      case STATUS_GROUP_GRAPHIC:
        CopyCharaGroup(k, chara, status.m_Chara);
        if (chara.m_nGraphic == 0) chara.m_nGraphic = 1;
        break;
      default: CopyCharaGroup(k, chara, status.m_Chara); break;
    }
  }
}

void cProgress::RestoreHpSp(int nSlot, int& nHp, int& nSp) const {
  if (m_bStatusStored != 1) return;
  if (nSlot < 0 || nSlot >= static_cast<int>(m_Statuses.size())) return;
  const auto carried = [&](int k) {
    return IsCarriedOver(k) && k < static_cast<int>(m_CarryFlags.size()) && m_CarryFlags[k] != 0;
  };
  if (carried(STATUS_GROUP_HP)) nHp = m_Statuses[nSlot].m_nHp;
  if (carried(STATUS_GROUP_SP)) nSp = m_Statuses[nSlot].m_nSp;
}

void cProgress::ResetCarryFlags() {
  for (int k = 0; k < static_cast<int>(m_CarryFlags.size()) && k < STATUS_GROUP_COUNT; ++k)
    if (IsResetOnMiss(k)) m_CarryFlags[k] = 0;
}

void cProgress::StartNextLap(const cWorldMap& map) {
  ++m_nRound;
  std::fill(m_StageFlags.begin(), m_StageFlags.end(), 0);
  m_nMapX = map.m_nStartX;
  m_nMapY = map.m_nStartY;
}

void cProgress::StepRankGenre(int nPlayMode, int nSteps) {
  if (nPlayMode < 0 || nPlayMode >= static_cast<int>(g_System.m_RankGenreSets.size())) return;
  const cSafeVector<std::uint8_t>& genres = g_System.m_RankGenreSets[nPlayMode].m_Genres;
  const auto enabled = [&](int g) { return g < static_cast<int>(genres.size()) && genres[g] != 0; };
  int enabledCount = 0;
  for (int g = 0; g < kRankGenreCount; ++g) enabledCount += enabled(g) ? 1 : 0;
  if (enabledCount == 0) return;

  int genre = (m_nRankGenre >= 0 && m_nRankGenre < kRankGenreCount) ? m_nRankGenre : 0;
  const auto next = [](int g) { return g >= kRankGenreCount - 1 ? 0 : g + 1; };
  const auto previous = [](int g) { return g <= 0 ? kRankGenreCount - 1 : g - 1; };
  // After the first step the genre lies on an enabled one and the steps go
  // round the enabled genres, so a long run of steps is cut to its remainder.
  std::int64_t steps = nSteps < 0 ? -std::int64_t{nSteps} : std::int64_t{nSteps};
  if (steps > 1) steps = 1 + (steps - 1) % enabledCount;
  if (nSteps > 0) {
    for (std::int64_t i = 0; i < steps; ++i) {
      do genre = next(genre);
      while (!enabled(genre));
    }
  } else if (nSteps == 0) {
    while (!enabled(genre)) genre = next(genre);
  } else {
    for (std::int64_t i = 0; i < steps; ++i) {
      do genre = previous(genre);
      while (!enabled(genre));
    }
  }
  m_nRankGenre = genre;
}

void cProgress::ClearStageCounters() {
  m_nScore = 0;
  m_nTimeLeftTotal = 0;
  m_nClearTimeTotal = 0;
  m_nHpLeftTotal = 0;
  m_nSpLeftTotal = 0;
}

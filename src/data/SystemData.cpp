#include "data/SystemData.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Database.h"
#include "data/Flow.h"
#include "data/PathTable.h"
#include "graphics/Font.h"

const std::array<const char*, kSystemMessageCount> kDefaultSystemMessages = {
    "ワールド",
    "ステージ",
    "スコア",
    "ハイスコア",
    "トータルスコア",
    "スコア",
    "残り時間",
    "クリア時間",
    "残りHP",
    "残りSP",
    "ステージに挑む",
    "やっぱりやめる",
    "セーブする",
    "やっぱりやめる",
    "オートセーブＯＮ",
    "オートセーブＯＦＦ",
    "保存先が不明です！一度は「セーブ」して下さい！",
    "タイトルへ戻る",
    "やっぱりやめる",
    "しゅうりょう",
    "つづける",
    "リトライ",
    "",
    "リトライ",
    "マップへ戻る",
    "Vキーでジャンルの切り替え",
    "スペースキーでタイトルへ戻る",
    "スペースキーで終了",
    "F3キーでランキングへ登録",
};

namespace {

// Data versions at which parts of the file begin.
constexpr int kResetOnMissVersion = 501;
constexpr int kInfiniteLivesVersion = 191;
constexpr int kRankGenreSetsVersion = 186;
constexpr int kSceneBgmLoopVersion = 202;
constexpr int kRankModeNamesVersion = 674;
constexpr int kHudShowValueVersion = 204;
constexpr int kHudWarningVersion = 587;

// The discarded i32 that files of versions 221 to 259 store after the scroll switch.
constexpr int kDiscardFirstVersion = 221;
constexpr int kDiscardLastVersion = 259;

const char* const kDefaultTitleMenu[kTitleMenuCount] = {
    "はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう",
};
const char* const kDefaultMapMenu[kMapMenuCount] = {"セーブ", "オートセーブ", "もどる", "タイトルへ"};
const char* const kDefaultOptionMenu[kOptionMenuCount] = {
    "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる", "",
};
const char* const kDefaultRankModeNames[kRankModeCount] = {
    "手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）", "自動登録（登録名固定）",
};

const int kDefaultCarryOverGroups[] = {0, 1, 13, 14, 16, 17, 19, 20, 21};
const int kDefaultResetOnMissGroups[] = {11, 12};

struct cDefaultHudItem {
  const char* label;
  int valueCells;
};
const cDefaultHudItem kDefaultHudItems[kHudItemCount] = {
    {"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2},
};

tCmdList MakeMenu(const char* const* labels, int count) {
  tCmdList menu;
  for (int i = 0; i < count; ++i) menu.emplace_back(1, labels[i]);
  return menu;
}

cSafeVector<cSystemIniKey> MakeDefaultIniKeys() {
  return {
      {"Direct3D", 0, 2},    {"WindowMode", 0, 0},    {"Bpp", 0, 0},
      {"VSync", 0, 2},       {"D3D_FontCache", 0, 0}, {"DD_FontCache", 0, 1},
      {"DD_VideoStretch", 0, 0}, {"ShowFps", 0, 1},   {"FreeStage", 1, 0, ""},
      {"English", 0, 0},
  };
}

// A list of counted strings: u32 n, then n strings (CR bytes removed while
// g_StripCR is set, as for the strings of a record).
bool ReadStringList(cByteReader& in, cSafeVector<std::string>& list) {
  list.clear();
  const std::uint32_t count = in.ReadCount(4);
  if (in.Failed()) return false;
  for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
    std::string text = in.ReadString();
    if (g_StripCR) std::erase(text, '\r');
    list.push_back(std::move(text));
  }
  return !in.Failed();
}

void WriteStringList(cByteWriter& out, const cSafeVector<std::string>& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (const std::string& text : list) out.WriteString(text);
}

// Makes the list `size` long: new entries are fresh elements, surplus entries
// are dropped.
template <class List>
void FitSize(List& list, int size) {
  list.resize(static_cast<std::size_t>(size));
}

// Inserts into a list of fixed size: the list is first made `size` long, then
// the entries from `pos` on move up one place, the last one is lost, and the
// entry at `pos` becomes the value.
template <class List, class Value>
void InsertFixed(List& list, int size, int pos, Value&& value) {
  FitSize(list, size);
  list.insert(list.begin() + pos, std::forward<Value>(value));
  list.pop_back();
}

// A key set by an upgrade: the name, kind and default number; the text stays.
void SetIniKey(cSystemIniKey& key, const char* name, int kind, int number) {
  key.m_strKey = name;
  key.m_nKind = kind;
  key.m_nNumber = number;
}

cSystemIniKey NewIniKey(const char* name, int kind, int number) {
  cSystemIniKey key;
  SetIniKey(key, name, kind, number);
  return key;
}

bool SystemKeepsFlows() { return g_System.m_bKeepFlows != 0; }

}  // namespace

// ---- cHudItem ------------------------------------------------------------------------

void cHudItem::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_bShown);
  RegisterInt(m_bIcon);
  RegisterInt(m_nValueCells);
  if (nVersion >= kHudShowValueVersion) RegisterInt(m_bShowValue);
  if (nVersion >= kHudWarningVersion) {
    RegisterInt(m_nWarningLevel);
    RegisterInt(m_bWarningPercent);
  }
  RegisterString(m_strLabel);
}

bool cHudItem::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kHudShowValueVersion) m_bShowValue = 1;
  return true;
}

// ---- cRankGenreSet -----------------------------------------------------------------------

void cRankGenreSet::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_bRankingOn);
}

bool cRankGenreSet::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  return ReadValueList(in, m_Genres);
}

void cRankGenreSet::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteValueList(out, m_Genres);
}

// ---- cSystemIniKey -------------------------------------------------------------------------

void cSystemIniKey::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nKind);
  RegisterInt(m_nNumber);
  RegisterString(m_strKey);
  RegisterString(m_strText);
}

// ---- cSystemData ------------------------------------------------------------------------------

cSystemData::cSystemData() { Reset(); }

void cSystemData::Reset() {
  Clear();
  m_nExtraLifeScore = 100;
  m_bPauseView = 1;
  m_nFontFace = kDefaultFontFaceIndex;
  m_bReplay = 1;
  m_bTitlePictures = 1;
  m_bCarryLives = 1;
  m_bRetryPrompt = 1;
  m_bMapShowLives = 1;
  m_nStageCount = 40;
  m_bAllStages = 1;
  m_bMapShowBest = 1;
  m_bMenuShowTotal = 1;
  m_bStoryReload = 1;
  m_bChallengeReload = 1;
  m_bFreeReload = 1;
  m_bStoryRetry = 1;
  m_bStoryBackToMap = 1;
  m_bChallengeRetry = 1;
  m_bSelectShowBest = 1;
  m_bSelectShowTotal = 1;
  m_nPulseStep = 16;
  m_nDepthChoice = 0;
  m_nDepthDefault = 2;
  ResetLists();
}

void cSystemData::ResetLists() {
  m_CarryOver.assign(kStatusGroupCount, 0);
  for (int group : kDefaultCarryOverGroups) m_CarryOver[group] = 1;
  m_ResetOnMiss.assign(kStatusGroupCount, 0);
  for (int group : kDefaultResetOnMissGroups) m_ResetOnMiss[group] = 1;

  m_HudItems.assign(kHudItemCount, cHudItem());
  for (int i = 0; i < kHudItemCount; ++i) {
    cHudItem& item = m_HudItems[i];
    item.m_bShown = 1;
    item.m_bIcon = 1;
    item.m_strLabel = kDefaultHudItems[i].label;
    item.m_nValueCells = kDefaultHudItems[i].valueCells;
  }

  m_Lives = {5, 5, 5, 99};
  m_InfiniteLives.assign(kPlayModeCount, 1);
  m_RankGenreSets.assign(kPlayModeCount, cRankGenreSet());
  for (int mode = 0; mode < kPlayModeCount; ++mode) {
    const bool on = mode != 3;
    m_RankGenreSets[mode].m_bRankingOn = on ? 1 : 0;
    m_RankGenreSets[mode].m_Genres.assign(kRankGenreCount, on ? 1 : 0);
  }

  m_SystemSounds.assign(kSystemSoundCount, std::string());
  m_SceneBgm.assign(kSceneBgmCount, 0);
  m_SceneBgmLoop.assign(kSceneBgmCount, 1);
  m_RankModeNames.assign(std::begin(kDefaultRankModeNames), std::end(kDefaultRankModeNames));
  m_TitleMenu = MakeMenu(kDefaultTitleMenu, kTitleMenuCount);
  m_MapMenu = MakeMenu(kDefaultMapMenu, kMapMenuCount);
  m_OptionMenu = MakeMenu(kDefaultOptionMenu, kOptionMenuCount);
  m_Messages.assign(kDefaultSystemMessages.begin(), kDefaultSystemMessages.end());
  m_IniKeys = MakeDefaultIniKeys();
}

void cSystemData::RegisterMembers(int nVersion) {
  const auto since = [nVersion](int version) { return nVersion >= version; };
  ClearMembers();
  if (since(185)) RegisterInt(m_bExtraLives);
  RegisterInt(m_nExtraLifeScore);
  RegisterInt(m_bPauseView);
  RegisterInt(m_bNoSymbols);
  if (since(205)) RegisterInt(m_nFontFace);
  if (since(170)) RegisterInt(m_bFontCentre);
  if (since(113)) RegisterInt(m_bKeepFlows);
  if (since(184)) RegisterInt(m_bReplay);
  if (since(157)) RegisterInt(m_bTitlePictures);
  RegisterInt(m_bCarryLives);
  if (since(191)) {
    RegisterInt(m_bRetryPrompt);
    RegisterInt(m_bMapShowLives);
  }
  RegisterInt(m_nStageCount);
  RegisterInt(m_bAllStages);
  if (since(167)) {
    RegisterInt(m_bMapShowBest);
    RegisterInt(m_bMenuShowTotal);
  }
  if (since(188)) RegisterInt(m_bStoryReload);
  if (since(224)) RegisterInt(m_bStoryRetry);
  if (since(167)) {
    RegisterInt(m_bSelectShowBest);
    RegisterInt(m_bSelectShowTotal);
  }
  if (since(188)) RegisterInt(m_bChallengeReload);
  if (since(224)) RegisterInt(m_bChallengeRetry);
  if (since(188)) RegisterInt(m_bFreeReload);
  if (since(192)) RegisterInt(m_bTestReload);
  if (since(187)) {
    RegisterInt(m_bTransparent);
    RegisterByte(m_nTransparentRed);
    RegisterByte(m_nTransparentGreen);
    RegisterByte(m_nTransparentBlue);
  }
  if (since(214)) RegisterInt(m_bScrollSwitch);
  if (nVersion >= kDiscardFirstVersion && nVersion <= kDiscardLastVersion) RegisterDiscard(4);
  if (since(261)) RegisterInt(m_bBaseSizeSwitch);
  if (since(272)) RegisterInt(m_bKeepDeadChara);
  if (since(287)) RegisterInt(m_bFlashSwitch);
  if (since(515)) RegisterInt(m_nPulseStep);
  if (since(289)) RegisterInt(m_bPaletteCycling);
  if (since(757)) RegisterInt(m_bStoryBackToMap);
  if (since(525)) RegisterInt(m_bTriggerSwitchA);
  if (since(555)) RegisterInt(m_bGaplessLightning);
  if (since(637)) RegisterInt(m_bProtectPlacedBlocks);
  if (since(669)) RegisterInt(m_bConditionSwitch);
  if (since(677)) RegisterInt(m_bCollisionSwitch);
  if (since(695)) RegisterInt(m_bMoveTimeSwitch);
  if (since(696)) RegisterInt(m_bSpareSwitch);
  if (since(697)) RegisterInt(m_bStartAllSwitch);
  if (since(721)) RegisterInt(m_bWarpSwitch);
  if (since(728)) RegisterInt(m_bChargeSwitch);
  if (since(733)) RegisterInt(m_bRangeSwitch);
  if (since(744)) RegisterInt(m_bTriggerSwitchB);
  if (since(749)) RegisterInt(m_bJumpSwitch);
  if (since(752)) RegisterInt(m_bExpressionSwitch);
  if (since(763)) {
    RegisterInt(m_bImmediateHitTriggers);
    RegisterInt(m_bEffectlessShotsPass);
  }
  if (since(768)) RegisterInt(m_bStartPointSwitch);
  if (since(773)) RegisterInt(m_bStraightMoveSwitch);
  if (since(781)) RegisterInt(m_bKeepImpulse);
  if (since(670)) {
    RegisterInt(m_nDepthChoice);
    RegisterInt(m_nDepthDefault);
  }
  RegisterString(m_strTitle);
}

bool cSystemData::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  const int version = in.Version();
  if (!ReadValueList(in, m_CarryOver)) return false;
  if (version >= kResetOnMissVersion && !ReadValueList(in, m_ResetOnMiss)) return false;
  if (!ReadRecordList(in, m_HudItems)) return false;
  if (!ReadValueList(in, m_Lives)) return false;
  if (version >= kInfiniteLivesVersion && !ReadValueList(in, m_InfiniteLives)) return false;
  if (version >= kRankGenreSetsVersion && !ReadRecordList(in, m_RankGenreSets)) return false;
  if (!ReadStringList(in, m_Messages)) return false;
  if (!ReadStringList(in, m_SystemSounds)) return false;
  if (!ReadValueList(in, m_SceneBgm)) return false;
  if (version >= kSceneBgmLoopVersion && !ReadValueList(in, m_SceneBgmLoop)) return false;
  if (!ReadRecordList(in, m_TitleMenu)) return false;
  if (!ReadRecordList(in, m_MapMenu)) return false;
  if (!ReadRecordList(in, m_OptionMenu)) return false;
  if (version >= kRankModeNamesVersion && !ReadStringList(in, m_RankModeNames)) return false;
  if (!ReadRecordList(in, m_IniKeys)) return false;

  if (version < DATA_VERSION) ApplyUpgrades(version);
  FitListSizes();
  Normalize();
  return !in.Failed();
}

void cSystemData::Write(cByteWriter& out) {
  Normalize();
  cDataRecord::Write(out);
  const int version = out.Version();
  WriteValueList(out, m_CarryOver);
  if (version >= kResetOnMissVersion) WriteValueList(out, m_ResetOnMiss);
  WriteRecordList(out, m_HudItems);
  WriteValueList(out, m_Lives);
  if (version >= kInfiniteLivesVersion) WriteValueList(out, m_InfiniteLives);
  if (version >= kRankGenreSetsVersion) WriteRecordList(out, m_RankGenreSets);
  WriteStringList(out, m_Messages);
  WriteStringList(out, m_SystemSounds);
  WriteValueList(out, m_SceneBgm);
  if (version >= kSceneBgmLoopVersion) WriteValueList(out, m_SceneBgmLoop);
  WriteRecordList(out, m_TitleMenu);
  WriteRecordList(out, m_MapMenu);
  WriteRecordList(out, m_OptionMenu);
  if (version >= kRankModeNamesVersion) WriteStringList(out, m_RankModeNames);
  WriteRecordList(out, m_IniKeys);
}

// The steps that bring a file of an older version to the current one, in
// this order: later steps insert at positions earlier steps have filled.
void cSystemData::ApplyUpgrades(int version) {
  const auto below = [version](int v) { return version < v; };

  if (below(113)) m_bKeepFlows = 0;
  if (below(157)) m_bTitlePictures = 0;
  if (below(167)) m_bMapShowBest = m_bMenuShowTotal = m_bSelectShowBest = m_bSelectShowTotal = 1;
  if (below(168)) InsertFixed(m_CarryOver, kStatusGroupCount, 16, std::uint8_t{1});
  if (below(169)) {
    InsertFixed(m_MapMenu, kMapMenuCount, 1, cCmd(1, "オートセーブ"));
    InsertFixed(m_Messages, kSystemMessageCount, 12, std::string("保存先が不明です！一度は「セーブ」して下さい！"));
    InsertFixed(m_Messages, kSystemMessageCount, 12, std::string("オートセーブＯＦＦ"));
    InsertFixed(m_Messages, kSystemMessageCount, 12, std::string("オートセーブＯＮ"));
  }
  if (below(170)) m_bFontCentre = 0;
  if (below(181)) {
    for (cRankGenreSet& set : m_RankGenreSets) {
      FitSize(set.m_Genres, kRankGenreCount);
      set.m_Genres[3] = 0;
      set.m_Genres[4] = 0;
    }
    InsertFixed(m_Messages, kSystemMessageCount, 8, std::string("残りHP"));
    InsertFixed(m_Messages, kSystemMessageCount, 9, std::string("残りSP"));
  }
  if (below(184)) m_bReplay = 1;
  if (below(185)) m_bExtraLives = 1;
  if (below(187)) {
    m_bTransparent = 0;
    m_nTransparentRed = 0;
    m_nTransparentGreen = 177;
    m_nTransparentBlue = 0;
  }
  if (below(188)) m_bStoryReload = m_bChallengeReload = m_bFreeReload = 1;
  if (below(191)) {
    m_InfiniteLives = {0, 0, 0, 1};
    m_bRetryPrompt = m_bMapShowLives = 0;
  }
  if (below(192)) m_bTestReload = 1;
  if (below(193)) {
    InsertFixed(m_Messages, kSystemMessageCount, 22, std::string("リトライ"));
    InsertFixed(m_Messages, kSystemMessageCount, 23, std::string("マップへ戻る"));
  }
  if (below(201)) InsertFixed(m_CarryOver, kStatusGroupCount, 14, std::uint8_t{0});
  if (below(202)) m_SceneBgmLoop.assign(kSceneBgmCount, 1);
  if (below(205)) m_nFontFace = kDefaultFontFaceIndex;
  if (below(210)) InsertFixed(m_CarryOver, kStatusGroupCount, 9, std::uint8_t{0});
  if (below(214)) m_bScrollSwitch = 1;
  if (below(224)) m_bStoryRetry = m_bChallengeRetry = 0;
  if (below(261)) m_bBaseSizeSwitch = 1;
  if (below(272)) m_bKeepDeadChara = 0;
  if (below(286)) {
    InsertFixed(m_IniKeys, kIniKeyListCount, 0, NewIniKey("Direct3D", 0, 1));
    if (m_IniKeys[3].m_nNumber >= 3) m_IniKeys[3].m_nNumber = 2;
  }
  if (below(287)) m_bFlashSwitch = 0;
  if (below(289)) m_bPaletteCycling = m_bTransparent == 0 ? 1 : 0;
  if (below(501)) m_ResetOnMiss.assign(kStatusGroupCount, 0);
  if (below(515)) m_nPulseStep = 16;
  if (below(525)) m_bTriggerSwitchA = 1;
  if (below(555)) m_bGaplessLightning = 1;
  if (below(567)) InsertFixed(m_IniKeys, kIniKeyListCount, 4, NewIniKey("DD_VideoStretch", 0, 0));
  if (below(568)) {
    InsertFixed(m_IniKeys, kIniKeyListCount, 4, NewIniKey("D3D_FontCache", 0, 0));
    InsertFixed(m_IniKeys, kIniKeyListCount, 5, NewIniKey("DD_FontCache", 0, 1));
  }
  if (below(587)) {
    FitSize(m_HudItems, kHudItemCount);
    for (int item : {HUD_HP, HUD_SP}) {
      m_HudItems[item].m_nWarningLevel = 33;
      m_HudItems[item].m_bWarningPercent = 1;
    }
  }
  if (below(637)) m_bProtectPlacedBlocks = version <= 616 ? 1 : 0;
  if (below(669)) m_bConditionSwitch = 1;
  if (below(670)) {
    m_nDepthChoice = 0;
    m_nDepthDefault = 2;
  }
  if (below(672)) {
    FitSize(m_IniKeys, kIniKeyListCount);
    SetIniKey(m_IniKeys[9], "English", 0, 0);
  }
  if (below(677)) m_bCollisionSwitch = 1;
  if (below(695)) m_bMoveTimeSwitch = 1;
  if (below(696)) m_bSpareSwitch = 1;
  if (below(697)) m_bStartAllSwitch = 1;
  if (below(721)) m_bWarpSwitch = 1;
  if (below(728)) m_bChargeSwitch = 1;
  if (below(733)) m_bRangeSwitch = 1;
  if (below(744)) m_bTriggerSwitchB = 1;
  if (below(749)) m_bJumpSwitch = 1;
  if (below(752)) m_bExpressionSwitch = 1;
  if (below(756)) InsertFixed(m_Messages, kSystemMessageCount, 22, std::string("マップへ戻る"));
  if (below(757)) m_bStoryBackToMap = 0;
  if (below(763)) m_bImmediateHitTriggers = m_bEffectlessShotsPass = 1;
  if (below(768)) m_bStartPointSwitch = 1;
  if (below(773)) m_bStraightMoveSwitch = 1;
  if (below(781)) m_bKeepImpulse = 1;
}

void cSystemData::FitListSizes() {
  FitSize(m_CarryOver, kStatusGroupCount);
  FitSize(m_ResetOnMiss, kStatusGroupCount);
  FitSize(m_HudItems, kHudItemCount);
  FitSize(m_Lives, kPlayModeCount);
  FitSize(m_InfiniteLives, kPlayModeCount);
  FitSize(m_RankGenreSets, kPlayModeCount);
  for (cRankGenreSet& set : m_RankGenreSets) FitSize(set.m_Genres, kRankGenreCount);
  FitSize(m_Messages, kSystemMessageCount);
  FitSize(m_SystemSounds, kSystemSoundCount);
  FitSize(m_SceneBgm, kSceneBgmCount);
  FitSize(m_SceneBgmLoop, kSceneBgmCount);
  FitSize(m_TitleMenu, kTitleMenuCount);
  FitSize(m_MapMenu, kMapMenuCount);
  FitSize(m_OptionMenu, kOptionMenuCount);
  FitSize(m_RankModeNames, kRankModeCount);
  FitSize(m_IniKeys, kIniKeyListCount);
}

void cSystemData::Normalize() { Normalize(static_cast<int>(g_Database.m_Bgms.size())); }

void cSystemData::Normalize(int bgmCount) {
  for (std::int32_t& tune : m_SceneBgm) {
    if (tune < 0 || tune >= bgmCount) tune = 0;
  }
  if (m_nFontFace < 0 || m_nFontFace >= kFontNameCount) m_nFontFace = kDefaultFontFaceIndex;
  m_nStageCount = std::clamp(m_nStageCount, 0, kMaxStageNumbers);
}

int cSystemData::CountRankGenres(int playMode) const {
  const cRankGenreSet& set = m_RankGenreSets[playMode];
  if (set.m_bRankingOn == 0) return 0;
  return static_cast<int>(std::count_if(set.m_Genres.begin(), set.m_Genres.end(), [](std::uint8_t g) { return g != 0; }));
}

// ---- loading ------------------------------------------------------------------------------------

bool LoadSystemData(std::string_view path) {
  if (!cDataRecord::LoadFile(g_System, path)) {
    const std::string name(path);
    ReportPrintfError("%s の読み込みに失敗…", name.c_str());
    return false;
  }
  SetKeepFlowsQuery(&SystemKeepsFlows);
  return true;
}

bool LoadSystemData() { return LoadSystemData(g_PathTable[PATH_SYSTEM]); }

void ResetSystemDataForTests() {
  g_System = cSystemData();
  SetKeepFlowsQuery(nullptr);
}

// ---- helpers -------------------------------------------------------------------------------------

int IsGaugeLow(const cHudItem& item, int value, int maximum) {
  if (item.m_bWarningPercent == 0) return item.m_nWarningLevel >= value ? 1 : 0;
  if (maximum <= 0) return 0;
  const double percent = static_cast<double>(value) * 100.0 / static_cast<double>(maximum);
  return static_cast<double>(item.m_nWarningLevel) >= percent ? 1 : 0;
}

namespace {

int LongestMessage(int first, int count, const cSystemData& system) {
  int longest = 0;
  for (int i = first; i < first + count; ++i) longest = std::max(longest, CountChars(system.m_Messages[i].c_str()));
  return longest;
}

}  // namespace

int GetMessageListX(int x, int first, int count, bool cursor, const cSystemData& system) {
  const int columns = LongestMessage(first, count, system) + (cursor ? 1 : 0);
  return x - (columns * kCmdCellDots) / 2;
}

cMessageListBox MakeMessageListBox(int first, int count, bool cursor, const cSystemData& system) {
  cMessageListBox box;
  if (count <= 0) return box;
  for (int i = first; i < first + count; ++i) {
    if (cursor) box.text += ' ';
    box.text += system.m_Messages[i];
    box.text += '\n';
  }
  box.width = (LongestMessage(first, count, system) + (cursor ? 1 : 0)) * kCmdCellDots;
  box.height = count * kCmdCellDots;
  return box;
}

void DrawMessageList(DDSURFACEDATA* lpDst, int x, int y, int first, int count, bool cursor,
                     const cSystemData& system) {
  const cMessageListBox box = MakeMessageListBox(first, count, cursor, system);
  if (box.text.empty()) return;
  FontPrintfInBox(g_Font[1], lpDst, x, y, box.width, box.height, "%s", box.text.c_str());
}

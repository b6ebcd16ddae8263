#include "data/StageData.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/PathUtil.h"
#include "core/Thread.h"
#include "data/Database.h"
#include "data/Palette.h"
#include "data/PathTable.h"
#include "platform/MessageCore.h"

namespace {

// Versions that introduced header members, and those of the other upgrades.
constexpr int kFlyBoxVersion = 155;
constexpr int kStageBgmLoopVersion = 166;
constexpr int kRankFlagsVersion = 181;
constexpr int kShowHudVersion = 183;
constexpr int kAutoAdvanceVersion = 184;
constexpr int kBgmKeepVersion = 199;
constexpr int kBlockBoxVersion = 200;
constexpr int kReadyCaptionVersion = 225;
constexpr int kVarNamesVersion = 754;
// Files of this version and later have their trailer checked. Version 173
// files carry a trailer word as well, but it is read and dropped unchecked:
// such a file loads whatever its last word holds.
constexpr int kTrailerCheckVersion = 174;

// The word after the lists. Where it is checked, anything else there means
// the lists were not read as they were written.
void ReadTrailer(cByteReader& in) {
  const std::uint32_t trailer = in.ReadU32();
  if (in.Version() >= kTrailerCheckVersion && trailer != STAGE_TRAILER && !in.Failed()) {
    in.Fail("the stage's trailer does not follow its lists");
  }
}

constexpr int kDefaultFps = 60;
// The screen in map cells.
constexpr int kScreenCellsX = 20;
constexpr int kScreenCellsY = 15;

// The smallest placement: its tag, then a record of u32 N and u32 M.
constexpr std::size_t kMinPlacementBytes = 12;

int32_t CapAt(int32_t value, int64_t limit) {
  return value > limit ? static_cast<int32_t>(std::max<int64_t>(limit, INT32_MIN)) : value;
}

// A placement list: u32 n, then per element a u32 tag (dropped) and the record.
template <class T>
bool ReadPlacements(cByteReader& in, cSafeVector<T>& list, const cPaletteContext& palettes) {
  list.clear();
  const std::uint32_t count = in.ReadCount(kMinPlacementBytes);
  if (in.Failed()) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    in.ReadU32();
    T element;
    if (!element.Read(in, palettes)) return false;
    element.RegisterMembers(DATA_VERSION);
    list.push_back(std::move(element));
  }
  return !in.Failed();
}

template <class T>
void WritePlacements(cByteWriter& out, cSafeVector<T>& list, const cPaletteContext& palettes) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (T& element : list) {
    out.WriteU32(0);
    element.Write(out, palettes);
  }
}

}  // namespace

// ---- construction and defaults --------------------------------------------------

cStageData::cStageData() {
  RegisterMembers(DATA_VERSION);
  Reset();
}

void cStageData::Reset() {
  Clear();
  ClearDefinitionLists();
  // One entry in each palette list: the "none" definition.
  m_PaletteBlocks.resize(1);
  m_PaletteCharas.resize(1);
  m_PaletteItems.resize(1);
  m_PaletteBlocks[0].ResetToNone();
  m_PaletteCharas[0].ResetToNone();
  m_PaletteItems[0].ResetToNone();
  m_Fps = kDefaultFps;
  m_TimeLimit = 200;
  m_TimeWarning = 20;
  m_Gravity = 0.4;
  m_HitLevel = 10;
  m_Layered = 1;
  m_ShowHud = 1;
  m_ShowReadyCaption = 1;
  m_ShowClearCaption = 1;
  m_ShowGameOverCaption = 1;
  m_ContactOnScreenOnly = 1;
  m_PlayerHitGap = 30;
  m_ComputerHitGap = 30;
  m_BgLayers.assign(1, cBgLayer());
  m_BgLayers[0].m_bShown = 1;
  m_RankFlags.assign(kStageRankFlagCount, 1);
  for (cStageArea& area : m_Areas) area.Set(0, 0, 0, 0, 0, 0, 0, 0);
  m_Areas[STAGE_AREA_PLAYER_SHOTS].Set(1, 1, 1, 1, 0, 0, 0, 0);
  m_Areas[STAGE_AREA_COMPUTER_SHOTS].Set(1, 1, 1, 1, 10, 10, 10, 10);
  SetHitBoxDefaults();
  m_Reserved5 = 1;
  ApplyHitLevel(m_HitLevel);
}

void cStageData::SetHitBoxDefaults() {
  m_HeroBlockBox = {16, 24};
  m_HeroBlockBoxFly = {16, 16};
  m_HeroCharaBox = {16, 24};
  m_HeroCharaBoxFly = {16, 16};
  m_HeroShotBox = {12, 8};
  m_HeroItemBox = {16, 16};
  m_HeroBlockBoxBottom = 1;
  m_HeroBlockBoxFlyBottom = 0;
  m_HeroCharaBoxBottom = 1;
  m_HeroCharaBoxFlyBottom = 0;
  m_CharaBlockBox = {16, 24};
  m_CharaBlockBoxFly = {16, 16};
  m_CharaCharaBox = {12, 24};
  m_CharaCharaBoxFly = {12, 16};
  m_CharaShotBox = {30, 30};
  m_CharaBlockBoxBottom = 1;
  m_CharaBlockBoxFlyBottom = 0;
  m_CharaCharaBoxBottom = 1;
  m_CharaCharaBoxFlyBottom = 0;
  m_ItemBox = {28, 28};
  m_PlayerShotBox = {16, 16};
  m_Reserved3 = {16, 16};
  m_ComputerShotBox = {16, 16};
  m_Reserved4 = {16, 16};
  m_Reserved5 = 1;
}

// ---- registration -------------------------------------------------------------------

void cStageData::RegisterBox(cBoxSize& box) {
  RegisterInt(box.m_nWidth);
  RegisterInt(box.m_nHeight);
}

// The hero and the other characters each have these boxes, stored by the same
// version rules.
void cStageData::RegisterBodyBoxes(int nVersion, cBoxSize& block, cBoxSize& blockFly, cBoxSize& chara,
                                   cBoxSize& charaFly, cBoxSize& shot) {
  if (nVersion >= kBlockBoxVersion) {
    RegisterBox(block);
    RegisterBox(blockFly);
  }
  RegisterBox(chara);
  if (nVersion >= kFlyBoxVersion) RegisterBox(charaFly);
  RegisterBox(shot);
}

void cStageData::RegisterBoxBottoms(int nVersion, int32_t& block, int32_t& blockFly, int32_t& chara,
                                    int32_t& charaFly) {
  if (nVersion >= kBlockBoxVersion) {
    RegisterInt(block);
    RegisterInt(blockFly);
  }
  if (nVersion >= kFlyBoxVersion) {
    RegisterInt(chara);
    RegisterInt(charaFly);
  }
}

void cStageData::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_Width);
  RegisterInt(m_Reserved1);
  RegisterInt(m_Reserved2);
  RegisterInt(m_Height);
  RegisterInt(m_ScrollLimitLeftOn);
  RegisterInt(m_ScrollLimitRightOn);
  RegisterInt(m_ScrollLimitTopOn);
  RegisterInt(m_ScrollLimitBottomOn);
  RegisterInt(m_ScrollLimitLeft);
  RegisterInt(m_ScrollLimitRight);
  RegisterInt(m_ScrollLimitTop);
  RegisterInt(m_ScrollLimitBottom);
  RegisterInt(m_Fps);
  RegisterInt(m_TimeLimitOn);
  RegisterInt(m_TimeLimit);
  RegisterInt(m_TimeWarning);
  RegisterInt(m_AutoScrollX);
  RegisterInt(m_AutoScrollY);
  RegisterInt(m_AutoScrollSpeedX);
  RegisterInt(m_AutoScrollSpeedY);
  RegisterDouble(m_Gravity);
  RegisterInt(m_HitLevel);
  RegisterInt(m_ContactChecks);
  RegisterInt(m_Bgm);
  if (nVersion >= kStageBgmLoopVersion) RegisterInt(m_BgmLoop);
  if (nVersion >= kBgmKeepVersion) RegisterInt(m_BgmKeepOnRetry);
  RegisterInt(m_Layered);
  RegisterInt(m_RestoreStatus);
  RegisterInt(m_StoreStatus);
  if (nVersion >= kShowHudVersion) RegisterInt(m_ShowHud);
  if (nVersion >= kAutoAdvanceVersion) RegisterInt(m_AutoAdvance);
  RegisterInt(m_ShowStageCaption);
  if (nVersion >= kReadyCaptionVersion) RegisterInt(m_ShowReadyCaption);
  RegisterInt(m_ShowClearCaption);
  RegisterInt(m_ShowGameOverCaption);
  RegisterBodyBoxes(nVersion, m_HeroBlockBox, m_HeroBlockBoxFly, m_HeroCharaBox, m_HeroCharaBoxFly, m_HeroShotBox);
  RegisterBox(m_HeroItemBox);
  RegisterBoxBottoms(nVersion, m_HeroBlockBoxBottom, m_HeroBlockBoxFlyBottom, m_HeroCharaBoxBottom,
                     m_HeroCharaBoxFlyBottom);
  if (nVersion >= kBlockBoxVersion) RegisterInt(m_BoxShowBlock);
  RegisterInt(m_BoxShowChara);
  RegisterInt(m_BoxShowShot);
  RegisterInt(m_BoxShowItem);
  if (nVersion >= kBlockBoxVersion) RegisterInt(m_BoxColourBlock);
  RegisterInt(m_BoxColourChara);
  RegisterInt(m_BoxColourShot);
  RegisterInt(m_BoxColourItem);
  RegisterBodyBoxes(nVersion, m_CharaBlockBox, m_CharaBlockBoxFly, m_CharaCharaBox, m_CharaCharaBoxFly,
                    m_CharaShotBox);
  RegisterBoxBottoms(nVersion, m_CharaBlockBoxBottom, m_CharaBlockBoxFlyBottom, m_CharaCharaBoxBottom,
                     m_CharaCharaBoxFlyBottom);
  RegisterBox(m_ItemBox);
  RegisterBox(m_PlayerShotBox);
  RegisterBox(m_Reserved3);
  RegisterBox(m_ComputerShotBox);
  RegisterBox(m_Reserved4);
  RegisterInt(m_Reserved5);
  RegisterInt(m_AreaLimitX);
  RegisterInt(m_AreaLimitY);
  RegisterInt(m_SubSteps);
  RegisterDouble(m_SubStepsF);
  RegisterDouble(m_SubStepsSq);
  RegisterDouble(m_SpeedLimit);
  RegisterDouble(m_GravityStep);
  RegisterDouble(m_SpeedLimitStep);
  RegisterInt(m_BlockTimeout);
  RegisterInt(m_ContactOnScreenOnly);
  RegisterInt(m_PlayerHitGap);
  RegisterInt(m_PlayerNoHitTime);
  RegisterInt(m_ComputerHitGap);
  RegisterInt(m_ComputerNoHitTime);
  RegisterString(m_Name);
}

cPaletteContext cStageData::PaletteContext() const {
  cPaletteContext context;
  context.m_Common = g_CommonPalette.View();
  context.m_Stage = cPaletteView::Of(&m_PaletteBlocks, &m_PaletteCharas, &m_PaletteItems);
  context.m_pDatabase = &g_Database;
  return context;
}

// ---- reading ----------------------------------------------------------------------

bool cStageData::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  ReadLists(in);
  if (in.Failed()) return false;
  if (in.Version() >= kStageTrailerVersion) ReadTrailer(in);
  if (in.Failed()) return false;
  if (in.Version() < DATA_VERSION) ApplyUpgrades(in.Version());
  // Play indexes these lists by position: whatever the file held, they have
  // their fixed sizes from here on.
  m_RankFlags.resize(kStageRankFlagCount, 0);
  m_VarNames.resize(kStageVarCount);
  Normalize();
  return true;
}

void cStageData::ReadLists(cByteReader& in) {
  if (!ReadValueList(in, m_RankFlags)) return;
  for (cStageArea& area : m_Areas) {
    if (!area.Read(in)) return;
  }
  // The palette entries and placements that inherit from the stage palette
  // take it from this stage, while it is being read.
  const cPaletteContext palettes = PaletteContext();
  if (!ReadBlockVector(in, m_PaletteBlocks, palettes)) return;
  if (!ReadCharaVector(in, m_PaletteCharas, palettes)) return;
  if (!ReadItemVector(in, m_PaletteItems, palettes)) return;
  // Entry 0 of each palette list is the "none" definition, whatever the file
  // held for it.
  ResetNoneEntries(m_PaletteBlocks, m_PaletteCharas, m_PaletteItems);
  if (!ReadPlacements(in, m_PlacedBlocks, palettes)) return;
  if (!ReadPlacements(in, m_PlacedCharas, palettes)) return;
  if (!ReadPlacements(in, m_PlacedItems, palettes)) return;
  if (!ReadBgLayerVector(in, m_BgLayers)) return;
  ReadStageVarInfoVector(in, m_VarNames);
}

void cStageData::ApplyUpgrades(int nVersion) {
  if (nVersion < kFlyBoxVersion) {
    m_HeroCharaBoxFly = m_HeroCharaBox;
    m_CharaCharaBoxFly = m_CharaCharaBox;
    m_HeroCharaBoxBottom = 0;
    m_HeroCharaBoxFlyBottom = 0;
    m_CharaCharaBoxBottom = 0;
    m_CharaCharaBoxFlyBottom = 0;
  }
  if (nVersion < kStageBgmLoopVersion) m_BgmLoop = 1;
  if (nVersion < kRankFlagsVersion) {
    m_RankFlags.resize(kStageRankFlagCount, 0);
    m_RankFlags[3] = 0;
    m_RankFlags[4] = 0;
  }
  if (nVersion < kShowHudVersion) m_ShowHud = 1;
  if (nVersion < kAutoAdvanceVersion) m_AutoAdvance = 0;
  if (nVersion < kBgmKeepVersion) m_BgmKeepOnRetry = 0;
  if (nVersion < kBlockBoxVersion) {
    m_HeroBlockBox = {16, 24};
    m_HeroBlockBoxFly = {16, 16};
    m_HeroBlockBoxBottom = 1;
    m_HeroBlockBoxFlyBottom = 0;
    m_BoxShowBlock = 0;
    m_BoxColourBlock = 5;
    m_CharaBlockBox = {16, 30};
    m_CharaBlockBoxFly = {16, 30};
    m_CharaBlockBoxBottom = 1;
    m_CharaBlockBoxFlyBottom = 1;
  }
  if (nVersion < kReadyCaptionVersion) m_ShowReadyCaption = 0;
  if (nVersion < kVarNamesVersion) m_VarNames.resize(kStageVarCount);
}

// ---- writing ----------------------------------------------------------------------

void cStageData::Write(cByteWriter& out) {
  Normalize();
  WriteHeadParts(out);
  WriteDefinitionLists(out);
  WriteTailParts(out);
}

void cStageData::WriteHeadParts(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteValueList(out, m_RankFlags);
  for (cStageArea& area : m_Areas) area.Write(out);
}

void cStageData::WriteDefinitionLists(cByteWriter& out) {
  const cPaletteContext palettes = PaletteContext();
  WriteBlockVector(out, m_PaletteBlocks, palettes);
  WriteCharaVector(out, m_PaletteCharas, palettes);
  WriteItemVector(out, m_PaletteItems, palettes);
  WritePlacements(out, m_PlacedBlocks, palettes);
  WritePlacements(out, m_PlacedCharas, palettes);
  WritePlacements(out, m_PlacedItems, palettes);
}

void cStageData::WriteTailParts(cByteWriter& out) {
  WriteBgLayerVector(out, m_BgLayers);
  WriteStageVarInfoVector(out, m_VarNames);
  if (out.Version() >= kStageTrailerVersion) out.WriteU32(STAGE_TRAILER);
}

void cStageData::SaveForReplay(cByteWriter& out, cStageData& asStarted) {
  Normalize();
  asStarted.WriteHeadParts(out);
  WriteDefinitionLists(out);
  asStarted.WriteTailParts(out);
}

// ---- repairs ----------------------------------------------------------------------

void cStageData::Normalize() {
  m_ScrollLimitLeft = CapAt(m_ScrollLimitLeft, int64_t{m_Width} - kScreenCellsX);
  m_ScrollLimitRight = CapAt(m_ScrollLimitRight, int64_t{m_Width} - 1);
  m_ScrollLimitTop = CapAt(m_ScrollLimitTop, int64_t{m_Height} - kScreenCellsY);
  m_ScrollLimitBottom = CapAt(m_ScrollLimitBottom, int64_t{m_Height} - 1);
  ApplyHitLevel(m_HitLevel);
  // Compared unsigned: a negative index is out of range as well.
  if (static_cast<std::uint32_t>(m_Bgm) >= g_Database.m_Bgms.size()) m_Bgm = 0;
  PadPalettes();
  ValidateDefinitions();
}

void cStageData::PadPalettes() {
  // A list that was empty gets the "none" definition as its entry 0, as a list
  // read from a file has it.
  const bool bNoBlocks = m_PaletteBlocks.empty();
  const bool bNoCharas = m_PaletteCharas.empty();
  const bool bNoItems = m_PaletteItems.empty();
  PadPaletteLists(m_PaletteBlocks, m_PaletteCharas, m_PaletteItems);
  if (bNoBlocks) m_PaletteBlocks[0].ResetToNone();
  if (bNoCharas) m_PaletteCharas[0].ResetToNone();
  if (bNoItems) m_PaletteItems[0].ResetToNone();
}

void cStageData::ValidateDefinitions() {
  const cPaletteContext palettes = PaletteContext();
  RepairDefinitions(m_PaletteBlocks, palettes);
  RepairDefinitions(m_PlacedBlocks, palettes);
  RepairDefinitions(m_PaletteCharas, palettes);
  RepairDefinitions(m_PlacedCharas, palettes);
  RepairDefinitions(m_PaletteItems, palettes);
  RepairDefinitions(m_PlacedItems, palettes);
}

void cStageData::ApplyHitLevel(int nLevel) {
  // A level of 0 or below would leave no sub-step (and divide by zero); a huge
  // one would run a huge sub-step loop every frame.
  nLevel = std::clamp(nLevel, kMinHitLevel, kMaxHitLevel);
  m_HitLevel = nLevel;
  const bool bShared = nLevel >= 11 && nLevel <= 19;
  const int b = bShared ? nLevel - 10 : nLevel;
  m_SubSteps = b;
  m_SubStepsF = b;
  m_SubStepsSq = static_cast<double>(b) * b;
  m_TicksPerTenth = 6 * b;
  m_BlockTimeout = 8 * b;
  m_SpeedLimit = bShared ? 60.0 : 6.0 * b;
  m_SpeedLimitStep = m_SpeedLimit / b;
  m_GravityStep = m_Gravity / (static_cast<double>(b) * b);
}

// ---- queries and copies ---------------------------------------------------------------

int cStageData::FindHero() const {
  const int count = static_cast<int>(m_PlacedCharas.size());
  for (int i = 0; i < count; ++i) {
    const cCharaData& chara = m_PlacedCharas[i];
    if (chara.m_nGraphic != 0 && chara.m_nOperator == CHARA_BY_PLAYER) return i;
  }
  return -1;
}

void cStageData::CopyStartParts(cStageData& from) {
  if (&from == this) return;
  CopyFrom(from);
  m_BgLayers = from.m_BgLayers;
  m_VarNames = from.m_VarNames;
  for (int i = 0; i < kStageAreaCount; ++i) m_Areas[i] = from.m_Areas[i];
  m_RankFlags = from.m_RankFlags;
}

void cStageData::ClearDefinitionLists() {
  m_PaletteBlocks.clear();
  m_PaletteCharas.clear();
  m_PaletteItems.clear();
  m_PlacedBlocks.clear();
  m_PlacedCharas.clear();
  m_PlacedItems.clear();
}

// ---- loading a stage for play -----------------------------------------------------------

int CheckStageTrailer(std::string_view path) {
  cByteReader in;
  if (!OpenDataRead(path, in)) return 1;
  if (in.Version() < kTrailerCheckVersion) return 1;
  // The reader holds the whole file, its position just past the version word.
  std::uint32_t trailer = 0;
  if (in.Remaining() >= 4 && in.Skip(in.Remaining() - 4)) trailer = in.ReadU32();
  if (trailer == STAGE_TRAILER) return 1;
  ErrorBoxf("ステージファイル %s が破損しています！", std::string(path).c_str());
  PostCloseToMainWindow();
  return 0;
}

namespace {

// What the loading worker and its caller share. The worker holds it too, so
// it stays alive even when the caller gives the worker up.
struct cStageLoadJob {
  std::string m_strPath;
  cStageData m_Stage;
  std::atomic<int> m_nLoaded{0};
};

// The worker body: reads the stage file into the job's stage.
std::uint32_t StageLoadThread(void* argument) {
  std::unique_ptr<std::shared_ptr<cStageLoadJob>> holder(static_cast<std::shared_ptr<cStageLoadJob>*>(argument));
  cStageLoadJob& job = **holder;
  if (!cDataRecord::LoadFile(job.m_Stage, job.m_strPath)) return 0;
  job.m_Stage.m_Loaded = 1;
  job.m_nLoaded = 1;
  return 1;
}

// Keeps the caller's messages flowing until the worker has ended. False when
// WM_QUIT was taken meanwhile (it is posted again for the caller's own loop).
bool DispatchWhileLoading(cThread& worker) {
  while (worker.IsRunning()) {
    MSG msg{};
    if (!plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      plat::WaitMessage(1);
      continue;
    }
    if (msg.message == WM_QUIT) {
      LogPrintf("msg.message == WM_QUIT");
      worker.Exit();
      plat::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    plat::DispatchMessage(&msg);
  }
  return true;
}

}  // namespace

int LoadStageForPlayOn(std::string_view path, bool bResolve, cStageData* pTarget, cStageData& stage,
                       cThread& worker) {
  std::string strPath(path);
  if (bResolve && !FindLastNumberedFile(strPath, path, g_FileExtensions[EXT_STAGE])) return 0;
  ToRelativePath(strPath);
  if (!CheckStageTrailer(strPath)) return 0;

  auto job = std::make_shared<cStageLoadJob>();
  job->m_strPath = strPath;
  auto* argument = new std::shared_ptr<cStageLoadJob>(job);
  if (!worker.Start(StageLoadThread, argument)) {
    delete argument;
  } else {
    if (!DispatchWhileLoading(worker)) return 0;
    worker.Exit();
  }

  if (job->m_nLoaded == 0) {
    ErrorBoxf("ステージファイル %s の読み込みに失敗しました！", strPath.c_str());
    return 0;
  }
  if (!job->m_Stage.HasHero()) {
    ErrorBox("主人公が配置されていないのでプレイできません！");
    PostCloseToMainWindow();
    return 0;
  }
  stage = std::move(job->m_Stage);
  stage.m_Path = strPath;
  stage.m_Loaded = 1;
  if (pTarget != nullptr && pTarget != &stage) {
    pTarget->CopyStartParts(stage);
    pTarget->ClearDefinitionLists();
  }
  return 1;
}

#pragma once
// cStageData: one stage. Its settings (map size, scrolling, time limit, music,
// the hit-detection level and the sub-step values derived from it, the hit-box
// sizes, captions, carry-over of status), its own palette of block, character
// and item definitions, the blocks, characters and items placed on its map, its
// background layers and the names of its stage variables.
//
// A stage file (data\stg4\NAME.stg4_NNN) is a data file holding one stage:
//   u32 data version; the header record (the registered members below);
//   u32 n + n i32: m_RankFlags; the five areas;
//   three palette lists (u32 n + records): blocks, characters, items;
//   three placement lists (u32 n, then per element a u32 tag, written 0 and
//   ignored on reading, and the record): blocks, characters, items;
//   u32 n + layers; u32 n + variable names;
//   from version 173 on, the trailer u32 STAGE_TRAILER, checked from 174 on.
//
// The player only reads stage files; it writes a stage into replay files
// (SaveForReplay). Reading applies the upgrade steps of older versions and
// Normalize, which repairs what the editor could leave out of range.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "core/Thread.h"
#include "data/BgLayer.h"
#include "data/BlockData.h"
#include "data/CharaData.h"
#include "data/DataRecord.h"
#include "data/ItemData.h"
#include "data/PaletteContext.h"
#include "data/StageArea.h"
#include "data/StageVarInfo.h"


// The last word of every stage file of version 173 and later.
inline constexpr std::uint32_t STAGE_TRAILER = 123456789;
// Files of this version and later end with the trailer.
inline constexpr int kStageTrailerVersion = 173;

// The lists a stage always holds at these sizes, whatever its file held.
inline constexpr int kStageRankFlagCount = 5;
inline constexpr int kStageVarCount = 1000;
inline constexpr int kStageAreaCount = 5;

// The hit levels a stage may have. The editor writes 1 to 19; a level of 20
// or more gives that many sub-steps, up to the cap.
inline constexpr int kMinHitLevel = 1;
inline constexpr int kMaxHitLevel = 100;

// The removal areas of a stage (m_Areas).
enum eStageArea : int {
  STAGE_AREA_CHARAS = 0,          // characters that are not block characters
  STAGE_AREA_BLOCK_CHARAS = 1,    // block characters
  STAGE_AREA_ITEMS = 2,           // items
  STAGE_AREA_PLAYER_SHOTS = 3,    // shots fired by player-operated characters
  STAGE_AREA_COMPUTER_SHOTS = 4,  // shots fired by computer-operated characters
};

// A box size in dots: two members of the header, width then height.
struct cBoxSize {
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
};

class cStageData : public cDataRecord {
 public:
  // The defaults of Reset.
  cStageData();

  // Every header member at its default, the six definition lists emptied and
  // each palette list given its "none" entry, one shown layer, five rank
  // flags of 1, the five default areas, no variable names.
  void Reset();
  // The box sizes, placements and reserved values of the header (the box
  // display settings are left).
  void SetHitBoxDefaults();

  void RegisterMembers(int nVersion) override;
  // The stage form, the upgrade steps of older versions, then Normalize. The
  // palette entries that inherit from the stage palette take it from this
  // stage, whichever stage is being read. A file of version 173 or later whose
  // trailer does not follow the lists is refused.
  bool Read(cByteReader& in) override;
  // Normalize, then the stage form in the writer's version (the trailer from
  // version 173 on; every placement tag 0).
  void Write(cByteWriter& out) override;

  // Repairs: scroll limits capped to the map (no lower bound), the derived
  // members recomputed from this stage's hit level (levels outside
  // kMinHitLevel..kMaxHitLevel and frame rates below 1 are repaired first),
  // a music index beyond the Bgm database dropped, each palette list padded to
  // two entries, rank flags and variable names brought to their fixed sizes,
  // and every palette and placement element validated.
  void Normalize();
  // Stores the level and computes the sub-step values from it: levels 11 to
  // 19 give level - 10 sub-steps sharing a speed limit of 60 dots per frame;
  // any other level L gives L sub-steps with 6 dots per sub-step.
  void ApplyHitLevel(int nLevel);

  // Writes the stage as a replay holds it: the header, rank flags, areas,
  // layers and variable names of `asStarted` (the stage as it was loaded) and
  // the palette and placement lists of this stage, then the trailer.
  void SaveForReplay(cByteWriter& out, cStageData& asStarted);

  // Index in m_PlacedCharas of the first placed character operated by the
  // player that has a graphic; -1 when there is none.
  int FindHero() const;
  bool HasHero() const { return FindHero() != -1; }

  // Copies the parts a stage start restores from the stage as loaded: the
  // header, the rank flags, the five areas, the layers and the variable names.
  // The definition lists are left as they are.
  void CopyStartParts(cStageData& from);
  // Empties the six definition lists.
  void ClearDefinitionLists();

  // The palettes this stage's definitions resolve their references against:
  // the common palette g_CommonPalette, this stage's own palette lists, and
  // g_Database.
  cPaletteContext PaletteContext() const;

  // ---- header (registered members, in file order) ----
  std::string m_Name;
  int32_t m_Width = 0;
  int32_t m_Reserved1 = 0;
  int32_t m_Reserved2 = 0;
  int32_t m_Height = 0;
  int32_t m_ScrollLimitLeftOn = 0;
  int32_t m_ScrollLimitRightOn = 0;
  int32_t m_ScrollLimitTopOn = 0;
  int32_t m_ScrollLimitBottomOn = 0;
  int32_t m_ScrollLimitLeft = 0;
  int32_t m_ScrollLimitRight = 0;
  int32_t m_ScrollLimitTop = 0;
  int32_t m_ScrollLimitBottom = 0;
  int32_t m_Fps = 60;
  int32_t m_TimeLimitOn = 0;
  int32_t m_TimeLimit = 200;
  int32_t m_TimeWarning = 20;
  int32_t m_AutoScrollX = 0;
  int32_t m_AutoScrollY = 0;
  int32_t m_AutoScrollSpeedX = 0;
  int32_t m_AutoScrollSpeedY = 0;
  double m_Gravity = 0.4;
  int32_t m_HitLevel = 10;
  int32_t m_ContactChecks = 0;
  int32_t m_Bgm = 0;
  int32_t m_BgmLoop = 0;         // from version 166
  int32_t m_BgmKeepOnRetry = 0;  // from version 199
  int32_t m_Layered = 1;
  int32_t m_RestoreStatus = 0;
  int32_t m_StoreStatus = 0;
  int32_t m_ShowHud = 1;       // from version 183
  int32_t m_AutoAdvance = 0;   // from version 184
  int32_t m_ShowStageCaption = 0;
  int32_t m_ShowReadyCaption = 1;  // from version 225
  int32_t m_ShowClearCaption = 1;
  int32_t m_ShowGameOverCaption = 1;
  cBoxSize m_HeroBlockBox;     // from version 200
  cBoxSize m_HeroBlockBoxFly;  // from version 200
  cBoxSize m_HeroCharaBox;
  cBoxSize m_HeroCharaBoxFly;  // from version 155
  cBoxSize m_HeroShotBox;
  cBoxSize m_HeroItemBox;
  int32_t m_HeroBlockBoxBottom = 1;      // from version 200
  int32_t m_HeroBlockBoxFlyBottom = 0;   // from version 200
  int32_t m_HeroCharaBoxBottom = 1;      // from version 155
  int32_t m_HeroCharaBoxFlyBottom = 0;   // from version 155
  int32_t m_BoxShowBlock = 0;            // from version 200
  int32_t m_BoxShowChara = 0;
  int32_t m_BoxShowShot = 0;
  int32_t m_BoxShowItem = 0;
  int32_t m_BoxColourBlock = 0;          // from version 200
  int32_t m_BoxColourChara = 0;
  int32_t m_BoxColourShot = 0;
  int32_t m_BoxColourItem = 0;
  cBoxSize m_CharaBlockBox;     // from version 200
  cBoxSize m_CharaBlockBoxFly;  // from version 200
  cBoxSize m_CharaCharaBox;
  cBoxSize m_CharaCharaBoxFly;  // from version 155
  cBoxSize m_CharaShotBox;
  int32_t m_CharaBlockBoxBottom = 1;      // from version 200
  int32_t m_CharaBlockBoxFlyBottom = 0;   // from version 200
  int32_t m_CharaCharaBoxBottom = 1;      // from version 155
  int32_t m_CharaCharaBoxFlyBottom = 0;   // from version 155
  cBoxSize m_ItemBox;
  cBoxSize m_PlayerShotBox;
  cBoxSize m_Reserved3;
  cBoxSize m_ComputerShotBox;
  cBoxSize m_Reserved4;
  int32_t m_Reserved5 = 1;
  int32_t m_AreaLimitX = 0;
  int32_t m_AreaLimitY = 0;
  // Derived from m_HitLevel by ApplyHitLevel (stored, but always recomputed).
  int32_t m_SubSteps = 0;
  double m_SubStepsF = 0.0;
  double m_SubStepsSq = 0.0;
  // The sub-steps a frame runs, at least one: a stage whose hit level was
  // never applied must not divide by zero where a frame is split.
  int32_t SubStepsAtLeastOne() const { return m_SubSteps > 0 ? m_SubSteps : 1; }
  double SubStepsAtLeastOneF() const { return m_SubStepsF > 0.0 ? m_SubStepsF : 1.0; }
  double SubStepsSqAtLeastOne() const { return m_SubStepsSq > 0.0 ? m_SubStepsSq : 1.0; }
  double m_SpeedLimit = 0.0;
  double m_GravityStep = 0.0;
  double m_SpeedLimitStep = 0.0;
  int32_t m_BlockTimeout = 0;
  int32_t m_ContactOnScreenOnly = 1;
  int32_t m_PlayerHitGap = 30;
  int32_t m_PlayerNoHitTime = 0;
  int32_t m_ComputerHitGap = 30;
  int32_t m_ComputerNoHitTime = 0;

  // ---- lists and run-time values (not registered) ----
  // One flag per ranking value, in the order of the system data's ranking
  // genres: 1 = the stage keeps a ranking of that value.
  cSafeVector<int32_t> m_RankFlags;
  cStageArea m_Areas[kStageAreaCount];
  cSafeVector<cBlockData> m_PaletteBlocks;
  cSafeVector<cCharaData> m_PaletteCharas;
  cSafeVector<cItemData> m_PaletteItems;
  cSafeVector<cBlockData> m_PlacedBlocks;
  cSafeVector<cCharaData> m_PlacedCharas;
  cSafeVector<cItemData> m_PlacedItems;
  cSafeVector<cBgLayer> m_BgLayers;
  cSafeVector<cStageVarInfo> m_VarNames;
  // The stage file last loaded for play, relative to the working folder.
  std::string m_Path;
  // 1 once the stage-loading worker has read the file.
  int32_t m_Loaded = 0;
  // Sub-steps in a tenth of a second: 6 x m_SubSteps.
  int32_t m_TicksPerTenth = 0;

 private:
  void RegisterBox(cBoxSize& box);
  void RegisterBodyBoxes(int nVersion, cBoxSize& block, cBoxSize& blockFly, cBoxSize& chara, cBoxSize& charaFly,
                         cBoxSize& shot);
  void RegisterBoxBottoms(int nVersion, int32_t& block, int32_t& blockFly, int32_t& chara, int32_t& charaFly);
  void ReadLists(cByteReader& in);
  void ApplyUpgrades(int nVersion);
  void WriteHeadParts(cByteWriter& out);
  void WriteDefinitionLists(cByteWriter& out);
  void WriteTailParts(cByteWriter& out);
  void PadPalettes();
  void ValidateDefinitions();
};

// The stage being played, and the stage as it was loaded (without its
// definition lists), restored into g_Stage at every stage start. Defined
// with every global object in app/Globals.cpp.
extern cStageData g_Stage;
extern cStageData g_StageInitial;

// The trailer check made before a stage file is loaded: a file of version 174
// or later whose last 4 bytes are not STAGE_TRAILER is refused with the box
// "ステージファイル %s が破損しています！" and the main window is asked to
// close (0). A missing or unreadable file passes (1): the load that follows
// reports it.
int CheckStageTrailer(std::string_view path);

// Loads a stage file for play into `stage`, reading it on the worker thread
// while the calling thread keeps dispatching its messages.
//   - bResolve: the newest numbered version of the path ("<name>.stg4_NNN",
//     NNN from 999 down) is loaded; none found: 0, with no message.
//   - the trailer check; then the worker reads the file into a fresh stage.
//   - a file that does not read: the box "ステージファイル %s の読み込みに失敗しました！".
//   - a stage without a hero: the box "主人公が配置されていないのでプレイできません！"
//     and the main window is asked to close.
//   - WM_QUIT taken from the queue meanwhile: the worker is stopped, WM_QUIT is
//     posted again for the caller's loop, 0.
// Only a successful load changes `stage`: it becomes the stage read, with
// m_Path (relative to the working folder) and m_Loaded 1; then, with a target,
// the target gets its start parts and empty definition lists. Returns 1 or 0.
int LoadStageForPlayOn(std::string_view path, bool bResolve, cStageData* pTarget, cStageData& stage,
                       cThread& worker);

// The player's load: into g_Stage on thWorker2 (every caller passes
// g_StageInitial as the target).
// (Inline, so that programs that never load a stage for play need not define
// thWorker2.)
inline int LoadStageForPlay(std::string_view path, bool bResolve, cStageData* pTarget) {
  return LoadStageForPlayOn(path, bResolve, pTarget, g_Stage, thWorker2);
}

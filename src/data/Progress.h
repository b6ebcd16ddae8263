#pragma once
// cProgress: everything a game in progress carries from stage to stage and
// from one run of the player to the next: the walker's place on the world map
// and the cleared stages, the common variables, lives, score and the result
// counters, the best result of every stage played, the hero's status carried
// into the next stage, the story slot and the player name.
//
// The same record is stored in the 99 story save slots (StorySlots.h), in the
// challenge file "user_data\challenge\Challenge.dat" and at the end of every
// replay file. Record form, after the data file's version word:
//   the registered members (35 i32, 3 strings; see RegisterMembers),
//   16 bytes: the save time,
//   u32 n, n i32: the carry flags (files of version 501 and later),
//   u32 n, n cCharaStatus; u32 n, n cStageResult; u32 n, n cIntPair;
//   u32 n, n i32: the stage flags; u32 n, n i32: the common variables.
//
// Reading brings every list the game indexes to its fixed size and every value
// that picks a table entry (map cell, music, slot, genre, facing) into range,
// so a damaged or edited save can never make the game index past a table.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "data/CharaData.h"
#include "data/DataRecord.h"
#include "data/IntPair.h"
#include "data/SystemData.h"

class cStageData;
class cWorldMap;
class cWorldStage;

// ---- sizes and special values -------------------------------------------------

// Status groups: the parts of the hero's status the system data carries from
// one stage to the next (one carry flag, one carry-over and one reset byte per
// group). Not the inheritance groups of a character definition.
enum eStatusGroup : int {
  STATUS_GROUP_GRAPHIC = 0,       // graphic index, kind, row
  STATUS_GROUP_ANIME_SET = 1,
  STATUS_GROUP_Z = 2,
  STATUS_GROUP_TRANSPARENT = 3,
  STATUS_GROUP_SPAWN_EFFECT = 4,  // spawn chara effect, its list, its start value
  STATUS_GROUP_FACING_LOCK = 5,
  STATUS_GROUP_FLYING = 6,
  STATUS_GROUP_INVINCIBLE = 7,
  STATUS_GROUP_SCALE = 8,
  STATUS_GROUP_SCROLL_SYNC = 9,
  STATUS_GROUP_LIGHT = 10,        // light shape, sight
  STATUS_GROUP_HP = 11,           // current HP
  STATUS_GROUP_SP = 12,           // current SP
  STATUS_GROUP_MHP = 13,
  STATUS_GROUP_MSP = 14,
  STATUS_GROUP_HIT_RANGE = 15,
  STATUS_GROUP_POWER = 16,
  STATUS_GROUP_IMP = 17,
  STATUS_GROUP_DEF = 18,
  STATUS_GROUP_IMPD = 19,
  STATUS_GROUP_STOP = 20,
  STATUS_GROUP_FLOWS = 21,
  STATUS_GROUP_TIME_LEFT = 22,    // remaining time of the stage's time limit
  STATUS_GROUP_LIVES = 23,
  STATUS_GROUP_MUSIC = 24,        // the playing music
  STATUS_GROUP_COUNT = kStatusGroupCount,
};

inline constexpr int kStageFlagCount = 1000;
// Common variables of a fresh record; files older than kCommonVarResizeVersion
// are brought to kOldCommonVarCount instead (one fewer, as they always were).
inline constexpr int kCommonVarCount = 1001;
inline constexpr int kOldCommonVarCount = 1000;
inline constexpr int kCommonVarResizeVersion = 754;
// The version from which the carry flags are stored.
inline constexpr int kCarryFlagVersion = 501;
// The version from which the carried start position (m_bHeroStartSet and its
// cell) is stored.
inline constexpr int kHeroStartVersion = 678;
// Lives of this value are infinite (shown as "-").
inline constexpr std::int32_t kInfiniteLives = 999999;

// Play modes: the index of every per-mode list of the system data (the scene
// manager's play level). Test play is flagged apart (g_TestPlay).
enum ePlayMode : int {
  PLAY_MODE_STORY = 0,
  PLAY_MODE_CHALLENGE = 1,
  PLAY_MODE_FREE = 2,  // stage select and stage files
  PLAY_MODE_REPLAY = 3,
};

// ---- save time ------------------------------------------------------------------

// The moment of a save, stored as 8 u16: year, month, day of week (0 Sunday),
// day, hour, minute, second, milliseconds.
struct cSaveTime {
  std::uint16_t m_wYear = 0;
  std::uint16_t m_wMonth = 0;
  std::uint16_t m_wDayOfWeek = 0;
  std::uint16_t m_wDay = 0;
  std::uint16_t m_wHour = 0;
  std::uint16_t m_wMinute = 0;
  std::uint16_t m_wSecond = 0;
  std::uint16_t m_wMilliseconds = 0;

  bool operator==(const cSaveTime&) const = default;
};

// The local time now.
cSaveTime GetLocalSaveTime();

// ---- element records ------------------------------------------------------------

// The best result of one stage (or one variant of a stage).
class cStageResult : public cDataRecord {
 public:
  cStageResult() { Clear(); }

  // Plain: variant [759], variant variable [759], variant value [759], best
  // score; strings: stage name, key [759].
  void RegisterMembers(int nVersion) override;
  // Files below 759: the key becomes the stage name, the variant 0.
  bool Read(cByteReader& in) override;

  std::string m_strStageName;  // the cut stage name ("abc.")
  std::string m_strKey;        // the result key (the stage name, or its variant key)
  std::int32_t m_bVariant = 0;
  std::int32_t m_nVariantVar = 0;
  std::int32_t m_nVariantValue = 0;
  std::int32_t m_nBestScore = 0;
};

// The hero's status kept for the next stage: the carried character values and
// the numbers of the running game.
class cCharaStatus : public cDataRecord {
 public:
  cCharaStatus() { Clear(); }

  // HP, SP, time left, lives, music (no gates).
  void RegisterMembers(int nVersion) override;
  // The base record, then the character record.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  cCharaData m_Chara;
  std::int32_t m_nHp = 0;
  std::int32_t m_nSp = 0;
  std::int32_t m_nTimeLeft = 0;
  std::int32_t m_nLives = 0;
  std::int32_t m_nBgm = 0;
};

// ---- the progress record ------------------------------------------------------

class cProgress : public cDataRecord {
 public:
  // Registered at DATA_VERSION; ResetFreeRun.
  cProgress() { ResetFreeRun(); }

  // The state of a fresh run: Clear; 25 carry flags 0; one default status;
  // 1000 stage flags 0 but flag 0 = 1; 1001 common variables 0; no results and
  // no stage-number results; 1 stage open; no slot (-1); player name "aaa".
  void ResetFreeRun();
  // The same as ResetFreeRun.
  void Reset() { ResetFreeRun(); }
  // The stored statuses become `count` default statuses.
  void ResetStatusList(int count);

  void RegisterMembers(int nVersion) override;
  // The eight parts, the upgrades of older files, then Normalize. Every list
  // the game indexes by a fixed range is padded or cut to its size: 25 carry
  // flags, at least one status, 1000 stage flags, and 1001 common variables
  // (1000 for files older than 754 and for the current files saved from them).
  bool Read(cByteReader& in) override;
  // Normalize, then the eight parts.
  void Write(cByteWriter& out) override;

  // Brings the record into a state the game can use: a map cell off the world
  // map becomes its start cell (the previous cell: the current one); the stage
  // number results follow the system data's count; stages opened at most that
  // count; the playing music a Bgm database entry (else 0); the slot -1 or
  // 0..98; the ranking genre 0..4; the walker facing 0..3; the variant
  // variable a common variable (else 0); lives 0..999999.
  void Normalize();

  // ---- save files --------------------------------------------------------------

  // Saves the record into story slot n (0..98): the save time becomes the local
  // time, the file is written through the atomic writer and, only when that
  // worked, header n of g_StorySlots takes the save time and becomes used.
  // False, with a report line, when the slot is out of range, when a checked
  // container failed in this process (nothing is written) or when the file
  // could not be written (the old file and the header stay as they were, and
  // so does the record's save time).
  bool SaveStory(int nSlot);
  // Loads story slot n, then the lives rule of play mode 0. False, with a
  // report line and the record unchanged, when the slot is out of range or its
  // file is missing or damaged.
  bool LoadStory(int nSlot);
  // Loads "user_data\challenge\Challenge.dat", then the lives rule of play
  // mode 1. False, the record unchanged, when there is no such file (no report
  // line: there is none before the first challenge) or it is damaged (a report
  // line).
  bool LoadChallenge();
  // Saves the record into "user_data\challenge\Challenge.dat", refused and
  // reported as SaveStory is.
  bool SaveChallenge();

  // The lives rule after a load: with infinite lives in the play mode, start
  // lives and lives become 999999; otherwise lives of 999999 become the mode's
  // initial lives.
  void ApplyLoadedLives(int nPlayMode);

  // ---- stage names and results --------------------------------------------------

  // Stores the stage name cut after its base ("abc-1.stg4" and "abc.stg4" give
  // "abc.", a name with no "." gives ""), the variant values, the series flag
  // (1 when the name held "-1") and the result key.
  void SetStageName(std::string_view name, int bVariant, int nVariantVar, int nVariantValue);
  // Keeps the best score of the key: a new key is added (and its score added to
  // the best total), a better score replaces the old one (the difference added).
  void RecordStageResult(const std::string& stageName, const std::string& key, int bVariant, int nVariantVar,
                         int nVariantValue, int nScore);
  // The best score kept for the key; 0 when there is none.
  std::int32_t GetStageResult(std::string_view key) const;
  // Best total = the sum of the best scores of the stages still on the map.
  void RecalcTotal(const cWorldMap& map);
  void RecalcTotal();

  // ---- stage start and retry ------------------------------------------------------

  // Keeps the common variables, lives and score of the stage's start.
  void SaveStageStart();
  // Retry (the stage restarts): common variables, lives and score go back to
  // the start. Leaving the stage: the score goes back, and the common
  // variables too when the play mode's reload flag is set (test play has its
  // own flag; play modes without one count as set).
  void RestoreStageStart(bool bRetry, int nPlayMode, bool bTestPlay);

  // ---- carried status -------------------------------------------------------------

  // At a stage clear, for hero slot n: stores every group the system data
  // carries over and sets its carry flag. A slot beyond the stored statuses
  // grows the list (up to kMaxStatusSlots); a negative slot stores nothing.
  void StoreStatus(int nSlot, const cCharaData& chara, int nHp, int nSp, int nSpawnEffect, int nSpawnEffectList,
                   int nSpawnEffectValue, int nTimeLeft, int nLives, int nBgm);
  // At the next stage's set-up: copies the carried groups (other than HP and
  // SP) back into the character, the stage's time limit and music, and lives.
  // Nothing for a slot without a stored status.
  void RestoreStatus(int nSlot, cCharaData& chara, cStageData& stage);
  // HP and SP when they are carried; the outputs are left alone otherwise.
  void RestoreHpSp(int nSlot, int& nHp, int& nSp) const;
  // Drops the carry flags of the groups the system data resets on a lost life.
  void ResetCarryFlags();

  // Lap + 1, every stage flag 0, the walker at the map's start cell.
  void StartNextLap(const cWorldMap& map);
  // Moves the ranking genre over the genres enabled for the play mode: steps
  // > 0 forward, < 0 backward, 0 onto the nearest enabled genre from here.
  void StepRankGenre(int nPlayMode, int nSteps);
  // Score and the four result counters = 0.
  void ClearStageCounters();

  // The most hero slots a status is kept for.
  static constexpr int kMaxStatusSlots = 16;

  // ---- members --------------------------------------------------------------------
  // Registered members, in file order (a version in brackets: stored from then).
  std::int32_t m_bStatusStored = 0;  // 1 once StoreStatus ran
  std::int32_t m_nMapX = 0;          // the walker's cell
  std::int32_t m_nMapY = 0;
  // The world-map stage entry the stage was entered from; run time only (its
  // 32-bit slot in the file is written as 0 and skipped when read).
  const cWorldStage* m_pWorldStage = nullptr;
  std::int32_t m_nRound = 0;         // lap: times the story started again
  std::int32_t m_bVariant = 0;       // [758] the stage is played with a common variable preset
  std::int32_t m_nVariantVar = 0;    // [758] the common variable set at the stage's start
  std::int32_t m_nVariantValue = 0;  // [758] the value given to it
  std::int32_t m_nStageNo = 0;       // world-map flag number, or 1-based stage number
  std::int32_t m_nSeriesNo = 0;      // the number within a stage series
  std::int32_t m_nLivesAtStart = 0;  // lives at the stage's start
  std::int32_t m_nLives = 0;         // remaining lives; kInfiniteLives = infinite
  std::int32_t m_nStageScore = 0;    // score of the stage being played
  std::int32_t m_nScore = 0;         // score of the run
  std::int32_t m_nTotal = 0;         // best total: sum of the best scores
  std::int32_t m_nTimeLeftTotal = 0;
  std::int32_t m_nClearTimeTotal = 0;
  std::int32_t m_nHpLeftTotal = 0;   // [182]
  std::int32_t m_nSpLeftTotal = 0;   // [182]
  std::int32_t m_bSeries = 0;        // the stage name names the first stage of a series
  std::int32_t m_nBgm = 0;           // the Bgm database index requested last; 0 none
  std::int32_t m_bBgmLoop = 0;       // [166] the loop flag sent with it
  std::int32_t m_nFacing = 0;        // [194] the walker's last move: 0 down, 1 up, 2 left, 3 right
  std::int32_t m_bBackToMap = 0;     // [190] go back: the walker returns to its previous cell
  std::int32_t m_nPrevMapX = 0;      // [191]
  std::int32_t m_nPrevMapY = 0;      // [191]
  std::int32_t m_nOpenStages = 1;    // stage numbers open in stage select
  std::int32_t m_nStorySlot = -1;    // the slot loaded from or last saved to; -1 none
  std::int32_t m_bAutoSave = 0;      // [169]
  std::int32_t m_bShowRanking = 0;
  std::int32_t m_nRankGenre = 0;
  std::int32_t m_bHeroStartSet = 0;  // [678] the stage-clear command named the next start
  std::int32_t m_nHeroStartX = 0;    // [678]
  std::int32_t m_nHeroStartY = 0;    // [678]
  std::int32_t m_nHeroStartFacing = 0;  // [679] 0 left, 1 right
  std::string m_strStageName;        // the cut stage name
  std::string m_strResultKey;        // [724]
  std::string m_strPlayerName;       // "aaa" after a reset

  // Appended after the registered members.
  cSaveTime m_SaveTime;
  cSafeVector<std::int32_t> m_CarryFlags;    // one per status group
  cSafeVector<cCharaStatus> m_Statuses;      // one per hero slot
  cSafeVector<cStageResult> m_Results;       // best result of every stage played
  cSafeVector<cIntPair> m_StageNumbers;      // per stage number: {cleared, best score}
  cSafeVector<std::int32_t> m_StageFlags;    // flag n set: stage with flag n cleared
  cSafeVector<std::int32_t> m_CommonVars;

  // Run time only.
  cSafeVector<std::int32_t> m_SavedCommonVars;  // at the stage's start
  std::int32_t m_nSavedLives = 0;
  std::int32_t m_nSavedScore = 0;

 private:
  void ApplyUpgrades(int nVersion);
  void FixListSizes(int nVersion);
  bool SaveProgressFile(std::string_view path);
};

// With the variant flag set, turns the key into its variant key: a trailing
// "." is taken off, "_c", the variable in three digits, "_" and the value are
// appended, and the dot comes back ("abc." with 5 and 3 gives "abc_c005_3.").
// Without the flag the key stays.
void MakeDerivedStageName(std::string& key, int bVariant, int nVariantVar, int nVariantValue);

// The running game and the copies kept for the replay files. Defined with every global object
// in app/Globals.cpp.
extern cProgress g_Progress;
extern cProgress g_ReplayRecProgress;
extern cProgress g_ReplayPrevProgress;

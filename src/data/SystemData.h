#pragma once
// cSystemData: the project-wide settings of a game, authored in the editor and
// read by the player from "data\System.dat": the window title, the transparent
// colour, the font face, the status display (HUD), lives and ranking rules per
// play mode, which status groups carry over between stages, the texts of the
// menus and of the 29 system messages, the system sound files, the music of
// the menu scenes, the keys of "System.ini", and the compatibility switches
// that keep games made with older versions behaving as they did.
//
// There is one instance, g_System. It holds its defaults from construction;
// start-up loads the file into it once (LoadSystemData) and every subsystem
// reads it. The player never writes the file; Write exists for the record's
// symmetry, for the sample-game generator and for tests (which also write
// older versions of it).
//
// Every list has a fixed size (the k...Count constants below). Reading pads or
// trims each list to its size after the upgrades, so code may index any
// position below the size without a check; values that index tables later (the
// scene music, the font face, the stage-number count) are brought into range.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "data/Cmd.h"
#include "data/DataRecord.h"
#include "data/FontNameTable.h"
#include "graphics/Surface.h"

// ---- fixed list sizes ----------------------------------------------------------

inline constexpr int kStatusGroupCount = 25;    // carry-over and reset-on-miss groups
inline constexpr int kHudItemCount = 5;          // score, stage score, HP gauge, SP gauge, lives
inline constexpr int kPlayModeCount = 4;         // 0 story, 1 challenge, 2 free play, 3 replay
inline constexpr int kRankGenreCount = 5;        // score, time left, clear time, HP left, SP left
inline constexpr int kSystemSoundCount = 17;     // system sound slots 0 to 16
inline constexpr int kSceneBgmCount = 4;         // title, world map, stage select, options
inline constexpr int kSystemMessageCount = 29;
inline constexpr int kTitleMenuCount = 7;
inline constexpr int kMapMenuCount = 4;
inline constexpr int kOptionMenuCount = 6;
inline constexpr int kRankModeCount = 4;
inline constexpr int kIniKeyListCount = 10;      // the keys of "System.ini"

// The largest stage-number count of stage-select play the player accepts (the
// progress record makes one result per stage number).
inline constexpr int kMaxStageNumbers = 9999;

// HUD items by position.
enum eHudItem : int { HUD_SCORE = 0, HUD_STAGE_SCORE = 1, HUD_HP = 2, HUD_SP = 3, HUD_LIVES = 4 };

// System messages by position (see kDefaultSystemMessages for the texts).
enum eSystemMessage : int {
  MSG_WORLD = 0,
  MSG_STAGE = 1,
  MSG_MAP_SCORE = 2,
  MSG_HIGH_SCORE = 3,
  MSG_TOTAL_SCORE = 4,
  MSG_GENRE_FIRST = 5,  // 5 to 9: the captions of the five ranking genres
  MSG_ENTER_STAGE = 10,
  MSG_MAP_CANCEL = 11,
  MSG_SAVE = 12,
  MSG_SAVE_CANCEL = 13,
  MSG_AUTOSAVE_ON = 14,
  MSG_AUTOSAVE_OFF = 15,
  MSG_NO_SAVE_SLOT = 16,
  MSG_TO_TITLE = 17,
  MSG_CANCEL = 18,
  MSG_PAUSE_FIRST = 19,  // 19 to 22: pause menu entries 0 to 3
  MSG_RETRY = 23,
  MSG_BACK_TO_MAP = 24,
  MSG_SWITCH_GENRE = 25,
  MSG_RANKING_TO_TITLE = 26,
  MSG_RANKING_END = 27,
  MSG_ENTER_RANKING = 28,
};

// The texts a fresh system data holds, by message position.
extern const std::array<const char*, kSystemMessageCount> kDefaultSystemMessages;

// ---- element records -------------------------------------------------------------

// One item of the status bar.
class cHudItem : public cDataRecord {
 public:
  cHudItem() { Clear(); }

  void RegisterMembers(int nVersion) override;
  // Items of files older than 204 get show value 1.
  bool Read(cByteReader& in) override;

  std::int32_t m_bShown = 0;
  std::int32_t m_bIcon = 0;          // 1: a 16-dot icon instead of the label
  std::string m_strLabel;
  std::int32_t m_bShowValue = 0;     // gauges: the number over the gauge
  std::int32_t m_nValueCells = 0;    // width of the value in 16-dot cells
  std::int32_t m_nWarningLevel = 0;  // a gauge turns to its warning colour at or below this
  std::int32_t m_bWarningPercent = 0;  // 1: the warning level is a percentage of the maximum
};

// The ranking setting of one play mode.
class cRankGenreSet : public cDataRecord {
 public:
  cRankGenreSet() { Clear(); }

  void RegisterMembers(int nVersion) override;
  // The base record, then u32 n and n genre bytes.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  std::int32_t m_bRankingOn = 0;
  cSafeVector<std::uint8_t> m_Genres;  // nonzero: rankings exist for that genre
};

// One key of "System.ini" with its default.
class cSystemIniKey : public cDataRecord {
 public:
  cSystemIniKey() { Clear(); }
  cSystemIniKey(std::string key, std::int32_t kind, std::int32_t number, std::string text = "")
      : m_nKind(kind), m_strKey(std::move(key)), m_nNumber(number), m_strText(std::move(text)) {}

  void RegisterMembers(int nVersion) override;

  std::int32_t m_nKind = 0;  // 0 a number, 1 a text
  std::string m_strKey;
  std::int32_t m_nNumber = 0;
  std::string m_strText;
};

// ---- the system data ---------------------------------------------------------------

class cSystemData : public cDataRecord {
 public:
  // The defaults of Reset.
  cSystemData();

  // Every default of a new game's system data.
  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form with its sixteen appended parts, then the upgrades of
  // files older than DATA_VERSION, then Normalize. Counts the file gives are
  // bounded by the bytes left; each list ends at its fixed size.
  bool Read(cByteReader& in) override;
  // Normalize, then the record form in out.Version() (older versions leave out
  // the parts they did not have).
  void Write(cByteWriter& out) override;

  // Brings every list to its fixed size (new entries fresh, surplus dropped)
  // and every value that indexes a table into range: a scene music index
  // outside the Bgm database becomes 0, a font face outside FontNameTable the
  // default face, the stage-number count is held within 0..kMaxStageNumbers.
  // `bgmCount` is the number of Bgm database entries (g_Database's by default).
  void Normalize();
  void Normalize(int bgmCount);

  // 0 when rankings are off for the play mode; else the number of its genres
  // that are on. A play mode outside 0..3 takes the checked-access path.
  int CountRankGenres(int playMode) const;

  // ---- members, in the order of the class ----
  std::string m_strTitle;                         // the window title; "" keeps the player's own
  cSafeVector<std::uint8_t> m_CarryOver;          // 25: the group carries over to the next stage
  cSafeVector<std::uint8_t> m_ResetOnMiss;        // 25: the carried group is dropped on a lost life
  std::int32_t m_bExtraLives = 0;                 // the score earns extra lives
  std::int32_t m_nExtraLifeScore = 0;             // one life each time the score crosses a multiple
  std::int32_t m_bPauseView = 0;                  // paused: only the picture layers are drawn
  std::int32_t m_bNoSymbols = 0;                  // the 16-dot font's symbol switch
  std::int32_t m_nFontFace = 0;                   // index into FontNameTable
  std::int32_t m_bFontCentre = 0;                 // the 16-dot font's glyph-centring switch
  std::int32_t m_bReplay = 0;                     // key input is recorded for replays
  std::int32_t m_bKeepFlows = 0;                  // flows flagged for removal at load stay
  cSafeVector<cHudItem> m_HudItems;               // 5, by eHudItem
  std::int32_t m_bTitlePictures = 0;              // the title menu is drawn from its bitmap
  tCmdList m_TitleMenu;                           // 7
  tCmdList m_MapMenu;                             // 4: save, autosave, back, to the title
  tCmdList m_OptionMenu;                          // 6: the position selects the option
  cSafeVector<std::string> m_RankModeNames;       // 4
  std::int32_t m_bCarryLives = 0;                 // the world map enters stages with the lives left
  std::int32_t m_bRetryPrompt = 0;                // story: a lost life leads to the retry prompt
  std::int32_t m_bMapShowLives = 0;               // the world map shows the lives
  std::int32_t m_nStageCount = 0;                 // stage numbers of stage-select play
  std::int32_t m_bAllStages = 0;                  // stage select offers every stage number
  cSafeVector<std::int32_t> m_Lives;              // 4: initial lives per play mode
  cSafeVector<std::int32_t> m_InfiniteLives;      // 4: nonzero: lives are 999999
  cSafeVector<cRankGenreSet> m_RankGenreSets;     // 4, per play mode
  std::int32_t m_bMapShowBest = 0;                // the world map shows the stage's best score
  std::int32_t m_bMenuShowTotal = 0;              // the map menu shows the best total
  std::int32_t m_bStoryReload = 0;                // leaving a stage restores the common variables
  std::int32_t m_bChallengeReload = 0;
  std::int32_t m_bFreeReload = 0;
  std::int32_t m_bTestReload = 0;
  std::int32_t m_bStoryRetry = 0;                 // the story pause menu offers retry
  std::int32_t m_bStoryBackToMap = 0;             // the story pause menu offers the way back to the map
  std::int32_t m_bChallengeRetry = 0;
  std::int32_t m_bSelectShowBest = 0;             // stage select shows each best score
  std::int32_t m_bSelectShowTotal = 0;            // stage select shows the best total
  std::int32_t m_bTransparent = 0;                // the transparent colour is the RGB below
  std::uint8_t m_nTransparentRed = 0;
  std::uint8_t m_nTransparentGreen = 0;
  std::uint8_t m_nTransparentBlue = 0;
  cSafeVector<std::string> m_SystemSounds;        // 17: wave files of the system sound slots
  cSafeVector<std::int32_t> m_SceneBgm;           // 4: Bgm database indexes, 0 none
  cSafeVector<std::uint8_t> m_SceneBgmLoop;       // 4
  cSafeVector<std::string> m_Messages;            // 29, by eSystemMessage
  cSafeVector<cSystemIniKey> m_IniKeys;           // 10

  // Compatibility switches: 1 keeps the behaviour of games made before the
  // data version noted; the code that reads each one says what it selects.
  std::int32_t m_bScrollSwitch = 0;          // 214
  std::int32_t m_bBaseSizeSwitch = 0;        // 261
  std::int32_t m_bKeepDeadChara = 0;         // 272
  std::int32_t m_bFlashSwitch = 0;           // 287
  std::int32_t m_nPulseStep = 0;             // 515; the colour pulse step, default 16
  std::int32_t m_bPaletteCycling = 0;        // 289
  std::int32_t m_bTriggerSwitchA = 0;        // 525: no per-frame trigger guard
  std::int32_t m_bGaplessLightning = 0;      // 555
  std::int32_t m_bProtectPlacedBlocks = 0;   // 637
  std::int32_t m_bConditionSwitch = 0;       // 669
  std::int32_t m_bCollisionSwitch = 0;       // 677
  std::int32_t m_bMoveTimeSwitch = 0;        // 695
  std::int32_t m_bSpareSwitch = 0;           // 696; nothing reads it
  std::int32_t m_bStartAllSwitch = 0;        // 697
  std::int32_t m_bWarpSwitch = 0;            // 721
  std::int32_t m_bChargeSwitch = 0;          // 728
  std::int32_t m_bRangeSwitch = 0;           // 733
  std::int32_t m_bTriggerSwitchB = 0;        // 744
  std::int32_t m_bJumpSwitch = 0;            // 749
  std::int32_t m_bExpressionSwitch = 0;      // 752
  std::int32_t m_bImmediateHitTriggers = 0;  // 763
  std::int32_t m_bEffectlessShotsPass = 0;   // 763
  std::int32_t m_bStartPointSwitch = 0;      // 768
  std::int32_t m_bStraightMoveSwitch = 0;    // 773
  std::int32_t m_bKeepImpulse = 0;           // 781

  // The colour-depth rule of the start-up display check.
  std::int32_t m_nDepthChoice = 0;           // Direct3D: 0 32 bits, 1 16
  std::int32_t m_nDepthDefault = 0;          // DirectDraw: 0 32, 1 16, 2 8

 private:
  void ResetLists();
  void ApplyUpgrades(int nVersion);
  void FitListSizes();
};

// The system data of the running game. Defined with every global object in
// app/Globals.cpp.
extern cSystemData g_System;

// The start-up step: loads "data\System.dat" (or `path`) into g_System. When
// the file is missing or refused, "%s の読み込みに失敗…" with the path goes to the
// report and an error box, g_System keeps what it held, and the result is
// false (start-up fails). On success the flows' keep-flows question is
// answered from g_System from then on.
bool LoadSystemData(std::string_view path);
bool LoadSystemData();

// Resets g_System to the defaults (tests).
void ResetSystemDataForTests();

// ---- helpers on the system data ---------------------------------------------------

// 1 when the gauge is at its warning level: the item's warning level is at
// least the value, or, in percent, at least value x 100 / maximum (as a real
// number). A percent gauge whose maximum is 0 or less is never low. Else 0.
int IsGaugeLow(const cHudItem& item, int value, int maximum);

// The left edge that centres a box of messages first..first + count - 1 on x:
// x - ((longest CountChars + 1 with the cursor column) x 16) / 2.
int GetMessageListX(int x, int first, int count, bool cursor, const cSystemData& system = g_System);

// The box of messages first..first + count - 1: its text (each message
// followed by a line break and, with the cursor column, preceded by a blank)
// and its size in dots. Nothing (an empty text, size 0) for count 0 or less.
// DrawMessageList draws this box with the 16-dot font's box and prints the
// text through "%s" (so a "%" in a message stays a "%").
struct cMessageListBox {
  std::string text;
  int width = 0;
  int height = 0;
};
cMessageListBox MakeMessageListBox(int first, int count, bool cursor, const cSystemData& system = g_System);
// The box of MakeMessageListBox at (x, y) on the surface, in the 16-dot font;
// nothing for count 0 or less.
void DrawMessageList(DDSURFACEDATA* lpDst, int x, int y, int first, int count, bool cursor,
                     const cSystemData& system = g_System);

#pragma once
// cCommand: one command of a flow, or of the command list an item runs when
// the player character picks it up. It names what to do by a set and a type,
// carries that type's integer parameters, an optional text, optional movement
// parameters (cEdMove), optional shot, sword and summon parameters (cEdShot),
// an optional condition list (cCondList), a duration, a sound, an animation
// and, for the change-flow command, the flows it installs. The record stores
// and repairs this data; the flow interpreter executes it.
//
// Two command sets, each with its command-type table:
//   set 0, the flow commands: kFlowCmdTable, 40 types;
//   set 1, the item and system commands: kItemCmdTable, 25 types. Item type t,
//   for t from 2 to 24, is the same command as flow type t + 15; item type 1
//   "フローの変更" exists only in this set. A set byte other than 0 counts as set 1.
// After Read and Validate a command's parameter list has exactly its type's
// parameter count.

#include <array>
#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Condition.h"
#include "data/DataRecord.h"
#include "data/EdMove.h"
#include "data/EdShot.h"
#include "data/PaletteSizes.h"
#include "data/SharedHolder.h"

class cFlow;
class cDatabase;
extern cDatabase g_Database;

// One row of a command-type table.
struct cCmdTypeEntry {
  const char* m_Name;
  int32_t m_nParamCount;
};

inline constexpr int kFlowCmdTypeCount = 40;
inline constexpr int kItemCmdTypeCount = 25;

// Item type t (t >= 2) is flow type t + kItemToFlowCmdOffset.
inline constexpr int kItemToFlowCmdOffset = 15;

// Flow command types (set 0).
enum eFlowCmd : int {
  FLOW_CMD_NONE = 0,
  FLOW_CMD_WAIT = 1,
  FLOW_CMD_STRAIGHT_MOVE = 2,
  FLOW_CMD_GROUND_TURN_MOVE = 3,
  FLOW_CMD_CIRCLE_MOVE = 4,
  FLOW_CMD_RUSH_MOVE = 5,
  FLOW_CMD_HOMING_MOVE = 6,
  FLOW_CMD_AVOID_MOVE = 7,
  FLOW_CMD_CANCEL_MOVE = 8,
  FLOW_CMD_TURN = 9,
  FLOW_CMD_JUMP = 10,
  FLOW_CMD_SHOT = 11,
  FLOW_CMD_SWORD = 12,
  FLOW_CMD_SUMMON_BLOCK = 13,
  FLOW_CMD_SUMMON_CHARA = 14,
  FLOW_CMD_SUMMON_ITEM = 15,
  FLOW_CMD_FLOW_OPERATION = 16,
  FLOW_CMD_STAGE_CLEAR = 17,
  FLOW_CMD_GAME_WAIT = 18,
  FLOW_CMD_MESSAGE = 19,
  FLOW_CMD_WARP = 20,
  FLOW_CMD_SET_TARGET = 21,
  FLOW_CMD_STATUS = 22,
  FLOW_CMD_STATUS2 = 23,
  FLOW_CMD_ERASE = 24,
  FLOW_CMD_ITEM_GET = 25,
  FLOW_CMD_CHANGE_GRAPHIC = 26,
  FLOW_CMD_ANIME_SET = 27,
  FLOW_CMD_ANIME = 28,
  FLOW_CMD_EFFECT = 29,
  FLOW_CMD_CHARA_EFFECT = 30,
  FLOW_CMD_SCR_EFFECT = 31,
  FLOW_CMD_PICTURE = 32,
  FLOW_CMD_SCREEN_COLOR = 33,
  FLOW_CMD_BACKGROUND = 34,
  FLOW_CMD_SOUND = 35,
  FLOW_CMD_BGM = 36,
  FLOW_CMD_CODE = 37,
  FLOW_CMD_ARRANGE = 38,
  FLOW_CMD_LOOP = 39,
};

// The item and system command types that are not flow type + 15.
enum eItemCmd : int {
  ITEM_CMD_NONE = 0,
  ITEM_CMD_CHANGE_FLOW = 1,
  ITEM_CMD_ITEM_GET = FLOW_CMD_ITEM_GET - kItemToFlowCmdOffset,
};

// Set 0, index = type.
inline constexpr std::array<cCmdTypeEntry, kFlowCmdTypeCount> kFlowCmdTable{{
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 0},
    {"キャラ召喚", 0},
    {"アイテム召喚", 0},
    {"フローの操作", 4},
    {"ステージクリア", 9},
    {"ゲームウエイト", 1},
    {"メッセージ", 18},
    {"ワープ", 0},
    {"ターゲットの設定", 16},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 3},
    {"消滅", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 15},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
}};

// Set 1, index = type: the empty command and "フローの変更" of its own, then
// the rows of flow types 17 to 39, which are the same commands.
inline constexpr std::array<cCmdTypeEntry, kItemCmdTypeCount> kItemCmdTable = [] {
  std::array<cCmdTypeEntry, kItemCmdTypeCount> table{{{"", 0}, {"フローの変更", 2}}};
  for (int type = 2; type < kItemCmdTypeCount; ++type) table[type] = kFlowCmdTable[type + kItemToFlowCmdOffset];
  return table;
}();

class cCommand : public cDataRecord {
 public:
  // A fresh command: set 0, type 0, no parameters, no text, no optional parts,
  // duration 0, sound only on screen, no flows.
  cCommand();
  // Copies are deep: the copy gets its own movement, shot and condition objects
  // (when the source has them) and its own copies of the flows.
  cCommand(const cCommand& other);
  cCommand(cCommand&& other) noexcept;
  cCommand& operator=(const cCommand& other);
  cCommand& operator=(cCommand&& other) noexcept;
  ~cCommand() override;

  // Clear, empty the three holders, sound only on screen 1.
  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form; the movement, shot and (from version 764) condition parts,
  // each behind a present word; the flows; the parameters. Then the upgrade
  // steps of older files, the purge of flows flagged for removal, and Validate.
  // A type outside its table after the upgrades refuses the file.
  bool Read(cByteReader& in) override;
  // Validate, then the same layout (the conditions word from version 764).
  void Write(cByteWriter& out) override;

  // Repairs references into the database (animation, sound, the sword type and
  // the database index in parameter 0 of the commands that take one) and the
  // parameter count, then validates the command's flows.
  void Validate(const cDatabase& database = g_Database);
  // Repairs palette references of the shot, sword, summon and item-get
  // commands against the given palette sizes, then those of the flows.
  void ValidateShotRefs(const cPaletteSizes& sizes);

  // The parameter count of a set and type; 0 for a type outside its table.
  static int ParamCountOf(int nSet, int nType);
  static bool IsTypeInTable(int nSet, int nType);
  int ParamCount() const { return ParamCountOf(m_nSet, m_nType); }
  // The parameter at index, or 0 when the command holds fewer.
  int32_t Param(int index) const;
  bool IsFlowCommand() const { return m_nSet == 0; }
  // The flow type this command runs as: its type for set 0, type + 15 for item
  // types from 2; -1 for "フローの変更" and the empty item command.
  int FlowEquivalentType() const;

  // 0 flow command, otherwise item or system command.
  uint8_t m_nSet = 0;
  // Index into the set's command-type table.
  int8_t m_nType = 0;
  cSafeVector<int32_t> m_Params;
  // The message text, stage path or code of the command types that take a text.
  std::string m_strText;
  cSharedHolder<cEdMove> m_Move;
  cSharedHolder<cEdShot> m_Shot;
  // Tenths of a second, and tenths added per copy number of the character.
  int16_t m_nDuration = 0;
  int16_t m_nDurationPerCopy = 0;
  // 1: runs together with the next command of its flow.
  uint8_t m_bRunWithNext = 0;
  // Sound database index played by the commands with a sound of their own; 0 none.
  int16_t m_nSound = 0;
  // 1: shot, sword, summon and "効果音の再生" sound only while the character is on screen.
  uint8_t m_bSoundOnScreen = 1;
  // Anime database index started with the command; 0 none.
  int16_t m_nAnime = 0;
  cSharedHolder<cCondList> m_Conds;
  // The flows "フローの変更" adds, replaces or removes (cFlow is in data/Flow.h).
  cSafeVector<cFlow> m_Flows;

 private:
  void Upgrade(int nVersion);
  void RenumberTypes();
  bool IsUpgradeType(int nOldFlowType) const;
  bool IsUpgradeFlowOnlyType(int nOldFlowType) const;
  void SetParam(int index, int32_t value);
  void ResizeParams(int count);
  void InsertParam(int index, int32_t value, int count);
  void ShiftStatusParams(int threshold);
  void RepairDatabaseParam(const cDatabase& database);
  void RepairSword(const cDatabase& database);
  void RepairItemGetRefs(const cPaletteSizes& sizes);
  void RepairShotPaletteRefs(const cPaletteSizes& sizes);
};

// A list of commands: u32 n, then n commands, each from a fresh command.
bool ReadCommandVector(cByteReader& in, cSafeVector<cCommand>& commands);
void WriteCommandVector(cByteWriter& out, cSafeVector<cCommand>& commands);

#pragma once
// cFlow: one flow of a character: a list of commands that starts when its
// trigger fires and its conditions and key conditions hold. Flows are stored
// in character definitions and in the change-flow command. The record stays
// unchanged while a flow runs; the run-time state is the interpreter's.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Command.h"
#include "data/Condition.h"
#include "data/DataRecord.h"
#include "data/KeyCond.h"

// Triggers (the stored trigger byte): what starts a flow.
enum eFlowTrigger : int {
  TRIGGER_ALWAYS = 0,              // "常時"
  TRIGGER_DAMAGED = 1,             // "ダメージを受けた時"
  TRIGGER_IMPACTED = 2,            // "衝撃を受けた時"
  TRIGGER_DEATH = 3,               // "死亡した時"
  TRIGGER_HIT_CHARA = 4,           // "キャラに当たった時"
  TRIGGER_HIT_BLOCK_CHARA = 5,     // "ブロックキャラに当たった時"
  TRIGGER_ON_BLOCK_CHARA = 6,      // "ブロックキャラに乗っている時"
  TRIGGER_HIT_SHOT = 7,            // "ショットに当たった時"
  TRIGGER_HIT_ITEM = 8,            // "アイテムに当たった時"
  TRIGGER_HIT_BLOCK = 9,           // "ブロックに当たった時"
  TRIGGER_BLOCK_SIDE = 10,         // "自分の左右にブロックが当たった時"
  TRIGGER_BLOCK_LEFT = 11,         // "自分の左にブロックが当たった時"
  TRIGGER_BLOCK_RIGHT = 12,        // "自分の右にブロックが当たった時"
  TRIGGER_BLOCK_VERTICAL = 13,     // "自分の上下にブロックが当たった時"
  TRIGGER_BLOCK_ABOVE = 14,        // "自分の上にブロックが当たった時"
  TRIGGER_BLOCK_BELOW = 15,        // "自分の下にブロックが当たった時"
  TRIGGER_RIDDEN_BY_HERO = 16,     // "主人公に乗られている時"
  TRIGGER_RIDDEN_BY_CHARA = 17,    // "キャラに乗られている時"
  TRIGGER_ATTACK_DAMAGED = 18,     // "アタックでダメージを与えた時"
  TRIGGER_ATTACK_IMPACTED = 19,    // "アタックで衝撃を与えた時"
  TRIGGER_ATTACK_HIT = 20,         // "アタックを当てた時"
  TRIGGER_STAGE_START = 21,        // "ステージ開始前"
  TRIGGER_BY_FLOW_OPERATION = 22,  // "なし（フローの操作コマンドで実行）"
  TRIGGER_COUNT = 23,
};

class cFlow : public cDataRecord {
 public:
  // Every member 0, no lists, key tolerance 3.
  cFlow();
  cFlow(const cFlow& other);
  cFlow(cFlow&& other) noexcept;
  cFlow& operator=(const cFlow& other);
  cFlow& operator=(cFlow&& other) noexcept;
  ~cFlow() override;

  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form; the conditions, key conditions and commands; the trigger
  // upgrades of older files; the memo emptied; Validate.
  bool Read(cByteReader& in) override;
  // Validate, then the record form and the three lists.
  void Write(cByteWriter& out) override;

  // cCommand::Validate on every command.
  void Validate(const cDatabase& database = g_Database);
  // cCommand::ValidateShotRefs on every command.
  void ValidateShotRefs(const cPaletteSizes& sizes);

  // The author's note; emptied after reading, so written back empty.
  std::string m_strMemo;
  // 0 none, 1-26: the ID by which commands and trigger filters address the flow.
  uint8_t m_nFlowId = 0;
  // 0 none, 1-26: the group whose running, started and ended switches it uses.
  uint8_t m_nGroup = 0;
  // Nonzero: removed when its list is loaded (see KeepFlaggedFlows).
  uint8_t m_bRemoveAtLoad = 0;
  cSafeVector<cCond> m_Conds;
  // 0 every condition must hold, 1 at least one.
  uint8_t m_nCondRule = 0;
  // 1: once the conditions held, they count as holding from then on.
  uint8_t m_bCondLatch = 0;
  // eFlowTrigger.
  uint8_t m_nTrigger = 0;
  // 1: the object a trigger comes with is put into target slot m_nTargetSlot
  // (0-3) while the conditions are tested.
  uint8_t m_bWithOther = 0;
  uint8_t m_nTargetSlot = 0;
  // One-frame shifts the key-sequence matching may try between two
  // consecutive key conditions.
  uint8_t m_nKeyTolerance = 3;
  // 1: the key conditions count on every frame they hold; 0 only on the first.
  uint8_t m_bKeyContinuous = 0;
  cSafeVector<cKeyCond> m_KeyConds;
  cSafeVector<cCommand> m_Commands;

 private:
  void UpgradeTrigger(int nVersion);
};

// A list of flows: u32 n, then n flows, each from a fresh flow.
bool ReadFlowVector(cByteReader& in, cSafeVector<cFlow>& flows);
void WriteFlowVector(cByteWriter& out, cSafeVector<cFlow>& flows);

// Removes every flow whose remove-at-load byte is nonzero; the others keep
// their order.
void PurgeFlaggedFlows(cSafeVector<cFlow>& flows);

// True when flows flagged for removal stay in the lists being loaded: while the
// editor launched the player (g_LaunchedByEditor), or while the system data's
// keep-flows switch is set. The system data answers for its switch through the
// query it installs with SetKeepFlowsQuery; with no query the switch is off.
bool KeepFlaggedFlows();
using tKeepFlowsQuery = bool (*)();
void SetKeepFlowsQuery(tKeepFlowsQuery query);

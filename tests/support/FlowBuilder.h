#pragma once
// Builders of flows and commands in code, for the tests of the flow
// interpreter and of the world parts that run flows:
//
//   cFlow flow = cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1)
//                    .Cmd(CodeCmd("C1 = C1 + 1").Duration(3))
//                    .Cmd(CodeCmd("C2 = C2 + 1").Duration(5).NoWait())
//                    .Build();
//
// A command gets its type's parameter count at once (all 0). Durations are in
// tenths of a second, as authored.

#include <initializer_list>
#include <string>
#include <utility>

#include "data/Command.h"
#include "data/Condition.h"
#include "data/Flow.h"
#include "data/KeyCond.h"

class cCmdBuilder {
 public:
  // A flow command (set 0) of `type`.
  explicit cCmdBuilder(int type) {
    m_Command.m_nType = static_cast<int8_t>(type);
    m_Command.m_Params.assign(static_cast<std::size_t>(cCommand::ParamCountOf(0, type)), 0);
  }
  // An item or system command (set 1) of `type`.
  static cCmdBuilder Item(int type) {
    cCmdBuilder builder(0);
    builder.m_Command.m_nSet = 1;
    builder.m_Command.m_nType = static_cast<int8_t>(type);
    builder.m_Command.m_Params.assign(static_cast<std::size_t>(cCommand::ParamCountOf(1, type)), 0);
    return builder;
  }

  cCmdBuilder& Param(int index, int32_t value) {
    if (index >= static_cast<int>(m_Command.m_Params.size())) m_Command.m_Params.resize(index + 1, 0);
    m_Command.m_Params[index] = value;
    return *this;
  }
  // Parameters 0, 1, ... in order.
  cCmdBuilder& Params(std::initializer_list<int32_t> values) {
    int index = 0;
    for (int32_t value : values) Param(index++, value);
    return *this;
  }
  cCmdBuilder& Duration(int tenths, int perCopy = 0) {
    m_Command.m_nDuration = static_cast<int16_t>(tenths);
    m_Command.m_nDurationPerCopy = static_cast<int16_t>(perCopy);
    return *this;
  }
  // Runs together with the next command.
  cCmdBuilder& NoWait() {
    m_Command.m_bRunWithNext = 1;
    return *this;
  }
  cCmdBuilder& Text(std::string text) {
    m_Command.m_strText = std::move(text);
    return *this;
  }
  cCmdBuilder& Anime(int anime) {
    m_Command.m_nAnime = static_cast<int16_t>(anime);
    return *this;
  }
  cCmdBuilder& Sound(int sound) {
    m_Command.m_nSound = static_cast<int16_t>(sound);
    return *this;
  }
  cCmdBuilder& Flow(const cFlow& flow) {
    m_Command.m_Flows.push_back(flow);
    return *this;
  }
  // The command's movement and shot parameters (made on first use) and its
  // condition list.
  cEdMove& Move() { return m_Command.m_Move ? *m_Command.m_Move : m_Command.m_Move.Create(); }
  cEdShot& Shot() { return m_Command.m_Shot ? *m_Command.m_Shot : m_Command.m_Shot.Create(); }
  cCondList& Conds() { return m_Command.m_Conds ? *m_Command.m_Conds : m_Command.m_Conds.Create(); }

  cCommand Build() const { return m_Command; }
  operator cCommand() const { return m_Command; }

 private:
  cCommand m_Command;
};

// "コードの実行" with `code` as its text.
inline cCmdBuilder CodeCmd(std::string code) { return std::move(cCmdBuilder(FLOW_CMD_CODE).Text(std::move(code))); }
// "ウエイト" of `tenths`.
inline cCmdBuilder WaitCmd(int tenths) { return std::move(cCmdBuilder(FLOW_CMD_WAIT).Duration(tenths)); }

class cFlowBuilder {
 public:
  cFlowBuilder& Trigger(int trigger) {
    m_Flow.m_nTrigger = static_cast<uint8_t>(trigger);
    return *this;
  }
  cFlowBuilder& Group(int group) {
    m_Flow.m_nGroup = static_cast<uint8_t>(group);
    return *this;
  }
  cFlowBuilder& Id(int id) {
    m_Flow.m_nFlowId = static_cast<uint8_t>(id);
    return *this;
  }
  // The conditions count as holding once they have held.
  cFlowBuilder& Latch() {
    m_Flow.m_bCondLatch = 1;
    return *this;
  }
  // 0 every condition must hold, 1 at least one.
  cFlowBuilder& CondRule(int rule) {
    m_Flow.m_nCondRule = static_cast<uint8_t>(rule);
    return *this;
  }
  cFlowBuilder& Cond(const cCond& cond) {
    m_Flow.m_Conds.push_back(cond);
    return *this;
  }
  // The object a trigger comes with goes into target slot `slot` (0 to 3).
  cFlowBuilder& WithOther(int slot) {
    m_Flow.m_bWithOther = 1;
    m_Flow.m_nTargetSlot = static_cast<uint8_t>(slot);
    return *this;
  }
  // The key sequence counts on every check it matches.
  cFlowBuilder& KeyHold() {
    m_Flow.m_bKeyContinuous = 1;
    return *this;
  }
  cFlowBuilder& KeyTolerance(int frames) {
    m_Flow.m_nKeyTolerance = static_cast<uint8_t>(frames);
    return *this;
  }
  cFlowBuilder& Key(const cKeyCond& cond) {
    m_Flow.m_KeyConds.push_back(cond);
    return *this;
  }
  cFlowBuilder& Cmd(const cCommand& command) {
    m_Flow.m_Commands.push_back(command);
    return *this;
  }

  cFlow Build() const { return m_Flow; }
  operator cFlow() const { return m_Flow; }

 private:
  cFlow m_Flow;
};

// A key condition: `keys` are {key, eKeyState} pairs (keys 0 to 9 the
// direction slots of KeyInput.h, 10 to 18 the button slots), the rule, and
// the frames a pressed key must have been held (any, with minFrames < 0).
inline cKeyCond KeyCondOf(std::initializer_list<std::pair<int, int>> keys, int rule = 0, int minFrames = -1,
                          int maxFrames = 0) {
  cKeyCond cond;
  for (const auto& [key, state] : keys) cond.m_Keys[key] = static_cast<uint8_t>(state);
  cond.m_nRule = static_cast<uint8_t>(rule);
  if (minFrames < 0) {
    cond.m_bAnyDuration = 1;
  } else {
    cond.m_nMinFrames = static_cast<int16_t>(minFrames);
    cond.m_nMaxFrames = static_cast<int16_t>(maxFrames);
  }
  return cond;
}

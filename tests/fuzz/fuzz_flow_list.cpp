// A list of flows, as character definitions and the change-flow command store
// them: u32 version word, then u32 n and n flows with their conditions, key
// conditions and commands (which hold movement, shot and condition parts and
// flows of their own, nested).

#include "data/Flow.h"
#include "fuzz/FuzzSupport.h"

namespace {

std::vector<std::uint8_t> FlowListFile(cSafeVector<cFlow>& flows, int version = DATA_VERSION) {
  cByteWriter out(version);
  BeginDataWrite(out);
  WriteFlowVector(out, flows);
  return out.TakeBytes();
}

bool ReadFlowListFile(std::span<const std::uint8_t> bytes, cSafeVector<cFlow>& flows) {
  cByteReader in(bytes);
  if (!BeginDataRead(in, "fuzz")) return false;
  return ReadFlowVector(in, flows);
}

}  // namespace

// Whatever the input, reading ends without a crash or a sanitizer report; a
// list that was accepted writes a file that reads again to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  g_StripCR = true;
  cSafeVector<cFlow> flows;
  if (!ReadFlowListFile(std::span<const std::uint8_t>(data, size), flows)) return 0;
  const std::vector<std::uint8_t> written = FlowListFile(flows);
  cSafeVector<cFlow> again;
  if (!ReadFlowListFile(written, again)) __builtin_trap();
  if (FlowListFile(again) != written) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cSafeVector<cFlow> flows(2);
  flows[0].m_nTrigger = TRIGGER_HIT_BLOCK;
  flows[0].m_Conds.resize(1);
  flows[0].m_Conds[0].m_nKind = COND_STATUS;
  flows[0].m_KeyConds.resize(1);
  flows[0].m_KeyConds[0].m_Keys[3] = KEY_STATE_PRESSED;

  cCommand move;
  move.m_nType = FLOW_CMD_STRAIGHT_MOVE;
  move.m_Move.Create().m_nSpeed = 25;
  cCommand shot;
  shot.m_nType = FLOW_CMD_SHOT;
  shot.m_Shot.Create().m_nCount = 3;
  cCommand operation;
  operation.m_nType = FLOW_CMD_FLOW_OPERATION;
  operation.m_Params.assign(4, 1);
  operation.m_Conds.Create().m_Conds.resize(2);
  cCommand changeFlow;
  changeFlow.m_nSet = 1;
  changeFlow.m_nType = ITEM_CMD_CHANGE_FLOW;
  changeFlow.m_Params.assign(2, 0);
  changeFlow.m_Flows.resize(1);
  changeFlow.m_Flows[0].m_Commands.push_back(move);
  flows[0].m_Commands = {move, shot, operation};
  flows[1].m_Commands = {changeFlow};

  std::vector<std::vector<std::uint8_t>> seeds;
  for (int version : {150, 733, 763, 766, DATA_VERSION}) seeds.push_back(FlowListFile(flows, version));
  return seeds;
}

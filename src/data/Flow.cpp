#include "data/Flow.h"

#include <algorithm>
#include <atomic>

#include "core/ProcessFlags.h"

namespace {

constexpr int kFlowWithOtherVersion = 762;
constexpr int kFlowTargetSlotVersion = 767;
constexpr int kFlowMemoVersion = 676;

std::atomic<tKeepFlowsQuery> g_KeepFlowsQuery{nullptr};

// A trigger raised by `amount`, kept at 255 instead of wrapping into a valid trigger.
uint8_t RaisedTrigger(uint8_t nTrigger, int amount) {
  const int raised = nTrigger + amount;
  return static_cast<uint8_t>(raised > 255 ? 255 : raised);
}

}  // namespace

cFlow::cFlow() { Reset(); }
cFlow::cFlow(const cFlow& other) = default;
cFlow::cFlow(cFlow&& other) noexcept = default;
cFlow& cFlow::operator=(const cFlow& other) = default;
cFlow& cFlow::operator=(cFlow&& other) noexcept = default;
cFlow::~cFlow() = default;

void cFlow::Reset() {
  Clear();
  m_nKeyTolerance = 3;
}

void cFlow::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterByte(m_nFlowId);
  RegisterByte(m_nGroup);
  RegisterByte(m_bRemoveAtLoad);
  RegisterByte(m_nCondRule);
  RegisterByte(m_bCondLatch);
  RegisterByte(m_nTrigger);
  if (nVersion >= kFlowWithOtherVersion) RegisterByte(m_bWithOther);
  if (nVersion >= kFlowTargetSlotVersion) RegisterByte(m_nTargetSlot);
  RegisterByte(m_nKeyTolerance);
  RegisterByte(m_bKeyContinuous);
  if (nVersion >= kFlowMemoVersion) RegisterString(m_strMemo);
}

bool cFlow::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_Conds)) return false;
  if (!ReadRecordList(in, m_KeyConds)) return false;
  if (!ReadCommandVector(in, m_Commands)) return false;
  if (in.Version() <= 780) UpgradeTrigger(in.Version());
  m_strMemo.clear();
  Validate();
  return true;
}

// Each step works on the result of the one before.
void cFlow::UpgradeTrigger(int nVersion) {
  if (nVersion <= 131 && m_nTrigger > 10) m_nTrigger = RaisedTrigger(m_nTrigger, 1);
  if (nVersion < 163 && m_nTrigger != TRIGGER_ALWAYS) m_nGroup = 0;
  if (nVersion < 164 && m_nTrigger > 4) m_nTrigger = RaisedTrigger(m_nTrigger, 2);
  if (nVersion < 762 && m_nTrigger > 17) m_nTrigger = RaisedTrigger(m_nTrigger, 3);
}

void cFlow::Write(cByteWriter& out) {
  // Files of older versions are written only as test fixtures, exactly as given.
  if (out.Version() == DATA_VERSION) Validate();
  cDataRecord::Write(out);
  WriteRecordList(out, m_Conds);
  WriteRecordList(out, m_KeyConds);
  WriteCommandVector(out, m_Commands);
}

void cFlow::Validate(const cDatabase& database) {
  for (cCommand& command : m_Commands) command.Validate(database);
}

void cFlow::ValidateShotRefs(const cPaletteSizes& sizes) {
  for (cCommand& command : m_Commands) command.ValidateShotRefs(sizes);
}

bool ReadFlowVector(cByteReader& in, cSafeVector<cFlow>& flows) { return ReadRecordList(in, flows); }

void WriteFlowVector(cByteWriter& out, cSafeVector<cFlow>& flows) { WriteRecordList(out, flows); }

void PurgeFlaggedFlows(cSafeVector<cFlow>& flows) {
  std::erase_if(flows, [](const cFlow& flow) { return flow.m_bRemoveAtLoad != 0; });
}

bool KeepFlaggedFlows() {
  if (g_LaunchedByEditor.load() != 0) return true;
  const tKeepFlowsQuery query = g_KeepFlowsQuery.load();
  return query != nullptr && query();
}

void SetKeepFlowsQuery(tKeepFlowsQuery query) { g_KeepFlowsQuery.store(query); }

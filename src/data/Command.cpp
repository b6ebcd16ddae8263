#include "data/Command.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/Log.h"
#include "core/Numeric.h"
#include "core/StringUtil.h"
#include "data/Database.h"
#include "data/Flow.h"

namespace {

// The first data version whose command records carry the conditions word.
constexpr int kCommandCondsVersion = 764;

// A sword's duration is capped here, whatever its frames add up to.
constexpr int kMaxSwordDuration = 9999;

// True when `index` addresses an entry of a list of `size` entries. Indexes are
// compared unsigned, so a negative index counts as too large.
bool IsIndexInList(int32_t index, std::size_t size) { return static_cast<uint32_t>(index) < size; }

// The repair value of a reference: `fallback` (0 "none" or 1 "the first real
// entry"), or 0 when the list is too short to hold even that.
int32_t RepairedIndex(int32_t fallback, std::size_t size) { return IsIndexInList(fallback, size) ? fallback : 0; }

// A parameter raised by `amount`; a value at the top of the range stays there.
int32_t RaisedParam(int32_t value, int amount) { return ClampToI32(static_cast<int64_t>(value) + amount); }

// One optional part: u32 present word, then the record when it is nonzero.
template <class T>
bool ReadHolder(cByteReader& in, cSharedHolder<T>& holder) {
  const uint32_t present = in.ReadU32();
  holder.Release();
  if (in.Failed()) return false;
  if (present == 0) return true;
  return holder.Create().Read(in);
}

template <class T>
void WriteHolder(cByteWriter& out, cSharedHolder<T>& holder) {
  if (holder.IsEmpty()) {
    out.WriteU32(0);
    return;
  }
  out.WriteU32(1);
  holder->Write(out);
}

}  // namespace

// ---- construction and copies ------------------------------------------------------

cCommand::cCommand() { Reset(); }
cCommand::cCommand(const cCommand& other) = default;
cCommand::cCommand(cCommand&& other) noexcept = default;
cCommand& cCommand::operator=(const cCommand& other) = default;
cCommand& cCommand::operator=(cCommand&& other) noexcept = default;
cCommand::~cCommand() = default;

void cCommand::Reset() {
  Clear();
  m_Move.Release();
  m_Shot.Release();
  m_Conds.Release();
  m_bSoundOnScreen = 1;
}

void cCommand::RegisterMembers(int) {
  ClearMembers();
  RegisterByte(m_nSet);
  RegisterByte(m_nType);
  RegisterShort(m_nDuration);
  RegisterShort(m_nDurationPerCopy);
  RegisterByte(m_bRunWithNext);
  RegisterShort(m_nSound);
  RegisterByte(m_bSoundOnScreen);
  RegisterShort(m_nAnime);
  RegisterString(m_strText);
}

// ---- type tables ------------------------------------------------------------------

bool cCommand::IsTypeInTable(int nSet, int nType) {
  const int count = nSet == 0 ? kFlowCmdTypeCount : kItemCmdTypeCount;
  return nType >= 0 && nType < count;
}

int cCommand::ParamCountOf(int nSet, int nType) {
  if (!IsTypeInTable(nSet, nType)) return 0;
  return nSet == 0 ? kFlowCmdTable[static_cast<std::size_t>(nType)].m_nParamCount
                   : kItemCmdTable[static_cast<std::size_t>(nType)].m_nParamCount;
}

int cCommand::FlowEquivalentType() const {
  if (m_nSet == 0) return m_nType;
  if (m_nType >= 2) return m_nType + kItemToFlowCmdOffset;
  return -1;
}

// ---- reading and writing --------------------------------------------------------------

bool cCommand::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadHolder(in, m_Move)) return false;
  if (!ReadHolder(in, m_Shot)) return false;
  if (in.Version() >= kCommandCondsVersion) {
    if (!ReadHolder(in, m_Conds)) return false;
  } else {
    m_Conds.Release();  // older files have no condition lists
  }
  if (!ReadFlowVector(in, m_Flows)) return false;
  if (!ReadValueList(in, m_Params)) return false;

  if (in.Version() < DATA_VERSION) Upgrade(in.Version());
  if (!IsTypeInTable(m_nSet, m_nType)) {
    in.Fail(FormatText("a command of set %d has the type %d, which its table does not have", m_nSet ? 1 : 0,
                       static_cast<int>(m_nType)));
    return false;
  }
  if (!KeepFlaggedFlows()) PurgeFlaggedFlows(m_Flows);
  Validate();
  return true;
}

void cCommand::Write(cByteWriter& out) {
  // Files of older versions are written only as test fixtures, exactly as given.
  if (out.Version() == DATA_VERSION) Validate();
  cDataRecord::Write(out);
  WriteHolder(out, m_Move);
  WriteHolder(out, m_Shot);
  if (out.Version() >= kCommandCondsVersion) WriteHolder(out, m_Conds);
  WriteFlowVector(out, m_Flows);
  WriteValueList(out, m_Params);
}

bool ReadCommandVector(cByteReader& in, cSafeVector<cCommand>& commands) { return ReadRecordList(in, commands); }

void WriteCommandVector(cByteWriter& out, cSafeVector<cCommand>& commands) { WriteRecordList(out, commands); }

// ---- parameter access for the upgrade steps ----------------------------------------------
//
// Files of older versions, and damaged ones, may hold fewer parameters than a
// step reads: a missing parameter reads as 0, and writing one extends the list
// (Validate cuts it to the type's count afterwards).

int32_t cCommand::Param(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_Params.size()) return 0;
  return m_Params[index];
}

void cCommand::SetParam(int index, int32_t value) {
  if (index < 0) return;
  if (static_cast<std::size_t>(index) >= m_Params.size()) m_Params.resize(static_cast<std::size_t>(index) + 1, 0);
  m_Params[index] = value;
}

void cCommand::ResizeParams(int count) { m_Params.resize(static_cast<std::size_t>(std::max(count, 0)), 0); }

// Resize to `count`, move entries index .. count-2 one place up (the last falls
// off) and set entry `index`.
void cCommand::InsertParam(int index, int32_t value, int count) {
  ResizeParams(count);
  if (index < 0 || index >= count) return;
  for (int i = count - 1; i > index; --i) m_Params[i] = m_Params[i - 1];
  m_Params[index] = value;
}

// ---- upgrade steps ------------------------------------------------------------------------
//
// The steps name flow types in the numbering of the files they upgrade (the
// step at version 734 renumbers). A step applies to item commands too, with
// item type t (from 2) for flow type t + 15, unless it is a flow-only step.

bool cCommand::IsUpgradeType(int nOldFlowType) const {
  if (m_nSet == 0) return m_nType == nOldFlowType;
  const int nItemType = nOldFlowType - kItemToFlowCmdOffset;
  return nItemType >= 2 && m_nType == nItemType;
}

bool cCommand::IsUpgradeFlowOnlyType(int nOldFlowType) const { return m_nSet == 0 && m_nType == nOldFlowType; }

// "ステータスの操作": status items at or above an inserted one move up, for
// the left side (p3, p4) and, when the operand is a status, the right (p12, p13).
void cCommand::ShiftStatusParams(int threshold) {
  if (Param(0) == 0 && Param(3) != 2 && Param(4) > threshold) SetParam(4, RaisedParam(Param(4), 1));
  if (Param(6) == 2 && Param(12) != 2 && Param(13) > threshold) SetParam(13, RaisedParam(Param(13), 1));
}

void cCommand::RenumberTypes() {
  // "消滅" was inserted at flow type 24 (item type 9).
  const int nInsertedAfter = m_nSet == 0 ? 23 : 8;
  if (m_nType > nInsertedAfter) m_nType = static_cast<int8_t>(m_nType + 1);
  // An arrange command names a flow type in p0, which moved too.
  const int nArrange = m_nSet == 0 ? FLOW_CMD_ARRANGE : FLOW_CMD_ARRANGE - kItemToFlowCmdOffset;
  if (m_nType == nArrange && Param(0) > 23) SetParam(0, RaisedParam(Param(0), 1));
}

void cCommand::Upgrade(int v) {
  if (v < 145 && IsUpgradeType(17)) ResizeParams(9);  // "ステージクリア"
  if (v < 166 && IsUpgradeType(35)) {                 // "BGMの再生"
    ResizeParams(2);
    SetParam(1, 1);
  }
  if (v < 168 && IsUpgradeType(22)) ShiftStatusParams(9);       // "ステータスの操作"
  if (v < 189 && IsUpgradeType(21)) InsertParam(2, 0, 16);      // "ターゲットの設定"
  if (v < 194 && IsUpgradeType(31)) InsertParam(6, 1, 15);      // "ピクチャーの表示"
  if (v < 195 && (IsUpgradeType(29) || IsUpgradeType(30))) {    // chara / screen effect
    InsertParam(1, 0, 3);
  }
  if (v < 203) {
    if (IsUpgradeFlowOnlyType(14) || IsUpgradeFlowOnlyType(15)) m_Params.clear();  // summons
    if (IsUpgradeFlowOnlyType(16)) ResizeParams(4);                                 // "フローの操作"
    if (IsUpgradeType(22)) ShiftStatusParams(4);
  }
  if (v < 210 && IsUpgradeType(23) && Param(0) != 2 && Param(1) > 5) {  // "ステータスの操作2"
    SetParam(1, RaisedParam(Param(1), 1));
  }
  if (v < 219 && IsUpgradeType(25) && Param(0) == 3) {  // "グラフィックの変更" of the shot sheet
    SetParam(1, std::min(RaisedParam(Param(1), 1), 119));
  }
  if (v < 220 && IsUpgradeFlowOnlyType(11) && m_Shot) {  // "ショット"
    m_Shot->m_nGraphic = static_cast<int16_t>(std::min(m_Shot->m_nGraphic + 1, 119));
  }
  if (v < 514 && IsUpgradeFlowOnlyType(5) && m_Move) {  // "突撃移動"
    m_Move->m_nAngle = 0;
    m_Move->m_nAnglePerCopy = 0;
    m_Move->m_bMirrorAngle = 1;
  }
  if (v < 545) {
    if (IsUpgradeType(19)) {  // "メッセージ"
      ResizeParams(18);
      SetParam(10, 1);
    }
    if (IsUpgradeType(31)) {  // "ピクチャーの表示"
      ResizeParams(15);
      SetParam(11, 0);
    }
  }
  if (v < 546 && IsUpgradeType(19)) SetParam(10, (Param(0) == 0 || Param(0) == 7) ? 1 : 0);
  if (v < 547) {
    if (IsUpgradeType(19)) {
      ResizeParams(18);
      SetParam(11, 0);
      SetParam(12, 0);
      SetParam(13, 0);
      SetParam(14, 1);
      SetParam(15, 0);
    }
    if (IsUpgradeType(31)) {
      ResizeParams(15);
      SetParam(12, 0);
      SetParam(13, 0);
    }
  }
  if (v < 556 && IsUpgradeType(19)) {
    ResizeParams(18);
    SetParam(16, 1);
  }
  if (v < 722 && IsUpgradeType(17) && Param(0) > 1) SetParam(0, RaisedParam(Param(0), 1));
  if (v < 723) {
    if (IsUpgradeType(19)) {
      ResizeParams(18);
      SetParam(17, 0);
    }
    if (IsUpgradeType(31)) {
      ResizeParams(15);
      SetParam(14, 0);
    }
  }
  if (v < 726 && IsUpgradeType(37)) {  // "アレンジ"
    ResizeParams(5);
    SetParam(0, 11);
  }
  if (v < 727 && IsUpgradeType(37) && Param(0) == 11) {
    // The shot command's parameters 1, 2, 3, 13, 14, 15 and 16 were inserted.
    int32_t p1 = Param(1);
    for (int threshold : {1, 2, 3, 13, 14, 15, 16}) {
      if (p1 > threshold) p1 = RaisedParam(p1, 1);
    }
    SetParam(1, p1);
  }
  if (v < 734) RenumberTypes();
  // From here on the types are numbered as today.
  if (v < 747 && IsUpgradeType(FLOW_CMD_SET_TARGET)) {
    ResizeParams(16);
    SetParam(10, 0);
    SetParam(11, 1);
    SetParam(14, 0);
  }
  if (v < 760 && IsUpgradeFlowOnlyType(FLOW_CMD_FLOW_OPERATION)) {
    ResizeParams(4);
    SetParam(3, 0);
  }
  if (v < 764 && IsUpgradeFlowOnlyType(FLOW_CMD_FLOW_OPERATION)) m_Conds.Create().m_bEnabled = 0;
  if (v < 767) {
    if (IsUpgradeFlowOnlyType(FLOW_CMD_TURN) && Param(0) > 3) SetParam(0, RaisedParam(Param(0), 6));
    if (IsUpgradeType(FLOW_CMD_WARP) && m_Move && m_Move->m_nPosMode > 1) {
      // The single target slot became four.
      m_Move->m_nPosMode = static_cast<uint8_t>(std::min(m_Move->m_nPosMode + 3, 255));
    }
    if (IsUpgradeType(FLOW_CMD_SET_TARGET)) InsertParam(0, 0, 16);
    if (IsUpgradeType(FLOW_CMD_STATUS)) {
      if (Param(0) == 0 && Param(3) > 1) SetParam(3, RaisedParam(Param(3), 3));
      if (Param(6) == 2 && Param(12) > 1) SetParam(12, RaisedParam(Param(12), 3));
    }
    if (IsUpgradeType(FLOW_CMD_STATUS2) && Param(0) > 1) SetParam(0, RaisedParam(Param(0), 3));
  }
}

// ---- validation -----------------------------------------------------------------------------

void cCommand::Validate(const cDatabase& database) {
  if (!IsIndexInList(m_nAnime, database.m_Animes.size())) m_nAnime = 0;
  if (!IsIndexInList(m_nSound, database.m_Sounds.size())) m_nSound = 0;
  if (!IsTypeInTable(m_nSet, m_nType)) {
    // Only code can get here (the reader refuses such files): an empty command
    // does nothing, where a type beyond the tables would index past them.
    LogPrintf("cCommand::Validate : set %d type %d is not a command type; made empty", m_nSet ? 1 : 0,
              static_cast<int>(m_nType));
    m_nType = 0;
  }
  ResizeParams(ParamCount());
  RepairSword(database);
  RepairDatabaseParam(database);
  for (cFlow& flow : m_Flows) flow.Validate(database);
}

// "ソード": the sword type must exist; the command lasts as long as its frames.
void cCommand::RepairSword(const cDatabase& database) {
  if (m_nSet != 0 || m_nType != FLOW_CMD_SWORD || !m_Shot) return;
  const auto& swordTypes = database.m_SwordTypes;
  if (!IsIndexInList(m_Shot->m_nMotion, swordTypes.size())) m_Shot->m_nMotion = 0;
  if (!IsIndexInList(m_Shot->m_nMotion, swordTypes.size())) return;  // no sword types at all
  // Summed wide so that long frames cannot wrap the sum below the cap.
  int64_t total = 0;
  for (const cSwordStep& step : swordTypes[m_Shot->m_nMotion].m_Steps) {
    total += step.m_nDuration;
    if (total >= kMaxSwordDuration) total = kMaxSwordDuration;
  }
  m_nDuration = static_cast<int16_t>(std::max<int64_t>(total, std::numeric_limits<int16_t>::min()));
}

// Parameter 0 of the commands that name a database entry.
void cCommand::RepairDatabaseParam(const cDatabase& database) {
  std::size_t size = 0;
  int32_t fallback = 1;
  switch (FlowEquivalentType()) {
    case FLOW_CMD_ANIME_SET:
      size = database.m_AnimeSets.size();
      fallback = 0;
      break;
    case FLOW_CMD_ANIME: size = database.m_Animes.size(); break;
    case FLOW_CMD_EFFECT: size = database.m_Effects.size(); break;
    case FLOW_CMD_CHARA_EFFECT: size = database.m_CharaEffects.size(); break;
    case FLOW_CMD_SCR_EFFECT: size = database.m_ScrEffects.size(); break;
    case FLOW_CMD_PICTURE: size = database.m_Pictures.size(); break;
    case FLOW_CMD_SOUND: size = database.m_Sounds.size(); break;
    case FLOW_CMD_BGM: size = database.m_Bgms.size(); break;
    default: return;
  }
  if (m_Params.empty()) return;
  if (!IsIndexInList(m_Params[0], size)) m_Params[0] = RepairedIndex(fallback, size);
}

void cCommand::ValidateShotRefs(const cPaletteSizes& sizes) {
  if (m_nSet == 0) {
    switch (m_nType) {
      case FLOW_CMD_SHOT:
      case FLOW_CMD_SWORD: RepairShotPaletteRefs(sizes); break;
      case FLOW_CMD_SUMMON_BLOCK:
      case FLOW_CMD_SUMMON_CHARA:
      case FLOW_CMD_SUMMON_ITEM: {
        if (!m_Shot) break;
        const bool bCommon = m_Shot->m_nSummonPalette == 0;
        if (!bCommon && m_Shot->m_nSummonPalette != 1) break;
        int size = 0;
        if (m_nType == FLOW_CMD_SUMMON_BLOCK) size = bCommon ? sizes.m_nCommonBlocks : sizes.m_nStageBlocks;
        else if (m_nType == FLOW_CMD_SUMMON_CHARA) size = bCommon ? sizes.m_nCommonCharas : sizes.m_nStageCharas;
        else size = bCommon ? sizes.m_nCommonItems : sizes.m_nStageItems;
        if (!IsIndexInList(m_Shot->m_nSummonIndex, static_cast<std::size_t>(std::max(size, 0)))) {
          m_Shot->m_nSummonIndex = 1;
        }
        break;
      }
      case FLOW_CMD_ITEM_GET: RepairItemGetRefs(sizes); break;
      default: break;
    }
  } else if (m_nType == ITEM_CMD_ITEM_GET) {
    RepairItemGetRefs(sizes);
  }
  for (cFlow& flow : m_Flows) flow.ValidateShotRefs(sizes);
}

// The item a shot or sword applies on a hit: palette 1 common, 2 stage.
void cCommand::RepairShotPaletteRefs(const cPaletteSizes& sizes) {
  if (!m_Shot) return;
  const uint8_t nPalette = m_Shot->m_nHitItemPalette;
  if (nPalette != 1 && nPalette != 2) return;
  const int size = nPalette == 1 ? sizes.m_nCommonItems : sizes.m_nStageItems;
  if (!IsIndexInList(m_Shot->m_nHitItemIndex, static_cast<std::size_t>(std::max(size, 0)))) {
    m_Shot->m_nHitItemPalette = 0;
    m_Shot->m_nHitItemIndex = 0;
  }
}

// "アイテムの取得": p0 0 the common, 1 the stage item list; p1 the item.
void cCommand::RepairItemGetRefs(const cPaletteSizes& sizes) {
  if (m_Params.size() < 2) return;
  int size = 0;
  if (m_Params[0] == 0) size = sizes.m_nCommonItems;
  else if (m_Params[0] == 1) size = sizes.m_nStageItems;
  else return;
  if (!IsIndexInList(m_Params[1], static_cast<std::size_t>(std::max(size, 0)))) m_Params[1] = 1;
}

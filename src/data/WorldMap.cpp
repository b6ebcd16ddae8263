#include "data/WorldMap.h"

#include <algorithm>
#include <utility>

#include "core/ErrorBox.h"
#include "core/PathUtil.h"
#include "core/StringUtil.h"

namespace {

constexpr int kNeedTotalVersion = 209;
constexpr int kMapVariantVersion = 758;
constexpr int kDefaultCellKindCount = 10;
constexpr int kDefaultImpassableKinds = 5;

}  // namespace

// ---- cWorldCellKind -------------------------------------------------------------

void cWorldCellKind::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nValue);
  RegisterInt(m_bImpassable);
  RegisterInt(m_nChip);
  RegisterString(m_strName);
  RegisterString(m_strLabel);
}

// ---- cWorldStage ------------------------------------------------------------------

void cWorldStage::Reset() {
  Clear();
  m_nVariant1 = 1;
}

void cWorldStage::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_nKind);
  RegisterInt(m_nSymbol);
  RegisterInt(m_nClearFlag);
  RegisterInt(m_bPassThrough);
  RegisterInt(m_bReplay);
  RegisterInt(m_nAfterClear);
  RegisterInt(m_nNeedFlag);
  RegisterInt(m_nCondVar);
  RegisterInt(m_nCondValue);
  RegisterInt(m_nCondOp);
  if (nVersion >= kNeedTotalVersion) RegisterInt(m_nNeedTotal);
  if (nVersion >= kMapVariantVersion) {
    RegisterInt(m_bVariant);
    RegisterInt(m_nVariant1);
    RegisterInt(m_nVariant2);
  }
  RegisterString(m_strTitle);
  RegisterString(m_strStageFile);
}

bool cWorldStage::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kNeedTotalVersion) m_nNeedTotal = 0;
  return true;
}

// ---- cWorldNode ---------------------------------------------------------------------

cWorldNode::cWorldNode() { Reset(); }

void cWorldNode::Reset() {
  Clear();
  if (m_Stages.empty()) m_Stages.emplace_back();
  else m_Stages.resize(1);
}

void cWorldNode::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nX);
  RegisterInt(m_nY);
  RegisterString(m_strName);
}

bool cWorldNode::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  return ReadRecordList(in, m_Stages);
}

void cWorldNode::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Stages);
}

// ---- cWorldMap ----------------------------------------------------------------------

void CalcPitch(int nWidth, int32_t& nPitch, int32_t& nShift) {
  nShift = 0;
  for (int rest = nWidth - 1; rest > 0; rest /= 2) ++nShift;
  nPitch = int32_t{1} << nShift;
}

void cWorldMap::Reset() {
  Clear();
  m_strName = "ワールド";
  m_nStartX = 9;
  m_nStartY = 7;
  m_nFillColour = 16;
  m_bBackPicture = 0;
  m_CellKinds.resize(kDefaultCellKindCount);
  for (int i = 0; i < kDefaultCellKindCount; ++i) {
    cWorldCellKind& kind = m_CellKinds[i];
    kind.m_nChip = i;
    const bool bImpassable = i < kDefaultImpassableKinds;
    kind.m_bImpassable = bImpassable ? 1 : 0;
    kind.m_strLabel = bImpassable ? "通行不可" : "通行可";
  }
  // Reset may run on a map that already has a grid: start from an empty one so
  // the default map is all kind 0.
  m_Grid.clear();
  SetSize(20, 15);
  m_Nodes.clear();
  m_Nodes2.assign(1, cWorldNode());
  m_Nodes2[0].m_strName = "デフォルト";
}

void cWorldMap::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nWidth);
  RegisterInt(m_nHeight);
  RegisterInt(m_nPitch);
  RegisterInt(m_nPitchShift);
  RegisterInt(m_nStartX);
  RegisterInt(m_nStartY);
  RegisterInt(m_nFillColour);
  RegisterInt(m_bBackPicture);
  RegisterString(m_strName);
  RegisterString(m_strBackPicture);
}

bool cWorldMap::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_CellKinds)) return false;
  if (!ReadValueList(in, m_Grid)) return false;
  if (!ReadRecordList(in, m_Nodes)) return false;
  if (!ReadRecordList(in, m_Nodes2)) return false;
  if (m_nWidth < 1 || m_nWidth > kMaxWorldMapSize || m_nHeight < 1 || m_nHeight > kMaxWorldMapSize) {
    in.Fail(FormatText("the world map's size %d x %d lies outside 1 to %d", m_nWidth, m_nHeight, kMaxWorldMapSize));
    return false;
  }
  // The grid was laid out by the width; a stored pitch that disagrees, or a
  // grid of another length, must not steer any index.
  CalcPitch(m_nWidth, m_nPitch, m_nPitchShift);
  m_Grid.resize(static_cast<std::size_t>(m_nHeight) * static_cast<std::size_t>(m_nPitch), 0);
  RepairCellKinds();
  Normalize();
  return true;
}

void cWorldMap::RepairCellKinds() {
  if (m_CellKinds.empty()) m_CellKinds.resize(1);
  const int32_t nKinds = static_cast<int32_t>(m_CellKinds.size());
  for (int32_t& cell : m_Grid)
    if (cell < 0 || cell >= nKinds) cell = 0;
}

void cWorldMap::Write(cByteWriter& out) {
  Normalize();
  cDataRecord::Write(out);
  WriteRecordList(out, m_CellKinds);
  WriteValueList(out, m_Grid);
  WriteRecordList(out, m_Nodes);
  WriteRecordList(out, m_Nodes2);
}

void cWorldMap::Normalize() {
  // The cursor starts on this cell and the grid is read there, so a start off
  // the map on either side is brought onto it.
  m_nStartX = std::clamp(m_nStartX, 0, std::max(m_nWidth - 1, 0));
  m_nStartY = std::clamp(m_nStartY, 0, std::max(m_nHeight - 1, 0));
  std::erase_if(m_Nodes, [this](const cWorldNode& node) { return node.m_nX >= m_nWidth || node.m_nY >= m_nHeight; });
}

bool cWorldMap::SetSize(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) {
    DebugErrorBoxf("SetSize()で 0 を指定しました！");
    return false;
  }
  const bool bKeep = !m_Grid.empty();
  const int nOldWidth = m_nWidth;
  const int nOldHeight = m_nHeight;
  const int nOldShift = m_nPitchShift;
  cSafeVector<int32_t> oldGrid;
  if (bKeep) {
    DebugErrorBoxf("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch, m_nPitchShift);
    oldGrid = std::move(m_Grid);
  }
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  CalcPitch(nWidth, m_nPitch, m_nPitchShift);
  m_Grid.assign(static_cast<std::size_t>(m_nHeight) * static_cast<std::size_t>(m_nPitch), 0);
  if (bKeep) {
    const int nRows = std::min(nOldHeight, nHeight);
    const int nColumns = std::min(nOldWidth, nWidth);
    for (int y = 0; y < nRows; ++y) {
      for (int x = 0; x < nColumns; ++x) {
        const std::size_t oldIndex = static_cast<std::size_t>(x) + (static_cast<std::size_t>(y) << nOldShift);
        if (oldIndex < oldGrid.size()) m_Grid[CellIndex(x, y)] = oldGrid[static_cast<int>(oldIndex)];
      }
    }
  }
  return true;
}

int cWorldMap::CellIndex(int nX, int nY) const {
  if (nX < 0 || nX >= m_nWidth || nY < 0 || nY >= m_nHeight) return -1;
  return nX + (nY << m_nPitchShift);
}

int32_t cWorldMap::CellAt(int nX, int nY) const {
  const int index = CellIndex(nX, nY);
  return index < 0 ? 0 : m_Grid[index];
}

const cWorldNode* cWorldMap::FindNode(int nX, int nY) const {
  for (const cWorldNode& node : m_Nodes)
    if (node.m_nX == nX && node.m_nY == nY) return &node;
  return nullptr;
}

bool cWorldMap::IsStageOnMap(const std::string& key, int nMode, int nVariantA, int nVariantB) const {
  for (const cWorldNode& node : m_Nodes) {
    for (const cWorldStage& stage : node.m_Stages) {
      if (stage.m_nKind != WORLD_STAGE_STAGE) continue;
      std::string text = stage.m_strStageFile;
      RemoveExtensionString(text);
      // "-1" and "." are below 0x40, so they never occur as trail bytes.
      const std::size_t series = text.rfind("-1");
      if (series != std::string::npos) text.resize(series);
      text += '.';
      if (text != key) continue;
      if (nMode == 0 && stage.m_bVariant == 0) return true;
      if (nMode == 1 && stage.m_bVariant != 0 && stage.m_nVariant1 == nVariantA && stage.m_nVariant2 == nVariantB)
        return true;
    }
  }
  return false;
}

#include "data/StorySlots.h"

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/PathTable.h"
#include "graphics/Font.h"
#include "graphics/SurfaceFill.h"
#include "platform/PathResolver.h"

void cSlotInfo::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_bUsed);
}

void cSlotInfo::SetFromProgress(const cProgress& progress) {
  m_bUsed = 1;
  m_SaveTime = progress.m_SaveTime;
}

void ResetStorySlots(cSafeVector<cSlotInfo>& slots) { slots.assign(kStorySlotCount, cSlotInfo()); }

std::string MakeStoryFileName(int nSlot) {
  if (nSlot < 0 || nSlot >= kStorySlotCount) return std::string();
  return FormatText("%s%02d.dat", g_PathTable[PATH_STORY_PREFIX], nSlot + 1);
}

void ScanStorySlots(cSafeVector<cSlotInfo>& slots) {
  // One scratch record for every slot: only its save time is taken, and a file
  // that does not read leaves it as it was, so the time is cleared per slot.
  cProgress scratch;
  const int count = static_cast<int>(slots.size());
  for (int n = 0; n < count; ++n) {
    cSlotInfo& slot = slots[n];
    const std::string path = MakeStoryFileName(n);
    if (path.empty() || !plat::FileExists(path)) {
      slot.m_bUsed = 0;
      continue;
    }
    scratch.m_SaveTime = cSaveTime{};
    if (!cDataRecord::LoadFile(scratch, path))
      ReportPrintfLog("Story slot %d : %s cannot be read", n + 1, path.c_str());
    slot.SetFromProgress(scratch);
  }
}

std::string FormatSlotDate(const cSlotInfo& slot) {
  if (slot.m_bUsed == 0) return std::string();
  const cSaveTime& t = slot.m_SaveTime;
  return FormatText("%04d/%02d/%02d %02d:%02d\n", t.m_wYear, t.m_wMonth, t.m_wDay, t.m_wHour, t.m_wMinute);
}

cSlotListLayout LayoutSlotList(int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int count) {
  cSlotListLayout layout;
  if (count < 0) count = 0;
  layout.box = cSlotListRect{x, y, kSlotListWidth, count * kSlotRowHeight};
  const int size = static_cast<int>(slots.size());
  for (int i = 0; i < count; ++i) {
    const int rowY = y + kSlotRowHeight * i;
    if (i != count - 1) layout.separators.push_back(cSlotListRect{x, rowY + 15, kSlotListWidth, 1});
    const int n = first + i;
    if (size == 0 || n >= size || n < 0) break;
    layout.texts.push_back(cSlotListText{x + 16, rowY, FormatText("%d", n + 1)});
    std::string date = FormatSlotDate(slots[n]);
    if (!date.empty()) layout.texts.push_back(cSlotListText{x + 64, rowY, std::move(date)});
  }
  return layout;
}

void DrawSlotList(DDSURFACEDATA* lpDst, int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int count) {
  const cSlotListLayout layout = LayoutSlotList(x, y, slots, first, count);
  g_Font[1].DrawBox(lpDst, layout.box.x, layout.box.y, layout.box.width, layout.box.height);
  for (const cSlotListRect& line : layout.separators) {
    DDFillRectPal(lpDst, line.x, line.y, line.width, line.height, kSlotSeparatorColour);
  }
  for (const cSlotListText& text : layout.texts) g_Font[1].Draw(lpDst, text.x, text.y, text.text);
}

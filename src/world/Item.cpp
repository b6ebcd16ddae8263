#include "world/Item.h"

#include "data/StageData.h"
#include "world/FlowServices.h"
#include "world/GameScene.h"

namespace {

// Every item shows patterns 0 and 1 in turn, 15 frames each, locked.
const cFrameScriptTable& ItemAnimation() {
  static const cFrameScriptTable animation = {
      cFrameScript{cAnimeFrame{0, 15, 1}, cAnimeFrame{1, 15, 1}, cAnimeFrame{kAnimePatternLoop, 0, 1}}};
  return animation;
}

int ScaleOf(const cItemData& data) { return data.m_nScale > 0 ? data.m_nScale : 1; }

}  // namespace

void cItem::Init(int key, const cItemData& definition, int carried) {
  m_Data = definition;
  if (m_Data.m_nScale == 0) m_Data.m_nScale = 1;
  const int w = g_Stage.m_ItemBox.m_nWidth;
  const int h = g_Stage.m_ItemBox.m_nHeight;
  cGameObj::Init(key, OBJ_BY_PLAYER, 0, 0, m_Data.m_nGraphic, &ItemAnimation(), 0, 16 - w / 2, 16 - h / 2, w, h,
                 kCellDots, kCellDots, 0, 1, 0);
  m_MovesWithScroll = 0;
  m_bCarried = carried;
  if (carried != 0) {
    // A carried item drops where its character dies, at its own size.
    m_Active = 1;
  } else {
    SetScale(ScaleOf(m_Data), 1);
  }
  FlowServices().ExpandLoopCommands(m_Data.m_Commands);
}

void cItem::PlaceOnGrid(int column, int row) {
  m_X = (int64_t{column} + g_GameScene->m_ScrollX.m_Margin) * kCellDots + m_BaseDrawOffX + 0.5;
  m_Y = static_cast<double>((int64_t{row} + g_GameScene->m_ScrollY.m_Margin) * kCellDots + m_BaseDrawOffY);
  Reanchor(ScaleOf(m_Data), 1);
  ClampX(CLAMP_GRID);
  ClampY(CLAMP_GRID);
}

void cItem::ReanchorY(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_Y -= static_cast<double>((int64_t{newScale} - oldScale) * (int64_t{m_BaseBoxH} + m_BaseDrawOffY));
  ClampY(CLAMP_GRID);
}

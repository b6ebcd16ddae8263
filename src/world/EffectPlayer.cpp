#include "world/EffectPlayer.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Effect.h"
#include "graphics/Blit.h"
#include "world/GameScene.h"
#include "world/Random.h"
#include "world/StageGraphics.h"

namespace {

// An index with bit 15 set is no effect at all: it reads entry 0.
int CheckedEffectIndex(int index) { return (index & 0x8000) != 0 ? -1 : index; }

}  // namespace

const cEffect& cEffectPlayer::Entry() const { return g_Database.m_Effects[CheckedEffectIndex(m_nEffect)]; }

cEffectPlayer::cEffectPlayer(int index, double x, double y, int width, int height, int animateWhileFrozen)
    : m_nEffect(index), m_X(x), m_Y(y), m_nWidth(width), m_nHeight(height), m_bAnimateWhileFrozen(animateWhileFrozen) {
  m_bScaled = width != Entry().m_nCellWidth ? 1 : 0;
  Start(index);
}

cEffectPlayer::cEffectPlayer(int index, const cEffectRect& a, const cEffectRect& b, int scale) : m_nEffect(index) {
  const cEffect& entry = Entry();
  int s = 1;
  // The entry's m_nValue carries its scalable switch.
  if (entry.m_nValue != 0 && scale > 1) {
    s = scale;
    m_bScaled = 1;
  }
  m_nWidth = entry.m_nCellWidth * s;
  m_nHeight = entry.m_nCellHeight * s;
  int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  int right = std::min(a.right, b.right), bottom = std::min(a.bottom, b.bottom);
  if (left > right || top > bottom) left = top = right = bottom = 0;
  m_X = left + ((right - left + 1) >> 1) - (m_nWidth >> 1);
  m_Y = top + ((bottom - top + 1) >> 1) - (m_nHeight >> 1);
  m_X += RandomRange(-4 * s, 4 * s);
  m_Y += RandomRange(-4 * s, 4 * s);
  Start(index);
}

void cEffectPlayer::Start(int index) {
  m_nEffect = index;
  cFrameScriptTable one;
  one.push_back(g_EffectScripts[CheckedEffectIndex(index)]);
  m_Anime.Setup(one);
  m_Anime.SetAnime(0, 1);
}

int cEffectPlayer::TotalFrames() const {
  int total = 0;
  for (const cEffectFrame& frame : Entry().m_Frames) total += frame.m_nDuration * 6;
  return total;
}

int cEffectPlayer::Draw(DDSURFACEDATA* target, int frozen) {
  const cEffect& entry = Entry();
  if (entry.m_Frames.empty()) return 1;
  int pattern = m_Anime.GetPattern();
  if (frozen == 0 || m_bAnimateWhileFrozen != 0) pattern = m_Anime.Update();
  if (pattern == -4) return 1;
  if (pattern < 0) return 0;
  const int cellW = entry.m_nCellWidth, cellH = entry.m_nCellHeight;
  const int x = static_cast<int>(m_X - CameraX()), y = static_cast<int>(m_Y - CameraY());
  const int e = CheckedEffectIndex(m_nEffect);
  if (m_bScaled == 0) {
    if (DDSURFACEDATA* image = g_EffectImages.Get(e, 0))
      DDBlt(target, x, y, m_nWidth, m_nHeight, image, pattern * cellW, 0, 1);
  } else if (m_nWidth > 0 && m_nHeight > 0) {
    DDSURFACEDATA* image = g_EffectImages.Get(e, IsDirect3D() ? 0 : 2);
    if (image == nullptr) image = g_EffectImages.Get(e, 0);
    if (image != nullptr) DDBltEx(target, x, y, m_nWidth, m_nHeight, image, pattern * cellW, 0, cellW, cellH, 1);
  }
  return 0;
}

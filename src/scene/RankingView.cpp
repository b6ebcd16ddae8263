#include "scene/RankingView.h"

#include "core/SceneManager.h"
#include "data/Progress.h"
#include "data/SystemData.h"

bool RankingsEnabled(int playMode) {
  if (playMode < 0 || playMode >= kPlayModeCount) return false;
  return g_System.m_RankGenreSets[playMode].m_bRankingOn != 0;
}

void LoadSelectedRanking() {
  if (g_SceneManager.m_bRanking == 0) return;
  g_Progress.StepRankGenre(g_SceneManager.m_nPlayMode, 0);
}

void DrawSelectedRanking(DDSURFACEDATA* lpDst, int x, int y) {
  (void)lpDst;
  (void)x;
  (void)y;
}

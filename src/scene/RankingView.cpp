#include "scene/RankingView.h"

#include "core/SceneManager.h"
#include "data/Progress.h"
#include "data/SystemData.h"
#include "world/Ranking.h"

bool RankingsEnabled(int playMode) {
  if (playMode < 0 || playMode >= kPlayModeCount) return false;
  return g_System.m_RankGenreSets[playMode].m_bRankingOn != 0;
}

void LoadSelectedRanking() {
  if (g_SceneManager.m_bRanking == 0) return;
  LoadRanking(g_RankFile, g_SceneManager.m_nPlayMode, g_Progress.m_strStageName, g_Progress.m_bVariant,
              g_Progress.m_nVariantVar, g_Progress.m_nVariantValue);
  g_Progress.StepRankGenre(g_SceneManager.m_nPlayMode, 0);
}

void DrawSelectedRanking(DDSURFACEDATA* lpDst, int x, int y) {
  g_RankFile.DrawBoard(lpDst, x, y, g_Progress.m_nRankGenre, -1);
}

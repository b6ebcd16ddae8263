#include "world/RunStart.h"

#include <string>

#include "core/PathUtil.h"
#include "core/ProcessFlags.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"

void GiveRunStartLives(int nPlayMode, bool bInfinite) {
  cProgress& progress = g_Progress;
  if (bInfinite || g_System.m_InfiniteLives[nPlayMode] != 0) {
    progress.m_nLivesAtStart = kInfiniteLives;
    progress.m_nLives = kInfiniteLives;
    return;
  }
  progress.m_nLivesAtStart = g_System.m_Lives[nPlayMode];
  progress.m_nLives = progress.m_nLivesAtStart - 1;
}

void ResetStoryRun() {
  g_Progress.ResetFreeRun();
  g_Progress.m_nMapX = g_WorldMap.m_nStartX;
  g_Progress.m_nMapY = g_WorldMap.m_nStartY;
  g_Progress.m_nRound = 0;
  GiveRunStartLives(kPlayModeStory, false);
}

int StartStageFromFile(std::string_view path, bool bResolve) {
  std::string stagePath(path);
  g_Progress.ResetFreeRun();
  if (LoadStageForPlay(stagePath, bResolve, &g_StageInitial) == 0) return 0;
  g_Progress.m_nStageNo = 1;
  g_Progress.m_nSeriesNo = 1;
  GiveRunStartLives(kPlayModeStageFile, g_TestPlay != 0);
  ToRelativePath(stagePath);
  g_Progress.SetStageName(stagePath, 0, 0, 0);
  return 1;
}

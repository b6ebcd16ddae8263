#include "app/GameSceneHost.h"

#include "app/MainWnd.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "world/GameScene.h"
#include "world/RunStart.h"
#include "world/ReplayInput.h"

void ConnectGameSceneServices(cMainWndServices& services) {
  services.requestGameSceneClose = [] {
    if (g_GameScene != nullptr) g_GameScene->RequestClose();
  };
  services.stageTuneLoop = [] { return static_cast<int>(g_Progress.m_bBgmLoop); };
  services.setStageTune = [](int number) { g_Progress.m_nBgm = number; };
  services.saveReplay = [](const std::string& path, int previous) {
    if (previous != 0) return g_ReplayPrev.SaveFile(path, g_Stage, g_StageInitial, g_ReplayPrevProgress) != 0;
    return g_ReplayRec.SaveFile(path, g_Stage, g_StageInitial, g_ReplayRecProgress) != 0;
  };
  // A stage file chosen in the title's free play is taken as it was chosen,
  // not as the newest numbered version of its name.
  services.startStageFromFile = [](const std::string& path) { return StartStageFromFile(path, false) != 0; };
  services.loadReplay = [](const std::string& path) {
    return g_ReplayRec.LoadFile(path, g_Stage, g_StageInitial, g_Progress) != 0;
  };
  services.setLoadedFilePath = [](const std::string& path) { g_Stage.m_Path = path; };
  // The name a ranking entry of the stage clear asks for.
  services.gameSceneEntryName = []() -> std::string* {
    return g_GameScene != nullptr ? &g_GameScene->m_StageClear.m_strEnteredName : nullptr;
  };
}

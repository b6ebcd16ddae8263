#include "RunReplay.h"

#include <filesystem>

#include "core/SceneManager.h"
#include "data/StageData.h"
#include "world/GameScene.h"

namespace runner {

namespace {

namespace fs = std::filesystem;

// The game scene has set its stage up at least once.
bool StageIsSetUp() {
  return g_SceneManager.m_nCurScene == SCENE_GAME && g_GameScene != nullptr && g_GameScene->m_nStep >= 0;
}

}  // namespace

std::string AttemptFileName(const std::string& path, int attempt) {
  if (attempt <= 1) return path;
  const fs::path file(path);
  fs::path name = file.stem();
  name += "." + std::to_string(attempt);
  name += file.extension();
  return (file.parent_path() / name).string();
}

void cRunRecorder::Observe() {
  if (!StageIsSetUp()) return;
  if (!m_Recording) {
    m_Recording = true;
    m_Seed = g_ReplayRec.m_Seed;
    return;
  }
  if (g_ReplayRec.m_Seed == m_Seed) return;
  // Leaving the stage clears both recordings, and two attempts begun in one
  // frame lose the first: either way the chain is not the run.
  if (g_ReplayPrev.m_Seed != m_Seed) m_Broken = true;
  m_Attempts.push_back({g_ReplayPrev, g_ReplayPrevProgress});
  m_Seed = g_ReplayRec.m_Seed;
}

bool cRunRecorder::Save(const std::string& path, std::string& error) {
  if (m_Broken) {
    error = "the run's attempts do not form one replay (it left its stage, or restarted twice in a frame)";
    return false;
  }
  std::vector<sAttempt> attempts = m_Attempts;
  attempts.push_back({g_ReplayRec, g_ReplayRecProgress});
  int attempt = 1;
  for (sAttempt& each : attempts) {
    const std::string name = AttemptFileName(path, attempt++);
    if (each.keys.SaveFile(name, g_Stage, g_StageInitial, each.progress) == 0) {
      error = "the replay could not be saved to " + name;
      return false;
    }
  }
  for (std::error_code ec; fs::remove(AttemptFileName(path, attempt), ec); ++attempt) {
  }
  return true;
}

void cRunPlayer::Observe() {
  if (m_Attempt > 0 && g_ReplayRec.m_Seed == m_Seed) return;
  ++m_Attempt;
  m_Seed = g_ReplayRec.m_Seed;
  const std::string next = AttemptFileName(m_Path, m_Attempt + 1);
  if (fs::exists(next)) g_Stage.m_Path = next;
}

}  // namespace runner

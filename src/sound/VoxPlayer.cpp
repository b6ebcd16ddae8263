#include "sound/VoxPlayer.h"

#include <atomic>

#include "core/ErrorBox.h"
#include "sound/OggVox.h"

namespace {
std::atomic<CreateVoxProc> g_VoxLibrary{&CreateOggVox};
}  // namespace

CreateVoxProc LoadVoxLibrary() { return g_VoxLibrary.load(); }
void SetVoxLibrary(CreateVoxProc entry) { g_VoxLibrary.store(entry); }
void ResetVoxLibraryForTests() { g_VoxLibrary.store(&CreateOggVox); }

bool cVoxPlayer::Init() {
  m_CreateVox = LoadVoxLibrary();
  if (m_CreateVox == nullptr) {
    ErrorBoxf("oggの初期化に失敗！");
    return false;
  }
  return true;
}

bool cVoxPlayer::SetCount(int count) {
  m_Players.clear();
  m_nCount = count;
  m_nCurrent = -1;
  if (count < 0 || m_CreateVox == nullptr) {
    OutOfMemoryExit();
    return false;
  }
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<IVox> player = m_CreateVox();
    if (!player) {
      OutOfMemoryExit();
      return false;
    }
    m_Players.push_back(std::move(player));
  }
  return true;
}

bool cVoxPlayer::Play(int channel, std::string_view path, int loop) {
  if (path.empty()) return false;
  if (channel < 0 || static_cast<std::size_t>(channel) >= m_Players.size()) return false;
  Stop();
  IVox& player = *m_Players[static_cast<std::size_t>(channel)];
  player.Close();
  if (!player.Load(path)) {
    m_nCurrent = -1;
    return false;
  }
  player.SetLoop(loop != 0 ? kVoxLoopForever : 0);
  player.Play();
  m_nCurrent = channel;
  return true;
}

void cVoxPlayer::Stop() {
  if (m_nCurrent < 0 || static_cast<std::size_t>(m_nCurrent) >= m_Players.size()) return;
  m_Players[static_cast<std::size_t>(m_nCurrent)]->Stop();
  m_nCurrent = -1;
}

void cVoxPlayer::Release() {
  m_Players.clear();
  m_nCount = 0;
  m_nCurrent = -1;
  m_CreateVox = nullptr;
}

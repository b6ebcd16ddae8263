#include "app/SoundServices.h"

#include "data/Database.h"
#include "data/SystemData.h"
#include "sound/BgmManager.h"
#include "sound/SoundSlot.h"

// The stage's own tune and loop flag (stageTuneLoop, setStageTune) belong to
// the game world, which connects them when it joins the player.
void ConnectSoundServices(cMainWndServices& services) {
  services.soundSlotCount = [] { return static_cast<int>(g_SoundSlots.size()); };
  services.soundSlotBytes = [] { return sizeof(cSoundSlot); };
  services.playSoundSlot = [](int slot) { PlaySoundSlot(g_SoundSlots[slot], 0); };
  services.sceneTune = [](int scene) { return static_cast<int>(g_System.m_SceneBgm[scene]); };
  services.sceneLoop = [](int scene) { return static_cast<int>(g_System.m_SceneBgmLoop[scene]); };
  services.bgmCount = [] { return static_cast<int>(g_Database.m_Bgms.size()); };
  services.bgmBytes = [] { return sizeof(cBgm); };
  services.bgmFile = [](int number) { return g_Database.m_Bgms[number].m_strFile; };
  services.stopAllMusic = [] { g_BgmManager.StopAll(); };
  services.setMusicFile = [](int slot, const std::string& file) { g_BgmManager.SetFile(slot, file); };
  services.playMusic = [](int channel, int slot, int loop, int stopMode, int force) {
    g_BgmManager.Play(channel, slot, loop, stopMode, force);
  };
}

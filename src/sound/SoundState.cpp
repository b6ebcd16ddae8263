#include "sound/SoundState.h"

#include "sound/AudioOutput.h"

namespace {
constexpr std::uint16_t kLeftOrRight = 1 | 2;
constexpr std::uint16_t kUpOrDown = 4 | 8;
}  // namespace

bool DS_Init(HWND window, int samplesPerSecond, int bitsPerSample, int channels) {
  g_SoundState.m_pDevice = OpenAudioOutput();
  g_SoundState.m_PrimaryFormat = {samplesPerSecond, channels, bitsPerSample, channels * bitsPerSample / 8};
  g_SoundState.m_hWnd = window;
  g_SoundState.m_pSlots = nullptr;
  g_SoundState.m_pDefs = nullptr;
  return true;
}

void SoundRelease() {
  if (g_SoundState.m_pSlots != nullptr) {
    for (cSoundSlot& slot : *g_SoundState.m_pSlots) FreeSound(slot);
  }
  g_SoundState.m_pDevice.reset();
  CloseAudioOutput();
}

int LoadSounds(cSafeVector<cSoundSlot>& slots, cSafeVector<cSoundDef>& defs, int volume) {
  g_SoundState.m_pSlots = &slots;
  g_SoundState.m_pDefs = &defs;
  const int count = static_cast<int>(slots.size());
  for (int i = 0; i < count; ++i) {
    if (!slots[i].m_Buffers.empty()) continue;
    cSoundDef& def = defs[i];
    if (volume != 0) def.m_nVolume = volume;
    // An empty name is a slot the game gives no sound: nothing to load, and
    // nothing to report.
    if (def.m_strFile.empty()) continue;
    LoadSound(slots[i], def.m_strFile, def.m_nCount, def.m_nVolume);
  }
  return 1;
}

void PlayCursorSound(std::uint16_t direction, int mode, int slotNumber) {
  if (!g_SoundState.m_pDevice || g_SoundState.m_pSlots == nullptr) return;
  cSoundSlot& slot = (*g_SoundState.m_pSlots)[slotNumber];
  if ((mode & 1) != 0 && (direction & kLeftOrRight) != 0) PlaySoundSlot(slot, 0);
  if ((mode & 2) != 0 && (direction & kUpOrDown) != 0) PlaySoundSlot(slot, 0);
}

void ResetSoundForTests() {
  SoundRelease();
  g_SoundState = cSoundState{};
  g_SoundSlots.clear();
  g_SoundDefs.clear();
  SetAudioDeviceFactory({});
}

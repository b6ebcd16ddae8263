#include "sound/BgmManager.h"

#include <algorithm>

#include "core/Log.h"
#include "core/PathUtil.h"
#include "core/SafeAccess.h"

namespace {

const char* const kDefaultTunes[kBgmSlotCount] = {"Title", "WorldMap", "Challenge", "Option", "Stage"};

cBgmNameTable MakeNames(const char* extension) {
  cBgmNameTable names;
  for (int i = 0; i < kBgmSlotCount; ++i) names[i] = std::string("bgm\\") + kDefaultTunes[i] + extension;
  return names;
}

}  // namespace

cBgmNameTable MakeDefaultOggNames() { return MakeNames(".ogg"); }
cBgmNameTable MakeDefaultMidiNames() { return MakeNames(".mid"); }

int cBgmManager::CheckedSlot(int slot) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < m_Kinds.size()) return slot;
  ReportSafeIndexFailure(eSafeContainerKind::Vector, slot, m_Kinds.size(), sizeof(std::int32_t));
  return 0;
}

bool cBgmManager::Init(int channels, std::string* oggNames, std::string* midiNames, int slotCount) {
  m_bEnabled = 1;
  m_MidiOut.Release();
  if (!m_Vox.Init()) {
    LogWrite("m_Vox.Init失敗！");
    m_bEnabled = 0;
    return false;
  }
  SetChannels(channels);
  m_pOggNames = oggNames;
  m_pMidiNames = midiNames;
  m_Kinds.assign(static_cast<std::size_t>(std::max(slotCount, 0)), KIND_OGG_THEN_MIDI);
  return true;
}

int cBgmManager::SetChannels(int count) {
  if (m_bEnabled == 0) return 1;
  m_MidiOut.SetChannels(count);
  m_Vox.SetCount(count);
  m_States.assign(static_cast<std::size_t>(std::max(count, 0)), CHANNEL_SILENT);
  return 1;
}

bool cBgmManager::SetFile(int slot, std::string_view path) {
  if (m_bEnabled == 0 || m_Kinds.empty()) return false;
  const int index = CheckedSlot(slot);
  std::string& oggName = m_pOggNames[index];
  std::string& midiName = m_pMidiNames[index];
  std::string extension;
  if (!GetExtension(extension, path)) {
    oggName.clear();
    midiName.clear();
    m_Kinds[index] = KIND_OGG_THEN_MIDI;
    return false;
  }
  if (extension == "mid" || extension == "MID") {
    ChangeExtension(midiName, path, "mid");
    m_Kinds[index] = KIND_MIDI;
    return true;
  }
  if (extension == "ogg" || extension == "OGG") {
    oggName.assign(path);
    m_Kinds[index] = KIND_OGG;
    return true;
  }
  oggName.assign(path);
  midiName.assign(path);
  m_Kinds[index] = KIND_OGG_THEN_MIDI;
  return false;
}

bool cBgmManager::Play(int channel, int slot, int loop, int midiStopMode, int force) {
  if (m_bEnabled == 0 || m_Kinds.empty()) return false;
  if (slot == m_nCurrentSlot && force == 0) return true;
  m_nCurrentSlot = slot;
  const int index = CheckedSlot(slot);
  const std::int32_t kind = m_Kinds[index];
  std::int32_t& state = m_States[channel];
  if (kind == KIND_OGG_THEN_MIDI || kind == KIND_OGG) {
    if (m_Vox.Play(channel, m_pOggNames[index], loop)) {
      state = CHANNEL_OGG;
      m_MidiOut.StopAll(kind == KIND_OGG_THEN_MIDI ? midiStopMode : 0);
      return true;
    }
  }
  if (kind == KIND_OGG_THEN_MIDI || kind == KIND_MIDI) {
    if (m_MidiOut.PlayFile(channel, m_pMidiNames[index], loop)) {
      state = CHANNEL_MIDI;
      m_Vox.Stop();
      return true;
    }
  }
  state = CHANNEL_SILENT;
  m_nCurrentSlot = -1;
  m_Vox.Stop();
  m_MidiOut.StopAll(0);
  return false;
}

void cBgmManager::StopAll() {
  if (m_bEnabled == 0) return;
  m_MidiOut.StopAll(0);
  m_Vox.Stop();
}

void cBgmManager::Release() {
  if (m_bEnabled == 0) return;
  m_Vox.Release();
  m_MidiOut.Release();
  m_bEnabled = 0;
}

void ResetMusicForTests() {
  g_BgmManager.Release();
  g_BgmManager.m_pOggNames = nullptr;
  g_BgmManager.m_pMidiNames = nullptr;
  g_BgmManager.m_nCurrentSlot = -1;
  g_BgmManager.m_Kinds.clear();
  g_BgmManager.m_States.clear();
  g_BgmOggNames = MakeDefaultOggNames();
  g_BgmMidiNames = MakeDefaultMidiNames();
  ResetVoxLibraryForTests();
}

#include "sound/SoundSlot.h"

#include <algorithm>
#include <memory>

#include "core/Log.h"
#include "sound/SoundState.h"
#include "sound/WaveFile.h"

namespace {

plat::cAudioDevice* Device() { return g_SoundState.m_pDevice.get(); }

plat::cAudioVoice* BufferAt(const cSoundSlot& slot, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= slot.m_Buffers.size()) return nullptr;
  return slot.m_Buffers[static_cast<std::size_t>(index)];
}

}  // namespace

cSoundSlot::cSoundSlot(const cSoundSlot& other)
    : m_strName(other.m_strName), m_Buffers(other.m_Buffers), m_nCount(other.m_nCount), m_nNext(other.m_nNext.load()) {}

cSoundSlot& cSoundSlot::operator=(const cSoundSlot& other) {
  m_strName = other.m_strName;
  m_Buffers = other.m_Buffers;
  m_nCount = other.m_nCount;
  m_nNext = other.m_nNext.load();
  return *this;
}

bool CreateSoundFromWav(plat::cAudioVoice*& buffer, std::string_view file) {
  buffer = nullptr;
  const std::string name(file);
  sWaveData wave;
  if (!ReadWaveFile(file, wave)) {
    ReportPrintfLog("%s の読み込みに失敗しました！", name.c_str());
    return false;
  }
  const plat::sPcmFormat format{static_cast<int>(wave.format.nSamplesPerSec), wave.format.nChannels,
                                wave.format.wBitsPerSample, wave.format.nBlockAlign};
  auto samples = std::make_shared<const std::vector<std::uint8_t>>(std::move(wave.samples));
  buffer = Device()->CreateVoice(format, std::move(samples));
  if (buffer == nullptr) {
    LogPrintf("%s生成失敗！", name.c_str());
    return false;
  }
  return true;
}

bool DuplicateSound(plat::cAudioVoice*& buffer, const plat::cAudioVoice* source) {
  buffer = source != nullptr ? Device()->DuplicateVoice(*source) : nullptr;
  return buffer != nullptr;
}

bool LoadSound(cSoundSlot& slot, std::string_view file, int count, int volume) {
  if (Device() == nullptr) return true;
  FreeSound(slot);
  const std::string name(file);
  if (count < 1) {
    // No buffer to make the others from: as when the array cannot be had.
    LogPrintf("%sのメモリ確保失敗！", name.c_str());
    return false;
  }
  slot.m_Buffers.assign(static_cast<std::size_t>(count), nullptr);
  if (!CreateSoundFromWav(slot.m_Buffers[0], file)) return false;
  for (int i = 1; i < count; ++i) {
    if (!DuplicateSound(slot.m_Buffers[static_cast<std::size_t>(i)], slot.m_Buffers[0])) {
      LogPrintf("%sのメモリ共用バッファの生成失敗！", name.c_str());
      return false;
    }
  }
  slot.m_nCount = count;
  slot.m_strName = name;
  if (volume != 0) {
    for (int i = 0; i < count; ++i) SetSoundVolume(slot, i, volume, 0);
  }
  return true;
}

void FreeSound(cSoundSlot& slot) {
  if (plat::cAudioDevice* device = Device()) {
    // The duplicates first, then the buffer that made them.
    for (std::size_t i = slot.m_Buffers.size(); i-- > 0;) device->ReleaseVoice(slot.m_Buffers[i]);
  }
  slot.m_Buffers.clear();
  slot.m_strName.clear();
  slot.m_nCount = 0;
  slot.m_nNext = 0;
}

void PlaySoundSlot(cSoundSlot& slot, int /*flags*/) {
  if (Device() == nullptr) return;
  int next = slot.m_nNext.load();
  plat::cAudioVoice* buffer = BufferAt(slot, next);
  if (buffer == nullptr) return;
  buffer->Stop();
  buffer->Rewind();
  buffer->Play();
  // A slot whose load failed after its first buffer keeps count 0 and so
  // always plays that buffer. When another thread moved the index meanwhile,
  // its move stands.
  const int following = next + 1 >= slot.m_nCount ? 0 : next + 1;
  slot.m_nNext.compare_exchange_strong(next, following);
}

int SetSoundVolume(cSoundSlot& slot, int index, int volume, int relative) {
  if (Device() == nullptr) return 0;
  plat::cAudioVoice* buffer = BufferAt(slot, index);
  if (buffer == nullptr) return 0;
  long long wanted = volume;
  if (relative == 1) wanted += buffer->GetVolume();
  return buffer->SetVolume(static_cast<int>(std::clamp<long long>(wanted, plat::kAudioVolumeMin, plat::kAudioVolumeMax)));
}

int GetSoundVolume(const cSoundSlot& slot, int index) {
  if (Device() == nullptr) return 0;
  const plat::cAudioVoice* buffer = BufferAt(slot, index);
  return buffer != nullptr ? buffer->GetVolume() : 0;
}

#include "RunAudio.h"

#include <cstring>

#include "SampleSounds.h"
#include "core/AtomicFile.h"
#include "sound/AudioOutput.h"

namespace runner {

cRunAudio::cRunAudio(std::string wavPath)
    : m_Path(std::move(wavPath)), m_Device(std::make_shared<plat::cOfflineAudioDevice>()) {
  SetAudioDeviceFactory([device = m_Device] { return device; });
}

cRunAudio::~cRunAudio() { SetAudioDeviceFactory({}); }

void cRunAudio::EndFrame() {
  if (m_Path.empty()) return;
  const std::vector<std::int16_t> block = m_Device->Render(kFramesPerGameFrame);
  m_Samples.insert(m_Samples.end(), block.begin(), block.end());
}

bool cRunAudio::Save(std::string& error) const {
  if (m_Path.empty()) return true;
  samplegame::cPcmSound sound;
  sound.rate = plat::kAudioRate;
  sound.channels = plat::kAudioChannels;
  sound.bits = 16;
  sound.data.resize(m_Samples.size() * sizeof(std::int16_t));
  // Little-endian samples, as the machine keeps them.
  std::memcpy(sound.data.data(), m_Samples.data(), sound.data.size());
  if (!WriteFileAtomic(m_Path, samplegame::EncodeWave(sound))) {
    error = "the sound could not be written to " + m_Path;
    return false;
  }
  return true;
}

}  // namespace runner

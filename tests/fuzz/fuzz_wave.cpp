// Sound effects (wave\*.wav and the sound database's files): the RIFF/WAVE
// reader, then the mixer on what it read.

#include <memory>

#include "fuzz/FuzzSupport.h"
#include "platform/AudioDevice.h"
#include "sound/WaveFile.h"

// Whatever the input, reading ends without a crash or a sanitizer report and
// never keeps more samples than the file holds. A format the device takes
// plays through the mixer to its end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sWaveData wave;
  if (!ReadWaveBytes(std::span<const std::uint8_t>(data, size), "fuzz.wav", wave)) {
    if (!wave.samples.empty()) __builtin_trap();
    return 0;
  }
  if (wave.samples.size() > size) __builtin_trap();
  const plat::sPcmFormat format{static_cast<int>(wave.format.nSamplesPerSec), wave.format.nChannels,
                                wave.format.wBitsPerSample, wave.format.nBlockAlign};
  plat::cOfflineAudioDevice device;
  plat::cAudioVoice* voice =
      device.CreateVoice(format, std::make_shared<const std::vector<std::uint8_t>>(std::move(wave.samples)));
  if (voice == nullptr) return 0;
  voice->SetVolume(-600);
  voice->Play();
  device.Render(2048);
  return 0;
}

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> Wave(int rate, int channels, int bits, std::size_t frames, std::uint32_t formatBytes) {
  const int align = channels * bits / 8;
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * static_cast<std::uint32_t>(align);
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  Put(out, 4 + 8 + formatBytes + 8 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(out, formatBytes, 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(channels), 2);
  Put(out, static_cast<std::uint32_t>(rate), 4);
  Put(out, static_cast<std::uint32_t>(rate * align), 4);
  Put(out, static_cast<std::uint32_t>(align), 2);
  Put(out, static_cast<std::uint32_t>(bits), 2);
  if (formatBytes == 18) Put(out, 0, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  Put(out, dataBytes, 4);
  for (std::uint32_t i = 0; i < dataBytes; ++i) out.push_back(static_cast<std::uint8_t>(i * 37));
  return out;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  return {Wave(11025, 1, 8, 64, 16), Wave(22050, 2, 16, 48, 18), Wave(44100, 2, 8, 32, 16), Wave(8000, 1, 16, 40, 16)};
}

// Music (bgm\*.ogg and the music database's Ogg files): libvorbisfile over
// the file's bytes, as the Ogg player opens and decodes them.

#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "platform/OggDecoder.h"
#include "platform/OggEncoder.h"

namespace {
// Far more frames than a small input can hold honestly.
constexpr int kMaxFrames = 1 << 22;
}  // namespace

// Whatever the input, opening and decoding end without a crash or a
// sanitizer report, and an opened stream has the channels and the rate the
// player can play.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::cOggDecoder decoder;
  if (!decoder.Open(std::vector<std::uint8_t>(data, data + size))) return 0;
  if (decoder.Channels() < 1 || decoder.Channels() > 2) __builtin_trap();
  if (decoder.SampleRate() < 1000 || decoder.SampleRate() > 200000) __builtin_trap();
  std::vector<float> frames(2 * 1024);
  int total = 0;
  for (int read; total < kMaxFrames && (read = decoder.Read(frames.data(), 1024)) > 0;) {
    if (read > 1024) __builtin_trap();
    total += read;
  }
  if (decoder.Rewind()) decoder.Read(frames.data(), 1024);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  for (int channels : {1, 2}) {
    std::vector<float> samples;
    for (int i = 0; i < 2000 * channels; ++i) samples.push_back(static_cast<float>(0.5 * std::sin(i * 0.07)));
    std::vector<std::uint8_t> ogg;
    if (plat::EncodeOggVorbis(samples, channels, channels == 1 ? 22050 : 44100, 0.0f, ogg)) seeds.push_back(ogg);
  }
  return seeds;
}

// The audio device's mixer: 32 sound effects sounding at once for one second
// of output (44100 frames), against SDL's own mixing of the same number of
// buffers that are already at the output format (no conversion, no
// resampling), in one run (compare the figures of one run with each other).
//
// Groups:
//   Mix32_Ours         32 voices in the formats games come with (8 and 16
//                      bits, mono and stereo, 11025, 22050 and 44100 frames a
//                      second), resampled, at a volume
//   Mix32At44100_Ours  32 voices already at the output format, at a volume
//   Mix32_SDL          SDL_MixAudioFormat of 32 such buffers at a volume
// "core_fraction" is the time of one second of output as a fraction of one
// second of one core.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/AudioDevice.h"

namespace {

constexpr int kVoices = 32;
constexpr int kSecond = plat::kAudioRate;

// One second of a tone in the given format.
std::shared_ptr<const std::vector<std::uint8_t>> Tone(const plat::sPcmFormat& format, int voice) {
  std::vector<std::uint8_t> bytes;
  const int frames = format.samplesPerSecond;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < format.channels; ++c) {
      const double value = 0.3 * std::sin((i + 97 * voice + 13 * c) * (0.01 + 0.003 * voice));
      if (format.bitsPerSample == 8) {
        bytes.push_back(static_cast<std::uint8_t>(128 + std::lround(value * 127)));
      } else {
        const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value * 32767)));
        bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
      }
    }
  }
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

plat::sPcmFormat Format(int rate, int channels, int bits) { return {rate, channels, bits, channels * bits / 8}; }

void ReportFraction(benchmark::State& state) {
  state.counters["core_fraction"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                benchmark::Counter::kInvert);
}

void Mix(benchmark::State& state, bool mixedFormats) {
  const plat::sPcmFormat formats[] = {Format(11025, 1, 8),  Format(22050, 1, 16), Format(22050, 2, 8),
                                      Format(11025, 2, 16), Format(44100, 2, 16), Format(22050, 1, 8)};
  plat::cOfflineAudioDevice device;
  std::vector<plat::cAudioVoice*> voices;
  for (int v = 0; v < kVoices; ++v) {
    const plat::sPcmFormat format = mixedFormats ? formats[v % 6] : Format(44100, 2, 16);
    voices.push_back(device.CreateVoice(format, Tone(format, v)));
    voices.back()->SetVolume(-300);
  }
  for (auto _ : state) {
    for (plat::cAudioVoice* voice : voices) {
      voice->Stop();
      voice->Rewind();
      voice->Play();
    }
    std::vector<std::int16_t> out = device.Render(kSecond);
    benchmark::DoNotOptimize(out.data());
  }
  ReportFraction(state);
}

void Mix32_Ours(benchmark::State& state) { Mix(state, true); }
void Mix32At44100_Ours(benchmark::State& state) { Mix(state, false); }

void Mix32_SDL(benchmark::State& state) {
  std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> buffers;
  for (int v = 0; v < kVoices; ++v) buffers.push_back(Tone(Format(44100, 2, 16), v));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(kSecond) * 4);
  const int volume = static_cast<int>(std::lround(SDL_MIX_MAXVOLUME * plat::VolumeToGain(-300)));
  for (auto _ : state) {
    std::fill(out.begin(), out.end(), 0);
    for (const auto& buffer : buffers) {
      SDL_MixAudioFormat(out.data(), buffer->data(), AUDIO_S16LSB, static_cast<Uint32>(out.size()), volume);
    }
    benchmark::DoNotOptimize(out.data());
  }
  ReportFraction(state);
}

}  // namespace

BENCHMARK(Mix32_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Mix32At44100_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(Mix32_SDL)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

#include "platform/AudioDevice.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

constexpr double kFixedOne = 4294967296.0;  // 1.0 in 32.32 fixed point

// One frame of a voice's samples, on the scale of 16-bit samples.
template <int Bits>
float SampleAt(const std::uint8_t* p) {
  if constexpr (Bits == 8) {
    return static_cast<float>((static_cast<int>(p[0]) - 128) * 256);
  } else {
    return static_cast<float>(static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8)));
  }
}

std::int16_t ToSample16(float value) {
  if (!(value == value)) return 0;  // NaN from a broken stream is silence
  if (value >= 32767.0f) return 32767;
  if (value <= -32768.0f) return -32768;
  return static_cast<std::int16_t>(std::lrint(value));
}

}  // namespace

float VolumeToGain(int hundredthsOfDecibel) {
  const int volume = std::clamp(hundredthsOfDecibel, kAudioVolumeMin, kAudioVolumeMax);
  if (volume == kAudioVolumeMin) return 0.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

const char* CheckVoiceFormat(const sPcmFormat& format, std::size_t sampleBytes) {
  if (format.channels != 1 && format.channels != 2) return "only mono and stereo samples can be played";
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return "only 8-bit and 16-bit samples can be played";
  if (format.samplesPerSecond < 100 || format.samplesPerSecond > 200000)
    return "the sample rate lies outside 100 to 200000";
  if (format.blockAlign != format.channels * format.bitsPerSample / 8)
    return "the frame size does not match the channels and the bits";
  if (sampleBytes < 4 || sampleBytes > 0x0FFFFFFF) return "the sample data must hold 4 bytes to 256 MB";
  return nullptr;
}

// ---------------------------------------------------------------------------
// Voices

cAudioVoice::cAudioVoice(const sPcmFormat& format, std::shared_ptr<const std::vector<std::uint8_t>> samples)
    : m_Format(format),
      m_Samples(std::move(samples)),
      m_FrameCount(m_Samples->size() / static_cast<std::size_t>(format.blockAlign)),
      m_Step(static_cast<std::uint64_t>(format.samplesPerSecond) * (std::uint64_t{1} << 32) /
             static_cast<std::uint64_t>(kAudioRate)) {}

void cAudioVoice::Play() {
  std::uint32_t state = m_State.load(std::memory_order_relaxed);
  while (!m_State.compare_exchange_weak(state, ((state >> 1) + 1) << 1 | kPlayingBit, std::memory_order_acq_rel)) {
  }
}

void cAudioVoice::Stop() {
  std::uint32_t state = m_State.load(std::memory_order_relaxed);
  while (!m_State.compare_exchange_weak(state, ((state >> 1) + 1) << 1, std::memory_order_acq_rel)) {
  }
}

void cAudioVoice::Rewind() { m_RewindPending.store(true, std::memory_order_release); }

int cAudioVoice::SetVolume(int hundredthsOfDecibel) {
  const int volume = std::clamp(hundredthsOfDecibel, kAudioVolumeMin, kAudioVolumeMax);
  m_Gain.store(VolumeToGain(volume), std::memory_order_relaxed);
  m_Volume.store(volume, std::memory_order_relaxed);
  return volume;
}

// Linear interpolation between neighbouring source frames; the last frame is
// held. A voice whose rate is the output rate, or a whole fraction of it,
// lands on its source frames exactly, so its samples come out unchanged.
template <int Bits, int Channels>
std::uint64_t cAudioVoice::Resample(float* mix, int frames, std::uint64_t phase, float gain) const {
  constexpr std::size_t kFrameBytes = Channels * Bits / 8;
  constexpr std::size_t kRightOffset = Channels == 2 ? Bits / 8 : 0;
  const std::uint8_t* samples = m_Samples->data();
  const std::size_t last = m_FrameCount - 1;
  for (int i = 0; i < frames; ++i) {
    const std::size_t index = static_cast<std::size_t>(phase >> 32);
    if (index > last) break;
    const std::size_t next = index < last ? index + 1 : index;
    const float fraction = static_cast<float>(static_cast<double>(phase & 0xFFFFFFFFu) / kFixedOne);
    const std::uint8_t* a = samples + index * kFrameBytes;
    const std::uint8_t* b = samples + next * kFrameBytes;
    const float left0 = SampleAt<Bits>(a);
    const float left1 = SampleAt<Bits>(b);
    const float right0 = SampleAt<Bits>(a + kRightOffset);
    const float right1 = SampleAt<Bits>(b + kRightOffset);
    mix[2 * i] += (left0 + (left1 - left0) * fraction) * gain;
    mix[2 * i + 1] += (right0 + (right1 - right0) * fraction) * gain;
    phase += m_Step;
  }
  return phase;
}

void cAudioVoice::MixInto(float* mix, int frames) {
  // The state before the rewind: a Rewind made before the Play we see here
  // is visible once the state is.
  const std::uint32_t state = m_State.load(std::memory_order_acquire);
  if ((state & kPlayingBit) == 0) return;
  if (m_RewindPending.exchange(false, std::memory_order_acq_rel)) m_Phase = 0;

  const std::uint64_t end = static_cast<std::uint64_t>(m_FrameCount) << 32;
  const float gain = m_Gain.load(std::memory_order_relaxed);
  std::uint64_t phase = m_Phase;
  if (phase < end) {
    if (gain == 0.0f) {
      // Silent, but time goes on as if it were heard.
      phase = std::min(end, phase + m_Step * static_cast<std::uint64_t>(frames));
    } else if (m_Format.bitsPerSample == 8) {
      phase = m_Format.channels == 1 ? Resample<8, 1>(mix, frames, phase, gain) : Resample<8, 2>(mix, frames, phase, gain);
    } else {
      phase = m_Format.channels == 1 ? Resample<16, 1>(mix, frames, phase, gain)
                                     : Resample<16, 2>(mix, frames, phase, gain);
    }
  }
  m_Phase = phase;
  if (phase >= end) {
    // The end: stopped, unless a newer Play came while this block was mixed.
    std::uint32_t expected = state;
    m_State.compare_exchange_strong(expected, state & ~kPlayingBit, std::memory_order_acq_rel);
  }
}

// ---------------------------------------------------------------------------
// The device

cAudioDevice::cAudioDevice() : m_Mix(static_cast<std::size_t>(kBlockFrames) * kAudioChannels) {}

cAudioDevice::~cAudioDevice() = default;

cAudioVoice* cAudioDevice::CreateVoice(const sPcmFormat& format,
                                       std::shared_ptr<const std::vector<std::uint8_t>> samples, std::string* error) {
  const char* refusal = samples ? CheckVoiceFormat(format, samples->size()) : "there are no samples";
  if (refusal != nullptr) {
    if (error != nullptr) *error = refusal;
    return nullptr;
  }
  auto voice = std::make_unique<cAudioVoice>(format, std::move(samples));
  cAudioVoice* made = voice.get();
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Voices.push_back(std::move(voice));
  return made;
}

cAudioVoice* cAudioDevice::DuplicateVoice(const cAudioVoice& source) {
  auto voice = std::make_unique<cAudioVoice>(source.m_Format, source.m_Samples);
  voice->SetVolume(source.GetVolume());
  cAudioVoice* made = voice.get();
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Voices.push_back(std::move(voice));
  return made;
}

void cAudioDevice::ReleaseVoice(cAudioVoice* voice) {
  if (voice == nullptr) return;
  std::unique_ptr<cAudioVoice> released;
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    const auto found = std::find_if(m_Voices.begin(), m_Voices.end(),
                                    [voice](const std::unique_ptr<cAudioVoice>& held) { return held.get() == voice; });
    if (found == m_Voices.end()) return;
    released = std::move(*found);
    m_Voices.erase(found);
  }
  // The samples are freed here, outside the lock, when this was their last voice.
}

std::size_t cAudioDevice::VoiceCount() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Voices.size();
}

void cAudioDevice::AddStream(cAudioStream* stream) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (std::find(m_Streams.begin(), m_Streams.end(), stream) == m_Streams.end()) m_Streams.push_back(stream);
}

void cAudioDevice::RemoveStream(cAudioStream* stream) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Streams.erase(std::remove(m_Streams.begin(), m_Streams.end(), stream), m_Streams.end());
}

void cAudioDevice::MixOutput(std::int16_t* out, int frames, bool offline) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  while (frames > 0) {
    const int block = std::min(frames, kBlockFrames);
    if (offline) {
      for (cAudioStream* stream : m_Streams) stream->PrepareOffline(block);
    }
    float* mix = m_Mix.data();
    std::fill(mix, mix + static_cast<std::ptrdiff_t>(block) * kAudioChannels, 0.0f);
    for (const std::unique_ptr<cAudioVoice>& voice : m_Voices) voice->MixInto(mix, block);
    for (cAudioStream* stream : m_Streams) stream->Mix(mix, block);
    for (int i = 0; i < block * kAudioChannels; ++i) out[i] = ToSample16(mix[i]);
    out += static_cast<std::ptrdiff_t>(block) * kAudioChannels;
    frames -= block;
  }
}

std::vector<std::int16_t> cOfflineAudioDevice::Render(int frames) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(std::max(frames, 0)) * kAudioChannels);
  MixOutput(out.data(), std::max(frames, 0), true);
  m_FramesRendered += static_cast<std::uint64_t>(std::max(frames, 0));
  return out;
}

}  // namespace plat

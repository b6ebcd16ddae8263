#pragma once
// The audio output of the player: one device at a fixed format (44100 frames
// a second, two channels, signed 16-bit) and our own mixer inside it.
//
// The mixer sums two kinds of sources:
//   voices   sound-effect buffers: PCM samples in their file's own format
//            (8-bit unsigned or 16-bit signed, mono or stereo, any rate),
//            resampled to the output rate and scaled by their volume, played
//            from the start to the end; duplicates share one sample block.
//   streams  music players that render themselves (cAudioStream).
//
// Threads. Whatever pulls the output (SDL's audio thread, or the caller of
// cOfflineAudioDevice::Render) mixes under the device's lock; the other
// threads take that lock only to add or remove a voice or a stream, which
// is quick, and never while mixing. Playing, stopping, rewinding and the
// volume of a voice are lock-free, so the game thread never waits for the
// audio thread and the audio thread never allocates.
//
// cSdlAudioDevice plays through SDL; cNullAudioDevice is pulled by nothing
// (a machine without sound: everything works, nothing is heard);
// cOfflineAudioDevice renders a given number of frames on request, for tests
// and for recording a headless run.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

inline constexpr int kAudioRate = 44100;
inline constexpr int kAudioChannels = 2;

// Volumes in hundredths of a decibel: -10000 is silence, 0 full volume.
inline constexpr int kAudioVolumeMin = -10000;
inline constexpr int kAudioVolumeMax = 0;

// The linear gain of a volume (clamped into the range first); 0 for silence.
float VolumeToGain(int hundredthsOfDecibel);

// The format of a voice's samples.
struct sPcmFormat {
  int samplesPerSecond = 0;
  int channels = 0;       // 1 or 2
  int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
  int blockAlign = 0;     // bytes of one frame: channels * bits / 8
};

// Null when a voice can be made of this format and this many sample bytes;
// otherwise why not. The limits are those a sound card's buffer has: 100 to
// 200000 frames a second, a consistent frame size, 4 bytes to 256 MB.
const char* CheckVoiceFormat(const sPcmFormat& format, std::size_t sampleBytes);

// One sound-effect buffer. Made, duplicated and released by its device.
class cAudioVoice {
 public:
  // Any thread, without a lock.
  void Play();    // plays from the current position to the end, once
  void Stop();    // stops; the position stays
  void Rewind();  // the next play starts at the first frame
  // Clamps the volume into -10000..0, sets it and returns it.
  int SetVolume(int hundredthsOfDecibel);
  int GetVolume() const { return m_Volume.load(std::memory_order_relaxed); }
  bool IsPlaying() const { return (m_State.load(std::memory_order_acquire) & kPlayingBit) != 0; }

  const sPcmFormat& Format() const { return m_Format; }
  std::size_t FrameCount() const { return m_FrameCount; }

  cAudioVoice(const sPcmFormat& format, std::shared_ptr<const std::vector<std::uint8_t>> samples);

 private:
  friend class cAudioDevice;
  static constexpr std::uint32_t kPlayingBit = 1;

  // Audio thread: adds the voice's next `frames` output frames into `mix`.
  void MixInto(float* mix, int frames);
  template <int Bits, int Channels>
  std::uint64_t Resample(float* mix, int frames, std::uint64_t phase, float gain) const;

  const sPcmFormat m_Format;
  const std::shared_ptr<const std::vector<std::uint8_t>> m_Samples;  // shared by duplicates
  const std::size_t m_FrameCount;
  const std::uint64_t m_Step;  // source frames per output frame, 32.32 fixed point

  // Every Play or Stop makes a new state: a play count above the playing bit.
  // The mixer clears the bit at the end only if no newer play came meanwhile.
  std::atomic<std::uint32_t> m_State{0};
  std::atomic<bool> m_RewindPending{false};
  std::atomic<int> m_Volume{0};
  std::atomic<float> m_Gain{1.0f};

  std::uint64_t m_Phase = 0;  // audio thread only: position in 32.32 source frames
};

// A source that renders itself: a music player.
class cAudioStream {
 public:
  virtual ~cAudioStream() = default;

  // Audio thread, under the device's lock: adds the next `frames` frames
  // (interleaved stereo, on the scale of 16-bit samples) into `mix`. Must not
  // allocate, and must not wait for a lock held while a thread does more than
  // a few steps.
  virtual void Mix(float* mix, int frames) = 0;

  // Offline rendering only, before each block: waits until the stream's
  // helper threads have made its next `frames` frames ready, so that a render
  // gives the same result whatever the timing of those threads. A real
  // device never waits.
  virtual void PrepareOffline(int /*frames*/) {}
};

class cAudioDevice {
 public:
  virtual ~cAudioDevice();
  cAudioDevice(const cAudioDevice&) = delete;
  cAudioDevice& operator=(const cAudioDevice&) = delete;

  // A stopped voice at full volume over the samples, or null (with the reason
  // in *error) when CheckVoiceFormat refuses them.
  cAudioVoice* CreateVoice(const sPcmFormat& format, std::shared_ptr<const std::vector<std::uint8_t>> samples,
                           std::string* error = nullptr);
  // A stopped voice sharing the source's samples, at the source's volume.
  cAudioVoice* DuplicateVoice(const cAudioVoice& source);
  // Stops and forgets the voice; the samples go with their last voice.
  void ReleaseVoice(cAudioVoice* voice);
  std::size_t VoiceCount() const;

  // The stream is mixed from now on / no more once RemoveStream returns
  // (it waits for a mix in progress). Adding a stream twice adds it once.
  void AddStream(cAudioStream* stream);
  void RemoveStream(cAudioStream* stream);

 protected:
  cAudioDevice();

  // The pulling thread: mixes the next `frames` frames into `out`
  // (interleaved stereo, clipped to 16 bits). `offline` calls PrepareOffline
  // on the streams before each block.
  void MixOutput(std::int16_t* out, int frames, bool offline);

 private:
  static constexpr int kBlockFrames = 1024;

  mutable std::mutex m_Mutex;
  std::vector<std::unique_ptr<cAudioVoice>> m_Voices;
  std::vector<cAudioStream*> m_Streams;
  std::vector<float> m_Mix;  // one block, interleaved; used under the lock
};

// Pulled by nothing.
class cNullAudioDevice final : public cAudioDevice {
 public:
  cNullAudioDevice() = default;
};

// Renders on request, on the caller's thread.
class cOfflineAudioDevice final : public cAudioDevice {
 public:
  cOfflineAudioDevice() = default;
  // The next `frames` frames, interleaved stereo.
  std::vector<std::int16_t> Render(int frames);
  std::uint64_t FramesRendered() const { return m_FramesRendered; }

 private:
  std::uint64_t m_FramesRendered = 0;
};

// Plays through SDL's default audio output.
class cSdlAudioDevice final : public cAudioDevice {
 public:
  // Null (with the reason in *error) when SDL has no audio output.
  static std::unique_ptr<cSdlAudioDevice> Open(std::string* error = nullptr);
  // Closes the SDL device first: no mix runs after it.
  ~cSdlAudioDevice() override;

 private:
  cSdlAudioDevice() = default;
  static void Callback(void* device, std::uint8_t* stream, int bytes);
  std::uint32_t m_DeviceId = 0;
};

}  // namespace plat

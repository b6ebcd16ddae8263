#pragma once
// An Ogg Vorbis music player on the audio device: load a file, play it once
// or looping, stop, close.
//
// A decoder thread of the player's own decodes ahead into a ring of output
// frames, resampled from the file's rate to the device's; the audio thread
// only copies frames out of the ring, so it neither decodes, allocates nor
// waits. A loop goes on decoding from the file's first frame into the same
// ring, so the seam has no gap and no click.
//
// Load, Play, Stop, Close and SetLoop belong to one owner thread (the main
// thread); Play returns at once and the music goes on by itself.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/AudioDevice.h"
#include "platform/OggDecoder.h"

namespace plat {

class cOggPlayer final : public cAudioStream {
 public:
  // The loop count that never runs out.
  static constexpr int kLoopForever = 0x7FFFFFFF;

  cOggPlayer();
  ~cOggPlayer() override;
  cOggPlayer(const cOggPlayer&) = delete;
  cOggPlayer& operator=(const cOggPlayer&) = delete;

  // Closes, then reads the file at the program path / takes the bytes. False
  // (reason in *error) when it cannot be played; nothing is loaded then.
  bool Load(std::string_view programPath, std::string* error = nullptr);
  bool LoadBytes(std::vector<std::uint8_t> bytes, std::string* error = nullptr);

  // Plays on the device from where the tune stands (its start after Load).
  // Nothing when nothing is loaded, when it plays already or without a device.
  void Play(const std::shared_ptr<cAudioDevice>& device);
  // Silent at once; the tune keeps its place.
  void Stop();
  // Stops and forgets the tune.
  void Close();
  // How often the tune starts again at its end: 0 never, kLoopForever always.
  void SetLoop(int count);

  bool IsLoaded() const { return m_Decoder.IsOpen(); }
  bool IsPlaying() const { return m_Playing; }

  void Mix(float* mix, int frames) override;
  void PrepareOffline(int frames) override;

 private:
  void DecodeLoop();
  // Decodes one chunk into the ring; false once the tune has ended.
  bool DecodeChunk();
  void PushResampled(bool flush);
  std::uint64_t FramesReady() const;
  void NotifyDataReady();

  cOggDecoder m_Decoder;
  std::uint64_t m_Step = 0;         // source frames per output frame, 32.32
  std::vector<float> m_Source;      // decoder thread: source frames waiting to be resampled
  std::uint64_t m_SourcePhase = 0;  // decoder thread: position in m_Source, 32.32
  std::vector<float> m_Chunk;       // decoder thread: one decoded chunk
  int m_ChunkFrames = 0;
  bool m_DecodedThisPass = false;

  std::vector<float> m_Ring;  // interleaved stereo output frames
  std::atomic<std::uint64_t> m_Written{0};
  std::atomic<std::uint64_t> m_Read{0};

  std::atomic<int> m_LoopsLeft{0};
  std::atomic<bool> m_Ended{false};
  std::atomic<bool> m_StopThread{false};
  std::mutex m_WaitMutex;
  std::condition_variable m_WakeDecoder;
  std::condition_variable m_DataReady;
  std::thread m_Thread;

  std::shared_ptr<cAudioDevice> m_Device;
  std::atomic<bool> m_Playing{false};
};

}  // namespace plat

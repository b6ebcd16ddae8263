#pragma once
// The sound of a headless run. The runner never opens a sound card: the
// player's audio output is an offline device, which nothing pulls unless the
// run's sound is written. Then each frame of the game pulls one frame's worth
// of the mix (44100 / 60 = 735 stereo frames, as the runner's clock moves
// 50 ms every three frames), and the end of the run writes it all as a
// 16-bit stereo WAV file at 44.1 kHz.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioDevice.h"

namespace runner {

class cRunAudio {
 public:
  // Installs the offline device as the player's audio output, to be opened
  // by the player's start-up; `wavPath` empty: the sound is not kept.
  explicit cRunAudio(std::string wavPath);
  // Restores the player's own choice of device.
  ~cRunAudio();
  cRunAudio(const cRunAudio&) = delete;
  cRunAudio& operator=(const cRunAudio&) = delete;

  // The sound of one frame of the game, after it ran.
  void EndFrame();
  // Writes the WAV file through the atomic writer; false with the reason in
  // `error`. Nothing to do when the sound is not kept.
  bool Save(std::string& error) const;

  static constexpr int kFramesPerGameFrame = plat::kAudioRate / 60;

 private:
  std::string m_Path;
  std::shared_ptr<plat::cOfflineAudioDevice> m_Device;
  std::vector<std::int16_t> m_Samples;
};

}  // namespace runner

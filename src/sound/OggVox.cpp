#include "sound/OggVox.h"

#include "platform/OggPlayer.h"
#include "sound/AudioOutput.h"

namespace {

class cOggVox final : public IVox {
 public:
  bool Load(std::string_view path) override { return m_Player.Load(path); }
  // The device is taken when the music starts, so the music can be set up
  // before the sound is.
  void Play() override { m_Player.Play(OpenAudioOutput()); }
  void Stop() override { m_Player.Stop(); }
  void Close() override { m_Player.Close(); }
  void SetLoop(std::int32_t count) override { m_Player.SetLoop(count); }

 private:
  plat::cOggPlayer m_Player;
};

}  // namespace

std::unique_ptr<IVox> CreateOggVox() { return std::make_unique<cOggVox>(); }

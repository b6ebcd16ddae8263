// The audio device of the process: opened once for everyone, and a device
// that plays nothing when SDL has no audio output.

#include "sound/AudioOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SoundTestSupport.h"

namespace {

class AudioOutputTest : public soundtest::cSoundFixture {};

// Without an audio output SDL opens, the player goes on with a device that
// plays nothing, and the report says why.
TEST_F(AudioOutputTest, WithoutAnAudioOutputSoundStaysSilentAndTheReportSaysSo) {
  SetAudioDeviceFactory({});
  CloseAudioOutput();
  const char* previous = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = previous != nullptr ? previous : "";
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  std::shared_ptr<plat::cAudioDevice> device = OpenAudioOutput();
  if (previous != nullptr) {
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
  EXPECT_NE(dynamic_cast<plat::cNullAudioDevice*>(device.get()), nullptr);
  EXPECT_NE(Report().find("sound: "), std::string::npos);
  EXPECT_EQ(OpenAudioOutput(), device) << "one device for the process";
  EXPECT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  EXPECT_EQ(g_SoundState.m_pDevice, device);
  CloseAudioOutput();
}

}  // namespace

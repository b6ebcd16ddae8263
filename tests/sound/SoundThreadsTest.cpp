// The mixer on a thread of its own, as the sound card's callback runs it,
// while another thread makes, plays, stops and destroys sound effects, Ogg
// players and MIDI players (FluidSynth, each with its callback thread), as
// the player's main thread does. Under ThreadSanitizer (scripts/test) this
// shows every sound call of the player against the mixing thread. Nothing
// waits for a time: each round waits until the mixer has mixed once more, and
// what is checked is what holds once both threads are done.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "SampleMusic.h"
#include "SampleSounds.h"
#include "SoundTestSupport.h"
#include "platform/MidiSynth.h"
#include "platform/OggEncoder.h"
#include "sound/BgmManager.h"
#include "sound/MidiStream.h"
#include "sound/SoundSlot.h"
#include "sound/SoundState.h"

namespace {

std::vector<std::uint8_t> Beep() {
  samplegame::cPcmSound sound{22050, 1, 16, {}};
  for (int i = 0; i < 2000; ++i) {
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 0.2));
    sound.data.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    sound.data.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
  }
  return samplegame::EncodeWave(sound);
}

std::vector<std::uint8_t> ShortOggTune() {
  std::vector<float> samples;
  for (int i = 0; i < 8000; ++i) samples.push_back(static_cast<float>(0.3 * std::sin(i * 0.1)));
  std::vector<std::uint8_t> ogg;
  EXPECT_TRUE(plat::EncodeOggVorbis(samples, 1, 22050, 0.1f, ogg));
  return ogg;
}

// Short notes, so that the song reaches its end and loops while it plays.
std::vector<std::uint8_t> LoopingMidiTune() {
  samplegame::cSmfTrack track;
  track.Channel(0, 0xC0, 19);
  for (int i = 0; i < 4; ++i) {
    track.Channel(0, 0x90, static_cast<std::uint8_t>(60 + i), 100);
    track.Channel(12, 0x90, static_cast<std::uint8_t>(60 + i), 0);
  }
  track.End(0);
  return samplegame::EncodeSmf(0, 96, {track});
}

// Mixes small blocks on its own thread until stopped, counting them.
class cMixerThread {
 public:
  explicit cMixerThread(plat::cOfflineAudioDevice& device)
      : m_Thread([this, &device] {
          while (!m_Stop.load()) {
            device.Render(256);
            m_Blocks.fetch_add(1);
          }
        }) {}
  ~cMixerThread() { Stop(); }

  // Returns once at least one more block was mixed.
  void WaitForABlock() const {
    const int seen = m_Blocks.load();
    while (m_Blocks.load() == seen) std::this_thread::yield();
  }
  void Stop() {
    m_Stop.store(true);
    if (m_Thread.joinable()) m_Thread.join();
  }
  int Blocks() const { return m_Blocks.load(); }

 private:
  std::atomic<bool> m_Stop{false};
  std::atomic<int> m_Blocks{0};
  std::thread m_Thread;
};

class SoundThreadsTest : public soundtest::cSoundFixture {};

TEST_F(SoundThreadsTest, TheMixerRunsWhilePlayersAreMadePlayedStoppedAndDestroyed) {
  ASSERT_FALSE(plat::FindGmSoundFont().empty());
  plat::SetMidiSynthFactory({});
  WriteFile("wave/Beep.wav", Beep());
  WriteFile("bgm/Title.ogg", ShortOggTune());
  WriteFile("bgm/Stage.mid", LoopingMidiTune());
  ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  ASSERT_TRUE(g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount));
  g_BgmManager.SetFile(4, "bgm\\Stage.mid");
  cSoundSlot slot;

  cMixerThread mixer(*m_Device);
  for (int round = 0; round < 24; ++round) {
    // Sound effects: made, played over each other, turned down, freed.
    ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 3, -300));
    for (int i = 0; i < 4; ++i) PlaySoundSlot(slot, 0);
    mixer.WaitForABlock();
    SetSoundVolume(slot, 1, -500, 1);

    // Music: the MIDI tune, the Ogg tune over it, the MIDI tune again (a new
    // player in place of the old), all stopped.
    ASSERT_TRUE(g_BgmManager.Play(0, 4, 1, 0, 1));
    mixer.WaitForABlock();
    ASSERT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 1));
    mixer.WaitForABlock();
    ASSERT_TRUE(g_BgmManager.Play(0, 4, round % 2, 0, 1));
    FreeSound(slot);
    mixer.WaitForABlock();
    g_BgmManager.StopAll();

    // The music option turned off; a MIDI player of its own (taking the
    // synthesiser the manager's player left) paused, played on, stopped and
    // destroyed; the music option on again.
    g_BgmManager.Release();
    auto stream = std::make_unique<cMidiStream>("bgm\\Stage.mid");
    stream->Play(1);
    mixer.WaitForABlock();
    stream->Stop(1);
    stream->Play(1);
    mixer.WaitForABlock();
    stream->Stop(0);
    stream.reset();
    ASSERT_TRUE(g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount));
  }
  mixer.Stop();
  EXPECT_GT(mixer.Blocks(), 24 * 7);

  // Everything stopped: the device mixes silence.
  const std::vector<std::int16_t> after = m_Device->Render(8192);
  EXPECT_EQ(after, std::vector<std::int16_t>(after.size(), 0));
  SoundRelease();
}

}  // namespace

// The music manager with the real players on the offline device: the kinds
// of a slot and their fall-backs, naming a slot's file, playing the current
// slot again, stopping and releasing, and the process without its Ogg
// library. The tunes are made here: a short Ogg file and a short MIDI file.

#include "sound/BgmManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "SampleMusic.h"
#include "SoundTestSupport.h"
#include "platform/MessageBox.h"
#include "platform/MidiSynth.h"
#include "platform/OggEncoder.h"

namespace {

std::vector<std::uint8_t> OggTune(double amplitude = 0.5) {
  std::vector<float> samples;
  for (int i = 0; i < 8000; ++i) samples.push_back(static_cast<float>(amplitude * std::sin(i * 0.1)));
  std::vector<std::uint8_t> ogg;
  EXPECT_TRUE(plat::EncodeOggVorbis(samples, 1, 22050, 0.1f, ogg));
  return ogg;
}

std::vector<std::uint8_t> MidiTune() {
  samplegame::cSmfTrack track;
  track.Channel(0, 0x90, 60, 100);
  track.Channel(96, 0x90, 60, 0);
  track.End(0);
  return samplegame::EncodeSmf(0, 96, {track});
}

// A church organ note, pressed `rest` ticks into the tune and released half
// a beat later while the sustain pedal still holds it; the tune ends half a
// beat after that. 96 ticks a quarter note at the default tempo: 96 ticks
// are 22050 frames.
std::vector<std::uint8_t> PedalTune(std::uint32_t rest) {
  samplegame::cSmfTrack track;
  track.Channel(0, 0xC0, 19);
  track.Channel(0, 0xB0, 64, 127);
  track.Channel(rest, 0x90, 60, 100);
  track.Channel(48, 0x90, 60, 0);
  track.End(48);
  return samplegame::EncodeSmf(0, 96, {track});
}

int Peak(const std::vector<std::int16_t>& frames) {
  int peak = 0;
  for (std::int16_t s : frames) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

bool Sounds(const std::vector<std::int16_t>& frames) {
  for (std::int16_t s : frames) {
    if (s != 0) return true;
  }
  return false;
}

class BgmManagerTest : public soundtest::cSoundFixture {
 protected:
  BgmManagerTest() {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
  }
  ~BgmManagerTest() override { plat::SetMessageBoxSink({}); }

  void InitManager() {
    ASSERT_TRUE(g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount));
  }

  // What is heard: the Ogg player on the device, MIDI events at the synthesiser.
  struct sHeard {
    bool ogg;
    bool midi;
  };
  sHeard Listen() {
    m_Record->Clear();
    const bool ogg = Sounds(m_Device->Render(4096));
    return {ogg, !m_Record->Events().empty()};
  }

  std::vector<std::string> m_Boxes;
};

TEST_F(BgmManagerTest, ASlotPlaysByItsKindAndFallsBackToMidi) {
  struct sCase {
    const char* label;
    bool oggFile;      // bgm\Title.ogg exists
    bool midiFile;     // bgm\Title.mid exists
    const char* file;  // named with SetFile first, or null: kind 0 with the default names
    bool played;
    int state;
    bool oggHeard;
    bool midiHeard;
  };
  const sCase cases[] = {
      {"Ogg first, there", true, true, nullptr, true, cBgmManager::CHANNEL_OGG, true, false},
      {"Ogg first, missing: MIDI", false, true, nullptr, true, cBgmManager::CHANNEL_MIDI, false, true},
      {"Ogg first, neither there", false, false, nullptr, false, cBgmManager::CHANNEL_SILENT, false, false},
      {"Ogg only", true, true, "bgm\\Title.ogg", true, cBgmManager::CHANNEL_OGG, true, false},
      {"Ogg only, missing: no MIDI", false, true, "bgm\\Title.ogg", false, cBgmManager::CHANNEL_SILENT, false, false},
      {"MIDI only, named .MID", true, true, "bgm\\Title.MID", true, cBgmManager::CHANNEL_MIDI, false, true},
  };
  for (const sCase& test : cases) {
    std::filesystem::remove_all("bgm");
    if (test.oggFile) WriteFile("bgm/Title.ogg", OggTune());
    if (test.midiFile) WriteFile("bgm/Title.mid", MidiTune());
    ResetMusicForTests();
    InitManager();
    if (test.file != nullptr) g_BgmManager.SetFile(0, test.file);
    EXPECT_EQ(g_BgmManager.Play(0, 0, 1, 0, 1), test.played) << test.label;
    EXPECT_EQ(g_BgmManager.m_States[0], test.state) << test.label;
    EXPECT_EQ(g_BgmManager.m_nCurrentSlot, test.played ? 0 : -1) << test.label;
    const sHeard heard = Listen();
    EXPECT_EQ(heard.ogg, test.oggHeard) << test.label;
    EXPECT_EQ(heard.midi, test.midiHeard) << test.label;
  }
}

TEST_F(BgmManagerTest, WithoutTheOggLibraryThereIsNoMusicAtAll) {
  WriteFile("bgm/Title.mid", MidiTune());
  SetVoxLibrary(nullptr);
  EXPECT_FALSE(g_BgmManager.Init(1, g_BgmOggNames.data(), g_BgmMidiNames.data(), kBgmSlotCount));
  EXPECT_EQ(m_Boxes, std::vector<std::string>{"oggの初期化に失敗！"});
  EXPECT_EQ(g_BgmManager.m_bEnabled, 0);
  EXPECT_FALSE(g_BgmManager.SetFile(0, "bgm\\Title.mid"));
  EXPECT_FALSE(g_BgmManager.Play(0, 0, 1, 0, 1));
  EXPECT_FALSE(Listen().midi) << "not even MIDI";
}

TEST_F(BgmManagerTest, SetFileNamesTheSlotAndGivesItsKind) {
  struct sCase {
    const char* path;
    bool result;
    int kind;
    const char* ogg;
    const char* midi;
  };
  const sCase cases[] = {
      {"bgm\\Boss.mid", true, cBgmManager::KIND_MIDI, "bgm\\Title.ogg", "bgm\\Boss.mid"},
      {"bgm\\Boss.MID", true, cBgmManager::KIND_MIDI, "bgm\\Title.ogg", "bgm\\Boss.mid"},
      {"bgm\\Stage.ogg", true, cBgmManager::KIND_OGG, "bgm\\Stage.ogg", "bgm\\Title.mid"},
      {"bgm\\Stage.OGG", true, cBgmManager::KIND_OGG, "bgm\\Stage.OGG", "bgm\\Title.mid"},
      {"bgm\\Stage.Ogg", false, cBgmManager::KIND_OGG_THEN_MIDI, "bgm\\Stage.Ogg", "bgm\\Stage.Ogg"},
      {"bgm\\Stage.wav", false, cBgmManager::KIND_OGG_THEN_MIDI, "bgm\\Stage.wav", "bgm\\Stage.wav"},
      {"bgm\\Stage", false, cBgmManager::KIND_OGG_THEN_MIDI, "", ""},
  };
  for (const sCase& test : cases) {
    ResetMusicForTests();
    InitManager();
    EXPECT_EQ(g_BgmManager.SetFile(0, test.path), test.result) << test.path;
    EXPECT_EQ(g_BgmManager.m_Kinds[0], test.kind) << test.path;
    EXPECT_EQ(g_BgmOggNames[0], test.ogg) << test.path << ": the caller's table is written";
    EXPECT_EQ(g_BgmMidiNames[0], test.midi) << test.path;
    EXPECT_EQ(g_BgmOggNames[1], "bgm\\WorldMap.ogg") << "other slots stay";
  }
  // A slot without names plays nothing and stops what played.
  WriteFile("bgm/WorldMap.ogg", OggTune());
  ASSERT_TRUE(g_BgmManager.Play(0, 1, 1, 0, 1));
  EXPECT_FALSE(g_BgmManager.Play(0, 0, 1, 0, 1));
  EXPECT_FALSE(Listen().ogg);
}

TEST_F(BgmManagerTest, StartingOneKindStopsTheOtherAndStopAllKeepsTheSlot) {
  WriteFile("bgm/Title.ogg", OggTune());
  WriteFile("bgm/Stage.mid", MidiTune());
  InitManager();
  g_BgmManager.SetFile(4, "bgm\\Stage.mid");
  ASSERT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 1));
  ASSERT_TRUE(g_BgmManager.Play(0, 4, 1, 0, 1));
  EXPECT_EQ(Listen().ogg, false) << "the MIDI tune stopped the Ogg tune";
  ASSERT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 1));
  EXPECT_EQ(g_BgmManager.m_MidiOut.Player(0)->State(), cMidiStream::STOPPED);
  EXPECT_FALSE(Listen().midi);

  g_BgmManager.StopAll();
  EXPECT_FALSE(Listen().ogg);
  EXPECT_EQ(g_BgmManager.m_nCurrentSlot, 0);
  EXPECT_EQ(g_BgmManager.m_States[0], cBgmManager::CHANNEL_OGG);
  // The current slot again without force changes nothing, not even after a stop.
  EXPECT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 0));
  EXPECT_FALSE(Listen().ogg);
  EXPECT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 1));
  EXPECT_TRUE(Listen().ogg) << "with force it plays again";

  g_BgmManager.Release();
  EXPECT_EQ(g_BgmManager.m_bEnabled, 0);
  EXPECT_FALSE(Listen().ogg);
  EXPECT_FALSE(g_BgmManager.Play(0, 0, 1, 0, 1));
  // The music option turned on again: the tables keep what SetFile wrote.
  InitManager();
  EXPECT_EQ(g_BgmMidiNames[4], "bgm\\Stage.mid");
  EXPECT_EQ(g_BgmManager.m_Kinds[4], cBgmManager::KIND_OGG_THEN_MIDI);
}

// Played by FluidSynth, the organ note the pedal holds is heard until the
// tune stops. When all music stops or an Ogg tune takes over, nothing is
// heard from one mixing block (1024 frames) after the stop. When the tune
// ends or starts again, the pedal goes up and the note fades through its
// release: heard just after, gone a second later, and the next pass plays
// the note on the organ again (it rests four beats before it). The stop at
// the end of the tune comes from the player's callback thread, after the
// block that reached the end.
TEST_F(BgmManagerTest, AStoppedMidiTuneIsSilentOneBufferAfterItsStop) {
  ASSERT_FALSE(plat::FindGmSoundFont().empty());
  plat::SetMidiSynthFactory({});
  constexpr int kBlock = 1024;
  constexpr int kNoteOn = 4 * 22050;
  constexpr int kSongEnd = kNoteOn + 22050;
  constexpr int kRelease = 44100;
  constexpr int kQuiet = 32;  // -60 dB below full scale
  enum class eStop { All, Ogg, End, Loop };
  struct sCase {
    const char* label;
    eStop how;
    int loop;
    int stopAt;      // frame at which the stop is asked for
    int fade;        // frames after the stop until the note is gone
    int quietUntil;  // silence is checked up to this frame
  };
  const sCase cases[] = {
      {"all music stops", eStop::All, 1, 100000, 0, 200000},
      {"an Ogg tune takes over", eStop::Ogg, 1, 100000, 0, 200000},
      {"the tune ends", eStop::End, 0, kSongEnd, kRelease, kSongEnd + 2 * kRelease},
      {"the tune starts again", eStop::Loop, 1, kSongEnd, kRelease, kSongEnd + kNoteOn},
  };
  WriteFile("bgm/Title.ogg", OggTune(0.0));
  WriteFile("bgm/Stage.mid", PedalTune(4 * 96));
  for (const sCase& test : cases) {
    ResetMusicForTests();
    InitManager();
    g_BgmManager.SetFile(0, "bgm\\Title.ogg");
    g_BgmManager.SetFile(4, "bgm\\Stage.mid");
    ASSERT_TRUE(g_BgmManager.Play(0, 4, test.loop, 0, 1)) << test.label;
    m_Device->Render(kNoteOn + kBlock);
    EXPECT_GT(Peak(m_Device->Render(test.stopAt - kNoteOn - kBlock)), 500) << test.label << ": the note sounds";
    int stoppedAt = test.stopAt;
    if (test.how == eStop::All) g_BgmManager.StopAll();
    if (test.how == eStop::Ogg) {
      ASSERT_TRUE(g_BgmManager.Play(0, 0, 1, 0, 1)) << test.label;
    }
    if (test.how == eStop::End || test.how == eStop::Loop) {
      m_Device->Render(kBlock);
      stoppedAt += kBlock;
    }
    m_Device->Render(kBlock);
    int at = stoppedAt + kBlock;
    if (test.fade > 0) {
      EXPECT_GT(Peak(m_Device->Render(kBlock)), 500) << test.label << ": the note fades";
      m_Device->Render(stoppedAt + test.fade - at - kBlock);
      at = stoppedAt + test.fade;
    }
    EXPECT_LT(Peak(m_Device->Render(test.quietUntil - at)), kQuiet) << test.label;
    if (test.how == eStop::Loop) {
      m_Device->Render(stoppedAt + kNoteOn + kBlock - test.quietUntil);
      EXPECT_GT(Peak(m_Device->Render(4 * kBlock)), 500) << test.label << ": the next pass plays the note";
    }
  }
}

}  // namespace

// Sound-effect slots on the offline device: loading with duplicates, the
// round-robin, volumes and their clamps, the cursor sound, the tables start-up
// hands over, and every call without a device.

#include "sound/SoundSlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SampleSounds.h"
#include "SoundTestSupport.h"
#include "sound/SoundState.h"

namespace {

using soundtest::At;

// A 16-bit mono file at the output rate: its samples come out unchanged.
std::vector<std::uint8_t> Wave16(std::initializer_list<int> values) {
  samplegame::cPcmSound sound{44100, 1, 16, {}};
  for (int v : values) {
    sound.data.push_back(static_cast<std::uint8_t>(v & 0xFF));
    sound.data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  return samplegame::EncodeWave(sound);
}

// Which buffers of the slot are playing.
std::vector<int> Playing(const cSoundSlot& slot) {
  std::vector<int> playing;
  for (std::size_t i = 0; i < slot.m_Buffers.size(); ++i) {
    if (slot.m_Buffers[i] != nullptr && slot.m_Buffers[i]->IsPlaying()) playing.push_back(static_cast<int>(i));
  }
  return playing;
}

void StopAll(cSoundSlot& slot) {
  for (plat::cAudioVoice* buffer : slot.m_Buffers) {
    if (buffer != nullptr) buffer->Stop();
  }
}

class SoundSlotTest : public soundtest::cSoundFixture {
 protected:
  void SetUp() override {
    WriteFile("wave/Beep.wav", Wave16({1000, 2000, 3000, 4000}));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  }
};

TEST_F(SoundSlotTest, ASlotPlaysItsBuffersInTurn) {
  struct sCase {
    const char* label;
    int count;            // buffers loaded; 0: loading failed after the first buffer
    std::vector<int> played;  // the buffer each of the plays started
  };
  const sCase cases[] = {
      {"three buffers", 3, {0, 1, 2, 0, 1}},
      {"one buffer", 1, {0, 0, 0}},
      {"failed after the first buffer", 0, {0, 0, 0}},
  };
  for (const sCase& test : cases) {
    cSoundSlot slot;
    if (test.count > 0) {
      ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", test.count, 0)) << test.label;
    } else {
      ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 1, 0));
      slot.m_Buffers.push_back(nullptr);  // the duplicate that could not be made
      slot.m_nCount = 0;
    }
    for (std::size_t i = 0; i < test.played.size(); ++i) {
      StopAll(slot);
      PlaySoundSlot(slot, 0);
      EXPECT_EQ(Playing(slot), std::vector<int>{test.played[i]}) << test.label << " play " << i;
    }
    FreeSound(slot);
  }
}

TEST_F(SoundSlotTest, ASlotWithoutItsBufferPlaysNothingAndKeepsItsTurn) {
  cSoundSlot slot;
  PlaySoundSlot(slot, 0);
  EXPECT_EQ(slot.m_nNext.load(), 0);

  ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 2, 0));
  slot.m_nNext = 5;  // beyond the buffers
  PlaySoundSlot(slot, 0);
  EXPECT_TRUE(Playing(slot).empty());
  EXPECT_EQ(slot.m_nNext.load(), 5);
}

// Every play starts its buffer from the first frame; two buffers of a slot
// sound together, sharing one set of samples.
TEST_F(SoundSlotTest, PlaysStartFromTheFirstFrameAndDuplicatesSoundTogether) {
  cSoundSlot slot;
  ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 2, 0));
  EXPECT_EQ(slot.m_nCount, 2);
  EXPECT_EQ(slot.m_strName, "wave\\Beep.wav");
  PlaySoundSlot(slot, 0);
  std::vector<std::int16_t> out = m_Device->Render(2);
  EXPECT_EQ(At(out, 0, 0), 1000);
  EXPECT_EQ(At(out, 1, 1), 2000);
  PlaySoundSlot(slot, 0);
  out = m_Device->Render(2);
  EXPECT_EQ(At(out, 0, 0), 3000 + 1000) << "the second buffer joins the first";
  EXPECT_EQ(At(out, 1, 0), 4000 + 2000);
  PlaySoundSlot(slot, 0);  // the first buffer again, from its start
  out = m_Device->Render(1);
  EXPECT_EQ(At(out, 0, 0), 1000 + 3000);
}

TEST_F(SoundSlotTest, VolumesAreClampedAndRelativeChangesAddToTheCurrentOne) {
  struct sCase {
    int start;
    int volume;
    int relative;
    int set;
  };
  const sCase cases[] = {
      {0, -20000, 0, -10000}, {0, 700, 0, 0},     {-300, 500, 1, 0},        {-300, -500, 1, -800},
      {-9000, -5000, 1, -10000}, {-300, -500, 0, -500}, {-300, -500, 2, -500},
  };
  cSoundSlot slot;
  ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 1, 0));
  for (const sCase& test : cases) {
    SetSoundVolume(slot, 0, test.start, 0);
    EXPECT_EQ(SetSoundVolume(slot, 0, test.volume, test.relative), test.set) << test.start << " " << test.volume;
    EXPECT_EQ(GetSoundVolume(slot, 0), test.set);
  }
  EXPECT_EQ(SetSoundVolume(slot, 1, -100, 0), 0) << "no second buffer";
  EXPECT_EQ(GetSoundVolume(slot, 1), 0);
  EXPECT_EQ(GetSoundVolume(slot, -1), 0);

  SetSoundVolume(slot, 0, -10000, 0);
  PlaySoundSlot(slot, 0);
  EXPECT_EQ(m_Device->Render(4), std::vector<std::int16_t>(8, 0)) << "the lowest volume is silence";
}

TEST_F(SoundSlotTest, ALoadedVolumeIsSetOnEveryBuffer) {
  cSoundSlot slot;
  ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 3, -800));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GetSoundVolume(slot, i), -800);
  ASSERT_TRUE(LoadSound(slot, "wave\\Beep.wav", 1, 0));
  EXPECT_EQ(GetSoundVolume(slot, 0), 0) << "0 leaves full volume";
  EXPECT_EQ(m_Device->VoiceCount(), 1u) << "loading again released the old buffers";
}

TEST_F(SoundSlotTest, AFileThatCannotBeMadeIntoABufferLeavesTheSlotSilent) {
  samplegame::cPcmSound threeChannels{22050, 3, 8, {1, 2, 3, 4, 5, 6}};
  WriteFile("wave/Three.wav", samplegame::EncodeWave(threeChannels));
  struct sCase {
    const char* file;
    const char* report;  // expected in the report, or null
  } cases[] = {
      {"wave\\Missing.wav", "wave\\Missing.wav の読み込みに失敗しました！"},
      {"wave\\Three.wav", nullptr},  // refused by the device: a line in the debug log only
  };
  for (const sCase& test : cases) {
    cSoundSlot slot;
    EXPECT_FALSE(LoadSound(slot, test.file, 2, 0)) << test.file;
    EXPECT_EQ(slot.m_nCount, 0) << test.file;
    EXPECT_EQ(slot.m_strName, "") << test.file;
    PlaySoundSlot(slot, 0);
    EXPECT_EQ(m_Device->Render(1), std::vector<std::int16_t>(2, 0)) << test.file;
    if (test.report != nullptr) {
      EXPECT_NE(Report().find(test.report), std::string::npos) << test.file;
    }
  }
  EXPECT_EQ(m_Device->VoiceCount(), 0u);
}

TEST_F(SoundSlotTest, TheCursorSoundFollowsTheMovesTheModeListensTo) {
  struct sCase {
    int mode;
    std::uint16_t direction;  // 1 left, 2 right, 4 up, 8 down
    int plays;
  };
  const sCase cases[] = {
      {1, 4, 0}, {1, 1, 1}, {1, 2, 1}, {2, 4, 1}, {2, 8, 1}, {2, 1, 0},
      {3, 1 | 4, 2}, {3, 2 | 8, 2}, {3, 8, 1}, {0, 15, 0}, {3, 0, 0},
  };
  g_SoundSlots.resize(1);
  g_SoundDefs.assign(1, cSoundDef{"wave\\Beep.wav", 3, 0, 1});
  LoadSounds(g_SoundSlots, g_SoundDefs, 0);
  for (const sCase& test : cases) {
    StopAll(g_SoundSlots[0]);
    g_SoundSlots[0].m_nNext = 0;
    PlayCursorSound(test.direction, test.mode, 0);
    EXPECT_EQ(static_cast<int>(Playing(g_SoundSlots[0]).size()), test.plays) << test.mode << " " << test.direction;
  }
}

TEST_F(SoundSlotTest, LoadSoundsLoadsTheSlotsWithoutBuffersAtTheVolumeGiven) {
  WriteFile("se/Jump.wav", Wave16({5, 6, 7, 8}));
  g_SoundSlots.resize(4);
  g_SoundDefs = {{"wave\\Beep.wav", 1, -300, 1},
                 {"se\\Jump.wav", 2, -300, 1},
                 {"se\\Jump.wav", 1, -300, 1},
                 {"", 1, -300, 1}};
  ASSERT_TRUE(LoadSound(g_SoundSlots[2], "wave\\Beep.wav", 1, 0));  // loaded before: kept as it is
  EXPECT_EQ(LoadSounds(g_SoundSlots, g_SoundDefs, -800), 1);
  EXPECT_EQ(g_SoundSlots[0].m_strName, "wave\\Beep.wav");
  EXPECT_EQ(g_SoundSlots[1].m_nCount, 2);
  EXPECT_EQ(GetSoundVolume(g_SoundSlots[1], 1), -800);
  EXPECT_EQ(g_SoundDefs[1].m_nVolume, -800) << "the volume given replaces the definitions'";
  EXPECT_EQ(g_SoundSlots[2].m_strName, "wave\\Beep.wav");
  EXPECT_EQ(GetSoundVolume(g_SoundSlots[2], 0), 0);
  EXPECT_TRUE(g_SoundSlots[3].m_Buffers.empty()) << "a slot without a file stays silent";
  EXPECT_EQ(Report(), "") << "and says nothing";

  SoundRelease();
  EXPECT_EQ(m_Device->VoiceCount(), 0u);
  for (const cSoundSlot& slot : g_SoundSlots) EXPECT_EQ(slot.m_nCount, 0);
}

// Before the sound starts (and after it is released) nothing happens, and
// the calls say they succeeded.
TEST_F(SoundSlotTest, WithoutADeviceEveryCallReturnsAtOnce) {
  SoundRelease();
  cSoundSlot slot;
  EXPECT_TRUE(LoadSound(slot, "wave\\Beep.wav", 1, -100));
  EXPECT_TRUE(slot.m_Buffers.empty());
  PlaySoundSlot(slot, 0);
  EXPECT_EQ(SetSoundVolume(slot, 0, -100, 0), 0);
  EXPECT_EQ(GetSoundVolume(slot, 0), 0);
  g_SoundSlots.resize(1);
  g_SoundDefs.assign(1, cSoundDef{"wave\\Beep.wav", 1, 0, 1});
  EXPECT_EQ(LoadSounds(g_SoundSlots, g_SoundDefs, 0), 1);
  PlayCursorSound(15, 3, 0);
  EXPECT_EQ(m_Device->VoiceCount(), 0u);
}

}  // namespace

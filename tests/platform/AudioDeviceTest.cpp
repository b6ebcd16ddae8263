// The mixer of the audio device, rendered offline: voices of every sample
// format resampled to the output rate at their volume, the end of a voice,
// restarting, duplicates, clipping and the formats a voice refuses.

#include "platform/AudioDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using plat::cAudioVoice;
using plat::cOfflineAudioDevice;
using plat::sPcmFormat;

using Samples = std::shared_ptr<const std::vector<std::uint8_t>>;

// 16-bit samples as little-endian bytes.
Samples Pcm16(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) {
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

Samples Pcm8(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

sPcmFormat Format(int rate, int channels, int bits) { return {rate, channels, bits, channels * bits / 8}; }

// What an 8-bit sample sounds like on the 16-bit scale.
int From8(int v) { return (v - 128) * 256; }

// The source frames a voice should land on exactly: output frame i * step
// holds source frame i (left, right) whenever the rate divides the output rate.
TEST(AudioDeviceTest, VoicesOfEveryFormatLandOnTheirSourceFramesAtTheOutputRate) {
  struct sCase {
    const char* label;
    sPcmFormat format;
    Samples samples;
    int step;                                  // output frames per source frame
    std::vector<std::pair<int, int>> frames;   // source frames as (left, right) on the 16-bit scale
  };
  const sCase cases[] = {
      {"16-bit mono at 44100", Format(44100, 1, 16), Pcm16({1000, -2000, 30000}), 1,
       {{1000, 1000}, {-2000, -2000}, {30000, 30000}}},
      {"16-bit stereo at 22050", Format(22050, 2, 16), Pcm16({100, -100, 5000, 7000}), 2, {{100, -100}, {5000, 7000}}},
      {"8-bit mono at 11025", Format(11025, 1, 8), Pcm8({0, 128, 255, 255}), 4,
       {{From8(0), From8(0)}, {0, 0}, {From8(255), From8(255)}}},
      {"8-bit stereo at 22050", Format(22050, 2, 8), Pcm8({200, 50, 60, 190}), 2,
       {{From8(200), From8(50)}, {From8(60), From8(190)}}},
  };
  for (const sCase& test : cases) {
    cOfflineAudioDevice device;
    cAudioVoice* voice = device.CreateVoice(test.format, test.samples);
    ASSERT_NE(voice, nullptr) << test.label;
    voice->Play();
    const std::vector<std::int16_t> out = device.Render(static_cast<int>(test.frames.size()) * test.step + 8);
    for (std::size_t i = 0; i < test.frames.size(); ++i) {
      const std::size_t frame = i * static_cast<std::size_t>(test.step);
      EXPECT_EQ(out[2 * frame], test.frames[i].first) << test.label << " frame " << i;
      EXPECT_EQ(out[2 * frame + 1], test.frames[i].second) << test.label << " frame " << i;
    }
    // Between two source frames the output lies on the line between them.
    if (test.step == 2) {
      EXPECT_EQ(out[2], (test.frames[0].first + test.frames[1].first) / 2) << test.label;
    }
  }
}

TEST(AudioDeviceTest, TheVolumeIsAttenuationInHundredthsOfADecibelAndTheLowestIsSilence) {
  const struct {
    int volume;
    int expected;  // of a sample of 20000
  } cases[] = {{0, 20000}, {-600, static_cast<int>(std::lrint(20000 * std::pow(10.0, -0.3)))},
               {-2000, 2000}, {-10000, 0}, {-20000, 0}, {500, 20000}};
  for (const auto& test : cases) {
    cOfflineAudioDevice device;
    cAudioVoice* voice = device.CreateVoice(Format(44100, 1, 16), Pcm16({20000, 20000}));
    EXPECT_EQ(voice->SetVolume(test.volume), std::min(0, std::max(-10000, test.volume)));
    voice->Play();
    EXPECT_EQ(device.Render(1)[0], test.expected) << test.volume;
  }
}

TEST(AudioDeviceTest, AVoiceStopsAtItsEndAndARewindPlaysItFromTheStartAgain) {
  cOfflineAudioDevice device;
  cAudioVoice* voice = device.CreateVoice(Format(44100, 1, 16), Pcm16({1, 2, 3, 4}));
  voice->Play();
  EXPECT_TRUE(voice->IsPlaying());
  std::vector<std::int16_t> out = device.Render(6);
  EXPECT_EQ(out, (std::vector<std::int16_t>{1, 1, 2, 2, 3, 3, 4, 4, 0, 0, 0, 0}));
  EXPECT_FALSE(voice->IsPlaying());

  voice->Play();  // from where it stands: the end
  EXPECT_EQ(device.Render(2), (std::vector<std::int16_t>(4, 0)));

  voice->Stop();
  voice->Rewind();
  voice->Play();
  EXPECT_EQ(device.Render(2), (std::vector<std::int16_t>{1, 1, 2, 2}));
  voice->Stop();
  EXPECT_EQ(device.Render(1), (std::vector<std::int16_t>{0, 0})) << "stopped";
  voice->Play();
  EXPECT_EQ(device.Render(1), (std::vector<std::int16_t>{3, 3})) << "a stop keeps the place";
}

TEST(AudioDeviceTest, DuplicatesShareTheSamplesAndSoundTogetherUntilTheSumClips) {
  cOfflineAudioDevice device;
  cAudioVoice* first = device.CreateVoice(Format(44100, 1, 16), Pcm16({20000, -20000, 100}));
  first->SetVolume(-2000);
  cAudioVoice* second = device.DuplicateVoice(*first);
  EXPECT_EQ(second->GetVolume(), -2000) << "a duplicate starts at the volume of its source";
  EXPECT_EQ(second->FrameCount(), 3u);
  first->SetVolume(0);
  second->SetVolume(0);
  first->Play();
  second->Play();
  const std::vector<std::int16_t> out = device.Render(3);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[2], -32768);
  EXPECT_EQ(out[4], 200);

  device.ReleaseVoice(first);
  EXPECT_EQ(device.VoiceCount(), 1u);
  second->Rewind();
  second->Play();
  EXPECT_EQ(device.Render(1)[0], 20000) << "the samples outlive the voice that brought them";
}

TEST(AudioDeviceTest, FormatsThatNoBufferTakesAreRefused) {
  const struct {
    sPcmFormat format;
    std::size_t bytes;
    bool playable;
  } cases[] = {
      {Format(22050, 1, 8), 4, true},      {Format(100, 2, 16), 4, true},   {Format(200000, 1, 16), 4, true},
      {Format(22050, 0, 8), 4, false},     {Format(22050, 3, 8), 6, false}, {Format(22050, 1, 0), 4, false},
      {Format(22050, 1, 24), 6, false},    {Format(99, 1, 8), 4, false},    {Format(200001, 1, 8), 4, false},
      {{22050, 2, 16, 2}, 4, false},       {Format(22050, 1, 8), 3, false},
  };
  for (const auto& test : cases) {
    const char* refusal = plat::CheckVoiceFormat(test.format, test.bytes);
    EXPECT_EQ(refusal == nullptr, test.playable)
        << test.format.samplesPerSecond << " " << test.format.channels << " " << test.format.bitsPerSample;
    cOfflineAudioDevice device;
    std::string error;
    cAudioVoice* voice = device.CreateVoice(test.format, std::make_shared<const std::vector<std::uint8_t>>(test.bytes),
                                            &error);
    EXPECT_EQ(voice != nullptr, test.playable);
    EXPECT_EQ(error.empty(), test.playable);
  }
}

// A rate that does not divide the output rate still plays its whole length.
TEST(AudioDeviceTest, AnyRateIsResampledOverItsWholeLength) {
  cOfflineAudioDevice device;
  std::vector<std::uint8_t> bytes(2 * 8000, 0x10);  // one second of 8000 Hz, 16-bit mono
  cAudioVoice* voice = device.CreateVoice(Format(8000, 1, 16), std::make_shared<const std::vector<std::uint8_t>>(bytes));
  voice->Play();
  const std::vector<std::int16_t> out = device.Render(44100 + 100);
  EXPECT_EQ(out[2 * 44090], 0x1010);
  EXPECT_EQ(out[2 * 44100 + 10], 0);
  EXPECT_FALSE(voice->IsPlaying());
}

}  // namespace

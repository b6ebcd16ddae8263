// The Ogg Vorbis player on the offline device: what it plays is what the
// file decodes to, a loop starts again without a gap, a stop keeps the
// place, and files that are no Ogg Vorbis are refused. The tunes are made
// here with the encoder.

#include "platform/OggPlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/OggDecoder.h"
#include "platform/OggEncoder.h"

namespace {

using plat::cOfflineAudioDevice;
using plat::cOggDecoder;
using plat::cOggPlayer;

constexpr int kFrames = 12000;

// A stereo tune of kFrames frames: a tone on the left, a slower one on the right.
std::vector<std::uint8_t> Tune(int rate) {
  std::vector<float> samples;
  for (int i = 0; i < kFrames; ++i) {
    samples.push_back(static_cast<float>(0.4 * std::sin(i * 0.05)));
    samples.push_back(static_cast<float>(0.3 * std::sin(i * 0.013)));
  }
  std::vector<std::uint8_t> ogg;
  std::string error;
  EXPECT_TRUE(plat::EncodeOggVorbis(samples, 2, rate, 0.1f, ogg, &error)) << error;
  return ogg;
}

// What the file decodes to, as the device would write it.
std::vector<std::int16_t> Decoded(const std::vector<std::uint8_t>& ogg) {
  cOggDecoder decoder;
  EXPECT_TRUE(decoder.Open(ogg));
  std::vector<std::int16_t> out;
  std::vector<float> chunk(2 * 1024);
  for (int frames; (frames = decoder.Read(chunk.data(), 1024)) > 0;) {
    for (int i = 0; i < 2 * frames; ++i) out.push_back(static_cast<std::int16_t>(std::lrint(chunk[i])));
  }
  return out;
}

std::vector<std::int16_t> Slice(const std::vector<std::int16_t>& frames, std::size_t first, std::size_t count) {
  return std::vector<std::int16_t>(frames.begin() + 2 * first, frames.begin() + 2 * (first + count));
}

bool Silent(const std::vector<std::int16_t>& samples) {
  for (std::int16_t s : samples) {
    if (s != 0) return false;
  }
  return true;
}

TEST(OggPlayerTest, ALoopingTunePlaysItsFramesAgainWithoutAGap) {
  const std::vector<std::uint8_t> ogg = Tune(44100);
  const std::vector<std::int16_t> decoded = Decoded(ogg);
  ASSERT_EQ(decoded.size(), 2u * kFrames) << "the file keeps its length";

  auto device = std::make_shared<cOfflineAudioDevice>();
  cOggPlayer player;
  ASSERT_TRUE(player.LoadBytes(ogg));
  player.SetLoop(cOggPlayer::kLoopForever);
  player.Play(device);
  const std::vector<std::int16_t> out = device->Render(3 * kFrames);
  EXPECT_EQ(Slice(out, 0, kFrames), decoded);
  EXPECT_EQ(Slice(out, kFrames, kFrames), decoded) << "the second pass follows the first at once";
  EXPECT_EQ(Slice(out, 2 * kFrames, kFrames), decoded);
}

TEST(OggPlayerTest, ATuneWithoutALoopEndsInSilenceAndALoopCountRunsOut) {
  const std::vector<std::uint8_t> ogg = Tune(44100);
  const std::vector<std::int16_t> decoded = Decoded(ogg);
  for (int loops : {0, 1}) {
    auto device = std::make_shared<cOfflineAudioDevice>();
    cOggPlayer player;
    ASSERT_TRUE(player.LoadBytes(ogg));
    player.SetLoop(loops);
    player.Play(device);
    const std::vector<std::int16_t> out = device->Render((loops + 2) * kFrames);
    for (int pass = 0; pass <= loops; ++pass) EXPECT_EQ(Slice(out, pass * kFrames, kFrames), decoded) << loops;
    EXPECT_TRUE(Silent(Slice(out, (loops + 1) * kFrames, kFrames))) << loops;
  }
}

TEST(OggPlayerTest, AFileAtHalfTheRateLastsTwiceAsManyFrames) {
  auto device = std::make_shared<cOfflineAudioDevice>();
  cOggPlayer player;
  ASSERT_TRUE(player.LoadBytes(Tune(22050)));
  player.Play(device);
  const std::vector<std::int16_t> out = device->Render(2 * kFrames + 100);
  EXPECT_FALSE(Silent(Slice(out, 2 * kFrames - 200, 100)));
  EXPECT_TRUE(Silent(Slice(out, 2 * kFrames + 1, 99)));
}

TEST(OggPlayerTest, AStopIsSilentAtOnceAndPlayGoesOnFromThePlaceItLeft) {
  const std::vector<std::uint8_t> ogg = Tune(44100);
  const std::vector<std::int16_t> decoded = Decoded(ogg);
  auto device = std::make_shared<cOfflineAudioDevice>();
  cOggPlayer player;
  ASSERT_TRUE(player.LoadBytes(ogg));
  player.Play(device);
  EXPECT_EQ(device->Render(1000), Slice(decoded, 0, 1000));
  player.Stop();
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_TRUE(Silent(device->Render(500)));
  player.Play(device);
  EXPECT_EQ(device->Render(1000), Slice(decoded, 1000, 1000));

  player.Close();
  EXPECT_FALSE(player.IsLoaded());
  player.Play(device);
  EXPECT_FALSE(player.IsPlaying()) << "nothing to play after Close";
  EXPECT_TRUE(Silent(device->Render(100)));
}

TEST(OggPlayerTest, WhatIsNoOggVorbisIsRefused) {
  std::vector<std::uint8_t> ogg = Tune(44100);
  const struct {
    const char* label;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"a WAV header", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"the first page only", std::vector<std::uint8_t>(ogg.begin(), ogg.begin() + 40)},
  };
  for (const auto& test : cases) {
    cOggPlayer player;
    std::string error;
    EXPECT_FALSE(player.LoadBytes(test.bytes, &error)) << test.label;
    EXPECT_FALSE(error.empty()) << test.label;
    EXPECT_FALSE(player.IsLoaded()) << test.label;
  }
  cOggPlayer player;
  std::string error;
  EXPECT_FALSE(player.Load("bgm\\Missing.ogg", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace

// Reading the WAV files of sound effects: the chunks looked for, the formats
// refused with their texts, and lengths that claim more than the file holds.

#include "sound/WaveFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;
using Bytes = std::vector<std::uint8_t>;

// A chunk: id, size (the data's unless given), data, the pad byte of an odd size.
Bytes Chunk(const char* id, const Bytes& data, long declaredSize = -1) {
  ByteBuilder b;
  b.Raw(std::string_view(id, 4)).U32(static_cast<std::uint32_t>(declaredSize < 0 ? data.size() : declaredSize)).Raw(data);
  if (declaredSize < 0 && data.size() % 2 == 1) b.U8(0);
  return b.Bytes();
}

Bytes Riff(const char* form, std::initializer_list<Bytes> chunks, const char* id = "RIFF") {
  Bytes body(form, form + 4);
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  return Chunk(id, body);
}

// A format block of `size` bytes (16, 18, or more with zeros after).
Bytes Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::size_t size = 16) {
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  ByteBuilder b;
  b.U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
  Bytes block = b.Bytes();
  block.resize(size, 0);
  return block;
}

const Bytes kSamples = {0x80, 0x90, 0xA0, 0xB0};

std::string Text(const char* format) {
  std::string text = format;
  text.replace(text.find("%s"), 2, "test.wav");
  return text;
}

class WaveFileTest : public soundtest::cSoundFixture {};

TEST_F(WaveFileTest, ChunksAreFoundAndBadFilesRefusedWithTheirTexts) {
  struct sCase {
    const char* label;
    Bytes file;
    bool read;
    const char* text;  // the refusal's text, or null for none
    std::size_t sampleBytes;
  };
  const sCase cases[] = {
      {"16-byte format", Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8)), Chunk("data", kSamples)}), true, nullptr, 4},
      {"18-byte format", Riff("WAVE", {Chunk("fmt ", Format(1, 2, 22050, 16, 18)), Chunk("data", kSamples)}), true,
       nullptr, 4},
      {"other chunks and an odd pad byte on the way",
       Riff("WAVE", {Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Format(1, 1, 8000, 8)), Chunk("fact", {9}),
                     Chunk("data", kSamples)}),
       true, nullptr, 4},
      {"no RIFF", Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8)), Chunk("data", kSamples)}, "RIFX"), false,
       kWaveNotRiffText, 0},
      {"RIFF of another form", Riff("AVI ", {Chunk("fmt ", Format(1, 1, 11025, 8)), Chunk("data", kSamples)}), false,
       kWaveNotRiffText, 0},
      {"empty file", {}, false, kWaveNotRiffText, 0},
      {"no format chunk", Riff("WAVE", {Chunk("data", kSamples)}), false, nullptr, 0},
      {"19-byte format", Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8, 19)), Chunk("data", kSamples)}), false,
       kWaveBadFormatChunkText, 0},
      {"format cut short by the end of the file", Riff("WAVE", {Chunk("fmt ", {1, 0, 1, 0, 0x11}, 16)}), false,
       kWaveBadFormatChunkText, 0},
      {"floating-point samples", Riff("WAVE", {Chunk("fmt ", Format(3, 1, 11025, 32)), Chunk("data", kSamples)}),
       false, kWaveNotPcmText, 0},
      {"no data chunk", Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8))}), false, nullptr, 0},
      {"data before the format", Riff("WAVE", {Chunk("data", kSamples), Chunk("fmt ", Format(1, 1, 11025, 8))}),
       false, nullptr, 0},
  };
  for (const sCase& test : cases) {
    std::filesystem::remove("Report_Game.txt");
    ReportInit("Report_Game.txt");
    sWaveData wave;
    EXPECT_EQ(ReadWaveBytes(test.file, "test.wav", wave), test.read) << test.label;
    EXPECT_EQ(wave.samples.size(), test.sampleBytes) << test.label;
    if (test.text != nullptr) {
      EXPECT_NE(Report().find(Text(test.text)), std::string::npos) << test.label;
    } else {
      EXPECT_EQ(Report(), "") << test.label;
    }
  }
}

TEST_F(WaveFileTest, TheFormatBlockIsReadAsItStandsAndZeroFilledBehindAShortChunk) {
  sWaveData wave;
  ASSERT_TRUE(ReadWaveBytes(Riff("WAVE", {Chunk("fmt ", Format(1, 2, 22050, 16, 18)), Chunk("data", kSamples)}),
                            "test.wav", wave));
  EXPECT_EQ(wave.format.wFormatTag, 1);
  EXPECT_EQ(wave.format.nChannels, 2);
  EXPECT_EQ(wave.format.nSamplesPerSec, 22050u);
  EXPECT_EQ(wave.format.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(wave.format.nBlockAlign, 4);
  EXPECT_EQ(wave.format.wBitsPerSample, 16);
  EXPECT_EQ(wave.samples, kSamples);

  // A 14-byte block has no bits per sample: zero, which no buffer accepts later.
  ASSERT_TRUE(ReadWaveBytes(Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8, 14)), Chunk("data", kSamples)}),
                            "test.wav", wave));
  EXPECT_EQ(wave.format.wBitsPerSample, 0);
  EXPECT_EQ(wave.format.cbSize, 0);
}

// The length of the data chunk is not trusted: what the file holds is kept,
// and the report says the file is cut short.
TEST_F(WaveFileTest, ADataChunkLongerThanTheFileKeepsTheSamplesThatAreThere) {
  Bytes file = Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8)), Chunk("data", {1, 2, 3}, 0x7FFFFFF0)});
  sWaveData wave;
  ASSERT_TRUE(ReadWaveBytes(file, "test.wav", wave));
  EXPECT_EQ(wave.samples, (Bytes{1, 2, 3}));
  EXPECT_NE(Report().find("test.wav のデータが途中で切れています（3 / 2147483632 バイト）"), std::string::npos);
}

TEST_F(WaveFileTest, AMissingFileIsRefusedWithoutAText) {
  sWaveData wave;
  EXPECT_FALSE(ReadWaveFile("wave\\Missing.wav", wave));
  EXPECT_EQ(Report(), "");
  WriteFile("wave/Here.wav", Riff("WAVE", {Chunk("fmt ", Format(1, 1, 11025, 8)), Chunk("data", kSamples)}));
  EXPECT_TRUE(ReadWaveFile("wave\\HERE.wav", wave)) << "names are matched without regard to case";
  EXPECT_EQ(wave.samples, kSamples);
}

}  // namespace

// The sample game's sounds and music: every file the system data and the
// sound database name is there and loads through the player's readers, the
// effects cover the formats games come with, and both tunes play.

#include "SampleSounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "SampleGame.h"
#include "SampleMusic.h"
#include "SampleSystemData.h"
#include "data/RecordTestSupport.h"
#include "platform/AudioDevice.h"
#include "platform/OggDecoder.h"
#include "sound/MidiFile.h"
#include "sound/WaveFile.h"

namespace {

const samplegame::cSampleFile* Find(const std::vector<samplegame::cSampleFile>& files, const std::string& path) {
  const auto found = std::find_if(files.begin(), files.end(),
                                  [&path](const samplegame::cSampleFile& file) { return file.m_strPath == path; });
  return found != files.end() ? &*found : nullptr;
}

TEST(SampleSoundsTest, EveryNamedEffectIsAPlayableWaveAndTheFormatsVary) {
  const std::vector<samplegame::cSampleFile> files = samplegame::MakeSampleSounds();
  const cDatabase db = samplegame::MakeDatabase();
  const cSystemData system = samplegame::MakeSystemData(db);
  std::vector<std::string> named;
  for (int i = 0; i < kSystemSoundCount; ++i) {
    if (!system.m_SystemSounds[i].empty()) named.push_back(system.m_SystemSounds[i]);
  }
  for (std::size_t i = 1; i < db.m_Sounds.size(); ++i) named.push_back(db.m_Sounds.at(i).m_strFile);
  EXPECT_EQ(named.size(), files.size()) << "no file without a name, no name without a file";

  std::set<std::tuple<int, int, int>> formats;
  for (const std::string& path : named) {
    const samplegame::cSampleFile* file = Find(files, path);
    ASSERT_NE(file, nullptr) << path;
    sWaveData wave;
    ASSERT_TRUE(ReadWaveBytes(file->m_Bytes, path, wave)) << path;
    const plat::sPcmFormat format{static_cast<int>(wave.format.nSamplesPerSec), wave.format.nChannels,
                                  wave.format.wBitsPerSample, wave.format.nBlockAlign};
    EXPECT_EQ(plat::CheckVoiceFormat(format, wave.samples.size()), nullptr) << path;
    EXPECT_TRUE(std::any_of(wave.samples.begin(), wave.samples.end(),
                            [&](std::uint8_t b) { return b != (format.bitsPerSample == 8 ? 128 : 0); }))
        << path << " is not silent";
    formats.insert({format.samplesPerSecond, format.channels, format.bitsPerSample});
  }
  for (int rate : {11025, 22050}) {
    for (int channels : {1, 2}) {
      for (int bits : {8, 16}) EXPECT_TRUE(formats.count({rate, channels, bits})) << rate << " " << channels << " " << bits;
    }
  }
}

TEST(SampleSoundsTest, TheMusicDatabaseNamesAnOggTuneAndAMidiTuneThatBothPlay) {
  recordtest::cTempFolder folder;
  std::vector<samplegame::cSampleFile> music;
  std::string error;
  ASSERT_TRUE(samplegame::MakeSampleMusic(music, error)) << error;
  const cDatabase db = samplegame::MakeDatabase();
  ASSERT_EQ(db.m_Bgms.size(), 5u);
  const samplegame::cSampleFile* ogg = Find(music, db.m_Bgms.at(1).m_strFile);
  const samplegame::cSampleFile* midi = Find(music, db.m_Bgms.at(2).m_strFile);
  ASSERT_NE(ogg, nullptr);
  ASSERT_NE(midi, nullptr);

  plat::cOggDecoder decoder;
  ASSERT_TRUE(decoder.Open(ogg->m_Bytes, &error)) << error;
  EXPECT_EQ(decoder.Channels(), 2);
  std::vector<float> frames(2 * 4096);
  int total = 0;
  for (int read; (read = decoder.Read(frames.data(), 4096)) > 0;) total += read;
  EXPECT_EQ(total, 8 * decoder.SampleRate()) << "eight seconds, to loop";

  // Format 1 with a conductor and three instruments, two tempos, and running
  // status: the one-track image, every status written out, is longer than the
  // tracks of the file even with their four ends counted once.
  const std::vector<std::uint8_t>& file = midi->m_Bytes;
  EXPECT_EQ(file[9], 1);
  EXPECT_EQ(file[11], 4);
  cMidiFile converted;
  converted.LoadBytes(file, "Boss.mid");
  ASSERT_TRUE(converted.HasImage());
  const std::vector<std::uint8_t>& image = converted.Image();
  const std::uint8_t tempo[] = {0xFF, 0x51, 0x03};
  int tempos = 0;
  for (auto at = image.begin(); (at = std::search(at, image.end(), tempo, tempo + 3)) != image.end(); ++at) ++tempos;
  EXPECT_EQ(tempos, 2);
  const std::size_t trackBytes = file.size() - 14 - 4 * 8;
  EXPECT_GT(image.size() - cMidiFile::kImageHeaderBytes, trackBytes);

  // The title and map tunes: one track each, read as whole songs.
  for (std::size_t i = 3; i < db.m_Bgms.size(); ++i) {
    const samplegame::cSampleFile* tune = Find(music, db.m_Bgms.at(i).m_strFile);
    ASSERT_NE(tune, nullptr) << db.m_Bgms.at(i).m_strFile;
    EXPECT_EQ(tune->m_Bytes[9], 0);
    cMidiFile song;
    song.LoadBytes(tune->m_Bytes, db.m_Bgms.at(i).m_strFile);
    EXPECT_TRUE(song.HasImage()) << db.m_Bgms.at(i).m_strFile;
  }
}

}  // namespace

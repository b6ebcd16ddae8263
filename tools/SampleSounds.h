#pragma once
// The sample game's sound effects and music, made in code.
//
// Effects are short PCM WAV files in the formats a game's files come in:
// 8-bit and 16-bit, mono and stereo, at 11025 and 22050 frames a second. The
// system sounds go below wave\ under the names the system data gives them,
// the sound database's below se\ (SampleSystemData.cpp, SampleDatabase.cpp).
// The music (SampleMusic.h) goes below bgm\. All of it belongs to the working
// folder, beside the data tree.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "SampleFiles.h"

namespace samplegame {

// PCM samples in a file's own format.
struct cPcmSound {
  int rate = 0;
  int channels = 0;
  int bits = 0;                     // 8: unsigned, 16: signed little-endian
  std::vector<std::uint8_t> data;   // whole frames
};

// Quantizes interleaved samples (-1..1; beyond is clipped) to the format.
cPcmSound MakePcm(int rate, int channels, int bits, const std::vector<float>& samples);

// A WAV file: RIFF "WAVE", a 16-byte "fmt " chunk (PCM) and the "data" chunk.
std::vector<std::uint8_t> EncodeWave(const cPcmSound& sound);

// Every sound effect of the game.
std::vector<cSampleFile> MakeSampleSounds();

// Writes the effects and the music below the Linux folder `workingFolder`.
// False, with the reason in `error`, when a folder or a file could not be
// written or the music could not be made.
bool WriteSampleSounds(const std::filesystem::path& workingFolder, std::string& error);

}  // namespace samplegame

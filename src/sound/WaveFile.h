#pragma once
// Reading a sound effect's WAV file: PCM samples in a RIFF file of form "WAVE".
//
// File layout (RIFF chunks, little-endian; see platform/RiffReader.h):
//   "RIFF" size "WAVE"
//     "fmt "  the format block: format tag u16 (1 = PCM), channels u16,
//             samples per second u32, average bytes per second u32, block
//             align u16, bits per sample u16, extra size u16
//     ...     other chunks are skipped
//     "data"  the samples
// The "data" chunk is looked for after the "fmt " chunk, as the sound
// effects were always read.
//
// A file is refused (false) when it is missing, is no RIFF "WAVE" file, has
// no "fmt " chunk, a "fmt " chunk of 19 bytes or more or one cut short by the
// end of the file, a format other than PCM, or no "data" chunk. The refusals
// that can be mended by the author are written to the report and the debug
// log with the file's name. A "data" chunk cut short by the end of the file
// keeps the samples that are there (and says so in the report).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The format block, zero-filled before the chunk's bytes are read into it.
struct sWaveFormat {
  std::uint16_t wFormatTag = 0;
  std::uint16_t nChannels = 0;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 0;
  std::uint16_t wBitsPerSample = 0;
  std::uint16_t cbSize = 0;
};

struct sWaveData {
  sWaveFormat format;
  std::vector<std::uint8_t> samples;
};

// The texts of the refusals (%s is the file name).
extern const char* const kWaveNotRiffText;
extern const char* const kWaveBadFormatChunkText;
extern const char* const kWaveNotPcmText;

// Reads the WAV file at a program path into `wave`. On failure `wave` is left empty.
bool ReadWaveFile(std::string_view file, sWaveData& wave);

// As ReadWaveFile, from the file's bytes; `name` stands for the file in the texts.
bool ReadWaveBytes(std::span<const std::uint8_t> bytes, std::string_view name, sWaveData& wave);

// Frees the samples.
void FreeWaveData(sWaveData& wave);

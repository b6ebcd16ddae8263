#include "sound/WaveFile.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/Log.h"
#include "platform/FileBytes.h"
#include "platform/RiffReader.h"

const char* const kWaveNotRiffText = "%s の読み込みに失敗しました…\n不正なファイルです。";
const char* const kWaveBadFormatChunkText =
    "%s の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n本ソフトではPCM形式のみ再生できます。";
const char* const kWaveNotPcmText =
    "%s の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。";

namespace {

// A sound effect is a few seconds; a file far larger is not read into memory.
constexpr std::uintmax_t kMaxWaveFileBytes = 256u << 20;
// The format block has 18 bytes; a longer "fmt " chunk is a format we cannot play.
constexpr std::size_t kFormatBlockBytes = 18;

std::uint16_t U16At(const std::array<std::uint8_t, kFormatBlockBytes>& block, std::size_t at) {
  return static_cast<std::uint16_t>(block[at] | block[at + 1] << 8);
}

std::uint32_t U32At(const std::array<std::uint8_t, kFormatBlockBytes>& block, std::size_t at) {
  return static_cast<std::uint32_t>(U16At(block, at)) | static_cast<std::uint32_t>(U16At(block, at + 2)) << 16;
}

sWaveFormat ParseFormatBlock(std::span<const std::uint8_t> chunk) {
  std::array<std::uint8_t, kFormatBlockBytes> block{};
  std::copy_n(chunk.begin(), std::min(chunk.size(), block.size()), block.begin());
  sWaveFormat format;
  format.wFormatTag = U16At(block, 0);
  format.nChannels = U16At(block, 2);
  format.nSamplesPerSec = U32At(block, 4);
  format.nAvgBytesPerSec = U32At(block, 8);
  format.nBlockAlign = U16At(block, 12);
  format.wBitsPerSample = U16At(block, 14);
  format.cbSize = U16At(block, 16);
  return format;
}

}  // namespace

bool ReadWaveBytes(std::span<const std::uint8_t> bytes, std::string_view name, sWaveData& wave) {
  FreeWaveData(wave);
  const std::string fileName(name);
  const std::optional<plat::sRiffChunk> riff = plat::FindRiffForm(bytes, 0, bytes.size(), plat::RiffId("WAVE"));
  if (!riff) {
    ReportPrintfLog(kWaveNotRiffText, fileName.c_str());
    return false;
  }
  const std::size_t riffEnd = riff->dataOffset + riff->available;
  const std::optional<plat::sRiffChunk> fmt = plat::FindRiffChunk(bytes, riff->dataOffset, riffEnd, plat::RiffId("fmt "));
  if (!fmt) return false;
  if (fmt->size > kFormatBlockBytes || fmt->available < fmt->size) {
    ReportPrintfLog(kWaveBadFormatChunkText, fileName.c_str());
    return false;
  }
  sWaveData read;
  read.format = ParseFormatBlock(bytes.subspan(fmt->dataOffset, fmt->size));
  if (read.format.wFormatTag != 1) {
    ReportPrintfLog(kWaveNotPcmText, fileName.c_str());
    return false;
  }
  const std::optional<plat::sRiffChunk> data = plat::FindRiffChunk(bytes, fmt->end, riffEnd, plat::RiffId("data"));
  if (!data) return false;
  if (data->available < data->size) {
    // Only what is there is kept: the length in the file is not trusted.
    ReportPrintfLog("%s のデータが途中で切れています（%u / %u バイト）", fileName.c_str(),
                    static_cast<unsigned>(data->available), static_cast<unsigned>(data->size));
  }
  const auto samples = bytes.subspan(data->dataOffset, data->available);
  read.samples.assign(samples.begin(), samples.end());
  wave = std::move(read);
  return true;
}

bool ReadWaveFile(std::string_view file, sWaveData& wave) {
  FreeWaveData(wave);
  std::vector<std::uint8_t> bytes;
  if (plat::ReadFileBytes(file, kMaxWaveFileBytes, bytes) != plat::eReadFile::Read) return false;
  return ReadWaveBytes(bytes, file, wave);
}

void FreeWaveData(sWaveData& wave) {
  wave.format = sWaveFormat{};
  std::vector<std::uint8_t>().swap(wave.samples);
}

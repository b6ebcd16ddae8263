#include "platform/OggDecoder.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace plat {

// The bytes vorbisfile reads through the callbacks below. It stands outside
// the anonymous namespace because cOggDecoder::sImpl, a type of every
// source that names the decoder, holds one; the compiler warns of a member
// whose type is local to one source once sources compile in batches.
struct sOggMemoryFile {
  std::vector<std::uint8_t> bytes;
  std::size_t position = 0;
};

namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 200000;
// vorbisfile hands out -1..1; our mix runs on the 16-bit scale.
constexpr float kSampleScale = 32768.0f;
// A hole in the data (a lost page) is skipped; this many in a row end the stream.
constexpr int kMaxHolesInARow = 64;

std::size_t ReadMemory(void* out, std::size_t size, std::size_t count, void* source) {
  auto* file = static_cast<sOggMemoryFile*>(source);
  if (size == 0) return 0;
  const std::size_t left = file->bytes.size() - file->position;
  const std::size_t items = std::min(count, left / size);
  if (items == 0) return 0;  // the end (an empty file has no data pointer at all)
  std::memcpy(out, file->bytes.data() + file->position, items * size);
  file->position += items * size;
  return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* file = static_cast<sOggMemoryFile*>(source);
  const auto size = static_cast<ogg_int64_t>(file->bytes.size());
  ogg_int64_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(file->position); break;
    case SEEK_END: base = size; break;
    default: return -1;
  }
  if (offset < -base || offset > size - base) return -1;
  file->position = static_cast<std::size_t>(base + offset);
  return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<sOggMemoryFile*>(source)->position); }

}  // namespace

struct cOggDecoder::sImpl {
  sOggMemoryFile file;
  OggVorbis_File vorbis{};
  bool open = false;
  int rate = 0;
  int channels = 0;
};

cOggDecoder::cOggDecoder() : m_Impl(std::make_unique<sImpl>()) {}

cOggDecoder::~cOggDecoder() { Close(); }

bool cOggDecoder::Open(std::vector<std::uint8_t> bytes, std::string* error) {
  Close();
  auto fail = [&](const char* why) {
    if (error != nullptr) *error = why;
    Close();
    return false;
  };
  m_Impl->file.bytes = std::move(bytes);
  m_Impl->file.position = 0;
  const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
  if (ov_open_callbacks(&m_Impl->file, &m_Impl->vorbis, nullptr, 0, callbacks) != 0) {
    m_Impl->file.bytes.clear();
    if (error != nullptr) *error = "not an Ogg Vorbis file";
    return false;
  }
  m_Impl->open = true;
  if (ov_streams(&m_Impl->vorbis) != 1) return fail("the file holds more than one stream");
  const vorbis_info* info = ov_info(&m_Impl->vorbis, -1);
  if (info == nullptr) return fail("the stream has no header");
  if (info->channels != 1 && info->channels != 2) return fail("only mono and stereo streams can be played");
  if (info->rate < kMinRate || info->rate > kMaxRate) return fail("the sample rate lies outside 1000 to 200000");
  m_Impl->rate = static_cast<int>(info->rate);
  m_Impl->channels = info->channels;
  return true;
}

void cOggDecoder::Close() {
  if (m_Impl->open) ov_clear(&m_Impl->vorbis);
  m_Impl->open = false;
  m_Impl->file.bytes.clear();
  m_Impl->file.bytes.shrink_to_fit();
  m_Impl->file.position = 0;
  m_Impl->rate = 0;
  m_Impl->channels = 0;
}

bool cOggDecoder::IsOpen() const { return m_Impl->open; }
int cOggDecoder::SampleRate() const { return m_Impl->rate; }
int cOggDecoder::Channels() const { return m_Impl->channels; }

int cOggDecoder::Read(float* stereo, int maxFrames) {
  if (!m_Impl->open || maxFrames <= 0) return 0;
  for (int holes = 0; holes < kMaxHolesInARow; ++holes) {
    float** channels = nullptr;
    int link = 0;
    const long frames = ov_read_float(&m_Impl->vorbis, &channels, maxFrames, &link);
    if (frames == OV_HOLE) continue;
    if (frames < 0) return -1;
    if (frames == 0) return 0;
    const float* left = channels[0];
    const float* right = m_Impl->channels == 2 ? channels[1] : channels[0];
    for (long i = 0; i < frames; ++i) {
      stereo[2 * i] = left[i] * kSampleScale;
      stereo[2 * i + 1] = right[i] * kSampleScale;
    }
    return static_cast<int>(frames);
  }
  return -1;
}

bool cOggDecoder::Rewind() { return m_Impl->open && ov_pcm_seek(&m_Impl->vorbis, 0) == 0; }

}  // namespace plat

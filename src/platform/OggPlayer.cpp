#include "platform/OggPlayer.h"

#include <algorithm>

#include "platform/FileBytes.h"

namespace plat {

namespace {

// About 0.74 s of output decoded ahead: far more than one audio buffer, so a
// busy machine never starves the music.
constexpr std::uint64_t kRingFrames = 32768;
// No decoded chunk gives more output frames than this (see ChunkFrames).
constexpr std::uint64_t kMaxChunkOutput = 2048;
// Decoded before the first mix, so the music starts with its first frame.
constexpr std::uint64_t kPrefillFrames = 4096;
// Music files above this are refused rather than read into memory.
constexpr std::uintmax_t kMaxOggFileBytes = 256u << 20;
// When the ring is full the decoder looks again this often.
constexpr int kDecoderWaitMs = 5;

// Source frames decoded at a time: about 1024 output frames, never more
// than kMaxChunkOutput even with the frame held back for interpolation.
int ChunkFrames(int rate) { return std::clamp(static_cast<int>(1024LL * rate / kAudioRate), 16, 4096); }

}  // namespace

cOggPlayer::cOggPlayer() : m_Ring(kRingFrames * kAudioChannels) {}

cOggPlayer::~cOggPlayer() { Close(); }

bool cOggPlayer::Load(std::string_view programPath, std::string* error) {
  Close();
  std::vector<std::uint8_t> bytes;
  switch (ReadFileBytes(programPath, kMaxOggFileBytes, bytes)) {
    case eReadFile::Read:
      return LoadBytes(std::move(bytes), error);
    case eReadFile::TooLarge:
      if (error != nullptr) *error = "the file is too large";
      return false;
    default:
      if (error != nullptr) *error = "the file cannot be read";
      return false;
  }
}

bool cOggPlayer::LoadBytes(std::vector<std::uint8_t> bytes, std::string* error) {
  Close();
  if (!m_Decoder.Open(std::move(bytes), error)) return false;
  const int rate = m_Decoder.SampleRate();
  m_Step = (static_cast<std::uint64_t>(rate) << 32) / static_cast<std::uint64_t>(kAudioRate);
  m_ChunkFrames = ChunkFrames(rate);
  m_Chunk.assign(static_cast<std::size_t>(m_ChunkFrames) * kAudioChannels, 0.0f);
  m_Source.clear();
  m_Source.reserve(static_cast<std::size_t>(m_ChunkFrames + 2) * kAudioChannels);
  return true;
}

void cOggPlayer::Play(const std::shared_ptr<cAudioDevice>& device) {
  if (!IsLoaded() || m_Playing || !device) return;
  m_Device = device;
  m_StopThread = false;
  while (!m_Ended && FramesReady() < kPrefillFrames) DecodeChunk();
  m_Thread = std::thread(&cOggPlayer::DecodeLoop, this);
  m_Playing = true;
  m_Device->AddStream(this);
}

void cOggPlayer::Stop() {
  if (!m_Playing) return;
  m_Device->RemoveStream(this);  // no mix of ours runs after this
  {
    std::lock_guard<std::mutex> lock(m_WaitMutex);
    m_StopThread = true;
  }
  m_WakeDecoder.notify_all();
  m_DataReady.notify_all();
  if (m_Thread.joinable()) m_Thread.join();
  m_Device.reset();
  m_Playing = false;
}

void cOggPlayer::Close() {
  Stop();
  m_Decoder.Close();
  m_Source.clear();
  m_SourcePhase = 0;
  m_DecodedThisPass = false;
  m_Written = 0;
  m_Read = 0;
  m_Ended = false;
  m_LoopsLeft = 0;
}

void cOggPlayer::SetLoop(int count) { m_LoopsLeft = std::max(count, 0); }

std::uint64_t cOggPlayer::FramesReady() const { return m_Written.load() - m_Read.load(); }

void cOggPlayer::NotifyDataReady() {
  { std::lock_guard<std::mutex> lock(m_WaitMutex); }
  m_DataReady.notify_all();
}

void cOggPlayer::DecodeLoop() {
  while (!m_StopThread && !m_Ended) {
    if (kRingFrames - FramesReady() < kMaxChunkOutput) {
      std::unique_lock<std::mutex> lock(m_WaitMutex);
      m_WakeDecoder.wait_for(lock, std::chrono::milliseconds(kDecoderWaitMs),
                             [this] { return m_StopThread || kRingFrames - FramesReady() >= kMaxChunkOutput; });
      continue;
    }
    DecodeChunk();
    NotifyDataReady();
  }
  NotifyDataReady();
}

bool cOggPlayer::DecodeChunk() {
  const int frames = m_Decoder.Read(m_Chunk.data(), m_ChunkFrames);
  if (frames > 0) {
    m_DecodedThisPass = true;
    m_Source.insert(m_Source.end(), m_Chunk.begin(), m_Chunk.begin() + frames * kAudioChannels);
    PushResampled(false);
    return true;
  }
  // The end. A pass that decoded nothing does not loop: the tune would only
  // spin at its start.
  const int loops = m_LoopsLeft;
  if (frames == 0 && m_DecodedThisPass && loops > 0 && m_Decoder.Rewind()) {
    if (loops != kLoopForever) m_LoopsLeft = loops - 1;
    m_DecodedThisPass = false;
    return true;
  }
  PushResampled(true);
  m_Ended = true;
  return false;
}

// Linear interpolation from the file's rate to the device's. Until the end
// one source frame is kept back, since the frame after it is needed; across
// a loop the seam interpolates between the last and the first frame.
void cOggPlayer::PushResampled(bool flush) {
  const std::uint64_t sourceFrames = m_Source.size() / kAudioChannels;
  const std::uint64_t limit = flush ? sourceFrames << 32 : (sourceFrames > 0 ? (sourceFrames - 1) << 32 : 0);
  std::uint64_t written = m_Written.load();
  while (m_SourcePhase < limit) {
    const std::uint64_t index = m_SourcePhase >> 32;
    const std::uint64_t next = std::min(index + 1, sourceFrames - 1);
    const float fraction = static_cast<float>(static_cast<double>(m_SourcePhase & 0xFFFFFFFFu) / 4294967296.0);
    float* out = m_Ring.data() + (written % kRingFrames) * kAudioChannels;
    for (int c = 0; c < kAudioChannels; ++c) {
      const float a = m_Source[index * kAudioChannels + c];
      const float b = m_Source[next * kAudioChannels + c];
      out[c] = a + (b - a) * fraction;
    }
    ++written;
    m_SourcePhase += m_Step;
  }
  m_Written.store(written, std::memory_order_release);
  const std::uint64_t consumed = std::min(m_SourcePhase >> 32, sourceFrames);
  m_Source.erase(m_Source.begin(), m_Source.begin() + static_cast<std::ptrdiff_t>(consumed * kAudioChannels));
  m_SourcePhase -= consumed << 32;
}

void cOggPlayer::Mix(float* mix, int frames) {
  const std::uint64_t read = m_Read.load(std::memory_order_relaxed);
  const std::uint64_t ready = m_Written.load(std::memory_order_acquire) - read;
  const std::uint64_t count = std::min<std::uint64_t>(ready, static_cast<std::uint64_t>(frames));
  for (std::uint64_t i = 0; i < count; ++i) {
    const float* frame = m_Ring.data() + ((read + i) % kRingFrames) * kAudioChannels;
    mix[2 * i] += frame[0];
    mix[2 * i + 1] += frame[1];
  }
  m_Read.store(read + count, std::memory_order_release);
}

void cOggPlayer::PrepareOffline(int frames) {
  if (!m_Playing) return;
  std::unique_lock<std::mutex> lock(m_WaitMutex);
  m_WakeDecoder.notify_all();
  m_DataReady.wait(lock, [this, frames] {
    return FramesReady() >= static_cast<std::uint64_t>(frames) || m_Ended || m_StopThread;
  });
}

}  // namespace plat

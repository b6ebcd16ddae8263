#include "platform/MidiStreamOut.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// A stream whose owner never sets its time division counts in these.
constexpr std::uint32_t kDefaultDivision = 96;
// Microseconds per quarter note until a tempo event says otherwise.
constexpr std::uint32_t kDefaultTempo = 500000;
constexpr double kMicrosecondsPerSecond = 1000000.0;

std::uint32_t ReadWord(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The bytes a long event's data takes in the buffer.
std::uint32_t PaddedLength(std::uint32_t length) { return (length + 3u) & ~3u; }

}  // namespace

std::string MidiErrorText(int code) {
  switch (code) {
    case MIDI_OK: return "no error";
    case MIDI_ERR_INVALID_HANDLE: return "the MIDI stream is not open";
    case MIDI_ERR_NO_DRIVER: return "no MIDI synthesiser is available";
    case MIDI_ERR_NO_MEMORY: return "the MIDI stream holds too many buffers";
    case MIDI_ERR_INVALID_PARAM: return "a MIDI stream parameter is not valid";
    case MIDI_ERR_UNPREPARED: return "the MIDI buffer is not prepared";
    case MIDI_ERR_STILL_PLAYING: return "the MIDI buffer is still queued";
    default: return "unknown MIDI error " + std::to_string(code);
  }
}

int cMidiStreamOut::Open(const std::shared_ptr<cAudioDevice>& device, std::unique_ptr<cMidiStreamOut>& stream,
                         std::string* error) {
  stream.reset();
  if (!device) {
    if (error != nullptr) *error = "there is no audio device";
    return MIDI_ERR_NO_DRIVER;
  }
  std::unique_ptr<cMidiSynth> synth = CreateMidiSynth(error);
  if (!synth) return MIDI_ERR_NO_DRIVER;
  stream.reset(new cMidiStreamOut(device, std::move(synth)));
  device->AddStream(stream.get());
  return MIDI_OK;
}

cMidiStreamOut::cMidiStreamOut(std::shared_ptr<cAudioDevice> device, std::unique_ptr<cMidiSynth> synth)
    : m_Device(std::move(device)), m_Synth(std::move(synth)), m_Division(kDefaultDivision) {
  UpdateTickLength();
}

cMidiStreamOut::~cMidiStreamOut() { Close(); }

void cMidiStreamOut::UpdateTickLength() {
  if ((m_Division & 0x8000u) != 0) {
    // SMPTE: frames a second (29 stands for 29.97) times ticks a frame; no tempo.
    const int fps = -static_cast<int>(static_cast<std::int8_t>(m_Division >> 8));
    const double frameRate = fps == 29 ? 29.97 : fps;
    m_FramesPerTick = kAudioRate / (frameRate * static_cast<double>(m_Division & 0xFFu));
  } else {
    m_FramesPerTick = static_cast<double>(m_Tempo) * kAudioRate / (kMicrosecondsPerSecond * m_Division);
  }
}

int cMidiStreamOut::SetTimeDivision(std::uint32_t division) {
  const bool smpte = (division & 0x8000u) != 0;
  if (division == 0 || division > 0xFFFFu ||
      (smpte && ((division & 0xFFu) == 0 || static_cast<std::int8_t>(division >> 8) >= 0)))
    return MIDI_ERR_INVALID_PARAM;
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  m_Division = division;
  UpdateTickLength();
  return MIDI_OK;
}

int cMidiStreamOut::PrepareHeader(sMidiHeader* header) {
  if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) return MIDI_ERR_INVALID_PARAM;
  header->dwFlags.fetch_or(MHDR_PREPARED);
  return MIDI_OK;
}

int cMidiStreamOut::UnprepareHeader(sMidiHeader* header) {
  if (header == nullptr) return MIDI_ERR_INVALID_PARAM;
  if ((header->dwFlags.load() & MHDR_INQUEUE) != 0) return MIDI_ERR_STILL_PLAYING;
  header->dwFlags.fetch_and(~MHDR_PREPARED);
  return MIDI_OK;
}

int cMidiStreamOut::Out(sMidiHeader* header) {
  if (header == nullptr || header->dwBytesRecorded > header->dwBufferLength) return MIDI_ERR_INVALID_PARAM;
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  const std::uint32_t flags = header->dwFlags.load();
  if ((flags & MHDR_PREPARED) == 0) return MIDI_ERR_UNPREPARED;
  if ((flags & MHDR_INQUEUE) != 0) return MIDI_ERR_STILL_PLAYING;
  if (m_QueueCount == kQueueSize) return MIDI_ERR_NO_MEMORY;
  header->dwFlags.store((flags & ~MHDR_DONE) | MHDR_INQUEUE);
  m_Queue[(m_QueueHead + m_QueueCount) % kQueueSize] = header;
  ++m_QueueCount;
  return MIDI_OK;
}

int cMidiStreamOut::Restart() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  m_Playing = true;
  return MIDI_OK;
}

int cMidiStreamOut::Pause() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  m_Playing = false;
  return MIDI_OK;
}

int cMidiStreamOut::Stop() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  StopLocked(false);
  return MIDI_OK;
}

int cMidiStreamOut::Reset() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
  StopLocked(true);
  return MIDI_OK;
}

void cMidiStreamOut::StopLocked(bool silence) {
  m_Playing = false;
  if (silence) {
    m_Synth->Silence();
  } else {
    m_Synth->ResetChannels();
  }
  // The song starts again at the default tempo, not at the last one it set.
  m_Tempo = kDefaultTempo;
  UpdateTickLength();
  while (m_QueueCount > 0) FinishHead();
  m_NextDueKnown = false;
  m_LastEventTime = static_cast<double>(m_Clock);
  // Notices of the buffers just dropped are stale now.
  ++m_Generation;
  m_NoticeCount = 0;
  m_Settled.notify_all();
}

int cMidiStreamOut::Close() {
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Closed) return MIDI_ERR_INVALID_HANDLE;
    StopLocked(true);
    m_Closed = true;
    m_NoticeReady.notify_all();
    m_Settled.notify_all();
  }
  m_Device->RemoveStream(this);  // waits for a mix in progress
  return MIDI_OK;
}

bool cMidiStreamOut::WaitNotice(sMidiPositionNotice* notice) {
  std::unique_lock<std::mutex> lock(m_Mutex);
  m_Handling = false;
  m_Settled.notify_all();
  m_NoticeReady.wait(lock, [this] { return m_Closed || m_NoticeCount > 0; });
  if (m_Closed) return false;
  *notice = m_Notices[m_NoticeHead];
  m_NoticeHead = (m_NoticeHead + 1) % kNoticeSize;
  --m_NoticeCount;
  m_Handling = true;
  return true;
}

bool cMidiStreamOut::IsCurrent(const sMidiPositionNotice& notice) const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return !m_Closed && notice.generation == m_Generation;
}

void cMidiStreamOut::PrepareOffline(int /*frames*/) {
  std::unique_lock<std::mutex> lock(m_Mutex);
  m_Settled.wait(lock, [this] { return m_Closed || (m_NoticeCount == 0 && !m_Handling); });
}

void cMidiStreamOut::FinishHead() {
  sMidiHeader* header = m_Queue[m_QueueHead];
  header->dwFlags.store((header->dwFlags.load() & ~MHDR_INQUEUE) | MHDR_DONE);
  m_Queue[m_QueueHead] = nullptr;
  m_QueueHead = (m_QueueHead + 1) % kQueueSize;
  --m_QueueCount;
  m_Offset = 0;
}

void cMidiStreamOut::Execute(std::uint32_t event, const std::uint8_t* data) {
  const auto type = static_cast<std::uint8_t>((event & ~MEVT_F_CALLBACK) >> 24);
  switch (type) {
    case MEVT_SHORTMSG: {
      // System statuses are not sent: the end-of-track marker (status 0xFF)
      // would reach the synthesiser as a reset.
      const std::uint32_t status = event & 0xFFu;
      if (status >= 0x80 && status < 0xF0) m_Synth->ShortMessage(event & 0xFFFFFFu);
      break;
    }
    case MEVT_TEMPO:
      if ((event & 0xFFFFFFu) != 0) {
        m_Tempo = event & 0xFFFFFFu;
        UpdateTickLength();
      }
      break;
    case MEVT_LONGMSG:
      m_Synth->LongMessage(data, event & 0xFFFFFFu);
      break;
    default:
      break;  // no-operation, comments and versions play nothing
  }
}

// Sends every event of the queued buffers whose time has come. A buffer is
// done once its last event went out; an event that claims more bytes than
// its buffer holds ends that buffer.
void cMidiStreamOut::DispatchDueEvents() {
  while (m_QueueCount > 0) {
    sMidiHeader* header = m_Queue[m_QueueHead];
    const std::uint32_t recorded = header->dwBytesRecorded;
    if (recorded < kMidiEventHeadBytes || m_Offset > recorded - kMidiEventHeadBytes) {
      FinishHead();
      continue;
    }
    const std::uint8_t* at = header->lpData + m_Offset;
    const std::uint32_t event = ReadWord(at + 8);
    if (!m_NextDueKnown) {
      m_NextDue = m_LastEventTime + ReadWord(at) * m_FramesPerTick;
      m_NextDueKnown = true;
    }
    if (m_NextDue > static_cast<double>(m_Clock)) return;

    const std::uint32_t dataBytes = (event & MEVT_F_LONG) != 0 ? PaddedLength(event & 0xFFFFFFu) : 0;
    if (dataBytes > recorded - kMidiEventHeadBytes - m_Offset) {
      FinishHead();
      m_NextDueKnown = false;
      continue;
    }
    Execute(event, at + kMidiEventHeadBytes);
    m_LastEventTime = m_NextDue;
    m_NextDueKnown = false;
    const std::uint32_t offset = m_Offset;
    m_Offset += kMidiEventHeadBytes + dataBytes;
    if (m_Offset > recorded - kMidiEventHeadBytes) FinishHead();
    if ((event & MEVT_F_CALLBACK) != 0 && m_NoticeCount < kNoticeSize) {
      header->dwOffset = offset;
      m_Notices[(m_NoticeHead + m_NoticeCount) % kNoticeSize] = {header, offset, event, m_Generation};
      ++m_NoticeCount;
      m_NoticeReady.notify_one();
    }
  }
}

void cMidiStreamOut::Mix(float* mix, int frames) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  if (m_Closed) return;
  int done = 0;
  while (done < frames) {
    int until = frames;
    if (m_Playing) {
      DispatchDueEvents();
      if (m_NextDueKnown) {
        const double wait = std::ceil(m_NextDue - static_cast<double>(m_Clock));
        if (wait < static_cast<double>(frames - done)) until = done + std::max(1, static_cast<int>(wait));
      }
    }
    m_Synth->Render(mix + static_cast<std::ptrdiff_t>(done) * kAudioChannels, until - done);
    if (m_Playing) m_Clock += static_cast<std::uint64_t>(until - done);
    done = until;
  }
}

}  // namespace plat

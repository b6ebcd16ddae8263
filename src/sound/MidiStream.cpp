#include "sound/MidiStream.h"

#include <algorithm>
#include <cstring>

#include "core/Log.h"
#include "sound/AudioOutput.h"

namespace {

constexpr std::uint32_t kTempoEvent = std::uint32_t{plat::MEVT_TEMPO} << 24;
constexpr std::uint32_t kLongEvent = std::uint32_t{plat::MEVT_LONGMSG} << 24;

void PutWord(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// One event of the image, read at a position.
struct sImageEvent {
  std::uint32_t delta = 0;
  std::uint8_t status = 0;
  std::span<const std::uint8_t> data;  // after the status
  std::uint32_t end = 0;               // position of the next event
};

bool ReadImageEvent(std::span<const std::uint8_t> image, std::uint32_t position, sImageEvent& event) {
  const int used = ReadVarLen(image.subspan(position), event.delta);
  std::size_t at = position + static_cast<std::size_t>(used);
  if (used == 0 || at >= image.size()) return false;
  event.status = image[at++];
  std::size_t length = 0;
  if (!MidiEventDataLength(image, at, event.status, length) || length > image.size() - at) return false;
  event.data = image.subspan(at, length);
  event.end = static_cast<std::uint32_t>(at + length);
  return true;
}

// A system-exclusive event's data after its length quantity.
std::span<const std::uint8_t> SysExData(std::span<const std::uint8_t> data) {
  std::uint32_t length = 0;
  const int used = ReadVarLen(data, length);
  return data.subspan(static_cast<std::size_t>(used), length);
}

// What one image event becomes in a buffer.
struct sBufferEvent {
  bool written = false;  // false: passed over (a meta event other than tempo and end of track)
  bool endOfTrack = false;
  std::uint32_t word = 0;
  std::span<const std::uint8_t> longData;  // system exclusive: the data after the status
  std::uint32_t size = 0;                  // bytes in the buffer
};

sBufferEvent ToBufferEvent(const sImageEvent& event) {
  sBufferEvent out;
  const std::uint8_t status = event.status;
  if (status == 0xF0 || status == 0xF7) {
    out.longData = SysExData(event.data);
    const auto length = static_cast<std::uint32_t>(out.longData.size()) + 1;
    out.word = kLongEvent | length;
    out.size = plat::kMidiEventHeadBytes + ((length + 3u) & ~3u);
    out.written = true;
  } else if (status == 0xFF) {
    const std::uint8_t type = event.data[0];
    std::uint32_t length = 0;
    const int used = ReadVarLen(event.data.subspan(1), length);
    const std::span<const std::uint8_t> meta = event.data.subspan(1 + static_cast<std::size_t>(used), length);
    if (type == 0x51 && meta.size() >= 3) {
      out.word = kTempoEvent | static_cast<std::uint32_t>(meta[0]) << 16 | static_cast<std::uint32_t>(meta[1]) << 8 | meta[2];
      out.written = true;
    } else if (type == 0x2F) {
      out.word = cMidiStream::kEndOfTrackEvent;
      out.endOfTrack = true;
      out.written = true;
    }
    out.size = plat::kMidiEventHeadBytes;
  } else {
    out.word = status;
    if (!event.data.empty()) out.word |= static_cast<std::uint32_t>(event.data[0]) << 8;
    if (event.data.size() >= 2) out.word |= static_cast<std::uint32_t>(event.data[1]) << 16;
    out.size = plat::kMidiEventHeadBytes;
    out.written = true;
  }
  return out;
}

}  // namespace

std::uint32_t cMidiStream::FillBuffer(std::span<const std::uint8_t> image, std::uint32_t position,
                                      plat::sMidiHeader& header, std::string_view fileName) {
  std::uint8_t* const buffer = header.lpData;
  const std::uint32_t capacity = header.dwBufferLength;
  std::memset(buffer, 0, capacity);
  std::uint32_t written = 0;
  std::uint32_t at = position;
  std::uint32_t usedThrough = position;  // the image up to the end of the last event written
  std::uint64_t carriedDelta = 0;        // of the events passed over since
  std::int64_t lastEvent = -1;
  bool stoppedShort = false;  // an event did not fit

  while (at < image.size()) {
    sImageEvent event;
    if (!ReadImageEvent(image, at, event)) {
      // Not an image this class made: nothing after this point can be played.
      at = static_cast<std::uint32_t>(image.size());
      usedThrough = at;
      break;
    }
    const sBufferEvent out = ToBufferEvent(event);
    if (!out.written || out.size > capacity) {
      if (out.written) {
        ReportPrintfLog("Midi %.*s Out %s", static_cast<int>(fileName.size()), fileName.data(),
                        "バッファに入らないシステムエクスクルーシブを飛ばしました");
      }
      carriedDelta += event.delta;
      at = event.end;
      continue;
    }
    if (out.size > capacity - written) {
      stoppedShort = true;
      break;
    }
    std::uint8_t* const slot = buffer + written;
    PutWord(slot, static_cast<std::uint32_t>(std::min<std::uint64_t>(event.delta + carriedDelta, 0xFFFFFFFFu)));
    PutWord(slot + 8, out.word);
    if ((out.word & plat::MEVT_F_LONG) != 0) {
      slot[12] = event.status;
      std::memcpy(slot + 13, out.longData.data(), out.longData.size());
    }
    lastEvent = written;
    written += out.size;
    carriedDelta = 0;
    at = event.end;
    usedThrough = at;
    if (out.endOfTrack) break;
  }
  // Passed-over events behind the last one written are read again with the
  // next buffer, so their delta times still reach the next event written.
  const std::uint32_t used = (stoppedShort ? usedThrough : at) - position;
  if (stoppedShort && lastEvent >= 0) {
    std::uint8_t* const word = buffer + lastEvent + 8;
    PutWord(word, (static_cast<std::uint32_t>(word[0]) | static_cast<std::uint32_t>(word[1]) << 8 |
                   static_cast<std::uint32_t>(word[2]) << 16 | static_cast<std::uint32_t>(word[3]) << 24) |
                      plat::MEVT_F_CALLBACK);
  }
  header.dwBytesRecorded = written;
  header.dwFlags = 0;
  header.dwOffset = 0;
  return used;
}

std::string cMidiStream::ErrorText(int code) {
  static std::mutex mutex;
  static std::string last;
  std::lock_guard<std::mutex> lock(mutex);
  if (code != 0) last = plat::MidiErrorText(code);
  return last;
}

cMidiStream::cMidiStream(std::string_view fileName) {
  Load(fileName);
  if (HasImage()) Open();
}

cMidiStream::~cMidiStream() { Close(); }

void cMidiStream::Check(const char* operation, int result) const {
  if (result != plat::MIDI_OK) ReportPrintfLog("Midi %s %s %s", m_strName.c_str(), operation, ErrorText(result).c_str());
}

template <class tOperation>
int cMidiStream::Call(tOperation operation) {
  return m_Stream ? operation(*m_Stream) : plat::MIDI_ERR_INVALID_HANDLE;
}

void cMidiStream::Open() {
  for (int i = 0; i < kBufferCount; ++i) {
    m_Blocks[i].assign(kBufferSize, 0);
    m_Headers[i].lpData = m_Blocks[i].data();
    m_Headers[i].dwBufferLength = kBufferSize;
    m_Headers[i].dwUser = static_cast<std::uintptr_t>(i);
  }
  m_nBufferIndex = 0;
  Check("Open", plat::cMidiStreamOut::Open(OpenAudioOutput(), m_Stream));
  const auto division = static_cast<std::uint32_t>(m_Image[12] << 8 | m_Image[13]);
  Check("Property", Call([division](plat::cMidiStreamOut& stream) { return stream.SetTimeDivision(division); }));
  if (m_Stream) m_CallbackThread = std::thread(&cMidiStream::CallbackThread, this);
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_nPosition = kImageHeaderBytes;
  m_nState = STOPPED;
  QueueNext();
}

void cMidiStream::Close() {
  if (!HasImage()) return;
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    Check("Reset", Call([](plat::cMidiStreamOut& stream) { return stream.Reset(); }));
    for (plat::sMidiHeader& header : m_Headers) {
      Check("Unprepare", Call([&header](plat::cMidiStreamOut& stream) { return stream.UnprepareHeader(&header); }));
    }
  }
  // Closing the stream ends the callback thread's wait; it is joined before
  // anything it could touch goes away.
  Check("Close", Call([](plat::cMidiStreamOut& stream) { return stream.Close(); }));
  if (m_CallbackThread.joinable()) m_CallbackThread.join();
  m_Stream.reset();
}

void cMidiStream::QueueNext() {
  plat::sMidiHeader& header = m_Headers[m_nBufferIndex];
  if (m_nPosition >= m_Image.size() || (header.dwFlags.load() & plat::MHDR_INQUEUE) != 0) return;
  m_nPosition += FillBuffer(m_Image, m_nPosition, header, m_strName);
  Check("Prepare", Call([&header](plat::cMidiStreamOut& stream) { return stream.PrepareHeader(&header); }));
  Check("Out", Call([&header](plat::cMidiStreamOut& stream) { return stream.Out(&header); }));
  m_nBufferIndex = static_cast<std::uint8_t>((m_nBufferIndex + 1) % kBufferCount);
}

void cMidiStream::Play(int loop) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  PlayLocked(loop);
}

void cMidiStream::PlayLocked(int loop) {
  if (!HasImage()) return;
  m_nLoop = loop;
  if (m_nState == PLAYING) return;
  Check("Restart", Call([](plat::cMidiStreamOut& stream) { return stream.Restart(); }));
  const eState before = m_nState;
  m_nState = PLAYING;
  // From a stop the first buffer waits alone: the second goes in now, so
  // that two are in flight.
  if (before == STOPPED && m_nPosition < m_Image.size()) QueueNext();
}

void cMidiStream::Stop(int pause) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  StopLocked(pause, true);
}

void cMidiStream::StopLocked(int pause, bool silence) {
  if (!HasImage()) return;
  if (pause != 0) {
    if (m_nState == PLAYING) {
      Check("Pause", Call([](plat::cMidiStreamOut& stream) { return stream.Pause(); }));
      m_nState = PAUSED;
    }
    return;
  }
  Check("Stop", Call([silence](plat::cMidiStreamOut& stream) { return silence ? stream.Reset() : stream.Stop(); }));
  m_nState = STOPPED;
  m_nPosition = kImageHeaderBytes;
  QueueNext();
}

cMidiStream::eState cMidiStream::State() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_nState;
}

std::uint32_t cMidiStream::Position() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_nPosition;
}

void cMidiStream::CallbackThread() {
  plat::sMidiPositionNotice notice;
  while (m_Stream->WaitNotice(&notice)) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    // A notice from before the latest stop belongs to buffers that are gone.
    if (m_Stream->IsCurrent(notice)) OnPositionNotice(notice);
  }
}

// The whole event word is compared: a tempo event of 0x002FFF microseconds
// or a system-exclusive message of that length has the same low 24 bits as
// the end of track, but other flags.
void cMidiStream::OnPositionNotice(const plat::sMidiPositionNotice& notice) {
  if (notice.event == kEndOfTrackEvent) {
    StopLocked(0, false);
    if (m_nLoop != 0) PlayLocked(1);
  } else if (m_nPosition < m_Image.size()) {
    QueueNext();
  }
}

#include "sound/MidiFile.h"

#include <algorithm>

#include "core/Log.h"
#include "platform/FileBytes.h"

namespace {

// A MIDI file is a few hundred kilobytes at most.
constexpr std::uintmax_t kMaxMidiFileBytes = 64u << 20;
constexpr std::uint32_t kMaxVarLen = 0x0FFFFFFF;
constexpr std::size_t kFirstTrack = 14;
constexpr std::size_t kChunkHeaderBytes = 8;

const char* const kNotStandard4 = "標準MIDIでない(4)";
const char* const kNotStandard6 = "標準MIDIでない(6)";
const char* const kFormatTwo = "対応フォーマットが2でない";
const char* const kFormatAboveTwo = "対応フォーマットが0または1でない";
const char* const kNoTracks = "トラックがない";
const char* const kNoTimeDivision = "時間単位が0";
const char* const kBrokenTrack = "トラックのデータがファイルの終わりを越えている";
const char* const kTooLong = "イベントの間隔が長すぎる";

// The data of the end-of-track event appended to the merged track.
const std::uint8_t kEndOfTrackData[] = {0x2F, 0x00};

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

bool IsChunk(std::span<const std::uint8_t> bytes, std::size_t at, const char (&id)[5]) {
  return at <= bytes.size() && bytes.size() - at >= 4 && std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Whether a chunk header (an id of four printable characters and a length)
// stands at `at`.
bool IsChunkHeader(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at > bytes.size() || bytes.size() - at < kChunkHeaderBytes) return false;
  return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + 4),
                     [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// One stored event: its absolute time, its status and the bytes after the
// status as they stood in the file.
struct sTrackEvent {
  std::uint64_t time = 0;
  std::uint8_t status = 0;
  std::span<const std::uint8_t> data;
};

struct sTrack {
  std::vector<sTrackEvent> events;
  std::uint64_t endTime = 0;
};

// Reads the events of one track from `at` up to its end-of-track event;
// `at` ends after that event. Null, or why the track is refused.
const char* ParseTrack(std::span<const std::uint8_t> bytes, std::size_t& at, sTrack& track) {
  std::uint64_t time = 0;
  std::uint8_t runningStatus = 0;
  for (;;) {
    std::uint32_t delta = 0;
    const int used = at < bytes.size() ? ReadVarLen(bytes.subspan(at), delta) : 0;
    if (used == 0) return kBrokenTrack;
    at += static_cast<std::size_t>(used);
    time += delta;
    if (at >= bytes.size()) return kBrokenTrack;
    // A byte with its top bit set is the status; otherwise the status before
    // goes on, whatever it was (system-exclusive and meta events included).
    if ((bytes[at] & 0x80) != 0) runningStatus = bytes[at++];
    const std::uint8_t status = runningStatus;
    std::size_t length = 0;
    if (!MidiEventDataLength(bytes, at, status, length) || length > bytes.size() - at) return kBrokenTrack;
    const std::span<const std::uint8_t> data = bytes.subspan(at, length);
    at += length;
    if (status == 0xFF && data[0] == 0x2F) {
      track.endTime = time;
      return nullptr;
    }
    // Data with no status before it at all says nothing a synthesiser could play.
    if (status != 0) track.events.push_back({time, status, data});
  }
}

// Every track, in file order; the end-of-track event at the latest end
// closes the last one.
const char* ParseTracks(std::span<const std::uint8_t> bytes, int trackCount, std::vector<sTrack>& tracks) {
  tracks.assign(static_cast<std::size_t>(trackCount), sTrack{});
  std::size_t at = kFirstTrack;
  std::uint64_t latestEnd = 0;
  for (sTrack& track : tracks) {
    while (!IsChunk(bytes, at, "MTrk")) {
      // A chunk of another kind between the tracks: skipped by its length.
      if (bytes.size() - std::min(at, bytes.size()) < kChunkHeaderBytes) return kBrokenTrack;
      const std::uint64_t next = at + kChunkHeaderBytes + static_cast<std::uint64_t>(BigEndian(bytes, at + 4, 4));
      if (next >= bytes.size()) return kBrokenTrack;
      at = static_cast<std::size_t>(next);
    }
    if (bytes.size() - at < kChunkHeaderBytes) return kBrokenTrack;
    const std::uint64_t chunkEnd = at + kChunkHeaderBytes + static_cast<std::uint64_t>(BigEndian(bytes, at + 4, 4));
    at += kChunkHeaderBytes;
    if (const char* refusal = ParseTrack(bytes, at, track)) return refusal;
    // Bytes a writer left after the end of track belong to the chunk: the
    // next chunk starts where this one's length says, when a chunk header or
    // the file's end is there. Otherwise the length is wrong (some writers
    // count too much or too little), and the next chunk is looked for right
    // after the end of track; so it is too when the next track's header
    // stands right there, as a length too long may end on event bytes that
    // look like a header.
    if (chunkEnd > at && !IsChunk(bytes, at, "MTrk") &&
        (chunkEnd == bytes.size() || IsChunkHeader(bytes, static_cast<std::size_t>(chunkEnd))))
      at = static_cast<std::size_t>(chunkEnd);
    latestEnd = std::max(latestEnd, track.endTime);
  }
  tracks.back().events.push_back({latestEnd, 0xFF, kEndOfTrackData});
  return nullptr;
}

// All events in playing order: by time, and at equal times the lower track
// first. Each track is in time order already, so a stable sort of the tracks
// one after the other gives exactly that.
std::vector<sTrackEvent> MergeTracks(const std::vector<sTrack>& tracks) {
  std::size_t count = 0;
  for (const sTrack& track : tracks) count += track.events.size();
  std::vector<sTrackEvent> merged;
  merged.reserve(count);
  for (const sTrack& track : tracks) merged.insert(merged.end(), track.events.begin(), track.events.end());
  std::stable_sort(merged.begin(), merged.end(),
                   [](const sTrackEvent& a, const sTrackEvent& b) { return a.time < b.time; });
  return merged;
}

const char* BuildFormat0(std::uint16_t division, const std::vector<sTrackEvent>& events, std::vector<std::uint8_t>& image) {
  image = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, static_cast<std::uint8_t>(division >> 8),
           static_cast<std::uint8_t>(division), 'M', 'T', 'r', 'k', 0, 0, 0, 0};
  std::uint64_t previous = 0;
  for (const sTrackEvent& event : events) {
    const std::uint64_t delta = event.time - previous;
    if (delta > kMaxVarLen) return kTooLong;
    std::uint8_t quantity[4];
    const int used = cMidiFile::WriteVarLen(quantity, static_cast<std::uint32_t>(delta));
    image.insert(image.end(), quantity, quantity + used);
    image.push_back(event.status);
    image.insert(image.end(), event.data.begin(), event.data.end());
    previous = event.time;
  }
  const std::size_t length = image.size() - cMidiFile::kImageHeaderBytes;
  if (length > 0xFFFFFFFFu) return kTooLong;
  for (int i = 0; i < 4; ++i) image[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  return nullptr;
}

}  // namespace

int ReadVarLen(std::span<const std::uint8_t> bytes, std::uint32_t& value) {
  value = 0;
  for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
    value = value << 7 | (bytes[i] & 0x7Fu);
    if ((bytes[i] & 0x80) == 0) return static_cast<int>(i) + 1;
  }
  return 0;
}

bool MidiEventDataLength(std::span<const std::uint8_t> bytes, std::size_t at, std::uint8_t status, std::size_t& length) {
  length = 0;
  if (status >= 0xC0 && status <= 0xDF) {
    length = 1;
    return true;
  }
  if (status != 0xF0 && status != 0xF7 && status != 0xFF) {
    length = 2;
    return true;
  }
  const std::size_t lengthAt = status == 0xFF ? at + 1 : at;  // a meta event has its type first
  std::uint32_t value = 0;
  const int used = lengthAt < bytes.size() ? ReadVarLen(bytes.subspan(lengthAt), value) : 0;
  if (used == 0) return false;
  length = lengthAt - at + static_cast<std::size_t>(used) + value;
  return true;
}

int cMidiFile::WriteVarLen(std::uint8_t* out, std::uint32_t value) {
  if (value > kMaxVarLen) return 0;
  int count = 1;
  while (count < 4 && value >> (7 * count) != 0) ++count;
  for (int i = 0; i < count; ++i) {
    const auto group = static_cast<std::uint8_t>(value >> (7 * (count - 1 - i)) & 0x7F);
    out[i] = static_cast<std::uint8_t>(i < count - 1 ? group | 0x80 : group);
  }
  return count;
}

void cMidiFile::Load(std::string_view fileName) {
  m_strName.assign(fileName);
  m_Image.clear();
  std::vector<std::uint8_t> bytes;
  if (plat::ReadFileBytes(fileName, kMaxMidiFileBytes, bytes) != plat::eReadFile::Read) {
    ReportPrintfLog("Midi %s Create ファイルが開けません", m_strName.c_str());
    return;
  }
  Check(bytes);
}

void cMidiFile::LoadBytes(std::span<const std::uint8_t> bytes, std::string_view fileName) {
  m_strName.assign(fileName);
  m_Image.clear();
  Check(bytes);
}

void cMidiFile::Refuse(const char* reason) {
  m_Image.clear();
  ReportPrintfLog("Midi %s Init %s", m_strName.c_str(), reason);
}

bool cMidiFile::Check(std::span<const std::uint8_t> bytes) {
  if (!IsChunk(bytes, 0, "MThd")) {
    Refuse(kNotStandard4);
    return false;
  }
  if (bytes.size() < kFirstTrack || BigEndian(bytes, 4, 4) != 6) {
    Refuse(kNotStandard6);
    return false;
  }
  const std::uint32_t format = BigEndian(bytes, 8, 2);
  if (format >= 2) {
    Refuse(format == 2 ? kFormatTwo : kFormatAboveTwo);
    return false;
  }
  if (!IsChunk(bytes, kFirstTrack, "MTrk")) {
    Refuse(kNotStandard4);
    return false;
  }
  if (BigEndian(bytes, 10, 2) == 0) {
    Refuse(kNoTracks);
    return false;
  }
  if (BigEndian(bytes, 12, 2) == 0) {
    Refuse(kNoTimeDivision);
    return false;
  }
  return Convert(bytes);
}

bool cMidiFile::Convert(std::span<const std::uint8_t> bytes) {
  std::vector<sTrack> tracks;
  if (const char* refusal = ParseTracks(bytes, static_cast<int>(BigEndian(bytes, 10, 2)), tracks)) {
    Refuse(refusal);
    return false;
  }
  const std::vector<sTrackEvent> merged = MergeTracks(tracks);
  std::vector<std::uint8_t> image;
  if (const char* refusal = BuildFormat0(static_cast<std::uint16_t>(BigEndian(bytes, 12, 2)), merged, image)) {
    Refuse(refusal);
    return false;
  }
  m_Image = std::move(image);
  return true;
}

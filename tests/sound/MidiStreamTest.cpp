// The MIDI stream player: its buffers checked word by word, and songs played
// on the offline device into a recording synthesiser: event times, loops,
// pauses, full stops, and the end-of-track test on the whole event word.

#include "sound/MidiStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SoundTestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using plat::sMidiRecordedEvent;
using eKind = plat::sMidiRecordedEvent::eKind;

Bytes OneTrackImage(std::uint16_t division, const Bytes& events) {
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, static_cast<std::uint8_t>(division >> 8),
               static_cast<std::uint8_t>(division), 'M', 'T', 'r', 'k'};
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(events.size() >> (8 * i)));
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

std::vector<std::uint32_t> Words(const Bytes& buffer, std::uint32_t bytes) {
  std::vector<std::uint32_t> words;
  for (std::uint32_t i = 0; i + 4 <= bytes; i += 4) {
    words.push_back(static_cast<std::uint32_t>(buffer[i]) | static_cast<std::uint32_t>(buffer[i + 1]) << 8 |
                    static_cast<std::uint32_t>(buffer[i + 2]) << 16 | static_cast<std::uint32_t>(buffer[i + 3]) << 24);
  }
  return words;
}

constexpr std::uint32_t kCallback = plat::MEVT_F_CALLBACK;

// A system exclusive of 32 data bytes at delta 4 (48 bytes in a buffer), then
// the end of track at delta 2.
Bytes BigSysExThenEnd() {
  Bytes events = {0x04, 0xF0, 0x20};
  for (int i = 0; i < 31; ++i) events.push_back(static_cast<std::uint8_t>(i));
  events.push_back(0xF7);
  events.insert(events.end(), {0x02, 0xFF, 0x2F, 0x00});
  return events;
}

class MidiStreamTest : public soundtest::cSoundFixture {
 protected:
  // The recorded events from `first` on, without the silences and channel
  // resets of stops.
  std::vector<sMidiRecordedEvent> Notes(std::size_t first = 0) const {
    std::vector<sMidiRecordedEvent> notes;
    const std::vector<sMidiRecordedEvent> events = m_Record->Events();
    for (std::size_t i = first; i < events.size(); ++i) {
      if (events[i].kind != eKind::Silence && events[i].kind != eKind::ResetChannels) notes.push_back(events[i]);
    }
    return notes;
  }

  // The kinds of the stops recorded, in order.
  std::vector<eKind> Stops() const {
    std::vector<eKind> stops;
    for (const sMidiRecordedEvent& event : m_Record->Events()) {
      if (event.kind == eKind::Silence || event.kind == eKind::ResetChannels) stops.push_back(event.kind);
    }
    return stops;
  }
};

TEST_F(MidiStreamTest, BuffersHoldTheStreamWordsOfTheImageEvents) {
  struct sCase {
    const char* label;
    Bytes events;
    std::uint32_t capacity;
    std::vector<std::uint32_t> words;  // delta, 0, event word (and the data of a long event), per event
    std::uint32_t used;                // image bytes taken
  };
  const sCase cases[] = {
      {"every kind of event",
       {0x00, 0xC0, 0x05,                                // program change
        0x10, 0x90, 0x3C, 0x64,                          // note on
        0x20, 0xFF, 0x01, 0x02, 'h', 'i',                // text: passed over, its delta goes on
        0x05, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // tempo
        0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,  // system exclusive
        0x30, 0xFF, 0x2F, 0x00},                         // end of track
       1000,
       {0, 0, 0x000005C0, 0x10, 0, 0x00643C90, 0x25, 0, 0x0107A120, 0, 0, 0x80000006, 0x097F7EF0, 0x0000F701, 0x30, 0,
        0x40002FFF},
       32},
      {"a full buffer: its last event calls back, the rest waits",
       {0x00, 0x90, 0x30, 0x40, 0x01, 0x90, 0x31, 0x40, 0x02, 0x90, 0x32, 0x40, 0x03, 0x90, 0x33, 0x40, 0x00, 0xFF,
        0x2F, 0x00},
       36,
       {0, 0, 0x00403090, 1, 0, 0x00403190, 2, 0, kCallback | 0x00403290},
       12},
      {"an end of track that does not fit: the event before calls back",
       {0x00, 0x90, 0x30, 0x40, 0x01, 0x90, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00},
       24,
       {0, 0, 0x00403090, 1, 0, kCallback | 0x00403190},
       8},
      {"events passed over before a full end are read again with the next buffer",
       {0x00, 0x90, 0x30, 0x40, 0x00, 0x90, 0x31, 0x40, 0x07, 0xFF, 0x06, 0x01, 'm', 0x01, 0x90, 0x32, 0x40},
       24,
       {0, 0, 0x00403090, 0, 0, kCallback | 0x00403190},
       8},
      {"a system exclusive too large for any buffer is passed over", BigSysExThenEnd(), 36, {6, 0, 0x40002FFF}, 39},
  };
  for (const sCase& test : cases) {
    const Bytes image = OneTrackImage(96, test.events);
    Bytes buffer(test.capacity, 0xCC);
    plat::sMidiHeader header;
    header.lpData = buffer.data();
    header.dwBufferLength = test.capacity;
    header.dwFlags = plat::MHDR_PREPARED | plat::MHDR_DONE;
    header.dwOffset = 99;
    const std::uint32_t used = cMidiStream::FillBuffer(image, cMidiFile::kImageHeaderBytes, header, "test.mid");
    EXPECT_EQ(used, test.used) << test.label;
    EXPECT_EQ(Words(buffer, header.dwBytesRecorded), test.words) << test.label;
    EXPECT_EQ(Words(buffer, test.capacity).size() * 4 - header.dwBytesRecorded,
              static_cast<std::size_t>(std::count(buffer.begin() + header.dwBytesRecorded, buffer.end(), 0)))
        << test.label << ": the rest of the buffer is cleared";
    EXPECT_EQ(header.dwFlags.load(), 0u) << test.label;
    EXPECT_EQ(header.dwOffset, 0u) << test.label;
  }
  EXPECT_NE(Report().find("Midi test.mid Out "), std::string::npos) << "the large message is reported";

  // The next buffer after the passed-over text gets the text's delta.
  const Bytes image = OneTrackImage(96, cases[3].events);
  Bytes buffer(24);
  plat::sMidiHeader header;
  header.lpData = buffer.data();
  header.dwBufferLength = 24;
  cMidiStream::FillBuffer(image, cMidiFile::kImageHeaderBytes + 8, header, "test.mid");
  EXPECT_EQ(Words(buffer, header.dwBytesRecorded), (std::vector<std::uint32_t>{8, 0, 0x00403290}));
}

// 96 ticks a quarter note: at 500000 microseconds a quarter 96 ticks are
// 22050 frames, at 250000 they are 11025. The marker is passed over without
// moving the note after it.
const Bytes kSong = OneTrackImage(96, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                               0x00, 0xC0, 0x05,                          // program change
                               0x00, 0x90, 0x3C, 0x64,                    // note on
                               0x30, 0xFF, 0x06, 0x01, 'm',               // marker
                               0x30, 0x90, 0x3C, 0x00,                    // note off at tick 96
                               0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // tempo 250000
                               0x60, 0x90, 0x3E, 0x64,                    // tick 192
                               0x60, 0x90, 0x3E, 0x00,                    // tick 288
                               0x00, 0xFF, 0x2F, 0x00});

const std::vector<sMidiRecordedEvent> kSongEvents = {
    {0, eKind::Short, {0xC0, 0x05}},
    {0, eKind::Short, {0x90, 0x3C, 0x64}},
    {22050, eKind::Short, {0x90, 0x3C, 0x00}},
    {33075, eKind::Short, {0x90, 0x3E, 0x64}},
    {44100, eKind::Short, {0x90, 0x3E, 0x00}},
};

// The events from `first`, their frames counted from the first of them.
std::vector<sMidiRecordedEvent> Pass(const std::vector<sMidiRecordedEvent>& events, std::size_t first) {
  std::vector<sMidiRecordedEvent> pass(events.begin() + static_cast<std::ptrdiff_t>(first),
                                       events.begin() + static_cast<std::ptrdiff_t>(first + kSongEvents.size()));
  const std::uint64_t start = pass.front().frame;
  for (sMidiRecordedEvent& event : pass) event.frame -= start;
  return pass;
}

TEST_F(MidiStreamTest, ASongPlaysAtItsTimesAndALoopPlaysItAgainWithTheSameEvents) {
  WriteFile("bgm/Song.mid", kSong);
  cMidiStream stream("bgm\\Song.mid");
  ASSERT_TRUE(stream.HasImage());
  stream.Play(1);
  m_Device->Render(100000);
  const std::vector<sMidiRecordedEvent> notes = Notes();
  ASSERT_GE(notes.size(), 2 * kSongEvents.size() + 1);
  EXPECT_EQ(Pass(notes, 0), kSongEvents);
  EXPECT_EQ(notes.front().frame, 0u);
  EXPECT_EQ(Pass(notes, kSongEvents.size()), kSongEvents) << "the second pass";
  EXPECT_GT(notes[kSongEvents.size()].frame, 44100u) << "it starts after the first has ended";
  EXPECT_EQ(notes[2 * kSongEvents.size()].bytes, kSongEvents[0].bytes) << "and a third follows";
  EXPECT_EQ(stream.State(), cMidiStream::PLAYING);
  // Each restart lets the last notes fade and keeps the instruments; nothing
  // silences the channels at once.
  EXPECT_EQ(Stops(), std::vector<eKind>(2, eKind::ResetChannels));
}

// A song that sets its tempo only after its first beat plays that beat at
// the default tempo on every pass: a stop, and the end of a looping song,
// leave no tempo of the pass before.
TEST_F(MidiStreamTest, EveryPassStartsAtTheDefaultTempo) {
  const Bytes lateTempo = OneTrackImage(96, {0x00, 0x90, 0x3C, 0x64,                    // note on
                                     0x60, 0x90, 0x3C, 0x00,                    // tick 96
                                     0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // tempo 250000
                                     0x60, 0x90, 0x3E, 0x64,                    // tick 192
                                     0x00, 0xFF, 0x2F, 0x00});
  const std::vector<std::uint64_t> pass = {0, 22050, 33075};
  WriteFile("bgm/Late.mid", lateTempo);
  cMidiStream stream("bgm\\Late.mid");
  auto framesFrom = [this](std::size_t first) {
    std::vector<std::uint64_t> frames;
    const std::vector<sMidiRecordedEvent> notes = Notes(first);
    for (const sMidiRecordedEvent& event : notes) frames.push_back(event.frame - notes.front().frame);
    return frames;
  };

  stream.Play(1);
  m_Device->Render(33075 + 1024 + 33075 + 100);
  ASSERT_EQ(Notes().size(), 6u);
  EXPECT_EQ(framesFrom(3), pass) << "the second pass";

  stream.Stop(0);
  m_Record->Clear();
  stream.Play(0);
  m_Device->Render(40000);
  EXPECT_EQ(framesFrom(0), pass) << "after a full stop";
}

TEST_F(MidiStreamTest, WithoutALoopTheSongStopsRewoundAndPlaysFromItsStartAgain) {
  WriteFile("bgm/Song.mid", kSong);
  cMidiStream stream("bgm\\Song.mid");
  stream.Play(0);
  m_Device->Render(60000);
  EXPECT_EQ(Notes(), kSongEvents);
  EXPECT_EQ(Stops(), std::vector<eKind>{eKind::ResetChannels})
      << "the end stops the song fully, its last notes fading, its instruments kept";
  EXPECT_EQ(stream.State(), cMidiStream::STOPPED);
  EXPECT_EQ(stream.Position(), kSong.size()) << "rewound, and the first buffer (the whole song) is ready again";
  m_Device->Render(60000);
  EXPECT_EQ(Notes().size(), kSongEvents.size());

  m_Record->Clear();
  stream.Play(0);
  m_Device->Render(50000);
  EXPECT_EQ(Pass(Notes(), 0), kSongEvents);
}

TEST_F(MidiStreamTest, APauseHoldsTheSongAndAFullStopRewindsIt) {
  WriteFile("bgm/Song.mid", kSong);
  cMidiStream stream("bgm\\Song.mid");
  stream.Play(0);
  m_Device->Render(30000);
  stream.Stop(1);
  EXPECT_EQ(stream.State(), cMidiStream::PAUSED);
  m_Device->Render(50000);
  EXPECT_EQ(Notes().size(), 3u) << "nothing plays while paused";
  stream.Stop(1);
  EXPECT_EQ(stream.State(), cMidiStream::PAUSED);
  stream.Play(0);
  m_Device->Render(4000);
  ASSERT_EQ(Notes().size(), 4u);
  EXPECT_EQ(Notes()[3].frame, 30000u + 50000u + (33075u - 30000u)) << "it goes on where it was held";

  stream.Stop(0);
  EXPECT_EQ(stream.State(), cMidiStream::STOPPED);
  EXPECT_EQ(m_Record->Events().back().kind, eKind::Silence);
  m_Record->Clear();
  m_Device->Render(50000);
  EXPECT_TRUE(Notes().empty());
  stream.Play(0);
  m_Device->Render(10);
  ASSERT_EQ(Notes().size(), 2u);
  EXPECT_EQ(Notes()[0].bytes, kSongEvents[0].bytes) << "from the start";
}

// The last event of a full buffer carries the callback flag. A tempo of
// 0x002FFF microseconds or a system exclusive of 0x2FFF bytes (with its
// status) there has the low 24 bits of the end of track: only the whole word
// may end the song, or it would stop at the end of that buffer, and the
// third buffer, with the song's last note, would never play.
TEST_F(MidiStreamTest, OnlyTheWholeEndOfTrackWordEndsTheSong) {
  auto notes = [](int count) {
    Bytes events;
    for (int i = 0; i < count; ++i) {
      events.insert(events.end(), {0x00, 0x90, 0x3C, static_cast<std::uint8_t>(i % 2 != 0 ? 0 : 0x40)});
    }
    return events;
  };
  // Each first buffer is full (24000 bytes) with the event of the edge last.
  Bytes tempoAtTheEdge = notes(1999);
  tempoAtTheEdge.insert(tempoAtTheEdge.end(), {0x00, 0xFF, 0x51, 0x03, 0x00, 0x2F, 0xFF});
  Bytes sysExAtTheEdge = notes(975);
  sysExAtTheEdge.insert(sysExAtTheEdge.end(), {0x00, 0xF0, 0xDF, 0x7E});  // 0x2FFE bytes of data
  sysExAtTheEdge.insert(sysExAtTheEdge.end(), 0x2FFD, 0x10);
  sysExAtTheEdge.push_back(0xF7);
  const Bytes lastNote = {0x90, 0x40, 0x7F};
  const struct {
    const char* label;
    Bytes events;
  } cases[] = {{"tempo", tempoAtTheEdge}, {"system exclusive", sysExAtTheEdge}};
  for (const auto& test : cases) {
    Bytes events = test.events;
    const Bytes secondBuffer = notes(2000);
    events.insert(events.end(), secondBuffer.begin(), secondBuffer.end());
    events.insert(events.end(), {0x00, 0x90, 0x40, 0x7F, 0x00, 0xFF, 0x2F, 0x00});
    WriteFile("bgm/Edge.mid", OneTrackImage(96, events));
    m_Record->Clear();
    cMidiStream stream("bgm\\Edge.mid");
    stream.Play(0);
    m_Device->Render(4096);
    const std::vector<sMidiRecordedEvent> played = Notes();
    EXPECT_EQ(std::count_if(played.begin(), played.end(), [&](const sMidiRecordedEvent& e) { return e.bytes == lastNote; }),
              1)
        << test.label;
    EXPECT_EQ(stream.State(), cMidiStream::STOPPED) << test.label;
  }
}

TEST_F(MidiStreamTest, AFileWithoutAnImageDoesNothing) {
  cMidiStream stream("bgm\\Missing.mid");
  EXPECT_FALSE(stream.HasImage());
  stream.Play(1);
  stream.Stop(0);
  EXPECT_EQ(stream.State(), cMidiStream::STOPPED);
  m_Device->Render(1000);
  EXPECT_TRUE(m_Record->Events().empty());
}

// Destroying a player that is playing and looping ends its callback thread
// first; nothing is handled afterwards.
TEST_F(MidiStreamTest, APlayerCanBeDestroyedWhileItPlays) {
  WriteFile("bgm/Song.mid", kSong);
  for (int i = 0; i < 20; ++i) {
    auto stream = std::make_unique<cMidiStream>("bgm\\Song.mid");
    stream->Play(1);
    m_Device->Render(44100 + 512 * i);
    stream.reset();
  }
  m_Record->Clear();
  m_Device->Render(100000);
  EXPECT_TRUE(m_Record->Events().empty());
}

}  // namespace

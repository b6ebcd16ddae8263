// Converting standard MIDI files into one format-0 image: merging the tracks
// in playing order, running status, the end of the song, the files refused
// and the variable-length numbers. Every file is built here byte by byte.

#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundTestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes BigEndian(std::uint32_t value, int bytes) {
  Bytes out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}

Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division, std::uint32_t length = 6) {
  return Cat({{'M', 'T', 'h', 'd'}, BigEndian(length, 4), BigEndian(format, 2), BigEndian(tracks, 2),
              BigEndian(division, 2)});
}

Bytes Track(const Bytes& events) { return Cat({{'M', 'T', 'r', 'k'}, BigEndian(static_cast<std::uint32_t>(events.size()), 4), events}); }

// A track chunk whose header declares `length` bytes, whatever it holds.
Bytes TrackDeclaring(std::uint32_t length, const Bytes& events) {
  return Cat({{'M', 'T', 'r', 'k'}, BigEndian(length, 4), events});
}

Bytes Image(std::uint16_t division, const Bytes& events) {
  return Cat({Header(0, 1, division), Track(events)});
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes Converted(const Bytes& file) {
  cMidiFile midi;
  midi.LoadBytes(file, "test.mid");
  return midi.Image();
}

class MidiFileTest : public soundtest::cSoundFixture {};

TEST_F(MidiFileTest, TracksMergeIntoOneImageInPlayingOrder) {
  const Bytes file = Cat({Header(1, 2, 96),
                          Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo
                                 0x60, 0x90, 0x3C, 0x64,                    // at 96: note on
                                 0x00, 0x3E, 0x64,                          // running status
                                 0x00, 0xFF, 0x2F, 0x00}),                  // ends at 96
                          Track({0x00, 0xC1, 0x05,                          // at 0, after the tempo
                                 0x60, 0x91, 0x40, 0x50,                    // at 96, after track 0's notes
                                 0x30, 0x40, 0x00,                          // at 144, running status
                                 0x00, 0xFF, 0x2F, 0x00})});                // ends at 144: the song's end
  const Bytes expected = Image(96, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                                    0x00, 0xC1, 0x05,
                                    0x60, 0x90, 0x3C, 0x64,
                                    0x00, 0x90, 0x3E, 0x64,
                                    0x00, 0x91, 0x40, 0x50,
                                    0x30, 0x91, 0x40, 0x00,
                                    0x00, 0xFF, 0x2F, 0x00});
  EXPECT_EQ(Converted(file), expected);
  EXPECT_EQ(Converted(expected), expected) << "an image converts to itself";
}

TEST_F(MidiFileTest, EventsAndTheEndAreReadAsTheirStatusSays) {
  struct sCase {
    const char* label;
    Bytes file;
    Bytes events;  // of the image
  };
  const sCase cases[] = {
      {"a song ends when its longest track ends, even when that is not the last",
       Cat({Header(1, 2, 96), Track({0x83, 0x74, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x0A, 0xFF, 0x2F, 0x00})}),
       {0x83, 0x74, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"running status does not cross into the next track",
       Cat({Header(1, 2, 96), Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x00, 0x31, 0x40, 0x00, 0xC0, 0x07, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x00, 0xC0, 0x07, 0x00, 0xFF, 0x2F, 0x00}},
      {"a meta or system-exclusive status runs on too",
       Cat({Header(0, 1, 96), Track({0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 0x03, 0x01, 'b', 0x00, 0xF0, 0x02, 0x43,
                                     0xF7, 0x05, 0x01, 0x10, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 0xFF, 0x03, 0x01, 'b', 0x00, 0xF0, 0x02, 0x43, 0xF7, 0x05, 0xF0, 0x01, 0x10,
        0x00, 0xFF, 0x2F, 0x00}},
      {"program change and channel pressure take one data byte",
       Cat({Header(0, 1, 96), Track({0x00, 0xC3, 0x01, 0x00, 0xD3, 0x7F, 0x00, 0xE3, 0x00, 0x40, 0x00, 0xFF, 0x2F,
                                     0x00})}),
       {0x00, 0xC3, 0x01, 0x00, 0xD3, 0x7F, 0x00, 0xE3, 0x00, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a chunk of another kind between the tracks is skipped",
       Cat({Header(1, 2, 96), Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            {'X', 'F', 'I', 'H', 0, 0, 0, 2, 0xAA, 0xBB}, Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"bytes after a track's end of track are skipped by the chunk's length",
       Cat({Header(1, 2, 96), Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00}),
            Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00, 'M', 'T', 'r', 'k'})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a track length ending before the end of track: the next track follows the end of track",
       Cat({Header(1, 2, 96), {'M', 'T', 'r', 'k', 0, 0, 0, 2, 0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00},
            Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a track length running past the file: the next track follows the end of track",
       Cat({Header(1, 2, 96), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00},
            Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"slack after a track's end of track, then a chunk of another kind before the next track",
       Cat({Header(1, 2, 96), Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x00}),
            {'X', 'F', 'I', 'H', 0, 0, 0, 1, 0xAA}, Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a track length a few bytes too long: the next track follows the end of track",
       Cat({Header(1, 2, 96), TrackDeclaring(12, {0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a track length ending inside the next track's events: the next track follows the end of track",
       Cat({Header(1, 3, 96), TrackDeclaring(19, {0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x06, 0x92, 0x32, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x01, 0x92, 0x32, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"the last track's length too long but within the file",
       Cat({Header(1, 2, 96), Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00}),
            TrackDeclaring(10, {0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x00, 0x00, 0x00})}),
       {0x00, 0x90, 0x30, 0x40, 0x05, 0x91, 0x31, 0x40, 0x00, 0xFF, 0x2F, 0x00}},
      {"a track length ending on next-track event bytes that look like a chunk header",
       Cat({Header(1, 2, 96), TrackDeclaring(20, {0x00, 0xC0, 0x05, 0x00, 0xFF, 0x2F, 0x00}),
            Track({0x00, 0x90, 0x3C, 0x40, 0x30, 0x3E, 0x40, 0x30, 0x40, 0x40, 0x30, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00})}),
       {0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40, 0x30, 0x90, 0x3E, 0x40, 0x30, 0x90, 0x40, 0x40, 0x30, 0x90, 0x3C,
        0x00, 0x00, 0xFF, 0x2F, 0x00}},
  };
  for (const sCase& test : cases) EXPECT_EQ(Converted(test.file), Image(96, test.events)) << test.label;
}

TEST_F(MidiFileTest, FilesThatAreNoPlayableMidiAreRefusedWithTheirReason) {
  const Bytes track = Track({0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  struct sCase {
    const char* label;
    Bytes file;
    const char* reason;
  };
  const sCase cases[] = {
      {"no MThd", Cat({{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}, track}), "標準MIDIでない(4)"},
      {"header length 7", Cat({Header(0, 1, 96, 7), track}), "標準MIDIでない(6)"},
      {"cut inside the header", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}, "標準MIDIでない(6)"},
      {"format 2", Cat({Header(2, 1, 96), track}), "対応フォーマットが2でない"},
      {"format 3", Cat({Header(3, 1, 96), track}), "対応フォーマットが0または1でない"},
      {"no MTrk after the header", Cat({Header(0, 1, 96), {'M', 'T', 'r', 'x', 0, 0, 0, 0}}), "標準MIDIでない(4)"},
      {"no tracks", Cat({Header(1, 0, 96), track}), "トラックがない"},
      {"no time division", Cat({Header(0, 1, 0), track}), "時間単位が0"},
      {"system exclusive longer than the file", Cat({Header(0, 1, 96), Track({0x00, 0xF0, 0x7F, 0x01})}),
       "トラックのデータがファイルの終わりを越えている"},
      {"meta event longer than the file", Cat({Header(0, 1, 96), Track({0x00, 0xFF, 0x01, 0x40, 'a'})}),
       "トラックのデータがファイルの終わりを越えている"},
      {"a delta time cut by the end", Cat({Header(0, 1, 96), Track({0x00, 0x90, 0x30, 0x40, 0x81})}),
       "トラックのデータがファイルの終わりを越えている"},
      {"a delta time of five bytes", Cat({Header(0, 1, 96), Track({0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00})}),
       "トラックのデータがファイルの終わりを越えている"},
      {"a track without its end", Cat({Header(0, 1, 96), Track({0x00, 0x90, 0x30, 0x40})}),
       "トラックのデータがファイルの終わりを越えている"},
      {"fewer tracks than the header says", Cat({Header(1, 2, 96), track}),
       "トラックのデータがファイルの終わりを越えている"},
      {"bytes after the end of track and a track length running past the file",
       Cat({Header(1, 2, 96), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00},
            track}),
       "トラックのデータがファイルの終わりを越えている"},
  };
  for (const sCase& test : cases) {
    std::filesystem::remove("Report_Game.txt");
    ReportInit("Report_Game.txt");
    cMidiFile midi;
    midi.LoadBytes(test.file, "test.mid");
    EXPECT_FALSE(midi.HasImage()) << test.label;
    EXPECT_NE(Report().find(std::string("Midi test.mid Init ") + test.reason), std::string::npos) << test.label;
  }
}

TEST_F(MidiFileTest, AFileIsReadFromItsProgramPath) {
  cMidiFile midi;
  midi.Load("bgm\\Missing.mid");
  EXPECT_FALSE(midi.HasImage());
  EXPECT_NE(Report().find("Midi bgm\\Missing.mid Create ファイルが開けません"), std::string::npos);

  const Bytes image = Image(480, {0x00, 0x90, 0x30, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  WriteFile("bgm/Song.mid", image);
  midi.Load("bgm\\Song.mid");
  EXPECT_EQ(midi.Image(), image);
  EXPECT_EQ(midi.FileName(), "bgm\\Song.mid");
}

TEST(MidiVarLenTest, NumbersOfOneToFourBytes) {
  const struct {
    std::uint32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},
      {0x7F, {0x7F}},
      {0x80, {0x81, 0x00}},
      {0x3FFF, {0xFF, 0x7F}},
      {0x4000, {0x81, 0x80, 0x00}},
      {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
      {0x200000, {0x81, 0x80, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const auto& test : cases) {
    std::uint8_t out[4] = {};
    const int written = cMidiFile::WriteVarLen(out, test.value);
    EXPECT_EQ(Bytes(out, out + written), test.bytes) << test.value;
    std::uint32_t read = 0;
    EXPECT_EQ(ReadVarLen(test.bytes, read), static_cast<int>(test.bytes.size())) << test.value;
    EXPECT_EQ(read, test.value);
  }
  std::uint8_t out[4] = {};
  EXPECT_EQ(cMidiFile::WriteVarLen(out, 0x10000000), 0) << "too large to write";
  std::uint32_t read = 0;
  EXPECT_EQ(ReadVarLen(Bytes{0x81, 0x00, 0x55}, read), 2);
  EXPECT_EQ(read, 128u);
  EXPECT_EQ(ReadVarLen(Bytes{0x81, 0x81, 0x81, 0x81, 0x01}, read), 0) << "all four bytes go on";
  EXPECT_EQ(ReadVarLen(Bytes{0x81, 0x81}, read), 0) << "cut by the end";
  EXPECT_EQ(ReadVarLen(Bytes{}, read), 0);
}

}  // namespace

#pragma once
// cMidiFile: a standard MIDI file of format 0 or 1, read and converted into
// one track in memory: a format-0 image the MIDI stream plays from.
//
// Source file (big-endian):
//   "MThd", header length u32 = 6, format u16 (0 or 1), track count u16,
//   time division u16 (ticks per quarter note, or SMPTE with the top bit set)
//   then the tracks, each "MTrk", length u32, events: delta time (a variable-
//   length quantity), then the event, its status byte left out while it
//   repeats (running status).
// The tracks are read one after the other, each up to its end-of-track event
// (FF 2F 00); the next chunk starts at the end the track chunk's length gives
// when a chunk header or the file's end stands there and no track header
// follows the end-of-track event at once, otherwise (the length is wrong)
// right after the end-of-track event. A chunk of another kind
// standing between two tracks is skipped by its length.
//
// Image (a standard MIDI file as well):
//   bytes 0-13   "MThd", 6, format 0, one track, the source's time division
//   bytes 14-21  "MTrk", the track length (image size - 22)
//   bytes 22-    every event of every track in playing order: the delta from
//                the event before, then the event with its status byte
//                always written. Events of equal time keep the order of their
//                tracks. One end-of-track event closes the image, at the time
//                the latest track ended.
//
// A file that cannot be read or is refused leaves no image, and the reason is
// written to the report and the debug log ("Midi <file> Init ..."). Every
// length in the file is checked against the bytes there are: a track, an
// event or a number running past the end refuses the file.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads a variable-length quantity: up to 4 bytes of 7 bits, most significant
// first, every byte but the last with its top bit set. Returns the bytes
// used; 0 when all 4 bytes carry the top bit or the bytes end before the
// number does (`value` is then not to be used).
int ReadVarLen(std::span<const std::uint8_t> bytes, std::uint32_t& value);

// The bytes after the status byte that an event with this status takes,
// read from `bytes` at `at`: 1 for C0-DF; for F0 and F7 the length
// quantity's bytes and its value; for FF the type byte, the length
// quantity's bytes and its value; 2 for every other status. False when the
// length quantity runs past the end (the length itself is not checked).
bool MidiEventDataLength(std::span<const std::uint8_t> bytes, std::size_t at, std::uint8_t status, std::size_t& length);

class cMidiFile {
 public:
  // The image's fixed part; its first event starts here.
  static constexpr std::uint32_t kImageHeaderBytes = 22;

  cMidiFile() = default;
  virtual ~cMidiFile() = default;
  cMidiFile(const cMidiFile&) = delete;
  cMidiFile& operator=(const cMidiFile&) = delete;

  // Reads and converts the file at the program path.
  void Load(std::string_view fileName);
  // The same from the file's bytes; `fileName` names it in the texts.
  void LoadBytes(std::span<const std::uint8_t> bytes, std::string_view fileName);

  bool HasImage() const { return !m_Image.empty(); }
  const std::vector<std::uint8_t>& Image() const { return m_Image; }
  const std::string& FileName() const { return m_strName; }

  // Writes `value` as a variable-length quantity: 1 byte below 0x80, 2 below
  // 0x4000, 3 below 0x200000, 4 up to 0x0FFFFFFF, nothing above. Returns the
  // bytes written (`out` has room for 4).
  static int WriteVarLen(std::uint8_t* out, std::uint32_t value);

 protected:
  std::vector<std::uint8_t> m_Image;  // empty: no image
  std::string m_strName;

 private:
  bool Check(std::span<const std::uint8_t> bytes);
  bool Convert(std::span<const std::uint8_t> bytes);
  void Refuse(const char* reason);
};

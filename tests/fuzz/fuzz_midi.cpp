// Music (bgm\*.mid and the music database's MIDI files): the standard MIDI
// file converter, then the stream buffers filled from its image.

#include "fuzz/FuzzSupport.h"
#include "platform/MidiStreamOut.h"
#include "sound/MidiStream.h"

// Whatever the input, converting ends without a crash or a sanitizer report.
// An image converts to itself, and filling stream buffers from it always
// moves on until its end, never writing past a buffer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cMidiFile file;
  file.LoadBytes(std::span<const std::uint8_t>(data, size), "fuzz.mid");
  if (!file.HasImage()) return 0;
  const std::vector<std::uint8_t>& image = file.Image();
  cMidiFile again;
  again.LoadBytes(image, "image");
  if (again.Image() != image) __builtin_trap();

  for (std::uint32_t capacity : {64u, cMidiStream::kBufferSize}) {
    std::vector<std::uint8_t> buffer(capacity);
    plat::sMidiHeader header;
    header.lpData = buffer.data();
    header.dwBufferLength = capacity;
    for (std::uint32_t position = cMidiFile::kImageHeaderBytes; position < image.size();) {
      const std::uint32_t used = cMidiStream::FillBuffer(image, position, header, "fuzz.mid");
      if (used == 0 || header.dwBytesRecorded > capacity) __builtin_trap();
      position += used;
    }
  }
  return 0;
}

namespace {

void BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> Smf(int format, std::uint16_t division, const std::vector<std::vector<std::uint8_t>>& tracks) {
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  BigEndian(out, static_cast<std::uint32_t>(format), 2);
  BigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
  BigEndian(out, division, 2);
  for (const std::vector<std::uint8_t>& track : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    BigEndian(out, static_cast<std::uint32_t>(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
  }
  return out;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  const std::vector<std::uint8_t> conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x00, 0xFF, 0x06,
                                               0x01, 'm',  0x00, 0xFF, 0x51, 0x03, 0x05, 0x00, 0x00, 0x00, 0xFF,
                                               0x2F, 0x00};
  const std::vector<std::uint8_t> notes = {0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x3C, 0x00,
                                           0x00, 0x3E, 0x64, 0x60, 0x3E, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  const std::vector<std::uint8_t> sysEx = {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x10, 0xB0,
                                           0x07, 0x64, 0x00, 0xE0, 0x00, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  return {Smf(0, 96, {notes}), Smf(1, 480, {conductor, notes, sysEx}), Smf(1, 0xE728, {sysEx})};
}

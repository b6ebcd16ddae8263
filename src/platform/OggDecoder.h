#pragma once
// Decoding an Ogg Vorbis file held in memory (libvorbisfile).
//
// The decoder takes files of one logical stream with one or two channels at
// 1000 to 200000 frames a second; everything else is refused with a reason.
// It hands out stereo frames on the scale of 16-bit samples (a mono stream
// sounds on both channels) at the file's own rate.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class cOggDecoder {
 public:
  cOggDecoder();
  ~cOggDecoder();
  cOggDecoder(const cOggDecoder&) = delete;
  cOggDecoder& operator=(const cOggDecoder&) = delete;

  // Takes the whole file. False (reason in *error) when it cannot be played;
  // the decoder is closed then.
  bool Open(std::vector<std::uint8_t> bytes, std::string* error = nullptr);
  void Close();
  bool IsOpen() const;

  int SampleRate() const;
  int Channels() const;

  // Decodes up to `maxFrames` frames into `stereo` (2 floats a frame).
  // Returns the frames written; 0 at the end of the stream; -1 when the rest
  // of the stream is damaged.
  int Read(float* stereo, int maxFrames);

  // Back to the first frame; false when the stream cannot seek there.
  bool Rewind();

 private:
  struct sImpl;
  std::unique_ptr<sImpl> m_Impl;
};

}  // namespace plat

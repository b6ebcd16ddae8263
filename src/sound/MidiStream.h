#pragma once
// cMidiStream: plays a MIDI file's format-0 image (cMidiFile) on a MIDI
// output stream (platform/MidiStreamOut.h), feeding it through two buffers of
// 24000 bytes that are refilled in turn, and loops the song when asked.
//
// Buffer words, per event of the image (12 bytes each: delta, stream id 0,
// event word):
//   channel message C0-DF           data1 << 8 | status
//   other channel message           data2 << 16 | data1 << 8 | status
//   tempo FF 51                     0x01000000 | the three tempo bytes
//   system exclusive F0, F7         0x80000000 | (data length + 1), then the
//                                   status and the data, zero-padded to 4
//   end of track FF 2F 00           0x40000000 | 0x002FFF
//   any other meta event            nothing; its delta time goes to the next
//                                   event written, so the song keeps its length
// The last event of a full buffer carries 0x40000000 (a position notice), and
// so does the end of track: at those the callback thread refills the buffer
// just played, or, at the end, stops the song and starts it again when it
// loops.
//
// Threads: the owner (the main thread) plays, stops and destroys the player;
// the player's callback thread handles the stream's notices. Both do their
// work under the player's lock. Destroying the player closes the stream,
// ends the callback thread and joins it before anything is freed, and no
// notice is handled after that.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/MidiStreamOut.h"
#include "sound/MidiFile.h"

class cMidiStream : public cMidiFile {
 public:
  static constexpr int kBufferCount = 2;
  static constexpr std::uint32_t kBufferSize = 24000;
  // The event word of the end of track, with its position-notice flag.
  static constexpr std::uint32_t kEndOfTrackEvent = plat::MEVT_F_CALLBACK | 0x002FFF;

  enum eState : std::int32_t { STOPPED = 0, PLAYING = 1, PAUSED = 2 };

  // Loads the file (cMidiFile::Load), then opens the stream when there is an
  // image: the first buffer waits in the paused stream.
  explicit cMidiStream(std::string_view fileName);
  ~cMidiStream() override;

  // Starts, or goes on after a pause; `loop` plays the song again at its end.
  void Play(int loop);
  // A pause (non-zero) holds the song where it is; a full stop (0) rewinds
  // it, makes its first buffer ready again and silences every channel at
  // once. The song's own end rewinds it too, but lets its last notes fade
  // and keeps the instruments for the next pass (platform/MidiStreamOut.h).
  void Stop(int pause);

  eState State() const;
  std::uint32_t Position() const;

  // Converts image events from `position` into the header's buffer as the
  // table above says, while each fits whole; returns the image bytes used.
  // A system-exclusive event larger than a whole buffer can never be played:
  // it is passed over with a line in the report (`fileName` names the file).
  static std::uint32_t FillBuffer(std::span<const std::uint8_t> image, std::uint32_t position,
                                  plat::sMidiHeader& header, std::string_view fileName);

  // The text of a stream result; 0 gives the text of the last failure again.
  static std::string ErrorText(int code);

 private:
  void Open();
  void Close();
  void QueueNext();
  void PlayLocked(int loop);
  // `silence`: Reset (every channel silent at once) instead of Stop.
  void StopLocked(int pause, bool silence);
  void CallbackThread();
  void OnPositionNotice(const plat::sMidiPositionNotice& notice);
  // "Midi <file> <operation> <error text>" when the stream operation failed.
  void Check(const char* operation, int result) const;
  template <class tOperation>
  int Call(tOperation operation);

  std::uint8_t m_nBufferIndex = 0;
  std::unique_ptr<plat::cMidiStreamOut> m_Stream;
  std::array<plat::sMidiHeader, kBufferCount> m_Headers;
  std::array<std::vector<std::uint8_t>, kBufferCount> m_Blocks;
  std::uint32_t m_nPosition = kImageHeaderBytes;
  eState m_nState = STOPPED;
  std::thread m_CallbackThread;
  std::int32_t m_nLoop = 0;
  mutable std::mutex m_Mutex;
};

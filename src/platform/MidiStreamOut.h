#pragma once
// Our stand-in for a MIDI output stream of the old system's multimedia
// library: its owner fills buffers with stream events (the event words of
// that library), queues them, and starts, pauses and stops the stream; the
// stream plays the events at their times and tells a callback thread of the
// owner when it reaches an event marked for a position notice.
//
// Time: the audio device's clock. The stream is an audio stream of the
// device; in each mix it sends the events that have come due, in the order
// and at the output frame their delta times give under the time division
// and the tempo events, to its synthesiser, and renders the synthesiser
// between them. So the music keeps step with the sound, and an offline
// render reproduces it frame for frame.
//
// Buffer layout, per event: delta time in ticks (u32), stream id (u32,
// unused), event word (u32); a long event (MEVT_F_LONG) is followed by its
// data, as many bytes as the word's low 24 bits say, padded to a multiple of 4.
// Event types (the word's top byte without the flags): MEVT_SHORTMSG (a
// channel message in the low 24 bits), MEVT_TEMPO (microseconds per quarter
// note), MEVT_NOP, MEVT_LONGMSG (a system-exclusive message).
//
// Threads: the owner's operations, the audio thread's mix and the callback
// thread's WaitNotice take one lock of the stream each, briefly; the audio
// thread never allocates. A buffer is marked done before the notice of its
// last event is given, so the owner can refill it at once and two buffers
// really are in flight. A stop or close drops the notices not yet handled,
// and no notice is given after Close.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/AudioDevice.h"
#include "platform/MidiSynth.h"

namespace plat {

// One buffer of stream events.
struct sMidiHeader {
  std::uint8_t* lpData = nullptr;
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesRecorded = 0;
  std::uintptr_t dwUser = 0;
  std::atomic<std::uint32_t> dwFlags{0};  // the MHDR_ flags, changed by the audio thread
  std::uint32_t dwOffset = 0;             // the event of the latest position notice
};

inline constexpr std::uint32_t MHDR_DONE = 0x1;
inline constexpr std::uint32_t MHDR_PREPARED = 0x2;
inline constexpr std::uint32_t MHDR_INQUEUE = 0x4;

inline constexpr std::uint32_t MEVT_F_SHORT = 0x00000000;
inline constexpr std::uint32_t MEVT_F_LONG = 0x80000000;
inline constexpr std::uint32_t MEVT_F_CALLBACK = 0x40000000;
inline constexpr std::uint8_t MEVT_SHORTMSG = 0x00;
inline constexpr std::uint8_t MEVT_TEMPO = 0x01;
inline constexpr std::uint8_t MEVT_NOP = 0x02;
inline constexpr std::uint8_t MEVT_LONGMSG = 0x80;

// Bytes of an event before its data.
inline constexpr std::uint32_t kMidiEventHeadBytes = 12;

// Results of the stream operations.
inline constexpr int MIDI_OK = 0;
inline constexpr int MIDI_ERR_INVALID_HANDLE = 5;
inline constexpr int MIDI_ERR_NO_DRIVER = 6;
inline constexpr int MIDI_ERR_NO_MEMORY = 7;
inline constexpr int MIDI_ERR_INVALID_PARAM = 11;
inline constexpr int MIDI_ERR_UNPREPARED = 64;
inline constexpr int MIDI_ERR_STILL_PLAYING = 65;

// A short description of a result.
std::string MidiErrorText(int code);

// The stream reached an event marked MEVT_F_CALLBACK.
struct sMidiPositionNotice {
  sMidiHeader* header = nullptr;
  std::uint32_t offset = 0;      // the event's offset in the buffer
  std::uint32_t event = 0;       // its event word
  std::uint64_t generation = 0;  // which run of the stream gave it (see IsCurrent)
};

class cMidiStreamOut final : public cAudioStream {
 public:
  // A paused stream on the device, with a synthesiser from CreateMidiSynth.
  // MIDI_ERR_NO_DRIVER (reason in *error) without a device or a synthesiser.
  static int Open(const std::shared_ptr<cAudioDevice>& device, std::unique_ptr<cMidiStreamOut>& stream,
                  std::string* error = nullptr);
  ~cMidiStreamOut() override;

  // Ticks per quarter note, or SMPTE frames and ticks per frame when the top
  // bit is set; 0 is refused.
  int SetTimeDivision(std::uint32_t division);
  int PrepareHeader(sMidiHeader* header);
  int UnprepareHeader(sMidiHeader* header);
  // Queues a prepared buffer behind the others.
  int Out(sMidiHeader* header);
  int Restart();  // plays, or goes on from a pause
  int Pause();    // holds the stream's time; notes keep sounding
  // Marks every queued buffer done and drops it, releases every note and
  // resets the pedals and controllers of every channel (the programs stay,
  // MidiSynth.h), and pauses; the next buffer starts from the stream's
  // present time, at the default tempo of 500000 microseconds per quarter note.
  int Stop();
  // As Stop, but every channel falls silent at once (MidiSynth.h): nothing
  // of the song is heard after it.
  int Reset();
  // Stops, leaves the device and ends WaitNotice. No mix and no notice after it.
  int Close();

  // The callback thread: waits for the next position notice; false once the
  // stream is closed. Each call also counts the previous notice as handled.
  bool WaitNotice(sMidiPositionNotice* notice);
  // False for a notice given before the latest Stop, Reset or Close: the
  // callback thread drops it.
  bool IsCurrent(const sMidiPositionNotice& notice) const;

  void Mix(float* mix, int frames) override;
  // Waits until every notice given so far has been handled (and so the next
  // buffer queued).
  void PrepareOffline(int frames) override;

 private:
  cMidiStreamOut(std::shared_ptr<cAudioDevice> device, std::unique_ptr<cMidiSynth> synth);

  static constexpr int kQueueSize = 8;
  static constexpr int kNoticeSize = 16;

  void StopLocked(bool silence);
  void DispatchDueEvents();
  void Execute(std::uint32_t event, const std::uint8_t* data);
  void FinishHead();
  void UpdateTickLength();

  std::shared_ptr<cAudioDevice> m_Device;
  std::unique_ptr<cMidiSynth> m_Synth;

  mutable std::mutex m_Mutex;
  std::condition_variable m_NoticeReady;
  std::condition_variable m_Settled;
  bool m_Closed = false;
  bool m_Playing = false;

  std::array<sMidiHeader*, kQueueSize> m_Queue{};
  int m_QueueHead = 0;
  int m_QueueCount = 0;
  std::uint32_t m_Offset = 0;  // of the next event in the head buffer

  std::array<sMidiPositionNotice, kNoticeSize> m_Notices{};
  int m_NoticeHead = 0;
  int m_NoticeCount = 0;
  bool m_Handling = false;
  std::uint64_t m_Generation = 0;

  std::uint32_t m_Division = 0;
  std::uint32_t m_Tempo = 500000;  // microseconds per quarter note; back to 500000 at each stop
  double m_FramesPerTick = 0.0;
  std::uint64_t m_Clock = 0;       // output frames played while the stream ran
  double m_LastEventTime = 0.0;    // output frame of the last event sent
  double m_NextDue = 0.0;          // output frame of the next event, once known
  bool m_NextDueKnown = false;
};

}  // namespace plat

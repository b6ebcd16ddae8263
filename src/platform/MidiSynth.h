#pragma once
// The synthesiser under the MIDI stream: it takes MIDI messages and renders
// what they sound like at the audio device's rate.
//
// cFluidMidiSynth plays them with FluidSynth and the system's General MIDI
// sound font (Debian's timgm6mb-soundfont); cRecordingMidiSynth writes them
// down with the output frame they arrived at and renders silence, for tests.
//
// A synthesiser is used by one thread at a time: made and destroyed by its
// stream's owner, fed and rendered by the audio thread under the stream's
// lock.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

class cMidiSynth {
 public:
  virtual ~cMidiSynth() = default;
  // A channel message: the status byte in the low byte, then the data bytes
  // (the short-message word of a stream buffer).
  virtual void ShortMessage(std::uint32_t message) = 0;
  // A system-exclusive message: its status byte (F0 or F7) and its data.
  virtual void LongMessage(const std::uint8_t* bytes, std::size_t length) = 0;
  // Every channel falls silent at once, as a new synthesiser is: sounding
  // notes and the notes the pedals hold end without their release, the
  // effects' tails are cleared, and the controllers, the pedals and the
  // programs go back to their defaults.
  virtual void Silence() = 0;
  // The end of a song, or its start again: the pedals go up and every note
  // of every channel is released (those the pedals held too), so each fades
  // through its release; the controllers go back to their defaults. The
  // programs stay, so the next pass plays on the same instruments. By
  // default sent as controller messages to every channel.
  virtual void ResetChannels();
  // Adds the next `frames` frames (interleaved stereo, 44100 a second, on the
  // scale of 16-bit samples) into `mix`.
  virtual void Render(float* mix, int frames) = 0;
};

// Makes the synthesiser of a new MIDI stream; null (reason in *error) when
// none can be made.
using MidiSynthFactory = std::function<std::unique_ptr<cMidiSynth>(std::string* error)>;

// The synthesiser a new stream gets: the installed factory's, by default
// CreateFluidMidiSynth.
std::unique_ptr<cMidiSynth> CreateMidiSynth(std::string* error = nullptr);
// Installs a factory for the whole process; an empty one restores the default.
void SetMidiSynthFactory(MidiSynthFactory factory);

// FluidSynth with the General MIDI sound font found by FindGmSoundFont.
std::unique_ptr<cMidiSynth> CreateFluidMidiSynth(std::string* error = nullptr);
// The path of the system's General MIDI sound font; empty when none is installed.
std::string FindGmSoundFont();

// What a recording synthesiser was sent.
struct sMidiRecordedEvent {
  enum class eKind { Short, Long, Silence, ResetChannels };
  std::uint64_t frame = 0;  // output frames rendered before it arrived
  eKind kind = eKind::Short;
  std::vector<std::uint8_t> bytes;  // status and data (short: as many as the status takes)
  bool operator==(const sMidiRecordedEvent&) const = default;
};

// The events of one or more recording synthesisers, safe to read from any thread.
class cMidiRecord {
 public:
  void Add(sMidiRecordedEvent event);
  std::vector<sMidiRecordedEvent> Events() const;
  void Clear();

 private:
  mutable std::mutex m_Mutex;
  std::vector<sMidiRecordedEvent> m_Events;
};

class cRecordingMidiSynth final : public cMidiSynth {
 public:
  explicit cRecordingMidiSynth(std::shared_ptr<cMidiRecord> record) : m_Record(std::move(record)) {}
  void ShortMessage(std::uint32_t message) override;
  void LongMessage(const std::uint8_t* bytes, std::size_t length) override;
  void Silence() override;
  void ResetChannels() override;
  void Render(float* mix, int frames) override;

 private:
  std::shared_ptr<cMidiRecord> m_Record;
  std::uint64_t m_Frame = 0;
};

}  // namespace plat

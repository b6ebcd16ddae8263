#include "platform/MidiSynth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <filesystem>

#include "platform/AudioDevice.h"

namespace plat {

namespace {

std::mutex g_FactoryMutex;
MidiSynthFactory g_Factory;

// Where Debian's General MIDI sound fonts are installed, the one this
// project depends on first.
const char* const kSoundFontPaths[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

constexpr int kRenderFrames = 1024;

// A FluidSynth synthesiser with the sound font loaded: the costly part
// (a few hundred milliseconds, mostly reading the sound font).
struct sFluidCore {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;

  ~sFluidCore() {
    if (synth != nullptr) delete_fluid_synth(synth);
    if (settings != nullptr) delete_fluid_settings(settings);
  }

  bool Start(const std::string& soundFont, std::string* error) {
    auto fail = [error](const std::string& why) {
      if (error != nullptr) *error = why;
      return false;
    };
    settings = new_fluid_settings();
    if (settings == nullptr) return fail("FluidSynth cannot start");
    fluid_settings_setnum(settings, "synth.sample-rate", kAudioRate);
    // One thread at a time uses the synthesiser (see MidiSynth.h).
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    // FluidSynth's own level (0.2) leaves a tune far quieter than the sound
    // effects and an Ogg tune; this brings it to theirs without clipping.
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    synth = new_fluid_synth(settings);
    if (synth == nullptr) return fail("FluidSynth cannot start");
    if (fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED)
      return fail("the sound font " + soundFont + " cannot be loaded");
    return true;
  }
};

// A core whose stream has closed, kept for the next stream: a new tune then
// starts without the music request waiting for the sound font again.
std::mutex g_SpareMutex;
std::unique_ptr<sFluidCore> g_SpareCore;

std::unique_ptr<sFluidCore> TakeSpareCore() {
  std::lock_guard<std::mutex> lock(g_SpareMutex);
  return std::move(g_SpareCore);
}

// Back to the state of a new synthesiser. The reset clears the reverb and
// chorus tails but lets the sounding notes fade through their release (and
// does so even when they were cut just before it); the cut after it ends
// them, so nothing sounds from the next frame on.
void SilenceCore(fluid_synth_t* synth) {
  fluid_synth_system_reset(synth);
  fluid_synth_all_sounds_off(synth, -1);
}

void KeepSpareCore(std::unique_ptr<sFluidCore> core) {
  SilenceCore(core->synth);
  std::lock_guard<std::mutex> lock(g_SpareMutex);
  if (!g_SpareCore) g_SpareCore = std::move(core);
}

class cFluidMidiSynth final : public cMidiSynth {
 public:
  explicit cFluidMidiSynth(std::unique_ptr<sFluidCore> core)
      : m_Core(std::move(core)), m_Synth(m_Core->synth), m_Left(kRenderFrames), m_Right(kRenderFrames) {}
  ~cFluidMidiSynth() override { KeepSpareCore(std::move(m_Core)); }

  void ShortMessage(std::uint32_t message) override {
    const int status = static_cast<int>(message & 0xF0);
    const int channel = static_cast<int>(message & 0x0F);
    const int data1 = static_cast<int>(message >> 8 & 0x7F);
    const int data2 = static_cast<int>(message >> 16 & 0x7F);
    switch (status) {
      case 0x80: fluid_synth_noteoff(m_Synth, channel, data1); break;
      case 0x90: fluid_synth_noteon(m_Synth, channel, data1, data2); break;
      case 0xA0: fluid_synth_key_pressure(m_Synth, channel, data1, data2); break;
      case 0xB0: fluid_synth_cc(m_Synth, channel, data1, data2); break;
      case 0xC0: fluid_synth_program_change(m_Synth, channel, data1); break;
      case 0xD0: fluid_synth_channel_pressure(m_Synth, channel, data1); break;
      case 0xE0: fluid_synth_pitch_bend(m_Synth, channel, data1 | data2 << 7); break;
      default: break;  // system messages carry no sound
    }
  }

  void LongMessage(const std::uint8_t* bytes, std::size_t length) override {
    // FluidSynth takes the data between F0 and the closing F7; an F7
    // continuation has no whole message of its own.
    if (length < 2 || bytes[0] != 0xF0) return;
    std::size_t end = length;
    if (bytes[end - 1] == 0xF7) --end;
    fluid_synth_sysex(m_Synth, reinterpret_cast<const char*>(bytes + 1), static_cast<int>(end - 1), nullptr, nullptr,
                      nullptr, 0);
  }

  void Silence() override { SilenceCore(m_Synth); }

  void Render(float* mix, int frames) override {
    while (frames > 0) {
      const int block = std::min(frames, kRenderFrames);
      fluid_synth_write_float(m_Synth, block, m_Left.data(), 0, 1, m_Right.data(), 0, 1);
      for (int i = 0; i < block; ++i) {
        mix[2 * i] += m_Left[i] * 32768.0f;
        mix[2 * i + 1] += m_Right[i] * 32768.0f;
      }
      mix += static_cast<std::ptrdiff_t>(block) * 2;
      frames -= block;
    }
  }

 private:
  std::unique_ptr<sFluidCore> m_Core;
  fluid_synth_t* m_Synth;
  std::vector<float> m_Left;
  std::vector<float> m_Right;
};

// FluidSynth writes its notes and warnings to the standard streams; the
// player reports its own failures instead.
void SilenceFluidSynthLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, nullptr, nullptr);
  });
}

int ShortMessageLength(std::uint8_t status) {
  if (status >= 0xC0 && status <= 0xDF) return 2;
  return 3;
}

}  // namespace

std::string FindGmSoundFont() {
  for (const char* path : kSoundFontPaths) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return std::string();
}

std::unique_ptr<cMidiSynth> CreateFluidMidiSynth(std::string* error) {
  SilenceFluidSynthLog();
  const std::string soundFont = FindGmSoundFont();
  if (soundFont.empty()) {
    if (error != nullptr) *error = "no General MIDI sound font is installed";
    return nullptr;
  }
  std::unique_ptr<sFluidCore> core = TakeSpareCore();
  if (!core) {
    core = std::make_unique<sFluidCore>();
    if (!core->Start(soundFont, error)) return nullptr;
  }
  return std::make_unique<cFluidMidiSynth>(std::move(core));
}

void cMidiSynth::ResetChannels() {
  constexpr std::uint32_t kSustain = 64;
  constexpr std::uint32_t kSostenuto = 66;
  constexpr std::uint32_t kResetControllers = 121;
  constexpr std::uint32_t kAllNotesOff = 123;
  for (std::uint32_t channel = 0; channel < 16; ++channel) {
    const std::uint32_t control = 0xB0 | channel;
    // The pedals first: a note a pedal holds ignores "all notes off".
    ShortMessage(control | kSustain << 8);
    ShortMessage(control | kSostenuto << 8);
    ShortMessage(control | kAllNotesOff << 8);
    ShortMessage(control | kResetControllers << 8);
  }
}

std::unique_ptr<cMidiSynth> CreateMidiSynth(std::string* error) {
  MidiSynthFactory factory;
  {
    std::lock_guard<std::mutex> lock(g_FactoryMutex);
    factory = g_Factory;
  }
  return factory ? factory(error) : CreateFluidMidiSynth(error);
}

void SetMidiSynthFactory(MidiSynthFactory factory) {
  std::lock_guard<std::mutex> lock(g_FactoryMutex);
  g_Factory = std::move(factory);
}

// ---------------------------------------------------------------------------
// Recording

void cMidiRecord::Add(sMidiRecordedEvent event) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Events.push_back(std::move(event));
}

std::vector<sMidiRecordedEvent> cMidiRecord::Events() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Events;
}

void cMidiRecord::Clear() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  m_Events.clear();
}

void cRecordingMidiSynth::ShortMessage(std::uint32_t message) {
  sMidiRecordedEvent event;
  event.frame = m_Frame;
  event.kind = sMidiRecordedEvent::eKind::Short;
  const int length = ShortMessageLength(static_cast<std::uint8_t>(message));
  for (int i = 0; i < length; ++i) event.bytes.push_back(static_cast<std::uint8_t>(message >> (8 * i)));
  m_Record->Add(std::move(event));
}

void cRecordingMidiSynth::LongMessage(const std::uint8_t* bytes, std::size_t length) {
  m_Record->Add({m_Frame, sMidiRecordedEvent::eKind::Long, std::vector<std::uint8_t>(bytes, bytes + length)});
}

void cRecordingMidiSynth::ResetChannels() {
  m_Record->Add({m_Frame, sMidiRecordedEvent::eKind::ResetChannels, {}});
}

void cRecordingMidiSynth::Silence() { m_Record->Add({m_Frame, sMidiRecordedEvent::eKind::Silence, {}}); }

void cRecordingMidiSynth::Render(float*, int frames) { m_Frame += static_cast<std::uint64_t>(frames); }

}  // namespace plat

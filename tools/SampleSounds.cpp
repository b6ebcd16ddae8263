// The sample game's sound effects: a few oscillators, sweeps and noise with
// short envelopes, each effect in its own file format.

#include "SampleSounds.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "SampleMusic.h"

namespace samplegame {

namespace {

// One sample of an effect at time t (seconds) of its length, for a channel.
using Recipe = std::function<double(double t, double length, int channel)>;

struct cEffect {
  const char* path;
  int rate;
  int channels;
  int bits;
  double seconds;
  Recipe recipe;
};

// The phase of a tone gliding linearly from f0 to f1 over `length`.
double GlidePhase(double t, double length, double f0, double f1) {
  return 2.0 * std::numbers::pi * (f0 * t + (f1 - f0) * t * t / (2.0 * length));
}

double Square(double phase) { return std::sin(phase) >= 0.0 ? 1.0 : -1.0; }

// A quick attack and an exponential fall, `fall` times per second.
double Envelope(double t, double fall) { return std::min(1.0, t / 0.004) * std::exp(-fall * t); }

// Deterministic noise: the same effect every time the game is made.
double Noise(double t) {
  const double x = std::sin(t * 12345.678 + 0.5) * 43758.5453;
  return 2.0 * (x - std::floor(x)) - 1.0;
}

double Note(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Notes one after another, each `step` seconds, as soft square waves.
Recipe Arpeggio(std::vector<int> notes, double step, double volume) {
  return [notes, step, volume](double t, double, int channel) {
    const auto index = std::min(static_cast<std::size_t>(t / step), notes.size() - 1);
    const double local = t - static_cast<double>(index) * step;
    const double pan = channel == 0 ? 1.0 : 0.8;
    return volume * pan * Envelope(local, 6.0) * (0.6 * Square(2.0 * std::numbers::pi * Note(notes[index]) * local) +
                                                  0.4 * std::sin(4.0 * std::numbers::pi * Note(notes[index]) * local));
  };
}

Recipe Glide(double f0, double f1, double fall, double volume, bool square) {
  return [=](double t, double length, int) {
    const double phase = GlidePhase(t, length, f0, f1);
    return volume * Envelope(t, fall) * (square ? Square(phase) : std::sin(phase));
  };
}

Recipe Burst(double fall, double volume, double tone) {
  return [=](double t, double, int channel) {
    const double grit = Noise(t + channel * 0.37);
    return volume * Envelope(t, fall) * (0.8 * grit + 0.2 * std::sin(2.0 * std::numbers::pi * tone * t));
  };
}

// The effects with their formats, so that every format a game may hold is heard.
std::vector<cEffect> Effects() {
  return {
      {"wave\\Cursor.wav", 11025, 1, 8, 0.05, Glide(1200, 1250, 30, 0.5, true)},
      {"wave\\Decide.wav", 22050, 1, 16, 0.16, Arpeggio({76, 83}, 0.07, 0.5)},
      {"wave\\Cancel.wav", 22050, 1, 8, 0.14, Glide(660, 330, 14, 0.5, true)},
      {"wave\\Buzzer.wav", 11025, 1, 8, 0.2, Glide(120, 110, 4, 0.5, true)},
      {"wave\\Pause.wav", 22050, 2, 16, 0.35, Arpeggio({81, 76}, 0.12, 0.45)},
      {"wave\\Genre.wav", 22050, 2, 8, 0.08, Glide(900, 1400, 20, 0.45, true)},
      {"wave\\HeroDeath.wav", 22050, 1, 16, 0.8, Glide(880, 110, 2.5, 0.55, true)},
      {"wave\\Death.wav", 11025, 1, 8, 0.3, Burst(12, 0.6, 90)},
      {"wave\\Spring.wav", 22050, 1, 16, 0.3, Glide(200, 1200, 6, 0.5, false)},
      {"wave\\Message.wav", 22050, 1, 8, 0.12, Glide(1500, 1500, 25, 0.4, false)},
      {"wave\\TimeWarning.wav", 11025, 1, 16, 0.3, Arpeggio({88, 88}, 0.15, 0.45)},
      {"wave\\StageClear.wav", 22050, 2, 16, 0.9, Arpeggio({72, 76, 79, 84}, 0.15, 0.5)},
      {"wave\\ExtraLife.wav", 11025, 2, 8, 0.5, Arpeggio({79, 84, 88, 91}, 0.08, 0.5)},
      {"wave\\Ranking.wav", 11025, 2, 16, 0.6, Arpeggio({84, 91, 96}, 0.12, 0.45)},
      {"se\\Jump.wav", 11025, 1, 8, 0.18, Glide(300, 900, 10, 0.5, true)},
      {"se\\Coin.wav", 22050, 1, 16, 0.25, Arpeggio({83, 88}, 0.06, 0.45)},
      {"se\\Shot.wav", 22050, 2, 8, 0.12, Burst(30, 0.5, 700)},
      {"se\\Explosion.wav", 11025, 2, 16, 0.7, Burst(5, 0.7, 55)},
  };
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

cPcmSound MakePcm(int rate, int channels, int bits, const std::vector<float>& samples) {
  cPcmSound sound{rate, channels, bits, {}};
  for (float sample : samples) {
    const double clipped = std::clamp(static_cast<double>(sample), -1.0, 1.0);
    if (bits == 8) {
      sound.data.push_back(static_cast<std::uint8_t>(std::lround(128.0 + clipped * 127.0)));
    } else {
      const auto value = static_cast<std::int16_t>(std::lround(clipped * 32767.0));
      PutLittleEndian(sound.data, static_cast<std::uint16_t>(value), 2);
    }
  }
  return sound;
}

std::vector<std::uint8_t> EncodeWave(const cPcmSound& sound) {
  const int blockAlign = sound.channels * sound.bits / 8;
  const auto dataBytes = static_cast<std::uint32_t>(sound.data.size());
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLittleEndian(out, 4 + 8 + 16 + 8 + dataBytes + (dataBytes & 1u), 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, static_cast<std::uint32_t>(sound.channels), 2);
  PutLittleEndian(out, static_cast<std::uint32_t>(sound.rate), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(sound.rate * blockAlign), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(blockAlign), 2);
  PutLittleEndian(out, static_cast<std::uint32_t>(sound.bits), 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLittleEndian(out, dataBytes, 4);
  out.insert(out.end(), sound.data.begin(), sound.data.end());
  if ((dataBytes & 1u) != 0) out.push_back(0);  // chunks are padded to even sizes
  return out;
}

std::vector<cSampleFile> MakeSampleSounds() {
  std::vector<cSampleFile> files;
  for (const cEffect& effect : Effects()) {
    const int frames = static_cast<int>(effect.seconds * effect.rate);
    std::vector<float> samples;
    samples.reserve(static_cast<std::size_t>(frames) * effect.channels);
    for (int i = 0; i < frames; ++i) {
      const double t = static_cast<double>(i) / effect.rate;
      for (int c = 0; c < effect.channels; ++c) samples.push_back(static_cast<float>(effect.recipe(t, effect.seconds, c)));
    }
    files.push_back({effect.path, EncodeWave(MakePcm(effect.rate, effect.channels, effect.bits, samples))});
  }
  return files;
}

bool WriteSampleSounds(const std::filesystem::path& workingFolder, std::string& error) {
  std::vector<cSampleFile> files = MakeSampleSounds();
  std::vector<cSampleFile> music;
  if (!MakeSampleMusic(music, error)) return false;
  files.insert(files.end(), music.begin(), music.end());
  return WriteSampleFiles(workingFolder, files, error);
}

}  // namespace samplegame

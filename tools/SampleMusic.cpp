// The sample game's two tunes and the small standard-MIDI-file writer.

#include "SampleMusic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/OggEncoder.h"

namespace samplegame {

namespace {

constexpr int kRest = -1;

// ---- the boss tune (MIDI) ------------------------------------------------------

constexpr std::uint16_t kTicksPerQuarter = 96;
constexpr std::uint32_t kEighth = kTicksPerQuarter / 2;
constexpr std::uint32_t kBar = kTicksPerQuarter * 4;

// Channel events at absolute ticks, written in time order (equal ticks in
// the order they were added).
class cTimeline {
 public:
  void Add(std::uint32_t tick, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    m_Events.push_back({tick, status, data1, data2});
  }
  // Notes one after another, `step` ticks apart, each held `gate` ticks;
  // a note-on of velocity 0 ends each, so running status carries on.
  void Notes(std::uint32_t start, std::uint8_t channel, const std::vector<int>& notes, std::uint32_t step,
             std::uint32_t gate, std::uint8_t velocity) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
      if (notes[i] == kRest) continue;
      const std::uint32_t at = start + static_cast<std::uint32_t>(i) * step;
      const auto key = static_cast<std::uint8_t>(notes[i]);
      Add(at, static_cast<std::uint8_t>(0x90 | channel), key, velocity);
      Add(at + gate, static_cast<std::uint8_t>(0x90 | channel), key, 0);
    }
  }
  void WriteTo(cSmfTrack& track, std::uint32_t end) {
    std::stable_sort(m_Events.begin(), m_Events.end(), [](const sEvent& a, const sEvent& b) { return a.tick < b.tick; });
    std::uint32_t now = 0;
    for (const sEvent& event : m_Events) {
      track.Channel(event.tick - now, event.status, event.data1, event.data2);
      now = event.tick;
    }
    track.End(end - now);
  }

 private:
  struct sEvent {
    std::uint32_t tick;
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
  };
  std::vector<sEvent> m_Events;
};

// Two bars of lead in eighths; played twice, then twice again faster.
const std::vector<int> kLeadA = {69, 72, 76, 72, 69, 72, 76, 77, 76, 74, 72, 71, 69, 71, 72, 74};
const std::vector<int> kLeadB = {76, kRest, 76, 77, 79, 77, 76, 74, 72, 74, 76, 72, 69, kRest, 69, kRest};
const int kBassRoots[] = {45, 41, 43, 40};

cSmfTrack ConductorTrack() {
  cSmfTrack track;
  track.Meta(0, 0x03, {'B', 'o', 's', 's'});
  track.Meta(0, 0x58, {4, 2, 24, 8});  // 4/4
  track.Tempo(0, 400000);              // 150 beats a minute
  track.Meta(kBar * 4, 0x06, {'F', 'a', 's', 't', 'e', 'r'});  // a marker, passed over by the player
  track.Tempo(0, 352941);              // 170 beats a minute
  track.End(kBar * 4);
  return track;
}

cSmfTrack LeadTrack() {
  cSmfTrack track;
  track.Channel(0, 0xC0, 80);  // square lead
  cTimeline timeline;
  for (int half = 0; half < 2; ++half) {
    timeline.Notes(half * kBar * 4, 0, kLeadA, kEighth, 40, 100);
    timeline.Notes(half * kBar * 4 + kBar * 2, 0, kLeadB, kEighth, 40, 100);
  }
  timeline.WriteTo(track, kBar * 8);
  return track;
}

cSmfTrack BassTrack() {
  cSmfTrack track;
  track.Channel(0, 0xC1, 38);  // synth bass
  cTimeline timeline;
  for (int bar = 0; bar < 8; ++bar) {
    const int root = kBassRoots[bar % 4];
    std::vector<int> pulses;
    for (int i = 0; i < 8; ++i) pulses.push_back(i % 2 == 0 ? root : root + 12);
    timeline.Notes(static_cast<std::uint32_t>(bar) * kBar, 1, pulses, kEighth, 36, 90);
  }
  timeline.WriteTo(track, kBar * 8);
  return track;
}

cSmfTrack DrumTrack() {
  cSmfTrack track;
  cTimeline timeline;
  for (std::uint32_t beat = 0; beat < 32; ++beat) {
    const std::uint32_t at = beat * kTicksPerQuarter;
    timeline.Notes(at, 9, {beat % 2 == 0 ? 36 : 38}, 0, 24, 110);  // kick, snare
    timeline.Notes(at, 9, {42, 42}, kEighth, 12, 70);                  // closed hi-hat
  }
  timeline.WriteTo(track, kBar * 8);
  return track;
}

// ---- the stage tune (Ogg) -----------------------------------------------------

constexpr int kStageRate = 22050;
constexpr double kStageEighth = 0.25;  // 120 beats a minute

const std::vector<int> kStageMelody = {72, 74, 76, 79, 76, 74, 72, kRest, 74, 76, 77, 81, 79, 77, 76, kRest,
                                       76, 77, 79, 84, 83, 79, 77, 76, 74, 76, 74, 71, 72, kRest, 72, kRest};
const std::vector<int> kStageBass = {48, 55, 48, 55, 53, 60, 53, 60, 55, 62, 55, 62, 43, 50, 48, kRest};

double Frequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Adds notes of `step` seconds into the stereo samples, each a decaying
// sum of the given harmonics, panned by the two gains.
void Render(std::vector<float>& samples, const std::vector<int>& notes, double step,
            const std::vector<double>& harmonics, double fall, double left, double right) {
  const std::size_t frames = samples.size() / 2;
  for (std::size_t n = 0; n < notes.size(); ++n) {
    if (notes[n] == kRest) continue;
    const double f = Frequency(notes[n]);
    const auto first = static_cast<std::size_t>(n * step * kStageRate);
    const auto last = std::min(frames, static_cast<std::size_t>((n + 1) * step * kStageRate));
    for (std::size_t i = first; i < last; ++i) {
      const double t = static_cast<double>(i - first) / kStageRate;
      const double release = std::min(1.0, (static_cast<double>(last - i) / kStageRate) / 0.02);
      double value = 0.0;
      for (std::size_t h = 0; h < harmonics.size(); ++h) value += harmonics[h] * std::sin(2.0 * std::numbers::pi * f * (h + 1) * t);
      value *= std::min(1.0, t / 0.005) * std::exp(-fall * t) * release;
      samples[2 * i] += static_cast<float>(value * left);
      samples[2 * i + 1] += static_cast<float>(value * right);
    }
  }
}

}  // namespace

void cSmfTrack::Delta(std::uint32_t delta) {
  std::uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(delta & 0x7F);
    delta >>= 7;
  } while (delta != 0 && count < 4);
  for (int i = count - 1; i >= 0; --i) m_Bytes.push_back(static_cast<std::uint8_t>(groups[i] | (i > 0 ? 0x80 : 0)));
}

void cSmfTrack::Channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  Channel(delta, status, data1);
  m_Bytes.push_back(data2);
}

void cSmfTrack::Channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1) {
  Delta(delta);
  if (status != m_RunningStatus) m_Bytes.push_back(status);
  m_RunningStatus = status;
  m_Bytes.push_back(data1);
}

void cSmfTrack::Meta(std::uint32_t delta, std::uint8_t type, const std::vector<std::uint8_t>& data) {
  Delta(delta);
  m_Bytes.insert(m_Bytes.end(), {0xFF, type, static_cast<std::uint8_t>(data.size())});
  m_Bytes.insert(m_Bytes.end(), data.begin(), data.end());
  m_RunningStatus = 0;
}

void cSmfTrack::Tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
  Meta(delta, 0x51, {static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                     static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                     static_cast<std::uint8_t>(microsecondsPerQuarter)});
}

void cSmfTrack::End(std::uint32_t delta) { Meta(delta, 0x2F, {}); }

std::vector<std::uint8_t> EncodeSmf(int format, std::uint16_t division, const std::vector<cSmfTrack>& tracks) {
  auto big = [](std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd'};
  big(out, 6, 4);
  big(out, static_cast<std::uint32_t>(format), 2);
  big(out, static_cast<std::uint32_t>(tracks.size()), 2);
  big(out, division, 2);
  for (const cSmfTrack& track : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    big(out, static_cast<std::uint32_t>(track.Bytes().size()), 4);
    out.insert(out.end(), track.Bytes().begin(), track.Bytes().end());
  }
  return out;
}

std::vector<std::uint8_t> MakeBossTune() {
  return EncodeSmf(1, kTicksPerQuarter, {ConductorTrack(), LeadTrack(), BassTrack(), DrumTrack()});
}

namespace {

// A one-track tune (format 0): a melody on channel 0 over held chords on
// channel 1, the melody's notes `step` ticks apart, played through twice.
std::vector<std::uint8_t> MakeQuietTune(const char* name, std::uint32_t microsecondsPerQuarter, std::uint8_t lead,
                                        std::uint8_t pad, const std::vector<int>& melody,
                                        const std::vector<int>& chordRoots, std::uint32_t step) {
  cSmfTrack track;
  track.Meta(0, 0x03, std::vector<std::uint8_t>(name, name + std::char_traits<char>::length(name)));
  track.Tempo(0, microsecondsPerQuarter);
  track.Channel(0, 0xC0, lead);
  track.Channel(0, 0xC1, pad);
  cTimeline timeline;
  const auto length = static_cast<std::uint32_t>(melody.size()) * step;
  for (std::uint32_t pass = 0; pass < 2; ++pass) {
    timeline.Notes(pass * length, 0, melody, step, step - step / 4, 90);
    const std::uint32_t chordStep = length / static_cast<std::uint32_t>(chordRoots.size());
    for (std::size_t i = 0; i < chordRoots.size(); ++i) {
      const std::uint32_t at = pass * length + static_cast<std::uint32_t>(i) * chordStep;
      const int root = chordRoots[i];
      for (int interval : {0, 4, 7}) timeline.Notes(at, 1, {root + interval}, 0, chordStep - 8, 60);
    }
  }
  timeline.WriteTo(track, length * 2);
  return EncodeSmf(0, kTicksPerQuarter, {track});
}

}  // namespace

std::vector<std::uint8_t> MakeTitleTune() {
  static const std::vector<int> kMelody = {64, 67, 72, 71, 72, 74, 76, kRest, 77, 76, 74, 72, 71, 72, 74, kRest,
                                           76, 74, 72, 69, 71, 72, 67, kRest, 65, 67, 69, 71, 72, kRest, 72, kRest};
  return MakeQuietTune("Title", 600000, 0 /* piano */, 48 /* strings */, kMelody, {48, 53, 55, 48}, kEighth);
}

std::vector<std::uint8_t> MakeMapTune() {
  static const std::vector<int> kMelody = {72, 74, 76, 72, 74, 76, 79, 76, 77, 76, 74, 72, 74, kRest, 67, kRest,
                                           72, 74, 76, 77, 79, 77, 76, 74, 72, 71, 69, 71, 72, kRest, kRest, kRest};
  return MakeQuietTune("Map", 500000, 73 /* flute */, 24 /* guitar */, kMelody, {48, 45, 41, 43}, kEighth);
}

bool MakeStageTune(std::vector<std::uint8_t>& ogg, std::string& error) {
  const auto frames = static_cast<std::size_t>(kStageMelody.size() * kStageEighth * kStageRate);
  std::vector<float> samples(frames * 2, 0.0f);
  Render(samples, kStageMelody, kStageEighth, {0.30, 0.10, 0.05}, 3.0, 0.9, 0.6);
  Render(samples, kStageBass, kStageEighth * 2, {0.30, 0.0, 0.08}, 1.5, 0.6, 0.9);
  return plat::EncodeOggVorbis(samples, 2, kStageRate, 0.2f, ogg, &error);
}

bool MakeSampleMusic(std::vector<cSampleFile>& files, std::string& error) {
  std::vector<std::uint8_t> stage;
  if (!MakeStageTune(stage, error)) return false;
  files.push_back({"bgm\\Stage.ogg", std::move(stage)});
  files.push_back({"bgm\\Boss.mid", MakeBossTune()});
  files.push_back({"bgm\\Title.mid", MakeTitleTune()});
  files.push_back({"bgm\\Map.mid", MakeMapTune()});
  return true;
}

}  // namespace samplegame

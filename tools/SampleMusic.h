#pragma once
// The sample game's music: one tune as Ogg Vorbis and one as a standard MIDI
// file, so that both roads of the music manager are heard.
//
//   bgm\Stage.ogg  the stages' tune (and the stage select's): a melody over a
//                  bass, rendered here and encoded with libvorbisenc
//   bgm\Title.mid  the title menu's and the options' tune: a quiet format 0 file
//   bgm\Map.mid    the world map's and the map menu's tune, format 0
//   bgm\Boss.mid   the boss stage's tune: format 1, a conductor track with a
//                  tempo change halfway and three instrument tracks (lead,
//                  bass, drums) written with running status

#include <cstdint>
#include <string>
#include <vector>

#include "SampleFiles.h"

namespace samplegame {

// One track of a standard MIDI file. Channel events whose status repeats are
// written with running status; a meta event ends it. The end-of-track event
// is added when the file is made.
class cSmfTrack {
 public:
  void Channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void Channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1);
  void Meta(std::uint32_t delta, std::uint8_t type, const std::vector<std::uint8_t>& data);
  void Tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter);
  // Ends the track `delta` ticks after its last event.
  void End(std::uint32_t delta);

  const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }

 private:
  void Delta(std::uint32_t delta);
  std::vector<std::uint8_t> m_Bytes;
  std::uint8_t m_RunningStatus = 0;
};

// A standard MIDI file of the tracks (each ended with End).
std::vector<std::uint8_t> EncodeSmf(int format, std::uint16_t division, const std::vector<cSmfTrack>& tracks);

std::vector<std::uint8_t> MakeBossTune();
// The title menu's tune and the world map's tune (format 0).
std::vector<std::uint8_t> MakeTitleTune();
std::vector<std::uint8_t> MakeMapTune();
// False, with the reason in `error`, when the encoder refuses.
bool MakeStageTune(std::vector<std::uint8_t>& ogg, std::string& error);

// Both tunes under their paths.
bool MakeSampleMusic(std::vector<cSampleFile>& files, std::string& error);

}  // namespace samplegame

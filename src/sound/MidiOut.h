#pragma once
// cMidiOut: the MIDI side of the music, one player (cMidiStream) per music
// channel. Starting a file destroys every player there was first.

#include <memory>
#include <string_view>
#include <vector>

#include "sound/MidiStream.h"

class cMidiOut {
 public:
  cMidiOut() = default;
  cMidiOut(const cMidiOut&) = delete;
  cMidiOut& operator=(const cMidiOut&) = delete;

  // The player list gets `count` entries; new ones are empty.
  void SetChannels(int count);
  // Pauses and destroys every player, then plays `path` on the channel. The
  // extension must be exactly "mid"; a file without an image gives false
  // (its player stays in the channel's entry).
  bool PlayFile(int channel, std::string_view path, int loop);
  // Pauses (non-zero) or fully stops every player.
  void StopAll(int pause);
  // Destroys every player and empties the list.
  void Release();

  // The channel's player; null when there is none.
  cMidiStream* Player(int channel) const;

 private:
  std::vector<std::unique_ptr<cMidiStream>> m_Players;
};

#pragma once
// cBgmManager: the background music. One manager per process (g_BgmManager)
// plays music slots on channels: a slot names an Ogg Vorbis file and a MIDI
// file, and its kind says which to play:
//   0  the Ogg file, and the MIDI file when the Ogg file cannot be played
//   1  the Ogg file only
//   2  the MIDI file only
// Only one kind sounds at a time: starting one stops the other.
//
// The name tables belong to the caller and are written in place by SetFile;
// start-up and the music option hand over the default tables below. Without
// the Ogg library the manager stays off: no music plays at all, MIDI neither.
//
// Main thread only (start-up, the music request, the music option).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "sound/MidiOut.h"
#include "sound/VoxPlayer.h"

inline constexpr int kBgmSlotCount = 5;  // title, world map, challenge, options, stage
using cBgmNameTable = std::array<std::string, kBgmSlotCount>;

// "bgm\Title.ogg" ... "bgm\Stage.ogg", and the same names ending ".mid".
cBgmNameTable MakeDefaultOggNames();
cBgmNameTable MakeDefaultMidiNames();

// The default tables. Defined with every global object.
extern cBgmNameTable g_BgmOggNames;
extern cBgmNameTable g_BgmMidiNames;

class cBgmManager {
 public:
  enum eKind : std::int32_t { KIND_OGG_THEN_MIDI = 0, KIND_OGG = 1, KIND_MIDI = 2 };
  enum eChannelState : std::int32_t { CHANNEL_SILENT = 0, CHANNEL_OGG = 1, CHANNEL_MIDI = 2 };

  // Off, with no tables, slots or channels.
  cBgmManager() = default;
  ~cBgmManager() { Release(); }
  cBgmManager(const cBgmManager&) = delete;
  cBgmManager& operator=(const cBgmManager&) = delete;

  // Turns the manager on with `channels` channels and the first `slotCount`
  // entries of the tables, every slot of kind 0. Without the Ogg library:
  // "m_Vox.Init失敗！" in the debug log, the manager off again, false.
  bool Init(int channels, std::string* oggNames, std::string* midiNames, int slotCount);
  int SetChannels(int count);
  // Names the slot's file; the kind follows from the extension: none empties
  // both names (false); "mid" or "MID" names the MIDI file (as .mid) and gives
  // kind 2; "ogg" or "OGG" names the Ogg file and gives kind 1; any other
  // names both files and gives kind 0 (false).
  bool SetFile(int slot, std::string_view path);
  // Plays the slot on the channel by its kind. The current slot again without
  // `force` changes nothing (true). A slot that cannot be played stops all
  // music and gives false.
  bool Play(int channel, int slot, int loop, int midiStopMode, int force);
  // Silences both players; the channel states and the current slot stay.
  void StopAll();
  // Releases both players and turns the manager off.
  void Release();
  void ReleaseVox() { m_Vox.Release(); }

  std::int32_t m_bEnabled = 0;  // every operation but Init does nothing while 0
  cVoxPlayer m_Vox;
  std::string* m_pOggNames = nullptr;
  cMidiOut m_MidiOut;
  std::string* m_pMidiNames = nullptr;
  std::int32_t m_nCurrentSlot = -1;
  cSafeVector<std::int32_t> m_Kinds;   // per slot
  cSafeVector<std::int32_t> m_States;  // per channel

 private:
  // The slot's index into the kinds and the name tables, checked as a
  // cSafeVector checks (a bad one is reported and 0 is used).
  int CheckedSlot(int slot);
};

// Defined with every global object.
extern cBgmManager g_BgmManager;

// The manager released and emptied, the default tables and the built-in Ogg
// library back. Tests only.
void ResetMusicForTests();

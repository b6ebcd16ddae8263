#pragma once
// Sound effects: slots of PCM buffers on the audio device.
//
// Every effect lives in a cSoundSlot: one buffer made from its WAV file plus
// duplicates sharing that buffer's samples, played in turn (round-robin) so
// that a slot can sound several times at once. Slots 0 to 16 are the 17
// system sounds; sound n of the sound database (n >= 1) is slot n + 16.
// Start-up fills a cSoundDef per slot, starts the sound (DS_Init) and loads
// every slot (LoadSounds); a file or buffer that fails leaves its slot silent.
//
// Without a device (before DS_Init, after SoundRelease) every operation
// returns at once: loading reports success and the volume calls give 0.
//
// Threads: the main thread plays slots for the sound request; the game thread
// plays the menu-cursor sound and sets the volumes. Nothing here takes a lock:
// the round-robin index is atomic and the buffers' operations are lock-free.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/SafeVector.h"
#include "data/OptionData.h"
#include "platform/AudioDevice.h"

// Sound n of the sound database plays in slot n + kDataSoundSlotOffset.
inline constexpr int kDataSoundSlotOffset = 16;

// How start-up describes one slot.
struct cSoundDef {
  std::string m_strFile;      // the WAV file (program path)
  std::int32_t m_nCount = 0;  // buffers of the slot (start-up gives 1)
  std::int32_t m_nVolume = 0; // hundredths of a decibel; 0 leaves full volume
  std::int32_t m_nFlag = 0;   // start-up sets 1; not read
};

class cSoundSlot {
 public:
  cSoundSlot() = default;
  // Copies take the round-robin index as it stands.
  cSoundSlot(const cSoundSlot& other);
  cSoundSlot& operator=(const cSoundSlot& other);

  std::string m_strName;  // the file once loaded
  // Entry 0 was made from the file, the others share its samples. Empty
  // until a load was tried; the device owns the buffers.
  std::vector<plat::cAudioVoice*> m_Buffers;
  std::int32_t m_nCount = 0;  // 0 until loading succeeded
  std::atomic<std::int32_t> m_nNext{0};
};

// Sound-effect volume of the options' levels 0 to 10, hundredths of a decibel.
inline constexpr std::array<std::int32_t, kSeVolumeStepCount> kSeVolumeSteps = {
    -10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};

// The slot table and the definition table of the player: each with one entry
// per system sound and per database sound. Defined with every global object.
extern cSafeVector<cSoundSlot> g_SoundSlots;
extern cSafeVector<cSoundDef> g_SoundDefs;

// Releases what the slot holds, then loads `count` buffers of the file and
// sets a non-zero volume on each. False (the slot silent) when the file or a
// buffer fails.
bool LoadSound(cSoundSlot& slot, std::string_view file, int count, int volume);

// Releases the slot's buffers; the slot is empty afterwards.
void FreeSound(cSoundSlot& slot);

// One buffer of the WAV file's samples, in the file's own format.
bool CreateSoundFromWav(plat::cAudioVoice*& buffer, std::string_view file);

// A buffer sharing the source's samples.
bool DuplicateSound(plat::cAudioVoice*& buffer, const plat::cAudioVoice* source);

// Plays the slot's next buffer from its start and moves the round-robin on;
// nothing when that buffer is missing. Both callers pass flags 0.
void PlaySoundSlot(cSoundSlot& slot, int flags);

// Sets the volume of buffer `index` (added to its current volume when
// `relative` is 1), clamped to -10000..0; returns the volume set, 0 when
// there is no such buffer.
int SetSoundVolume(cSoundSlot& slot, int index, int volume, int relative);

// The volume of buffer `index`; 0 when there is no sound or no such buffer.
int GetSoundVolume(const cSoundSlot& slot, int index);

#pragma once
// The sound effects' state of the process: the device they play on, and the
// slot and definition tables start-up handed over. DS_Init starts it,
// LoadSounds loads the slots, SoundRelease takes it down again.

#include <cstdint>
#include <memory>

#include "core/SafeVector.h"
#include "platform/AudioDevice.h"
#include "platform/WinTypes.h"
#include "sound/SoundSlot.h"

struct cSoundState {
  // Null: no sound (every sound-effect call returns at once).
  std::shared_ptr<plat::cAudioDevice> m_pDevice;
  // The format start-up asks for. The device mixes at 44100 Hz, stereo,
  // 16-bit whatever is asked: each buffer keeps its file's own format and is
  // converted as it is mixed, so nothing is lost by mixing finer.
  plat::sPcmFormat m_PrimaryFormat;
  HWND m_hWnd = nullptr;
  // Remembered by LoadSounds.
  cSafeVector<cSoundSlot>* m_pSlots = nullptr;
  cSafeVector<cSoundDef>* m_pDefs = nullptr;
};

// Defined with every global object.
extern cSoundState g_SoundState;

// Starts the sound on the process's audio device (AudioOutput.h), remembers
// the window and forgets any tables. True: a machine without an audio output
// gets a device that plays nothing, so the player runs on silently.
bool DS_Init(HWND window, int samplesPerSecond, int bitsPerSample, int channels);

// Releases every slot of the remembered table, then the device.
void SoundRelease();

// Remembers both tables and loads every slot that has no buffers yet, with
// the volume of its definition, or `volume` for all when it is not 0
// (written into the definitions). A definition without a file name leaves
// its slot silent without a word. Returns 1.
int LoadSounds(cSafeVector<cSoundSlot>& slots, cSafeVector<cSoundDef>& defs, int volume);

// Plays slot `slotNumber` of the remembered table when the direction word
// (1 left, 2 right, 4 up, 8 down) shows a move the mode listens to: mode bit
// 1 left and right, bit 2 up and down; with both bits a diagonal plays twice.
// The menus pass the direction word of input device 0.
void PlayCursorSound(std::uint16_t direction, int mode, int slotNumber);

// Back to the state at process start: slots released and emptied, no device,
// the audio device factory restored. Tests only.
void ResetSoundForTests();

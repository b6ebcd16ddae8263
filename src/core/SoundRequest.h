#pragma once
// Sound effects are played by the main thread. Other threads ask for one by
// sending WM_APP_PLAY_SOUND (1029) to the main window with the sound slot; the
// call returns once the main thread has handled it (on the main thread itself
// the request is handled at once). Slots 0 to 16 are the system sounds; sound n
// of the sound database is slot n + 16. Without a main window nothing happens.

#include <cstdint>

// Asks for system sound `slot`.
void PlaySystemSound(int slot);

// Asks for sound `number` of the sound database (slot number + 16); 0 is the
// "none" entry and asks for nothing.
void PlayDataSound(std::int16_t number);

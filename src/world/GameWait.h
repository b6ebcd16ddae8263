#pragma once
// cGameWait: the game scene's wait record. The message, effect and picture
// commands and the extra-life message fill it before the modal pause loop
// runs; the loop reads it together with the key input to know when the wait
// ends: on button 1 (pressed after being up a frame before) when it waits for
// a key, otherwise after its frames.

#include <cstdint>

// Wait kinds.
enum eGameWaitKind : int {
  GAME_WAIT_MESSAGE = 1,
  GAME_WAIT_EFFECT = 2,
  GAME_WAIT_PICTURE = 3,
  GAME_WAIT_EXTRA_LIFE = 4,
};

// The frames a message that waits for a key ignores the keys at its start.
inline constexpr int32_t kGameWaitKeyDelay = 10;

struct cGameWait {
  // Stores the wait: frames, kind and wait-for-key; spare 0; a start delay of
  // kGameWaitKeyDelay frames for a message (kind 1) that waits for a key
  // unless `noDelay` is set, otherwise none.
  void Set(int kind, int waitForKey, int frames, int noDelay);

  int32_t m_Kind = 0;        // eGameWaitKind
  int32_t m_StartDelay = 0;  // frames during which the wait ignores the keys
  int32_t m_WaitForKey = 0;  // nonzero: the wait ends on button 1, not on a frame count
  int32_t m_Frames = 0;      // frames left when not waiting for a key
  int32_t m_Spare = 0;
};

#pragma once
// cKeyInput: the state of one input device as the game sees it, once a frame.
//
//   m_Dir         direction word: 1 left, 2 right, 4 up, 8 down (several may be set)
//   m_Buttons     button word: bit i for button i + 1 (eight buttons)
//   m_DirNumber   the direction laid out like a telephone keypad: 1 up-left,
//                 2 up, 3 up-right, 4 left, 5 none, 6 right, 7 down-left,
//                 8 down, 9 down-right
//   two rings     the last 32 runs of each word {word, frames}
//   19 histories  per key slot (table below) the last 32 runs of "held" and
//                 "not held" {state, frames}, newest first; the flows' key
//                 conditions test them
//   two filters   key repeat on the directions and press-once on the buttons,
//                 for menus
//
// The words come from the keyboard and the joysticks, through the fixed
// mapping (PollDefault) or through the key configuration (PollConfigured,
// KeyConfig.h). They are also what a replay records and plays back, so a
// replayed frame and a live frame look alike to every reader.
//
// Direction slots (m_DirHistory): slot n holds while the direction word is
// exactly kDirSlotWords[n] (slot 9: while any direction bit is set):
//   0 none, 1 left, 2 right, 3 up, 4 down, 5 left+up, 6 left+down,
//   7 right+up, 8 right+down, 9 any.
// Button slots (m_ButtonHistory): slot 0 holds while the button word is 0,
// slot n (1 to 8) while button n is held.
//
// Device 0 of g_KeyInput is the one the frame polls, the hero reads and the
// replay records. Polling and the filters run on whichever thread runs game
// logic at the time (the game thread, or a modal loop while it waits).

#include <array>
#include <cstdint>

#include "core/SafeVector.h"

// One run of a ring: the word and how many consecutive frames it was the
// current word (at most INT32_MAX).
struct cKeyRingEntry {
  uint16_t m_Word = 0;
  int32_t m_Frames = 0;
};

// One run of a key history: 1 held, 0 not held, and how many consecutive
// frames that lasted (at most INT32_MAX).
struct cKeyHistEntry {
  int32_t m_State = 0;
  int32_t m_Frames = 0;
};

// A key history: exactly kKeyHistoryLength runs, newest first; entry 0's state
// is the slot's present state.
using cKeyHistory = cSafeVector<cKeyHistEntry>;

inline constexpr int kKeyRingLength = 32;
inline constexpr int kKeyHistoryLength = 32;
inline constexpr int kDirSlotCount = 10;
inline constexpr int kButtonSlotCount = 9;
inline constexpr int kButtonCount = 8;

// Direction bits.
inline constexpr uint16_t kDirLeft = 1;
inline constexpr uint16_t kDirRight = 2;
inline constexpr uint16_t kDirUp = 4;
inline constexpr uint16_t kDirDown = 8;
inline constexpr uint16_t kDirAll = 15;

// Button bits: what the menus and the game scene's own prompts read.
inline constexpr uint16_t kButtonDecide = 1;
inline constexpr uint16_t kButtonCancel = 2;
inline constexpr uint16_t kButtonRanking = 4;
inline constexpr uint16_t kButtonGenre = 8;

// The key-repeat timing start-up gives every device, in frames.
inline constexpr int kKeyRepeatDelay = 18;
inline constexpr int kKeyRepeatInterval = 6;

// The joystick retry the frame's poll passes: a failed joystick rests twice
// as many frames.
inline constexpr int kJoystickRetryFrames = 60;

// The direction number of no direction.
inline constexpr int kDirNone = 5;

// The direction word each direction slot 0 to 8 stands for.
inline constexpr uint16_t kDirSlotWords[kDirSlotCount - 1] = {0, 1, 2, 4, 8, 5, 9, 6, 10};

// The two channels of the rings and of a replay.
enum eKeyChannel : int {
  KEY_CHANNEL_DIR = 0,
  KEY_CHANNEL_BUTTONS = 1,
};

// Flags of PollDefault.
inline constexpr int kPollJoystick = 1;
inline constexpr int kPollKeyboard = 2;

// Joystick axis codes of a configured entry (and of AxisPressed).
enum eJoyAxisCode : int {
  JOY_AXIS_LEFT = 256,   // X at most kJoyLowThreshold
  JOY_AXIS_RIGHT = 512,  // X above kJoyHighThreshold
  JOY_AXIS_UP = 1024,    // Y at most kJoyLowThreshold
  JOY_AXIS_DOWN = 2048,  // Y above kJoyHighThreshold
};
inline constexpr uint32_t kJoyLowThreshold = 10000;
inline constexpr uint32_t kJoyHighThreshold = 55534;

namespace plat {
struct sJoyReading;
}

class cKeyInput {
 public:
  // Both rings {0, 0} at position 0, the 19 histories of 32 entries {0, 0},
  // the retry counter 0.
  cKeyInput();

  // The same on an existing record: rings and positions cleared, the history
  // lists made 10 and 9 long (added histories are 32 entries {0, 0}, surplus
  // ones removed), retry counter 0. Words, repeat timing, masks and latch stay.
  void Reset();
  // Button mask i = 1 << i, for i = 0 to 7.
  void InitButtonMasks();
  // Key-repeat delay and interval, in frames (start-up gives 18 and 6).
  void SetRepeat(int delay, int interval);

  // ---- polling (once a frame) ----

  // The fixed mapping: joystick `joystick` when flags has kPollJoystick, the
  // arrow keys and Z X C V A S D F when it has kPollKeyboard; the keyboard
  // fills only the word the joystick left empty. 1, or 0 without doing
  // anything while the key configuration's use flag is set. After a failed
  // joystick read the joystick rests 2 x `retry` frames.
  int PollDefault(int joystick, int flags, int retry);
  // Through the key configuration: left over right, up over down, buttons 1
  // to entry count - 4. 1, or 0 without doing anything while its use flag is
  // clear.
  int PollConfigured(int retry);
  // 1 when `code` is one of the four axis codes and the reading is past its
  // threshold; 0 otherwise.
  static int AxisPressed(const plat::sJoyReading& reading, int code);

  // ---- per-frame bookkeeping ----

  // The direction number of a word: 4 for left, else 6 for right, else 5;
  // then 3 less for up, else 3 more for down. (Left and right together give
  // 4, unlike a live poll, which gives 5.)
  static int DirectionFromWord(int word);
  // Pushes the present words into the two rings.
  void UpdateRings();
  // The channel's word n frames ago (n = 0: the present word). When the 32
  // runs together cover fewer than n + 1 frames, the newest word.
  int WordAtFramesAgo(int channel, int n) const;
  // Updates the 19 histories from the present words.
  void UpdateHistories();
  // One slot: the new state is (word & value) != 0 with `bitTest`, word ==
  // value without. A change puts {state, 1} in front (the last run drops
  // off); otherwise run 0 grows by one frame.
  static void UpdateHistory(cKeyHistory& history, int word, int value, bool bitTest);
  void ResetRings();
  void ResetHistories();
  void ClearDirections();
  void ClearButtons();

  // ---- menu filters ----

  // Key repeat: a direction shows on the frame it changes, then, held, on
  // every `interval`-th frame from the `delay`-th on; the horizontal and the
  // vertical pair count apart.
  void RepeatDirections();
  // Press-once over the masked buttons (0: all eight): a press shows on one
  // frame only, and nothing masked shows again until every masked button is
  // up. Unmasked buttons pass untouched.
  void PressOnce(int mask);

  // The newest run of a channel's ring (tests and traces).
  const cKeyRingEntry& NewestRun(int channel) const;

  // ---- members, in order ----
  uint16_t m_Dir = 0;
  uint16_t m_Buttons = 0;
  // The direction words RepeatDirections saw, four bits each, the latest in
  // bits 0 to 3.
  uint16_t m_DirShift = 0;
  std::array<cKeyRingEntry, kKeyRingLength> m_DirRing{};
  std::array<cKeyRingEntry, kKeyRingLength> m_ButtonRing{};
  int32_t m_DirRingPos = 0;
  int32_t m_ButtonRingPos = 0;
  cSafeVector<cKeyHistory> m_DirHistory;
  cSafeVector<cKeyHistory> m_ButtonHistory;
  int32_t m_DirNumber = kDirNone;
  int32_t m_RepeatCountH = 0;
  int32_t m_RepeatCountV = 0;
  int32_t m_RepeatDelay = 0;
  int32_t m_RepeatInterval = 0;
  int32_t m_PressLatch = 0;
  std::array<uint16_t, kButtonCount> m_ButtonMask{};
  int32_t m_JoyOk = 0;
  int32_t m_JoyRetry = 0;

 private:
  // Reads joystick `joystick` unless a failure's rest runs: 0 and the reading
  // when it was read, -1 when it was not read this frame, the source's
  // non-zero result when the read failed.
  int ReadJoystick(int joystick, int retry, plat::sJoyReading& reading);
  void ReadJoystickDirections(const plat::sJoyReading& reading);
  void ReadJoystickButtons(const plat::sJoyReading& reading);
};

// The key devices: one element, device 0. Defined with every global object in
// app/Globals.cpp.
extern cSafeVector<cKeyInput> g_KeyInput;

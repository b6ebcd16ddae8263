#include "world/KeyInput.h"

#include <algorithm>
#include <limits>

#include "platform/KeySource.h"
#include "world/KeyConfig.h"

namespace {

constexpr int32_t kMaxRunFrames = std::numeric_limits<int32_t>::max();

// The keyboard keys of the fixed mapping: the arrows with their direction bit
// and step of the direction number, then the letters of buttons 1 to 8.
struct sArrowKey {
  int key;
  uint16_t bit;
  int numberStep;
};
constexpr sArrowKey kArrowKeys[] = {
    {plat::VK_LEFT, kDirLeft, -1},
    {plat::VK_RIGHT, kDirRight, 1},
    {plat::VK_UP, kDirUp, -3},
    {plat::VK_DOWN, kDirDown, 3},
};
constexpr int kDefaultButtonKeys[kButtonCount] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};

cKeyHistory EmptyHistory() { return cKeyHistory(kKeyHistoryLength); }

void ResizeHistories(cSafeVector<cKeyHistory>& histories, int count) {
  histories.resize(static_cast<std::size_t>(count), EmptyHistory());
}

void PushRun(std::array<cKeyRingEntry, kKeyRingLength>& ring, int32_t& position, uint16_t word) {
  cKeyRingEntry& newest = ring[static_cast<std::size_t>(position)];
  if (newest.m_Word == word) {
    if (newest.m_Frames < kMaxRunFrames) ++newest.m_Frames;
    return;
  }
  position = (position + 1) % kKeyRingLength;
  ring[static_cast<std::size_t>(position)] = cKeyRingEntry{word, 1};
}

// The direction word and number of the four direction inputs, left over right
// and up over down.
void SetDirections(cKeyInput& keys, bool left, bool right, bool up, bool down) {
  keys.m_DirNumber = kDirNone;
  keys.m_Dir = 0;
  if (left) {
    keys.m_Dir |= kDirLeft;
    keys.m_DirNumber -= 1;
  } else if (right) {
    keys.m_Dir |= kDirRight;
    keys.m_DirNumber += 1;
  }
  if (up) {
    keys.m_Dir |= kDirUp;
    keys.m_DirNumber -= 3;
  } else if (down) {
    keys.m_Dir |= kDirDown;
    keys.m_DirNumber += 3;
  }
}

}  // namespace

cKeyInput::cKeyInput() {
  ResizeHistories(m_DirHistory, kDirSlotCount);
  ResizeHistories(m_ButtonHistory, kButtonSlotCount);
}

void cKeyInput::Reset() {
  ResetRings();
  ResizeHistories(m_DirHistory, kDirSlotCount);
  ResizeHistories(m_ButtonHistory, kButtonSlotCount);
  m_JoyRetry = 0;
}

void cKeyInput::InitButtonMasks() {
  for (int i = 0; i < kButtonCount; ++i) m_ButtonMask[static_cast<std::size_t>(i)] = static_cast<uint16_t>(1u << i);
}

void cKeyInput::SetRepeat(int delay, int interval) {
  m_RepeatDelay = delay;
  m_RepeatInterval = interval;
}

// ---- polling ------------------------------------------------------------------

int cKeyInput::ReadJoystick(int joystick, int retry, plat::sJoyReading& reading) {
  if (m_JoyOk != 1 && m_JoyRetry >= 1) {
    --m_JoyRetry;
    return -1;
  }
  const int status = plat::ReadJoystick(joystick, reading);
  if (status != 0) {
    m_JoyOk = 0;
    // The product of a huge retry from a caller must not wrap.
    m_JoyRetry = static_cast<int32_t>(std::clamp<int64_t>(int64_t{retry} * 2, 0, kMaxRunFrames));
  } else {
    m_JoyOk = 1;
  }
  return status;
}

void cKeyInput::ReadJoystickDirections(const plat::sJoyReading& reading) {
  SetDirections(*this, reading.x <= kJoyLowThreshold, reading.x > kJoyHighThreshold, reading.y <= kJoyLowThreshold,
                reading.y > kJoyHighThreshold);
}

void cKeyInput::ReadJoystickButtons(const plat::sJoyReading& reading) {
  m_Buttons = 0;
  for (int i = 0; i < kButtonCount; ++i) {
    if ((reading.buttons & m_ButtonMask[static_cast<std::size_t>(i)]) != 0) m_Buttons |= static_cast<uint16_t>(1u << i);
  }
}

int cKeyInput::PollDefault(int joystick, int flags, int retry) {
  if (g_KeyConfig.m_UseConfig != 0) return 0;
  bool joystickDirection = false;
  bool joystickButtons = false;
  plat::sJoyReading reading;
  if (ReadJoystick(joystick, retry, reading) == 0 && (flags & kPollJoystick) != 0) {
    ReadJoystickDirections(reading);
    ReadJoystickButtons(reading);
    joystickDirection = m_DirNumber != kDirNone;
    joystickButtons = m_Buttons != 0;
  }
  if ((flags & kPollKeyboard) == 0) return 1;

  if (!joystickDirection) {
    // Every arrow counts, so left and right held together set both bits and
    // cancel out in the number.
    m_DirNumber = kDirNone;
    m_Dir = 0;
    for (const sArrowKey& arrow : kArrowKeys) {
      if (!plat::IsKeyHeld(arrow.key)) continue;
      m_Dir |= arrow.bit;
      m_DirNumber += arrow.numberStep;
    }
  }
  if (!joystickButtons) {
    m_Buttons = 0;
    for (int i = 0; i < kButtonCount; ++i) {
      if (plat::IsKeyHeld(kDefaultButtonKeys[i])) m_Buttons |= static_cast<uint16_t>(1u << i);
    }
  }
  return 1;
}

int cKeyInput::PollConfigured(int retry) {
  if (g_KeyConfig.m_UseConfig == 0) return 0;
  const int joysticks = g_KeyConfig.UsableJoystickCount();
  std::array<int, plat::kMaxJoysticks> status{};
  std::array<plat::sJoyReading, plat::kMaxJoysticks> readings{};
  for (int j = 0; j < joysticks; ++j) {
    status[static_cast<std::size_t>(j)] = ReadJoystick(j, retry, readings[static_cast<std::size_t>(j)]);
  }
  const auto held = [&](int entry) {
    const cKeyConfigEntry& config = g_KeyConfig.m_Entries[static_cast<std::size_t>(entry)];
    if (config.m_Device == kKeyConfigKeyboard) return plat::IsKeyHeld(config.m_Code);
    // A joystick that was not read this frame, or is not one the
    // configuration reads, holds nothing.
    if (config.m_Device >= static_cast<uint32_t>(joysticks)) return false;
    const std::size_t j = config.m_Device;
    if (status[j] != 0) return false;
    return AxisPressed(readings[j], config.m_Code) != 0 || (readings[j].buttons & config.m_Code) != 0;
  };
  SetDirections(*this, held(0), held(1), held(2), held(3));
  m_Buttons = 0;
  const int entries = g_KeyConfig.UsableEntryCount();
  for (int k = 4; k < entries; ++k) {
    if (held(k)) m_Buttons |= static_cast<uint16_t>(1u << (k - 4));
  }
  return 1;
}

int cKeyInput::AxisPressed(const plat::sJoyReading& reading, int code) {
  switch (code) {
    case JOY_AXIS_LEFT: return reading.x <= kJoyLowThreshold ? 1 : 0;
    case JOY_AXIS_RIGHT: return reading.x > kJoyHighThreshold ? 1 : 0;
    case JOY_AXIS_UP: return reading.y <= kJoyLowThreshold ? 1 : 0;
    case JOY_AXIS_DOWN: return reading.y > kJoyHighThreshold ? 1 : 0;
    default: return 0;
  }
}

// ---- per-frame bookkeeping ------------------------------------------------------

int cKeyInput::DirectionFromWord(int word) {
  int number = kDirNone;
  if ((word & kDirLeft) != 0) {
    number = 4;
  } else if ((word & kDirRight) != 0) {
    number = 6;
  }
  if ((word & kDirUp) != 0) {
    number -= 3;
  } else if ((word & kDirDown) != 0) {
    number += 3;
  }
  return number;
}

void cKeyInput::UpdateRings() {
  PushRun(m_DirRing, m_DirRingPos, m_Dir);
  PushRun(m_ButtonRing, m_ButtonRingPos, m_Buttons);
}

int cKeyInput::WordAtFramesAgo(int channel, int n) const {
  const auto& ring = channel == KEY_CHANNEL_DIR ? m_DirRing : m_ButtonRing;
  int i = channel == KEY_CHANNEL_DIR ? m_DirRingPos : m_ButtonRingPos;
  // Frames still to walk back, the present frame included.
  int64_t left = int64_t{n} + 1;
  for (int step = 0; step < kKeyRingLength; ++step) {
    const int32_t frames = ring[static_cast<std::size_t>(i)].m_Frames;
    if (frames >= left) break;
    left -= frames;
    i = (i + kKeyRingLength - 1) % kKeyRingLength;
  }
  return ring[static_cast<std::size_t>(i)].m_Word;
}

void cKeyInput::UpdateHistory(cKeyHistory& history, int word, int value, bool bitTest) {
  if (history.empty()) history = EmptyHistory();
  const int32_t state = (bitTest ? (word & value) != 0 : word == value) ? 1 : 0;
  if (history[0].m_State != state) {
    std::move_backward(history.begin(), history.end() - 1, history.end());
    history[0] = cKeyHistEntry{state, 1};
  } else if (history[0].m_Frames < kMaxRunFrames) {
    ++history[0].m_Frames;
  }
}

void cKeyInput::UpdateHistories() {
  for (int slot = 0; slot < kDirSlotCount - 1; ++slot) {
    UpdateHistory(m_DirHistory[slot], m_Dir, kDirSlotWords[slot], false);
  }
  UpdateHistory(m_DirHistory[kDirSlotCount - 1], m_Dir, kDirAll, true);
  UpdateHistory(m_ButtonHistory[0], m_Buttons, 0, false);
  for (int slot = 1; slot < kButtonSlotCount; ++slot) {
    UpdateHistory(m_ButtonHistory[slot], m_Buttons, 1 << (slot - 1), true);
  }
}

void cKeyInput::ResetRings() {
  m_DirRing.fill(cKeyRingEntry{});
  m_ButtonRing.fill(cKeyRingEntry{});
  m_DirRingPos = 0;
  m_ButtonRingPos = 0;
}

void cKeyInput::ResetHistories() {
  m_DirHistory.assign(kDirSlotCount, EmptyHistory());
  m_ButtonHistory.assign(kButtonSlotCount, EmptyHistory());
}

void cKeyInput::ClearDirections() {
  m_Dir = 0;
  m_DirNumber = kDirNone;
}

void cKeyInput::ClearButtons() { m_Buttons = 0; }

const cKeyRingEntry& cKeyInput::NewestRun(int channel) const {
  return channel == KEY_CHANNEL_DIR ? m_DirRing[static_cast<std::size_t>(m_DirRingPos)]
                                    : m_ButtonRing[static_cast<std::size_t>(m_ButtonRingPos)];
}

// ---- menu filters ----------------------------------------------------------------

namespace {

// One pair of direction bits under key repeat: kept on the frame the pair
// changes and on every interval-th frame of a hold from the delay on.
void RepeatPair(uint16_t& dir, int previous, int32_t& count, int bits, int delay, int interval) {
  if ((previous & bits) != (dir & bits)) {
    count = 0;
    return;
  }
  if (count < kMaxRunFrames) ++count;
  // An interval of 0 or less would divide by zero: such a hold never repeats.
  const bool repeats = count >= delay && interval > 0 && count % interval == 0;
  if (!repeats) dir = static_cast<uint16_t>(dir & ~bits);
}

}  // namespace

void cKeyInput::RepeatDirections() {
  const uint16_t polled = m_Dir;
  const int previous = m_DirShift & kDirAll;
  m_DirShift = static_cast<uint16_t>(polled | (m_DirShift << 4));
  RepeatPair(m_Dir, previous, m_RepeatCountH, kDirLeft | kDirRight, m_RepeatDelay, m_RepeatInterval);
  RepeatPair(m_Dir, previous, m_RepeatCountV, kDirUp | kDirDown, m_RepeatDelay, m_RepeatInterval);
}

void cKeyInput::PressOnce(int mask) {
  if (mask == 0) mask = 0xFF;
  const bool anyHeldOnEntry = (m_Buttons & mask) != 0;
  for (int i = 0; i < kButtonCount; ++i) {
    const int bit = 1 << i;
    if ((mask & bit) == 0) continue;
    const bool held = (m_Buttons & bit) != 0;
    if (m_PressLatch == 1 && held) m_Buttons = static_cast<uint16_t>(m_Buttons & ~bit);
    if (held && m_PressLatch == 0) {
      m_PressLatch = 1;
      return;
    }
  }
  if (anyHeldOnEntry) {
    m_Buttons = static_cast<uint16_t>(m_Buttons & ~mask);
  } else {
    m_PressLatch = 0;
  }
}

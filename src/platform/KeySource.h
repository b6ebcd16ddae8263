#pragma once
// Where the game reads the keyboard and the joysticks. The game asks, once a
// frame and from whichever thread runs the frame, two things: is a key held
// right now (by its Windows virtual-key code, VirtualKeys.h), and what does
// joystick n read (two axes and the buttons). It never waits for messages.
//
// One source serves the whole process (SetKeySource). Without one no key is
// held and every joystick read fails, as on a machine without them.
//
//   cSdlKeySource       the real keyboard and joysticks. The main thread owns
//                       SDL: its window's event pump hands every key and
//                       joystick event to TakeEvent and calls
//                       RefreshJoysticks after each pump; the game thread only
//                       reads the state those calls left (thread-safe).
//   cScriptedKeySource  keys and joystick readings set by a test or a
//                       headless run; no SDL.
//
// A joystick reading is what the game's joystick code expects of the classic
// interface: X and Y as unsigned values 0..65535 (centre 32768, left and up
// small), and bit i of the button word set while button i is held (32
// buttons at most). A read of a joystick that is not there fails with a
// non-zero result, so the caller's retry timing runs whatever the reason.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/VirtualKeys.h"

namespace plat {

struct sJoyReading {
  std::uint32_t x = 32768;
  std::uint32_t y = 32768;
  std::uint32_t buttons = 0;
};

// The joysticks a source reports, by SDL device index 0..15.
inline constexpr int kMaxJoysticks = 16;

class cKeySource {
 public:
  virtual ~cKeySource() = default;
  // True while the key with this virtual-key code is held. Codes outside
  // 1..254 and codes of keys the machine lacks are never held.
  virtual bool IsKeyHeld(int virtualKey) = 0;
  // 0 and the reading when joystick `index` could be read; non-zero (the
  // reading untouched) when it is not attached or the index is out of range.
  virtual int ReadJoystick(int index, sJoyReading& reading) = 0;
};

// Installs the process's source; null removes it. The caller keeps ownership
// and removes it before destroying it.
void SetKeySource(cKeySource* source);
cKeySource* GetKeySource();

// The installed source's answers (nothing held and failed reads without one).
bool IsKeyHeld(int virtualKey);
int ReadJoystick(int index, sJoyReading& reading);

// ---- scripted ------------------------------------------------------------------

// Tests and headless runs set what is held. Safe to set from one thread while
// another reads.
class cScriptedKeySource final : public cKeySource {
 public:
  cScriptedKeySource();

  void SetKey(int virtualKey, bool held);
  void ReleaseAllKeys();
  // Attaches joystick `index` with this reading (a second call changes it).
  void SetJoystick(int index, const sJoyReading& reading);
  // The joystick is no longer attached: its reads fail.
  void RemoveJoystick(int index);
  // Joystick reads made so far (attached or not).
  int JoystickReadCount() const { return m_JoystickReads.load(); }

  bool IsKeyHeld(int virtualKey) override;
  int ReadJoystick(int index, sJoyReading& reading) override;

 private:
  std::array<std::atomic<bool>, kVirtualKeyCount> m_Keys;
  mutable std::mutex m_JoystickMutex;
  std::array<bool, kMaxJoysticks> m_Attached{};
  std::array<sJoyReading, kMaxJoysticks> m_Readings{};
  std::atomic<int> m_JoystickReads{0};
};

// ---- SDL -------------------------------------------------------------------------

class cSdlKeySource final : public cKeySource {
 public:
  // Main thread: starts SDL's joystick subsystem (joysticks attached now or
  // later are opened by RefreshJoysticks). Without joysticks support the
  // keyboard still works and every joystick read fails.
  static std::unique_ptr<cSdlKeySource> Create();
  ~cSdlKeySource() override;
  cSdlKeySource(const cSdlKeySource&) = delete;
  cSdlKeySource& operator=(const cSdlKeySource&) = delete;

  // Main thread: takes a key event (SDL_KEYDOWN / SDL_KEYUP, repeats
  // ignored) into the key state; true when the event was one. Other events
  // are left to the caller.
  bool TakeEvent(const void* sdlEvent);
  // Main thread, after each pump: opens joysticks that arrived, closes those
  // that left, and copies what every attached one reads for the game thread.
  void RefreshJoysticks();
  // Main thread: every key counts as released (the window lost the keyboard).
  void ReleaseAllKeys();

  bool IsKeyHeld(int virtualKey) override;
  int ReadJoystick(int index, sJoyReading& reading) override;

  // Tests: a virtual joystick plugged in, moved and pulled out again, as a
  // device would be. Attach returns its id for the other two (-1 when SDL
  // cannot make one); the state shows after the next RefreshJoysticks.
  // Axis values are SDL's (-32768..32767).
  int AttachVirtualJoystickForTests(int buttons);
  void SetVirtualJoystickForTests(int id, int x, int y, std::uint32_t buttons);
  void DetachVirtualJoystickForTests(int id);

 private:
  struct sImpl;
  explicit cSdlKeySource(std::unique_ptr<sImpl> impl);
  void SetScancode(int scancode, bool down);

  std::unique_ptr<sImpl> m_Impl;
  // Per virtual-key code, the number of keys now down that carry it (both
  // shift keys carry 0x10): written by the main thread, read by any.
  std::array<std::atomic<int>, kVirtualKeyCount> m_HeldCount;
  std::vector<bool> m_ScancodeDown;  // main thread only
  mutable std::mutex m_JoystickMutex;
  std::array<bool, kMaxJoysticks> m_Attached{};
  std::array<sJoyReading, kMaxJoysticks> m_Readings{};
};

}  // namespace plat

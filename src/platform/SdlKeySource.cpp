#include <SDL.h>

#include <algorithm>
#include <map>

#include "platform/KeySource.h"

namespace plat {
namespace {

// SDL axis values (-32768..32767) as the unsigned 0..65535 of a joystick
// reading: left and up are small.
std::uint32_t AxisReading(SDL_Joystick* joystick, int axis) {
  if (axis >= SDL_JoystickNumAxes(joystick)) return 32768;
  return static_cast<std::uint32_t>(static_cast<int>(SDL_JoystickGetAxis(joystick, axis)) + 32768);
}

std::uint32_t ButtonReading(SDL_Joystick* joystick) {
  const int count = std::min(SDL_JoystickNumButtons(joystick), 32);
  std::uint32_t buttons = 0;
  for (int i = 0; i < count; ++i) {
    if (SDL_JoystickGetButton(joystick, i) != 0) buttons |= 1u << i;
  }
  return buttons;
}

}  // namespace

struct cSdlKeySource::sImpl {
  bool joysticksStarted = false;
  // Open joysticks by their SDL instance id.
  std::map<SDL_JoystickID, SDL_Joystick*> open;

  ~sImpl() {
    for (auto& entry : open) SDL_JoystickClose(entry.second);
    if (joysticksStarted) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
};

std::unique_ptr<cSdlKeySource> cSdlKeySource::Create() {
  auto impl = std::make_unique<sImpl>();
  // The game reads joysticks whether or not its window has the focus, as it
  // reads the keyboard.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  impl->joysticksStarted = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  return std::unique_ptr<cSdlKeySource>(new cSdlKeySource(std::move(impl)));
}

cSdlKeySource::cSdlKeySource(std::unique_ptr<sImpl> impl)
    : m_Impl(std::move(impl)), m_ScancodeDown(SDL_NUM_SCANCODES, false) {
  for (std::atomic<int>& count : m_HeldCount) count.store(0);
}

cSdlKeySource::~cSdlKeySource() = default;

void cSdlKeySource::SetScancode(int scancode, bool down) {
  if (scancode <= 0 || scancode >= SDL_NUM_SCANCODES) return;
  if (m_ScancodeDown[static_cast<std::size_t>(scancode)] == down) return;
  m_ScancodeDown[static_cast<std::size_t>(scancode)] = down;
  const int generic = VirtualKeyFromScancode(scancode);
  const int sided = SidedVirtualKeyFromScancode(scancode);
  const int step = down ? 1 : -1;
  if (generic != 0) m_HeldCount[static_cast<std::size_t>(generic)].fetch_add(step);
  if (sided != 0 && sided != generic) m_HeldCount[static_cast<std::size_t>(sided)].fetch_add(step);
}

bool cSdlKeySource::TakeEvent(const void* sdlEvent) {
  const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
  if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
  if (event.type == SDL_KEYDOWN && event.key.repeat != 0) return true;
  SetScancode(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
  return true;
}

void cSdlKeySource::ReleaseAllKeys() {
  for (int scancode = 1; scancode < SDL_NUM_SCANCODES; ++scancode) SetScancode(scancode, false);
}

void cSdlKeySource::RefreshJoysticks() {
  std::array<bool, kMaxJoysticks> attached{};
  std::array<sJoyReading, kMaxJoysticks> readings{};
  if (m_Impl->joysticksStarted) {
    SDL_JoystickUpdate();
    auto& open = m_Impl->open;
    for (auto it = open.begin(); it != open.end();) {
      if (SDL_JoystickGetAttached(it->second)) {
        ++it;
      } else {
        SDL_JoystickClose(it->second);
        it = open.erase(it);
      }
    }
    // Device indexes are what the key configuration numbers joysticks by;
    // they close up when a device leaves.
    const int count = std::min(SDL_NumJoysticks(), kMaxJoysticks);
    for (int index = 0; index < count; ++index) {
      const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
      auto found = open.find(id);
      if (found == open.end()) {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr) continue;
        found = open.emplace(SDL_JoystickInstanceID(joystick), joystick).first;
      }
      SDL_Joystick* joystick = found->second;
      attached[static_cast<std::size_t>(index)] = true;
      readings[static_cast<std::size_t>(index)] = {AxisReading(joystick, 0), AxisReading(joystick, 1),
                                                    ButtonReading(joystick)};
    }
  }
  std::lock_guard lock(m_JoystickMutex);
  m_Attached = attached;
  m_Readings = readings;
}

bool cSdlKeySource::IsKeyHeld(int virtualKey) {
  if (virtualKey <= 0 || virtualKey >= kVirtualKeyCount - 1) return false;
  return m_HeldCount[static_cast<std::size_t>(virtualKey)].load() > 0;
}

int cSdlKeySource::ReadJoystick(int index, sJoyReading& reading) {
  if (index < 0 || index >= kMaxJoysticks) return 1;
  std::lock_guard lock(m_JoystickMutex);
  if (!m_Attached[static_cast<std::size_t>(index)]) return 1;
  reading = m_Readings[static_cast<std::size_t>(index)];
  return 0;
}

int cSdlKeySource::AttachVirtualJoystickForTests(int buttons) {
  if (!m_Impl->joysticksStarted) return -1;
  const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, buttons, 0);
  if (device < 0) return -1;
  return static_cast<int>(SDL_JoystickGetDeviceInstanceID(device));
}

void cSdlKeySource::SetVirtualJoystickForTests(int id, int x, int y, std::uint32_t buttons) {
  SDL_Joystick* joystick = SDL_JoystickFromInstanceID(static_cast<SDL_JoystickID>(id));
  if (joystick == nullptr) return;
  SDL_JoystickSetVirtualAxis(joystick, 0, static_cast<Sint16>(x));
  SDL_JoystickSetVirtualAxis(joystick, 1, static_cast<Sint16>(y));
  const int count = std::min(SDL_JoystickNumButtons(joystick), 32);
  for (int i = 0; i < count; ++i) {
    SDL_JoystickSetVirtualButton(joystick, i, (buttons >> i) & 1u ? SDL_PRESSED : SDL_RELEASED);
  }
}

void cSdlKeySource::DetachVirtualJoystickForTests(int id) {
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    if (SDL_JoystickGetDeviceInstanceID(index) == static_cast<SDL_JoystickID>(id)) {
      SDL_JoystickDetachVirtual(index);
      return;
    }
  }
}

}  // namespace plat

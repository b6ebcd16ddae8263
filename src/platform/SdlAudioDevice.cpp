// The audio device over SDL: SDL's audio thread pulls the mix.

#include <SDL.h>

#include "platform/AudioDevice.h"

namespace plat {

namespace {
// About 23 ms a buffer: short enough for sound effects to follow the game,
// long enough for the music synthesiser to keep up on a small machine.
constexpr Uint16 kBufferFrames = 1024;
}  // namespace

std::unique_ptr<cSdlAudioDevice> cSdlAudioDevice::Open(std::string* error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error != nullptr) *error = std::string("SDL audio cannot start: ") + SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<cSdlAudioDevice> device(new cSdlAudioDevice);
  SDL_AudioSpec wanted{};
  wanted.freq = kAudioRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kAudioChannels;
  wanted.samples = kBufferFrames;
  wanted.callback = &cSdlAudioDevice::Callback;
  wanted.userdata = device.get();
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts to whatever the output runs at.
  device->m_DeviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device->m_DeviceId == 0) {
    if (error != nullptr) *error = std::string("no audio output: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(device->m_DeviceId, 0);
  return device;
}

cSdlAudioDevice::~cSdlAudioDevice() {
  if (m_DeviceId == 0) return;
  SDL_CloseAudioDevice(m_DeviceId);  // waits for a callback in progress
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void cSdlAudioDevice::Callback(void* device, std::uint8_t* stream, int bytes) {
  const int frames = bytes / static_cast<int>(sizeof(std::int16_t) * kAudioChannels);
  static_cast<cSdlAudioDevice*>(device)->MixOutput(reinterpret_cast<std::int16_t*>(stream), frames, false);
}

}  // namespace plat

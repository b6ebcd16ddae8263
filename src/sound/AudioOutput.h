#pragma once
// The one audio device of the process, shared by the sound effects and both
// music players (platform/AudioDevice.h).
//
// It is opened on first use: through SDL, or, when SDL has no audio output,
// as a null device (a line in the report says so, and the player goes on
// silently). Whoever uses it keeps a shared pointer, so the device closes
// when its last user lets go after CloseAudioOutput.
//
// Tests and the headless runner install a factory that makes an offline
// device instead.

#include <functional>
#include <memory>

#include "platform/AudioDevice.h"

using AudioDeviceFactory = std::function<std::shared_ptr<plat::cAudioDevice>()>;

// The device, opened when there is none.
std::shared_ptr<plat::cAudioDevice> OpenAudioOutput();

// The device if one is open; null otherwise.
std::shared_ptr<plat::cAudioDevice> CurrentAudioOutput();

// Forgets the process's device; those who still hold it keep it alive.
void CloseAudioOutput();

// Makes the device of later opens; an empty factory restores SDL with the
// null fallback. A device already open stays.
void SetAudioDeviceFactory(AudioDeviceFactory factory);

#pragma once
// The Ogg library built into the player: its player objects are Ogg Vorbis
// players (platform/OggPlayer.h) on the process's audio device.

#include <memory>

#include "sound/VoxPlayer.h"

// The library's entry point: a new, empty player object.
std::unique_ptr<IVox> CreateOggVox();

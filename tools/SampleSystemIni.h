#pragma once
// The sample game's System.ini: the start-up choices a player of the sample
// game wants on a desktop (a window rather than full screen, the frame rate
// shown), in the player's own line format.

#include <filesystem>
#include <string>

namespace samplegame {

// The file's bytes.
std::string MakeSystemIni();

// Writes System.ini into the Linux folder `workingFolder`. False, with the
// reason in `error`, when the file could not be written.
bool WriteSampleSystemIni(const std::filesystem::path& workingFolder, std::string& error);

}  // namespace samplegame

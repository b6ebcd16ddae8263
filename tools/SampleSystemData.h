#pragma once
// The sample game's system data (System.dat): its title, the system sounds,
// the music of the menu scenes and the rules of its three stages; every other
// setting keeps the default of a new game.

#include <filesystem>
#include <string>

#include "data/Database.h"
#include "data/SystemData.h"

namespace samplegame {

// The system data; its scene music names entries of `db`'s music list.
cSystemData MakeSystemData(const cDatabase& db);

// Writes System.dat into the Linux folder `root` (the data tree's root). False,
// with the reason in `error`, when the file could not be written.
bool WriteSampleSystemData(const std::filesystem::path& root, std::string& error);

}  // namespace samplegame

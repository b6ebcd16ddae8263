#pragma once
// The sample game: a complete small game written with the player's own record
// writers, so that a fresh build has something to play and the loaders have a
// whole data tree to read in tests.
//
// The tree (the player's data\ folder, shipped as default\):
//   database\  the ten databases (animations, an effect, sounds, music, ...)
//   WorldMap.dat        three stage nodes along a path, each opened by the
//                       clear of the one before, and the ending's node
//                       after them, whose clear ends the story on the title
//   CommonPalette.cplt4 the blocks, characters and items every stage uses
//   stg4\c01-1.stg4_781, c02-1.stg4_781, c03-1.stg4_781, ending.stg4_781
//                       three stages: walkers that turn at walls, shooters,
//                       items, a goal item that clears the stage, and on the
//                       third a boss whose death clears it
//   System.dat          the title, menus, messages and scene music
// Beside it, in the working folder: the bitmaps of the fixed surface table
// under bmp\ (with bmp\plt\Palette.bmp) and the stage backgrounds
// (SampleBitmaps.h), the sound effects and the music (SampleSounds.h).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/Database.h"
#include "data/Palette.h"
#include "data/StageData.h"
#include "data/WorldMap.h"

namespace samplegame {

// One stage file of the game: its name under stg4\ and its stage.
struct cSampleStage {
  std::string m_strFileName;
  cStageData m_Stage;
};

// The number of stages the game has.
inline constexpr int kStageCount = 3;

// The stage files as the world map names them (program paths relative to the
// player's working folder, without the version number).
std::string StagePathForWorldMap(int nStage);

// A copy of a palette definition (block, character or item) placed on stage
// cell (x, y).
template <class tDef>
tDef PlaceAt(const tDef& definition, int x, int y) {
  tDef placed = definition;
  placed.m_nCellX = static_cast<int16_t>(x);
  placed.m_nCellY = static_cast<int16_t>(y);
  return placed;
}

cDatabase MakeDatabase();

// The bytes of database file `index` of `db` (the load order of
// kDatabaseFileNames), as the player reads them.
std::vector<std::uint8_t> DatabaseFileBytes(cDatabase& db, int index);
cPalette MakeCommonPalette();
cWorldMap MakeWorldMap();
// The stages, built against `common` (placed definitions are copies of its entries).
std::vector<cSampleStage> MakeStages(const cPalette& common);
// The ending, a stage of its own after the last one, built against `common`.
cSampleStage MakeEnding(const cPalette& common);
// The ending as the world map names it.
inline constexpr const char* kEndingPathForWorldMap = "data\\stg4\\ending.stg4";

// Writes the tree into the Linux folder `root` (created when missing; files
// already there are replaced). False, with the reason in `error`, when a
// folder or a file could not be written.
bool WriteSampleGame(const std::filesystem::path& root, std::string& error);

}  // namespace samplegame

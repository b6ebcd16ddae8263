#pragma once
// The fixed relative paths of the game's data, default and user files, and the
// data-file extensions. The player runs in the folder that holds data\ (the
// game, written by the editor), default\ (a complete fresh copy of data\) and
// user_data\ (the player's own files). Paths are program paths: CP932,
// backslashes, resolved to Linux paths at the file-system boundary.
//
// Entries are addressed by position, so their order is fixed; the names below
// give the positions the player uses.

#include <array>
#include <cstddef>

inline constexpr std::size_t kPathCount = 48;

// The 48 paths, in their fixed order. Several entries are kept only to hold
// their positions; nothing in the player reads them.
extern const std::array<const char*, kPathCount> g_PathTable;

enum ePathIndex : int {
  PATH_DATA = 0,                 // "data\": the folder test of CreateDefaultData; the ranking files' prefix
  PATH_DEFAULT = 1,              // "default\"
  PATH_COMMON_PALETTE = 7,       // "data\CommonPalette.cplt4"
  PATH_WORLD_MAP = 13,           // "data\WorldMap.dat"
  PATH_DB_ANIME_SET = 15,        // "data\database\AnimeSet.dat"
  PATH_DB_ANIME = 17,            // "data\database\Anime.dat"
  PATH_DB_BMP_CHARA_EXC = 19,    // "data\database\Bmp_CharaExc.dat"
  PATH_DB_SWORD_TYPE = 21,       // "data\database\SwordType.dat"
  PATH_DB_EFFECT = 23,           // "data\database\Effect.dat"
  PATH_DB_CHARA_EFFECT = 25,     // "data\database\CharaEffect.dat"
  PATH_DB_SCR_EFFECT = 27,       // "data\database\ScrEffect.dat"
  PATH_DB_PICTURE = 29,          // "data\database\Picture.dat"
  PATH_DB_SOUND = 31,            // "data\database\Sound.dat"
  PATH_DB_BGM = 33,              // "data\database\Bgm.dat"
  PATH_SYSTEM = 35,              // "data\System.dat"
  PATH_STAGE_CHOICE_PREFIX = 37, // "data\stg4\c": the stage files of the title and stage-select choices
  PATH_STORY_PREFIX = 41,        // "user_data\story\Story": story save slots "%s%s.dat"
  PATH_CHALLENGE = 42,           // "user_data\challenge\Challenge.dat"
  PATH_OPTION = 43,              // "user_data\Option.dat"
  PATH_KEY_CONFIG = 45,          // "user_data\KeyConfig.dat"
  PATH_BOOT = 46,                // "user_data\Boot.dat"
  PATH_WINDOW = 47,              // "user_data\Window.dat"
};

// The data-file extensions: "cplt4", "stg4" (stage files: "stg4" + "_" + three
// digits), "plt4", "rkg" (the ranking-file suffix).
inline constexpr std::size_t kFileExtensionCount = 4;
extern const std::array<const char*, kFileExtensionCount> g_FileExtensions;

enum eFileExtensionIndex : int {
  EXT_COMMON_PALETTE = 0,
  EXT_STAGE = 1,
  EXT_PALETTE = 2,
  EXT_RANKING = 3,
};

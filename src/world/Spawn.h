#pragma once
// Spawning: turning definitions into objects on the stage. Stage set-up
// places the stage's characters and items (SpawnCharacters, SpawnItem); the
// summon commands create characters, items and blocks at each position of a
// formation (CreateSummonedChara, CreateSummonedItem, PlaceSummonedBlocks).
//
// Every new object is tested against the stage area and dropped when it lies
// outside; a dropped object uses no key. Keys come from the game scene's
// counters, which restart at 0 at every stage set-up.

#include <cstdint>

class cBlockData;
class cCharaBase;
class cCharaData;
class cChara;
class cItem;
class cItemData;
class cSummonCreator;

// All copies of one character placement at stage cell (column, row): copy i
// gets the placement's copy offset for its facing and the next key. 
// `carried` is the item the characters carry (null: none). The number of
// characters placed.
int SpawnCharacters(int column, int row, int32_t& keyCounter, const cCharaData& placement, const cItem* carried);

// One item placement at stage cell (column, row). 1 when it was placed.
int SpawnItem(int column, int row, int32_t& keyCounter, const cItemData& placement);

// Where a formation puts one summoned object.
struct cSummonPlace {
  double x = 0.0;  // world dots
  double y = 0.0;
  int facing = 0;
  int passNo = 1;
  int copyIndex = 0;
};

// A summoned object's lifetime in tenths of a second, when the command
// limits it (a limit of 0 ends it on the next sub-step).
struct cSummonLife {
  bool limited = false;
  int tenths = 0;
};

// What a character summon command gives the characters it makes.
struct cCharaSummon {
  const cCharaData* definition = nullptr;
  cCharaBase* summoner = nullptr;
  int noScore = 0;         // the summoned characters give no score
  cSummonLife life;        // unlimited: they live until they die
  int relayToParent = 0;   // their hits count as the summoner's
  int relayFlowId = 0;
};

// One summoned character; null when it was dropped (outside the area, or
// inside a solid place).
cChara* CreateSummonedChara(const cCharaSummon& summon, const cSummonPlace& place);

// One summoned item with its offsets; null when it was dropped.
cItem* CreateSummonedItem(const cItemData& definition, const cSummonPlace& place, const cSummonLife& life);

// Block summon modes.
enum eBlockSummonMode : int {
  BLOCK_SUMMON_PLACE = 0,
  BLOCK_SUMMON_ERASE = 1,
  BLOCK_SUMMON_TOGGLE = 2,
};

// What a block summon command does at one place.
struct cBlockSummon {
  const cBlockData* block = nullptr;
  int mode = BLOCK_SUMMON_PLACE;
  int notOnHero = 0;    // the block is not put where it would cover the hero
  int notOnCharas = 0;  // nor where it would cover a character
};

// Summons, erases or toggles the block of the cell under (x, y). Cells
// toggled once by the running command (the scene's toggled cells, emptied
// when the command starts) are left alone. A placed cell that is protected
// is left alone.
void PlaceSummonedBlocks(double x, double y, const cBlockSummon& summon);

// Whether a block just put into cell `index` (column, row) covers the hero or
// a character that it is solid for: each one covered gets a crush grace of 2;
// 1 when a covered one is protected by the summon's switches.
int IsBlockPlaceTaken(int index, int column, int row, const cBlockSummon& summon);

// The scene's side of the summon commands (Formation.h), which the game
// scene installs while it exists.
cSummonCreator& SceneSummonCreator();

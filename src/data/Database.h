#pragma once
// The game's shared resources: the ten database files in the database folder
// (animation sets, animations, special character bitmaps, sword types, effects,
// chara effects, screen effects, pictures, sounds, music), and the run-time
// tables compiled from them at start-up. Stage data, characters and commands
// refer to entries by index; entry 0 of every list is the "none" entry.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "data/Anime.h"
#include "data/BmpCharaExc.h"
#include "data/CharaEffect.h"
#include "data/DataRecord.h"
#include "data/Effect.h"
#include "data/FrameScript.h"
#include "data/Picture.h"
#include "data/Sound.h"
#include "data/SwordType.h"

// The file names of the ten databases, in load order.
inline constexpr int kDatabaseFileCount = 10;
extern const char* const kDatabaseFileNames[kDatabaseFileCount];

class cDatabase : public cDataRecord {
 public:
  // Lists as cDatabase::Reset leaves them; the run-time effect lists empty.
  cDatabase();

  // One set, the animations "なし" and "アクションA", one sword type, and two
  // default entries in every other list. The run-time effect lists are left.
  void Reset();

  // Loads the ten files from their path-table entries, in the order AnimeSet,
  // Anime, Bmp_CharaExc, SwordType, Effect, CharaEffect, ScrEffect, Picture,
  // Sound, Bgm. A file that is missing or damaged shows "%s のロードに失敗！"
  // with its path and fails the whole load: nothing of this database changes.
  // After a load entry 0 of the chara-effect and screen-effect lists is no
  // effect (kind 0), and every list is long enough for its "none" entry and,
  // where references are repaired to 1, its first real entry.
  bool Load();
  // The same from any folder: `folder` is a program path ending in "\" that
  // stands in for "data\database\".
  bool LoadFrom(const std::string& folder);

  // Makes the run-time chara-effect and screen-effect lists copies of the
  // loaded ones; the effect templates are built from these copies.
  void FillRunTimeEffectLists();

  cSafeVector<cAnimeSet> m_AnimeSets;
  cSafeVector<cAnime> m_Animes;
  cSafeVector<cBmpCharaExc> m_BmpCharaExcs;
  cSafeVector<cSwordType> m_SwordTypes;
  cSafeVector<cEffect> m_Effects;
  cSafeVector<cCharaEffect> m_CharaEffects;
  cSafeVector<cScrEffect> m_ScrEffects;
  cSafeVector<cPicture> m_Pictures;
  cSafeVector<cSound> m_Sounds;
  cSafeVector<cBgm> m_Bgms;
  cSafeVector<cCharaEffect> m_RunCharaEffects;
  cSafeVector<cScrEffect> m_RunScrEffects;

 private:
  bool LoadFiles(const std::string (&paths)[kDatabaseFileCount]);
  void PadLists();
};

// The database of the running game. Defined with every global object
// in app/Globals.cpp.
extern cDatabase g_Database;

// Reads database file `index` (load order) from bytes in memory into its list
// of `database`: the version word, u32 n and n records, as Load reads each
// file. False, with a report line and the list unchanged, when the bytes are
// refused. Load's padding and fixes of entry 0 are not applied.
bool ReadDatabaseFile(cDatabase& database, int index, std::span<const std::uint8_t> bytes, std::string_view name);

// ---- compiled tables ---------------------------------------------------------

// One script per animation: each frame becomes {pattern, duration x 6 (frames),
// lock}, where the lock holds from the first locked frame to the end; the
// script ends with {-4, 0, 0}. Animation 0 instead plays its patterns with
// duration 0 and lock 1 and loops ({-2, 0, 1}).
void BuildAnimeScripts(cFrameScriptTable& scripts, const cDatabase& database = g_Database);
// The same for the effects, with lock 0 for every frame of entries other than 0.
void BuildEffectScripts(cFrameScriptTable& scripts, const cDatabase& database = g_Database);

// The tables start-up compiles with the two functions above, played by the
// game world's animation sequencer and the flows' animation cues. Defined
// with every global object in app/Globals.cpp.
extern cFrameScriptTable g_AnimeScripts;
extern cFrameScriptTable g_EffectScripts;

// The chara-effect templates: both tables get one template per chara effect
// (new templates zeroed); template i of `forward` is initialised from entry i
// running forward, template i of `reverse` running backward. The template type
// is the game world's chara-effect player, which provides Init(index, reverse)
// and reads the run-time lists itself, so fill those first.
template <class tPlayer>
void BuildCharaEffectTables(cSafeVector<tPlayer>& forward, cSafeVector<tPlayer>& reverse,
                            const cDatabase& database = g_Database) {
  const int count = static_cast<int>(database.m_CharaEffects.size());
  forward.resize(static_cast<std::size_t>(count));
  reverse.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    forward[i].Init(i, 0);
    reverse[i].Init(i, 1);
  }
}

// The same with the screen effects and the world's screen-effect player.
template <class tPlayer>
void BuildScrEffectTables(cSafeVector<tPlayer>& forward, cSafeVector<tPlayer>& reverse,
                          const cDatabase& database = g_Database) {
  const int count = static_cast<int>(database.m_ScrEffects.size());
  forward.resize(static_cast<std::size_t>(count));
  reverse.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    forward[i].Init(i, 0);
    reverse[i].Init(i, 1);
  }
}

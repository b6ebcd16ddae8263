#pragma once
// cOptionData: the player's own settings, kept from one run to the next in
// "user_data\Option.dat": the palette set of the 8-bit display, music on or
// off, the sound-effect volume, how results enter the rankings, and the fixed
// ranking name. The option scene edits them; the one instance is g_OptionData.
//
// File form (any data version): u32 data version, u32 4, the four i32 below in
// order, u32 1, the ranking name as a counted string.
//
// Every value is brought into its range when read and before it is written, so
// code that indexes a table by an option (the volume steps, the ranking-mode
// names, the blend-table file number) never reaches past it, whatever the file
// held.
//
// Applying the options is not done here: the palette set goes to the 8-bit
// blend tables (LoadHbtPalette, drawing layer), the music switch to the title
// music (UpdateTitleBgm, music manager) and the volume to the sound-effect slots
// (kSeVolumeSteps, sound effects). Start-up calls them after Load.

#include <cstdint>
#include <string>
#include <string_view>

#include "data/DataRecord.h"
#include "data/SystemData.h"

// The ranges of the options (the ranking modes: kRankModeCount, with the
// system data's names of the modes).
inline constexpr int kColourSetCount = 24;     // palette and blend-table sets 0..23
inline constexpr int kSeVolumeStepCount = 11;  // sound-effect volume levels 0..10

// How a stage result enters the rankings (the names are the system data's).
enum eRankMode : int {
  RANK_MODE_KEY_ASK_NAME = 0,    // entered by key, the name asked
  RANK_MODE_KEY_FIXED_NAME = 1,  // entered by key, the fixed name
  RANK_MODE_AUTO_ASK_NAME = 2,   // entered automatically, the name asked
  RANK_MODE_AUTO_FIXED_NAME = 3, // entered automatically, the fixed name
};

class cOptionData : public cDataRecord {
 public:
  // Registered at DATA_VERSION; Reset.
  cOptionData() { Reset(); }
  // Clear, then music 1, sound volume 7, ranking name "aaa".
  void Reset();

  // The four numbers and the name; the version is ignored.
  void RegisterMembers(int nVersion) override;
  // The base record, then Normalize.
  bool Read(cByteReader& in) override;
  // Normalize, then the base record.
  void Write(cByteWriter& out) override;

  // Brings every number into its range: colour set, volume and ranking mode
  // are clamped to their ends, music becomes 1 when not 0.
  void Normalize();

  // Reads the options file into this record. False when there is no such
  // file (the defaults stay; no report line, a first start has none) or when it
  // is damaged (a report line; the record unchanged).
  bool Load(std::string_view path);
  // Writes the options file through the atomic writer. Refused (false, a report
  // line, the old file kept) once a checked container failed in this process;
  // false with a report line when the file could not be written.
  bool Save(std::string_view path);

  std::int32_t m_nColourSet = 0;  // palette set of the 8-bit mode, 0..23
  std::int32_t m_bMusic = 1;      // 1: the title music plays
  std::int32_t m_nSeVolume = 7;   // index into the 11 sound-effect volume steps
  std::int32_t m_nRankMode = 0;   // eRankMode
  std::string m_strRankName;      // the fixed ranking name ("aaa")
};

// The player's options. Defined with every global object
// in app/Globals.cpp.
extern cOptionData g_OptionData;

#pragma once
// cRankFile: the rankings of one stage in one play mode: five boards of
// twenty entries, one board per result genre (score, time left, clear time,
// HP left, SP left). g_RankFile holds the file of the stage last selected:
// the world map and the stage select show one of its boards, the game scene
// inserts the player's results at stage clear and saves it.
//
// Ranking file "user_data\<mode>\<stage>rkg" (mode folder: story, challenge,
// free), little-endian, in the record form of every data file:
//   u32 data version (781);
//   cRankFile: u32 0 members, u32 0 strings, u32 n boards;
//   per board: u32 1, i32 order flag, u32 0 strings, u32 n entries;
//   per entry: u32 2, i32 used, i32 value, u32 1, the counted name.
// Whatever the file held, a loaded rank file has exactly five boards of
// twenty entries, so every board and row the drawing and the insertion
// reach exists; order flags are 0 or 1.
//
// Values are whole numbers; the clear-time board (genre 2) holds hundredths
// of a second, and a lower clear time ranks higher.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/SafeVector.h"
#include "data/DataRecord.h"
#include "graphics/Surface.h"

class cSystemData;
class cStageData;

inline constexpr int kRankBoardCount = 5;
inline constexpr int kRankEntryCount = 20;
// The board of the clear time, whose values are hundredths of a second.
inline constexpr int kRankGenreClearTime = 2;
// Ranking files larger than this are damaged or forged: a real one is a few
// kilobytes (five boards of twenty three-character names).
inline constexpr std::size_t kMaxRankFileBytes = 64 * 1024;

// One row of a board.
class cRankEntry : public cDataRecord {
 public:
  cRankEntry() { Clear(); }
  cRankEntry(std::int32_t bUsed, std::string name, std::int32_t nValue);

  // m_bUsed, m_nValue; the string m_strName (every version).
  void RegisterMembers(int nVersion) override;

  std::int32_t m_bUsed = 0;  // 0: an empty row
  std::int32_t m_nValue = 0;
  std::string m_strName;
};

// One board: its order and its rows, best first.
class cRankBoard : public cDataRecord {
 public:
  // Order 0 (lower wins) and twenty empty rows.
  cRankBoard();

  // m_bHigherWins (every version).
  void RegisterMembers(int nVersion) override;
  // The base record, then u32 n and n entries; the rows end at twenty
  // (surplus dropped, missing ones empty) and the order flag at 0 or 1.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // The row a new value takes: the first empty row, or the first whose value
  // it beats (a tie never displaces: the new value goes below); -1 when it
  // does not enter.
  int FindRank(std::int32_t nValue) const;
  // Puts {used, name, value} at FindRank's row and drops the last row; a
  // value that does not enter leaves the board as it was. Returns the row, or -1.
  int Insert(std::string_view name, std::int32_t nValue);

  std::int32_t m_bHigherWins = 0;  // 1: a higher value ranks higher
  cSafeVector<cRankEntry> m_Entries;
};

// The five boards of a stage.
class cRankFile : public cDataRecord {
 public:
  // Reset.
  cRankFile();

  // Five new boards, ordered 1, 1, 0, 1, 1 (only the clear time is lower-wins).
  void Reset();

  // No registered members.
  void RegisterMembers(int nVersion) override;
  // The base record, then u32 n and n boards. Files of version 180 and older
  // knew fewer genres: boards 3 and 4 then take order 1. Every file ends with
  // exactly five boards (new ones added, surplus dropped).
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // DrawRankBoard of board `nBoard` with its own genre; nothing for a board
  // outside 0..4.
  void DrawBoard(DDSURFACEDATA* lpDst, int x, int y, int nBoard, int nHighlightRow);

  cSafeVector<cRankBoard> m_Boards;
};

// ---- file names, loading and saving ----------------------------------------------

// The ranking file of a stage: "user_data\story\", "user_data\challenge\" or
// "user_data\free\" by play mode 0..2, the stage name without its folder (in
// play mode 0 first turned into its variant name) and "rkg". False, and an
// empty path, for any other play mode.
bool MakeRankingPath(std::string& path, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                     int nVariantValue);
// Reads the stage's ranking file into `file`: true when it read cleanly.
// Otherwise (no file, a damaged, forged or oversized one, a play mode without
// rankings) `file` is Reset and the result is false; a damaged file is
// reported, a missing one is not.
bool LoadRanking(cRankFile& file, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                 int nVariantValue);
// Writes `file` as the stage's ranking file through the atomic writer. False,
// with a report line, when it could not be written (the old file stays) or
// the play mode keeps no rankings.
bool SaveRanking(cRankFile& file, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                 int nVariantValue);

// ---- number and time texts ------------------------------------------------------------

// 1 plus the times the value divides by 10 before reaching 0, at most 10; the
// sign does not count.
int CountDigits(std::int64_t nValue);
// The magnitude in at least `nMinDigits` digits (the value's own count when
// larger), leading zeros turned to blanks unless `bLeadingZeros`; "-" before a
// negative value, "+" before another when `bPlusSign`.
std::string FormatNumber(std::int64_t nValue, int nMinDigits, bool bLeadingZeros, bool bPlusSign);
// Hundredths of a second as "MM:SS.hh" (minutes at least two digits). A
// negative time shows as 00:00.00.
std::string FormatTime(std::int64_t nHundredths);

// ---- drawing (16-dot font) ----------------------------------------------------------------

// A board: its box, the caption with the genre's name, every used row (place,
// name, value; the clear time as FormatTime), the genre-switch hint when the
// play mode has more than one genre, and the pointer at `nHighlightRow`
// (-1 none). Genres above 4 show no value.
void DrawRankBoard(const cRankBoard& board, DDSURFACEDATA* lpDst, int x, int y, int nGenre, int nHighlightRow);

// The results of a cleared stage: one row per genre the stage keeps and the
// play mode ranks (every kept genre in a test play), its name and value, and
// one pointer per element of `highlights` other than -1, on consecutive rows
// from the top. Nothing when no genre is shown.
void DrawResultWindow(DDSURFACEDATA* lpDst, int x, int y, const std::int32_t (&results)[kRankBoardCount],
                      const std::int32_t (&highlights)[kRankBoardCount]);

// Whether the ranking caption is in English (the "English" setting of
// System.ini). The shell installs the question at start-up; without it the
// caption is Japanese.
void SetRankingEnglishQuery(bool (*query)());

// The rankings of the stage last selected. Defined with every global object
// in app/Globals.cpp.
extern cRankFile g_RankFile;

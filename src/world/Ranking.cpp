#include "world/Ranking.h"

#include <algorithm>
#include <utility>

#include "core/Log.h"
#include "core/PathUtil.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "core/StringUtil.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/Font.h"
#include "graphics/SurfaceTable.h"

namespace {

// Files of this version and older predate the HP and SP boards.
constexpr int kTwoGenreOrderVersion = 180;
constexpr std::int32_t kBoardOrders[kRankBoardCount] = {1, 1, 0, 1, 1};

constexpr const char* kModeFolders[] = {"user_data\\story\\", "user_data\\challenge\\", "user_data\\free\\"};
constexpr const char* kRankingExtension = "rkg";

// The highlight pointer: a 16 by 16 cell of the accessory sheet.
constexpr int kPointerSourceX = 16;
constexpr int kPointerSourceY = 48;
constexpr int kRowHeight = 16;
constexpr std::uint32_t kColourKey = 1;

bool (*g_EnglishQuery)() = nullptr;

bool EnglishCaption() { return g_EnglishQuery != nullptr && g_EnglishQuery(); }

Font& RankFont() { return g_Font[1]; }

const char* GenreName(int genre) {
  const int message = MSG_GENRE_FIRST + genre;
  if (genre < 0 || message >= static_cast<int>(g_System.m_Messages.size())) return "";
  return g_System.m_Messages[message].c_str();
}

void DrawPointer(DDSURFACEDATA* lpDst, int x, int y) {
  DDBlt(lpDst, x, y, 16, 16, &g_SurfaceData[SURF_ACCESSORY], kPointerSourceX, kPointerSourceY, kColourKey);
}

// Draws with the 16-dot font's letter symbols off when the system data turns
// them on: player names and the English caption are plain letters.
template <class Draw>
void WithoutSymbols(Draw&& draw) {
  Font& font = RankFont();
  const std::int32_t saved = font.m_bSymbols;
  if (g_System.m_bNoSymbols != 0) font.m_bSymbols = 0;
  draw();
  font.m_bSymbols = saved;
}

// Reads the ranking file at `path` into `file`, or leaves `file` as it was:
// false for a missing file (no report), a damaged one or one above
// kMaxRankFileBytes (reported).
bool ReadRankFile(cRankFile& file, const std::string& path) {
  cByteReader in;
  if (!OpenDataRead(path, in)) return false;
  if (in.Size() > kMaxRankFileBytes) {
    ReportPrintf("%s : ranking file of %zu bytes refused", path.c_str(), in.Size());
    return false;
  }
  cRankFile loaded;
  if (!loaded.Read(in)) {
    ReportDataReadFailure(in, path);
    return false;
  }
  file = std::move(loaded);
  return true;
}

}  // namespace

// ---- cRankEntry ------------------------------------------------------------------------

cRankEntry::cRankEntry(std::int32_t bUsed, std::string name, std::int32_t nValue)
    : m_bUsed(bUsed), m_nValue(nValue), m_strName(std::move(name)) {}

void cRankEntry::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_bUsed);
  RegisterInt(m_nValue);
  RegisterString(m_strName);
}

// ---- cRankBoard ------------------------------------------------------------------------

cRankBoard::cRankBoard() : m_Entries(kRankEntryCount) { Clear(); }

void cRankBoard::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_bHigherWins);
}

bool cRankBoard::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_Entries)) return false;
  m_Entries.resize(kRankEntryCount);
  m_bHigherWins = m_bHigherWins != 0 ? 1 : 0;
  return true;
}

void cRankBoard::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Entries);
}

int cRankBoard::FindRank(std::int32_t nValue) const {
  for (int i = 0; i < static_cast<int>(m_Entries.size()); ++i) {
    const cRankEntry& entry = m_Entries[i];
    if (entry.m_bUsed == 0) return i;
    if (m_bHigherWins != 0 ? entry.m_nValue < nValue : entry.m_nValue > nValue) return i;
  }
  return -1;
}

int cRankBoard::Insert(std::string_view name, std::int32_t nValue) {
  const int rank = FindRank(nValue);
  if (rank < 0) return -1;
  m_Entries.insert(m_Entries.begin() + rank, cRankEntry(1, std::string(name), nValue));
  m_Entries.pop_back();
  return rank;
}

// ---- cRankFile -------------------------------------------------------------------------

cRankFile::cRankFile() { Reset(); }

void cRankFile::Reset() {
  Clear();
  m_Boards.assign(kRankBoardCount, cRankBoard());
  for (int i = 0; i < kRankBoardCount; ++i) m_Boards[i].m_bHigherWins = kBoardOrders[i];
}

void cRankFile::RegisterMembers(int) { ClearMembers(); }

bool cRankFile::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_Boards)) return false;
  const std::size_t boardsInFile = m_Boards.size();
  m_Boards.resize(kRankBoardCount);
  // Boards the file lacks are new boards of their genre's order.
  for (int i = static_cast<int>(boardsInFile); i < kRankBoardCount; ++i) m_Boards[i].m_bHigherWins = kBoardOrders[i];
  if (in.Version() <= kTwoGenreOrderVersion) {
    m_Boards[3].m_bHigherWins = 1;
    m_Boards[4].m_bHigherWins = 1;
  }
  return true;
}

void cRankFile::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Boards);
}

void cRankFile::DrawBoard(DDSURFACEDATA* lpDst, int x, int y, int nBoard, int nHighlightRow) {
  if (nBoard < 0 || nBoard >= static_cast<int>(m_Boards.size())) return;
  DrawRankBoard(m_Boards[nBoard], lpDst, x, y, nBoard, nHighlightRow);
}

// ---- paths, load and save ----------------------------------------------------------------

bool MakeRankingPath(std::string& path, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                     int nVariantValue) {
  path.clear();
  if (nPlayMode < 0 || nPlayMode > PLAY_MODE_FREE) return false;
  std::string name(stageName);
  if (nPlayMode == PLAY_MODE_STORY) MakeDerivedStageName(name, bVariant, nVariantVar, nVariantValue);
  StripDirectory(name);
  path = std::string(kModeFolders[nPlayMode]) + name + kRankingExtension;
  return true;
}

bool LoadRanking(cRankFile& file, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                 int nVariantValue) {
  std::string path;
  if (MakeRankingPath(path, nPlayMode, stageName, bVariant, nVariantVar, nVariantValue)) {
    if (ReadRankFile(file, path)) return true;
  }
  file.Reset();
  return false;
}

bool SaveRanking(cRankFile& file, int nPlayMode, std::string_view stageName, int bVariant, int nVariantVar,
                 int nVariantValue) {
  std::string path;
  if (!MakeRankingPath(path, nPlayMode, stageName, bVariant, nVariantVar, nVariantValue)) {
    ReportPrintf("ranking not saved: play mode %d keeps no rankings", nPlayMode);
    return false;
  }
  if (!SaveIsTrusted(path)) return false;
  return file.SaveFile(path);
}

// ---- texts ---------------------------------------------------------------------------------

int CountDigits(std::int64_t nValue) {
  int digits = 1;
  for (std::int64_t rest = nValue / 10; rest != 0 && digits < 10; rest /= 10) ++digits;
  return digits;
}

std::string FormatNumber(std::int64_t nValue, int nMinDigits, bool bLeadingZeros, bool bPlusSign) {
  const std::uint64_t magnitude = nValue < 0 ? 0 - static_cast<std::uint64_t>(nValue) : static_cast<std::uint64_t>(nValue);
  std::string digits = std::to_string(magnitude);
  const int width = std::max({nMinDigits, CountDigits(nValue), static_cast<int>(digits.size())});
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  if (!bLeadingZeros) {
    for (std::size_t i = 0; i + 1 < digits.size() && digits[i] == '0'; ++i) digits[i] = ' ';
  }
  if (nValue < 0) return "-" + digits;
  if (bPlusSign) return "+" + digits;
  return digits;
}

std::string FormatTime(std::int64_t nHundredths) {
  const std::int64_t h = std::max<std::int64_t>(nHundredths, 0);
  const std::string minutes = FormatNumber(h / 100 / 60, 2, true, false);
  const std::string seconds = FormatNumber((h / 100) % 60, 2, true, false);
  const std::string hundredths = FormatNumber(h % 100, 2, true, false);
  return minutes + ":" + seconds + "." + hundredths;
}

// ---- drawing --------------------------------------------------------------------------------

void DrawRankBoard(const cRankBoard& board, DDSURFACEDATA* lpDst, int x, int y, int nGenre, int nHighlightRow) {
  Font& font = RankFont();
  font.DrawBox(lpDst, x + 1, y + 1, 270, 350);

  const char* genreName = GenreName(nGenre);
  if (EnglishCaption()) {
    WithoutSymbols([&] { FontPrintf(font, lpDst, x, y, "Ranking     %s", genreName); });
  } else {
    FontPrintf(font, lpDst, x, y, "ランキング    %s", genreName);
  }

  const int entryCount = static_cast<int>(board.m_Entries.size());
  const int valueWidth =
      nGenre == kRankGenreClearTime ? 8 : (entryCount > 0 ? CountDigits(board.m_Entries[0].m_nValue) : 1);
  for (int i = 0; i < entryCount; ++i) {
    const cRankEntry& entry = board.m_Entries[i];
    if (entry.m_bUsed == 0) continue;
    const int rowY = y + kRowHeight * (i + 1);
    FontPrintf(font, lpDst, x + 16, rowY, "%d", i + 1);
    WithoutSymbols([&] { FontPrintf(font, lpDst, x + 64, rowY, "%s", entry.m_strName.c_str()); });
    if (nGenre == kRankGenreClearTime) {
      FontPrintf(font, lpDst, x + 144, rowY, "%s", FormatTime(entry.m_nValue).c_str());
    } else if (nGenre >= 0 && nGenre < kRankBoardCount) {
      const int digits = CountDigits(entry.m_nValue);
      FontPrintf(font, lpDst, x + 16 * (valueWidth - digits + 9), rowY, "%d", entry.m_nValue);
    }
  }

  const int playMode = g_SceneManager.m_nPlayMode;
  if (playMode >= 0 && playMode < kPlayModeCount && g_System.CountRankGenres(playMode) > 1 &&
      MSG_SWITCH_GENRE < static_cast<int>(g_System.m_Messages.size())) {
    const std::string& hint = g_System.m_Messages[MSG_SWITCH_GENRE];
    FontPrintf(font, lpDst, x + 136 - 8 * CountChars(hint.c_str()), y + kRowHeight * entryCount + 16, "%s",
               hint.c_str());
  }

  if (nHighlightRow != -1) DrawPointer(lpDst, x, y + kRowHeight * nHighlightRow + 16);
}

namespace {

// Whether the results window shows genre g: the stage keeps it, and the play
// mode ranks it (any kept genre in a test play).
bool ResultGenreShown(int genre) {
  if (genre >= static_cast<int>(g_Stage.m_RankFlags.size()) || g_Stage.m_RankFlags[genre] == 0) return false;
  if (g_TestPlay != 0) return true;
  const int playMode = g_SceneManager.m_nPlayMode;
  if (playMode < 0 || playMode >= static_cast<int>(g_System.m_RankGenreSets.size())) return false;
  const cRankGenreSet& set = g_System.m_RankGenreSets[playMode];
  return genre < static_cast<int>(set.m_Genres.size()) && set.m_Genres[genre] != 0;
}

std::string ResultText(int genre, std::int32_t value) {
  if (genre == kRankGenreClearTime) return FormatTime(value);
  return std::to_string(value);
}

}  // namespace

void DrawResultWindow(DDSURFACEDATA* lpDst, int x, int y, const std::int32_t (&results)[kRankBoardCount],
                      const std::int32_t (&highlights)[kRankBoardCount]) {
  bool shown[kRankBoardCount] = {};
  int shownCount = 0;
  int labelWidth = 1;
  int valueWidth = 1;
  for (int genre = 0; genre < kRankBoardCount; ++genre) {
    shown[genre] = ResultGenreShown(genre);
    if (!shown[genre]) continue;
    ++shownCount;
    labelWidth = std::max(labelWidth, CountChars(GenreName(genre)));
    valueWidth = std::max(valueWidth, genre == kRankGenreClearTime ? 8 : CountDigits(results[genre]));
  }
  if (shownCount == 0) return;

  Font& font = RankFont();
  font.DrawBox(lpDst, x, y, 16 * (valueWidth + labelWidth + 3), kRowHeight * shownCount);
  int row = 0;
  for (int genre = 0; genre < kRankBoardCount; ++genre) {
    if (!shown[genre]) continue;
    const int rowY = y + kRowHeight * row++;
    FontPrintf(font, lpDst, x + 16, rowY, "%s", GenreName(genre));
    FontPrintf(font, lpDst, x + 16 * labelWidth + 32, rowY, "%s", ResultText(genre, results[genre]).c_str());
  }
  int pointerRow = 0;
  for (const std::int32_t highlight : highlights) {
    if (highlight == -1) continue;
    DrawPointer(lpDst, x, y + kRowHeight * pointerRow++);
  }
}

void SetRankingEnglishQuery(bool (*query)()) { g_EnglishQuery = query; }

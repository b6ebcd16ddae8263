#include "data/Database.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "data/PathTable.h"

const char* const kDatabaseFileNames[kDatabaseFileCount] = {
    "AnimeSet.dat", "Anime.dat", "Bmp_CharaExc.dat", "SwordType.dat", "Effect.dat",
    "CharaEffect.dat", "ScrEffect.dat", "Picture.dat", "Sound.dat", "Bgm.dat",
};

namespace {

// The record-list form with a chosen element to start every entry from.
template <class List>
bool ReadListFrom(cByteReader& in, List& list, const typename List::value_type& fresh) {
  list.clear();
  const std::uint32_t count = in.ReadCount(8);
  if (in.Failed()) return false;
  if (!in.EnterNested()) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    typename List::value_type element(fresh);
    if (!element.Read(in)) break;
    list.push_back(std::move(element));
  }
  in.LeaveNested();
  return !in.Failed();
}

// The list part of database file `index` (load order): u32 n, n records. The
// list is replaced only when the whole list read cleanly. Every string has
// already lost its CR bytes while it was read (g_StripCR).
template <class List>
bool ReadList(cByteReader& in, List& list, const typename List::value_type& fresh = typename List::value_type()) {
  List read;
  if (!ReadListFrom(in, read, fresh)) return false;
  list = std::move(read);
  return true;
}

bool ReadDatabaseList(cByteReader& in, cDatabase& db, int index) {
  switch (index) {
    case 0: return ReadList(in, db.m_AnimeSets);
    case 1: return ReadList(in, db.m_Animes);
    case 2: return ReadList(in, db.m_BmpCharaExcs, cBmpCharaExc::ListDefault());
    case 3: return ReadList(in, db.m_SwordTypes);
    case 4: return ReadList(in, db.m_Effects);
    case 5: return ReadList(in, db.m_CharaEffects);
    case 6: return ReadList(in, db.m_ScrEffects);
    case 7: return ReadList(in, db.m_Pictures);
    case 8: return ReadList(in, db.m_Sounds);
    case 9: return ReadList(in, db.m_Bgms);
    default: return false;
  }
}

bool LoadDatabaseFile(const std::string& path, cDatabase& db, int index) {
  cByteReader in;
  bool bLoaded = OpenDataRead(path, in);
  if (bLoaded && !ReadDatabaseList(in, db, index)) {
    ReportDataReadFailure(in, path);
    bLoaded = false;
  }
  if (!bLoaded) ErrorBoxf("%s のロードに失敗！", path.c_str());
  return bLoaded;
}

template <class List>
void PadList(List& list, std::size_t minimum, const char* fileName) {
  if (list.size() >= minimum) return;
  ReportPrintfLog("Load %s : %d entries, filled up to %d with default entries", fileName,
                  static_cast<int>(list.size()), static_cast<int>(minimum));
  list.resize(minimum);
}

// Frame durations are tenths of a second; scripts count frames at 60 per
// second. A duration from a damaged file must not overflow.
int32_t TenthsToFrames(int32_t tenths) {
  const int64_t frames = static_cast<int64_t>(tenths) * 6;
  return static_cast<int32_t>(std::clamp<int64_t>(frames, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Entry 0 (the "none" entry) shows its patterns without delay and loops; every
// other entry plays once, locked from its first locked frame, and ends.
template <class Frames, class LockOf>
cFrameScript CompileFrames(int index, const Frames& frames, LockOf lockOf) {
  cFrameScript script;
  script.reserve(frames.size() + 1);
  if (index == 0) {
    for (const auto& frame : frames) script.push_back({frame.m_nPattern, 0, 1});
    script.push_back({kAnimePatternLoop, 0, 1});
    return script;
  }
  int32_t nLock = 0;
  for (const auto& frame : frames) {
    if (lockOf(frame) != 0) nLock = 1;
    script.push_back({frame.m_nPattern, TenthsToFrames(frame.m_nDuration), nLock});
  }
  script.push_back({kAnimePatternEnd, 0, 0});
  return script;
}

}  // namespace

// ---- cDatabase ------------------------------------------------------------------

cDatabase::cDatabase() { Reset(); }

void cDatabase::Reset() {
  m_AnimeSets.assign(1, cAnimeSet());
  m_Animes.assign(2, cAnime());
  m_Animes[0].m_strName = "なし";
  m_Animes[1].m_strName = "アクションA";
  m_BmpCharaExcs.assign(2, cBmpCharaExc());
  m_SwordTypes.assign(1, cSwordType());
  m_Effects.assign(2, cEffect());
  m_CharaEffects.assign(2, cCharaEffect());
  m_ScrEffects.assign(2, cScrEffect());
  m_Pictures.assign(2, cPicture());
  m_Sounds.assign(2, cSound());
  m_Bgms.assign(2, cBgm());
}

bool cDatabase::Load() {
  static constexpr int kPathEntries[kDatabaseFileCount] = {
      PATH_DB_ANIME_SET,    PATH_DB_ANIME,      PATH_DB_BMP_CHARA_EXC, PATH_DB_SWORD_TYPE, PATH_DB_EFFECT,
      PATH_DB_CHARA_EFFECT, PATH_DB_SCR_EFFECT, PATH_DB_PICTURE,       PATH_DB_SOUND,      PATH_DB_BGM,
  };
  std::string paths[kDatabaseFileCount];
  for (int i = 0; i < kDatabaseFileCount; ++i) paths[i] = g_PathTable[kPathEntries[i]];
  return LoadFiles(paths);
}

bool cDatabase::LoadFrom(const std::string& folder) {
  std::string paths[kDatabaseFileCount];
  for (int i = 0; i < kDatabaseFileCount; ++i) paths[i] = folder + kDatabaseFileNames[i];
  return LoadFiles(paths);
}

bool cDatabase::LoadFiles(const std::string (&paths)[kDatabaseFileCount]) {
  // Everything is read into a copy first, so a file that fails leaves this
  // database exactly as it was, however many files had loaded before it.
  cDatabase loaded(*this);
  for (int i = 0; i < kDatabaseFileCount; ++i)
    if (!LoadDatabaseFile(paths[i], loaded, i)) return false;
  loaded.PadLists();
  loaded.m_CharaEffects[0].m_nKind = 0;
  loaded.m_ScrEffects[0].m_nKind = 0;
  *this = std::move(loaded);
  return true;
}

// References to animation sets and sword types are repaired to 0, all others
// to 1, so those lists need their first real entry too. An empty list would
// also leave the "none" entry itself missing.
void cDatabase::PadLists() {
  PadList(m_AnimeSets, 1, kDatabaseFileNames[0]);
  PadList(m_Animes, 2, kDatabaseFileNames[1]);
  PadList(m_BmpCharaExcs, 2, kDatabaseFileNames[2]);
  PadList(m_SwordTypes, 1, kDatabaseFileNames[3]);
  PadList(m_Effects, 2, kDatabaseFileNames[4]);
  PadList(m_CharaEffects, 2, kDatabaseFileNames[5]);
  PadList(m_ScrEffects, 2, kDatabaseFileNames[6]);
  PadList(m_Pictures, 2, kDatabaseFileNames[7]);
  PadList(m_Sounds, 2, kDatabaseFileNames[8]);
  PadList(m_Bgms, 2, kDatabaseFileNames[9]);
}

bool ReadDatabaseFile(cDatabase& database, int index, std::span<const std::uint8_t> bytes, std::string_view name) {
  cByteReader in(bytes);
  if (!BeginDataRead(in, name)) return false;
  if (ReadDatabaseList(in, database, index)) return true;
  ReportDataReadFailure(in, name);
  return false;
}

void cDatabase::FillRunTimeEffectLists() {
  m_RunCharaEffects = m_CharaEffects;
  m_RunScrEffects = m_ScrEffects;
}

// ---- compiled tables --------------------------------------------------------------

void BuildAnimeScripts(cFrameScriptTable& scripts, const cDatabase& database) {
  const int count = static_cast<int>(database.m_Animes.size());
  scripts.assign(static_cast<std::size_t>(count), cFrameScript());
  for (int i = 0; i < count; ++i)
    scripts[i] = CompileFrames(i, database.m_Animes[i].m_Frames,
                               [](const cAnimeFrameData& frame) { return frame.m_nLock; });
}

void BuildEffectScripts(cFrameScriptTable& scripts, const cDatabase& database) {
  const int count = static_cast<int>(database.m_Effects.size());
  scripts.assign(static_cast<std::size_t>(count), cFrameScript());
  for (int i = 0; i < count; ++i)
    scripts[i] = CompileFrames(i, database.m_Effects[i].m_Frames, [](const cEffectFrame&) { return 0; });
}

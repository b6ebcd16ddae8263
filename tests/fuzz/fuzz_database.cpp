// The ten database files of data\database\. The first input byte picks the
// file (load order), the rest is the file.

#include "data/Database.h"
#include "fuzz/FuzzSupport.h"

namespace {

template <class List>
std::vector<std::uint8_t> ListBytes(List& list, int version) {
  cByteWriter out(version);
  BeginDataWrite(out);
  WriteRecordList(out, list);
  return out.TakeBytes();
}

std::vector<std::uint8_t> FileBytes(cDatabase& db, int index, int version = DATA_VERSION) {
  switch (index) {
    case 0: return ListBytes(db.m_AnimeSets, version);
    case 1: return ListBytes(db.m_Animes, version);
    case 2: return ListBytes(db.m_BmpCharaExcs, version);
    case 3: return ListBytes(db.m_SwordTypes, version);
    case 4: return ListBytes(db.m_Effects, version);
    case 5: return ListBytes(db.m_CharaEffects, version);
    case 6: return ListBytes(db.m_ScrEffects, version);
    case 7: return ListBytes(db.m_Pictures, version);
    case 8: return ListBytes(db.m_Sounds, version);
    default: return ListBytes(db.m_Bgms, version);
  }
}

}  // namespace

// A file the loader accepts must write back to bytes that read again to the
// very same bytes; and the compiled scripts must build from whatever loaded.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  g_StripCR = true;
  const int index = data[0] % kDatabaseFileCount;
  cDatabase db;
  if (!ReadDatabaseFile(db, index, std::span<const std::uint8_t>(data + 1, size - 1), "fuzz")) return 0;
  const std::vector<std::uint8_t> written = FileBytes(db, index);
  cDatabase again;
  if (!ReadDatabaseFile(again, index, written, "fuzz rewrite")) __builtin_trap();
  if (FileBytes(again, index) != written) __builtin_trap();
  cFrameScriptTable scripts;
  BuildAnimeScripts(scripts, db);
  BuildEffectScripts(scripts, db);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cDatabase db;
  db.m_AnimeSets[0].m_States[1].m_Frames.resize(3);
  db.m_Effects[1].m_Frames = {cEffectFrame(0, 1), cEffectFrame(1, 2)};
  db.m_SwordTypes[0].m_Steps.resize(2);
  std::vector<std::vector<std::uint8_t>> seeds;
  for (int index = 0; index < kDatabaseFileCount; ++index) {
    for (int version : {54, 118, 137, 152, 171, 510, DATA_VERSION}) {
      std::vector<std::uint8_t> file = FileBytes(db, index, version);
      file.insert(file.begin(), static_cast<std::uint8_t>(index));
      seeds.push_back(std::move(file));
    }
  }
  return seeds;
}

// Writes the sample game's data tree with the player's own record writers.

#include "SampleGame.h"

#include <system_error>
#include <utility>

#include "platform/PathResolver.h"

namespace samplegame {

namespace {

// A data file of the tree: its path below the root and its bytes.
struct cTreeFile {
  std::string m_strPath;  // "database\Anime.dat"
  std::vector<std::uint8_t> m_Bytes;
};

// Every file of the tree. The stages are checked against the game's own
// database and common palette, which is what the player checks them against
// when it loads them, so the globals hold those while the stages are written.
std::vector<cTreeFile> BuildTree() {
  std::vector<cTreeFile> files;
  cDatabase db = MakeDatabase();
  for (int i = 0; i < kDatabaseFileCount; ++i)
    files.push_back({std::string("database\\") + kDatabaseFileNames[i], DatabaseFileBytes(db, i)});

  cWorldMap map = MakeWorldMap();
  files.push_back({"WorldMap.dat", map.MakeFileBytes()});

  cPalette common = MakeCommonPalette();
  std::swap(g_Database, db);
  std::swap(g_CommonPalette, common);
  files.push_back({"CommonPalette.cplt4", g_CommonPalette.MakeFileBytes()});
  std::vector<cSampleStage> stages = MakeStages(g_CommonPalette);
  stages.push_back(MakeEnding(g_CommonPalette));
  for (cSampleStage& stage : stages)
    files.push_back({"stg4\\" + stage.m_strFileName, stage.m_Stage.MakeFileBytes()});
  std::swap(g_CommonPalette, common);
  std::swap(g_Database, db);
  return files;
}

}  // namespace

namespace {

template <class tList>
std::vector<std::uint8_t> ListFileBytes(tList& list) {
  cByteWriter out;
  BeginDataWrite(out);
  WriteRecordList(out, list);
  return out.TakeBytes();
}

}  // namespace

std::vector<std::uint8_t> DatabaseFileBytes(cDatabase& db, int index) {
  switch (index) {
    case 0: return ListFileBytes(db.m_AnimeSets);
    case 1: return ListFileBytes(db.m_Animes);
    case 2: return ListFileBytes(db.m_BmpCharaExcs);
    case 3: return ListFileBytes(db.m_SwordTypes);
    case 4: return ListFileBytes(db.m_Effects);
    case 5: return ListFileBytes(db.m_CharaEffects);
    case 6: return ListFileBytes(db.m_ScrEffects);
    case 7: return ListFileBytes(db.m_Pictures);
    case 8: return ListFileBytes(db.m_Sounds);
    default: return ListFileBytes(db.m_Bgms);
  }
}

bool WriteSampleGame(const std::filesystem::path& root, std::string& error) {
  std::error_code ec;
  for (const char* folder : {"database", "stg4"}) {
    std::filesystem::create_directories(root / folder, ec);
    if (ec) {
      error = "cannot create " + (root / folder).string() + ": " + ec.message();
      return false;
    }
  }
  const std::string rootProgramPath = plat::ProgramPath(std::filesystem::absolute(root).string());
  for (const cTreeFile& file : BuildTree()) {
    const std::string path = rootProgramPath + "\\" + file.m_strPath;
    if (!SaveDataFile(path, file.m_Bytes)) {
      error = "cannot write " + plat::NativePath(path);
      return false;
    }
  }
  return true;
}

}  // namespace samplegame

// Writes the sample game's System.dat with the player's own record writer.

#include "SampleSystemData.h"

#include <utility>

#include "SampleGame.h"
#include "platform/PathResolver.h"

namespace samplegame {

namespace {

// The wave files of the system sound slots the game plays; the other slots stay silent.
const struct {
  int slot;
  const char* file;
} kSystemSounds[] = {
    {0, "wave\\Cursor.wav"},     {1, "wave\\Decide.wav"},     {2, "wave\\Cancel.wav"},
    {3, "wave\\Buzzer.wav"},     {4, "wave\\Pause.wav"},      {6, "wave\\Genre.wav"},
    {8, "wave\\HeroDeath.wav"},  {9, "wave\\Death.wav"},      {10, "wave\\Spring.wav"},
    {12, "wave\\Message.wav"},   {13, "wave\\TimeWarning.wav"}, {14, "wave\\StageClear.wav"},
    {15, "wave\\ExtraLife.wav"}, {16, "wave\\Ranking.wav"},
};

// The music list entry whose name is `name`, or 0 (silence).
int BgmIndex(const cDatabase& db, const char* name) {
  for (std::size_t i = 0; i < db.m_Bgms.size(); ++i) {
    if (db.m_Bgms.at(i).m_strName == name) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace

cSystemData MakeSystemData(const cDatabase& db) {
  cSystemData system;
  system.m_strTitle = "サンプルゲーム";
  for (const auto& sound : kSystemSounds) system.m_SystemSounds[sound.slot] = sound.file;
  // The title and the options share the title tune, the world map has its
  // own, the stage select plays the stage music.
  const int titleTune = BgmIndex(db, "タイトル");
  system.m_SceneBgm = {titleTune, BgmIndex(db, "マップ"), BgmIndex(db, "ステージ"), titleTune};
  // The title menu shows the entries' pictures of bmp\GameMode.bmp.
  system.m_bTitlePictures = 1;
  // A lost life restarts the stage at once, as in a test play, so a stage
  // plays the same from the world map as from the editor.
  system.m_bRetryPrompt = 0;
  // The option menu's labels name what each position edits: the colour set
  // of position 0 only acts in 8-bit mode, whose one set the game has, so
  // it is not offered.
  system.m_OptionMenu = {cCmd(0, "カラーセット"), cCmd(1, "BGM"), cCmd(1, "SE"),
                         cCmd(1, "ランキング登録"), cCmd(1, "ランキング登録名"), cCmd(1, "もどる")};
  system.m_nStageCount = kStageCount;
  system.m_bExtraLives = 1;
  system.m_nExtraLifeScore = 1000;
  return system;
}

bool WriteSampleSystemData(const std::filesystem::path& root, std::string& error) {
  // Writing checks the scene music against the music list of the running
  // game, so the game's own database stands in for it meanwhile.
  cDatabase db = MakeDatabase();
  cSystemData system = MakeSystemData(db);
  std::swap(g_Database, db);
  const std::vector<std::uint8_t> bytes = system.MakeFileBytes();
  std::swap(g_Database, db);

  std::error_code ec;
  std::filesystem::create_directories(root, ec);
  const std::string path = plat::ProgramPath(std::filesystem::absolute(root).string()) + "\\System.dat";
  if (ec || !SaveDataFile(path, bytes)) {
    error = "cannot write " + plat::NativePath(path);
    return false;
  }
  return true;
}

}  // namespace samplegame

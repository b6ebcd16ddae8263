// The fixed path table: the entries the rest of the player addresses by
// position, and the data\ / default\ pairing of the file entries.

#include "data/PathTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathTable, EntriesUsedByThePlayerSitAtTheirPositions) {
  struct Case {
    int index;
    const char* path;
  };
  const Case cases[] = {
      {PATH_DATA, "data\\"},
      {PATH_DEFAULT, "default\\"},
      {PATH_COMMON_PALETTE, "data\\CommonPalette.cplt4"},
      {PATH_WORLD_MAP, "data\\WorldMap.dat"},
      {PATH_DB_ANIME_SET, "data\\database\\AnimeSet.dat"},
      {PATH_DB_ANIME, "data\\database\\Anime.dat"},
      {PATH_DB_BMP_CHARA_EXC, "data\\database\\Bmp_CharaExc.dat"},
      {PATH_DB_SWORD_TYPE, "data\\database\\SwordType.dat"},
      {PATH_DB_EFFECT, "data\\database\\Effect.dat"},
      {PATH_DB_CHARA_EFFECT, "data\\database\\CharaEffect.dat"},
      {PATH_DB_SCR_EFFECT, "data\\database\\ScrEffect.dat"},
      {PATH_DB_PICTURE, "data\\database\\Picture.dat"},
      {PATH_DB_SOUND, "data\\database\\Sound.dat"},
      {PATH_DB_BGM, "data\\database\\Bgm.dat"},
      {PATH_SYSTEM, "data\\System.dat"},
      {PATH_STAGE_CHOICE_PREFIX, "data\\stg4\\c"},
      {PATH_STORY_PREFIX, "user_data\\story\\Story"},
      {PATH_CHALLENGE, "user_data\\challenge\\Challenge.dat"},
      {PATH_OPTION, "user_data\\Option.dat"},
      {PATH_KEY_CONFIG, "user_data\\KeyConfig.dat"},
      {PATH_BOOT, "user_data\\Boot.dat"},
      {PATH_WINDOW, "user_data\\Window.dat"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(g_PathTable[c.index], c.path) << "entry " << c.index;
  }
  // The literal positions other code quotes.
  EXPECT_STREQ(g_PathTable[35], "data\\System.dat");
  EXPECT_STREQ(g_PathTable[43], "user_data\\Option.dat");
  EXPECT_STREQ(g_PathTable[45], "user_data\\KeyConfig.dat");
  EXPECT_STREQ(g_PathTable[46], "user_data\\Boot.dat");
  EXPECT_STREQ(g_PathTable[47], "user_data\\Window.dat");
  EXPECT_STREQ(g_PathTable[13], "data\\WorldMap.dat");
  EXPECT_STREQ(g_PathTable[7], "data\\CommonPalette.cplt4");
}

// Entries 5 to 36 come in pairs: a file under data\ and the same file under
// default\. A shifted entry breaks the pairing.
TEST(PathTable, DataAndDefaultEntriesPairUp) {
  ASSERT_EQ(g_PathTable.size(), 48u);
  for (int i = 5; i <= 35; i += 2) {
    const std::string data = g_PathTable[i];
    const std::string fresh = g_PathTable[i + 1];
    ASSERT_EQ(data.rfind("data\\", 0), 0u) << i;
    EXPECT_EQ(fresh, "default\\" + data.substr(5)) << i;
  }
  for (const char* entry : g_PathTable) EXPECT_NE(std::string(entry), "");
}

TEST(PathTable, TheStageExtensionIsSecondOfFour) {
  EXPECT_STREQ(g_FileExtensions[EXT_STAGE], "stg4");
  EXPECT_STREQ(g_FileExtensions[EXT_RANKING], "rkg");
  EXPECT_STREQ(g_FileExtensions[EXT_COMMON_PALETTE], "cplt4");
  EXPECT_STREQ(g_FileExtensions[EXT_PALETTE], "plt4");
}

}  // namespace

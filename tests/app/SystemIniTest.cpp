#include "app/SystemIni.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "AppTestSupport.h"

namespace {

cSystemIni Defaults() {
  cSystemIni settings;
  DefaultSystemIni(settings, SystemIniKeys());
  return settings;
}

void ExpectSame(const cSystemIni& want, const cSystemIni& got) {
  EXPECT_EQ(want.m_nDirect3D, got.m_nDirect3D);
  EXPECT_EQ(want.m_nWindowMode, got.m_nWindowMode);
  EXPECT_EQ(want.m_nBpp, got.m_nBpp);
  EXPECT_EQ(want.m_nVSync, got.m_nVSync);
  EXPECT_EQ(want.m_nD3DFontCache, got.m_nD3DFontCache);
  EXPECT_EQ(want.m_nDDFontCache, got.m_nDDFontCache);
  EXPECT_EQ(want.m_nDDVideoStretch, got.m_nDDVideoStretch);
  EXPECT_EQ(want.m_nShowFps, got.m_nShowFps);
  EXPECT_EQ(want.m_nEnglish, got.m_nEnglish);
  EXPECT_EQ(want.m_strFreeStage, got.m_strFreeStage);
}

TEST(SystemIniDefaults, NewSystemDataKeysGiveTheirDefaults) {
  const cSystemIni settings = Defaults();
  EXPECT_EQ(2, settings.m_nDirect3D);
  EXPECT_EQ(0, settings.m_nWindowMode);
  EXPECT_EQ(0, settings.m_nBpp);
  EXPECT_EQ(2, settings.m_nVSync);
  EXPECT_EQ(0, settings.m_nD3DFontCache);
  EXPECT_EQ(1, settings.m_nDDFontCache);
  EXPECT_EQ(0, settings.m_nDDVideoStretch);
  EXPECT_EQ(1, settings.m_nShowFps);
  EXPECT_EQ("", settings.m_strFreeStage);
  EXPECT_EQ(0, settings.m_nEnglish);
}

TEST(SystemIniDefaults, PositionDecidesNotNameAndEnglishStartsOff) {
  // A key list whose names differ still fills the settings by position; the
  // English default of the list is not taken.
  std::vector<cIniKey> keys;
  for (int i = 0; i < kSystemIniKeyCount; ++i) keys.push_back({"K" + std::to_string(i), 10 + i, ""});
  keys[INI_FREE_STAGE].m_strText = "data\\stg4\\x.stg4";
  cSystemIni settings;
  settings.m_nEnglish = 5;
  DefaultSystemIni(settings, keys);
  EXPECT_EQ(10, settings.m_nDirect3D);
  EXPECT_EQ(17, settings.m_nShowFps);
  EXPECT_EQ("data\\stg4\\x.stg4", settings.m_strFreeStage);
  EXPECT_EQ(0, settings.m_nEnglish);

  ASSERT_EQ(1, ParseSystemIni("K9=4\nK0=3\nExit\n", settings, keys));
  EXPECT_EQ(4, settings.m_nEnglish);
  EXPECT_EQ(3, settings.m_nDirect3D);
}

struct IniCase {
  const char* name;
  std::string bytes;
  int result;
  std::function<void(cSystemIni&)> change;  // applied to the defaults: what the settings must become
};

std::string LongText(std::size_t n) { return std::string(n, 'a'); }

std::string ManyLines(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "; line\n";
  return text;
}

const IniCase kCases[] = {
    {"PlainKeysAndExit", "Direct3D=0\nWindowMode=1\nExit\n", 1,
     [](cSystemIni& s) { s.m_nDirect3D = 0; s.m_nWindowMode = 1; }},
    {"CommentAfterBlankIsALineOfItsOwn", "Direct3D=1 //comment\nExit\n", 1,
     [](cSystemIni& s) { s.m_nDirect3D = 1; }},
    {"SlashEndsTheValue", "Bpp=16/16 bits\nExit\n", 1, [](cSystemIni& s) { s.m_nBpp = 16; }},
    {"KeyRightAfterTheEndingSlashStillCounts", "ShowFps=0/Bpp=16\nExit\n", 1,
     [](cSystemIni& s) { s.m_nShowFps = 0; s.m_nBpp = 16; }},
    {"KeyAfterABlankStillCounts", "ShowFps=0 Bpp=16 VSync=0\nExit\n", 1,
     [](cSystemIni& s) { s.m_nShowFps = 0; s.m_nBpp = 16; s.m_nVSync = 0; }},
    {"SlashInsideACommentKeyHidesIt", "ShowFps=0 // Bpp=16\nExit\n", 1, [](cSystemIni& s) { s.m_nShowFps = 0; }},
    {"CommentLinesAndEmptyLinesAreIgnored", "// settings\n\n   \nVSync=0\nExit\n", 1,
     [](cSystemIni& s) { s.m_nVSync = 0; }},
    {"NulByteEndsTheFile", std::string("VSync=1\n\0garbage", 16), 1, [](cSystemIni& s) { s.m_nVSync = 1; }},
    {"LinesAfterExitAreNotRead", "Exit\nDirect3D=0\n", 1, [](cSystemIni&) {}},
    {"NoKeysKeepsEveryDefault", "Exit\n", 1, [](cSystemIni&) {}},
    {"MissingExitFails", "Direct3D=0\nWindowMode=1\n", 0, [](cSystemIni&) {}},
    {"ExitWithoutLineFeedFails", "Direct3D=0\nExit", 0, [](cSystemIni&) {}},
    {"ExitIsCaseSensitive", "Direct3D=0\nexit\n", 0, [](cSystemIni&) {}},
    {"ValueEndedByTheLastByteFails", "Direct3D=0", 0, [](cSystemIni&) {}},
    {"EmptyFileFails", "", 0, [](cSystemIni&) {}},
    {"KeysAreCaseSensitive", "direct3d=0\nExit\n", 1, [](cSystemIni&) {}},
    {"UnknownKeysChangeNothing", "Fullscreen=1\nDirect3D9=1\nExit\n", 1, [](cSystemIni&) {}},
    {"BlanksAndTabsInAKeyAreSkipped", " Window\tMode =1\nExit\n", 1, [](cSystemIni& s) { s.m_nWindowMode = 1; }},
    {"BlankAfterEqualsEndsTheValueEmpty", "Bpp= 16\nExit\n", 1, [](cSystemIni& s) { s.m_nBpp = 0; }},
    {"BadNumbersReadTheirLeadingDigits", "Bpp=abc\nVSync=-1\nShowFps=12x\nExit\n", 1,
     [](cSystemIni& s) { s.m_nBpp = 0; s.m_nVSync = -1; s.m_nShowFps = 12; }},
    {"HugeNumbersStopAtTheIntLimits", "Bpp=99999999999\nVSync=-99999999999\nExit\n", 1,
     [](cSystemIni& s) { s.m_nBpp = INT_MAX; s.m_nVSync = INT_MIN; }},
    {"CrLfLineEnds", "Direct3D=0\r\nWindowMode=1\r\nExit\r\n", 1,
     [](cSystemIni& s) { s.m_nDirect3D = 0; s.m_nWindowMode = 1; }},
    {"CrLfLeavesNoCrInAFreeStagePathAtTheLineEnd", "FreeStage=data\\stg4\\a.stg4\r\nExit\r\n", 1,
     [](cSystemIni& s) { s.m_strFreeStage = "data\\stg4\\a.stg4"; }},
    {"FreeStageWithAComment", "FreeStage=data\\stg4\\a.stg4 // test\nExit\n", 1,
     [](cSystemIni& s) { s.m_strFreeStage = "data\\stg4\\a.stg4"; }},
    {"FreeStageOfOneCharacterIsIgnored", "FreeStage=a\nExit\n", 1, [](cSystemIni&) {}},
    {"FreeStageOfTwoCharactersIsTaken", "FreeStage=ab\nExit\n", 1,
     [](cSystemIni& s) { s.m_strFreeStage = "ab"; }},
    {"FreeStageOf259CharactersIsTaken", "FreeStage=" + LongText(259) + "\nExit\n", 1,
     [](cSystemIni& s) { s.m_strFreeStage = LongText(259); }},
    {"FreeStageOf260CharactersIsIgnored", "FreeStage=" + LongText(260) + "\nExit\n", 1, [](cSystemIni&) {}},
    {"OverlongKeyIsCutAndMatchesNothing", LongText(5000) + "=1\nExit\n", 1, [](cSystemIni&) {}},
    {"TenThousandLinesEndTheReading", ManyLines(kIniMaxLines) + "Direct3D=0\n", 1, [](cSystemIni&) {}},
    {"FewerLinesStillNeedExit", ManyLines(kIniMaxLines - 1), 0, [](cSystemIni&) {}},
};

class SystemIniParse : public ::testing::TestWithParam<IniCase> {};

TEST_P(SystemIniParse, ReadsAsTheFileSays) {
  const IniCase& c = GetParam();
  const cSystemIni defaults = Defaults();
  cSystemIni settings = defaults;
  EXPECT_EQ(c.result, ParseSystemIni(c.bytes, settings, SystemIniKeys()));
  cSystemIni want = defaults;
  c.change(want);
  ExpectSame(want, settings);
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemIniParse, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

class SystemIniFile : public apptest::cAppFixture {};

TEST_F(SystemIniFile, ReadsTheFileOfTheWorkingFolder) {
  WriteFile("System.ini", "Direct3D=0\r\nWindowMode=1\r\nShowFps=2\r\nExit\r\n");
  cSystemIni settings;
  EXPECT_TRUE(LoadSystemIni(settings));
  EXPECT_EQ(0, settings.m_nDirect3D);
  EXPECT_EQ(1, settings.m_nWindowMode);
  EXPECT_EQ(2, settings.m_nShowFps);
  EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(SystemIniFile, WithoutExitEveryDefaultHoldsAndTheUserIsTold) {
  // The values the file did contain are dropped too.
  WriteFile("System.ini", "Direct3D=0\nWindowMode=1\nBpp=16\n");
  cSystemIni settings;
  settings.m_nBpp = 24;
  EXPECT_FALSE(LoadSystemIni(settings));
  ExpectSame(Defaults(), settings);
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("System.ini の読み込みに失敗しました！", m_Boxes[0].text);
  EXPECT_EQ("エラー", m_Boxes[0].caption);
  const std::vector<std::string> report = ReadLines("Report_Game.txt");
  ASSERT_FALSE(report.empty());
  EXPECT_EQ("System.ini の読み込みに失敗しました！", report.back());
}

TEST_F(SystemIniFile, MissingFileFailsWithTheSameMessage) {
  cSystemIni settings;
  EXPECT_FALSE(LoadSystemIni(settings));
  ExpectSame(Defaults(), settings);
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("System.ini の読み込みに失敗しました！", m_Boxes[0].text);
}

TEST_F(SystemIniFile, FolderInThePlaceOfTheFileFails) {
  std::filesystem::create_directory(m_Folder / "System.ini");
  cSystemIni settings;
  EXPECT_FALSE(LoadSystemIni(settings));
  ExpectSame(Defaults(), settings);
  EXPECT_EQ(1u, m_Boxes.size());
}

TEST_F(SystemIniFile, FileNameIsFoundWhateverItsCase) {
  WriteFile("system.INI", "VSync=0\nExit\n");
  cSystemIni settings;
  EXPECT_TRUE(LoadSystemIni(settings));
  EXPECT_EQ(0, settings.m_nVSync);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/PathResolver.h"
#include "support/Utf8Text.h"

namespace {
namespace fs = std::filesystem;

// A game folder in the temporary folder, made the working folder for the
// test; the previous working folder is restored and the folder removed after.
class PathResolverTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_Root = fs::temp_directory_path() / ("kestrova_paths_" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(m_Root);
    m_Root = fs::canonical(m_Root);
    m_PreviousCwd = fs::current_path();
    fs::current_path(m_Root);

    MakeFile("data/stg4/a.stg4_781");
    MakeFile(Utf8(u8"dir/表.bmp"));
    MakeFile(Utf8(u8"dir/ア.txt"));
    MakeFile(Utf8(u8"dir/Ａ.txt"));
    MakeFile("dir/Readme.txt");
    MakeFile("dir/README.TXT");
  }

  void TearDown() override {
    fs::current_path(m_PreviousCwd);
    std::error_code ec;
    fs::remove_all(m_Root, ec);
  }

  void MakeFile(const std::string& relative) {
    const fs::path path = m_Root / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
  }

  fs::path m_Root;
  fs::path m_PreviousCwd;
};

TEST_F(PathResolverTest, ResolvesRelativePathsAgainstTheWorkingFolder) {
  struct Case {
    std::string program;
    std::string native;
  };
  const Case cases[] = {
      {"data\\stg4\\a.stg4_781", "data/stg4/a.stg4_781"},
      {"DATA\\Stg4\\a.STG4_781", "data/stg4/a.stg4_781"},
      // 表 ends in the byte 0x5C, which must not split the name.
      {"dir\\表.bmp", Utf8(u8"dir/表.bmp")},
      {"DIR\\表.BMP", Utf8(u8"dir/表.bmp")},
      {"Dir\\ア.TXT", Utf8(u8"dir/ア.txt")},
      // ア is 83 41 and ヂ is 83 61: folding raw CP932 would take one for the other.
      {"dir\\ヂ.txt", Utf8(u8"dir/ヂ.txt")},
      // Only ASCII letters fold: full-width ａ does not match the existing Ａ.
      {"dir\\ａ.txt", Utf8(u8"dir/ａ.txt")},
      // An exact name wins over another spelling; otherwise the choice is stable.
      {"dir\\Readme.txt", "dir/Readme.txt"},
      {"dir\\readme.txt", "dir/README.TXT"},
      // Missing components stay as written, so new files can be created.
      {"DATA\\New\\File.TXT", "data/New/File.TXT"},
      {"Missing\\DATA", "Missing/DATA"},
      {"data\\stg4\\b.stg4_781", "data/stg4/b.stg4_781"},
      // A drive prefix is dropped.
      {"C:DATA\\STG4", "data/stg4"},
      {"c:data", "data"},
      // "." and ".." pass through, and resolution goes on behind them.
      {".\\DATA\\..\\Data\\STG4", "./data/../data/stg4"},
      // Doubled separators collapse; a trailing one is kept.
      {"DATA\\\\STG4\\", "data/stg4/"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::NativePath(c.program), c.native) << c.program;
}

TEST_F(PathResolverTest, ResolvesAbsolutePaths) {
  const std::string root = m_Root.string();
  const std::string programRoot = plat::ProgramPath(root);
  ASSERT_EQ(programRoot.front(), '\\');

  struct Case {
    std::string program;
    std::string native;
  };
  const Case cases[] = {
      {programRoot + "\\DATA\\STG4\\A.stg4_781", root + "/data/stg4/a.stg4_781"},
      {"C:" + programRoot + "\\Dir\\表.BMP", root + Utf8(u8"/dir/表.bmp")},
      {programRoot + "\\data\\Nothing", root + "/data/Nothing"},
      {"\\", "/"},
      {"C:\\", "/"},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::NativePath(c.program), c.native) << c.program;

  // The same file is found from any working folder.
  fs::current_path(m_Root / "dir");
  EXPECT_EQ(plat::NativePath(programRoot + "\\DATA\\STG4"), root + "/data/stg4");
}

TEST_F(PathResolverTest, ProgramPathIsTheCp932FormWithBackslashes) {
  EXPECT_EQ(plat::ProgramPath(Utf8(u8"dir/表.bmp")), "dir\\表.bmp");
  EXPECT_EQ(plat::ProgramPath("/home/a/game"), "\\home\\a\\game");
  EXPECT_EQ(plat::CurrentDirectory(), plat::ProgramPath(m_Root.string()));
  // The program form of the working folder leads back to it.
  EXPECT_EQ(plat::NativePath(plat::CurrentDirectory()), m_Root.string());
}

TEST_F(PathResolverTest, TellsFilesFromFolders) {
  struct Case {
    std::string program;
    bool file;
    bool folder;
  };
  const Case cases[] = {
      {"DATA\\STG4\\A.STG4_781", true, false},
      {"Dir\\表.bmp", true, false},
      {"DATA\\STG4", false, true},
      {"data\\stg4\\", false, true},
      {"data\\none", false, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::FileExists(c.program), c.file) << c.program;
    EXPECT_EQ(plat::DirectoryExists(c.program), c.folder) << c.program;
  }
}

// One reading of the folder must answer as FileExists asks name by name.
TEST_F(PathResolverTest, FirstExistingFileAnswersAsFileExistsInTurn) {
  fs::create_directories(m_Root / "data" / "stg4" / "b.stg4_900");
  struct Case {
    std::vector<std::string> candidates;
    int first;
  };
  const Case cases[] = {
      {{"data\\stg4\\a.stg4_999", "DATA\\STG4\\A.STG4_781", "data\\stg4\\a.stg4_000"}, 1},
      // A folder of the right name is not a file.
      {{"data\\stg4\\b.stg4_900", "data\\stg4\\a.stg4_781"}, 1},
      {{"dir\\none.bmp", "dir\\表.bmp"}, 1},
      // Two names that differ in case only: either answers.
      {{"dir\\readme.txt"}, 0},
      {{"data\\stg4\\a.stg4_780", "data\\stg4\\a.stg4_782"}, -1},
      {{"none\\a.stg4_781", "none\\b.stg4_781"}, -1},
      {{"", "data\\stg4\\a.stg4_781"}, 1},
      {{}, -1},
  };
  for (const Case& c : cases) {
    int oneByOne = -1;
    for (std::size_t i = 0; i < c.candidates.size() && oneByOne < 0; ++i) {
      if (plat::FileExists(c.candidates[i])) oneByOne = static_cast<int>(i);
    }
    const std::string first = c.candidates.empty() ? "(none)" : c.candidates.front();
    EXPECT_EQ(oneByOne, c.first) << first;
    EXPECT_EQ(plat::FirstExistingFile(c.candidates), c.first) << first;
  }
}

}  // namespace

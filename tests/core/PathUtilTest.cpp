#include "core/PathUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "CoreTestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(PathUtilTest, ChangeExtension) {
  struct Case {
    const char* source;
    const char* extension;  // null: cut at the dot
    bool result;
    const char* expected;
  };
  const Case cases[] = {
      {"a.txt", "bin", true, "a.bin"},
      {"data\\x.stg4_781", "stg4", true, "data\\x.stg4"},
      {"dir.v\\file", "x", true, "dir.x"},  // the only dot lies in a folder name
      {"a.b.c", "d", true, "a.b.d"},
      {"a.txt", nullptr, true, "a"},
      {"a.", "bin", true, "a.bin"},
      {"noext", "bin", false, "noext"},
      {"", "bin", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    std::string dest = "garbage";
    EXPECT_EQ(ChangeExtension(dest, c.source, c.extension), c.result);
    EXPECT_EQ(dest, c.expected);
  }
}

TEST(PathUtilTest, ChangeExtensionInPlace) {
  std::string path = "stage.stg4_123";
  EXPECT_TRUE(ChangeExtension(path, path, "rpl4"));
  EXPECT_EQ(path, "stage.rpl4");
}

TEST(PathUtilTest, RemoveAndGetExtension) {
  struct Case {
    const char* path;
    bool found;
    const char* removed;
    const char* extension;
  };
  const Case cases[] = {
      {"a.b.c", true, "a.b", "c"},
      {"abc", false, "abc", "unchanged"},
      {"data\\x.stg4_781", true, "data\\x", "stg4_781"},
      {"dir.v\\file", true, "dir", "v\\file"},
      {"a.", true, "a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    EXPECT_EQ(RemoveExtensionString(path), c.found);
    EXPECT_EQ(path, c.removed);
    std::string extension = "unchanged";
    EXPECT_EQ(GetExtension(extension, c.path), c.found);
    EXPECT_EQ(extension, c.extension);
  }
}

TEST(PathUtilTest, InsertDigits) {
  struct Case {
    const char* source;
    int a;
    int b;
    bool result;
    const char* expected;
  };
  const Case cases[] = {
      {"base.ext", 1, 2, true, "base_12.ext"},
      {"bmp\\Title.bmp", 0, 9, true, "bmp\\Title_09.bmp"},
      {"a.b.c", 3, 4, true, "a.b_34.c"},
      {"a.very_long_extension_of_more_than_thirty_two_bytes", 5, 5, true,
       "a_55.very_long_extension_of_more_than_thirty_two_bytes"},
      {"noext", 1, 2, false, "unchanged"},
      {"base.ext", 10, 0, false, "unchanged"},  // would give ':'
      {"base.ext", 0, -1, false, "unchanged"},  // would give '/'
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    std::string dest = "unchanged";
    EXPECT_EQ(InsertDigits(dest, c.source, c.a, c.b), c.result);
    EXPECT_EQ(dest, c.expected);
  }
}

TEST(PathUtilTest, StripDirectoryStepsOverTrailBytes) {
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"a\\b\\c", "c"},
      {"nofolder.bmp", "nofolder.bmp"},
      {"dir\\表.bmp", "表.bmp"},          // 95 5C: the trail byte is no separator
      {"表\\ソ", "ソ"},                    // both 83 5C and 95 5C
      {"dir\\", ""},
      {"\\root.txt", "root.txt"},
      {"a/b", "a/b"},                      // only the backslash separates
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    StripDirectory(path);
    EXPECT_EQ(path, c.expected);
  }
}

class PathUtilFolderTest : public ::testing::Test {
 protected:
  void Touch(const fs::path& relative) { coretest::WriteWholeFile(m_Folder.Path() / relative, "x"); }
  std::string Cwd() const { return plat::CurrentDirectory(); }
  coretest::cTempWorkingFolder m_Folder;
};

TEST_F(PathUtilFolderTest, ToFullPath) {
  const std::string cwd = Cwd();
  ASSERT_FALSE(cwd.empty());
  ASSERT_EQ(cwd[0], '\\');
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"Report_Game.txt", cwd + "\\Report_Game.txt"},
      {"data\\stg4\\a.stg4", cwd + "\\data\\stg4\\a.stg4"},
      {".\\data\\..\\x.txt", cwd + "\\x.txt"},
      {"data\\", cwd + "\\data\\"},
      {"表\\a", cwd + "\\表\\a"},
      {"\\already\\full", "\\already\\full"},
      {"C:\\drive", "C:\\drive"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    EXPECT_TRUE(ToFullPath(path));
    EXPECT_EQ(path, c.expected);
  }
}

TEST_F(PathUtilFolderTest, ToRelativePath) {
  const std::string cwd = Cwd();
  struct Case {
    std::string path;
    bool result;
    std::string expected;
  };
  const Case cases[] = {
      {cwd + "\\data\\x.stg4_781", true, "data\\x.stg4_781"},
      {cwd + "\\表\\ソ.txt", true, "表\\ソ.txt"},
      {cwd + "\\..\\sibling\\f", true, "..\\sibling\\f"},
      {"data\\relative", true, "data\\relative"},
      {"D:\\other\\drive.txt", false, "D:\\other\\drive.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    EXPECT_EQ(ToRelativePathString(path), c.result);
    EXPECT_EQ(path, c.expected);
  }
}

TEST_F(PathUtilFolderTest, RelativeAndFullPathRoundTrip) {
  std::string path = "data\\stg4\\表.stg4_781";
  ASSERT_TRUE(ToFullPath(path));
  ASSERT_TRUE(ToRelativePath(path));
  EXPECT_EQ(path, "data\\stg4\\表.stg4_781");
}

TEST_F(PathUtilFolderTest, UnreadableWorkingFolderFailsAndLeavesPath) {
  fs::create_directory(m_Folder.Path() / "gone");
  fs::current_path(m_Folder.Path() / "gone");
  fs::remove(m_Folder.Path() / "gone");
  if (!plat::CurrentDirectory().empty()) GTEST_SKIP() << "this system still reads a removed working folder";

  std::string relative = "data\\x";
  EXPECT_FALSE(ToFullPath(relative));
  EXPECT_EQ(relative, "data\\x");
  std::string full = "\\somewhere\\x";
  EXPECT_FALSE(ToRelativePath(full));
  EXPECT_EQ(full, "\\somewhere\\x");
}

TEST_F(PathUtilFolderTest, FindLastNumberedFileTakesHighestRegularFile) {
  fs::create_directories(m_Folder.Path() / "data" / "stg4");
  Touch("data/stg4/stage.stg4_099");
  Touch("data/stg4/stage.stg4_781");
  Touch("data/stg4/stage.rpl4_990");
  fs::create_directory(m_Folder.Path() / "data" / "stg4" / "stage.stg4_900");  // a folder does not count

  for (const char* source : {"data\\stg4\\stage.stg4", "data\\stg4\\stage.stg4_123", "data\\stg4\\stage.rpl4_5"}) {
    SCOPED_TRACE(source);
    std::string dest;
    EXPECT_TRUE(FindLastNumberedFileString(dest, source, "stg4"));
    EXPECT_EQ(dest, "data\\stg4\\stage.stg4_781");
  }
}

TEST_F(PathUtilFolderTest, FindLastNumberedFileInPlaceAndWithoutDot) {
  Touch("stage.stg4_000");
  Touch("noext_042");

  std::string path = "stage.stg4_555";
  EXPECT_TRUE(FindLastNumberedFile(path, path, "stg4"));
  EXPECT_EQ(path, "stage.stg4_000");

  std::string plain = "noext";
  EXPECT_TRUE(FindLastNumberedFile(plain, plain, "stg4"));
  EXPECT_EQ(plain, "noext_042");
}

TEST_F(PathUtilFolderTest, FindLastNumberedFileWithNoneLeavesDestination) {
  fs::create_directory(m_Folder.Path() / "stage.stg4_900");
  std::string dest = "unchanged";
  EXPECT_FALSE(FindLastNumberedFile(dest, "stage.stg4", "stg4"));
  EXPECT_EQ(dest, "unchanged");
}

}  // namespace

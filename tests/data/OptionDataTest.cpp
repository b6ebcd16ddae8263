#include "data/OptionData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileLimitSupport.h"
#include "RecordTestSupport.h"
#include "core/SafeAccess.h"
#include "core/SafeVector.h"
#include "data/PathTable.h"
#include "support/ByteBuilder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ByteBuilder;
using testsupport::I32;

struct OptionValues {
  int colourSet, music, volume, rankMode;
  std::string name;
};

OptionValues ValuesOf(const cOptionData& o) {
  return {o.m_nColourSet, o.m_bMusic, o.m_nSeVolume, o.m_nRankMode, o.m_strRankName};
}

void ExpectValues(const cOptionData& o, const OptionValues& v) {
  EXPECT_EQ(o.m_nColourSet, v.colourSet);
  EXPECT_EQ(o.m_bMusic, v.music);
  EXPECT_EQ(o.m_nSeVolume, v.volume);
  EXPECT_EQ(o.m_nRankMode, v.rankMode);
  EXPECT_EQ(o.m_strRankName, v.name);
}

std::vector<std::uint8_t> OptionFile(int version, int colourSet, int music, int volume, int rankMode,
                                     std::string_view name) {
  return ByteBuilder().File(version, {I32(colourSet), I32(music), I32(volume), I32(rankMode)}, {name});
}

class OptionDataFileTest : public ::testing::Test {
 protected:
  OptionDataFileTest() { fs::create_directory(m_Folder.Path() / "user_data"); }
  ~OptionDataFileTest() override { ClearFatalPendingForTests(); }

  fs::path OptionPath() const { return m_Folder.Path() / "user_data" / "Option.dat"; }

  recordtest::cTempFolder m_Folder;
};

TEST(OptionDataTest, DefaultsWriteTheGoldenBytes) {
  cOptionData options;
  ExpectValues(options, {0, 1, 7, 0, "aaa"});
  const std::vector<std::uint8_t> expected = {
      0x0D, 0x03, 0x00, 0x00,                          // version 781
      0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // N = 4, palette set 0
      0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,  // music 1, volume 7
      0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // ranking mode 0, M = 1
      0x04, 0x00, 0x00, 0x00, 0x61, 0x61, 0x61, 0x00,  // "aaa"
  };
  EXPECT_EQ(options.MakeFileBytes(), expected);
}

TEST(OptionDataTest, ValuesOutsideTheirRangesAreBroughtIntoThemOnLoad) {
  // Every number picks an entry of a table (blend-table file, volume step,
  // ranking-mode name): an edited file must never reach past one.
  struct Case {
    OptionValues file;
    OptionValues loaded;
  };
  const Case cases[] = {
      {{23, 0, 10, 3, "xyz"}, {23, 0, 10, 3, "xyz"}},  // the upper ends stay
      {{24, 2, 11, 4, "a"}, {23, 1, 10, 3, "a"}},
      {{-1, -5, -1, -1, ""}, {0, 1, 0, 0, ""}},
      {{2147483647, 1, -2147483647 - 1, 99, "aaa"}, {23, 1, 0, 3, "aaa"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.colourSet);
    cOptionData options;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(
        options, OptionFile(DATA_VERSION, c.file.colourSet, c.file.music, c.file.volume, c.file.rankMode, c.file.name)));
    ExpectValues(options, c.loaded);
  }
}

TEST(OptionDataTest, AnyVersionHasTheSameForm) {
  cOptionData options;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(options, OptionFile(100, 5, 0, 3, 2, "abc")));
  ExpectValues(options, {5, 0, 3, 2, "abc"});
}

TEST(OptionDataTest, EveryTruncatedFileIsRefusedAndChangesNothing) {
  cOptionData saved;
  saved.m_nColourSet = 9;
  saved.m_strRankName = "bcd";
  const std::vector<std::uint8_t> bytes = saved.MakeFileBytes();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    SCOPED_TRACE(size);
    cOptionData options;
    options.m_nSeVolume = 2;
    EXPECT_FALSE(cDataRecord::LoadFromBytes(options, std::span(bytes.data(), size)));
    ExpectValues(options, {0, 1, 2, 0, "aaa"});
  }
}

TEST(OptionDataTest, NewerVersionAndSurplusMembersAreRefused) {
  cOptionData options;
  EXPECT_FALSE(cDataRecord::LoadFromBytes(options, OptionFile(DATA_VERSION + 1, 1, 1, 1, 1, "x")));
  const std::vector<std::uint8_t> surplus =
      ByteBuilder().File(DATA_VERSION, {I32(1), I32(1), I32(1), I32(1), I32(1)}, {"x"});
  EXPECT_FALSE(cDataRecord::LoadFromBytes(options, surplus));
  ExpectValues(options, {0, 1, 7, 0, "aaa"});
}

TEST_F(OptionDataFileTest, SaveThenLoadGivesTheSameOptions) {
  cOptionData options;
  options.m_nColourSet = 23;
  options.m_bMusic = 0;
  options.m_nSeVolume = 10;
  options.m_nRankMode = 3;
  options.m_strRankName = "ｱｲｳ";
  ASSERT_TRUE(options.Save(g_PathTable[PATH_OPTION]));

  cOptionData loaded;
  ASSERT_TRUE(loaded.Load(g_PathTable[PATH_OPTION]));
  ExpectValues(loaded, ValuesOf(options));
  EXPECT_EQ(recordtest::ReadFileBytes(OptionPath()), options.MakeFileBytes());
}

TEST_F(OptionDataFileTest, MissingFileKeepsTheDefaultsQuietly) {
  cOptionData options;
  EXPECT_FALSE(options.Load(g_PathTable[PATH_OPTION]));
  ExpectValues(options, {0, 1, 7, 0, "aaa"});
  EXPECT_EQ(recordtest::ReportText(), "");
}

TEST_F(OptionDataFileTest, DamagedFileIsReportedAndNotLoaded) {
  const std::vector<std::uint8_t> good = OptionFile(DATA_VERSION, 4, 0, 2, 1, "abc");
  recordtest::WriteFileBytes(OptionPath(), std::vector<std::uint8_t>(good.begin(), good.end() - 3));
  cOptionData options;
  EXPECT_FALSE(options.Load(g_PathTable[PATH_OPTION]));
  ExpectValues(options, {0, 1, 7, 0, "aaa"});
  EXPECT_NE(recordtest::ReportText().find("Option.dat"), std::string::npos);
}

TEST_F(OptionDataFileTest, SaveThatCannotBeWrittenIsReportedAndKeepsTheOldFile) {
  cOptionData old;
  old.m_nColourSet = 3;
  ASSERT_TRUE(old.Save(g_PathTable[PATH_OPTION]));
  const std::vector<std::uint8_t> before = recordtest::ReadFileBytes(OptionPath());

  cOptionData options;
  options.m_nColourSet = 7;
  options.m_strRankName = std::string(600, 'n');  // far longer than the limit
  bool saved = true;
  {
    // Room for the report line, not for the file.
    recordtest::cFileSizeLimit limit(300);
    saved = options.Save(g_PathTable[PATH_OPTION]);
  }
  EXPECT_FALSE(saved);
  EXPECT_NE(recordtest::ReportText().find("Option.dat"), std::string::npos);
  EXPECT_EQ(recordtest::ReadFileBytes(OptionPath()), before);
  cOptionData loaded;
  ASSERT_TRUE(loaded.Load(g_PathTable[PATH_OPTION]));
  EXPECT_EQ(loaded.m_nColourSet, 3);
}

TEST_F(OptionDataFileTest, SaveIsRefusedAfterACheckedContainerFailed) {
  cOptionData old;
  ASSERT_TRUE(old.Save(g_PathTable[PATH_OPTION]));
  const std::vector<std::uint8_t> before = recordtest::ReadFileBytes(OptionPath());

  cSafeVector<int> list{1};
  (void)list[3];
  ASSERT_TRUE(IsFatalPending());
  cOptionData options;
  options.m_nSeVolume = 1;
  EXPECT_FALSE(options.Save(g_PathTable[PATH_OPTION]));
  EXPECT_EQ(recordtest::ReadFileBytes(OptionPath()), before);
  EXPECT_NE(recordtest::ReportText().find("refused"), std::string::npos);
}

}  // namespace

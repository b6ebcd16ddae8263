#include "dialog/BootData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AppTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;
using testsupport::I32;

using apptest::AsString;

class BootDataTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    std::filesystem::create_directories(m_Folder / "user_data");
  }
};

TEST_F(BootDataTest, StartsWithDirect3DAndTheDialogShown) {
  const cBootData boot;
  EXPECT_EQ(1, boot.m_nDrawMode);
  EXPECT_EQ(0, boot.m_bNoShow);
  EXPECT_EQ("user_data\\Boot.dat", cBootData::DefaultPath());
}

TEST_F(BootDataTest, DirectDrawWithDoNotAskWritesTheTwentyByteFile) {
  cBootData boot;
  boot.m_nDrawMode = 0;
  boot.m_bNoShow = 1;
  ASSERT_TRUE(boot.Save());
  const std::string want = AsString(ByteBuilder().File(781, {I32(0), I32(1)}, {}));
  EXPECT_EQ(20u, want.size());
  EXPECT_EQ(want, ReadFile("user_data/Boot.dat"));
}

TEST_F(BootDataTest, RoundTripKeepsBothChoices) {
  for (const auto& [mode, noShow] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{1, 1}, std::pair{0, 0}}) {
    cBootData written;
    written.m_nDrawMode = mode;
    written.m_bNoShow = noShow;
    ASSERT_TRUE(written.Save());
    cBootData read;
    read.m_nDrawMode = 7;
    read.m_bNoShow = 7;
    ASSERT_TRUE(read.Load());
    EXPECT_EQ(mode, read.m_nDrawMode);
    EXPECT_EQ(noShow, read.m_bNoShow);
  }
}

TEST_F(BootDataTest, MissingOrDamagedFileLeavesTheChoicesAlone) {
  cBootData boot;
  boot.m_nDrawMode = 0;
  boot.m_bNoShow = 1;
  EXPECT_FALSE(boot.Load());  // no file

  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } damaged[] = {
      {"truncated", ByteBuilder().U32(781).U32(2).I32(1).Bytes()},
      {"newer version", ByteBuilder().File(782, {I32(1), I32(0)}, {}).Bytes()},
      {"version zero", ByteBuilder().File(0, {I32(1), I32(0)}, {}).Bytes()},
      {"three members", ByteBuilder().File(781, {I32(1), I32(0), I32(5)}, {}).Bytes()},
      {"empty", {}},
  };
  for (const auto& d : damaged) {
    SCOPED_TRACE(d.name);
    WriteFile("user_data/Boot.dat", AsString(d.bytes));
    EXPECT_FALSE(boot.Load());
    EXPECT_EQ(0, boot.m_nDrawMode);
    EXPECT_EQ(1, boot.m_bNoShow);
  }
}

TEST_F(BootDataTest, OlderFileReadsTheSameTwoMembers) {
  WriteFile("user_data/Boot.dat", AsString(ByteBuilder().File(300, {I32(0), I32(1)}, {})));
  cBootData boot;
  ASSERT_TRUE(boot.Load());
  EXPECT_EQ(0, boot.m_nDrawMode);
  EXPECT_EQ(1, boot.m_bNoShow);
}

TEST_F(BootDataTest, SaveThatCannotWriteIsReportedAsFailed) {
  cBootData boot;
  boot.m_nDrawMode = 0;
  EXPECT_FALSE(boot.Save("user_data\\missing\\Boot.dat"));
  EXPECT_FALSE(std::filesystem::exists(m_Folder / "user_data" / "missing"));
  EXPECT_EQ(0, boot.m_nDrawMode);  // the choice still holds for this run
}

}  // namespace

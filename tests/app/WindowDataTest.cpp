// "user_data\Window.dat": the placement record's file form, the clamp onto the
// screen when it is read, and a save that cannot be written.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/AppTestSupport.h"
#include "app/WindowData.h"
#include "platform/WindowHost.h"

namespace {

namespace fs = std::filesystem;

std::string FileBytes(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t maximised) {
  const std::int32_t words[8] = {781, 5, x, y, width, height, maximised, 0};
  return std::string(reinterpret_cast<const char*>(words), sizeof(words));
}

class WindowDataTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    plat::SetDesktopRects(RECT{0, 0, 1280, 800}, RECT{0, 0, 1280, 770});
  }
  void TearDown() override {
    plat::ResetScreenMetrics();
    cAppFixture::TearDown();
  }
};

TEST_F(WindowDataTest, WrittenAsTheRecordFormAndReadBack) {
  fs::create_directories(m_Folder / "user_data");
  cWindowData data;
  data.Set(12, 34, 800, 600, 1);
  ASSERT_TRUE(data.SaveFile("user_data\\Window.dat"));
  EXPECT_EQ(ReadFile("user_data/Window.dat"), FileBytes(12, 34, 800, 600, 1));

  cWindowData read;
  ASSERT_TRUE(cDataRecord::LoadFile(read, "user_data\\Window.dat"));
  EXPECT_EQ(read.m_nX, 12);
  EXPECT_EQ(read.m_nY, 34);
  EXPECT_EQ(read.m_nWidth, 800);
  EXPECT_EQ(read.m_nHeight, 600);
  EXPECT_EQ(read.m_bMaximised, 1);
}

TEST_F(WindowDataTest, ThePositionIsBroughtOntoTheScreenWhenRead) {
  struct sCase {
    std::int32_t x, y, width, height;
    std::int32_t readX, readY;
  };
  const sCase cases[] = {
      {-50, 100000, 640, 480, 0, 770},
      {500, 300, 640, 480, 500, 300},
      {1280, 770, 640, 480, 1280, 770},
      {99999, -1, -5, 70000, 1280, 0},  // width and height are kept as stored
  };
  for (const sCase& test : cases) {
    WriteFile("user_data/Window.dat", FileBytes(test.x, test.y, test.width, test.height, 0));
    cWindowData read;
    ASSERT_TRUE(cDataRecord::LoadFile(read, "user_data\\Window.dat"));
    EXPECT_EQ(read.m_nX, test.readX) << test.x;
    EXPECT_EQ(read.m_nY, test.readY) << test.y;
    EXPECT_EQ(read.m_nWidth, test.width);
    EXPECT_EQ(read.m_nHeight, test.height);
  }
}

TEST_F(WindowDataTest, ADamagedFileLeavesTheRecordAsItWas) {
  WriteFile("user_data/Window.dat", FileBytes(1, 2, 3, 4, 5).substr(0, 20));
  cWindowData read;
  read.Set(7, 8, 640, 480, 0);
  EXPECT_FALSE(cDataRecord::LoadFile(read, "user_data\\Window.dat"));
  EXPECT_EQ(read.m_nX, 7);
  EXPECT_EQ(read.m_nWidth, 640);
}

TEST_F(WindowDataTest, ASaveThatCannotBeWrittenIsReportedAsFailed) {
  fs::create_directories(m_Folder / "user_data" / "Window.dat" / "inside");
  cWindowData data;
  data.Set(1, 2, 3, 4, 0);
  EXPECT_FALSE(data.SaveFile("user_data\\Window.dat"));
  EXPECT_TRUE(fs::is_directory(m_Folder / "user_data" / "Window.dat" / "inside"));
}

}  // namespace

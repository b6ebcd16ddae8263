#include "core/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "CoreTestSupport.h"

namespace {

namespace fs = std::filesystem;
using coretest::ReadWholeFile;
using coretest::WriteWholeFile;

class AtomicFileTest : public ::testing::Test {
 protected:
  // Names in the folder other than the ones given: temporary files left over.
  std::vector<std::string> Leftovers(const fs::path& folder, std::vector<std::string> expected) const {
    std::vector<std::string> extra;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (std::find(expected.begin(), expected.end(), name) == expected.end()) extra.push_back(name);
    }
    return extra;
  }
  coretest::cTempWorkingFolder m_Folder;
};

TEST_F(AtomicFileTest, WritesNewFileAndReplacesOldOne) {
  fs::create_directory(m_Folder.Path() / "user_data");
  const std::string bytes("\x00\x01save\xFF", 7);
  EXPECT_TRUE(WriteFileAtomic("user_data\\Option.dat", bytes));
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "user_data" / "Option.dat"), bytes);

  const std::vector<std::uint8_t> shorter{1, 2};
  EXPECT_TRUE(WriteFileAtomic("user_data\\Option.dat", shorter));
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "user_data" / "Option.dat"), std::string("\x01\x02", 2));

  EXPECT_TRUE(WriteFileAtomic("user_data\\Empty.dat", nullptr, 0));
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "user_data" / "Empty.dat"), "");
  EXPECT_TRUE(Leftovers(m_Folder.Path() / "user_data", {"Option.dat", "Empty.dat"}).empty());
}

TEST_F(AtomicFileTest, FullProgramPathAndCaseInsensitiveFolder) {
  fs::create_directory(m_Folder.Path() / "User_Data");
  EXPECT_TRUE(WriteFileAtomic(plat::CurrentDirectory() + "\\user_data\\Window.dat", std::string_view("w")));
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "User_Data" / "Window.dat"), "w");
}

TEST_F(AtomicFileTest, MissingFolderFails) {
  EXPECT_FALSE(WriteFileAtomic("no_folder\\Option.dat", std::string_view("x")));
  EXPECT_TRUE(Leftovers(m_Folder.Path(), {}).empty());
  EXPECT_FALSE(WriteFileAtomic("", std::string_view("x")));
}

TEST_F(AtomicFileTest, FailedRenameRemovesTemporaryAndKeepsTarget) {
  // A folder where the file should go: everything is written, then the rename fails.
  fs::create_directories(m_Folder.Path() / "Save.dat" / "inside");
  EXPECT_FALSE(WriteFileAtomic("Save.dat", std::string_view("new")));
  EXPECT_TRUE(fs::is_directory(m_Folder.Path() / "Save.dat" / "inside"));
  EXPECT_TRUE(Leftovers(m_Folder.Path(), {"Save.dat"}).empty());
}

TEST_F(AtomicFileTest, WriteThatRunsOutOfSpaceKeepsPreviousFile) {
  WriteWholeFile(m_Folder.Path() / "Story01.dat", "previous save");
  const std::string big(64 * 1024, 's');

  // A file-size limit makes the write fail part way, as a full disk would.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previousAction {};
  ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previousAction), 0);
  rlimit previousLimit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
  rlimit small = previousLimit;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomic("Story01.dat", big);
  ::setrlimit(RLIMIT_FSIZE, &previousLimit);
  ::sigaction(SIGXFSZ, &previousAction, nullptr);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadWholeFile(m_Folder.Path() / "Story01.dat"), "previous save");
  EXPECT_TRUE(Leftovers(m_Folder.Path(), {"Story01.dat"}).empty());
}

}  // namespace

// The default-data copy: when data\ is missing, default\ becomes data\ after
// asking, all or nothing.

#include "data/DefaultData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/RecordTestSupport.h"
#include "platform/MessageBox.h"

namespace fs = std::filesystem;

namespace {

struct cBoxCall {
  std::string text;
  std::string caption;
  UINT type;
};

class DefaultData : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetMessageBoxSink([this](const std::string& text, const std::string& caption, UINT type) {
      m_Calls.push_back({text, caption, type});
      return m_nAnswer;
    });
  }
  void TearDown() override { plat::SetMessageBoxSink(nullptr); }

  // A default\ tree with nested folders and files of several sizes.
  void MakeDefaultTree() {
    fs::create_directories("default/database");
    fs::create_directories("default/stg4/empty");
    recordtest::WriteFileBytes("default/System.dat", {1, 2, 3});
    recordtest::WriteFileBytes("default/database/Anime.dat", std::vector<std::uint8_t>(70000, 0xAB));
    recordtest::WriteFileBytes("default/stg4/a.stg4_781", {});
  }

  // Every path below the folder, relative to it, with the contents of files.
  static std::vector<std::pair<std::string, std::string>> Listing(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> listing;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string relative = entry.path().lexically_relative(root).string();
      listing.emplace_back(relative, entry.is_regular_file() ? recordtest::ReadFileText(entry.path()) : "<dir>");
    }
    std::sort(listing.begin(), listing.end());
    return listing;
  }

  // What is in the working folder besides the report.
  static std::vector<std::string> TopLevel() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) {
      const std::string name = entry.path().filename().string();
      if (name != "Report_Game.txt") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  recordtest::cTempFolder m_Folder;
  std::vector<cBoxCall> m_Calls;
  int m_nAnswer = IDYES;
};

TEST_F(DefaultData, WithDataPresentNothingIsAsked) {
  fs::create_directory("data");
  EXPECT_TRUE(CreateDefaultData(nullptr));
  EXPECT_TRUE(m_Calls.empty());

  fs::create_directory("default");  // whatever default\ holds
  EXPECT_TRUE(CreateDefaultData(nullptr));
  EXPECT_TRUE(m_Calls.empty());
}

TEST_F(DefaultData, WithNeitherFolderNothingIsAskedAndItFails) {
  EXPECT_FALSE(CreateDefaultData(nullptr));
  EXPECT_TRUE(m_Calls.empty());
  EXPECT_TRUE(TopLevel().empty());
}

TEST_F(DefaultData, AnsweringNoLeavesTheDiskUnchanged) {
  MakeDefaultTree();
  const auto before = Listing(".");
  m_nAnswer = IDNO;
  EXPECT_FALSE(CreateDefaultData(nullptr));
  ASSERT_EQ(m_Calls.size(), 1u);
  EXPECT_EQ(m_Calls[0].text, "データが存在しません！デフォルトデータを作成しますか？\n");
  EXPECT_EQ(m_Calls[0].caption, "デフォルトデータ作成の確認");
  EXPECT_EQ(m_Calls[0].type, MB_YESNO);
  EXPECT_EQ(Listing("."), before);
}

TEST_F(DefaultData, AnsweringYesCopiesTheWholeTree) {
  MakeDefaultTree();
  fs::create_directories("data.copying/stale");  // left over by an interrupted run
  EXPECT_TRUE(CreateDefaultData(nullptr));
  EXPECT_EQ(m_Calls.size(), 1u);
  EXPECT_EQ(Listing("data"), Listing("default"));
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"data", "default"}));
}

// A copy that cannot finish leaves no data\ and no scratch folder behind, and
// default\ as it was.
TEST_F(DefaultData, ACopyThatFailsHalfWayLeavesNothingBehind) {
  MakeDefaultTree();
  fs::create_directories("default/zz/deeper");
  recordtest::WriteFileBytes("default/zz/deeper/before.dat", {9});
  fs::create_symlink("does_not_exist", "default/zz/deeper/broken.dat");
  const auto before = Listing("default");

  EXPECT_FALSE(CreateDefaultData(nullptr));
  EXPECT_EQ(m_Calls.size(), 1u);
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"default"}));
  EXPECT_EQ(Listing("default"), before);
  EXPECT_NE(recordtest::ReportText().find("broken.dat"), std::string::npos);
}

TEST_F(DefaultData, ADataFileInThePlaceOfTheFolderIsRefusedAndKept) {
  MakeDefaultTree();
  recordtest::WriteFileBytes("data", {'k', 'e', 'e', 'p'});
  EXPECT_FALSE(CreateDefaultData(nullptr));
  EXPECT_TRUE(m_Calls.empty());
  EXPECT_EQ(recordtest::ReadFileText("data"), "keep");
  EXPECT_FALSE(fs::exists("data.copying"));
}

}  // namespace

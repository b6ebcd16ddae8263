// Runs the built player in an empty temporary folder and checks what its
// first start-up step leaves there.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class PlayerStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrova_app_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_Folder, ec);
  }

  // Runs the player with the folder as its working folder; its standard
  // error goes to a file there. Returns the shell's status (0: exit code 0).
  int RunPlayer() {
    const std::string command = "cd '" + m_Folder.string() + "' && '" KESTROVA4_EXECUTABLE "' 2> '" +
                                (m_Folder / "stderr.txt").string() + "' > /dev/null";
    return std::system(command.c_str());
  }

  std::string Read(const char* name) const {
    std::ifstream in(m_Folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    std::istringstream in(Read("Report_Game.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path m_Folder;
};

void ExpectVersionAndSystemLines(const std::vector<std::string>& lines) {
  const char* const patterns[] = {
      "App : ver 781",
      "OS : Linux \\S+ .* PID 2 Build [0-9]+",
      "CPU : \\S* .* [0-9]+",
      "Mem Total : [0-9]+\\.[0-9]{3}MB",
      "Mem Free : *[0-9]+MB",
      "Vir Total : [0-9]+\\.[0-9]{3}MB",
      "Vir Free : *[0-9]+MB",
      "HD Free : *[0-9]+MB",
  };
  // Start-up goes on writing below them (here it stops at the missing data).
  ASSERT_GE(lines.size(), std::size(patterns));
  for (std::size_t i = 0; i < std::size(patterns); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(patterns[i]))) << "line " << i << ": " << lines[i];
  }
}

TEST_F(PlayerStartTest, ReportBeginsWithTheVersionAndTheSystemLines) {
  ASSERT_EQ(RunPlayer(), 0);
  ExpectVersionAndSystemLines(ReportLines());
  EXPECT_FALSE(fs::exists(m_Folder / "EC_Game.txt")) << "the debug log is off";
}

TEST_F(PlayerStartTest, ReportOfAnEarlierRunIsReplaced) {
  std::ofstream(m_Folder / "Report_Game.txt") << "an old line\nanother old line that is rather long\n";
  ASSERT_EQ(RunPlayer(), 0);
  ExpectVersionAndSystemLines(ReportLines());
}

// A report that cannot be created ends the start with exit code 0 and a line
// on standard error saying why.
TEST_F(PlayerStartTest, ReportThatCannotBeCreatedEndsTheStartWithAMessage) {
  fs::create_directory(m_Folder / "Report_Game.txt");
  ASSERT_EQ(RunPlayer(), 0);
  EXPECT_NE(Read("stderr.txt").find("Report_Game.txt"), std::string::npos) << Read("stderr.txt");
}

}  // namespace

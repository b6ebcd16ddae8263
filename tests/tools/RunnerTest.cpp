// The headless runner: its key script, and whole runs of the built runner on
// the sample game in a temporary copy of its working folder: two runs with
// the same keys write the same trace, and a recorded run played back from
// its replay file writes the same trace frame for frame.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "KeyScript.h"
#include "platform/VirtualKeys.h"

namespace {

namespace fs = std::filesystem;

// ---- the key script ---------------------------------------------------------------

TEST(KeyScriptTest, KeyNamesAndHexCodes) {
  struct sCase {
    const char* name;
    int code;
  } cases[] = {
      {"LEFT", plat::VK_LEFT}, {"right", plat::VK_RIGHT}, {"SPACE", plat::VK_SPACE}, {"F1", plat::VK_F1},
      {"F12", plat::VK_F1 + 11}, {"Z", 'Z'}, {"z", 'Z'}, {"7", '7'}, {"0x5A", 0x5A}, {"RETURN", plat::VK_RETURN},
      {"F13", -1}, {"0x", -1}, {"0x1FF", -1}, {"JUMP", -1}, {"", -1},
  };
  for (const sCase& c : cases) EXPECT_EQ(c.code, runner::VirtualKeyFromName(c.name)) << c.name;
}

TEST(KeyScriptTest, KeysHoldUntilTheNextLineAndAnswersComeInOrder) {
  runner::cKeyScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("# comment\n10 LEFT Z  # run and jump\n20\n30 answer yes\n30 RIGHT\n"
                           "40 answer text  ABC\n",
                           error))
      << error;
  EXPECT_TRUE(script.KeysAt(9).empty());
  EXPECT_EQ((std::vector<int>{plat::VK_LEFT, 'Z'}), script.KeysAt(10));
  EXPECT_EQ((std::vector<int>{plat::VK_LEFT, 'Z'}), script.KeysAt(19));
  EXPECT_TRUE(script.KeysAt(25).empty());
  EXPECT_EQ((std::vector<int>{plat::VK_RIGHT}), script.KeysAt(1000));

  runner::sAnswer answer;
  EXPECT_FALSE(script.TakeAnswer(29, answer));
  ASSERT_TRUE(script.TakeAnswer(35, answer));
  EXPECT_EQ(runner::sAnswer::eKind::kYes, answer.kind);
  EXPECT_FALSE(script.TakeAnswer(35, answer));
  ASSERT_TRUE(script.TakeAnswer(40, answer));
  EXPECT_EQ(runner::sAnswer::eKind::kText, answer.kind);
  EXPECT_EQ("ABC", answer.value);
}

TEST(KeyScriptTest, BadLinesAreRefusedWithTheirNumber) {
  const char* bad[] = {"LEFT 10\n", "10 JUMP\n", "-3 LEFT\n", "5 answer maybe\n"};
  for (const char* text : bad) {
    runner::cKeyScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(text, error)) << text;
    EXPECT_NE(std::string::npos, error.find("line 1")) << error;
  }
}

// ---- whole runs ------------------------------------------------------------------------

class RunnerRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrova_run_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_Folder = pattern;
    // The sample game's working folder without the programs in it.
    for (const auto& entry : fs::directory_iterator(KESTROVA_GAME_DIR)) {
      if (entry.is_regular_file() && (entry.path().filename() == "kestrova4" ||
                                      entry.path().filename() == "kestrova4-run")) {
        continue;
      }
      fs::copy(entry.path(), m_Folder / entry.path().filename(), fs::copy_options::recursive);
    }
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_Folder, ec);
  }

  // Runs the runner with these arguments; its exit status.
  int Run(const std::vector<std::string>& arguments) {
    std::string command = std::string("'") + KESTROVA4_RUN + "' --dir '" + m_Folder.string() + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " 2>'" + (m_Folder / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::vector<std::string> Lines(const fs::path& file) const {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A trace line without the requests after its eleven state columns.
  static std::string StateColumns(const std::string& line) {
    std::istringstream in(line);
    std::string column, state;
    for (int i = 0; i < 11 && in >> column; ++i) state += column + " ";
    return state;
  }

  fs::path m_Folder;
};

constexpr const char* kStage = "data\\stg4\\c01-1.stg4_781";

TEST_F(RunnerRunTest, TwoRunsWithTheSameKeysWriteTheSameTrace) {
  const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/c01-1.keys";
  for (const char* trace : {"a.txt", "b.txt"}) {
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", "500", "--trace", (m_Folder / trace).string()}));
  }
  const std::vector<std::string> a = Lines(m_Folder / "a.txt");
  ASSERT_EQ(500u, a.size());
  EXPECT_EQ(a, Lines(m_Folder / "b.txt"));
  // The run reached the play phase of the game scene and moved the hero.
  bool played = false;
  for (const std::string& line : a) played = played || line.find(" 4 2 ") != std::string::npos;
  EXPECT_TRUE(played);
  EXPECT_NE(StateColumns(a[120]).substr(20), StateColumns(a[200]).substr(20));
}

TEST_F(RunnerRunTest, ARecordedRunPlaysBackFrameForFrame) {
  const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/c01-1.keys";
  const std::string replay = (m_Folder / "run.rpl4_781").string();
  ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", "450", "--trace",
                    (m_Folder / "live.txt").string(), "--record-replay", replay}));
  ASSERT_EQ(0, Run({"--replay", replay, "--frames", "450", "--trace", (m_Folder / "replay.txt").string()}));
  const std::vector<std::string> live = Lines(m_Folder / "live.txt");
  const std::vector<std::string> played = Lines(m_Folder / "replay.txt");
  ASSERT_EQ(live.size(), played.size());
  for (size_t i = 0; i < live.size(); ++i) {
    ASSERT_EQ(StateColumns(live[i]), StateColumns(played[i])) << "frame " << i;
  }
}

TEST_F(RunnerRunTest, AMissingReplayEndsTheRunWithItsReason) {
  EXPECT_NE(0, Run({"--replay", (m_Folder / "none.rpl4_781").string(), "--frames", "10"}));
  std::ifstream in(m_Folder / "stderr.txt");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(std::string::npos, text.find("replay")) << text;
}

}  // namespace

// The headless runner: its key script, and whole runs of the built runner on
// the sample game in a temporary copy of its working folder: two runs with
// the same keys write the same trace, and a recorded run played back from
// its replay file writes the same trace frame for frame.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "KeyScript.h"
#include "RunnerFolder.h"
#include "SampleGame.h"
#include "core/AtomicFile.h"
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

constexpr const char* kStage = "data\\stg4\\c01-1.stg4_781";

class RunnerRunTest : public runnertest::cRunnerFolder {
 protected:
  // Two runs of the stage with these keys: the first trace, after checking
  // the second is the same.
  void RunTwice(const char* keysName, int frames, std::vector<std::string>& trace) {
    const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/" + keysName;
    for (const char* name : {"a.txt", "b.txt"}) {
      ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", std::to_string(frames), "--trace",
                        (m_Folder / name).string()}));
    }
    trace = Lines(m_Folder / "a.txt");
    ASSERT_EQ(static_cast<size_t>(frames), trace.size());
    EXPECT_EQ(trace, Lines(m_Folder / "b.txt"));
  }

  // Records a live run of the stage with these keys, plays its replay back
  // and checks the state columns agree frame for frame.
  void RecordAndPlayBack(const char* keysName, int frames) {
    const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/" + keysName;
    const std::string replay = (m_Folder / "run.rpl4_781").string();
    const std::string count = std::to_string(frames);
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", count, "--trace",
                      (m_Folder / "live.txt").string(), "--record-replay", replay}));
    ASSERT_EQ(0, Run({"--replay", replay, "--frames", count, "--trace", (m_Folder / "replay.txt").string()}))
        << ErrorText();
    const std::vector<std::string> live = Lines(m_Folder / "live.txt");
    const std::vector<std::string> played = Lines(m_Folder / "replay.txt");
    ASSERT_EQ(static_cast<size_t>(frames), live.size());
    ASSERT_EQ(live.size(), played.size());
    for (size_t i = 0; i < live.size(); ++i) {
      ASSERT_EQ(StateColumns(live[i]), StateColumns(played[i])) << "frame " << i;
    }
  }

  // A trace line without the requests after its eleven state columns.
  static std::string StateColumns(const std::string& line) {
    std::istringstream in(line);
    std::string column, state;
    for (int i = 0; i < 11 && in >> column; ++i) state += column + " ";
    return state;
  }
};


// The phase column of a trace line (frame, scene, phase, ...).
int PhaseOf(const std::string& line) {
  std::istringstream in(line);
  int frame = 0, scene = 0, phase = -1;
  in >> frame >> scene >> phase;
  return phase;
}

constexpr int kPhaseStageClear = 4;

TEST_F(RunnerRunTest, TheFirstSampleStageIsClearedAndTwoRunsAgree) {
  std::vector<std::string> trace;
  RunTwice("c01-1-clear.keys", 1400, trace);
  bool cleared = false;
  for (const std::string& line : trace) cleared = cleared || PhaseOf(line) == kPhaseStageClear;
  EXPECT_TRUE(cleared) << "the run never reached the stage clear";
}

// The stage's hit level sets how many sub-steps a frame takes; the replay
// must reproduce the live run at each. The keys keep the hero alive: a
// played-back replay ends at the first retry.
TEST_F(RunnerRunTest, ARecordedRunPlaysBackAtEachHitLevel) {
  for (int level : {1, 4, 10}) {
    SCOPED_TRACE("hit level " + std::to_string(level));
    samplegame::cSampleStage stage = samplegame::MakeStages(samplegame::MakeCommonPalette())[0];
    stage.m_Stage.ApplyHitLevel(level);
    fs::remove_all(m_Folder / "data");
    ASSERT_TRUE(WriteFileAtomic((m_Folder / "default" / "stg4" / stage.m_strFileName).string(),
                                stage.m_Stage.MakeFileBytes()));
    RecordAndPlayBack("c01-1.keys", 450);
  }
}

TEST_F(RunnerRunTest, TwoRunsWithTheSameKeysWriteTheSameTrace) {
  std::vector<std::string> a;
  RunTwice("c01-1.keys", 500, a);
  ASSERT_FALSE(HasFatalFailure());
  // The run reached the play phase of the game scene and moved the hero.
  bool played = false;
  for (const std::string& line : a) played = played || line.find(" 4 2 ") != std::string::npos;
  EXPECT_TRUE(played);
  EXPECT_NE(StateColumns(a[120]).substr(20), StateColumns(a[200]).substr(20));
}

TEST_F(RunnerRunTest, ARecordedRunPlaysBackFrameForFrame) { RecordAndPlayBack("c01-1.keys", 450); }

TEST_F(RunnerRunTest, AMissingReplayEndsTheRunWithItsReason) {
  EXPECT_NE(0, Run({"--replay", (m_Folder / "none.rpl4_781").string(), "--frames", "10"}));
  const std::string text = ErrorText();
  EXPECT_NE(std::string::npos, text.find("replay")) << text;
}

}  // namespace

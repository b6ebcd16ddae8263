// The headless runner: its key script, and whole runs of the built runner on
// the sample game in a temporary copy of its working folder: two runs with
// the same keys write the same trace, and a recorded run played back from
// its replay file writes the same trace frame for frame.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "KeyScript.h"
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

  // What the last run wrote to its error stream.
  std::string ErrorText() const {
    std::ifstream in(m_Folder / "stderr.txt");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> Lines(const fs::path& file) const {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

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
  // and checks the state columns agree frame for frame. The play phase reads
  // its keys from the replay only; menus (the pause menu) read the keys of
  // the script when `menuKeys` is set.
  void RecordAndPlayBack(const char* keysName, int frames, bool menuKeys = false) {
    const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/" + keysName;
    const std::string replay = (m_Folder / "run.rpl4_781").string();
    const std::string count = std::to_string(frames);
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", count, "--trace",
                      (m_Folder / "live.txt").string(), "--record-replay", replay}));
    std::vector<std::string> playback = {"--replay", replay, "--frames", count, "--trace",
                                         (m_Folder / "replay.txt").string()};
    if (menuKeys) playback.insert(playback.end(), {"--keys", keys});
    ASSERT_EQ(0, Run(playback)) << ErrorText();
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

  fs::path m_Folder;
};


// The phase column of a trace line (frame, scene, phase, ...).
int PhaseOf(const std::string& line) {
  std::istringstream in(line);
  int frame = 0, scene = 0, phase = -1;
  in >> frame >> scene >> phase;
  return phase;
}

constexpr int kPhaseReady = 1;
constexpr int kPhaseStageClear = 4;

TEST_F(RunnerRunTest, TheFirstSampleStageIsClearedAndTwoRunsAgree) {
  std::vector<std::string> trace;
  RunTwice("c01-1-clear.keys", 1400, trace);
  bool cleared = false;
  for (const std::string& line : trace) cleared = cleared || PhaseOf(line) == kPhaseStageClear;
  EXPECT_TRUE(cleared) << "the run never reached the stage clear";
}

// The stage's hit level sets how many sub-steps a frame takes; the replay
// must reproduce the live run at each.
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

// A replay file holds one attempt; the run's replay is one file an attempt,
// and playing it back goes from each attempt's end into the next as the run
// did: a death in the pit, then a restart from the pause menu, then play on.
TEST_F(RunnerRunTest, ARunWithADeathAndARestartPlaysBackFromItsReplay) {
  RecordAndPlayBack("c01-1-die-restart.keys", 1000, true);
  ASSERT_FALSE(HasFatalFailure());
  int readyPhases = 0;
  int previous = -1;
  for (const std::string& line : Lines(m_Folder / "live.txt")) {
    if (PhaseOf(line) == kPhaseReady && previous != kPhaseReady) ++readyPhases;
    previous = PhaseOf(line);
  }
  EXPECT_EQ(3, readyPhases) << "the keys no longer lose two attempts";
  for (int attempt : {2, 3}) {
    EXPECT_TRUE(fs::exists(m_Folder / ("run." + std::to_string(attempt) + ".rpl4_781"))) << attempt;
  }

  // A shorter run under the same name leaves no attempts of the longer one.
  ASSERT_EQ(0, Run({"--stage", kStage, "--frames", "200", "--record-replay", (m_Folder / "run.rpl4_781").string()}));
  EXPECT_TRUE(fs::exists(m_Folder / "run.rpl4_781"));
  EXPECT_FALSE(fs::exists(m_Folder / "run.2.rpl4_781"));
  EXPECT_FALSE(fs::exists(m_Folder / "run.3.rpl4_781"));
}

// The run's sound through the offline device: the music and the jumps of
// the first stage, as a 44.1 kHz 16-bit stereo WAV file of 735 frames a game
// frame, the same bytes from two runs.
TEST_F(RunnerRunTest, TheRunsSoundIsWrittenAsTheSameWaveByTwoRuns) {
  constexpr int kFrames = 300;
  const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/c01-1.keys";
  std::vector<std::string> waves;
  for (const char* name : {"a.wav", "b.wav"}) {
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", std::to_string(kFrames), "--audio-out",
                      (m_Folder / name).string()}))
        << ErrorText();
    std::ifstream in(m_Folder / name, std::ios::binary);
    waves.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ASSERT_EQ(waves[0], waves[1]);
  const std::string& wave = waves[0];
  ASSERT_GE(wave.size(), 44u);
  const auto word = [&wave](std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(wave[at + i]);
    return value;
  };
  EXPECT_EQ("RIFF", wave.substr(0, 4));
  EXPECT_EQ(wave.size() - 8, word(4, 4));
  EXPECT_EQ("WAVEfmt ", wave.substr(8, 8));
  EXPECT_EQ(1u, word(20, 2)) << "PCM";
  EXPECT_EQ(2u, word(22, 2));
  EXPECT_EQ(44100u, word(24, 4));
  EXPECT_EQ(16u, word(34, 2));
  EXPECT_EQ("data", wave.substr(36, 4));
  const std::uint32_t dataBytes = word(40, 4);
  EXPECT_EQ(static_cast<std::uint32_t>(kFrames) * 735 * 4, dataBytes);
  ASSERT_EQ(44u + dataBytes, wave.size());
  int peak = 0;
  for (std::size_t at = 44; at + 1 < wave.size(); at += 2) {
    peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(word(at, 2)))));
  }
  EXPECT_GT(peak, 1000) << "the run was silent";
}

TEST_F(RunnerRunTest, AMissingReplayEndsTheRunWithItsReason) {
  EXPECT_NE(0, Run({"--replay", (m_Folder / "none.rpl4_781").string(), "--frames", "10"}));
  const std::string text = ErrorText();
  EXPECT_NE(std::string::npos, text.find("replay")) << text;
}

}  // namespace

// The headless runner: its key script, and whole runs of the built runner on
// the sample game in a temporary copy of its working folder: two runs with
// the same keys write the same trace, and a recorded run played back from
// its replay file writes the same trace frame for frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessRun.h"
#include "KeyScript.h"
#include "RunnerFolder.h"
#include "SampleGame.h"
#include "core/AtomicFile.h"
#include "data/Command.h"
#include "data/Flow.h"
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

TEST(RunOptionsTest, TheDrawingPathAndDepthTakeOnlyTheValuesThePlayerKnows) {
  struct sCase {
    const char* name;
    const char* value;
    bool accepted;
    int direct3D;
    int bpp;
  } cases[] = {
      {"--direct3d", "0", true, 0, 0}, {"--direct3d", "1", true, 1, 0}, {"--bpp", "8", true, -1, 8},
      {"--bpp", "16", true, -1, 16},   {"--bpp", "32", true, -1, 32},   {"--direct3d", "2", false, -1, 0},
      {"--direct3d", "", false, -1, 0}, {"--bpp", "24", false, -1, 0},  {"--bpp", "32x", false, -1, 0},
  };
  for (const sCase& c : cases) {
    std::string name = c.name, value = c.value, program = "kestrova4-run";
    char* argv[] = {program.data(), name.data(), value.data()};
    runner::sRunOptions options;
    std::string error;
    EXPECT_EQ(c.accepted, runner::ParseRunOptions(3, argv, options, error)) << c.name << " " << c.value;
    EXPECT_EQ(c.direct3D, options.direct3D) << c.name << " " << c.value;
    EXPECT_EQ(c.bpp, options.bpp) << c.name << " " << c.value;
    if (!c.accepted) {
      EXPECT_NE(std::string::npos, error.find(c.name)) << error;
    }
  }
}

// Every option --help names is one the parser takes, with a value of the
// shape the help gives; every key name it gives is one the script knows.
TEST(RunOptionsTest, TheHelpNamesOptionsAndKeysTheRunnerTakes) {
  const std::string usage = runner::RunnerUsage();
  std::istringstream lines(usage);
  std::set<std::string> described;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  --", 0) != 0) continue;
    std::istringstream words(line);
    std::string name, shape;
    words >> name >> shape;
    std::string program = "kestrova4-run", value = shape == "0|1" ? "1" : shape == "8|16|32" ? "16" : "12";
    std::vector<char*> argv = {program.data(), name.data()};
    if (name != "--help") argv.push_back(value.data());
    runner::sRunOptions parsed;
    std::string error;
    EXPECT_TRUE(runner::ParseRunOptions(static_cast<int>(argv.size()), argv.data(), parsed, error)) << line;
    EXPECT_EQ(name == "--help", parsed.help) << line;
    described.insert(name);
  }
  // Each option of the synopsis has its line.
  for (std::size_t at = usage.find("[--"); at < usage.find("\n\n"); at = usage.find("[--", at + 1)) {
    const std::string name = usage.substr(at + 1, usage.find_first_of(" ]", at) - at - 1);
    EXPECT_EQ(1u, described.count(name)) << name;
  }
  EXPECT_GE(described.size(), 2u) << usage;

  const std::size_t keys = usage.find("Keys: ");
  ASSERT_NE(std::string::npos, keys);
  std::istringstream names(usage.substr(keys + 6, usage.find('\n', keys) - keys - 6));
  for (std::string name; names >> name;) {
    const std::size_t range = name.find("..");
    const std::vector<std::string> ends = range == std::string::npos
                                              ? std::vector<std::string>{name}
                                              : std::vector<std::string>{name.substr(0, range), name.substr(range + 2)};
    for (const std::string& key : ends) EXPECT_NE(-1, runner::VirtualKeyFromName(key)) << key;
  }
}

// ---- whole runs ------------------------------------------------------------------------

constexpr const char* kStage = "data\\stg4\\c01-1.stg4_781";

class RunnerRunTest : public runnertest::cRunnerFolder {
 protected:
  // Puts a changed sample stage in place of the one the player would copy
  // from default\ at its start.
  void InstallStage(samplegame::cSampleStage& stage) {
    fs::remove_all(m_Folder / "data");
    ASSERT_TRUE(WriteFileAtomic((m_Folder / "default" / "stg4" / stage.m_strFileName).string(),
                                stage.m_Stage.MakeFileBytes()));
  }

  static std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // Two runs of the stage with these keys: the first trace, after checking
  // the second is the same.
  void RunTwice(const char* keysName, int frames, std::vector<std::string>& trace, const std::string& stage = kStage) {
    const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/" + keysName;
    for (const char* name : {"a.txt", "b.txt"}) {
      ASSERT_EQ(0, Run({"--stage", stage, "--keys", keys, "--frames", std::to_string(frames), "--trace",
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
};


// The phase column of a trace line (frame, scene, phase, ...).
int PhaseOf(const std::string& line) {
  std::istringstream in(line);
  int frame = 0, scene = 0, phase = -1;
  in >> frame >> scene >> phase;
  return phase;
}

constexpr int kPhaseReady = 1;
constexpr int kPhasePlay = 2;

// Each sample stage is cleared by its checked-in keys without losing a life
// (a lost life goes back to the ready phase), and two runs agree.
TEST_F(RunnerRunTest, EachSampleStageIsClearedByItsKeysAndTwoRunsAgree) {
  for (const char* name : {"c01-1", "c02-1", "c03-1"}) {
    SCOPED_TRACE(name);
    std::vector<std::string> trace;
    RunTwice((std::string(name) + "-clear.keys").c_str(), 1200, trace,
             std::string("data\\stg4\\") + name + ".stg4_781");
    ASSERT_FALSE(HasFatalFailure());
    int readyPhases = 0;
    bool cleared = false;
    for (size_t i = 0; i < trace.size(); ++i) {
      const int phase = PhaseOf(trace[i]);
      if (phase == kPhaseReady && (i == 0 || PhaseOf(trace[i - 1]) != kPhaseReady)) ++readyPhases;
      cleared = cleared || phase == runnertest::kPhaseStageClear;
    }
    EXPECT_TRUE(cleared) << "the run never reached the stage clear";
    EXPECT_EQ(1, readyPhases) << "the hero lost a life on the way";
  }
}

// The stage's hit level sets how many sub-steps a frame takes; the replay
// must reproduce the live run at each.
TEST_F(RunnerRunTest, ARecordedRunPlaysBackAtEachHitLevel) {
  for (int level : {1, 4, 10}) {
    SCOPED_TRACE("hit level " + std::to_string(level));
    samplegame::cSampleStage stage = samplegame::MakeStages(samplegame::MakeCommonPalette())[0];
    stage.m_Stage.ApplyHitLevel(level);
    InstallStage(stage);
    RecordAndPlayBack("c01-1.keys", 450);
  }
}

// A time limit of 2 seconds runs out on the 120th frame of play: the hero
// dies with system sound 8, its death is drawn for 61 frames in the play
// phase (62 frames in all: 60 frames on, the expired limit ends one frame
// undrawn again), and then the stage starts again with the time limit full.
TEST_F(RunnerRunTest, ATimeUpKillsTheHeroAndTheDeathRunsBeforeTheRestart) {
  samplegame::cSampleStage stage = samplegame::MakeStages(samplegame::MakeCommonPalette())[0];
  stage.m_Stage.m_TimeLimit = 2;
  InstallStage(stage);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(0, Run({"--stage", kStage, "--frames", "700", "--trace", (m_Folder / "a.txt").string()})) << ErrorText();
  const std::vector<std::string> trace = Lines(m_Folder / "a.txt");
  ASSERT_EQ(700u, trace.size());

  // Each attempt: its first frame of play, its time-up, its next ready phase.
  std::vector<size_t> plays, timeUps, readies;
  for (size_t i = 1; i < trace.size(); ++i) {
    const int phase = PhaseOf(trace[i]), before = PhaseOf(trace[i - 1]);
    if (phase == kPhasePlay && before != kPhasePlay) plays.push_back(i);
    if (phase == kPhaseReady && before != kPhaseReady) readies.push_back(i);
    if (trace[i].find(" se=8") != std::string::npos) timeUps.push_back(i);
  }
  ASSERT_EQ(2u, timeUps.size());
  ASSERT_GE(plays.size(), 2u);
  ASSERT_GE(readies.size(), 2u);
  for (size_t attempt = 0; attempt < 2; ++attempt) EXPECT_EQ(plays[attempt] + 120, timeUps[attempt]) << attempt;
  EXPECT_EQ(timeUps[0] + 62, readies[1]);
  for (size_t i = timeUps[0]; i < readies[1]; ++i) EXPECT_EQ(kPhasePlay, PhaseOf(trace[i])) << "frame " << i;
}

// Every line of a trace is a frame the game stepped: a run of N frames writes
// the first N lines of a longer run, its last line included.
TEST_F(RunnerRunTest, ARunOfNFramesStepsEveryFrameItWrites) {
  const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/c01-1.keys";
  for (const char* frames : {"300", "301"}) {
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", frames, "--trace",
                      (m_Folder / (std::string(frames) + ".txt")).string()}))
        << ErrorText();
  }
  const std::vector<std::string> shorter = Lines(m_Folder / "300.txt");
  const std::vector<std::string> longer = Lines(m_Folder / "301.txt");
  ASSERT_EQ(300u, shorter.size());
  ASSERT_EQ(301u, longer.size());
  for (size_t i = 0; i < shorter.size(); ++i) EXPECT_EQ(shorter[i], longer[i]) << "frame " << i;
  EXPECT_NE(StateColumns(shorter[299]).substr(4), StateColumns(shorter[298]).substr(4)) << "the hero walks on";
}

// ---- the ground, frame by frame ---------------------------------------------------------

// The hero's phase, y and vertical speed of each trace line.
struct sHeroHeight {
  int phase = 0;
  double y = 0.0;
  double vy = 0.0;
};

std::vector<sHeroHeight> HeroHeights(const std::vector<std::string>& trace) {
  std::vector<sHeroHeight> heights;
  for (const std::string& line : trace) {
    std::istringstream in(line);
    std::string frame, scene, phase, step, rng, x, y, vx, vy;
    in >> frame >> scene >> phase >> step >> rng >> x >> y >> vx >> vy;
    heights.push_back({std::atoi(phase.c_str()), std::strtod(y.c_str(), nullptr), std::strtod(vy.c_str(), nullptr)});
  }
  return heights;
}

// Whether one frame of the hero's fall or stand, from (y0, v0) to (y1, v1),
// keeps to the ground's rule over its n sub-steps: each adds the gravity g
// to the speed (held within the limit), moves by it, and a landing after the
// move stops the speed and lifts the hero by whole dots only, (whole bottom
// mod 32) + 1 of them: its fraction stays. At most two landings a frame.
bool KeepsTheGroundRule(const sHeroHeight& from, const sHeroHeight& to, int n, double g, double limit,
                        int& landings) {
  for (int last = 0; last <= n; ++last) {
    for (int first = 0; first < std::max(last, 1); ++first) {
      double y = from.y;
      double v = from.vy;
      for (int step = 1; step <= n; ++step) {
        v = std::min(v + g, limit);
        y += v;
        if (step == first || step == last) v = 0.0;
      }
      if (v != to.vy) continue;
      const int count = (first != 0 ? 1 : 0) + (last != 0 ? 1 : 0);
      const double lifted = y - to.y;
      const double whole = std::round(lifted);
      if (std::fabs(lifted - whole) > 1e-7) continue;
      if (whole < count || whole > 32.0 * count) continue;
      landings = count;
      return true;
    }
  }
  return false;
}

// The hero falls onto the first stage (it starts three cells up), walks,
// jumps and stops at walls; at hit levels 1, 4, 10 and 15 every frame of its
// falls and stands (its speed not upward) keeps the ground's rule, landings
// keeping the fraction of the fall.
TEST_F(RunnerRunTest, TheHeroLandsByWholeDotsAtEachHitLevel) {
  for (int level : {1, 4, 10, 15}) {
    SCOPED_TRACE("hit level " + std::to_string(level));
    samplegame::cSampleStage stage = samplegame::MakeStages(samplegame::MakeCommonPalette())[0];
    stage.m_Stage.ApplyHitLevel(level);
    const int hero = stage.m_Stage.FindHero();
    ASSERT_GE(hero, 0);
    stage.m_Stage.m_PlacedCharas[hero].m_nCellY -= 3;
    InstallStage(stage);
    ASSERT_FALSE(HasFatalFailure());
    const std::string keys = std::string(KESTROVA_TEST_KEYS) + "/c01-1.keys";
    ASSERT_EQ(0, Run({"--stage", kStage, "--keys", keys, "--frames", "450", "--trace", (m_Folder / "a.txt").string()}))
        << ErrorText();
    const std::vector<sHeroHeight> heights = HeroHeights(Lines(m_Folder / "a.txt"));
    const cStageData& played = stage.m_Stage;
    int landingFrames = 0;
    std::vector<size_t> broken;
    for (size_t i = 1; i < heights.size(); ++i) {
      const sHeroHeight& from = heights[i - 1];
      const sHeroHeight& to = heights[i];
      if (from.phase != kPhasePlay || to.phase != kPhasePlay || from.vy < 0 || to.vy < 0) continue;
      int landings = 0;
      if (!KeepsTheGroundRule(from, to, played.m_SubSteps, played.m_GravityStep, played.m_SpeedLimitStep, landings)) {
        broken.push_back(i);
      } else if (landings > 0) {
        ++landingFrames;
      }
    }
    EXPECT_TRUE(broken.empty()) << broken.size() << " frames break the rule, the first " << broken.front();
    EXPECT_GE(landingFrames, 10);
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
    waves.push_back(ReadAll(m_Folder / name));
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

// The sample's System.ini asks for Direct3D in a window at the desktop's
// depth; the options replace that choice, and a depth runs full screen. The
// player's report names the back end and depth it started.
TEST_F(RunnerRunTest, TheDrawingOptionsChooseTheBackEndAndDepth) {
  struct sCase {
    std::vector<std::string> options;
    int status;
    std::vector<std::string> reported;
  } cases[] = {
      {{"--direct3d", "0"}, 0, {"Mode : Window", "Bpp : 32"}},
      {{"--direct3d", "0", "--bpp", "8"}, 0, {"Mode : Fullscreen", "Bpp : 8"}},
      {{"--direct3d", "1", "--bpp", "16"}, 0, {"Device HAL-HARD", "Mode : Fullscreen", "Bpp : 32"}},
      {{"--direct3d", "1"}, 0, {"Device HAL-HARD", "Mode : Window"}},
      {{"--direct3d", "1", "--bpp", "8"}, 3, {}},  // Direct3D has no 8-bit mode
  };
  for (const sCase& c : cases) {
    std::string label;
    for (const std::string& option : c.options) label += option + " ";
    SCOPED_TRACE(label);
    std::vector<std::string> arguments = {"--stage", kStage, "--frames", "5"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(c.status, Run(arguments)) << ErrorText();
    std::ifstream in(m_Folder / "Report_Game.txt");
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::string& line : c.reported) EXPECT_NE(std::string::npos, report.find(line)) << report;
    const bool direct3D = report.find("Device HAL-HARD") != std::string::npos;
    if (c.status == 0) {
      EXPECT_EQ(c.options[1] == "1", direct3D);
    }
  }
}

// The first stage with a walker placed four times whose flow repeats a loop
// over a loop, and a hero whose flow gets a stage item that gets itself, and
// one of two items that each get the other twice: the stage loads and plays
// without hanging or failing, and the report tells of the loops once and of
// each pickup once.
TEST_F(RunnerRunTest, ALoopOverALoopAndItemsThatGetThemselvesPlayOnWithALineEach) {
  const auto command = [](int set, int type, std::vector<int32_t> params, int tenths = 0) {
    cCommand made;
    made.m_nSet = static_cast<uint8_t>(set);
    made.m_nType = static_cast<int8_t>(type);
    made.m_Params.assign(params.begin(), params.end());
    made.m_nDuration = static_cast<int16_t>(tenths);
    return made;
  };
  samplegame::cSampleStage stage = samplegame::MakeStages(samplegame::MakeCommonPalette())[0];
  cStageData& data = stage.m_Stage;
  cFlow loops;
  loops.m_nTrigger = TRIGGER_ALWAYS;
  loops.m_Commands = {command(0, FLOW_CMD_LOOP, {2, 1}), command(0, FLOW_CMD_LOOP, {2, 1}),
                      command(0, FLOW_CMD_WAIT, {}, 10)};
  ASSERT_GE(data.m_PlacedCharas.size(), 2u);
  data.m_PlacedCharas[1].m_Flows.push_back(loops);
  data.m_PlacedCharas[1].m_nExtraCopies = 3;
  data.m_PaletteItems.resize(4);
  data.m_PaletteItems[1].m_Commands = {command(1, ITEM_CMD_ITEM_GET, {1, 1})};
  data.m_PaletteItems[2].m_Commands = {command(1, ITEM_CMD_ITEM_GET, {1, 3}), command(1, ITEM_CMD_ITEM_GET, {1, 3})};
  data.m_PaletteItems[3].m_Commands = {command(1, ITEM_CMD_ITEM_GET, {1, 2}), command(1, ITEM_CMD_ITEM_GET, {1, 2})};
  cFlow get;
  get.m_nTrigger = TRIGGER_ALWAYS;
  get.m_Commands = {command(0, FLOW_CMD_ITEM_GET, {1, 1}), command(0, FLOW_CMD_ITEM_GET, {1, 2}),
                    command(0, FLOW_CMD_WAIT, {}, 32767)};
  data.m_PlacedCharas[0].m_Flows.push_back(get);
  InstallStage(stage);
  ASSERT_FALSE(HasFatalFailure());

  ASSERT_EQ(0, Run({"--stage", kStage, "--frames", "300", "--trace", (m_Folder / "a.txt").string()})) << ErrorText();
  const std::vector<std::string> trace = Lines(m_Folder / "a.txt");
  ASSERT_EQ(300u, trace.size());
  EXPECT_EQ(kPhasePlay, PhaseOf(trace.back()));
  int loopLines = 0, itemLines = 0;
  for (const std::string& line : Lines(m_Folder / "Report_Game.txt")) {
    if (line.find("loop expansion") != std::string::npos) ++loopLines;
    if (line.find("nest items") != std::string::npos) ++itemLines;
  }
  EXPECT_EQ(1, loopLines);
  EXPECT_EQ(2, itemLines);
}

// Frame 160 of the first sample stage (not the last of the run, which is
// drawn while the player closes), the hero standing: the status bar
// and time, the welcome's picture, message, tint, screen shake and
// explosion, on the Direct3D road (the sample's own choice) and on 8-bit
// DirectDraw, where the tint goes through the palette. A frame that differs
// from its golden bitmap is written next to the test program; with
// KESTROVA_UPDATE_GOLDEN=1 the goldens are written anew instead.
TEST_F(RunnerRunTest, TheFirstStagesFrameMatchesItsGoldenOnEachRoad) {
  constexpr int kFrame = 160;
  struct sCase {
    const char* golden;
    std::vector<std::string> options;
  } cases[] = {
      {"c01-1-direct3d.bmp", {"--direct3d", "1"}},
      {"c01-1-directdraw8.bmp", {"--direct3d", "0", "--bpp", "8"}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.golden);
    const fs::path shots = m_Folder / "shots";
    fs::remove_all(shots);
    std::vector<std::string> arguments = {"--stage",      kStage, "--frames", std::to_string(kFrame + 10), "--shots",
                                          shots.string(), "--shot-every", std::to_string(kFrame)};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(0, Run(arguments)) << ErrorText();
    const std::string frame = ReadAll(shots / "00000160.bmp");
    ASSERT_FALSE(frame.empty());
    const fs::path golden = fs::path(KESTROVA_TEST_GOLDEN) / c.golden;
    const char* update = std::getenv("KESTROVA_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
      ASSERT_TRUE(WriteFileAtomic(golden.string(), frame));
      continue;
    }
    if (frame != ReadAll(golden)) {
      const fs::path written = fs::current_path() / (std::string("actual-") + c.golden);
      fs::copy_file(shots / "00000160.bmp", written, fs::copy_options::overwrite_existing);
      ADD_FAILURE() << "the frame differs from " << golden << "; it is written to " << written;
    }
  }
}

// A display that loses its video memory once the stage's surfaces are made
// (during the fade-in, or ten frames before frame 160 of the first stage with
// its picture, message and effect in view): once the frames after the loss
// have restored the surfaces and their owners have drawn them again, frame
// 160 is the one a run without the loss shows.
TEST_F(RunnerRunTest, AfterADisplayLossTheStageLooksAsBefore) {
  constexpr int kFrame = 160;
  struct sCase {
    std::vector<std::string> road;
    int lose;
  } cases[] = {
      {{"--direct3d", "0"}, kFrame - 10},
      {{"--direct3d", "0", "--bpp", "8"}, kFrame - 10},
      {{"--direct3d", "1"}, 3},
  };
  for (const sCase& c : cases) {
    const std::vector<std::string>& road = c.road;
    SCOPED_TRACE(road.back() + " lost at " + std::to_string(c.lose));
    std::vector<std::string> frames;
    for (const int lose : {-1, c.lose}) {
      const fs::path shots = m_Folder / "shots";
      fs::remove_all(shots);
      std::vector<std::string> arguments = {"--stage", kStage, "--frames", std::to_string(kFrame + 1), "--shots",
                                            shots.string(), "--shot-every", std::to_string(kFrame),
                                            "--lose-display", std::to_string(lose)};
      arguments.insert(arguments.end(), road.begin(), road.end());
      ASSERT_EQ(0, Run(arguments)) << ErrorText();
      frames.push_back(ReadAll(shots / "00000160.bmp"));
      ASSERT_FALSE(frames.back().empty());
    }
    EXPECT_TRUE(frames[0] == frames[1]) << "the frame after the loss differs";
  }
}

// System.ini's Direct3D=2 leaves the drawing mode to the start-up dialog,
// which the runner answers from the key script like any other dialog: Start
// (yes, or no answer at all, which says so) keeps the dialog's choice of
// Direct3D and writes it to Boot.dat; Cancel (no) and the close box (cancel)
// end the start. A Boot.dat that says not to ask chooses without the dialog.
TEST_F(RunnerRunTest, TheStartUpDialogIsAnsweredFromTheKeyScript) {
  using Words = std::vector<std::uint32_t>;
  struct sCase {
    const char* name;
    Words bootBefore;  // empty: no Boot.dat
    const char* keys;
    int status;
    bool direct3D;
    Words bootAfter;  // empty: no Boot.dat
    bool saysDefault;
  } cases[] = {
      {"no answer", {}, "", 0, true, {781, 2, 1, 0, 0}, true},
      {"Start", {}, "0 answer yes\n", 0, true, {781, 2, 1, 0, 0}, false},
      {"Cancel", {}, "0 answer no\n", 3, false, {}, false},
      {"closed", {}, "0 answer cancel\n", 3, false, {}, false},
      {"not asked again", {781, 2, 0, 1, 0}, "0 answer no\n", 0, false, {781, 2, 0, 1, 0}, false},
  };
  // The data folder in place, so that no question about it comes first.
  fs::copy(m_Folder / "default", m_Folder / "data", fs::copy_options::recursive);
  std::string ini = ReadAll(m_Folder / "System.ini");
  const std::size_t at = ini.find("Direct3D=1");
  ASSERT_NE(std::string::npos, at) << ini;
  ini.replace(at, 10, "Direct3D=2");
  ASSERT_TRUE(WriteFileAtomic((m_Folder / "System.ini").string(), ini));
  const fs::path boot = m_Folder / "user_data" / "Boot.dat";
  const auto words = [](const std::string& bytes) {
    Words out(bytes.size() / 4);
    std::memcpy(out.data(), bytes.data(), out.size() * 4);
    return out;
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(boot);
    if (!c.bootBefore.empty()) {
      fs::create_directories(boot.parent_path());
      ASSERT_TRUE(WriteFileAtomic(boot.string(), std::string(reinterpret_cast<const char*>(c.bootBefore.data()),
                                                             c.bootBefore.size() * 4)));
    }
    fs::remove(m_Folder / "Report_Game.txt");
    std::ofstream(m_Folder / "boot.keys") << c.keys;
    ASSERT_EQ(c.status, Run({"--stage", kStage, "--frames", "5", "--keys", (m_Folder / "boot.keys").string()}))
        << ErrorText();
    const std::string report = ReadAll(m_Folder / "Report_Game.txt");
    if (c.status == 0) {
      EXPECT_EQ(c.direct3D, report.find("Device HAL-HARD") != std::string::npos) << report;
    }
    if (c.bootAfter.empty()) {
      EXPECT_FALSE(fs::exists(boot));
    } else {
      EXPECT_EQ(c.bootAfter, words(ReadAll(boot)));
    }
    EXPECT_EQ(c.saysDefault, ErrorText().find("default") != std::string::npos) << ErrorText();
  }
}

// The copy of the game has no data folder yet: the start-up's box asks
// whether to make it, and its text reaches the terminal as UTF-8.
TEST_F(RunnerRunTest, AMessageBoxReachesTheTerminalAsUtf8) {
  ASSERT_EQ(0, Run({"--frames", "1"})) << ErrorText();
  const std::string text = ErrorText();
  const std::string utf8 = reinterpret_cast<const char*>(u8"データが存在しません！デフォルトデータを作成しますか？");
  EXPECT_NE(std::string::npos, text.find("message box at frame -1: " + utf8)) << text;
}

// --help prints the usage on standard output and runs nothing.
TEST_F(RunnerRunTest, HelpPrintsTheUsageAndRunsNothing) {
  const std::string command = std::string("'") + KESTROVA4_RUN + "' --dir '" + m_Folder.string() + "' --help";
  FILE* out = ::popen(command.c_str(), "r");
  ASSERT_NE(nullptr, out);
  std::string printed;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) printed.append(buffer, n);
  const int status = ::pclose(out);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(runner::RunnerUsage(), printed);
  EXPECT_FALSE(fs::exists(m_Folder / "Report_Game.txt")) << "the player did not start";
}

TEST_F(RunnerRunTest, AMissingReplayEndsTheRunWithItsReason) {
  EXPECT_NE(0, Run({"--replay", (m_Folder / "none.rpl4_781").string(), "--frames", "10"}));
  const std::string text = ErrorText();
  EXPECT_NE(std::string::npos, text.find("replay")) << text;
}

}  // namespace

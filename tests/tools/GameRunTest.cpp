// The sample game played through the runner from its title, as a person
// would: a new story, the world map, the stages cleared by their own key
// scripts, a save in the map menu, back to the title, the story continued from
// its slot, the last stage, and the ending, whose clear ends the story on the
// title. The script is tests/tools/keys/game.keys, composed by this test from
// the stages' clear scripts when asked (KESTROVA_UPDATE_GOLDEN=1). Two runs
// of it write the same trace, and the saved slot reads back. And the
// challenge list, from the title to a cleared stage and back. And the title's
// free play and replay entries, each through its file dialog.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RunnerFolder.h"
#include "SampleGame.h"
#include "core/SceneManager.h"
#include "data/Progress.h"
#include "data/WorldMap.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStepCreated = -1;
constexpr int kMenuStep = 1;        // the title's menu, the map's walk, the map menu's menu
constexpr int kTitleSlotList = 2;
// The columns of a trace line before the frame's requests.
constexpr int kStateColumns = 11;
constexpr int kPhaseFadeOut = 7;
constexpr int kClearTaps = 8;
// How long after its script's last key a stage may take to clear.
constexpr long long kClearMargin = 1500;

// One line of a trace: the frame, the scene and its step (the game scene's phase).
struct sFrame {
  long long frame = 0;
  int scene = 0;
  int step = 0;
};

// The key script of the whole game, built while the game is played: each part
// is keyed from a frame the trace of the run so far shows, so the menus join
// the stages' own clear scripts on whatever frame a stage ends.
class cGameScript {
 public:
  // Keys tapped (held two frames) at these frames after `start`.
  void Taps(long long start, std::initializer_list<std::pair<int, const char*>> taps) {
    for (const auto& [offset, key] : taps) {
      Add(start + offset, key);
      Add(start + offset + 2, "");
    }
  }
  // A key script whose frames count from `start`; the last frame it names.
  long long AddScript(long long start, const fs::path& file) {
    long long last = start;
    std::ifstream in(file);
    EXPECT_TRUE(in) << file;
    for (std::string line; std::getline(in, line);) {
      line = line.substr(0, line.find('#'));
      std::istringstream fields(line);
      long long frame = 0;
      if (!(fields >> frame)) continue;
      std::string keys;
      std::getline(fields >> std::ws, keys);
      Add(start + frame, keys);
      last = std::max(last, start + frame);
    }
    return last;
  }
  // From `frame` on no key is held.
  void Release(long long frame) { Add(frame, ""); }
  // The next dialog opened at or after `frame` takes this answer
  // ("file PATH", "yes", ...).
  void Answer(long long frame, const std::string& answer) { Add(frame, "answer " + answer); }
  // Forgets every line from `frame` on.
  void DropFrom(long long frame) {
    m_Lines.erase(std::remove_if(m_Lines.begin(), m_Lines.end(), [frame](const auto& line) { return line.first >= frame; }),
                  m_Lines.end());
  }

  std::string Text() const {
    std::vector<std::pair<long long, std::string>> lines = m_Lines;
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text;
    for (const auto& [frame, keys] : lines) text += std::to_string(frame) + " " + keys + "\n";
    return text;
  }

 private:
  void Add(long long frame, const std::string& keys) { m_Lines.emplace_back(frame, keys); }
  std::vector<std::pair<long long, std::string>> m_Lines;
};

class GameRunTest : public runnertest::cRunnerFolder {
 protected:
  // Runs the script so far for `after` + `budget` frames; the first frame
  // after `after` on which `scene` is at `step`, or -1.
  long long Find(int scene, int step, long long after, long long budget) {
    const long long frames = after + 1 + budget;
    Play(frames, "trace.txt");
    for (const sFrame& f : Frames(m_Output / "trace.txt")) {
      if (f.frame > after && f.scene == scene && f.step == step) return f.frame;
    }
    return -1;
  }

  // Find, failing the test when the scene does not reach the step.
  long long RunUntil(int scene, int step, long long after, long long budget) {
    const long long found = Find(scene, step, after, budget);
    if (found < 0) {
      ADD_FAILURE() << "scene " << scene << " never reached step " << step << " after frame " << after
                    << "; the run went " << Outline(Frames(m_Output / "trace.txt")) << ErrorText();
    }
    return found;
  }

  // Plays the script so far for `frames` frames into the trace `name`, in a
  // fresh copy of the game: a run reads no save, ranking or option that an
  // earlier run wrote, and what a test reads back afterwards is this run's.
  // The files of m_Carried are put into each copy.
  void Play(long long frames, const char* name, std::vector<std::string> more = {}) {
    CopyGame();
    for (const auto& [from, to] : m_Carried) {
      fs::create_directories((m_Folder / to).parent_path());
      fs::copy_file(from, m_Folder / to);
    }
    std::vector<std::string> arguments = {"--keys", WriteScript(), "--frames", std::to_string(frames), "--trace",
                                          (m_Output / name).string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    ASSERT_EQ(0, Run(arguments)) << ErrorText();
  }

  // Writes the script so far beside the traces; its path.
  std::string WriteScript() const {
    const fs::path keys = m_Output / "game.keys";
    std::ofstream(keys) << m_Script.Text();
    return keys.string();
  }

  // A trace line without its frame number.
  static std::string WithoutFrame(const std::string& line) { return line.substr(line.find(' ')); }

  static std::vector<sFrame> Frames(const fs::path& file) {
    std::vector<sFrame> frames;
    for (const std::string& line : Lines(file)) {
      std::istringstream in(line);
      sFrame f;
      if (in >> f.frame >> f.scene >> f.step) frames.push_back(f);
    }
    return frames;
  }

  // The scenes of a trace, each once for every time it is entered.
  static std::vector<int> Scenes(const std::vector<sFrame>& trace) {
    std::vector<int> scenes;
    for (const sFrame& f : trace) {
      if (scenes.empty() || scenes.back() != f.scene) scenes.push_back(f.scene);
    }
    return scenes;
  }

  // "scene/step@first frame" for each change of scene or step.
  static std::string Outline(const std::vector<sFrame>& trace) {
    std::string text;
    for (std::size_t i = 0; i < trace.size(); ++i) {
      if (i > 0 && trace[i].scene == trace[i - 1].scene && trace[i].step == trace[i - 1].step) continue;
      text += std::to_string(trace[i].scene) + "/" + std::to_string(trace[i].step) + "@" +
              std::to_string(trace[i].frame) + " ";
    }
    return text;
  }

  static fs::path ClearScript(int stage) {
    return fs::path(KESTROVA_TEST_KEYS) / ("c0" + std::to_string(stage) + "-1-clear.keys");
  }

  // On the world map: `steps` cells to the right, then into the stage there
  // ("ステージに挑む" is the prompt's first line; it opens on the second).
  // A node the figure may not pass opens its prompt by itself. The frame the
  // game scene was created on.
  long long WalkIntoStage(long long map, int steps, bool opensItself = false) {
    for (int i = 0; i < steps; ++i) m_Script.Taps(map, {{10 + 10 * i, "RIGHT"}});
    const int prompt = 10 + 10 * steps + 10;
    if (!opensItself) m_Script.Taps(map, {{prompt, "Z"}});
    m_Script.Taps(map, {{prompt + 10, "UP"}, {prompt + 20, "Z"}});
    return RunUntil(SCENE_GAME, kStepCreated, map, prompt + 200);
  }

  // The stage's clear script from the game scene's first frame; once the
  // stage is cleared the rest of the script goes, and the decide key is
  // tapped every 100 frames until the scene fades out (the results and the
  // ranking caption come first after a series' last stage). The frame the
  // clear began.
  long long ClearStage(long long created, int stage) {
    const long long lastKey = m_Script.AddScript(created + 1, ClearScript(stage));
    const long long clear = RunUntil(SCENE_GAME, runnertest::kPhaseStageClear, created, lastKey - created + kClearMargin);
    if (clear < 0) return clear;
    m_Script.DropFrom(clear);
    m_Script.Release(clear);
    for (int tap = 1; tap <= kClearTaps; ++tap) {
      m_Script.Taps(clear, {{100 * tap, "Z"}});
      if (Find(SCENE_GAME, kPhaseFadeOut, clear, 100 * tap + 20) >= 0) return clear;
    }
    ADD_FAILURE() << "the stage clear never ended; the run went " << Outline(Frames(m_Output / "trace.txt"));
    return -1;
  }

  // Plays the game part by part, each keyed from a frame the trace of the
  // run so far shows, and writes the script to `file`: a new story, the
  // stages before the last cleared by their own clear scripts, the save in
  // the map menu, the title, the story continued, the last stage, the
  // ending; the last line is the frame the run ends on.
  void ComposeGame(const fs::path& file) {
    const cWorldMap map = samplegame::MakeWorldMap();
    const int nodeSpacing = map.m_Nodes[1].m_nX - map.m_Nodes[0].m_nX;

    long long title = RunUntil(SCENE_TITLE, kMenuStep, -1, 400);
    ASSERT_GE(title, 0);
    m_Script.Taps(title, {{10, "Z"}});
    long long onMap = RunUntil(SCENE_WORLD_MAP, kMenuStep, title, 400);
    ASSERT_GE(onMap, 0);
    int steps = map.m_Nodes[0].m_nX - map.m_nStartX;
    for (int stage = 1; stage < samplegame::kStageCount; ++stage) {
      SCOPED_TRACE("stage " + std::to_string(stage));
      onMap = PlayStage(onMap, steps, stage);
      ASSERT_GE(onMap, 0);
      steps = nodeSpacing;
    }

    // The map menu: "セーブ" into the first slot (its prompt opens on
    // "やっぱりやめる"), back out of the slot list, then "タイトルへ".
    m_Script.Taps(onMap, {{10, "X"}});
    const long long menu = RunUntil(SCENE_MAP_MENU, kMenuStep, onMap, 400);
    ASSERT_GE(menu, 0);
    m_Script.Taps(menu, {{10, "Z"}, {20, "Z"}, {30, "UP"}, {40, "Z"}, {50, "X"}, {60, "DOWN"}, {70, "DOWN"},
                         {80, "DOWN"}, {90, "Z"}, {100, "UP"}, {110, "Z"}});
    title = RunUntil(SCENE_TITLE, kMenuStep, menu, 400);
    ASSERT_GE(title, 0);

    // "つづきから", the first slot.
    m_Script.Taps(title, {{10, "DOWN"}, {20, "Z"}});
    const long long slots = RunUntil(SCENE_TITLE, kTitleSlotList, title, 100);
    ASSERT_GE(slots, 0);
    m_Script.Taps(slots, {{10, "Z"}});
    onMap = RunUntil(SCENE_WORLD_MAP, kMenuStep, slots, 400);
    ASSERT_GE(onMap, 0);

    // The last stage, then the ending, which plays by itself; its clear ends
    // the story on the title.
    onMap = PlayStage(onMap, nodeSpacing, samplegame::kStageCount);
    ASSERT_GE(onMap, 0);
    const long long ending = WalkIntoStage(onMap, nodeSpacing, true);
    ASSERT_GE(ending, 0);
    const long long end = RunUntil(SCENE_TITLE, kMenuStep, ending, 3000) + 60;
    ASSERT_GE(end, 60);
    m_Script.Release(end);
    std::ofstream out(file);
    out << "# The sample game from its title to its ending, composed by GameRunTest\n"
           "# (KESTROVA_UPDATE_GOLDEN=1) from the stages' own clear scripts; the last\n"
           "# line is the frame the run ends on.\n"
        << m_Script.Text();
  }

  // Walks `steps` cells into the stage's node, clears the stage and goes
  // back to the map; the frame the map's walk starts again.
  long long PlayStage(long long onMap, int steps, int stage) {
    const long long created = WalkIntoStage(onMap, steps);
    if (created < 0) return -1;
    const long long clear = ClearStage(created, stage);
    if (clear < 0) return -1;
    return RunUntil(SCENE_WORLD_MAP, kMenuStep, clear, 1000);
  }

  cGameScript m_Script;
  // Files put into each fresh copy of the game: (file, path in the game folder).
  std::vector<std::pair<fs::path, fs::path>> m_Carried;
  // The key scripts and traces, apart from the game's folder that each run
  // starts afresh.
  testsupport::cTempFolder m_OutputFolder{"kestrova_game_run"};
  const fs::path m_Output = m_OutputFolder.Path();
};

TEST_F(GameRunTest, TheSampleGameIsPlayedFromTheTitleToItsEnding) {
  const fs::path keys = fs::path(KESTROVA_TEST_KEYS) / "game.keys";
  const char* update = std::getenv("KESTROVA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ComposeGame(keys);
    ASSERT_FALSE(HasFailure());
  }
  m_Script = cGameScript();
  const long long end = m_Script.AddScript(0, keys);
  ASSERT_GT(end, 0);

  // The whole script, twice.
  Play(end + 1, "a.txt");
  Play(end + 1, "b.txt");
  const std::vector<std::string> a = Lines(m_Output / "a.txt");
  ASSERT_EQ(static_cast<std::size_t>(end + 1), a.size());
  EXPECT_EQ(a, Lines(m_Output / "b.txt"));
  // The scenes in the order a person meets them: two stages, the save and
  // the title, the story continued, the last stage and the ending.
  const std::vector<int> expected = {SCENE_TITLE, SCENE_WORLD_MAP, SCENE_GAME,      SCENE_WORLD_MAP, SCENE_GAME,
                                     SCENE_WORLD_MAP, SCENE_MAP_MENU, SCENE_TITLE, SCENE_WORLD_MAP, SCENE_GAME,
                                     SCENE_WORLD_MAP, SCENE_GAME,     SCENE_TITLE};
  EXPECT_EQ(expected, Scenes(Frames(m_Output / "a.txt")))
      << "the run went " << Outline(Frames(m_Output / "a.txt"))
      << "\nWhen a stage or its clear script changed, KESTROVA_UPDATE_GOLDEN=1 composes " << keys << " anew.";
  // The map menu's saved sound; the music of the title (scene slot 0), the
  // map (1), the stages and the ending.
  std::set<std::string> requests;
  for (const std::string& line : a) {
    std::istringstream words(line);
    std::string word;
    for (int column = 0; words >> word; ++column) {
      if (column >= kStateColumns) requests.insert(word);
    }
  }
  for (const char* request : {"se=5", "scenebgm=0", "scenebgm=1", "bgm=1", "bgm=2", "bgm=3"}) {
    EXPECT_EQ(1u, requests.count(request)) << "never asked for " << request;
  }

  // The saved slot reads back: the first two stages cleared, the figure on
  // the second.
  const fs::path before = fs::current_path();
  fs::current_path(m_Folder);
  cProgress progress;
  const bool loaded = progress.LoadStory(0);
  fs::current_path(before);
  ASSERT_TRUE(loaded);
  const int savedAfter = samplegame::kStageCount - 1;
  for (int stage = 1; stage <= samplegame::kStageCount + 1; ++stage) {
    EXPECT_EQ(stage <= savedAfter, progress.m_StageFlags[static_cast<std::size_t>(stage)] != 0) << stage;
  }
  const cWorldMap map = samplegame::MakeWorldMap();
  EXPECT_EQ(map.m_Nodes[savedAfter - 1].m_nX, progress.m_nMapX);
  EXPECT_EQ(map.m_Nodes[savedAfter - 1].m_nY, progress.m_nMapY);
}

// The challenge: the stage select lists the game's stages, the first is
// played and cleared by its own script, the list comes back with it marked
// cleared, and the challenge file reads back so.
TEST_F(GameRunTest, TheChallengeListPlaysTheFirstStageAndKeepsItCleared) {
  const long long title = RunUntil(SCENE_TITLE, kMenuStep, -1, 400);
  ASSERT_GE(title, 0);
  m_Script.Taps(title, {{10, "DOWN"}, {20, "DOWN"}, {30, "Z"}});  // "チャレンジ"
  const long long select = RunUntil(SCENE_STAGE_SELECT, kMenuStep, title, 400);
  ASSERT_GE(select, 0);
  m_Script.Taps(select, {{10, "Z"}});
  const long long created = RunUntil(SCENE_GAME, kStepCreated, select, 400);
  ASSERT_GE(created, 0);
  const long long clear = ClearStage(created, 1);
  ASSERT_GE(clear, 0);
  const long long back = RunUntil(SCENE_STAGE_SELECT, kMenuStep, clear, 1000);
  ASSERT_GE(back, 0);
  EXPECT_EQ((std::vector<int>{SCENE_TITLE, SCENE_STAGE_SELECT, SCENE_GAME, SCENE_STAGE_SELECT}),
            Scenes(Frames(m_Output / "trace.txt")));

  const fs::path before = fs::current_path();
  fs::current_path(m_Folder);
  cProgress progress;
  const bool loaded = progress.LoadChallenge();
  fs::current_path(before);
  ASSERT_TRUE(loaded);
  ASSERT_GE(progress.m_StageNumbers.size(), static_cast<std::size_t>(samplegame::kStageCount));
  EXPECT_NE(0, progress.m_StageNumbers[0].m_nFirst);
  EXPECT_EQ(0, progress.m_StageNumbers[1].m_nFirst);
}

// The title's free play opens the stage-file dialog, answered with the first
// stage's file: the stage is played with its own keys and its replay saved.
// The title's replay entry then opens that replay, which plays the attempt
// again frame for frame.
TEST_F(GameRunTest, FreePlayAndReplayAreOpenedFromTheTitle) {
  const fs::path stageKeys = fs::path(KESTROVA_TEST_KEYS) / "c01-1.keys";
  const fs::path replay = m_Output / "free.rpl4_781";
  long long title = RunUntil(SCENE_TITLE, kMenuStep, -1, 400);
  ASSERT_GE(title, 0);
  m_Script.Taps(title, {{10, "DOWN"}, {20, "DOWN"}, {30, "DOWN"}, {40, "Z"}});  // "フリー"
  m_Script.Answer(title + 40, "file data/stg4/c01-1.stg4_781");
  const long long freePlay = RunUntil(SCENE_GAME, kStepCreated, title, 200);
  ASSERT_GE(freePlay, 0);
  const long long end = m_Script.AddScript(freePlay + 1, stageKeys) + 60;
  Play(end, "free.txt", {"--record-replay", replay.string()});
  const std::vector<sFrame> freeRun = Frames(m_Output / "free.txt");
  EXPECT_EQ((std::vector<int>{SCENE_TITLE, SCENE_GAME}), Scenes(freeRun)) << Outline(freeRun);
  const std::vector<std::string> played = Lines(m_Output / "free.txt");

  m_Script = cGameScript();
  m_Carried = {{replay, "user_data/rpl4/free.rpl4_781"}};
  title = RunUntil(SCENE_TITLE, kMenuStep, -1, 400);
  ASSERT_GE(title, 0);
  m_Script.Taps(title, {{10, "DOWN"}, {20, "DOWN"}, {30, "DOWN"}, {40, "DOWN"}, {50, "Z"}});  // "リプレイ"
  m_Script.Answer(title + 50, "file user_data/rpl4/free.rpl4_781");
  const long long replayed = RunUntil(SCENE_GAME, kStepCreated, title, 200);
  ASSERT_GE(replayed, 0);
  Play(replayed + (end - freePlay), "replay.txt");
  const std::vector<sFrame> replayRun = Frames(m_Output / "replay.txt");
  EXPECT_EQ((std::vector<int>{SCENE_TITLE, SCENE_GAME}), Scenes(replayRun)) << Outline(replayRun);
  // From the game scene's first frame on, the replay is the attempt again.
  const std::vector<std::string> again = Lines(m_Output / "replay.txt");
  ASSERT_EQ(again.size() - static_cast<std::size_t>(replayed), played.size() - static_cast<std::size_t>(freePlay));
  for (long long i = 0; freePlay + i < static_cast<long long>(played.size()); ++i) {
    ASSERT_EQ(WithoutFrame(played[static_cast<std::size_t>(freePlay + i)]),
              WithoutFrame(again[static_cast<std::size_t>(replayed + i)]))
        << "game frame " << i;
  }
  EXPECT_NE(WithoutFrame(played[static_cast<std::size_t>(freePlay)]), WithoutFrame(played.back()))
      << "the stage's keys moved the hero";
}

}  // namespace

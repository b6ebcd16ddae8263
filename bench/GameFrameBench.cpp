// Whole frames of the player (the game scene's update and its drawing into the
// software device, the frame gate, the message pump) through the headless
// runner, on a copy of the sample game, each on both drawing roads side by
// side (Direct3D and DirectDraw, 32 bits):
//   - the sample boss stage, the hero standing before the boss as it paces
//     and fires;
//   - a crowded stage: the boss room with 200 firing characters, so that
//     about a thousand shots are in flight;
//   - the sample's first stage: few objects, but its welcome keeps a screen
//     shake, a tint, a picture and a message over every frame, so its figure
//     is mostly the per-pixel work of the stage drawing;
//   - the whole game: the tests' script that plays the sample from its title
//     through every stage to its ending, every frame of it timed.
// Each figure is the processor time of the runner per frame (so the other
// work on a shared machine does not count), timed for the stages from
// frame kWarmFrames (past the fade-in, the ready sign and the hero's walk
// towards the boss) to the end of the run, with the share of the 16.7 ms
// budget of a 60 fps frame beside it; the whole game also reports its worst
// frame and where it falls, by the process's time and by the time of the
// thread that runs the frames (which leaves out the main thread's waiting
// and music while a modal loop runs them).
//
// And the load of a stage file of 1 MB (the boss room grown until its file
// holds a megabyte), beside the plain read of the same file's bytes; and the
// bitmaps a stage start of the sample must load (the stage's sheets and its
// two backgrounds), read and decoded once each, beside the plain read of
// their bytes: the floor under the worst frame of the whole game.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include "HeadlessRun.h"
#include "platform/BmpDecoder.h"
#include "SampleGame.h"
#include "data/DataRecord.h"
#include "data/StageData.h"
#include "world/Chara.h"
#include "world/Shot.h"

namespace {

namespace fs = std::filesystem;

// The processor time of the process, in seconds: a frame may run on the
// pause thread while the game thread waits (<chrono> does not build under
// the player's Shift-JIS execution character set).
double ClockSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
double ProcessSeconds() { return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID); }
// The processor time of the calling thread: the process figure also counts
// the threads that run beside the frames (while a modal loop runs the frames
// on its own thread, the main thread polls for its end, serves messages and
// renders the music), which this one leaves out.
double ThreadSeconds() { return ClockSeconds(CLOCK_THREAD_CPUTIME_ID); }

constexpr int kWarmFrames = 450;
constexpr int kTimedFrames = 300;
constexpr double kBudgetMs = 1000.0 / 60.0;
constexpr double kWorstGoalSeconds = 0.002;  // the goal for the worst frame of the whole game
constexpr int kCrowdCharas = 200;
constexpr int kCrowdColumns = 34;  // six rows of them between the room's walls
constexpr int kCrowdFireWait = 5;  // frames between spreads of three: about a thousand shots fly
constexpr std::size_t kBigStageBytes = 1 << 20;
constexpr int kBossIndex = 4;  // the common palette's characters: none, hero, walker, shooter, boss
constexpr int kBossStage = 2;

const char* const kFirstStage = "data\\stg4\\c01-1.stg4_781";
const char* const kBossStagePath = "data\\stg4\\c03-1.stg4_781";
const char* const kCrowdStagePath = "bench\\crowd.stg4_781";

bool WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool WriteText(const fs::path& path, const std::string& text) {
  return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The hero walks right in taps (each press is one step of its walk) from
// the end of the ready sign until the timed frames begin, by when the boss
// room's camera has the boss on the screen.
std::string WalkRightKeys() {
  std::string keys;
  for (int frame = 100; frame < kWarmFrames; frame += 10)
    keys += std::to_string(frame) + " RIGHT\n" + std::to_string(frame + 5) + "\n";
  return keys;
}

// The boss room with kCrowdCharas copies of the boss (that do not clear the
// stage when they die) along the floor and the platforms, and a hero that
// outlives the run.
cStageData MakeCrowdedStage() {
  const cPalette common = samplegame::MakeCommonPalette();
  cStageData stage = samplegame::MakeStages(common)[kBossStage].m_Stage;
  // The boss's firing flow without its pacing walk (fire, a short wait), acting
  // wherever the camera is.
  cCharaData shooter = common.m_Charas[kBossIndex];
  shooter.m_Flows.resize(1);
  shooter.m_Flows[0].m_Commands.erase(shooter.m_Flows[0].m_Commands.begin());
  shooter.m_Flows[0].m_Commands.back().m_nDuration = kCrowdFireWait;
  shooter.m_nScale = 1;
  shooter.m_nActiveRange = 3;
  for (cCharaData& placed : stage.m_PlacedCharas) {
    if (placed.m_nOperator == CHARA_BY_PLAYER) placed.m_nMhp = 1000000000;
  }
  for (int i = 0; i < kCrowdCharas; ++i) {
    cCharaData placed = shooter;
    placed.m_nCellX = static_cast<int16_t>(3 + i % kCrowdColumns);
    placed.m_nCellY = static_cast<int16_t>(2 + (i / kCrowdColumns) * 2);
    stage.m_PlacedCharas.push_back(placed);
  }
  return stage;
}

// The boss room with blocks placed over and over until its file holds at
// least kBigStageBytes.
std::vector<std::uint8_t> MakeBigStageBytes() {
  const cPalette common = samplegame::MakeCommonPalette();
  cStageData stage = samplegame::MakeStages(common)[kBossStage].m_Stage;
  const std::vector<cBlockData> blocks = stage.m_PlacedBlocks;
  std::vector<std::uint8_t> bytes = stage.MakeFileBytes();
  while (bytes.size() < kBigStageBytes) {
    for (int i = 0; i < 8; ++i) stage.m_PlacedBlocks.insert(stage.m_PlacedBlocks.end(), blocks.begin(), blocks.end());
    bytes = stage.MakeFileBytes();
  }
  return bytes;
}

// A copy of the sample game's working folder (without the programs) with the
// bench's own stages; removed at exit.
class cGameCopy {
 public:
  cGameCopy() {
    std::string pattern = (fs::temp_directory_path() / "kestrova_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_Folder = pattern;
    for (const auto& entry : fs::directory_iterator(KESTROVA_GAME_DIR)) {
      const fs::path name = entry.path().filename();
      if (entry.is_regular_file() && (name == "kestrova4" || name == "kestrova4-run")) continue;
      fs::copy(entry.path(), m_Folder / name, fs::copy_options::recursive);
    }
    if (!WriteBytes(m_Folder / "bench" / "crowd.stg4_781", MakeCrowdedStage().MakeFileBytes())) std::abort();
    if (!WriteText(KeysPath(), WalkRightKeys())) std::abort();
    if (!WriteBytes(BigStagePath(), MakeBigStageBytes())) std::abort();
  }
  ~cGameCopy() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(m_Folder, ec);
  }
  cGameCopy(const cGameCopy&) = delete;
  cGameCopy& operator=(const cGameCopy&) = delete;

  const fs::path& Folder() const { return m_Folder; }
  fs::path BigStagePath() const { return m_Folder / "bench" / "big.stg4_781"; }
  fs::path KeysPath() const { return m_Folder / "bench" / "walk.keys"; }

 private:
  fs::path m_Folder;
};

cGameCopy& GameCopy() {
  static cGameCopy copy;
  return copy;
}

// The drawing roads, as the runner's --direct3d chooses them.
constexpr int kDirect3D = 1;
constexpr int kDirectDraw = 0;

// Per-frame processor times of one run, from frame `firstTimed` on.
struct sFrameTimes {
  std::vector<double> seconds;  // seconds[i] is frame firstTimed + i
  // The same frames in the processor time of the thread that runs them; a
  // frame whose top and end fall on different threads (one run on the pause
  // thread) keeps the process figure.
  std::vector<double> threadSeconds;
  std::int64_t firstTimed = 0;
  double charas = 0, shots = 0;  // summed over the timed frames

  double Mean() const {
    double sum = 0;
    for (double s : seconds) sum += s;
    return seconds.empty() ? 0 : sum / static_cast<double>(seconds.size());
  }
  static std::size_t WorstOf(const std::vector<double>& times) {
    std::size_t worst = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
      if (times[i] > times[worst]) worst = i;
    }
    return worst;
  }
  std::size_t WorstIndex() const { return WorstOf(seconds); }
};

// Runs the player once; each timed frame's time runs from the top of that
// frame to the top of the next, so the last frame of the run is not timed.
bool RunTimed(runner::sRunOptions options, std::int64_t firstTimed, sFrameTimes& times, std::string& error) {
  // As the runner program does: no display and no sound card.
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  times.firstTimed = firstTimed;
  double top = 0, threadTop = 0;
  // The kernel's thread id, not pthread_self(): a modal loop started right
  // after another one ended (two extra lives in a row) runs on a new thread
  // that mostly gets the same pthread_t, and its clock is not the old one's.
  pid_t topThread = 0;
  options.onFrame = [&](std::int64_t frame) {
    const double threadNow = ThreadSeconds();
    const double now = ProcessSeconds();
    const pid_t self = gettid();
    if (frame > firstTimed) {
      times.seconds.push_back(now - top);
      times.threadSeconds.push_back(self == topThread ? threadNow - threadTop : now - top);
      times.charas += g_CharaList.Count();
      times.shots += g_ShotList.m_Shots.Count();
    }
    top = now;
    threadTop = threadNow;
    topThread = self;
  };
  return runner::RunHeadless(options, error) == 0;
}

// One run of a stage on one road per iteration; the iteration's time is the
// mean frame time of its timed frames. Counters: the budget share, and the
// characters and shots in the world on average over the timed frames.
void RunStageFrames(benchmark::State& state, const char* stage, int direct3D) {
  double charas = 0, shots = 0, samples = 0, frameSeconds = 0;
  for (auto _ : state) {
    runner::sRunOptions options;
    options.dir = GameCopy().Folder().string();
    options.stage = stage;
    options.keys = GameCopy().KeysPath().string();
    options.frames = kWarmFrames + kTimedFrames;
    options.direct3D = direct3D;
    sFrameTimes times;
    std::string error;
    if (!RunTimed(options, kWarmFrames, times, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    charas += times.charas;
    shots += times.shots;
    samples += static_cast<double>(times.seconds.size());
    frameSeconds += times.Mean();
    state.SetIterationTime(times.Mean());
  }
  if (samples > 0) {
    state.counters["budget_pct"] = 100.0 * frameSeconds * 1000.0 / static_cast<double>(state.iterations()) / kBudgetMs;
    state.counters["charas"] = charas / samples;
    state.counters["shots"] = shots / samples;
  }
}

// The number of the last frame a key script names.
std::int64_t LastScriptFrame(const fs::path& script) {
  std::ifstream in(script);
  std::int64_t last = -1;
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    last = std::max<std::int64_t>(last, std::atoll(line.c_str() + start));
  }
  return last;
}

// The whole game on one road per iteration, from a folder as a first start
// finds it (no data folder yet, no saves). A first run, not timed, leaves out
// what a process does once whatever it plays (the sound font, the glyph
// caches). Every frame is timed but the last, in which the run ends. The
// iteration's time is the mean frame time; the counters add the worst frame
// of all iterations and its number, and how many frames per run took more
// than 2 ms.
void RunWholeGame(benchmark::State& state, int direct3D) {
  const fs::path script = fs::path(KESTROVA_TEST_KEYS) / "game.keys";
  const std::int64_t lastFrame = LastScriptFrame(script);
  if (lastFrame < 0) {
    state.SkipWithError("the whole-game key script is missing");
    return;
  }
  runner::sRunOptions options;
  options.dir = GameCopy().Folder().string();
  options.keys = script.string();
  options.frames = lastFrame + 1;
  options.direct3D = direct3D;
  auto runOnce = [&](sFrameTimes& times, std::string& error) {
    std::error_code ec;
    fs::remove_all(GameCopy().Folder() / "data", ec);
    fs::remove_all(GameCopy().Folder() / "user_data", ec);
    return RunTimed(options, 0, times, error);
  };
  sFrameTimes warmUp;
  std::string error;
  if (!runOnce(warmUp, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  double sum = 0, worst = 0, over = 0, threadWorst = 0, threadOver = 0;
  std::int64_t worstFrame = 0, threadWorstFrame = 0;
  for (auto _ : state) {
    sFrameTimes times;
    if (!runOnce(times, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    for (double s : times.seconds) over += s > kWorstGoalSeconds ? 1 : 0;
    for (double s : times.threadSeconds) threadOver += s > kWorstGoalSeconds ? 1 : 0;
    const std::size_t t = sFrameTimes::WorstOf(times.threadSeconds);
    if (!times.threadSeconds.empty() && times.threadSeconds[t] > threadWorst) {
      threadWorst = times.threadSeconds[t];
      threadWorstFrame = times.firstTimed + static_cast<std::int64_t>(t);
    }
    const std::size_t w = times.WorstIndex();
    if (!times.seconds.empty() && times.seconds[w] > worst) {
      worst = times.seconds[w];
      worstFrame = times.firstTimed + static_cast<std::int64_t>(w);
    }
    sum += times.Mean();
    state.SetIterationTime(times.Mean());
  }
  if (state.iterations() > 0) {
    state.counters["mean_ms"] = 1000.0 * sum / static_cast<double>(state.iterations());
    state.counters["worst_ms"] = 1000.0 * worst;
    state.counters["worst_frame"] = static_cast<double>(worstFrame);
    state.counters["frames_over_2ms"] = over / static_cast<double>(state.iterations());
    state.counters["thread_worst_ms"] = 1000.0 * threadWorst;
    state.counters["thread_worst_frame"] = static_cast<double>(threadWorstFrame);
    state.counters["thread_frames_over_2ms"] = threadOver / static_cast<double>(state.iterations());
  }
}

void BM_BossStageFrame_Direct3D(benchmark::State& state) { RunStageFrames(state, kBossStagePath, kDirect3D); }
void BM_BossStageFrame_DirectDraw(benchmark::State& state) { RunStageFrames(state, kBossStagePath, kDirectDraw); }
void BM_CrowdedStageFrame_Direct3D(benchmark::State& state) { RunStageFrames(state, kCrowdStagePath, kDirect3D); }
void BM_CrowdedStageFrame_DirectDraw(benchmark::State& state) {
  RunStageFrames(state, kCrowdStagePath, kDirectDraw);
}
void BM_FirstStageFrame_Direct3D(benchmark::State& state) { RunStageFrames(state, kFirstStage, kDirect3D); }
void BM_FirstStageFrame_DirectDraw(benchmark::State& state) { RunStageFrames(state, kFirstStage, kDirectDraw); }
void BM_WholeGameFrame_Direct3D(benchmark::State& state) { RunWholeGame(state, kDirect3D); }
void BM_WholeGameFrame_DirectDraw(benchmark::State& state) { RunWholeGame(state, kDirectDraw); }

void BM_BigStageLoad(benchmark::State& state) {
  const std::string path = GameCopy().BigStagePath().string();
  for (auto _ : state) {
    cStageData stage;
    if (!cDataRecord::LoadFile(stage, path)) {
      state.SkipWithError("the big stage did not load");
      break;
    }
    benchmark::DoNotOptimize(stage.m_PlacedBlocks.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

void BM_BigStageReadReference(benchmark::State& state) {
  const std::string path = GameCopy().BigStagePath().string();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes(fs::file_size(path));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

// The files the first stage's start loads: the sheets of the surface table it
// makes, and its two backgrounds (the first two pictures of the game folder).
std::vector<fs::path> StageStartBitmaps() {
  static const char* const kSheets[] = {"Block", "Character1", "Shot",   "Item",   "Item_Mini", "Mark",
                                        "Window", "StatusWindow", "Accessory", "Symbol", "Word", "Effect/Explosion"};
  std::vector<fs::path> files;
  for (const char* sheet : kSheets) files.push_back(GameCopy().Folder() / "bmp" / (std::string(sheet) + ".bmp"));
  std::vector<fs::path> pictures;
  for (const auto& entry : fs::directory_iterator(GameCopy().Folder())) {
    if (entry.is_regular_file() && entry.path().extension() == ".bmp") pictures.push_back(entry.path());
  }
  std::sort(pictures.begin(), pictures.end());
  for (std::size_t i = 0; i < pictures.size() && i < 2; ++i) files.push_back(pictures[i]);
  return files;
}

std::vector<std::uint8_t> ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(fs::file_size(path));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void BM_StageStartBitmapsDecode(benchmark::State& state) {
  const std::vector<fs::path> files = StageStartBitmaps();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (const fs::path& file : files) {
      const std::vector<std::uint8_t> data = ReadWhole(file);
      plat::sBmpImage image;
      if (!plat::DecodeBmp(data, image)) {
        state.SkipWithError(("cannot decode " + file.string()).c_str());
        return;
      }
      benchmark::DoNotOptimize(image.rgb.data());
      bytes += static_cast<std::int64_t>(data.size());
    }
  }
  state.SetBytesProcessed(bytes);
  state.counters["files"] = static_cast<double>(files.size());
}

void BM_StageStartBitmapsReadReference(benchmark::State& state) {
  const std::vector<fs::path> files = StageStartBitmaps();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (const fs::path& file : files) {
      const std::vector<std::uint8_t> data = ReadWhole(file);
      benchmark::DoNotOptimize(data.data());
      bytes += static_cast<std::int64_t>(data.size());
    }
  }
  state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_BossStageFrame_Direct3D)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BossStageFrame_DirectDraw)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrowdedStageFrame_Direct3D)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrowdedStageFrame_DirectDraw)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstStageFrame_Direct3D)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstStageFrame_DirectDraw)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeGameFrame_Direct3D)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeGameFrame_DirectDraw)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BigStageLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BigStageReadReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageStartBitmapsDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageStartBitmapsReadReference)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

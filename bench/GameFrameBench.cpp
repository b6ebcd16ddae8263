// Whole frames of the player (the game scene's update and its drawing into the
// software device, the frame gate, the message pump) through the headless
// runner, on a copy of the sample game:
//   - the sample boss stage, the hero standing before the boss as it paces
//     and fires;
//   - a crowded stage: the boss room with 200 firing characters, so that
//     about a thousand shots are in flight.
// Each figure is milliseconds per frame, timed from frame kWarmFrames (past the
// fade-in, the ready sign and the hero's walk towards the boss) to the end of
// the run, with the share of the 16.7 ms budget of a 60 fps frame beside it.
// The reference of the same run is the sample's first stage: few objects, but
// its welcome keeps a screen shake, a tint, a picture and a message over every
// frame, so its figure is mostly the per-pixel work of the stage drawing.
//
// And the load of a stage file of 1 MB (the boss room grown until its file
// holds a megabyte), beside the plain read of the same file's bytes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <time.h>

#include "HeadlessRun.h"
#include "SampleGame.h"
#include "data/DataRecord.h"
#include "data/StageData.h"
#include "world/Chara.h"
#include "world/Shot.h"

namespace {

namespace fs = std::filesystem;

// Seconds on the monotonic clock (<chrono> does not build under the player's
// Shift-JIS execution character set).
double NowSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kWarmFrames = 450;
constexpr int kTimedFrames = 300;
constexpr double kBudgetMs = 1000.0 / 60.0;
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

// One run of a stage; each iteration's time is the mean frame time of its
// timed frames. Counters: the budget share, and the characters and shots in
// the world on average over the timed frames.
void RunStageFrames(benchmark::State& state, const char* stage) {
  // As the runner program does: no display and no sound card.
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  double charas = 0, shots = 0, samples = 0, frameSeconds = 0;
  for (auto _ : state) {
    runner::sRunOptions options;
    options.dir = GameCopy().Folder().string();
    options.stage = stage;
    options.keys = GameCopy().KeysPath().string();
    options.frames = kWarmFrames + kTimedFrames;
    double start = 0, end = 0;
    options.onFrame = [&](std::int64_t frame) {
      if (frame == kWarmFrames) start = NowSeconds();
      if (frame > kWarmFrames) {
        charas += g_CharaList.Count();
        shots += g_ShotList.m_Shots.Count();
        ++samples;
      }
      end = NowSeconds();
    };
    std::string error;
    if (runner::RunHeadless(options, error) != 0) {
      state.SkipWithError(error.c_str());
      break;
    }
    const double seconds = (end - start) / (kTimedFrames - 1);
    frameSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  if (samples > 0) {
    state.counters["budget_pct"] = 100.0 * frameSeconds * 1000.0 / static_cast<double>(state.iterations()) / kBudgetMs;
    state.counters["charas"] = charas / samples;
    state.counters["shots"] = shots / samples;
  }
}

void BM_BossStageFrame(benchmark::State& state) { RunStageFrames(state, kBossStagePath); }
void BM_CrowdedStageFrame(benchmark::State& state) { RunStageFrames(state, kCrowdStagePath); }
void BM_FirstStageFrameReference(benchmark::State& state) { RunStageFrames(state, kFirstStage); }

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

BENCHMARK(BM_BossStageFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrowdedStageFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstStageFrameReference)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BigStageLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BigStageReadReference)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

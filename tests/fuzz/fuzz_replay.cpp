// user_data\rpl4\*.rpl4_781: the stage as started, the key record and the
// progress record.

#include "data/Progress.h"
#include "data/StageData.h"
#include "fuzz/FuzzSupport.h"
#include "world/KeyInput.h"
#include "world/ReplayInput.h"

namespace {

// Enough frames to reach every run of a small file, few enough for a fuzzer.
constexpr int kMaxPlayedFrames = 20000;

std::vector<std::uint8_t> Resave(cReplayInput& replay, cStageData& stage, cStageData& asStarted, cProgress& progress) {
  return replay.MakeFileBytes(stage, asStarted, progress);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  g_StripCR = true;
  cReplayInput replay;
  cStageData stage;
  cStageData asStarted;
  cProgress progress;
  if (replay.LoadFromBytes(std::span<const std::uint8_t>(data, size), "fuzz", stage, asStarted, progress) == 0) {
    return 0;
  }
  // A file that was accepted plays without leaving its runs...
  cKeyInput keys;
  for (int frame = 0; frame < kMaxPlayedFrames && replay.PlayFrame(keys) == 0; ++frame) {
  }
  // ...and what it saves reads back and saves the very same bytes.
  const std::vector<std::uint8_t> written = Resave(replay, stage, asStarted, progress);
  cReplayInput again;
  cStageData againStage;
  cStageData againStarted;
  cProgress againProgress;
  if (again.LoadFromBytes(written, "fuzz rewrite", againStage, againStarted, againProgress) == 0) __builtin_trap();
  if (Resave(again, againStage, againStarted, againProgress) != written) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cStageData stage;
  stage.m_Width = 24;
  stage.m_Height = 15;
  cCharaData hero;
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nGraphic = 1;
  stage.m_PlacedCharas.push_back(hero);
  stage.m_PlacedBlocks.resize(2);
  cReplayInput replay;
  replay.m_Seed = 99;
  cKeyInput keys;
  for (int frame = 0; frame < 40; ++frame) {
    keys.m_Dir = static_cast<std::uint16_t>((frame / 6) % 16);
    keys.m_Buttons = static_cast<std::uint16_t>((frame / 4) % 3);
    replay.RecordFrame(keys);
  }
  cProgress progress;
  std::vector<std::vector<std::uint8_t>> seeds;
  cStageData asStarted = stage;
  seeds.push_back(replay.MakeFileBytes(stage, asStarted, progress));
  cByteWriter old(172);
  BeginDataWrite(old);
  stage.SaveForReplay(old, asStarted);
  replay.Write(old);
  seeds.push_back(old.TakeBytes());
  return seeds;
}

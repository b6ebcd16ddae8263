// One frame of a busy stage, update only: 200 characters (walkers turning at
// walls and ledges, flyers circling, block characters circling as moving
// platforms) and 40 items on a 200 x 30 map, every character acting, at 1, 4
// and 10 sub-steps. Each frame runs the characters' flows, their motion and
// their collision with the map and the block characters in the play step's
// order (support/CharaSim.h), and the items' activation.
//
// Beside it, as the reference of the same run: one pass over the same
// objects that only reads and writes their positions, the least a frame can
// cost.

#include <benchmark/benchmark.h>

#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "world/Conditions.h"
#include "world/Item.h"

namespace {

constexpr int kMapWidth = 200;
constexpr int kMapHeight = 30;
constexpr int kGroundRow = 28;

cCommand Move(int type, int direction, int speedTenths, int radius = 0) {
  cCmdBuilder builder(type);
  builder.Duration(30000);
  cEdMove& move = builder.Move();
  move.m_nDirection = static_cast<uint8_t>(direction);
  move.m_nSpeed = static_cast<int16_t>(speedTenths);
  move.m_nHoming = static_cast<int16_t>(radius);
  move.m_nDistance = 360;
  move.m_nTimeMode = type == FLOW_CMD_CIRCLE_MOVE ? 1 : 0;
  return builder;
}

cCharaData WithFlow(cCharaData data, const cCommand& command) {
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(command));
  data.m_nActiveRange = 3;
  return data;
}

// The stage: a floor with gaps and walls, 150 walkers, 30 flyers, 20 block
// characters and 40 items.
class cBusyStage {
 public:
  explicit cBusyStage(int subSteps)
      : m_World(cTestWorld::cOptions{.subSteps = subSteps, .mapWidth = kMapWidth, .mapHeight = kMapHeight}),
        m_Sim(m_World) {
    for (int x = 0; x < kMapWidth; ++x) {
      if (x % 23 != 11) m_World.SetSolid(x, kGroundRow);
      if (x % 17 == 0) m_World.SetSolid(x, kGroundRow - 1);
    }
    m_Sim.AddHero(cTestWorld::Definition(), 2, kGroundRow - 1);
    const cCharaData walker = WithFlow(cTestWorld::Definition(), Move(FLOW_CMD_GROUND_TURN_MOVE, 0, 15));
    cCharaData flyer = cTestWorld::Definition();
    flyer.m_nFlying = 2;
    flyer = WithFlow(flyer, Move(FLOW_CMD_CIRCLE_MOVE, 0, 30, 3));
    cCharaData block = cTestWorld::Definition();
    block.m_nFlying = 1;
    block.m_bBlockChara = 1;
    block = WithFlow(block, Move(FLOW_CMD_CIRCLE_MOVE, 1, 20, 2));
    for (int i = 0; i < 150; ++i) m_Sim.AddChara(walker, 1 + (i * 13) % (kMapWidth - 2), kGroundRow - 1);
    for (int i = 0; i < 30; ++i) m_Sim.AddChara(flyer, 3 + i * 6, 5 + i % 10);
    for (int i = 0; i < 20; ++i) m_Sim.AddChara(block, 5 + i * 9, kGroundRow - 4);
    for (int i = 0; i < 40; ++i) {
      cItem& item = g_ItemList.Emplace();
      item.Init(i, cItemData(), 0);
      item.PlaceOnGrid(4 + i * 5, kGroundRow - 2);
    }
  }

  void Frame() {
    for (int b = 0; b < g_Stage.m_SubSteps; ++b) {
      for (cItem& item : g_ItemList) {
        item.m_Active = ItemConditionsHold(item) ? 1 : 0;
        item.m_OnScreen = item.IsOnScreen();
      }
    }
    benchmark::DoNotOptimize(m_Sim.Frame());
  }

 private:
  cTestWorld m_World;
  cCharaSim m_Sim;
};

void BM_StageFrame(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  for (auto _ : state) stage.Frame();
  state.SetLabel("one frame, 200 characters and 40 items");
}
BENCHMARK(BM_StageFrame)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_TouchObjectsReference(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int b = 0; b < g_Stage.m_SubSteps; ++b) {
      for (cChara& chara : g_CharaList) {
        chara.SavePrevPosition();
        chara.m_X += 0.0;
        benchmark::DoNotOptimize(chara.m_X);
      }
      for (cItem& item : g_ItemList) benchmark::DoNotOptimize(item.m_X);
    }
  }
  state.SetLabel("positions only, same objects");
}
BENCHMARK(BM_TouchObjectsReference)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

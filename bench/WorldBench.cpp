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
//
// The same frame with 1000 shots in flight (half of the hero's faction, half
// of the characters'; straight and waving, through blocks) adds each
// sub-step's shot motion and the contact passes (shots against characters,
// characters against characters, shots against shots); shots that leave are
// replaced so that 1000 are always flying. Its reference touches the shots'
// positions as well.

#include <benchmark/benchmark.h>

#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "data/SystemData.h"
#include "world/Contact.h"
#include "world/Conditions.h"
#include "world/Item.h"
#include "world/Shot.h"

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

  // The frame with its shots: the characters' frame, then per sub-step the
  // shots' motion and the contact passes; the shots topped up to `shots`.
  void FrameWithShots(int shots) {
    Frame();
    for (int b = 1; b <= g_Stage.m_SubSteps; ++b) {
      g_GameScene->m_nSubStep = b;
      ActivateShots();
      UpdateShots();
      benchmark::DoNotOptimize(CheckContacts());
    }
    g_GameScene->m_nSubStep = 0;
    while (ShotCount() < shots) AddShot();
  }

  // A shot somewhere along the map, flying left or right, every third one
  // waving; even ones of the hero's faction.
  void AddShot() {
    const int n = m_NextShot++;
    cShot shot;
    cEdShot& settings = shot.m_EdShot;
    settings.m_nFaction = static_cast<uint8_t>(n % 2);
    settings.m_bPassBlocks = 1;
    settings.m_bPierceCharas = 1;
    settings.m_bPierceBlockCharas = 1;
    settings.m_nMotion = n % 3 == 0 ? 8 : 0;
    settings.m_nMotionParams[0] = 2;
    settings.m_nMotionParams[1] = 4;
    shot.m_Key = n;
    shot.m_PassNo = settings.m_nFaction;
    shot.m_Flying = 1;
    shot.m_BoxW = shot.m_BoxH = shot.m_GfxW = shot.m_GfxH = 16;
    shot.m_Hit.Set(4, 4, 8, 8);
    shot.m_X = 330 + (n * 37) % ((kMapWidth - 2) * 32);
    shot.m_Y = 330 + (n * 53) % ((kGroundRow - 1) * 32);
    shot.m_MotionVX = (n % 4 < 2 ? 1.5 : -1.5) / g_Stage.m_SubSteps;
    shot.m_MotionVY = (n % 5 - 2) * 0.25 / g_Stage.m_SubSteps;
    shot.ConstrainX();
    shot.ClampY(-1);
    g_ShotList.AddShot(shot);
  }


 private:
  cTestWorld m_World;
  cCharaSim m_Sim;
  int m_NextShot = 0;
};

void BM_StageFrame(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  for (auto _ : state) stage.Frame();
  state.SetLabel("one frame, 200 characters and 40 items");
}
BENCHMARK(BM_StageFrame)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// The reference pass: every sub-step reads and writes the positions of the
// characters and items, and of the shots when asked.
void TouchObjects(bool shots) {
  for (int b = 0; b < g_Stage.m_SubSteps; ++b) {
    for (cChara& chara : g_CharaList) {
      chara.SavePrevPosition();
      chara.m_X += 0.0;
      benchmark::DoNotOptimize(chara.m_X);
    }
    for (cItem& item : g_ItemList) benchmark::DoNotOptimize(item.m_X);
    if (!shots) continue;
    for (cShot& shot : g_ShotList.m_Shots) {
      shot.m_X += 0.0;
      benchmark::DoNotOptimize(shot.m_X);
    }
  }
}

void BM_TouchObjectsReference(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  for (auto _ : state) TouchObjects(false);
  state.SetLabel("positions only, same objects");
}
BENCHMARK(BM_TouchObjectsReference)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

constexpr int kShotsInFlight = 1000;

void BM_StageFrameWith1000Shots(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  g_System.m_bEffectlessShotsPass = 1;
  g_Stage.m_ContactOnScreenOnly = 0;
  while (ShotCount() < kShotsInFlight) stage.AddShot();
  for (auto _ : state) stage.FrameWithShots(kShotsInFlight);
  state.SetLabel("one frame, 200 characters, 40 items, 1000 shots");
}
BENCHMARK(BM_StageFrameWith1000Shots)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_TouchObjectsAndShotsReference(benchmark::State& state) {
  cBusyStage stage(static_cast<int>(state.range(0)));
  while (ShotCount() < kShotsInFlight) stage.AddShot();
  for (auto _ : state) TouchObjects(true);
  state.SetLabel("positions only, same objects and shots");
}
BENCHMARK(BM_TouchObjectsAndShotsReference)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

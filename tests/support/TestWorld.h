#pragma once
// A small stage built in code, for the tests of the game world and the flow
// interpreter: the stage record with its sub-steps, the system data with its
// compatibility switches, a fresh progress record (common variables, score,
// lives), a map grid with solid cells where a test asks, a game scene with
// its camera and stage variables, the hero in Player[0], characters kept in a
// list whose elements do not move, items in the common palette, and key
// histories of device 0 fed frame by frame.
//
// Everything it touches is put back when it is destroyed. One cTestWorld at a
// time; tests run on one thread.
//
// The fakes it carries: the scene records every modal wait it is asked for
// (the wait record at entry) and every rebuild of the light surfaces; error
// boxes are captured instead of shown (cErrorBoxLog, WorldFakes.h). Sounds and
// music are requests to the main window: a test that wants them holds a
// cSoundLog (WorldFakes.h).

#include <list>
#include <string>
#include <vector>

#include "data/CharaData.h"
#include "data/Palette.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "flow/FlowGlobals.h"
#include "support/WorldFakes.h"
#include "world/CharaBase.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"
#include "world/Random.h"
#include "world/WorldGlobals.h"

class cTestWorld {
 public:
  struct cOptions {
    int subSteps = 1;     // the stage's sub-steps per frame (hit level 1 to 10)
    int mapWidth = 30;    // stage cells, without the grid's margin
    int mapHeight = 20;
    uint32_t seed = 1;    // of g_Random
  };

  cTestWorld() : cTestWorld(cOptions{}) {}
  explicit cTestWorld(const cOptions& options) {
    ResetWorldGlobalsForTests();
    ResetFlowGlobalsForTests();
    ResetSystemDataForTests();
    ResetCommonPaletteForTests();
    g_Progress = cProgress();
    g_Stage = cStageData();
    g_Stage.m_Width = options.mapWidth;
    g_Stage.m_Height = options.mapHeight;
    g_Stage.ApplyHitLevel(options.subSteps);
    g_Random.Seed(options.seed);
    BuildMapGrid(g_Stage);

    m_Scene.m_ScrollX.SetMap(SCROLL_AXIS_X, options.mapWidth, g_Stage.m_AreaLimitX);
    m_Scene.m_ScrollY.SetMap(SCROLL_AXIS_Y, options.mapHeight, g_Stage.m_AreaLimitY);
    m_Scene.m_ScrollX.m_Position = m_Scene.m_ScrollX.m_AreaStart;
    m_Scene.m_ScrollY.m_Position = m_Scene.m_ScrollY.m_AreaStart;
    m_Scene.m_nTimeLeft = 999;
    // Contacts tested in every sub-step, as set-up marks them for a stage
    // without a contact-check count.
    m_Scene.m_SubStepMask.assign(g_Stage.SubStepsAtLeastOne(), 1);
    g_GameScene = &m_Scene;
  }
  ~cTestWorld() {
    m_Charas.clear();
    ResetWorldGlobalsForTests();
    ResetSystemDataForTests();
    ResetCommonPaletteForTests();
    g_Progress = cProgress();
    g_Stage = cStageData();
    g_Random.Seed(1);
  }
  cTestWorld(const cTestWorld&) = delete;
  cTestWorld& operator=(const cTestWorld&) = delete;

  cTestGameScene& Scene() { return m_Scene; }

  // ---- characters ----

  // A definition for a computer-operated character with these statuses.
  static cCharaData Definition(int mhp = 10, int msp = 0) {
    cCharaData data;
    data.m_nMhp = mhp;
    data.m_nMsp = msp;
    return data;
  }

  // The hero, set up from `data` at stage cell (cellX, cellY), player-operated,
  // facing right; its flows are installed. Replaces any hero.
  cHero& AddHero(const cCharaData& data = Definition(), int cellX = 2, int cellY = 2) {
    Player.clear();
    cHero& hero = Player.emplace_back();
    Place(hero, data, cellX, cellY, 0);
    hero.m_Operator = OBJ_BY_PLAYER;
    hero.m_Facing = 1;
    hero.InstallFlows(hero.m_Data.m_Flows, 0, -1);
    return hero;
  }

  // A character set up from `data` at stage cell (cellX, cellY) with copy
  // index `copy`, computer-operated unless the definition says otherwise,
  // target slot 0 the hero; its flows are installed.
  cCharaBase& AddChara(const cCharaData& data = Definition(), int cellX = 5, int cellY = 2, int copy = 0) {
    cCharaBase& chara = m_Charas.emplace_back();
    Place(chara, data, cellX, cellY, copy);
    chara.m_Operator = data.m_nOperator;
    chara.SetParent(nullptr);
    chara.InstallFlows(chara.m_Data.m_Flows, 0, -1);
    return chara;
  }

  std::list<cCharaBase>& Charas() { return m_Charas; }

  // ---- map, variables, palettes ----

  // Stage cell (cellX, cellY) becomes a solid block (or `contact`).
  void SetSolid(int cellX, int cellY, int contact = BLOCK_CONTACT_SOLID) {
    const int index =
        MapCellIndex(cellX + kMapMarginCells, cellY + kMapMarginCells, m_Scene.m_ScrollX.m_RowBits);
    g_MapGrid[index].m_nContact = static_cast<uint8_t>(contact);
  }

  // An item of the common palette whose pickup runs `commands`; its index.
  int AddPaletteItem(const cSafeVector<cCommand>& commands) {
    if (g_CommonPalette.m_Items.empty()) g_CommonPalette.m_Items.emplace_back();
    cItemData& item = g_CommonPalette.m_Items.emplace_back();
    item.m_Commands = commands;
    return static_cast<int>(g_CommonPalette.m_Items.size()) - 1;
  }

  static int32_t& CommonVar(int n) { return g_Progress.m_CommonVars[n]; }
  int32_t& StageVar(int n) { return m_Scene.m_StageVars[n]; }

  // ---- keys of device 0 ----

  // One frame of input: the direction word (kDirLeft ...) and the button
  // word (bit i for button i + 1), pushed into the histories as a poll does.
  static void PressKeys(uint16_t directions, uint16_t buttons) {
    cKeyInput& keys = g_KeyInput[0];
    keys.m_Dir = directions;
    keys.m_Buttons = buttons;
    keys.UpdateHistories();
  }
  // `frames` frames of the same input.
  static void HoldKeys(uint16_t directions, uint16_t buttons, int frames) {
    for (int i = 0; i < frames; ++i) PressKeys(directions, buttons);
  }

  // ---- frames ----

  // One frame of the flows: the per-frame flags of every character cleared,
  // then per sub-step trigger 0 and the flow pass of the hero and of every
  // character, in list order (as the play step drives them, without motion).
  void Frame() {
    for (cCharaBase* chara : All()) chara->ClearFlowFlags();
    for (int step = 0; step < g_Stage.m_SubSteps; ++step) SubStep();
  }
  void SubStep() {
    for (cCharaBase* chara : All()) {
      chara->FireTrigger(TRIGGER_ALWAYS);
      if (g_GameScene != nullptr) g_GameScene->m_pCurChara = chara;
      chara->RunFlowPass(0);
    }
  }

 private:
  std::vector<cCharaBase*> All() {
    std::vector<cCharaBase*> all;
    for (cHero& hero : Player) all.push_back(&hero);
    for (cCharaBase& chara : m_Charas) all.push_back(&chara);
    return all;
  }

  void Place(cCharaBase& chara, const cCharaData& data, int cellX, int cellY, int copy) {
    const double x = (cellX + kMapMarginCells) * kCellDots;
    const double y = (cellY + kMapMarginCells) * kCellDots;
    chara.ResetState(&data, x + 16, y + 16, copy);
    chara.m_Key = m_NextKey++;
    chara.m_X = x;
    chara.m_Y = y;
    chara.m_BoxW = chara.m_BaseBoxW = kCellDots;
    chara.m_BoxH = chara.m_BaseBoxH = kCellDots;
    chara.m_GfxW = chara.m_BaseGfxW = kCellDots;
    chara.m_GfxH = chara.m_BaseGfxH = kCellDots;
    chara.m_Right = x + kCellDots - 1;
    chara.m_Bottom = y + kCellDots - 1;
    chara.m_Facing = data.m_nFacing;
    chara.m_Flying = data.m_nFlying != 0 ? 1 : 0;
    chara.UpdateRect();
  }

  cTestGameScene m_Scene;
  std::list<cCharaBase> m_Charas;
  int m_NextKey = 1;
};

inline cTestWorld::cOptions WithSubSteps(int subSteps) { return cTestWorld::cOptions{.subSteps = subSteps}; }

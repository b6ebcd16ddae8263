#pragma once
// A small stage for the tests of firing, formations and shot motions: a
// cTestWorld whose characters stand in g_CharaList, shots fired through the
// shot command's own path (FireShot) and stepped as the play step steps
// them, one sub-step at a time.

#include <gtest/gtest.h>

#include "data/EdShot.h"
#include "support/TestWorld.h"
#include "world/Chara.h"
#include "world/FlowState.h"
#include "world/Formation.h"
#include "world/Shot.h"

namespace shottest {

// A shot's or a character's position and size as the formations read them:
// world dots of its drawn rectangle and its collision centre.
struct sBox {
  int left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
  int cx = 0, cy = 0;  // collision centre
  int gx = 0, gy = 0;  // centre of the drawn rectangle
};

class cShotFixture : public ::testing::Test {
 protected:
  // The camera's limits and the grid span the whole stage, as set-up makes
  // them for a stage that sets none.
  explicit cShotFixture(int subSteps = 1) : m_World(cTestWorld::cOptions{subSteps, 30, 20, 1}) {
    cGameScene& scene = m_World.Scene();
    scene.m_ScrollX.SetMap(SCROLL_AXIS_X, g_Stage.m_Width, (g_Stage.m_Width + 20) * kCellDots - kScreenWidth);
    scene.m_ScrollY.SetMap(SCROLL_AXIS_Y, g_Stage.m_Height, (g_Stage.m_Height + 20) * kCellDots - kScreenWidth);
  }

  // A computer-operated character of `faction` on stage cell (x, y).
  cChara& AddChara(int x, int y, int faction = 1, int facing = 0) {
    cCharaData data = cTestWorld::Definition();
    data.m_nPassNumber = static_cast<uint8_t>(faction);
    cChara& chara = g_CharaList.Emplace();
    chara.Init(++m_Keys, data, nullptr, 0, 0, 0, nullptr);
    chara.PlaceOnGrid(x, y);
    chara.m_Facing = facing;
    chara.m_Active = 1;
    chara.UpdateRect();
    return chara;
  }

  // One shot or formation of `count` objects, flying left at `speed` tenths
  // of a dot a frame, through blocks, no angle mirroring.
  static cEdShot Settings(int formation, int count = 1, int speed = 10) {
    cEdShot shot;
    shot.m_nFormation = static_cast<uint8_t>(formation);
    shot.m_nCount = static_cast<uint8_t>(count);
    shot.m_nDirection = 2;
    shot.m_nSpeed = static_cast<int16_t>(speed);
    shot.m_bMirrorAngle = 0;
    shot.m_bPassBlocks = 1;
    shot.m_nScale = 1;
    return shot;
  }

  static void Fire(cCharaBase& shooter, cEdShot& settings) {
    cCmdState state;
    FireShot(g_ShotList, shooter, state, settings);
  }

  static cShot& Shot(int n = 0) { return *g_ShotList.m_Shots.Nth(n); }

  // One sub-step of the play step's shot work.
  static void SubStep() {
    g_GameScene->m_nSubStep = 1;
    ActivateShots();
    UpdateShots();
  }

  static sBox BoxOf(cGameObj& object) {
    object.UpdateRect();
    const int camX = static_cast<int>(g_GameScene->m_ScrollX.m_Position);
    const int camY = static_cast<int>(g_GameScene->m_ScrollY.m_Position);
    sBox box;
    box.left = object.m_ScrLeft + camX;
    box.top = object.m_ScrTop + camY;
    box.right = object.m_ScrRight + camX;
    box.bottom = object.m_ScrBottom + camY;
    box.width = object.m_GfxW;
    box.height = object.m_GfxH;
    box.cx = static_cast<int>(object.m_X) + (object.m_BoxW >> 1);
    box.cy = static_cast<int>(object.m_Y) + (object.m_BoxH >> 1);
    box.gx = box.left + (object.m_GfxW >> 1);
    box.gy = box.top + (object.m_GfxH >> 1);
    return box;
  }

  cTestWorld m_World;
  int m_Keys = 100;
};

}  // namespace shottest

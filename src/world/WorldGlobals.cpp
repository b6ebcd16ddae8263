#include "world/WorldGlobals.h"

#include "world/Chara.h"
#include "world/GameScene.h"
#include "world/Item.h"
#include "world/Hero.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"
#include "world/MenuCursor.h"
#include "world/ReplayFile.h"
#include "world/ReplayInput.h"
#include "world/Shot.h"

void ResetWorldGlobalsForTests() {
  g_KeyInput.assign(1, cKeyInput());
  g_KeyConfig = cKeyConfig{};
  g_MenuCursor = cMenuCursor();
  g_ReplayRec.Clear();
  g_ReplayPrev.Clear();
  // Shots unlink themselves from their owners, so they go first.
  ClearShots();
  Player.clear();
  g_CharaList.Clear();
  g_ItemList.Clear();
  g_MapGrid.clear();
  g_GameScene = nullptr;
  g_ReplayWarnCooldown = 0;
}

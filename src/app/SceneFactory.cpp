#include "app/SceneFactory.h"

#include "core/Scene.h"
#include "core/SceneManager.h"
#include "world/GameScene.h"

cScene* CreateScene(int type) {
  // Each scene class is added here as it joins the player: the title menu,
  // the world map, the map menu, the stage select, the game and the options.
  switch (type) {
    case SCENE_GAME: return new cGameScene();
    default: return nullptr;
  }
}

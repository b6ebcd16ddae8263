#include "app/SceneFactory.h"

#include "core/Scene.h"
#include "core/SceneManager.h"
#include "scene/MapMenuScene.h"
#include "scene/OptionScene.h"
#include "scene/StageSelectScene.h"
#include "scene/TitleScene.h"
#include "scene/WorldMapScene.h"

cScene* CreateScene(int type) {
  // Each scene class is added here as it joins the player: the title menu,
  // the world map, the map menu, the stage select, the game and the options.
  switch (type) {
    case SCENE_TITLE: return new cTitleScene;
    case SCENE_WORLD_MAP: return new cWorldMapScene;
    case SCENE_MAP_MENU: return new cMapMenuScene;
    case SCENE_STAGE_SELECT: return new cStageSelectScene;
    case SCENE_OPTION: return new cOptionScene;
    default: return nullptr;
  }
}

// The scene's side of the stage drawing until the phases are merged in: no
// pause phase and no hand-off of the hero's death.

#include "world/GameScene.h"
#include "world/SceneDraw.h"

bool IsPausePhase(const cGameScene&) { return false; }
void HeroDeathEnded(cGameScene&) {}

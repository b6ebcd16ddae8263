// The scene's side of the stage drawing until the phases, the shots and the
// group lists are merged in: no pause phase, no hand-off, no shots, and a
// finished character simply leaves the character list.

#include "world/Chara.h"
#include "world/GameScene.h"
#include "world/SceneDraw.h"

bool IsPausePhase(const cGameScene&) { return false; }
void HeroDeathEnded(cGameScene&) {}
void DrawShotsOfLayer(int, bool, int) {}
void RemoveFinishedChara(cChara& chara) { g_CharaList.Remove(&chara); }

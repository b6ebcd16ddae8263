#pragma once
// The parts of the stage drawing (GameSceneDraw.cpp, ScreenEffect.cpp) that
// the screen effects, the modal loops and the tests call one by one. The
// whole frame is cGameScene::Draw.

#include <string>

class cGameScene;
class cChara;

// Advances the automatically scrolling background layers.
void ScrollBackgroundLayers();
// The background layers of one pass (front 0 behind the objects, 1 in
// front); the back pass fills palette colour 16 when it drew nothing. True
// when some layer drew.
bool DrawBackgroundLayers(const cGameScene& scene, int front);
// The blocks of the view in one layer (front 0 or 1).
void DrawBlocks(const cGameScene& scene, int front);
void DrawPictures(cGameScene& scene, int layer, int frozen);
void DrawEffects(cGameScene& scene, int frozen);
void DrawMessages(cGameScene& scene, int frozen);
// The shown distance conditions of the ordinary characters on screen (their
// appearance conditions and their flows' conditions while not latched),
// drawn over the objects and the hero's light; steps their colour phase.
void DrawRangeConditions(cGameScene& scene);
// 1 when the character's death sequence is over and it may be removed.
int DrawCharaInScene(cChara& chara, int frozen);
// The status bar, with its gap layout.
void DrawHud();
// The time left; with `timeSound`, the warning sound on the frames the time
// limit ticks (once a second).
void DrawTimeLeft(const cGameScene& scene, int timeSound);
// A hint at the foot of the screen: `text` in the 16-dot font, centred by
// its characters (8 dots each side), at y 456.
void DrawHintText(const std::string& text);
// The test-play hint line.
void DrawHintLine();
// The hero, its area marks and gauges; the end of its death sequence hands
// over to a lost life, a retry, the game over or a restart.
void DrawPlayer(cGameScene& scene, int frozen);
// The running screen effect over the finished frame.
void DrawScreenEffect(cGameScene& scene, int frozen);

// Draws the shots of draw layer `layer` (every shot when `all`).
void DrawShotsOfLayer(int layer, bool all, int frozen);
// A character whose death sequence is over leaves its group list and the
// character list (the later parts of the frame walk the groups).
void RemoveFinishedChara(cGameScene& scene, cChara& chara);
// Lets damage make its hit effects in the scene's effect list (start-up).
void InstallHitEffectMaker();
// Lets an item pickup whose item asks for it show the item's icon rising
// above the hero (start-up).
void InstallItemMessageMaker();

// ---- the scene's side (GameScene.cpp) ----
// True in the pause phase.
bool IsPausePhase(const cGameScene& scene);
// The hero's death sequence has ended: a life is lost (or the replay
// restarts).
void HeroDeathEnded(cGameScene& scene);

#include "world/GamePlaySeams.h"

#include "core/SceneManager.h"
#include "world/GameScene.h"

void UpdateShots() {}
void ActivateShots() {}
void ClearShots() {}
int ShotCount() { return 0; }

int CheckContacts() { return 0; }
int PickUpItems() { return 0; }
int KillAndCheck(cCharaBase& /*chara*/) { return 0; }
int CheckDeaths() { return 0; }

int HeroDie() { return 0; }
void UnlinkChara(cCharaBase& /*chara*/) {}

void ApplyFootBlock() {}
int TouchItemBlocks() { return 0; }

void ClearStage() {}
void EnterRanking() {}
int NextStage() { return SCENE_TITLE; }
void LoadStageRanking() {}
void DrawResults(int /*x*/, int /*y*/) {}
void DrawRankingBoard(int /*x*/, int /*y*/) {}

void cGameScene::Draw(int /*a*/, int /*frozen*/, int /*c*/, int /*d*/) {}

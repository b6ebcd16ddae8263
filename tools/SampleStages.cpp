// The sample game's common palette and its three stages: the hero with
// key-driven flows, walkers that turn at walls, shooters, a boss whose death
// clears the last stage, coins and a goal item that clears the others. The
// first stage greets the player with a picture, a message, a tint, a screen
// effect and an effect.

#include <cstdint>
#include <initializer_list>

#include "SampleBitmaps.h"
#include "SampleGame.h"

namespace samplegame {

namespace {

// Key indexes of a key condition: the direction slots 0 to 9 (1 left, 2
// right), then the button slots from 10, where slot 10 holds while no button
// is down and button n is slot 10 + n.
constexpr int kKeyLeft = 1;
constexpr int kKeyRight = 2;
constexpr int kKeyButton1 = 11;
constexpr int kKeyButton2 = 12;

// Palette entries.
enum eCommonBlock : int { BLOCK_GROUND = 1, BLOCK_BRICK = 2, BLOCK_SPIKES = 3 };
enum eCommonChara : int { CHARA_HERO = 1, CHARA_WALKER = 2, CHARA_SHOOTER = 3, CHARA_BOSS = 4 };
enum eCommonItem : int { ITEM_COIN = 1, ITEM_GOAL = 2, ITEM_HEART = 3 };

// Sound and music entries of MakeDatabase.
constexpr int kSoundJump = 1;
constexpr int kSoundCoin = 2;
constexpr int kSoundShot = 3;
constexpr int kSoundExplosion = 4;
constexpr int kBgmStage = 1;
constexpr int kBgmBoss = 2;
constexpr int kBgmTitle = 3;
// The message command's timed display, and how long the ending's words stay
// (in tenths of a second: six frames each).
constexpr int kMessageTimed = 2;
constexpr int kEndingWordsTenths = 50;
constexpr int kEffectExplosion = 1;
constexpr int kPictureSign = 1;
constexpr int kScrEffectShake = 1;
constexpr int kAnimeSetChara = 1;

// Sides (pass-through numbers) of the hero and of the enemies.
constexpr uint8_t kHeroSide = 1;
constexpr uint8_t kEnemySide = 2;

constexpr int kMapHeight = 15;
constexpr int kGroundRow = 14;

cCommand MakeCommand(int nSet, int nType, int16_t nDuration = 0) {
  cCommand command;
  command.m_nSet = static_cast<uint8_t>(nSet);
  command.m_nType = static_cast<int8_t>(nType);
  command.m_Params.assign(static_cast<std::size_t>(command.ParamCount()), 0);
  command.m_nDuration = nDuration;
  return command;
}

// A move of the character along its facing or to one side, for the given time.
cCommand MakeMove(int nType, int nDirection, int16_t nSpeed, int16_t nDuration) {
  cCommand command = MakeCommand(0, nType, nDuration);
  cEdMove& move = command.m_Move.Create();
  move.m_nDirection = static_cast<uint8_t>(nDirection);
  move.m_nSpeed = nSpeed;
  move.m_nTimeMode = 0;
  return command;
}

cCommand MakeShot(int16_t nGraphic, int nFormation, int nCount, int16_t nSpeed, int32_t nPower) {
  cCommand command = MakeCommand(0, FLOW_CMD_SHOT);
  command.m_nSound = kSoundShot;
  cEdShot& shot = command.m_Shot.Create();
  shot.m_nCount = static_cast<uint8_t>(nCount);
  shot.m_nFormation = static_cast<uint8_t>(nFormation);
  shot.m_nDirection = DIR_FRONT;
  shot.m_nGraphic = nGraphic;
  shot.m_z = 4;
  shot.m_nSpeed = nSpeed;
  shot.m_bDistanceOn = 1;
  shot.m_nDistance = 24;
  shot.m_nPower = nPower;
  shot.m_nHitEffect = kEffectExplosion;
  return command;
}

cFlow MakeFlow(int nTrigger, std::initializer_list<cCommand> commands) {
  cFlow flow;
  flow.m_nTrigger = static_cast<uint8_t>(nTrigger);
  for (const cCommand& command : commands) flow.m_Commands.push_back(command);
  return flow;
}

// A flow that runs while `key` is held (or, with bOnPress, on the frame it
// goes down).
cFlow MakeKeyFlow(int key, bool bOnPress, std::initializer_list<cCommand> commands) {
  cFlow flow = MakeFlow(TRIGGER_ALWAYS, commands);
  cKeyCond cond;
  cond.m_Keys[key] = KEY_STATE_PRESSED;
  if (bOnPress) {
    cond.m_nMinFrames = 1;
    cond.m_nMaxFrames = 1;
  } else {
    cond.m_bAnyDuration = 1;
    // Without this the flow runs once per press, so a held key would take one step.
    flow.m_bKeyContinuous = 1;
  }
  flow.m_KeyConds.push_back(cond);
  return flow;
}

cBlockData MakeBlock(const char* name, int16_t nGraphic, int nContact) {
  cBlockData block;
  block.m_strName = name;
  block.m_nGraphic = nGraphic;
  block.m_nGraphicKind = GRAPHIC_BLOCK;
  block.m_nContact = static_cast<uint8_t>(nContact);
  return block;
}

// nGraphic is the character's row of cells on the first character sheet (its
// animation patterns run along the row).
cCharaData MakeChara(const char* name, int16_t nGraphic, int32_t nMhp, int32_t nPower, int32_t nScore) {
  cCharaData chara;
  chara.m_strName = name;
  chara.m_nGraphic = nGraphic;
  chara.m_nGraphicKind = GRAPHIC_CHARA;
  chara.m_nGraphicRow = 0;
  chara.m_nAnimeSet = kAnimeSetChara;
  chara.m_nMhp = nMhp;
  chara.m_nPower = nPower;
  chara.m_nGetsc = nScore;
  chara.m_nDeathEffect = 1;
  chara.m_nHitEffect = kEffectExplosion;
  chara.m_bFacingLock = 0;
  // The pass-through number is the character's side too: the hero's side
  // and the enemies' must differ for their bodies and shots to meet.
  chara.m_nPassNumber = kEnemySide;
  return chara;
}

cCharaData MakeHero() {
  cCharaData hero = MakeChara("主人公", 1, 3, 1, 0);
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nPassNumber = kHeroSide;
  hero.m_nFacing = 1;
  // Without a death effect the lost hero stays on screen for a second
  // before the life is taken.
  hero.m_nDeathEffect = 0;
  cCommand jump = MakeCommand(0, FLOW_CMD_JUMP);
  // Height in half blocks: the jump rises a little over four blocks, onto
  // the platforms four rows above the ground.
  jump.m_Params[2] = 9;
  jump.m_nSound = kSoundJump;
  hero.m_Flows.push_back(MakeKeyFlow(kKeyLeft, false, {MakeMove(FLOW_CMD_STRAIGHT_MOVE, DIR_LEFT, 30, 1)}));
  hero.m_Flows.push_back(MakeKeyFlow(kKeyRight, false, {MakeMove(FLOW_CMD_STRAIGHT_MOVE, DIR_RIGHT, 30, 1)}));
  hero.m_Flows.push_back(MakeKeyFlow(kKeyButton1, true, {jump}));
  hero.m_Flows.push_back(MakeKeyFlow(kKeyButton2, true, {MakeShot(1, 0, 1, 80, 1)}));
  return hero;
}

// Walks along its facing and turns at walls and ledges.
cCharaData MakeWalker() {
  cCharaData walker = MakeChara("歩く敵", 2, 1, 1, 100);
  walker.m_Flows.push_back(MakeFlow(TRIGGER_ALWAYS, {MakeMove(FLOW_CMD_GROUND_TURN_MOVE, DIR_FRONT, 10, 100)}));
  return walker;
}

// Walks a little, stops and shoots ahead.
cCharaData MakeShooter() {
  cCharaData shooter = MakeChara("撃つ敵", 3, 2, 1, 200);
  shooter.m_Flows.push_back(MakeFlow(TRIGGER_ALWAYS, {MakeMove(FLOW_CMD_GROUND_TURN_MOVE, DIR_FRONT, 8, 20),
                                                      MakeCommand(0, FLOW_CMD_WAIT, 5), MakeShot(2, 0, 1, 40, 1),
                                                      MakeCommand(0, FLOW_CMD_WAIT, 10)}));
  return shooter;
}

// Paces, fires a spread of three, and clears the stage when it dies.
cCharaData MakeBoss() {
  cCharaData boss = MakeChara("ボス", 4, 20, 2, 5000);
  boss.m_nScale = 2;
  boss.m_Flows.push_back(MakeFlow(TRIGGER_ALWAYS, {MakeMove(FLOW_CMD_GROUND_TURN_MOVE, DIR_FRONT, 12, 30),
                                                   MakeShot(2, 2, 3, 50, 1), MakeCommand(0, FLOW_CMD_WAIT, 10)}));
  cCommand sound = MakeCommand(0, FLOW_CMD_SOUND);
  sound.m_Params[0] = kSoundExplosion;
  // A flow runs one command a pass: the sound runs with the clear, or the
  // boss, removed as it dies, would never reach the clear.
  sound.m_bRunWithNext = 1;
  boss.m_Flows.push_back(MakeFlow(TRIGGER_DEATH, {sound, MakeCommand(0, FLOW_CMD_STAGE_CLEAR)}));
  return boss;
}

cItemData MakeItem(const char* name, int16_t nGraphic, int16_t nSound) {
  cItemData item;
  item.m_strName = name;
  item.m_nGraphic = nGraphic;
  item.m_nGraphicKind = GRAPHIC_ITEM;
  item.m_nSound = nSound;
  item.m_bGetMessage = 0;
  return item;
}

// The ground along the bottom row with the given gaps, and the stage frame.
void LayGround(cStageData& stage, const cPalette& common, std::initializer_list<int> gaps) {
  for (int x = 0; x < stage.m_Width; ++x) {
    bool bGap = false;
    for (int gap : gaps) bGap = bGap || x == gap || x == gap + 1;
    if (!bGap) stage.m_PlacedBlocks.push_back(PlaceAt(common.m_Blocks[BLOCK_GROUND], x, kGroundRow));
  }
}

void AddWall(cStageData& stage, const cPalette& common, int x, int height) {
  for (int i = 1; i <= height; ++i)
    stage.m_PlacedBlocks.push_back(PlaceAt(common.m_Blocks[BLOCK_BRICK], x, kGroundRow - i));
}

void AddPlatform(cStageData& stage, const cPalette& common, int x, int y, int length) {
  for (int i = 0; i < length; ++i) stage.m_PlacedBlocks.push_back(PlaceAt(common.m_Blocks[BLOCK_BRICK], x + i, y));
}

cStageData MakeStageFrame(const char* name, int nWidth, int nBgm) {
  cStageData stage;
  stage.m_Name = name;
  stage.m_Width = nWidth;
  stage.m_Height = kMapHeight;
  stage.m_TimeLimitOn = 1;
  stage.m_TimeLimit = 300;
  stage.m_Bgm = nBgm;
  stage.m_BgmLoop = 1;
  stage.m_ShowStageCaption = 1;
  // The removal limit plus one screen is the grid's extent: the limit is the
  // authored map's own size in dots.
  stage.m_AreaLimitX = nWidth * 32;
  stage.m_AreaLimitY = kMapHeight * 32;
  // A sky that stands still, and hills before it that follow the camera at
  // half speed.
  stage.m_BgLayers[0].m_strPicture = BackgroundFileName(kSkyBackground);
  stage.m_BgLayers[0].m_dFactorX = 0.0;
  stage.m_BgLayers[0].m_dFactorY = 0.0;
  cBgLayer hills;
  hills.m_bShown = 1;
  hills.m_strPicture = BackgroundFileName(kHillsBackground);
  hills.m_dFactorX = 0.5;
  hills.m_dFactorY = 0.0;
  stage.m_BgLayers.push_back(hills);
  stage.m_VarNames.resize(kStageVarCount);
  stage.m_VarNames[0].m_strName = "スコア";
  return stage;
}

void PlaceHero(cStageData& stage, const cPalette& common) {
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_HERO], 2, kGroundRow - 1));
}

void PlaceCoins(cStageData& stage, const cPalette& common, int x, int y, int count) {
  for (int i = 0; i < count; ++i) stage.m_PlacedItems.push_back(PlaceAt(common.m_Items[ITEM_COIN], x + i, y));
}

// A command with its parameters from the first on.
cCommand MakeCommandWith(int nType, std::initializer_list<int32_t> params) {
  cCommand command = MakeCommand(0, nType);
  std::size_t i = 0;
  for (int32_t value : params) command.m_Params.at(i++) = value;
  return command;
}

// The hero's welcome on the first stage: a signboard picture and a greeting
// fixed to the screen, a warm tint and a shake of the screen at once, an
// explosion a second later; then a wait that outlasts any play of the
// stage, so it is shown once.
cFlow MakeWelcomeFlow() {
  // screen cell (1, 2), timed 30 s, no window box, fixed to the screen
  cCommand message = MakeCommandWith(FLOW_CMD_MESSAGE, {7, 1, 2, 0, 0, 0, 2, 300, 0, 0, 1});
  message.m_strText = "はじまりの道へ ようこそ！";
  cFlow flow = MakeFlow(
      TRIGGER_ALWAYS,
      {
          // picture, placement 3 (screen cell) at (15, 2), the game not stopped, 100 %, shown until the
          // stage ends, in front, fixed to the screen
          MakeCommandWith(FLOW_CMD_PICTURE, {kPictureSign, 3, 15, 2, 0, 0, 0, 100, 1, 0, 1, 1}),
          // red, green, blue, 25 %, no return, at once
          MakeCommandWith(FLOW_CMD_SCREEN_COLOR, {255, 160, 64, 25, 0, 0, 0, 0}),
          // the shake, forward, repeating
          MakeCommandWith(FLOW_CMD_SCR_EFFECT, {kScrEffectShake, 0, 1}),
          message,
          MakeCommand(0, FLOW_CMD_WAIT, 10),
          // the explosion, placement 3 at (12, 8), twice its size
          MakeCommandWith(FLOW_CMD_EFFECT, {kEffectExplosion, 3, 12, 8, 0, 0, 200, 0}),
          MakeCommand(0, FLOW_CMD_WAIT, 32767),
      });
  for (std::size_t i = 0; i < 3; ++i) flow.m_Commands[i].m_bRunWithNext = 1;
  return flow;
}

cStageData MakeStage1(const cPalette& common) {
  cStageData stage = MakeStageFrame("はじまりの道", 60, kBgmStage);
  LayGround(stage, common, {24});
  AddWall(stage, common, 15, 2);
  AddWall(stage, common, 35, 2);
  AddPlatform(stage, common, 40, 10, 5);
  PlaceHero(stage, common);
  stage.m_PlacedCharas.back().m_Flows.push_back(MakeWelcomeFlow());
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_WALKER], 10, kGroundRow - 1));
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_WALKER], 30, kGroundRow - 1));
  PlaceCoins(stage, common, 6, 11, 4);
  PlaceCoins(stage, common, 41, 9, 3);
  stage.m_PlacedItems.push_back(PlaceAt(common.m_Items[ITEM_GOAL], 57, kGroundRow - 1));
  return stage;
}

cStageData MakeStage2(const cPalette& common) {
  cStageData stage = MakeStageFrame("撃ち合いの丘", 70, kBgmStage);
  LayGround(stage, common, {20, 45});
  AddWall(stage, common, 12, 1);
  AddWall(stage, common, 32, 3);
  AddPlatform(stage, common, 25, 10, 6);
  AddPlatform(stage, common, 50, 10, 4);
  for (int x = 38; x < 42; ++x) stage.m_PlacedBlocks.push_back(PlaceAt(common.m_Blocks[BLOCK_SPIKES], x, 12));
  PlaceHero(stage, common);
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_WALKER], 16, kGroundRow - 1));
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_SHOOTER], 28, 9));
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_SHOOTER], 55, kGroundRow - 1));
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_WALKER], 60, kGroundRow - 1));
  PlaceCoins(stage, common, 26, 9, 4);
  stage.m_PlacedItems.push_back(PlaceAt(common.m_Items[ITEM_HEART], 51, 9));
  stage.m_PlacedItems.push_back(PlaceAt(common.m_Items[ITEM_GOAL], 67, kGroundRow - 1));
  return stage;
}

cStageData MakeStage3(const cPalette& common) {
  cStageData stage = MakeStageFrame("ボスの間", 40, kBgmBoss);
  LayGround(stage, common, {});
  AddWall(stage, common, 0, 13);
  AddWall(stage, common, 39, 13);
  AddPlatform(stage, common, 8, 10, 4);
  AddPlatform(stage, common, 28, 10, 4);
  PlaceHero(stage, common);
  stage.m_PlacedCharas.back().m_nCellX = 3;
  stage.m_PlacedCharas.push_back(PlaceAt(common.m_Charas[CHARA_BOSS], 30, kGroundRow - 2));
  stage.m_PlacedItems.push_back(PlaceAt(common.m_Items[ITEM_HEART], 9, 9));
  stage.m_BgLayers[0].m_strPicture = BackgroundFileName(kNightBackground);
  stage.m_BgLayers[1].m_strPicture = BackgroundFileName(kMountainBackground);
  // The stage ends when the boss dies; its death flow clears it.
  stage.m_AutoAdvance = 0;
  return stage;
}

// The ending: one screen where the hero stands while the closing words are
// shown (the game waits meanwhile); then the stage clears itself and, with no
// results to wait for, the story ends.
cStageData MakeEndingStage(const cPalette& common) {
  cStageData stage = MakeStageFrame("エンディング", 20, kBgmTitle);
  stage.m_TimeLimitOn = 0;
  stage.m_AutoAdvance = 1;
  LayGround(stage, common, {});
  PlaceHero(stage, common);
  PlaceCoins(stage, common, 6, 10, 8);
  cCommand words = MakeCommand(0, FLOW_CMD_MESSAGE);
  words.m_strText = "　おめでとう！\n　すべてのステージをクリアしました。\n\n　あそんでくれて　ありがとう！";
  words.m_Params[6] = kMessageTimed;
  words.m_Params[7] = kEndingWordsTenths;
  words.m_Params[8] = 1;   // the game waits while they are shown
  words.m_Params[9] = 1;   // in a window
  stage.m_PlacedCharas.back().m_Flows.push_back(
      MakeFlow(TRIGGER_ALWAYS, {MakeCommand(0, FLOW_CMD_WAIT, 10), words, MakeCommand(0, FLOW_CMD_STAGE_CLEAR)}));
  return stage;
}

}  // namespace

cPalette MakeCommonPalette() {
  cPalette palette;
  palette.m_Blocks.resize(1);
  palette.m_Blocks.push_back(MakeBlock("地面", 1, BLOCK_CONTACT_SOLID));
  palette.m_Blocks.push_back(MakeBlock("レンガ", 2, BLOCK_CONTACT_SOLID));
  palette.m_Blocks.push_back(MakeBlock("トゲ", 3, BLOCK_CONTACT_DEADLY));

  palette.m_Charas.resize(1);
  palette.m_Charas.push_back(MakeHero());
  palette.m_Charas.push_back(MakeWalker());
  palette.m_Charas.push_back(MakeShooter());
  palette.m_Charas.push_back(MakeBoss());

  palette.m_Items.resize(1);
  palette.m_Items.push_back(MakeItem("コイン", 1, kSoundCoin));
  cItemData goal = MakeItem("ゴール", 2, 0);
  goal.m_Commands.push_back(MakeCommand(1, FLOW_CMD_STAGE_CLEAR - kItemToFlowCmdOffset));
  palette.m_Items.push_back(goal);
  palette.m_Items.push_back(MakeItem("ハート", 3, kSoundCoin));
  return palette;
}

std::vector<cSampleStage> MakeStages(const cPalette& common) {
  std::vector<cSampleStage> stages;
  stages.push_back({"c01-1.stg4_781", MakeStage1(common)});
  stages.push_back({"c02-1.stg4_781", MakeStage2(common)});
  stages.push_back({"c03-1.stg4_781", MakeStage3(common)});
  return stages;
}

cSampleStage MakeEnding(const cPalette& common) { return {"ending.stg4_781", MakeEndingStage(common)}; }

}  // namespace samplegame

#include "flow/FlowCommands.h"

#include "flow/Arrange.h"
#include "flow/CodeLanguage.h"
#include "flow/FlowRuntime.h"
#include "flow/StatusOperation.h"
#include "world/FlowState.h"
#include "world/GameScene.h"

namespace {

// A flow handler that runs a body shared with the item commands on the
// command state's command.
template <tItemCmdHandler tBody>
int RunBody(cCharaBase& chara, cCmdState& state) {
  return tBody(chara, StateCommand(state));
}

// The flow's stage clear leaves its result for the play step.
int FlowStageClear(cCharaBase& chara, cCommand& command) {
  const int result = CmdStageClear(chara, command);
  if (g_GameScene != nullptr) g_GameScene->m_nStepResult = result;
  return result;
}

int StatusOperationBody(cCharaBase& chara, cCommand& command) {
  CmdStatusOperation(chara, command);
  return 0;
}

int RunCodeBody(cCharaBase& chara, cCommand& command) {
  CmdRunCode(chara, command);
  return 0;
}

int ArrangeBody(cCharaBase& chara, cCommand& command) {
  CmdArrange(chara, command);
  return 0;
}

}  // namespace

cCommand& StateCommand(cCmdState& state) {
  if (state.m_pCommand != nullptr) return *state.m_pCommand;
  // Only a state nobody installed has no command; a fresh command does nothing.
  static cCommand none;
  none = cCommand();
  return none;
}

int CmdNone(cCharaBase&, cCmdState&) { return 0; }

const std::array<tFlowCmdHandler, kFlowCmdTypeCount> kFlowCmdHandlers = {
    CmdNone,                            // 0  ""
    CmdNone,                            // 1  "ウエイト"
    CmdStraightMove,                    // 2  "直線移動"
    CmdGroundTurnMove,                  // 3  "地上折り返し移動"
    CmdCircleMove,                      // 4  "円移動"
    CmdChargeMove,                      // 5  "突撃移動"
    CmdHomingMove,                      // 6  "誘導移動"
    CmdAvoidOffscreenMove,              // 7  "画面外回避移動"
    CmdCancelMove,                      // 8  "移動の無効化"
    CmdTurn,                            // 9  "向き変更"
    CmdJump,                            // 10 "ジャンプ"
    CmdShot,                            // 11 "ショット"
    CmdSword,                           // 12 "ソード"
    CmdSummonBlock,                     // 13 "ブロック召喚"
    CmdSummonChara,                     // 14 "キャラ召喚"
    CmdSummonItem,                      // 15 "アイテム召喚"
    CmdFlowOperation,                   // 16 "フローの操作"
    RunBody<FlowStageClear>,            // 17 "ステージクリア"
    RunBody<CmdGameWait>,               // 18 "ゲームウエイト"
    RunBody<CmdMessage>,                // 19 "メッセージ"
    RunBody<CmdWarp>,                   // 20 "ワープ"
    RunBody<CmdSetTarget>,              // 21 "ターゲットの設定"
    RunBody<StatusOperationBody>,       // 22 "ステータスの操作"
    RunBody<CmdStatusOperation2>,       // 23 "ステータスの操作2"
    RunBody<CmdVanish>,                 // 24 "消滅"
    RunBody<CmdGetItem>,                // 25 "アイテムの取得"
    RunBody<CmdChangeGraphic>,          // 26 "グラフィックの変更"
    RunBody<CmdChangeBaseAnimeSet>,     // 27 "基本アニメセットの変更"
    RunBody<CmdRunAnime>,               // 28 "アニメの実行"
    RunBody<CmdRunEffect>,              // 29 "エフェクトの実行"
    RunBody<CmdRunCharaEffect>,         // 30 "キャラエフェクトの実行"
    RunBody<CmdRunScreenEffect>,        // 31 "画面エフェクトの実行"
    RunBody<CmdShowPicture>,            // 32 "ピクチャーの表示"
    RunBody<CmdScreenColor>,            // 33 "画面の色を変更"
    RunBody<CmdChangeBackground>,       // 34 "背景の変更"
    RunBody<CmdPlaySound>,              // 35 "効果音の再生"
    RunBody<CmdPlayBgm>,                // 36 "BGMの再生"
    RunBody<RunCodeBody>,               // 37 "コードの実行"
    RunBody<ArrangeBody>,               // 38 "アレンジ"
    CmdNone,                            // 39 "ループ": unrolled at installation
};

const std::array<tCmdStateInit, kFlowCmdTypeCount> kCmdStateInits = [] {
  std::array<tCmdStateInit, kFlowCmdTypeCount> inits{};
  inits[FLOW_CMD_STRAIGHT_MOVE] = PrepareTimedMove;
  inits[FLOW_CMD_GROUND_TURN_MOVE] = PrepareTimedMove;
  inits[FLOW_CMD_CIRCLE_MOVE] = PrepareCircleMove;
  inits[FLOW_CMD_RUSH_MOVE] = PrepareTimedMove;
  inits[FLOW_CMD_HOMING_MOVE] = PrepareHomingMove;
  inits[FLOW_CMD_AVOID_MOVE] = PrepareTimedMove;
  inits[FLOW_CMD_JUMP] = PrepareJump;
  return inits;
}();

// Item type t from 2 on is flow type t + 15. Stage clear ends the item list.
namespace {

int ItemNone(cCharaBase&, cCommand&) { return 0; }

int ItemChangeFlow(cCharaBase& chara, cCommand& command) { return CmdChangeFlow(chara, command, 0); }

// Only the first key-wait message of a pickup sounds.
int ItemMessage(cCharaBase& chara, cCommand& command) {
  const int alreadyShown = g_GameScene != nullptr ? g_GameScene->m_bItemMessage : 1;
  CmdMessageWait(chara, command, alreadyShown);
  if (g_GameScene != nullptr) g_GameScene->m_bItemMessage = 1;
  return 0;
}

int ItemStageClear(cCharaBase& chara, cCommand& command) {
  CmdStageClear(chara, command);
  return 1;
}

}  // namespace

const std::array<tItemCmdHandler, kItemCmdTypeCount> kItemCmdHandlers = {
    ItemNone,               // 0  ""
    ItemChangeFlow,         // 1  "フローの変更"
    ItemStageClear,         // 2  "ステージクリア"
    CmdGameWait,            // 3  "ゲームウエイト"
    ItemMessage,            // 4  "メッセージ"
    CmdWarp,                // 5  "ワープ"
    CmdSetTarget,           // 6  "ターゲットの設定"
    StatusOperationBody,    // 7  "ステータスの操作"
    CmdStatusOperation2,    // 8  "ステータスの操作2"
    CmdVanish,              // 9  "消滅"
    CmdGetItem,             // 10 "アイテムの取得"
    CmdChangeGraphic,       // 11 "グラフィックの変更"
    CmdChangeBaseAnimeSet,  // 12 "基本アニメセットの変更"
    CmdRunAnime,            // 13 "アニメの実行"
    CmdRunEffect,           // 14 "エフェクトの実行"
    CmdRunCharaEffect,      // 15 "キャラエフェクトの実行"
    CmdRunScreenEffect,     // 16 "画面エフェクトの実行"
    CmdShowPicture,         // 17 "ピクチャーの表示"
    CmdScreenColor,         // 18 "画面の色を変更"
    CmdChangeBackground,    // 19 "背景の変更"
    CmdPlaySound,           // 20 "効果音の再生"
    CmdPlayBgm,             // 21 "BGMの再生"
    RunCodeBody,            // 22 "コードの実行"
    ArrangeBody,            // 23 "アレンジ"
    ItemNone,               // 24 "ループ": unrolled when the item is set up
};

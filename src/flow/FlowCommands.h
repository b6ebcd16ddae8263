#pragma once
// The command handlers and their dispatch tables.
//
// Flow commands (set 0, kFlowCmdTable of data/Command.h) run through
// kFlowCmdHandlers: a handler takes the character and the command state and
// is called once per sub-step while the command's time lasts; its result is
// not used. kCmdStateInits prepares the command states of the movement types
// at installation.
//
// Item and system commands (set 1, kItemCmdTable) run through
// kItemCmdHandlers for the hero, once each, without a command state: a
// handler takes the character and the command and returns 0, or a step
// result that ends the item list (1 stage clear; the list's runner turns hp
// 0 into 2). Item type t from 2 on runs the body of flow type t + 15.
//
// A type outside its table does nothing.
//
// The handlers live with the work that gives them their bodies:
//   FlowCommands.cpp      the tables; waiting, status, code, arrange, loop
//   MoveCommands.cpp      types 2 to 10, movement (and two set-ups)
//   AttackCommands.cpp    types 11 to 15, shots, swords and summons
//   StageCommands.cpp     types 16 to 21, flow operation, stage clear,
//                         game wait, message, warp, target
//   PresentationCommands.cpp  types 23 to 36, status 2, vanish, item, graphic,
//                         animations, effects, picture, colour, background,
//                         sound, music
//   ItemCommands.cpp      the item-command runner and the change-flow command

#include <array>

#include "data/Command.h"

class cCharaBase;
struct cCmdState;

using tFlowCmdHandler = int (*)(cCharaBase& chara, cCmdState& state);
using tCmdStateInit = void (*)(cCmdState& state, cCharaBase& chara);
using tItemCmdHandler = int (*)(cCharaBase& chara, cCommand& command);

// Indexed by flow-command type.
extern const std::array<tFlowCmdHandler, kFlowCmdTypeCount> kFlowCmdHandlers;
// Indexed by flow-command type; null except for types 2 to 7 and 10.
extern const std::array<tCmdStateInit, kFlowCmdTypeCount> kCmdStateInits;
// Indexed by item-command type.
extern const std::array<tItemCmdHandler, kItemCmdTypeCount> kItemCmdHandlers;

// The command state's command (the fallback command when it has none).
cCommand& StateCommand(cCmdState& state);

// One item or system command for `chara` (the hero): the handler's result.
int RunItemCommand(cCharaBase& chara, cCommand& command);

// The change-flow command (item command 1): parameter 0 the mode (0 add the
// command's flows at the end, 1 replace the flows of ID parameter 1 (its low
// byte) by them, at the first removed place or at the end, 2 only remove
// those), the command's flows the flows to install. Called while the hero's
// own flows run (the scene's current character is the hero) and not
// deferred, the command is queued on the hero instead and applied after its
// flows.
int CmdChangeFlow(cCharaBase& chara, cCommand& command, int deferred);

// ---- flow-command handlers ----
// Types 0, 1 and 39: the command only takes its time.
int CmdNone(cCharaBase& chara, cCmdState& state);

// Movement (MoveCommands.cpp).
int CmdStraightMove(cCharaBase& chara, cCmdState& state);
int CmdGroundTurnMove(cCharaBase& chara, cCmdState& state);
int CmdCircleMove(cCharaBase& chara, cCmdState& state);
int CmdChargeMove(cCharaBase& chara, cCmdState& state);
int CmdHomingMove(cCharaBase& chara, cCmdState& state);
int CmdAvoidOffscreenMove(cCharaBase& chara, cCmdState& state);
int CmdCancelMove(cCharaBase& chara, cCmdState& state);
int CmdTurn(cCharaBase& chara, cCmdState& state);
int CmdJump(cCharaBase& chara, cCmdState& state);
void PrepareCircleMove(cCmdState& state, cCharaBase& chara);
void PrepareJump(cCmdState& state, cCharaBase& chara);

// Attacks and summons (AttackCommands.cpp).
int CmdShot(cCharaBase& chara, cCmdState& state);
int CmdSword(cCharaBase& chara, cCmdState& state);
int CmdSummonBlock(cCharaBase& chara, cCmdState& state);
int CmdSummonChara(cCharaBase& chara, cCmdState& state);
int CmdSummonItem(cCharaBase& chara, cCmdState& state);

// The flow operation (StageCommands.cpp).
int CmdFlowOperation(cCharaBase& chara, cCmdState& state);

// ---- bodies shared by flow types 17 to 38 and item types 2 to 23 ----
// Each takes (character, command); the flow table runs it with the command
// state's command. The status operation, the code and the arrange bodies are
// in StatusOperation.h, CodeLanguage.h and Arrange.h.

// StageCommands.cpp.
int CmdStageClear(cCharaBase& chara, cCommand& command);
int CmdGameWait(cCharaBase& chara, cCommand& command);
int CmdMessage(cCharaBase& chara, cCommand& command);
int CmdWarp(cCharaBase& chara, cCommand& command);
int CmdSetTarget(cCharaBase& chara, cCommand& command);

// PresentationCommands.cpp.
int CmdStatusOperation2(cCharaBase& chara, cCommand& command);
int CmdVanish(cCharaBase& chara, cCommand& command);
int CmdGetItem(cCharaBase& chara, cCommand& command);
int CmdChangeGraphic(cCharaBase& chara, cCommand& command);
int CmdChangeBaseAnimeSet(cCharaBase& chara, cCommand& command);
int CmdRunAnime(cCharaBase& chara, cCommand& command);
int CmdRunEffect(cCharaBase& chara, cCommand& command);
int CmdRunCharaEffect(cCharaBase& chara, cCommand& command);
int CmdRunScreenEffect(cCharaBase& chara, cCommand& command);
int CmdShowPicture(cCharaBase& chara, cCommand& command);
int CmdScreenColor(cCharaBase& chara, cCommand& command);
int CmdChangeBackground(cCharaBase& chara, cCommand& command);
int CmdPlaySound(cCharaBase& chara, cCommand& command);
int CmdPlayBgm(cCharaBase& chara, cCommand& command);
// The vanish command's helpers: every descendant character of `chara` (down
// to depth 1000) killed, with their child shots when `withShots`; the child
// shots of a character; the active characters of a character group list
// (the hero's group holds the hero) and the active shots of a shot group (on
// the screen unless `everywhere`).
void VanishChildCharas(cCharaBase& chara, cCharaBase& running, int depth, bool withShots);
void VanishChildShots(cCharaBase& chara);
void VanishCharaGroup(cCharaBase& running, int group, int everywhere);
void VanishShotGroup(int group, int everywhere);
// The message command with the message-wait flag of its caller (the running
// flow's, or the pickup's for item lists).
int CmdMessageWait(cCharaBase& chara, cCommand& command, int messageWait);

// The stage clear, game wait, message, warp and target commands (types 17
// to 21; item types 2 to 6). Each body is filled with the
// course commands; until then the command does nothing (stage clear still
// ends an item list, which its item handler does).

#include "flow/FlowCommands.h"

// Filled with the course commands.
int CmdStageClear(cCharaBase&, cCommand&) { return 0; }
// Filled with the course commands (a modal wait of the game scene).
int CmdGameWait(cCharaBase&, cCommand&) { return 0; }
// Filled with the message commands.
int CmdMessage(cCharaBase&, cCommand&) { return 0; }
// Filled with the course commands.
int CmdWarp(cCharaBase&, cCommand&) { return 0; }
// Filled with the course commands (cCharaBase::SetTarget keeps the links).
int CmdSetTarget(cCharaBase&, cCommand&) { return 0; }

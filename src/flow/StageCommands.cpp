// The stage clear, warp and target commands (types 17, 20 and 21; item
// types 2, 5 and 6; the flow operation is in SummonCommands.cpp, game wait
// and message in MessageCommands.cpp). Each body is filled with the
// course commands; until then the command does nothing (stage clear still
// ends an item list, which its item handler does).

#include "flow/FlowCommands.h"

// Filled with the course commands.
int CmdStageClear(cCharaBase&, cCommand&) { return 0; }
// Filled with the course commands.
int CmdWarp(cCharaBase&, cCommand&) { return 0; }
// Filled with the course commands (cCharaBase::SetTarget keeps the links).
int CmdSetTarget(cCharaBase&, cCommand&) { return 0; }

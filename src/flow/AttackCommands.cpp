// The shot, sword and summon commands (types 11 to 15). Each body is filled
// with the shots and summons of the game world; until then the command only
// takes its time.

#include "flow/FlowCommands.h"

// Filled with the shots.
int CmdShot(cCharaBase&, cCmdState&) { return 0; }
// Filled with the shots (swords are shots driven by a sword type).
int CmdSword(cCharaBase&, cCmdState&) { return 0; }
// Filled with the summons.
int CmdSummonBlock(cCharaBase&, cCmdState&) { return 0; }
// Filled with the summons.
int CmdSummonChara(cCharaBase&, cCmdState&) { return 0; }
// Filled with the summons.
int CmdSummonItem(cCharaBase&, cCmdState&) { return 0; }

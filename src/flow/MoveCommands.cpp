// The movement commands (types 2 to 10) and the two movement set-ups that
// are more than a time conversion. Each body is filled with the movement
// physics; until then a movement command only takes its time.

#include "flow/FlowCommands.h"

// Filled with the movement commands.
int CmdStraightMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdGroundTurnMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdCircleMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdChargeMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdHomingMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdAvoidOffscreenMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdCancelMove(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands.
int CmdTurn(cCharaBase&, cCmdState&) { return 0; }
// Filled with the movement commands (it calls the character's Jump).
int CmdJump(cCharaBase&, cCmdState&) { return 0; }

// Filled with the character movement operations: the circle's radius,
// angles and speed for the character's copy number.
void PrepareCircleMove(cCmdState&, cCharaBase&) {}
// Filled with the character movement operations: the jump's starting speed
// and the command's duration from its height.
void PrepareJump(cCmdState&, cCharaBase&) {}

#pragma once
// The operations of the flow interpreter that the data model and the game world
// call: condition and key-condition tests, movement time conversion, aiming,
// arranges, loop unrolling and the change-flow command.

#include "core/SafeVector.h"

class cCommand;
class cCond;
class cKeyCond;
class cCharaBase;
class cHero;
class cGameObj;
class cKeyInput;
struct cFlowState;
struct cCmdState;
struct cArrangeEntry;

// Condition kind 4: a status of the character, a target or the system, or a
// variable, against an operand. An empty target slot fails.
bool EvalStatusCondition(const cCond& cond, cCharaBase& chara);

// The flow's key conditions against the character's key histories. An empty
// list holds.
bool KeyConditionsHold(cCharaBase& chara, cFlowState& state);

// One key condition against the key histories of an input device.
bool MatchKeyCondition(cCharaBase& chara, const cKeyCond& cond, const cKeyInput& histories);

// Turns a movement's distance into a speed or a duration by its time mode.
void ConvertMoveTime(cCmdState& state, int copyNumber);

// The velocity (dots per sub-step) from a point toward a target point; 0 when
// there is no solution.
int SolveAimVelocity(double& velocityX, double& velocityY, int& direction, cGameObj* target, double fromX,
                     double fromY, double toX, double toY, double speed, int movesWithScroll, int speedAsGiven,
                     int thirdFlag);

// Changes one parameter of a command by an arrange entry, limited by the
// parameter table.
void ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara);

// Applies the hero's pending arrange entries to an item or system command;
// the caller empties the list afterwards.
void ApplyHeroArranges(cCommand& command, cHero& hero);

// Replaces every loop command by the commands it repeats, until none is left.
void ExpandLoopCommands(cSafeVector<cCommand>& commands);

// The change-flow command: add, replace or remove flows of the character. For
// the hero inside an item list it queues the command unless `runNow` is 1.
int CmdChangeFlow(cCharaBase& chara, cCommand& command, int runNow);

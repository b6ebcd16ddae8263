#pragma once
// What the game world asks of the flow interpreter: install a character's
// flows and fire them on events, evaluate the condition kinds and key
// conditions that read characters, convert movement times, aim, apply
// arranges, unroll loops, and run item and change-flow commands.
//
// The interpreter (src/flow) sits above the world: the world declares here
// what it asks of it and reaches it only through FlowServices()
// (cCharaBase's flow operations are thin calls of it). The flow library's
// interpreter (cFlowInterpreter, flow/FlowInterpreter.h) implements the
// interface, and the shell wires it in with SetFlowServices when the
// program's globals are made (app/Globals.cpp). A test installs a double the
// same way and puts back what it found. With nothing installed the world
// runs no flows.
// Calls come from the thread that runs game logic at the time; no locks.
//
// The world's side of the contract (members the interpreter reads and
// writes) lives in the world's headers: cCharaBase and cGameObj
// (CharaBase.h, GameObj.h), the key histories of cKeyInput (KeyInput.h), the
// scroll axes (ScrollAxis.h) and the wait record (GameWait.h). Run-time flow
// state is in FlowState.h.

#include <cstdint>

#include "core/SafeVector.h"

class cCommand;
class cCond;
class cFlow;
class cKeyCond;
class cCharaBase;
class cHero;
class cGameObj;
class cKeyInput;
struct cFlowState;
struct cCmdState;
struct cArrangeEntry;

// SolveAimVelocity's speedAsGiven for shots: the speed is taken as it is, so a
// negative speed flies straight away from the target along the line, where a
// mover would flee diagonally.
inline constexpr int kSpeedAsGiven = 1;

class cFlowServices {
 public:
  virtual ~cFlowServices() = default;

  // ---- flows of a character ----

  // Builds flow states, each with one cCmdState per command, its duration
  // and movement set up for the character's copy number. Add mode 0 (set-up):
  // `flows` is the character's own list, and every state is rebuilt. Add
  // mode 1 (the change-flow command): copies of `flows` go into the
  // character's list at `position` (the end when it is not a valid index),
  // with new states. The number of flows passed.
  virtual int InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int position) = 0;
  // Starts every flow of the character whose trigger is `trigger` and whose
  // gates pass (its run state, group, the flow-ID filter when it is above 0,
  // its conditions and key conditions). `other`, when given, goes into the
  // flow's target slot while its conditions are tested (and stays there when
  // it starts). The character's flows may delete it or change its hit points.
  virtual void FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase* other, int flowIdFilter) = 0;
  // Copies another character's flow states, re-pointed at this character's
  // own flows.
  virtual void CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>& states) = 0;
  // Stops and deletes flow `index` of the character and re-links the rest.
  virtual void RemoveFlow(cCharaBase& chara, int index) = 0;
  // Starts the animation cues of the running flows whose frame has come.
  virtual void RunFlowAnimeCues(cCharaBase& chara) = 0;
  // The flow pass of the character's update, once per sub-step: the cues,
  // then every running flow stepped (in death mode only the death flows),
  // then the queued flow changes, deletions and freed groups. 1 when the
  // update must end at once (the character vanished, or its hp dropped to 0
  // outside death mode), else 0.
  virtual int RunFlowPass(cCharaBase& chara, int deathMode) = 0;

  // ---- conditions ----

  // Condition kind 4: a status of the character, a target or the system, or
  // a variable, against a constant, a random number, a status or a variable.
  // An empty target slot fails.
  virtual bool EvalStatusCondition(const cCond& cond, cCharaBase& chara) = 0;
  // Kind 5: a state value of the character, a target or the system.
  virtual bool StatusCondition2Holds(cCharaBase& chara, const cCond& cond) = 0;
  // Kind 6: a state of the character or a target, or its negation.
  virtual bool StatusCondition3Holds(cCharaBase& chara, const cCond& cond) = 0;
  // Kind 7: the hero or a target inside (or outside) a range of the character.
  virtual bool RangeConditionHolds(cCharaBase& chara, const cCond& cond) = 0;
  // The flow's key conditions against the character's key histories: an
  // empty list holds; a sequence holds on the frame it completes (every frame
  // with the flow's key-continuous byte).
  virtual bool KeyConditionsHold(cCharaBase& chara, cFlowState& state) = 0;
  // One key condition against an input device's key histories at the
  // present (directions mirrored for a character facing left when the
  // condition is facing-relative).
  virtual bool MatchKeyCondition(cCharaBase& chara, const cKeyCond& cond, const cKeyInput& keys) = 0;

  // ---- movement ----

  // A movement's distance, per copy, into a speed (time mode 1) or a
  // duration (time mode 2), for the command of `state`.
  virtual void ConvertMoveTime(cCmdState& state, int copyNumber) = 0;
  // The velocity (dots per sub-step) from (fromX, fromY) toward (toX, toY) at
  // `speed`, leading a moving target and corrected for the camera's scroll; 0
  // when there is no solution.
  virtual int SolveAimVelocity(double& velocityX, double& velocityY, int& direction, cGameObj* target, double fromX,
                               double fromY, double toX, double toY, double speed, int movesWithScroll,
                               int speedAsGiven, int thirdFlag) = 0;

  // ---- commands ----

  // Changes one parameter of a command by an arrange entry, within its limits.
  virtual void ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara) = 0;
  // The hero's pending arrange entries applied to an item or system command;
  // the caller empties the list afterwards.
  virtual void ApplyHeroArranges(cCommand& command, cHero& hero) = 0;
  // Every loop command replaced by the commands it repeats, until none is left.
  virtual void ExpandLoopCommands(cSafeVector<cCommand>& commands) = 0;
  // One item or system command run for the hero; non-zero ends the list.
  virtual int RunItemCommand(cHero& hero, cCommand& command) = 0;
  // The change-flow command: add, replace or remove flows of the character;
  // inside an item list picked up by the hero it is queued unless `runNow`.
  virtual int CmdChangeFlow(cCharaBase& chara, cCommand& command, int runNow) = 0;
};

// The services installed, else a stand-in that installs no flows, fires
// none, holds no condition and runs no command.
cFlowServices& FlowServices();
// Installs the services the world calls from now on (null: the stand-in).
// The caller keeps ownership.
void SetFlowServices(cFlowServices* services);

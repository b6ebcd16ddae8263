#pragma once
// Starting and stepping one installed flow of a character: the part of a
// flow's life that runs its commands through the command handlers
// (FlowCommands.h). The flow records themselves, and stopping and pausing
// them, are the world's (world/FlowState.h).

struct cFlowState;
class cCharaBase;

// Runs `flow` from its first command for `owner`. A flow of trigger 0 in a
// group raises the owner's group running and started switches and lowers its
// group ended switch. A trigger-21 flow runs its no-wait commands of type 16
// or more here, once each, and is stopped before StartFlow returns; started
// again by one of those commands, it does not run them a second time.
void StartFlow(cFlowState& flow, cCharaBase& owner);

// One sub-step of `flow` for `owner`: 1 when its last command has finished,
// else 0 (the frame counter then advances). A waiting command holds the flow
// until its time is over; a no-wait command runs in parallel with the
// commands after it, the next one starting in the same sub-step. A command
// that stops or pauses the flow ends the step with its own progress kept; one
// that starts the flow again ends it with the flow on its first command, to
// run from there on the next step.
int StepFlow(cFlowState& flow, cCharaBase& owner);

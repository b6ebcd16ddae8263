#pragma once
// The movement physics of the movement commands. The commands do not move a
// character themselves: each sub-step they turn their movement settings
// (cEdMove) into a velocity pair in dots per sub-step and a facing code, and
// hand them to ApplyMove, which adds the pair to the character's velocity of
// this sub-step or, for a move with inertia, feeds it as an acceleration into
// the character's command velocity. Gravity, collision and the position
// update stay with the character (world/CharaBase.h).
//
// Conventions:
//   - Angles are degrees, 0 pointing left, 90 up, 180 right, 270 down: the
//     velocity at angle a and speed s is (-cos a x s, -sin a x s), y growing
//     downward.
//   - A facing code is 0 (leave the facing), 1 (face left) or 2 (face right).
//   - Direction codes: 2 left, 3 right, 6 up, 7 down, 8 up-left, 9 down-left,
//     10 up-right, 11 down-right; any other code means no direction.
//   - Centres are screen centres (the screen rectangle's left plus half its
//     width); map coordinates are screen coordinates plus the camera.
//   - Only flying characters move vertically under these commands.
//
// Everything here runs on the game thread inside a flow step; nothing
// allocates or reports errors: out-of-range choices give no velocity.

#include <cstdint>

#include "world/Formation.h"

class cCharaBase;
class cEdMove;
class cGameObj;
struct cCmdState;

// The facing codes.
enum eFacingCode : int {
  FACING_KEEP = 0,
  FACING_LEFT = 1,
  FACING_RIGHT = 2,
};

// Degrees to radians as movement computes them (not the exact pi / 180), and
// back.
inline constexpr double kMoveRadiansPerDegree = 3.14159265358979 / 180;
inline constexpr double kMoveDegreesPerRadian = 57.29577951308239;

// ---- command state set-up ----

// angle = step x copy + angle; 360 - angle for a character placed facing
// right when the move mirrors its angle; reduced below 360 (a negative angle
// stays).
void AngleStep(cCharaBase& chara, cCmdState& state);
// The target-point offset: cells x 32 + dots, mirrored on the axes the move
// mirrors for a character placed facing right.
void MoveOffset(cCharaBase& chara, cCmdState& state);

// ---- directions ----

// A direction choice of a move (eMoveDirection) as a direction code for the
// character's facing; the input direction from the key slot recorded when the
// flow started (or the current one with `useCurrentKeys`). Diagonals of the
// input direction become left or right unless `keepDiagonals`.
int ResolveDirection(cCharaBase& chara, int choice, int useCurrentKeys, int keyMode, int keepDiagonals);
// The velocity of a direction choice at `speed`; the facing code is written
// only for a character without fixed facing.
void DirToVelocity(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int choice);
// The same, turned by `angle` degrees.
void DirAngleToVelocity(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int choice,
                        int16_t angle);
// The velocity toward the move's target point (the state's offsets); with the
// move's arrive-in-time flag the state's remaining time becomes the steps to
// arrive.
void VelocityToPoint(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int x, int y,
                     const cEdMove& move, cCmdState& state);

// ---- applying a move ----

// Turns the character by the facing code (unless its facing is fixed and
// `forceFacing` is 0, or the move keeps the facing), adds the velocity to the
// character's velocity (or, with inertia, accelerates its command velocity
// within the state's maximum speed), and unless the move keeps its
// animation, starts the walk (1) or fly (3) animation. The animation
// change's result, or 1 when the animation is kept.
int ApplyMove(cCharaBase& chara, double vx, double vy, int facingCode, cCmdState& state, const cEdMove& move,
              int forceFacing);

// ---- walking along the ground ----

// The ground turn-around: walk forward; turn back after a horizontal push by
// a block character (taking over its motion), or toward the solid side at a
// ledge. Writes the state's velocity and facing code.
void GroundTurnCheck(cCharaBase& chara, cCmdState& state, const cEdMove& move);
// Back into view from the screen's edge on the sides of the move's direction.
void AvoidOffscreenStep(cCharaBase& chara, cCmdState& state, const cEdMove& move);

// ---- aiming ----

// The screen centre of an object's graphic.
double ScreenCentreX(const cGameObj& obj);
double ScreenCentreY(const cGameObj& obj);
// The target's centre plus the state's offset on the axes the move does not
// fix (only those coordinates are written).
void MoveTargetPoint(cCharaBase& target, double& x, double& y, const cEdMove& move, const cCmdState& state);
// Toward the point on the axes the move does not fix; with both fixed the
// state's velocity and facing code become 0.
void StepTowardTarget(cCharaBase& chara, cCmdState& state, const cEdMove& move, cCharaBase& target, double x,
                      double y);
// One step toward the point on both axes, x or y; on arrival with
// `stopOnArrival` the mover is snapped onto the point. 1 on arrival.
int StepTowardXY(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double x, double y,
                 int followsScroll, int stopOnArrival);
int StepTowardX(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double x,
                int followsScroll, int stopOnArrival);
int StepTowardY(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double y,
                int followsScroll, int stopOnArrival);
// The velocity along one axis from `from` toward `to` at `speed` (the other
// axis 0); 1 on arrival with `arrivalTest`.
int HeadTowardX(double& v, double& other, int& facingCode, const cGameObj* target, double from, double to,
                double speed, int followsScroll, int arrivalTest);
int HeadTowardY(double& v, double& other, int& facingCode, const cGameObj* target, double from, double to,
                double speed, int followsScroll, int arrivalTest);
// The velocity from (fromX, fromY) toward (toX, toY) at `speed`, leading a
// target carried by the scroll and corrected for the camera's own motion; a
// negative speed flees unless `noFlee`. 1 on arrival with `arrivalTest`.
int SolveAimVelocity(double& vx, double& vy, int& facingCode, const cGameObj* target, double fromX, double fromY,
                     double toX, double toY, double speed, int moverFollowsScroll, int noFlee, int arrivalTest);

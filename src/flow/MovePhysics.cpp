#include "flow/MovePhysics.h"

// Filled with the movement physics.
void AngleStep(cCharaBase&, cCmdState&) {}
void MoveOffset(cCharaBase&, cCmdState&) {}
int ResolveDirection(cCharaBase&, int, int, int, int) { return 0; }
void DirToVelocity(cCharaBase&, double& vx, double& vy, int&, double, int) { vx = vy = 0.0; }
void DirAngleToVelocity(cCharaBase&, double& vx, double& vy, int&, double, int, int16_t) { vx = vy = 0.0; }
void VelocityToPoint(cCharaBase&, double& vx, double& vy, int&, double, int, int, const cEdMove&, cCmdState&) {
  vx = vy = 0.0;
}
int ApplyMove(cCharaBase&, double, double, int, cCmdState&, const cEdMove&, int) { return 0; }
void GroundTurnCheck(cCharaBase&, cCmdState&, const cEdMove&) {}
void AvoidOffscreenStep(cCharaBase&, cCmdState&, const cEdMove&) {}
void MoveTargetPoint(cCharaBase&, double&, double&, const cEdMove&, const cCmdState&) {}
void StepTowardTarget(cCharaBase&, cCmdState&, const cEdMove&, cCharaBase&, double, double) {}
int StepTowardXY(cCharaBase&, cCmdState&, const cEdMove&, cGameObj*, double, double, int, int) { return 0; }
int StepTowardX(cCharaBase&, cCmdState&, const cEdMove&, cGameObj*, double, int, int) { return 0; }
int StepTowardY(cCharaBase&, cCmdState&, const cEdMove&, cGameObj*, double, int, int) { return 0; }
int HeadTowardX(double& v, double& other, int&, const cGameObj*, double, double, double, int, int) {
  v = other = 0.0;
  return 0;
}
int HeadTowardY(double& v, double& other, int&, const cGameObj*, double, double, double, int, int) {
  v = other = 0.0;
  return 0;
}
int SolveAimVelocity(double& vx, double& vy, int&, const cGameObj*, double, double, double, double, double, int, int,
                     int) {
  vx = vy = 0.0;
  return 0;
}

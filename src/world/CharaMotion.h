#pragma once
// The arithmetic of character motion that does not belong to one character:
// half blocks to dots, per-frame rates to per-sub-step ones, the starting
// speed and duration of a jump, and the impulse a knock-back gives. The
// character operations that use them are cCharaBase's (CharaBase.h,
// CharaMotion.cpp).
//
// Units: dots and sub-steps. S is the stage's sub-steps per frame and g its
// gravity per squared sub-step (g_Stage). A stage with no sub-steps (only a
// broken one) counts as 1; a jump under no gravity, or one whose height the
// gravity cannot reach, starts at rest rather than at an undefined speed.

#include <cstdint>

// The motion codes of characters (cChara, cHero) beyond the clamp codes of
// cGameObj.
enum eCharaMoveCode : int {
  CHARA_MOVE_REMOVE_X = 4,  // MoveX: stopped at the grid's edge
  CHARA_MOVE_FELL_OUT = 7,  // MoveY: a walking character left through the bottom
  CHARA_MOVE_REMOVE_Y = 8,  // MoveY: a flying character stopped at the grid's edge
};

// Half blocks (16 dots each) to dots.
int HblToDot(int8_t halfBlocks);
// Hundredths of a dot per frame squared to dots per squared sub-step.
double PercentPerStep2(int16_t hundredths);

// The upward (negative) velocity per sub-step that rises `dots` dots under
// g; for a player-operated character 0.99 - 0.025 x the stage's gravity
// setting of it.
double JumpSpeedForDots(double dots, int playerOperated);
double JumpSpeedForHeight(int8_t halfBlocks, int playerOperated);
// The sub-steps of the rise from `velocity`, plus one frame: S - velocity /
// g, truncated.
int JumpSubSteps(double velocity);
// A jump's duration in tenths of a second.
int JumpTenths(int8_t halfBlocks, int playerOperated);

// The impulse a knock-back of strength k gives, split over the axes in
// proportion to the source velocity (vx, vy): each share d becomes a speed v
// with S v^2 + v = 32 |d|, of the sign of d. A strength of 0 writes nothing;
// a source at rest gives no impulse.
void KnockbackImpulse(int strength, double sourceVX, double sourceVY, double& impulseX, double& impulseY);

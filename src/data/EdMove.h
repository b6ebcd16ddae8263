#pragma once
// cEdMove: the settings of a movement command ("直線移動", "地上折り返し移動",
// "円移動", "突撃移動", "誘導移動", "画面外回避移動", "移動の無効化") and of
// "ワープ". A command holds at most one, through a cSharedHolder.
//
// Also the resolution of the input direction ("入力方向") that movement and
// shot commands share (MapDirectionCode).

#include <cstdint>

#include "data/DataRecord.h"

// Directions of movement and shot commands (the stored direction byte).
enum eMoveDirection : int {
  DIR_FRONT = 0,        // "前"
  DIR_BACK = 1,         // "後"
  DIR_LEFT = 2,         // "左"
  DIR_RIGHT = 3,        // "右"
  DIR_FRONT_Y = 4,      // "前Y"
  DIR_BACK_Y = 5,       // "後Y"
  DIR_UP = 6,           // "上"
  DIR_DOWN = 7,         // "下"
  DIR_UP_LEFT = 8,      // "左上"
  DIR_DOWN_LEFT = 9,    // "左下"
  DIR_UP_RIGHT = 10,    // "右上"
  DIR_DOWN_RIGHT = 11,  // "右下"
  DIR_INPUT = 12,       // "入力方向": resolved by MapDirectionCode
};

// Position modes of "ワープ": 0 from the character, 1-4 from the character in
// target slot 1-4, then a target position.
inline constexpr int kWarpTargetPosition = 5;

class cEdMove : public cDataRecord {
 public:
  cEdMove() { Reset(); }
  // Clear, then speed 10, mirror angle, both axes, time from distance, mirror x
  // and turn with facing on, inertia factor 1.0.
  void Reset();

  void RegisterMembers(int nVersion) override;
  // The record form; members an older file lacks are set to 0 (not to their
  // defaults).
  bool Read(cByteReader& in) override;

  // Movement commands: 0 by direction, 1 to a target position. "ワープ": 0-4
  // direction and distance from the character or target slot 1-4, 5 a target
  // position.
  uint8_t m_nPosMode = 0;
  // eMoveDirection; circle moves store their rotation here.
  uint8_t m_nDirection = 0;
  // Degrees added to the direction (a circle move's start angle).
  int16_t m_nAngle = 0;
  int16_t m_nAnglePerCopy = 0;
  // 1: for a character whose definition faces right, the angle becomes 360 - angle.
  uint8_t m_bMirrorAngle = 1;
  // Which axes a target-position move acts on.
  uint8_t m_bAxisX = 1;
  uint8_t m_bAxisY = 1;
  // Target position: blocks of 32 dots plus dots.
  int16_t m_nTargetX = 0;
  int16_t m_nTargetY = 0;
  int16_t m_nTargetOffsetX = 0;
  int16_t m_nTargetOffsetY = 0;
  // 0 relative to the placement position, 1 relative to the current position,
  // 2 absolute stage position, 3 screen position.
  uint8_t m_nCoordSystem = 0;
  // 1: with a speed other than 0 the time is derived from the distance.
  uint8_t m_bTimeFromDistance = 1;
  // 1: the velocity on that axis is held at 0.
  uint8_t m_bHoldX = 0;
  uint8_t m_bHoldY = 0;
  // 1: the target (and its offset) on that axis is negated for a character facing right.
  uint8_t m_bMirrorX = 1;
  uint8_t m_bMirrorY = 0;
  // 1: with the facing lock on, a change of facing reverses the velocity.
  uint8_t m_bTurnWithFacing = 1;
  // 1: the move ends at its target.
  uint8_t m_bStopAtTarget = 0;
  // 1: the move does not turn the character.
  uint8_t m_bKeepFacing = 0;
  // 0 time and speed, 1 time and distance, 2 speed and distance given.
  uint8_t m_nTimeMode = 0;
  // Tenths of a dot per frame (a circle move: tenths of a degree).
  int16_t m_nSpeed = 10;
  int16_t m_nSpeedPerCopy = 0;
  // Half blocks, or dots when m_nDistanceUnit is 1 (a circle move's end angle).
  int16_t m_nDistance = 0;
  int16_t m_nDistancePerCopy = 0;
  uint8_t m_nDistanceUnit = 0;
  // Homing sluggishness: the re-aim interval of a homing move; a circle move
  // reads it as its radius in half blocks.
  int16_t m_nHoming = 0;
  int16_t m_nHomingPerCopy = 0;
  // 1: the move accelerates toward its speed instead of displacing directly.
  uint8_t m_bInertia = 0;
  // Tenths of a dot per frame, used with inertia.
  int16_t m_nAccel = 0;
  // Multiplies the accelerated speed.
  double m_dInertiaFactor = 1.0;
  // 1: the command's own animation plays instead of walking or flying.
  uint8_t m_bOwnAnime = 0;
  // The target slot (0-3) a "突撃移動" heads for.
  uint8_t m_nRushTargetSlot = 0;
};

// The direction byte that "入力方向" stands for.
//   nSlot: the first direction key slot held when the running flow started,
//          0 none, 1-9 (left, right, up, down, up-left, down-left, up-right,
//          down-right, and 9, which the first mode reads as "前").
//   nModeFlag: 1 asks for the first mode (shot formations pass 0).
//   nFacing: 1 right.
//   bReplayPlayback, nReplayVersion: during replay playback the data version of
//          the replay file decides instead: below 778 the first mode, 778 and
//          779 the second, from 780 the mode flag.
// No slot, a slot outside 0-9, and (in the second mode) slot 9 give "右" when
// facing right, else "左".
int MapDirectionCode(int nSlot, int nModeFlag, int nFacing, bool bReplayPlayback, int nReplayVersion);

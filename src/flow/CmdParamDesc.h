#pragma once
// The per-command parameter table: for each flow-command type, the label and
// the limits of every parameter the arrange command may change (Arrange.h).
// Item and system command t uses the row list of flow-command type t + 15.
//
// Types with rows: 2 and 5 (target point and angle of the move), 6 (homing
// sluggishness and target point), 11 (the 29 shot values), 12 (sword), 13 to
// 15 (summons), 17 (next stage and map position), 19 (message), 20 (warp),
// 21 (target), 22 (the random range of the status operation), 24 (vanish),
// 26 (graphic), 29 (effect), 32 (picture), 33 (screen colour), 34
// (background). Every other type has an empty list, so an arrange of it
// changes nothing. The formation rows of types 11 and 13 to 15 and the
// motion rows of type 11 are limited by the formation and motion tables
// instead (data/Vocabulary.h); their rows here hold 0 .. INT32_MAX.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"

struct cCmdParamDesc {
  std::string m_Label;
  int32_t m_Min = 0;
  int32_t m_Max = 0;

  void Set(const std::string& label, int32_t minimum, int32_t maximum);
};

// 40 entries, one per flow-command type, each a list indexed by the arrange
// parameter number. Filled once at start-up by BuildCmdParamDesc. Defined
// with every global object in app/Globals.cpp.
extern cSafeVector<cSafeVector<cCmdParamDesc>> kCmdParamDesc;

// Resizes kCmdParamDesc to 40 lists and fills the listed types' rows.
void BuildCmdParamDesc();

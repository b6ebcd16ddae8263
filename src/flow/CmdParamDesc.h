#pragma once
// The per-command parameter table: for each flow-command type, the label and
// the limits of every parameter the arrange command may change. Item and
// system command t uses the row of flow-command type t + 15.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"

struct cCmdParamDesc {
  std::string m_Label;
  int32_t m_Min = 0;
  int32_t m_Max = 0;

  void Set(const std::string& label, int32_t minimum, int32_t maximum);
};

// 40 entries, one per flow-command type; a type without arrangeable
// parameters has an empty list. Filled once at start-up.
extern cSafeVector<cSafeVector<cCmdParamDesc>> kCmdParamDesc;

void BuildCmdParamDesc();

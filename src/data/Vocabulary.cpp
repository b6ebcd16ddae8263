#include "data/Vocabulary.h"

namespace {

// Formation and motion numbers come from command data, so both the kind and the
// parameter number are checked before the row is formed.
template <std::size_t N>
const cParamDesc* FindParamRow(const std::array<cParamDesc, N>& table, int kindCount, int kind, int number) {
  if (kind < 0 || kind >= kindCount || number < 1 || number > kParamsPerKind) return nullptr;
  return &table[static_cast<std::size_t>(kind * kParamsPerKind + number - 1)];
}

}  // namespace

const cParamDesc* FindFormationParam(int formation, int number) {
  return FindParamRow(kFormationParamTable, kFormationCount, formation, number);
}

const cParamDesc* FindMotionParam(int motion, int number) {
  return FindParamRow(kMotionParamTable, kMotionCount, motion, number);
}

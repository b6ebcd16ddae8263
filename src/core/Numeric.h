#pragma once
// Number conversions that give the same results on every machine, matching
// what the 32-bit x86 build of the game produced, instead of undefined
// behaviour.

#include <cstdint>
#include <limits>

// double to 32-bit integer, truncating toward zero. NaN and values outside the
// 32-bit range give INT_MIN, as the x86 conversion instruction does.
constexpr std::int32_t TruncToI32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// A 64-bit intermediate result clamped to the 32-bit range.
constexpr std::int32_t ClampToI32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// A 64-bit intermediate result wrapped to 32 bits, as 32-bit arithmetic would.
constexpr std::int32_t WrapToI32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// `percent` per cent of `value`, rounded half away from zero: the product is
// wrapped to 32 bits as 32-bit arithmetic gives it, then scaled by 0.01.
constexpr std::int32_t PercentOf(std::int32_t value, std::int32_t percent) {
  const double scaled = static_cast<double>(WrapToI32(std::int64_t{value} * percent)) * 0.01;
  return TruncToI32(scaled >= 0.0 ? scaled + 0.5 : scaled - 0.5);
}

// pi / 180, as the nearest double.
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

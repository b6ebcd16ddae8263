#include "world/Random.h"

std::int32_t RandomRange(std::int32_t a, std::int32_t b) {
  if (b < a) {
    const std::int32_t swapped = a;
    a = b;
    b = swapped;
  }
  // In 64 bits the count of values never overflows nor becomes 0, whatever
  // the bounds.
  const std::int64_t span = std::int64_t{b} - a + 1;
  return static_cast<std::int32_t>(a + g_Random.Next() % span);
}

#pragma once
// Row loops over 32-bit pixels shared by the drawing device and the
// presenters, four pixels at a time where SSE2 is there. The build targets
// plain x86-64, where the compiler leaves such loops scalar at -O2.

#include <cstdint>

namespace plat {

// Writes `value` into count pixels.
void FillRow32(std::uint32_t* out, int count, std::uint32_t value);

// Copies count pixels with their alpha byte set to 255 (in and out must not
// overlap).
void StoreOpaqueRow(std::uint32_t* __restrict out, const std::uint32_t* __restrict in, int count);

}  // namespace plat

#pragma once
// Decimal numbers drawn from a strip of digit cells ("0123456789" in one row).

#include <cstdint>

#include "graphics/Surface.h"

// Draws nValue in decimal, most significant digit at (x, y) and each next one
// a cell further right, digit d taken from (stripX + d * cellW, stripY) of the
// strip. With fewer digits than nMinDigits the number moves right by the
// missing cells (half of that with bCentre set); the free cells stay undrawn.
// A value with more than 10 digits, or a negative value (the strip has no
// minus sign), draws nothing.
void DDDrawNumber(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpStrip, int stripX,
                  int stripY, std::uint32_t dwFlags, std::int64_t nValue, int nMinDigits, int bCentre);

// The number of decimal digits of a value that is not negative (1 for 0).
int CountDecimalDigits(std::int64_t nValue);

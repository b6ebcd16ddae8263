#include "graphics/DrawNumber.h"

#include "graphics/Blit.h"

namespace {
constexpr int kMaxDigits = 10;
}

int CountDecimalDigits(std::int64_t nValue) {
  int digits = 1;
  while (nValue >= 10) {
    nValue /= 10;
    ++digits;
  }
  return digits;
}

void DDDrawNumber(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpStrip, int stripX,
                  int stripY, std::uint32_t dwFlags, std::int64_t nValue, int nMinDigits, int bCentre) {
  if (nValue < 0) return;
  const int count = CountDecimalDigits(nValue);
  if (count > kMaxDigits) return;
  int digits[kMaxDigits];
  for (int i = count - 1; i >= 0; --i) {
    digits[i] = static_cast<int>(nValue % 10);
    nValue /= 10;
  }
  if (count < nMinDigits) {
    const int shift = (nMinDigits - count) * cellW;
    x += bCentre ? shift / 2 : shift;
  }
  for (int i = 0; i < count; ++i) {
    DDBlt(lpDst, x, y, cellW, cellH, lpStrip, stripX + digits[i] * cellW, stripY, dwFlags);
    x += cellW;
  }
}

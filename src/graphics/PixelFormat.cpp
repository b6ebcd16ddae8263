#include "graphics/PixelFormat.h"

std::uint32_t PackFields(const PIXELFORMATDESC& format, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  const auto field = [](std::uint32_t value, std::int32_t mask, std::int32_t shift) {
    return (value & static_cast<std::uint32_t>(mask)) << shift;
  };
  return field(red, format.RMask, format.RShift) | field(green, format.GMask, format.GShift) |
         field(blue, format.BMask, format.BShift);
}

std::uint32_t PackScaled(const PIXELFORMATDESC& format, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const auto scaled = [](std::uint32_t value, std::int32_t mask, std::int32_t shift) {
    return (value * static_cast<std::uint32_t>(mask) / 255u) << shift;
  };
  return scaled(blue, format.BMask, format.BShift) | scaled(green, format.GMask, format.GShift) |
         scaled(red, format.RMask, format.RShift);
}

std::uint8_t WidenField(std::uint32_t pixel, std::int32_t shift, std::int32_t mask) {
  if (mask <= 0) return 0;
  const std::uint32_t value = (pixel >> shift) & static_cast<std::uint32_t>(mask);
  return static_cast<std::uint8_t>(value * 255u / static_cast<std::uint32_t>(mask));
}

std::uint16_t ConvertToKeyed16(const PIXELFORMATDESC& format, std::uint8_t red, std::uint8_t green,
                               std::uint8_t blue, std::uint8_t keyRed, std::uint8_t keyGreen,
                               std::uint8_t keyBlue, std::uint16_t keyPixel) {
  if (red == keyRed && green == keyGreen && blue == keyBlue) return keyPixel;
  std::uint32_t pixel = PackScaled(format, red, green, blue) & 0xFFFFu;
  if (pixel == keyPixel) {
    const std::uint32_t mask = static_cast<std::uint32_t>(format.BMask);
    const std::uint32_t blueField = (pixel >> format.BShift) & mask;
    const std::uint32_t stepped = blueField == mask ? blueField - 1 : blueField + 1;
    pixel = (pixel & ~(mask << format.BShift)) | (stepped << format.BShift);
  }
  return static_cast<std::uint16_t>(pixel);
}

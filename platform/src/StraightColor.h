// Converting between the surfaces' premultiplied pixels and straight
// colours, for decoders and colour adjustments that work on straight ones.
#pragma once

#include <cstdint>

namespace platform {

struct StraightColor {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t alpha;
};

// 0xAARRGGBB with each colour scaled by alpha, rounded.
inline std::uint32_t premultipliedPixel(StraightColor color) {
  auto scaled = [&color](std::uint8_t channel) -> std::uint32_t { return (channel * color.alpha + 127u) / 255u; };
  return static_cast<std::uint32_t>(color.alpha) << 24 | scaled(color.red) << 16 | scaled(color.green) << 8 |
         scaled(color.blue);
}

// The colour of a premultiplied pixel, rounded; transparent black for a
// transparent pixel, whose colour is lost.
inline StraightColor straightColor(std::uint32_t pixel) {
  std::uint32_t alpha = pixel >> 24;
  auto unscaled = [alpha](std::uint32_t channel) -> std::uint8_t {
    if (alpha == 0) {
      return 0;
    }
    std::uint32_t value = (channel * 255u + alpha / 2u) / alpha;
    return static_cast<std::uint8_t>(value > 255u ? 255u : value);
  };
  return StraightColor{unscaled(pixel >> 16 & 0xFF), unscaled(pixel >> 8 & 0xFF), unscaled(pixel & 0xFF),
                       static_cast<std::uint8_t>(alpha)};
}

}  // namespace platform

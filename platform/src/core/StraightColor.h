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

// channel × alpha / 255, rounded, without a division: exact for every
// pair of bytes.
inline std::uint32_t scaledByAlpha(std::uint32_t channel, std::uint32_t alpha) {
  std::uint32_t product = channel * alpha + 128u;
  return (product + (product >> 8)) >> 8;
}

// 0xAARRGGBB with each colour scaled by alpha, rounded.
inline std::uint32_t premultipliedPixel(StraightColor color) {
  return static_cast<std::uint32_t>(color.alpha) << 24 | scaledByAlpha(color.red, color.alpha) << 16 |
         scaledByAlpha(color.green, color.alpha) << 8 | scaledByAlpha(color.blue, color.alpha);
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

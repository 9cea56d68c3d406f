#include "DrawingCases.h"

#include <cstdio>
#include <cstdlib>

namespace conformance {

const std::vector<DrawingCase>& drawingCases() {
  const std::uint32_t kClear = 0x00000000;
  const std::uint32_t kWhite = 0xFFFFFFFF;
  using Gdiplus::Rect;
  static const std::vector<DrawingCase> cases = {
      {"the picture at its size", kClear, Rect(1, 1, 2, 2), Rect(0, 0, 2, 2), {1, 1, 1},
       {{1, 1, 0xFFFF0000}, {2, 1, 0xFF0000FF}, {1, 2, 0x80008000}, {2, 2, kClear}, {0, 0, kClear}}},
      {"stretched twice: source pixels at even places, halfway colours between, fading at the far edges", kClear,
       Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), {1, 1, 1},
       {{0, 0, 0xFFFF0000}, {2, 0, 0xFF0000FF}, {1, 0, 0xFF800080}, {3, 0, 0x80000080}, {0, 2, 0x80008000},
        {2, 2, kClear}, {5, 5, kClear}}},
      {"one source pixel over white", kWhite, Rect(4, 4, 1, 1), Rect(1, 0, 1, 1), {1, 1, 1},
       {{4, 4, 0xFF0000FF}, {3, 4, kWhite}, {5, 5, kWhite}}},
      {"tinted over white", kWhite, Rect(1, 1, 2, 2), Rect(0, 0, 2, 2), {128.0f / 255, 1, 64.0f / 255},
       {{1, 1, 0xFF800000}, {2, 1, 0xFF000040}, {1, 2, 0xFF7FFF7F}, {2, 2, kWhite}, {0, 0, kWhite}}},
      {"tinted and stretched", kClear, Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), {0, 0.5f, 1},
       {{0, 0, 0xFF000000}, {2, 0, 0xFF0000FF}, {0, 2, 0x80004000}}},
  };
  return cases;
}

bool isTinted(const DrawingCase& drawing) {
  return drawing.tint[0] != 1 || drawing.tint[1] != 1 || drawing.tint[2] != 1;
}

Gdiplus::ColorMatrix tintMatrix(const DrawingCase& drawing) {
  Gdiplus::ColorMatrix matrix = {};
  for (int index = 0; index < 5; ++index) {
    matrix.m[index][index] = index < 3 ? drawing.tint[index] : 1;
  }
  return matrix;
}

std::string probeFailure(const DrawingCase& drawing, const Probe& probe, std::uint32_t actual) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>(probe.expected >> shift & 0xFF) - static_cast<int>(actual >> shift & 0xFF)) > 1) {
      char text[200];
      std::snprintf(text, sizeof text, "%s: pixel (%d, %d): expected 0x%08X, got 0x%08X", drawing.what, probe.x,
                    probe.y, static_cast<unsigned>(probe.expected), static_cast<unsigned>(actual));
      return text;
    }
  }
  return std::string();
}

}  // namespace conformance

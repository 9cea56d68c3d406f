// Drawing kTwoByTwoPng into a 6x6 destination, as GDI+ does it: the source
// rectangle scaled bilinearly, through a diagonal colour matrix, over the
// background, premultiplied. The same table checks drawing through a DC
// here and on the layer's surfaces in the model tests.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestPictures.h"

namespace conformance {

const int kDrawingSize = 6;

struct Probe {
  int x;
  int y;
  std::uint32_t expected;  // premultiplied 0xAARRGGBB
};

struct DrawingCase {
  const char* what;
  std::uint32_t background;
  Gdiplus::Rect destination;
  Gdiplus::Rect source;
  Gdiplus::REAL tint[3];  // the red, green and blue factors of the matrix
  std::vector<Probe> probes;
};

const std::vector<DrawingCase>& drawingCases();

// A case with all factors 1 is drawn without attributes.
bool isTinted(const DrawingCase& drawing);
Gdiplus::ColorMatrix tintMatrix(const DrawingCase& drawing);

// Empty when the pixel is within 1 of the expected one in every channel;
// otherwise says where, what was expected and what came.
std::string probeFailure(const DrawingCase& drawing, const Probe& probe, std::uint32_t actual);

}  // namespace conformance

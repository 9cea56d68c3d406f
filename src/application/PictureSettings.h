// What one image element asks for, with the program's value for each
// attribute it leaves out: the picture step and the settings checker both
// read an image through here, so they cannot disagree on a default.
#pragma once

#include <cstdint>
#include <optional>

#include "lib/xerces/XMLElement.h"

// A missing x or y puts the picture at the screen's left or top edge.
const int kMissingPosition = 0;
// A missing color leaves the picture untinted and opaque.
const std::uint32_t kMissingColor = 0xFFFFFFFF;

struct PictureSettings {
  const char* path;  // null without a path attribute; valid as long as the element
  int x;
  int y;
  std::optional<int> width;  // none: the picture's own width
  std::optional<int> height;  // none: the picture's own height
  std::uint32_t color;  // 0xAARRGGBB
};

PictureSettings readPictureSettings(const lib::xerces::XMLElement& image);

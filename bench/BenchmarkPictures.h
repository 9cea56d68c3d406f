// The pictures the program benchmarks load: 512 × 512 PNG files with every
// alpha from clear to opaque, shown at 256 × 256 and tinted, and the
// settings file that places them. The Linux benchmarks and the Wine run
// write the same files, so their figures compare.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace benchsupport {

const int kMostPictures = 100;
const int kPictureSize = 512;
const int kShownSize = 256;
const char kTint[] = "0xFFFFC080";

// Straight 0xAARRGGBB with every alpha from clear to opaque and colours
// that change across and down, so no decoder or compositor takes a
// shortcut for a flat picture.
std::vector<std::uint32_t> gradientPixels(int size);

// "picture<index>.png", relative to the current directory.
std::string picturePath(int index);

// Writes picture0.png ... picture<count - 1>.png into the current directory.
void writePictures(int count);

// Writes config.xml into the current directory: `count` image elements, ten
// to a row 100 pixels apart, rows 60 pixels apart, each shown at 256 × 256
// with the tint.
void writeSettings(int count);

// Where picture `index` of writeSettings is shown.
struct Placement {
  int x;
  int y;
};
Placement placementOf(int index);

}  // namespace benchsupport

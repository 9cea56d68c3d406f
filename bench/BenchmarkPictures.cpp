#include "BenchmarkPictures.h"

#include <fstream>
#include <stdexcept>

#include "support/PictureFile.h"

namespace benchsupport {

std::vector<std::uint32_t> gradientPixels(int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t alpha = static_cast<std::uint32_t>((x + y) * 255 / (2 * size - 2));
      std::uint32_t red = static_cast<std::uint32_t>(x * 255 / (size - 1));
      std::uint32_t green = static_cast<std::uint32_t>(y * 255 / (size - 1));
      std::uint32_t blue = static_cast<std::uint32_t>((x ^ y) & 0xFF);
      pixels[static_cast<std::size_t>(y) * size + x] = alpha << 24 | red << 16 | green << 8 | blue;
    }
  }
  return pixels;
}

std::string picturePath(int index) { return "picture" + std::to_string(index) + ".png"; }

void writePictures(int count) {
  std::vector<std::uint32_t> pixels = gradientPixels(kPictureSize);
  for (int index = 0; index < count; ++index) {
    testsupport::writePng(picturePath(index), kPictureSize, kPictureSize, pixels);
  }
}

Placement placementOf(int index) { return {index % 10 * 100, index / 10 * 60}; }

void writeSettings(int count) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>\n";
  for (int index = 0; index < count; ++index) {
    Placement place = placementOf(index);
    text += "  <image x=\"" + std::to_string(place.x) + "\" y=\"" + std::to_string(place.y) + "\" w=\"" +
            std::to_string(kShownSize) + "\" h=\"" + std::to_string(kShownSize) + "\" color=\"" + kTint + "\" path=\"" +
            picturePath(index) + "\"/>\n";
  }
  std::ofstream file("config.xml");
  file << text << "</system>\n";
  if (!file.good()) {
    throw std::runtime_error("cannot write config.xml");
  }
}

}  // namespace benchsupport

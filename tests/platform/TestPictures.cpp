#include "TestPictures.h"

#include <fstream>
#include <stdexcept>

namespace conformance {

// The pixel rows lie in one stored (uncompressed) deflate block, each
// after its filter byte 0.
const std::vector<unsigned char> kTwoByTwoPng = {
    0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,                                              // signature
    0, 0, 0, 0x0D, 'I', 'H', 'D', 'R', 0, 0, 0, 2, 0, 0, 0, 2, 8, 6, 0, 0, 0, 0x72, 0xB6, 0x0D, 0x24,  // 8-bit RGBA
    0, 0, 0, 0x1D, 'I', 'D', 'A', 'T', 0x78, 0x01, 0x01, 0x12, 0x00, 0xED, 0xFF,              // stored block
    0, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF,                                        // red, blue
    0, 0x00, 0xFF, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,                                        // green, transparent
    0x3D, 0x57, 0x05, 0x7C, 0x36, 0xFF, 0x33, 0xC8,                                           // Adler-32, CRC
    0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

const std::vector<unsigned char> kThreeByTwoRgbPng = {
    0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,                                              // signature
    0, 0, 0, 0x0D, 'I', 'H', 'D', 'R', 0, 0, 0, 3, 0, 0, 0, 2, 8, 2, 0, 0, 0, 0x12, 0x16, 0xF1, 0x4D,  // 8-bit RGB
    0, 0, 0, 0x1F, 'I', 'D', 'A', 'T', 0x78, 0x01, 0x01, 0x14, 0x00, 0xEB, 0xFF,              // stored block
    0, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00,                                  // red, blue, green
    0, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80,                                  // white, black, gray
    0x47, 0xCF, 0x07, 0x7B, 0xA6, 0xE5, 0x30, 0xB9,                                           // Adler-32, CRC
    0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::basic_string<WCHAR> widePath(const std::filesystem::path& path) {
  std::u16string wide = path.u16string();
  return std::basic_string<WCHAR>(wide.begin(), wide.end());
}

}  // namespace conformance

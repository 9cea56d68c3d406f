// Picture files with known pixels for the GDI+ tests.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace conformance {

// 2x2 RGBA PNG, straight: red, blue / half-transparent green (alpha 0x80),
// transparent.
extern const std::vector<unsigned char> kTwoByTwoPng;

// 3x2 RGB PNG: red, blue, green / white, black, gray 0x808080.
extern const std::vector<unsigned char> kThreeByTwoRgbPng;

void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// A path as GDI+ takes it.
std::basic_string<WCHAR> widePath(const std::filesystem::path& path);

}  // namespace conformance

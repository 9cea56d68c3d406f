// Picture files that tests and benchmarks make for the program to load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// Writes a PNG of width × height pixels, given top row first as straight
// (not premultiplied) 0xAARRGGBB. Throws std::runtime_error when it cannot.
void writePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);

// A picture of one colour.
void writeSolidPng(const std::string& path, int width, int height, std::uint32_t pixel);

}  // namespace testsupport

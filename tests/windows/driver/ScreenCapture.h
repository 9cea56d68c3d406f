// The composed desktop as another program reads it (GetDC(NULL) and BitBlt),
// so scenarios can check pixels. Under Xvfb run xcompmgr first: without a
// compositor semi-transparent windows are drawn over black.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Screenshot captureScreen();

// Writes a 32-bit BMP, for looking at a failed scenario; false on failure.
bool saveBitmap(const Screenshot& shot, const std::string& path);

// "" when both are the same, otherwise where and how they first differ.
std::string firstDifference(const Screenshot& expected, const Screenshot& actual);

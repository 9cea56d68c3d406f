#include "hosts/gtk/InputShape.h"

#include <cstdint>
#include <utility>

namespace platform {
namespace gtk {

namespace {

struct Run {
  int x;
  int width;
};

// takesMouse's rule, a pixel's alpha times the constant alpha over 255
// above 0, as one comparison: the alpha must reach 255 over the constant
// alpha, rounded up. With no constant alpha nothing is hit.
std::uint32_t leastHitAlpha(BYTE constantAlpha) {
  return constantAlpha == 0 ? 256 : (255u + constantAlpha - 1) / constantAlpha;
}

void findRuns(const std::uint32_t* pixels, int width, std::uint32_t leastAlpha, std::vector<Run>& runs) {
  runs.clear();
  int column = 0;
  while (column < width) {
    while (column < width && (pixels[column] >> 24) < leastAlpha) {
      ++column;
    }
    int start = column;
    while (column < width && (pixels[column] >> 24) >= leastAlpha) {
      ++column;
    }
    if (column > start) {
      runs.push_back(Run{start, column - start});
    }
  }
}

}  // namespace

// Both the runs of a row and the rectangles still growing lie left to
// right without overlapping, so one walk along both pairs them: a
// rectangle the row does not repeat exactly has ended.
std::vector<ShapeRectangle> hitRectangles(const LayeredContentView& content) {
  std::uint32_t leastAlpha = leastHitAlpha(content.constantAlpha);
  std::vector<ShapeRectangle> done;
  std::vector<ShapeRectangle> growing;
  std::vector<ShapeRectangle> next;
  std::vector<Run> runs;
  const unsigned char* rowBytes = reinterpret_cast<const unsigned char*>(content.pixels);
  for (int row = 0; row < content.height; ++row, rowBytes += content.stride) {
    findRuns(reinterpret_cast<const std::uint32_t*>(rowBytes), content.width, leastAlpha, runs);
    next.clear();
    std::size_t older = 0;
    for (const Run& run : runs) {
      while (older < growing.size() && growing[older].x < run.x) {
        done.push_back(growing[older++]);
      }
      if (older < growing.size() && growing[older].x == run.x && growing[older].width == run.width) {
        ++growing[older].height;
        next.push_back(growing[older++]);
      } else {
        next.push_back(ShapeRectangle{run.x, row, run.width, 1});
      }
    }
    done.insert(done.end(), growing.begin() + static_cast<std::ptrdiff_t>(older), growing.end());
    std::swap(growing, next);
  }
  done.insert(done.end(), growing.begin(), growing.end());
  return done;
}

}  // namespace gtk
}  // namespace platform

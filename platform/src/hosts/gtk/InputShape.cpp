#include "hosts/gtk/InputShape.h"

#include <map>
#include <utility>

namespace platform {
namespace gtk {

namespace {

using Run = std::pair<int, int>;  // first column, width

std::vector<Run> runsOfRow(const LayeredContentView& content, int row) {
  std::vector<Run> runs;
  const std::uint32_t* pixels =
      reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(content.pixels) + row * content.stride);
  int column = 0;
  while (column < content.width) {
    while (column < content.width && !takesMouse(pixels[column], content.constantAlpha)) {
      ++column;
    }
    int start = column;
    while (column < content.width && takesMouse(pixels[column], content.constantAlpha)) {
      ++column;
    }
    if (column > start) {
      runs.emplace_back(start, column - start);
    }
  }
  return runs;
}

}  // namespace

std::vector<ShapeRectangle> hitRectangles(const LayeredContentView& content) {
  std::vector<ShapeRectangle> done;
  // The rectangles still growing, by their run; each ends on the first row
  // that does not repeat its run.
  std::map<Run, ShapeRectangle> growing;
  for (int row = 0; row < content.height; ++row) {
    std::map<Run, ShapeRectangle> next;
    for (const Run& run : runsOfRow(content, row)) {
      auto found = growing.find(run);
      if (found != growing.end()) {
        ++found->second.height;
        next.insert(*found);
        growing.erase(found);
      } else {
        next.emplace(run, ShapeRectangle{run.first, row, run.second, 1});
      }
    }
    for (const auto& ended : growing) {
      done.push_back(ended.second);
    }
    growing = std::move(next);
  }
  for (const auto& ended : growing) {
    done.push_back(ended.second);
  }
  return done;
}

}  // namespace gtk
}  // namespace platform

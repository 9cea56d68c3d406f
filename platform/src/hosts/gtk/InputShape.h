// The part of a layered window that takes the mouse, as rectangles: the
// pixels the desktop's own rule (takesMouse) sends clicks to. A window manager and the X
// server take it as an input shape, or as the window's shape without a
// compositor.
#pragma once

#include <platform/host.h>

#include <vector>

namespace platform {
namespace gtk {

struct ShapeRectangle {
  int x;
  int y;
  int width;
  int height;
};

// Each row's runs of hit pixels; a run that repeats, unchanged, on the rows
// below grows into one taller rectangle. Empty when nothing is hit.
std::vector<ShapeRectangle> hitRectangles(const LayeredContentView& content);

}  // namespace gtk
}  // namespace platform

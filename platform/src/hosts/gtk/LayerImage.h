// A layered window's content put on its X window as it is. The desktop's
// pixels are premultiplied ARGB32, which is what a 32-bit visual holds
// for a compositor to blend, and what a 24-bit one shows over black: they
// go to the X server in one request, copied only when the window is faded.
#pragma once

#include <platform/host.h>

#include <X11/Xlib.h>

namespace platform {
namespace gtk {

struct PutArea {
  int x;
  int y;
  int width;
  int height;
};

// Puts `area` of a window of `depth` bits whose size is `width` by
// `height`: the content faded by its constant alpha, transparency where
// there is none (null content, or content smaller than the window).
void putLayered(Display* display, ::Window window, GC gc, int depth, const LayeredContentView* content, int width,
                int height, PutArea area);

}  // namespace gtk
}  // namespace platform

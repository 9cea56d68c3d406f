// What every GTK host does the same with a layered window's content: paint
// it, find where it takes the mouse, and name the mouse's buttons.
#pragma once

#include <platform/host.h>

#include <gtk/gtk.h>

namespace platform {
namespace gtk {

// The desktop's pixels are cairo's ARGB32 (native-endian, premultiplied):
// they are painted where they are, not copied, over transparency, faded by
// the constant alpha. Null content paints nothing.
void paintLayered(cairo_t* cairo, const LayeredContentView* content);

// The pixels the desktop's own rule sends clicks to, as one region.
cairo_region_t* hitRegion(const LayeredContentView* content);

// GDK's button numbers: 1 left, 2 middle, 3 right.
MouseButton mouseButtonOf(guint button);

}  // namespace gtk
}  // namespace platform

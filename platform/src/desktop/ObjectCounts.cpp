// What the desktop counts, in one value: tests compare it before and after
// a run to see leaks.
#include <platform/desktop.h>

#include <tuple>

#include "core/Desktop.h"
#include "core/Surface.h"

namespace platform {
namespace desktop {

namespace {

auto fields(const ObjectCounts& counts) {
  return std::tie(counts.windows, counts.classes, counts.menus, counts.trayIcons, counts.deviceContexts, counts.bitmaps,
                  counts.gdiplusImages, counts.gdiplusGraphics, counts.gdiplusImageAttributes);
}

}  // namespace

bool ObjectCounts::operator==(const ObjectCounts& other) const { return fields(*this) == fields(other); }

std::ostream& operator<<(std::ostream& stream, const ObjectCounts& counts) {
  return stream << "windows " << counts.windows << ", classes " << counts.classes << ", menus " << counts.menus
                << ", tray icons " << counts.trayIcons << ", DCs " << counts.deviceContexts << ", bitmaps "
                << counts.bitmaps << ", GDI+ images " << counts.gdiplusImages << ", graphics "
                << counts.gdiplusGraphics << ", image attributes " << counts.gdiplusImageAttributes;
}

ObjectCounts objectCounts() {
  Desktop& desktop = theDesktop();
  GdiplusObjectCounts gdiplus = liveGdiplusObjects();
  ObjectCounts counts;
  counts.windows = desktop.zOrder.size();
  counts.classes = desktop.classes.size();
  counts.menus = menuCount();
  counts.trayIcons = desktop.trayIcons.size();
  counts.deviceContexts = deviceContextCount();
  counts.bitmaps = bitmapCount();
  counts.gdiplusImages = gdiplus.images;
  counts.gdiplusGraphics = gdiplus.graphics;
  counts.gdiplusImageAttributes = gdiplus.imageAttributes;
  return counts;
}

}  // namespace desktop
}  // namespace platform

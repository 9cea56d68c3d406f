#include "core/WindowNotice.h"

#include "core/Surface.h"

#include <pixman.h>

#include <algorithm>

namespace platform {

namespace {

HWND windowAbove(HWND window) {
  const std::vector<HWND>& zOrder = theDesktop().zOrder;
  auto place = std::find(zOrder.begin(), zOrder.end(), window);
  return place == zOrder.end() || place == zOrder.begin() ? NULL : *(place - 1);
}

}  // namespace

void tellHost(const Window& window, WindowChange change) {
  LayeredContentView content{};
  const Surface* surface = window.hasLayeredContent ? window.layeredSurface.get() : nullptr;
  if (surface) {
    content = LayeredContentView{static_cast<const std::uint32_t*>(surface->bits()), surface->width(),
                                 surface->height(), pixman_image_get_stride(surface->image()),
                                 window.layeredConstantAlpha};
  }
  WindowView view{window.handle,
                  window.rect,
                  (window.style & WS_VISIBLE) != 0,
                  (window.exStyle & WS_EX_TOPMOST) != 0,
                  (window.exStyle & WS_EX_LAYERED) != 0,
                  windowAbove(window.handle),
                  surface ? &content : nullptr};
  theDesktop().host->windowChanged(view, change);
}

}  // namespace platform

// The composed screen: every visible window over the background, bottom
// first, as a user would see the desktop.
#include "core/Screen.h"

#include "core/Desktop.h"

#include <algorithm>
#include <vector>

namespace {

const std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

pixman_color_t pixmanColour(std::uint32_t argb) {
  auto channel = [argb](int shift) { return static_cast<std::uint16_t>(((argb >> shift) & 0xFF) * 0x101); };
  return pixman_color_t{channel(16), channel(8), channel(0), channel(24)};
}

void fill(const platform::Surface& target, std::uint32_t argb, int x, int y, int width, int height) {
  pixman_color_t colour = pixmanColour(argb);
  pixman_box32_t box{x, y, x + width, y + height};
  pixman_image_fill_boxes(PIXMAN_OP_SRC, target.image(), &colour, 1, &box);
}

// The layered content at the window's top left, no larger than the window,
// with the constant alpha as a solid mask.
void composeLayered(const platform::Window& window, const platform::Surface& target, int x, int y) {
  const platform::Surface& content = *window.layeredSurface;
  int width = std::min(content.width(), static_cast<int>(window.rect.right - window.rect.left));
  int height = std::min(content.height(), static_cast<int>(window.rect.bottom - window.rect.top));
  pixman_image_t* mask = nullptr;
  if (window.layeredConstantAlpha != 0xFF) {
    pixman_color_t alpha = pixmanColour(static_cast<std::uint32_t>(window.layeredConstantAlpha) << 24);
    mask = pixman_image_create_solid_fill(&alpha);
  }
  pixman_image_composite32(PIXMAN_OP_OVER, content.image(), mask, target.image(), 0, 0, 0, 0, x, y, width, height);
  if (mask) {
    pixman_image_unref(mask);
  }
}

// A minimized window is only a button on the taskbar; a layered one shows
// its content, or nothing before it has any; any other window is drawn as
// an opaque white rectangle, since the model paints no window's client area.
void composeWindow(const platform::Window& window, const platform::Surface& target, POINT origin) {
  if (!(window.style & WS_VISIBLE) || (window.style & WS_MINIMIZE)) {
    return;
  }
  int x = window.rect.left - origin.x;
  int y = window.rect.top - origin.y;
  if (!(window.exStyle & WS_EX_LAYERED)) {
    fill(target, kOpaqueWhite, x, y, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top);
  } else if (window.hasLayeredContent) {
    composeLayered(window, target, x, y);
  }
}

}  // namespace

namespace platform {

SIZE screenSize() { return theDesktop().host->screenSize(); }

void composeScreen(const Surface& target, POINT origin) {
  fill(target, desktop::kScreenBackground, 0, 0, target.width(), target.height());
  const std::vector<HWND>& zOrder = theDesktop().zOrder;
  for (auto window = zOrder.rbegin(); window != zOrder.rend(); ++window) {
    composeWindow(*findWindowRecord(*window), target, origin);
  }
}

Surface* composedScreen() {
  std::unique_ptr<Surface>& screen = theDesktop().screen;
  if (!screen) {
    SIZE size = screenSize();
    screen = Surface::create(size.cx, size.cy);
  }
  if (screen) {
    composeScreen(*screen, POINT{0, 0});
  }
  return screen.get();
}

namespace desktop {

std::vector<std::uint32_t> screenPixels(int x, int y, int width, int height) {
  std::vector<std::uint32_t> pixels;
  std::unique_ptr<Surface> region = Surface::create(width, height);
  if (!region) {
    return pixels;
  }
  composeScreen(*region, POINT{x, y});
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      pixels.push_back(region->pixel(column, row));
    }
  }
  return pixels;
}

}  // namespace desktop

}  // namespace platform

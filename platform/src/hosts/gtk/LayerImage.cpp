#include "hosts/gtk/LayerImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {
namespace gtk {

namespace {

// Every channel of a premultiplied pixel scales with the constant alpha.
std::vector<std::uint32_t> faded(const LayeredContentView& content) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(content.width) * content.height);
  unsigned alpha = content.constantAlpha;
  for (int y = 0; y < content.height; ++y) {
    const std::uint32_t* row = content.pixels + static_cast<std::size_t>(y) * (content.stride / 4);
    std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * content.width;
    for (int x = 0; x < content.width; ++x) {
      std::uint32_t pixel = row[x];
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        result |= (((pixel >> shift) & 0xFF) * alpha + 127) / 255 << shift;
      }
      out[x] = result;
    }
  }
  return pixels;
}

XImage imageOf(const std::uint32_t* pixels, int width, int height, int stride, int depth) {
  XImage image = {};
  image.width = width;
  image.height = height;
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels));
  image.byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
  image.bitmap_unit = 32;
  image.bitmap_bit_order = image.byte_order;
  image.bitmap_pad = 32;
  image.depth = depth;
  image.bytes_per_line = stride;
  image.bits_per_pixel = 32;
  image.red_mask = 0xFF0000;
  image.green_mask = 0xFF00;
  image.blue_mask = 0xFF;
  XInitImage(&image);
  return image;
}

}  // namespace

void putLayered(Display* display, ::Window window, GC gc, int depth, const LayeredContentView* content, int width,
                int height, PutArea area) {
  bool hasPixels = content && content->width > 0 && content->height > 0;
  if (!hasPixels || content->width < width || content->height < height) {
    XSetForeground(display, gc, 0);
    XFillRectangle(display, window, gc, area.x, area.y, area.width, area.height);
  }
  if (!hasPixels) {
    return;
  }
  int left = std::max(area.x, 0);
  int top = std::max(area.y, 0);
  int right = std::min(area.x + area.width, content->width);
  int bottom = std::min(area.y + area.height, content->height);
  if (right <= left || bottom <= top) {
    return;
  }
  std::vector<std::uint32_t> fadedPixels;
  const std::uint32_t* pixels = content->pixels;
  int stride = content->stride;
  if (content->constantAlpha != 255) {
    fadedPixels = faded(*content);
    pixels = fadedPixels.data();
    stride = content->width * 4;
  }
  XImage image = imageOf(pixels, content->width, content->height, stride, depth);
  XPutImage(display, window, gc, &image, left, top, left, top, static_cast<unsigned>(right - left),
            static_cast<unsigned>(bottom - top));
}

}  // namespace gtk
}  // namespace platform

#include "hosts/gtk/LayerImage.h"

#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {
namespace gtk {

namespace {

// Every channel of a premultiplied pixel scales with the constant alpha:
// the content through a solid mask, as the desktop composes it.
std::vector<std::uint32_t> faded(const LayeredContentView& content) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(content.width) * content.height);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, content.width, content.height,
                                                    const_cast<std::uint32_t*>(content.pixels), content.stride);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, content.width, content.height, pixels.data(), content.width * 4);
  pixman_color_t alpha = {0, 0, 0, static_cast<std::uint16_t>(content.constantAlpha * 257)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&alpha);
  pixman_image_composite32(PIXMAN_OP_SRC, source, mask, target, 0, 0, 0, 0, 0, 0, content.width, content.height);
  pixman_image_unref(mask);
  pixman_image_unref(target);
  pixman_image_unref(source);
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

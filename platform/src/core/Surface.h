// The one pixel surface of the layer: premultiplied 32-bit ARGB (pixman's
// a8r8g8b8), shared by icons, DIB sections, layered window content and the
// composed screen, so that pixels pass between them without conversion.
#pragma once

#include <pixman.h>

#include <cstdint>
#include <memory>

#ifndef TESSALINE_LARGEST_SURFACE_PIXELS
#define TESSALINE_LARGEST_SURFACE_PIXELS (16384LL * 16384LL)
#endif

namespace platform {

class Surface {
 public:
  // The largest surface the layer makes: beyond it, making one fails (as a
  // DIB section that cannot be allocated does) instead of trying blindly.
  // The whole-program fuzzer builds the layer with a far smaller limit, so
  // that a picture or window of a few million pixels, which costs seconds
  // and gigabytes but reaches no new code, fails like one that is too large.
  static const std::int64_t kLargestPixelCount = TESSALINE_LARGEST_SURFACE_PIXELS;

  // A new surface of transparent black pixels. Rows are stored top row
  // first, or bottom row first when `bottomUp` (a DIB section with a
  // positive height). Null for a size below 1 or above the limit, or when
  // memory is short.
  static std::unique_ptr<Surface> create(int width, int height, bool bottomUp = false);

  // A surface over premultiplied pixels that something else allocated,
  // top row first, rows `stride` bytes apart (a multiple of 4). The surface
  // owns them from then on: `release(owner)` gives them back when it goes,
  // and also when making the surface fails (the result is then null).
  using Release = void (*)(void* owner);
  static std::unique_ptr<Surface> adopt(int width, int height, std::uint32_t* pixels, int stride, void* owner,
                                        Release release);

  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // The memory as its owner sees it: the first stored row first.
  void* bits() const { return memory_; }

  // The pixels as pixman composes them, top row first whatever the storage.
  pixman_image_t* image() const { return image_; }

  // One pixel, (0, 0) the top left, as premultiplied 0xAARRGGBB.
  std::uint32_t pixel(int x, int y) const;

 private:
  Surface(int width, int height, void* memory, pixman_image_t* image, void* owner, Release release);

  int width_;
  int height_;
  void* memory_;
  pixman_image_t* image_;
  void* owner_;
  Release release_;
};

}  // namespace platform

// The layer's pixel surface on pixman.
#include "core/Surface.h"

#include <cstdlib>

namespace platform {

namespace {

void freeMemory(void* memory) { std::free(memory); }

}  // namespace

std::unique_ptr<Surface> Surface::create(int width, int height, bool bottomUp) {
  if (width < 1 || height < 1 || static_cast<std::int64_t>(width) * height > kLargestPixelCount) {
    return nullptr;
  }
  std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::uint32_t* memory = static_cast<std::uint32_t*>(std::calloc(count, sizeof(std::uint32_t)));
  if (!memory) {
    return nullptr;
  }
  int stride = width * static_cast<int>(sizeof(std::uint32_t));
  // Bottom-up storage is seen top row first through a negative stride
  // from the last stored row.
  std::uint32_t* topRow = bottomUp ? memory + static_cast<std::size_t>(height - 1) * width : memory;
  pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, topRow, bottomUp ? -stride : stride);
  if (!image) {
    std::free(memory);
    return nullptr;
  }
  return std::unique_ptr<Surface>(new Surface(width, height, memory, image, memory, freeMemory));
}

std::unique_ptr<Surface> Surface::adopt(int width, int height, std::uint32_t* pixels, int stride, void* owner,
                                        Release release) {
  bool sizeFits = width >= 1 && height >= 1 && static_cast<std::int64_t>(width) * height <= kLargestPixelCount;
  pixman_image_t* image =
      sizeFits ? pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels, stride) : nullptr;
  if (!image) {
    release(owner);
    return nullptr;
  }
  return std::unique_ptr<Surface>(new Surface(width, height, pixels, image, owner, release));
}

Surface::Surface(int width, int height, void* memory, pixman_image_t* image, void* owner, Release release)
    : width_(width), height_(height), memory_(memory), image_(image), owner_(owner), release_(release) {}

Surface::~Surface() {
  pixman_image_unref(image_);
  release_(owner_);
}

std::uint32_t Surface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    return 0;
  }
  const std::uint8_t* row = reinterpret_cast<const std::uint8_t*>(pixman_image_get_data(image_)) +
                            static_cast<std::ptrdiff_t>(y) * pixman_image_get_stride(image_);
  return reinterpret_cast<const std::uint32_t*>(row)[x];
}

}  // namespace platform

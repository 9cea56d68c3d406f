#include "IconFile.h"

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

const std::size_t kDirectorySize = 6;
const std::size_t kEntrySize = 16;
const std::size_t kBitmapHeaderSize = 40;
const std::uint16_t kIconResourceType = 1;
const std::uint32_t kUncompressed = 0;  // BI_RGB

std::uint16_t readWord(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readDword(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A width or height byte of 0 stands for 256.
int entryDimension(unsigned char value) { return value == 0 ? 256 : value; }

std::size_t rowBytes(int width, int bitsPerPixel) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32) * 4;
}

bool isMasked(const unsigned char* maskRow, int x) { return (maskRow[x / 8] >> (7 - x % 8)) & 1; }

std::uint32_t readPixel(const unsigned char* colourRow, int x, int bitsPerPixel) {
  const unsigned char* pixel = colourRow + static_cast<std::size_t>(x) * (bitsPerPixel / 8);
  std::uint32_t blue = pixel[0];
  std::uint32_t green = pixel[1];
  std::uint32_t red = pixel[2];
  std::uint32_t alpha = bitsPerPixel == 32 ? pixel[3] : 0;
  return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

// Images without any alpha (24-bit ones, and old 32-bit ones) take their
// transparency from the AND mask.
void applyMaskWhereNoAlpha(desktop::IconImage& image, const std::vector<bool>& masked) {
  for (std::uint32_t pixel : image.pixels) {
    if ((pixel >> 24) != 0) {
      return;
    }
  }
  for (std::size_t index = 0; index < image.pixels.size(); ++index) {
    if (!masked[index]) {
      image.pixels[index] |= 0xFF000000u;
    }
  }
}

}  // namespace

bool readIconDirectory(const unsigned char* data, std::size_t size, std::vector<IconDirectoryEntry>& entries) {
  if (!data || size < kDirectorySize || readWord(data) != 0 || readWord(data + 2) != kIconResourceType) {
    return false;
  }
  std::size_t count = readWord(data + 4);
  if (count == 0 || size < kDirectorySize + count * kEntrySize) {
    return false;
  }
  for (std::size_t index = 0; index < count; ++index) {
    const unsigned char* entry = data + kDirectorySize + index * kEntrySize;
    IconDirectoryEntry read{entryDimension(entry[0]), entryDimension(entry[1]), readWord(entry + 6),
                            readDword(entry + 12), readDword(entry + 8)};
    if (read.offset > size || read.size > size - read.offset) {
      return false;
    }
    entries.push_back(read);
  }
  return true;
}

const IconDirectoryEntry& chooseIconEntry(const std::vector<IconDirectoryEntry>& entries, int width, int height) {
  const IconDirectoryEntry* best = &entries.front();
  auto distance = [width, height](const IconDirectoryEntry& entry) {
    return width == 0 && height == 0 ? 0 : std::abs(entry.width - width) + std::abs(entry.height - height);
  };
  for (const IconDirectoryEntry& entry : entries) {
    if (distance(entry) < distance(*best) ||
        (distance(entry) == distance(*best) && entry.bitsPerPixel > best->bitsPerPixel)) {
      best = &entry;
    }
  }
  return *best;
}

bool decodeIconImage(const unsigned char* data, const IconDirectoryEntry& entry, desktop::IconImage& image) {
  const unsigned char* header = data + entry.offset;
  if (entry.size < kBitmapHeaderSize || readDword(header) < kBitmapHeaderSize) {
    return false;  // also a PNG-compressed image, which starts with its own signature
  }
  std::int32_t width = static_cast<std::int32_t>(readDword(header + 4));
  std::int32_t doubledHeight = static_cast<std::int32_t>(readDword(header + 8));
  int bitsPerPixel = readWord(header + 14);
  if (width <= 0 || width > 256 || doubledHeight <= 0 || doubledHeight % 2 != 0 || doubledHeight > 512 ||
      readWord(header + 12) != 1 || readDword(header + 16) != kUncompressed ||
      (bitsPerPixel != 24 && bitsPerPixel != 32)) {
    return false;
  }
  int height = doubledHeight / 2;
  std::size_t colourRowBytes = rowBytes(width, bitsPerPixel);
  std::size_t maskRowBytes = rowBytes(width, 1);
  std::size_t pixelsOffset = readDword(header);
  if (pixelsOffset > entry.size || (colourRowBytes + maskRowBytes) * static_cast<std::size_t>(height) >
                                       entry.size - pixelsOffset) {
    return false;
  }
  const unsigned char* colour = header + pixelsOffset;
  const unsigned char* mask = colour + colourRowBytes * static_cast<std::size_t>(height);
  image.width = width;
  image.height = height;
  image.bitsPerPixel = bitsPerPixel;
  image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  std::vector<bool> masked(image.pixels.size());
  for (int y = 0; y < height; ++y) {
    int sourceRow = height - 1 - y;  // stored bottom row first
    for (int x = 0; x < width; ++x) {
      std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      image.pixels[index] = readPixel(colour + colourRowBytes * static_cast<std::size_t>(sourceRow), x, bitsPerPixel);
      masked[index] = isMasked(mask + maskRowBytes * static_cast<std::size_t>(sourceRow), x);
    }
  }
  applyMaskWhereNoAlpha(image, masked);
  return true;
}

desktop::IconImage scaleIconImage(const desktop::IconImage& image, int width, int height) {
  desktop::IconImage scaled{width, height, image.bitsPerPixel, {}};
  scaled.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    int sourceY = y * image.height / height;
    for (int x = 0; x < width; ++x) {
      int sourceX = x * image.width / width;
      scaled.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          image.pixels[static_cast<std::size_t>(sourceY) * static_cast<std::size_t>(image.width) +
                       static_cast<std::size_t>(sourceX)];
    }
  }
  return scaled;
}

}  // namespace platform

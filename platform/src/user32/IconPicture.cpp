// Icon groups decoded by gdk-pixbuf. The directory is read here only to
// choose the image, since Win32 takes the one that best fits the size asked
// for where gdk-pixbuf takes the largest, and to know its bits per pixel.
#include "user32/IconPicture.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const std::size_t kDirectorySize = 6;
const std::size_t kEntrySize = 16;
const std::size_t kEntryOffsetField = 12;
const std::size_t kBitCountField = 14;  // in a BITMAPINFOHEADER
const std::uint16_t kIconResourceType = 1;
const unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const int kPngBitsPerPixel = 32;

struct DirectoryEntry {
  std::size_t position;  // of the entry in the directory
  int width;
  int height;
  int bitsPerPixel;
  std::size_t offset;
  std::size_t size;
};

std::uint16_t readWord(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readDword(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A width or height byte of 0 stands for 256.
int entryDimension(unsigned char value) { return value == 0 ? 256 : value; }

bool isPng(const unsigned char* image, std::size_t size) {
  return size >= sizeof kPngSignature && std::memcmp(image, kPngSignature, sizeof kPngSignature) == 0;
}

// The entry's bit count, or when a writer left it 0, the image's own.
int bitsPerPixelOf(const unsigned char* entry, const unsigned char* image, std::size_t size) {
  if (int bitCount = readWord(entry + 6)) {
    return bitCount;
  }
  if (isPng(image, size)) {
    return kPngBitsPerPixel;
  }
  return size >= kBitCountField + 2 ? readWord(image + kBitCountField) : 0;
}

// False when the data is no icon directory or an entry points outside it.
bool readDirectory(const std::vector<unsigned char>& group, std::vector<DirectoryEntry>& entries) {
  const unsigned char* data = group.data();
  if (group.size() < kDirectorySize || readWord(data) != 0 || readWord(data + 2) != kIconResourceType) {
    return false;
  }
  std::size_t count = readWord(data + 4);
  if (count == 0 || group.size() < kDirectorySize + count * kEntrySize) {
    return false;
  }
  for (std::size_t index = 0; index < count; ++index) {
    std::size_t position = kDirectorySize + index * kEntrySize;
    const unsigned char* entry = data + position;
    std::size_t size = readDword(entry + 8);
    std::size_t offset = readDword(entry + kEntryOffsetField);
    if (offset > group.size() || size > group.size() - offset) {
      return false;
    }
    entries.push_back(DirectoryEntry{position, entryDimension(entry[0]), entryDimension(entry[1]),
                                     bitsPerPixelOf(entry, data + offset, size), offset, size});
  }
  return true;
}

// The closest size (any, for 0 by 0), then the most bits per pixel.
const DirectoryEntry& chooseEntry(const std::vector<DirectoryEntry>& entries, int width, int height) {
  const DirectoryEntry* best = &entries.front();
  auto distance = [width, height](const DirectoryEntry& entry) {
    return width == 0 && height == 0 ? 0 : std::abs(entry.width - width) + std::abs(entry.height - height);
  };
  for (const DirectoryEntry& entry : entries) {
    if (distance(entry) < distance(*best) ||
        (distance(entry) == distance(*best) && entry.bitsPerPixel > best->bitsPerPixel)) {
      best = &entry;
    }
  }
  return *best;
}

// An .ico file holding only the chosen image, for gdk-pixbuf's loader.
std::vector<unsigned char> singleImageIcon(const std::vector<unsigned char>& group, const DirectoryEntry& entry) {
  std::vector<unsigned char> file(group.begin(), group.begin() + kDirectorySize);
  file[4] = 1;
  file[5] = 0;
  file.insert(file.end(), group.begin() + static_cast<std::ptrdiff_t>(entry.position),
              group.begin() + static_cast<std::ptrdiff_t>(entry.position + kEntrySize));
  std::uint32_t offset = kDirectorySize + kEntrySize;
  for (std::size_t byte = 0; byte < 4; ++byte) {
    file[kDirectorySize + kEntryOffsetField + byte] = static_cast<unsigned char>(offset >> (8 * byte));
  }
  file.insert(file.end(), group.begin() + static_cast<std::ptrdiff_t>(entry.offset),
              group.begin() + static_cast<std::ptrdiff_t>(entry.offset + entry.size));
  return file;
}

void readPixels(const GdkPixbuf* pixbuf, platform::desktop::IconImage& image) {
  image.width = gdk_pixbuf_get_width(pixbuf);
  image.height = gdk_pixbuf_get_height(pixbuf);
  int channels = gdk_pixbuf_get_n_channels(pixbuf);
  bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
  int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
  const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
  image.pixels.clear();
  image.pixels.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const guint8* pixel =
          pixels + static_cast<std::ptrdiff_t>(y) * rowstride + static_cast<std::ptrdiff_t>(x) * channels;
      std::uint32_t alpha = hasAlpha ? pixel[3] : 0xFF;
      image.pixels.push_back((alpha << 24) | (static_cast<std::uint32_t>(pixel[0]) << 16) |
                             (static_cast<std::uint32_t>(pixel[1]) << 8) | pixel[2]);
    }
  }
}

// False for what the loader cannot decode, broken or truncated data too.
bool decode(const std::vector<unsigned char>& bytes, const char* type, platform::desktop::IconImage& image) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(type, nullptr);
  if (!loader) {
    return false;
  }
  bool written = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), nullptr);
  // The loader is closed whatever happened before, as it asks.
  bool closed = gdk_pixbuf_loader_close(loader, nullptr);
  const GdkPixbuf* pixbuf = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf) {
    readPixels(pixbuf, image);
  }
  g_object_unref(loader);
  return pixbuf != nullptr;
}

bool decodeEntry(const std::vector<unsigned char>& group, const DirectoryEntry& entry,
                 platform::desktop::IconImage& image) {
  const unsigned char* start = group.data() + entry.offset;
  if (isPng(start, entry.size)) {
    return decode(std::vector<unsigned char>(start, start + entry.size), "png", image);
  }
  return decode(singleImageIcon(group, entry), "ico", image);
}

std::uint32_t premultiplied(std::uint32_t argb) {
  std::uint32_t alpha = argb >> 24;
  auto channel = [argb, alpha](int shift) { return ((((argb >> shift) & 0xFF) * alpha + 127) / 255) << shift; };
  return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

std::uint32_t straight(std::uint32_t argb) {
  std::uint32_t alpha = argb >> 24;
  if (alpha == 0) {
    return 0;
  }
  auto channel = [argb, alpha](int shift) {
    return std::min<std::uint32_t>(255, (((argb >> shift) & 0xFF) * 255 + alpha / 2) / alpha) << shift;
  };
  return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

// Surfaces made here store their rows top first, one after the other.
std::unique_ptr<platform::Surface> premultipliedPicture(const platform::desktop::IconImage& image) {
  std::unique_ptr<platform::Surface> picture = platform::Surface::create(image.width, image.height);
  if (picture) {
    std::transform(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(picture->bits()),
                   premultiplied);
  }
  return picture;
}

std::vector<std::uint32_t> straightPixels(const platform::Surface& picture) {
  const std::uint32_t* first = static_cast<const std::uint32_t*>(picture.bits());
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(picture.width()) * picture.height());
  std::transform(pixels.begin(), pixels.end(), pixels.begin(), straight);
  return pixels;
}

// Bilinear, with the edge pixels extended so that the border does not fade.
std::unique_ptr<platform::Surface> scaledPicture(const platform::Surface& picture, int width, int height) {
  std::unique_ptr<platform::Surface> scaled = platform::Surface::create(width, height);
  if (!scaled) {
    return nullptr;
  }
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, pixman_double_to_fixed(static_cast<double>(picture.width()) / width),
                              pixman_double_to_fixed(static_cast<double>(picture.height()) / height));
  pixman_image_t* source = picture.image();
  pixman_image_set_transform(source, &transform);
  pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
  pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, scaled->image(), 0, 0, 0, 0, 0, 0, width, height);
  return scaled;
}

}  // namespace

namespace platform {

// The decoded image's straight pixels stay as they are when no scaling is
// needed: going through premultiplied values would round partly
// transparent colours.
std::unique_ptr<IconRecord> iconFromGroup(const std::vector<unsigned char>& group, int width, int height, bool shared) {
  std::vector<DirectoryEntry> entries;
  if (!readDirectory(group, entries)) {
    return nullptr;
  }
  const DirectoryEntry& entry = chooseEntry(entries, width, height);
  std::unique_ptr<IconRecord> icon(new IconRecord);
  icon->shared = shared;
  icon->image.bitsPerPixel = entry.bitsPerPixel;
  if (!decodeEntry(group, entry, icon->image) || !(icon->picture = premultipliedPicture(icon->image))) {
    return nullptr;
  }
  int finalWidth = width == 0 ? icon->image.width : width;
  int finalHeight = height == 0 ? icon->image.height : height;
  if (finalWidth != icon->image.width || finalHeight != icon->image.height) {
    if (!(icon->picture = scaledPicture(*icon->picture, finalWidth, finalHeight))) {
      return nullptr;
    }
    icon->image = desktop::IconImage{finalWidth, finalHeight, entry.bitsPerPixel, straightPixels(*icon->picture)};
  }
  return icon;
}

}  // namespace platform

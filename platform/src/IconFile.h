// Reading .ico data, the form in which the program's icon groups are linked
// in: an ICONDIR, its entries, and for each entry a BITMAPINFOHEADER, the
// colour pixels bottom row first and the 1-bit AND mask.
#pragma once

#include <platform/desktop.h>

#include <cstddef>
#include <vector>

namespace platform {

struct IconDirectoryEntry {
  int width;
  int height;
  int bitsPerPixel;
  std::size_t offset;
  std::size_t size;
};

// The entries of an icon file; false when the data is no well-formed icon
// directory or an entry points outside the data.
bool readIconDirectory(const unsigned char* data, std::size_t size, std::vector<IconDirectoryEntry>& entries);

// The entry that best fits the size asked for (0 for the image's own size):
// the closest size, then the most bits per pixel.
const IconDirectoryEntry& chooseIconEntry(const std::vector<IconDirectoryEntry>& entries, int width, int height);

// Decodes one entry's image (24 or 32 bits per pixel, uncompressed); false
// for anything else or for data too short for what the header announces.
bool decodeIconImage(const unsigned char* data, const IconDirectoryEntry& entry, desktop::IconImage& image);

// The image scaled to another size, nearest pixel.
desktop::IconImage scaleIconImage(const desktop::IconImage& image, int width, int height);

}  // namespace platform

// Picture files through gdk-pixbuf. A picture with alpha is turned into the
// layer's premultiplied pixels where gdk-pixbuf put it, and the surface
// keeps gdk-pixbuf's memory: start-up decodes every picture once, and a
// second buffer per picture would cost as much again in fresh pages. A
// Bitmap keeps the file's bytes, read just before it is decoded, to decode
// them again from memory when its pixels are needed after it let them go.
// The first decoding reads the file itself: gdk-pixbuf's incremental loader
// takes a PNG cut after its header for a picture, its whole-file reader
// does not.
#include "gdiplus/PictureDecoding.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "core/StraightColor.h"

namespace platform {

namespace {

// The size a PNG file's header gives, from its first 24 bytes; false for a
// file that does not start as a PNG. Most pictures are PNG, and this spares
// them gdk-pixbuf's own look at the header, which costs about a third of
// the decoding.
bool pngHeaderSize(const char* path, std::int64_t& width, std::int64_t& height) {
  static const unsigned char kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  unsigned char header[24] = {};
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    return false;
  }
  std::size_t length = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (length < sizeof header || std::memcmp(header, kStart, sizeof kStart) != 0) {
    return false;
  }
  auto bigEndian = [&header](int offset) {
    return std::int64_t{header[offset]} << 24 | header[offset + 1] << 16 | header[offset + 2] << 8 | header[offset + 3];
  };
  width = bigEndian(16);
  height = bigEndian(20);
  return true;
}

// gdk-pixbuf has loaders for more formats (SVG, XPM, TGA...) than GDI+.
// The size is the one the header gives, 0 when it gives none.
bool isFormatGdiplusReads(const char* path, std::int64_t& width, std::int64_t& height) {
  static const char* const kFormats[] = {"png", "jpeg", "gif", "bmp", "ico", "tiff"};
  int headerWidth = 0;
  int headerHeight = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path, &headerWidth, &headerHeight);
  if (!format) {
    return false;
  }
  width = headerWidth;
  height = headerHeight;
  gchar* name = gdk_pixbuf_format_get_name(format);
  bool known = false;
  for (const char* each : kFormats) {
    known = known || std::strcmp(name, each) == 0;
  }
  g_free(name);
  return known;
}

// One straight RGBA pixel, read as a little-endian word (the layer's
// machines are), as premultiplied 0xAARRGGBB.
std::uint32_t premultipliedWord(std::uint32_t bytes) {
  std::uint32_t alpha = bytes >> 24;
  return alpha << 24 | scaledByAlpha(bytes & 0xFF, alpha) << 16 | scaledByAlpha(bytes >> 8 & 0xFF, alpha) << 8 |
         scaledByAlpha(bytes >> 16 & 0xFF, alpha);
}

#if defined(__SSE2__)
// Two pixels as R, G, B, A words become B, G, R, A, each times alpha / 255
// rounded as scaledByAlpha does; alpha is multiplied by 255 and so stays.
// For a product p below 65536, (p + (p >> 8)) >> 8 is (p × 257) >> 16,
// the high half of one 16-bit multiplication.
__m128i premultipliedWords(__m128i pixels) {
  const __m128i alphaWords = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  __m128i factors = _mm_or_si128(_mm_andnot_si128(alphaWords, alpha), _mm_and_si128(alphaWords, _mm_set1_epi16(255)));
  __m128i swapped =
      _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 0, 1, 2)), _MM_SHUFFLE(3, 0, 1, 2));
  __m128i product = _mm_add_epi16(_mm_mullo_epi16(swapped, factors), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(product, _mm_set1_epi16(257));
}

// The row's pixels four at a time in 16-bit lanes, as far as whole fours
// go; returns how many pixels it did.
int premultiplyFours(guint8* row, int width) {
  const __m128i zero = _mm_setzero_si128();
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    __m128i* four = reinterpret_cast<__m128i*>(row + static_cast<std::ptrdiff_t>(x) * 4);
    __m128i bytes = _mm_loadu_si128(four);
    _mm_storeu_si128(four, _mm_packus_epi16(premultipliedWords(_mm_unpacklo_epi8(bytes, zero)),
                                            premultipliedWords(_mm_unpackhi_epi8(bytes, zero))));
  }
  return x;
}

// The same with AVX2, eight pixels at a time: its unpacking and packing
// work within each half of the register, so the pixels keep their order.
// Half the time of the fours where the processor has it.
__attribute__((target("avx2"))) __m256i premultipliedWords(__m256i pixels) {
  const __m256i alphaWords = _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
  __m256i alpha =
      _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  __m256i factors =
      _mm256_or_si256(_mm256_andnot_si256(alphaWords, alpha), _mm256_and_si256(alphaWords, _mm256_set1_epi16(255)));
  __m256i swapped =
      _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 0, 1, 2)), _MM_SHUFFLE(3, 0, 1, 2));
  __m256i product = _mm256_add_epi16(_mm256_mullo_epi16(swapped, factors), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(product, _mm256_set1_epi16(257));
}

__attribute__((target("avx2"))) int premultiplyEights(guint8* row, int width) {
  const __m256i zero = _mm256_setzero_si256();
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    __m256i* eight = reinterpret_cast<__m256i*>(row + static_cast<std::ptrdiff_t>(x) * 4);
    __m256i bytes = _mm256_loadu_si256(eight);
    _mm256_storeu_si256(eight, _mm256_packus_epi16(premultipliedWords(_mm256_unpacklo_epi8(bytes, zero)),
                                                   premultipliedWords(_mm256_unpackhi_epi8(bytes, zero))));
  }
  return x;
}

int premultiplyVectors(guint8* row, int width) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  int x = hasAvx2 ? premultiplyEights(row, width) : 0;
  return x + premultiplyFours(row + static_cast<std::ptrdiff_t>(x) * 4, width - x);
}
#else
int premultiplyVectors(guint8*, int) { return 0; }
#endif

void premultiplyRow(guint8* row, int width) {
  std::uint32_t* words = reinterpret_cast<std::uint32_t*>(row);
  for (int x = premultiplyVectors(row, width); x < width; ++x) {
    words[x] = premultipliedWord(words[x]);
  }
}

// Straight RGBA bytes become premultiplied 0xAARRGGBB in the same place:
// both are four bytes a pixel. With SSE2 the multiplications are 16-bit,
// eight channels at once; the compiler's own vectors of the word loop
// take 32-bit ones, which SSE2 has no single instruction for, and took
// about twice as long.
void premultiplyInPlace(guint8* pixels, int width, int height, int stride) {
  for (int y = 0; y < height; ++y) {
    premultiplyRow(pixels + static_cast<std::ptrdiff_t>(y) * stride, width);
  }
}

void releasePixbuf(void* pixbuf) { g_object_unref(pixbuf); }

// A picture with alpha: the surface takes gdk-pixbuf's pixels over.
std::unique_ptr<Surface> adoptPixels(GdkPixbuf* pixbuf) {
  int width = gdk_pixbuf_get_width(pixbuf);
  int height = gdk_pixbuf_get_height(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guint8* pixels = gdk_pixbuf_get_pixels(pixbuf);
  premultiplyInPlace(pixels, width, height, stride);
  return Surface::adopt(width, height, reinterpret_cast<std::uint32_t*>(pixels), stride, pixbuf, releasePixbuf);
}

// A picture without alpha has three bytes a pixel: copied, opaque.
std::unique_ptr<Surface> copyOpaquePixels(GdkPixbuf* pixbuf) {
  std::unique_ptr<Surface> picture = Surface::create(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
  if (picture) {
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < picture->height(); ++y) {
      const guint8* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      std::uint32_t* row = static_cast<std::uint32_t*>(picture->bits()) + static_cast<std::ptrdiff_t>(y) * picture->width();
      for (int x = 0; x < picture->width(); ++x, source += 3) {
        row[x] = 0xFF000000u | std::uint32_t{source[0]} << 16 | std::uint32_t{source[1]} << 8 | source[2];
      }
    }
  }
  g_object_unref(pixbuf);
  return picture;
}

// Bytes that decoded from their file once, decoded again from memory.
GdkPixbuf* pixbufFromBytes(const std::string& encoded, GError** error) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  bool written = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(encoded.data()), encoded.size(), error);
  bool closed = gdk_pixbuf_loader_close(loader, written ? error : nullptr);
  GdkPixbuf* pixbuf = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf) {
    g_object_ref(pixbuf);
  }
  g_object_unref(loader);
  return pixbuf;
}

std::unique_ptr<Surface> surfaceOf(GdkPixbuf* pixbuf) {
  bool fourBytesAPixel = gdk_pixbuf_get_has_alpha(pixbuf) && gdk_pixbuf_get_n_channels(pixbuf) == 4 &&
                         gdk_pixbuf_get_bits_per_sample(pixbuf) == 8;
  return fourBytesAPixel ? adoptPixels(pixbuf) : copyOpaquePixels(pixbuf);
}

}  // namespace

// Only a regular file can hold a picture: reading a FIFO or a device (a
// settings file may name /dev/zero) would wait, or never end.
bool isRegularFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

Gdiplus::Status decodePictureFile(const std::string& path, std::unique_ptr<Surface>& picture) {
  std::string encoded;
  return readPictureFile(path, encoded, picture);
}

Gdiplus::Status readPictureFile(const std::string& path, std::string& encoded, std::unique_ptr<Surface>& picture) {
  if (!isRegularFile(path)) {
    return Gdiplus::InvalidParameter;
  }
  std::int64_t width = 0;
  std::int64_t height = 0;
  if (!pngHeaderSize(path.c_str(), width, height) && !isFormatGdiplusReads(path.c_str(), width, height)) {
    return Gdiplus::InvalidParameter;
  }
  // A picture larger than any surface could never be shown: it is refused
  // before decoding, since a header of a few bytes can ask the decoder for
  // gigabytes of pixels, which it would fill before the size is checked.
  // Two sizes of 32 bits each can multiply past what 64 bits hold.
  if (width > 0 && height > 0 && width > Surface::kLargestPixelCount / height) {
    return Gdiplus::OutOfMemory;
  }
  gchar* contents = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr)) {
    return Gdiplus::InvalidParameter;
  }
  encoded.assign(contents, length);
  g_free(contents);
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (!pixbuf) {
    bool memoryShort = g_error_matches(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY);
    g_clear_error(&error);
    encoded.clear();
    return memoryShort ? Gdiplus::OutOfMemory : Gdiplus::InvalidParameter;
  }
  picture = surfaceOf(pixbuf);
  return picture ? Gdiplus::Ok : Gdiplus::OutOfMemory;
}

std::unique_ptr<Surface> decodePictureBytes(const std::string& encoded) {
  GdkPixbuf* pixbuf = pixbufFromBytes(encoded, nullptr);
  return pixbuf ? surfaceOf(pixbuf) : nullptr;
}

}  // namespace platform

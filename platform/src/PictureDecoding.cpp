// Picture files through gdk-pixbuf, converted once to the layer's surface.
#include "PictureDecoding.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <cstring>

#include "StraightColor.h"

namespace platform {

namespace {

// gdk-pixbuf has loaders for more formats (SVG, XPM, TGA...) than GDI+.
// The size is the one the header gives, 0 when it gives none.
bool isFormatGdiplusReads(const char* path, int& width, int& height) {
  static const char* const kFormats[] = {"png", "jpeg", "gif", "bmp", "ico", "tiff"};
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path, &width, &height);
  if (!format) {
    return false;
  }
  gchar* name = gdk_pixbuf_format_get_name(format);
  bool known = false;
  for (const char* each : kFormats) {
    known = known || std::strcmp(name, each) == 0;
  }
  g_free(name);
  return known;
}

// gdk-pixbuf's rows are straight RGB or RGBA bytes.
void copyPixels(GdkPixbuf* pixbuf, Surface& picture) {
  const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  int channels = gdk_pixbuf_get_n_channels(pixbuf);
  bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
  std::uint8_t* target = reinterpret_cast<std::uint8_t*>(pixman_image_get_data(picture.image()));
  int targetStride = pixman_image_get_stride(picture.image());
  for (int y = 0; y < picture.height(); ++y) {
    const guint8* source = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint32_t* row = reinterpret_cast<std::uint32_t*>(target + static_cast<std::ptrdiff_t>(y) * targetStride);
    for (int x = 0; x < picture.width(); ++x, source += channels) {
      row[x] = premultipliedPixel(StraightColor{source[0], source[1], source[2], hasAlpha ? source[3] : guint8{255}});
    }
  }
}

}  // namespace

Gdiplus::Status decodePictureFile(const std::string& path, std::unique_ptr<Surface>& picture) {
  int width = 0;
  int height = 0;
  if (!isFormatGdiplusReads(path.c_str(), width, height)) {
    return Gdiplus::InvalidParameter;
  }
  // A picture larger than any surface could never be shown: it is refused
  // before decoding, since a header of a few bytes can ask the decoder for
  // gigabytes of pixels, which it would fill before the size is checked.
  if (static_cast<std::int64_t>(width) * height > Surface::kLargestPixelCount) {
    return Gdiplus::OutOfMemory;
  }
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (!pixbuf) {
    bool memoryShort = g_error_matches(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY);
    g_clear_error(&error);
    return memoryShort ? Gdiplus::OutOfMemory : Gdiplus::InvalidParameter;
  }
  picture = Surface::create(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
  if (picture) {
    copyPixels(pixbuf, *picture);
  }
  g_object_unref(pixbuf);
  return picture ? Gdiplus::Ok : Gdiplus::OutOfMemory;
}

}  // namespace platform

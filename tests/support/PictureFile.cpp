// PNG files through gdk-pixbuf, the same library the layer decodes with.
#include "support/PictureFile.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <stdexcept>

namespace testsupport {

namespace {

// Saves the picture as a PNG file and releases it.
void savePng(GdkPixbuf* picture, const std::string& path) {
  GError* error = NULL;
  gboolean saved = gdk_pixbuf_save(picture, path.c_str(), "png", &error, NULL);
  g_object_unref(picture);
  if (!saved) {
    std::string reason = error ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("writePng: cannot write " + path + ": " + reason);
  }
}

}  // namespace

void writePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels) {
  if (width < 1 || height < 1 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw std::runtime_error("writePng: " + std::to_string(pixels.size()) + " pixels do not make " +
                             std::to_string(width) + " x " + std::to_string(height));
  }
  std::vector<guchar> bytes;
  bytes.reserve(pixels.size() * 4);
  for (std::uint32_t pixel : pixels) {
    bytes.push_back(static_cast<guchar>(pixel >> 16));
    bytes.push_back(static_cast<guchar>(pixel >> 8));
    bytes.push_back(static_cast<guchar>(pixel));
    bytes.push_back(static_cast<guchar>(pixel >> 24));
  }
  savePng(gdk_pixbuf_new_from_data(bytes.data(), GDK_COLORSPACE_RGB, TRUE, 8, width, height, width * 4, NULL, NULL),
          path);
}

// Filled by the library rather than pixel by pixel: tests write pictures of
// 8000 by 8000 pixels.
void writeSolidPng(const std::string& path, int width, int height, std::uint32_t pixel) {
  GdkPixbuf* picture = width >= 1 && height >= 1 ? gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height) : NULL;
  if (!picture) {
    throw std::runtime_error("writeSolidPng: no picture of " + std::to_string(width) + " x " + std::to_string(height));
  }
  gdk_pixbuf_fill(picture, (pixel << 8) | (pixel >> 24));  // 0xRRGGBBAA
  savePng(picture, path);
}

}  // namespace testsupport

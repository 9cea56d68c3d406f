// PNG files through gdk-pixbuf, the same library the layer decodes with.
#include "support/PictureFile.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <stdexcept>

namespace testsupport {

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
  GdkPixbuf* picture =
      gdk_pixbuf_new_from_data(bytes.data(), GDK_COLORSPACE_RGB, TRUE, 8, width, height, width * 4, NULL, NULL);
  GError* error = NULL;
  gboolean saved = gdk_pixbuf_save(picture, path.c_str(), "png", &error, NULL);
  g_object_unref(picture);
  if (!saved) {
    std::string reason = error ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("writePng: cannot write " + path + ": " + reason);
  }
}

void writeSolidPng(const std::string& path, int width, int height, std::uint32_t pixel) {
  writePng(path, width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, pixel));
}

}  // namespace testsupport

// Pictures read from files by gdk-pixbuf, for GDI+'s Bitmap.
#pragma once

#include <gdiplus.h>

#include <memory>
#include <string>

#include "core/Surface.h"

namespace platform {

// Decodes the picture file at the path (UTF-8) into a new premultiplied
// surface: PNG, JPEG, GIF (its first frame), BMP, ICO or TIFF, the formats
// GDI+ reads. InvalidParameter, as GDI+ answers, for a file that is
// missing, a directory, in another format, or damaged; OutOfMemory when
// the pixels do not fit in memory or the header gives a size larger than a
// surface may be, damaged or not.
Gdiplus::Status decodePictureFile(const std::string& path, std::unique_ptr<Surface>& picture);

// The same, and `encoded` keeps the file's bytes, which were decoded: a
// Bitmap keeps them to decode again what it let go.
Gdiplus::Status readPictureFile(const std::string& path, std::string& encoded, std::unique_ptr<Surface>& picture);

// Bytes readPictureFile kept, decoded again; null when memory is short.
std::unique_ptr<Surface> decodePictureBytes(const std::string& encoded);

}  // namespace platform

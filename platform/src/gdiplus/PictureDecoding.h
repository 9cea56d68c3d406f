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

}  // namespace platform

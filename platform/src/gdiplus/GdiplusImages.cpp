// GDI+ pictures loaded from files: made, measured and disposed of.
//
// Windows answers InvalidParameter for every file it cannot make a picture
// of (missing, a directory, not a picture, damaged), not FileNotFound or
// UnknownImageFormat; so does the layer. Without GDI+ started, every call
// fails with GdiplusNotInitialized before it looks at its arguments.
#include <gdiplus.h>

#include <string>

#include "gdiplus/GdiplusObjects.h"
#include "gdiplus/PictureDecoding.h"
#include "core/Text.h"

namespace {

using namespace Gdiplus;

std::string utf8Path(const WCHAR* filename) {
  std::u16string wide;
  for (const WCHAR* each = filename; *each; ++each) {
    wide.push_back(*each);
  }
  return platform::utf8FromUtf16(wide);
}

GpStatus createBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!filename || !bitmap) {
    return InvalidParameter;
  }
  *bitmap = NULL;
  std::string encoded;
  std::unique_ptr<platform::Surface> picture;
  Status status = platform::readPictureFile(utf8Path(filename), encoded, picture);
  if (status == Ok) {
    *bitmap = platform::addGdiplusObject<GpBitmap>(
        std::make_unique<platform::GdiplusImage>(std::move(encoded), std::move(picture)));
  }
  return status;
}

// The image's record, or the status of a call that cannot reach it.
Status findPicture(GpImage* image, const void* result, platform::GdiplusImage*& picture) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  platform::GdiplusImage* record = platform::findGdiplusObject<platform::GdiplusImage>(image);
  if (!record || !result) {
    return InvalidParameter;
  }
  picture = record;
  return Ok;
}

}  // namespace

namespace Gdiplus {
namespace DllExports {

GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap) {
  return createBitmapFromFile(filename, bitmap);
}

// The layer manages no colours: the embedded profile changes nothing here.
GpStatus WINGDIPAPI GdipCreateBitmapFromFileICM(GDIPCONST WCHAR* filename, GpBitmap** bitmap) {
  return createBitmapFromFile(filename, bitmap);
}

GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width) {
  platform::GdiplusImage* picture = nullptr;
  Status status = findPicture(image, width, picture);
  if (status == Ok) {
    *width = static_cast<UINT>(picture->width);
  }
  return status;
}

GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height) {
  platform::GdiplusImage* picture = nullptr;
  Status status = findPicture(image, height, picture);
  if (status == Ok) {
    *height = static_cast<UINT>(picture->height);
  }
  return status;
}

GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!platform::findGdiplusObject<platform::GdiplusImage>(image)) {
    return InvalidParameter;
  }
  platform::theDesktop().handles.remove(image);
  return Ok;
}

}  // namespace DllExports
}  // namespace Gdiplus

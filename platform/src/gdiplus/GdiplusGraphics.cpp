// GDI+ graphics on a device context, and drawing pictures with them.
//
// The DC's pixels are the surface the layer's GDI gives for it
// (surfaceOfDC). A DC that has none, or a null one, cannot carry graphics:
// Windows answers OutOfMemory for a null DC, and so does the layer for both.
#include <gdiplus.h>

#include "gdi32/Gdi.h"
#include "gdiplus/GdiplusObjects.h"
#include "gdiplus/PictureDrawing.h"

namespace {

using namespace Gdiplus;

// The colours the attributes ask for pictures; null for none.
const platform::ColorAdjustment* pictureAdjustment(const platform::GdiplusImageAttributes* attributes) {
  if (!attributes) {
    return nullptr;
  }
  for (ColorAdjustType type : {ColorAdjustTypeBitmap, ColorAdjustTypeDefault}) {
    if (attributes->adjustments[type].enabled) {
      return &attributes->adjustments[type].colors;
    }
  }
  return nullptr;
}

}  // namespace

namespace Gdiplus {
namespace DllExports {

GpStatus WINGDIPAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!graphics) {
    return InvalidParameter;
  }
  if (!platform::surfaceOfDC(dc)) {
    return OutOfMemory;
  }
  *graphics = platform::addGdiplusObject<GpGraphics>(std::make_unique<platform::GdiplusGraphics>(dc));
  return Ok;
}

GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!platform::findGdiplusObject<platform::GdiplusGraphics>(graphics)) {
    return InvalidParameter;
  }
  platform::theDesktop().handles.remove(graphics);
  return Ok;
}

// Only pixels are source units here, as the program draws; the callback is
// asked once, before drawing, whether to stop. A DC that lost its surface
// since the graphics were made is a failed Win32 call to GDI+.
GpStatus WINGDIPAPI GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                                           INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                                           GpUnit srcUnit, GDIPCONST GpImageAttributes* imageAttributes,
                                           DrawImageAbort callback, VOID* callbackData) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  platform::GdiplusGraphics* graphicsRecord = platform::findGdiplusObject<platform::GdiplusGraphics>(graphics);
  platform::GdiplusImage* imageRecord = platform::findGdiplusObject<platform::GdiplusImage>(image);
  platform::GdiplusImageAttributes* attributes =
      platform::findGdiplusObject<platform::GdiplusImageAttributes>(imageAttributes);
  if (!graphicsRecord || !imageRecord || (imageAttributes && !attributes)) {
    return InvalidParameter;
  }
  if (srcUnit != UnitPixel) {
    return NotImplemented;
  }
  if (callback && callback(callbackData)) {
    return Aborted;
  }
  platform::Surface* destination = platform::surfaceOfDC(graphicsRecord->dc);
  if (!destination) {
    return Win32Error;
  }
  const platform::Surface* pixels = imageRecord->pixels();
  if (!pixels) {
    return OutOfMemory;
  }
  Status status = platform::drawPicture(*destination, Rect(dstx, dsty, dstwidth, dstheight), *pixels,
                                        Rect(srcx, srcy, srcwidth, srcheight), pictureAdjustment(attributes));
  imageRecord->drawn();
  return status;
}

}  // namespace DllExports
}  // namespace Gdiplus

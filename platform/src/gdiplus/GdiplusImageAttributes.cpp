// GDI+ image attributes: the colour matrix that pictures are drawn through.
#include <gdiplus.h>

#include "gdiplus/GdiplusObjects.h"

namespace Gdiplus {
namespace DllExports {

GpStatus WINGDIPAPI GdipCreateImageAttributes(GpImageAttributes** imageAttributes) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!imageAttributes) {
    return InvalidParameter;
  }
  *imageAttributes =
      platform::addGdiplusObject<GpImageAttributes>(std::make_unique<platform::GdiplusImageAttributes>());
  return Ok;
}

// The gray matrix is needed, and kept, only with ColorMatrixFlagsAltGray.
// Disabling keeps nothing and needs no matrix.
GpStatus WINGDIPAPI GdipSetImageAttributesColorMatrix(GpImageAttributes* imageAttributes, ColorAdjustType type,
                                                      BOOL enableFlag, GDIPCONST ColorMatrix* colorMatrix,
                                                      GDIPCONST ColorMatrix* grayMatrix, ColorMatrixFlags flags) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  platform::GdiplusImageAttributes* record =
      platform::findGdiplusObject<platform::GdiplusImageAttributes>(imageAttributes);
  if (!record || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount ||
      flags < ColorMatrixFlagsDefault || flags > ColorMatrixFlagsAltGray) {
    return InvalidParameter;
  }
  platform::GdiplusImageAttributes::Adjustment& adjustment = record->adjustments[type];
  if (!enableFlag) {
    adjustment.enabled = false;
    return Ok;
  }
  if (!colorMatrix || (flags == ColorMatrixFlagsAltGray && !grayMatrix)) {
    return InvalidParameter;
  }
  adjustment.enabled = true;
  adjustment.colors.matrix = *colorMatrix;
  adjustment.colors.grayMatrix = flags == ColorMatrixFlagsAltGray ? *grayMatrix : *colorMatrix;
  adjustment.colors.flags = flags;
  return Ok;
}

GpStatus WINGDIPAPI GdipDisposeImageAttributes(GpImageAttributes* imageAttributes) {
  if (!platform::gdiplusStarted()) {
    return GdiplusNotInitialized;
  }
  if (!platform::findGdiplusObject<platform::GdiplusImageAttributes>(imageAttributes)) {
    return InvalidParameter;
  }
  platform::theDesktop().handles.remove(imageAttributes);
  return Ok;
}

}  // namespace DllExports
}  // namespace Gdiplus

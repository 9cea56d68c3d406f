// Drawing a picture into a surface as GDI+'s DrawImage does: a source
// rectangle of the picture scaled bilinearly into a destination rectangle,
// its colours adjusted by a colour matrix, composed over what is there.
//
// Sampling follows GDI+'s default pixel offset: the centre of destination
// pixel x is at x, which maps to source position
// srcX + (x - destX) * srcWidth / destWidth, with the centre of source pixel i
// at i. So a picture drawn at its own size lands pixel for pixel, and a
// stretched one fades to transparent over its last half source pixel on the
// right and bottom, where the samples reach beyond the picture.
#pragma once

#include <gdiplus.h>

#include <memory>

#include "core/Surface.h"

namespace platform {

// What an ImageAttributes asks for pictures: a colour matrix over straight
// colours, with gray pixels (r = g = b) left alone (ColorMatrixFlagsSkipGrays)
// or given the gray matrix (ColorMatrixFlagsAltGray).
struct ColorAdjustment {
  Gdiplus::ColorMatrix matrix;
  Gdiplus::ColorMatrix grayMatrix;
  Gdiplus::ColorMatrixFlags flags;
};

// Draws the picture's source rectangle into the destination rectangle of
// the surface (both in pixels; a negative width or height mirrors), with the
// adjustment when there is one. Nothing is drawn for an empty rectangle, or
// where the source lies outside the picture. OutOfMemory when a working copy
// cannot be made, ValueOverflow when the scale is beyond what the pixel
// arithmetic can express (above 32767 source pixels a destination pixel).
Gdiplus::Status drawPicture(Surface& destination, const Gdiplus::Rect& destinationRect, const Surface& picture,
                            const Gdiplus::Rect& sourceRect, const ColorAdjustment* adjustment);

// Whether the adjustment leaves every colour as it is.
bool isIdentity(const ColorAdjustment& adjustment);

// Whether the adjustment only scales red, green and blue by factors from 0
// to 1: a diagonal matrix with alpha kept and nothing added. On
// premultiplied pixels that is the same per-channel multiply, with no need
// to undo the premultiplication, and drawPicture does it in pixman.
bool isChannelTint(const ColorAdjustment& adjustment);

// Any adjustment, pixel by pixel on straight colours, each result clamped
// to 0..255 and premultiplied again: a copy of the picture's pixels in
// `area` (which lies within the picture), adjusted; null when memory is
// short.
std::unique_ptr<Surface> matrixAdjustedCopy(const Surface& picture, const Gdiplus::Rect& area,
                                            const ColorAdjustment& adjustment);

}  // namespace platform

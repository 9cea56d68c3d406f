// The desktop's GDI+ objects: pictures, graphics and image attributes.
//
// They live in the handle table, and the flat API hands out their handle
// values as the objects' addresses: a reset frees them with the rest of the
// desktop, tests count them by kind, and an address that was disposed of
// (or comes from before a reset) is simply not found. Where Windows would
// crash on such an address, the layer answers InvalidParameter.
#pragma once

#include <gdiplus.h>

#include <memory>
#include <string>

#include "core/Desktop.h"
#include "gdiplus/PictureDecoding.h"
#include "gdiplus/PictureDrawing.h"
#include "core/Surface.h"

namespace platform {

// A picture keeps its file's bytes, and its decoded pixels only until it
// is first drawn: a program draws a picture into a layer once and keeps the
// Bitmap as long as the window, and the layer holds what shows. A later
// draw decodes the bytes again, and keeps those pixels.
struct GdiplusImage : HandleObject {
  static const HandleKind kKind = HandleKind::gdiplusImage;

  GdiplusImage(std::string encoded, std::unique_ptr<Surface> decoded)
      : encoded(std::move(encoded)), width(decoded->width()), height(decoded->height()), decoded(std::move(decoded)) {}

  // The pixels, decoded again when they were let go; null when memory is short.
  const Surface* pixels() {
    if (!decoded) {
      decoded = decodePictureBytes(encoded);
    }
    return decoded.get();
  }

  // After a draw: the pixels of the first go.
  void drawn() {
    if (!drawnBefore) {
      decoded.reset();
    }
    drawnBefore = true;
  }

  std::string encoded;
  int width;
  int height;
  std::unique_ptr<Surface> decoded;
  bool drawnBefore = false;
};

struct GdiplusGraphics : HandleObject {
  static const HandleKind kKind = HandleKind::gdiplusGraphics;

  explicit GdiplusGraphics(HDC dc) : dc(dc) {}

  // Drawn into through the surface the DC has at the time of drawing, so a
  // bitmap selected later is the one drawn on, as in GDI.
  HDC dc;
};

struct GdiplusImageAttributes : HandleObject {
  static const HandleKind kKind = HandleKind::gdiplusImageAttributes;

  struct Adjustment {
    bool enabled = false;
    ColorAdjustment colors;
  };

  // By ColorAdjustType; pictures use the bitmap one when it is enabled,
  // otherwise the default one.
  Adjustment adjustments[Gdiplus::ColorAdjustTypeCount];
};

// Whether GDI+ is started; every call but GdipFree fails without it.
bool gdiplusStarted();

// Adds the object to the desktop and gives the address the flat API hands
// out for it.
template <typename Object, typename Record>
Object* addGdiplusObject(std::unique_ptr<Record> record) {
  return static_cast<Object*>(theDesktop().handles.add(Record::kKind, std::move(record)));
}

// The record behind an address the flat API handed out; null for any other.
template <typename Record>
Record* findGdiplusObject(const void* object) {
  return theDesktop().handles.find<Record>(object);
}

}  // namespace platform

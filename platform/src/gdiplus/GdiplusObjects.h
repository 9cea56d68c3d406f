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

#include "core/Desktop.h"
#include "gdiplus/PictureDrawing.h"
#include "core/Surface.h"

namespace platform {

struct GdiplusImage : HandleObject {
  static const HandleKind kKind = HandleKind::gdiplusImage;

  explicit GdiplusImage(std::unique_ptr<Surface> picture) : picture(std::move(picture)) {}

  std::unique_ptr<Surface> picture;  // decoded once, when the file was loaded
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

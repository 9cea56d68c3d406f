// The records behind HDC and HBITMAP, shared by the GDI calls.
#pragma once

#include "core/Desktop.h"
#include "gdi32/Gdi.h"

namespace platform {

// A DIB section. DeleteObject while it is selected into a DC only marks
// it: it goes when it leaves the DC, as in Win32.
struct Bitmap : HandleObject {
  static const HandleKind kKind = HandleKind::bitmap;

  explicit Bitmap(std::unique_ptr<Surface> surface) : surface(std::move(surface)) {}

  std::unique_ptr<Surface> surface;
  HDC selectedInto = NULL;
  bool deleteWhenDeselected = false;
};

enum class DeviceKind { memory, window, screen };

// A device context and the objects selected into it: the bitmap (of a
// memory DC; the stock bitmap at first) and the stock brush, pen and font.
struct DeviceContext : HandleObject {
  static const HandleKind kKind = HandleKind::deviceContext;

  DeviceKind kind = DeviceKind::memory;
  HWND window = NULL;  // the window of a window DC
  HBITMAP bitmap = NULL;
  HGDIOBJ brush = NULL;
  HGDIOBJ pen = NULL;
  HGDIOBJ font = NULL;
};

DeviceContext* findDeviceContext(HDC dc);

}  // namespace platform

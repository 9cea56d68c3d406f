// Reading and copying pixels through device contexts: BitBlt and GetPixel.
#include "gdi32/GdiObjects.h"

#include "core/Screen.h"
#include "gdi32/StockObjects.h"

#include <algorithm>

namespace {

struct Area {
  int x;
  int y;
  int width;
  int height;
};

// Shrinks the area so that it lies within a surface's bounds, moving the
// other side's origin along.
void clip(Area& area, int width, int height, POINT& other) {
  int left = std::max(area.x, 0);
  int top = std::max(area.y, 0);
  other.x += left - area.x;
  other.y += top - area.y;
  area.width = std::min(area.x + area.width, width) - left;
  area.height = std::min(area.y + area.height, height) - top;
  area.x = left;
  area.y = top;
}

// Copies the pixels that both surfaces have; the rest of the target stays.
void copyPixels(const platform::Surface& source, POINT sourceOrigin, const platform::Surface& target, Area area) {
  clip(area, target.width(), target.height(), sourceOrigin);
  Area sourceArea{sourceOrigin.x, sourceOrigin.y, area.width, area.height};
  POINT targetOrigin{area.x, area.y};
  clip(sourceArea, source.width(), source.height(), targetOrigin);
  if (sourceArea.width <= 0 || sourceArea.height <= 0) {
    return;
  }
  pixman_image_composite32(PIXMAN_OP_SRC, source.image(), nullptr, target.image(), sourceArea.x, sourceArea.y, 0, 0,
                           targetOrigin.x, targetOrigin.y, sourceArea.width, sourceArea.height);
}

// A 32-bit DIB's bytes are read as they are, alpha left out.
COLORREF colourOf(std::uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

bool inside(const platform::Surface& surface, int x, int y) {
  return x >= 0 && y >= 0 && x < surface.width() && y < surface.height();
}

COLORREF screenPixel(int x, int y) {
  std::unique_ptr<platform::Surface> pixel = platform::Surface::create(1, 1);
  SIZE screen = platform::screenSize();
  if (!pixel || x < 0 || y < 0 || x >= screen.cx || y >= screen.cy) {
    return CLR_INVALID;
  }
  platform::composeScreen(*pixel, POINT{x, y});
  return colourOf(pixel->pixel(0, 0));
}

}  // namespace

extern "C" {

// Only SRCCOPY (with or without CAPTUREBLT) is modelled. What is copied to
// a window's or the screen's DC shows nowhere: the screen shows each
// layered window's content, which only UpdateLayeredWindow changes, as on
// Windows, and the model paints no other window.
BOOL WINAPI BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                   DWORD rop) {
  platform::DeviceContext* target = platform::findDeviceContext(destination);
  if (!target || !platform::findDeviceContext(source)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if ((rop & ~static_cast<DWORD>(CAPTUREBLT)) != SRCCOPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  platform::Surface* to = target->kind == platform::DeviceKind::memory ? platform::surfaceOfDC(destination) : nullptr;
  platform::Surface* from = to ? platform::surfaceOfDC(source) : nullptr;
  if (from) {
    copyPixels(*from, POINT{sourceX, sourceY}, *to, Area{x, y, width, height});
  }
  return TRUE;
}

// The screen DC reads the composed screen; a memory DC its bitmap (the
// stock bitmap has one black pixel); a window DC the window's layered
// content.
COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
  platform::DeviceContext* record = platform::findDeviceContext(dc);
  if (!record) {
    return CLR_INVALID;
  }
  if (record->kind == platform::DeviceKind::screen) {
    return screenPixel(x, y);
  }
  if (record->bitmap == platform::stockBitmap()) {
    return x == 0 && y == 0 ? RGB(0, 0, 0) : CLR_INVALID;
  }
  platform::Surface* surface = platform::surfaceOfDC(dc);
  return surface && inside(*surface, x, y) ? colourOf(surface->pixel(x, y)) : CLR_INVALID;
}

}  // extern "C"

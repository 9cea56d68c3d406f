// Device contexts and the objects selected into them: GetDC, ReleaseDC,
// CreateCompatibleDC, DeleteDC, SelectObject, DeleteObject.
#include "gdi32/GdiObjects.h"

#include "core/Screen.h"
#include "gdi32/StockObjects.h"

namespace {

HDC addDeviceContext(platform::DeviceKind kind, HWND window) {
  std::unique_ptr<platform::DeviceContext> record(new platform::DeviceContext);
  record->kind = kind;
  record->window = window;
  record->bitmap = kind == platform::DeviceKind::memory ? platform::stockBitmap() : NULL;
  record->brush = GetStockObject(WHITE_BRUSH);
  record->pen = GetStockObject(BLACK_PEN);
  record->font = GetStockObject(SYSTEM_FONT);
  return static_cast<HDC>(platform::theDesktop().handles.add(platform::HandleKind::deviceContext, std::move(record)));
}

platform::Bitmap* findBitmap(HGDIOBJ bitmap) { return platform::theDesktop().handles.find<platform::Bitmap>(bitmap); }

// A bitmap leaves its DC; one deleted while it was selected goes now.
void deselectBitmap(HBITMAP bitmap) {
  platform::Bitmap* record = findBitmap(bitmap);
  if (!record) {
    return;  // the stock bitmap
  }
  record->selectedInto = NULL;
  if (record->deleteWhenDeselected) {
    platform::theDesktop().handles.remove(bitmap);
  }
}

// Only a memory DC takes a bitmap, and a bitmap is in one DC at a time.
HGDIOBJ selectBitmap(platform::DeviceContext& dc, HDC handle, HBITMAP bitmap) {
  platform::Bitmap* record = findBitmap(bitmap);
  if (dc.kind != platform::DeviceKind::memory || (record && record->selectedInto && record->selectedInto != handle)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  HBITMAP previous = dc.bitmap;
  if (previous == bitmap) {
    return previous;
  }
  if (record) {
    record->selectedInto = handle;
  }
  dc.bitmap = bitmap;
  deselectBitmap(previous);
  return previous;
}

HGDIOBJ swapSelected(HGDIOBJ& slot, HGDIOBJ object) {
  HGDIOBJ previous = slot;
  slot = object;
  return previous;
}

}  // namespace

namespace platform {

DeviceContext* findDeviceContext(HDC dc) { return theDesktop().handles.find<DeviceContext>(dc); }

Surface* surfaceOfDC(HDC dc) {
  DeviceContext* record = findDeviceContext(dc);
  if (!record) {
    return nullptr;
  }
  switch (record->kind) {
    case DeviceKind::memory: {
      Bitmap* bitmap = findBitmap(record->bitmap);
      return bitmap ? bitmap->surface.get() : nullptr;
    }
    case DeviceKind::window: {
      Window* window = findWindowRecord(record->window);
      return window ? window->layeredSurface.get() : nullptr;
    }
    case DeviceKind::screen:
      return composedScreen();
  }
  return nullptr;
}

namespace desktop {

std::size_t deviceContextCount() { return theDesktop().handles.count(HandleKind::deviceContext); }

std::size_t bitmapCount() { return theDesktop().handles.count(HandleKind::bitmap); }

}  // namespace desktop

}  // namespace platform

extern "C" {

// A null window asks for the screen's DC.
HDC WINAPI GetDC(HWND window) {
  if (!window) {
    return addDeviceContext(platform::DeviceKind::screen, NULL);
  }
  if (!platform::findWindowRecord(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return NULL;
  }
  return addDeviceContext(platform::DeviceKind::window, window);
}

// Only what GetDC gave is released; the window argument is not checked.
int WINAPI ReleaseDC(HWND, HDC dc) {
  platform::DeviceContext* record = platform::findDeviceContext(dc);
  if (!record || record->kind == platform::DeviceKind::memory) {
    return 0;
  }
  platform::theDesktop().handles.remove(dc);
  return 1;
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
  if (dc && !platform::findDeviceContext(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return NULL;
  }
  return addDeviceContext(platform::DeviceKind::memory, NULL);
}

// A DC from GetDC should be released, but deleting it ends it too, as on
// Wine.
BOOL WINAPI DeleteDC(HDC dc) {
  platform::DeviceContext* record = platform::findDeviceContext(dc);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  HBITMAP bitmap = record->bitmap;
  platform::theDesktop().handles.remove(dc);
  deselectBitmap(bitmap);
  return TRUE;
}

// Gives the object of the same kind that was selected before. Palettes are
// selected with SelectPalette, and windows, icons or menus are no GDI
// objects: those fail.
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  platform::DeviceContext* record = platform::findDeviceContext(dc);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return NULL;
  }
  if (findBitmap(object)) {
    return selectBitmap(*record, dc, static_cast<HBITMAP>(object));
  }
  switch (platform::stockObjectKind(object)) {
    case platform::StockObjectKind::bitmap:
      return selectBitmap(*record, dc, static_cast<HBITMAP>(object));
    case platform::StockObjectKind::brush:
      return swapSelected(record->brush, object);
    case platform::StockObjectKind::pen:
      return swapSelected(record->pen, object);
    case platform::StockObjectKind::font:
      return swapSelected(record->font, object);
    case platform::StockObjectKind::palette:
    case platform::StockObjectKind::none:
      break;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return NULL;
}

// Stock objects stay. A bitmap selected into a DC is deleted once it leaves
// it, and the call succeeds, as on Windows (whatever its documentation
// says). A DC is deleted as DeleteDC does.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (platform::stockObjectKind(object) != platform::StockObjectKind::none) {
    return TRUE;
  }
  if (platform::findDeviceContext(static_cast<HDC>(object))) {
    return DeleteDC(static_cast<HDC>(object));
  }
  platform::Bitmap* bitmap = findBitmap(object);
  if (!bitmap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (bitmap->selectedInto) {
    bitmap->deleteWhenDeselected = true;
  } else {
    platform::theDesktop().handles.remove(object);
  }
  return TRUE;
}

}  // extern "C"

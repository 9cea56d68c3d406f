// gdi32's stock objects: fixed handles that exist for the whole run.
#include "gdi32/StockObjects.h"

#include <cstdint>

namespace {

const std::uintptr_t kStockObjectBase = 0x7FFE0000;
const int kLastStockObject = 19;  // DC_PEN
const int kUnusedStockIndex = 9;  // no stock object has this index
// Beyond what GetStockObject hands out, where Win32 keeps its default bitmap.
const int kStockBitmapIndex = 21;

HGDIOBJ stockHandle(int index) {
  return reinterpret_cast<HGDIOBJ>(kStockObjectBase + 4u * static_cast<std::uintptr_t>(index));
}

platform::StockObjectKind kindOfIndex(int index) {
  if (index == DEFAULT_PALETTE) {
    return platform::StockObjectKind::palette;
  }
  if (index <= NULL_BRUSH || index == DC_BRUSH) {
    return platform::StockObjectKind::brush;
  }
  if (index <= NULL_PEN || index == DC_PEN) {
    return platform::StockObjectKind::pen;
  }
  return index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT ? platform::StockObjectKind::font
                                                              : platform::StockObjectKind::none;
}

}  // namespace

namespace platform {

StockObjectKind stockObjectKind(HGDIOBJ object) {
  if (object == stockBitmap()) {
    return StockObjectKind::bitmap;
  }
  std::uintptr_t value = reinterpret_cast<std::uintptr_t>(object);
  if (value < kStockObjectBase || (value - kStockObjectBase) % 4 != 0) {
    return StockObjectKind::none;
  }
  std::uintptr_t index = (value - kStockObjectBase) / 4;
  return index > static_cast<std::uintptr_t>(kLastStockObject) ? StockObjectKind::none
                                                               : kindOfIndex(static_cast<int>(index));
}

HBITMAP stockBitmap() { return static_cast<HBITMAP>(stockHandle(kStockBitmapIndex)); }

}  // namespace platform

extern "C" HGDIOBJ WINAPI GetStockObject(int object) {
  if (object < 0 || object > kLastStockObject || object == kUnusedStockIndex) {
    return NULL;
  }
  return stockHandle(object);
}

// gdi32's stock objects: fixed handles that exist for the whole run.
#include "Desktop.h"

namespace {

const std::uintptr_t kStockObjectBase = 0x7FFE0000;
const int kLastStockObject = 19;  // DC_PEN
const int kUnusedStockIndex = 9;  // no stock object has this index

}  // namespace

extern "C" HGDIOBJ WINAPI GetStockObject(int object) {
  if (object < 0 || object > kLastStockObject || object == kUnusedStockIndex) {
    return NULL;
  }
  return reinterpret_cast<HGDIOBJ>(kStockObjectBase + 4u * static_cast<std::uintptr_t>(object));
}

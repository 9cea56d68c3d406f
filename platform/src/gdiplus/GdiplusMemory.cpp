// GDI+'s memory, which its objects live in. Without GDI+ started there is
// none to give, as on Windows.
#include <gdiplus.h>

#include <cstdlib>

#include "gdiplus/GdiplusObjects.h"

namespace Gdiplus {
namespace DllExports {

VOID* WINGDIPAPI GdipAlloc(size_t size) {
  if (!platform::gdiplusStarted()) {
    return NULL;
  }
  return std::malloc(size);
}

VOID WINGDIPAPI GdipFree(VOID* memory) { std::free(memory); }

}  // namespace DllExports
}  // namespace Gdiplus

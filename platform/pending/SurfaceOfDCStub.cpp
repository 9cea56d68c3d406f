// TEMPORARY, until the layer's device contexts (src/Gdi.h and its
// implementation) are merged: a stand-in for surfaceOfDC so that GDI+
// links. It knows no DC, so graphics cannot be made on any. CMake leaves
// this file out as soon as src/Gdi.h exists; delete it then, with its lines
// in CMakeLists.txt.
#include <windows.h>

#include "Surface.h"

namespace platform {

__attribute__((weak)) Surface* surfaceOfDC(HDC) { return nullptr; }

}  // namespace platform

// Device contexts as the rest of the layer draws through them: GDI+ and
// BitBlt reach the pixels a DC stands for here.
#pragma once

#include <windows.h>

#include "core/Surface.h"

namespace platform {

// The surface a device context draws into: the DIB section selected into a
// memory DC, the window's layered surface for a window DC (may be null),
// the screen for the screen DC; null for a handle that is no DC or a memory
// DC with no bitmap of ours selected.
Surface* surfaceOfDC(HDC dc);

}  // namespace platform

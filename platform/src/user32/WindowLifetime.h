// Creating and destroying window records, shared by CreateWindowExA,
// DestroyWindow and the foreign windows of the desktop.
#pragma once

#include "core/Desktop.h"

namespace platform {

// Takes a window record off the desktop: out of the Z order, its posted
// messages dropped, windows it owned left without owner. No messages.
void removeWindowRecord(HWND window);

// The extended style a window with that style ends up with.
DWORD exStyleForFrame(DWORD exStyle, DWORD style);

}  // namespace platform

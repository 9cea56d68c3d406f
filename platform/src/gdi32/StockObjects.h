// gdi32's stock objects as the GDI calls tell them apart: what kind of
// object a stock handle is, and the stock bitmap of new memory DCs.
#pragma once

#include <windows.h>

namespace platform {

enum class StockObjectKind { none, brush, pen, font, palette, bitmap };

// The kind of stock object a handle is; none for every other handle.
StockObjectKind stockObjectKind(HGDIOBJ object);

// The 1 by 1 monochrome bitmap every memory DC starts with, as in Win32.
// Only SelectObject hands it out (as the bitmap it replaces).
HBITMAP stockBitmap();

}  // namespace platform

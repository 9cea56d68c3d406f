// CreateDIBSection: 32-bit BI_RGB DIB sections, the pixels a program draws
// into and hands to UpdateLayeredWindow.
#include "gdi32/GdiObjects.h"

#include <climits>

namespace {

// Win32 refuses a header too short, a width below 1, a height of 0, planes
// other than 1, and unknown depths or compressions. The layer makes only
// 32-bit uncompressed DIBs: other depths, which Win32 makes, fail here too.
bool isSupportedHeader(const BITMAPINFOHEADER& header) {
  return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biWidth > 0 && header.biHeight != 0 &&
         header.biHeight != INT_MIN && header.biPlanes == 1 && header.biBitCount == 32 &&
         header.biCompression == BI_RGB;
}

}  // namespace

extern "C" {

// The pixels start zeroed, stored bottom row first for a positive height
// and top row first for a negative one, as the caller reads them through
// `bits`. File mappings are not modelled.
HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, VOID** bits, HANDLE section, DWORD) {
  if (bits) {
    *bits = NULL;
  }
  if (!info || usage != DIB_RGB_COLORS || section || !isSupportedHeader(info->bmiHeader)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  LONG height = info->bmiHeader.biHeight;
  std::unique_ptr<platform::Surface> surface =
      platform::Surface::create(info->bmiHeader.biWidth, height > 0 ? height : -height, height > 0);
  if (!surface) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
  }
  void* memory = surface->bits();
  HBITMAP bitmap = static_cast<HBITMAP>(platform::theDesktop().handles.add(
      platform::HandleKind::bitmap, std::unique_ptr<platform::Bitmap>(new platform::Bitmap(std::move(surface)))));
  if (bits) {
    *bits = memory;
  }
  return bitmap;
}

}  // extern "C"

#include "ScreenCapture.h"

#include <cstdio>

Screenshot captureScreen() {
  Screenshot shot;
  shot.width = GetSystemMetrics(SM_CXSCREEN);
  shot.height = GetSystemMetrics(SM_CYSCREEN);

  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = shot.width;
  format.bmiHeader.biHeight = -shot.height;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;

  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, NULL, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
  GdiFlush();

  const std::uint32_t* first = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(first, first + static_cast<size_t>(shot.width) * shot.height);
  for (std::uint32_t& pixel : shot.pixels) {
    pixel &= 0x00FFFFFF;
  }

  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return shot;
}

std::string firstDifference(const Screenshot& expected, const Screenshot& actual) {
  char description[160];
  if (expected.width != actual.width || expected.height != actual.height) {
    std::snprintf(description, sizeof description, "screen size %dx%d, expected %dx%d", actual.width,
                  actual.height, expected.width, expected.height);
    return description;
  }
  for (int y = 0; y < actual.height; ++y) {
    for (int x = 0; x < actual.width; ++x) {
      if (expected.at(x, y) != actual.at(x, y)) {
        std::snprintf(description, sizeof description, "pixel (%d, %d) is 0x%06X, expected 0x%06X", x, y,
                      static_cast<unsigned>(actual.at(x, y)), static_cast<unsigned>(expected.at(x, y)));
        return description;
      }
    }
  }
  return "";
}

bool saveBitmap(const Screenshot& shot, const std::string& path) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = shot.width;
  header.biHeight = -shot.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  DWORD pixelBytes = static_cast<DWORD>(shot.pixels.size() * sizeof(std::uint32_t));
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + pixelBytes;

  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  bool wrote = WriteFile(handle, &file, sizeof file, &written, NULL) &&
               WriteFile(handle, &header, sizeof header, &written, NULL) &&
               WriteFile(handle, shot.pixels.data(), pixelBytes, &written, NULL) && written == pixelBytes;
  CloseHandle(handle);
  return wrote;
}

// A picture window: one picture file, stretched, tinted and faded, composed
// once into the window's layer and shown above the desktop; dragged with
// the left button, the launcher menu on the right.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>

#include "lib/winapi/BaseWindow.h"

class ChildWindow : public lib::winapi::BaseWindow {
 public:
  // Makes the window (hidden), loads the picture and, when that works,
  // composes it and shows the window; a picture that cannot be loaded is
  // reported in a message box and its window stays hidden. A width or
  // height not given is the picture's own; every given value, also the
  // most negative one, is taken as it is.
  ChildWindow(HWND owner, const char* className, const char* path, int x, int y, std::optional<int> width,
              std::optional<int> height, std::uint32_t color);

  // Releases the picture; the window must be destroyed already.
  ~ChildWindow() override;

  // Composes the picture, tinted by color's RR, GG and BB, into the
  // window's layer, with color's AA as the window's constant alpha.
  void render(std::uint32_t color);

  static LRESULT CALLBACK childWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Gdiplus::Bitmap* pBitmap_;  // owned; never null after construction, may hold a failed load

 private:
  void reportLoadFailure(const char* path);
};

// One top-level window together with the window class registered for it.
// The object's lifetime is the class's lifetime: two BaseWindow objects that
// exist at the same time need two class names. The object does not own its
// window: whoever deletes it destroys the window first.
#pragma once

#include <windows.h>

namespace lib {
namespace winapi {

class BaseWindow {
 public:
  // Registers lpwcx (or, when it is null, a default record with windowProc,
  // or defaultWindowProc when that is null too) and creates the window as a
  // layered tool window. x and y are screen coordinates. An exception the
  // window procedure throws on a creation message leaves the constructor; the
  // class stays registered, and the window too when WM_CREATE threw.
  BaseWindow(WNDPROC windowProc, const WNDCLASSEXA* lpwcx, const char* className, const char* title, DWORD style,
             int x, int y, int width, int height, HWND owner, HINSTANCE instance);

  // Unregisters the class; fails its assertion, and throws, while a window
  // of the class still exists.
  virtual ~BaseWindow() noexcept(false);

  static LRESULT CALLBACK defaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Read directly by the classes that use the window.
  HWND hWnd_;
  char lpClassName_[256];
  HINSTANCE hInstance_;
};

}  // namespace winapi
}  // namespace lib

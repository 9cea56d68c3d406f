// user32's DefWindowProcA, as far as the model's windows need it.
#include "Desktop.h"

#include <algorithm>
#include <cstring>

namespace {

void setTitle(platform::Window& window, LPCSTR title) {
  window.title = title && !IS_INTRESOURCE(title) ? title : "";
}

LRESULT copyTitle(const platform::Window& window, WPARAM capacity, LPSTR buffer) {
  if (capacity == 0 || !buffer) {
    return 0;
  }
  std::size_t count = std::min(window.title.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(buffer, window.title.data(), count);
  buffer[count] = '\0';
  return static_cast<LRESULT>(count);
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (message) {
    case WM_NCCREATE: {
      const CREATESTRUCTA* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      setTitle(*record, creation ? creation->lpszName : nullptr);
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SETTEXT:
      setTitle(*record, reinterpret_cast<LPCSTR>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return copyTitle(*record, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(record->title.size());
    default:
      return 0;
  }
}

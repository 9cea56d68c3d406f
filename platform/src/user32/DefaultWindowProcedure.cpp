// user32's DefWindowProcA, as far as the model's windows need it.
#include "core/Desktop.h"
#include "core/Text.h"

#include <climits>

namespace {

void setTitle(platform::Window& window, LPCSTR title) {
  window.title = title && !IS_INTRESOURCE(title) ? title : "";
}

// WM_GETTEXT's capacity is a WPARAM; anything beyond an int's range is
// more room than any title needs.
LRESULT copyTitle(const platform::Window& window, WPARAM capacity, LPSTR buffer) {
  int room = capacity > static_cast<WPARAM>(INT_MAX) ? INT_MAX : static_cast<int>(capacity);
  return platform::copyTruncated(window.title, buffer, room);
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

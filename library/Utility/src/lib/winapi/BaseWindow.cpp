// The window wrapper: registers the class, creates the window, and
// unregisters the class again when the object goes.
#include "lib/winapi/BaseWindow.h"

#include <cstring>

#include "lib/winapi/Assertion.h"
#include "lib/winapi/PendingException.h"

namespace lib {
namespace winapi {

namespace {

// Layered, so a window shows nothing until its user gives it content; a
// tool window, so it gets no taskbar button.
const DWORD kExtendedStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;

WNDCLASSEXA defaultClassRecord(WNDPROC windowProc, const char* className, HINSTANCE instance) {
  WNDCLASSEXA record;
  record.cbSize = sizeof(WNDCLASSEXA);
  record.style = CS_HREDRAW | CS_VREDRAW;
  record.lpfnWndProc = windowProc != NULL ? windowProc : BaseWindow::defaultWindowProc;
  record.cbClsExtra = 0;
  record.cbWndExtra = 0;
  record.hInstance = instance;
  record.hIcon = LoadIconA(NULL, IDI_APPLICATION);
  record.hCursor = LoadCursorA(NULL, IDC_ARROW);
  record.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  record.lpszMenuName = NULL;
  record.lpszClassName = className;
  record.hIconSm = NULL;
  return record;
}

}  // namespace

BaseWindow::BaseWindow(WNDPROC windowProc, const WNDCLASSEXA* lpwcx, const char* className, const char* title,
                       DWORD style, int x, int y, int width, int height, HWND owner, HINSTANCE instance) {
  // A given record is used unchanged, and then windowProc is not used; the
  // default record carries it instead.
  WNDCLASSEXA defaultRecord;
  if (lpwcx == NULL) {
    defaultRecord = defaultClassRecord(windowProc, className, instance);
    lpwcx = &defaultRecord;
  }

  ASSERT(RegisterClassEx(lpwcx) != 0);
  hWnd_ = rethrowPendingExceptionAfter(CreateWindowExA(kExtendedStyle, lpwcx->lpszClassName, title, style, x, y, width,
                                                       height, owner, NULL, instance, NULL));
  // A creation message's exception has left above: it, not this check, tells why the creation failed.
  ASSERT(hWnd_ != NULL);
  std::size_t length = std::strlen(className);
  if (length > sizeof lpClassName_ - 1) length = sizeof lpClassName_ - 1;
  std::memcpy(lpClassName_, className, length);
  lpClassName_[length] = '\0';
  hInstance_ = instance;
}

// Only the class goes here, not the window: whoever deletes the object has
// destroyed its window first. Unregistering fails while a window of the
// class exists, so a window still alive shows up as this assertion, thrown
// out of the destructor to the program entry.
BaseWindow::~BaseWindow() noexcept(false) {
  ASSERT(UnregisterClass(lpClassName_, hInstance_));
}

LRESULT CALLBACK BaseWindow::defaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return guardWindowProcedure([&]() -> LRESULT {
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

}  // namespace winapi
}  // namespace lib

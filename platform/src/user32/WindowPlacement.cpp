// user32's calls that show, hide, minimize, move and re-order windows:
// ShowWindow, SetWindowPos, MoveWindow, IsIconic. Every Z-order and visibility rule is
// the Z order's own; these calls only decide what to ask of it.
#include "core/WindowNotice.h"
#include "core/Desktop.h"
#include "user32/WindowLifetime.h"
#include "core/ZOrder.h"

namespace {

HWND const kInsertAtTop = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0));
HWND const kInsertTopmost = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
HWND const kInsertNotTopmost = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2));

bool isMinimized(const platform::Window& window) { return (window.style & WS_MINIMIZE) != 0; }

void minimize(platform::Window& window) {
  if (!isMinimized(window)) {
    window.style |= WS_MINIMIZE;
    platform::zorder::hideOwnedWindows(window.handle);
  }
  platform::zorder::setVisible(window, true);
}

void restore(platform::Window& window) {
  platform::zorder::setVisible(window, true);
  if (isMinimized(window)) {
    window.style &= ~static_cast<DWORD>(WS_MINIMIZE);
    platform::zorder::showOwnedWindows(window.handle);
  }
}

// Showing a window with activation brings it to the top of its band.
void showActivated(platform::Window& window) {
  platform::zorder::setVisible(window, true);
  platform::zorder::bringToTop(window.handle);
}

void move(platform::Window& window, int x, int y, int width, int height, UINT flags) {
  RECT rect = window.rect;
  if (!(flags & SWP_NOMOVE)) {
    rect = RECT{x, y, platform::farEdge(x, rect.right - rect.left), platform::farEdge(y, rect.bottom - rect.top)};
  }
  if (!(flags & SWP_NOSIZE)) {
    rect.right = platform::farEdge(rect.left, width);
    rect.bottom = platform::farEdge(rect.top, height);
  }
  if (rect.left != window.rect.left || rect.top != window.rect.top || rect.right != window.rect.right ||
      rect.bottom != window.rect.bottom) {
    window.rect = rect;
    platform::tellHost(window, platform::WindowChange::moved);
  }
}

bool reorder(HWND window, HWND insertAfter) {
  if (insertAfter == kInsertAtTop) {
    platform::zorder::bringToTop(window);
  } else if (insertAfter == kInsertTopmost) {
    platform::zorder::setTopmost(window, true);
  } else if (insertAfter == kInsertNotTopmost) {
    platform::zorder::setTopmost(window, false);
  } else {
    // Placing a window below a given one is not modelled.
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

// Returns whether the window was visible before. SW_MINIMIZE and
// SW_SHOWMINIMIZED show the window minimized; SW_RESTORE and SW_SHOWNORMAL
// show it restored, and SW_SHOW as it is.
BOOL WINAPI ShowWindow(HWND window, int command) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  BOOL wasVisible = (record->style & WS_VISIBLE) != 0;
  switch (command) {
    case SW_HIDE:
      platform::zorder::setVisible(*record, false);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      minimize(*record);
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      restore(*record);
      showActivated(*record);
      break;
    case SW_SHOW:
      showActivated(*record);
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      platform::zorder::setVisible(*record, true);
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  return wasVisible;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  move(*record, x, y, width, height, flags);
  if (!(flags & SWP_NOZORDER) && !reorder(window, insertAfter)) {
    return FALSE;
  }
  if (flags & SWP_SHOWWINDOW) {
    platform::zorder::setVisible(*record, true);
  } else if (flags & SWP_HIDEWINDOW) {
    platform::zorder::setVisible(*record, false);
  }
  return TRUE;
}

// A layered window keeps its content as it is: the composed layer moves
// with the window.
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, NULL, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI IsIconic(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  return record && isMinimized(*record);
}

}  // extern "C"

// user32's questions about windows: FindWindowA, GetWindowLongA (and its
// writer SetWindowLongA), GetWindow, GetWindowThreadProcessId,
// IsWindow, IsWindowVisible, GetWindowTextA, GetClassNameA, GetWindowRect,
// GetClientRect.
#include "core/Desktop.h"
#include "core/Text.h"
#include "user32/WindowLifetime.h"
#include "user32/WindowClasses.h"

#include <algorithm>
#include <cstring>

namespace {

platform::Window* windowOrError(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  }
  return record;
}

// Class names are atoms and compare without case; FindWindow compares
// titles without case as well.
bool matchesClass(const platform::Window& window, LPCSTR className) {
  if (IS_INTRESOURCE(className)) {
    platform::WindowClass* windowClass = platform::findWindowClass(window.classModule, window.className.c_str());
    return windowClass && windowClass->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className));
  }
  return platform::equalsIgnoringCase(window.className, className);
}

bool matchesSearch(const platform::Window& window, LPCSTR className, LPCSTR windowName) {
  if (className && !matchesClass(window, className)) {
    return false;
  }
  return !windowName || platform::equalsIgnoringCase(window.title, windowName);
}

HWND neighbourInZOrder(HWND window, UINT relation) {
  const std::vector<HWND>& zOrder = platform::theDesktop().zOrder;
  auto position = std::find(zOrder.begin(), zOrder.end(), window);
  switch (relation) {
    case GW_HWNDFIRST:
      return zOrder.front();
    case GW_HWNDLAST:
      return zOrder.back();
    case GW_HWNDNEXT:
      return position + 1 == zOrder.end() ? NULL : *(position + 1);
    case GW_HWNDPREV:
      return position == zOrder.begin() ? NULL : *(position - 1);
    default:
      return NULL;
  }
}

}  // namespace

extern "C" {

// Searches the top-level windows of every program, hidden ones too, from the
// top of the Z order.
// Another program's window that the host knows of, looked for by class
// name and title, stands on this desktop as a foreign window of its own.
HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
  for (HWND window : platform::theDesktop().zOrder) {
    if (matchesSearch(*platform::findWindowRecord(window), className, windowName)) {
      return window;
    }
  }
  if (className && !IS_INTRESOURCE(className) && windowName &&
      platform::theDesktop().host->otherProgramHasWindow(className, windowName)) {
    return platform::desktop::createForeignWindow(className, windowName);
  }
  SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
  return NULL;
}

// A program's one thread made all its windows: the thread and the process
// both have the program's id.
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return 0;
  }
  if (processId) {
    *processId = record->program;
  }
  return record->program;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return 0;
  }
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(record->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(record->exStyle);
    default:
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

// Only the extended style is writable here. WS_EX_TOPMOST is the Z order's
// to change (SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST), so a value
// written here keeps the window's own; WS_EX_WINDOWEDGE follows the frame.
LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return 0;
  }
  if (index != GWL_EXSTYLE) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  DWORD previous = record->exStyle;
  DWORD written = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_EX_TOPMOST)) | (previous & WS_EX_TOPMOST);
  record->exStyle = platform::exStyleForFrame(written, record->style);
  return static_cast<LONG>(previous);
}

HWND WINAPI GetWindow(HWND window, UINT relation) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return NULL;
  }
  if (relation == GW_OWNER) {
    return record->owner;
  }
  if (relation > GW_CHILD) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  return neighbourInZOrder(window, relation);
}

BOOL WINAPI IsWindow(HWND window) { return platform::findWindowRecord(window) != nullptr; }

BOOL WINAPI IsWindowVisible(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  return record && (record->style & WS_VISIBLE);
}

// The program's own windows are asked with WM_GETTEXT; another program's
// text is read without sending it a message.
int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
  if (text && maxCount > 0) {
    text[0] = '\0';
  }
  platform::Window* record = windowOrError(window);
  if (!record || !text || maxCount <= 0) {
    return 0;
  }
  if (record->program != platform::theDesktop().runningProgram) {
    return platform::copyTruncated(record->title, text, maxCount);
  }
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetClassNameA(HWND window, LPSTR className, int maxCount) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return 0;
  }
  if (!className || maxCount <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return platform::copyTruncated(record->className, className, maxCount);
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  platform::Window* record = windowOrError(window);
  if (!record) {
    return FALSE;
  }
  if (!rect) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *rect = record->rect;
  return TRUE;
}

// The model's windows have no frame: the client area is the whole window.
BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  if (!GetWindowRect(window, rect)) {
    return FALSE;
  }
  *rect = RECT{0, 0, rect->right - rect->left, rect->bottom - rect->top};
  return TRUE;
}

}  // extern "C"

namespace platform {
namespace desktop {

std::vector<HWND> windows() { return theDesktop().zOrder; }

}  // namespace desktop
}  // namespace platform

// user32's CreateWindowExA and DestroyWindow.
#include "core/WindowNotice.h"
#include "user32/WindowLifetime.h"

#include "core/Screen.h"
#include "core/Surface.h"
#include "shell32/Tray.h"
#include "user32/WindowClasses.h"
#include "core/ZOrder.h"

#include <algorithm>

namespace {

// Where CW_USEDEFAULT puts and sizes a top-level window. Pop-up windows get
// 0, as in Win32; overlapped windows a cascade position and three quarters
// of the screen.
const int kDefaultX = 26;
const int kDefaultY = 26;

bool isPopup(DWORD style) { return (style & WS_POPUP) != 0; }

void applyDefaultPosition(CREATESTRUCTA& creation) {
  if (creation.x == CW_USEDEFAULT) {
    creation.x = isPopup(static_cast<DWORD>(creation.style)) ? 0 : kDefaultX;
    creation.y = isPopup(static_cast<DWORD>(creation.style)) ? 0 : kDefaultY;
  }
  if (creation.cx == CW_USEDEFAULT) {
    bool popup = isPopup(static_cast<DWORD>(creation.style));
    SIZE screen = platform::screenSize();
    creation.cx = popup ? 0 : screen.cx * 3 / 4 - creation.x;
    creation.cy = popup ? 0 : screen.cy * 3 / 4 - creation.y;
  }
}

// Top-level windows always clip their siblings, and overlapped ones always
// have a caption; the visible bit is set only once creation has succeeded.
DWORD storedStyle(DWORD style) {
  DWORD stored = (style & ~static_cast<DWORD>(WS_VISIBLE)) | WS_CLIPSIBLINGS;
  if (!isPopup(style)) {
    stored |= WS_CAPTION;
  }
  return stored;
}

// Unless creation runs to its end, the half-made window is taken off again,
// also when a window procedure throws through CreateWindowExA.
class CreationGuard {
 public:
  explicit CreationGuard(HWND window) : window_(window) {}
  ~CreationGuard() {
    if (!completed_ && platform::findWindowRecord(window_)) {
      platform::removeWindowRecord(window_);
    }
  }
  CreationGuard(const CreationGuard&) = delete;
  CreationGuard& operator=(const CreationGuard&) = delete;
  void complete() { completed_ = true; }

 private:
  HWND window_;
  bool completed_ = false;
};

// Whatever a procedure does during destruction, the window is gone when
// DestroyWindow ends.
class DestructionGuard {
 public:
  explicit DestructionGuard(HWND window) : window_(window) {}
  ~DestructionGuard() {
    if (platform::findWindowRecord(window_)) {
      platform::removeWindowRecord(window_);
    }
  }
  DestructionGuard(const DestructionGuard&) = delete;
  DestructionGuard& operator=(const DestructionGuard&) = delete;

 private:
  HWND window_;
};

HWND firstOwnedWindowToDestroy(HWND owner) {
  for (HWND window : platform::theDesktop().zOrder) {
    platform::Window* record = platform::findWindowRecord(window);
    if (record->owner == owner && record->state != platform::WindowState::destroying &&
        record->program == platform::theDesktop().runningProgram) {
      return window;
    }
  }
  return NULL;
}

void destroyOwnedWindows(HWND owner) {
  platform::Window* record = platform::findWindowRecord(owner);
  if (record->ownedWindows == 0) {
    return;
  }
  while (HWND owned = firstOwnedWindowToDestroy(owner)) {
    DestroyWindow(owned);
  }
}

std::unique_ptr<platform::Window> newWindowRecord(const platform::WindowClass& windowClass,
                                                  const CREATESTRUCTA& creation, HWND owner) {
  std::unique_ptr<platform::Window> window(new platform::Window());
  window->program = platform::theDesktop().runningProgram;
  window->classModule = windowClass.module;
  window->className = windowClass.name;
  window->instance = creation.hInstance;
  window->procedure = windowClass.record.lpfnWndProc;
  window->style = storedStyle(static_cast<DWORD>(creation.style));
  window->exStyle = platform::exStyleForFrame(creation.dwExStyle, window->style);
  window->rect = RECT{creation.x, creation.y, platform::farEdge(creation.x, creation.cx),
                      platform::farEdge(creation.y, creation.cy)};
  window->owner = owner;
  window->state = platform::WindowState::creating;
  window->hiddenWithOwner = false;
  window->hasLayeredContent = false;
  window->layeredConstantAlpha = 0;
  return window;
}

// Puts a new window on the desktop, at the top of its band.
HWND addWindowRecord(const platform::WindowClass& windowClass, const CREATESTRUCTA& creation, HWND owner) {
  std::unique_ptr<platform::Window> record = newWindowRecord(windowClass, creation, owner);
  platform::Window& window = *record;
  window.handle = static_cast<HWND>(platform::theDesktop().handles.add(platform::HandleKind::window, std::move(record)));
  if (platform::Window* ownerRecord = platform::findWindowRecord(owner)) {
    ++ownerRecord->ownedWindows;
  }
  platform::zorder::addNewWindow(window);
  return window.handle;
}

// Win32 sends only WM_NCDESTROY to a window whose creation its procedure
// refused (unless the procedure destroyed it already).
HWND abandonCreation(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  if (record && record->state == platform::WindowState::creating) {
    SendMessageA(window, WM_NCDESTROY, 0, 0);
  }
  return NULL;
}

}  // namespace

namespace platform {

// The layered content goes with the record.
Window::~Window() = default;

// WS_EX_WINDOWEDGE follows the frame styles the window has (an overlapped
// window always has a caption), whatever the caller asked.
DWORD exStyleForFrame(DWORD exStyle, DWORD style) {
  bool edged = (exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME));
  return edged ? (exStyle | WS_EX_WINDOWEDGE) : (exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE));
}

void removeWindowRecord(HWND window) {
  Desktop& desktop = theDesktop();
  zorder::removeWindow(window);
  for (auto& entry : desktop.queues) {
    std::deque<MSG>* queues[] = {&entry.second.posted, &entry.second.input};
    for (std::deque<MSG>* queue : queues) {
      queue->erase(std::remove_if(queue->begin(), queue->end(), [window](const MSG& message) { return message.hwnd == window; }),
                   queue->end());
    }
  }
  Window* removed = findWindowRecord(window);
  if (Window* ownerRecord = findWindowRecord(removed->owner)) {
    --ownerRecord->ownedWindows;
  }
  if (removed->ownedWindows > 0) {
    for (HWND other : desktop.zOrder) {
      Window* record = findWindowRecord(other);
      if (record->owner == window) {
        record->owner = NULL;
      }
    }
  }
  // The capture goes with its window, silently, as Wine's server drops it.
  if (desktop.capture == window) {
    desktop.capture = NULL;
    desktop.host->captureChanged(NULL);
  }
  if (desktop.foreground == window) {
    desktop.foreground = NULL;
  }
  removeTrayIconsOf(window);
  tellHost(*removed, WindowChange::destroyed);
  desktop.handles.remove(window);
}

}  // namespace platform

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  platform::WindowClass* windowClass = platform::findWindowClass(instance, className);
  if (!windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return NULL;
  }
  if ((style & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
    // Child windows are not part of this model.
    SetLastError(parent ? ERROR_INVALID_PARAMETER : ERROR_TLW_WITH_WSCHILD);
    return NULL;
  }
  if (parent && !platform::findWindowRecord(parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return NULL;
  }
  // For a top-level window the parent argument is its owner.
  CREATESTRUCTA creation{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};
  applyDefaultPosition(creation);
  HWND window = addWindowRecord(*windowClass, creation, parent);
  CreationGuard guard(window);

  if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&creation))) {
    return abandonCreation(window);
  }
  if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
    return abandonCreation(window);
  }
  platform::Window* created = platform::findWindowRecord(window);
  if (!created || created->state != platform::WindowState::creating) {
    return NULL;  // its procedure destroyed it while it was being created
  }
  created->state = platform::WindowState::alive;
  if (created->program == platform::kThisProgram) {
    platform::theDesktop().host->windowCreated(window, created->className, created->title);
  }
  if (style & WS_VISIBLE) {
    platform::zorder::setVisible(*created, true);
  }
  guard.complete();
  return window;
}

// Only the program that made a window may destroy it. Owned windows go
// first, each with its own WM_DESTROY and WM_NCDESTROY,
// then the window itself. The window is hidden before any of it, as Win32
// does. A DestroyWindow of a window already being destroyed (from one of
// its own destruction messages) has nothing more to do.
BOOL WINAPI DestroyWindow(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (record->program != platform::theDesktop().runningProgram) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (record->state == platform::WindowState::destroying) {
    return TRUE;
  }
  record->state = platform::WindowState::destroying;
  platform::zorder::setVisible(*record, false);
  DestructionGuard guard(window);
  destroyOwnedWindows(window);
  SendMessageA(window, WM_DESTROY, 0, 0);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  return TRUE;
}

}  // extern "C"

// Mouse input and the capture: the host's input events become the mouse
// messages Win32 queues, for the capture window or the window under the
// cursor. SetCapture, ReleaseCapture, GetCapture, GetCursorPos.
#include "user32/MessageBox.h"

#include "user32/LayeredWindow.h"
#include "user32/MenuTracking.h"
#include "core/MessageQueue.h"
#include "shell32/Tray.h"
#include "core/ZOrder.h"

namespace {

WPARAM buttonFlag(platform::MouseButton button) {
  switch (button) {
    case platform::MouseButton::left:
      return MK_LBUTTON;
    case platform::MouseButton::right:
      return MK_RBUTTON;
    case platform::MouseButton::middle:
      return MK_MBUTTON;
  }
  return 0;
}

UINT buttonMessage(platform::MouseButton button, bool down) {
  switch (button) {
    case platform::MouseButton::left:
      return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case platform::MouseButton::right:
      return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case platform::MouseButton::middle:
      return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
  return WM_NULL;
}

bool contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// Where a layered window shows nothing (no content yet, or a pixel whose
// alpha after the constant alpha is 0) the mouse passes through it as
// through empty screen.
bool takesMouseAt(const platform::Window& window, POINT point) {
  if (!(window.style & WS_VISIBLE) || !contains(window.rect, point)) {
    return false;
  }
  return !(window.exStyle & WS_EX_LAYERED) || platform::showsLayeredPixelAt(window, point);
}

// The capture window when there is one; otherwise the window the host found
// the cursor in, which is where the user sees it; otherwise the top window
// under the cursor that takes the mouse there.
platform::Window* mouseTarget(POINT point) {
  platform::Desktop& desktop = platform::theDesktop();
  if (platform::Window* capture = platform::findWindowRecord(desktop.capture)) {
    return capture;
  }
  platform::Window* found = platform::findWindowRecord(desktop.cursorWindow);
  if (found && (found->style & WS_VISIBLE)) {
    return found;
  }
  for (HWND window : desktop.zOrder) {
    platform::Window* record = platform::findWindowRecord(window);
    if (takesMouseAt(*record, point)) {
      return record;
    }
  }
  return nullptr;
}

// A mouse message as Win32 queues it: client coordinates in lParam (the
// model's windows have no frame, so the client area is the window), the
// buttons down in wParam, the screen point and the time in the message.
void queueMouseMessage(UINT message) {
  platform::Desktop& desktop = platform::theDesktop();
  platform::Window* target = mouseTarget(desktop.cursor);
  if (!target) {
    return;
  }
  LPARAM position = MAKELPARAM(desktop.cursor.x - target->rect.left, desktop.cursor.y - target->rect.top);
  platform::queueInput(*target, MSG{target->handle, message, desktop.mouseButtons, position, platform::messageTime(), desktop.cursor});
}

void changeCapture(HWND capture);

class DesktopInput : public platform::InputSink {
 public:
  std::string deliver(const platform::InputEvent& event) override {
    return std::visit([](const auto& input) { return carryOut(input); }, event);
  }

 private:
  static std::string carryOut(const platform::input::MoveCursor& input) {
    platform::theDesktop().cursor = input.point;
    platform::theDesktop().cursorWindow = input.window;
    if (!platform::isTrackingMenu()) {
      queueMouseMessage(WM_MOUSEMOVE);
    }
    return "";
  }
  // While a menu is tracked, the mouse belongs to the menu: choose an item
  // or dismiss it.
  static std::string carryOut(const platform::input::PressButton& input) {
    if (platform::isTrackingMenu()) {
      return "a mouse button is pressed while a menu is open";
    }
    platform::theDesktop().mouseButtons |= buttonFlag(input.button);
    queueMouseMessage(buttonMessage(input.button, true));
    return "";
  }
  static std::string carryOut(const platform::input::ReleaseButton& input) {
    // The release of the click that opened a menu goes to the menu, which
    // does nothing with it over no item.
    platform::theDesktop().mouseButtons &= ~buttonFlag(input.button);
    if (!platform::isTrackingMenu()) {
      queueMouseMessage(buttonMessage(input.button, false));
    }
    return "";
  }
  static std::string carryOut(const platform::input::PressMessageBoxButton& input) {
    return platform::pressMessageBoxButton(input.button);
  }
  static std::string carryOut(const platform::input::TrayIconMouse& input) { return platform::clickTrayIcon(input); }
  static std::string carryOut(const platform::input::ChooseMenuItem& input) { return platform::chooseMenuItem(input); }
  static std::string carryOut(const platform::input::DismissMenu&) { return platform::dismissMenu(); }
  // Another program took the pointer: the capture ends as ReleaseCapture
  // would end it. Without a capture there is nothing to lose.
  static std::string carryOut(const platform::input::LoseCapture&) {
    changeCapture(NULL);
    return "";
  }
  // The host already shows the window there: it is not told again.
  static std::string carryOut(const platform::input::MoveWindow& input) {
    platform::Window* record = platform::findWindowRecord(input.window);
    if (!record) {
      return "the desktop moved a window that is gone";
    }
    RECT& rect = record->rect;
    rect = RECT{input.topLeft.x, input.topLeft.y, platform::farEdge(input.topLeft.x, rect.right - rect.left),
                platform::farEdge(input.topLeft.y, rect.bottom - rect.top)};
    return "";
  }
};

// The window that loses the capture is told which window has it now; the
// host holds the pointer for the new one.
void changeCapture(HWND capture) {
  platform::Desktop& desktop = platform::theDesktop();
  HWND previous = desktop.capture;
  desktop.capture = capture;
  if (previous != capture) {
    desktop.host->captureChanged(capture);
  }
  if (previous && previous != capture && platform::findWindowRecord(previous)) {
    SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(capture));
  }
}

}  // namespace

namespace platform {

InputSink& desktopInput() {
  static DesktopInput input;
  return input;
}

namespace desktop {

POINT cursorPosition() { return theDesktop().cursor; }

}  // namespace desktop

}  // namespace platform

extern "C" {

// Only a window of the running program can take the capture.
HWND WINAPI SetCapture(HWND window) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record || record->program != platform::theDesktop().runningProgram) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return NULL;
  }
  HWND previous = platform::theDesktop().capture;
  changeCapture(window);
  return previous;
}

BOOL WINAPI ReleaseCapture(void) {
  changeCapture(NULL);
  return TRUE;
}

HWND WINAPI GetCapture(void) { return platform::theDesktop().capture; }

// The cursor moves as if the user had moved it.
BOOL WINAPI SetCursorPos(int x, int y) {
  platform::theDesktop().host->moveCursor(POINT{x, y});
  platform::theDesktop().cursor = POINT{x, y};
  platform::theDesktop().cursorWindow = NULL;
  if (!platform::isTrackingMenu()) {
    queueMouseMessage(WM_MOUSEMOVE);
  }
  return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
  if (!platform::findWindowRecord(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  platform::theDesktop().foreground = window;
  return TRUE;
}

HWND WINAPI GetForegroundWindow(void) { return platform::theDesktop().foreground; }

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (!point) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *point = platform::theDesktop().host->cursorPosition();
  return TRUE;
}

}  // extern "C"

// Windows of other programs, which tests put on the desktop.
#include "core/Desktop.h"

namespace {

// Another program's window answers everything with default processing.
LRESULT CALLBACK foreignWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace platform {
namespace desktop {

// Each foreign window belongs to a program of its own and comes from a
// module of its own, so its class never collides with the program's classes
// or with another foreign window's. It is a hidden pop-up window, as a
// program's background window is.
HWND createForeignWindow(const char* className, const char* title) {
  Desktop& desktop = theDesktop();
  ProgramScope scope(++desktop.lastProgram);
  desktop.queues[desktop.runningProgram];
  HINSTANCE module = newForeignModule();
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = foreignWindowProcedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = className;
  if (!RegisterClassExA(&windowClass)) {
    return NULL;
  }
  return CreateWindowExA(0, className, title, WS_POPUP, 0, 0, 0, 0, NULL, NULL, module, NULL);
}

}  // namespace desktop
}  // namespace platform

// The abstract application object: it owns the main window, sets up
// high-resolution timing and a 1 ms timer resolution, and runs the message
// loop between the hooks a derived application fills in.
#pragma once

#include <windows.h>

namespace lib {
namespace winapi {

class BaseWindow;

class BaseApplication {
 public:
  BaseApplication();

  // The virtual operations, in slot order.
  virtual BaseWindow* createWindow() = 0;
  virtual ~BaseApplication();  // releases nothing; exitInstance does
  virtual void initInstance();
  virtual void exitInstance();
  virtual void initApplication();
  virtual void reservedHook();
  virtual void exitApplication();

  // Runs the application once from start to end and returns the wParam of
  // the last message retrieved (the WM_QUIT that ended the loop). An
  // exception a window procedure throws leaves as soon as the Win32 call that
  // ran it returns, and the stop hooks do not run.
  WPARAM run();

  BaseApplication(const BaseApplication&) = delete;
  BaseApplication& operator=(const BaseApplication&) = delete;

 protected:
  BaseWindow* pWindow_;  // owning; set by initInstance, deleted by exitInstance
  HACCEL hAccel_;        // when set, messages are offered to the accelerators
  LARGE_INTEGER frequency_;
  LARGE_INTEGER startCounter_;
};

}  // namespace winapi
}  // namespace lib

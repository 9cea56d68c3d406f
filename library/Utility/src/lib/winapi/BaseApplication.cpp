// The application object: start-up, the message loop and shut-down, in the
// order a derived application relies on (its window outlives both hooks).
#include "lib/winapi/BaseApplication.h"

#include <mmsystem.h>

#include "lib/winapi/Assertion.h"
#include "lib/winapi/BaseWindow.h"
#include "lib/winapi/PendingException.h"

namespace lib {
namespace winapi {

BaseApplication::BaseApplication() : pWindow_(NULL), hAccel_(NULL), frequency_(), startCounter_() {}

BaseApplication::~BaseApplication() {}

WPARAM BaseApplication::run() {
  initInstance();
  initApplication();
  MSG message = {};
  while (rethrowPendingExceptionAfter(GetMessageA(&message, NULL, 0, 0)) > 0) {
    if (hAccel_ != NULL && rethrowPendingExceptionAfter(TranslateAcceleratorA(pWindow_->hWnd_, hAccel_, &message)) != 0)
      continue;
    TranslateMessage(&message);
    rethrowPendingExceptionAfter(DispatchMessageA(&message));
  }
  exitApplication();
  exitInstance();
  return message.wParam;
}

// The time base and the window; a failure after timeBeginPeriod leaves the
// period in force until the process ends.
void BaseApplication::initInstance() {
  ASSERT(QueryPerformanceFrequency(&frequency_) != 0);
  QueryPerformanceCounter(&startCounter_);

  // The finest timer resolution, for as long as the application runs.
  ASSERT(timeBeginPeriod(1) == TIMERR_NOERROR);

  // The derived application's window, through the virtual slot.
  pWindow_ = createWindow();
  ASSERT(pWindow_ != NULL);
}

void BaseApplication::exitInstance() {
  if (pWindow_ != NULL) {
    delete pWindow_;
  }
  pWindow_ = NULL;
  timeEndPeriod(1);
}

void BaseApplication::initApplication() {}

void BaseApplication::reservedHook() {}

void BaseApplication::exitApplication() {}

}  // namespace winapi
}  // namespace lib

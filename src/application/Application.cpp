// The launcher's run: one instance at a time, found by its owner window.
#include "application/Application.h"

#include <windows.h>

#include "application/ParentWindow.h"
#include "lib/winapi/Diagnostics.h"

static const char kAlreadyRunning[] = "既にアプリケーションが起動しています";

int Application::run() {
  lib::winapi::consolePrint("%s:%d:%s\n", __FILE__, __LINE__, "Application::run");
  ParentWindow* application = ParentWindow::getInstance();

  // Another copy's owner window, or any window of that class and title,
  // stops this one before it creates anything; the instance is left as it is.
  if (FindWindowA(ParentWindow::kClassName, ParentWindow::kTitle) != NULL) {
    throw kAlreadyRunning;
  }

  application->run();

  if (ParentWindow::pInstance_ != NULL) {
    delete ParentWindow::pInstance_;
  }
  ParentWindow::pInstance_ = NULL;
  return 0;
}

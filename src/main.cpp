// The program entry. Every failure of the program is a thrown value that
// ends here: a thrown text is shown under "assertion failed\n", anything
// else as the unexpected-exception text, and the process exits with -1.
// The console trace line below is an external interface: its line number
// is part of what it prints.
#include <windows.h>
#include <shellapi.h>

#include "application/Application.h"
#include "lib/winapi/Diagnostics.h"

namespace {

const char kThrownTextCaption[] = "assertion failed\n";
const char kUnexpectedException[] = "予期されていない例外が発生しました\n";

// The program takes no command-line options: the line is split and dropped.
void dropCommandLine() {
  int argumentCount = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  LocalFree(arguments);
}

void reportFailure(const char* caption, const char* text);
}  // namespace

// Returns 0 after a normal run and -1 after any failure, once its message
// box has been closed. The arguments are not used.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  dropCommandLine();

  // The trace comes before the handlers, so it is printed even when the
  // start-up then fails, as the first line the program writes.
  lib::winapi::consolePrint("%s:%d:%s\n", __FILE__, __LINE__, "WinMain");
  try {
    return Application::run();
  } catch (const char* text) {
    reportFailure(kThrownTextCaption, text);
  } catch (...) {
    reportFailure(NULL, kUnexpectedException);
  }
  return -1;
}

namespace {

// The box runs a modal loop in which the owner window, still alive on this
// path, may handle the tray and fail again; the first failure is the one
// reported, and the process ends with -1 all the same.
void reportFailure(const char* caption, const char* text) {
  try {
    lib::winapi::messageBoxPrint(NULL, MB_OK, caption, text);
  } catch (...) {
  }
}

}  // namespace

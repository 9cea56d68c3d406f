// Talks to a running tessaline.exe from outside, through its owner window,
// for scripts that run the program (the demo):
//
//   window_control wait [MILLISECONDS]   until the owner window exists
//   window_control exit                  post the Exit command (104)
//   window_control close                 post WM_CLOSE
//
// Exits with 0 on success, 1 when there is no owner window (in time), 2 on
// a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const WORD kExitCommand = 104;
const DWORD kDefaultWait = 30000;
const DWORD kPollInterval = 50;

HWND findOwnerWindow() {
  return FindWindowA("ParentWindow", "Tessaline");
}

int waitForOwnerWindow(DWORD timeout) {
  DWORD start = GetTickCount();
  while (findOwnerWindow() == NULL) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "window_control: no Tessaline owner window after %lu ms\n", timeout);
      return 1;
    }
    Sleep(kPollInterval);
  }
  return 0;
}

int post(UINT message, WPARAM wParam) {
  HWND owner = findOwnerWindow();
  if (owner == NULL) {
    std::fprintf(stderr, "window_control: Tessaline is not running\n");
    return 1;
  }
  return PostMessageA(owner, message, wParam, 0) ? 0 : 1;
}

int usage() {
  std::fprintf(stderr, "usage: window_control wait [MILLISECONDS] | exit | close\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return usage();
  }
  if (std::strcmp(argv[1], "wait") == 0) {
    return waitForOwnerWindow(argc > 2 ? std::strtoul(argv[2], NULL, 10) : kDefaultWait);
  }
  if (std::strcmp(argv[1], "exit") == 0) {
    return post(WM_COMMAND, MAKEWPARAM(kExitCommand, 0));
  }
  if (std::strcmp(argv[1], "close") == 0) {
    return post(WM_CLOSE, 0);
  }
  return usage();
}

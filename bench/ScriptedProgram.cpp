// The program's own WinMain on the scripted host, as a process of its own,
// so that desktop_timing can time it exactly as it times the program on X:
//
//   scripted_program DIRECTORY
//
// Runs WinMain with DIRECTORY current (its config.xml). Each time the
// program waits for input with nothing left to do, it prints
// "shown <pictures>" on stdout and reads one command from stdin: "reload"
// posts the Reload command to the owner window, as the Linux program's
// SIGHUP does; "exit" or the end of stdin posts Exit. The exit status is
// WinMain's.
#include <windows.h>
#include <platform/desktop.h>
#include <platform/entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "application/ParentWindow.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;

std::string classOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

int shownPictures() {
  std::vector<HWND> windows = desktop::windows();
  return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](HWND window) {
    return classOf(window).rfind("ChildWindow", 0) == 0 && IsWindowVisible(window);
  }));
}

void postCommand(WORD command) {
  PostMessageA(FindWindowA(ParentWindow::kClassName, ParentWindow::kTitle), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// The program is idle here: it has shown what it shows and waits.
void reportAndObey() {
  std::printf("shown %d\n", shownPictures());
  std::fflush(stdout);
  std::string command;
  if (std::getline(std::cin, command) && command == "reload") {
    postCommand(ParentWindow::kReloadCommand);
    script::then(reportAndObey);
  } else {
    postCommand(ParentWindow::kExitCommand);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: scripted_program DIRECTORY\n");
    return 2;
  }
  if (chdir(argv[1]) != 0) {
    std::fprintf(stderr, "scripted_program: cannot run in %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  desktop::setEcho(false);
  script::then(reportAndObey);
  return platform::runWinMain(1, argv);
}

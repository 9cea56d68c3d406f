// The Linux program: a few options of its own, then the same WinMain as on
// Windows, on the user's X11 or Wayland display.
#include <windows.h>

#include <platform/entry.h>
#include <platform/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "application/ParentWindow.h"
#include "linux/FirstStart.h"

namespace {

const char kUsage[] =
    "Usage: %s [-C DIR | --config-home]\n"
    "Shows the pictures and the launcher of config.xml in the current directory.\n"
    "\n"
    "  -C DIR         run in DIR (reads DIR/config.xml)\n"
    "  --config-home  run in ${XDG_CONFIG_HOME:-~/.config}/tessaline, made from the\n"
    "                 installed example on the first start (the menu entry's way)\n"
    "  --help         show this help and end\n"
    "  --version      show the version and end\n"
    "\n"
    "SIGTERM and SIGINT end it as Exit does; SIGHUP reads config.xml again, as Reload does.\n"
    "Debugger lines go to standard error when TESSALINE_DEBUG is set.\n";

// A command to this program's own owner window, as its system menu gives
// it. Before the owner window exists (or in a second copy, which finds the
// first copy's) there is none to send it to.
void sendCommand(WORD command) {
  HWND owner = FindWindowA(ParentWindow::kClassName, ParentWindow::kTitle);
  DWORD process = 0;
  if (owner && GetWindowThreadProcessId(owner, &process) && process == GetCurrentProcessId()) {
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  }
}

// Ending answers every box as its closing button would, so the program
// ends in any state: through Exit where it runs, otherwise with what the
// box it was showing leads to (a second copy's "already running" ends
// with -1).
void end() {
  platform::gtk::answerMessageBoxesFromNowOn();
  sendCommand(ParentWindow::kExitCommand);
}

struct Options {
  std::string directory;
  bool configHome = false;
  bool help = false;
  bool version = false;
  std::string error;
};

Options readOptions(int argc, char** argv) {
  Options options;
  for (int index = 1; index < argc; ++index) {
    std::string argument = argv[index];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--config-home") {
      options.configHome = true;
    } else if (argument == "-C" && index + 1 < argc) {
      options.directory = argv[++index];
    } else if (argument.rfind("-C", 0) == 0 && argument.size() > 2) {
      options.directory = argument.substr(2);
    } else {
      options.error = argument == "-C" ? "-C needs a directory" : "unknown argument \"" + argument + "\"";
    }
  }
  if (options.configHome && !options.directory.empty() && options.error.empty()) {
    options.error = "-C and --config-home name two folders";
  }
  return options;
}

// A start from the desktop's menu has nobody reading standard error: a
// failure that ends it before any window shows is also said in a box.
int endBeforeStart(const char* name, const std::string& text, int status, bool withUsage = false) {
  std::fprintf(stderr, "%s: %s\n", name, text.c_str());
  if (withUsage) {
    std::fprintf(stderr, kUsage, name);
  }
  if (!isatty(STDERR_FILENO)) {
    platform::gtk::showStartFailure(text);
  }
  return status;
}

// The user's folder, made from the installed example when it is missing;
// empty when it cannot be made.
std::string configHome(const char* name) {
  std::string folder = firststart::userSettingsFolder();
  std::string example = firststart::installedExample(name);
  std::string why;
  switch (firststart::makeFromExample(folder, example, why)) {
    case firststart::Outcome::made:
      std::fprintf(stderr, "%s: first start: made %s from the example %s\n", name, folder.c_str(), example.c_str());
      return folder;
    case firststart::Outcome::existed:
      return folder;
    case firststart::Outcome::failed:
      break;
  }
  endBeforeStart(name, "cannot make " + folder + " from the example: " + why, 1);
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  const char* name = argc > 0 ? argv[0] : "tessaline";
  Options options = readOptions(argc, argv);
  if (!options.error.empty()) {
    return endBeforeStart(name, options.error, 2, true);
  }
  if (options.help) {
    std::printf(kUsage, name);
    return 0;
  }
  if (options.version) {
    std::printf("Tessaline %s\nhost: %s\n", TESSALINE_VERSION, platform::gtk::hostName().c_str());
    return 0;
  }
  if (options.configHome) {
    options.directory = configHome(name);
    if (options.directory.empty()) {
      return 1;
    }
  }
  if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
    return endBeforeStart(name, "cannot run in " + options.directory + ": " + std::strerror(errno), 1);
  }
  std::string why;
  int gtkArgc = 1;
  char** gtkArgv = argv;
  if (!platform::gtk::installHost(gtkArgc, gtkArgv, why)) {
    std::fprintf(stderr, "%s: %s; Tessaline needs an X11 desktop, or a Wayland one with the layer shell\n", name,
                 why.c_str());
    return 1;
  }
  platform::gtk::onSignal(SIGTERM, end);
  platform::gtk::onSignal(SIGINT, end);
  platform::gtk::onSignal(SIGHUP, [] { sendCommand(ParentWindow::kReloadCommand); });
  return platform::runWinMain(1, argv);
}

// The fixture of the Linux program's cases on a real X11 display: it
// starts the program in a directory of its own, finds its windows as the X
// server has them, and works its menus through the pointer and keyboard.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "X11Desktop.h"
#include "support/TemporaryDirectory.h"

namespace x11test {

const char kSystemMenuCommands[][8] = {"TopMost", "Hide", "Reload", "About", "Exit"};

// How many Down keys reach an item of the system menu ("TopMost", "Hide",
// separator, "Reload", separator, "About", "Exit"): separators are skipped.
inline int downsTo(const std::string& item) {
  for (int index = 0; index < 5; ++index) {
    if (item == kSystemMenuCommands[index]) {
      return index + 1;
    }
  }
  return 0;
}

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // They take the pointer and keyboard of the display: only on the
    // private one the script makes.
    if (!getenv("TESSALINE_X11_TESTS")) {
      GTEST_SKIP() << "these run in scripts/test-linux-desktop, on a private X display";
    }
    desktop_.reset(new x11test::X11Desktop);
  }

  // Every copy a case started ends with it, however the case went.
  void TearDown() override {
    for (pid_t copy : launched_) {
      if (kill(copy, SIGKILL) == 0) {
        waitpid(copy, nullptr, 0);
      }
    }
  }

  void writeSettings(const std::string& body) {
    std::ofstream("config.xml") << "<system>" << body << "</system>\n";
  }

  // Starts the program in the test's directory, its standard error into
  // that file where one is named.
  pid_t launch(const char* errorFile = nullptr) {
    pid_t pid = fork();
    if (pid == 0) {
      if (errorFile) {
        int error = open(errorFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(error, STDERR_FILENO);
      }
      execl(TESSALINE_PROGRAM, TESSALINE_PROGRAM, static_cast<char*>(nullptr));
      _exit(127);
    }
    launched_.push_back(pid);
    return pid;
  }

  // Starts it and waits until it shows that many pictures and its tray icon.
  void start(std::size_t pictures) {
    pid_ = launch();
    ASSERT_TRUE(waitUntil([&] { return picturesShown().size() == pictures && trayIcon() != 0; }))
        << "expected " << pictures << " pictures and the tray icon, got " << picturesShown().size()
        << " pictures and " << (trayIcon() ? "an icon" : "no icon");
  }

  std::vector<Window> picturesShown() {
    std::vector<Window> pictures;
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      if (window != trayIcon() && place.width > 1 && place.height > 1) {
        pictures.push_back(window);
      }
    }
    return pictures;
  }

  // A window of the program there: GTK also maps a small one off the
  // screen for a menu's grab.
  bool windowNear(int x, int y) {
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      if (std::abs(place.x - x) < 16 && std::abs(place.y - y) < 16) {
        return true;
      }
    }
    return false;
  }

  std::string placesOfWindows() {
    std::string places;
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      places += " " + std::to_string(place.width) + "x" + std::to_string(place.height) + " at " +
                std::to_string(place.x) + ", " + std::to_string(place.y);
    }
    return places.empty() ? "no windows" : "windows" + places;
  }

  Window trayIcon() { return desktop_->windowTitled(pid_, "Tessaline"); }

  Window pictureAt(int x, int y) { return desktop_->windowAt(pid_, x, y); }

  // A menu is a new mapped window of the program.
  void openTrayMenu(int button) {
    std::size_t before = desktop_->mappedWindowsOf(pid_).size();
    Rectangle icon = desktop_->geometry(trayIcon());
    desktop_->click(icon.x + icon.width / 2, icon.y + icon.height / 2, button);
    ASSERT_TRUE(waitUntil([&] { return desktop_->mappedWindowsOf(pid_).size() > before; }))
        << "expected a menu after clicking the tray icon with button " << button << " at " << icon.x << ", " << icon.y
        << ", got " << placesOfWindows();
  }

  void chooseByKeyboard(int downs) {
    for (int press = 0; press < downs; ++press) {
      desktop_->key("Down");
    }
    desktop_->key("Return");
  }

  void chooseFromSystemMenu(const std::string& item) {
    openTrayMenu(3);
    chooseByKeyboard(downsTo(item));
  }

  std::uint32_t pixelAt(int x, int y) { return desktop_->pixels(Rectangle{x, y, 1, 1})[0]; }

  // Windows are painted a moment after they are mapped: wait for the colour.
  ::testing::AssertionResult comesToShow(int x, int y, std::uint32_t colour) {
    if (waitUntil([&] { return pixelAt(x, y) == colour; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") expected 0x" << std::hex << colour
                                         << ", got 0x" << pixelAt(x, y);
  }

  bool running() { return waitpid(pid_, &status_, WNOHANG) == 0; }

  // The exit status once the program has ended (255 for -1); -1000 when it
  // does not.
  int exitStatus() { return exitStatusOf(pid_, status_); }

  static int exitStatusOf(pid_t pid, int& status) {
    if (!waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
      return -1000;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

  // The hidden window through which the running copy is found: it holds
  // the owner window's name until the program ends.
  Window nameHolder() { return desktop_->selectionOwner("_WIN32_WINDOW 12 parentwindow tessaline"); }

  bool compositorRuns() { return selectionOwned("_NET_WM_CM_S0"); }
  bool trayRuns() { return selectionOwned("_NET_SYSTEM_TRAY_S0"); }

  bool selectionOwned(const char* selection) {
    Display* display = XOpenDisplay(nullptr);
    bool owned = XGetSelectionOwner(display, XInternAtom(display, selection, False)) != 0;
    XCloseDisplay(display);
    return owned;
  }

  testsupport::TemporaryDirectory directory_{"x11"};
  std::unique_ptr<x11test::X11Desktop> desktop_;
  pid_t pid_ = 0;
  int status_ = 0;
  std::vector<pid_t> launched_;
};

}  // namespace x11test

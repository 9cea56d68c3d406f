// The fixture of the Linux program's X11-only cases: the shared one, with
// the program's windows as the X server has them.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "X11HostDesktop.h"
#include "scenarios/ProgramOnDesktop.h"

namespace x11test {

using desktoptest::downsTo;

class DesktopProgram : public desktoptest::ProgramOnDesktop {
 protected:
  void SetUp() override {
    ProgramOnDesktop::SetUp();
    if (host_) {
      desktop_ = &static_cast<X11HostDesktop&>(*host_).x11();
    }
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

  void openTrayMenu(int button) {
    ASSERT_TRUE(host_->openTrayMenu(pid_, button))
        << "expected a menu after clicking the tray icon with button " << button << ", got " << placesOfWindows();
  }

  // The hidden window through which the running copy is found: it holds
  // the owner window's name until the program ends.
  Window nameHolder() { return desktop_->selectionOwner("_WIN32_WINDOW 12 parentwindow tessaline"); }

  bool compositorRuns() { return host_->composites(); }
  bool trayRuns() { return selectionOwned("_NET_SYSTEM_TRAY_S0"); }

  bool selectionOwned(const char* selection) {
    Display* display = XOpenDisplay(nullptr);
    bool owned = XGetSelectionOwner(display, XInternAtom(display, selection, False)) != 0;
    XCloseDisplay(display);
    return owned;
  }

  X11Desktop* desktop_ = nullptr;
};

}  // namespace x11test

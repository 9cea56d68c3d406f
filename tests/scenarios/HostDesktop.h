// The hands and eyes a case of the Linux program needs on a real desktop,
// whichever host shows it: the screen's pixels, the user's pointer and
// keyboard, the tray, and surfaces of the test's own. Each desktop the
// program runs on implements it once; the scenarios run on each.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace desktoptest {

struct Rectangle {
  int x;
  int y;
  int width;
  int height;
};

class HostDesktop {
 public:
  virtual ~HostDesktop() = default;

  // The screen's pixels as 0xFFRRGGBB, top row first.
  virtual std::vector<std::uint32_t> pixels(const Rectangle& area) = 0;
  // Whether translucent pixels are blended with what lies below.
  virtual bool composites() = 0;

  // The process shows its tray icon, a window so titled (a box), any
  // window at all.
  virtual bool trayIconShown(int pid) = 0;
  virtual bool windowTitled(int pid, const std::string& title) = 0;
  virtual bool showsAWindow(int pid) = 0;

  // From now on, whether the process's tray icon went before anything else
  // of it that the desktop sees go.
  virtual void watchTrayIconGoing(int pid) = 0;
  virtual bool trayIconWentFirst() = 0;

  virtual void moveTo(int x, int y) = 0;
  virtual void press(int button) = 0;  // 1 left, 2 middle, 3 right
  virtual void release(int button) = 0;
  virtual void key(const char* keysym) = 0;
  void click(int x, int y, int button) {
    moveTo(x, y);
    press(button);
    release(button);
  }
  // Clicks the process's tray icon; whether a menu came.
  virtual bool openTrayMenu(int pid, int button) = 0;
  // Chooses the item at that place (1: the first; separators not counted)
  // of the menu just opened, as the desktop lets a user.
  virtual void chooseInMenu(int position) = 0;

  // A surface of the test's own below every window, recording the presses
  // it gets; and a normal window of the test's own in that colour over the
  // screen's middle, which it then asks to have raised above its peers.
  virtual void createClickTarget(const Rectangle& area) = 0;
  virtual bool clickTargetPressed() = 0;
  virtual void showNormalWindow(std::uint32_t colour) = 0;
  virtual void raiseNormalWindow() = 0;
};

// The desktop these tests run on, or null with the reason why none is here.
std::unique_ptr<HostDesktop> openHostDesktop(std::string& whyNot);

// Asks `condition` until it holds or `seconds` have passed; whether it held.
inline bool waitUntil(const std::function<bool()>& condition, double seconds = 10) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace desktoptest

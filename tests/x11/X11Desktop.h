// The tests' hands and eyes on a real X11 display: the program's windows
// as the X server has them, the screen's pixels, and the user's pointer and
// keyboard through XTEST (GTK menus refuse events sent to a window).
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scenarios/HostDesktop.h"

namespace x11test {

using desktoptest::Rectangle;
using desktoptest::waitUntil;

class X11Desktop {
 public:
  X11Desktop();  // opens $DISPLAY; throws when it cannot
  ~X11Desktop();
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  // The process's windows (by _NET_WM_PID) that are mapped now.
  std::vector<Window> mappedWindowsOf(int pid);
  // The one of them titled so (the tray icon), or 0.
  Window windowTitled(int pid, const std::string& title);
  // The mapped window of the process whose top left is there, or 0.
  Window windowAt(int pid, int x, int y);

  Rectangle geometry(Window window);
  bool hasState(Window window, const char* state);  // _NET_WM_STATE_ABOVE...
  bool exists(Window window);

  // The screen's pixels as 0xFFRRGGBB, top row first.
  std::vector<std::uint32_t> pixels(const Rectangle& area);

  // Another client moves a window, as `xdotool windowmove` does; the test
  // raises one of its own.
  void moveWindow(Window window, int x, int y);
  void raise(Window window);

  // A window of the test's own that the window manager keeps below all
  // others, and that records the button presses it gets.
  Window createClickTarget(const Rectangle& area);
  bool wasPressed(Window window);
  // A normal window of the test's own in that colour (0xRRGGBB).
  Window createNormalWindow(const Rectangle& area, std::uint32_t colour);

  // From now on, when each of these windows is unmapped or destroyed is
  // recorded; `gone` gives them in the order the server did it.
  void watchGoing(Window window);
  std::vector<Window> gone();

  // The process of the nearest window above this one that names its
  // process (the panel a tray icon is embedded in), or 0.
  int embedderOf(Window window);

  // The window holding an X selection, or 0.
  Window selectionOwner(const std::string& selection);

  void moveTo(int x, int y);
  void press(int button);
  void release(int button);
  void click(int x, int y, int button);
  void key(const char* keysym);

 private:
  Display* display_;
  std::vector<Window> gone_;
  std::vector<Window> allWindows();
  int pidOf(Window window);
  std::string titleOf(Window window);
  bool isViewable(Window window);
  Window createWindow(const Rectangle& area, std::uint32_t colour, const char* type, long events);
};

}  // namespace x11test

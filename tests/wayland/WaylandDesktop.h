// The tests' hands and eyes on a private headless sway (scripts/
// wayland-session): pixels through grim, the pointer and keyboard through
// virtual ones, the program's windows (boxes) through sway's
// tree, its tray icon through waybar's watcher and its first place in the
// bar, and surfaces of the test's own from wayland_test_surfaces.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "VirtualKeyboard.h"
#include "VirtualPointer.h"
#include "scenarios/HostDesktop.h"

namespace waylandtest {

using desktoptest::Rectangle;
using desktoptest::waitUntil;

class WaylandDesktop : public desktoptest::HostDesktop {
 public:
  WaylandDesktop();
  ~WaylandDesktop() override;

  std::vector<std::uint32_t> pixels(const Rectangle& area) override;
  bool composites() override { return true; }
  bool trayIconShown(int pid) override;
  bool windowTitled(int pid, const std::string& title) override;
  bool showsAWindow(int pid) override;
  // Nothing else of the program is seen to go: whether the icon went.
  void watchTrayIconGoing(int pid) override { watchedItems_ = trayItemsOf(pid); }
  bool trayIconWentFirst() override;
  void moveTo(int x, int y) override { pointer_.moveTo(x, y); }
  void press(int button) override { pointer_.press(button); }
  void release(int button) override { pointer_.release(button); }
  void key(const char* keysym) override;
  bool openTrayMenu(int pid, int button) override;
  void chooseInMenu(int position) override;
  void createClickTarget(const Rectangle& area) override;
  bool clickTargetPressed() override;
  void showNormalWindow(std::uint32_t colour) override;
  // sway tiles it over the first output, and layers are never among its peers.
  void raiseNormalWindow() override {}

  // A second output to the right of the first, 640x480; its name.
  std::string addOutput();
  // The outputs' places.
  std::vector<Rectangle> outputs();
  // The items registered with the tray's watcher by that process (0: all).
  std::vector<std::string> trayItemsOf(int pid);

 private:
  struct Surface {
    pid_t pid;
    int output;  // its standard output, not blocking
  };
  Surface startSurface(const std::vector<std::string>& arguments);
  bool said(const Surface& surface, const std::string& line);
  // Each of sway's windows as "pid<TAB>title" lines.
  std::vector<std::string> windows();
  Rectangle trayIcon();
  // Clicks the item at that place of a tray item's exported menu.
  void clickExportedItem(const std::string& item, int position);

  VirtualPointer pointer_;
  VirtualKeyboard keyboard_;
  std::vector<Surface> surfaces_;
  Surface clickTarget_{0, -1};
  std::vector<std::string> watchedItems_;
  int menuPid_ = 0;
  int menuButton_ = 0;
};

}  // namespace waylandtest

// The shared scenarios' hands and eyes on a real X11 display: the program's
// windows as the X server has them, its tray icon a window titled
// "Tessaline", its menus new mapped windows of it.
#pragma once

#include "X11Desktop.h"
#include "scenarios/HostDesktop.h"

namespace x11test {

class X11HostDesktop : public desktoptest::HostDesktop {
 public:
  X11Desktop& x11() { return desktop_; }

  std::vector<std::uint32_t> pixels(const Rectangle& area) override { return desktop_.pixels(area); }
  bool composites() override { return desktop_.selectionOwner("_NET_WM_CM_S0") != 0; }
  bool trayIconShown(int pid) override { return desktop_.windowTitled(pid, "Tessaline") != 0; }
  bool windowTitled(int pid, const std::string& title) override { return desktop_.windowTitled(pid, title) != 0; }
  bool showsAWindow(int pid) override { return !desktop_.mappedWindowsOf(pid).empty(); }
  void watchTrayIconGoing(int pid) override;
  bool trayIconWentFirst() override;
  void moveTo(int x, int y) override { desktop_.moveTo(x, y); }
  void press(int button) override { desktop_.press(button); }
  void release(int button) override { desktop_.release(button); }
  void key(const char* keysym) override { desktop_.key(keysym); }
  bool openTrayMenu(int pid, int button) override;
  void chooseInMenu(int position) override;
  void createClickTarget(const Rectangle& area) override { clickTarget_ = desktop_.createClickTarget(area); }
  bool clickTargetPressed() override { return desktop_.wasPressed(clickTarget_); }
  void showNormalWindow(std::uint32_t colour) override;
  void raiseNormalWindow() override { desktop_.raise(normalWindow_); }

 private:
  X11Desktop desktop_;
  Window clickTarget_ = 0;
  Window icon_ = 0;
  Window normalWindow_ = 0;
};

}  // namespace x11test

#include "X11HostDesktop.h"

#include <cstdlib>

namespace x11test {

// The icon goes before the hidden window that holds the program's name,
// which its connection closing would take away too.
void X11HostDesktop::watchTrayIconGoing(int pid) {
  icon_ = desktop_.windowTitled(pid, "Tessaline");
  desktop_.watchGoing(icon_);
  desktop_.watchGoing(desktop_.selectionOwner("_WIN32_WINDOW 12 parentwindow tessaline"));
}

bool X11HostDesktop::trayIconWentFirst() {
  std::vector<Window> gone = desktop_.gone();
  return !gone.empty() && gone.front() == icon_;
}

// A menu that has just been chosen in is still going away: what counts as
// before is what is mapped once that has settled.
bool X11HostDesktop::openTrayMenu(int pid, int button) {
  std::size_t before = desktop_.mappedWindowsOf(pid).size();
  int unchanged = 0;
  waitUntil(
      [&] {
        std::size_t now = desktop_.mappedWindowsOf(pid).size();
        unchanged = now == before ? unchanged + 1 : 0;
        before = now;
        return unchanged == 5;
      },
      2);
  Rectangle icon = desktop_.geometry(desktop_.windowTitled(pid, "Tessaline"));
  desktop_.click(icon.x + icon.width / 2, icon.y + icon.height / 2, button);
  return waitUntil([&] { return desktop_.mappedWindowsOf(pid).size() > before; });
}

// By keyboard: GTK's menus take it on X11.
void X11HostDesktop::chooseInMenu(int position) {
  for (int press = 0; press < position; ++press) {
    desktop_.key("Down");
  }
  desktop_.key("Return");
}

void X11HostDesktop::showNormalWindow(std::uint32_t colour) {
  normalWindow_ = desktop_.createNormalWindow(Rectangle{100, 100, 800, 600}, colour & 0xFFFFFF);
}

}  // namespace x11test

std::unique_ptr<desktoptest::HostDesktop> desktoptest::openHostDesktop(std::string& whyNot) {
  if (!std::getenv("TESSALINE_X11_TESTS")) {
    whyNot = "these run in scripts/test-linux-desktop, on a private X display";
    return nullptr;
  }
  return std::unique_ptr<HostDesktop>(new x11test::X11HostDesktop);
}

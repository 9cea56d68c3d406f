#include "hosts/wayland/WaylandHost.h"

namespace platform {
namespace wayland {

// A panel's request is answered where the overlay finds the pointer (the
// point the panel gives is its own); the overlay goes again at once when
// the click opened no menu over it.
WaylandHost::WaylandHost()
    : pictures_(input_, [this](const GdkEvent* event) { rememberTrigger(event); }),
      tray_(
          input_, trayMenus_,
          [this](POINT, std::function<void(POINT)> then) {
            overlay_.locate(pointer_, [this, then](POINT point) {
              then(point);
              input_.push([this] {
                if (!menuShown_) {
                  overlay_.hide();
                }
              });
            });
          },
          [this] { rememberTrigger(nullptr); }),
      names_(LockFileNames::sessionFolder()) {}

// The items and surfaces go before the display they are on.
WaylandHost::~WaylandHost() { tray_.show({}); }

// A menu the tray asked for opens over the overlay, where the pointer is;
// one a click on a picture opened, from that picture's surface where the
// click was. Anything else (a menu opened with no click) gets the overlay;
// with no output to show it on, the menu is dismissed at once, as a menu
// that cannot be shown is on X11.
void WaylandHost::popUpMenu(const PopupMenuView& menu) {
  menuShown_ = true;
  GdkWindow* clicked = trigger_ ? gdk_event_get_window(trigger_) : nullptr;
  if (clicked && !overlay_.shown()) {
    gdouble x = 0;
    gdouble y = 0;
    gdk_event_get_coords(trigger_, &x, &y);
    menu_.open(menu, trigger_, clicked, GdkRectangle{static_cast<int>(x), static_cast<int>(y), 1, 1});
    return;
  }
  if (!overlay_.shown()) {
    overlay_.locate(menu.point, [](POINT) {});
  }
  if (!overlay_.window()) {
    input_.push(input::DismissMenu{});
    return;
  }
  menu_.open(menu, trigger_, overlay_.window(), overlay_.pointIn(menu.point));
}

void WaylandHost::popupMenuClosed(UINT command) {
  GtkHost::popupMenuClosed(command);
  menuShown_ = false;
  overlay_.hide();
}

void WaylandHost::trayIconsChanged(const std::vector<TrayIconView>& icons) { tray_.show(icons); }

void WaylandHost::windowChanged(const WindowView& view, WindowChange change) {
  if (change == WindowChange::destroyed) {
    names_.withdraw(view.window);
  }
  pictures_.change(view, change);
  freedMemory_.windowChanged(change);
}

void WaylandHost::windowCreated(HWND window, const std::string& className, const std::string& title) {
  names_.publish(window, className, title);
}

bool WaylandHost::otherProgramHasWindow(const std::string& className, const std::string& title) {
  return names_.othersHave(className, title);
}

// The box around every output, as Windows' virtual screen is.
SIZE WaylandHost::screenSize() {
  GdkRectangle screen = LayerPictures::screen();
  return SIZE{screen.x + screen.width, screen.y + screen.height};
}

}  // namespace wayland
}  // namespace platform

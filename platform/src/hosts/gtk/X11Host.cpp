#include "hosts/gtk/X11Host.h"

#include <gdk/gdkx.h>

namespace platform {
namespace gtk {

X11Host::X11Host()
    : pictures_(
          input_, [this](const GdkEvent* event) { rememberTrigger(event); }, [this] { captureChanged(captured_); }),
      tray_(input_, trayMenus_, [this](const GdkEvent* event) { rememberTrigger(event); }),
      names_(gdk_x11_display_get_xdisplay(gdk_display_get_default())) {}

void X11Host::trayIconsChanged(const std::vector<TrayIconView>& icons) { tray_.show(icons); }

// At the point on the root window: X places a menu anywhere on the screen.
void X11Host::popUpMenu(const PopupMenuView& menu) {
  GdkRectangle point{static_cast<int>(menu.point.x), static_cast<int>(menu.point.y), 1, 1};
  menu_.open(menu, trigger_, gdk_get_default_root_window(), point);
}

void X11Host::windowChanged(const WindowView& view, WindowChange change) {
  if (change == WindowChange::destroyed) {
    names_.withdraw(view.window);
  }
  pictures_.change(view, change);
  freedMemory_.windowChanged(change);
}

void X11Host::windowCreated(HWND window, const std::string& className, const std::string& title) {
  names_.publish(window, className, title);
}

bool X11Host::otherProgramHasWindow(const std::string& className, const std::string& title) {
  return names_.othersHave(className, title);
}

// The capture is a pointer grab on the window's native window. X already
// keeps the pointer for a window a button went down in until it comes up;
// the grab does the same for a capture taken otherwise, and is taken again
// when the windows are made anew in the middle of a drag.
void X11Host::captureChanged(HWND window) {
  captured_ = window;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  if (grabbing_) {
    gdk_seat_ungrab(seat);
    grabbing_ = false;
  }
  GdkWindow* native = window ? pictures_.nativeWindow(window) : nullptr;
  if (native && gdk_window_is_visible(native)) {
    grabbing_ = gdk_seat_grab(seat, native, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr, trigger_, nullptr,
                              nullptr) == GDK_GRAB_SUCCESS;
  }
}

void X11Host::moveCursor(POINT point) {
  GdkDisplay* display = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  gdk_device_warp(pointer, gdk_display_get_default_screen(display), point.x, point.y);
  pointer_ = point;
}

// The X screen spans every monitor, as Windows' virtual screen does.
SIZE X11Host::screenSize() {
  GdkWindow* root = gdk_get_default_root_window();
  return SIZE{gdk_window_get_width(root), gdk_window_get_height(root)};
}

}  // namespace gtk
}  // namespace platform

// Where a menu opened from the tray shows on Wayland. A panel's request
// (a StatusNotifierItem's Activate or ContextMenu) brings no usable point
// and no surface of ours, and a GTK menu needs a parent surface: a
// transparent surface over the whole output, on the "overlay" layer,
// learns the pointer where it enters it and is the menu's parent. A click
// outside the menu ends the menu, and the surface goes with it.
#pragma once

#include <windows.h>

#include <gtk/gtk.h>

#include <functional>

namespace platform {
namespace wayland {

class MenuOverlay {
 public:
  MenuOverlay();
  ~MenuOverlay();
  MenuOverlay(const MenuOverlay&) = delete;
  MenuOverlay& operator=(const MenuOverlay&) = delete;

  // Shows the surface on the output around `near`, and calls `then` with
  // the pointer's screen point once it is known (or `near` when the
  // pointer does not come within a moment).
  void locate(POINT near, std::function<void(POINT)> then);
  // Whether it is shown, to be a menu's parent.
  bool shown() const { return gtk_widget_get_visible(widget_); }
  GdkWindow* window() const { return gtk_widget_get_window(widget_); }
  // A screen point in the surface's own coordinates.
  GdkRectangle pointIn(POINT point) const;
  void hide();

 private:
  static gboolean onPointer(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean onTimeout(gpointer self);
  void found(POINT point);

  GtkWidget* widget_;
  GdkRectangle area_ = {0, 0, 0, 0};
  std::function<void(POINT)> then_;
  guint timeout_ = 0;
  POINT nearPoint_ = {0, 0};
};

}  // namespace wayland
}  // namespace platform

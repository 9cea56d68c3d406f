#include "hosts/wayland/MenuOverlay.h"

#include <gtk-layer-shell/gtk-layer-shell.h>

namespace platform {
namespace wayland {

namespace {

// A pointer already over the output shows itself at the first motion; one
// that is not (keyboard users) is not waited for long.
const guint kWaitMilliseconds = 400;

GdkMonitor* monitorNear(POINT point) {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, point.x, point.y);
  return monitor ? monitor : gdk_display_get_monitor(display, 0);
}

}  // namespace

MenuOverlay::MenuOverlay() : widget_(gtk_window_new(GTK_WINDOW_TOPLEVEL)) {
  GtkWindow* window = GTK_WINDOW(widget_);
  gtk_layer_init_for_window(window);
  gtk_layer_set_namespace(window, "tessaline-menu");
  gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
  for (GtkLayerShellEdge edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT, GTK_LAYER_SHELL_EDGE_TOP,
                                 GTK_LAYER_SHELL_EDGE_BOTTOM}) {
    gtk_layer_set_anchor(window, edge, TRUE);
  }
  gtk_layer_set_exclusive_zone(window, -1);
  gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_EXCLUSIVE);
  if (GdkVisual* visual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(widget_))) {
    gtk_widget_set_visual(widget_, visual);
  }
  gtk_widget_set_app_paintable(widget_, TRUE);
  gtk_widget_add_events(widget_, GDK_ENTER_NOTIFY_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK);
  g_signal_connect(widget_, "enter-notify-event", G_CALLBACK(onPointer), this);
  g_signal_connect(widget_, "motion-notify-event", G_CALLBACK(onPointer), this);
  g_signal_connect(widget_, "button-press-event", G_CALLBACK(onPointer), this);
  g_signal_connect(widget_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cairo, gpointer) -> gboolean {
                     cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
                     cairo_set_source_rgba(cairo, 0, 0, 0, 0);
                     cairo_paint(cairo);
                     return TRUE;
                   }),
                   nullptr);
}

MenuOverlay::~MenuOverlay() {
  hide();
  gtk_widget_destroy(widget_);
}

// With no output at all there is nothing to show the surface on: the
// point given is the answer.
void MenuOverlay::locate(POINT near, std::function<void(POINT)> then) {
  hide();
  GdkMonitor* monitor = monitorNear(near);
  if (!monitor) {
    then(near);
    return;
  }
  gdk_monitor_get_geometry(monitor, &area_);
  gtk_layer_set_monitor(GTK_WINDOW(widget_), monitor);
  then_ = std::move(then);
  nearPoint_ = near;
  gtk_widget_show(widget_);
  timeout_ = g_timeout_add(kWaitMilliseconds, onTimeout, this);
}

GdkRectangle MenuOverlay::pointIn(POINT point) const {
  return GdkRectangle{static_cast<int>(point.x) - area_.x, static_cast<int>(point.y) - area_.y, 1, 1};
}

void MenuOverlay::hide() {
  if (timeout_) {
    g_source_remove(timeout_);
    timeout_ = 0;
  }
  then_ = nullptr;
  gtk_widget_hide(widget_);
}

// Only the first point counts: later ones, and a click outside the menu,
// are the menu's business.
gboolean MenuOverlay::onPointer(GtkWidget*, GdkEvent* event, gpointer self) {
  MenuOverlay& overlay = *static_cast<MenuOverlay*>(self);
  gdouble x = 0;
  gdouble y = 0;
  if (gdk_event_get_coords(event, &x, &y)) {
    overlay.found(POINT{overlay.area_.x + static_cast<LONG>(x), overlay.area_.y + static_cast<LONG>(y)});
  }
  return FALSE;
}

gboolean MenuOverlay::onTimeout(gpointer self) {
  MenuOverlay& overlay = *static_cast<MenuOverlay*>(self);
  overlay.timeout_ = 0;
  overlay.found(overlay.nearPoint_);
  return G_SOURCE_REMOVE;
}

void MenuOverlay::found(POINT point) {
  if (!then_) {
    return;
  }
  if (timeout_) {
    g_source_remove(timeout_);
    timeout_ = 0;
  }
  std::function<void(POINT)> then = std::move(then_);
  then_ = nullptr;
  then(point);
}

}  // namespace wayland
}  // namespace platform

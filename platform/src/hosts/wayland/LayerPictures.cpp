#include "hosts/wayland/LayerPictures.h"

#include "hosts/gtk/LayeredPainting.h"

#include <gdk/gdkwayland.h>
#include <gtk-layer-shell/gtk-layer-shell.h>

#include <wayland-client.h>
// The generated header names a parameter "namespace", a C++ keyword.
#define namespace namespace_name
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

#include <algorithm>
#include <climits>
#include <utility>

namespace platform {
namespace wayland {

namespace {

const char kNamespace[] = "tessaline";

// Twenty-odd kilobytes of configures: a tenth of what a socket holds.
const std::size_t kMostUnreadAnswers = 1000;

int widthOf(const RECT& rect) { return rect.right - rect.left; }
int heightOf(const RECT& rect) { return rect.bottom - rect.top; }

bool contains(const GdkRectangle& area, LONG x, LONG y) {
  return x >= area.x && y >= area.y && x < area.x + area.width && y < area.y + area.height;
}

// The output holding the point; off every output, the nearest one, so that
// a picture dragged past the edge stays on the output it left.
GdkMonitor* monitorAt(LONG x, LONG y) {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* nearest = nullptr;
  long nearestDistance = LONG_MAX;
  for (int index = 0; index < gdk_display_get_n_monitors(display); ++index) {
    GdkMonitor* monitor = gdk_display_get_monitor(display, index);
    GdkRectangle area;
    gdk_monitor_get_geometry(monitor, &area);
    if (contains(area, x, y)) {
      return monitor;
    }
    long dx = std::max<long>({area.x - x, 0L, x - (area.x + area.width - 1)});
    long dy = std::max<long>({area.y - y, 0L, y - (area.y + area.height - 1)});
    if (dx + dy < nearestDistance) {
      nearestDistance = dx + dy;
      nearest = monitor;
    }
  }
  return nearest;
}

}  // namespace

LayerPictures::LayerPictures(gtk::InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger)
    : input_(input), rememberTrigger_(std::move(rememberTrigger)), motion_(input) {
  GdkDisplay* display = gdk_display_get_default();
  g_signal_connect(display, "monitor-added", G_CALLBACK(onMonitorsChanged), this);
  g_signal_connect(display, "monitor-removed", G_CALLBACK(onMonitorsChanged), this);
}

LayerPictures::~LayerPictures() {
  if (mapSource_) {
    g_source_remove(mapSource_);
  }
  g_signal_handlers_disconnect_by_data(gdk_display_get_default(), this);
  while (!surfaces_.empty()) {
    destroy(surfaces_.begin()->first);
  }
}

GdkRectangle LayerPictures::screen() {
  GdkDisplay* display = gdk_display_get_default();
  GdkRectangle box{0, 0, 0, 0};
  for (int index = 0; index < gdk_display_get_n_monitors(display); ++index) {
    GdkRectangle area;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, index), &area);
    if (index == 0) {
      box = area;
    } else {
      gdk_rectangle_union(&box, &area, &box);
    }
  }
  return box;
}

GdkWindow* LayerPictures::nativeWindow(HWND window) const {
  auto found = surfaces_.find(window);
  return found == surfaces_.end() ? nullptr : gtk_widget_get_window(found->second->widget);
}

// Only layered windows have anything to show; the program's other windows
// (its hidden owner window) stay without a surface. The band is the layer;
// within a layer the compositor stacks surfaces by when they were mapped,
// so the desktop's order holds for the pictures shown together (at start,
// after a Reload, after Hide), and a single picture raised later stays
// where it is: a remap to raise it would flicker.
void LayerPictures::change(const WindowView& view, WindowChange change) {
  if (change == WindowChange::destroyed) {
    order_.erase(std::remove(order_.begin(), order_.end(), view.window), order_.end());
    destroy(view.window);
    return;
  }
  restack(view.window, view.above);
  if (!view.layered || (!view.visible && surfaces_.find(view.window) == surfaces_.end())) {
    return;
  }
  Surface& surface = surfaceFor(view);
  surface.rect = view.rect;
  switch (change) {
    case WindowChange::shown:
      place(surface);
      mapWhenIdle(surface);
      break;
    case WindowChange::hidden:
      forgetMap(surface.window);
      if (gtk_widget_get_visible(surface.widget)) {
        surface.painted = false;
        gtk_widget_hide(surface.widget);
        settle();
      }
      break;
    case WindowChange::moved:
      place(surface);
      break;
    case WindowChange::zOrder:
      if (surface.topmost != view.topmost) {
        surface.topmost = view.topmost;
        catchUpMargins(surface);
        gtk_layer_set_layer(GTK_WINDOW(surface.widget),
                            view.topmost ? GTK_LAYER_SHELL_LAYER_TOP : GTK_LAYER_SHELL_LAYER_BOTTOM);
      }
      break;
    case WindowChange::layeredContent:
      surface.hasContent = view.content != nullptr;
      if (view.content) {
        surface.content = *view.content;
      }
      shape(surface);
      gtk_widget_queue_draw(surface.widget);
      break;
    case WindowChange::destroyed:
      break;
  }
}

LayerPictures::Surface& LayerPictures::surfaceFor(const WindowView& view) {
  auto found = surfaces_.find(view.window);
  if (found != surfaces_.end()) {
    return *found->second;
  }
  std::unique_ptr<Surface> owned(new Surface);
  Surface* surface = owned.get();
  surface->owner = this;
  surface->widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  surface->window = view.window;
  surface->rect = view.rect;
  surface->topmost = view.topmost;
  surface->hasContent = view.content != nullptr;
  surface->content = view.content ? *view.content : LayeredContentView{};
  GtkWindow* window = GTK_WINDOW(surface->widget);
  gtk_layer_init_for_window(window);
  gtk_layer_set_namespace(window, kNamespace);
  gtk_layer_set_layer(window, view.topmost ? GTK_LAYER_SHELL_LAYER_TOP : GTK_LAYER_SHELL_LAYER_BOTTOM);
  gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_LEFT, TRUE);
  gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_TOP, TRUE);
  // Otherwise a panel's reserved room would shift the picture.
  gtk_layer_set_exclusive_zone(window, -1);
  gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_NONE);
  GdkScreen* screen = gtk_widget_get_screen(surface->widget);
  if (GdkVisual* visual = gdk_screen_get_rgba_visual(screen)) {
    gtk_widget_set_visual(surface->widget, visual);
  }
  gtk_widget_set_app_paintable(surface->widget, TRUE);
  gtk_widget_add_events(surface->widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  g_signal_connect(surface->widget, "draw", G_CALLBACK(onDraw), surface);
  g_signal_connect(surface->widget, "realize", G_CALLBACK(onRealize), surface);
  g_signal_connect(surface->widget, "button-press-event", G_CALLBACK(onButton), surface);
  g_signal_connect(surface->widget, "button-release-event", G_CALLBACK(onButton), surface);
  g_signal_connect(surface->widget, "motion-notify-event", G_CALLBACK(onMotion), surface);
  surfaces_[view.window] = std::move(owned);
  shape(*surface);
  return *surface;
}

void LayerPictures::destroy(HWND window) {
  forgetMap(window);
  auto found = surfaces_.find(window);
  if (found == surfaces_.end()) {
    return;
  }
  std::unique_ptr<Surface> surface = std::move(found->second);
  surfaces_.erase(found);
  g_signal_handlers_disconnect_by_data(surface->widget, surface.get());
  if (GdkWindow* native = gtk_widget_get_window(surface->widget)) {
    g_signal_handlers_disconnect_by_data(gdk_window_get_frame_clock(native), surface.get());
  }
  bool mapped = gtk_widget_get_visible(surface->widget);
  gtk_widget_destroy(surface->widget);
  if (mapped) {
    settle();
  }
}

// A move is margins on the output holding the top-left corner.
void LayerPictures::place(Surface& surface) {
  GtkWindow* window = GTK_WINDOW(surface.widget);
  int width = std::max(1, widthOf(surface.rect));
  int height = std::max(1, heightOf(surface.rect));
  if (width != surface.width || height != surface.height) {
    gtk_widget_set_size_request(surface.widget, width, height);
    gtk_window_resize(window, width, height);
    surface.width = width;
    surface.height = height;
  }
  GdkMonitor* monitor = monitorAt(surface.rect.left, surface.rect.top);
  if (!monitor) {
    return;
  }
  if (monitor != surface.monitor) {
    // The library makes the surface anew there, with the margins it is
    // told below: nothing shows until GTK paints it again.
    surface.painted = false;
    surface.monitor = monitor;
    gtk_layer_set_monitor(window, monitor);
  }
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  POINT margins{surface.rect.left - area.x, surface.rect.top - area.y};
  if (!moveAtOnce(surface, margins)) {
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_LEFT, margins.x);
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_TOP, margins.y);
  }
}

// The layer shell library would have GTK paint the whole picture again to
// carry new margins, and a frame later: while a picture is dragged, a
// paint a frame. A surface that shows a picture takes them with a commit
// of their own instead.
bool LayerPictures::moveAtOnce(Surface& surface, POINT margins) {
  GdkWindow* native = gtk_widget_get_window(surface.widget);
  zwlr_layer_surface_v1* layer = gtk_layer_get_zwlr_layer_surface_v1(GTK_WINDOW(surface.widget));
  if (!surface.painted || !native || !layer) {
    return false;
  }
  zwlr_layer_surface_v1_set_margin(layer, margins.y, 0, 0, margins.x);
  wl_surface_commit(gdk_wayland_window_get_wl_surface(native));
  surface.margins = margins;
  surface.marginsAhead = true;
  return true;
}

// A surface shown again, or put on another output, is made anew with the
// margins place() tells the library before. A new layer is the one change
// where the library may make it anew by itself (compositors of the
// protocol's first version): it learns the margins sent past it first.
void LayerPictures::catchUpMargins(Surface& surface) {
  if (!surface.marginsAhead) {
    return;
  }
  surface.marginsAhead = false;
  GtkWindow* window = GTK_WINDOW(surface.widget);
  gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_LEFT, surface.margins.x);
  gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_TOP, surface.margins.y);
}

// Clicks pass where the picture shows nothing. The widget's own input
// shape, since GTK sets the native window's anew when it realizes it.
void LayerPictures::shape(Surface& surface) {
  cairo_region_t* region = gtk::hitRegion(surface.hasContent ? &surface.content : nullptr);
  gtk_widget_input_shape_combine_region(surface.widget, region);
  cairo_region_destroy(region);
}

gboolean LayerPictures::onDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
  Surface& surface = *static_cast<Surface*>(data);
  gtk::paintLayered(cairo, surface.hasContent ? &surface.content : nullptr);
  surface.painted = true;
  surface.drawnUnsettled = true;
  return TRUE;
}

POINT LayerPictures::pointerAt(Surface& surface, gdouble x, gdouble y, bool held) {
  POINT origin{surface.rect.left, surface.rect.top};
  POINT local{static_cast<LONG>(x), static_cast<LONG>(y)};
  return held ? pointer_.held(origin, local) : pointer_.free(origin, local);
}

// Double-click events are not clicks of their own: their presses came one
// by one before them.
gboolean LayerPictures::onButton(GtkWidget*, GdkEventButton* event, gpointer data) {
  Surface& surface = *static_cast<Surface*>(data);
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) {
    return TRUE;
  }
  if (event->button < 1 || event->button > 3) {
    return FALSE;
  }
  LayerPictures& pictures = *surface.owner;
  gtk::InputQueue& input = pictures.input_;
  pictures.motion_.flush();
  if (event->type == GDK_BUTTON_PRESS) {
    POINT origin{surface.rect.left, surface.rect.top};
    POINT point = pictures.pointer_.press(origin, POINT{static_cast<LONG>(event->x), static_cast<LONG>(event->y)});
    input.push(input::MoveCursor{point, surface.window});
    pictures.rememberTrigger_(reinterpret_cast<const GdkEvent*>(event));
    input.push(input::PressButton{gtk::mouseButtonOf(event->button)});
  } else {
    input.push(input::MoveCursor{pictures.pointerAt(surface, event->x, event->y, true), surface.window});
    pictures.pointer_.release();
    input.push(input::ReleaseButton{gtk::mouseButtonOf(event->button)});
  }
  return TRUE;
}

gboolean LayerPictures::onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  Surface& surface = *static_cast<Surface*>(data);
  bool held = (event->state & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK)) != 0;
  POINT point = surface.owner->pointerAt(surface, event->x, event->y, held);
  surface.owner->motion_.moved(point, surface.window);
  gdk_event_request_motions(event);
  return TRUE;
}

// Before GTK draws: the program has shown what it shows at once.
void LayerPictures::mapWhenIdle(Surface& surface) {
  forgetMap(surface.window);
  waitingToMap_.push_back(surface.window);
  waitingSorted_ = false;
  if (!mapSource_) {
    mapSource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, mapWaiting, this, nullptr);
  }
}

void LayerPictures::forgetMap(HWND window) {
  waitingToMap_.erase(std::remove(waitingToMap_.begin(), waitingToMap_.end(), window), waitingToMap_.end());
}

// The desktop's order of every window it has told of, top first. A notice
// names only the window right above the one it is about: the windows below
// are not told when one is put above them, so the order is kept here.
void LayerPictures::restack(HWND window, HWND above) {
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
  auto below = above ? std::find(order_.begin(), order_.end(), above) : order_.end();
  order_.insert(below == order_.end() ? order_.begin() : below + 1, window);
}

std::size_t LayerPictures::depthOf(HWND window) const {
  return static_cast<std::size_t>(std::find(order_.begin(), order_.end(), window) - order_.begin());
}

// Sway puts a surface mapped later below those mapped before it in its
// layer: the top one is mapped first, whatever order the program showed
// them in.
// One a turn of the loop, each waited for (see settle).
gboolean LayerPictures::mapWaiting(gpointer self) {
  LayerPictures& pictures = *static_cast<LayerPictures*>(self);
  if (pictures.waitingToMap_.empty()) {
    pictures.mapSource_ = 0;
    return G_SOURCE_REMOVE;
  }
  if (!pictures.waitingSorted_) {
    pictures.sortWaitingTopFirst();
  }
  Surface& surface = *pictures.surfaces_.at(pictures.waitingToMap_.front());
  pictures.waitingToMap_.erase(pictures.waitingToMap_.begin());
  gtk_widget_show(surface.widget);
  pictures.settle();
  return G_SOURCE_CONTINUE;
}

// Sway configures every surface of a layer again whenever one comes, goes
// or shows its first picture, and cuts off a program that has not read
// those answers before its buffer for them fills: a hundred pictures shown
// or taken away in one go did it. The answers are waited for and read
// once those to the changes since the last wait could number
// kMostUnreadAnswers; a wait after every change had the program and sway
// take turns, each idle while the other worked.
void LayerPictures::settle() {
  unreadAnswers_ += surfaces_.size();
  if (unreadAnswers_ >= kMostUnreadAnswers) {
    unreadAnswers_ = 0;
    gdk_display_sync(gdk_display_get_default());
  }
}

// A surface's painting is committed after the paint; the answers to it are
// read before the next surface paints; a frame that only laid the window
// out waits for nothing. From its first frame on, the surface's configures
// are held and answered together (HeldConfigures).
void LayerPictures::onRealize(GtkWidget* widget, gpointer surface) {
  GdkFrameClock* clock = gdk_window_get_frame_clock(gtk_widget_get_window(widget));
  g_signal_connect(clock, "after-paint", G_CALLBACK(onAfterPaint), surface);
}

void LayerPictures::onAfterPaint(GdkFrameClock*, gpointer data) {
  Surface& surface = *static_cast<Surface*>(data);
  if (surface.drawnUnsettled) {
    surface.drawnUnsettled = false;
    surface.owner->settle();
    if (zwlr_layer_surface_v1* layer = gtk_layer_get_zwlr_layer_surface_v1(GTK_WINDOW(surface.widget))) {
      surface.owner->configures_.hold(layer);
    }
  }
}

void LayerPictures::sortWaitingTopFirst() {
  std::vector<std::pair<std::size_t, HWND>> byDepth;
  for (HWND window : waitingToMap_) {
    byDepth.emplace_back(depthOf(window), window);
  }
  std::stable_sort(byDepth.begin(), byDepth.end(),
                   [](const auto& one, const auto& other) { return one.first < other.first; });
  for (std::size_t index = 0; index < byDepth.size(); ++index) {
    waitingToMap_[index] = byDepth[index].second;
  }
  waitingSorted_ = true;
}

// An output that comes or goes can change which one holds each picture.
void LayerPictures::onMonitorsChanged(GdkDisplay*, GdkMonitor*, gpointer self) {
  LayerPictures& pictures = *static_cast<LayerPictures*>(self);
  for (auto& entry : pictures.surfaces_) {
    entry.second->monitor = nullptr;
    pictures.place(*entry.second);
  }
}

}  // namespace wayland
}  // namespace platform

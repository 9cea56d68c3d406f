#include "hosts/gtk/PictureWindows.h"

#include "hosts/gtk/LayeredPainting.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace gtk {

namespace {

POINT rootPoint(gdouble x, gdouble y) { return POINT{static_cast<LONG>(x), static_cast<LONG>(y)}; }

int widthOf(const RECT& rect) { return rect.right - rect.left; }
int heightOf(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

// The window manager answers a burst of moves (a drag) with fewer
// configure notices: a few seconds' worth of unanswered requests at most.
const std::size_t kMostRequestedPlaces = 256;

PictureWindows::PictureWindows(InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger,
                               std::function<void()> remade)
    : input_(input), rememberTrigger_(std::move(rememberTrigger)), remade_(std::move(remade)) {
  g_signal_connect(gdk_screen_get_default(), "composited-changed", G_CALLBACK(onCompositedChanged), this);
}

PictureWindows::~PictureWindows() {
  g_signal_handlers_disconnect_by_data(gdk_screen_get_default(), this);
  while (!natives_.empty()) {
    destroy(natives_.begin()->first);
  }
}

GdkWindow* PictureWindows::nativeWindow(HWND window) const {
  auto found = natives_.find(window);
  return found == natives_.end() ? nullptr : gtk_widget_get_window(found->second->widget);
}

// Only layered windows have anything to show; the program's other windows
// (its hidden owner window) stay without a native one.
void PictureWindows::change(const WindowView& view, WindowChange change) {
  if (change == WindowChange::destroyed) {
    destroy(view.window);
    return;
  }
  if (!view.layered || (!view.visible && natives_.find(view.window) == natives_.end())) {
    return;
  }
  Native& native = nativeFor(view);
  native.rect = view.rect;
  native.above = view.above;
  native.topmost = view.topmost;
  switch (change) {
    case WindowChange::shown:
      place(native);
      restack(native, view);
      gtk_widget_show(native.widget);
      break;
    case WindowChange::hidden:
      native.placed = false;
      gtk_widget_hide(native.widget);
      break;
    case WindowChange::moved:
      place(native);
      break;
    case WindowChange::zOrder:
      restack(native, view);
      break;
    case WindowChange::layeredContent:
      native.hasContent = view.content != nullptr;
      if (view.content) {
        native.content = *view.content;
      }
      shape(native);
      gtk_widget_queue_draw(native.widget);
      break;
    case WindowChange::destroyed:
      break;
  }
}

PictureWindows::Native& PictureWindows::nativeFor(const WindowView& view) {
  auto found = natives_.find(view.window);
  if (found != natives_.end()) {
    return *found->second;
  }
  std::unique_ptr<Native> owned(new Native);
  Native* native = owned.get();
  native->owner = this;
  native->widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  native->window = view.window;
  native->rect = view.rect;
  native->hasContent = view.content != nullptr;
  native->content = view.content ? *view.content : LayeredContentView{};
  GtkWindow* window = GTK_WINDOW(native->widget);
  gtk_window_set_decorated(window, FALSE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_skip_taskbar_hint(window, TRUE);
  gtk_window_set_skip_pager_hint(window, TRUE);
  gtk_window_set_accept_focus(window, FALSE);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
  gtk_widget_set_app_paintable(native->widget, TRUE);
  gtk_widget_add_events(native->widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  useScreenVisual(*native);
  g_signal_connect(native->widget, "draw", G_CALLBACK(onDraw), native);
  g_signal_connect(native->widget, "map-event", G_CALLBACK(onMap), native);
  g_signal_connect(native->widget, "button-press-event", G_CALLBACK(onButton), native);
  g_signal_connect(native->widget, "button-release-event", G_CALLBACK(onButton), native);
  g_signal_connect(native->widget, "motion-notify-event", G_CALLBACK(onMotion), native);
  g_signal_connect(native->widget, "grab-broken-event", G_CALLBACK(onGrabBroken), native);
  g_signal_connect(native->widget, "configure-event", G_CALLBACK(onConfigure), native);
  gtk_window_set_keep_above(window, view.topmost);
  natives_[view.window] = std::move(owned);
  gtk_widget_realize(native->widget);
  shape(*native);
  return *native;
}

// An RGBA visual only when a compositor blends it: without one the visual
// may exist, but its alpha shows as black.
void PictureWindows::useScreenVisual(Native& native) {
  GdkScreen* screen = gtk_widget_get_screen(native.widget);
  GdkVisual* visual = gdk_screen_is_composited(screen) ? gdk_screen_get_rgba_visual(screen) : nullptr;
  gtk_widget_set_visual(native.widget, visual ? visual : gdk_screen_get_system_visual(screen));
}

void PictureWindows::destroy(HWND window) {
  auto found = natives_.find(window);
  if (found == natives_.end()) {
    return;
  }
  std::unique_ptr<Native> native = std::move(found->second);
  natives_.erase(found);
  g_signal_handlers_disconnect_by_data(native->widget, native.get());
  gtk_widget_destroy(native->widget);
}

// Window managers may ignore a position given before the window is
// mapped; it is given again once it is (onMap). A move of a mapped window
// is only a move, so a dragged picture is not painted again on each step.
void PictureWindows::place(Native& native) {
  GtkWindow* window = GTK_WINDOW(native.widget);
  int width = std::max(1, widthOf(native.rect));
  int height = std::max(1, heightOf(native.rect));
  if (width != native.width || height != native.height) {
    gtk_widget_set_size_request(native.widget, width, height);
    gtk_window_resize(window, width, height);
    native.width = width;
    native.height = height;
  }
  requestMove(native);
}

void PictureWindows::requestMove(Native& native) {
  POINT place{native.rect.left, native.rect.top};
  if (native.requestedPlaces.size() == kMostRequestedPlaces) {
    native.requestedPlaces.pop_front();
  }
  native.requestedPlaces.push_back(place);
  gtk_window_move(GTK_WINDOW(native.widget), place.x, place.y);
}

// The topmost band is the window manager's keep-above; the top of a band is
// a raise; anything else goes right below the window above it.
void PictureWindows::restack(Native& native, const WindowView& view) {
  gtk_window_set_keep_above(GTK_WINDOW(native.widget), view.topmost);
  GdkWindow* window = gtk_widget_get_window(native.widget);
  if (!window) {
    return;
  }
  GdkWindow* above = view.above ? nativeWindow(view.above) : nullptr;
  if (above) {
    gdk_window_restack(window, above, FALSE);
  } else if (!view.above) {
    gdk_window_raise(window);
  }
}

// Clicks pass where the picture shows nothing. Without a compositor the
// same region is the window's shape, so what lies below shows there.
void PictureWindows::shape(Native& native) {
  GdkWindow* window = gtk_widget_get_window(native.widget);
  if (!window) {
    return;
  }
  cairo_region_t* region = hitRegion(native.hasContent ? &native.content : nullptr);
  gdk_window_input_shape_combine_region(window, region, 0, 0);
  if (!gdk_screen_is_composited(gtk_widget_get_screen(native.widget))) {
    gdk_window_shape_combine_region(window, region, 0, 0);
    if (!saidNoCompositor_) {
      saidNoCompositor_ = true;
      std::fprintf(stderr, "%s: no compositor runs, so soft edges show over black; start one (xcompmgr, picom) for them\n",
                   g_get_prgname());
    }
  } else {
    gdk_window_shape_combine_region(window, nullptr, 0, 0);
  }
  cairo_region_destroy(region);
}

gboolean PictureWindows::onDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  paintLayered(cairo, native.hasContent ? &native.content : nullptr);
  return TRUE;
}

// A window manager that frames the window learns of its shapes when they
// change on a window it manages (openbox reads no input shape at mapping),
// so they are given again once it is.
gboolean PictureWindows::onMap(GtkWidget*, GdkEvent*, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  native.owner->requestMove(native);
  native.placed = true;
  native.owner->shape(native);
  return FALSE;
}

// A place the window manager reports that the program did not ask for is
// the desktop's own move (a panel's strut, snapping, another program, the
// user through the window manager): the desktop is told, so the program
// sees its window where the user does. GDK reads where a reparented window
// is when it handles the notice, so the answers to a burst of the
// program's own moves (a drag) can name them in any order: any of the
// recent ones is the program's.
gboolean PictureWindows::onConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  if (!native.placed || native.owner->remaking_) {
    return FALSE;
  }
  std::deque<POINT>& requested = native.requestedPlaces;
  for (const POINT& place : requested) {
    if (place.x == event->x && place.y == event->y) {
      return FALSE;
    }
  }
  if (event->x == native.rect.left && event->y == native.rect.top) {
    return FALSE;
  }
  requested.clear();
  native.rect = RECT{event->x, event->y, event->x + widthOf(native.rect), event->y + heightOf(native.rect)};
  native.owner->input_.push(input::MoveWindow{native.window, POINT{event->x, event->y}});
  return FALSE;
}

// Double-click events are not clicks of their own: their presses came one
// by one before them.
gboolean PictureWindows::onButton(GtkWidget*, GdkEventButton* event, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) {
    return TRUE;
  }
  if (event->button < 1 || event->button > 3) {
    return FALSE;
  }
  InputQueue& input = native.owner->input_;
  input.push(input::MoveCursor{rootPoint(event->x_root, event->y_root), native.window});
  if (event->type == GDK_BUTTON_PRESS) {
    native.owner->rememberTrigger_(reinterpret_cast<const GdkEvent*>(event));
    input.push(input::PressButton{mouseButtonOf(event->button)});
  } else {
    input.push(input::ReleaseButton{mouseButtonOf(event->button)});
  }
  return TRUE;
}

gboolean PictureWindows::onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  native.owner->input_.push(input::MoveCursor{rootPoint(event->x_root, event->y_root), native.window});
  gdk_event_request_motions(event);
  return TRUE;
}

// A grab ends with its window when the windows are made anew: that is no
// loss of the capture, and the grab is taken again on the new window.
gboolean PictureWindows::onGrabBroken(GtkWidget*, GdkEvent* event, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  if (!event->grab_broken.implicit && !native.owner->remaking_) {
    native.owner->input_.push(input::LoseCapture{});
  }
  return FALSE;
}

// A compositor that starts or stops changes which visual shows alpha:
// each window is made anew with the right one, in its place, in the same
// order, above or not as before, and a drag goes on with the new window.
void PictureWindows::onCompositedChanged(GdkScreen*, gpointer self) {
  PictureWindows& windows = *static_cast<PictureWindows*>(self);
  windows.remaking_ = true;
  for (auto& entry : windows.natives_) {
    Native& native = *entry.second;
    bool visible = gtk_widget_get_visible(native.widget);
    native.placed = false;
    gtk_widget_hide(native.widget);
    gtk_widget_unrealize(native.widget);
    windows.useScreenVisual(native);
    gtk_widget_realize(native.widget);
    gtk_window_set_keep_above(GTK_WINDOW(native.widget), native.topmost);
    windows.shape(native);
    if (visible) {
      windows.place(native);
      gtk_widget_show(native.widget);
    }
  }
  windows.restackAll();
  windows.remaking_ = false;
  windows.remade_();
}

// Raised from the bottom up, each window ends right below the one above it.
void PictureWindows::restackAll() {
  std::vector<std::pair<std::size_t, Native*>> byDepth;
  for (auto& entry : natives_) {
    std::size_t depth = 0;
    for (HWND above = entry.second->above; above && depth <= natives_.size(); ++depth) {
      auto found = natives_.find(above);
      above = found == natives_.end() ? NULL : found->second->above;
    }
    byDepth.emplace_back(depth, entry.second.get());
  }
  std::sort(byDepth.begin(), byDepth.end(),
            [](const auto& one, const auto& other) { return one.first > other.first; });
  for (const auto& entry : byDepth) {
    if (GdkWindow* window = gtk_widget_get_window(entry.second->widget)) {
      gdk_window_raise(window);
    }
  }
}

}  // namespace gtk
}  // namespace platform

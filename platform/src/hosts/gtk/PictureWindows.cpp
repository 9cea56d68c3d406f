#include "hosts/gtk/PictureWindows.h"

#include "hosts/gtk/InputShape.h"
#include "hosts/gtk/LayerImage.h"
#include "hosts/gtk/LayeredPainting.h"

#include <X11/extensions/XInput2.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace platform {
namespace gtk {

namespace {

const char* const kNativeKey = "tessaline-picture";

POINT rootPoint(gdouble x, gdouble y) { return POINT{static_cast<LONG>(x), static_cast<LONG>(y)}; }

int widthOf(const RECT& rect) { return std::max(1, static_cast<int>(rect.right - rect.left)); }
int heightOf(const RECT& rect) { return std::max(1, static_cast<int>(rect.bottom - rect.top)); }

bool isPointerEvent(GdkEventType type) {
  switch (type) {
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
    case GDK_MOTION_NOTIFY:
    case GDK_ENTER_NOTIFY:
    case GDK_LEAVE_NOTIFY:
    case GDK_SCROLL:
      return true;
    default:
      return false;
  }
}

// A fixed size the window manager keeps, at the place the program gives
// (a place given before the map is otherwise the window manager's to
// choose).
void holdSizeAndPlace(GdkWindow* window, int width, int height) {
  GdkGeometry geometry = {};
  geometry.min_width = geometry.max_width = width;
  geometry.min_height = geometry.max_height = height;
  gdk_window_set_geometry_hints(
      window, &geometry,
      static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE | GDK_HINT_POS | GDK_HINT_USER_POS));
}

// No frame, no title bar: set as the Motif hints' decorations word
// directly, since GDK reads the property back before it writes it.
void undecorate(GdkWindow* window) {
  enum { kDecorationsFlag = 1 << 1 };
  long hints[5] = {kDecorationsFlag, 0, 0, 0, 0};
  Display* display = GDK_WINDOW_XDISPLAY(window);
  Atom motif = gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(window), "_MOTIF_WM_HINTS");
  XChangeProperty(display, GDK_WINDOW_XID(window), motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
}

// The shapes go to the server directly: GDK gives a shaped top-level's
// shapes when it next paints it, and it never paints a picture. An X
// window is at most 32767 pixels wide and high (GDK makes a larger one
// that size): what lies beyond is left out rather than wrapped around.
std::vector<XRectangle> shapeRectanglesOf(const LayeredContentView* content) {
  const int kLargest = SHRT_MAX;
  std::vector<XRectangle> rectangles;
  if (!content) {
    return rectangles;
  }
  for (const ShapeRectangle& hit : hitRectangles(*content)) {
    if (hit.x < kLargest && hit.y < kLargest) {
      rectangles.push_back(XRectangle{static_cast<short>(hit.x), static_cast<short>(hit.y),
                                      static_cast<unsigned short>(std::min(hit.width, kLargest - hit.x)),
                                      static_cast<unsigned short>(std::min(hit.height, kLargest - hit.y))});
    }
  }
  return rectangles;
}

}  // namespace

// The core events a picture is sent: its exposures, and its mapping and
// places. The pointer's come through the input extension. GDK also asks
// for every property change and visibility change of a top-level: the
// window manager writes a dozen properties on each window it takes on, and
// each change was an event the server sent and the program read and threw
// away, thirty-odd a picture.
const long kPictureCoreEvents = ExposureMask | StructureNotifyMask;

// The window manager answers a burst of moves (a drag) with fewer
// configure notices: a few seconds' worth of unanswered requests at most.
const std::size_t kMostRequestedPlaces = 256;

PictureWindows::PictureWindows(InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger,
                               std::function<void()> remade)
    : input_(input),
      motion_(input, ConnectionNumber(gdk_x11_get_default_xdisplay())),
      stranger_(gtk_invisible_new()),
      rememberTrigger_(std::move(rememberTrigger)),
      remade_(std::move(remade)) {
  g_object_ref_sink(stranger_);
  g_signal_connect(gdk_screen_get_default(), "composited-changed", G_CALLBACK(onCompositedChanged), this);
  gdk_event_handler_set(onEvent, this, nullptr);
  int firstEvent = 0, firstError = 0;
  if (XQueryExtension(gdk_x11_get_default_xdisplay(), "XInputExtension", &xinputOpcode_, &firstEvent, &firstError)) {
    gdk_window_add_filter(nullptr, onPointerMotion, this);
  }
}

PictureWindows::~PictureWindows() {
  gdk_window_remove_filter(nullptr, onPointerMotion, this);
  gdk_event_handler_set([](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
  g_signal_handlers_disconnect_by_data(gdk_screen_get_default(), this);
  while (!natives_.empty()) {
    destroy(natives_.begin()->first);
  }
  gtk_widget_destroy(stranger_);
  g_object_unref(stranger_);
}

GdkWindow* PictureWindows::nativeWindow(HWND window) const {
  auto found = natives_.find(window);
  return found == natives_.end() ? nullptr : found->second->native;
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
  // A window the server makes goes on top of the stack: one made just now
  // for its show is there already.
  bool madeNow = natives_.find(view.window) == natives_.end();
  Native& native = nativeFor(view);
  native.rect = view.rect;
  native.above = view.above;
  native.topmost = view.topmost;
  switch (change) {
    case WindowChange::shown:
      // A window made or shown is mapped on top of the others: one that
      // is not the top goes right below the window above it first.
      place(native);
      if (view.above) {
        restack(native, view);
        gdk_window_show_unraised(native.native);
      } else {
        keepAbove(native, view.topmost);
        if (madeNow) {
          gdk_window_show_unraised(native.native);
        } else {
          gdk_window_show(native.native);
        }
      }
      // Sent now, not when the program next waits: the window manager and
      // the compositor take it on while the program makes its next picture.
      gdk_display_flush(gdk_window_get_display(native.native));
      break;
    case WindowChange::hidden:
      native.placed = false;
      gdk_window_hide(native.native);
      break;
    case WindowChange::moved:
      place(native);
      break;
    case WindowChange::zOrder:
      restack(native, view);
      break;
    case WindowChange::layeredContent:
      takeContent(native, view.content);
      shape(native);
      if (gdk_window_is_viewable(native.native)) {
        paint(native, 0, 0, widthOf(native.rect), heightOf(native.rect));
      }
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
  Native& native = *owned;
  native.owner = this;
  native.window = view.window;
  native.rect = view.rect;
  native.topmost = view.topmost;
  takeContent(native, view.content);
  natives_[view.window] = std::move(owned);
  realize(native);
  return native;
}

void PictureWindows::takeContent(Native& native, const LayeredContentView* content) {
  native.hasContent = content != nullptr;
  if (content) {
    native.content = *content;
  }
  native.hitShape = shapeRectanglesOf(content);
}

// An RGBA visual only when a compositor blends it: without one the visual
// may exist, but its alpha shows as black. Everything the window manager
// reads at the map is set here, before it, so nothing has to be told to it
// again.
void PictureWindows::realize(Native& native) {
  GdkScreen* screen = gdk_screen_get_default();
  GdkVisual* visual = gdk_screen_is_composited(screen) ? gdk_screen_get_rgba_visual(screen) : nullptr;
  GdkWindowAttr attributes = {};
  attributes.window_type = GDK_WINDOW_TOPLEVEL;
  attributes.wclass = GDK_INPUT_OUTPUT;
  attributes.visual = visual ? visual : gdk_screen_get_system_visual(screen);
  attributes.x = native.rect.left;
  attributes.y = native.rect.top;
  attributes.width = widthOf(native.rect);
  attributes.height = heightOf(native.rect);
  attributes.type_hint = GDK_WINDOW_TYPE_HINT_UTILITY;
  attributes.event_mask = GDK_EXPOSURE_MASK | GDK_STRUCTURE_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                          GDK_POINTER_MOTION_MASK;
  native.native = gdk_window_new(nullptr, &attributes, GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL | GDK_WA_TYPE_HINT);
  native.bounded = false;
  native.depth = gdk_visual_get_depth(attributes.visual);
  native.gc = XCreateGC(GDK_WINDOW_XDISPLAY(native.native), GDK_WINDOW_XID(native.native), 0, nullptr);
  XSelectInput(GDK_WINDOW_XDISPLAY(native.native), GDK_WINDOW_XID(native.native), kPictureCoreEvents);
  g_object_set_data(G_OBJECT(native.native), kNativeKey, &native);
  gdk_window_set_user_data(native.native, stranger_);
  gdk_window_add_filter(native.native, onXEvent, &native);
  // The server's exposures are answered in the filter; GDK's own paint of
  // a window it shows would only cost a frame, and keep a record of it
  // that GDK clears with a round trip once 64 have gathered.
  gdk_window_freeze_updates(native.native);
  undecorate(native.native);
  holdSizeAndPlace(native.native, attributes.width, attributes.height);
  gdk_window_set_skip_taskbar_hint(native.native, TRUE);
  gdk_window_set_skip_pager_hint(native.native, TRUE);
  gdk_window_set_accept_focus(native.native, FALSE);
  gdk_window_set_keep_above(native.native, native.topmost);
  native.keptAbove = native.topmost;
  native.requestedPlaces.assign(1, POINT{attributes.x, attributes.y});
  shape(native);
}

void PictureWindows::unrealize(Native& native) {
  gdk_window_remove_filter(native.native, onXEvent, &native);
  XFreeGC(GDK_WINDOW_XDISPLAY(native.native), native.gc);
  g_object_set_data(G_OBJECT(native.native), kNativeKey, nullptr);
  gdk_window_set_user_data(native.native, nullptr);
  gdk_window_destroy(native.native);
  native.native = nullptr;
}

void PictureWindows::destroy(HWND window) {
  auto found = natives_.find(window);
  if (found == natives_.end()) {
    return;
  }
  std::unique_ptr<Native> native = std::move(found->second);
  natives_.erase(found);
  unrealize(*native);
}

// Window managers may ignore a position given before the window is
// mapped; one that reports another place when it takes the window on is
// told again once it is mapped (onMap). A move of a mapped window
// is only a move, so a dragged picture is not painted again on each step;
// a place last asked for already is not asked for again.
void PictureWindows::place(Native& native) {
  int width = widthOf(native.rect);
  int height = heightOf(native.rect);
  if (width != gdk_window_get_width(native.native) || height != gdk_window_get_height(native.native)) {
    holdSizeAndPlace(native.native, width, height);
    gdk_window_resize(native.native, width, height);
  }
  const std::deque<POINT>& requested = native.requestedPlaces;
  if (requested.empty() || requested.back().x != native.rect.left || requested.back().y != native.rect.top) {
    requestMove(native);
  }
}

// Straight to the server: GDK's own move would also queue a look for
// crossings under the pointer after every step of a drag, and it learns
// the place from the window manager's notice anyway.
void PictureWindows::requestMove(Native& native) {
  POINT place{native.rect.left, native.rect.top};
  if (native.requestedPlaces.size() == kMostRequestedPlaces) {
    native.requestedPlaces.pop_front();
  }
  native.requestedPlaces.push_back(place);
  XMoveWindow(GDK_WINDOW_XDISPLAY(native.native), GDK_WINDOW_XID(native.native), place.x, place.y);
}

// The topmost band is the window manager's keep-above; the top of a band is
// a raise; anything else goes right below the window above it.
void PictureWindows::restack(Native& native, const WindowView& view) {
  keepAbove(native, view.topmost);
  GdkWindow* above = view.above ? nativeWindow(view.above) : nullptr;
  if (above) {
    gdk_window_restack(native.native, above, FALSE);
  } else if (!view.above) {
    gdk_window_raise(native.native);
  }
}

// Told to the window manager only when it changes: each telling of a
// mapped window is a request it acts on.
void PictureWindows::keepAbove(Native& native, bool topmost) {
  if (native.keptAbove != topmost) {
    gdk_window_set_keep_above(native.native, topmost);
    native.keptAbove = topmost;
  }
}

// Clicks pass where the picture shows nothing. Without a compositor the
// same region is the window's shape, so what lies below shows there.
void PictureWindows::shape(Native& native) {
  std::vector<XRectangle>& rectangles = native.hitShape;
  Display* display = GDK_WINDOW_XDISPLAY(native.native);
  Window window = GDK_WINDOW_XID(native.native);
  int count = static_cast<int>(rectangles.size());
  XShapeCombineRectangles(display, window, ShapeInput, 0, 0, rectangles.data(), count, ShapeSet, Unsorted);
  if (!gdk_screen_is_composited(gdk_screen_get_default())) {
    XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rectangles.data(), count, ShapeSet, Unsorted);
    if (!saidNoCompositor_) {
      saidNoCompositor_ = true;
      std::fprintf(stderr, "%s: no compositor runs, so soft edges show over black; start one (xcompmgr, picom) for them\n",
                   g_get_prgname());
    }
    native.bounded = true;
  } else if (native.bounded) {
    // Only when there is one to take away: any change of the window's
    // shape has the server expose it, and the picture put again.
    XShapeCombineMask(display, window, ShapeBounding, 0, 0, None, ShapeSet);
    native.bounded = false;
  }
}

void PictureWindows::paint(Native& native, int x, int y, int width, int height) {
  putLayered(GDK_WINDOW_XDISPLAY(native.native), GDK_WINDOW_XID(native.native), native.gc, native.depth,
             native.hasContent ? &native.content : nullptr, gdk_window_get_width(native.native),
             gdk_window_get_height(native.native), PutArea{x, y, width, height});
}

// A picture's own events are handled here; the rest are GTK's. While a GTK
// window holds a grab (an open menu), the pointer's events on a picture go
// to GTK too, which hands them to the grab's holder as a click outside it.
void PictureWindows::onEvent(GdkEvent* event, gpointer self) {
  PictureWindows& windows = *static_cast<PictureWindows*>(self);
  Native* native =
      event->any.window ? static_cast<Native*>(g_object_get_data(G_OBJECT(event->any.window), kNativeKey)) : nullptr;
  if (!native || (isPointerEvent(event->type) && gtk_grab_get_current())) {
    gtk_main_do_event(event);
    return;
  }
  switch (event->type) {
    case GDK_MAP:
      windows.onMap(*native);
      break;
    case GDK_CONFIGURE:
      windows.onConfigure(*native, event->configure);
      break;
    case GDK_BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
      windows.onButton(*native, event->button);
      break;
    case GDK_MOTION_NOTIFY:
      windows.onMotion(*native, &event->motion);
      break;
    case GDK_GRAB_BROKEN:
      windows.onGrabBroken(event->grab_broken);
      break;
    default:
      break;
  }
}

// A drag's motion costs GDK a device lookup, an event made and freed and a
// look for crossings, each time; a picture needs only the point. While a
// GTK window holds a grab (an open menu) they are GTK's.
GdkFilterReturn PictureWindows::onPointerMotion(GdkXEvent* xevent, GdkEvent*, gpointer self) {
  PictureWindows& windows = *static_cast<PictureWindows*>(self);
  const XGenericEventCookie& cookie = static_cast<XEvent*>(xevent)->xcookie;
  if (cookie.type != GenericEvent || cookie.extension != windows.xinputOpcode_ || cookie.evtype != XI_Motion ||
      !cookie.data || gtk_grab_get_current()) {
    return GDK_FILTER_CONTINUE;
  }
  const XIDeviceEvent& motion = *static_cast<const XIDeviceEvent*>(cookie.data);
  GdkWindow* window = gdk_x11_window_lookup_for_display(gdk_display_get_default(), motion.event);
  Native* native = window ? static_cast<Native*>(g_object_get_data(G_OBJECT(window), kNativeKey)) : nullptr;
  if (!native) {
    return GDK_FILTER_CONTINUE;
  }
  windows.motion_.moved(rootPoint(motion.root_x, motion.root_y), native->window);
  return GDK_FILTER_REMOVE;
}

// What the server asks to be painted again is put at once, whole, with
// the last of a series of notices, not later through GDK's frame. GDK asks the X server where a framed
// window is for each of the frame's notices, and reads the window
// manager's state properties on each change of them: a picture needs
// neither. The window manager's own notices (sent, with the place on the
// screen) say where it put the window.
GdkFilterReturn PictureWindows::onXEvent(GdkXEvent* xevent, GdkEvent*, gpointer data) {
  Native& native = *static_cast<Native*>(data);
  const XEvent& event = *static_cast<XEvent*>(xevent);
  if (event.type == Expose) {
    if (event.xexpose.count == 0) {
      native.owner->paint(native, 0, 0, gdk_window_get_width(native.native), gdk_window_get_height(native.native));
    }
    return GDK_FILTER_REMOVE;
  }
  if (event.type == PropertyNotify || (event.type == ConfigureNotify && !event.xconfigure.send_event)) {
    return GDK_FILTER_REMOVE;
  }
  return GDK_FILTER_CONTINUE;
}

// A window manager that frames the window learns of its shapes when they
// change on a window it manages (openbox reads no input shape at mapping),
// so they are given again once it is. The place is given again only to one
// that put the window elsewhere: one that keeps the place it was given
// sends no notice, and another move would only cost it and the compositor
// work for every picture.
void PictureWindows::onMap(Native& native) {
  if (native.placedElsewhere) {
    requestMove(native);
    native.placedElsewhere = false;
  }
  native.placed = true;
  shape(native);
}

// A place the window manager reports that the program did not ask for is
// the desktop's own move (a panel's strut, snapping, another program, the
// user through the window manager): the desktop is told, so the program
// sees its window where the user does. The answers to a burst of the
// program's own moves (a drag) can name them in any order: any of the
// recent ones is the program's.
void PictureWindows::onConfigure(Native& native, const GdkEventConfigure& event) {
  std::deque<POINT>& requested = native.requestedPlaces;
  if (!native.placed) {
    native.placedElsewhere = requested.empty() || requested.back().x != event.x || requested.back().y != event.y;
    return;
  }
  if (remaking_) {
    return;
  }
  for (const POINT& place : requested) {
    if (place.x == event.x && place.y == event.y) {
      return;
    }
  }
  if (event.x == native.rect.left && event.y == native.rect.top) {
    return;
  }
  requested.clear();
  native.rect = RECT{event.x, event.y, event.x + widthOf(native.rect), event.y + heightOf(native.rect)};
  input_.push(input::MoveWindow{native.window, POINT{event.x, event.y}});
}

// Double-click events are not clicks of their own: their presses came one
// by one before them.
void PictureWindows::onButton(Native& native, const GdkEventButton& event) {
  if (event.button < 1 || event.button > 3) {
    return;
  }
  motion_.flush();
  input_.push(input::MoveCursor{rootPoint(event.x_root, event.y_root), native.window});
  if (event.type == GDK_BUTTON_PRESS) {
    rememberTrigger_(reinterpret_cast<const GdkEvent*>(&event));
    input_.push(input::PressButton{mouseButtonOf(event.button)});
  } else {
    input_.push(input::ReleaseButton{mouseButtonOf(event.button)});
  }
}

void PictureWindows::onMotion(Native& native, GdkEventMotion* event) {
  motion_.moved(rootPoint(event->x_root, event->y_root), native.window);
  gdk_event_request_motions(event);
}

// A grab ends with its window when the windows are made anew: that is no
// loss of the capture, and the grab is taken again on the new window.
void PictureWindows::onGrabBroken(const GdkEventGrabBroken& event) {
  if (!event.implicit && !remaking_) {
    input_.push(input::LoseCapture{});
  }
}

// A compositor that starts or stops changes which visual shows alpha:
// each window is made anew with the right one, in its place, in the same
// order, above or not as before, and a drag goes on with the new window.
void PictureWindows::onCompositedChanged(GdkScreen*, gpointer self) {
  PictureWindows& windows = *static_cast<PictureWindows*>(self);
  windows.remaking_ = true;
  for (auto& entry : windows.natives_) {
    Native& native = *entry.second;
    bool visible = gdk_window_is_visible(native.native);
    native.placed = false;
    windows.unrealize(native);
    windows.realize(native);
    if (visible) {
      windows.place(native);
      gdk_window_show(native.native);
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
    gdk_window_raise(entry.second->native);
  }
}

}  // namespace gtk
}  // namespace platform

#include "hosts/gtk/TrayIcons.h"

#include <gdk/gdkx.h>

#include <cstdio>

// GtkStatusIcon is deprecated in GTK 3 but is what XEmbed trays (tint2,
// trayer, lxpanel, xfce4-panel, KDE's proxy) embed.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace platform {
namespace gtk {

namespace {

// How long a panel may take to embed a new icon before we say there is none.
const guint kEmbedWaitMilliseconds = 3000;

void releasePixels(guchar* pixels, gpointer) { g_free(pixels); }

// Straight 0xAARRGGBB pixels as the RGBA bytes a pixbuf holds.
GdkPixbuf* pixbufOf(const TrayIconView& icon) {
  if (icon.width < 1 || icon.height < 1) {
    return nullptr;
  }
  std::size_t count = static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
  guchar* bytes = static_cast<guchar*>(g_malloc(count * 4));
  for (std::size_t index = 0; index < count; ++index) {
    std::uint32_t pixel = icon.pixels[index];
    bytes[index * 4] = static_cast<guchar>(pixel >> 16);
    bytes[index * 4 + 1] = static_cast<guchar>(pixel >> 8);
    bytes[index * 4 + 2] = static_cast<guchar>(pixel);
    bytes[index * 4 + 3] = static_cast<guchar>(pixel >> 24);
  }
  return gdk_pixbuf_new_from_data(bytes, GDK_COLORSPACE_RGB, TRUE, 8, icon.width, icon.height, icon.width * 4,
                                  releasePixels, nullptr);
}

UINT mouseMessage(guint button, bool down) {
  switch (button) {
    case 1:
      return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case 3:
      return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case 2:
      return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
      return WM_NULL;
  }
}

}  // namespace

TrayIcons::~TrayIcons() {
  if (pendingShow_) {
    g_source_remove(pendingShow_);
  }
  if (embeddedCheck_) {
    g_source_remove(embeddedCheck_);
  }
  if (watcherWatch_) {
    g_bus_unwatch_name(watcherWatch_);
  }
  if (bus_) {
    StatusNotifierItem::closeSessionBus(bus_);
  }
  if (watchingForTrays_) {
    gdk_window_remove_filter(gdk_get_default_root_window(), onRootEvent, this);
  }
  for (Icon& icon : icons_) {
    remove(icon);
  }
}

// The first icons go to the panel once the program next waits, not while
// it is still making its pictures: a status icon asks pango for the font's
// baseline, which waits for fontconfig's thread to read its caches (13 ms
// of a warm start here, more on a cold one), and a panel embeds the icon
// some time later anyway. Every later change is made at once, so an icon
// taken away at the end is gone before the pictures are.
void TrayIcons::show(const std::vector<TrayIconView>& icons) {
  if (icons_.empty() && !icons.empty()) {
    pendingIcons_ = icons;
    if (pendingShow_ == 0) {
      pendingShow_ = g_idle_add(showPending, this);
    }
    return;
  }
  if (pendingShow_) {
    g_source_remove(pendingShow_);
    pendingShow_ = 0;
  }
  showNow(icons);
}

gboolean TrayIcons::showPending(gpointer self) {
  TrayIcons& tray = *static_cast<TrayIcons*>(self);
  tray.pendingShow_ = 0;
  std::vector<TrayIconView> icons = std::move(tray.pendingIcons_);
  tray.pendingIcons_.clear();
  tray.showNow(icons);
  return G_SOURCE_REMOVE;
}

// Icons are kept by window and id: a changed icon keeps its place.
void TrayIcons::showNow(const std::vector<TrayIconView>& icons) {
  std::vector<Icon> kept;
  for (const TrayIconView& view : icons) {
    kept.push_back(take(view));
    if (asItems_) {
      showItem(kept.back());
    } else {
      showStatusIcon(kept.back());
    }
  }
  for (Icon& icon : icons_) {
    remove(icon);
  }
  icons_ = std::move(kept);
  if (!icons_.empty() && !asItems_ && embeddedCheck_ == 0 && !watchingForTrays_) {
    embeddedCheck_ = g_timeout_add(kEmbedWaitMilliseconds, checkEmbedded, this);
  }
}

// The shown icon of that window and id, taken out of the list, with the
// new view; an empty one when there is none yet.
TrayIcons::Icon TrayIcons::take(const TrayIconView& view) {
  Icon taken;
  for (Icon& icon : icons_) {
    if (icon.view.window == view.window && icon.view.id == view.id && (icon.statusIcon || icon.item)) {
      taken.statusIcon = icon.statusIcon;
      taken.item = std::move(icon.item);
      icon.statusIcon = nullptr;
    }
  }
  taken.view = view;
  return taken;
}

void TrayIcons::showStatusIcon(Icon& icon) {
  const TrayIconView& view = icon.view;
  if (!icon.statusIcon) {
    icon.statusIcon = gtk_status_icon_new();
    gtk_status_icon_set_title(icon.statusIcon, view.tip.c_str());
    g_signal_connect(icon.statusIcon, "button-press-event", G_CALLBACK(onButton), this);
    g_signal_connect(icon.statusIcon, "button-release-event", G_CALLBACK(onButton), this);
  }
  if (GdkPixbuf* pixbuf = pixbufOf(view)) {
    gtk_status_icon_set_from_pixbuf(icon.statusIcon, pixbuf);
    g_object_unref(pixbuf);
  }
  gtk_status_icon_set_tooltip_text(icon.statusIcon, view.tip.c_str());
  gtk_status_icon_set_visible(icon.statusIcon, TRUE);
  g_object_set_data(G_OBJECT(icon.statusIcon), "win32-window", view.window);
  g_object_set_data(G_OBJECT(icon.statusIcon), "win32-icon-id", GUINT_TO_POINTER(view.id));
}

// A request from the panel comes with no button event: a menu it opens must
// not grab the pointer with an earlier click's, whose time is past.
void TrayIcons::showItem(Icon& icon) {
  if (!icon.item) {
    // A panel on X11 asks at a point of the screen.
    StatusNotifierItem::Locate atRequestedPoint = [](POINT requested, std::function<void(POINT)> then) {
      then(requested);
    };
    icon.item.reset(new StatusNotifierItem(input_, menus_, atRequestedPoint, [this] { rememberTrigger_(nullptr); },
                                           ++itemsMade_));
  }
  icon.item->show(icon.view);
}

// The status icons give way to items: a panel that shows items would
// otherwise never see them, and nothing embeds the status icons.
void TrayIcons::switchToItems() {
  asItems_ = true;
  for (Icon& icon : icons_) {
    remove(icon);
    showItem(icon);
  }
}

// An XEmbed tray came: it is the panel the user sees the icons in.
void TrayIcons::switchToStatusIcons() {
  asItems_ = false;
  for (Icon& icon : icons_) {
    remove(icon);
    showStatusIcon(icon);
  }
}

// From the first wait on: a watcher that comes later takes the icons as
// items, an XEmbed tray that comes later (announced on the root window by
// the MANAGER message) takes them back.
void TrayIcons::watchForTrays() {
  if (watchingForTrays_) {
    return;
  }
  watchingForTrays_ = true;
  bus_ = StatusNotifierItem::openSessionBus();
  if (bus_) {
    watcherWatch_ = g_bus_watch_name_on_connection(bus_, StatusNotifierItem::watcherName(),
                                                   G_BUS_NAME_WATCHER_FLAGS_NONE, onWatcherAppeared, nullptr, this,
                                                   nullptr);
  }
  GdkWindow* root = gdk_get_default_root_window();
  gdk_window_set_events(root, static_cast<GdkEventMask>(gdk_window_get_events(root) | GDK_STRUCTURE_MASK));
  gdk_window_add_filter(root, onRootEvent, this);
}

void TrayIcons::onWatcherAppeared(GDBusConnection*, const gchar*, const gchar*, gpointer self) {
  TrayIcons& tray = *static_cast<TrayIcons*>(self);
  if (!tray.asItems_ && !tray.icons_.empty() && !tray.embedded()) {
    tray.switchToItems();
  }
}

GdkFilterReturn TrayIcons::onRootEvent(GdkXEvent* xevent, GdkEvent*, gpointer self) {
  TrayIcons& tray = *static_cast<TrayIcons*>(self);
  const XEvent* event = static_cast<const XEvent*>(xevent);
  if (event->type != ClientMessage || !tray.asItems_) {
    return GDK_FILTER_CONTINUE;
  }
  Display* display = event->xclient.display;
  std::string traySelection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  if (event->xclient.message_type == XInternAtom(display, "MANAGER", False) &&
      static_cast<Atom>(event->xclient.data.l[1]) == XInternAtom(display, traySelection.c_str(), False)) {
    tray.switchToStatusIcons();
  }
  return GDK_FILTER_CONTINUE;
}

bool TrayIcons::embedded() const {
  for (const Icon& icon : icons_) {
    if (!icon.statusIcon || !gtk_status_icon_is_embedded(icon.statusIcon)) {
      return false;
    }
  }
  return true;
}

void TrayIcons::remove(Icon& icon) {
  if (icon.statusIcon) {
    g_signal_handlers_disconnect_by_data(icon.statusIcon, this);
    gtk_status_icon_set_visible(icon.statusIcon, FALSE);
    g_object_unref(icon.statusIcon);
    icon.statusIcon = nullptr;
  }
  icon.item.reset();
}

gboolean TrayIcons::onButton(GtkStatusIcon* statusIcon, GdkEventButton* event, gpointer self) {
  TrayIcons& tray = *static_cast<TrayIcons*>(self);
  bool down = event->type == GDK_BUTTON_PRESS;
  if (!down && event->type != GDK_BUTTON_RELEASE) {
    return TRUE;  // the double-click events: their presses came one by one
  }
  UINT message = mouseMessage(event->button, down);
  if (message == WM_NULL) {
    return FALSE;
  }
  HWND window = static_cast<HWND>(g_object_get_data(G_OBJECT(statusIcon), "win32-window"));
  UINT id = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(statusIcon), "win32-icon-id"));
  if (down) {
    tray.rememberTrigger_(reinterpret_cast<const GdkEvent*>(event));
  }
  tray.input_.push(input::MoveCursor{POINT{static_cast<LONG>(event->x_root), static_cast<LONG>(event->y_root)}});
  tray.input_.push(input::TrayIconMouse{window, id, message});
  return TRUE;
}

// A while after the icons were first shown: when no panel embedded them,
// items take their place if a watcher can pass them on to a panel;
// otherwise the user is told once that there is no tray.
gboolean TrayIcons::checkEmbedded(gpointer self) {
  TrayIcons& tray = *static_cast<TrayIcons*>(self);
  tray.embeddedCheck_ = 0;
  tray.watchForTrays();
  if (tray.icons_.empty() || tray.embedded()) {
    return G_SOURCE_REMOVE;
  }
  if (StatusNotifierItem::watcherPresent()) {
    tray.switchToItems();
  } else {
    std::fprintf(stderr,
                 "%s: no notification area took the tray icon; the pictures still work, but the menus need a panel "
                 "with a system tray (XEmbed, or StatusNotifierItem on the session bus)\n",
                 g_get_prgname());
  }
  return G_SOURCE_REMOVE;
}

}  // namespace gtk
}  // namespace platform

G_GNUC_END_IGNORE_DEPRECATIONS

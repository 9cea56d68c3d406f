#include "hosts/gtk/StatusNotifierItem.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace gtk {

namespace {

const char kInterface[] = "org.kde.StatusNotifierItem";
const char kObjectPath[] = "/StatusNotifierItem";
// Each item's menu has a path of its own: the items share one connection.
const char kMenuPathStart[] = "/MenuBar/";
const char kWatcherName[] = "org.kde.StatusNotifierWatcher";

const char kIntrospection[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconThemePath" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
</node>)xml";

// The panel's requests, as the clicks of the buttons they stand for.
struct ClickRequest {
  const char* method;
  UINT down;
  UINT up;
};
const ClickRequest kClickRequests[] = {{"Activate", WM_LBUTTONDOWN, WM_LBUTTONUP},
                                       {"ContextMenu", WM_RBUTTONDOWN, WM_RBUTTONUP},
                                       {"SecondaryActivate", WM_MBUTTONDOWN, WM_MBUTTONUP}};

void sayError(const char* what, GError* error) {
  std::fprintf(stderr, "%s: %s: %s\n", g_get_prgname(), what, error ? error->message : "unknown error");
  g_clear_error(&error);
}

// A connection of the item's own: closing it takes everything the item put
// on the bus away at once, and the program does not end when the bus does.
GDBusConnection* connectToSessionBus(bool sayWhenNone = true) {
  GError* error = nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!address) {
    if (sayWhenNone) {
      sayError("no session bus", error);
    } else {
      g_clear_error(&error);
    }
    return nullptr;
  }
  auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(address, flags, nullptr, nullptr, &error);
  g_free(address);
  if (!bus) {
    sayError("cannot connect to the session bus", error);
  }
  return bus;
}

void disconnect(GDBusConnection* bus) {
  g_dbus_connection_close_sync(bus, nullptr, nullptr);
  g_object_unref(bus);
}

// Panels read the pixels as ARGB, each pixel's bytes in network order
// (alpha first), not premultiplied: the view's straight 0xAARRGGBB.
GVariant* iconPixmaps(const TrayIconView& icon) {
  GVariantBuilder pixmaps;
  g_variant_builder_init(&pixmaps, G_VARIANT_TYPE("a(iiay)"));
  if (icon.width > 0 && icon.height > 0) {
    std::vector<guchar> bytes;
    bytes.reserve(icon.pixels.size() * 4);
    for (std::uint32_t pixel : icon.pixels) {
      for (int shift : {24, 16, 8, 0}) {
        bytes.push_back(static_cast<guchar>(pixel >> shift));
      }
    }
    GVariant* data = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), 1);
    g_variant_builder_add(&pixmaps, "(ii@ay)", icon.width, icon.height, data);
  }
  return g_variant_builder_end(&pixmaps);
}

GVariant* toolTip(const TrayIconView& icon) {
  return g_variant_new("(s@a(iiay)ss)", "", g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0),
                       icon.tip.c_str(), "");
}

void onRegistered(GObject* bus, GAsyncResult* result, gpointer) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  if (reply) {
    g_variant_unref(reply);
  } else if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CLOSED)) {
    sayError("the tray did not take the icon", error);
  } else {
    g_clear_error(&error);
  }
}

}  // namespace

const char* StatusNotifierItem::watcherName() { return kWatcherName; }

// Watching is no reason to say there is no bus: many desktops have none.
GDBusConnection* StatusNotifierItem::openSessionBus() { return connectToSessionBus(false); }

void StatusNotifierItem::closeSessionBus(GDBusConnection* bus) { disconnect(bus); }

bool StatusNotifierItem::watcherPresent() {
  GDBusConnection* bus = connectToSessionBus();
  if (!bus) {
    return false;
  }
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "NameHasOwner",
                                                g_variant_new("(s)", kWatcherName), G_VARIANT_TYPE("(b)"),
                                                G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  gboolean present = FALSE;
  if (reply) {
    g_variant_get(reply, "(b)", &present);
    g_variant_unref(reply);
  }
  disconnect(bus);
  return present;
}

// The name is the one watchers expect of an item: the process and a number.
// The item is on the process's shared connection, where libdbusmenu offers
// its menu: a panel finds the menu under the item's own name. The program
// does not end when that connection closes.
StatusNotifierItem::StatusNotifierItem(InputQueue& input, TrayMenuRequests& menus, Locate locate,
                                       std::function<void()> forgetTrigger, int number)
    : input_(input),
      menus_(menus),
      locate_(std::move(locate)),
      forgetTrigger_(std::move(forgetTrigger)),
      busName_(std::string(kInterface) + "-" + std::to_string(getpid()) + "-" + std::to_string(number)),
      menuPath_(kMenuPathStart + std::to_string(number)) {
  GError* error = nullptr;
  bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus_) {
    sayError("no session bus", error);
    return;
  }
  g_dbus_connection_set_exit_on_close(bus_, FALSE);
  menu_.reset(new ExportedMenu(
      menuPath_.c_str(), [this](UINT command) { menus_.choose(this, menuRequest(), command); },
      [this] { menus_.learnWhenIdle(this, menuRequest()); }));
  static const GDBusInterfaceVTable vtable = {onMethodCall, onGetProperty, nullptr, {}};
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  objectId_ = g_dbus_connection_register_object(bus_, kObjectPath, node->interfaces[0], &vtable, this, nullptr, &error);
  g_dbus_node_info_unref(node);
  if (objectId_ == 0) {
    sayError("cannot offer the tray icon on the session bus", error);
    return;
  }
  ownerId_ = g_bus_own_name_on_connection(bus_, busName_.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE, onNameAcquired,
                                          nullptr, this, nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  menus_.forget(this);
  menu_.reset();
  if (watcherWatchId_) {
    g_bus_unwatch_name(watcherWatchId_);
  }
  if (ownerId_) {
    g_bus_unown_name(ownerId_);
  }
  if (objectId_) {
    g_dbus_connection_unregister_object(bus_, objectId_);
  }
  if (bus_) {
    g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
    g_object_unref(bus_);
  }
}

void StatusNotifierItem::show(const TrayIconView& view) {
  bool newIcon = view.width != view_.width || view.height != view_.height || view.pixels != view_.pixels;
  bool newTip = view.tip != view_.tip;
  view_ = view;
  if (!shown_ && menu_) {
    menus_.learnWhenIdle(this, menuRequest());
  }
  shown_ = true;
  if (newIcon) {
    emit("NewIcon");
  }
  if (newTip) {
    emit("NewTitle");
    emit("NewToolTip");
  }
}

void StatusNotifierItem::emit(const char* signal) {
  if (bus_) {
    g_dbus_connection_emit_signal(bus_, nullptr, kObjectPath, kInterface, signal, nullptr, nullptr);
  }
}

// Once the name is ours, every watcher that appears (again, after a panel
// restarts) is told of the item.
void StatusNotifierItem::onNameAcquired(GDBusConnection* bus, const gchar*, gpointer self) {
  StatusNotifierItem& item = *static_cast<StatusNotifierItem*>(self);
  if (item.watcherWatchId_ == 0) {
    item.watcherWatchId_ = g_bus_watch_name_on_connection(bus, kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                          onWatcherAppeared, nullptr, self, nullptr);
  }
}

// The reply's callback gets no item: the item may be gone by then.
void StatusNotifierItem::onWatcherAppeared(GDBusConnection* bus, const gchar*, const gchar*, gpointer self) {
  StatusNotifierItem& item = *static_cast<StatusNotifierItem*>(self);
  g_dbus_connection_call(bus, kWatcherName, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                         "RegisterStatusNotifierItem", g_variant_new("(s)", item.busName_.c_str()), nullptr,
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, onRegistered, nullptr);
}

void StatusNotifierItem::onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                                      GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
  StatusNotifierItem& item = *static_cast<StatusNotifierItem*>(self);
  for (const ClickRequest& request : kClickRequests) {
    if (std::strcmp(method, request.method) == 0) {
      gint x = 0;
      gint y = 0;
      g_variant_get(parameters, "(ii)", &x, &y);
      UINT down = request.down;
      UINT up = request.up;
      item.locate_(POINT{x, y}, [&item, down, up](POINT point) { item.click(down, up, point); });
    }
  }
  // Scroll: the program has no use for the wheel on its icon.
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

// As a click on an embedded icon: the point first, since the program opens
// its menus where the pointer is when the button goes down. No button event
// of ours led to it, so a menu it opens has none to grab the pointer with.
void StatusNotifierItem::click(UINT down, UINT up, POINT point) {
  forgetTrigger_();
  input_.push(input::MoveCursor{point});
  input_.push(input::TrayIconMouse{view_.window, view_.id, down});
  input_.push(input::TrayIconMouse{view_.window, view_.id, up});
}

// The click that opens the icon's menu, wherever the pointer is: the menu
// it opens is answered, never shown.
void StatusNotifierItem::clickRight() {
  forgetTrigger_();
  input_.push(input::TrayIconMouse{view_.window, view_.id, WM_RBUTTONDOWN});
  input_.push(input::TrayIconMouse{view_.window, view_.id, WM_RBUTTONUP});
}

TrayMenuRequests::Request StatusNotifierItem::menuRequest() {
  return TrayMenuRequests::Request{[this] { clickRight(); },
                                   [this](const std::vector<MenuItemView>& items) { menu_->show(items); }};
}

GVariant* StatusNotifierItem::onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                            const gchar* name, GError** error, gpointer self) {
  GVariant* value = static_cast<StatusNotifierItem*>(self)->property(name);
  if (!value) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
  }
  return value;
}

// The program opens its own menus on the clicks, and the right button's is
// also offered for the panel to draw; the item is not only a menu (a left
// click does something of its own).
// Its picture is its pixels, with no name in an icon theme, no overlay and
// no attention state; it stands for no window. Hosts that ask for each
// property on its own get an answer for every one.
GVariant* StatusNotifierItem::property(const char* name) const {
  for (const char* unnamed : {"IconName", "IconThemePath", "OverlayIconName", "AttentionIconName",
                              "AttentionMovieName"}) {
    if (std::strcmp(name, unnamed) == 0) {
      return g_variant_new_string("");
    }
  }
  for (const char* unused : {"OverlayIconPixmap", "AttentionIconPixmap"}) {
    if (std::strcmp(name, unused) == 0) {
      return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0);
    }
  }
  if (std::strcmp(name, "WindowId") == 0) {
    return g_variant_new_int32(0);
  }
  if (std::strcmp(name, "Category") == 0) {
    return g_variant_new_string("ApplicationStatus");
  }
  if (std::strcmp(name, "Id") == 0) {
    return g_variant_new_string(g_get_prgname() ? g_get_prgname() : "");
  }
  if (std::strcmp(name, "Title") == 0) {
    return g_variant_new_string(view_.tip.c_str());
  }
  if (std::strcmp(name, "Status") == 0) {
    return g_variant_new_string("Active");
  }
  if (std::strcmp(name, "IconPixmap") == 0) {
    return iconPixmaps(view_);
  }
  if (std::strcmp(name, "ToolTip") == 0) {
    return toolTip(view_);
  }
  if (std::strcmp(name, "ItemIsMenu") == 0) {
    return g_variant_new_boolean(FALSE);
  }
  if (std::strcmp(name, "Menu") == 0) {
    return g_variant_new_object_path(menu_ ? menuPath_.c_str() : "/NO_DBUSMENU");
  }
  return nullptr;
}

}  // namespace gtk
}  // namespace platform

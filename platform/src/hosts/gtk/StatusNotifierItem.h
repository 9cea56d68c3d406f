// A tray icon as a StatusNotifierItem on the session bus, for panels that
// show their items over D-Bus instead of embedding XEmbed icons. The panel
// asks the item to act at a point (Activate, ContextMenu...); each request
// becomes a click of that button, and the program opens its own menu. The
// menu the right button opens is also offered for the panel to draw
// (dbusmenu), for panels that draw an item's menu themselves.
#pragma once

#include "hosts/gtk/ExportedMenu.h"
#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/TrayMenuRequests.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

namespace platform {
namespace gtk {

class StatusNotifierItem {
 public:
  // Whether a watcher, which passes items on to the panels, is on the
  // session bus.
  static bool watcherPresent();
  static const char* watcherName();

  // A connection of the caller's own to the session bus, null without one;
  // closed with closeSessionBus. The program does not end when it closes.
  static GDBusConnection* openSessionBus();
  static void closeSessionBus(GDBusConnection* bus);

  // Where a panel's request happens on the screen: `then` is called with
  // the point, now or once the display has told it. The panel's own
  // point is a screen point on X11, the icon's own on some panels.
  using Locate = std::function<void(POINT requested, std::function<void(POINT)> then)>;

  // `number` tells the process's items apart on the bus. `forgetTrigger`
  // is called before a request's click: no button event of ours led to it.
  StatusNotifierItem(InputQueue& input, TrayMenuRequests& menus, Locate locate, std::function<void()> forgetTrigger,
                     int number);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // The icon's picture and tip, now or changed.
  void show(const TrayIconView& view);

 private:
  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                                 GError** error, gpointer self);
  static void onNameAcquired(GDBusConnection*, const gchar*, gpointer self);
  static void onWatcherAppeared(GDBusConnection* bus, const gchar*, const gchar*, gpointer self);
  void click(UINT down, UINT up, POINT point);
  void clickRight();
  TrayMenuRequests::Request menuRequest();
  void emit(const char* signal);
  GVariant* property(const char* name) const;

  InputQueue& input_;
  TrayMenuRequests& menus_;
  Locate locate_;
  std::function<void()> forgetTrigger_;
  std::string busName_;
  std::string menuPath_;
  TrayIconView view_{};
  GDBusConnection* bus_ = nullptr;
  std::unique_ptr<ExportedMenu> menu_;
  bool shown_ = false;
  guint objectId_ = 0;
  guint ownerId_ = 0;
  guint watcherWatchId_ = 0;
};

}  // namespace gtk
}  // namespace platform
